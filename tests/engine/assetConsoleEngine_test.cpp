// The asset console engine: its commands, its lifecycle and the scan's
// use of the group loader.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dcAssetConsoleEngine.h"
#include "testutil.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> texts(dcStringList_t& list) {
  std::vector<std::string> out;
  for (dcStringListItem_t* item = list.head; item; item = item->next) out.emplace_back(item->text);
  return out;
}

const dcCommandEntry_t* entryOf(dcAssetConsoleEngine_t& engine, const std::string& pattern) {
  for (const dcCommandEntry_t* e = engine.commands.first; e; e = e->next)
    if (pattern == e->pattern) return e;
  return nullptr;
}

// Each ignore pattern with the list its name goes to.
struct IgnoreCase {
  const char* linePrefix;
  const char* lineSuffix;
  dcStringList_t dcAssetFilters_t::*list;
};
const IgnoreCase IGNORE_CASES[] = {
    {"ignore hardware", "in hardware list", &dcAssetFilters_t::ignoredHardwares},
    {"ignore device", "in hardware list", &dcAssetFilters_t::ignoredDevices},
    {"ignore package", "in software list", &dcAssetFilters_t::ignoredPackages},
    {"ignore package containing", "in software list", &dcAssetFilters_t::ignoredPackagesContaining},
    {"ignore filename", "in software list", &dcAssetFilters_t::ignoredFileNames},
    {"ignore filename under", "in software list", &dcAssetFilters_t::ignoredFileNamesUnder},
    {"ignore package", "in software usage list", &dcAssetFilters_t::ignoredUsagePackages},
    {"ignore filename", "in software usage list", &dcAssetFilters_t::ignoredUsageFileNames},
    {"ignore filename under", "in software usage list", &dcAssetFilters_t::ignoredUsageFileNamesUnder},
    {"ignore item", "in windows info", &dcAssetFilters_t::ignoredWindowsItems},
};

}  // namespace

TEST(AssetConsoleEngine_Lifecycle, ConstructionCommandsInitializeAndDestruction) {
  testutil::TempDir dir;
  const fs::path home = fs::current_path();
  fs::current_path(dir.path());
  // The commander's own script and starting command must not run.
  testutil::writeFile(dir.path() / "dcCommander.ini", "name this application FromScript\n");
  {
    dcAssetConsoleEngine_t engine;
    EXPECT_EQ(theAssetConsoleEngine, &engine);
    EXPECT_EQ(theCommanderEngine, &engine);
    EXPECT_EQ(theAssetFilters, &engine.filters);
    EXPECT_STREQ(engine.root.name, "root");
    EXPECT_EQ(engine.groupLoader, nullptr);
    EXPECT_EQ(engine.hardwareListing, 2u);
    EXPECT_EQ(engine.windowsInfoListing, 2u);

    // Sixteen built-in commands, then the eighteen inventory commands, each
    // with its help line naming the argument $name.
    std::vector<const dcCommandEntry_t*> entries;
    for (const dcCommandEntry_t* e = engine.commands.first; e; e = e->next) entries.push_back(e);
    ASSERT_EQ(entries.size(), 34u);
    EXPECT_STREQ(entries[15]->pattern, "interpret on engine close _string");
    EXPECT_STREQ(entries[16]->pattern, "clear hardware filters");
    EXPECT_STREQ(entries[33]->pattern, "set version priority listing of windows info");
    for (std::size_t i = 16; i < entries.size(); ++i) {
      std::string help = std::string("[command] ") + entries[i]->pattern;
      if (auto at = help.find("_string"); at != std::string::npos) help.replace(at, 7, "$name");
      EXPECT_EQ(help, entries[i]->help) << i;
    }

    engine.startingCommand[0] = 'x';
    int window = 0;
    EXPECT_EQ(engine.initialize(&window), dcStatus::OK);
    EXPECT_EQ(engine.window, &window);
    EXPECT_STREQ(engine.applicationName, "dcCommanderEngine_t");
    EXPECT_EQ(engine.interpret("name this application Console"), dcStatus::OK);
    std::snprintf(engine.closingCommand, sizeof engine.closingCommand, "name this application Closing");
    EXPECT_EQ(engine.deinitialize(), dcStatus::OK);
    EXPECT_STREQ(engine.applicationName, "Console");
  }
  EXPECT_EQ(theAssetConsoleEngine, nullptr);
  EXPECT_EQ(theAssetFilters, nullptr);
  fs::current_path(home);
}

TEST(AssetConsoleEngine_Commands, IgnoreCommandsFillTheirOwnListOnce) {
  dcAssetConsoleEngine_t engine;
  for (const IgnoreCase& c : IGNORE_CASES) {
    const std::string line = std::string(c.linePrefix) + " \"Name with blanks\" " + c.lineSuffix;
    EXPECT_EQ(engine.interpret(line.c_str()), dcStatus::OK) << line;
    EXPECT_EQ(engine.interpret(line.c_str()), dcStatus::OK) << line;  // a second time: no second copy
    // A name of double-byte characters without quotes: "그래픽".
    const std::string korean = std::string(c.linePrefix) + " \xB1\xD7\xB7\xA1\xC7\xC8 " + c.lineSuffix;
    EXPECT_EQ(engine.interpret(korean.c_str()), dcStatus::OK);
  }
  // Every list holds exactly its own two names, in order.
  for (const IgnoreCase& c : IGNORE_CASES) {
    EXPECT_EQ(texts(engine.filters.*c.list),
              (std::vector<std::string>{"Name with blanks", "\xB1\xD7\xB7\xA1\xC7\xC8"}))
        << c.linePrefix << " ... " << c.lineSuffix;
  }
  // One word over fits no command; one word short neither, except that the
  // "containing" and "under" forms then fit the plain form with that word.
  for (const IgnoreCase& c : IGNORE_CASES) {
    const std::string prefix = c.linePrefix;
    EXPECT_EQ(engine.interpret((prefix + " a b " + c.lineSuffix).c_str()), dcStatus::NOT_FOUND);
    const bool threeWords = prefix.find(' ') != prefix.rfind(' ');
    EXPECT_EQ(engine.interpret((prefix + " " + c.lineSuffix).c_str()),
              threeWords ? dcStatus::OK : dcStatus::NOT_FOUND);
  }
  EXPECT_NE(engine.filters.ignoredPackages.find("containing"), nullptr);
  EXPECT_NE(engine.filters.ignoredUsageFileNames.find("under"), nullptr);
  EXPECT_EQ(engine.filters.ignoredHardwares.find("in"), nullptr);
  // Case matters in the literal words.
  EXPECT_EQ(engine.interpret("Ignore hardware X in hardware list"), dcStatus::NOT_FOUND);
  EXPECT_EQ(engine.filters.isIgnoredHardware("X", nullptr), 0);
}

TEST(AssetConsoleEngine_Commands, ClearCommandsEmptyOnlyTheirLists) {
  dcAssetConsoleEngine_t engine;
  auto fillAll = [&] {
    for (const IgnoreCase& c : IGNORE_CASES)
      engine.interpret((std::string(c.linePrefix) + " n " + c.lineSuffix).c_str());
  };
  auto emptyLists = [&] {
    std::vector<int> out;
    for (const IgnoreCase& c : IGNORE_CASES) out.push_back((engine.filters.*c.list).head == nullptr);
    return out;
  };
  fillAll();
  EXPECT_EQ(engine.interpret("clear hardware filters"), dcStatus::OK);
  EXPECT_EQ(emptyLists(), (std::vector<int>{1, 1, 0, 0, 0, 0, 0, 0, 0, 0}));
  fillAll();
  EXPECT_EQ(engine.interpret("clear software filters"), dcStatus::OK);
  // "containing" and "under" stay.
  EXPECT_EQ(emptyLists(), (std::vector<int>{0, 0, 1, 0, 1, 0, 0, 0, 0, 0}));
  fillAll();
  EXPECT_EQ(engine.interpret("clear software usage filters"), dcStatus::OK);
  EXPECT_EQ(emptyLists(), (std::vector<int>{0, 0, 0, 0, 0, 0, 1, 1, 0, 0}));
  fillAll();
  EXPECT_EQ(engine.interpret("clear windows filters"), dcStatus::OK);
  EXPECT_EQ(emptyLists(), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
  // Clearing empty lists is fine too.
  EXPECT_EQ(engine.interpret("2 clear windows filters"), dcStatus::OK);
}

TEST(AssetConsoleEngine_Commands, ListingPrioritiesChangeOnlyTheirField) {
  dcAssetConsoleEngine_t engine;
  EXPECT_EQ(engine.interpret("set item priority listing of hardwares"), dcStatus::OK);
  EXPECT_EQ(engine.hardwareListing, 1u);
  EXPECT_EQ(engine.windowsInfoListing, 2u);
  EXPECT_EQ(engine.interpret("set version priority listing of windows info"), dcStatus::OK);
  EXPECT_EQ(engine.windowsInfoListing, 1u);
  EXPECT_EQ(engine.interpret("set pc priority listing of hardwares"), dcStatus::OK);
  EXPECT_EQ(engine.hardwareListing, 2u);
  EXPECT_EQ(engine.windowsInfoListing, 1u);
  EXPECT_EQ(engine.interpret("set pc priority listing of windows info"), dcStatus::OK);
  EXPECT_EQ(engine.windowsInfoListing, 2u);
  for (const IgnoreCase& c : IGNORE_CASES) EXPECT_EQ((engine.filters.*c.list).head, nullptr);
}

TEST(AssetConsoleEngine_Commands, HandlersRefuseMissingEngineArgumentsAndUnreadableWords) {
  dcAssetConsoleEngine_t engine;
  const dcCommandEntry_t* ignore = entryOf(engine, "ignore hardware _string in hardware list");
  const dcCommandEntry_t* clear = entryOf(engine, "clear hardware filters");
  const dcCommandEntry_t* listing = entryOf(engine, "set item priority listing of hardwares");
  ASSERT_TRUE(ignore && clear && listing);
  const char* line = "ignore hardware CPU in hardware list";
  for (const dcCommandEntry_t* e : {ignore, clear, listing}) {
    EXPECT_EQ(e->handler(nullptr, line), dcStatus::MISSING_OBJECT);
    EXPECT_EQ(e->handler(&engine.commands, nullptr), dcStatus::MISSING_OBJECT);
  }
  theAssetConsoleEngine = nullptr;
  for (const dcCommandEntry_t* e : {ignore, clear, listing})
    EXPECT_EQ(e->handler(&engine.commands, line), dcStatus::MISSING_OBJECT);
  theAssetConsoleEngine = &engine;
  EXPECT_EQ(engine.hardwareListing, 2u);

  // Called with a line that lacks the words or ends in an open quote.
  EXPECT_EQ(ignore->handler(&engine.commands, "ignore hardware"), dcStatus::BAD_ARGUMENT);
  EXPECT_EQ(ignore->handler(&engine.commands, "ignore hardware \"CPU in hardware list"),
            dcStatus::BAD_ARGUMENT);
  EXPECT_EQ(engine.filters.ignoredHardwares.head, nullptr);
  EXPECT_EQ(ignore->handler(&engine.commands, line), dcStatus::OK);
  EXPECT_EQ(texts(engine.filters.ignoredHardwares), std::vector<std::string>{"CPU"});
}

TEST(AssetConsoleEngine_Scan, GroupLoaderRunsFirstAndMissingFoldersLoadNothing) {
  dcAssetConsoleEngine_t engine;
  static int calls;
  calls = 0;
  engine.groupLoader = [](dcAssetConsoleEngine_t* e) -> dcStatus_t {
    ++calls;
    e->root.addClient("PC01");
    return dcStatus::OK;
  };
  std::vector<std::pair<std::size_t, std::size_t>> steps;
  dcDataLoadProgress_t progress{
      [&](std::size_t read, std::size_t found) { steps.emplace_back(read, found); }};
  EXPECT_EQ(engine.Test_loadfromFile("C:\\no\\such\\folder", &progress), 1u);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(steps, (std::vector<std::pair<std::size_t, std::size_t>>{{0, 0}}));
  engine.groupLoader = nullptr;
  EXPECT_EQ(engine.Test_loadfromFile(nullptr), 1u);
  EXPECT_EQ(calls, 1);
  // A folder too long for a path finds nothing.
  EXPECT_EQ(engine.Test_loadfromFile(std::string(300, 'x').c_str()), 1u);
  ASSERT_NE(engine.root.findClient("PC01"), nullptr);
  EXPECT_EQ(engine.root.findClient("PC01")->hardwareList.categories, nullptr);
}
