#include "dcSoftwareList.h"

#include <cstring>
#include <new>

#include "cp949.h"
#include "dcLog.h"
#include "dcPointerArray.h"
#include "dcXml.h"

using dcinv::FieldText;

struct dcSoftwareTexts_t {
  std::uint32_t references;
  char* bytes() { return reinterpret_cast<char*>(this + 1); }
};

namespace {

// The version of every entry loaded from a file, kept once for all of them.
constexpr char NOT_DEFINED[] = "Not defined";

void releaseTexts(dcSoftwareTexts_t* texts) noexcept {
  if (texts && --texts->references == 0) ::operator delete(texts);
}

// A new block of the three texts, counted once, with the entry pointed into
// it; the file name shares the package name's bytes when they are equal.
// False without memory, the entry unchanged.
bool storeTexts(dcSoftwareInfo_t* entry, const FieldText& package, const FieldText& file,
                const FieldText& version) {
  const bool fileIsPackage =
      file.length == package.length && std::memcmp(file.text, package.text, file.length) == 0;
  const bool versionIsNotDefined = version == NOT_DEFINED;
  const std::size_t bytes = package.length + 1 + (fileIsPackage ? 0 : file.length + 1) +
                            (versionIsNotDefined ? 0 : version.length + 1);
  void* memory = ::operator new(sizeof(dcSoftwareTexts_t) + bytes, std::nothrow);
  if (!memory) return false;
  auto* texts = new (memory) dcSoftwareTexts_t{1};
  char* out = texts->bytes();
  auto put = [&out](const FieldText& t) {
    char* at = t.copyTo(out);
    out += t.length + 1;
    return at;
  };
  // Written into the new block before the old one goes: the new texts may
  // be the old ones.
  const char* packageName = put(package);
  const char* fileName = fileIsPackage ? packageName : put(file);
  const char* versionString = versionIsNotDefined ? NOT_DEFINED : put(version);
  releaseTexts(entry->texts);
  entry->texts = texts;
  entry->packageName = packageName;
  entry->fileName = fileName;
  entry->versionString = versionString;
  return true;
}

void shareTexts(dcSoftwareInfo_t* entry, const dcSoftwareInfo_t* from) {
  if (entry->texts == from->texts) return;
  ++from->texts->references;
  releaseTexts(entry->texts);
  entry->texts = from->texts;
  entry->packageName = from->packageName;
  entry->fileName = from->fileName;
  entry->versionString = from->versionString;
}

}  // namespace

dcSoftwareInfo_t::~dcSoftwareInfo_t() { releaseTexts(texts); }

using dcinv::Bounded;

dcSoftwareList_t::dcSoftwareList_t() {
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
  while (entries) {
    dcSoftwareInfo_t* next = entries->next;
    delete entries;
    entries = next;
  }
  tail_ = nullptr;
  count_ = 0;
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
    return (!packageName || mb::compareNoCase(e->packageName, package.text) == 0) &&
           (!fileName || mb::compareNoCase(e->fileName, file.text) == 0) &&
           (!versionString || mb::compareNoCase(e->versionString, version.text) == 0);
  };

  dcSoftwareInfo_t* found = nullptr;
  if (indexed_ && fileName) {
    // The entries of that file name, in chain order.
    dcSoftwareInfo_t* first = byFileName_.find(dcinv::noCaseHash(file.text), [&](const dcSoftwareInfo_t* e) {
      return dcinv::equalNoCase(e->fileName, file.text);
    });
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
  return addTexts(packageName, fileName, versionString, nullptr);
}

dcSoftwareInfo_t* dcSoftwareList_t::addTexts(const char* packageName, const char* fileName,
                                             const char* versionString, const dcSoftwareInfo_t* shared) {
  if (!packageName || !fileName || !versionString) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  theLog.pfWrite(this, 1, "[dcSoftwareList_t::add] packageName=%s, fileName=%s, versionString=%s",
                 packageName, fileName, versionString);
  dcSoftwareInfo_t* entry = find(packageName, fileName, versionString);
  const bool isNew = entry == nullptr;
  if (isNew) {
    entry = new (std::nothrow) dcSoftwareInfo_t;
    if (!entry) {
      status = dcStatus::NO_MEMORY;
      return nullptr;
    }
  }
  const FieldText package(packageName, dcSoftwareInfo_t::PACKAGE_SIZE);
  const FieldText file(fileName, dcSoftwareInfo_t::FILE_SIZE);
  const FieldText version(versionString, dcSoftwareInfo_t::VERSION_SIZE);
  if (shared && shared->texts) {
    // The shared entry's texts are these texts, already cut to their fields.
    shareTexts(entry, shared);
  } else if (isNew ||
             !(package == entry->packageName && file == entry->fileName && version == entry->versionString)) {
    if (!storeTexts(entry, package, file, version)) {
      if (isNew) delete entry;
      status = dcStatus::NO_MEMORY;
      return nullptr;
    }
  }
  if (isNew) {
    if (tail_)
      tail_->next = entry;
    else
      entries = entry;
    tail_ = entry;
    ++count_;
    if (indexed_) {
      if (!indexEntry(entry)) dropIndex();
    } else if (count_ >= dcinv::INDEX_THRESHOLD) {
      indexed_ = true;
      for (dcSoftwareInfo_t* e = entries; e && indexed_; e = e->next)
        if (!indexEntry(e)) dropIndex();
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
  return addTexts(pdcSoftwareInfo->packageName, pdcSoftwareInfo->fileName, pdcSoftwareInfo->versionString,
                  pdcSoftwareInfo);
}

dcStatus_t dcSoftwareList_t::LoadAssetData(const char* fileName) {
  if (!fileName) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcSoftwareList_t::LoadAssetData] fileName=%s", fileName);
  if (!document || !document->load(fileName)) return status = dcStatus::FILE_ERROR;
  // Every text the list keeps is a copy, so the parsed file is let go as
  // soon as it has been read: a site of many PCs would otherwise hold every
  // file twice.
  const dcXmlDocumentRelease_t release(document);
  if (!document->root) return status = dcStatus::OK;

  // Every "Program" element at any depth, in document order (an element
  // before what it contains), named by its first child's text.
  dcPointerArray_t programs(4);
  dcXmlHandle_t(document->root).findAll("Program", &programs);
  for (std::uint32_t i = 0; i < programs.count; ++i) {
    const dcXmlHandle_t first = dcXmlHandle_t(static_cast<dcXmlNode_t*>(programs.get(i))).child(0);
    const char* name = first.value();  // empty without a child, or for a child without value
    add(name, name, "Not defined");
  }
  return status = dcStatus::OK;
}
