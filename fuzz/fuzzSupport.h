// What the fuzz targets share: a private scratch folder that becomes the
// current folder (the trace log and any file a command writes land there),
// the input written to a file for the loaders that read paths, and a guard
// that keeps fuzzed command text from stalling the run.
#pragma once

#include "testutil.h"

namespace fuzzsupport {

// Created on first use and made the current folder; removed with its
// contents when the process exits, after every object that was made later
// (and may still write there) is gone.
inline const std::filesystem::path& scratch() {
  static const testutil::WorkFolder folder;
  return folder.dir.path();
}

// Writes the bytes to name in the scratch folder and returns the full path.
inline std::string writeInput(const std::string& name, const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path path = scratch() / name;
  testutil::writeFile(path, {reinterpret_cast<const char*>(data), size});
  return path.string();
}

// Calls f with each line of text (split at '\n', the last one unended).
template <class F>
void forEachLine(const std::string& text, F f) {
  for (std::size_t start = 0, end = 0; start <= text.size(); start = end + 1) {
    end = std::min(text.find('\n', start), text.size());
    f(text.substr(start, end - start));
  }
}

// No "sleep" anywhere, and the repeat count of every line and of every
// quoted command (an event's action) small, since actions can run each
// other up to the nesting limit.
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
