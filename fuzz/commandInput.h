// Keeps fuzzed command text from stalling the run: no "sleep" anywhere, and
// the repeat count of every line and of every quoted command (an event's
// action) small, since actions can run each other up to the nesting limit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace fuzzsupport {

inline bool harmlessCommands(std::string_view text) {
  if (text.find("sleep") != std::string_view::npos) return false;
  std::size_t lineLength = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const bool lineStart = i == 0 || text[i - 1] == '\n' || text[i - 1] == '\r' || text[i - 1] == '\0';
    lineLength = lineStart ? 0 : lineLength + 1;
    if (lineLength > 1000) return false;  // a long line is read in parts
    if (!lineStart && text[i - 1] != '"') continue;
    std::size_t j = i;
    while (j < text.size() && (text[j] == ' ' || (text[j] >= '\t' && text[j] <= '\r'))) ++j;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    std::uint32_t count = 0;
    while (j < text.size() && text[j] >= '0' && text[j] <= '9' && count < 100)
      count = count * 10 + (text[j++] - '0');
    if (count > (lineStart ? 3u : 1u)) return false;
  }
  return true;
}

}  // namespace fuzzsupport
