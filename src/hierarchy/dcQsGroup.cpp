#include "dcQsGroup.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

#include "cp949.h"
#include "dcLog.h"
#include "dcNoCaseIndex.h"
#include "sys.h"
#include "winfs.h"

// The look-up index of a subtree: the first group of each id and the first
// client of each name in search order, each valid for one state of the trees.
// A scan looks up every data file's PC, hundreds of thousands of times on a
// large site, so clients sit in a flat index by their name's hash.
struct dcQsGroup_t::LookupIndex {
  static std::size_t hashName(const char* name) { return std::hash<std::string_view>()(name); }
  // The first client named name, or nullptr.
  dcQsClient_t* client(const char* name) const {
    return clientsByName.find(hashName(name),
                              [name](const dcQsClient_t* c) { return std::strcmp(c->name, name) == 0; });
  }
  // Adds client unless a client of its name is in already; false without memory.
  bool addClient(dcQsClient_t* client) {
    return clientsByName.insertFirst(hashName(client->name), client, [client](const dcQsClient_t* c) {
      return std::strcmp(c->name, client->name) == 0;
    });
  }

  std::uint64_t idsBuiltAt = 0;      // groupGeneration_ when built, 0 = not built
  std::uint64_t clientsBuiltAt = 0;  // clientGeneration_ when built, 0 = not built
  std::unordered_map<std::int32_t, dcQsGroup_t*> groupsById;
  dcinv::FirstMatchIndex<dcQsClient_t> clientsByName;
};

namespace {

// Visits root and every group below it, depth-first, a group before its
// children; stops at the first group for which visit returns true.
template <class Visit>
dcQsGroup_t* walkPreOrder(dcQsGroup_t* root, Visit visit) {
  if (visit(root)) return root;
  std::vector<dcQsGroupNode_t*> pending{root->children};
  while (!pending.empty()) {
    dcQsGroupNode_t*& node = pending.back();
    if (!node) {
      pending.pop_back();
      continue;
    }
    dcQsGroup_t* group = node->pGroup;
    node = node->next;
    if (visit(group)) return group;
    pending.push_back(group->children);
  }
  return nullptr;
}

}  // namespace

dcQsGroup_t::dcQsGroup_t(const char* name_) : dcQsGroup_t(name_, 0) {}

dcQsGroup_t::dcQsGroup_t(const char* name_, std::int32_t id_, dcTextTable_t* texts)
    : dcObject_t(name_, CLASS_NAME, id_),
      ownTexts_(texts ? nullptr : new (std::nothrow) dcTextTable_t),
      texts_(texts ? texts : ownTexts_.get()),
      softwareList(texts_),
      hardwareList(texts_) {
  if (!name_) {
    status = dcStatus::NULL_ARGUMENT;
    return;
  }
  theLog.pfWrite(this, 1, "[dcQsGroup_t::dcQsGroup_t] Starting... name=%s", name);
  status = dcStatus::OK;
}

dcQsGroup_t::~dcQsGroup_t() {
  if (!cleared_) clear();
  freeUsageBackLinks(softwareUsage);
  theLog.pfWrite(this, 1, "[dcQsGroup_t::~dcQsGroup_t] Closed.");
  status = dcStatus::OK;
}

// Steps of clear on one group before its children go: the four gathered
// lists, then the own clients. Returns clearSoftwareUsages' result.
dcStatus_t dcQsGroup_t::clearOwn() {
  theLog.pfWrite(this, 1, "[dcQsGroup_t::clear]");
  struct Step {
    const char* name;
    dcStatus_t (dcQsGroup_t::*run)();
  };
  static constexpr Step kSteps[] = {{"clearSoftwares", &dcQsGroup_t::clearSoftwares},
                                    {"clearHardwares", &dcQsGroup_t::clearHardwares},
                                    {"clearWindowsVersions", &dcQsGroup_t::clearWindowsVersions},
                                    {"clearSoftwareUsages", &dcQsGroup_t::clearSoftwareUsages}};
  dcStatus_t result = dcStatus::OK;
  for (const Step& step : kSteps) {
    result = (this->*step.run)();
    theLog.pfWrite(this, result == dcStatus::OK ? 1 : 0, "[dcQsGroup_t::clear] %s returns %d %d", step.name,
                   static_cast<int>(result), sys::lastError());
  }
  for (dcQsClientNode_t* node = clients; node;) {
    dcQsClientNode_t* next = node->next;
    delete node->pClient;
    delete node;
    node = next;
  }
  clients = clientsTail_ = nullptr;
  return result;
}

void dcQsGroup_t::freeChildNodes() {
  for (dcQsGroupNode_t* node = children; node;) {
    dcQsGroupNode_t* next = node->next;
    delete node;
    node = next;
  }
  children = childrenTail_ = nullptr;
}

// Finishes the destruction of a group whose subtree clear has emptied.
void dcQsGroup_t::destroyCleared() {
  cleared_ = true;
  delete this;
}

dcStatus_t dcQsGroup_t::clear() {
  // Each child is destroyed as its own destructor would do it (its clear,
  // then its children, then "Closed."), walked with an explicit stack.
  struct Frame {
    dcQsGroup_t* group;
    dcQsGroupNode_t* next;  // the next child to destroy
    dcStatus_t result;      // the group's clearSoftwareUsages result
  };
  std::vector<Frame> stack;
  stack.push_back({this, children, clearOwn()});
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next) {
      dcQsGroup_t* child = top.next->pGroup;
      top.next = top.next->next;
      const dcStatus_t result = child->clearOwn();
      stack.push_back({child, child->children, result});
      continue;
    }
    const Frame done = top;
    stack.pop_back();
    done.group->freeChildNodes();
    done.group->status = done.result;
    if (done.group != this) done.group->destroyCleared();
  }
  // Nothing of the tree holds a kept text any more.
  if (ownTexts_) ownTexts_->clear();
  ++groupGeneration_;
  ++clientGeneration_;
  return status;
}

template <class Match>
dcQsGroup_t* dcQsGroup_t::searchGroups(Match match) {
  dcQsGroup_t* found = walkPreOrder(this, match);
  if (!found) {
    status = dcStatus::NOT_FOUND;
    return nullptr;
  }
  if (found != this) status = dcStatus::OK;
  return found;
}

dcQsGroup_t* dcQsGroup_t::findGroup(const char* name_) {
  if (!name_) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  theLog.pfWrite(this, 1, "[dcQsGroup_t::findGroup] name=%s", name_);
  return searchGroups([name_](dcQsGroup_t* g) { return mb::compare(g->name, name_) == 0; });
}

// The index for look-ups by id (clientsToo false) or by client name, or
// nullptr when the caller should search along the tree. An index is built
// on the second look-up of its kind within one state of the trees, so a
// single look-up never costs more than the walk it replaces.
dcQsGroup_t::LookupIndex* dcQsGroup_t::lookupIndex(bool clientsToo) {
  const std::uint64_t now = clientsToo ? clientGeneration_ : groupGeneration_;
  if (lookup_ && (clientsToo ? lookup_->clientsBuiltAt : lookup_->idsBuiltAt) == now) return lookup_.get();
  std::uint64_t& probed = clientsToo ? probedClients_ : probedGroups_;
  if (probed != now) {
    probed = now;
    return nullptr;
  }
  try {
    if (!lookup_) lookup_ = std::make_unique<LookupIndex>();
    if (clientsToo) {
      lookup_->clientsByName.clear();
      lookup_->clientsBuiltAt = 0;
      bool complete = true;
      walkPreOrder(this, [this, &complete](dcQsGroup_t* g) {
        for (dcQsClientNode_t* node = g->clients; node && complete; node = node->next)
          complete = lookup_->addClient(node->pClient);
        return !complete;
      });
      if (!complete) throw std::bad_alloc();
      lookup_->clientsBuiltAt = now;
    } else {
      lookup_->groupsById.clear();
      lookup_->idsBuiltAt = 0;
      walkPreOrder(this, [this](dcQsGroup_t* g) {
        lookup_->groupsById.emplace(g->id, g);
        return false;
      });
      lookup_->idsBuiltAt = now;
    }
  } catch (const std::bad_alloc&) {
    lookup_.reset();
    return nullptr;
  }
  return lookup_.get();
}

dcQsGroup_t* dcQsGroup_t::findGroup(std::int32_t id_) {
  theLog.pfWrite(this, 1, "[dcQsGroup_t::findGroup] id=%d", id_);
  if (LookupIndex* index = lookupIndex(false)) {
    auto it = index->groupsById.find(id_);
    if (it == index->groupsById.end()) {
      status = dcStatus::NOT_FOUND;
      return nullptr;
    }
    if (it->second != this) status = dcStatus::OK;
    return it->second;
  }
  return searchGroups([id_](dcQsGroup_t* g) { return g->id == id_; });
}

dcQsClient_t* dcQsGroup_t::findClient(const char* name_) {
  if (!name_) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  theLog.pfWrite(this, 1, "[dcQsGroup_t::findClient] name=%s", name_);
  dcQsClient_t* found = nullptr;
  if (LookupIndex* index = lookupIndex(true)) {
    found = index->client(name_);
  } else {
    walkPreOrder(this, [&found, name_](dcQsGroup_t* g) {
      for (dcQsClientNode_t* node = g->clients; node; node = node->next) {
        if (mb::compare(node->pClient->name, name_) == 0) {
          found = node->pClient;
          return true;
        }
      }
      return false;
    });
  }
  status = found ? dcStatus::OK : dcStatus::NOT_FOUND;
  return found;
}

dcQsGroup_t* dcQsGroup_t::addChild(const char* name_) {
  if (!name_) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  theLog.pfWrite(this, 1, "[dcQsGroup_t::addChild] name=%s", name_);
  return appendChildGroup(name_, 0);
}

dcQsGroup_t* dcQsGroup_t::addChild(std::int32_t id_, const char* name_) {
  if (!name_) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  theLog.pfWrite(this, 1, "[dcQsGroup_t::addChild] id=%d, name=%s", id_, name_);
  return appendChildGroup(name_, id_);
}

// Appends a new group at the tail of the children; nothing is left behind
// when it cannot be made.
dcQsGroup_t* dcQsGroup_t::appendChildGroup(const char* name_, std::int32_t id_) {
  auto* node = new (std::nothrow) dcQsGroupNode_t;
  if (!node) {
    status = dcStatus::NO_MEMORY;
    return nullptr;
  }
  node->pGroup = new (std::nothrow) dcQsGroup_t(name_, id_, texts_);
  if (!node->pGroup) {
    delete node;
    status = dcStatus::CANNOT_CREATE;
    return nullptr;
  }
  if (childrenTail_)
    childrenTail_->next = node;
  else
    children = node;
  childrenTail_ = node;
  ++groupGeneration_;
  ++clientGeneration_;
  status = dcStatus::OK;
  return node->pGroup;
}

dcQsGroup_t* dcQsGroup_t::addChild(std::int32_t parentId, std::int32_t id_, const char* name_) {
  if (!name_) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  theLog.pfWrite(this, 1, "[dcQsGroup_t::addChild] id=%d, name=%s", id_, name_);
  // The root is never added as a child of itself.
  if (mb::compareNoCase(name_, ROOT_NAME) == 0) return nullptr;
  dcQsGroup_t* parent = findGroup(parentId);
  if (!parent) parent = this;
  return parent->addChild(id_, name_);
}

dcQsClient_t* dcQsGroup_t::addClient(const char* name_) {
  if (!name_) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  theLog.pfWrite(this, 1, "[dcQsGroup_t::addClient] name=%s", name_);
  auto* node = new (std::nothrow) dcQsClientNode_t;
  if (!node) {
    status = dcStatus::NO_MEMORY;
    return nullptr;
  }
  node->pClient = new (std::nothrow) dcQsClient_t(name_, texts_);
  if (!node->pClient) {
    delete node;
    status = dcStatus::CANNOT_CREATE;
    return nullptr;
  }
  if (clientsTail_)
    clientsTail_->next = node;
  else
    clients = node;
  clientsTail_ = node;
  ++clientGeneration_;
  status = dcStatus::OK;
  return node->pClient;
}

dcQsClient_t* dcQsGroup_t::addClient(const char* groupName, const char* name_) {
  if (!groupName || !name_) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  theLog.pfWrite(this, 1, "[dcQsGroup_t::addClient] group=%s, name=%s", groupName, name_);
  dcQsGroup_t* group = findGroup(groupName);
  if (!group) {
    status = dcStatus::NOT_FOUND;
    return nullptr;
  }
  return group->addClient(name_);
}

dcQsClient_t* dcQsGroup_t::addClient(std::int32_t groupId, const char* name_) {
  if (!name_) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  theLog.pfWrite(this, 1, "[dcQsGroup_t::addClient] groupid=%d, name=%s", groupId, name_);
  dcQsGroup_t* group = findGroup(groupId);
  if (!group) {
    status = dcStatus::NOT_FOUND;
    return nullptr;
  }
  return group->addClient(name_);
}

void dcQsGroup_t::collectClients(dcQsClientNode_t*& list) {
  dcQsClientNode_t* tail = list;
  while (tail && tail->next) tail = tail->next;
  walkPreOrder(this, [&](dcQsGroup_t* g) {
    for (dcQsClientNode_t* node = g->clients; node; node = node->next) {
      auto* added = new (std::nothrow) dcQsClientNode_t;
      if (!added) {
        // Every node handed out holds a client: stop at the first that
        // cannot be allocated.
        status = dcStatus::NO_MEMORY;
        return true;
      }
      added->pClient = node->pClient;
      if (tail)
        tail->next = added;
      else
        list = added;
      tail = added;
    }
    return false;
  });
}

void dcQsGroup_t::freeClientNodes(dcQsClientNode_t*& list) {
  for (dcQsClientNode_t* node = list; node;) {
    dcQsClientNode_t* next = node->next;
    delete node;
    node = next;
  }
  list = nullptr;
}

dcStatus_t dcQsGroup_t::saveHierarchyToFile(const char* fileName) {
  if (!fileName) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcQsGroup_t::saveHierarchyToFile] fileName=%s", fileName);
  std::unique_ptr<std::FILE, winfs::FileCloser> file(winfs::openTextFile(fileName, "w"));
  if (!file) return status = dcStatus::FILE_ERROR;
  std::fputs("dcQsGroup_t hierarchy listing...\n", file.get());
  const dcStatus_t result = _recurse_saveHierarchyToFile(file.get(), 2);
  std::fputs("end of file.\n\n", file.get());
  file.reset();
  return status = result;
}

dcStatus_t dcQsGroup_t::_recurse_saveHierarchyToFile(std::FILE* fp, std::int32_t indent) {
  if (!fp) return status = dcStatus::NULL_ARGUMENT;
  struct Frame {
    dcQsGroup_t* group;
    dcQsGroupNode_t* next;
    std::int32_t indent;
  };
  static constexpr std::int32_t kMaxPrefix = 255;
  char blanks[kMaxPrefix + 1];
  std::fill(blanks, blanks + kMaxPrefix, ' ');
  blanks[kMaxPrefix] = '\0';

  std::vector<Frame> stack;
  auto visit = [&](dcQsGroup_t* g, std::int32_t level) {
    theLog.pfWrite(g, 1, "[dcQsGroup_t::_recurse_saveHierarchyToFile] fp=0x%x, indent=%d", dcTraceTag(fp),
                   level);
    const char* prefix = blanks + kMaxPrefix - std::clamp(level, 0, kMaxPrefix);
    std::fprintf(fp, "%sqsGroup '%s'\n", prefix, g->name);
    for (dcQsClientNode_t* node = g->clients; node; node = node->next)
      std::fprintf(fp, "%s  qsClient '%s'\n", prefix, node->pClient->name);
    stack.push_back({g, g->children, level});
  };
  visit(this, indent);
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next) {
      dcQsGroup_t* child = top.next->pGroup;
      top.next = top.next->next;
      const std::int32_t level = top.indent > INT32_MAX - 2 ? INT32_MAX : top.indent + 2;
      visit(child, level);
      continue;
    }
    top.group->status = dcStatus::OK;
    stack.pop_back();
  }
  return status;
}
