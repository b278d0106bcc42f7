#include "archive.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "cp949.h"

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

TEST(Archive_Fields, NumbersTextsAndBlocksInEveryLengthForm) {
  const std::string t254(254, 'a'), t255(255, 'b'), t65534(0xFFFD, 'c'), t65535(0xFFFF, 'd');
  std::string bytes = u32(0x12345678) + std::string(1, '\x05') + "hello";
  bytes += std::string(1, static_cast<char>(254)) + t254;  // one-byte length
  bytes += "\xFF" + u16(255) + t255;                       // 16-bit length
  bytes += "\xFF" + u16(0xFFFD) + t65534;                  // largest 16-bit
  bytes += "\xFF" + u16(0xFFFF) + u32(0xFFFF) + t65535;    // 32-bit length
  bytes += std::string(16, '\x7F');
  bytes += std::string(1, '\0');  // empty text
  FileFromBytes f(bytes);
  dcArchiveReader_t ar(f.file, 4096);
  EXPECT_EQ(ar.readU32(), 0x12345678u);
  EXPECT_EQ(ar.readString(), "hello");
  EXPECT_EQ(ar.readString(), t254);
  EXPECT_EQ(ar.readString(), t255);
  EXPECT_EQ(ar.readString(), t65534);
  EXPECT_EQ(ar.readString(), t65535);
  unsigned char block[16];
  ar.readBlock16(block);
  EXPECT_EQ(block[15], 0x7F);
  EXPECT_EQ(ar.readString(), "");
  EXPECT_THROW(ar.readU32(), dcArchiveException_t);
}

TEST(Archive_Fields, Utf16TextsBecomeCp949) {
  // "서울" in UTF-16LE: U+C11C U+C6B8.
  std::string bytes = "\xFF" + u16(0xFFFE) + std::string(1, '\x02') + u16(0xC11C) + u16(0xC6B8);
  // An unpaired surrogate does not break the conversion.
  bytes += "\xFF" + u16(0xFFFE) + std::string(1, '\x02') + u16(0xD800) + u16('A');
  FileFromBytes f(bytes);
  dcArchiveReader_t ar(f.file);
  EXPECT_EQ(ar.readString(), mb::fromUtf8("서울"));
  const std::string second = ar.readString();
  ASSERT_FALSE(second.empty());
  EXPECT_EQ(second.back(), 'A');
}

TEST(Archive_Truncation, EveryCutRaisesTheReadErrorWithoutOverreading) {
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
}
