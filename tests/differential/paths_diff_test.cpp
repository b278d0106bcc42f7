// A file opened under a folder as the disk spells it is the file the folder
// as written leads to, on random trees whose names differ in letter case
// only, are UTF-8 or CP949 bytes of one text, or hold characters CP949 lacks.
#include <gtest/gtest.h>

#include "cp949.h"
#include "testutil.h"
#include "winfs.h"

namespace {

std::optional<std::string> readAll(const std::string& corePath) {
  std::unique_ptr<std::FILE, winfs::FileCloser> file(winfs::openFile(corePath.c_str(), "rb"));
  if (!file) return std::nullopt;
  std::string text;
  for (int c; (c = std::fgetc(file.get())) != EOF;) text += static_cast<char>(c);
  return text;
}

}  // namespace

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
