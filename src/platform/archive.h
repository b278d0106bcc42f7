// Reading the group file's archive format: little-endian 32-bit numbers,
// length-prefixed texts and raw 16-byte blocks. Reading past the end of the
// file raises dcArchiveException_t, the archive read error, which the
// command dispatcher reports to the operator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

class dcArchiveException_t : public std::runtime_error {
 public:
  explicit dcArchiveException_t(const std::string& what) : std::runtime_error(what) {}
};

class dcArchiveReader_t {
 public:
  // Reads from an open file (not owned) through a buffer of bufferSize bytes.
  explicit dcArchiveReader_t(std::FILE* file, std::size_t bufferSize = 4096);
  dcArchiveReader_t(const dcArchiveReader_t&) = delete;
  dcArchiveReader_t& operator=(const dcArchiveReader_t&) = delete;

  std::uint32_t readU32();
  // A text record: a length below 255 in one byte; else 0xFF and a 16-bit
  // length, 0xFFFF and a 32-bit length, or 0xFFFE marking a UTF-16 text
  // (converted to CP949) whose own length prefix follows.
  std::string readString();
  void readBlock16(unsigned char out[16]);

 private:
  void read(void* out, std::size_t n);
  std::size_t readLength();
  std::uint8_t readU8();
  std::uint16_t readU16();

  std::FILE* file_;
  std::vector<unsigned char> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
};
