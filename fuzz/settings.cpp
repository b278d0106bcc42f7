// The setting manager on any file, asked for the keys the console uses and
// for keys from the input. The input is the settings file up to its last
// NUL byte; the lines after it are keys (patterns included).

#include "CSettingMgr.h"
#include "fuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  std::size_t fileSize = size;
  while (fileSize > 0 && text[fileSize - 1] != '\0') --fileSize;
  if (fileSize == 0) fileSize = size;
  const std::string path = fuzzsupport::writeInput("qslook.xml", data, fileSize);

  CSettingMgr settings(path.c_str());
  std::size_t bytes = 0;
  for (const char* key : {"logdata", "qssgrp", "pcname", "cpu", "*", "?*", "[a-z]*", "[!a]", "hardware"})
    if (const char* value = settings.GetValue(key)) bytes += std::strlen(value);
  fuzzsupport::forEachLine(std::string(text + fileSize, size - fileSize), [&](const std::string& key) {
    // Twice: the second answer comes from the manager's cache.
    for (int pass = 0; pass < 2; ++pass)
      if (const char* value = settings.GetValue(key.c_str())) bytes += std::strlen(value);
  });
  return static_cast<int>(bytes & 0);
}
