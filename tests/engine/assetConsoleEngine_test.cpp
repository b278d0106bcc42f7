// The asset console engine: command table, filter and listing commands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dcAssetConsoleEngine.h"

namespace {

using F = dcAssetFilters_t;

// Each ignore command with the list it fills.
const std::pair<const char*, dcStringList_t F::*> IGNORES[] = {
    {"ignore hardware _string in hardware list", &F::ignoredHardwares},
    {"ignore device _string in hardware list", &F::ignoredDevices},
    {"ignore package _string in software list", &F::ignoredPackages},
    {"ignore package containing _string in software list", &F::ignoredPackagesContaining},
    {"ignore filename _string in software list", &F::ignoredFileNames},
    {"ignore filename under _string in software list", &F::ignoredFileNamesUnder},
    {"ignore package _string in software usage list", &F::ignoredUsagePackages},
    {"ignore filename _string in software usage list", &F::ignoredUsageFileNames},
    {"ignore filename under _string in software usage list", &F::ignoredUsageFileNamesUnder},
    {"ignore item _string in windows info", &F::ignoredWindowsItems},
};

std::string with(std::string pattern, const std::string& name) {
  const auto at = pattern.find("_string");
  return at == std::string::npos ? pattern : pattern.replace(at, 7, name);
}

// The ten lists, one string each, names separated by "|".
std::vector<std::string> lists(dcAssetConsoleEngine_t& engine) {
  std::vector<std::string> out;
  for (const auto& [pattern, list] : IGNORES) {
    out.emplace_back();
    for (dcStringListItem_t* i = (engine.filters.*list).head; i; i = i->next)
      out.back() += i->text + std::string("|");
  }
  return out;
}

}  // namespace

TEST(AssetConsoleEngine_Lifecycle, GlobalsCommandTableAndReplacedInitialize) {
  {
    dcAssetConsoleEngine_t engine;
    EXPECT_TRUE(theAssetConsoleEngine == &engine && theCommanderEngine == &engine &&
                theAssetFilters == &engine.filters);
    EXPECT_STREQ(engine.root.name, "root");
    EXPECT_TRUE(engine.groupLoader == nullptr && engine.hardwareListing == 2 &&
                engine.windowsInfoListing == 2);
    // The sixteen built-in commands, then the eighteen inventory commands,
    // each helped by its pattern with $name for the argument.
    std::vector<const dcCommandEntry_t*> entries;
    for (const dcCommandEntry_t* e = engine.commands.first; e; e = e->next) entries.push_back(e);
    ASSERT_EQ(entries.size(), 34u);
    EXPECT_STREQ(entries[16]->pattern, "clear hardware filters");
    EXPECT_STREQ(entries[33]->pattern, "set version priority listing of windows info");
    for (std::size_t i = 16; i < entries.size(); ++i)
      EXPECT_EQ("[command] " + with(entries[i]->pattern, "$name"), entries[i]->help);
    // Neither the starting nor the closing command runs.
    std::snprintf(engine.startingCommand, sizeof engine.startingCommand, "name this application Start");
    std::snprintf(engine.closingCommand, sizeof engine.closingCommand, "name this application Close");
    int window = 0;
    EXPECT_TRUE(engine.initialize(&window) == 0 && engine.deinitialize() == 0 && engine.window == &window);
    EXPECT_STREQ(engine.applicationName, "dcCommanderEngine_t");
  }
  EXPECT_TRUE(theAssetConsoleEngine == nullptr && theAssetFilters == nullptr);
}

TEST(AssetConsoleEngine_Commands, IgnoreClearListingAndBadArguments) {
  dcAssetConsoleEngine_t engine;
  for (const auto& [pattern, list] : IGNORES) {
    EXPECT_EQ(engine.interpret(with(pattern, "\"Name with blanks\"").c_str()), 0u);
    EXPECT_EQ(engine.interpret(with(pattern, "\"Name with blanks\"").c_str()), 0u);      // not added twice
    EXPECT_EQ(engine.interpret(with(pattern, "\xB1\xD7\xB7\xA1\xC7\xC8").c_str()), 0u);  // "그래픽"
    EXPECT_EQ(engine.interpret(with(pattern, "a b").c_str()), dcStatus::NOT_FOUND);      // a word too many
  }
  // A word short fits nothing, or the plain form with "containing" as name.
  EXPECT_EQ(engine.interpret("ignore hardware in hardware list"), dcStatus::NOT_FOUND);
  EXPECT_EQ(engine.interpret("ignore package containing in software list"), 0u);
  EXPECT_EQ(engine.interpret("Ignore hardware X in hardware list"), dcStatus::NOT_FOUND);
  std::vector<std::string> expected(10, "Name with blanks|\xB1\xD7\xB7\xA1\xC7\xC8|");
  expected[2] += "containing|";
  EXPECT_EQ(lists(engine), expected);

  // Each clear empties its own lists only.
  for (const char* line :
       {"clear hardware filters", "clear software filters", "2 clear software usage filters"})
    EXPECT_EQ(engine.interpret(line), 0u);
  for (int i : {0, 1, 2, 4, 6, 7}) expected[i].clear();
  EXPECT_EQ(lists(engine), expected);

  std::string fields;
  for (const char* line :
       {"set item priority listing of hardwares", "set version priority listing of windows info",
        "set pc priority listing of windows info", "set pc priority listing of hardwares"}) {
    EXPECT_EQ(engine.interpret(line), 0u);
    fields += std::to_string(engine.hardwareListing) + std::to_string(engine.windowsInfoListing) + " ";
  }
  EXPECT_EQ(fields, "12 11 12 22 ");

  // A handler called directly: no engine, list or line; words that cannot be read.
  dcCommandHandler_t ignore = nullptr;
  for (const dcCommandEntry_t* e = engine.commands.first; e; e = e->next)
    if (std::string(e->pattern) == IGNORES[0].first) ignore = e->handler;
  ASSERT_NE(ignore, nullptr);
  EXPECT_EQ(ignore(nullptr, "ignore hardware CPU in hardware list"), dcStatus::MISSING_OBJECT);
  EXPECT_EQ(ignore(&engine.commands, nullptr), dcStatus::MISSING_OBJECT);
  theAssetConsoleEngine = nullptr;
  EXPECT_EQ(ignore(&engine.commands, "ignore hardware CPU in hardware list"), dcStatus::MISSING_OBJECT);
  theAssetConsoleEngine = &engine;
  EXPECT_EQ(ignore(&engine.commands, "ignore hardware"), dcStatus::BAD_ARGUMENT);
  EXPECT_EQ(ignore(&engine.commands, "ignore hardware \"CPU in hardware list"), dcStatus::BAD_ARGUMENT);
  EXPECT_EQ(lists(engine), expected);
}
