// The asset console engine: command table, filter and listing commands.
#include <gtest/gtest.h>

#include <cstring>
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
    // The inventory commands follow the built-in ones, each helped by its
    // pattern with $name for the argument.
    const dcCommandEntry_t* e = engine.commands.first;
    for (int i = 0; i < 16 && e; ++i) e = e->next;
    ASSERT_TRUE(e && !std::strcmp(e->pattern, "clear hardware filters"));
    for (; e; e = e->next) EXPECT_EQ("[command] " + with(e->pattern, "$name"), e->help);
    // Neither the starting nor the closing command runs.
    std::snprintf(engine.startingCommand, sizeof engine.startingCommand, "name this application Start");
    std::snprintf(engine.closingCommand, sizeof engine.closingCommand, "name this application Close");
    int window = 0;
    EXPECT_TRUE(engine.initialize(&window) == 0 && engine.deinitialize() == 0 && engine.window == &window);
    EXPECT_STREQ(engine.applicationName, "dcCommanderEngine_t");
  }
  EXPECT_TRUE(theAssetConsoleEngine == nullptr && theAssetFilters == nullptr);

  // The pointer follows the newest set; an older one going leaves it alone.
  auto* older = new F();
  {
    F newer;
    delete older;
    EXPECT_EQ(theAssetFilters, &newer);
  }
  EXPECT_EQ(theAssetFilters, nullptr);
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

  EXPECT_EQ(engine.interpret("set item priority listing of hardwares"), 0u);
  EXPECT_EQ(engine.interpret("set version priority listing of windows info"), 0u);
  EXPECT_TRUE(engine.hardwareListing == 1 && engine.windowsInfoListing == 1);

  // A handler called directly: no line; words that cannot be read.
  dcCommandHandler_t ignore = nullptr;
  for (const dcCommandEntry_t* e = engine.commands.first; e; e = e->next)
    if (std::string(e->pattern) == IGNORES[0].first) ignore = e->handler;
  ASSERT_NE(ignore, nullptr);
  EXPECT_TRUE(ignore(&engine.commands, nullptr) == dcStatus::MISSING_OBJECT &&
              ignore(&engine.commands, "ignore hardware") == dcStatus::BAD_ARGUMENT);
  EXPECT_EQ(ignore(&engine.commands, "ignore hardware \"CPU in hardware list"), dcStatus::BAD_ARGUMENT);
  EXPECT_EQ(lists(engine), expected);

  // Checks compare exactly; the device list answers when the category does not.
  F& f = engine.filters;
  engine.interpret("ignore hardware CPU in hardware list");
  engine.interpret("ignore device Undefined in hardware list");
  EXPECT_EQ(f.isIgnoredHardware("CPU", nullptr) + f.isIgnoredHardware("Disk", "Undefined") +
                f.isIgnoredHardware(nullptr, "Undefined") + f.isIgnoredWindowsItem("Name with blanks"),
            4);
  EXPECT_EQ(f.status, dcStatus::OK);
  EXPECT_EQ(f.isIgnoredHardware("cpu", nullptr) + f.isIgnoredHardware("Disk", "undefined") +
                f.isIgnoredHardware("Disk", "CPU") + f.isIgnoredWindowsItem("name with blanks") +
                f.isIgnoredWindowsItem(nullptr),
            0);
  EXPECT_EQ(f.status, dcStatus::NOT_FOUND);
}
