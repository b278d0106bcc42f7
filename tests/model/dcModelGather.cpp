// Software, hardware and Windows lists and their gathering up the tree,
// each look-up a walk from the first entry.
#include "cp949.h"
#include "dcModel.h"
#include "dcModelLoaders.h"
#include "dcQsGroup.h"

namespace dcmodel {

using loaders::cut;
using loaders::equalNoCase;

namespace {

void link(std::vector<Link>& links, int kind, const std::string& name) {
  for (const Link& l : links)
    if (l.kind == kind && l.name == name) return;
  links.push_back({kind, name});
}

void addName(std::vector<std::string>& names, const std::string& name) {
  for (const std::string& n : names)
    if (n == name) return;
  names.push_back(name);
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

HardwareCategory& HardwareList::add(const std::string& hardware) {
  for (HardwareCategory& c : categories)
    if (equalNoCase(c.name, cut(hardware, 256))) return c;
  categories.push_back({cut(hardware, 256), {}});
  return categories.back();
}

HardwareItem& HardwareList::add(const std::string& hardware, const std::string& device,
                                const std::string& description) {
  HardwareCategory& category = add(hardware);
  category.items.push_back({cut(device, 256), cut(description, 256), {}});
  return category.items.back();
}

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

void Group::gather() {
  gatherLists();
  gatherUsage();
}

void Group::gatherLists() {
  auto addSoftware = [&](SoftwareList& from, int kind, const std::string& who) {
    for (const Software& e : from.entries) {
      Software* entry = software.find(nullptr, &e.file, nullptr);
      if (!entry) entry = &software.add(e.package, e.file, e.version);
      ++entry->count;
      link(entry->links, kind, who);
    }
  };
  auto addHardware = [&](HardwareList& from, int kind, const std::string& who) {
    for (const HardwareCategory& c : from.categories)
      for (const HardwareItem& i : c.items) {
        HardwareItem* item = hardware.find(c.name, i.device, i.description);
        if (!item) item = &hardware.add(c.name, i.device, i.description);
        link(item->links, kind, who);
      }
  };
  auto addVersion = [&](const std::string& version, int kind, const std::string& who) {
    WindowsVersion* entry = nullptr;
    for (WindowsVersion& v : windowsVersions)
      if (v.version == version) {
        entry = &v;
        break;
      }
    if (!entry) entry = &windowsVersions.emplace_back(WindowsVersion{cut(version, 256), {}});
    link(entry->links, kind, who);
  };
  for (const auto& client : clients) {
    addSoftware(client->software, 1, client->name);
    addHardware(client->hardware, 1, client->name);
    for (const HardwareCategory& c : client->hardware.categories) addName(hardwareNames, c.name);
    if (WindowsItem* item = client->windows.find("WindowsVersion"))
      addVersion(item->description, 1, client->name);
    for (const WindowsItem& item : client->windows.items) addName(windowsInfoItems, item.name);
  }
  for (const auto& child : children) {
    child->gatherLists();
    addSoftware(child->software, 2, child->name);
    addHardware(child->hardware, 2, child->name);
    for (const std::string& name : child->hardwareNames) addName(hardwareNames, name);
    for (const WindowsVersion& v : child->windowsVersions) addVersion(v.version, 2, child->name);
    for (const std::string& name : child->windowsInfoItems) addName(windowsInfoItems, name);
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
  std::vector<Link> plain;
  if (links)
    for (const dcpgBackwardLink_t& l : links->links())
      plain.push_back({static_cast<int>(l.kind), l.pObject->name});
  return linksText(plain);
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

std::string describeGathered(dcQsGroup_t& group) {
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

}  // namespace dcmodel
