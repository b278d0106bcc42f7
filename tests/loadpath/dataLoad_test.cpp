// The data load on small sites under drive C: settings, group file, data
// folder, progress, listing, trace lines and gathering; data files damaged
// or oddly named and a cut group file (the load takes what can be taken,
// neither crashes nor hangs); and the parse stage's file opens and results.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/inotify.h>

#include "dcDataLoad.h"
#include "dcParseStage.h"
#include "inventorySite.h"

namespace fs = std::filesystem;

namespace {

std::string hardware(const char* cpu) {
  return std::string("<HardwareInfo><cpu>") + cpu + "</cpu></HardwareInfo>";
}

// Everything the load leaves behind: the listing and the root's gathered lists.
std::string outcome(dcAssetConsoleEngine_t& engine) {
  std::string s = testutil::readFile("qsHierarchy.log") + "|";
  for (dcSoftwareInfo_t* e = engine.root.softwareList.entries; e; e = e->next)
    s += std::string(e->fileName) + ":" + std::to_string(e->referenceCount) + ",";
  for (dcHardwareListNode_t* n = engine.root.hardwareList.categories; n; n = n->next)
    for (dcHardwareItem_t* i = n->pInfo->items; i; i = i->next)
      s += std::string(n->pInfo->name) + "=" + i->description + ",";
  for (dcWindowsVersionNode_t* n = engine.root.windowsVersions; n; n = n->next)
    s += std::string(n->pVersion->version) + ",";
  // Usage from a group made afresh by each load (the root's document keeps adding up).
  if (dcQsGroup_t* group = engine.root.findGroup("Seoul"))
    for (const dcUsageSummaryLine_t& line : group->usageDocument.summarize("2026.01.01", "2026.12.31"))
      s += line.name + ":" + line.minutes + ",";
  return s;
}

std::string todaysLog() {
  std::string log;
  for (const auto& f : fs::directory_iterator("log")) log += testutil::readFile(f.path());
  return log;
}

// What a prepared file holds: whether it parsed, the read's errno, and the
// values taken from it.
auto prepared(const dcPreparedAssetData_t& data) {
  std::string values;
  for (const auto& [key, text] : data.values.values) values += std::string(key) + "=" + text + "\n";
  return std::make_tuple(data.values.parsed, data.values.file.error, values);
}

bool hasHardware(dcQsClient_t* c) { return c && c->hardwareList.categories; }

struct DataLoad : ::testing::Test {
  DataLoad() {
    fs::create_directory("log");  // the trace log writes only into an existing folder
    ::setenv("DESKTALLY_AGENT", "D:\\agent", 1);
    write("qss/grp.dat", testutil::groupFile({"PC01", "PC03"}, "Seoul"));
    write("qss/data/PC01 HardwareInfo.xml", hardware("P4"));
    write("qss/data/PC01 softwareinfo.xml",
          "<softwareinfo><Program>a.exe</Program><Program>b.exe</Program></softwareinfo>");
    write("qss/data/PC02 WindowsInfo.xml", "<WindowsInfo><WindowsVersion>5.1</WindowsVersion></WindowsInfo>");
    write("qss/data/PC03 WindowsInfo.xml", "<WindowsInfo><WindowsVersion>5.0</WindowsVersion></WindowsInfo>");
    write("qss/data/PC03 HardwareInfo.xml", "<HardwareInfo><unknownkey>x</unknownkey></HardwareInfo>");
    write("qss/data/readme.xml", hardware("none"));
    for (const char* pc : {"PC01", "PC03"})
      write(std::string("qss/data/") + pc + " totalsuinfo.xml",
            "<softwareusage><unit><progname>a.exe</progname><date tick=\"5\">2026.11.01</date></unit>"
            "</softwareusage>");
    write("qss/data/PC01 WindowsInfo.xml/PC01 HardwareInfo.xml", hardware("inside"));
  }
  fs::path path(const std::string& name) const { return dir.path() / name; }
  void write(const std::string& name, const std::string& bytes) { testutil::writeFile(path(name), bytes); }

  testutil::WorkFolder work;  // the listing and the trace log land in the site
  const testutil::TempDir& dir = work.dir;
  testutil::DriveMapping drive{'C', dir.str()};
  InventorySite settings{
      "<qslook><logdata>%DESKTALLY_AGENT%\\data</logdata><qssgrp>grp.dat</qssgrp>"
      "<cpu>CPU</cpu><WindowsVersion>WindowsVersion</WindowsVersion></qslook>"};
};

}  // namespace

TEST(DataLoad_Path, ValuesWithoutBackslashMissingOrTooLong) {
  char path[DATA_PATH_SIZE];
  std::string korean;  // 200 times "가": cut to 259 bytes on a character boundary
  for (int i = 0; i < 200; ++i) korean += "\xB0\xA1";
  for (const char* value : {"%NO_SUCH_VAR_DT%", static_cast<const char*>(nullptr), korean.c_str()}) {
    EXPECT_EQ(buildDataPath(value, path, sizeof path), dcStatus::OK);
    EXPECT_EQ(path, "C:\\QSS\\" + (value == korean.c_str() ? korean.substr(0, 252) : value ? value : ""));
  }
}

TEST_F(DataLoad, ScanLoadsKnownPcsSkipsTheRestAndReportsProgress) {
  EXPECT_EQ(runDataLoad(nullptr), dcStatus::MISSING_OBJECT);
  dcAssetConsoleEngine_t engine;
  std::string steps;
  dcDataLoadProgress_t progress{[&](std::size_t read, std::size_t found) {
    steps += std::to_string(read) + "/" + std::to_string(found) + " ";
  }};
  ASSERT_EQ(runDataLoad(&engine, &progress), dcStatus::OK);
  EXPECT_EQ(steps, "0/9 1/9 2/9 3/9 4/9 5/9 6/9 7/9 8/9 9/9 ");
  EXPECT_STREQ(engine.root.name, dcQsGroup_t::ROOT_NAME);
  ASSERT_NE(engine.root.findClient("PC01"), nullptr);
  // The sub-folder was skipped.
  EXPECT_TRUE(!engine.root.findClient("PC01")->windowsInfo.items && !engine.root.findClient("PC02"));
  // PC01's two files and PC03's Windows information; PC03's hardware file
  // names a key the settings lack and is rejected with a failure line.
  EXPECT_EQ(outcome(engine),
            "dcQsGroup_t hierarchy listing...\r\n  qsGroup '" + std::string(dcQsGroup_t::ROOT_NAME) +
                "'\r\n    qsGroup 'Seoul'\r\n      qsClient 'PC01'\r\n      qsClient 'PC03'\r\n"
                "end of file.\r\n\r\n|a.exe:1,b.exe:1,CPU=P4,5.0,a.exe:     30 min,");
  EXPECT_NE(todaysLog().find("[dcQsClientList_t::loadFromFile] pdcQsClient->loadFromFile failed 203"),
            std::string::npos);

  // A second load, also after a filter command, rebuilds everything.
  const std::string once = outcome(engine);
  ASSERT_EQ(runDataLoad(&engine), dcStatus::OK);
  EXPECT_EQ(outcome(engine), once);
  engine.interpret("ignore hardware CPU in hardware list");
  runDataLoad(&engine);
  EXPECT_EQ(engine.root.findClient("PC01")->hardwareList.categories, nullptr);
  engine.interpret("clear hardware filters");
  runDataLoad(&engine);
  EXPECT_EQ(outcome(engine), once);

  // A group file cut inside PC03's record: Seoul and PC01 stay, the read
  // error ends the load before the scan, the listing and the gathering.
  const std::string full = testutil::groupFile({"PC01", "PC03"}, "Seoul");
  write("qss/grp.dat", full.substr(0, full.size() - 3));
  fs::remove("qsHierarchy.log");
  EXPECT_THROW(runDataLoad(&engine), dcArchiveException_t);
  EXPECT_TRUE(engine.root.findClient("PC01") && !engine.root.findClient("PC03"));
  EXPECT_TRUE(!engine.root.findClient("PC01")->softwareList.entries && !engine.root.softwareList.entries);
  EXPECT_FALSE(fs::exists("qsHierarchy.log"));
}

TEST_F(DataLoad, DamagedDataFilesLoadWhatCanBeLoaded) {
  const std::string korean = "PC\xB0\xA1";  // PC가, written on disk in CP949 by an older tool
  write("qss/grp.dat", testutil::groupFile({"D1", "D2", "D5", "D7", "D8", korean}));
  const std::string good = hardware("P4");
  write("qss/data/D1 HardwareInfo.xml", good);
  write("qss/data/D2 HardwareInfo.xml", "");  // empty
  write("qss/data/D5 softwareinfo.xml", "");
  fs::resize_file(path("qss/data/D5 softwareinfo.xml"), 200u << 20);  // huge, sparse: all NULs
  write("qss/data/D7  HardwareInfo.xml", good);                       // two blanks
  for (const char* name : {"D8.xml", " HardwareInfo.xml", "D1 unknown.xml", "PC99 HardwareInfo.xml"})
    write("qss/data/" + std::string(name), good);  // no second word, no first word, unknown type, not listed
  fs::create_directories(path("qss/data/D8 HardwareInfo.xml"));  // a folder
  write("qss/data/" + korean + " HardwareInfo.xml", good);       // non-UTF-8 name

  dcAssetConsoleEngine_t engine;
  ASSERT_EQ(runDataLoad(&engine), dcStatus::OK);
  fs::remove(path("qss/data/D5 softwareinfo.xml"));
  dcQsGroup_t& root = engine.root;
  for (const auto& [pc, loaded] :
       {std::pair<std::string, bool>{"D1", true}, {"D2", false}, {"D7", true}, {"D8", false}, {korean, true}})
    EXPECT_EQ(hasHardware(root.findClient(pc.c_str())), loaded) << pc;  // D7: "%s %s" skips the second blank
  ASSERT_NE(root.findClient("D5"), nullptr);
  // The hardware is gathered from what did load.
  EXPECT_TRUE(!root.findClient("D5")->softwareList.entries && !root.findClient("PC99") &&
              root.hardwareList.categories);

  // Only the empty file is rejected, with its level-0 line.
  const std::string log = todaysLog(), failed = "pdcQsClient->loadFromFile failed 401";
  EXPECT_TRUE(log.find(failed) != std::string::npos && log.find(failed) == log.rfind(failed));
  EXPECT_TRUE(fs::exists("qsHierarchy.log"));
}

// Every listed file is opened exactly once, never past the stage's window
// ahead of the files taken, and no other file is opened; the workers fill
// the window while nothing is taken. A stage let go early stops cleanly.
TEST_F(DataLoad, ParseStageOpensEachListedFileOnceWithinItsWindow) {
  std::vector<dcDataFile_t> files;
  const winfs::Folder folder("C:\\qss\\data");
  std::map<std::string, std::size_t> place;  // a listed file's place in the list
  // Twice the window of one worker is listed: a third of the files are not.
  const std::size_t count = 3 * 2 * dcParseStage_t::FILES_PER_THREAD;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string name = "PC" + std::to_string(200 + i) + " HardwareInfo.xml";
    write("qss/data/" + name, hardware("P4"));
    if (i % 3 != 1) files.push_back({&folder, place.emplace(name, files.size()).first->first.c_str()});
  }
  const int watch = inotify_init1(IN_CLOEXEC);
  ASSERT_GE(inotify_add_watch(watch, (dir.path() / "qss/data").c_str(), IN_OPEN), 0);
  std::map<std::string, int> opens;
  std::size_t reach = 0;  // one past the furthest listed file opened
  auto collect = [&](int waitMs) {
    alignas(inotify_event) char events[4096];
    for (pollfd ready{watch, POLLIN, 0}; ::poll(&ready, 1, waitMs) > 0; waitMs = 0)
      for (ssize_t at = 0, got = ::read(watch, events, sizeof events); at < got;) {
        inotify_event event;
        std::memcpy(&event, events + at, sizeof event);
        const std::string name = event.len ? events + at + sizeof event : "";  // "": the folder
        at += static_cast<ssize_t>(sizeof event + event.len);
        if (name.empty()) continue;
        ++opens[name];
        if (place.count(name)) reach = std::max(reach, place[name] + 1);
      }
  };
  {
    dcParseStage_t stage(files, 1);
    ASSERT_LT(stage.window(), files.size());
    for (int i = 0; i < 100 && reach < stage.window(); ++i) collect(100);
    EXPECT_EQ(reach, stage.window());
    for (std::size_t taken = 0; taken < files.size(); ++taken) {
      collect(0);
      ASSERT_LE(reach, taken + stage.window());
      EXPECT_TRUE(stage.next().values.parsed);
    }
  }
  collect(0);
  for (const auto& [name, at] : place) EXPECT_EQ(opens[name], 1) << name;
  EXPECT_EQ(opens.size(), place.size());
  {
    // With a budget of one byte of text, a result waiting stops the taking
    // up: the worker's batch and the loading thread's file are all ahead.
    dcParseStage_t stage(files, 1, 1);
    reach = 0;
    for (std::size_t taken = 0; taken < files.size(); ++taken) {
      collect(taken ? 0 : 100);
      ASSERT_LE(reach, taken + winfs::FileReader::BATCH + 2);
      EXPECT_TRUE(stage.next().values.parsed);
    }
  }
  ::close(watch);
  dcParseStage_t early(files, 2);
  EXPECT_TRUE(early.next().values.parsed);
}

// The parse stage against preparing each file on one thread: random lists
// (repeats, missing files, files of very different sizes), one to four
// workers, budgets of text from a byte to a few large files, and a loading
// thread that now and then pauses, so that the workers fill the budget and
// sleep, and the loading thread waits or prepares files itself.
TEST(ParseStageDiff, ResultsComeInListOrderAsOneThreadPreparesThem) {
  testutil::TempDir dir;
  testutil::DriveMapping drive('S', dir.str());
  std::mt19937 rng(16);
  std::vector<std::string> names;
  for (int i = 0; i < 60; ++i) {
    names.push_back("f" + std::to_string(i) + " HardwareInfo.xml");
    if (i % 9 != 4)
      testutil::writeFile(dir.path() / names.back(), "<hardwareinfo><cpu>" + std::to_string(i) +
                                                         std::string(rng() % 3 ? 10 : 60000, 'x') +
                                                         "</cpu></hardwareinfo>");
  }
  const winfs::Folder folder("S:");
  for (int round = 0; round < 12; ++round) {
    std::vector<dcDataFile_t> files(rng() % 400);
    for (dcDataFile_t& file : files) file = {&folder, names[rng() % names.size()].c_str()};
    const unsigned workers = 1 + rng() % 4;
    // Now and then a budget of a few files' text, so that workers sleep on it.
    const std::size_t budget = rng() % 2 ? 1 + rng() % 300000 : dcParseStage_t::TEXT_BUDGET;
    dcParseStage_t stage(files, workers, budget);
    for (const dcDataFile_t& file : files) {
      if (rng() % 16 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      const auto expected = dcQsClient_t::prepareAssetData(("S:\\" + std::string(file.name)).c_str(),
                                                           file.name, "HardwareInfo.xml");
      ASSERT_EQ(prepared(stage.next()), prepared(expected)) << file.name;
    }
    EXPECT_FALSE(stage.next().values.parsed);
  }
}
