// Nodes, attributes and their arrays: creation, growth and freeing.
#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

#include "dcXml.h"
#include "dcXmlAlloc.h"

namespace dcxml {

long allocationLimit = -1;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kArenas = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kArenas = false;
#else
constexpr bool kArenas = true;
#endif
#else
constexpr bool kArenas = true;
#endif

bool allowed() {
  if (allocationLimit < 0) return true;
  if (allocationLimit == 0) return false;
  --allocationLimit;
  return true;
}

NodeBlock* blockOf(dcXmlNode_t* node) { return reinterpret_cast<NodeBlock*>(node); }
Arena* homeOf(dcXmlNode_t* node) {
  const std::uintptr_t tag = blockOf(node)->tag;
  return (tag & 1) ? nullptr : reinterpret_cast<Arena*>(tag);
}
Arena* ownedBy(dcXmlNode_t* node) {
  const std::uintptr_t tag = blockOf(node)->tag;
  return (tag & 1) ? reinterpret_cast<Arena*>(tag & ~std::uintptr_t{1}) : nullptr;
}

// Set when an owned string was made for an attribute whose node was not
// known: from then on every arena is swept.
std::atomic<bool> sweepAlways{false};

// Frees the owned strings of everything in an arena, then the arena.
void releaseArena(Arena* arena) {
  if (arena->ownsStrings || sweepAlways.load(std::memory_order_relaxed)) {
    arena->nodes.sweep(slotSize(sizeof(NodeBlock)), [](char* p) {
      auto* n = reinterpret_cast<dcXmlNode_t*>(p);
      if (!n->nameBorrowed) release(n->name);
      if (!n->valueBorrowed) release(n->value);
    });
    arena->attributes.sweep(slotSize(sizeof(dcXmlAttribute_t)), [](char* p) {
      auto* a = reinterpret_cast<dcXmlAttribute_t*>(p);
      if (!a->nameBorrowed) release(a->name);
      if (!a->valueBorrowed) release(a->value);
    });
  }
  arena->nodes.releaseAll();
  arena->attributes.releaseAll();
  arena->arrays.releaseAll();
  arena->~Arena();
  release(arena);
}

// Largest capacity an array may reach; keeps slot counts and byte sizes far
// from overflow.
constexpr std::uint32_t kMaxCapacity = 1u << 28;

// Slots really held by an array of the given capacity outside its node.
std::uint32_t heldSlots(std::uint32_t capacity) { return capacity == 0 ? 0 : std::bit_ceil(capacity); }

// Grows the array of node (count entries in use, capacity slots declared) by
// step slots. inlineSlot is the slot inside the node's own block.
template <typename T>
bool grow(dcXmlNode_t* node, T**& array, std::uint32_t& capacity, std::uint32_t count, std::uint32_t step,
          T** inlineSlot) {
  if (step == 0) step = 1;  // a zero step could never make room
  if (step > kMaxCapacity || capacity > kMaxCapacity - step) return false;
  const std::uint32_t wanted = capacity + step;
  const bool isInline = array == inlineSlot;
  const std::uint32_t held = !array ? 0 : (isInline ? 1 : heldSlots(capacity));
  if (wanted <= held) {
    capacity = wanted;
    return true;
  }
  const std::size_t bytes = static_cast<std::size_t>(heldSlots(wanted)) * sizeof(T*);
  T** grown;
  if (Arena* arena = homeOf(node)) {
    grown = static_cast<T**>(arena->arrays.get(bytes));
    if (!grown) return false;
    if (count) std::memcpy(grown, array, count * sizeof(T*));
  } else if (isInline || !array) {
    grown = static_cast<T**>(allocate(bytes));
    if (!grown) return false;
    if (count) std::memcpy(grown, array, count * sizeof(T*));
  } else {
    grown = static_cast<T**>(reallocate(array, bytes));
    if (!grown) return false;
  }
  array = grown;
  capacity = wanted;
  return true;
}

void freeAttribute(dcXmlAttribute_t* attribute) {
  if (!attribute) return;
  if (!attribute->nameBorrowed) release(attribute->name);
  if (!attribute->valueBorrowed) release(attribute->value);
  release(attribute);
}

// Frees one heap node whose children are gone: attributes, arrays, owned
// strings, the arena it owns and its block.
void freeHeapNode(dcXmlNode_t* node) {
  NodeBlock* block = blockOf(node);
  for (std::uint32_t i = 0; i < node->attributeCount; ++i) freeAttribute(node->attributes[i]);
  if (node->attributes != block->attributeSlot) release(node->attributes);
  if (node->children != block->childSlot) release(node->children);
  if (!node->nameBorrowed) release(node->name);
  if (!node->valueBorrowed) release(node->value);
  if (Arena* arena = ownedBy(node)) releaseArena(arena);
  release(block);
}

}  // namespace

void Region::releaseAll() {
  while (head_) {
    Slab* next = head_->next;
    release(head_);
    head_ = next;
  }
}

bool Region::refill(std::size_t bytes) {
  std::size_t size = std::min(size_ * 2, kMaxSlab);
  if (size < bytes + kHeader) size = bytes + kHeader;
  auto* raw = static_cast<char*>(allocate(size));
  if (!raw) return false;
  size_ = std::min(size, kMaxSlab);
  if (head_) head_->used = next_;
  head_ = new (raw) Slab{head_, nullptr};
  next_ = raw + kHeader;
  limit_ = raw + size;
  return true;
}

void* allocate(std::size_t size) { return allowed() ? std::malloc(size) : nullptr; }
void* reallocate(void* block, std::size_t size) { return allowed() ? std::realloc(block, size) : nullptr; }
void release(void* block) { std::free(block); }

char* copyText(const char* text) {
  const std::size_t size = std::strlen(text) + 1;
  auto* copy = static_cast<char*>(allocate(size));
  if (copy) std::memcpy(copy, text, size);
  return copy;
}

Arena* childArena(dcXmlNode_t* node) {
  if (Arena* home = homeOf(node)) return home;
  if (Arena* owned = ownedBy(node)) return owned;
  if (!kArenas || node->parent != node || node->kind != XN_DOCUMENT) return nullptr;
  void* raw = allocate(sizeof(Arena));
  if (!raw) return nullptr;  // the tree then grows on the heap
  auto* arena = new (raw) Arena();
  blockOf(node)->tag = reinterpret_cast<std::uintptr_t>(arena) | 1;
  return arena;
}

dcXmlNode_t* newHeapNode(std::int32_t kind) {
  void* raw = allocate(sizeof(NodeBlock));
  if (!raw) return nullptr;
  return initNode(static_cast<NodeBlock*>(raw), nullptr, kind);
}

void discardNode(dcXmlNode_t* node) {
  if (node && !homeOf(node)) xmlFreeTree(node);  // an arena slot just stays unused
}

bool growAttributes(dcXmlNode_t* node, std::uint32_t step) {
  return grow(node, node->attributes, node->attributeCapacity, node->attributeCount, step,
              blockOf(node)->attributeSlot);
}

bool growChildren(dcXmlNode_t* node, std::uint32_t step) {
  return grow(node, node->children, node->childCapacity, node->childCount, step, blockOf(node)->childSlot);
}

dcXmlAttribute_t* newHeapAttribute() {
  void* raw = allocate(sizeof(dcXmlAttribute_t));
  if (!raw) return nullptr;
  auto* attribute = static_cast<dcXmlAttribute_t*>(raw);
  *attribute = dcXmlAttribute_t{nullptr, 1, nullptr, 1};
  return attribute;
}

void discardAttribute(dcXmlNode_t* owner, dcXmlAttribute_t* attribute) {
  if (!homeOf(owner)) {
    freeAttribute(attribute);
    return;
  }
  // The record stays in the arena, holding nothing the sweep would free.
  if (!attribute->nameBorrowed) release(attribute->name);
  if (!attribute->valueBorrowed) release(attribute->value);
  attribute->name = attribute->value = nullptr;
  attribute->nameBorrowed = attribute->valueBorrowed = 1;
}

void noteOwnedString(dcXmlNode_t* owner) {
  if (!owner) {
    sweepAlways.store(true, std::memory_order_relaxed);
  } else if (Arena* arena = homeOf(owner)) {
    arena->ownsStrings = true;
  }
}

bool replaceText(dcXmlNode_t* owner, char** slot, std::uint8_t* borrowed, const char* text) {
  if (!text) return false;
  const std::size_t length = std::strlen(text);
  if (*slot && std::strlen(*slot) >= length) {
    std::memmove(*slot, text, length + 1);
    return true;
  }
  char* copy = copyText(text);
  if (!copy) return false;
  if (!*borrowed) release(*slot);
  *slot = copy;
  *borrowed = 0;
  noteOwnedString(owner);
  return true;
}

}  // namespace dcxml

using namespace dcxml;

dcXmlNode_t* xmlNewNode(std::int32_t kind) { return newNode(nullptr, kind); }

void xmlFreeTree(dcXmlNode_t* node) {
  if (!node || homeOf(node)) return;  // arena nodes go with their document
  // Walks down through last children and frees heap nodes from the bottom
  // up; the parent pointers lead back, so no stack is needed however deep
  // the tree. Arena nodes are skipped: the arena's owner frees them at once.
  dcXmlNode_t* current = node;
  for (;;) {
    if (current->childCount > 0 && current->children) {
      dcXmlNode_t* child = current->children[current->childCount - 1];
      if (child && !homeOf(child)) {
        if (child->childCount > 0 && child->children) {
          current = child;
          continue;
        }
        freeHeapNode(child);
      }
      --current->childCount;
      continue;
    }
    if (current == node || !current->parent || current->parent == current) break;
    current = current->parent;
  }
  freeHeapNode(node);
}

namespace {

// A copy of node's own fields (kind, name, value, attributes) made where the
// children of parent are made; nullptr when memory runs out.
dcXmlNode_t* copyNode(const dcXmlNode_t* from, dcXmlNode_t* parent) {
  dcXmlNode_t* to = newNode(childArena(parent), from->kind);
  if (!to) return nullptr;
  to->parent = parent;
  to->nameBorrowed = 0;
  to->valueBorrowed = 0;
  const bool nameCopied = !from->name || (to->name = copyText(from->name));
  const bool valueCopied = !from->value || (to->value = copyText(from->value));
  if (to->name || to->value) noteOwnedString(to);
  bool whole = nameCopied && valueCopied;
  const std::uint32_t count = from->attributes ? from->attributeCount : 0;
  if (whole && count > to->attributeCapacity) whole = growAttributes(to, count - to->attributeCapacity);
  for (std::uint32_t i = 0; whole && i < count; ++i) {
    const dcXmlAttribute_t* a = from->attributes[i];
    if (!a) continue;
    dcXmlAttribute_t* copy = newAttribute(to);
    if (!copy) {
      whole = false;
      break;
    }
    copy->nameBorrowed = 0;
    copy->valueBorrowed = 0;
    copy->name = a->name ? copyText(a->name) : nullptr;
    copy->value = a->value ? copyText(a->value) : nullptr;
    noteOwnedString(to);
    whole = (copy->name || !a->name) && (copy->value || !a->value) && appendAttribute(to, copy, 1);
    if (!whole) discardAttribute(to, copy);
  }
  if (!whole) {
    discardNode(to);
    return nullptr;
  }
  return to;
}

}  // namespace

bool xmlCopyChildren(const dcXmlNode_t* source, dcXmlNode_t* parent) {
  if (!source || !parent) return false;
  if (parent->kind != XN_DOCUMENT && parent->kind != XN_ELEMENT) return false;
  // Pairs of (node copied from, its copy) whose children are still to be
  // copied; a stack of our own, so deep trees never grow the call stack.
  struct Pending {
    const dcXmlNode_t* from;
    dcXmlNode_t* to;
  };
  Pending* stack = nullptr;
  std::size_t count = 0;
  std::size_t capacity = 0;
  auto push = [&](const dcXmlNode_t* from, dcXmlNode_t* to) {
    if (count == capacity) {
      const std::size_t wanted = capacity ? capacity * 2 : 32;
      auto* grown = static_cast<Pending*>(reallocate(stack, wanted * sizeof(Pending)));
      if (!grown) return false;
      stack = grown;
      capacity = wanted;
    }
    stack[count++] = Pending{from, to};
    return true;
  };
  bool whole = push(source, parent);
  while (whole && count > 0) {
    const Pending at = stack[--count];
    const std::uint32_t children = at.from->children ? at.from->childCount : 0;
    if (children > at.to->childCapacity - at.to->childCount &&
        !growChildren(at.to, children - (at.to->childCapacity - at.to->childCount))) {
      whole = false;
      break;
    }
    for (std::uint32_t i = 0; i < children; ++i) {
      const dcXmlNode_t* c = at.from->children[i];
      if (!c) continue;
      dcXmlNode_t* copy = copyNode(c, at.to);
      if (!copy || !appendChild(at.to, copy, 1)) {
        discardNode(copy);
        whole = false;
        break;
      }
      if (c->children && c->childCount > 0 && !push(c, copy)) {
        whole = false;
        break;
      }
    }
  }
  release(stack);
  return whole;
}
