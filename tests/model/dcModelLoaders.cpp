// The hardware, Windows information and software loaders, step by step as
// the agents' files are described: read, parse, walk, look up, add.
#include <fstream>
#include <iterator>

#include "dcModel.h"

namespace dcmodel {

namespace {

constexpr std::uint32_t OK = 0, NULL_ARGUMENT = 203, FILE_ERROR = 401, CANNOT_ADD = 602;
constexpr std::size_t PIECE = 4095;

// The file as the loaders read it, pieces of 4095 bytes each up to its first
// NUL, parsed; none when the file cannot be opened or holds no byte.
std::unique_ptr<Node> load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return nullptr;
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  if (bytes.empty()) return nullptr;
  std::string text;
  for (std::size_t at = 0; at < bytes.size(); at += PIECE) text += bytes.substr(at, PIECE).c_str();
  return parse(std::move(text));
}

// The settings as the loaders ask them: the first element, depth-first in
// document order, whose name matches the key as a pattern; its first
// child's value, or the empty text.
std::optional<std::string> settingValue(const Node& settings, const std::string& key) {
  std::optional<std::string> first;
  forEachNamed(settings, key.c_str(), [&](const Node& parent, std::size_t at) {
    const std::vector<Node>& below = parent.children[at].children;
    if (!first) first = below.empty() ? "" : below[0].value.value_or("");
  });
  return first;
}

// Every non-empty value of every key element under every root element named
// rootName, added under the display name the settings give its key. Without
// a filter set nothing is added; a key whose display name is ignored is
// skipped; a key the settings lack ends the load with the missing status.
template <class Add>
std::uint32_t loadKeys(const std::string& path, const char* rootName, const Node& settings,
                       const Filters* filters, std::vector<std::string> Filters::*ignored,
                       std::uint32_t missing, Add add) {
  const auto document = load(path);
  if (!document) return FILE_ERROR;
  for (const Node& root : document->children) {
    if (!equalNoCase(root.name.value_or(""), rootName)) continue;
    for (const Node& element : root.children) {
      const std::string key = element.name.value_or("");
      if (equalNoCase(key, "pcname")) continue;
      if (key.empty()) break;
      for (const Node& v : element.children) {
        const std::string value = v.value.value_or("");
        if (value.empty()) break;
        if (!filters) continue;
        const std::optional<std::string> display = settingValue(settings, key);
        bool skip = false;
        for (const std::string& entry : filters->*ignored) skip = skip || (display && entry == *display);
        if (skip) continue;
        if (!display) return missing;
        add(*display, value);
      }
    }
  }
  return OK;
}

}  // namespace

std::uint32_t load(HardwareList& list, const std::string& path, const Node& settings,
                   const Filters* filters) {
  return loadKeys(
      path, "hardwareinfo", settings, filters, &Filters::hardware, NULL_ARGUMENT,
      [&](const std::string& display, const std::string& value) { list.add(display, "Undefined", value); });
}

std::uint32_t load(WindowsInfo& list, const std::string& path, const Node& settings, const Filters* filters) {
  return loadKeys(path, "windowsinfo", settings, filters, &Filters::windows, CANNOT_ADD,
                  [&](const std::string& display, const std::string& value) { list.add(display, value); });
}

std::uint32_t load(SoftwareList& list, const std::string& path) {
  const auto document = load(path);
  if (!document) return FILE_ERROR;
  forEachNamed(*document, "Program", [&](const Node& parent, std::size_t at) {
    const std::vector<Node>& below = parent.children[at].children;
    const std::string name = !below.empty() && below[0].kind != XN_NONE ? below[0].value.value_or("") : "";
    list.add(name, name, "Not defined");
  });
  return OK;
}

}  // namespace dcmodel
