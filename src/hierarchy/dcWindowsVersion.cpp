#include "dcWindowsVersion.h"

#include <new>

#include "cp949.h"

dcWindowsVersion_t::~dcWindowsVersion_t() { delete pBackwardLinks; }

dcWindowsVersion_t* dcWindowsVersion_t::create(const char* version) {
  auto* entry = new (std::nothrow) dcWindowsVersion_t;
  if (!entry) return nullptr;
  entry->pBackwardLinks = new (std::nothrow) dcpgBackwardLinks_t;
  if (!entry->pBackwardLinks) {
    delete entry;
    return nullptr;
  }
  mb::copyBounded(entry->version, version ? version : "");
  return entry;
}
