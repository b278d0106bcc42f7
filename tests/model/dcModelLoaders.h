// A plain model of the inventory loaders and the group file reader, for
// comparing the console with: files read byte by byte, trees walked child by
// child, every look-up a walk from the first entry, no indexes. Trees come
// from the console's own parser (tested on its own) and are copied into
// plain nodes at once.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dcModel.h"

namespace dcmodel::loaders {

// The first bytes of text (up to its first NUL) that fit a field of size
// bytes with its NUL, never half a double-byte character.
std::string cut(const std::string& text, std::size_t size);
bool equalNoCase(const std::string& a, const std::string& b);

// The settings file as the loaders ask it: the first element, depth-first
// in document order, whose name matches the key as a pattern; its first
// child's value, or the empty text.
class Settings {
 public:
  explicit Settings(const std::string& xml);
  std::optional<std::string> value(const std::string& key) const;

 private:
  std::unique_ptr<Node> tree_;
};

// The ignore lists the loaders consult; exact texts.
struct Filters {
  std::vector<std::string> hardware, windows;
};

// Each load adds to what the list holds and returns the list's status; no
// filter set is nullptr. The software file consults neither settings nor
// filters.
std::uint32_t load(HardwareList& list, const std::string& path, const Settings& settings,
                   const Filters* filters);
std::uint32_t load(WindowsInfo& list, const std::string& path, const Settings& settings,
                   const Filters* filters);
std::uint32_t load(SoftwareList& list, const std::string& path);

// Loads path into the product's list and into the model's; where they then
// differ (status or content), or the empty text when they agree.
std::string loadBoth(dcHardwareList_t& product, HardwareList& model, const std::string& path,
                     const Settings& settings, const Filters* filters);
std::string loadBoth(dcWindowsInfo_t& product, WindowsInfo& model, const std::string& path,
                     const Settings& settings, const Filters* filters);
std::string loadBoth(dcSoftwareList_t& product, SoftwareList& model, const std::string& path,
                     const Settings& settings, const Filters* filters);

struct Group {
  std::string name;
  std::int32_t id = 0;
  std::vector<std::string> clients;
  std::vector<std::unique_ptr<Group>> children;
};

// Reads a group file's bytes into root (named as the console's root is
// named when the reader runs). False when the bytes end before a record
// does; what was read before stays.
bool readGroupFile(const std::string& bytes, Group& root);

// The tree as "name#id[clients](children)".
std::string describe(const Group& group);
std::string describe(const dcQsGroup_t& group);

}  // namespace dcmodel::loaders
