#include "archive.h"

#include <algorithm>
#include <cstring>

#include "cp949.h"

namespace {

constexpr std::size_t SHORT_LIMIT = 0xFF;
constexpr std::uint16_t LONG_LENGTH = 0xFFFF;
constexpr std::uint16_t UNICODE_MARK = 0xFFFE;

// UTF-16LE units to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(const std::vector<std::uint16_t>& units) {
  std::string out;
  out.reserve(units.size() * 3);
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char32_t u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      mb::appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      mb::appendUtf8(out, 0xFFFD);
    } else {
      mb::appendUtf8(out, u);
    }
  }
  return out;
}

}  // namespace

dcArchiveReader_t::dcArchiveReader_t(std::FILE* file, std::size_t bufferSize)
    : file_(file), buffer_(std::max<std::size_t>(bufferSize, 16)) {}

void dcArchiveReader_t::read(void* out, std::size_t n) {
  auto* dst = static_cast<unsigned char*>(out);
  while (n > 0) {
    if (pos_ == end_) {
      pos_ = 0;
      end_ = file_ ? std::fread(buffer_.data(), 1, buffer_.size(), file_) : 0;
      if (end_ == 0) throw dcArchiveException_t("archive read error: the file ends before the record does");
    }
    const std::size_t take = std::min(n, end_ - pos_);
    std::memcpy(dst, buffer_.data() + pos_, take);
    pos_ += take;
    dst += take;
    n -= take;
  }
}

std::uint8_t dcArchiveReader_t::readU8() {
  unsigned char b;
  read(&b, 1);
  return b;
}

std::uint16_t dcArchiveReader_t::readU16() {
  unsigned char b[2];
  read(b, 2);
  return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t dcArchiveReader_t::readU32() {
  unsigned char b[4];
  read(b, 4);
  return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
         (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

void dcArchiveReader_t::readBlock16(unsigned char out[16]) { read(out, 16); }

// The length part of a text record after any UTF-16 mark.
std::size_t dcArchiveReader_t::readLength() {
  const std::uint8_t b = readU8();
  if (b < SHORT_LIMIT) return b;
  const std::uint16_t w = readU16();
  if (w < UNICODE_MARK) return w;
  if (w == LONG_LENGTH) return readU32();
  // A second UTF-16 mark inside a length makes no sense: read as no text.
  return 0;
}

std::string dcArchiveReader_t::readString() {
  bool unicode = false;
  std::size_t length;
  const std::uint8_t b = readU8();
  if (b < SHORT_LIMIT) {
    length = b;
  } else {
    const std::uint16_t w = readU16();
    if (w == UNICODE_MARK) {
      unicode = true;
      length = readLength();
    } else if (w == LONG_LENGTH) {
      length = readU32();
    } else {
      length = w;
    }
  }

  // Read in pieces, so that a huge length on a short file fails at the end
  // of the file instead of allocating first.
  constexpr std::size_t PIECE = 1 << 16;
  const std::size_t unitSize = unicode ? 2 : 1;
  std::string raw;
  std::size_t remaining = length;
  while (remaining > 0) {
    const std::size_t units = std::min(remaining, PIECE);
    const std::size_t old = raw.size();
    raw.resize(old + units * unitSize);
    read(raw.data() + old, units * unitSize);
    remaining -= units;
  }
  if (!unicode) return raw;

  std::vector<std::uint16_t> units(length);
  for (std::size_t i = 0; i < length; ++i)
    units[i] = static_cast<std::uint16_t>(static_cast<unsigned char>(raw[2 * i]) |
                                          (static_cast<unsigned char>(raw[2 * i + 1]) << 8));
  return mb::fromUtf8(utf16ToUtf8(units));
}
