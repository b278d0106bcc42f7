// The Windows information loader on any file, loaded twice into the same
// list, then every item read back.
#include <cstring>

#include "dcStringList.h"
#include "dcWindowsInfo.h"
#include "inventorySite.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzsupport::installSite();
  const std::string path = fuzzsupport::writeInput("PC WindowsInfo.xml", data, size);
  dcWindowsInfo_t info;
  for (int pass = 0; pass < 2; ++pass) info.LoadAssetData(path.c_str());
  std::size_t bytes = 0;
  for (dcWindowsInfoItem_t* i = info.items; i; i = i->next)
    bytes += std::strlen(i->name) + std::strlen(i->description);
  dcStringList_t names;
  info.getWindowsInfoItems(&names);
  return static_cast<int>(bytes & 0);
}
