#include "dcPointerArray.h"

#include <cstdlib>

namespace {
// The slot at() hands out for an index outside the array; writes to it
// never reach the array's storage.
thread_local void* spareSlot = nullptr;
}  // namespace

dcPointerArray_t::dcPointerArray_t(std::uint32_t growBy) : growBy(growBy) {
  if (growBy == 0) return;
  items = static_cast<void**>(std::calloc(growBy, sizeof(void*)));
  if (items) capacity = growBy;
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
  auto* grown = static_cast<void**>(std::realloc(items, wanted * sizeof(void*)));
  if (!grown) return -1;
  items = grown;
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
  if (!items || capacity == growBy) return;
  if (growBy == 0) {
    std::free(items);
    items = nullptr;
    capacity = 0;
    return;
  }
  if (auto* shrunk = static_cast<void**>(std::realloc(items, growBy * sizeof(void*)))) items = shrunk;
  capacity = growBy;
}
