// The hardware of one PC, or the hardware gathered for a group: categories
// by display name, each with a chain of device items.
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
class dcpgBackwardLinks_t;
class dcHardwareList_t;

// One item. Its texts hold at most TEXT_SIZE - 1 bytes, cut at a character
// boundary, and live in the list's text table.
struct dcHardwareItem_t {
  static constexpr std::size_t TEXT_SIZE = 256;
  const char* device = "";
  const char* description = "";
  // Contributors of a gathered item; set and freed by the group only.
  dcpgBackwardLinks_t* pBackwardLinks = nullptr;
  dcHardwareItem_t* next = nullptr;
};

// One category and its items, in insertion order. Device and description
// compare without regard to case (mb::compareNoCase); texts longer than a
// field are cut to it, for storing and for comparing alike.
class dcHardwareInfo_t {
 public:
  static constexpr std::size_t NAME_SIZE = 256;

  // Made by its list, with a name the list has kept; its items are placed
  // in the list's blocks and go with them.
  dcHardwareInfo_t(const char* keptName, dcHardwareList_t* list);
  ~dcHardwareInfo_t();
  dcHardwareInfo_t(const dcHardwareInfo_t&) = delete;
  dcHardwareInfo_t& operator=(const dcHardwareInfo_t&) = delete;

  // First item with this device: status 0, or 102 and nullptr; 203 for null.
  dcHardwareItem_t* find(const char* device);
  // First item with this device and description (102 / 203 as above).
  dcHardwareItem_t* find(const char* device, const char* description);
  // Appends an item (copies, no back-links). With bAllowDuplication 0 an
  // existing device is refused with 107. 203 for a null argument, 512 when
  // memory runs out.
  dcHardwareItem_t* add(const char* device, const char* description, int bAllowDuplication);

  dcStatus_t status = dcStatus::OK;
  // Cut to NAME_SIZE - 1 bytes and kept in the list's text table.
  const char* name;
  dcHardwareItem_t* items = nullptr;

 private:
  // First item per device and per (device, description), made once the
  // chain is long enough to be worth it (most categories never are). Keys
  // point into the items' own fields.
  struct Index {
    dcinv::FirstMatchIndex<dcHardwareItem_t> byDevice;
    dcinv::FirstMatchIndex<dcHardwareItem_t> byPair;
  };
  bool indexItem(dcHardwareItem_t* item);

  dcHardwareList_t* list_;
  dcHardwareItem_t* tail_ = nullptr;
  std::uint32_t count_ = 0;
  std::unique_ptr<Index> index_;
};

struct dcHardwareListNode_t {
  dcHardwareInfo_t* pInfo;
  dcHardwareListNode_t* next;
};

class dcHardwareList_t {
 public:
  // texts: the table the list keeps its texts in (the group tree's);
  // without one the list keeps a table of its own.
  explicit dcHardwareList_t(dcTextTable_t* texts = nullptr);
  ~dcHardwareList_t();
  dcHardwareList_t(const dcHardwareList_t&) = delete;
  dcHardwareList_t& operator=(const dcHardwareList_t&) = delete;

  // Destroys every category; the document and status stay. Returns 0.
  dcStatus_t clear();
  // The category of this name (case-insensitive), or 102 and nullptr.
  dcHardwareInfo_t* find(const char* hardware);
  // The item of that category with this device and description, or 102.
  dcHardwareItem_t* find(const char* hardware, const char* device, const char* description);
  // The category of this name, appended when missing (512 / 303 on failure).
  dcHardwareInfo_t* add(const char* hardware);
  // Finds or adds the category, then adds the item to it.
  dcHardwareItem_t* add(const char* hardware, const char* device, const char* description,
                        int bAllowDuplication);
  // Adds each category name that strings does not hold yet (exact text).
  dcStatus_t getHardwareNames(dcStringList_t* strings);
  // Adds the descriptions of a "HardwareInfo.xml" file under the display
  // names the settings give its keys, leaving out ignored categories.
  dcStatus_t LoadAssetData(const char* fileName);
  // LoadAssetData in two steps: prepare reads, parses and walks the file
  // and touches nothing shared, so it may run on any thread.
  static dcInventoryValues_t prepare(const char* fileName);
  static dcInventoryValues_t prepare(winfs::ReadFile& file);
  dcStatus_t LoadAssetData(const char* fileName, dcInventoryValues_t&& prepared);

  dcStatus_t status = dcStatus::OK;
  dcXmlDocument_t* document = nullptr;
  dcHardwareListNode_t* categories = nullptr;

 private:
  friend class dcHardwareInfo_t;
  // A category and the node that chains it, placed together.
  struct Category {
    Category(const char* name, dcHardwareList_t* list) : node{&info, nullptr}, info(name, list) {}
    dcHardwareListNode_t node;
    dcHardwareInfo_t info;
  };
  void destroyCategories();
  // What the name index calls to index every category: f on each, in chain order.
  auto everyCategory() {
    return [this](auto f) {
      for (dcHardwareListNode_t* n = categories; n; n = n->next) f(n->pInfo);
    };
  }
  // find for hardware as its field holds it (key), traced as given.
  dcHardwareInfo_t* findCategory(const char* hardware, const char* key);

  std::unique_ptr<dcTextTable_t> ownTexts_;
  dcTextTable_t* texts_;
  dcHardwareListNode_t* tail_ = nullptr;
  std::uint32_t count_ = 0;
  dcinv::UniqueNameIndex<dcHardwareInfo_t> byName_;
  // Categories and items share the blocks; a PC's list (some 15 categories
  // and 30 items) fits one.
  dcinv::RecordArena<dcinv::HARDWARE_BLOCK> records_;
};
