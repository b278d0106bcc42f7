// The command language: tokens, repeat counts, matching order, and lines
// or tokens that are too long; start-up words joined into a line. The commander engine: built-in commands,
// scripts, events, files and window messages, always inside a temporary folder; the asset console engine's
// command table, filters and listing commands.
#include <gtest/gtest.h>

#include "dcAssetConsoleEngine.h"
#include "dcCommandList.h"
#include "dcCommanderEngine.h"
#include "testutil.h"
#include "windowservices.h"

namespace {

using Token = dcCommandList_t::Token;
using Strings = std::vector<std::string>;
constexpr dcStatus_t kEndOfText = dcCommandList_t::END_OF_TEXT;

// Every token of text, then the status that ended the reading.
Strings tokensOf(dcCommandList_t& list, const char* text, dcStatus_t* end) {
  Strings tokens;
  Token token;
  while ((*end = list.nextToken(&text, token)) == dcStatus::OK) tokens.emplace_back(token);
  return tokens;
}

// Handlers record the lines they ran with.
Strings calls;
dcStatus_t record(dcCommandList_t*, const char* line) { return calls.emplace_back(line), 7; }
dcStatus_t never(dcCommandList_t*, const char*) { return calls.emplace_back("never"), 0; }
dcStatus_t onIgnore(dcCommandList_t* list, const char* line) {
  Token words[6];
  EXPECT_EQ(list->readTokens(line, words, 6), dcStatus::OK);
  return calls.emplace_back(words[2]), 0;
}

struct CommandListTest : ::testing::Test {
  void SetUp() override {
    calls.clear();
    ASSERT_EQ(list.addCommand(record, "", ""), dcStatus::OK);
    list.addCommand(record, "sleep _integer", "[command] sleep $sec");
    list.addCommand(never, "sleep now", "");  // "sleep _integer" comes first
    list.addCommand(record, "exit", "");
    list.addCommand(onIgnore, "ignore package _string in software list", "");
  }
  dcStatus_t run(std::string line) { return list.dispatch(line.data()); }
  dcCommandList_t list;
};

// Runs each test in a fresh folder of its own.
struct EngineTest : ::testing::Test {
  testutil::WorkFolder work;
};

// One window titled "Target"; searches and messages are written down in `log`.
struct FakeServices : winsvc::HeadlessWindowServices {
  bool setTimer(winsvc::WindowHandle w, std::uint32_t id, std::uint32_t ms) override {
    return timersWork && HeadlessWindowServices::setTimer(w, id, ms);
  }
  winsvc::WindowHandle findWindow(const char* className, const char* title) override {
    log += std::string(className ? className : "(any)") + ' ';
    return std::string(title) == "Target" ? this : nullptr;
  }
  std::intptr_t sendMessage(winsvc::WindowHandle w, std::uint32_t m, std::intptr_t a,
                            std::intptr_t b) override {
    log += (w == this ? "target " : "main ") + std::to_string(m) + ' ' + std::to_string(a) + ' ' +
           std::to_string(b) + ';';
    return 42;
  }
  bool timersWork = true;
  std::string log;
};

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
    for (auto* i = (engine.filters.*list).head; i; i = i->next) out.back() += i->text + std::string("|");
  }
  return out;
}

}  // namespace

TEST_F(CommandListTest, Dispatch_MatchingOrderAndRepeatCounts) {
  // Placeholders take any word; the first registered pattern wins.
  for (const char* line : {"sleep 5", "sleep  abc", "sleep now"}) EXPECT_EQ(run(line), 7);
  EXPECT_EQ(list.status, 7u);
  // Nothing fits a word missing or spelled otherwise, a count of 0, a quote
  // left open, a word too many, or a line beyond 255 bytes whatever it starts with.
  for (const std::string& line :
       Strings{"sleep", "Sleep 5", "sleep\t5", "0 sleep 1", "2 nothing fits", "ignore package \"open",
               "ignore package x in software list extra", std::string(10000, 'x'), std::string(10000, '7')})
    EXPECT_EQ(run(line), dcStatus::NOT_FOUND) << line.substr(0, 40);
  EXPECT_EQ(calls, (Strings{"sleep 5", "sleep  abc", "sleep now"}));

  calls.clear();
  EXPECT_EQ(run("3 sleep 1"), 7);
  EXPECT_EQ(calls, Strings(3, " sleep 1"));
  EXPECT_EQ(run("12abc sleep 1"), 7);
  EXPECT_EQ(calls.size(), 15u);

  calls.clear();
  for (const char* line : {"", "   ", "\"open at the start", "exit \"open"}) EXPECT_EQ(run(line), 7);
  EXPECT_EQ(run("ignore package \"Office 2003\" in software list"), 0);
  EXPECT_EQ(calls, (Strings{"", "   ", "\"open at the start", "exit \"open", "Office 2003"}));
  EXPECT_EQ(list.dispatch(nullptr), dcStatus::NULL_ARGUMENT);

  // A long token is cut at a character boundary; the cursor passes all of it.
  std::string text = "a";
  for (int i = 0; i < 2500; ++i) text += "\xB0\xA1";
  dcStatus_t end;
  EXPECT_EQ(tokensOf(list, (text + " next").c_str(), &end), (Strings{text.substr(0, 255), "next"}));
}

TEST_F(CommandListTest, Words_QuotesDoubleByteAndJoinedLinesReadBack) {
  dcStatus_t end;
  EXPECT_EQ(tokensOf(list, "ignore  package \"Office 2003 Pro\" in\tsoftware list", &end),
            (Strings{"ignore", "package", "Office 2003 Pro", "in\tsoftware", "list"}));
  EXPECT_EQ(end, kEndOfText);
  // A word may follow a closing quote directly; quotes inside a word are plain.
  EXPECT_EQ(tokensOf(list, "\"\"ab\"c \"x y\"z ", &end), (Strings{"", "ab\"c", "x y", "z"}));
  EXPECT_EQ(end, dcStatus::NOT_FOUND);  // only blanks left
  // A trail byte is never a blank or a quote: 0xB0 takes the quote after it.
  EXPECT_EQ(tokensOf(list, "\xB0\xA1\xB3\xAA next \"\xB0\"\" tail", &end),
            (Strings{"\xB0\xA1\xB3\xAA", "next", "\xB0\"", "tail"}));

  // Empty words and words with blanks are quoted; quotes inside a bare word
  // and tabs stay as they are; a blank that is a trail byte needs nothing.
  const dcJoinedCommandLine_t joined =
      dcJoinCommandWords({"ignore", "", "a\"b", "x y", "\t", "\xB0\" a", "\xB0"});
  EXPECT_TRUE(joined && joined.line == "ignore \"\" a\"b \"x y\" \t \"\xB0\" a\" \xB0")
      << joined.line << joined.error;
  EXPECT_EQ(dcJoinCommandWords({}).line, "");
  // Terminal words are UTF-8 or already CP949; one CP949 cannot write is refused.
  EXPECT_EQ(dcTextFromTerminal("하드 디스크?"), "\xC7\xCF\xB5\xE5 \xB5\xF0\xBD\xBA\xC5\xA9?");
  EXPECT_EQ(dcTextFromTerminal("\xC7\xCF\xB5\xE5"), "\xC7\xCF\xB5\xE5");

  // Random words from the bytes that matter: joined exactly when every word
  // can stand at its place, bare or quoted, and then read back unchanged.
  const auto carriable = [&](const std::string& word, bool last) {
    const Strings expected = last ? Strings{word} : Strings{word, "x"};
    for (const std::string& spelling : {word, "\"" + word + "\""})
      if (tokensOf(list, (spelling + (last ? "" : " x")).c_str(), &end) == expected && end == kEndOfText)
        return true;
    return false;
  };
  std::mt19937 random(13);
  const std::string alphabet{' ', '"', 'a', '\t', '\xB0', '\xA1', '\x81'};
  for (int round = 0; round < 20000; ++round) {
    Strings some(random() % 4);
    for (std::string& word : some)
      for (int n = static_cast<int>(random() % 4); n > 0; --n) word += alphabet[random() % alphabet.size()];
    bool model = true;
    for (std::size_t i = 0; i < some.size(); ++i) model = model && carriable(some[i], i + 1 == some.size());
    const dcJoinedCommandLine_t result = dcJoinCommandWords(some);
    ASSERT_EQ(static_cast<bool>(result), model) << result.error;
    // Read back unchanged when joined, nothing when refused.
    ASSERT_TRUE(result ? tokensOf(list, result.line.c_str(), &end) == some && end == kEndOfText
                       : result.line.empty())
        << result.line;
  }
}

TEST_F(EngineTest, BuiltInCommands_HelpFileScriptsAndState) {
  testutil::writeFile("dcCommanderHelp.txt", "old contents that must go\n");
  {
    // An engine that appends its own command after the built-in ones.
    dcCommanderEngine_t engine;
    engine.commands.addCommand([](dcCommandList_t*, const char*) -> dcStatus_t { return 55; }, "ping",
                               "[command] ping");
    EXPECT_EQ(theCommanderEngine, &engine);
    EXPECT_EQ(engine.interpret("help") + engine.interpret("ping"), 55);
  }
  EXPECT_EQ(theCommanderEngine, nullptr);
  // A blank line, then each command's help in table order, the added one last.
  const std::string help = testutil::readFile("dcCommanderHelp.txt");
  EXPECT_EQ(help.rfind("\r\n[command] name this application $appName\r\n[command] hide process\r\n", 0), 0u);
  EXPECT_NE(
      help.find("[command] send window message $message $wParam $lParam to $className $windowTitle\r\n"),
      std::string::npos);
  EXPECT_TRUE(help.ends_with("[command] interpret on engine close $command\r\n[command] ping\r\n"));
  EXPECT_EQ(std::count(help.begin(), help.end(), '\n') + std::count(help.begin(), help.end(), '\r'), 34);

  // initialize runs "dcCommander.ini" (every line, whatever ends it, free
  // text as a comment, repeat counts, the last line without an end), then
  // the starting command; deinitialize the closing one.
  dcCommanderEngine_t engine;
  EXPECT_STREQ(engine.applicationName, "dcCommanderEngine_t");
  testutil::writeFile(
      "dcCommander.ini",
      "execute \"echo one >> one.txt\"\r\nfree text serves as a comment\n\n" +
          ("3 execute \"echo x >> three.txt\"\rname this application " + std::string(2000, 'n')) +
          "\nname this application \"from script\"");
  int window = 0;
  EXPECT_EQ(engine.interpret("interpret on engine start \"disable ui\"") +
                engine.interpret("interpret on engine close \"name this application closed\"") +
                engine.initialize(&window),
            0);
  EXPECT_STREQ(engine.applicationName, "from script");
  EXPECT_EQ(engine.uiEnabled, 0u);
  EXPECT_EQ(testutil::waitForLines("one.txt", 1), "one\n");
  EXPECT_EQ(testutil::waitForLines("three.txt", 3), "x\nx\nx\n");
  EXPECT_EQ(engine.deinitialize(), 0);
  EXPECT_STREQ(engine.applicationName, "closed");
  EXPECT_EQ(engine.loadIni("missing.ini"), dcStatus::FILE_ERROR);
  EXPECT_EQ(engine.interpret("execute \"\""), dcStatus::CANNOT_START);

  // Without an engine every handler answers 201 and does nothing.
  theCommanderEngine = nullptr;
  EXPECT_EQ(engine.interpret("name this application none"), dcStatus::MISSING_OBJECT);
  theCommanderEngine = &engine;
  EXPECT_STREQ(engine.applicationName, "closed");
}

TEST_F(EngineTest, DeleteAndSleep) {
  // Exactly what the pattern names: files in any letter case, never folders.
  for (const char* name : {"a.tmp", "B.TMP", "\xEA\xB0\x80.tmp", "c.txt", "with blank.txt", "keep.tmp.txt"})
    testutil::writeFile(name, "x");
  std::filesystem::create_directory("sub.tmp");
  dcCommanderEngine_t engine;
  EXPECT_EQ(engine.interpret("delete *.tmp") + engine.interpret("delete \"WITH BLANK.txt\""), 0);
  // The system's "no such file", a folder of that name, no name at all.
  for (const auto& [line, error] :
       {std::pair{"delete c.txt.none", 2u}, {"delete sub.tmp", 21u}, {"delete sub.tmp\\", 2u}})
    EXPECT_EQ(engine.interpret(line), error) << line;
  EXPECT_EQ(testutil::namesIn("."), (std::vector<std::string>{"c.txt", "keep.tmp.txt", "sub.tmp"}));

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(engine.interpret("sleep 1"), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(990));
}

TEST_F(EngineTest, EventsAndWindowMessages) {
  FakeServices services;
  winsvc::ScopedServices scope(&services);
  dcCommanderEngine_t engine;
  int window = 0;
  engine.window = &window;

  for (const char* line : {"set timer event every 5 min named e1 interpreting \"disable ui\"",
                           "set timer event every 5 min named e2 executing \"echo e2 >> e2.txt\"",
                           "set timer event every 7 ms named e3 interpreting \"do event e3\""})
    EXPECT_EQ(engine.interpret(line), 0) << line;
  // "executing" ignores the unit.
  const dcTimerEvent_t* e = engine.events;
  ASSERT_TRUE(e && e->next && e->next->next);
  EXPECT_EQ(std::tuple(e->trigger.intervalMs, e->next->trigger.intervalMs, e->next->next->trigger.intervalMs),
            std::tuple(300000u, 5000u, 7u));
  EXPECT_EQ(services.activeTimers(), 3u);

  for (const char* line : {"do event e1", "do event e2", "do event nobody"})
    EXPECT_EQ(engine.interpret(line), 0);
  EXPECT_EQ(engine.uiEnabled, 0u);
  EXPECT_EQ(testutil::waitForLines("e2.txt", 1), "e2\n");
  EXPECT_EQ(engine.interpret("do event e3"), dcStatus::NOT_FOUND);  // ends at the nesting limit

  services.timersWork = false;
  EXPECT_EQ(engine.interpret("set timer event every 1 sec named e4 executing true"), dcStatus::TIMER_FAILED);
  EXPECT_EQ(e->next->next->next->trigger.active, 0u);  // kept, not active
  EXPECT_EQ(engine.stopTimerEvents(), 0);
  EXPECT_EQ(services.activeTimers(), 0u);

  EXPECT_EQ(engine.interpret("send window message 16 0 0 to NULL Target") +
                engine.interpret("send window message 273 32775 -1 to MainClass \"Target\""),
            0);
  EXPECT_EQ(engine.interpret("send window message 16 0 0 to NULL Other"), dcStatus::NOT_FOUND);
  EXPECT_EQ(engine.interpret("send window message x 0 0 to NULL Target"), dcStatus::BAD_ARGUMENT);
  EXPECT_EQ(engine.interpret("exit"), 0);
  EXPECT_EQ(services.log, "(any) target 16 0 0;MainClass target 273 32775 -1;(any) (any) main 16 0 0;");
}

TEST(AssetConsoleEngine, GlobalsTableIgnoreClearListingAndBadArguments) {
  // The filter pointer follows the newest set; an older one going leaves it
  // alone; the engine going clears both globals.
  { dcAssetConsoleEngine_t engine; }
  EXPECT_TRUE(theAssetConsoleEngine == nullptr && theAssetFilters == nullptr);
  auto* older = new F();
  {
    F newer;
    delete older;
    EXPECT_EQ(theAssetFilters, &newer);
  }
  EXPECT_EQ(theAssetFilters, nullptr);

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

  // The same name twice is added once; "그래픽"; a word too many.
  for (const auto& [pattern, list] : IGNORES)
    for (const char* name :
         {"\"Name with blanks\"", "\"Name with blanks\"", "\xB1\xD7\xB7\xA1\xC7\xC8", "a b"})
      EXPECT_EQ(engine.interpret(with(pattern, name).c_str()), *name == 'a' ? dcStatus::NOT_FOUND : 0u)
          << name;
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

  EXPECT_EQ(engine.interpret("set item priority listing of hardwares") +
                engine.interpret("set version priority listing of windows info"),
            0u);
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
