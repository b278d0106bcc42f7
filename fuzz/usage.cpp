// The usage loader on any file; the tree merged twice into a group's
// document (the second merge runs the merge proper, not the first copy),
// then summed over a fixed period and over a period read from the input.
#include <cstring>
#include <string>

#include "dcSoftwareUsage.h"
#include "inventorySite.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzsupport::installSite();
  const std::string path = fuzzsupport::writeInput("PC totalsuinfo.xml", data, size);
  dcSoftwareUsageDocument_t client;
  client.LoadUsageData(path.c_str());
  dcSoftwareUsageDocument_t group;
  group.merge(client.getRootNode());
  group.merge(client.getRootNode());
  std::size_t bytes = 0;
  for (const auto& line : group.summarize("2000.01.01", "2099.12.31")) bytes += line.name.size();
  // The last 20 bytes as two days of ten, as the period picker writes them.
  if (size >= 20) {
    const std::string first(reinterpret_cast<const char*>(data) + size - 20, 10);
    const std::string last(reinterpret_cast<const char*>(data) + size - 10, 10);
    for (const auto& line : client.summarize(first.c_str(), last.c_str())) bytes += line.minutes.size();
  }
  return static_cast<int>(bytes & 0);
}
