// The command language: a tokenizer for words and quoted strings, the list of
// registered commands (pattern, help line, handler) and the dispatcher that
// runs the first command whose pattern fits a line.
//
// Words are separated by blanks only; a tab belongs to its word. A quoted
// string is one token and may hold blanks. Patterns are words; "_string",
// "_integer" and "_float" accept any word of the line. A line may start with
// a repeat count ("3 sleep 1").
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dcStatus.h"

class dcCommandList_t;

// A command handler gets the list (whose tokenizer it reads its arguments
// with) and the whole line, without its repeat count.
using dcCommandHandler_t = dcStatus_t (*)(dcCommandList_t* list, const char* line);

struct dcCommandEntry_t {
  static constexpr std::size_t TEXT_SIZE = 1024;

  char pattern[TEXT_SIZE] = {};
  char help[TEXT_SIZE] = {};
  dcCommandHandler_t handler = nullptr;
  dcCommandEntry_t* next = nullptr;
};

class dcCommandList_t {
 public:
  // A line longer than MAX_LINE bytes fits no command; a token is kept to
  // TOKEN_SIZE - 1 bytes (a longer word is cut at a character boundary, and
  // the cursor still moves past all of it).
  static constexpr std::size_t MAX_LINE = 255;
  static constexpr std::size_t TOKEN_SIZE = 256;
  // nextToken's result at the end of the text.
  static constexpr dcStatus_t END_OF_TEXT = 3;
  // Handlers that run commands (events interpreting a line that does the
  // event again) may nest dispatches; deeper lines fit nothing.
  static constexpr int MAX_NESTING = 16;

  using Token = char[TOKEN_SIZE];

  dcCommandList_t() = default;
  ~dcCommandList_t();
  dcCommandList_t(const dcCommandList_t&) = delete;
  dcCommandList_t& operator=(const dcCommandList_t&) = delete;

  // Appends a command; pattern and help are copied (at most 1023 bytes each).
  // 203 for a missing argument (an empty text is not missing), 512 without
  // memory, else 0.
  dcStatus_t addCommand(dcCommandHandler_t handler, const char* pattern, const char* help);

  // Runs the first command whose pattern fits line, as many times as its
  // repeat count says. The repeat count is removed from line in place.
  // Returns the last handler's status, 102 when nothing fits or the count is
  // 0 or negative, 203 for a missing line.
  dcStatus_t dispatch(char* line);

  // Reads the next word or quoted string at *cursor into token (tokenSize
  // bytes) and moves *cursor past it. 0 with a token; END_OF_TEXT when
  // *cursor is at the end (status 0, token unchanged); 102 when only blanks
  // are left or a quoted string is not closed; 203 for a missing argument or
  // when only a plain word may follow and a quote stands there.
  dcStatus_t nextToken(const char** cursor, char* token, std::size_t tokenSize);
  dcStatus_t nextToken(const char** cursor, Token& token) { return nextToken(cursor, token, TOKEN_SIZE); }

  // The number of tokens nextToken reads from text before anything but 0.
  int countTokens(const char* text);

  // Reads one plain word at the start of line and moves the rest of the line
  // (from the blank after the word) to its start. The reader's status.
  dcStatus_t dropFirstWord(char* line);

  // Reads the first `count` tokens of line, stopping at the first that
  // cannot be read, whose status it returns.
  dcStatus_t readTokens(const char* line, Token* tokens, int count);

  // The "%d" conversion: blanks and other white space skipped, an optional
  // sign, then decimal digits up to the first other byte. False when no
  // digit follows. Values beyond 32 bits are held at the nearest limit.
  static bool scanInteger(const char* text, std::int32_t* value);

  // Frees every entry.
  void clear();

  dcStatus_t status = dcStatus::OK;
  dcCommandEntry_t* first = nullptr;

 private:
  dcStatus_t readPlainWord(const char** cursor, char* token, std::size_t tokenSize);
  dcStatus_t readQuoted(const char** cursor, char* token, std::size_t tokenSize);
  bool fits(const dcCommandEntry_t& entry, const char* line, int lineTokens);

  int nesting_ = 0;
};

// The words a program was started with, as one command line that the
// tokenizer reads back as exactly those words, or why that cannot be.
struct dcJoinedCommandLine_t {
  std::string line;   // empty when a word cannot be carried
  std::string error;  // empty on success; else names the word (UTF-8, for the terminal)
  explicit operator bool() const { return error.empty(); }
};

// Words are separated by blanks; a word that is empty or holds a blank is
// wrapped in double quotes, any other word is given as it is. The language
// has no escape, so a few words cannot be carried: one that holds both a
// blank and a double quote (quotes are needed, and a quote would end them),
// one that begins with a double quote (it would be read as a quoted
// string), and one that ends in the first byte of a double-byte character
// unless it is the last word (the blank after it would be taken as its
// second byte). A zero byte cannot be carried either.
dcJoinedCommandLine_t dcJoinCommandWords(const std::vector<std::string>& words);

// A text from the terminal as the core reads it: valid UTF-8 converted to
// CP949, other bytes taken as they are (already CP949). Nothing when it
// holds a character that CP949 lacks, which would otherwise arrive as '?'
// and make a different word.
std::optional<std::string> dcTextFromTerminal(const std::string& text);

// Words as the terminal gives them (dcTextFromTerminal), joined as
// dcJoinCommandWords joins them; both front ends build their start-up
// command line with it.
dcJoinedCommandLine_t dcJoinTerminalWords(const std::vector<std::string>& words);
