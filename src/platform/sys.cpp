#include "sys.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>
#include <thread>

#include "cp949.h"

#ifdef DESKTALLY_MIMALLOC
#include <mimalloc.h>
#endif

extern char** environ;

namespace sys {
namespace {

// The value of the environment variable name (CP949), converted to CP949.
// Windows variable names ignore case, so an inexact match is accepted when
// no variable has the exact name.
bool lookUp(const std::string& name, std::string& value) {
  const std::string hostName = mb::toUtf8(name);
  const char* found = std::getenv(hostName.c_str());
  if (!found) {
    for (char** entry = environ; entry && *entry; ++entry) {
      const char* eq = std::strchr(*entry, '=');
      if (!eq || static_cast<std::size_t>(eq - *entry) != hostName.size()) continue;
      if (strncasecmp(*entry, hostName.c_str(), hostName.size()) == 0) {
        found = eq + 1;
        break;
      }
    }
  }
  if (!found) return false;
  const std::string_view raw(found);
  value = mb::isValidUtf8(raw) ? mb::fromUtf8(raw) : std::string(raw);
  return true;
}

}  // namespace

std::string expandEnvironmentStrings(const char* text) {
  std::string out;
  if (!text) return out;
  const char* p = text;
  while (*p) {
    if (*p != '%') {
      const std::size_t len = mb::charLength(p);
      out.append(p, len);
      p += len;
      continue;
    }
    const char* close = mb::findChar(p + 1, '%');
    if (!close) {
      out.append(p);
      break;
    }
    const std::string name(p + 1, close);
    std::string value;
    if (!name.empty() && lookUp(name, value)) {
      out += value;
      p = close + 1;
      continue;
    }
    // Unknown: the reference stays as written, and its closing '%' may
    // open the next one.
    out.append(p, close);
    p = close;
  }
  return out;
}

std::size_t expandEnvironmentStrings(const char* text, char* dst, std::size_t dstSize) {
  const std::string expanded = expandEnvironmentStrings(text);
  mb::copyBounded(dst, dstSize, expanded.c_str());
  return expanded.size() + 1;
}

void outputDebugString(const char* text) {
  if (!text) return;
  std::string line = mb::toUtf8(text);
  if (line.empty() || line.back() != '\n') line += '\n';
  std::fputs(line.c_str(), stderr);
}

LocalTime localTime() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  LocalTime t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec;
  return t;
}

int lastError() { return errno; }

void configureHeap() {
#ifdef DESKTALLY_MIMALLOC
  mi_option_enable(mi_option_large_os_pages);
  // A thread's first segment is otherwise committed bit by bit, in small
  // pages; the loading thread and each parse worker fill theirs at once.
  mi_option_set(mi_option_eager_commit_delay, 0);
  // The segment the heap took for the runtime's start-up allocations was
  // mapped before the options were set, and the loading thread fills it
  // first: advise its mapping (the one holding a fresh small block) as the
  // options advise every later one.
  void* probe = mi_malloc(1);
  const auto at = reinterpret_cast<std::uintptr_t>(probe);
  if (std::FILE* maps = std::fopen("/proc/self/maps", "re")) {
    char line[512];
    while (std::fgets(line, sizeof line, maps)) {
      unsigned long low = 0;
      unsigned long high = 0;
      if (std::sscanf(line, "%lx-%lx", &low, &high) == 2 && low <= at && at < high) {
        ::madvise(reinterpret_cast<void*>(low), high - low, MADV_HUGEPAGE);
        break;
      }
    }
    std::fclose(maps);
  }
  mi_free(probe);
#endif
}

void sleepMilliseconds(std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace sys
