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

class dcQsGroup_t;
class dcHardwareList_t;
class dcWindowsInfo_t;
class dcSoftwareList_t;

namespace dcmodel::loaders {

struct Node {
  std::int32_t kind = 0;
  std::optional<std::string> name, value;
  std::vector<std::unique_ptr<Node>> children;
};

// The text of a file as the loaders read it: pieces of 4095 bytes, each up
// to its first NUL. None when the file cannot be opened or holds no byte.
std::optional<std::string> readWholeFile(const std::string& path);
// The document node of text parsed as the loaders parse it.
std::unique_ptr<Node> parse(std::string text);

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

struct HardwareCategory {
  std::string name;
  std::vector<std::pair<std::string, std::string>> items;  // device, description
};
struct WindowsItem {
  std::string name, description;
};
struct Software {
  std::string package, file, version;
};

// Each load adds to what is there and returns the list's status; no filter
// set is nullptr.
std::uint32_t loadHardware(std::vector<HardwareCategory>& list, const std::string& path,
                           const Settings& settings, const Filters* filters);
std::uint32_t loadWindows(std::vector<WindowsItem>& list, const std::string& path, const Settings& settings,
                          const Filters* filters);
std::uint32_t loadSoftware(std::vector<Software>& list, const std::string& path);

// The lists as text, from the model and from the console, for comparing.
std::string describe(const std::vector<HardwareCategory>& list);
std::string describe(const std::vector<WindowsItem>& list);
std::string describe(const std::vector<Software>& list);
std::string describe(const dcHardwareList_t& list);
std::string describe(const dcWindowsInfo_t& list);
std::string describe(const dcSoftwareList_t& list);

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
