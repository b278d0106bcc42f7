// Parse throughput of our parser and of pugixml on the same generated
// usage-inventory files of 4 KB, 64 KB and 4 MB, with a side-by-side summary.
//
// Both parse in place into a tree that is then freed, from a fresh copy of
// the text each iteration. pugixml runs with the constructs ours builds
// under XOPT_INVENTORY (processing instructions, declarations, comments,
// CDATA, document types) and trimmed text; neither decodes references nor
// normalises line ends. Ours also trims attribute values, which pugixml
// cannot.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <pugixml.hpp>
#include <random>
#include <string>
#include <vector>

#include "dcXml.h"

namespace {

constexpr unsigned kPugiFlags = pugi::parse_pi | pugi::parse_declaration | pugi::parse_comments |
                                pugi::parse_cdata | pugi::parse_doctype | pugi::parse_trim_pcdata;

// A "totalsuinfo.xml"-like document: programs with their name and days of
// use, some names in Korean, grown until it reaches size bytes.
std::string inventory(std::size_t size) {
  std::minstd_rand rng(static_cast<unsigned>(size));
  static const char* kNames[] = {"notepad.exe",
                                 "EXCEL.EXE",
                                 "\xB8\xDE\xB8\xF0\xC0\xE5.exe" /* 메모장 */,
                                 "iexplore.exe",
                                 "\xC7\xD1\xB1\xDB 2004" /* 한글 */,
                                 "winword.exe"};
  std::string out = "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n<!-- usage -->\r\n<softwareusage>\r\n";
  const std::string tail = "</softwareusage>\r\n";
  char line[160];
  for (int unit = 0; out.size() + tail.size() < size; ++unit) {
    std::string u = "\t<unit>\r\n\t\t<progname>" + std::string(kNames[rng() % 6]) + "</progname>\r\n";
    for (int d = static_cast<int>(rng() % 12); d >= 0; --d) {
      std::snprintf(line, sizeof line, "\t\t<date tick=\"%u\">2004.%.2u.%.2u</date>\r\n",
                    static_cast<unsigned>(rng() % 480), static_cast<unsigned>(1 + rng() % 12),
                    static_cast<unsigned>(1 + rng() % 28));
      u += line;
    }
    u += "\t</unit>\r\n";
    if (out.size() + u.size() + tail.size() > size && unit > 0) break;
    out += u;
  }
  return out + tail;
}

void parseOurs(benchmark::State& state, const std::string& text) {
  std::vector<char> buffer(text.size() + 1);
  for (auto _ : state) {
    std::memcpy(buffer.data(), text.c_str(), text.size() + 1);
    dcXmlNode_t* doc = xmlNewNode(XN_DOCUMENT);
    doc->parent = doc;
    benchmark::DoNotOptimize(xmlParse(buffer.data(), doc, 4, XOPT_INVENTORY));
    xmlFreeTree(doc);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void parsePugi(benchmark::State& state, const std::string& text) {
  std::vector<char> buffer(text.size() + 1);
  for (auto _ : state) {
    std::memcpy(buffer.data(), text.c_str(), text.size() + 1);
    pugi::xml_document doc;
    benchmark::DoNotOptimize(
        doc.load_buffer_inplace(buffer.data(), text.size(), kPugiFlags, pugi::encoding_utf8));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// Prints each run as usual and, at the end, ours against pugixml per size.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      // With --benchmark_repetitions the median is the figure kept.
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      const std::string name = run.run_name.function_name;
      const auto rate = run.counters.find("bytes_per_second");
      if (rate == run.counters.end()) continue;
      auto& entry = rates_[name.substr(name.rfind('/') + 1)];
      (name.find("/ours/") != std::string::npos ? entry.first : entry.second) = rate->second.value / 1e6;
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-8s %14s %14s %8s\n", "size", "ours MB/s", "pugixml MB/s", "ratio");
    for (const auto& [size, r] : rates_)
      std::printf("%-8s %14.1f %14.1f %7.2fx\n", size.c_str(), r.first, r.second,
                  r.second > 0 ? r.first / r.second : 0);
  }

 private:
  std::map<std::string, std::pair<double, double>> rates_;
};

}  // namespace

int main(int argc, char** argv) {
  // Keep freed memory in the process: otherwise every iteration of the 4 MB
  // runs hands tens of megabytes back to the kernel and faults them in
  // again, and page faults (very slow in a virtual machine) swamp both
  // parsers alike.
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  static const std::pair<const char*, std::size_t> kSizes[] = {
      {"4KB", 4 << 10}, {"64KB", 64 << 10}, {"4MB", 4 << 20}};
  std::vector<std::string> texts;
  texts.reserve(std::size(kSizes));
  for (const auto& [label, size] : kSizes) {
    texts.push_back(inventory(size));
    const std::string& text = texts.back();
    benchmark::RegisterBenchmark((std::string("xml_parse/ours/") + label).c_str(),
                                 [&text](benchmark::State& s) { parseOurs(s, text); });
    benchmark::RegisterBenchmark((std::string("xml_parse/pugixml/") + label).c_str(),
                                 [&text](benchmark::State& s) { parsePugi(s, text); });
  }
  benchmark::Initialize(&argc, argv);
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
