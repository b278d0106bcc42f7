// The hardware loader on any file, loaded twice into the same list and
// compared with the model after each load; then the category names read
// back.
#include "dcHardwareList.h"
#include "dcStringList.h"
#include "modelCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  dcHardwareList_t list;
  fuzzsupport::loadTwiceAsTheModel<dcmodel::HardwareList>(list, "PC HardwareInfo.xml", data, size);
  dcStringList_t names;
  list.getHardwareNames(&names);
  return 0;
}
