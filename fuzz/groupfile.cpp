// The group file reader on any file, into the root of a fresh engine, and
// compared with the model: the same tree, and the archive's read error
// exactly when the model runs out of bytes. The tree is then written out
// and gathered, as a load would, and cleared.
#include "dcDataLoad.h"
#include "dcModel.h"
#include "fuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzzsupport::writeInput("qsgroup.dat", data, size);
  dcAssetConsoleEngine_t engine;
  isCurrentGroupFile(path.c_str());
  bool whole = true;
  try {
    readGroupFile(path.c_str());
  } catch (const dcArchiveException_t&) {
    whole = false;
  }
  dcmodel::Group expected{engine.root.name};
  if (whole != dcmodel::readGroupFile(testutil::readFile(path), expected) ||
      dcmodel::describeTree(engine.root) != dcmodel::describeTree(expected))
    __builtin_trap();
  engine.root.saveHierarchyToFile("qsHierarchy.log");
  engine.root.gatherGroupInfo();
  engine.root.clear();
  return 0;
}
