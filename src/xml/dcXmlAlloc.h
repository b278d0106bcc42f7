// Memory of the XML layer. Nodes, attribute records, pointer arrays and
// owned strings are plain heap blocks of their own (malloc and free): a
// node is exactly a dcXmlNode_t, so a zeroed node made anywhere with calloc
// works like one from xmlNewNode.
//
// A new node's arrays are its own first slots (capacity 1); an array that
// grows past them moves to a block. A block of declared capacity c holds
// bit_ceil(c) slots, so that growing it by the caller's fixed step only
// moves it when a power of two is crossed; arrays are only ever made and
// grown here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "dcXml.h"

namespace dcxml {

void* allocate(std::size_t size);
void* reallocate(void* block, std::size_t size);
void release(void* block);

// An owned copy of text, or nullptr when memory runs out.
char* copyText(const char* text);

// A zeroed node of kind (both borrowed flags 1) with the one-slot arrays
// its kind starts with, in the node itself; nullptr when memory runs out.
dcXmlNode_t* newNode(std::int32_t kind);
// A zeroed attribute record (both borrowed flags 1), or nullptr.
dcXmlAttribute_t* newAttribute();
// Frees an attribute that was never linked: its owned strings and the record.
void discardAttribute(dcXmlAttribute_t* attribute);

bool growAttributes(dcXmlNode_t* node, std::uint32_t step);
bool growChildren(dcXmlNode_t* node, std::uint32_t step);

// Appends to a node's attribute or child array, growing it by step slots
// when full. False (and nothing written) when the array cannot grow.
inline bool appendAttribute(dcXmlNode_t* node, dcXmlAttribute_t* attribute, std::uint32_t step) {
  if ((node->attributeCount >= node->attributeCapacity || !node->attributes) && !growAttributes(node, step))
    return false;
  node->attributes[node->attributeCount++] = attribute;
  return true;
}
inline bool appendChild(dcXmlNode_t* node, dcXmlNode_t* child, std::uint32_t step) {
  if ((node->childCount >= node->childCapacity || !node->children) && !growChildren(node, step)) return false;
  node->children[node->childCount++] = child;
  return true;
}

// Replaces *slot by text: in place when the present string is at least as
// long, else by an owned copy (borrowed becomes 0). False for null text or
// when memory runs out.
bool replaceText(char** slot, std::uint8_t* borrowed, const char* text);

// A stack of plain records in the layer's heap, for walks whose depth only
// the text bounds and which so must not use the call stack. push is false,
// with nothing pushed, when memory runs out.
template <class T>
class Stack {
  static_assert(std::is_trivially_copyable_v<T>, "records are moved as bytes");

 public:
  explicit Stack(std::size_t firstCapacity) : first_(firstCapacity) {}
  ~Stack() { release(items_); }
  Stack(const Stack&) = delete;
  Stack& operator=(const Stack&) = delete;

  bool empty() const { return count_ == 0; }
  T& top() { return items_[count_ - 1]; }
  const T& bottom() const { return items_[0]; }
  T pop() { return items_[--count_]; }
  void clear() { count_ = 0; }
  bool push(const T& item) {
    if (count_ == capacity_) {
      const std::size_t wanted = capacity_ ? capacity_ * 2 : first_;
      auto* grown = static_cast<T*>(reallocate(items_, wanted * sizeof(T)));
      if (!grown) return false;
      items_ = grown;
      capacity_ = wanted;
    }
    items_[count_++] = item;
    return true;
  }

 private:
  T* items_ = nullptr;
  std::size_t count_ = 0;
  std::size_t capacity_ = 0;
  std::size_t first_;
};

}  // namespace dcxml
