// The data load on a small site under drive C: settings, group file, data
// folder, listing and gathering.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CSettingMgr.h"
#include "dcDataLoad.h"
#include "dcParseStage.h"
#include "testutil.h"

namespace fs = std::filesystem;

namespace {

std::string hardware(const char* cpu) {
  return std::string("<HardwareInfo><cpu>") + cpu + "</cpu></HardwareInfo>";
}

// The hierarchy listing of the root with the given lines below it.
std::string listing(const std::string& below) {
  return "dcQsGroup_t hierarchy listing...\r\n  qsGroup '" + std::string(dcQsGroup_t::ROOT_NAME) + "'\r\n" +
         below + "end of file.\r\n\r\n|";
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
  return s;
}

class DataLoad : public ::testing::Test {
 protected:
  DataLoad() {
    fs::create_directory("log");
    ::setenv("DESKTALLY_AGENT", "D:\\agent", 1);
    write("qss/qslook.xml",
          "<qslook><logdata>%DESKTALLY_AGENT%\\data</logdata><qssgrp>grp.dat</qssgrp>"
          "<cpu>CPU</cpu><WindowsVersion>WindowsVersion</WindowsVersion></qslook>");
    settings = std::make_unique<CSettingMgr>(CSettingMgr::DEFAULT_PATH);
    use.emplace(settings.get());
    write("qss/grp.dat", testutil::groupFile({"PC01", "PC03"}, "Seoul"));
    write("qss/data/PC01 HardwareInfo.xml", hardware("P4"));
    write("qss/data/PC01 softwareinfo.xml",
          "<softwareinfo><Program>a.exe</Program><Program>b.exe</Program></softwareinfo>");
    write("qss/data/PC02 WindowsInfo.xml", "<WindowsInfo><WindowsVersion>5.1</WindowsVersion></WindowsInfo>");
    write("qss/data/PC03 WindowsInfo.xml", "<WindowsInfo><WindowsVersion>5.0</WindowsVersion></WindowsInfo>");
    write("qss/data/PC03 HardwareInfo.xml", "<HardwareInfo><unknownkey>x</unknownkey></HardwareInfo>");
    write("qss/data/readme.xml", hardware("none"));
    write("qss/data/PC01 WindowsInfo.xml/PC01 HardwareInfo.xml", hardware("inside"));
  }
  void write(const std::string& name, const std::string& bytes) {
    testutil::writeFile(dir.path() / name, bytes);
  }

  testutil::WorkFolder work;  // the listing and the trace log land in the site
  const testutil::TempDir& dir = work.dir;
  testutil::DriveMapping drive{'C', dir.str()};
  std::unique_ptr<CSettingMgr> settings;
  std::optional<CSettingMgrOverride> use;
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
  std::vector<std::string> steps;
  dcDataLoadProgress_t progress{[&](std::size_t read, std::size_t found) {
    steps.push_back(std::to_string(read) + "/" + std::to_string(found));
  }};
  ASSERT_EQ(runDataLoad(&engine, &progress), dcStatus::OK);
  EXPECT_EQ(steps, (std::vector<std::string>{"0/7", "1/7", "2/7", "3/7", "4/7", "5/7", "6/7", "7/7"}));
  EXPECT_STREQ(engine.root.name, dcQsGroup_t::ROOT_NAME);
  dcQsClient_t* pc01 = engine.root.findClient("PC01");
  ASSERT_NE(pc01, nullptr);
  EXPECT_EQ(pc01->windowsInfo.items, nullptr);  // the sub-folder was skipped
  EXPECT_EQ(engine.root.findClient("PC02"), nullptr);
  // PC01's two files and PC03's Windows information; PC03's hardware file
  // names a key the settings lack and is rejected with a failure line.
  EXPECT_EQ(outcome(engine),
            listing("    qsGroup 'Seoul'\r\n      qsClient 'PC01'\r\n      qsClient 'PC03'\r\n") +
                "a.exe:1,b.exe:1,CPU=P4,5.0,");
  std::string log;
  for (const auto& f : fs::directory_iterator("log")) log += testutil::readFile(f.path());
  EXPECT_NE(log.find("[dcQsClientList_t::loadFromFile] pdcQsClient->loadFromFile failed 203"),
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
}

TEST_F(DataLoad, MissingOrTruncatedGroupFile) {
  dcAssetConsoleEngine_t engine;
  fs::remove(dir.path() / "qss/grp.dat");
  ASSERT_EQ(runDataLoad(&engine), dcStatus::OK);
  EXPECT_EQ(outcome(engine), listing(""));

  // Cut inside PC03's record: Seoul and PC01 stay, nothing else runs.
  const std::string full = testutil::groupFile({"PC01", "PC03"}, "Seoul");
  write("qss/grp.dat", full.substr(0, full.size() - 3));
  fs::remove("qsHierarchy.log");
  EXPECT_THROW(runDataLoad(&engine), dcArchiveException_t);
  EXPECT_NE(engine.root.findClient("PC01"), nullptr);
  EXPECT_EQ(engine.root.findClient("PC03"), nullptr);
  EXPECT_EQ(engine.root.findClient("PC01")->softwareList.entries, nullptr);
  EXPECT_FALSE(fs::exists("qsHierarchy.log"));
}

// The parse stage hands every file over in the scan's order: a load through
// it leaves exactly what a load on one thread leaves, on a site with many
// files of every kind, unreadable ones and PCs the group file lacks.
TEST_F(DataLoad, ParseStageLoadsAsOneThreadDoes) {
  std::vector<std::string> pcs;
  for (int i = 0; i < 40; ++i) {
    const std::string pc = "PC" + std::to_string(100 + i);
    if (i % 7 != 3) pcs.push_back(pc);
    const std::string cpu = "P" + std::to_string(i % 5);
    write("qss/data/" + pc + " HardwareInfo.xml", i % 11 == 5 ? "" : hardware(cpu.c_str()));
    write("qss/data/" + pc + " softwareinfo.xml",
          "<softwareinfo><Program>p" + std::to_string(i % 9) +
              ".exe</Program><Program>q.exe</Program></softwareinfo>");
    write("qss/data/" + pc + " WindowsInfo.xml",
          "<WindowsInfo><WindowsVersion>5." + std::to_string(i % 3) + "</WindowsVersion></WindowsInfo>");
    write("qss/data/" + pc + " totalsuinfo.xml",
          "<softwareusage><unit><progname>q.exe</progname><date tick=\"" + std::to_string(i) +
              "\">2026.11.01</date></unit></softwareusage>");
  }
  write("qss/grp.dat", testutil::groupFile(pcs, "Seoul"));
  auto usage = [](dcAssetConsoleEngine_t& engine) {
    std::string s;
    for (const char* pc : {"PC100", "PC139"})
      if (dcQsClient_t* c = engine.root.findClient(pc))
        for (const auto& line : c->usageDocument.summarize("2026.11.01", "2026.11.01"))
          s += line.minutes + "|";
    return s;
  };

  dcAssetConsoleEngine_t staged;
  std::vector<std::size_t> stagedSteps, serialSteps;
  dcDataLoadProgress_t stagedProgress{[&](std::size_t read, std::size_t) { stagedSteps.push_back(read); }};
  ASSERT_EQ(runDataLoad(&staged, &stagedProgress), dcStatus::OK);

  dcAssetConsoleEngine_t serial;
  dcDataLoadProgress_t serialProgress{[&](std::size_t read, std::size_t) { serialSteps.push_back(read); }};
  serial.groupLoader = loadGroupFile;
  serial.Test_loadfromFile("C:\\QSS\\data", &serialProgress);
  serial.root.saveHierarchyToFile("qsHierarchy.log");
  serial.root.gatherGroupInfo();
  EXPECT_EQ(outcome(serial), outcome(staged));
  EXPECT_EQ(usage(serial), usage(staged));
  EXPECT_EQ(serialSteps, stagedSteps);

  // A stage let go before all its files were taken stops cleanly.
  std::vector<dcDataFile_t> files;
  for (const char* pc : {"PC100", "PC105", "PC101", "PC102", "PC104", "PC106"})
    files.push_back({std::string("C:\\qss\\data\\") + pc + " HardwareInfo.xml", pc, "HardwareInfo.xml"});
  dcParseStage_t stage(files, 2);
  EXPECT_NE(stage.next().document.root, nullptr);
  EXPECT_EQ(stage.next().document.root, nullptr);  // PC105's file is empty
}

// Every listed file is opened exactly once, never past the stage's window
// ahead of the files taken, and no other file is opened; the workers fill
// the window while nothing is taken.
TEST_F(DataLoad, ParseStageOpensEachListedFileOnceWithinItsWindow) {
  std::vector<dcDataFile_t> files;
  std::map<std::string, std::size_t> place;  // a listed file's place in the list
  for (int i = 0; i < 150; ++i) {
    const std::string pc = "PC" + std::to_string(200 + i), name = pc + " HardwareInfo.xml";
    write("qss/data/" + name, hardware("P4"));
    if (i % 3 == 1) continue;
    place[name] = files.size();
    files.push_back({"C:\\qss\\data\\" + name, pc, "HardwareInfo.xml"});
  }
  const int watch = inotify_init1(IN_CLOEXEC);
  ASSERT_GE(inotify_add_watch(watch, (dir.path() / "qss/data").c_str(), IN_OPEN), 0);
  std::map<std::string, int> opens;
  std::size_t reach = 0;  // one past the furthest listed file opened
  auto collect = [&](int waitMs) {
    pollfd ready{watch, POLLIN, 0};
    alignas(inotify_event) char events[4096];
    for (; ::poll(&ready, 1, waitMs) > 0; waitMs = 0) {
      const ssize_t got = ::read(watch, events, sizeof events);
      for (ssize_t at = 0; at < got;) {
        inotify_event event;
        std::memcpy(&event, events + at, sizeof event);
        const std::string name = event.len ? events + at + sizeof event : "";
        at += static_cast<ssize_t>(sizeof event + event.len);
        if (name.empty()) continue;  // the folder itself
        ++opens[name];
        if (const auto listed = place.find(name); listed != place.end())
          reach = std::max(reach, listed->second + 1);
      }
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
      EXPECT_NE(stage.next().document.root, nullptr);
    }
    EXPECT_EQ(stage.next().document.root, nullptr);
  }
  collect(0);
  ::close(watch);
  for (const auto& [name, at] : place) EXPECT_EQ(opens[name], 1) << name;
  EXPECT_EQ(opens.size(), place.size());
}
