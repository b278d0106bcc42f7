// Growth of the inventory lists' hot paths: loading a software list, merging
// usage trees into a group's document, and the find-then-add pattern of
// gathering hardware. Each runs at one size and at ten times that size; the
// time per item should stay about the same.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "dcHardwareList.h"
#include "dcSoftwareList.h"
#include "dcSoftwareUsage.h"
#include "dcXml.h"

namespace {

// A folder for generated data files, removed at exit.
const std::filesystem::path& scratch() {
  static const struct Folder {
    Folder() {
      path = std::filesystem::temp_directory_path() /
             ("desktally-bench-" + std::to_string(std::random_device{}()));
      std::filesystem::create_directories(path);
    }
    ~Folder() {
      std::error_code ec;
      std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path path;
  } folder;
  return folder.path;
}

// "softwareinfo.xml" with `programs` Program elements; one in ten repeats an
// earlier name in capitals, as agents report the same program twice.
std::string softwareFile(int programs) {
  static std::map<int, std::string> made;
  if (auto it = made.find(programs); it != made.end()) return it->second;
  std::string text = "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n<softwareinfo>\n";
  char line[128];
  for (int i = 0; i < programs; ++i) {
    if (i % 10 == 9)
      std::snprintf(line, sizeof line, "  <Program>PROGRAM %06d SETUP.EXE</Program>\n", i / 2);
    else
      std::snprintf(line, sizeof line, "  <Program>Program %06d Setup.exe</Program>\n", i);
    text += line;
  }
  text += "</softwareinfo>\n";
  const std::filesystem::path path = scratch() / ("PC" + std::to_string(programs) + " softwareinfo.xml");
  std::ofstream(path, std::ios::binary) << text;
  return made[programs] = path.string();
}

void BM_SoftwareLoad(benchmark::State& state) {
  const int programs = static_cast<int>(state.range(0));
  const std::string path = softwareFile(programs);
  for (auto _ : state) {
    dcSoftwareList_t list;
    benchmark::DoNotOptimize(list.LoadAssetData(path.c_str()));
  }
  state.SetItemsProcessed(state.iterations() * programs);
}
BENCHMARK(BM_SoftwareLoad)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);

// One client's usage: 100 programs (96 every client has, 4 of its own) over
// 30 days in a window that moves from client to client.
std::string usageTree(int client) {
  std::string text = "<?xml version=\"1.0\"?>\n<softwareusage>\n";
  char line[160];
  for (int p = 0; p < 100; ++p) {
    if (p < 96)
      std::snprintf(line, sizeof line, "<unit><progname>common%03d.exe</progname>", p);
    else
      std::snprintf(line, sizeof line, "<unit><progname>own%06d-%d.exe</progname>", client, p);
    text += line;
    for (int d = 0; d < 30; ++d) {
      const int day = (client % 60) + d;  // days 0..89 of a quarter
      std::snprintf(line, sizeof line, "<date tick=\"%d\">2004.%02d.%02d</date>", 1 + (client + p + d) % 40,
                    10 + day / 30, 1 + day % 30);
      text += line;
    }
    text += "</unit>\n";
  }
  text += "</softwareusage>\n";
  return text;
}

void BM_UsageMerge(benchmark::State& state) {
  const int trees = static_cast<int>(state.range(0));
  for (auto _ : state) {
    dcSoftwareUsageDocument_t group;
    std::unique_ptr<dcXmlDocument_t> client;
    for (int t = 0; t < trees; ++t) {
      // Making and freeing the client trees stays out of the timing.
      state.PauseTiming();
      client = std::make_unique<dcXmlDocument_t>();
      const std::string text = usageTree(t);
      client->options = XOPT_INVENTORY;
      client->loadText(text.c_str(), text.size());
      state.ResumeTiming();
      group.merge(dcXmlHandle_t(client->root));
    }
    state.PauseTiming();
    client.reset();
    state.ResumeTiming();
    benchmark::DoNotOptimize(group.getRootNode().childCount());
  }
  state.SetItemsProcessed(state.iterations() * trees * 100 * 30);
  state.SetLabel("program-days merged");
}
BENCHMARK(BM_UsageMerge)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(1);

// Gathering hardware: look every item up, add it when missing.
void BM_HardwareGather(benchmark::State& state) {
  const int items = static_cast<int>(state.range(0));
  char category[32], description[64];
  for (auto _ : state) {
    dcHardwareList_t group;
    for (int round = 0; round < 2; ++round)
      for (int i = 0; i < items; ++i) {
        std::snprintf(category, sizeof category, "Category %d", i % 12);
        std::snprintf(description, sizeof description, "Device model %08d rev A", i);
        if (!group.find(category, "Undefined", description)) group.add(category, "Undefined", description, 1);
      }
  }
  state.SetItemsProcessed(state.iterations() * items * 2);
}
BENCHMARK(BM_HardwareGather)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

// Every iteration builds and frees whole lists; left alone, the allocator
// hands those pages back to the system at each free and the timings measure
// page faults rather than the lists.
int main(int argc, char** argv) {
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
