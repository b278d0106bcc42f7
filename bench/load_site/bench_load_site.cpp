// A whole site loaded as the console loads it at start-up: group file, every
// inventory file of the data folder, "qsHierarchy.log" and the gathering up
// to the root, for sitegen sites of 1,000 and 10,000 PCs. Beside it, the time
// pugixml needs merely to read and parse the same files, and the hardware
// by PC view of the root. After the runs: a summary with the ratio to the
// pure parse, the scaling from 1,000 to 10,000 PCs, the peak memory and what
// holds the heap after a load.
//
// The sites are written once by tools/sitegen (found beside this program's
// build folder, or named by SITEGEN) into a temporary folder that goes at
// the end, or into DESKTALLY_BENCH_SITES, which is kept and reused.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "CSettingMgr.h"
#include "dcAssetConsoleEngine.h"
#include "dcDataLoad.h"
#include "dcListViews.h"
#include "dcXml.h"
#include "sys.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* PROFILE =
    "--programs 150 --pool 5000 --hardware 30 --windows 15 --usage-programs 40 --days 30 --seed 11";

// Where the sites live, and whether they go at exit.
struct SiteRoot {
  fs::path folder;
  bool keep = false;
  SiteRoot() {
    if (const char* kept = std::getenv("DESKTALLY_BENCH_SITES")) {
      folder = kept;
      keep = true;
    } else {
      folder = fs::temp_directory_path() / ("desktally-bench-" + std::to_string(::getpid()));
    }
    fs::create_directories(folder);
  }
  ~SiteRoot() {
    std::error_code ec;
    if (!keep) fs::remove_all(folder, ec);
  }
};

SiteRoot& siteRoot() {
  static SiteRoot root;
  return root;
}

fs::path sitegenPath() {
  if (const char* named = std::getenv("SITEGEN")) return named;
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return self.parent_path().parent_path() / "tools" / "sitegen";
}

// The site of pcs PCs, written on first use.
fs::path site(int pcs) {
  const fs::path folder = siteRoot().folder / ("pcs" + std::to_string(pcs));
  if (fs::exists(folder / "qss" / "qsgroup.dat")) return folder;
  const std::string command = sitegenPath().string() + " --out " + folder.string() + " --pcs " +
                              std::to_string(pcs) + " --groups " + std::to_string(pcs / 100) + " --depth 3 " +
                              PROFILE + " > /dev/null";
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "bench_load_site: cannot write the site with: %s\n", command.c_str());
    std::exit(1);
  }
  return folder;
}

// Drive C: and the settings of one site, for as long as the object lives.
class SiteSession {
 public:
  explicit SiteSession(const fs::path& folder) {
    ::setenv("DESKTALLY_DRIVE_C", folder.c_str(), 1);
    settings_ = std::make_unique<CSettingMgr>(CSettingMgr::DEFAULT_PATH);
    use_ = std::make_unique<CSettingMgrOverride>(settings_.get());
  }

 private:
  std::unique_ptr<CSettingMgr> settings_;
  std::unique_ptr<CSettingMgrOverride> use_;
};

std::size_t heapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

double peakRssMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

// CPU time of the process in milliseconds: on a machine shared with other
// work the wall-clock times swing, the CPU times much less.
double cpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

double mb(std::size_t bytes) { return bytes / (1024.0 * 1024.0); }

// Milliseconds per run of each measurement, for the summary.
struct Measured {
  double loadMs = 0;
  double parseMs = 0;
  double loadCpuMs = 0;
  double parseCpuMs = 0;
  double viewMs = 0;
  double viewCpuMs = 0;
  double peakMb = 0;
  double heapMb = 0;
  std::size_t files = 0;
  std::size_t bytes = 0;
};
std::map<int, Measured> measured;

void BM_LoadSite(benchmark::State& state) {
  const int pcs = static_cast<int>(state.range(0));
  SiteSession session(site(pcs));
  double totalMs = 0;
  double totalCpuMs = 0;
  for (auto _ : state) {
    auto engine = std::make_unique<dcAssetConsoleEngine_t>();
    const double cpuStart = cpuMs();
    const auto start = std::chrono::steady_clock::now();
    runDataLoad(engine.get());
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    totalCpuMs += cpuMs() - cpuStart;
    state.SetIterationTime(took.count());
    totalMs += took.count() * 1000.0;
    measured[pcs].heapMb = mb(heapInUse());
  }
  measured[pcs].loadMs = totalMs / static_cast<double>(state.iterations());
  measured[pcs].loadCpuMs = totalCpuMs / static_cast<double>(state.iterations());
  measured[pcs].peakMb = peakRssMb();
  state.counters["peak_rss_MB"] = measured[pcs].peakMb;
  state.counters["heap_after_load_MB"] = measured[pcs].heapMb;
}

void BM_PugixmlReadAndParse(benchmark::State& state) {
  const int pcs = static_cast<int>(state.range(0));
  const fs::path data = site(pcs) / "qss" / "data";
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(data))
    if (entry.path().extension() == ".xml") files.push_back(entry.path());
  std::size_t bytes = 0;
  double totalMs = 0;
  double totalCpuMs = 0;
  for (auto _ : state) {
    const double cpuStart = cpuMs();
    const auto start = std::chrono::steady_clock::now();
    bytes = 0;
    for (const fs::path& file : files) {
      pugi::xml_document doc;
      const pugi::xml_parse_result result =
          doc.load_file(file.c_str(), pugi::parse_default, pugi::encoding_utf8);
      benchmark::DoNotOptimize(result.status);
      bytes += fs::file_size(file);
    }
    totalMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    totalCpuMs += cpuMs() - cpuStart;
  }
  measured[pcs].parseMs = totalMs / static_cast<double>(state.iterations());
  measured[pcs].parseCpuMs = totalCpuMs / static_cast<double>(state.iterations());
  measured[pcs].files = files.size();
  measured[pcs].bytes = bytes;
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
}

void BM_ViewHardwareByPcOfRoot(benchmark::State& state) {
  const int pcs = static_cast<int>(state.range(0));
  SiteSession session(site(pcs));
  auto engine = std::make_unique<dcAssetConsoleEngine_t>();
  runDataLoad(engine.get());
  dcViewList_t list;
  double totalMs = 0;
  double totalCpuMs = 0;
  for (auto _ : state) {
    const double cpuStart = cpuMs();
    const auto start = std::chrono::steady_clock::now();
    dcviews::hardwareByPc(&engine->root, list);
    totalMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    totalCpuMs += cpuMs() - cpuStart;
    benchmark::DoNotOptimize(list.rows.data());
  }
  measured[pcs].viewMs = totalMs / static_cast<double>(state.iterations());
  measured[pcs].viewCpuMs = totalCpuMs / static_cast<double>(state.iterations());
  state.counters["rows"] = static_cast<double>(list.rows.size());
  state.counters["columns"] = static_cast<double>(list.columns.size());
}

BENCHMARK(BM_LoadSite)->Arg(1000)->Arg(10000)->Iterations(3)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_PugixmlReadAndParse)->Arg(1000)->Arg(10000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewHardwareByPcOfRoot)->Arg(1000)->Arg(10000)->Iterations(5)->Unit(benchmark::kMillisecond);

// What holds the heap after a load of the site: the load done step by step,
// one kind of inventory file at a time, with the heap measured in between;
// then the parse trees that the hardware, Windows and software lists keep
// after reading, dropped to see their share.
void memoryBreakdown(int pcs) {
  const fs::path folder = site(pcs);
  SiteSession session(folder);
  auto engine = std::make_unique<dcAssetConsoleEngine_t>();
  const std::size_t base = heapInUse();
  std::vector<std::pair<std::string, std::size_t>> rows;
  std::size_t last = base;
  auto step = [&](const std::string& what) {
    const std::size_t now = heapInUse();
    rows.emplace_back(what, now - last);
    last = now;
  };

  engine->root.clear();
  loadGroupFile(engine.get());
  step("groups and empty clients");
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder / "qss" / "data"))
    names.push_back(entry.path().filename());
  for (const char* type : {"HardwareInfo.xml", "WindowsInfo.xml", "softwareinfo.xml", "totalsuinfo.xml"}) {
    for (const std::string& name : names) {
      const std::size_t blank = name.find(' ');
      if (blank == std::string::npos || name.compare(blank + 1, std::string::npos, type) != 0) continue;
      const std::string pc = name.substr(0, blank);
      dcQsClient_t* client = engine->root.findClient(pc.c_str());
      if (!client) continue;
      const std::string path = "C:\\QSS\\data\\" + name;
      client->LoadAssetDataFromFile(path.c_str(), pc.c_str(), type);
    }
    step(std::string("clients: ") + type);
  }
  engine->root.gatherGroupInfo();
  step("gathered lists of all groups");

  // The raw text and text copy of every client's usage document.
  std::size_t usageText = 0;
  std::size_t clients = 0;
  dcQsClientNode_t* all = nullptr;
  engine->root.collectClients(all);
  for (dcQsClientNode_t* n = all; n; n = n->next) {
    ++clients;
    usageText += n->pClient->usageDocument.textStream.capacity();
    if (n->pClient->usageDocument.pText) usageText += std::strlen(n->pClient->usageDocument.pText) + 1;
  }
  // Drop the parse trees the three lists keep after reading.
  for (dcQsClientNode_t* n = all; n; n = n->next) {
    dcQsClient_t* c = n->pClient;
    for (dcXmlDocument_t** doc :
         {&c->hardwareList.document, &c->windowsInfo.document, &c->softwareList.document}) {
      delete *doc;
      *doc = nullptr;
    }
  }
  dcQsGroup_t::freeClientNodes(all);
  const std::size_t keptTrees = last - heapInUse();
  const std::size_t total = last - base;

  std::printf("\nHeap held after loading %d PCs (%zu clients): %.1f MB (peak RSS so far %.1f MB)\n", pcs,
              clients, mb(total), peakRssMb());
  for (const auto& [what, bytes] : rows) std::printf("  %-40s %9.1f MB\n", what.c_str(), mb(bytes));
  std::printf("  of which\n");
  std::printf("    %-38s %9.1f MB\n", "parse trees kept by hardware, Windows", mb(keptTrees));
  std::printf("    %-38s %9s\n", "  and software lists after reading", "");
  std::printf("    %-38s %9.1f MB\n", "usage documents' raw text + text copy", mb(usageText));
}

void summary() {
  std::printf("\nSummary (per full run; wall clock, and CPU time of this process)\n");
  std::printf("  %6s %6s %8s %19s %19s %13s %9s %9s %19s\n", "PCs", "files", "data MB", "load+gather ms",
              "pugixml parse ms", "ratio", "peak RSS", "heap held", "view hw/PC ms");
  std::printf("  %6s %6s %8s %9s %9s %9s %9s %6s %6s %9s %9s %9s %9s\n", "", "", "", "wall", "cpu", "wall",
              "cpu", "wall", "cpu", "MB", "MB", "wall", "cpu");
  for (const auto& [pcs, m] : measured) {
    auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    std::printf("  %6d %6zu %8.1f %9.0f %9.0f %9.0f %9.0f %5.1fx %5.1fx %9.0f %9.0f %9.1f %9.1f\n", pcs,
                m.files, mb(m.bytes), m.loadMs, m.loadCpuMs, m.parseMs, m.parseCpuMs,
                ratio(m.loadMs, m.parseMs), ratio(m.loadCpuMs, m.parseCpuMs), m.peakMb, m.heapMb, m.viewMs,
                m.viewCpuMs);
  }
  if (measured.count(1000) && measured.count(10000) && measured[1000].loadMs > 0 &&
      measured[1000].loadCpuMs > 0)
    std::printf("  10x the PCs: %.1fx the load time (wall), %.1fx (cpu)\n",
                measured[10000].loadMs / measured[1000].loadMs,
                measured[10000].loadCpuMs / measured[1000].loadCpuMs);
  std::printf(
      "  targets: 10,000 PCs under 10 s, under 3x the pure parse, about 10x the 1,000-PC time, "
      "peak under 4 GB\n");
}

}  // namespace

int main(int argc, char** argv) {
  // The heap the console programs run with (the pure parse gets it too).
  sys::configureHeap();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  summary();
  const char* breakdown = std::getenv("DESKTALLY_BENCH_BREAKDOWN");
  memoryBreakdown(breakdown ? std::atoi(breakdown) : 10000);
  return 0;
}
