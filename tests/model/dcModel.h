// A plain model of the console's inventories, loaders and group file, for
// comparing the product with: plain structures, files read byte by byte,
// trees walked child by child, every look-up a walk from the first entry,
// no indexes. Trees come from the console's own parser (tested on its own)
// and are copied into plain nodes at once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dcXml.h"

class dcQsGroup_t;
class dcSoftwareList_t;
class dcHardwareList_t;
class dcWindowsInfo_t;
class dcSoftwareUsageDocument_t;

namespace dcmodel {

// One node of a tree; a missing name or value is not the same as an empty
// one (a text node has no name, an element no value).
struct Node {
  explicit Node(std::int32_t nodeKind = XN_NONE) : kind(nodeKind) {}

  std::int32_t kind;
  std::optional<std::string> name, value;
  std::vector<std::pair<std::optional<std::string>, std::optional<std::string>>> attributes;
  std::vector<Node> children;

  Node& append(std::int32_t childKind) { return children.emplace_back(childKind); }
};

// The document node of text parsed as the inventory loaders parse it;
// complete, when given, learns whether the parse reached the text's end.
std::unique_ptr<Node> parse(std::string text, bool* complete = nullptr);
// The whole tree as text (kinds, names, values, attributes, order). Empty
// for no tree.
std::string describe(const Node* node);
std::string describe(const dcXmlNode_t* node);
// Calls visit with the parent and place of every node below top whose name
// matches pattern, in document order, a node before its children.
void forEachNamed(const Node& top, const char* pattern,
                  const std::function<void(const Node& parent, std::size_t index)>& visit);

// The first bytes of text (up to its first NUL) that fit a field of size
// bytes with its NUL, never half a double-byte character.
std::string cut(const std::string& text, std::size_t size);
bool equalNoCase(const std::string& a, const std::string& b);

// A usage document: no document, a document without a tree, or a tree.
class UsageDocument {
 public:
  // 1 when a tree was parsed.
  std::uint32_t load(const std::string& path);
  const Node* root() const { return tree_.get(); }
  void merge(const Node* other);
  void mergeUsage(const std::string& progName, const std::string& day, const std::string& ticks);
  // A line "name|minutes" for each program with time in the period.
  std::string summarize(const std::string& firstDay, const std::string& lastDay) const;

 private:
  bool hasDocument_ = false;
  std::unique_ptr<Node> tree_;
  std::string stream_;
};

// A contributor of a gathered entry: 1 a client, 2 a child group.
struct Link {
  int kind;
  std::string name;
  bool operator==(const Link&) const = default;
};

struct Software {
  std::string package, file, version;
  std::uint32_t count = 0;
  std::vector<Link> links;
};
struct HardwareItem {
  std::string device, description;
  std::vector<Link> links;
};
struct HardwareCategory {
  std::string name;
  std::vector<HardwareItem> items;
};
struct WindowsItem {
  std::string name, description;
};
struct WindowsVersion {
  std::string version;
  std::vector<Link> links;
};

// The software list's rules: a look-up by the texts given (case-insensitive,
// first match), an add that reuses a matching entry.
struct SoftwareList {
  std::vector<Software> entries;
  Software* find(const std::string* package, const std::string* file, const std::string* version);
  Software& add(const std::string& package, const std::string& file, const std::string& version);
};
struct HardwareList {
  std::vector<HardwareCategory> categories;
  HardwareItem& add(const std::string& hardware, const std::string& device, const std::string& description);
  HardwareItem* find(const std::string& hardware, const std::string& device, const std::string& description);
};
struct WindowsInfo {
  std::vector<WindowsItem> items;
  WindowsItem* find(const std::string& name);
  void add(const std::string& name, const std::string& description);
};

// A client's inventories as the model keeps them.
struct Client {
  std::string name;
  SoftwareList software;
  HardwareList hardware;
  WindowsInfo windows;
  UsageDocument usage;
};

struct Group {
  explicit Group(std::string groupName = "") : name(std::move(groupName)) {}

  std::string name;
  std::int32_t id = 0;
  std::vector<std::unique_ptr<Client>> clients;
  std::vector<std::unique_ptr<Group>> children;
  SoftwareList software;
  HardwareList hardware;
  std::vector<WindowsVersion> windowsVersions;
  std::vector<std::string> hardwareNames, windowsInfoItems;
  UsageDocument usage;

  Client& addClient(const std::string& clientName);
  Group& addChild(const std::string& childName, std::int32_t childId = 0);
  // Every gathered list of this group and the groups below it (usage apart).
  void gatherLists();
  void gatherUsage();
};

// The ignore lists the loaders consult; exact texts.
struct Filters {
  std::vector<std::string> hardware, windows;
};

// Each load adds to what the list holds and returns the list's status;
// settings is the settings file's tree, no filter set is nullptr. The
// software file consults neither settings nor filters.
std::uint32_t load(HardwareList& list, const std::string& path, const Node& settings, const Filters* filters);
std::uint32_t load(WindowsInfo& list, const std::string& path, const Node& settings, const Filters* filters);
std::uint32_t load(SoftwareList& list, const std::string& path);
inline std::uint32_t load(SoftwareList& list, const std::string& path, const Node&, const Filters*) {
  return load(list, path);
}

// Reads a group file's bytes into root (named as the console's root is
// named when the reader runs). False when the bytes end before a record
// does; what was read before stays.
bool readGroupFile(const std::string& bytes, Group& root);

// The lists as text, from the product and from the model, for comparing the
// two: entries in order with their counts and contributors.
std::string describe(const SoftwareList& list);
std::string describe(const dcSoftwareList_t& list);
std::string describe(const HardwareList& list);
std::string describe(const dcHardwareList_t& list);
std::string describe(const WindowsInfo& list);
std::string describe(const dcWindowsInfo_t& list);
// A group's gathered lists (usage aside).
std::string describeGathered(const Group& group);
std::string describeGathered(const dcQsGroup_t& group);
// The group tree as "name#id[clients](children)".
std::string describeTree(const Group& group);
std::string describeTree(const dcQsGroup_t& group);

// Loads path into the product's list and into the model's; where they then
// differ (status or content), or the empty text when they agree.
template <class Product, class Model>
std::string loadBoth(Product& product, Model& model, const std::string& path, const Node& settings,
                     const Filters* filters) {
  const std::uint32_t status = product.LoadAssetData(path.c_str());
  const std::uint32_t expected = load(model, path, settings, filters);
  if (status != expected) return "status " + std::to_string(status) + ", model " + std::to_string(expected);
  const std::string got = describe(product), want = describe(model);
  return got == want ? "" : "product:\n" + got + "model:\n" + want;
}

// Where a product usage document and the model's differ: the summaries over
// each period (first day, last day), then the trees; empty when they agree.
// Summaries come first: asking for the tree turns a document held as
// numbers into a tree, and the numbers' own summary must be compared before.
std::string usageDifference(const dcSoftwareUsageDocument_t& product, const UsageDocument& model,
                            const std::vector<std::pair<std::string, std::string>>& periods);

}  // namespace dcmodel
