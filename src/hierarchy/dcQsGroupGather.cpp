// Gathering: every group carries the inventories of everything below it,
// built bottom-up in one pass, and the clears that undo it.
#include <algorithm>
#include <new>
#include <thread>
#include <utility>
#include <vector>

#include "cp949.h"
#include "dcLog.h"
#include "dcQsClient.h"
#include "dcQsGroup.h"

// One of the four list gatherers: its entry trace line, its two add
// operations, whether a client's failure stops it and, for a list whose
// entries link back to their contributors, whether a group's list holds
// links already.
struct dcQsGroup_t::GatherKind {
  const char* trace;
  dcStatus_t (dcQsGroup_t::*addClient)(dcQsClient_t*, LinkSearch);
  dcStatus_t (dcQsGroup_t::*addGroup)(dcQsGroup_t*, LinkSearch);
  bool clientFailureStops;
  bool (*holdsLinks)(const dcQsGroup_t&) = nullptr;
};

namespace {

// Links an entry to its contributor: the client or, when client is null,
// the child group.
dcStatus_t linkContributor(dcpgBackwardLinks_t& links, dcQsClient_t* client, dcQsGroup_t* group,
                           dcQsGroup_t::LinkSearch search) {
  if (search == dcQsGroup_t::LinkSearch::Last)
    return client ? links.addUnlessLast(client) : links.addUnlessLast(group);
  return client ? links.add(client) : links.add(group);
}

}  // namespace

bool dcQsGroup_t::contributorsDistinct() const {
  std::vector<const void*> seen;
  for (const dcQsClientNode_t* node = clients; node; node = node->next) seen.push_back(node->pClient);
  for (const dcQsGroupNode_t* node = children; node; node = node->next) seen.push_back(node->pGroup);
  std::sort(seen.begin(), seen.end());
  return std::adjacent_find(seen.begin(), seen.end()) == seen.end();
}

// The usage step's entry trace line, whether it merges as it walks or its
// merges were made beforehand (gatherGroupInfo).
constexpr char USAGE_STEP_TRACE[] = "[dcQsGroup_t::gatherSoftwareUsages]";

// Runs one gatherer over the subtree, children before their parent: for
// each group its own clients, then each child's whole subtree followed by
// the child itself. A failure stops the walk and is stored in every group
// whose gathering it ends, up to this one. Each contributor adds all its
// links in one run, so in a group whose list held no links at the start and
// whose contributors are distinct, a contributor's link to an entry can
// only be the entry's last (LinkSearch::Last).
dcStatus_t dcQsGroup_t::gatherTree(const GatherKind& kind) {
  struct Frame {
    dcQsGroup_t* group;
    dcQsGroupNode_t* next;  // the next child to gather
    LinkSearch search;
  };
  std::vector<Frame> stack;
  auto enter = [&](dcQsGroup_t* g) -> dcStatus_t {
    theLog.pfWrite(g, 1, "%s", kind.trace);
    const LinkSearch search = kind.holdsLinks && !kind.holdsLinks(*g) && g->contributorsDistinct()
                                  ? LinkSearch::Last
                                  : LinkSearch::All;
    for (dcQsClientNode_t* node = g->clients; node; node = node->next) {
      const dcStatus_t result = (g->*kind.addClient)(node->pClient, search);
      if (result != dcStatus::OK && kind.clientFailureStops) return g->status = result;
    }
    stack.push_back({g, g->children, search});
    return dcStatus::OK;
  };
  auto fail = [&](dcStatus_t result) {
    for (const Frame& frame : stack) frame.group->status = result;
    return result;
  };

  if (const dcStatus_t result = enter(this); result != dcStatus::OK) return result;
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next) {
      dcQsGroup_t* child = top.next->pGroup;
      top.next = top.next->next;
      if (const dcStatus_t result = enter(child); result != dcStatus::OK) return fail(result);
      continue;
    }
    dcQsGroup_t* done = top.group;
    stack.pop_back();
    done->status = dcStatus::OK;
    if (stack.empty()) break;
    const Frame& parent = stack.back();
    if (const dcStatus_t result = (parent.group->*kind.addGroup)(done, parent.search); result != dcStatus::OK)
      return fail(result);
  }
  return status;
}

namespace {

// The usage documents of a subtree merged as the usage step merges them, on
// a thread of its own: each group's merges go into a fork of its document,
// in the step's order (the group's own clients, then each child once the
// child is complete). Usage documents take no part in the other lists, so
// this runs while they are gathered; the groups keep their documents until
// install() gives them the merged ones.
class UsageMerge {
 public:
  explicit UsageMerge(dcQsGroup_t* top) : worker_([this, top] { merge(top); }) {}

  void install() {
    worker_.join();
    for (auto& [group, merged] : forks_) group->usageDocument = std::move(merged);
  }

 private:
  void merge(dcQsGroup_t* top) {
    struct Frame {
      std::size_t fork;
      dcQsGroupNode_t* next;
    };
    std::vector<Frame> stack;
    auto enter = [&](dcQsGroup_t* g) {
      forks_.emplace_back(g, g->usageDocument.fork());
      for (dcQsClientNode_t* node = g->clients; node; node = node->next)
        if (node->pClient && node->pClient->usageDocument.hasTree())
          forks_.back().second.mergeFrom(node->pClient->usageDocument);
      stack.push_back({forks_.size() - 1, g->children});
    };
    enter(top);
    while (!stack.empty()) {
      Frame& frame = stack.back();
      if (frame.next) {
        dcQsGroup_t* child = frame.next->pGroup;
        frame.next = frame.next->next;
        enter(child);
        continue;
      }
      const std::size_t done = frame.fork;
      stack.pop_back();
      if (!stack.empty()) forks_[stack.back().fork].second.mergeFrom(forks_[done].second);
      // Nothing merges into a complete group again, so its look-ups are
      // freed and the next group's reuse their memory.
      forks_[done].second.releaseLookups();
    }
  }

  std::vector<std::pair<dcQsGroup_t*, dcSoftwareUsageDocument_t>> forks_;
  // Declared last: it starts once the forks exist and, when install() was
  // not reached, is joined before they are dropped.
  std::jthread worker_;
};

}  // namespace

// The usage documents are merged beside the other steps (UsageMerge); the
// usage step then walks the tree for its trace lines and statuses, and the
// merged documents are installed. When an earlier step fails they are
// dropped, as if the usage step had not run.
dcStatus_t dcQsGroup_t::gatherGroupInfo() {
  theLog.pfWrite(this, 1, "[dcQsGroup_t::gatherGroupInfo]");
  UsageMerge usages(this);
  dcStatus_t (dcQsGroup_t::*const steps[])() = {
      &dcQsGroup_t::gatherSoftwares, &dcQsGroup_t::gatherHardwares, &dcQsGroup_t::gatherHardwareNames,
      &dcQsGroup_t::gatherWindowsVersions, &dcQsGroup_t::gatherWindowsInfoItems};
  for (auto step : steps) {
    const dcStatus_t result = (this->*step)();
    if (result != dcStatus::OK) return status = result;
  }
  static constexpr GatherKind noted{USAGE_STEP_TRACE, &dcQsGroup_t::noteSoftwareUsages,
                                    &dcQsGroup_t::noteSoftwareUsages, false};
  const dcStatus_t result = gatherTree(noted);
  usages.install();
  return status = result;
}

// --- software ----------------------------------------------------------

dcStatus_t dcQsGroup_t::gatherSoftwares() {
  static constexpr GatherKind kind{"[dcQsGroup_t::gatherSoftwares]", &dcQsGroup_t::addSoftwares,
                                   &dcQsGroup_t::addSoftwares, true,
                                   [](const dcQsGroup_t& g) { return g.softwareList.entries != nullptr; }};
  return gatherTree(kind);
}

// Merges a chain of software entries by file name; the contributor is the
// client or, when client is null, the child group.
dcStatus_t dcQsGroup_t::addSoftwareEntries(dcSoftwareInfo_t* first, dcQsClient_t* client, dcQsGroup_t* group,
                                           LinkSearch search) {
  for (dcSoftwareInfo_t* e = first; e; e = e->next) {
    dcSoftwareInfo_t* entry = softwareList.findFileOf(e);
    if (!entry) {
      entry = softwareList.add(e);
      if (!entry) return status = dcStatus::NO_MEMORY_TEXT;
      entry->pBackwardLinks = new (std::nothrow) dcpgBackwardLinks_t;
      if (!entry->pBackwardLinks) return status = dcStatus::NO_MEMORY_TEXT;
    } else if (!entry->pBackwardLinks) {
      // Every gathered entry has its back-links: only a child group's entry
      // can be met here without them.
      if (group) return status = dcStatus::MISSING_OBJECT;
      entry->pBackwardLinks = new (std::nothrow) dcpgBackwardLinks_t;
      if (!entry->pBackwardLinks) return status = dcStatus::NO_MEMORY_TEXT;
    }
    ++entry->referenceCount;
    linkContributor(*entry->pBackwardLinks, client, group, search);
  }
  return status = dcStatus::OK;
}

dcStatus_t dcQsGroup_t::addSoftwares(dcQsClient_t* pdcQsClient, LinkSearch search) {
  if (!pdcQsClient) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcQsGroup_t::addSoftwares] pdcQsClient=0x%x", dcTraceTag(pdcQsClient));
  return addSoftwareEntries(pdcQsClient->softwareList.entries, pdcQsClient, nullptr, search);
}

dcStatus_t dcQsGroup_t::addSoftwares(dcQsGroup_t* pdcQsGroup, LinkSearch search) {
  if (!pdcQsGroup) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcQsGroup_t::addSoftwares] pdcQsGroup=0x%x", dcTraceTag(pdcQsGroup));
  return addSoftwareEntries(pdcQsGroup->softwareList.entries, nullptr, pdcQsGroup, search);
}

dcStatus_t dcQsGroup_t::clearSoftwares() {
  theLog.pfWrite(this, 1, "[dcQsGroup_t::clearSoftwares]");
  for (dcSoftwareInfo_t* e = softwareList.entries; e; e = e->next) {
    delete e->pBackwardLinks;
    e->pBackwardLinks = nullptr;
  }
  softwareList.clear();
  return status = dcStatus::OK;
}

// --- hardware ----------------------------------------------------------

dcStatus_t dcQsGroup_t::gatherHardwares() {
  static constexpr GatherKind kind{"[dcQsGroup_t::gatherHardwares]", &dcQsGroup_t::addHardwares,
                                   &dcQsGroup_t::addHardwares, true,
                                   [](const dcQsGroup_t& g) { return g.hardwareList.categories != nullptr; }};
  return gatherTree(kind);
}

dcStatus_t dcQsGroup_t::addHardwareItems(dcHardwareList_t& from, dcQsClient_t* client, dcQsGroup_t* group,
                                         LinkSearch search) {
  for (dcHardwareListNode_t* cat = from.categories; cat; cat = cat->next) {
    const char* hardware = cat->pInfo->name;
    for (dcHardwareItem_t* it = cat->pInfo->items; it; it = it->next) {
      dcHardwareItem_t* item = hardwareList.find(hardware, it->device, it->description);
      if (!item) {
        item = hardwareList.add(hardware, it->device, it->description, 1);
        if (!item) return status = dcStatus::NO_MEMORY_TEXT;
      }
      if (!item->pBackwardLinks) {
        item->pBackwardLinks = new (std::nothrow) dcpgBackwardLinks_t;
        if (!item->pBackwardLinks) return status = dcStatus::NO_MEMORY_TEXT;
      }
      const dcStatus_t result = linkContributor(*item->pBackwardLinks, client, group, search);
      if (result != dcStatus::OK) return status = result;
    }
  }
  return status = dcStatus::OK;
}

dcStatus_t dcQsGroup_t::addHardwares(dcQsClient_t* pdcQsClient, LinkSearch search) {
  if (!pdcQsClient) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcQsGroup_t::addHardwares] pdcQsClient=0x%x", dcTraceTag(pdcQsClient));
  return addHardwareItems(pdcQsClient->hardwareList, pdcQsClient, nullptr, search);
}

dcStatus_t dcQsGroup_t::addHardwares(dcQsGroup_t* pdcQsGroup, LinkSearch search) {
  if (!pdcQsGroup) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcQsGroup_t::addHardwares] pdcQsGroup=0x%x", dcTraceTag(pdcQsGroup));
  return addHardwareItems(pdcQsGroup->hardwareList, nullptr, pdcQsGroup, search);
}

dcStatus_t dcQsGroup_t::clearHardwares() {
  theLog.pfWrite(this, 1, "[dcQsGroup_t::clearHardwares]");
  for (dcHardwareListNode_t* cat = hardwareList.categories; cat; cat = cat->next) {
    for (dcHardwareItem_t* it = cat->pInfo->items; it; it = it->next) {
      delete it->pBackwardLinks;
      it->pBackwardLinks = nullptr;
    }
  }
  return status = hardwareList.clear();
}

// --- Windows versions --------------------------------------------------

dcStatus_t dcQsGroup_t::gatherWindowsVersions() {
  static constexpr GatherKind kind{"[dcQsGroup_t::gatherWindowsVersions]", &dcQsGroup_t::addWindowsVersion,
                                   &dcQsGroup_t::addWindowsVersion, false,
                                   [](const dcQsGroup_t& g) { return g.windowsVersions != nullptr; }};
  return gatherTree(kind);
}

dcWindowsVersion_t* dcQsGroup_t::findWindowsVersion(const char* version) {
  if (!version) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  theLog.pfWrite(this, 1, "[dcQsGroup_t::findWindowsVersion] version=%s", version);
  auto it = windowsVersionIndex_.find(version);
  if (it == windowsVersionIndex_.end()) {
    status = dcStatus::NOT_FOUND;
    return nullptr;
  }
  status = dcStatus::OK;
  return it->second;
}

// Steps shared by both forms: find or append the entry of version, then
// link the contributor to it.
dcStatus_t dcQsGroup_t::addVersion(const char* version, dcQsClient_t* client, dcQsGroup_t* group,
                                   LinkSearch search) {
  dcWindowsVersion_t* entry = findWindowsVersion(version);
  if (!entry) {
    auto* node = new (std::nothrow) dcWindowsVersionNode_t;
    if (!node) return status = dcStatus::NO_MEMORY_TEXT;
    node->pVersion = dcWindowsVersion_t::create(version);
    if (!node->pVersion) {
      delete node;
      return status = dcStatus::CANNOT_CREATE;
    }
    try {
      windowsVersionIndex_.emplace(node->pVersion->version, node->pVersion);
    } catch (const std::bad_alloc&) {
      delete node->pVersion;
      delete node;
      return status = dcStatus::NO_MEMORY_TEXT;
    }
    if (windowsVersionsTail_)
      windowsVersionsTail_->next = node;
    else
      windowsVersions = node;
    windowsVersionsTail_ = node;
    entry = node->pVersion;
  }
  return status = linkContributor(*entry->pBackwardLinks, client, group, search);
}

dcStatus_t dcQsGroup_t::addWindowsVersion(dcQsClient_t* pdcQsClient, LinkSearch search) {
  if (!pdcQsClient) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcQsGroup_t::addWindowsVersion] pdcQsClient=0x%x", dcTraceTag(pdcQsClient));
  dcWindowsInfoItem_t* item = pdcQsClient->windowsInfo.find("WindowsVersion");
  if (!item) return status = dcStatus::NOT_FOUND;
  return addVersion(item->description, pdcQsClient, nullptr, search);
}

dcStatus_t dcQsGroup_t::addWindowsVersion(dcQsGroup_t* pdcQsGroup, LinkSearch search) {
  if (!pdcQsGroup) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcQsGroup_t::addWindowsVersion] pdcQsGroup=0x%x", dcTraceTag(pdcQsGroup));
  for (dcWindowsVersionNode_t* node = pdcQsGroup->windowsVersions; node; node = node->next) {
    const dcStatus_t result = addVersion(node->pVersion->version, nullptr, pdcQsGroup, search);
    if (result != dcStatus::OK) return result;
  }
  return status = dcStatus::OK;
}

dcStatus_t dcQsGroup_t::clearWindowsVersions() {
  theLog.pfWrite(this, 1, "[dcQsGroup_t::clearWindowsVersions]");
  for (dcWindowsVersionNode_t* node = windowsVersions; node;) {
    dcWindowsVersionNode_t* next = node->next;
    delete node->pVersion;
    delete node;
    node = next;
  }
  windowsVersions = windowsVersionsTail_ = nullptr;
  windowsVersionIndex_.clear();
  return dcStatus::OK;
}

// --- software usage ----------------------------------------------------

dcStatus_t dcQsGroup_t::gatherSoftwareUsages() {
  static constexpr GatherKind kind{USAGE_STEP_TRACE, &dcQsGroup_t::addSoftwareUsages,
                                   &dcQsGroup_t::addSoftwareUsages, false};
  return gatherTree(kind);
}

dcStatus_t dcQsGroup_t::addSoftwareUsages(dcQsClient_t* pdcQsClient, LinkSearch) {
  if (noteSoftwareUsages(pdcQsClient) == dcStatus::OK && pdcQsClient->usageDocument.hasTree())
    usageDocument.mergeFrom(pdcQsClient->usageDocument);
  return status;
}

dcStatus_t dcQsGroup_t::addSoftwareUsages(dcQsGroup_t* pdcQsGroup, LinkSearch) {
  if (noteSoftwareUsages(pdcQsGroup) == dcStatus::OK) usageDocument.mergeFrom(pdcQsGroup->usageDocument);
  return status;
}

dcStatus_t dcQsGroup_t::noteSoftwareUsages(dcQsClient_t* pdcQsClient, LinkSearch) {
  if (!pdcQsClient) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcQsGroup_t::addSoftwareUsages] pdcQsClient=0x%x", dcTraceTag(pdcQsClient));
  return status = dcStatus::OK;
}

dcStatus_t dcQsGroup_t::noteSoftwareUsages(dcQsGroup_t* pdcQsGroup, LinkSearch) {
  return status = pdcQsGroup ? dcStatus::OK : dcStatus::NULL_ARGUMENT;
}

dcStatus_t dcQsGroup_t::clearSoftwareUsages() {
  theLog.pfWrite(this, 1, "[dcQsGroup_t::clearSoftwareUsages]");
  freeUsageBackLinks(softwareUsage);
  return status = softwareUsage.clear();
}

// --- names -------------------------------------------------------------

// gatherHardwareNames (hardware true) or gatherWindowsInfoItems: each group
// collects its own clients' names, then adds each child's names not yet
// present. A client's failure ends that group's step before its children;
// its parent still takes what it gathered.
dcStatus_t dcQsGroup_t::gatherNames(bool hardware) {
  struct Frame {
    dcQsGroup_t* group;
    dcQsGroupNode_t* next;
  };
  auto names = [hardware](dcQsGroup_t* g) -> dcStringList_t& {
    return hardware ? g->hardwareNames : g->windowsInfoItems;
  };
  std::vector<Frame> stack;
  auto enter = [&](dcQsGroup_t* g) -> dcStatus_t {
    dcStringList_t& list = names(g);
    list.clear();
    for (dcQsClientNode_t* node = g->clients; node; node = node->next) {
      dcQsClient_t* c = node->pClient;
      const dcStatus_t result =
          hardware ? c->hardwareList.getHardwareNames(&list) : c->windowsInfo.getWindowsInfoItems(&list);
      if (result != dcStatus::OK) return g->status = result;
    }
    stack.push_back({g, g->children});
    return dcStatus::OK;
  };

  if (const dcStatus_t result = enter(this); result != dcStatus::OK) return result;
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next) {
      dcQsGroup_t* child = top.next->pGroup;
      top.next = top.next->next;
      if (enter(child) != dcStatus::OK) names(stack.back().group).addAll(&names(child), 0);
      continue;
    }
    dcQsGroup_t* done = top.group;
    stack.pop_back();
    done->status = dcStatus::OK;
    if (!stack.empty()) names(stack.back().group).addAll(&names(done), 0);
  }
  return status;
}

dcStatus_t dcQsGroup_t::gatherHardwareNames() { return gatherNames(true); }

dcStatus_t dcQsGroup_t::gatherWindowsInfoItems() { return gatherNames(false); }
