// The console's drive-letter paths on the host: case-insensitive components,
// ".." kept inside a drive, text files, file searches; programs started apart.
#include "winfs.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>

#include "cp949.h"
#include "process.h"
#include "testutil.h"

namespace {

using File = std::unique_ptr<std::FILE, winfs::FileCloser>;

std::vector<std::string> names(const std::vector<winfs::FindData>& found) {
  std::vector<std::string> out;
  for (const auto& f : found) out.push_back(f.name);
  return out;
}

// Drive Q leads to a fresh folder.
class Winfs : public ::testing::Test {
 protected:
  testutil::TempDir dir;
  testutil::DriveMapping drive{'Q', dir.str()};
};

}  // namespace

TEST_F(Winfs, DriveLettersAndCaseInsensitiveComponents) {
  testutil::writeFile(dir.path() / "qss" / "QsLook.xml", "<x/>");
  EXPECT_EQ(winfs::hostPath("q:\\QSS\\qslook.XML"), dir.str() + "/qss/QsLook.xml");
  EXPECT_EQ(winfs::hostPath("Q:/qss/missing/Sub.txt"), dir.str() + "/qss/missing/Sub.txt");

  // Writing through a folder spelled differently keeps the new name as given.
  EXPECT_TRUE(File(winfs::openFile("Q:\\QSS\\New.TXT", "w")));
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "qss" / "New.TXT"));
  EXPECT_TRUE(winfs::removeFile("q:\\qss\\new.txt"));
  EXPECT_FALSE(winfs::fileExists("Q:\\qss\\New.TXT"));
  EXPECT_EQ(winfs::openFile("Q:\\nowhere\\x.txt", "r"), nullptr);

  // A folder read long after its last change is remembered; a change to it
  // is still seen.
  testutil::writeFile(dir.path() / "old" / "A.txt", "a");
  std::filesystem::last_write_time(dir.path() / "old",
                                   std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
  EXPECT_EQ(winfs::hostPath("Q:\\OLD\\a.TXT"), dir.str() + "/old/A.txt");
  EXPECT_EQ(winfs::hostPath("Q:\\OLD\\b.TXT"), dir.str() + "/old/b.TXT");
  testutil::writeFile(dir.path() / "old" / "B.txt", "b");
  EXPECT_EQ(winfs::hostPath("Q:\\OLD\\b.TXT"), dir.str() + "/old/B.txt");

  // Relative paths start at the current folder.
  const std::string cwd = std::filesystem::current_path().string();
  std::filesystem::current_path(dir.path());
  EXPECT_EQ(winfs::hostPath(".\\QSS\\QSLOOK.XML"), "./qss/QsLook.xml");
  std::filesystem::current_path(cwd);

  // The spelling on disk: found components as the disk names them, missing
  // ones as written, dots taken away.
  EXPECT_EQ(winfs::spelledAsOnDisk("Q:\\OLD\\.\\x\\..\\a.TXT"), "Q:\\old\\A.txt");
  EXPECT_EQ(winfs::spelledAsOnDisk("Q:\\QSS\\none\\qslook.xml"), "Q:\\qss\\none\\qslook.xml");
}

TEST_F(Winfs, KoreanAndNonUtf8NamesOnDisk) {
  testutil::writeFile(dir.path() / "데이터" / "PC01 HardwareInfo.xml", "h");
  // "\xB5\xA5\xC0\xCC\xC5\xCD" = 데이터
  EXPECT_EQ(winfs::hostPath("Q:\\\xB5\xA5\xC0\xCC\xC5\xCD\\pc01 hardwareinfo.XML"),
            dir.str() + "/데이터/PC01 HardwareInfo.xml");
  // A name on disk that is not UTF-8 (CP949 bytes) is found by its bytes.
  testutil::writeFile(dir.path() / "\xC7\xD1.txt", "k");
  EXPECT_EQ(winfs::hostPath("Q:\\\xC7\xD1.TXT"), dir.str() + "/\xC7\xD1.txt");
  EXPECT_EQ(winfs::spelledAsOnDisk("Q:\\\xB5\xA5\xC0\xCC\xC5\xCD\\pc01 hardwareinfo.XML"),
            "Q:\\\xB5\xA5\xC0\xCC\xC5\xCD\\PC01 HardwareInfo.xml");
  const auto all = winfs::findFiles("Q:\\*");
  EXPECT_EQ(names(all), (std::vector<std::string>{"\xB5\xA5\xC0\xCC\xC5\xCD", "\xC7\xD1.txt"}));
  EXPECT_TRUE(all[0].isDirectory && !all[1].isDirectory);
}

// ".." never leads out of a drive's folder, however it is written: opening,
// writing, searching and deleting all stay inside.
TEST_F(Winfs, DotDotStaysInsideTheDrive) {
  const std::filesystem::path driveDir = dir.path() / "drive";
  testutil::DriveMapping inner('Q', driveDir.string());
  testutil::writeFile(dir.path() / "elsewhere" / "secret.txt", "outside");
  testutil::writeFile(driveDir / "qss" / "qslook.xml", "q");
  testutil::writeFile(driveDir / "Elsewhere" / "secret.txt", "inside");
  const std::string inside = driveDir.string() + "/Elsewhere/secret.txt";
  for (const char* path :
       {"Q:\\qss\\../../../../elsewhere/secret.txt", "Q:\\QSS\\..\\..\\..\\ELSEWHERE\\Secret.TXT",
        "q:/Qss/./../..\\elsewhere\\.\\secret.txt", "Q:..\\elsewhere\\secret.txt"}) {
    EXPECT_EQ(winfs::hostPath(path), inside) << path;
    File file(winfs::openFile(path, "r"));
    ASSERT_TRUE(file) << path;
    EXPECT_EQ(std::fgetc(file.get()), 'i');
  }
  EXPECT_EQ(winfs::hostPath("Q:\\qss\\sub\\..\\qslook.xml"), driveDir.string() + "/qss/qslook.xml");
  // A relative path still climbs above the current folder.
  EXPECT_EQ(winfs::hostPath("..\\a\\..\\..\\b"), "../../b");
  EXPECT_EQ(winfs::hostPath(".\\..\\b"), "../b");

  EXPECT_TRUE(File(winfs::openFile("Q:\\..\\..\\written.txt", "w")));
  EXPECT_TRUE(std::filesystem::exists(driveDir / "written.txt"));
  EXPECT_EQ(names(winfs::findFiles("Q:\\QSS\\..\\..\\*.TXT")), (std::vector<std::string>{"written.txt"}));
  EXPECT_EQ(proc::deleteFiles("Q:\\qss/../../elsewhere\\*.txt"), 0);
  EXPECT_EQ(testutil::readFile(dir.path() / "elsewhere" / "secret.txt"), "outside");
  EXPECT_FALSE(std::filesystem::exists(driveDir / "Elsewhere" / "secret.txt"));
}

// Text files end every line with a carriage return and a line feed, also
// across the stream's buffer; "w" replaces, "a" appends.
TEST_F(Winfs, TextFilesWriteCarriageReturns) {
  testutil::writeFile(dir.path() / "Out" / "t.txt", "old\n");
  std::string big, expected = "a\r\n\r\nb\r\r\nc";
  for (int i = 0; i < 5000; ++i) {
    big += (i % 3 ? "ab" : "") + std::string("\n");
    expected += (i % 3 ? "ab" : "") + std::string("\r\n");
  }
  auto write = [](const char* path, const char* mode, const std::string& text) {
    File file(winfs::openTextFile(path, mode));
    ASSERT_TRUE(file);
    std::fputs(text.c_str(), file.get());
  };
  write("Q:\\OUT\\T.TXT", "w", "a\n\nb\r\nc");
  write("Q:\\out\\t.txt", "a", big);
  EXPECT_EQ(testutil::readFile(dir.path() / "Out" / "t.txt"), expected);
  EXPECT_EQ(winfs::openTextFile("Q:\\out\\t.txt", "r"), nullptr);
  EXPECT_EQ(winfs::openTextFile("Q:\\none\\t.txt", "w"), nullptr);
}

TEST_F(Winfs, FindWildcardsInTheLastComponent) {
  for (const char* name : {"b WindowsInfo.xml", "a HardwareInfo.XML", "c.txt", "ab.xml.bak", "x.xml"})
    testutil::writeFile(dir.path() / "Data" / name, "1");
  std::filesystem::create_directory(dir.path() / "Data" / "sub.xml");
  EXPECT_EQ(names(winfs::findFiles("Q:\\data\\*.xml")),
            (std::vector<std::string>{"a HardwareInfo.XML", "b WindowsInfo.xml", "sub.xml", "x.xml"}));
  EXPECT_EQ(names(winfs::findFiles("Q:\\DATA\\?.*")), (std::vector<std::string>{"c.txt", "x.xml"}));
  EXPECT_EQ(names(winfs::findFiles("Q:\\data\\C.TXT")), (std::vector<std::string>{"c.txt"}));
  EXPECT_TRUE(winfs::findFiles("Q:\\data\\").empty() && winfs::findFiles("Q:\\nothere\\*").empty());
  // Names in byte order, however long the start they share: random names
  // from few letters, against a plain sort.
  std::mt19937 rng(8);
  std::vector<std::string> many;
  for (int i = 0; i < 300; ++i) {
    std::string name = std::string("PC-99 a~~~").substr(0, rng() % 11) + std::string(rng() % 4, 'a');
    for (char& c : name)
      if (rng() % 5 == 0) c = "PC-9 a~"[rng() % 7];
    if (!name.empty() && name.front() != ' ' && name.back() != ' ' &&
        std::find(many.begin(), many.end(), name) == many.end())
      many.push_back(name);
  }
  for (const std::string& name : many) testutil::writeFile(dir.path() / "many" / name, "1");
  std::sort(many.begin(), many.end(),
            [](const std::string& a, const std::string& b) { return mb::compare(a.c_str(), b.c_str()) < 0; });
  EXPECT_EQ(names(winfs::findFiles("Q:\\many\\*")), many);
  // A link is of the kind of what it leads to; a broken one is a file.
  const std::filesystem::path links = dir.path() / "links";
  std::filesystem::create_directory(links);
  std::filesystem::create_directory_symlink(dir.path() / "Data", links / "d");
  std::filesystem::create_symlink(dir.path() / "Data" / "c.txt", links / "f");
  std::filesystem::create_symlink(dir.path() / "none", links / "g");
  const auto linked = winfs::findFiles("Q:\\links\\*");
  ASSERT_EQ(names(linked), (std::vector<std::string>{"d", "f", "g"}));
  EXPECT_TRUE(linked[0].isDirectory && !linked[1].isDirectory && !linked[2].isDirectory);

  EXPECT_TRUE(winfs::wildcardMatchNoCase("*INFO.xml", "pc hardwareinfo.XML"));
  EXPECT_TRUE(winfs::wildcardMatchNoCase("?", "\xC7\xD1"));    // one character
  EXPECT_FALSE(winfs::wildcardMatchNoCase("*a", "\xB0\x41"));  // 'A' here is a second byte
  EXPECT_FALSE(winfs::wildcardMatchNoCase("a*b", "aXbYc"));
}

TEST(Process_StartDetached, RunsInItsOwnSessionAndLeavesNoChild) {
  testutil::TempDir dir;
  const std::filesystem::path out = dir.path() / "sid.txt";
  ASSERT_TRUE(proc::startDetached(("cut -d' ' -f6 /proc/$$/stat > '" + out.string() + "'").c_str()));
  const std::string sid = testutil::waitForLines(out, 1);
  ASSERT_FALSE(sid.empty());
  EXPECT_NE(std::stol(sid), static_cast<long>(::getsid(0)));
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);  // nothing of ours to reap
  EXPECT_FALSE(proc::startDetached(nullptr));
  EXPECT_FALSE(proc::startDetached("   "));
  EXPECT_EQ(errno, ENOENT);
}
