// Nodes, attributes and their arrays: creation, growth and freeing.
#include <bit>
#include <cstdlib>
#include <cstring>

#include "dcXml.h"
#include "dcXmlAlloc.h"

namespace dcxml {

long allocationLimit = -1;

namespace {

bool allowed() {
  if (allocationLimit < 0) return true;
  if (allocationLimit == 0) return false;
  --allocationLimit;
  return true;
}

// Largest capacity an array may reach; keeps slot counts and byte sizes far
// from overflow.
constexpr std::uint32_t kMaxCapacity = 1u << 28;

// Slots really held by a heap array of the given capacity.
std::uint32_t heapSlots(std::uint32_t capacity) { return capacity == 0 ? 0 : std::bit_ceil(capacity); }

// Grows array (count entries in use, capacity slots declared) by step slots.
// inlineSlot is the slot inside the node's own block, which holds one entry.
template <typename T>
bool grow(T**& array, std::uint32_t& capacity, std::uint32_t count, std::uint32_t step, T** inlineSlot) {
  if (step == 0) step = 1;  // a zero step could never make room
  if (step > kMaxCapacity || capacity > kMaxCapacity - step) return false;
  const std::uint32_t wanted = capacity + step;
  const bool isInline = array == inlineSlot && array != nullptr;
  const std::uint32_t held = isInline ? 1 : (array ? heapSlots(capacity) : 0);
  if (wanted <= held) {
    capacity = wanted;
    return true;
  }
  const std::size_t bytes = static_cast<std::size_t>(heapSlots(wanted)) * sizeof(T*);
  T** grown;
  if (isInline || !array) {
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

NodeBlock* blockOf(dcXmlNode_t* node) { return reinterpret_cast<NodeBlock*>(node); }

// Frees one node whose children are gone: attributes, arrays, owned strings
// and the node's block.
void freeNodeItself(dcXmlNode_t* node) {
  NodeBlock* block = blockOf(node);
  for (std::uint32_t i = 0; i < node->attributeCount; ++i) freeAttribute(node->attributes[i]);
  if (node->attributes != block->attributeSlot) release(node->attributes);
  if (node->children != block->childSlot) release(node->children);
  if (!node->nameBorrowed) release(node->name);
  if (!node->valueBorrowed) release(node->value);
  release(block);
}

}  // namespace

void* allocate(std::size_t size) { return allowed() ? std::malloc(size) : nullptr; }
void* reallocate(void* block, std::size_t size) { return allowed() ? std::realloc(block, size) : nullptr; }
void release(void* block) { std::free(block); }

char* copyText(const char* text) {
  const std::size_t size = std::strlen(text) + 1;
  auto* copy = static_cast<char*>(allocate(size));
  if (copy) std::memcpy(copy, text, size);
  return copy;
}

bool appendAttribute(dcXmlNode_t* node, dcXmlAttribute_t* attribute, std::uint32_t step) {
  if (node->attributeCount >= node->attributeCapacity || !node->attributes) {
    if (!grow(node->attributes, node->attributeCapacity, node->attributeCount, step,
              blockOf(node)->attributeSlot))
      return false;
  }
  node->attributes[node->attributeCount++] = attribute;
  return true;
}

bool appendChild(dcXmlNode_t* node, dcXmlNode_t* child, std::uint32_t step) {
  if (node->childCount >= node->childCapacity || !node->children) {
    if (!grow(node->children, node->childCapacity, node->childCount, step, blockOf(node)->childSlot))
      return false;
  }
  node->children[node->childCount++] = child;
  return true;
}

dcXmlAttribute_t* newAttribute() {
  auto* attribute = static_cast<dcXmlAttribute_t*>(allocate(sizeof(dcXmlAttribute_t)));
  if (!attribute) return nullptr;
  attribute->name = nullptr;
  attribute->nameBorrowed = 1;
  attribute->value = nullptr;
  attribute->valueBorrowed = 1;
  return attribute;
}

void freeAttribute(dcXmlAttribute_t* attribute) {
  if (!attribute) return;
  if (!attribute->nameBorrowed) release(attribute->name);
  if (!attribute->valueBorrowed) release(attribute->value);
  release(attribute);
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

dcXmlNode_t* xmlNewNode(std::int32_t kind) {
  auto* block = static_cast<NodeBlock*>(allocate(sizeof(NodeBlock)));
  if (!block) return nullptr;
  std::memset(block, 0, sizeof(NodeBlock));
  dcXmlNode_t* node = &block->node;
  node->kind = kind;
  node->nameBorrowed = 1;
  node->valueBorrowed = 1;
  const bool noAttributes =
      kind == XN_DOCUMENT || kind == XN_TEXT || kind == XN_CDATA || kind == XN_COMMENT || kind == XN_INCLUDE;
  if (!noAttributes) {
    node->attributes = block->attributeSlot;
    node->attributeCapacity = 1;
  }
  if (kind == XN_DOCUMENT || kind == XN_ELEMENT || kind == XN_DOCTYPE) {
    node->children = block->childSlot;
    node->childCapacity = 1;
  }
  return node;
}

void xmlFreeTree(dcXmlNode_t* node) {
  if (!node) return;
  // Walks down through last children and frees from the bottom up; the
  // parent pointers lead back, so no stack is needed however deep the tree.
  dcXmlNode_t* current = node;
  for (;;) {
    if (current->childCount > 0 && current->children) {
      dcXmlNode_t* child = current->children[current->childCount - 1];
      if (!child) {
        --current->childCount;
        continue;
      }
      if (child->childCount > 0 && child->children) {
        current = child;
        continue;
      }
      freeNodeItself(child);
      --current->childCount;
      continue;
    }
    if (current == node || !current->parent || current->parent == current) break;
    current = current->parent;
  }
  freeNodeItself(node);
}
