// Memory for the many fixed-size records of a site's inventories (software
// entries, hardware items): slots of one size carved from large blocks that
// are mapped once and then kept. A freed slot goes to the front of a free
// chain and is the next one handed out, so a second load of a site reuses
// the memory of the first instead of asking the system again. The blocks
// are marked for transparent huge pages where the system offers them, which
// makes the first touch of millions of records far cheaper than one page
// fault per 4 KB.
//
// For one thread: the lists that use it are built and freed by the loading
// thread. Under the address sanitizer every slot is an allocation of
// its own, so that misuse stays detectable.
#pragma once

#include <cstddef>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define DC_SLOT_POOL_DIRECT 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DC_SLOT_POOL_DIRECT 1
#endif
#endif

namespace dcpool {

// False under the address sanitizer, where slots are plain allocations.
#ifdef DC_SLOT_POOL_DIRECT
inline constexpr bool kPooled = false;
#else
inline constexpr bool kPooled = true;
#endif

class SlotPool {
 public:
  // slotSize: the size of every slot (rounded up to 16 bytes).
  explicit SlotPool(std::size_t slotSize);
  SlotPool(const SlotPool&) = delete;
  SlotPool& operator=(const SlotPool&) = delete;

  // A slot of the pool's size (contents unspecified), or nullptr when
  // memory runs out.
  void* allocate() noexcept;
  // Returns a slot that allocate handed out; nullptr is ignored.
  void release(void* slot) noexcept;

  std::size_t slotSize() const { return slot_; }

 private:
  struct FreeSlot {
    FreeSlot* next;
  };
  bool refill() noexcept;

  std::size_t slot_;
  FreeSlot* free_ = nullptr;
  char* next_ = nullptr;
  char* end_ = nullptr;
};

// A base that makes `new Record` take its memory from a pool of slots of
// the record's size, one pool per record type, never destroyed (records may
// be freed by destructors that run at exit).
template <class Record>
struct Pooled {
  static void* operator new(std::size_t size) {
    if (void* record = operator new(size, std::nothrow)) return record;
    throw std::bad_alloc();
  }
  static void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return size <= pool().slotSize() ? pool().allocate() : nullptr;
  }
  static void operator delete(void* record) noexcept { pool().release(record); }

 private:
  static SlotPool& pool() {
    static SlotPool& shared = *new SlotPool(sizeof(Record));
    return shared;
  }
};

}  // namespace dcpool
