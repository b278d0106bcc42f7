#include "dcWindowsInfo.h"

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

dcWindowsInfo_t::dcWindowsInfo_t(dcTextTable_t* texts)
    : ownTexts_(texts ? nullptr : new (std::nothrow) dcTextTable_t), texts_(texts ? texts : ownTexts_.get()) {
  theLog.pfWrite(this, 1, "[dcWindowsInfo_t::dcWindowsInfo_t] Starting...");
  document = new (std::nothrow) dcXmlDocument_t();
  status = dcStatus::OK;
}

dcWindowsInfo_t::~dcWindowsInfo_t() {
  delete document;
  document = nullptr;
  theLog.pfWrite(this, 1, "[dcWindowsInfo_t::~dcWindowsInfo_t] Closed.");
  status = dcStatus::OK;
}

dcWindowsInfoItem_t* dcWindowsInfo_t::find(const char* name) {
  if (!name) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  theLog.pfWrite(this, 1, "[dcWindowsInfo_t::find] name=%s", name);
  const dcinv::Bounded<dcWindowsInfoItem_t::TEXT_SIZE> key(name);
  dcWindowsInfoItem_t* found = nullptr;
  if (byName_.active()) {
    found = byName_.find(key.text);
  } else {
    for (dcWindowsInfoItem_t* item = items; item && !found; item = item->next)
      if (dcinv::equalNoCase(item->name, key.text)) found = item;
  }
  status = found ? dcStatus::OK : dcStatus::NOT_FOUND;
  return found;
}

dcWindowsInfoItem_t* dcWindowsInfo_t::add(const char* name, const char* description) {
  if (!name || !description) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  theLog.pfWrite(this, 1, "[dcWindowsInfo_t::add] name=%s, description=%s", name, description);
  const char* keptName = texts_ ? texts_->keep(name, dcWindowsInfoItem_t::TEXT_SIZE) : nullptr;
  const char* keptDescription = texts_ ? texts_->keep(description, dcWindowsInfoItem_t::TEXT_SIZE) : nullptr;
  dcWindowsInfoItem_t* present = find(name);
  if (!keptName || !keptDescription) {
    status = dcStatus::NO_MEMORY;
    return nullptr;
  }
  if (present) {
    present->name = keptName;
    present->description = keptDescription;
    status = dcStatus::OK;
    return present;
  }
  auto* item = records_.make<dcWindowsInfoItem_t>(keptName, keptDescription);
  if (!item) {
    status = dcStatus::NO_MEMORY;
    return nullptr;
  }
  if (tail_)
    tail_->next = item;
  else
    items = item;
  tail_ = item;
  byName_.added(item, ++count_, [this](auto index) {
    for (dcWindowsInfoItem_t* i = items; i; i = i->next) index(i);
  });
  status = dcStatus::OK;
  return item;
}

dcStatus_t dcWindowsInfo_t::getWindowsInfoItems(dcStringList_t* strings) {
  if (!strings) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcWindowsInfo_t::getWindowsInfoItems] strings=0x%x", dcTraceTag(strings));
  for (dcWindowsInfoItem_t* item = items; item; item = item->next) {
    if (strings->find(item->name)) continue;
    if (!strings->add(item->name)) return status = dcStatus::NO_MEMORY;
  }
  return status = dcStatus::OK;
}

dcStatus_t dcWindowsInfo_t::LoadAssetData(const char* fileName) {
  return LoadAssetData(fileName, prepare(fileName));
}

dcInventoryValues_t dcWindowsInfo_t::prepare(const char* fileName) {
  return prepareFileAt(fileName, [](winfs::ReadFile& file) { return dcWindowsInfo_t::prepare(file); });
}

dcInventoryValues_t dcWindowsInfo_t::prepare(winfs::ReadFile& file) {
  return prepareInventoryValues(file, [](const dcXmlHandle_t& top, auto& values) {
    collectInventoryValues(top, "windowsinfo", values);
  });
}

// Every text the list keeps is a copy, so the parsed file goes with the
// prepared values: a site of many PCs would otherwise hold every file twice.
dcStatus_t dcWindowsInfo_t::LoadAssetData(const char* fileName, dcInventoryValues_t&& prepared) {
  if (!fileName) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcWindowsInfo_t::LoadAssetData] fileName=%s", fileName);
  if (!document) return status = dcStatus::CANNOT_CREATE;
  errno = prepared.file.error;
  if (!prepared.parsed) return status = dcStatus::FILE_ERROR;

  CSettingMgr* settings = CSettingMgr::GetInstance();
  return status = forEachValue(prepared, [&](const char* key, const char* text) {
           dcAssetFilters_t* filters = theAssetFilters;
           if (!filters) return dcStatus::OK;
           const char* display = settings->GetValue(key);  // the settings give one answer per key
           if (filters->isIgnoredWindowsItem(display)) return dcStatus::OK;
           // A key the settings do not know has no display name: add fails.
           if (!add(display, text)) return dcStatus::NO_MEMORY_TEXT;
           return dcStatus::OK;
         });
}
