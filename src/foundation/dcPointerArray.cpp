#include "dcPointerArray.h"

#include <algorithm>
#include <cstdlib>

namespace {
// The slot at() hands out for an index outside the array; writes to it
// never reach the array's storage.
thread_local void* spareSlot = nullptr;
}  // namespace

dcPointerArray_t::dcPointerArray_t(std::uint32_t growBy) : growBy(growBy) {
  if (growBy == 0) return;
  items = static_cast<void**>(std::calloc(growBy, sizeof(void*)));
  if (items) capacity = allocated_ = growBy;
}

dcPointerArray_t::~dcPointerArray_t() { std::free(items); }

std::int32_t dcPointerArray_t::append(void* pointer) {
  if (!items) return -1;
  if (count < capacity) {
    items[count] = pointer;
    return static_cast<std::int32_t>(count++);
  }
  const std::uint64_t wanted = static_cast<std::uint64_t>(count) + growBy;
  if (growBy == 0 || wanted > INT32_MAX) return -1;
  if (wanted > allocated_) {
    std::uint64_t room = std::max<std::uint64_t>(wanted, 2ull * allocated_);
    if (room > INT32_MAX) room = wanted;
    auto* grown = static_cast<void**>(std::realloc(items, room * sizeof(void*)));
    if (!grown) return -1;
    items = grown;
    allocated_ = static_cast<std::uint32_t>(room);
  }
  capacity += growBy;
  items[count] = pointer;
  return static_cast<std::int32_t>(count++);
}

void* dcPointerArray_t::get(std::uint32_t index) const {
  if (index >= count || !items) return nullptr;
  return items[index];
}

void*& dcPointerArray_t::at(std::uint32_t index) {
  if (index >= count || !items) {
    spareSlot = nullptr;
    return spareSlot;
  }
  return items[index];
}

void dcPointerArray_t::reset() {
  count = 0;
  if (!items || allocated_ == growBy) return;
  if (growBy == 0) {
    std::free(items);
    items = nullptr;
    capacity = allocated_ = 0;
    return;
  }
  if (auto* shrunk = static_cast<void**>(std::realloc(items, growBy * sizeof(void*)))) {
    items = shrunk;
    allocated_ = growBy;
  }
  capacity = growBy;
}
