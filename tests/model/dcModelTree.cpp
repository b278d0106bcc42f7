// Plain trees: parsed, copied, searched and described as text.
#include "dcModel.h"

namespace dcmodel {

Node* Node::append(std::int32_t childKind) {
  children.push_back(std::make_unique<Node>());
  children.back()->kind = childKind;
  children.back()->parent = this;
  return children.back().get();
}

namespace {

std::optional<std::string> text(const char* s) { return s ? std::optional<std::string>(s) : std::nullopt; }

void copyInto(const dcXmlNode_t& from, Node& to) {
  to.kind = from.kind;
  to.name = text(from.name);
  to.value = text(from.value);
  for (std::uint32_t i = 0; i < from.attributeCount; ++i)
    to.attributes.emplace_back(text(from.attributes[i]->name), text(from.attributes[i]->value));
  for (std::uint32_t i = 0; i < from.childCount; ++i) copyInto(*from.children[i], *to.append(XN_NONE));
}

void copyInto(const Node& from, Node& to) {
  to.kind = from.kind;
  to.name = from.name;
  to.value = from.value;
  to.attributes = from.attributes;
  for (const auto& child : from.children) copyInto(*child, *to.append(XN_NONE));
}

std::string quoted(const std::optional<std::string>& s) { return s ? "\"" + *s + "\"" : "-"; }

void describeInto(const Node& node, int depth, std::string& out) {
  out.append(depth * 2, ' ');
  out += std::to_string(node.kind) + " " + quoted(node.name) + " " + quoted(node.value);
  for (const auto& [name, value] : node.attributes) out += " @" + quoted(name) + "=" + quoted(value);
  out += '\n';
  for (const auto& child : node.children) describeInto(*child, depth + 1, out);
}

}  // namespace

std::unique_ptr<Node> copyOf(const dcXmlNode_t* node) {
  if (!node) return nullptr;
  auto copy = std::make_unique<Node>();
  copyInto(*node, *copy);
  copy->parent = copy.get();
  return copy;
}

std::unique_ptr<Node> copyOf(const Node& node) {
  auto copy = std::make_unique<Node>();
  copyInto(node, *copy);
  return copy;
}

std::string describe(const Node* node) {
  std::string out;
  if (node) describeInto(*node, 0, out);
  return out;
}

std::string describe(const dcXmlNode_t* node) { return describe(copyOf(node).get()); }

std::unique_ptr<Node> parse(std::string text, bool* complete) {
  dcXmlNode_t* top = xmlNewNode(XN_DOCUMENT);
  top->parent = top;
  const char* end = xmlParse(text.data(), top, 4, XOPT_INVENTORY);
  if (complete) *complete = end != nullptr;
  auto tree = copyOf(top);
  xmlFreeTree(top);
  return tree;
}

void findAll(const Node& top, const char* pattern, std::vector<const Node*>& out) {
  for (const auto& child : top.children) {
    if (child->name && xmlNameMatch(pattern, child->name->c_str())) out.push_back(child.get());
    findAll(*child, pattern, out);
  }
}

}  // namespace dcmodel
