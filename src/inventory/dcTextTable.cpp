#include "dcTextTable.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>

#include "cp949.h"

namespace {

// Texts are packed into blocks of this size; a longer text (at most a
// 512-byte field) still fits one.
constexpr std::size_t kBlockSize = 16 * 1024;

}  // namespace

char* dcTextTable_t::reserve(std::size_t bytes) noexcept {
  if (bytes > left_) {
    const std::size_t size = std::max(bytes, kBlockSize);
    std::unique_ptr<char[]> block(new (std::nothrow) char[size]);
    if (!block) return nullptr;
    try {
      blocks_.push_back(std::move(block));
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
    free_ = blocks_.back().get();
    left_ = size;
  }
  char* at = free_;
  free_ += bytes;
  left_ -= bytes;
  return at;
}

const char* dcTextTable_t::keep(const char* text, std::size_t fieldSize) noexcept {
  const std::string_view key(text, mb::boundedLength(text, fieldSize - 1));
  const std::size_t hash = std::hash<std::string_view>()(key);
  auto same = [&](const Slot& s) { return s.hash == hash && std::string_view(s.text) == key; };
  if (const Slot* found = index_.find(hash, same)) return found->text;
  char* copy = reserve(key.size() + 1);
  if (!copy) return nullptr;
  std::memcpy(copy, key.data(), key.size());
  copy[key.size()] = '\0';
  // Without room in the index the copy is still good; it is only not shared.
  index_.insertFirst(hash, Slot{hash, copy}, same);
  return copy;
}

void dcTextTable_t::clear() noexcept {
  index_.clear();
  blocks_.clear();
  free_ = nullptr;
  left_ = 0;
}
