#include "dcStringList.h"

#include <cstring>
#include <new>

dcStringList_t::~dcStringList_t() { clear(); }

dcStringListItem_t* dcStringList_t::find(const char* text) {
  if (!text) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  for (dcStringListItem_t* item = head; item; item = item->next) {
    if (!item->text) {
      status = dcStatus::MISSING_OBJECT;
      return nullptr;
    }
    if (std::strcmp(item->text, text) == 0) {
      status = dcStatus::OK;
      return item;
    }
  }
  status = dcStatus::NOT_FOUND;
  return nullptr;
}

dcStringListItem_t* dcStringList_t::add(const char* text) {
  if (!text) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  auto* item = new (std::nothrow) dcStringListItem_t;
  if (!item) {
    status = dcStatus::NO_MEMORY;
    return nullptr;
  }
  const std::size_t size = std::strlen(text) + 1;
  item->text = new (std::nothrow) char[size];
  if (!item->text) {
    delete item;
    status = dcStatus::NO_MEMORY_TEXT;
    return nullptr;
  }
  std::memcpy(item->text, text, size);
  item->size = static_cast<std::uint32_t>(size);
  item->next = nullptr;

  // The tail is trusted only while it is still the last item reachable from
  // head; otherwise (head replaced from outside) the list is walked once.
  if (!head) {
    head = item;
  } else {
    if (!tail_ || tail_->next) {
      tail_ = head;
      while (tail_->next) tail_ = tail_->next;
    }
    tail_->next = item;
  }
  tail_ = item;
  status = dcStatus::OK;
  return item;
}

dcStatus_t dcStringList_t::addAll(dcStringList_t* other, int allowDuplicates) {
  if (!other) return status = dcStatus::NULL_ARGUMENT;
  for (dcStringListItem_t* item = other->head; item; item = item->next) {
    if (!item->text) return status = dcStatus::MISSING_OBJECT;
    // Only a text that find succeeds on is skipped: when find stops at an
    // item of this list without text, the text is added all the same.
    if (!allowDuplicates && find(item->text)) continue;
    if (!add(item->text)) return status;
  }
  return status = dcStatus::OK;
}

dcStringListItem_t* dcStringList_t::first(char* copyTo) {
  if (!head) {
    status = dcStatus::NOT_FOUND;
    return nullptr;
  }
  if (!head->text) {
    status = dcStatus::NO_TEXT;
    return nullptr;
  }
  if (copyTo) std::strcpy(copyTo, head->text);
  status = dcStatus::OK;
  return head;
}

dcStringListItem_t* dcStringList_t::next(dcStringListItem_t* item, char* copyTo) {
  if (!item) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  dcStringListItem_t* following = item->next;
  if (!following) {
    status = dcStatus::NOT_FOUND;
    return nullptr;
  }
  if (!following->text) {
    status = dcStatus::NO_TEXT;
    return nullptr;
  }
  if (copyTo) std::strcpy(copyTo, following->text);
  status = dcStatus::OK;
  return following;
}

dcStatus_t dcStringList_t::clear() {
  dcStringListItem_t* item = head;
  while (item) {
    dcStringListItem_t* following = item->next;
    delete[] item->text;
    delete item;
    item = following;
  }
  head = nullptr;
  tail_ = nullptr;
  return status = dcStatus::OK;
}
