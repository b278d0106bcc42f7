#include "dcDataLoad.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "CSettingMgr.h"
#include "cp949.h"
#include "dcFileUtil.h"
#include "dcParseStage.h"
#include "sys.h"
#include "winfs.h"

namespace {

constexpr char MAGIC[] = "!!QSDATFILE!!";
constexpr std::size_t ARCHIVE_BUFFER = 4096;
constexpr char DATA_FOLDER_KEY[] = "logdata";
constexpr char GROUP_FILE_KEY[] = "qssgrp";
constexpr char HIERARCHY_LISTING[] = "qsHierarchy.log";
// Texts of the group file records that nothing uses.
constexpr int CURRENT_CLIENT_IGNORED_TEXTS = 7;
constexpr int LEGACY_CLIENT_TEXTS_BEFORE_GROUP = 2;
constexpr int LEGACY_CLIENT_TEXTS_AFTER_GROUP = 3;

using FilePtr = std::unique_ptr<std::FILE, winfs::FileCloser>;

// The group file opened for reading, or nullptr. A folder is no file: the
// C runtime here would open it and fail only at the first read, which
// would look like a group file that ends early.
FilePtr openGroupFile(const char* path) {
  if (!path || winfs::isDirectory(path)) return nullptr;
  return FilePtr(winfs::openFile(path, "rb"));
}

// Finds the groups that records name, in the tree's own search order
// (depth-first from the root, a group before its children, the first match
// winning), without walking the tree for every record: a group file of
// thousands of groups and tens of thousands of clients would otherwise
// search the whole tree once per record.
class GroupFinder {
 public:
  explicit GroupFinder(dcQsGroup_t& root) : root_(root) {
    std::vector<dcQsGroup_t*> pending{&root};
    while (!pending.empty()) {
      dcQsGroup_t* group = pending.back();
      pending.pop_back();
      note(group);
      // Children pushed in reverse so that the first child is taken next.
      std::vector<dcQsGroup_t*> children;
      for (dcQsGroupNode_t* node = group->children; node; node = node->next) children.push_back(node->pGroup);
      pending.insert(pending.end(), children.rbegin(), children.rend());
    }
  }

  // The group the tree's findGroup(id) answers.
  dcQsGroup_t* byId(std::int32_t id) {
    if (id == root_.id) return &root_;  // the root comes first in every search
    if (ambiguousIds_.count(id)) return root_.findGroup(id);
    auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : it->second;
  }

  // The group the tree's findGroup(name) answers, for trees whose new
  // groups are all children of the root (the legacy layout): a new group
  // then comes after everything that was there before it.
  dcQsGroup_t* byName(const char* name) {
    if (mb::compare(root_.name, name) == 0) return &root_;
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
  }

  // Records a group just added to the tree.
  void note(dcQsGroup_t* group) {
    if (group != &root_) {
      // An id held by two groups is left to the tree's own search, which
      // knows which of them comes first.
      if (!ambiguousIds_.count(group->id) && !byId_.emplace(group->id, group).second) {
        byId_.erase(group->id);
        ambiguousIds_.insert(group->id);
      }
    }
    byName_.emplace(group->name, group);
  }

 private:
  dcQsGroup_t& root_;
  std::unordered_map<std::int32_t, dcQsGroup_t*> byId_;
  std::unordered_set<std::int32_t> ambiguousIds_;
  std::unordered_map<std::string, dcQsGroup_t*> byName_;
};

// Group and client records of the current layout, after the magic.
void readCurrentLayout(dcArchiveReader_t& ar, dcQsGroup_t& root) {
  GroupFinder finder(root);
  const std::uint32_t groupCount = ar.readU32();
  for (std::uint32_t i = 0; i < groupCount; ++i) {
    const auto parentId = static_cast<std::int32_t>(ar.readU32());
    const auto groupId = static_cast<std::int32_t>(ar.readU32());
    const std::string name = ar.readString();
    ar.readString();
    ar.readU32();
    // The root itself may be listed in the file; it is never added again.
    if (mb::compareNoCase(name.c_str(), dcQsGroup_t::ROOT_NAME) == 0) continue;
    dcQsGroup_t* parent = finder.byId(parentId);
    // A parent that is not (yet) known puts the group under the root.
    if (!parent) parent = &root;
    if (dcQsGroup_t* group = parent->addChild(groupId, name.c_str())) finder.note(group);
  }

  const std::uint32_t clientCount = ar.readU32();
  for (std::uint32_t i = 0; i < clientCount; ++i) {
    const auto groupId = static_cast<std::int32_t>(ar.readU32());
    const std::string name = ar.readString();
    unsigned char block[16];
    ar.readBlock16(block);
    for (int t = 0; t < CURRENT_CLIENT_IGNORED_TEXTS; ++t) ar.readString();
    // A client of a group that does not exist is dropped.
    root.addClient(groupId, name.c_str());
  }
}

void readLegacyLayout(dcArchiveReader_t& ar, dcQsGroup_t& root) {
  GroupFinder finder(root);
  const std::uint32_t groupCount = ar.readU32();
  for (std::uint32_t i = 0; i < groupCount; ++i) {
    const std::string name = ar.readString();
    ar.readString();
    ar.readU32();
    if (dcQsGroup_t* group = root.addChild(name.c_str())) finder.note(group);
  }

  const std::uint32_t clientCount = ar.readU32();
  for (std::uint32_t i = 0; i < clientCount; ++i) {
    const std::string name = ar.readString();
    unsigned char block[16];
    ar.readBlock16(block);
    for (int t = 0; t < LEGACY_CLIENT_TEXTS_BEFORE_GROUP; ++t) ar.readString();
    std::string groupName = ar.readString();
    for (int t = 0; t < LEGACY_CLIENT_TEXTS_AFTER_GROUP; ++t) ar.readString();
    // No group name: the client belongs to the root, found by its name.
    if (groupName.empty()) groupName = dcQsGroup_t::ROOT_NAME;
    // Group names compare exactly; a client of an unknown group is dropped.
    if (dcQsGroup_t* group = finder.byName(groupName.c_str())) group->addClient(name.c_str());
  }
}

std::uint32_t readGroupFileInto(dcQsGroup_t& root, const char* path) {
  const bool current = isCurrentGroupFile(path) == 1;
  FilePtr file = openGroupFile(path);
  if (!file) return 1;
  dcArchiveReader_t ar(file.get(), ARCHIVE_BUFFER);
  if (current) {
    ar.readString();
    readCurrentLayout(ar, root);
  } else {
    readLegacyLayout(ar, root);
  }
  return 0;
}

}  // namespace

std::uint32_t isCurrentGroupFile(const char* path) {
  FilePtr file = openGroupFile(path);
  if (!file) return 0;
  dcArchiveReader_t ar(file.get(), ARCHIVE_BUFFER);
  try {
    const std::string first = ar.readString();
    return mb::compareNoCase(first.c_str(), MAGIC) == 0 ? 1 : 0;
  } catch (const dcArchiveException_t&) {
    // Too short for a text: not the current layout. Reading it as the
    // legacy layout reports the short file.
    return 0;
  }
}

std::uint32_t readGroupFile(const char* path) {
  if (!theAssetConsoleEngine) return 1;
  return readGroupFileInto(theAssetConsoleEngine->root, path);
}

dcStatus_t buildDataPath(const char* value, char* path, std::size_t pathSize) {
  if (!path || pathSize == 0) return dcStatus::NULL_ARGUMENT;
  char expanded[DATA_PATH_SIZE];
  sys::expandEnvironmentStrings(value ? value : "", expanded, sizeof expanded);
  char name[DATA_PATH_SIZE];
  getFileName(expanded, name, sizeof name);
  const std::string full = std::string("C:\\QSS\\") + name;
  mb::copyBounded(path, std::min(pathSize, DATA_PATH_SIZE), full.c_str());
  return dcStatus::OK;
}

dcStatus_t loadGroupFile(dcAssetConsoleEngine_t* engine) {
  if (!engine) return dcStatus::NULL_ARGUMENT;
  mb::copyBounded(engine->root.name, dcQsGroup_t::ROOT_NAME);
  char path[DATA_PATH_SIZE];
  buildDataPath(CSettingMgr::GetInstance()->GetValue(GROUP_FILE_KEY), path, sizeof path);
  readGroupFileInto(engine->root, path);
  return dcStatus::OK;
}

dcStatus_t runDataLoad(dcAssetConsoleEngine_t* engine, const dcDataLoadProgress_t* progress) {
  if (!engine) return dcStatus::MISSING_OBJECT;
  engine->root.clear();
  engine->groupLoader = loadGroupFile;
  engine->preparer = dcParseStage_t::start;
  char folder[DATA_PATH_SIZE];
  buildDataPath(CSettingMgr::GetInstance()->GetValue(DATA_FOLDER_KEY), folder, sizeof folder);
  engine->Test_loadfromFile(folder, progress);
  engine->root.saveHierarchyToFile(HIERARCHY_LISTING);
  engine->root.gatherGroupInfo();
  return dcStatus::OK;
}
