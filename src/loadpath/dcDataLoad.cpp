#include "dcDataLoad.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
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

// Group and client records of the current layout, after the magic.
void readCurrentLayout(dcArchiveReader_t& ar, dcQsGroup_t& root) {
  const std::uint32_t groupCount = ar.readU32();
  for (std::uint32_t i = 0; i < groupCount; ++i) {
    const auto parentId = static_cast<std::int32_t>(ar.readU32());
    const auto groupId = static_cast<std::int32_t>(ar.readU32());
    const std::string name = ar.readString();
    ar.readString();
    ar.readU32();
    // A parent that is not (yet) known puts the group under the root; the
    // root itself, when listed, is never added again.
    root.addChild(parentId, groupId, name.c_str());
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
  const std::uint32_t groupCount = ar.readU32();
  for (std::uint32_t i = 0; i < groupCount; ++i) {
    const std::string name = ar.readString();
    ar.readString();
    ar.readU32();
    root.addChild(name.c_str());
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
    // Group names compare exactly; a client of an unknown group is dropped.
    if (groupName.empty()) groupName = dcQsGroup_t::ROOT_NAME;
    root.addClient(groupName.c_str(), name.c_str());
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
