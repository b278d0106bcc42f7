// The group file's reader on a claimed length far beyond the file and on a
// stray surrogate. Every length form, UTF-16 texts and files cut short
// anywhere are compared with the plain model by the group file's random tests.
#include "archive.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

struct FileFromBytes {
  explicit FileFromBytes(const std::string& bytes) : file(std::tmpfile()) {
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
  }
  ~FileFromBytes() { std::fclose(file); }
  std::FILE* file;
};

std::string u16(std::uint16_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }

}  // namespace

TEST(Archive_Reader, HugeLengthsFailAndStraySurrogatesTakeNothingAfter) {
  // A 32-bit length of 4 GB on a tiny file fails at the end, without
  // allocating the claimed size.
  FileFromBytes huge("\xFF" + u16(0xFFFF) + u16(0xFFF0) + u16(0xFFFF) + "abc");
  dcArchiveReader_t ar(huge.file);
  EXPECT_THROW(ar.readString(), dcArchiveException_t);

  // An unpaired surrogate in a UTF-16 text takes nothing after it.
  FileFromBytes wide("\xFF" + u16(0xFFFE) + "\x02" + u16(0xD800) + u16('A'));
  EXPECT_TRUE(dcArchiveReader_t(wide.file).readString().ends_with('A'));
}
