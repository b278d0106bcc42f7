// The setting manager on any file, asked for the keys the console uses and
// for keys from the input. The input is the settings file up to its last
// NUL byte; the lines after it are keys (patterns included).

#include "CSettingMgr.h"
#include "fuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::size_t lastNul = text.rfind('\0');
  const std::size_t fileSize = lastNul == std::string_view::npos ? size : lastNul + 1;
  const std::string path = fuzzsupport::writeInput("qslook.xml", data, fileSize);

  CSettingMgr settings(path.c_str());
  std::size_t bytes = 0;
  for (const char* key : {"logdata", "qssgrp", "pcname", "cpu", "*", "?*", "[a-z]*", "[!a]", "hardware"})
    if (const char* value = settings.GetValue(key)) bytes += std::strlen(value);
  fuzzsupport::forEachLine(std::string(text.substr(fileSize)), [&](const std::string& key) {
    // Twice: the second answer comes from the manager's cache.
    for (int pass = 0; pass < 2; ++pass)
      if (const char* value = settings.GetValue(key.c_str())) bytes += std::strlen(value);
  });
  return static_cast<int>(bytes & 0);
}
