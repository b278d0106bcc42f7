// A plain model of the console's inventories, for comparing the product
// with: plain structures, linear searches and the comparison rules each
// inventory names, no indexes. Trees come from the console's own parser
// (tested on its own) and are copied into plain nodes at once.
#pragma once

#include <cstdint>
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
  std::int32_t kind = XN_NONE;
  std::optional<std::string> name;
  std::optional<std::string> value;
  std::vector<std::pair<std::optional<std::string>, std::optional<std::string>>> attributes;
  std::vector<std::unique_ptr<Node>> children;
  Node* parent = nullptr;

  Node* append(std::int32_t childKind);
};

// A document node of the parser's, copied whole (its own parent).
std::unique_ptr<Node> copyOf(const dcXmlNode_t* node);
// A subtree copied whole; the caller sets its parent.
std::unique_ptr<Node> copyOf(const Node& node);
// The whole tree as text (kinds, names, values, attributes, order), for
// comparing a product tree with a model tree. Empty for no tree.
std::string describe(const Node* node);
std::string describe(const dcXmlNode_t* node);
// The document node of text parsed as the inventory loaders parse it;
// complete, when given, learns whether the parse reached the text's end.
std::unique_ptr<Node> parse(std::string text, bool* complete = nullptr);
// Every node below top whose name matches pattern, a node before its
// children, matches entered too.
void findAll(const Node& top, const char* pattern, std::vector<const Node*>& out);

struct UsageLine {
  std::string name;
  std::string minutes;
  bool operator==(const UsageLine&) const = default;
};

// A usage document: no document, a document without a tree, or a tree.
class UsageDocument {
 public:
  // 1 when a tree was parsed.
  std::uint32_t load(const std::string& path);
  const Node* root() const { return tree_.get(); }
  void merge(const Node* other);
  void mergeUsage(const std::string& progName, const std::string& day, const std::string& ticks);
  std::vector<UsageLine> summarize(const std::string& firstDay, const std::string& lastDay) const;

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
  HardwareCategory& add(const std::string& hardware);
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
  std::string name;
  std::vector<std::unique_ptr<Client>> clients;
  std::vector<std::unique_ptr<Group>> children;
  SoftwareList software;
  HardwareList hardware;
  std::vector<WindowsVersion> windowsVersions;
  std::vector<std::string> hardwareNames;
  std::vector<std::string> windowsInfoItems;
  UsageDocument usage;

  // Every gathered list of this group and the groups below it.
  void gather();
  void gatherUsage();

 private:
  void gatherLists();
};

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
std::string describeGathered(dcQsGroup_t& group);

// Where a product usage document and the model's differ: the summaries over
// each period (first day, last day), then the trees; empty when they agree.
// Summaries come first: asking for the tree turns a document held as
// numbers into a tree, and the numbers' own summary must be compared before.
std::string usageDifference(const dcSoftwareUsageDocument_t& product, const UsageDocument& model,
                            const std::vector<std::pair<std::string, std::string>>& periods);

}  // namespace dcmodel
