// Command lines on a command list with the engines' kind of patterns, then
// every line of the input on the console's engine (built-in and inventory
// commands), which keeps its events and filters from line to line. Runs in
// the scratch folder with the process services replaced, so no line starts
// a program or deletes a file.

#include "dcAssetConsoleEngine.h"
#include "dcCommandList.h"
#include "fuzzSupport.h"

namespace {

// Reads the line's tokens as a handler does and converts each.
dcStatus_t readAll(dcCommandList_t* list, const char* line) {
  dcCommandList_t::Token tokens[12];
  const dcStatus_t read = list->readTokens(line, tokens, static_cast<int>(std::size(tokens)));
  std::int32_t value = 0;
  for (const auto& token : tokens) dcCommandList_t::scanInteger(token, &value);
  return read;
}

constexpr const char* PATTERNS[] = {
    "",
    "exit",
    "do event _string",
    "sleep _integer",
    "send window message _integer _integer _integer to _string _string",
    "set timer event every _integer _string named _string interpreting _string",
    "ignore package _string in software list",
    "ignore package containing _string in software list",
    "scale _float _float"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (!fuzzsupport::harmlessCommands(text)) return 0;
  fuzzsupport::scratch();

  dcCommandList_t list;
  for (const char* pattern : PATTERNS) list.addCommand(readAll, pattern, pattern);
  // Exactly the line's bytes and its zero, so that a write past it shows.
  std::unique_ptr<char[]> line(new char[size + 1]{});
  std::memcpy(line.get(), data, size);
  list.countTokens(line.get());
  list.dispatch(line.get());
  line[size > 0 ? size - 1 : 0] = '\0';
  list.dropFirstWord(line.get());

  dcAssetConsoleEngine_t engine;
  fuzzsupport::forEachLine(text, [&](const std::string& line) { engine.interpret(line.c_str()); });
  return 0;
}
