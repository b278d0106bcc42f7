#include "dcSoftwareList.h"

#include <cerrno>
#include <new>
#include <utility>

#include "cp949.h"
#include "dcLog.h"
#include "dcPointerArray.h"
#include "dcXml.h"

using dcinv::Bounded;

dcSoftwareList_t::dcSoftwareList_t(dcTextTable_t* texts)
    : ownTexts_(texts ? nullptr : new (std::nothrow) dcTextTable_t), texts_(texts ? texts : ownTexts_.get()) {
  theLog.pfWrite(this, 1, "[dcSoftwareList_t::dcSoftwareList_t] Starting...");
  document = new (std::nothrow) dcXmlDocument_t();
  status = dcStatus::OK;
}

dcSoftwareList_t::~dcSoftwareList_t() {
  clear();
  delete document;
  document = nullptr;
  theLog.pfWrite(this, 1, "[dcSoftwareList_t::~dcSoftwareList_t] Closed.");
  status = dcStatus::OK;
  freeEntries();
}

void dcSoftwareList_t::freeEntries() {
  entries = nullptr;
  records_.clear();
  count_ = 0;
  tail_ = nullptr;
  dropIndex();
}

// Without memory for the index the chain is walked instead.
void dcSoftwareList_t::dropIndex() {
  indexed_ = false;
  byFileName_.clear();
  sameFileName_.clear();
}

void dcSoftwareList_t::clear() {
  theLog.pfWrite(this, 1, "[dcSoftwareList_t::clear]");
  freeEntries();
}

void dcSoftwareList_t::indexAll() {
  indexed_ = true;
  for (dcSoftwareInfo_t* e = entries; e && indexed_; e = e->next)
    if (!indexEntry(e)) dropIndex();
}

bool dcSoftwareList_t::indexEntry(dcSoftwareInfo_t* entry) {
  const std::size_t hash = dcinv::noCaseHash(entry->fileName);
  auto sameFile = [entry](const dcSoftwareInfo_t* e) {
    return dcinv::equalNoCase(e->fileName, entry->fileName);
  };
  dcSoftwareInfo_t* first = byFileName_.find(hash, sameFile);
  if (!first) return byFileName_.insertFirst(hash, entry, sameFile);
  try {
    sameFileName_[first].push_back(entry);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

dcSoftwareInfo_t* dcSoftwareList_t::findFileOf(const dcSoftwareInfo_t* pdcSoftwareInfo) {
  return find(nullptr, pdcSoftwareInfo->fileName, nullptr);
}

dcSoftwareInfo_t* dcSoftwareList_t::find(const char* packageName, const char* fileName,
                                         const char* versionString) {
  theLog.pfWrite(this, 1, "[dcSoftwareList_t::find] packageName=0x%x, fileName=0x%x, versionString=0x%x",
                 dcTraceTag(packageName), dcTraceTag(fileName), dcTraceTag(versionString));
  if (!packageName && !fileName) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  if (!entries) {
    status = dcStatus::NOT_FOUND;
    return nullptr;
  }
  const Bounded<dcSoftwareInfo_t::PACKAGE_SIZE> package(packageName ? packageName : "");
  const Bounded<dcSoftwareInfo_t::FILE_SIZE> file(fileName ? fileName : "");
  const Bounded<dcSoftwareInfo_t::VERSION_SIZE> version(versionString ? versionString : "");
  auto matches = [&](const dcSoftwareInfo_t* e) {
    return (!packageName || dcinv::equalNoCase(e->packageName, package.text)) &&
           (!fileName || dcinv::equalNoCase(e->fileName, file.text)) &&
           (!versionString || dcinv::equalNoCase(e->versionString, version.text));
  };

  dcSoftwareInfo_t* found = nullptr;
  if (indexed_ && fileName) {
    // The entries of that file name, in chain order.
    const std::size_t hash = dcinv::noCaseHash(file.text);
    dcSoftwareInfo_t* first = byFileName_.find(
        hash, [&](const dcSoftwareInfo_t* e) { return dcinv::equalNoCase(e->fileName, file.text); });
    if (first && matches(first)) {
      found = first;
    } else if (first) {
      if (auto more = sameFileName_.find(first); more != sameFileName_.end())
        for (dcSoftwareInfo_t* e : more->second)
          if (matches(e)) {
            found = e;
            break;
          }
    }
  } else {
    for (dcSoftwareInfo_t* e = entries; e && !found; e = e->next)
      if (matches(e)) found = e;
  }
  status = found ? dcStatus::OK : dcStatus::NOT_FOUND;
  return found;
}

dcSoftwareInfo_t* dcSoftwareList_t::add(const char* packageName, const char* fileName,
                                        const char* versionString) {
  if (!packageName || !fileName || !versionString) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  theLog.pfWrite(this, 1, "[dcSoftwareList_t::add] packageName=%s, fileName=%s, versionString=%s",
                 packageName, fileName, versionString);
  const char* package = texts_ ? texts_->keep(packageName, dcSoftwareInfo_t::PACKAGE_SIZE) : nullptr;
  const char* file = texts_ ? texts_->keep(fileName, dcSoftwareInfo_t::FILE_SIZE) : nullptr;
  const char* version = texts_ ? texts_->keep(versionString, dcSoftwareInfo_t::VERSION_SIZE) : nullptr;
  dcSoftwareInfo_t* entry = find(packageName, fileName, versionString);
  const bool isNew = entry == nullptr;
  if (isNew && package && file && version) {
    entry = records_.make<dcSoftwareInfo_t>();
    if (entry) ++count_;
  }
  if (!entry || !package || !file || !version) {
    status = dcStatus::NO_MEMORY;
    return nullptr;
  }
  entry->packageName = package;
  entry->fileName = file;
  entry->versionString = version;
  if (isNew) {
    if (tail_)
      tail_->next = entry;
    else
      entries = entry;
    tail_ = entry;
    if (indexed_) {
      if (!indexEntry(entry)) dropIndex();
    } else if (count_ >= dcinv::INDEX_THRESHOLD) {
      indexAll();
    }
  }
  status = dcStatus::OK;
  return entry;
}

dcSoftwareInfo_t* dcSoftwareList_t::add(const dcSoftwareInfo_t* pdcSoftwareInfo) {
  if (!pdcSoftwareInfo) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  theLog.pfWrite(this, 1, "[dcSoftwareList_t::add] pdcSoftwareInfo=0x%x", dcTraceTag(pdcSoftwareInfo));
  return add(pdcSoftwareInfo->packageName, pdcSoftwareInfo->fileName, pdcSoftwareInfo->versionString);
}

dcStatus_t dcSoftwareList_t::LoadAssetData(const char* fileName) {
  return LoadAssetData(fileName, prepare(fileName));
}

dcInventoryValues_t dcSoftwareList_t::prepare(const char* fileName) {
  return prepareFileAt(fileName, [](winfs::ReadFile& file) { return dcSoftwareList_t::prepare(file); });
}

// Every "Program" element at any depth, in document order (an element
// before what it contains), named by its first child's text.
dcInventoryValues_t dcSoftwareList_t::prepare(winfs::ReadFile& file) {
  return prepareInventoryValues(file, [](const dcXmlHandle_t& top, auto& values) {
    dcPointerArray_t programs(4);
    top.findAll("Program", &programs);
    for (std::uint32_t i = 0; i < programs.count; ++i) {
      const dcXmlHandle_t first = dcXmlHandle_t(static_cast<dcXmlNode_t*>(programs.get(i))).child(0);
      const char* name = first.value();  // empty without a child, or for a child without value
      values.emplace_back(name, name);
    }
  });
}

// Every text the list keeps is a copy, so the parsed file goes with the
// prepared values: a site of many PCs would otherwise hold every file twice.
dcStatus_t dcSoftwareList_t::LoadAssetData(const char* fileName, dcInventoryValues_t&& prepared) {
  if (!fileName) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcSoftwareList_t::LoadAssetData] fileName=%s", fileName);
  if (!document) return status = dcStatus::FILE_ERROR;
  errno = prepared.file.error;
  if (!prepared.parsed) return status = dcStatus::FILE_ERROR;
  const bool indexForLoad = !indexed_ && prepared.values.size() >= dcinv::LOAD_INDEX_MIN;
  if (indexForLoad) indexAll();
  for (const auto& [name, same] : prepared.values) add(name, same, "Not defined");
  if (indexForLoad && count_ < dcinv::INDEX_THRESHOLD) dropIndex();
  return status = dcStatus::OK;
}
