// Helpers of the XML tests: a tree written as one compact line.
#pragma once

#include "dcXml.h"
#include "testutil.h"

namespace xmltest {

// One letter per kind, then the name, the attributes in brackets (~ for a
// null string), "=" and the value, and the children in braces:
// E a[x=1]{Tb=hello}.
inline std::string dump(const dcXmlNode_t* n) {
  static const char kLetters[] = "-DETCMPIYNALO";
  std::string out;
  out += (n->kind >= 0 && n->kind <= 12) ? kLetters[n->kind] : '?';
  if (n->name) out += n->name;
  for (std::uint32_t i = 0; i < n->attributeCount; ++i) {
    const dcXmlAttribute_t* a = n->attributes[i];
    out += std::string(i ? "," : "[") + (a->name ? a->name : "~") + "=" + (a->value ? a->value : "~") +
           (i + 1 == n->attributeCount ? "]" : "");
  }
  if (n->value) out += "=" + std::string(n->value);
  for (std::uint32_t i = 0; i < n->childCount; ++i)
    out += (i ? " " : "{") + dump(n->children[i]) + (i + 1 == n->childCount ? "}" : "");
  return out;
}

// Walks the tree without recursion, reading every text; false at the first
// inconsistency: a child whose parent is another node, a count beyond its
// capacity, a borrowed text not wholly inside the parsed text [begin, end].
inline bool consistent(dcXmlNode_t* doc, const char* begin, const char* end) {
  auto inside = [&](const char* s, std::uint8_t borrowed) {
    if (!s) return true;
    const volatile std::size_t length = std::strlen(s);  // every text read, for the sanitizers
    return !borrowed || (s >= begin && s <= end && length <= static_cast<std::size_t>(end - s));
  };
  std::vector<dcXmlNode_t*> stack{doc};
  while (!stack.empty()) {
    dcXmlNode_t* n = stack.back();
    stack.pop_back();
    if (!inside(n->name, n->nameBorrowed) || !inside(n->value, n->valueBorrowed)) return false;
    if (n->attributeCount > n->attributeCapacity || n->childCount > n->childCapacity) return false;
    for (std::uint32_t i = 0; i < n->attributeCount; ++i)
      if (!inside(n->attributes[i]->name, 1) || !inside(n->attributes[i]->value, 1)) return false;
    for (std::uint32_t i = 0; i < n->childCount; ++i) {
      if (n->children[i]->parent != n) return false;
      stack.push_back(n->children[i]);
    }
  }
  return true;
}

// Parses a copy of text under a fresh document node and dumps the
// document's children, or "INCONSISTENT" for a tree that is not; *stop
// receives the offset where the parse stopped.
inline std::string parse(const std::string& text, std::uint32_t options = XOPT_INVENTORY,
                         std::size_t* stop = nullptr) {
  std::string copy = text;
  const char* limit = copy.data() + std::strlen(copy.c_str());
  dcXmlNode_t* doc = xmlNewNode(XN_DOCUMENT);
  doc->parent = doc;
  char* end = xmlParse(copy.data(), doc, 4, options);
  if (stop) *stop = static_cast<std::size_t>(end - copy.data());
  const std::string out = consistent(doc, copy.data(), limit) ? dump(doc) : "D{INCONSISTENT}";
  xmlFreeTree(doc);
  return out.size() > 2 ? out.substr(2, out.size() - 3) : "";  // "D{...}" without the D
}

}  // namespace xmltest
