// The asset console engine: its command table, the filter and listing
// commands, and the scan's use of the group loader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dcAssetConsoleEngine.h"

namespace {

using Lists = std::vector<std::vector<std::string>>;

// Each ignore command as the words around its name, and the list it fills.
struct IgnoreCase {
  const char* before;
  const char* after;
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

// The ten lists' texts, in the order of IGNORE_CASES.
Lists lists(dcAssetConsoleEngine_t& engine) {
  Lists out;
  for (const IgnoreCase& c : IGNORE_CASES) {
    out.emplace_back();
    for (dcStringListItem_t* i = (engine.filters.*c.list).head; i; i = i->next)
      out.back().emplace_back(i->text);
  }
  return out;
}

dcStatus_t run(dcAssetConsoleEngine_t& engine, const IgnoreCase& c, const std::string& name) {
  return engine.interpret((std::string(c.before) + " " + name + " " + c.after).c_str());
}

}  // namespace

TEST(AssetConsoleEngine_Lifecycle, GlobalsCommandTableAndReplacedInitialize) {
  {
    dcAssetConsoleEngine_t engine;
    EXPECT_TRUE(theAssetConsoleEngine == &engine && theCommanderEngine == &engine);
    EXPECT_EQ(theAssetFilters, &engine.filters);
    EXPECT_STREQ(engine.root.name, "root");
    EXPECT_TRUE(engine.groupLoader == nullptr && engine.hardwareListing == 2 &&
                engine.windowsInfoListing == 2);
    // The sixteen built-in commands, then the eighteen inventory commands,
    // each with its help line naming the argument $name.
    std::vector<const dcCommandEntry_t*> entries;
    for (const dcCommandEntry_t* e = engine.commands.first; e; e = e->next) entries.push_back(e);
    ASSERT_EQ(entries.size(), 34u);
    EXPECT_STREQ(entries[16]->pattern, "clear hardware filters");
    EXPECT_STREQ(entries[33]->pattern, "set version priority listing of windows info");
    for (std::size_t i = 16; i < entries.size(); ++i) {
      std::string help = std::string("[command] ") + entries[i]->pattern;
      if (auto at = help.find("_string"); at != std::string::npos) help.replace(at, 7, "$name");
      EXPECT_EQ(help, entries[i]->help) << i;
    }
    // Neither the starting nor the closing command runs.
    std::snprintf(engine.startingCommand, sizeof engine.startingCommand, "name this application Start");
    std::snprintf(engine.closingCommand, sizeof engine.closingCommand, "name this application Close");
    int window = 0;
    EXPECT_EQ(engine.initialize(&window), dcStatus::OK);
    EXPECT_EQ(engine.deinitialize(), dcStatus::OK);
    EXPECT_EQ(engine.window, &window);
    EXPECT_STREQ(engine.applicationName, "dcCommanderEngine_t");
  }
  EXPECT_TRUE(theAssetConsoleEngine == nullptr && theAssetFilters == nullptr);
}

TEST(AssetConsoleEngine_Commands, IgnoreClearAndListingCommands) {
  dcAssetConsoleEngine_t engine;
  for (const IgnoreCase& c : IGNORE_CASES) {
    EXPECT_EQ(run(engine, c, "\"Name with blanks\""), dcStatus::OK);
    EXPECT_EQ(run(engine, c, "\"Name with blanks\""), dcStatus::OK);      // not added twice
    EXPECT_EQ(run(engine, c, "\xB1\xD7\xB7\xA1\xC7\xC8"), dcStatus::OK);  // "그래픽" unquoted
  }
  const std::vector<std::string> two{"Name with blanks", "\xB1\xD7\xB7\xA1\xC7\xC8"};
  EXPECT_EQ(lists(engine), Lists(10, two));

  // A surplus word fits nothing; a missing one fits nothing either, except
  // that "containing" or "under" then becomes the name of the plain form.
  for (const IgnoreCase& c : IGNORE_CASES) EXPECT_EQ(run(engine, c, "a b"), dcStatus::NOT_FOUND);
  EXPECT_EQ(engine.interpret("ignore hardware in hardware list"), dcStatus::NOT_FOUND);
  EXPECT_EQ(engine.interpret("ignore package containing in software list"), dcStatus::OK);
  EXPECT_EQ(engine.interpret("Ignore hardware X in hardware list"), dcStatus::NOT_FOUND);  // case
  Lists expected(10, two);
  expected[2].push_back("containing");
  EXPECT_EQ(lists(engine), expected);

  // Each clear empties its own lists only.
  EXPECT_EQ(engine.interpret("clear hardware filters"), dcStatus::OK);
  EXPECT_EQ(engine.interpret("clear software filters"), dcStatus::OK);
  EXPECT_EQ(engine.interpret("clear software usage filters"), dcStatus::OK);
  for (int i : {0, 1, 2, 4, 6, 7}) expected[i].clear();
  EXPECT_EQ(lists(engine), expected);
  EXPECT_EQ(engine.interpret("2 clear windows filters"), dcStatus::OK);
  expected[9].clear();
  EXPECT_EQ(lists(engine), expected);

  EXPECT_EQ(engine.interpret("set item priority listing of hardwares"), dcStatus::OK);
  EXPECT_EQ(engine.interpret("set version priority listing of windows info"), dcStatus::OK);
  EXPECT_TRUE(engine.hardwareListing == 1 && engine.windowsInfoListing == 1);
  EXPECT_EQ(engine.interpret("set pc priority listing of windows info"), dcStatus::OK);
  EXPECT_TRUE(engine.hardwareListing == 1 && engine.windowsInfoListing == 2);
  EXPECT_EQ(engine.interpret("set pc priority listing of hardwares"), dcStatus::OK);
  EXPECT_TRUE(engine.hardwareListing == 2 && engine.windowsInfoListing == 2);
  EXPECT_EQ(lists(engine), expected);
}

TEST(AssetConsoleEngine_Commands, HandlersRefuseMissingEngineArgumentsAndUnreadableWords) {
  dcAssetConsoleEngine_t engine;
  std::vector<dcCommandHandler_t> handlers;
  for (const dcCommandEntry_t* e = engine.commands.first; e; e = e->next)
    if (std::string(e->help).find("ignore hardware") != std::string::npos ||
        std::string(e->pattern).find("priority") != std::string::npos)
      handlers.push_back(e->handler);
  ASSERT_EQ(handlers.size(), 5u);  // "ignore hardware" and the four listing commands
  const char* line = "ignore hardware CPU in hardware list";
  for (dcCommandHandler_t h : handlers) {
    EXPECT_EQ(h(nullptr, line), dcStatus::MISSING_OBJECT);
    EXPECT_EQ(h(&engine.commands, nullptr), dcStatus::MISSING_OBJECT);
  }
  theAssetConsoleEngine = nullptr;
  for (dcCommandHandler_t h : handlers) EXPECT_EQ(h(&engine.commands, line), dcStatus::MISSING_OBJECT);
  theAssetConsoleEngine = &engine;
  EXPECT_EQ(handlers[0](&engine.commands, "ignore hardware"), dcStatus::BAD_ARGUMENT);
  EXPECT_EQ(handlers[0](&engine.commands, "ignore hardware \"CPU in hardware list"), dcStatus::BAD_ARGUMENT);
  EXPECT_TRUE(engine.filters.ignoredHardwares.head == nullptr && engine.hardwareListing == 2);
}

TEST(AssetConsoleEngine_Scan, GroupLoaderRunsFirstAndMissingFoldersLoadNothing) {
  dcAssetConsoleEngine_t engine;
  static int calls = 0;
  engine.groupLoader = [](dcAssetConsoleEngine_t* e) -> dcStatus_t {
    return e->root.addClient("PC01"), ++calls, 0;
  };
  std::vector<std::size_t> steps;
  dcDataLoadProgress_t progress{[&](std::size_t read, std::size_t found) { steps.push_back(read + found); }};
  EXPECT_EQ(engine.Test_loadfromFile("C:\\no\\such\\folder", &progress), 1u);
  EXPECT_EQ(engine.Test_loadfromFile(std::string(300, 'x').c_str()), 1u);  // too long for a path
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(steps, std::vector<std::size_t>{0});
  engine.groupLoader = nullptr;
  EXPECT_EQ(engine.Test_loadfromFile(nullptr), 1u);
  EXPECT_EQ(calls, 2);
}
