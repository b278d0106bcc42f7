// Memory of the XML layer: every node, attribute, pointer array and owned
// string of a tree is allocated and freed here, and only here.
//
// A node lives in one block together with a one-slot attribute array and a
// one-slot child array, so that a new element costs one allocation. Arrays
// that outgrow their slot move to the heap in blocks rounded up to a power of
// two: the capacity fields still grow by the caller's fixed step, but the
// storage underneath only moves when the step crosses a power of two, which
// keeps wide documents linear.
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

// The block a node is allocated in.
struct NodeBlock {
  dcXmlNode_t node;
  dcXmlAttribute_t* attributeSlot[1];
  dcXmlNode_t* childSlot[1];
};

// Appends to a node's attribute or child array, growing it by step slots
// when full. False (and nothing written) when the array cannot grow.
bool appendAttribute(dcXmlNode_t* node, dcXmlAttribute_t* attribute, std::uint32_t step);
bool appendChild(dcXmlNode_t* node, dcXmlNode_t* child, std::uint32_t step);

// A zeroed attribute record, both borrowed flags set.
dcXmlAttribute_t* newAttribute();
// Frees an attribute's owned strings and the record.
void freeAttribute(dcXmlAttribute_t* attribute);

// Replaces *slot by text: in place when the present string is at least as
// long, else by an owned copy (borrowed becomes 0). False for null text or
// when memory runs out.
bool replaceText(char** slot, std::uint8_t* borrowed, const char* text);

}  // namespace dcxml
