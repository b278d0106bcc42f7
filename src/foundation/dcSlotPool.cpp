#include "dcSlotPool.h"

#include <sys/mman.h>

#include <cstdlib>

namespace dcpool {

namespace {

// Blocks are mapped 32 MB at a time: a whole number of 2 MB huge pages, and
// few enough mappings for a site of millions of records.
constexpr std::size_t kBlockSize = std::size_t{32} << 20;
constexpr std::size_t kAlign = 16;

}  // namespace

SlotPool::SlotPool(std::size_t slotSize) : slot_((slotSize + kAlign - 1) / kAlign * kAlign) {}

bool SlotPool::refill() noexcept {
  void* block = ::mmap(nullptr, kBlockSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) return false;
#ifdef MADV_HUGEPAGE
  ::madvise(block, kBlockSize, MADV_HUGEPAGE);
#endif
  next_ = static_cast<char*>(block);
  end_ = next_ + kBlockSize;
  return true;
}

void* SlotPool::allocate() noexcept {
#ifdef DC_SLOT_POOL_DIRECT
  return std::malloc(slot_);
#else
  if (free_) {
    FreeSlot* slot = free_;
    free_ = slot->next;
    return slot;
  }
  if (static_cast<std::size_t>(end_ - next_) < slot_ && !refill()) return nullptr;
  void* slot = next_;
  next_ += slot_;
  return slot;
#endif
}

void SlotPool::release(void* slot) noexcept {
  if (!slot) return;
#ifdef DC_SLOT_POOL_DIRECT
  std::free(slot);
#else
  auto* freed = static_cast<FreeSlot*>(slot);
  freed->next = free_;
  free_ = freed;
#endif
}

}  // namespace dcpool
