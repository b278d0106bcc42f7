// The hardware, Windows information and software loaders, step by step as
// the agents' files are described: read, parse, walk, look up, add.
#include <fstream>
#include <iterator>

#include "cp949.h"
#include "dcHardwareList.h"
#include "dcModelLoaders.h"
#include "dcSoftwareList.h"
#include "dcWindowsInfo.h"
#include "dcXml.h"

namespace dcmodel::loaders {

namespace {

constexpr std::uint32_t OK = 0, NULL_ARGUMENT = 203, FILE_ERROR = 401, CANNOT_ADD = 602;
constexpr std::size_t PIECE = 4095;
constexpr std::size_t TEXT_FIELD = 256, FILE_FIELD = 512;

std::optional<std::string> text(const char* s) { return s ? std::optional<std::string>(s) : std::nullopt; }

std::unique_ptr<Node> copyOf(const dcXmlNode_t& from) {
  auto to = std::make_unique<Node>();
  to->kind = from.kind;
  to->name = text(from.name);
  to->value = text(from.value);
  for (std::uint32_t i = 0; i < from.childCount; ++i) to->children.push_back(copyOf(*from.children[i]));
  return to;
}

std::string nameOf(const Node& node) { return node.name.value_or(""); }

const Node* findFirst(const Node& top, const std::string& pattern) {
  for (const auto& child : top.children) {
    if (child->name && xmlNameMatch(pattern.c_str(), child->name->c_str())) return child.get();
    if (const Node* below = findFirst(*child, pattern)) return below;
  }
  return nullptr;
}

void findAll(const Node& top, const char* pattern, std::vector<const Node*>& out) {
  for (const auto& child : top.children) {
    if (child->name && xmlNameMatch(pattern, child->name->c_str())) out.push_back(child.get());
    findAll(*child, pattern, out);
  }
}

bool listed(const std::vector<std::string>& list, const std::optional<std::string>& name) {
  if (!name) return false;
  for (const std::string& entry : list)
    if (entry == *name) return true;
  return false;
}

// Every non-empty value of every key element under every root element of
// that name; visit returns a non-zero status to end the walk.
template <class Visit>
std::uint32_t walk(const Node& document, const char* rootName, Visit visit) {
  for (const auto& root : document.children) {
    if (!equalNoCase(nameOf(*root), rootName)) continue;
    for (const auto& element : root->children) {
      const std::string key = nameOf(*element);
      if (equalNoCase(key, "pcname")) continue;
      if (key.empty()) break;
      for (const auto& v : element->children) {
        const std::string value = v->value.value_or("");
        if (value.empty()) break;
        if (const std::uint32_t stop = visit(key, value)) return stop;
      }
    }
  }
  return OK;
}

std::unique_ptr<Node> load(const std::string& path) {
  std::optional<std::string> text = readWholeFile(path);
  return text ? parse(std::move(*text)) : nullptr;
}

}  // namespace

std::optional<std::string> readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  if (bytes.empty()) return std::nullopt;
  std::string out;
  for (std::size_t at = 0; at < bytes.size(); at += PIECE) out += bytes.substr(at, PIECE).c_str();
  return out;
}

std::unique_ptr<Node> parse(std::string text) {
  dcXmlNode_t* top = xmlNewNode(XN_DOCUMENT);
  top->parent = top;
  xmlParse(text.data(), top, 4, XOPT_INVENTORY);
  auto tree = copyOf(*top);
  xmlFreeTree(top);
  return tree;
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

Settings::Settings(const std::string& xml) : tree_(parse(xml)) {}

std::optional<std::string> Settings::value(const std::string& key) const {
  const Node* element = findFirst(*tree_, key);
  if (!element) return std::nullopt;
  if (element->children.empty()) return "";
  return element->children.front()->value.value_or("");
}

std::uint32_t loadHardware(std::vector<HardwareCategory>& list, const std::string& path,
                           const Settings& settings, const Filters* filters) {
  const auto tree = load(path);
  if (!tree) return FILE_ERROR;
  return walk(*tree, "hardwareinfo", [&](const std::string& key, const std::string& value) {
    if (!filters) return OK;
    const std::optional<std::string> display = settings.value(key);
    if (listed(filters->hardware, display)) return OK;
    if (!display) return NULL_ARGUMENT;
    HardwareCategory* category = nullptr;
    for (HardwareCategory& c : list)
      if (!category && equalNoCase(c.name, cut(*display, TEXT_FIELD))) category = &c;
    if (!category) category = &list.emplace_back(HardwareCategory{cut(*display, TEXT_FIELD), {}});
    category->items.emplace_back("Undefined", cut(value, TEXT_FIELD));
    return OK;
  });
}

std::uint32_t loadWindows(std::vector<WindowsItem>& list, const std::string& path, const Settings& settings,
                          const Filters* filters) {
  const auto tree = load(path);
  if (!tree) return FILE_ERROR;
  return walk(*tree, "windowsinfo", [&](const std::string& key, const std::string& value) {
    if (!filters) return OK;
    const std::optional<std::string> display = settings.value(key);
    if (listed(filters->windows, display)) return OK;
    if (!display) return CANNOT_ADD;
    const WindowsItem item{cut(*display, TEXT_FIELD), cut(value, TEXT_FIELD)};
    for (WindowsItem& present : list)
      if (equalNoCase(present.name, item.name)) return present = item, OK;
    list.push_back(item);
    return OK;
  });
}

std::uint32_t loadSoftware(std::vector<Software>& list, const std::string& path) {
  const auto tree = load(path);
  if (!tree) return FILE_ERROR;
  std::vector<const Node*> programs;
  findAll(*tree, "Program", programs);
  for (const Node* program : programs) {
    const Node* first = program->children.empty() ? nullptr : program->children.front().get();
    const std::string name = first && first->kind != XN_NONE ? first->value.value_or("") : "";
    const Software entry{cut(name, TEXT_FIELD), cut(name, FILE_FIELD), "Not defined"};
    Software* present = nullptr;
    for (Software& e : list)
      if (!present && equalNoCase(e.package, entry.package) && equalNoCase(e.file, entry.file) &&
          equalNoCase(e.version, entry.version))
        present = &e;
    if (present)
      *present = entry;
    else
      list.push_back(entry);
  }
  return OK;
}

std::string describe(const std::vector<HardwareCategory>& list) {
  std::string out;
  for (const HardwareCategory& c : list) {
    out += c.name + "\n";
    for (const auto& [device, description] : c.items) out += "  " + device + "|" + description + "\n";
  }
  return out;
}

std::string describe(const std::vector<WindowsItem>& list) {
  std::string out;
  for (const WindowsItem& i : list) out += i.name + "=" + i.description + "\n";
  return out;
}

std::string describe(const std::vector<Software>& list) {
  std::string out;
  for (const Software& e : list) out += e.package + "|" + e.file + "|" + e.version + "\n";
  return out;
}

std::string describe(const dcHardwareList_t& list) {
  std::vector<HardwareCategory> plain;
  for (const dcHardwareListNode_t* c = list.categories; c; c = c->next) {
    plain.push_back({c->pInfo->name, {}});
    for (const dcHardwareItem_t* i = c->pInfo->items; i; i = i->next)
      plain.back().items.emplace_back(i->device, i->description);
  }
  return describe(plain);
}

std::string describe(const dcWindowsInfo_t& list) {
  std::vector<WindowsItem> plain;
  for (const dcWindowsInfoItem_t* i = list.items; i; i = i->next) plain.push_back({i->name, i->description});
  return describe(plain);
}

std::string describe(const dcSoftwareList_t& list) {
  std::vector<Software> plain;
  for (const dcSoftwareInfo_t* e = list.entries; e; e = e->next)
    plain.push_back({e->packageName, e->fileName, e->versionString});
  return describe(plain);
}

}  // namespace dcmodel::loaders
