// The XML parser on any text, with each option set the console uses, then a
// walk over the whole tree that reads every name and value and runs the name
// matcher with a pattern taken from the input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "dcPointerArray.h"
#include "dcXml.h"

namespace {

constexpr std::uint32_t OPTION_SETS[] = {
    XOPT_INVENTORY,                                // every loader
    0xFFFF,                                        // a new document
    XOPT_INVENTORY | XOPT_SUBSET | XOPT_COLLAPSE,  // subset parsed, values collapsed
    0xFFFF & ~XOPT_SUBSET_ONLY,                    // everything but the early stop
};

std::size_t walk(dcXmlNode_t* root) {
  std::size_t bytes = 0;
  std::vector<dcXmlNode_t*> todo{root};
  while (!todo.empty()) {
    dcXmlNode_t* node = todo.back();
    todo.pop_back();
    if (node->name) bytes += std::strlen(node->name);
    if (node->value) bytes += std::strlen(node->value);
    for (std::uint32_t i = 0; i < node->attributeCount; ++i) {
      const dcXmlAttribute_t* a = node->attributes[i];
      if (a->name) bytes += std::strlen(a->name);
      if (a->value) bytes += std::strlen(a->value);
    }
    for (std::uint32_t i = 0; i < node->childCount; ++i) {
      if (node->children[i]->parent != node) __builtin_trap();
      todo.push_back(node->children[i]);
    }
  }
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint32_t options = OPTION_SETS[data[0] % std::size(OPTION_SETS)];
  const char* text = reinterpret_cast<const char*>(data + 1);
  const std::size_t length = size - 1;

  dcXmlDocument_t doc;
  doc.options = options;
  if (!doc.loadText(text, length)) return 0;
  if (doc.textEnd < doc.buffer || doc.textEnd > doc.buffer + length) __builtin_trap();
  walk(doc.root);

  // A pattern from the input's first line (sets may be left open).
  const std::size_t head = std::min<std::size_t>(length, 64);
  const void* newline = std::memchr(text, '\n', head);
  const std::string pattern(text, newline ? static_cast<const char*>(newline) - text : head);
  dcXmlHandle_t root(doc.root);
  dcPointerArray_t found(16);
  root.findAll(pattern.c_str(), &found);
  root.findFirst(pattern.c_str());
  root.findFirst("*");
  for (auto it = childBegin(root), end = childEnd(root); it < end; ++it) {
    dcXmlHandle_t child = *it;
    (void)child.name();
    (void)child.value();
    child.attribute(pattern.c_str());
  }
  return 0;
}
