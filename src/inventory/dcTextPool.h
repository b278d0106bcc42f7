// Texts kept once for the whole program: the PCs of a site report the same
// categories, devices, item names and descriptions over and over, so a list
// keeps a counted reference to one shared copy instead of a copy of its own.
#pragma once

#include <cstddef>

namespace dcinv {

// The text a failed holdText leaves in place; releaseText ignores it.
extern const char UNHELD[1];

// The shared copy of the text as a field of fieldSize bytes keeps it (at
// most fieldSize - 1 bytes, cut at a character boundary), counted once
// more; UNHELD without memory.
const char* holdText(const char* text, std::size_t fieldSize) noexcept;
// Counts a reference to a held text (or UNHELD) once less; the copy goes
// with its last reference.
void releaseText(const char* text) noexcept;

}  // namespace dcinv
