#include "dcTextTable.h"

#include <cstring>
#include <string_view>

#include "cp949.h"

const char* dcTextTable_t::keep(const char* text, std::size_t fieldSize) noexcept {
  std::size_t length = strnlen(text, fieldSize);
  if (length == fieldSize) length = mb::cutLength(text, fieldSize - 1);
  const std::string_view key(text, length);
  const std::size_t hash = std::hash<std::string_view>()(key);
  auto same = [&](const Slot& s) {
    return s.hash == hash && std::strncmp(s.text, text, length) == 0 && s.text[length] == '\0';
  };
  if (const Slot* found = index_.find(hash, same)) return found->text;
  auto* copy = static_cast<char*>(texts_.reserve(length + 1, 1));
  if (!copy) return nullptr;
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  // Without room in the index the copy is still good; it is only not shared.
  index_.insertFirst(hash, Slot{hash, copy}, same);
  return copy;
}

void dcTextTable_t::clear() noexcept {
  index_.clear();
  texts_.clear();
}
