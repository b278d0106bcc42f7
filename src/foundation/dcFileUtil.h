// The line reader and the file-name helper.
#pragma once

#include <cstddef>
#include <cstdio>

#include "dcStatus.h"

// Reads one line from stream into line (lineSize bytes), up to a carriage
// return, a line feed or the end of the file; the terminator is consumed and
// not stored. A longer line is cut to lineSize - 1 bytes (never splitting a
// double-byte character); the rest of it is consumed. 0 at a terminator,
// 6 at the end of the file, 203 for a missing argument.
dcStatus_t readLine(std::FILE* stream, char* line, std::size_t lineSize);

// Copies the part of path after its last backslash into name (nameSize
// bytes, cut at a character boundary). A path without a backslash yields the
// whole path. 203 for a missing argument, 0 otherwise.
dcStatus_t getFileName(const char* path, char* name, std::size_t nameSize);
