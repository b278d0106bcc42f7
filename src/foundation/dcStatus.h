// Status codes shared by every operation of the console.
#pragma once

#include <cstdint>

using dcStatus_t = std::uint32_t;

namespace dcStatus {
constexpr dcStatus_t OK = 0;
constexpr dcStatus_t END_OF_FILE = 6;          // end of file while reading a line
constexpr dcStatus_t CANCELLED = 7;            // the file dialog was cancelled
constexpr dcStatus_t NOT_FOUND = 102;          // not found; nothing (more) to return
constexpr dcStatus_t ALREADY_PRESENT = 107;    // duplicates refused
constexpr dcStatus_t NOTHING_SELECTED = 112;   // nothing selected in the tree
constexpr dcStatus_t MISSING_OBJECT = 201;     // engine, form, window, text or back-links missing
constexpr dcStatus_t NULL_ARGUMENT = 203;      // a required argument is null
constexpr dcStatus_t BAD_FILE_NAME = 205;      // inventory file name is not two words
constexpr dcStatus_t NO_TEXT = 213;            // item has no text / tree item has no object
constexpr dcStatus_t CANNOT_CREATE = 303;      // a sub-object cannot be created
constexpr dcStatus_t CANNOT_START = 310;       // a program cannot be started
constexpr dcStatus_t TIMER_FAILED = 311;       // a timer cannot be started
constexpr dcStatus_t EVENT_FAILED = 312;       // an event cannot be stored
constexpr dcStatus_t FILE_ERROR = 401;         // cannot open, read, or empty
constexpr dcStatus_t BAD_ARGUMENT = 511;       // a command argument cannot be converted
constexpr dcStatus_t NO_MEMORY = 512;          // no memory for a list item, node or event
constexpr dcStatus_t REFUSED_OVERWRITE = 601;  // the operator refused to overwrite
constexpr dcStatus_t NO_MEMORY_TEXT = 602;     // no memory for a text copy; a load cannot add
}  // namespace dcStatus
