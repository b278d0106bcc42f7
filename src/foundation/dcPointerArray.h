// A growable array of pointers it does not own.
#pragma once

#include <cstdint>

class dcPointerArray_t {
 public:
  explicit dcPointerArray_t(std::uint32_t growBy);
  ~dcPointerArray_t();
  dcPointerArray_t(const dcPointerArray_t&) = delete;
  dcPointerArray_t& operator=(const dcPointerArray_t&) = delete;

  // Index of the stored pointer, or -1 when the array cannot grow.
  std::int32_t append(void* pointer);
  // The entry at index, or nullptr when index is not below count.
  void* get(std::uint32_t index) const;
  // A reference to the entry; a shared spare slot for an index out of range.
  void*& at(std::uint32_t index);
  // Shrinks the storage back to growBy entries and empties the array.
  void reset();

  std::uint32_t count = 0;
  std::uint32_t capacity = 0;
  void** items = nullptr;
  std::uint32_t growBy;

 private:
  // Entries the storage really holds. capacity grows by growBy as the
  // array's contract says; the storage underneath doubles, so that long
  // arrays are not copied on every step.
  std::uint32_t allocated_ = 0;
};
