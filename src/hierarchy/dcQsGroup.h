// A node of the client hierarchy: a named group owning its clients, its
// child groups and the inventories gathered from everything below it.
//
// Every walk over a subtree (look-ups, listing, gathering, clearing and
// destruction) runs with an explicit stack, so a tree of any depth is
// handled without exhausting the call stack; the orders are depth-first,
// a group before its children, own clients before the children's.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>

#include "dcHardwareList.h"
#include "dcObject.h"
#include "dcQsClient.h"
#include "dcSoftwareList.h"
#include "dcSoftwareUsage.h"
#include "dcStringList.h"
#include "dcWindowsVersion.h"
#include "dcpgBackwardLinks.h"

class dcQsGroup_t;

struct dcQsClientNode_t {
  dcQsClient_t* pClient = nullptr;
  dcQsClientNode_t* next = nullptr;
};

struct dcQsGroupNode_t {
  dcQsGroup_t* pGroup = nullptr;
  dcQsGroupNode_t* next = nullptr;
};

class dcQsGroup_t : public dcObject_t {
  // The text table of every list in the tree: owned by the group made
  // without one (the root), passed down to each child and client made
  // under it. Declared first, since the lists below are made with it.
  std::unique_ptr<dcTextTable_t> ownTexts_;
  dcTextTable_t* texts_;

 public:
  static constexpr const char* CLASS_NAME = "dcQsGroup_t";
  // "전체 그룹" (all groups): the root's name once a group file is read.
  static constexpr const char* ROOT_NAME = "\xC0\xFC\xC3\xBC \xB1\xD7\xB7\xEC";

  explicit dcQsGroup_t(const char* name);
  // texts: the tree's text table; nullptr for a root, which owns one.
  dcQsGroup_t(const char* name, std::int32_t id, dcTextTable_t* texts = nullptr);
  ~dcQsGroup_t();
  dcQsGroup_t(const dcQsGroup_t&) = delete;
  dcQsGroup_t& operator=(const dcQsGroup_t&) = delete;

  // --- the tree ---------------------------------------------------------
  // Empties the gathered lists (the usage document aside) and destroys
  // every client and child group (and, in a root, forgets the texts they
  // kept); returns clearSoftwareUsages' result.
  dcStatus_t clear();
  // First match, depth-first pre-order from this group (this group included).
  dcQsGroup_t* findGroup(const char* name);
  dcQsGroup_t* findGroup(std::int32_t id);
  // First client of that name: own clients first, then each child's subtree.
  dcQsClient_t* findClient(const char* name);
  dcQsGroup_t* addChild(const char* name);
  dcQsGroup_t* addChild(std::int32_t id, const char* name);
  // The group-file form: under the group with id parentId (this group when
  // none has it); a group named ROOT_NAME is never added.
  dcQsGroup_t* addChild(std::int32_t parentId, std::int32_t id, const char* name);
  dcQsClient_t* addClient(const char* name);
  dcQsClient_t* addClient(const char* groupName, const char* name);
  dcQsClient_t* addClient(std::int32_t groupId, const char* name);
  // Appends a node for every client of the subtree, depth-first, at the
  // tail of list (which may be empty). The caller frees the nodes with
  // freeClientNodes, never the clients.
  void collectClients(dcQsClientNode_t*& list);
  static void freeClientNodes(dcQsClientNode_t*& list);
  // Writes the hierarchy listing of the subtree.
  dcStatus_t saveHierarchyToFile(const char* fileName);
  dcStatus_t _recurse_saveHierarchyToFile(std::FILE* fp, std::int32_t indent);

  // --- gathering --------------------------------------------------------
  // Gathers every inventory of the subtree into each group of it. The
  // lists must be empty first (after clear, or on a new group).
  dcStatus_t gatherGroupInfo();
  // How the add operations below look for a contributor's back-link on an
  // entry: among all its links, or only as its last link (exact while
  // gathering into a group whose list held no links when its step began,
  // from a contributor met once in the step: each contributor's links are
  // then added in one run).
  enum class LinkSearch : std::uint8_t { All, Last };
  dcStatus_t gatherSoftwares();
  dcStatus_t addSoftwares(dcQsClient_t* pdcQsClient, LinkSearch search = LinkSearch::All);
  dcStatus_t addSoftwares(dcQsGroup_t* pdcQsGroup, LinkSearch search = LinkSearch::All);
  dcStatus_t clearSoftwares();
  dcStatus_t gatherHardwares();
  dcStatus_t addHardwares(dcQsClient_t* pdcQsClient, LinkSearch search = LinkSearch::All);
  dcStatus_t addHardwares(dcQsGroup_t* pdcQsGroup, LinkSearch search = LinkSearch::All);
  dcStatus_t clearHardwares();
  dcStatus_t gatherWindowsVersions();
  dcWindowsVersion_t* findWindowsVersion(const char* version);
  dcStatus_t addWindowsVersion(dcQsClient_t* pdcQsClient, LinkSearch search = LinkSearch::All);
  dcStatus_t addWindowsVersion(dcQsGroup_t* pdcQsGroup, LinkSearch search = LinkSearch::All);
  dcStatus_t clearWindowsVersions();
  dcStatus_t gatherSoftwareUsages();
  // Usage makes no back-links: search is not used.
  dcStatus_t addSoftwareUsages(dcQsClient_t* pdcQsClient, LinkSearch search = LinkSearch::All);
  dcStatus_t addSoftwareUsages(dcQsGroup_t* pdcQsGroup, LinkSearch search = LinkSearch::All);
  dcStatus_t clearSoftwareUsages();
  dcStatus_t gatherHardwareNames();
  dcStatus_t gatherWindowsInfoItems();

  // --- fields, in this order ----------------------------------------------
  dcQsClientNode_t* clients = nullptr;
  dcSoftwareList_t softwareList;
  dcHardwareList_t hardwareList;
  dcWindowsVersionNode_t* windowsVersions = nullptr;
  dcSoftwareUsage_t softwareUsage;
  dcSoftwareUsageDocument_t usageDocument;
  dcStringList_t hardwareNames;
  dcStringList_t windowsInfoItems;
  dcQsGroupNode_t* children = nullptr;

 private:
  struct GatherKind;
  class GroupClients;
  struct LookupIndex;

  // The gatherers of the lists whose entries link back to their
  // contributors, and of the usage documents: merging as they walk, or only
  // writing the step's trace lines and statuses (gatherGroupInfo merges them
  // beside the other steps).
  static const GatherKind SOFTWARE_STEP, HARDWARE_STEP, WINDOWS_VERSIONS_STEP, USAGE_STEP, USAGE_NOTES_STEP;

  dcStatus_t gatherTree(const GatherKind& kind, const GroupClients& clients);
  // The usage step's trace lines and statuses without its merges, for a
  // gathering whose usage documents were merged beforehand.
  dcStatus_t noteSoftwareUsages(dcQsClient_t* pdcQsClient, LinkSearch search = LinkSearch::All);
  dcStatus_t noteSoftwareUsages(dcQsGroup_t* pdcQsGroup, LinkSearch search = LinkSearch::All);
  dcStatus_t gatherNames(bool hardware, const GroupClients& clients);
  dcStatus_t addSoftwareEntries(dcSoftwareInfo_t* first, dcQsClient_t* client, dcQsGroup_t* group,
                                LinkSearch search);
  dcStatus_t addHardwareItems(dcHardwareList_t& from, dcQsClient_t* client, dcQsGroup_t* group,
                              LinkSearch search);
  dcStatus_t addVersion(const char* version, dcQsClient_t* client, dcQsGroup_t* group, LinkSearch search);
  dcStatus_t clearOwn();
  void freeChildNodes();
  void destroyCleared();
  template <class Match>
  dcQsGroup_t* searchGroups(Match match);
  LookupIndex* lookupIndex(bool clientsToo);

  dcQsGroup_t* appendChildGroup(const char* name, std::int32_t id);

  dcQsClientNode_t* clientsTail_ = nullptr;
  dcQsGroupNode_t* childrenTail_ = nullptr;
  dcWindowsVersionNode_t* windowsVersionsTail_ = nullptr;
  bool cleared_ = false;  // emptied by an ancestor's clear: the destructor skips clear

  // The first entry of each version text in windowsVersions.
  std::unordered_map<std::string, dcWindowsVersion_t*> windowsVersionIndex_;

  // Look-up index of the subtree, built on the second look-up within one
  // state of the tree and dropped by any change to any tree.
  std::unique_ptr<LookupIndex> lookup_;
  std::uint64_t probedGroups_ = 0;
  std::uint64_t probedClients_ = 0;
  static inline std::uint64_t groupGeneration_ = 1;
  static inline std::uint64_t clientGeneration_ = 1;
};
