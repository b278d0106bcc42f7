// Small system services in the shape the core expects them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace sys {

// Replaces each %NAME% with the value of the environment variable NAME; an
// unknown name, a lone "%" or an unclosed reference stays as written.
std::string expandEnvironmentStrings(const char* text);
// Bounded form: writes at most dstSize - 1 bytes (never splitting a CP949
// character) and a NUL; returns the full length the expansion needs + 1.
std::size_t expandEnvironmentStrings(const char* text, char* dst, std::size_t dstSize);

// Debugger output: standard error, one line.
void outputDebugString(const char* text);

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
// The local wall-clock time. Tests may fix it with setClockForTesting.
LocalTime localTime();
// nullptr restores the real clock.
using ClockFn = LocalTime (*)();
void setClockForTesting(ClockFn clock);

// The last operating-system error (errno).
int lastError();

// Sleeps the calling thread.
void sleepMilliseconds(std::uint32_t ms);

// A site's inventories are millions of small records, and touching that
// much fresh memory one 4 KB page at a time costs more than building them.
// The C library backs its heap with 2 MB pages when the environment asks
// for it (GLIBC_TUNABLES=glibc.malloc.hugetlb=1), and it reads that only as
// a program starts: so unless the environment already says something about
// it, this sets it and starts the program again, with the same arguments,
// before anything else has run. Programs call it first thing, from a
// constructor that runs before static initialisation (see
// DESKTALLY_HUGE_PAGE_HEAP). When the restart fails the program goes on as
// it is. GLIBC_TUNABLES=glibc.malloc.hugetlb=0 keeps it from happening.
void restartWithHugePageHeap(int argc, char** argv);

}  // namespace sys

// In the file that holds main: restarts the program with a huge-page heap
// before any static object of the program is constructed.
#define DESKTALLY_HUGE_PAGE_HEAP                                                               \
  __attribute__((constructor(101))) static void desktallyHugePageHeap(int argc, char** argv) { \
    sys::restartWithHugePageHeap(argc, argv);                                                  \
  }
