#include <gtest/gtest.h>

#include <cerrno>

#include "cp949.h"
#include "testutil.h"
#include "winfs.h"

namespace {

// What a ReadFile gives, read to its end in small pieces: whether it is
// open, its size, errno after opening, its bytes, and whether a read failed.
using Whole = std::tuple<bool, std::size_t, int, std::string, bool>;
Whole readAll(winfs::ReadFile&& file) {
  Whole whole{file.isOpen(), file.size(), errno, "", false};
  char piece[1000];
  while (const std::size_t got = file.read(piece, sizeof piece)) std::get<3>(whole).append(piece, got);
  std::get<4>(whole) = file.failed();
  return whole;
}

}  // namespace

// A file opened by its name in a folder held open, with or without a
// reader, reads as the one its path opens: sizes around the reader's
// buffer, NULs, a folder, a missing file, letter case, a Korean name
// written in CP949 and on disk in UTF-8, names that are not plain, and
// folders spelled otherwise or missing, with errno as the path's open
// leaves it; holding a folder open leaves errno alone; one reader serves
// file after file.
TEST(FileReader, FilesReadAsByTheirPath) {
  testutil::TempDir dir;
  testutil::DriveMapping drive('S', dir.str());
  const std::filesystem::path data = dir.path() / "data";
  const std::size_t buffer = winfs::FileReader::BUFFER_SIZE;
  std::vector<std::string> names;
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, buffer - 1, buffer, buffer + 1, 3 * buffer}) {
    std::string bytes(size, 'x');
    for (std::size_t i = 0; i < size; i += 997) bytes[i] = static_cast<char>(i % 7);  // NULs among them
    names.push_back("f" + std::to_string(size) + " HardwareInfo.xml");
    testutil::writeFile(data / names.back(), bytes);
  }
  std::filesystem::create_directory(data / "dir.xml");
  testutil::writeFile(data / "Mixed Case.XML", "<a/>");
  testutil::writeFile(data / mb::toUtf8("\xb0\xa1 b.xml"), "korean");
  names.insert(names.end(), {"dir.xml", "missing.xml", "mixed case.xml", "\xb0\xa1 b.xml", "sub\\x.xml",
                             "..\\data\\f1 HardwareInfo.xml", ""});

  errno = 77;
  const winfs::Folder folder("S:\\data"), upper("S:\\DATA"), missing("S:\\nothere");
  EXPECT_EQ(errno, 77);
  winfs::FileReader reader;
  for (int round = 0; round < 2; ++round)
    for (const winfs::Folder* in : {&folder, &upper, &missing})
      for (const std::string& name : names) {
        errno = 1234;
        const Whole byPath = readAll(winfs::ReadFile((std::string(in->path()) + "\\" + name).c_str()));
        errno = 1234;
        EXPECT_EQ(readAll(winfs::ReadFile(*in, name.c_str())), byPath) << in->path() << " " << name;
        errno = 1234;
        EXPECT_EQ(readAll(winfs::ReadFile(*in, name.c_str(), reader)), byPath) << in->path() << " " << name;
      }

  // Files read ahead are taken in their order, the ones skipped dropped; a
  // file that fills its buffer, a folder and a missing file are left to the
  // ordinary calls, with errno untouched.
  if (!reader.available()) GTEST_SKIP() << "no io_uring on this machine";
  const char* ahead[] = {names[2].c_str(), names[1].c_str(), names[3].c_str(), "missing.xml",
                         names[0].c_str()};
  errno = 1234;
  reader.readAhead(folder, ahead, std::size(ahead));
  EXPECT_EQ(reader.readWhole(folder, ahead[0]), static_cast<long>(buffer - 1));
  EXPECT_EQ(std::string(reader.buffer(), 2), std::string("\0x", 2));
  // ahead[1], skipped, is read again, now.
  for (const auto& [name, got] :
       {std::pair{ahead[2], -1L}, {ahead[3], -1L}, {ahead[4], 0L}, {ahead[1], 1L}, {"dir.xml", -1L}})
    EXPECT_EQ(reader.readWhole(folder, name), got) << name;
  EXPECT_EQ(errno, 1234);
}
