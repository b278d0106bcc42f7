// The flat hash table under the inventory lists' and the usage document's
// indexes: one array of slots with linear probing, so that a look-up reads
// one run of neighbouring slots. Slots are never removed one by one, only
// all together, so no slot is ever emptied behind a probe.
//
// A Slot is a small record with a `hash` member (the full hash of its key,
// or part of it) and a `filled()` member that is false for a slot made by
// Slot{}.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace dcinv {

template <class Slot, std::size_t FIRST_SIZE = 16, std::size_t MAX_LOAD_PERCENT = 50>
class ProbeTable {
 public:
  // The slot in hash's run for which match(slot) holds, or nullptr.
  template <class Match>
  const Slot* find(std::size_t hash, Match&& match) const {
    if (slots_.empty()) return nullptr;
    for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
      const Slot& slot = slots_[i];
      if (!slot.filled()) return nullptr;
      if (match(slot)) return &slot;
    }
  }
  // Stores slot unless find(hash, match) finds one. False when memory runs
  // out (the table is then empty).
  template <class Match>
  bool insertFirst(std::size_t hash, const Slot& slot, Match&& match) {
    if ((used_ + 1) * 100 > slots_.size() * MAX_LOAD_PERCENT && !grow()) return false;
    for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
      Slot& at = slots_[i];
      if (!at.filled()) {
        at = slot;
        ++used_;
        return true;
      }
      if (match(at)) return true;
    }
  }
  void clear() {
    std::vector<Slot>().swap(slots_);
    used_ = 0;
    mask_ = 0;
  }

 private:
  bool grow() {
    std::vector<Slot> old;
    old.swap(slots_);
    try {
      slots_.assign(old.empty() ? FIRST_SIZE : old.size() * 2, Slot{});
    } catch (const std::bad_alloc&) {
      clear();
      return false;
    }
    mask_ = slots_.size() - 1;
    for (const Slot& slot : old)
      if (slot.filled()) {
        std::size_t i = slot.hash & mask_;
        while (slots_[i].filled()) i = (i + 1) & mask_;
        slots_[i] = slot;
      }
    return true;
  }

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
  std::size_t mask_ = 0;
};

}  // namespace dcinv
