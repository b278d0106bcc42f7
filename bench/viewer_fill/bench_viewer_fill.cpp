// The list viewer on a large site: how long the root's four views take to
// fill the list (view computed, rows handed to the list, columns sized),
// the view alone for comparison, the fill with the first paint, one page of scrolling through the
// hardware by PC view, a header-click sort of it, and one keystroke in its filter bar (the rows
// filtered and the list repainted). Before the benchmarks it prints the
// load's time and peak memory, and how long each root view took the first
// time it was shown after the load, list reset and first paint included.
//
// The site: DESKTALLY_BENCH_SITE names a sitegen site to use as it is;
// otherwise tools/sitegen (beside this program's build folder, or named by
// SITEGEN) writes a 10,000-PC site into a temporary folder that goes at the
// end. Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "CSettingMgr.h"
#include "dcAssetConsoleEngine.h"
#include "dcDataLoad.h"
#include "dcDefaultViewerForm.h"
#include "dcFunctionTitleForm.h"
#include "dcListModel.h"
#include "dcRowFilter.h"
#include "dcStripedListCtrl.h"
#include "sys.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double cpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long peakRssMb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

constexpr const char* SITE_OPTIONS =
    " --pcs 10000 --groups 200 --depth 4 --programs 150 --pool 5000 --hardware 30 --windows 15"
    " --usage-programs 40 --days 30";

enum { WINDOWS, HARDWARE, SOFTWARE, USAGE };  // the title pane's view index
const char* const VIEW_NAMES[] = {"windows_by_pc", "hardware_by_pc", "group_software", "group_usage"};

struct Selection : dcTreePane_t {
  dcObject_t* object = nullptr;
  dcObject_t* selectedObject() const override { return object; }
};

// The site folder, and a working folder for the load's listing and trace
// files; a generated site goes with the object.
struct Site {
  fs::path folder;
  fs::path workdir = fs::temp_directory_path() / ("desktally-viewer-bench-run-" + std::to_string(::getpid()));
  bool generated = false;
  Site() {
    fs::create_directories(workdir);
    fs::current_path(workdir);
    if (const char* given = std::getenv("DESKTALLY_BENCH_SITE")) {
      folder = given;
      return;
    }
    folder = fs::temp_directory_path() / ("desktally-viewer-bench-" + std::to_string(::getpid()));
    std::error_code ec;
    fs::path sitegen =
        std::getenv("SITEGEN")
            ? fs::path(std::getenv("SITEGEN"))
            : fs::read_symlink("/proc/self/exe", ec).parent_path().parent_path() / "tools" / "sitegen";
    const std::string command =
        sitegen.string() + " --out " + folder.string() + SITE_OPTIONS + " > /dev/null";
    generated = true;
    if (std::system(command.c_str()) != 0) {
      std::fprintf(stderr, "bench_viewer_fill: cannot write the site with: %s\n", command.c_str());
      std::exit(1);
    }
  }
  ~Site() {
    std::error_code ec;
    fs::current_path(fs::temp_directory_path(), ec);
    fs::remove_all(workdir, ec);
    if (generated) fs::remove_all(folder, ec);
  }
};

// The loaded site with a viewer and its two neighbours.
struct Console {
  std::unique_ptr<CSettingMgr> settings;
  std::unique_ptr<CSettingMgrOverride> use;
  dcAssetConsoleEngine_t engine;
  Selection selection;
  dcFunctionTitleForm_t title;
  dcDefaultViewerForm_t form;

  explicit Console(const fs::path& site) {
    ::setenv("DESKTALLY_DRIVE_C", site.c_str(), 1);
    settings = std::make_unique<CSettingMgr>(CSettingMgr::DEFAULT_PATH);
    use = std::make_unique<CSettingMgrOverride>(settings.get());
    const auto started = Clock::now();
    const double cpuBefore = cpuSeconds();
    runDataLoad(&engine);
    std::fprintf(stderr, "load: %.2f s (cpu %.2f s), peak RSS %ld MB\n", secondsSince(started),
                 cpuSeconds() - cpuBefore, peakRssMb());
    selection.object = &engine.root;
    dcRegisterPane<dcTreePane_t>(theTreePane, &selection);
    form.resize(1200, 700);
    form.setPeriod({{2026, 11, 1}, {2026, 11, 30}});
    form.show();
    QApplication::processEvents();
  }
  ~Console() { dcUnregisterPane<dcTreePane_t>(theTreePane, &selection); }

  void show(int view) {
    title.setCurrentTitle(dcFunctionTitleForm_t::tabText(view));
    form.refresh();
  }
  dcStripedListCtrl_t& list() { return *form.listControl(); }
};

Console* console = nullptr;

// Each root view once, as the operator first opens it after the load.
void showFirstFills() {
  for (int view = WINDOWS; view <= USAGE; ++view) {
    const auto started = Clock::now();
    const double cpuBefore = cpuSeconds();
    console->show(view);
    console->list().viewport()->grab();
    std::fprintf(stderr, "first fill and paint of %s: %.0f ms (cpu %.0f ms, %d rows), peak RSS %ld MB\n",
                 VIEW_NAMES[view], secondsSince(started) * 1000, (cpuSeconds() - cpuBefore) * 1000,
                 console->list().listModel()->rowCount(), peakRssMb());
  }
}

void BM_Fill(benchmark::State& state) {
  const int view = static_cast<int>(state.range(0));
  state.SetLabel(VIEW_NAMES[view]);
  for (auto _ : state) console->show(view);
  state.counters["rows"] = console->list().listModel()->rowCount();
  state.counters["columns"] = console->list().listModel()->columnCount();
}

// The view alone, without the list: what the fill adds is the difference.
void BM_ViewOnly(benchmark::State& state) {
  const int view = static_cast<int>(state.range(0));
  state.SetLabel(VIEW_NAMES[view]);
  dcViewPeriod_t period = console->form.period();
  for (auto _ : state) {
    dcViewList_t list;
    dcviews::refresh(&console->engine.root, dcFunctionTitleForm_t::tabText(view), period, list);
    benchmark::DoNotOptimize(list.rows.data());
  }
}

void BM_FillAndPaint(benchmark::State& state) {
  const int view = static_cast<int>(state.range(0));
  state.SetLabel(VIEW_NAMES[view]);
  for (auto _ : state) {
    console->show(view);
    benchmark::DoNotOptimize(console->list().viewport()->grab());
  }
}

// One page down and its repaint, wrapping at the bottom.
void BM_ScrollPage(benchmark::State& state) {
  console->show(HARDWARE);
  QScrollBar* bar = console->list().verticalScrollBar();
  for (auto _ : state) {
    const int next = bar->value() + bar->pageStep();
    bar->setValue(next > bar->maximum() ? 0 : next);
    benchmark::DoNotOptimize(console->list().viewport()->grab());
  }
}

// A header click on the processor column of the hardware by PC view.
void BM_SortColumn(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    console->show(HARDWARE);
    state.ResumeTiming();
    console->list().onColumnClick(1);
  }
}

// One keystroke in the filter bar over the hardware by PC view: the text
// goes from the first to the second of a pair, and the list repaints.
struct Keystroke {
  const char* label;
  const char* before;
  const char* after;
};
const Keystroke KEYSTROKES[] = {
    {"first_letter", "", "s"},                     // every row tested, most kept
    {"narrowing", "sata ssd 51", "sata ssd 512"},  // only the rows shown tested
    {"backspace", "sata ssd 512", "sata ssd 51"},  // every row tested again
    {"first_korean", "", "\xEB\x93\x9C"},          // 드, in many cells
    {"to_few_rows", "pc-099", "pc-0999"},
};

void BM_FilterKeystroke(benchmark::State& state) {
  const Keystroke& key = KEYSTROKES[state.range(0)];
  state.SetLabel(key.label);
  console->show(HARDWARE);
  console->form.openFilterBar();
  QLineEdit* bar = console->form.filterBar;
  for (auto _ : state) {
    state.PauseTiming();
    bar->setText(QString::fromUtf8(key.before));
    state.ResumeTiming();
    bar->setText(QString::fromUtf8(key.after));
    benchmark::DoNotOptimize(console->list().viewport()->grab());
  }
  state.counters["shown"] = console->list().listModel()->rowCount();
  state.counters["rows"] = console->list().listModel()->totalRows();
  console->form.closeFilterBar();
}

// The filter's rule alone over the same rows: what the keystroke adds is
// the list's reset and repaint.
void BM_FilterRuleOnly(benchmark::State& state) {
  const Keystroke& key = KEYSTROKES[state.range(0)];
  state.SetLabel(key.label);
  console->show(HARDWARE);
  const dcViewList_t& rows = console->list().listModel()->list();
  const dcRowFilter_t filter = dcRowFilter_t::fromUtf8(key.after);
  for (auto _ : state) benchmark::DoNotOptimize(filter.matchingRows(rows));
}

BENCHMARK(BM_Fill)->DenseRange(WINDOWS, USAGE)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewOnly)->DenseRange(WINDOWS, USAGE)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillAndPaint)->DenseRange(WINDOWS, USAGE)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortColumn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterKeystroke)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterRuleOnly)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // The heap as the console's programs set it up.
  sys::configureHeap();
  ::setenv("QT_QPA_PLATFORM", std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "offscreen",
           1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Site site;
  Console loaded(site.folder);
  console = &loaded;
  showFirstFills();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  console = nullptr;
  return 0;
}
