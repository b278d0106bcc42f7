// The list filter's rule: any cell containing the typed text, ASCII letters
// folded, double-byte characters exact and never matched from a trail byte.
#include <gtest/gtest.h>

#include <random>

#include "cp949.h"
#include "dcRowFilter.h"

// Typed UTF-8 text against a Korean cell; then the candidate-jumping search
// against the plain rule on random texts drawn from letters of both cases,
// trail-range letters, lead bytes and others.
TEST(RowFilter, ReadsUtf8AndAgreesWithPlainRule) {
  const std::string info = mb::fromUtf8("Windows 정보 Pro");
  const auto has = [&](const char* typed) { return dcRowFilter_t::fromUtf8(typed).matchesCell(info); };
  EXPECT_TRUE(has("windows") && has("WINDOWS 정") && has("보 pRO") && has(""));
  EXPECT_FALSE(has("정보  ") || has("정부") || has("windowz"));
  // A character CP949 cannot write occurs nowhere, not even as its '?'.
  EXPECT_FALSE(dcRowFilter_t::fromUtf8("😀").matchesCell("?") ||
               dcRowFilter_t::fromUtf8("\xFF").matchesCell("?"));
  EXPECT_TRUE(dcRowFilter_t::fromUtf8("?").matchesCell("a?"));

  // The rule written plainly: the text compared at every character boundary.
  const auto plainContains = [](const std::string& cell, const std::string& text) {
    for (const char* p = cell.c_str(); !text.empty(); p = mb::next(p)) {
      if (mb::compareNoCaseN(p, text.c_str(), text.size()) == 0) return true;
      if (*p == '\0') return false;
    }
    return true;
  };
  const std::string alphabet = "aAbBzZ ?1\x81\xB0\xC7\xA1\xFE\x41\x61";
  std::mt19937 random(15);
  auto draw = [&](std::size_t maxLength) {
    std::string s(random() % (maxLength + 1), ' ');
    for (char& c : s) c = alphabet[random() % alphabet.size()];
    return s;
  };
  for (int round = 0; round < 20000; ++round) {
    const std::string cell = draw(24);
    std::string text = draw(3);
    if (round % 2 && !cell.empty()) {  // often a piece of the cell, from any byte
      text = cell.substr(random() % cell.size(), 1 + random() % 4);
      if (round % 4 == 1) text[0] = static_cast<char>(mb::asciiLower(static_cast<unsigned char>(text[0])));
    }
    ASSERT_EQ(dcRowFilter_t(text).matchesCell(cell), plainContains(cell, text))
        << testing::PrintToString(cell) << " / " << testing::PrintToString(text);
  }
}
