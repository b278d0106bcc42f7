// Plain trees parsed, copied and described as text; texts cut to their
// fields and compared without case.
#include "cp949.h"
#include "dcModel.h"

namespace dcmodel {

namespace {

std::optional<std::string> text(const char* s) { return s ? std::optional<std::string>(s) : std::nullopt; }

Node copyOf(const dcXmlNode_t& from) {
  Node to(from.kind);
  to.name = text(from.name);
  to.value = text(from.value);
  for (std::uint32_t i = 0; i < from.attributeCount; ++i)
    to.attributes.emplace_back(text(from.attributes[i]->name), text(from.attributes[i]->value));
  for (std::uint32_t i = 0; i < from.childCount; ++i) to.children.push_back(copyOf(*from.children[i]));
  return to;
}

std::string quoted(const std::optional<std::string>& s) { return s ? "\"" + *s + "\"" : "-"; }

void describeInto(const Node& node, int depth, std::string& out) {
  out += std::string(depth * 2, ' ') + std::to_string(node.kind) + " " + quoted(node.name) + " " +
         quoted(node.value);
  for (const auto& [name, value] : node.attributes) out += " @" + quoted(name) + "=" + quoted(value);
  out += '\n';
  for (const Node& child : node.children) describeInto(child, depth + 1, out);
}

}  // namespace

std::unique_ptr<Node> parse(std::string text, bool* complete) {
  dcXmlNode_t* top = xmlNewNode(XN_DOCUMENT);
  top->parent = top;
  const char* end = xmlParse(text.data(), top, 4, XOPT_INVENTORY);
  if (complete) *complete = end != nullptr;
  auto tree = std::make_unique<Node>(copyOf(*top));
  xmlFreeTree(top);
  return tree;
}

std::string describe(const Node* node) {
  std::string out;
  if (node) describeInto(*node, 0, out);
  return out;
}

std::string describe(const dcXmlNode_t* node) {
  if (!node) return "";
  const Node copy = copyOf(*node);
  return describe(&copy);
}

void forEachNamed(const Node& top, const char* pattern,
                  const std::function<void(const Node& parent, std::size_t index)>& visit) {
  for (std::size_t i = 0; i < top.children.size(); ++i) {
    const Node& child = top.children[i];
    if (child.name && xmlNameMatch(pattern, child.name->c_str())) visit(top, i);
    forEachNamed(child, pattern, visit);
  }
}

std::string cut(const std::string& text, std::size_t size) {
  const std::string whole = text.c_str();
  std::size_t end = 0;
  while (end < whole.size()) {
    const std::size_t step =
        (mb::isLeadByte(static_cast<unsigned char>(whole[end])) && end + 1 < whole.size()) ? 2 : 1;
    if (end + step > size - 1) break;
    end += step;
  }
  return whole.substr(0, end);
}

bool equalNoCase(const std::string& a, const std::string& b) {
  return mb::compareNoCase(a.c_str(), b.c_str()) == 0;
}

}  // namespace dcmodel
