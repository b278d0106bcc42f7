// Gathering a whole site: clients in groups two levels deep, each client
// with installed programs from a shared pool, hardware items and daily
// program usage, gathered up to the root.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "dcQsGroup.h"
#include "dcXml.h"

namespace {

constexpr int kClientsPerGroup = 50;
constexpr int kTopGroups = 10;
constexpr int kProgramsPerClient = 150;
constexpr int kProgramPool = 5000;
constexpr int kHardwareItems = 30;
constexpr int kUsedPrograms = 40;
constexpr int kDays = 30;

std::string day(int d) {
  char text[16];
  std::snprintf(text, sizeof text, "2004.12.%.2d", d + 1);
  return text;
}

// A usage document as an agent would write it: each used program with its
// ticks on every day of the period.
std::string usageText(std::mt19937& rng, int daysPerProgram) {
  std::string text = "<softwareusage>";
  std::uniform_int_distribution<int> program(0, kProgramPool - 1), ticks(1, 60), start(0, kDays - 1);
  for (int p = 0; p < kUsedPrograms; ++p) {
    text += "<unit><progname>prog" + std::to_string(program(rng)) + ".exe</progname>";
    const int first = daysPerProgram == kDays ? 0 : start(rng);
    for (int d = 0; d < daysPerProgram; ++d)
      text += "<date tick=\"" + std::to_string(ticks(rng)) + "\">" + day((first + d) % kDays) + "</date>";
    text += "</unit>";
  }
  return text + "</softwareusage>";
}

// Builds the site under root: groups first (as the group file does), then
// clients by group id, then each client's inventories.
void buildSite(dcQsGroup_t& root, int clients, int daysPerProgram) {
  const int groups = clients / kClientsPerGroup;
  for (int g = 1; g <= groups; ++g) {
    const int parent = g <= kTopGroups ? 0 : 1 + (g % kTopGroups);
    root.addChild(parent, g, ("G" + std::to_string(g)).c_str());
  }
  std::mt19937 rng(42);
  std::uniform_int_distribution<int> program(0, kProgramPool - 1), model(0, 99);
  static const char* const kCategories[] = {"CPU",     "Memory", "Disk",    "Video",    "Sound",
                                            "Network", "Board",  "Monitor", "Keyboard", "Mouse"};
  for (int c = 0; c < clients; ++c) {
    const std::string name = "PC" + std::to_string(c);
    dcQsClient_t* client = root.addClient(1 + c % std::max(groups, 1), name.c_str());
    if (!client) client = root.addClient(name.c_str());
    for (int p = 0; p < kProgramsPerClient; ++p) {
      const std::string file = "prog" + std::to_string(program(rng)) + ".exe";
      client->softwareList.add(file.c_str(), file.c_str(), "Not defined");
    }
    for (int h = 0; h < kHardwareItems; ++h) {
      const std::string description =
          h % 3 == 0 ? "serial " + name + "-" + std::to_string(h) : "model " + std::to_string(model(rng));
      client->hardwareList.add(kCategories[h % 10], "Undefined", description.c_str(), 1);
    }
    client->windowsInfo.add("WindowsVersion", c % 3 ? "Windows XP" : "Windows 2000");
    const std::string usage = usageText(rng, daysPerProgram);
    dcXmlDocument_t doc;
    doc.loadText(usage.c_str(), usage.size());
    client->usageDocument.merge(dcXmlHandle_t(doc.root));
  }
}

// Processor time of the process: the machine may be shared, so wall-clock
// time would count other programs' work.
double cpuNow() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}
double secondsSince(double start) { return cpuNow() - start; }

// Gathering time; each step, building, look-ups and destruction reported
// as counters of processor seconds.
void BM_GatherSite(benchmark::State& state) {
  const int clients = static_cast<int>(state.range(0));
  const int daysPerProgram = static_cast<int>(state.range(1));
  for (auto _ : state) {
    state.PauseTiming();
    auto root = std::make_unique<dcQsGroup_t>("root");
    auto start = cpuNow();
    buildSite(*root, clients, daysPerProgram);
    state.counters["build_s"] = secondsSince(start);
    // The data-folder scan: one look-up per inventory file.
    start = cpuNow();
    for (int f = 0; f < 4 * clients; ++f)
      benchmark::DoNotOptimize(root->findClient(("PC" + std::to_string(f % clients)).c_str()));
    state.counters["find_s"] = secondsSince(start);
    state.ResumeTiming();

    // gatherGroupInfo's six steps, timed one by one.
    struct Step {
      const char* counter;
      dcStatus_t (dcQsGroup_t::*run)();
    };
    static constexpr Step kSteps[] = {{"software_s", &dcQsGroup_t::gatherSoftwares},
                                      {"hardware_s", &dcQsGroup_t::gatherHardwares},
                                      {"hwnames_s", &dcQsGroup_t::gatherHardwareNames},
                                      {"versions_s", &dcQsGroup_t::gatherWindowsVersions},
                                      {"winitems_s", &dcQsGroup_t::gatherWindowsInfoItems},
                                      {"usage_s", &dcQsGroup_t::gatherSoftwareUsages}};
    for (const Step& step : kSteps) {
      const auto stepStart = cpuNow();
      benchmark::DoNotOptimize(((*root).*step.run)());
      state.counters[step.counter] = secondsSince(stepStart);
    }

    state.PauseTiming();
    std::uint32_t entries = 0;
    for (dcSoftwareInfo_t* e = root->softwareList.entries; e; e = e->next) ++entries;
    state.counters["root_programs"] = entries;
    start = cpuNow();
    root.reset();
    state.counters["destroy_s"] = secondsSince(start);
    state.ResumeTiming();
  }
}

}  // namespace

BENCHMARK(BM_GatherSite)
    ->Args({1000, 3})
    ->Args({10000, 3})
    ->Args({1000, kDays})  // every program every day: ten times the program-days
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

BENCHMARK_MAIN();
