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
// The local wall-clock time.
LocalTime localTime();

// The last operating-system error (errno).
int lastError();

// Sleeps the calling thread.
void sleepMilliseconds(std::uint32_t ms);

// A site's inventories are millions of small records, and touching that
// much fresh memory one 4 KB page at a time costs more than building them.
// The programs call this first thing in main: when they are linked with
// mimalloc, it asks it to back its segments with 2 MB pages (transparent
// huge pages, through madvise), each thread's first segment included, and
// advises the same for the memory the heap took before main began (the C++
// runtime allocates at start-up). Nothing else changes, and nothing the
// program starts inherits it. Without mimalloc (sanitizer builds) it does
// nothing.
void configureHeap();

}  // namespace sys
