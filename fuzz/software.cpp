// The software loader on any file, loaded twice into the same list and
// compared with the model after each load; then every entry copied into a
// second list.
#include "dcSoftwareList.h"
#include "modelCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  dcSoftwareList_t list;
  fuzzsupport::loadTwiceAsTheModel<dcmodel::SoftwareList>(list, "PC softwareinfo.xml", data, size);
  dcSoftwareList_t copy;
  for (dcSoftwareInfo_t* e = list.entries; e; e = e->next) copy.add(e);
  fuzzsupport::same(dcmodel::describe(copy) == dcmodel::describe(list));
  return 0;
}
