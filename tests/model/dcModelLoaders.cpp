// The hardware, Windows information and software loaders, step by step as
// the agents' files are described: read, parse, walk, look up, add.
#include <fstream>
#include <iterator>

#include "cp949.h"
#include "dcHardwareList.h"
#include "dcModelLoaders.h"
#include "dcSoftwareList.h"
#include "dcWindowsInfo.h"

namespace dcmodel::loaders {

namespace {

constexpr std::uint32_t OK = 0, NULL_ARGUMENT = 203, FILE_ERROR = 401, CANNOT_ADD = 602;
constexpr std::size_t PIECE = 4095;

std::string nameOf(const Node& node) { return node.name.value_or(""); }

const Node* findFirst(const Node& top, const std::string& pattern) {
  for (const auto& child : top.children) {
    if (child->name && xmlNameMatch(pattern.c_str(), child->name->c_str())) return child.get();
    if (const Node* below = findFirst(*child, pattern)) return below;
  }
  return nullptr;
}

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

// Every non-empty value of every key element under every root element named
// rootName, added under the display name the settings give its key. Without
// a filter set nothing is added; a key whose display name is ignored is
// skipped; a key the settings lack ends the load with the missing status.
template <class Add>
std::uint32_t loadKeys(const std::string& path, const char* rootName, const Settings& settings,
                       const Filters* filters, std::vector<std::string> Filters::*ignored,
                       std::uint32_t missing, Add add) {
  const auto document = load(path);
  if (!document) return FILE_ERROR;
  for (const auto& root : document->children) {
    if (!equalNoCase(nameOf(*root), rootName)) continue;
    for (const auto& element : root->children) {
      const std::string key = nameOf(*element);
      if (equalNoCase(key, "pcname")) continue;
      if (key.empty()) break;
      for (const auto& v : element->children) {
        const std::string value = v->value.value_or("");
        if (value.empty()) break;
        if (!filters) continue;
        const std::optional<std::string> display = settings.value(key);
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

template <class Product, class Model>
std::string difference(Product& product, Model& model, std::uint32_t status, std::uint32_t modelStatus) {
  if (status != modelStatus)
    return "status " + std::to_string(status) + ", model " + std::to_string(modelStatus);
  const std::string got = dcmodel::describe(product), want = dcmodel::describe(model);
  return got == want ? "" : "product:\n" + got + "model:\n" + want;
}

}  // namespace

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

Settings::Settings(const std::string& xml) : tree_(parse(xml)) {}

std::optional<std::string> Settings::value(const std::string& key) const {
  const Node* element = findFirst(*tree_, key);
  if (!element) return std::nullopt;
  if (element->children.empty()) return "";
  return element->children.front()->value.value_or("");
}

std::uint32_t load(HardwareList& list, const std::string& path, const Settings& settings,
                   const Filters* filters) {
  return loadKeys(
      path, "hardwareinfo", settings, filters, &Filters::hardware, NULL_ARGUMENT,
      [&](const std::string& display, const std::string& value) { list.add(display, "Undefined", value); });
}

std::uint32_t load(WindowsInfo& list, const std::string& path, const Settings& settings,
                   const Filters* filters) {
  return loadKeys(path, "windowsinfo", settings, filters, &Filters::windows, CANNOT_ADD,
                  [&](const std::string& display, const std::string& value) { list.add(display, value); });
}

std::uint32_t load(SoftwareList& list, const std::string& path) {
  const auto document = load(path);
  if (!document) return FILE_ERROR;
  std::vector<const Node*> programs;
  findAll(*document, "Program", programs);
  for (const Node* program : programs) {
    const Node* first = program->children.empty() ? nullptr : program->children.front().get();
    const std::string name = first && first->kind != XN_NONE ? first->value.value_or("") : "";
    list.add(name, name, "Not defined");
  }
  return OK;
}

std::string loadBoth(dcHardwareList_t& product, HardwareList& model, const std::string& path,
                     const Settings& settings, const Filters* filters) {
  const std::uint32_t status = product.LoadAssetData(path.c_str());
  return difference(product, model, status, load(model, path, settings, filters));
}

std::string loadBoth(dcWindowsInfo_t& product, WindowsInfo& model, const std::string& path,
                     const Settings& settings, const Filters* filters) {
  const std::uint32_t status = product.LoadAssetData(path.c_str());
  return difference(product, model, status, load(model, path, settings, filters));
}

std::string loadBoth(dcSoftwareList_t& product, SoftwareList& model, const std::string& path, const Settings&,
                     const Filters*) {
  const std::uint32_t status = product.LoadAssetData(path.c_str());
  return difference(product, model, status, load(model, path));
}

}  // namespace dcmodel::loaders
