// The trace log: one object for the whole run, appending lines to a daily
// file "./log/YYYYMMDD.log". Callers always write through theLog.pfWrite.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>

// The tag printed in a trace line's prefix: the low 32 bits of an address.
inline std::uint32_t dcTraceTag(const void* p) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(p));
}

class dcLog_t {
 public:
  static constexpr std::size_t NAME_SIZE = 512;
  static constexpr std::size_t FOLDER_SIZE = 512;
  static constexpr std::size_t MESSAGE_SIZE = 1024;

  // write's results.
  static constexpr std::uint32_t WRITTEN = 0;
  static constexpr std::uint32_t CANNOT_OPEN = 1;
  static constexpr std::uint32_t SUPPRESSED = 2;

  // A typedef rather than an alias: only this form carries the format
  // attribute, so every call through pfWrite has its arguments checked.
  typedef std::uint32_t (*WriteFn)(const void* tag, std::int32_t level, const char* format, ...)
      __attribute__((format(printf, 3, 4)));

  dcLog_t();
  ~dcLog_t();
  dcLog_t(const dcLog_t&) = delete;
  dcLog_t& operator=(const dcLog_t&) = delete;

  // Works on theLog. tag identifies the caller (this, or the address of a
  // static operation); level 0 = failure, 1 = progress.
  static std::uint32_t write(const void* tag, std::int32_t level, const char* format, ...)
      __attribute__((format(printf, 3, 4)));

  char name[NAME_SIZE];
  char folder[FOLDER_SIZE];
  std::int32_t level;
  std::mutex lock;
  WriteFn pfWrite;
};

// Built before every global defined after this header in any translation
// unit, destroyed after them all.
inline dcLog_t theLog;
