// The hardware loader on any file, loaded twice into the same list, then
// every category and item read back.
#include <cstring>

#include "dcHardwareList.h"
#include "dcStringList.h"
#include "inventorySite.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzsupport::installSite();
  const std::string path = fuzzsupport::writeInput("PC HardwareInfo.xml", data, size);
  dcHardwareList_t list;
  for (int pass = 0; pass < 2; ++pass) list.LoadAssetData(path.c_str());
  std::size_t bytes = 0;
  for (dcHardwareListNode_t* c = list.categories; c; c = c->next)
    for (dcHardwareItem_t* i = c->pInfo->items; i; i = i->next)
      bytes += std::strlen(i->device) + std::strlen(i->description);
  dcStringList_t names;
  list.getHardwareNames(&names);
  return static_cast<int>(bytes & 0);
}
