#include "dcQsClient.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <utility>

#include "cp949.h"
#include "dcLog.h"
#include "dcpgBackwardLinks.h"
#include "sys.h"
#include "winfs.h"

namespace {

constexpr std::size_t kWordSize = 256;

// The "%s %s" scan: skips blanks, takes one word of at most 255 bytes, then
// the same for the second word. False when fewer than two words are found.
bool splitTwoWords(const char* text, char (&first)[kWordSize], char (&second)[kWordSize]) {
  const char* p = text;
  for (char* word : {first, second}) {
    while (mb::isAsciiSpace(static_cast<unsigned char>(*p))) ++p;
    if (*p == '\0') return false;
    std::size_t length = 0;
    while (p[length] != '\0' && !mb::isAsciiSpace(static_cast<unsigned char>(p[length]))) ++length;
    const std::size_t kept = mb::boundedLength(p, std::min(length, kWordSize - 1));
    for (std::size_t i = 0; i < kept; ++i) word[i] = p[i];
    word[kept] = '\0';
    p += kept;
  }
  return true;
}

}  // namespace

dcQsClient_t::dcQsClient_t(const char* name_, dcTextTable_t* texts)
    : dcObject_t(name_, CLASS_NAME, 0), hardwareList(texts), windowsInfo(texts), softwareList(texts) {
  theLog.pfWrite(this, 1, "[dcQsClient_t::dcQsClient_t] Starting...");
  status = dcStatus::OK;
}

dcQsClient_t::~dcQsClient_t() {
  freeUsageBackLinks(softwareUsage);
  theLog.pfWrite(this, 1, "[dcQsClient_t::~dcQsClient_t] Closed.");
  status = dcStatus::OK;
}

namespace {

enum class DataKind { Hardware, Windows, Software, Usage, Other };

DataKind kindOf(const char* dataType) {
  if (mb::compareNoCase(dataType, "HardwareInfo.xml") == 0) return DataKind::Hardware;
  if (mb::compareNoCase(dataType, "WindowsInfo.xml") == 0) return DataKind::Windows;
  if (mb::compareNoCase(dataType, "softwareinfo.xml") == 0) return DataKind::Software;
  if (mb::compareNoCase(dataType, "totalsuinfo.xml") == 0) return DataKind::Usage;
  return DataKind::Other;
}

// The data-type word: dataType, or with pcName or dataType null the latter
// of fileName's two words; nullptr when it has not two.
const char* typeWord(const char* fileName, const char* pcName, const char* dataType,
                     char (&pcWord)[kWordSize], char (&typeWord)[kWordSize]) {
  if (pcName && dataType) return dataType;
  return splitTwoWords(fileName, pcWord, typeWord) ? typeWord : nullptr;
}

}  // namespace

dcStatus_t dcQsClient_t::LoadAssetDataFromFile(const char* fileName, const char* pcName,
                                               const char* dataType) {
  return applyAssetData(fileName, pcName, dataType, prepareAssetData(fileName, pcName, dataType));
}

namespace {

// What prepareAssetData makes of a file of kind, opened by open() (only for
// a kind it reads). The inventory loaders clear errno before the opening,
// as their path-taking prepare does.
template <class Open>
dcPreparedAssetData_t prepareKind(DataKind kind, Open open) {
  dcPreparedAssetData_t prepared;
  if (kind == DataKind::Other) return prepared;
  if (kind != DataKind::Usage) errno = 0;
  winfs::ReadFile file = open();
  switch (kind) {
    case DataKind::Hardware:
      prepared.values = dcHardwareList_t::prepare(file);
      break;
    case DataKind::Windows:
      prepared.values = dcWindowsInfo_t::prepare(file);
      break;
    case DataKind::Software:
      prepared.values = dcSoftwareList_t::prepare(file);
      break;
    case DataKind::Usage:
      prepared.usage = dcSoftwareUsageDocument_t::prepareUsage(file);
      break;
    case DataKind::Other:
      break;
  }
  return prepared;
}

}  // namespace

dcPreparedAssetData_t dcQsClient_t::prepareAssetData(const char* fileName, const char* pcName,
                                                     const char* dataType) {
  if (!fileName) return {};
  char pcWord[kWordSize];
  char typeText[kWordSize];
  dataType = typeWord(fileName, pcName, dataType, pcWord, typeText);
  if (!dataType) return {};
  return prepareKind(kindOf(dataType), [fileName] { return winfs::ReadFile(fileName); });
}

dcPreparedAssetData_t dcQsClient_t::prepareAssetData(const winfs::Folder& folder, const char* name,
                                                     const char* dataType, winfs::FileReader& reader) {
  if (!name || !dataType) return {};
  return prepareKind(kindOf(dataType), [&] { return winfs::ReadFile(folder, name, reader); });
}

bool dcQsClient_t::readsDataType(const char* dataType) {
  return dataType && kindOf(dataType) != DataKind::Other;
}

dcStatus_t dcQsClient_t::applyAssetData(const char* fileName, const char* pcName, const char* dataType,
                                        dcPreparedAssetData_t&& prepared) {
  if (!fileName) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcQsClient_t::LoadAssetDataFromFile] fileName=%s,pcName=%x, dataType=%x",
                 fileName, dcTraceTag(pcName), dcTraceTag(dataType));
  char pcWord[kWordSize];
  char typeText[kWordSize];
  dataType = typeWord(fileName, pcName, dataType, pcWord, typeText);
  if (!dataType) return status = dcStatus::BAD_FILE_NAME;

  dcStatus_t result = dcStatus::OK;
  switch (kindOf(dataType)) {
    case DataKind::Hardware:
      result = hardwareList.LoadAssetData(fileName, std::move(prepared.values));
      break;
    case DataKind::Windows:
      result = windowsInfo.LoadAssetData(fileName, std::move(prepared.values));
      break;
    case DataKind::Software:
      result = softwareList.LoadAssetData(fileName, std::move(prepared.values));
      break;
    case DataKind::Usage:
      // Usage that cannot be read is not an error, nor is an unknown type.
      usageDocument.takeUsage(std::move(prepared.usage));
      return status = dcStatus::OK;
    case DataKind::Other:
      return status = dcStatus::OK;
  }
  if (result != dcStatus::OK) {
    theLog.pfWrite(this, 0, "[dcQsClient_t::loadFromFile] loadXml failed. %d %d", static_cast<int>(result),
                   sys::lastError());
    return status = result;
  }
  return status = dcStatus::OK;
}
