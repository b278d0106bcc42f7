// Gathering: every group carries the inventories of everything below it,
// built bottom-up in one pass, and the clears that undo it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <span>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "cp949.h"
#include "dcLog.h"
#include "dcQsClient.h"
#include "dcQsGroup.h"

namespace {

// The records of a client that a gathering step reads: the client's field
// that points to the first of them, and how far a client's list reaches
// from there (one block of its list's arena).
struct ClientRecords {
  const void* (*holder)(const dcQsClient_t*);
  const void* (*first)(const dcQsClient_t*);
  std::size_t bytes;
};

constexpr ClientRecords SOFTWARE_RECORDS{
    [](const dcQsClient_t* c) -> const void* { return &c->softwareList.entries; },
    [](const dcQsClient_t* c) -> const void* { return c->softwareList.entries; }, dcinv::SOFTWARE_BLOCK};
constexpr ClientRecords HARDWARE_RECORDS{
    [](const dcQsClient_t* c) -> const void* { return &c->hardwareList.categories; },
    [](const dcQsClient_t* c) -> const void* { return c->hardwareList.categories; }, dcinv::HARDWARE_BLOCK};
constexpr ClientRecords WINDOWS_RECORDS{
    [](const dcQsClient_t* c) -> const void* { return &c->windowsInfo.items; },
    [](const dcQsClient_t* c) -> const void* { return c->windowsInfo.items; }, dcinv::WINDOWS_BLOCK};
constexpr ClientRecords NO_RECORDS{nullptr, nullptr, 0};

// A group's clients were made in the group file's order and their records
// in the load's, so one group's clients lie scattered over the whole heap:
// on a large site every client a step reaches would wait for memory. A step
// takes its clients with this cursor, which asks a few clients ahead for
// each coming client's field first and, once that is near, for its
// records, so that they are in cache when the step reaches them. The
// cursor reads only the clients' fields that point to their records and
// writes nothing: it changes no result.
class ClientsAhead {
 public:
  ClientsAhead(std::span<dcQsClient_t* const> clients, const ClientRecords& records)
      : clients_(clients), records_(records) {
    if (!records_.holder) return;
    for (std::size_t i = 0; i < OBJECTS_AHEAD; ++i) askObject(i);
    for (std::size_t i = 0; i < LISTS_AHEAD; ++i) askList(i);
  }
  // Called before the step takes the client at `at`.
  void advance(std::size_t at) {
    if (!records_.holder) return;
    askObject(at + OBJECTS_AHEAD);
    askList(at + LISTS_AHEAD);
  }

 private:
  static constexpr std::size_t OBJECTS_AHEAD = 6;
  static constexpr std::size_t LISTS_AHEAD = 3;
  static constexpr std::size_t CACHE_LINE = 64;

  // Addresses are counted as integers: the bytes asked for may lie past the
  // list's last record.
  static void ask(const void* at, std::size_t bytes) {
    const auto from = reinterpret_cast<std::uintptr_t>(at);
    for (std::size_t k = 0; k < bytes; k += CACHE_LINE)
      __builtin_prefetch(reinterpret_cast<const void*>(from + k));
  }
  void askObject(std::size_t i) const {
    if (i < clients_.size() && clients_[i]) ask(records_.holder(clients_[i]), 1);
  }
  void askList(std::size_t i) const {
    if (i >= clients_.size() || !clients_[i]) return;
    if (const void* first = records_.first(clients_[i])) ask(first, records_.bytes);
  }

  std::span<dcQsClient_t* const> clients_;
  const ClientRecords& records_;
};

}  // namespace

// The clients of every group of a subtree, taken from the groups' chains
// once for all the steps of a gathering: the nodes of one group's chain lie
// scattered over the heap like its clients, and each step would walk them
// again. No step changes a chain.
class dcQsGroup_t::GroupClients {
 public:
  struct Group {
    std::span<dcQsClient_t* const> clients;  // in chain order
    // No contributor of the group (own client or child group) appears twice.
    bool distinct;
  };

  explicit GroupClients(dcQsGroup_t* top) {
    std::vector<const dcQsGroup_t*> stack{top};
    std::vector<const void*> contributors;
    while (!stack.empty()) {
      const dcQsGroup_t* g = stack.back();
      stack.pop_back();
      if (!g || groups_.contains(g)) continue;
      Range& range = groups_[g];
      range.first = clients_.size();
      contributors.clear();
      for (const dcQsClientNode_t* node = g->clients; node; node = node->next) {
        clients_.push_back(node->pClient);
        contributors.push_back(node->pClient);
      }
      range.count = clients_.size() - range.first;
      for (const dcQsGroupNode_t* node = g->children; node; node = node->next) {
        contributors.push_back(node->pGroup);
        stack.push_back(node->pGroup);
      }
      std::sort(contributors.begin(), contributors.end());
      range.distinct = std::adjacent_find(contributors.begin(), contributors.end()) == contributors.end();
    }
  }

  // A group of the subtree.
  Group of(const dcQsGroup_t* g) const {
    const Range& range = groups_.at(g);
    return {std::span<dcQsClient_t* const>(clients_).subspan(range.first, range.count), range.distinct};
  }

 private:
  struct Range {
    std::size_t first = 0;
    std::size_t count = 0;
    bool distinct = true;
  };
  std::vector<dcQsClient_t*> clients_;
  std::unordered_map<const dcQsGroup_t*, Range> groups_;
};

// One of the four list gatherers: its entry trace line, its two add
// operations, whether a client's failure stops it and, for a list whose
// entries link back to their contributors, whether a group's list holds
// links already; and the records of a client it reads.
struct dcQsGroup_t::GatherKind {
  const char* trace;
  dcStatus_t (dcQsGroup_t::*addClient)(dcQsClient_t*, LinkSearch);
  dcStatus_t (dcQsGroup_t::*addGroup)(dcQsGroup_t*, LinkSearch);
  bool clientFailureStops;
  bool (*holdsLinks)(const dcQsGroup_t&) = nullptr;
  const ClientRecords& reads = NO_RECORDS;
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
dcStatus_t dcQsGroup_t::gatherTree(const GatherKind& kind, const GroupClients& clients) {
  struct Frame {
    dcQsGroup_t* group;
    dcQsGroupNode_t* next;  // the next child to gather
    LinkSearch search;
  };
  std::vector<Frame> stack;
  auto enter = [&](dcQsGroup_t* g) -> dcStatus_t {
    theLog.pfWrite(g, 1, "%s", kind.trace);
    const GroupClients::Group own = clients.of(g);
    const LinkSearch search =
        kind.holdsLinks && !kind.holdsLinks(*g) && own.distinct ? LinkSearch::Last : LinkSearch::All;
    ClientsAhead ahead(own.clients, kind.reads);
    for (std::size_t i = 0; i < own.clients.size(); ++i) {
      ahead.advance(i);
      const dcStatus_t result = (g->*kind.addClient)(own.clients[i], search);
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
  const GroupClients clients(this);
  dcStatus_t result = gatherTree(SOFTWARE_STEP, clients);
  if (result == dcStatus::OK) result = gatherTree(HARDWARE_STEP, clients);
  if (result == dcStatus::OK) result = gatherNames(true, clients);
  if (result == dcStatus::OK) result = gatherTree(WINDOWS_VERSIONS_STEP, clients);
  if (result == dcStatus::OK) result = gatherNames(false, clients);
  if (result != dcStatus::OK) return status = result;
  result = gatherTree(USAGE_NOTES_STEP, clients);
  usages.install();
  return status = result;
}

// --- software ----------------------------------------------------------

constinit const dcQsGroup_t::GatherKind dcQsGroup_t::SOFTWARE_STEP{
    "[dcQsGroup_t::gatherSoftwares]",
    &dcQsGroup_t::addSoftwares,
    &dcQsGroup_t::addSoftwares,
    true,
    [](const dcQsGroup_t& g) { return g.softwareList.entries != nullptr; },
    SOFTWARE_RECORDS};

dcStatus_t dcQsGroup_t::gatherSoftwares() { return gatherTree(SOFTWARE_STEP, GroupClients(this)); }

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

constinit const dcQsGroup_t::GatherKind dcQsGroup_t::HARDWARE_STEP{
    "[dcQsGroup_t::gatherHardwares]",
    &dcQsGroup_t::addHardwares,
    &dcQsGroup_t::addHardwares,
    true,
    [](const dcQsGroup_t& g) { return g.hardwareList.categories != nullptr; },
    HARDWARE_RECORDS};

dcStatus_t dcQsGroup_t::gatherHardwares() { return gatherTree(HARDWARE_STEP, GroupClients(this)); }

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

constinit const dcQsGroup_t::GatherKind dcQsGroup_t::WINDOWS_VERSIONS_STEP{
    "[dcQsGroup_t::gatherWindowsVersions]",
    &dcQsGroup_t::addWindowsVersion,
    &dcQsGroup_t::addWindowsVersion,
    false,
    [](const dcQsGroup_t& g) { return g.windowsVersions != nullptr; },
    WINDOWS_RECORDS};

dcStatus_t dcQsGroup_t::gatherWindowsVersions() {
  return gatherTree(WINDOWS_VERSIONS_STEP, GroupClients(this));
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

constinit const dcQsGroup_t::GatherKind dcQsGroup_t::USAGE_STEP{
    USAGE_STEP_TRACE, &dcQsGroup_t::addSoftwareUsages, &dcQsGroup_t::addSoftwareUsages, false};
constinit const dcQsGroup_t::GatherKind dcQsGroup_t::USAGE_NOTES_STEP{
    USAGE_STEP_TRACE, &dcQsGroup_t::noteSoftwareUsages, &dcQsGroup_t::noteSoftwareUsages, false};

dcStatus_t dcQsGroup_t::gatherSoftwareUsages() { return gatherTree(USAGE_STEP, GroupClients(this)); }

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
dcStatus_t dcQsGroup_t::gatherNames(bool hardware, const GroupClients& clients) {
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
    const std::span<dcQsClient_t* const> own = clients.of(g).clients;
    ClientsAhead ahead(own, hardware ? HARDWARE_RECORDS : WINDOWS_RECORDS);
    for (std::size_t i = 0; i < own.size(); ++i) {
      ahead.advance(i);
      dcQsClient_t* c = own[i];
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

dcStatus_t dcQsGroup_t::gatherHardwareNames() { return gatherNames(true, GroupClients(this)); }

dcStatus_t dcQsGroup_t::gatherWindowsInfoItems() { return gatherNames(false, GroupClients(this)); }
