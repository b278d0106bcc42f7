// The group file reader on any file, into the root of a fresh engine; a
// file that ends before its counts say raises the archive's read error,
// which the data load reports. The tree built so far is then written out
// and gathered, as a load would, and cleared.
#include "dcDataLoad.h"
#include "fuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzzsupport::writeInput("qsgroup.dat", data, size);
  dcAssetConsoleEngine_t engine;
  isCurrentGroupFile(path.c_str());
  try {
    readGroupFile(path.c_str());
  } catch (const dcArchiveException_t&) {
  }
  engine.root.saveHierarchyToFile("qsHierarchy.log");
  engine.root.gatherGroupInfo();
  engine.root.clear();
  return 0;
}
