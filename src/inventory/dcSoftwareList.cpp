#include "dcSoftwareList.h"

#include <cstring>
#include <functional>
#include <mutex>
#include <new>
#include <string_view>
#include <unordered_set>

#include "cp949.h"
#include "dcLog.h"
#include "dcPointerArray.h"
#include "dcXml.h"

using dcinv::FieldText;

// The three texts of entries, kept once for the whole program per distinct
// set of texts: the PCs of a site install the same programs, so a million
// entries need only as many blocks as there are distinct programs. A block
// counts the entries that use it and goes when the last one does.
struct dcSoftwareTexts_t {
  std::uint32_t references;
  std::uint32_t length[3];
  std::size_t exactHash;  // of the bytes of the three texts
  std::size_t fileHash;   // dcinv::noCaseHash of the file name, for the lists' indexes
  const char* text[3];    // package name, file name, version
};

namespace {

// The version of every entry loaded from a file, kept once for all of them.
constexpr char NOT_DEFINED[] = "Not defined";

struct TextsKey {
  const FieldText* text[3];
  std::size_t hash;
};

std::size_t exactHash(const FieldText& package, const FieldText& file, const FieldText& version) {
  const std::hash<std::string_view> hash;
  std::size_t h = hash({package.text, package.length});
  h = h * 1000003u ^ hash({file.text, file.length});
  return h * 1000003u ^ hash({version.text, version.length});
}

struct BlockHash {
  using is_transparent = void;
  std::size_t operator()(const dcSoftwareTexts_t* block) const { return block->exactHash; }
  std::size_t operator()(const TextsKey& key) const { return key.hash; }
};

struct BlockEqual {
  using is_transparent = void;
  static bool same(const TextsKey& key, const dcSoftwareTexts_t* block) {
    for (int i = 0; i < 3; ++i)
      if (key.text[i]->length != block->length[i] ||
          std::memcmp(key.text[i]->text, block->text[i], block->length[i]) != 0)
        return false;
    return true;
  }
  bool operator()(const dcSoftwareTexts_t* a, const dcSoftwareTexts_t* b) const { return a == b; }
  bool operator()(const TextsKey& key, const dcSoftwareTexts_t* block) const { return same(key, block); }
  bool operator()(const dcSoftwareTexts_t* block, const TextsKey& key) const { return same(key, block); }
};

// Never destroyed: entries may be freed by destructors that run at exit.
struct TextTable {
  std::mutex lock;
  std::unordered_set<dcSoftwareTexts_t*, BlockHash, BlockEqual> blocks;
};

TextTable& textTable() {
  static TextTable& table = *new TextTable;
  return table;
}

// The block of these texts, counted once more; nullptr without memory.
// The file name shares the package name's bytes when they are equal.
dcSoftwareTexts_t* acquireTexts(const FieldText& package, const FieldText& file, const FieldText& version) {
  const TextsKey key{{&package, &file, &version}, exactHash(package, file, version)};
  TextTable& table = textTable();
  const std::lock_guard<std::mutex> guard(table.lock);
  if (auto found = table.blocks.find(key); found != table.blocks.end()) {
    ++(*found)->references;
    return *found;
  }
  const bool fileIsPackage =
      file.length == package.length && std::memcmp(file.text, package.text, file.length) == 0;
  const bool versionIsNotDefined = version == NOT_DEFINED;
  const std::size_t bytes = package.length + 1 + (fileIsPackage ? 0 : file.length + 1) +
                            (versionIsNotDefined ? 0 : version.length + 1);
  void* memory = ::operator new(sizeof(dcSoftwareTexts_t) + bytes, std::nothrow);
  if (!memory) return nullptr;
  auto* block = new (memory) dcSoftwareTexts_t{};
  char* out = reinterpret_cast<char*>(block + 1);
  auto put = [&out](const FieldText& t) {
    char* at = t.copyTo(out);
    out += t.length + 1;
    return at;
  };
  block->references = 1;
  block->text[0] = put(package);
  block->text[1] = fileIsPackage ? block->text[0] : put(file);
  block->text[2] = versionIsNotDefined ? NOT_DEFINED : put(version);
  block->length[0] = static_cast<std::uint32_t>(package.length);
  block->length[1] = static_cast<std::uint32_t>(file.length);
  block->length[2] = static_cast<std::uint32_t>(version.length);
  block->exactHash = key.hash;
  block->fileHash = dcinv::noCaseHash(block->text[1]);
  try {
    table.blocks.insert(block);
  } catch (const std::bad_alloc&) {
    ::operator delete(block);
    return nullptr;
  }
  return block;
}

void holdTexts(dcSoftwareTexts_t* block) {
  const std::lock_guard<std::mutex> guard(textTable().lock);
  ++block->references;
}

void releaseTexts(dcSoftwareTexts_t* block) noexcept {
  if (!block) return;
  TextTable& table = textTable();
  const std::lock_guard<std::mutex> guard(table.lock);
  if (--block->references > 0) return;
  table.blocks.erase(block);
  ::operator delete(block);
}

// Points the entry at the block (already counted for it) and lets its
// previous block go.
void useTexts(dcSoftwareInfo_t* entry, dcSoftwareTexts_t* block) {
  releaseTexts(entry->texts);
  entry->texts = block;
  entry->packageName = block->text[0];
  entry->fileName = block->text[1];
  entry->versionString = block->text[2];
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
  const std::size_t hash = entry->texts->fileHash;
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
  return findEntry(packageName, fileName, versionString, nullptr);
}

dcSoftwareInfo_t* dcSoftwareList_t::findFileOf(const dcSoftwareInfo_t* pdcSoftwareInfo) {
  return findEntry(nullptr, pdcSoftwareInfo->fileName, nullptr, pdcSoftwareInfo->texts);
}

dcSoftwareInfo_t* dcSoftwareList_t::findEntry(const char* packageName, const char* fileName,
                                              const char* versionString, const dcSoftwareTexts_t* fileTexts) {
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
    const std::size_t hash = fileTexts ? fileTexts->fileHash : dcinv::noCaseHash(file.text);
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
  dcSoftwareInfo_t* entry = findEntry(packageName, fileName, versionString, shared ? shared->texts : nullptr);
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
    if (entry->texts != shared->texts) {
      holdTexts(shared->texts);
      useTexts(entry, shared->texts);
    }
  } else if (isNew ||
             !(package == entry->packageName && file == entry->fileName && version == entry->versionString)) {
    dcSoftwareTexts_t* block = acquireTexts(package, file, version);
    if (!block) {
      if (isNew) delete entry;
      status = dcStatus::NO_MEMORY;
      return nullptr;
    }
    useTexts(entry, block);
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
