// The console's drive-letter paths on the host: case-insensitive components,
// ".." kept inside a drive, text files, file searches, spellings on disk;
// programs started apart; where drive letters lead; environment names.
#include "winfs.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>

#include "cp949.h"
#include "inifile.h"
#include "process.h"
#include "sys.h"
#include "testutil.h"

namespace {

using File = std::unique_ptr<std::FILE, winfs::FileCloser>;

using Names = std::vector<std::string>;

Names names(const std::vector<winfs::FindData>& found) {
  Names out;
  for (const auto& f : found) out.push_back(f.name);
  return out;
}

// A file's bytes read through the drive-letter path, or nothing when it
// cannot be opened.
std::optional<std::string> readAll(const std::string& path) {
  File file(winfs::openFile(path.c_str(), "rb"));
  if (!file) return std::nullopt;
  char text[4096];
  return std::string(text, std::fread(text, 1, sizeof text, file.get()));
}

// Drive Q leads to a fresh folder.
struct Winfs : ::testing::Test {
  testutil::TempDir dir;
  testutil::DriveMapping drive{'Q', dir.str()};
};

}  // namespace

TEST_F(Winfs, DriveLettersCaseInsensitiveAndKoreanComponents) {
  testutil::writeFile(dir.path() / "qss" / "QsLook.xml", "<x/>");
  EXPECT_EQ(winfs::hostPath("q:\\QSS\\qslook.XML"), dir.str() + "/qss/QsLook.xml");
  EXPECT_EQ(winfs::hostPath("Q:/qss/missing/Sub.txt"), dir.str() + "/qss/missing/Sub.txt");

  // Writing through a folder spelled differently keeps the new name as given.
  EXPECT_TRUE(File(winfs::openFile("Q:\\QSS\\New.TXT", "w")));
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "qss" / "New.TXT"));
  EXPECT_TRUE(winfs::removeFile("q:\\qss\\new.txt") && !winfs::fileExists("Q:\\qss\\New.TXT"));
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

  // Korean names: written in CP949, on disk in UTF-8 or, from older tools,
  // in CP949 bytes.
  testutil::writeFile(dir.path() / "데이터" / "PC01 HardwareInfo.xml", "h");
  // "\xB5\xA5\xC0\xCC\xC5\xCD" = 데이터
  EXPECT_EQ(winfs::hostPath("Q:\\\xB5\xA5\xC0\xCC\xC5\xCD\\pc01 hardwareinfo.XML"),
            dir.str() + "/데이터/PC01 HardwareInfo.xml");
  testutil::writeFile(dir.path() / "\xC7\xD1.txt", "k");
  EXPECT_EQ(winfs::hostPath("Q:\\\xC7\xD1.TXT"), dir.str() + "/\xC7\xD1.txt");
  EXPECT_EQ(winfs::spelledAsOnDisk("Q:\\\xB5\xA5\xC0\xCC\xC5\xCD\\pc01 hardwareinfo.XML"),
            "Q:\\\xB5\xA5\xC0\xCC\xC5\xCD\\PC01 HardwareInfo.xml");
  const auto all = winfs::findFiles("Q:\\*");
  EXPECT_EQ(names(all), (Names{"old", "qss", "\xB5\xA5\xC0\xCC\xC5\xCD", "\xC7\xD1.txt"}));
  EXPECT_TRUE(all[2].isDirectory && !all[3].isDirectory);
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
    EXPECT_EQ(readAll(path), "inside") << path;
  }
  EXPECT_EQ(winfs::hostPath("Q:\\qss\\sub\\..\\qslook.xml"), driveDir.string() + "/qss/qslook.xml");
  // A relative path still climbs above the current folder.
  EXPECT_EQ(winfs::hostPath("..\\a\\..\\..\\b"), "../../b");
  EXPECT_EQ(winfs::hostPath(".\\..\\b"), "../b");

  EXPECT_TRUE(File(winfs::openFile("Q:\\..\\..\\written.txt", "w")));
  EXPECT_TRUE(std::filesystem::exists(driveDir / "written.txt"));
  EXPECT_EQ(names(winfs::findFiles("Q:\\QSS\\..\\..\\*.TXT")), (Names{"written.txt"}));
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
  for (const auto& [path, mode, text] :
       {std::tuple{"Q:\\OUT\\T.TXT", "w", std::string("a\n\nb\r\nc")}, {"Q:\\out\\t.txt", "a", big}}) {
    File file(winfs::openTextFile(path, mode));
    ASSERT_TRUE(file);
    std::fputs(text.c_str(), file.get());
  }
  EXPECT_EQ(testutil::readFile(dir.path() / "Out" / "t.txt"), expected);
  EXPECT_EQ(winfs::openTextFile("Q:\\out\\t.txt", "r"), nullptr);
  EXPECT_EQ(winfs::openTextFile("Q:\\none\\t.txt", "w"), nullptr);
}

TEST_F(Winfs, FindWildcardsInTheLastComponent) {
  for (const char* name : {"b WindowsInfo.xml", "a HardwareInfo.XML", "c.txt", "ab.xml.bak", "x.xml"})
    testutil::writeFile(dir.path() / "Data" / name, "1");
  std::filesystem::create_directory(dir.path() / "Data" / "sub.xml");
  EXPECT_EQ(names(winfs::findFiles("Q:\\data\\*.xml")),
            (Names{"a HardwareInfo.XML", "b WindowsInfo.xml", "sub.xml", "x.xml"}));
  EXPECT_EQ(names(winfs::findFiles("Q:\\DATA\\?.*")), (Names{"c.txt", "x.xml"}));
  EXPECT_EQ(names(winfs::findFiles("Q:\\data\\C.TXT")), (Names{"c.txt"}));
  EXPECT_TRUE(winfs::findFiles("Q:\\data\\").empty() && winfs::findFiles("Q:\\nothere\\*").empty());
  // Names in byte order, however long the start they share: random names
  // from few letters, against a plain sort.
  std::mt19937 rng(8);
  std::vector<std::string> many;
  for (int i = 0; i < 300; ++i) {
    std::string name =
        std::string("PC-99 a~~~~~~~~~~~~~").substr(0, rng() % 21) + std::string(rng() % 4, 'a');
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
  ASSERT_EQ(names(linked), (Names{"d", "f", "g"}));
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
  EXPECT_FALSE(proc::startDetached(nullptr) || proc::startDetached("   "));
  EXPECT_EQ(errno, ENOENT);
}

// A file opened under a folder as the disk spells it is the file the folder
// as written leads to, on random trees whose names differ in letter case
// only, are UTF-8 or CP949 bytes of one text, or hold characters CP949 lacks.
TEST(PathsDiff, FilesUnderTheSpelledFolderAreTheFilesUnderTheFolderAsWritten) {
  const std::string hangul = "\xB5\xA5";  // one CP949 character
  const std::string onDisk[] = {"a", "A", "?", hangul, mb::toUtf8(hangul), "\xF0\x9F\x98\x80"};
  const std::string written[] = {"a", "A", "?", hangul};
  std::mt19937 rng(14);
  for (int round = 0; round < 40; ++round) {
    testutil::TempDir dir;
    testutil::DriveMapping drive('P', dir.str());
    auto name = [&](const auto& pieces) {
      std::string n;
      for (unsigned i = 0, count = 1 + rng() % 2; i < count; ++i) n += pieces[rng() % std::size(pieces)];
      return n;
    };
    for (int i = 0; i < 30; ++i) {
      std::filesystem::path folder = dir.path();
      for (unsigned depth = 0, count = 1 + rng() % 2; depth < count; ++depth) folder /= name(onDisk);
      testutil::writeFile(folder / "f", folder.string());
    }
    for (int i = 0; i < 30; ++i) {
      std::string path = "P:";
      for (unsigned depth = 0, count = 1 + rng() % 3; depth < count; ++depth) {
        const unsigned pick = rng() % 10;
        path += std::string(pick % 2 ? "\\" : "/") + (pick == 8 ? "." : pick == 9 ? ".." : name(written));
      }
      EXPECT_EQ(readAll(winfs::spelledAsOnDisk(path.c_str()) + "\\f"), readAll(path + "\\f")) << path;
    }
  }
}

// Where drive letters lead: a folder chosen for the run, the environment,
// the configuration file and the default, in every combination; the
// configuration file as the window's toolkit writes it; site folders;
// environment names in paths.
using testutil::ScopedEnv;

TEST(DriveFolder, ChoiceEnvironmentFileDefaultToolkitValuesSitesAndNames) {
  testutil::TempDir dir;
  const std::string d = dir.str(), withFile = d + "/with-file", fallback = d + "/home/.desktally/drive_c";
  testutil::writeFile(withFile + "/DeskTally/desktally.conf",
                      "[General]\nC=/not/this/section\n\n[drives]\nD=/srv/d\nC=" + d + "/from-file\n");
  const ScopedEnv home("HOME", (d + "/home").c_str());

  // Every combination of the three sources: the strongest present wins,
  // for every path under the drive.
  for (int sources = 0; sources < 8; ++sources) {
    const bool file = sources & 1, env = sources & 2, choice = sources & 4;
    const ScopedEnv config("XDG_CONFIG_HOME", (file ? withFile : d + "/without-file").c_str());
    const ScopedEnv variable("DESKTALLY_DRIVE_C", env ? (d + "/from-env").c_str() : nullptr);
    std::optional<winfs::DriveChoice> chosen;
    if (choice) chosen.emplace('C', d + "/chosen");
    const std::string expected = d + (choice ? "/chosen" : env ? "/from-env" : file ? "/from-file" : "");
    EXPECT_EQ(winfs::driveFolder('c'), expected == d ? fallback : expected) << sources;
    EXPECT_EQ(winfs::hostPath("c:\\qss\\qslook.xml"), winfs::driveFolder('C') + "/qss/qslook.xml");
  }
  // Other letters keep their own keys; a relative configuration folder is ignored.
  const ScopedEnv config("XDG_CONFIG_HOME", withFile.c_str());
  EXPECT_EQ(winfs::driveFolder('D'), "/srv/d");
  EXPECT_EQ(winfs::driveFolder('E'), d + "/home/.desktally/drive_e");
  EXPECT_EQ(winfs::configurationFile(), withFile + "/DeskTally/desktally.conf");
  const ScopedEnv relative("XDG_CONFIG_HOME", "relative/config");
  EXPECT_EQ(winfs::configurationFile(), d + "/home/.config/DeskTally/desktally.conf");

  // Quoting, escapes, comments; a list is no folder; a section of its own.
  const std::string text =
      "; written by the window\n[drives]\r\nC = \"/srv/a, b\"\r\nD=/\\\"q\\\"\\x41\\x20ac\\101 ; note\n"
      "E=/a,/b\nG=\"  padded  \"\n[sites]\nF=/elsewhere\n";
  const std::pair<const char*, std::optional<std::string>> values[] = {
      {"C", "/srv/a, b"}, {"D", "/\"q\"A\xE2\x82\xAC\x41"}, {"E", {}}, {"F", {}}, {"G", "  padded  "}};
  for (const auto& [key, value] : values) EXPECT_EQ(inifile::readValue(text, "drives", key), value) << key;
  EXPECT_EQ(inifile::readValue("[drives]\nC=\"open\\", "drives", "C"), "open\\");

  // A site folder holds the settings file in any case.
  testutil::writeFile(dir.path() / "site" / "QSS" / "QSLook.XML", "<x/>");
  std::filesystem::create_directories(dir.path() / "folder" / "qss" / "qslook.xml");
  EXPECT_TRUE(winfs::folderHoldsFile(dir.str() + "/site", "qss\\qslook.xml"));
  EXPECT_FALSE(winfs::folderHoldsFile(dir.str() + "/folder", "qss\\qslook.xml"));  // a folder of that name
  EXPECT_FALSE(winfs::folderHoldsFile(dir.str(), "qss\\qslook.xml"));

  // Environment names in paths: known ones replaced, the rest kept.
  const ScopedEnv qss("DT_TEST_DIR", "/srv/qss"), ko("DT_TEST_KO", "전체"), none("DT_TEST_NONE", nullptr);
  EXPECT_EQ(sys::expandEnvironmentStrings("%DT_TEST_DIR%\\data"), "/srv/qss\\data");
  EXPECT_EQ(sys::expandEnvironmentStrings("%dt_test_dir%"), "/srv/qss");
  EXPECT_EQ(sys::expandEnvironmentStrings("%DT_TEST_NONE%\\x"), "%DT_TEST_NONE%\\x");
  EXPECT_EQ(sys::expandEnvironmentStrings("100% and %%"), "100% and %%");
  EXPECT_EQ(sys::expandEnvironmentStrings("%DT_TEST_NONE%DT_TEST_DIR%"), "%DT_TEST_NONE/srv/qss");
  // Values arrive in UTF-8 and leave as CP949, cut to the buffer by characters.
  EXPECT_EQ(sys::expandEnvironmentStrings("%DT_TEST_KO%"), "\xC0\xFC\xC3\xBC");
  char small[6], cut[4];
  EXPECT_EQ(sys::expandEnvironmentStrings("%DT_TEST_DIR%", small, sizeof small), 9u);
  EXPECT_STREQ(small, "/srv/");
  sys::expandEnvironmentStrings("a%DT_TEST_KO%", cut, sizeof cut);
  EXPECT_STREQ(cut, "a\xC0\xFC");
}
