// Peak memory of a load on hostile input, for the record:
//   hostile_peak nested|tiny|hardware|software|usage [megabytes]
// writes a file of that kind to the temporary folder, loads it the way the
// console does, deletes it and prints the peak resident size (ru_maxrss).
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "dcHardwareList.h"
#include "dcSoftwareList.h"
#include "dcSoftwareUsage.h"
#include "dcXml.h"
#include "inventorySite.h"

namespace {

long peakKb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Writes pieces from next() until the file holds at least bytes bytes.
void writeFile(const std::string& path, std::size_t bytes, const std::string& head, const std::string& tail,
               const std::function<std::string(std::size_t)>& next) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << head;
  std::size_t written = head.size();
  std::string block;
  for (std::size_t i = 0; written < bytes; ++i) {
    block += next(i);
    if (block.size() >= (1u << 20)) {
      out << block;
      written += block.size();
      block.clear();
    }
  }
  out << block << tail;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string kind = argc > 1 ? argv[1] : "nested";
  const bool xmlOnly = kind == "nested" || kind == "tiny";
  const std::size_t bytes = (argc > 2 ? std::stoul(argv[2]) : (xmlOnly ? 50 : 200)) << 20;
  fuzzsupport::installSite();
  const std::string path = (fuzzsupport::scratch() / ("PC " + kind + ".xml")).string();

  if (kind == "nested")  // one element inside the other, all the way down
    writeFile(path, bytes, "", "", [](std::size_t) { return std::string("<a>"); });
  else if (kind == "tiny")  // small nested groups side by side
    writeFile(path, bytes, "<r>", "</r>", [](std::size_t) { return std::string("<a><b><c/></b></a>"); });
  else if (kind == "hardware")
    writeFile(path, bytes, "<hardwareinfo>", "</hardwareinfo>",
              [](std::size_t i) { return "<cpu>CPU model " + std::to_string(i) + "</cpu>"; });
  else if (kind == "software")
    writeFile(path, bytes, "<softwareinfo>", "</softwareinfo>",
              [](std::size_t i) { return "<Program>Program " + std::to_string(i) + " 1.0</Program>"; });
  else if (kind == "usage")
    writeFile(path, bytes, "<softwareusage>", "</softwareusage>", [](std::size_t i) {
      return "<unit><progname>p" + std::to_string(i % 5000) + ".exe</progname><date tick=\"5\">2004.12." +
             std::to_string(10 + i % 20) + "</date></unit>";
    });
  else {
    std::fprintf(stderr, "usage: hostile_peak nested|tiny|hardware|software|usage [megabytes]\n");
    return 2;
  }

  const long before = peakKb();
  const auto start = std::chrono::steady_clock::now();
  long result = 0;
  if (xmlOnly) {
    dcXmlDocument_t doc;
    result = doc.load(path.c_str());
  } else if (kind == "hardware") {
    dcHardwareList_t list;
    result = list.LoadAssetData(path.c_str());
  } else if (kind == "software") {
    dcSoftwareList_t list;
    result = list.LoadAssetData(path.c_str());
  } else {
    dcSoftwareUsageDocument_t doc;
    result = doc.LoadUsageData(path.c_str());
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::filesystem::remove(path);
  std::printf("%s %zu MB: result %ld, %.1f s, peak %ld MB (before the load %ld MB)\n", kind.c_str(),
              bytes >> 20, result, seconds, peakKb() / 1024, before / 1024);
  return 0;
}
