// The usage loader on any file; the tree merged twice into a group's
// document (the second merge runs the merge proper, not the first copy),
// then summed over a fixed period and over a period read from the input.
// The same file gathered from a client whose tree was never built (the
// text read directly where it has the agents' layout) must sum alike.
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
  dcSoftwareUsageDocument_t pending;
  pending.LoadUsageData(path.c_str());
  dcSoftwareUsageDocument_t gathered;
  gathered.mergeFrom(pending);
  gathered.mergeFrom(pending);
  std::size_t bytes = 0;
  const auto lines = group.summarize("2000.01.01", "2099.12.31");
  const auto gatheredLines = gathered.summarize("2000.01.01", "2099.12.31");
  if (lines.size() != gatheredLines.size()) __builtin_trap();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].name != gatheredLines[i].name || lines[i].minutes != gatheredLines[i].minutes)
      __builtin_trap();
    bytes += lines[i].name.size();
  }
  // The last 20 bytes as two days of ten, as the period picker writes them.
  if (size >= 20) {
    const std::string first(reinterpret_cast<const char*>(data) + size - 20, 10);
    const std::string last(reinterpret_cast<const char*>(data) + size - 10, 10);
    for (const auto& line : client.summarize(first.c_str(), last.c_str())) bytes += line.minutes.size();
  }
  return static_cast<int>(bytes & 0);
}
