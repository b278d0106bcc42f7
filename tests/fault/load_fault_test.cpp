// The whole data load on a site whose files are damaged in every way a
// share can damage them: it loads what can be loaded, reports the rest in
// the trace log, and neither crashes nor hangs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "CSettingMgr.h"
#include "dcDataLoad.h"
#include "dcQsClient.h"
#include "testutil.h"

namespace fs = std::filesystem;

namespace {

const std::string HARDWARE =
    "<?xml version=\"1.0\"?>\n<hardwareinfo><pcname>x</pcname><cpu>Fast CPU</cpu><memory>8 GB</memory>"
    "</hardwareinfo>\n";
const std::string SOFTWARE =
    "<softwareinfo><Program>Editor 1.2</Program><Program>Mail 3.0</Program></softwareinfo>";
const std::string SETTINGS =
    "<qslook><logdata>C:\\QSS\\data</logdata><qssgrp>C:\\QSS\\qsgroup.dat</qssgrp>"
    "<hardware><cpu>CPU</cpu><memory>Memory</memory></hardware></qslook>";
constexpr std::uintmax_t HUGE_SIZE = 200u << 20;

// The client's first hardware category and software entry, for a quick look.
bool hasHardware(dcQsClient_t* c) { return c && c->hardwareList.categories; }
bool hasSoftware(dcQsClient_t* c) { return c && c->softwareList.entries; }

std::string todaysLog() {
  std::string all;
  for (const auto& entry : fs::directory_iterator("log")) all += testutil::readFile(entry.path());
  return all;
}

// Each test runs in a folder of its own: ctest runs the tests of this binary
// side by side, and each one clears and reads "./log".
struct Site {
  Site() : drive('C', dir.str()) {
    fs::remove_all("log");
    fs::create_directory("log");  // the trace log writes only into an existing folder
    testutil::writeFile(dir.path() / "QSS" / "qslook.xml", SETTINGS);
    settings.emplace("C:\\QSS\\qslook.xml");
    use.emplace(&*settings);
  }
  fs::path data(const std::string& name) const { return dir.path() / "QSS" / "data" / name; }
  void group(const std::string& bytes) const {
    testutil::writeFile(dir.path() / "QSS" / "qsgroup.dat", bytes);
  }

  // Runs the data load; false when the group file's read error ended it.
  bool load(dcAssetConsoleEngine_t& engine) const {
    bool whole = true;
    try {
      EXPECT_EQ(runDataLoad(&engine), dcStatus::OK);
    } catch (const dcArchiveException_t&) {
      whole = false;
    }
    return whole;
  }

  testutil::WorkFolder work;
  testutil::TempDir dir;
  testutil::DriveMapping drive;
  std::optional<CSettingMgr> settings;
  std::optional<CSettingMgrOverride> use;
};

}  // namespace

TEST(LoadFaults, DamagedDataFilesLoadWhatCanBeLoaded) {
  Site site;
  const std::string korean = "PC\xB0\xA1";  // PC가, written on disk in CP949 by an older tool
  site.group(
      testutil::groupFile({"PC01", "PC02", "PC03", "PC04", "PC05", "PC06", "PC07", "PC08", "PC09", korean}));

  testutil::writeFile(site.data("PC01 HardwareInfo.xml"), HARDWARE);
  testutil::writeFile(site.data("PC01 softwareinfo.xml"), SOFTWARE);
  testutil::writeFile(site.data("PC02 HardwareInfo.xml"), "");                      // empty
  testutil::writeFile(site.data("PC03 HardwareInfo.xml"), HARDWARE.substr(0, 70));  // truncated
  testutil::writeFile(site.data("PC03 softwareinfo.xml"), SOFTWARE.substr(0, 40));  // in a tag
  std::string binary;
  for (int i = 0; i < 20000; ++i) binary += static_cast<char>((i * 7919) >> 3);
  testutil::writeFile(site.data("PC04 HardwareInfo.xml"), binary);  // binary, NULs included
  testutil::writeFile(site.data("PC04 WindowsInfo.xml"), binary);
  testutil::writeFile(site.data("PC04 totalsuinfo.xml"), binary);
  testutil::writeFile(site.data("PC05 softwareinfo.xml"), "");
  fs::resize_file(site.data("PC05 softwareinfo.xml"), HUGE_SIZE);  // huge, sparse: all NULs
  testutil::writeFile(site.data("PC06 HardwareInfo.xml"), HARDWARE);
  fs::permissions(site.data("PC06 HardwareInfo.xml"), fs::perms::none);  // unreadable
  const int probe = ::open(site.data("PC06 HardwareInfo.xml").c_str(), O_RDONLY);
  const bool permissionsHold = probe < 0;
  if (probe >= 0) ::close(probe);
  testutil::writeFile(site.data("PC07  HardwareInfo.xml"), HARDWARE);      // two blanks
  testutil::writeFile(site.data("PC08.xml"), HARDWARE);                    // no second word
  testutil::writeFile(site.data(" HardwareInfo.xml"), HARDWARE);           // no first word
  fs::create_directories(site.data("PC09 HardwareInfo.xml"));              // a folder
  testutil::writeFile(site.data(korean + " HardwareInfo.xml"), HARDWARE);  // non-UTF-8 name
  testutil::writeFile(site.data("PC01 unknown.xml"), HARDWARE);            // unknown type
  testutil::writeFile(site.data("PC99 HardwareInfo.xml"), HARDWARE);       // not in the group file

  dcAssetConsoleEngine_t engine;
  EXPECT_TRUE(site.load(engine));
  fs::remove(site.data("PC05 softwareinfo.xml"));
  dcQsGroup_t& root = engine.root;

  EXPECT_TRUE(hasHardware(root.findClient("PC01")));
  EXPECT_TRUE(hasSoftware(root.findClient("PC01")));
  EXPECT_FALSE(hasHardware(root.findClient("PC02")));
  ASSERT_NE(root.findClient("PC05"), nullptr);
  EXPECT_FALSE(hasSoftware(root.findClient("PC05")));
  if (permissionsHold) EXPECT_FALSE(hasHardware(root.findClient("PC06")));
  EXPECT_TRUE(hasHardware(root.findClient("PC07")));  // "%s %s" skips the second blank
  EXPECT_FALSE(hasHardware(root.findClient("PC09")));
  EXPECT_TRUE(hasHardware(root.findClient(korean.c_str())));
  EXPECT_EQ(root.findClient("PC99"), nullptr);
  // Gathered up to the root from what did load.
  EXPECT_NE(root.hardwareList.categories, nullptr);

  // Only the empty file and the unreadable one are rejected, each with its
  // level-0 line; damaged text loads what its parse gives.
  const std::string log = todaysLog();
  std::size_t failures = 0;
  for (std::size_t at = 0; (at = log.find("pdcQsClient->loadFromFile failed 401", at)) != std::string::npos;
       ++at)
    ++failures;
  EXPECT_EQ(failures, permissionsHold ? 2u : 1u);
  EXPECT_TRUE(fs::exists("qsHierarchy.log"));
}

TEST(LoadFaults, DamagedGroupFiles) {
  Site site;
  testutil::writeFile(site.data("PC01 HardwareInfo.xml"), HARDWARE);
  const std::string good = testutil::groupFile({"PC01", "PC02"});
  auto childCount = [](dcQsGroup_t& g) {
    std::size_t n = 0;
    for (dcQsClientNode_t* c = g.clients; c; c = c->next) ++n;
    return n;
  };

  {  // missing: the root alone, every data file skipped, the load goes on
    dcAssetConsoleEngine_t engine;
    EXPECT_TRUE(site.load(engine));
    EXPECT_EQ(engine.root.clients, nullptr);
    EXPECT_EQ(engine.root.children, nullptr);
  }
  for (const std::string& bytes : {std::string(), good.substr(0, good.size() - 20),
                                   std::string("\x0d!!QSDATFILE!!\xff\xff\xff\x7f", 18)}) {
    // empty, truncated, a count far beyond the file: the read error ends the load
    site.group(bytes);
    dcAssetConsoleEngine_t engine;
    EXPECT_FALSE(site.load(engine));
    EXPECT_LE(childCount(engine.root), 1u);
    EXPECT_FALSE(hasHardware(engine.root.findClient("PC01")));
  }
  {  // a text longer than the file
    site.group(std::string("\xff\xff\xff\xff\xff\xff\x7f", 7));
    dcAssetConsoleEngine_t engine;
    EXPECT_FALSE(site.load(engine));
  }
  {  // huge and sparse: an empty first text, so the legacy layout with no groups or clients
    site.group("");
    fs::resize_file(site.dir.path() / "QSS" / "qsgroup.dat", HUGE_SIZE);
    dcAssetConsoleEngine_t engine;
    EXPECT_TRUE(site.load(engine));
    fs::remove(site.dir.path() / "QSS" / "qsgroup.dat");
    EXPECT_EQ(engine.root.clients, nullptr);
  }
  {  // unreadable, when permissions are enforced: like a missing file
    site.group(good);
    const fs::path path = site.dir.path() / "QSS" / "qsgroup.dat";
    fs::permissions(path, fs::perms::none);
    const int probe = ::open(path.c_str(), O_RDONLY);
    if (probe >= 0) {
      ::close(probe);
    } else {
      dcAssetConsoleEngine_t engine;
      EXPECT_TRUE(site.load(engine));
      EXPECT_EQ(engine.root.clients, nullptr);
    }
    fs::permissions(path, fs::perms::owner_all);
  }
  {  // the data folder is a file: nothing to scan, the good group file still read
    site.group(good);
    fs::remove_all(site.data(""));
    testutil::writeFile(site.dir.path() / "QSS" / "data", HARDWARE);
    dcAssetConsoleEngine_t engine;
    EXPECT_TRUE(site.load(engine));
    EXPECT_EQ(childCount(engine.root), 2u);
  }
}
