// The Windows information loader on any file, loaded twice into the same
// list and compared with the model after each load; then the item names
// read back.
#include "dcStringList.h"
#include "dcWindowsInfo.h"
#include "inventorySite.h"
#include "modelCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzsupport::installSite();
  const std::string path = fuzzsupport::writeInput("PC WindowsInfo.xml", data, size);
  dcWindowsInfo_t info;
  std::vector<dcmodel::loaders::WindowsItem> expected;
  for (int pass = 0; pass < 2; ++pass) {
    fuzzsupport::same(info.LoadAssetData(path.c_str()),
                      dcmodel::loaders::loadWindows(expected, path, fuzzsupport::modelSettings(),
                                                    &fuzzsupport::modelFilters()));
    fuzzsupport::same(dcmodel::loaders::describe(info), dcmodel::loaders::describe(expected));
  }
  dcStringList_t names;
  info.getWindowsInfoItems(&names);
  return 0;
}
