#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

#include "dcSlotPool.h"

// Slots are distinct, aligned and writable across blocks; a freed slot is
// handed out again; threads may share a pool.
TEST(SlotPool, HandsOutDistinctSlotsAndReusesFreedOnes) {
  dcpool::SlotPool pool(1033);
  EXPECT_EQ(pool.slotSize(), 1040u);
  std::vector<void*> slots;
  std::set<void*> seen;
  for (int i = 0; i < 40000; ++i) {  // more than one block
    void* p = pool.allocate();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 16, 0u);
    std::memset(p, i & 0xFF, pool.slotSize());
    EXPECT_TRUE(seen.insert(p).second);
    slots.push_back(p);
  }
  EXPECT_EQ(static_cast<unsigned char*>(slots[7])[1039], 7);
  pool.release(slots[5]);
  pool.release(nullptr);
  void* again = pool.allocate();
  if (dcpool::kPooled) {
    EXPECT_EQ(again, slots[5]);
  }
  slots[5] = again;

  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&pool] {
      for (int i = 0; i < 1000; ++i) pool.release(pool.allocate());
    });
  for (std::thread& t : threads) t.join();
  for (void* p : slots) pool.release(p);
}
