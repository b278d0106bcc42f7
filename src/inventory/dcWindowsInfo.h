// The Windows information of one PC: named items, one per name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "dcInventoryWalk.h"
#include "dcNoCaseIndex.h"
#include "dcRecordArena.h"
#include "dcStatus.h"
#include "dcTextTable.h"

class dcXmlDocument_t;
class dcStringList_t;

// One item. Its texts hold at most TEXT_SIZE - 1 bytes, cut at a character
// boundary, and live in the list's text table.
struct dcWindowsInfoItem_t {
  static constexpr std::size_t TEXT_SIZE = 256;
  const char* name = "";
  const char* description = "";
  dcWindowsInfoItem_t* next = nullptr;
};

// Names compare without regard to case (mb::compareNoCase) and are unique;
// adding a present name replaces that item's texts. Texts longer than a
// field are cut to it, for storing and for comparing alike.
class dcWindowsInfo_t {
 public:
  // texts: the table the list keeps its texts in (the group tree's);
  // without one the list keeps a table of its own.
  explicit dcWindowsInfo_t(dcTextTable_t* texts = nullptr);
  ~dcWindowsInfo_t();
  dcWindowsInfo_t(const dcWindowsInfo_t&) = delete;
  dcWindowsInfo_t& operator=(const dcWindowsInfo_t&) = delete;

  // The item of this name: status 0, or 102 and nullptr; 203 for null.
  dcWindowsInfoItem_t* find(const char* name);
  // Replaces the texts of the item of this name (which takes the new letter
  // case) or appends a new item. 203 for a null argument, 512 without memory.
  dcWindowsInfoItem_t* add(const char* name, const char* description);
  // Adds each item name that strings does not hold yet (exact text).
  dcStatus_t getWindowsInfoItems(dcStringList_t* strings);
  // Adds the items of a "WindowsInfo.xml" file under the display names the
  // settings give its keys, leaving out ignored items.
  dcStatus_t LoadAssetData(const char* fileName);
  // LoadAssetData in two steps: prepare reads, parses and walks the file
  // and touches nothing shared, so it may run on any thread.
  static dcInventoryValues_t prepare(const char* fileName);
  static dcInventoryValues_t prepare(winfs::ReadFile& file);
  dcStatus_t LoadAssetData(const char* fileName, dcInventoryValues_t&& prepared);

  dcStatus_t status = dcStatus::OK;
  dcXmlDocument_t* document = nullptr;
  dcWindowsInfoItem_t* items = nullptr;

 private:
  std::unique_ptr<dcTextTable_t> ownTexts_;
  dcTextTable_t* texts_;
  dcWindowsInfoItem_t* tail_ = nullptr;
  std::uint32_t count_ = 0;
  // Keys point into the items' own name fields; a replaced name keeps its
  // key, since it differs from the old one in letter case only.
  dcinv::UniqueNameIndex<dcWindowsInfoItem_t> byName_;
  // The items: a PC's list (about 15) in one block.
  dcinv::RecordArena<dcinv::WINDOWS_BLOCK> records_;
};
