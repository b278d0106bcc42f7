// The handle layer: reading, walking, searching and editing a tree.
#include <cstring>

#include "dcPointerArray.h"
#include "dcXml.h"
#include "dcXmlAlloc.h"

namespace {

// Depth-first walk over the descendants of a node in document order, a
// node before its children, with its own stack on the heap so that deep
// trees never grow the call stack.
class Walk {
 public:
  explicit Walk(dcXmlNode_t* top) { levels_.push(Level{top, 0}); }

  // The next node, or nullptr when the walk is over (or out of memory).
  dcXmlNode_t* next() {
    while (!levels_.empty()) {
      Level& level = levels_.top();
      if (!level.node->children || level.index >= level.node->childCount) {
        levels_.pop();
        continue;
      }
      dcXmlNode_t* child = level.node->children[level.index++];
      if (!child) continue;
      if (child->childCount > 0 && child->children && !levels_.push(Level{child, 0})) levels_.clear();
      return child;
    }
    return nullptr;
  }

 private:
  struct Level {
    dcXmlNode_t* node;
    std::uint32_t index;
  };
  dcxml::Stack<Level> levels_{32};
};

bool nameMatches(const dcXmlNode_t* node, const char* pattern) {
  return node->name && xmlNameMatch(pattern, node->name);
}

}  // namespace

dcXmlHandle_t::dcXmlHandle_t() : node_(nullptr), empty_{} {}
dcXmlHandle_t::dcXmlHandle_t(dcXmlNode_t* node) : node_(node), empty_{} {}
dcXmlHandle_t::dcXmlHandle_t(const dcXmlHandle_t& other) : node_(other.node_), empty_{} {}
dcXmlHandle_t& dcXmlHandle_t::operator=(const dcXmlHandle_t& other) {
  node_ = other.node_;
  return *this;
}

bool dcXmlHandle_t::valid() const { return node_ && node_->kind != XN_NONE; }
dcXmlNode_t* dcXmlHandle_t::node() const { return node_; }

const char* dcXmlHandle_t::name() const { return valid() && node_->name ? node_->name : ""; }
const char* dcXmlHandle_t::value() const { return valid() && node_->value ? node_->value : ""; }
std::int32_t dcXmlHandle_t::kind() const { return node_ ? node_->kind : empty_.kind; }

bool dcXmlHandle_t::isDocument() const {
  return node_ && node_->parent == node_ && node_->kind == XN_DOCUMENT;
}

std::uint32_t dcXmlHandle_t::childCount() const { return node_ ? node_->childCount : 0; }

dcXmlHandle_t dcXmlHandle_t::child(std::uint32_t i) const {
  if (!node_ || !node_->children || i >= node_->childCount) return dcXmlHandle_t();
  return dcXmlHandle_t(node_->children[i]);
}

bool dcXmlHandle_t::childNameMatches(const char* pattern, std::uint32_t i) const {
  if (!pattern || !node_ || !node_->children || i >= node_->childCount) return false;
  const dcXmlNode_t* c = node_->children[i];
  return c && nameMatches(c, pattern);
}

dcXmlHandle_t dcXmlHandle_t::findFirst(const char* pattern) const {
  if (!pattern || !valid()) return dcXmlHandle_t();
  Walk walk(node_);
  while (dcXmlNode_t* n = walk.next())
    if (nameMatches(n, pattern)) return dcXmlHandle_t(n);
  return dcXmlHandle_t();
}

void dcXmlHandle_t::findAll(const char* pattern, dcPointerArray_t* array) const {
  if (!pattern || !array || !valid()) return;
  Walk walk(node_);
  while (dcXmlNode_t* n = walk.next())
    if (nameMatches(n, pattern)) array->append(n);
}

dcXmlHandle_t dcXmlHandle_t::parent() const {
  if (!valid() || !node_->parent || node_->parent == node_) return dcXmlHandle_t();
  return dcXmlHandle_t(node_->parent);
}

bool dcXmlHandle_t::toParent() {
  if (!valid() || !node_->parent || node_->parent == node_) return false;
  node_ = node_->parent;
  return true;
}

bool dcXmlHandle_t::toSibling(std::uint32_t i) {
  if (!valid() || !node_->parent || node_->parent == node_) return false;
  const dcXmlNode_t* up = node_->parent;
  if (!up->children || i >= up->childCount) return false;
  node_ = up->children[i];
  return true;
}

std::uint32_t dcXmlHandle_t::attributeCount() const { return node_ ? node_->attributeCount : 0; }

dcXmlAttrHandle_t dcXmlHandle_t::attributeAt(std::uint32_t i) const {
  if (!node_ || !node_->attributes || i >= node_->attributeCount) return dcXmlAttrHandle_t();
  return dcXmlAttrHandle_t(node_->attributes[i]);
}

dcXmlAttrHandle_t dcXmlHandle_t::attribute(const char* name) {
  if (!name || !valid()) return dcXmlAttrHandle_t();
  for (std::uint32_t i = 0; node_->attributes && i < node_->attributeCount; ++i) {
    dcXmlAttribute_t* a = node_->attributes[i];
    if (a && a->name && xmlNameMatch(name, a->name)) return dcXmlAttrHandle_t(a);
  }
  if (!appendAttribute(name, "")) return dcXmlAttrHandle_t();
  return dcXmlAttrHandle_t(node_->attributes[node_->attributeCount - 1]);
}

bool dcXmlHandle_t::appendAttribute(const char* name, const char* value) {
  if (!name || !value || !valid()) return false;
  dcXmlAttribute_t* a = dcxml::newAttribute();
  if (!a) return false;
  a->name = dcxml::copyText(name);
  a->nameBorrowed = 0;
  a->value = dcxml::copyText(value);
  a->valueBorrowed = 0;
  if (!a->name || !a->value || !dcxml::appendAttribute(node_, a, 1)) {
    dcxml::discardAttribute(a);
    return false;
  }
  return true;
}

dcXmlHandle_t dcXmlHandle_t::appendChild(std::int32_t kind) {
  if (!valid() || (node_->kind != XN_DOCUMENT && node_->kind != XN_ELEMENT)) return dcXmlHandle_t();
  dcXmlNode_t* c = dcxml::newNode(kind);
  if (!c) return dcXmlHandle_t();
  c->parent = node_;
  c->nameBorrowed = 0;
  c->valueBorrowed = 0;
  if (!dcxml::appendChild(node_, c, 1)) {
    xmlFreeTree(c);
    return dcXmlHandle_t();
  }
  return dcXmlHandle_t(c);
}

bool dcXmlHandle_t::setName(const char* text) {
  if (!text || !valid() || (node_->kind != XN_ELEMENT && node_->kind != XN_PI)) return false;
  return dcxml::replaceText(&node_->name, &node_->nameBorrowed, text);
}

bool dcXmlHandle_t::setValue(const char* text) {
  if (!text || !valid()) return false;
  if (node_->kind != XN_TEXT && node_->kind != XN_CDATA && node_->kind != XN_COMMENT) return false;
  return dcxml::replaceText(&node_->value, &node_->valueBorrowed, text);
}

const char* dcXmlAttrHandle_t::name() const { return attr_ && attr_->name ? attr_->name : ""; }
const char* dcXmlAttrHandle_t::value() const { return attr_ && attr_->value ? attr_->value : ""; }

bool dcXmlAttrHandle_t::setValue(const char* text) {
  if (!attr_ || !text) return false;
  return dcxml::replaceText(&attr_->value, &attr_->valueBorrowed, text);
}

bool dcXmlChildIter_t::inRange() const {
  return node_ && node_->children && node_->childCount > 0 && index_ >= 0 &&
         static_cast<std::uint32_t>(index_) < node_->childCount;
}

dcXmlHandle_t dcXmlChildIter_t::operator*() const {
  if (!inRange()) return dcXmlHandle_t();
  return dcXmlHandle_t(node_->children[index_]);
}

bool dcXmlAttrIter_t::inRange() const {
  return node_ && node_->attributes && node_->attributeCount > 0 && index_ >= 0 &&
         static_cast<std::uint32_t>(index_) < node_->attributeCount;
}

dcXmlAttrHandle_t dcXmlAttrIter_t::operator*() const {
  if (!inRange()) return dcXmlAttrHandle_t();
  return dcXmlAttrHandle_t(node_->attributes[index_]);
}

namespace {
std::int32_t clampIndex(std::uint32_t count) {
  return count > static_cast<std::uint32_t>(INT32_MAX) ? INT32_MAX : static_cast<std::int32_t>(count);
}
}  // namespace

dcXmlChildIter_t childBegin(const dcXmlHandle_t& h) { return dcXmlChildIter_t(h.node(), 0); }
dcXmlChildIter_t childEnd(const dcXmlHandle_t& h) {
  return dcXmlChildIter_t(h.node(), clampIndex(h.childCount()));
}
dcXmlAttrIter_t attrBegin(const dcXmlHandle_t& h) { return dcXmlAttrIter_t(h.node(), 0); }
dcXmlAttrIter_t attrEnd(const dcXmlHandle_t& h) {
  return dcXmlAttrIter_t(h.node(), clampIndex(h.attributeCount()));
}
