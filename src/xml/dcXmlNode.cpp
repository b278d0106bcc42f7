// Nodes, attributes and their arrays: creation, growth and freeing.
#include <bit>
#include <cstdlib>
#include <cstring>

#include "dcXml.h"
#include "dcXmlAlloc.h"

namespace dcxml {

namespace {

// Largest capacity an array may reach; keeps slot counts and byte sizes far
// from overflow.
constexpr std::uint32_t kMaxCapacity = 1u << 28;

// Slots really held by an array of the given capacity.
std::uint32_t heldSlots(std::uint32_t capacity) { return capacity == 0 ? 0 : std::bit_ceil(capacity); }

// Grows array (count entries in use, capacity slots declared) by step
// slots. An array still in the node's own first slot moves to a block.
template <typename T>
bool grow(T**& array, std::uint32_t& capacity, std::uint32_t step, T** firstSlot) {
  if (step == 0) step = 1;  // a zero step could never make room
  if (step > kMaxCapacity || capacity > kMaxCapacity - step) return false;
  const std::uint32_t wanted = capacity + step;
  if (array && wanted <= heldSlots(capacity)) {
    capacity = wanted;
    return true;
  }
  const std::size_t bytes = static_cast<std::size_t>(heldSlots(wanted)) * sizeof(T*);
  const bool inNode = array == firstSlot;
  auto* grown = static_cast<T**>(inNode ? allocate(bytes) : reallocate(array, bytes));
  if (!grown) return false;
  if (inNode) grown[0] = *firstSlot;
  array = grown;
  capacity = wanted;
  return true;
}

// Frees an array unless it is still the node's own first slot.
template <typename T>
void releaseArray(T** array, T** firstSlot) {
  if (array != firstSlot) release(array);
}

// Frees one node whose children are gone: attributes, arrays, owned strings
// and the record.
void freeNode(dcXmlNode_t* node) {
  for (std::uint32_t i = 0; node->attributes && i < node->attributeCount; ++i)
    discardAttribute(node->attributes[i]);
  releaseArray(node->attributes, &node->firstAttributeSlot);
  releaseArray(node->children, &node->firstChildSlot);
  if (!node->nameBorrowed) release(node->name);
  if (!node->valueBorrowed) release(node->value);
  release(node);
}

}  // namespace

void* allocate(std::size_t size) { return std::malloc(size); }
void* reallocate(void* block, std::size_t size) { return std::realloc(block, size); }
void release(void* block) { std::free(block); }

char* copyText(const char* text) {
  const std::size_t size = std::strlen(text) + 1;
  auto* copy = static_cast<char*>(allocate(size));
  if (copy) std::memcpy(copy, text, size);
  return copy;
}

dcXmlNode_t* newNode(std::int32_t kind) {
  auto* node = static_cast<dcXmlNode_t*>(std::calloc(1, sizeof(dcXmlNode_t)));
  if (!node) return nullptr;
  node->kind = kind;
  node->nameBorrowed = 1;
  node->valueBorrowed = 1;
  const bool attributes =
      kind != XN_DOCUMENT && kind != XN_TEXT && kind != XN_CDATA && kind != XN_COMMENT && kind != XN_INCLUDE;
  const bool children = kind == XN_DOCUMENT || kind == XN_ELEMENT || kind == XN_DOCTYPE;
  if (attributes) {
    node->attributes = &node->firstAttributeSlot;
    node->attributeCapacity = 1;
  }
  if (children) {
    node->children = &node->firstChildSlot;
    node->childCapacity = 1;
  }
  return node;
}

dcXmlAttribute_t* newAttribute() {
  auto* attribute = static_cast<dcXmlAttribute_t*>(allocate(sizeof(dcXmlAttribute_t)));
  if (attribute) *attribute = dcXmlAttribute_t{nullptr, 1, nullptr, 1};
  return attribute;
}

void discardAttribute(dcXmlAttribute_t* attribute) {
  if (!attribute) return;
  if (!attribute->nameBorrowed) release(attribute->name);
  if (!attribute->valueBorrowed) release(attribute->value);
  release(attribute);
}

bool growAttributes(dcXmlNode_t* node, std::uint32_t step) {
  return grow(node->attributes, node->attributeCapacity, step, &node->firstAttributeSlot);
}

bool growChildren(dcXmlNode_t* node, std::uint32_t step) {
  return grow(node->children, node->childCapacity, step, &node->firstChildSlot);
}

bool replaceText(char** slot, std::uint8_t* borrowed, const char* text) {
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
  return true;
}

}  // namespace dcxml

using namespace dcxml;

dcXmlNode_t* xmlNewNode(std::int32_t kind) { return newNode(kind); }

void xmlFreeTree(dcXmlNode_t* node) {
  if (!node) return;
  // Walks down through last children and frees nodes from the bottom up;
  // the parent pointers lead back, so no stack is needed however deep the
  // tree.
  dcXmlNode_t* current = node;
  for (;;) {
    if (current->childCount > 0 && current->children) {
      dcXmlNode_t* child = current->children[current->childCount - 1];
      if (child) {
        if (child->childCount > 0 && child->children) {
          current = child;
          continue;
        }
        freeNode(child);
      }
      --current->childCount;
      continue;
    }
    if (current == node || !current->parent || current->parent == current) break;
    current = current->parent;
  }
  freeNode(node);
}

namespace {

// A copy of node's own fields (kind, name, value, attributes) made where the
// children of parent are made; nullptr when memory runs out.
dcXmlNode_t* copyNode(const dcXmlNode_t* from, dcXmlNode_t* parent) {
  dcXmlNode_t* to = newNode(from->kind);
  if (!to) return nullptr;
  to->parent = parent;
  to->nameBorrowed = 0;
  to->valueBorrowed = 0;
  const bool nameCopied = !from->name || (to->name = copyText(from->name));
  const bool valueCopied = !from->value || (to->value = copyText(from->value));
  bool whole = nameCopied && valueCopied;
  const std::uint32_t count = from->attributes ? from->attributeCount : 0;
  if (whole && count > to->attributeCapacity) whole = growAttributes(to, count - to->attributeCapacity);
  for (std::uint32_t i = 0; whole && i < count; ++i) {
    const dcXmlAttribute_t* a = from->attributes[i];
    if (!a) continue;
    dcXmlAttribute_t* copy = newAttribute();
    if (!copy) {
      whole = false;
      break;
    }
    copy->nameBorrowed = 0;
    copy->valueBorrowed = 0;
    copy->name = a->name ? copyText(a->name) : nullptr;
    copy->value = a->value ? copyText(a->value) : nullptr;
    whole = (copy->name || !a->name) && (copy->value || !a->value) && appendAttribute(to, copy, 1);
    if (!whole) discardAttribute(copy);
  }
  if (!whole) {
    xmlFreeTree(to);
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
        xmlFreeTree(copy);
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
