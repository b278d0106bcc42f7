// Whole sites loaded as the console loads them at start-up (group file,
// every inventory file of the data folder, "qsHierarchy.log", gathering up to
// the root), side by side with the time a plain single-threaded program needs
// just to read and parse the same files with pugixml: one reused buffer, one
// reused document, each file parsed in place.
//
//   bench_load_site [--runs N] [--settle S] SITE...
//
// Each SITE is a sitegen site (the folder that holds qss/). Without sites,
// DESKTALLY_BENCH_SITES names a folder holding pcs10000/ and pcs100000/.
// Every measurement runs in a process of its own, so that each peak
// resident size is that of one load from a fresh heap; the best of N runs
// is shown (--runs N, 5 by default: a virtual machine's speed varies from
// one run to the next, at times for a minute or more). The runs go in
// rounds, each round every site once, so that a slow spell of the host
// falls on the sizes alike rather than on one size's runs. Wall-clock
// times; CPU times beside them.
//
// Every run waits S seconds first (--settle S, 5 by default), so that each
// starts as a console started on an idle machine; --settle 0 runs them back
// to back. On a virtual machine the host takes memory back a second or two
// after the guest frees it, and the first touch of such memory costs about
// ten times what memory freed a moment before costs (a 10,000-PC load run
// 0.2 s after the previous one spends 0.13 to 0.23 s in the kernel, 2 s or
// more after it 0.28 to 0.41 s). Back to back, a small site's load reuses
// what its previous load freed, while a large site's never can: its own
// load lasts longer than the host waits. So only runs that all start after
// a pause compare two sizes like with like.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <thread>
#include <vector>

#include "CSettingMgr.h"
#include "dcAssetConsoleEngine.h"
#include "dcDataLoad.h"
#include "sys.h"

namespace fs = std::filesystem;

namespace {

struct Run {
  double wallS = 0;
  double cpuS = 0;
  double peakMb = 0;
  double files = 0;
  double megabytes = 0;
  double pcs = 0;
};

double cpuS() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double peakMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Runs measure in a child process and returns what it reported.
template <typename Measure>
Run inChild(Measure measure) {
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) std::exit(1);
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipeEnds[0]);
    const Run run = measure();
    const ssize_t written = ::write(pipeEnds[1], &run, sizeof run);
    std::_Exit(written == static_cast<ssize_t>(sizeof run) ? 0 : 1);
  }
  ::close(pipeEnds[1]);
  Run run;
  const ssize_t got = ::read(pipeEnds[0], &run, sizeof run);
  ::close(pipeEnds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (got != static_cast<ssize_t>(sizeof run) || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "bench_load_site: a measurement failed\n");
    std::exit(1);
  }
  return run;
}

// The load and gathering of the console, as runDataLoad does it.
Run loadSite(const fs::path& site) {
  ::setenv("DESKTALLY_DRIVE_C", site.c_str(), 1);
  CSettingMgr settings(CSettingMgr::DEFAULT_PATH);
  CSettingMgrOverride use(&settings);
  auto engine = std::make_unique<dcAssetConsoleEngine_t>();
  const double cpuStart = cpuS();
  const auto start = std::chrono::steady_clock::now();
  runDataLoad(engine.get());
  Run run;
  run.wallS = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.cpuS = cpuS() - cpuStart;
  run.peakMb = peakMb();
  dcQsClientNode_t* all = nullptr;
  engine->root.collectClients(all);
  for (dcQsClientNode_t* n = all; n; n = n->next) ++run.pcs;
  dcQsGroup_t::freeClientNodes(all);
  // The console ends here: what the load built goes with the process.
  (void)engine.release();
  return run;
}

// The plain program: every .xml file of the data folder read into one
// reused buffer and parsed in place into one reused document.
Run pugixmlReadAndParse(const fs::path& site) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(site / "qss" / "data"))
    if (entry.path().extension() == ".xml" && entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  const double cpuStart = cpuS();
  const auto start = std::chrono::steady_clock::now();
  std::vector<char> buffer;
  pugi::xml_document doc;
  Run run;
  for (const fs::path& path : files) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) continue;
    std::size_t size = 0;
    for (;;) {
      if (buffer.size() < size + 65536) buffer.resize(std::max(buffer.size() * 2, size + 65536));
      const std::size_t got = std::fread(buffer.data() + size, 1, buffer.size() - size, file);
      size += got;
      if (got == 0) break;
    }
    std::fclose(file);
    const pugi::xml_parse_result result = doc.load_buffer_inplace(buffer.data(), size);
    if (!result) std::fprintf(stderr, "pugixml: %s: %s\n", path.c_str(), result.description());
    run.megabytes += static_cast<double>(size) / (1024.0 * 1024.0);
  }
  run.wallS = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.cpuS = cpuS() - cpuStart;
  run.peakMb = peakMb();
  run.files = static_cast<double>(files.size());
  return run;
}

Run best(const Run& a, const Run& b) { return b.wallS < a.wallS ? b : a; }

}  // namespace

int main(int argc, char** argv) {
  sys::configureHeap();
  int runs = 5;
  int settleS = 5;
  std::vector<fs::path> sites;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--settle") == 0 && i + 1 < argc) {
      settleS = std::max(0, std::atoi(argv[++i]));
    } else {
      sites.emplace_back(argv[i]);
    }
  }
  if (sites.empty()) {
    const char* folder = std::getenv("DESKTALLY_BENCH_SITES");
    if (!folder) {
      std::fprintf(stderr,
                   "usage: bench_load_site [--runs N] [--settle S] SITE...  (or DESKTALLY_BENCH_SITES "
                   "holding pcs10000/ and pcs100000/)\n");
      return 0;
    }
    for (const char* name : {"pcs10000", "pcs100000"})
      if (fs::exists(fs::path(folder) / name / "qss")) sites.push_back(fs::path(folder) / name);
  }

  struct Row {
    fs::path site;
    Run load;
    Run parse;
  };
  std::vector<Row> rows;
  for (const fs::path& site : sites) {
    if (!fs::exists(site / "qss" / "qslook.xml")) {
      std::fprintf(stderr, "bench_load_site: %s holds no site\n", site.c_str());
      return 2;
    }
    rows.push_back({site, {}, {}});
  }
  const auto settle = [settleS] { std::this_thread::sleep_for(std::chrono::seconds(settleS)); };
  for (int r = 0; r < runs; ++r) {
    for (Row& row : rows) {
      settle();
      const Run parse = inChild([&] { return pugixmlReadAndParse(row.site); });
      settle();
      const Run load = inChild([&] { return loadSite(row.site); });
      row.parse = r ? best(row.parse, parse) : parse;
      row.load = r ? best(row.load, load) : load;
    }
  }

  std::printf("%-28s %8s %7s %8s | %9s %9s %10s | %9s %9s | %6s\n", "site", "PCs", "files", "data MB",
              "load s", "(cpu s)", "peak RSS", "pugixml s", "(cpu s)", "ratio");
  for (const Row& row : rows) {
    std::printf("%-28s %8.0f %7.0f %8.0f | %9.2f %9.2f %7.0f MB | %9.2f %9.2f | %5.2fx\n",
                row.site.filename().c_str(), row.load.pcs, row.parse.files, row.parse.megabytes,
                row.load.wallS, row.load.cpuS, row.load.peakMb, row.parse.wallS, row.parse.cpuS,
                row.parse.wallS > 0 ? row.load.wallS / row.parse.wallS : 0.0);
  }
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const Row& a = rows[i - 1];
    const Row& b = rows[i];
    if (a.load.pcs > 0 && a.load.wallS > 0)
      std::printf("%.1fx the PCs: %.2fx the load time (pugixml: %.2fx)\n", b.load.pcs / a.load.pcs,
                  b.load.wallS / a.load.wallS, a.parse.wallS > 0 ? b.parse.wallS / a.parse.wallS : 0.0);
  }
  if (settleS > 0)
    std::printf("each run started %d s after the one before it (memory the host has taken back)\n", settleS);
  else
    std::printf("runs back to back (memory a previous run freed may be reused warm)\n");
  std::printf(
      "targets: load at most 1.0x the pugixml time; peak at most 0.7 GB for 10,000 PCs and 4 GB for "
      "100,000; ten times the PCs at most 10.5 times the time\n");
  return 0;
}
