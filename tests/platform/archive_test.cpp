// The group file's reader on cut-short input and on a stray surrogate. Every
// length form and UTF-16 texts are compared with the plain model by the group
// file's random tests.
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
std::string u32(std::uint32_t v) { return u16(v & 0xFFFF) + u16(v >> 16); }

}  // namespace

TEST(Archive_Reader, EveryCutRaisesTheReadErrorWithoutOverreading) {
  const std::string full = u32(7) + std::string(1, '\x03') + "abc" + "\xFF" + u16(300) +
                           std::string(300, 'x') + std::string(16, '\x01') + "\xFF" + u16(0xFFFE) +
                           std::string(1, '\x01') + u16('z');
  for (std::size_t cut = 0; cut < full.size(); ++cut) {
    FileFromBytes f(full.substr(0, cut));
    dcArchiveReader_t ar(f.file, 16);  // a small buffer crosses refills too
    auto readAll = [&] {
      ar.readU32();
      ar.readString();
      ar.readString();
      unsigned char block[16];
      ar.readBlock16(block);
      ar.readString();
    };
    EXPECT_THROW(readAll(), dcArchiveException_t) << "cut at " << cut;
  }
  // A 32-bit length of 4 GB on a tiny file fails at the end, without
  // allocating the claimed size.
  FileFromBytes huge("\xFF" + u16(0xFFFF) + u32(0xFFFFFFF0u) + "abc");
  dcArchiveReader_t ar(huge.file);
  EXPECT_THROW(ar.readString(), dcArchiveException_t);

  // An unpaired surrogate in a UTF-16 text takes nothing after it.
  FileFromBytes wide("\xFF" + u16(0xFFFE) + "\x02" + u16(0xD800) + u16('A'));
  EXPECT_TRUE(dcArchiveReader_t(wide.file).readString().ends_with('A'));
}
