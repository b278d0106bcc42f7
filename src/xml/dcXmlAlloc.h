// Memory of the XML layer: every node, attribute, pointer array and owned
// string of a tree is allocated and freed here, and only here.
//
// A node lives in one block together with a one-slot attribute array and a
// one-slot child array, so that a new element costs one allocation.
//
// A document node (its own parent, kind XN_DOCUMENT) owns an arena from
// which the nodes below it, their attribute records and their grown arrays
// are carved; freeing the document sweeps the arena once for owned strings
// and releases it whole instead of walking the tree node by node. Nodes made
// by xmlNewNode and everything below a node that has no arena live on the
// heap one by one; their arrays grow in blocks rounded up to a power of two,
// so that the capacity fields still grow by the caller's fixed step while
// the storage underneath only moves when a power of two is crossed. Under
// the address sanitizer there are no arenas: every record is its own
// allocation and stays checked on its own.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dcXml.h"

namespace dcxml {

// Allocation limit for tests: below 0 (the default) every allocation is
// tried; otherwise the number of allocations that may still succeed, after
// which every allocation of this layer fails.
extern long allocationLimit;

void* allocate(std::size_t size);
void* reallocate(void* block, std::size_t size);
void release(void* block);

// An owned copy of text, or nullptr when memory runs out.
char* copyText(const char* text);

// A chain of slabs handing out memory by bumping a pointer; nothing is
// freed before the whole region.
class Region {
 public:
  void* get(std::size_t bytes) {
    if (static_cast<std::size_t>(limit_ - next_) < bytes && !refill(bytes)) return nullptr;
    void* p = next_;
    next_ += bytes;
    return p;
  }
  // Calls visit on every slot of the given size handed out so far (for
  // regions that only ever hand out that size).
  template <typename Visit>
  void sweep(std::size_t slot, Visit visit) const {
    for (const Slab* s = head_; s; s = s->next) {
      const char* end = s == head_ ? next_ : s->used;
      char* p = reinterpret_cast<char*>(const_cast<Slab*>(s)) + kHeader;
      for (; static_cast<std::size_t>(end - p) >= slot; p += slot) visit(p);
    }
  }
  void releaseAll();

 private:
  struct Slab {
    Slab* next;
    char* used;
  };
  static constexpr std::size_t kHeader = 16;
  static constexpr std::size_t kMaxSlab = 64 * 1024;
  bool refill(std::size_t bytes);

  Slab* head_ = nullptr;
  char* next_ = nullptr;
  char* limit_ = nullptr;
  std::size_t size_ = 2048;
};

struct Arena {
  Region nodes;       // NodeBlock slots only
  Region attributes;  // dcXmlAttribute_t slots only
  Region arrays;      // grown pointer arrays
  // Set once a node or attribute in the arena owns a string: only then
  // must freeing sweep the arena for strings to free.
  bool ownsStrings = false;
};

// The block a node is allocated in. tag: 0 for a heap node, the address of
// the arena the node lives in, or that of the arena a heap node owns with
// the low bit set.
struct NodeBlock {
  dcXmlNode_t node;
  dcXmlAttribute_t* attributeSlot[1];
  dcXmlNode_t* childSlot[1];
  std::uintptr_t tag;
};

constexpr std::size_t slotSize(std::size_t size) { return (size + 7) / 8 * 8; }

// Where the children of node are to be made: its tree's arena, or nullptr
// for the heap. Creates the arena of a document node on first use.
Arena* childArena(dcXmlNode_t* node);
// Undoes newNode for a node that was never linked into a tree.
void discardNode(dcXmlNode_t* node);

dcXmlNode_t* newHeapNode(std::int32_t kind);
// Fills block as a node of kind with every field zero but the borrowed
// flags and the one-slot arrays its kind has. Field by field: clearing the
// whole block at once costs more than the stores themselves.
inline dcXmlNode_t* initNode(NodeBlock* block, Arena* arena, std::int32_t kind) {
  const bool attributes =
      kind != XN_DOCUMENT && kind != XN_TEXT && kind != XN_CDATA && kind != XN_COMMENT && kind != XN_INCLUDE;
  const bool children = kind == XN_DOCUMENT || kind == XN_ELEMENT || kind == XN_DOCTYPE;
  dcXmlNode_t* node = &block->node;
  node->parent = nullptr;
  node->name = nullptr;
  node->nameBorrowed = 1;
  node->kind = kind;
  node->attributeCount = 0;
  node->attributeCapacity = attributes ? 1 : 0;
  node->attributes = attributes ? block->attributeSlot : nullptr;
  node->childCount = 0;
  node->childCapacity = children ? 1 : 0;
  node->children = children ? block->childSlot : nullptr;
  node->value = nullptr;
  node->valueBorrowed = 1;
  block->attributeSlot[0] = nullptr;
  block->childSlot[0] = nullptr;
  block->tag = reinterpret_cast<std::uintptr_t>(arena);
  return node;
}
// A zeroed node of kind (both borrowed flags 1) in arena, or on the heap.
inline dcXmlNode_t* newNode(Arena* arena, std::int32_t kind) {
  if (!arena) return newHeapNode(kind);
  void* raw = arena->nodes.get(slotSize(sizeof(NodeBlock)));
  if (!raw) return nullptr;
  return initNode(static_cast<NodeBlock*>(raw), arena, kind);
}

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

// A zeroed attribute record for owner (both borrowed flags set), made where
// owner lives.
dcXmlAttribute_t* newHeapAttribute();
inline dcXmlAttribute_t* newAttribute(dcXmlNode_t* owner) {
  const std::uintptr_t tag = reinterpret_cast<NodeBlock*>(owner)->tag;
  if (tag == 0 || (tag & 1)) return newHeapAttribute();
  void* raw = reinterpret_cast<Arena*>(tag)->attributes.get(slotSize(sizeof(dcXmlAttribute_t)));
  if (!raw) return nullptr;
  auto* attribute = static_cast<dcXmlAttribute_t*>(raw);
  *attribute = dcXmlAttribute_t{nullptr, 1, nullptr, 1};
  return attribute;
}
// Frees an attribute of owner that was never linked: its owned strings and
// the record.
void discardAttribute(dcXmlNode_t* owner, dcXmlAttribute_t* attribute);

// Records that owner (a node, or the node holding an attribute; nullptr
// when unknown) now holds an owned string.
void noteOwnedString(dcXmlNode_t* owner);

// Replaces *slot, a string of owner or of one of its attributes, by text: in
// place when the present string is at least as long, else by an owned copy
// (borrowed becomes 0). False for null text or when memory runs out.
bool replaceText(dcXmlNode_t* owner, char** slot, std::uint8_t* borrowed, const char* text);

}  // namespace dcxml
