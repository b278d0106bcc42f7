// The Windows information loader on any file, loaded twice into the same
// list and compared with the model after each load; then the item names
// read back.
#include "dcStringList.h"
#include "dcWindowsInfo.h"
#include "modelCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  dcWindowsInfo_t info;
  fuzzsupport::loadTwiceAsTheModel<dcmodel::WindowsInfo>(info, "PC WindowsInfo.xml", data, size);
  dcStringList_t names;
  info.getWindowsInfoItems(&names);
  return 0;
}
