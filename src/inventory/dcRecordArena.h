// Memory for the records of one inventory list: records are placed one after
// another in blocks that never move, and the blocks are freed all together,
// so a PC's list costs a block or two instead of one heap allocation per
// record. An empty arena holds no memory. The arena never runs destructors:
// an owner whose records need one runs it before clear.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

namespace dcinv {

// The block sizes of a PC's lists, each of which fits one block (the gathering reads them too).
constexpr std::size_t SOFTWARE_BLOCK = 1536, HARDWARE_BLOCK = 2048, WINDOWS_BLOCK = 512;

template <std::size_t BLOCK_BYTES>
class RecordArena {
 public:
  RecordArena() = default;
  ~RecordArena() { clear(); }
  RecordArena(const RecordArena&) = delete;
  RecordArena& operator=(const RecordArena&) = delete;

  // A new record made from args (braced, so plain structs take their fields
  // in order); nullptr without memory.
  template <class Record, class... Args>
  Record* make(Args&&... args) noexcept {
    void* at = reserve(sizeof(Record), alignof(Record));
    return at ? new (at) Record{std::forward<Args>(args)...} : nullptr;
  }
  // bytes (at least one) at a multiple of align, a power of two; nullptr
  // without memory or when they cannot fit a block.
  void* reserve(std::size_t bytes, std::size_t align) noexcept {
    std::size_t pad = -reinterpret_cast<std::uintptr_t>(free_) & (align - 1);
    if (pad + bytes > left_) {
      if (bytes + align > BLOCK_BYTES - sizeof(Block)) return nullptr;
      auto* block = static_cast<Block*>(::operator new(BLOCK_BYTES, std::nothrow));
      if (!block) return nullptr;
      block->next = newest_;
      newest_ = block;
      free_ = reinterpret_cast<char*>(block + 1);
      left_ = BLOCK_BYTES - sizeof(Block);
      pad = -reinterpret_cast<std::uintptr_t>(free_) & (align - 1);
    }
    char* at = free_ + pad;
    free_ = at + bytes;
    left_ -= pad + bytes;
    return at;
  }
  // Frees every block; whatever was placed in them is gone.
  void clear() noexcept {
    while (newest_) {
      Block* older = newest_->next;
      ::operator delete(newest_);
      newest_ = older;
    }
    free_ = nullptr;
    left_ = 0;
  }

 private:
  struct Block {
    Block* next;
  };
  Block* newest_ = nullptr;
  char* free_ = nullptr;
  std::size_t left_ = 0;
};

}  // namespace dcinv
