// A singly linked list of owned texts, in insertion order.
#pragma once

#include <cstdint>

#include "dcStatus.h"

struct dcStringListItem_t {
  char* text = nullptr;    // the item's own heap copy
  std::uint32_t size = 0;  // bytes of text, with its terminating zero
  dcStringListItem_t* next = nullptr;
};

class dcStringList_t {
 public:
  dcStringList_t() = default;
  ~dcStringList_t();
  dcStringList_t(const dcStringList_t&) = delete;
  dcStringList_t& operator=(const dcStringList_t&) = delete;

  // First item whose text equals text byte for byte, or nullptr.
  dcStringListItem_t* find(const char* text);
  // Appends a copy of text (duplicates allowed).
  dcStringListItem_t* add(const char* text);
  // Appends the texts of other in order; with allowDuplicates 0 a text that
  // find already has is skipped. 203 without other, 201 (and stop) at an
  // item of other without text, a failing add's status, else 0.
  dcStatus_t addAll(dcStringList_t* other, int allowDuplicates);
  // Walking: first, then next on each returned item. copyTo, when given,
  // receives the text and must be large enough.
  dcStringListItem_t* first(char* copyTo);
  dcStringListItem_t* next(dcStringListItem_t* item, char* copyTo);
  dcStatus_t clear();

  dcStatus_t status = dcStatus::OK;
  dcStringListItem_t* head = nullptr;

 private:
  // The last item, kept so that add does not walk the whole list.
  dcStringListItem_t* tail_ = nullptr;
};
