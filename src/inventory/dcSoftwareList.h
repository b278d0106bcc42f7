// The software installed on one PC, or gathered for a group.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <unordered_map>
#include <vector>

#include "dcNoCaseIndex.h"
#include "dcSlotPool.h"
#include "dcStatus.h"

class dcXmlDocument_t;
class dcpgBackwardLinks_t;

// The texts of an entry, zero-terminated one after the other in one block
// that is shared by every entry carrying the same texts: a group's entry
// uses the block of the entry it was gathered from. Defined in the list.
struct dcSoftwareTexts_t;

// One entry. Its texts hold at most PACKAGE_SIZE - 1, FILE_SIZE - 1 and
// VERSION_SIZE - 1 bytes, cut at a character boundary; they are kept at
// their own length, not in fields of the full size, so that a site's
// millions of entries stay small.
struct dcSoftwareInfo_t : dcpool::Pooled<dcSoftwareInfo_t> {
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
  // The block the three texts point into (owned with the other sharers).
  dcSoftwareTexts_t* texts = nullptr;

  dcSoftwareInfo_t() = default;
  ~dcSoftwareInfo_t();
  dcSoftwareInfo_t(const dcSoftwareInfo_t&) = delete;
  dcSoftwareInfo_t& operator=(const dcSoftwareInfo_t&) = delete;
};

// Entries in order of first addition. Texts compare without regard to case
// (mb::compareNoCase); texts longer than a field are cut to it, for storing
// and for comparing alike.
class dcSoftwareList_t {
 public:
  dcSoftwareList_t();
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

  dcStatus_t status = dcStatus::OK;
  dcXmlDocument_t* document = nullptr;
  dcSoftwareInfo_t* entries = nullptr;

 private:
  void freeEntries();
  // find; fileTexts, when given, holds the texts fileName is one of.
  dcSoftwareInfo_t* findEntry(const char* packageName, const char* fileName, const char* versionString,
                              const dcSoftwareTexts_t* fileTexts);
  // add, taking the texts from shared when they equal its texts.
  dcSoftwareInfo_t* addTexts(const char* packageName, const char* fileName, const char* versionString,
                             const dcSoftwareInfo_t* shared);
  bool indexEntry(dcSoftwareInfo_t* entry);
  void dropIndex();

  dcSoftwareInfo_t* tail_ = nullptr;
  std::uint32_t count_ = 0;
  // The first entry of every file name; the later entries of a file name
  // that differ in package or version, in chain order, under that first one.
  // An add changes a file name in letter case only, so keys never move.
  bool indexed_ = false;
  dcinv::FirstMatchIndex<dcSoftwareInfo_t> byFileName_;
  std::unordered_map<const dcSoftwareInfo_t*, std::vector<dcSoftwareInfo_t*>> sameFileName_;
};
