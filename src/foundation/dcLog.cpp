#include "dcLog.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

#include "cp949.h"
#include "sys.h"
#include "winfs.h"

dcLog_t::dcLog_t() : level(0), pfWrite(&dcLog_t::write) {
  mb::copyBounded(folder, "./log");
  name[0] = '\0';
  write(this, 1, "%s", "");
  pfWrite(this, 1, "[dcLog_t::dcLog_t] Starting...");
}

dcLog_t::~dcLog_t() { pfWrite(this, 1, "[dcLog_t::~dcLog_t] Closed."); }

std::uint32_t dcLog_t::write(const void* tag, std::int32_t level, const char* format, ...) {
  dcLog_t& log = theLog;
  if (level > log.level) return SUPPRESSED;

  const sys::LocalTime now = sys::localTime();
  char path[NAME_SIZE + FOLDER_SIZE + 1024];
  std::snprintf(path, sizeof path, "%s/%s%.4d%.2d%.2d.log", log.folder, log.name, now.year, now.month,
                now.day);

  char message[MESSAGE_SIZE];
  message[0] = '\0';
  if (format) {
    va_list args;
    va_start(args, format);
    const int needed = std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    // A cut message ends on a whole character.
    if (needed >= static_cast<int>(sizeof message))
      message[mb::cutLength(message, sizeof message - 1)] = '\0';
  }

  char prefix[40];
  std::snprintf(prefix, sizeof prefix, "[%02d:%02d:%02d:0x%08x] ", now.hour, now.minute, now.second,
                dcTraceTag(tag));

  std::lock_guard<std::mutex> guard(log.lock);
  std::unique_ptr<std::FILE, winfs::FileCloser> file(winfs::openTextFile(path, "a"));
  if (!file) return CANNOT_OPEN;
  std::fputs(prefix, file.get());
  std::fputs(message, file.get());
  std::fputc('\n', file.get());
  return WRITTEN;
}
