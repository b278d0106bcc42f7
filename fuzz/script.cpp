// A start-up script of any content, read by the console's engine line by
// line, in the scratch folder with the process services replaced.

#include "dcAssetConsoleEngine.h"
#include "fuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!fuzzsupport::harmlessCommands(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
  const std::string path = fuzzsupport::writeInput("qsAssetConsole.ini", data, size);
  dcAssetConsoleEngine_t engine;
  engine.loadIni(path.c_str());
  engine.initialize(nullptr);
  engine.deinitialize();
  return 0;
}
