#include "dcQsClient.h"

#include <algorithm>
#include <cstddef>

#include "cp949.h"
#include "dcLog.h"
#include "sys.h"

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

dcQsClient_t::dcQsClient_t(const char* name_) : dcObject_t(name_, CLASS_NAME, 0) {
  theLog.pfWrite(this, 1, "[dcQsClient_t::dcQsClient_t] Starting...");
  status = dcStatus::OK;
}

dcQsClient_t::~dcQsClient_t() {
  theLog.pfWrite(this, 1, "[dcQsClient_t::~dcQsClient_t] Closed.");
  status = dcStatus::OK;
}

dcStatus_t dcQsClient_t::LoadAssetDataFromFile(const char* fileName, const char* pcName,
                                               const char* dataType) {
  if (!fileName) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcQsClient_t::LoadAssetDataFromFile] fileName=%s,pcName=%x, dataType=%x",
                 fileName, dcTraceTag(pcName), dcTraceTag(dataType));
  char pcWord[kWordSize];
  char typeWord[kWordSize];
  if (!pcName || !dataType) {
    if (!splitTwoWords(fileName, pcWord, typeWord)) return status = dcStatus::BAD_FILE_NAME;
    dataType = typeWord;
  }

  dcStatus_t result;
  if (mb::compareNoCase(dataType, "HardwareInfo.xml") == 0) {
    result = hardwareList.LoadAssetData(fileName);
  } else if (mb::compareNoCase(dataType, "WindowsInfo.xml") == 0) {
    result = windowsInfo.LoadAssetData(fileName);
  } else if (mb::compareNoCase(dataType, "softwareinfo.xml") == 0) {
    result = softwareList.LoadAssetData(fileName);
  } else {
    // Usage that cannot be read is not an error, nor is an unknown type.
    if (mb::compareNoCase(dataType, "totalsuinfo.xml") == 0) usageDocument.LoadUsageData(fileName);
    return status = dcStatus::OK;
  }
  if (result != dcStatus::OK) {
    theLog.pfWrite(this, 0, "[dcQsClient_t::loadFromFile] loadXml failed. %d %d", static_cast<int>(result),
                   sys::lastError());
    return status = result;
  }
  return status = dcStatus::OK;
}
