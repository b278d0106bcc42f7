// The console's own XML reader: an in-place parser, the node tree it
// builds, the document object every loader uses, and the handle layer for
// walking and querying a tree. Texts are CP949 bytes, NUL-terminated.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>

namespace winfs {
class ReadFile;
}

class dcPointerArray_t;

// Node kinds.
enum : std::int32_t {
  XN_NONE = 0,
  XN_DOCUMENT = 1,
  XN_ELEMENT = 2,
  XN_TEXT = 3,
  XN_CDATA = 4,
  XN_COMMENT = 5,
  XN_PI = 6,
  XN_INCLUDE = 7,
  XN_DOCTYPE = 8,
  XN_ENTITY = 9,
  XN_ATTLIST = 10,
  XN_ELEMENT_DECL = 11,
  XN_NOTATION = 12,
};

// Parse options.
enum : std::uint32_t {
  XOPT_PI = 0x0002,
  XOPT_DOCTYPE = 0x0004,
  XOPT_COMMENTS = 0x0008,
  XOPT_CDATA = 0x0010,
  XOPT_TRIM_TEXT = 0x0040,
  XOPT_TRIM_ATTR = 0x0080,
  XOPT_TRIM_CDATA = 0x0100,
  XOPT_TRIM_DECL = 0x0200,
  XOPT_TRIM_SUBSET = 0x0400,
  XOPT_TRIM_COMMENT = 0x0800,
  XOPT_COLLAPSE = 0x1000,
  XOPT_SUBSET = 0x2000,
  XOPT_SUBSET_ONLY = 0x4000,
  // What every loader of the console parses with.
  XOPT_INVENTORY = 0x0ADE,
};

struct dcXmlAttribute_t {
  char* name;
  std::uint8_t nameBorrowed;
  char* value;
  std::uint8_t valueBorrowed;
};

struct dcXmlNode_t {
  dcXmlNode_t* parent;
  char* name;
  std::uint8_t nameBorrowed;
  std::int32_t kind;
  std::uint32_t attributeCount;
  std::uint32_t attributeCapacity;
  dcXmlAttribute_t** attributes;
  std::uint32_t childCount;
  std::uint32_t childCapacity;
  dcXmlNode_t** children;
  char* value;
  std::uint8_t valueBorrowed;
  // The one slot each array starts with: a new node's attributes and
  // children point here until they grow past one entry, so most nodes need
  // no array blocks at all. A node therefore lives where it was made and is
  // never copied as a record.
  dcXmlAttribute_t* firstAttributeSlot;
  dcXmlNode_t* firstChildSlot;
};

// Every node, attribute record, pointer array of more than one slot and
// owned string is a block of its own from malloc, freed with free. A node
// is nothing but this record: one made with xmlNewNode, or zeroed with
// calloc and given a kind (and, for a document, itself as parent), works
// with every function here. Arrays are made and grown only by this layer
// (xmlParse and the handles); reading every field is fine.
//
// A zeroed node of the given kind, both borrowed flags 1, no parent; or
// nullptr when memory runs out.
dcXmlNode_t* xmlNewNode(std::int32_t kind);
// Frees a document node and everything under it, without recursion.
void xmlFreeTree(dcXmlNode_t* node);
// Appends to parent (a document or element node of this layer) a copy of
// every child of source with its whole subtree: kinds, names, values,
// attributes and order as they are, every string an owned copy, so the copy
// outlives source and its text. False when memory runs out: what was copied
// by then stays, every node whole.
bool xmlCopyChildren(const dcXmlNode_t* source, dcXmlNode_t* parent);
// Parses text in place under parent (a node of this layer: a document node
// that is its own parent for a whole document); returns where parsing
// stopped. growBy 0 grows arrays one slot at a time. When memory runs out
// the parse stops there and returns that position.
char* xmlParse(char* text, dcXmlNode_t* parent, std::uint32_t growBy, std::uint32_t options);

// What the parser finds, told as it finds it, for a reader that makes
// something other than a tree of its text (xmlParseEvents, in
// dcXmlParser.h). The calls are exactly the steps by which xmlParse builds
// its tree: a node is added as the last child of the cursor, named and
// given values (a value may be given again, trimmed, once its end is
// found), and the cursor moves to a node's parent at its end tag. Nodes and
// attributes are numbers the reader hands out; names and values point into
// the text and may still lack their NUL when given: they are whole once the
// parse has moved past them.
//
// A reader derives from this class and has these members, which the parser
// calls directly:
//   Node add(Node parent, std::int32_t kind);
//   Node parentOf(Node node);  // where the cursor goes at node's end tag:
//                              // its parent, or node itself at the top
//   void setName(Node node, char* name);
//   void setValue(Node node, char* value);
//   Attribute addAttribute(Node node);
//   void setAttributeName(Attribute attribute, char* name);
//   void setAttributeValue(Attribute attribute, char* value);
class dcXmlEvents_t {
 public:
  using Node = std::uint32_t;
  using Attribute = std::uint32_t;
  // Returned by add or addAttribute, it stops the parse there, as memory
  // running out stops xmlParse.
  static constexpr Node NO_NODE = UINT32_MAX;
  static constexpr Attribute NO_ATTRIBUTE = UINT32_MAX;
};

// Case-sensitive whole-name glob match ("*", "?", "[...]").
bool xmlNameMatch(const char* pattern, const char* text);
// -1 when either argument is null, 0 when the match holds, 1 when not.
int xmlNameMatchCmp(const char* pattern, const char* text);

// Reads a whole file (core path) into a new NUL-terminated buffer (free()
// it), in chunks of chunkSize - 1 bytes. True when size is not 0.
bool readWholeFile(const char* path, char** buffer, std::size_t* size, std::size_t chunkSize);
// The same, for a file already open (read from where it stands).
bool readWholeFile(winfs::ReadFile& file, char** buffer, std::size_t* size, std::size_t chunkSize);

// A file read and parsed as dcXmlDocument_t::load does, by any thread, for a
// document to adopt later (dcXmlDocument_t::prepare). Owns its tree and
// text until adopted.
struct dcXmlPrepared_t {
  dcXmlPrepared_t() = default;
  dcXmlPrepared_t(dcXmlPrepared_t&& other) noexcept;
  dcXmlPrepared_t& operator=(dcXmlPrepared_t&& other) noexcept;
  ~dcXmlPrepared_t();

  dcXmlNode_t* root = nullptr;  // nullptr: the file could not be read, or is empty
  char* buffer = nullptr;
  char* textEnd = nullptr;
  int error = 0;  // errno as the read left it
};

class dcXmlDocument_t {
 public:
  static constexpr std::uint32_t GROW_BY = 4;

  dcXmlDocument_t() = default;
  ~dcXmlDocument_t();
  dcXmlDocument_t(const dcXmlDocument_t&) = delete;
  dcXmlDocument_t& operator=(const dcXmlDocument_t&) = delete;

  // Frees the tree and the buffer.
  void clear();
  // The steps every loader performs: clear, XOPT_INVENTORY, read, parse.
  // False when the file cannot be read or is empty (no tree then).
  bool load(const char* path);
  // load in two steps: prepare reads and parses the file and touches
  // nothing shared, so it may run on any thread; adopt installs its result
  // as load would have left the document, sets errno as the read left it,
  // and returns what load returns.
  static dcXmlPrepared_t prepare(const char* path, std::uint32_t growBy = GROW_BY);
  // prepare for a file already open: errno as its opening left it when the
  // read fails.
  static dcXmlPrepared_t prepare(winfs::ReadFile& file, std::uint32_t growBy = GROW_BY);
  bool adopt(dcXmlPrepared_t&& prepared);
  // Parses a copy of text (for documents built in memory). False when the
  // text is null.
  bool loadText(const char* text, std::size_t size);

  dcXmlNode_t* root = nullptr;
  std::uint32_t growBy = GROW_BY;
  std::uint8_t deleteTree = 1;
  char* buffer = nullptr;
  char* textEnd = nullptr;
  std::uint32_t options = 0xFFFF;
};

class dcXmlAttrHandle_t;

// A handle on one node, or on an empty node of its own.
class dcXmlHandle_t {
 public:
  dcXmlHandle_t();
  explicit dcXmlHandle_t(dcXmlNode_t* node);
  dcXmlHandle_t(const dcXmlHandle_t& other);
  dcXmlHandle_t& operator=(const dcXmlHandle_t& other);

  bool valid() const;
  dcXmlNode_t* node() const;  // nullptr for an empty handle

  const char* name() const;   // never null
  const char* value() const;  // never null
  std::int32_t kind() const;
  bool isDocument() const;
  std::uint32_t childCount() const;
  dcXmlHandle_t child(std::uint32_t i) const;
  bool childNameMatches(const char* pattern, std::uint32_t i) const;
  dcXmlHandle_t findFirst(const char* pattern) const;
  void findAll(const char* pattern, dcPointerArray_t* array) const;
  dcXmlHandle_t parent() const;
  bool toParent();
  bool toSibling(std::uint32_t i);
  std::uint32_t attributeCount() const;
  dcXmlAttrHandle_t attributeAt(std::uint32_t i) const;
  dcXmlAttrHandle_t attribute(const char* name);
  bool appendAttribute(const char* name, const char* value);
  dcXmlHandle_t appendChild(std::int32_t kind);
  bool setName(const char* text);
  bool setValue(const char* text);

 private:
  dcXmlNode_t* node_;
  dcXmlNode_t empty_;
};

class dcXmlAttrHandle_t {
 public:
  dcXmlAttrHandle_t() = default;
  explicit dcXmlAttrHandle_t(dcXmlAttribute_t* attr) : attr_(attr) {}
  bool valid() const { return attr_ != nullptr; }
  const char* name() const;   // never null
  const char* value() const;  // never null
  bool setValue(const char* text);
  dcXmlAttribute_t* attribute() const { return attr_; }

 private:
  dcXmlAttribute_t* attr_ = nullptr;
};

// Iterators over a node's children and attributes; compare by index.
class dcXmlChildIter_t {
 public:
  dcXmlChildIter_t(dcXmlNode_t* node, std::int32_t index) : node_(node), index_(index) {}
  bool inRange() const;
  dcXmlHandle_t operator*() const;
  dcXmlChildIter_t& operator++() {
    ++index_;
    return *this;
  }
  dcXmlChildIter_t& operator--() {
    --index_;
    return *this;
  }
  std::int32_t index() const { return index_; }
  friend bool operator==(const dcXmlChildIter_t& a, const dcXmlChildIter_t& b) {
    return a.index_ == b.index_;
  }
  friend auto operator<=>(const dcXmlChildIter_t& a, const dcXmlChildIter_t& b) {
    return a.index_ <=> b.index_;
  }

 private:
  dcXmlNode_t* node_;
  std::int32_t index_;
};

class dcXmlAttrIter_t {
 public:
  dcXmlAttrIter_t(dcXmlNode_t* node, std::int32_t index) : node_(node), index_(index) {}
  bool inRange() const;
  dcXmlAttrHandle_t operator*() const;
  dcXmlAttrIter_t& operator++() {
    ++index_;
    return *this;
  }
  dcXmlAttrIter_t& operator--() {
    --index_;
    return *this;
  }
  std::int32_t index() const { return index_; }
  friend bool operator==(const dcXmlAttrIter_t& a, const dcXmlAttrIter_t& b) { return a.index_ == b.index_; }
  friend auto operator<=>(const dcXmlAttrIter_t& a, const dcXmlAttrIter_t& b) {
    return a.index_ <=> b.index_;
  }

 private:
  dcXmlNode_t* node_;
  std::int32_t index_;
};

dcXmlChildIter_t childBegin(const dcXmlHandle_t& h);
dcXmlChildIter_t childEnd(const dcXmlHandle_t& h);
dcXmlAttrIter_t attrBegin(const dcXmlHandle_t& h);
dcXmlAttrIter_t attrEnd(const dcXmlHandle_t& h);
