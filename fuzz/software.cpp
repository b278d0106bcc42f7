// The software loader on any file, loaded twice into the same list, then
// every entry read back and copied into a second list.
#include <cstring>

#include "dcSoftwareList.h"
#include "inventorySite.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzsupport::installSite();
  const std::string path = fuzzsupport::writeInput("PC softwareinfo.xml", data, size);
  dcSoftwareList_t list;
  for (int pass = 0; pass < 2; ++pass) list.LoadAssetData(path.c_str());
  dcSoftwareList_t copy;
  std::size_t bytes = 0;
  for (dcSoftwareInfo_t* e = list.entries; e; e = e->next) {
    bytes += std::strlen(e->packageName) + std::strlen(e->fileName) + std::strlen(e->versionString);
    copy.add(e);
  }
  return static_cast<int>(bytes & 0);
}
