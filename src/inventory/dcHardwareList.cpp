#include "dcHardwareList.h"

#include <cerrno>
#include <new>
#include <utility>

#include "CSettingMgr.h"
#include "cp949.h"
#include "dcAssetFilters.h"
#include "dcInventoryWalk.h"
#include "dcLog.h"
#include "dcStringList.h"
#include "dcXml.h"

using dcinv::Bounded;

// ---------------------------------------------------------------------------
// dcHardwareInfo_t

dcHardwareInfo_t::dcHardwareInfo_t(const char* keptName, dcHardwareList_t* list)
    : name(keptName), list_(list) {
  theLog.pfWrite(this, 1, "[dcHardwareInfo_t::dcHardwareInfo_t] Starting... name=%s", name);
}

dcHardwareInfo_t::~dcHardwareInfo_t() {
  theLog.pfWrite(this, 1, "[dcHardwareInfo_t::~dcHardwareInfo_t] Closed.");
  status = dcStatus::OK;
}

// Items are only ever appended, so the first item stored under a key stays
// the first match in chain order.
bool dcHardwareInfo_t::indexItem(dcHardwareItem_t* item) {
  auto sameDevice = [item](const dcHardwareItem_t* e) { return dcinv::equalNoCase(e->device, item->device); };
  auto samePair = [item](const dcHardwareItem_t* e) {
    return dcinv::equalNoCase(e->device, item->device) &&
           dcinv::equalNoCase(e->description, item->description);
  };
  return index_->byDevice.insertFirst(dcinv::noCaseHash(item->device), item, sameDevice) &&
         index_->byPair.insertFirst(dcinv::noCaseHash(item->device, item->description), item, samePair);
}

dcHardwareItem_t* dcHardwareInfo_t::find(const char* device) {
  if (!device) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  theLog.pfWrite(this, 1, "[dcHardwareInfo_t::find] device=%s", device);
  const Bounded<dcHardwareItem_t::TEXT_SIZE> key(device);
  dcHardwareItem_t* found = nullptr;
  if (index_) {
    found = index_->byDevice.find(dcinv::noCaseHash(key.text), [&](const dcHardwareItem_t* e) {
      return dcinv::equalNoCase(e->device, key.text);
    });
  } else {
    for (dcHardwareItem_t* item = items; item && !found; item = item->next)
      if (dcinv::equalNoCase(item->device, key.text)) found = item;
  }
  status = found ? dcStatus::OK : dcStatus::NOT_FOUND;
  return found;
}

dcHardwareItem_t* dcHardwareInfo_t::find(const char* device, const char* description) {
  if (!device || !description) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  theLog.pfWrite(this, 1, "[dcHardwareInfo_t::find] device=%s, description=%s", device, description);
  const Bounded<dcHardwareItem_t::TEXT_SIZE> dev(device), desc(description);
  dcHardwareItem_t* found = nullptr;
  if (index_) {
    found = index_->byPair.find(dcinv::noCaseHash(dev.text, desc.text), [&](const dcHardwareItem_t* e) {
      return dcinv::equalNoCase(e->device, dev.text) && dcinv::equalNoCase(e->description, desc.text);
    });
  } else {
    for (dcHardwareItem_t* item = items; item && !found; item = item->next)
      if (dcinv::equalNoCase(item->device, dev.text) && dcinv::equalNoCase(item->description, desc.text))
        found = item;
  }
  status = found ? dcStatus::OK : dcStatus::NOT_FOUND;
  return found;
}

dcHardwareItem_t* dcHardwareInfo_t::add(const char* device, const char* description, int bAllowDuplication) {
  if (!device || !description) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  theLog.pfWrite(this, 1, "[dcHardwareInfo_t::add] device=%s, description=%s, bAllowDuplication=%d", device,
                 description, bAllowDuplication);
  if (bAllowDuplication == 0 && find(device)) {
    status = dcStatus::ALREADY_PRESENT;
    return nullptr;
  }
  const char* dev = list_->texts_->keep(device, dcHardwareItem_t::TEXT_SIZE);
  const char* desc = list_->texts_->keep(description, dcHardwareItem_t::TEXT_SIZE);
  auto* item = dev && desc ? list_->records_.make<dcHardwareItem_t>(dev, desc) : nullptr;
  if (!item) {
    status = dcStatus::NO_MEMORY;
    return nullptr;
  }
  if (tail_)
    tail_->next = item;
  else
    items = item;
  tail_ = item;
  ++count_;
  if (index_) {
    if (!indexItem(item)) index_.reset();  // without memory for it the chain is walked
  } else if (count_ >= dcinv::INDEX_THRESHOLD) {
    index_.reset(new (std::nothrow) Index);
    for (dcHardwareItem_t* i = items; i && index_; i = i->next)
      if (!indexItem(i)) index_.reset();
  }
  status = dcStatus::OK;
  return item;
}

// ---------------------------------------------------------------------------
// dcHardwareList_t

dcHardwareList_t::dcHardwareList_t(dcTextTable_t* texts)
    : ownTexts_(texts ? nullptr : new (std::nothrow) dcTextTable_t), texts_(texts ? texts : ownTexts_.get()) {
  theLog.pfWrite(this, 1, "[dcHardwareList_t::dcHardwareList_t] Starting...");
  document = new (std::nothrow) dcXmlDocument_t();
  if (!document || !texts_) status = dcStatus::CANNOT_CREATE;
}

dcHardwareList_t::~dcHardwareList_t() {
  destroyCategories();
  delete document;
  document = nullptr;
  theLog.pfWrite(this, 1, "[dcHardwareList_t::~dcHardwareList_t] Closed.");
}

// Categories are destroyed in chain order; their items go with the blocks.
void dcHardwareList_t::destroyCategories() {
  for (dcHardwareListNode_t* node = categories; node; node = node->next) node->pInfo->~dcHardwareInfo_t();
  records_.clear();
  categories = nullptr;
  tail_ = nullptr;
  count_ = 0;
  byName_.clear();
}

dcStatus_t dcHardwareList_t::clear() {
  theLog.pfWrite(this, 1, "[dcHardwareList_t::clear]");
  destroyCategories();
  return dcStatus::OK;
}

dcHardwareInfo_t* dcHardwareList_t::find(const char* hardware) {
  if (!hardware) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  const Bounded<dcHardwareInfo_t::NAME_SIZE> key(hardware);
  return findCategory(hardware, key.text);
}

dcHardwareInfo_t* dcHardwareList_t::findCategory(const char* hardware, const char* key) {
  theLog.pfWrite(this, 1, "[dcHardwareList_t::find] hardware=%s", hardware);
  dcHardwareInfo_t* found = nullptr;
  if (byName_.active()) {
    found = byName_.find(key);
  } else {
    for (dcHardwareListNode_t* node = categories; node && !found; node = node->next)
      if (dcinv::equalNoCase(node->pInfo->name, key)) found = node->pInfo;
  }
  status = found ? dcStatus::OK : dcStatus::NOT_FOUND;
  return found;
}

dcHardwareItem_t* dcHardwareList_t::find(const char* hardware, const char* device, const char* description) {
  if (!hardware || !device || !description) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  theLog.pfWrite(this, 1, "[dcHardwareList_t::find] hardware=%s, device=%s, description=%s", hardware, device,
                 description);
  dcHardwareInfo_t* category = find(hardware);
  dcHardwareItem_t* item = category ? category->find(device, description) : nullptr;
  status = item ? dcStatus::OK : dcStatus::NOT_FOUND;
  return item;
}

dcHardwareInfo_t* dcHardwareList_t::add(const char* hardware) {
  if (!hardware) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  theLog.pfWrite(this, 1, "[dcHardwareList_t::add] hardware=%s", hardware);
  const char* name = texts_ ? texts_->keep(hardware, dcHardwareInfo_t::NAME_SIZE) : nullptr;
  if (dcHardwareInfo_t* existing = name ? findCategory(hardware, name) : find(hardware)) {
    status = dcStatus::OK;
    return existing;
  }
  if (!name) {
    status = dcStatus::CANNOT_CREATE;
    return nullptr;
  }
  auto* category = records_.make<Category>(name, this);
  if (!category) {
    status = dcStatus::NO_MEMORY;
    return nullptr;
  }
  dcHardwareListNode_t* node = &category->node;
  if (tail_)
    tail_->next = node;
  else
    categories = node;
  tail_ = node;
  byName_.added(node->pInfo, ++count_, everyCategory());
  status = dcStatus::OK;
  return node->pInfo;
}

dcHardwareItem_t* dcHardwareList_t::add(const char* hardware, const char* device, const char* description,
                                        int bAllowDuplication) {
  if (!hardware || !device || !description) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  theLog.pfWrite(this, 1,
                 "[dcHardwareList_t::add] hardware=%s, device=%s, description=%s, bAllowDuplication=%d",
                 hardware, device, description, bAllowDuplication);
  dcHardwareInfo_t* category = add(hardware);
  if (!category) return nullptr;
  dcHardwareItem_t* item = category->add(device, description, bAllowDuplication);
  status = category->status;
  return item;
}

dcStatus_t dcHardwareList_t::getHardwareNames(dcStringList_t* strings) {
  if (!strings) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcHardwareList_t::getHardwareNames] strings=0x%x", dcTraceTag(strings));
  for (dcHardwareListNode_t* node = categories; node; node = node->next) {
    if (strings->find(node->pInfo->name)) continue;
    if (!strings->add(node->pInfo->name)) return status = dcStatus::NO_MEMORY;
  }
  return status = dcStatus::OK;
}

dcStatus_t dcHardwareList_t::LoadAssetData(const char* fileName) {
  return LoadAssetData(fileName, prepare(fileName));
}

dcInventoryValues_t dcHardwareList_t::prepare(const char* fileName) {
  return prepareFileAt(fileName, [](winfs::ReadFile& file) { return dcHardwareList_t::prepare(file); });
}

dcInventoryValues_t dcHardwareList_t::prepare(winfs::ReadFile& file) {
  return prepareInventoryValues(file, [](const dcXmlHandle_t& top, auto& values) {
    collectInventoryValues(top, "hardwareinfo", values);
  });
}

// Every text the list keeps is a copy, so the parsed file goes with the
// prepared values: a site of many PCs would otherwise hold every file twice.
dcStatus_t dcHardwareList_t::LoadAssetData(const char* fileName, dcInventoryValues_t&& prepared) {
  if (!fileName) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcHardwareList_t::LoadAssetData] fileName=%s", fileName);
  if (!document) return status = dcStatus::CANNOT_CREATE;
  errno = prepared.file.error;
  if (!prepared.parsed) return status = dcStatus::FILE_ERROR;

  CSettingMgr* settings = CSettingMgr::GetInstance();
  // Each value's category is looked up among those before it (see LOAD_INDEX_MIN).
  const bool indexForLoad = !byName_.active() && prepared.values.size() >= dcinv::LOAD_INDEX_MIN;
  if (indexForLoad) byName_.activate(everyCategory());
  status = forEachValue(prepared, [&](const char* key, const char* text) {
    dcAssetFilters_t* filters = theAssetFilters;
    if (!filters) return dcStatus::OK;
    const char* display = settings->GetValue(key);  // the settings give one answer per key
    if (filters->isIgnoredHardware(display, nullptr)) return dcStatus::OK;
    // A key the settings do not know has no display name: add fails with 203.
    if (!add(display, "Undefined", text, 1)) return status;
    return dcStatus::OK;
  });
  if (indexForLoad && count_ < dcinv::INDEX_THRESHOLD) byName_.clear();
  return status;
}
