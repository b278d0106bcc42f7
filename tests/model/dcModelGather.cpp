// Software, hardware and Windows lists and their gathering up the tree,
// each look-up a walk from the first entry.
#include "dcModel.h"
#include "dcQsGroup.h"

namespace dcmodel {

namespace {

template <class T>
bool addOnce(std::vector<T>& list, const T& item) {
  for (const T& existing : list)
    if (existing == item) return false;
  list.push_back(item);
  return true;
}

}  // namespace

// Texts longer than their field are cut to it before they are compared, as
// they are before they are kept.
Software* SoftwareList::find(const std::string* package, const std::string* file,
                             const std::string* version) {
  for (Software& e : entries)
    if ((!package || equalNoCase(e.package, cut(*package, 256))) &&
        (!file || equalNoCase(e.file, cut(*file, 512))) &&
        (!version || equalNoCase(e.version, cut(*version, 256))))
      return &e;
  return nullptr;
}

Software& SoftwareList::add(const std::string& package, const std::string& file, const std::string& version) {
  Software* entry = find(&package, &file, &version);
  if (!entry) entry = &entries.emplace_back();
  entry->package = cut(package, 256);
  entry->file = cut(file, 512);
  entry->version = cut(version, 256);
  return *entry;
}

HardwareItem& HardwareList::add(const std::string& hardware, const std::string& device,
                                const std::string& description) {
  HardwareCategory* category = nullptr;
  for (HardwareCategory& c : categories)
    if (!category && equalNoCase(c.name, cut(hardware, 256))) category = &c;
  if (!category) category = &categories.emplace_back(HardwareCategory{cut(hardware, 256), {}});
  return category->items.emplace_back(HardwareItem{cut(device, 256), cut(description, 256), {}});
}

// Only the first category of the name is searched.
HardwareItem* HardwareList::find(const std::string& hardware, const std::string& device,
                                 const std::string& description) {
  for (HardwareCategory& c : categories) {
    if (!equalNoCase(c.name, cut(hardware, 256))) continue;
    for (HardwareItem& item : c.items)
      if (equalNoCase(item.device, cut(device, 256)) && equalNoCase(item.description, cut(description, 256)))
        return &item;
    return nullptr;
  }
  return nullptr;
}

WindowsItem* WindowsInfo::find(const std::string& name) {
  for (WindowsItem& item : items)
    if (equalNoCase(item.name, cut(name, 256))) return &item;
  return nullptr;
}

void WindowsInfo::add(const std::string& name, const std::string& description) {
  WindowsItem* item = find(name);
  if (!item) item = &items.emplace_back();
  item->name = cut(name, 256);
  item->description = cut(description, 256);
}

Client& Group::addClient(const std::string& clientName) {
  clients.push_back(std::make_unique<Client>());
  clients.back()->name = cut(clientName, 256);
  return *clients.back();
}

Group& Group::addChild(const std::string& childName, std::int32_t childId) {
  children.push_back(std::make_unique<Group>(cut(childName, 256)));
  children.back()->id = childId;
  return *children.back();
}

void Group::gatherLists() {
  auto addSoftware = [&](SoftwareList& from, const Link& who) {
    for (const Software& e : from.entries) {
      Software* entry = software.find(nullptr, &e.file, nullptr);
      if (!entry) entry = &software.add(e.package, e.file, e.version);
      ++entry->count;
      addOnce(entry->links, who);
    }
  };
  auto addHardware = [&](HardwareList& from, const Link& who) {
    for (const HardwareCategory& c : from.categories)
      for (const HardwareItem& i : c.items) {
        HardwareItem* item = hardware.find(c.name, i.device, i.description);
        if (!item) item = &hardware.add(c.name, i.device, i.description);
        addOnce(item->links, who);
      }
  };
  auto addVersion = [&](const std::string& version, const Link& who) {
    WindowsVersion* entry = nullptr;
    for (WindowsVersion& v : windowsVersions)
      if (!entry && v.version == version) entry = &v;
    if (!entry) entry = &windowsVersions.emplace_back(WindowsVersion{cut(version, 256), {}});
    addOnce(entry->links, who);
  };
  for (const auto& client : clients) {
    const Link who{1, client->name};
    addSoftware(client->software, who);
    addHardware(client->hardware, who);
    for (const HardwareCategory& c : client->hardware.categories) addOnce(hardwareNames, c.name);
    if (WindowsItem* item = client->windows.find("WindowsVersion")) addVersion(item->description, who);
    for (const WindowsItem& item : client->windows.items) addOnce(windowsInfoItems, item.name);
  }
  for (const auto& child : children) {
    child->gatherLists();
    const Link who{2, child->name};
    addSoftware(child->software, who);
    addHardware(child->hardware, who);
    for (const std::string& name : child->hardwareNames) addOnce(hardwareNames, name);
    for (const WindowsVersion& v : child->windowsVersions) addVersion(v.version, who);
    for (const std::string& name : child->windowsInfoItems) addOnce(windowsInfoItems, name);
  }
}

namespace {

std::string linksText(const std::vector<Link>& links) {
  std::string out;
  for (const Link& l : links) out += (l.kind == 1 ? " c:" : " g:") + l.name;
  return out;
}

// A list of no contributors as the model keeps it: an empty one.
std::string linksText(const dcpgBackwardLinks_t* links) {
  std::string out;
  if (links)
    for (const dcpgBackwardLink_t& l : links->links())
      out += (l.kind == 1 ? " c:" : " g:") + std::string(l.pObject->name);
  return out;
}

std::string softwareLine(const std::string& package, const std::string& file, const std::string& version,
                         std::uint32_t count, const std::string& links) {
  return package + "|" + file + "|" + version + " x" + std::to_string(count) + links + "\n";
}

}  // namespace

std::string describe(const SoftwareList& list) {
  std::string out;
  for (const Software& e : list.entries)
    out += softwareLine(e.package, e.file, e.version, e.count, linksText(e.links));
  return out;
}

std::string describe(const dcSoftwareList_t& list) {
  std::string out;
  for (const dcSoftwareInfo_t* e = list.entries; e; e = e->next)
    out += softwareLine(e->packageName, e->fileName, e->versionString, e->referenceCount,
                        linksText(e->pBackwardLinks));
  return out;
}

std::string describe(const HardwareList& list) {
  std::string out;
  for (const HardwareCategory& c : list.categories) {
    out += c.name + "\n";
    for (const HardwareItem& i : c.items)
      out += "  " + i.device + "|" + i.description + linksText(i.links) + "\n";
  }
  return out;
}

std::string describe(const dcHardwareList_t& list) {
  std::string out;
  for (const dcHardwareListNode_t* c = list.categories; c; c = c->next) {
    out += std::string(c->pInfo->name) + "\n";
    for (const dcHardwareItem_t* i = c->pInfo->items; i; i = i->next)
      out += std::string("  ") + i->device + "|" + i->description + linksText(i->pBackwardLinks) + "\n";
  }
  return out;
}

std::string describe(const WindowsInfo& list) {
  std::string out;
  for (const WindowsItem& i : list.items) out += i.name + "=" + i.description + "\n";
  return out;
}

std::string describe(const dcWindowsInfo_t& list) {
  std::string out;
  for (const dcWindowsInfoItem_t* i = list.items; i; i = i->next)
    out += std::string(i->name) + "=" + i->description + "\n";
  return out;
}

std::string describeGathered(const Group& group) {
  std::string out =
      "software\n" + describe(group.software) + "hardware\n" + describe(group.hardware) + "versions\n";
  for (const WindowsVersion& v : group.windowsVersions) out += v.version + linksText(v.links) + "\n";
  out += "names\n";
  for (const std::string& n : group.hardwareNames) out += n + "\n";
  out += "items\n";
  for (const std::string& n : group.windowsInfoItems) out += n + "\n";
  return out;
}

std::string describeGathered(const dcQsGroup_t& group) {
  std::string out = "software\n" + describe(group.softwareList) + "hardware\n" +
                    describe(group.hardwareList) + "versions\n";
  for (const dcWindowsVersionNode_t* v = group.windowsVersions; v; v = v->next)
    out += std::string(v->pVersion->version) + linksText(v->pVersion->pBackwardLinks) + "\n";
  out += "names\n";
  for (const dcStringListItem_t* i = group.hardwareNames.head; i; i = i->next)
    out += std::string(i->text) + "\n";
  out += "items\n";
  for (const dcStringListItem_t* i = group.windowsInfoItems.head; i; i = i->next)
    out += std::string(i->text) + "\n";
  return out;
}

std::string describeTree(const Group& g) {
  std::string s = g.name + "#" + std::to_string(g.id) + "[";
  for (std::size_t i = 0; i < g.clients.size(); ++i) s += (i ? "," : "") + g.clients[i]->name;
  s += g.children.empty() ? "]" : "](";
  for (std::size_t i = 0; i < g.children.size(); ++i)
    s += describeTree(*g.children[i]) + (i + 1 < g.children.size() ? " " : ")");
  return s;
}

std::string describeTree(const dcQsGroup_t& g) {
  std::string s = std::string(g.name) + "#" + std::to_string(g.id) + "[";
  for (const dcQsClientNode_t* c = g.clients; c; c = c->next)
    s += std::string(c->pClient->name) + (c->next ? "," : "");
  s += g.children ? "](" : "]";
  for (const dcQsGroupNode_t* n = g.children; n; n = n->next)
    s += describeTree(*n->pGroup) + (n->next ? " " : ")");
  return s;
}

}  // namespace dcmodel
