// The software installed on one PC, or gathered for a group.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "dcInventoryWalk.h"
#include "dcNoCaseIndex.h"
#include "dcRecordArena.h"
#include "dcStatus.h"
#include "dcTextTable.h"

class dcXmlDocument_t;
class dcpgBackwardLinks_t;

// One entry, held by its list. Its texts hold at most PACKAGE_SIZE - 1,
// FILE_SIZE - 1 and VERSION_SIZE - 1 bytes, cut at a character boundary, and
// live in the list's text table, shared with every entry of the same texts.
struct dcSoftwareInfo_t {
  static constexpr std::size_t PACKAGE_SIZE = 256;
  static constexpr std::size_t FILE_SIZE = 512;
  static constexpr std::size_t VERSION_SIZE = 256;
  const char* packageName = "";
  const char* fileName = "";
  const char* versionString = "";
  // In a group's list: contributions and contributors (set by the group).
  std::uint32_t referenceCount = 0;
  dcpgBackwardLinks_t* pBackwardLinks = nullptr;
  dcSoftwareInfo_t* next = nullptr;

  dcSoftwareInfo_t() = default;
  dcSoftwareInfo_t(const dcSoftwareInfo_t&) = delete;
  dcSoftwareInfo_t& operator=(const dcSoftwareInfo_t&) = delete;
};

// Entries in order of first addition. Texts compare without regard to case
// (mb::compareNoCase); texts longer than a field are cut to it, for storing
// and for comparing alike.
class dcSoftwareList_t {
 public:
  // texts: the table the entries keep their texts in (the group tree's);
  // without one the list keeps a table of its own.
  explicit dcSoftwareList_t(dcTextTable_t* texts = nullptr);
  ~dcSoftwareList_t();
  dcSoftwareList_t(const dcSoftwareList_t&) = delete;
  dcSoftwareList_t& operator=(const dcSoftwareList_t&) = delete;

  // Frees every entry (not their back-links); status unchanged.
  void clear();
  // The first entry matching every given text (null texts match anything);
  // 203 when both names are null, 102 when nothing matches.
  dcSoftwareInfo_t* find(const char* packageName, const char* fileName, const char* versionString);
  // Reuses the entry find returns (its texts take the new letter case; its
  // place, count and back-links stay) or appends a new one. 203 for a null
  // text, 512 without memory.
  dcSoftwareInfo_t* add(const char* packageName, const char* fileName, const char* versionString);
  // add with the three texts of the given entry (never its count or links).
  dcSoftwareInfo_t* add(const dcSoftwareInfo_t* pdcSoftwareInfo);
  // find(nullptr, pdcSoftwareInfo->fileName, nullptr), for an entry of any
  // list: the group's look-up while gathering.
  dcSoftwareInfo_t* findFileOf(const dcSoftwareInfo_t* pdcSoftwareInfo);
  // Adds every "Program" element of a "softwareinfo.xml" file.
  dcStatus_t LoadAssetData(const char* fileName);
  // LoadAssetData in two steps: prepare reads, parses and walks the file
  // and touches nothing shared, so it may run on any thread.
  static dcInventoryValues_t prepare(const char* fileName);
  static dcInventoryValues_t prepare(winfs::ReadFile& file);
  dcStatus_t LoadAssetData(const char* fileName, dcInventoryValues_t&& prepared);

  dcStatus_t status = dcStatus::OK;
  dcXmlDocument_t* document = nullptr;
  dcSoftwareInfo_t* entries = nullptr;

 private:
  void freeEntries();
  void indexAll();
  bool indexEntry(dcSoftwareInfo_t* entry);
  void dropIndex();

  std::unique_ptr<dcTextTable_t> ownTexts_;
  dcTextTable_t* texts_;
  // The entries themselves: a PC's few dozen in one block.
  dcinv::RecordArena<dcinv::SOFTWARE_BLOCK> records_;
  std::uint32_t count_ = 0;
  dcSoftwareInfo_t* tail_ = nullptr;
  // The first entry of every file name; the later entries of a file name
  // that differ in package or version, in chain order, under that first one.
  // An add changes a file name in letter case only, so keys never move.
  bool indexed_ = false;
  dcinv::FirstMatchIndex<dcSoftwareInfo_t> byFileName_;
  std::unordered_map<const dcSoftwareInfo_t*, std::vector<dcSoftwareInfo_t*>> sameFileName_;
};
