// The tree that xmlParse makes of a text.
#include "dcXml.h"
#include "dcXmlAlloc.h"
#include "dcXmlParser.h"

namespace {

// What a parse makes of the text: a tree of nodes under a node of this layer.
class TreeSink {
 public:
  using Node = dcXmlNode_t*;
  using Attribute = dcXmlAttribute_t*;
  static constexpr Node NO_NODE = nullptr;
  static constexpr Attribute NO_ATTRIBUTE = nullptr;

  explicit TreeSink(std::uint32_t growBy) : growBy_(growBy) {}

  // A new node appended as the last child of to; nullptr when memory runs
  // out (nothing appended then).
  Node add(Node to, std::int32_t kind) {
    dcXmlNode_t* node = dcxml::newNode(kind);
    if (!node) return nullptr;
    node->parent = to;
    if (!dcxml::appendChild(to, node, growBy_)) {
      xmlFreeTree(node);
      return nullptr;
    }
    return node;
  }
  static Node parentOf(Node node) { return node->parent ? node->parent : node; }
  static void setName(Node node, char* name) { node->name = name; }
  static void setValue(Node node, char* value) { node->value = value; }
  // A new attribute appended to node; the attributes of a document type
  // grow one slot at a time.
  Attribute addAttribute(Node node) {
    dcXmlAttribute_t* attribute = dcxml::newAttribute();
    if (!attribute) return nullptr;
    if (!dcxml::appendAttribute(node, attribute, node->kind == XN_DOCTYPE ? 1 : growBy_)) {
      dcxml::discardAttribute(attribute);
      return nullptr;
    }
    return attribute;
  }
  static void setAttributeName(Attribute attribute, char* name) { attribute->name = name; }
  static void setAttributeValue(Attribute attribute, char* value) { attribute->value = value; }

 private:
  std::uint32_t growBy_;
};

}  // namespace

char* xmlParse(char* text, dcXmlNode_t* parent, std::uint32_t growBy, std::uint32_t options) {
  if (!text || !parent) return text;
  TreeSink tree(growBy);
  return dcxml::parse::Parser<TreeSink>(tree, options).run(text, parent);
}
