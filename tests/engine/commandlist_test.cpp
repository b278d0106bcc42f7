// The command language: tokens, repeat counts, matching order, and lines
// that are too long, binary or badly quoted; start-up words joined into a line.
#include <gtest/gtest.h>

#include "dcCommandList.h"
#include "testutil.h"

namespace {

using Token = dcCommandList_t::Token;
using Strings = std::vector<std::string>;

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

class CommandListTest : public ::testing::Test {
 protected:
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

}  // namespace

TEST_F(CommandListTest, Dispatch_MatchingOrderAndRepeatCounts) {
  EXPECT_EQ(run("sleep 5"), 7);
  EXPECT_EQ(list.status, 7u);
  EXPECT_EQ(run("sleep  abc"), 7);  // placeholders take any word
  EXPECT_EQ(run("sleep now"), 7);   // the first registered pattern wins
  for (const char* line : {"sleep", "Sleep 5", "sleep\t5"}) EXPECT_EQ(run(line), dcStatus::NOT_FOUND);
  EXPECT_EQ(calls, (Strings{"sleep 5", "sleep  abc", "sleep now"}));

  calls.clear();
  EXPECT_EQ(run("3 sleep 1"), 7);
  EXPECT_EQ(calls, Strings(3, " sleep 1"));
  EXPECT_EQ(run("12abc sleep 1"), 7);
  EXPECT_EQ(calls.size(), 15u);
  for (const char* line : {"0 sleep 1", "2 nothing fits"}) EXPECT_EQ(run(line), dcStatus::NOT_FOUND);
  EXPECT_EQ(calls.size(), 15u);

  calls.clear();
  for (const char* line : {"", "   ", "\"open at the start", "exit \"open"}) EXPECT_EQ(run(line), 7);
  EXPECT_EQ(run("ignore package \"open"), dcStatus::NOT_FOUND);
  EXPECT_EQ(run("ignore package \"Office 2003\" in software list"), 0);
  EXPECT_EQ(run("ignore package x in software list extra"), dcStatus::NOT_FOUND);
  EXPECT_EQ(calls, (Strings{"", "   ", "\"open at the start", "exit \"open", "Office 2003"}));
  EXPECT_EQ(list.dispatch(nullptr), dcStatus::NULL_ARGUMENT);
}

TEST_F(CommandListTest, BadInput_StaysInsideEveryBuffer) {
  // Lines beyond 255 bytes fit nothing, whatever they start with.
  for (char c : {'x', '7'}) EXPECT_EQ(run(std::string(10000, c)), dcStatus::NOT_FOUND);
  EXPECT_TRUE(calls.empty());

  // A long token is cut at a character boundary; the cursor passes all of it.
  std::string text = "a";
  for (int i = 0; i < 2500; ++i) text += "\xB0\xA1";
  text += " next";
  const char* cursor = text.c_str();
  Token token;
  ASSERT_EQ(list.nextToken(&cursor, token), dcStatus::OK);
  EXPECT_EQ(std::strlen(token), 255u);
  ASSERT_EQ(list.nextToken(&cursor, token), dcStatus::OK);
  EXPECT_STREQ(token, "next");

  // Binary bytes, a lead byte at the very end.
  std::string binary;
  for (int c = 1; c < 256; ++c) binary += static_cast<char>(c);
  run(binary);
  run("sleep \xB0");

  // An unclosed quote at every position of a good line.
  const std::string good = "ignore package \"Office 2003\" in software list";
  for (std::size_t at = 0; at <= good.size(); ++at) {
    std::string bad = good;
    bad.insert(at, 1, '"');
    const dcStatus_t result = run(bad);
    EXPECT_TRUE(result == 0 || result == 7 || result == dcStatus::NOT_FOUND) << bad;
  }
}

TEST_F(CommandListTest, Words_QuotesDoubleByteAndJoinedLinesReadBack) {
  dcStatus_t end;
  EXPECT_EQ(tokensOf(list, "ignore  package \"Office 2003 Pro\" in\tsoftware list", &end),
            (Strings{"ignore", "package", "Office 2003 Pro", "in\tsoftware", "list"}));
  EXPECT_EQ(end, dcCommandList_t::END_OF_TEXT);
  // A word may follow a closing quote directly; quotes inside a word are plain.
  EXPECT_EQ(tokensOf(list, "\"\"ab\"c \"x y\"z ", &end), (Strings{"", "ab\"c", "x y", "z"}));
  EXPECT_EQ(end, dcStatus::NOT_FOUND);  // only blanks left
  // A trail byte is never a blank or a quote: 0xB0 takes the quote after it.
  EXPECT_EQ(tokensOf(list, "\xB0\xA1\xB3\xAA next \"\xB0\"\" tail", &end),
            (Strings{"\xB0\xA1\xB3\xAA", "next", "\xB0\"", "tail"}));

  // Empty words and words with blanks are quoted; quotes inside a bare word
  // and tabs stay as they are; a blank that is a trail byte needs nothing.
  const Strings words{"ignore", "", "a\"b", "x y", "\t", "\xB0\" a", "\xB0"};
  const dcJoinedCommandLine_t joined = dcJoinCommandWords(words);
  ASSERT_TRUE(joined) << joined.error;
  EXPECT_EQ(joined.line, "ignore \"\" a\"b \"x y\" \t \"\xB0\" a\" \xB0");
  EXPECT_EQ(dcJoinCommandWords({}).line, "");
  // Terminal words are UTF-8 or already CP949; one CP949 cannot write is refused.
  EXPECT_EQ(dcTextFromTerminal("하드 디스크?"), "\xC7\xCF\xB5\xE5 \xB5\xF0\xBD\xBA\xC5\xA9?");
  EXPECT_EQ(dcTextFromTerminal("\xC7\xCF\xB5\xE5"), "\xC7\xCF\xB5\xE5");

  // Random words from the bytes that matter: joined exactly when every word
  // can stand at its place, bare or quoted, and then read back unchanged.
  const auto carriable = [&](const std::string& word, bool last) {
    for (const std::string& spelling : {word, "\"" + word + "\""}) {
      const Strings expected = last ? Strings{word} : Strings{word, "x"};
      if (tokensOf(list, (spelling + (last ? "" : " x")).c_str(), &end) == expected &&
          end == dcCommandList_t::END_OF_TEXT)
        return true;
    }
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
    if (result) {
      ASSERT_EQ(tokensOf(list, result.line.c_str(), &end), some) << result.line;
      ASSERT_EQ(end, dcCommandList_t::END_OF_TEXT);
    } else {
      ASSERT_TRUE(result.line.empty());
    }
  }
}
