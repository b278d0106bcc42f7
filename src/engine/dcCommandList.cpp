#include "dcCommandList.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "cp949.h"

namespace {

constexpr char BLANK = ' ';
constexpr char QUOTE = '"';

bool isPlaceholder(const char* token) {
  return std::strcmp(token, "_integer") == 0 || std::strcmp(token, "_float") == 0 ||
         std::strcmp(token, "_string") == 0;
}

// Copies the bytes [begin, end) into token, cut to tokenSize - 1 bytes at a
// character boundary.
void copyToken(const char* begin, const char* end, char* token, std::size_t tokenSize) {
  const auto length = static_cast<std::size_t>(end - begin);
  const std::size_t kept = mb::boundedLength(begin, std::min(length, tokenSize - 1));
  std::memcpy(token, begin, kept);
  token[kept] = '\0';
}

// Counts the dispatches running at once, so that a handler that dispatches
// again is held to MAX_NESTING levels.
class NestingGuard {
 public:
  explicit NestingGuard(int& depth) : depth_(depth) { ++depth_; }
  ~NestingGuard() { --depth_; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;

 private:
  int& depth_;
};

}  // namespace

dcCommandList_t::~dcCommandList_t() { clear(); }

void dcCommandList_t::clear() {
  while (first) {
    dcCommandEntry_t* next = first->next;
    delete first;
    first = next;
  }
}

dcStatus_t dcCommandList_t::addCommand(dcCommandHandler_t handler, const char* pattern, const char* help) {
  if (!handler || !pattern || !help) return status = dcStatus::NULL_ARGUMENT;
  auto* entry = new (std::nothrow) dcCommandEntry_t;
  if (!entry) return status = dcStatus::NO_MEMORY;
  mb::copyBounded(entry->pattern, pattern);
  mb::copyBounded(entry->help, help);
  entry->handler = handler;

  if (!first) {
    first = entry;
  } else {
    dcCommandEntry_t* last = first;
    while (last->next) last = last->next;
    last->next = entry;
  }
  return status = dcStatus::OK;
}

dcStatus_t dcCommandList_t::readPlainWord(const char** cursor, char* token, std::size_t tokenSize) {
  const char* p = *cursor;
  while (*p == BLANK) ++p;
  if (*p == '\0') return status = dcStatus::NOT_FOUND;
  if (*p == QUOTE) return status = dcStatus::NULL_ARGUMENT;
  const char* begin = p;
  while (*p != '\0' && *p != BLANK) p = mb::next(p);
  copyToken(begin, p, token, tokenSize);
  *cursor = p;
  return status = dcStatus::OK;
}

dcStatus_t dcCommandList_t::readQuoted(const char** cursor, char* token, std::size_t tokenSize) {
  const char* begin = *cursor + 1;
  const char* p = begin;
  while (*p != '\0' && *p != QUOTE) p = mb::next(p);
  if (*p == '\0') return status = dcStatus::NOT_FOUND;
  copyToken(begin, p, token, tokenSize);
  *cursor = p + 1;
  return status = dcStatus::OK;
}

dcStatus_t dcCommandList_t::nextToken(const char** cursor, char* token, std::size_t tokenSize) {
  if (!cursor || !*cursor || !token || tokenSize == 0) return status = dcStatus::NULL_ARGUMENT;
  const char* p = *cursor;
  if (*p == '\0') {
    status = dcStatus::OK;
    return END_OF_TEXT;
  }
  while (*p == BLANK) ++p;
  if (*p == QUOTE) {
    const char* quote = p;
    const dcStatus_t result = readQuoted(&quote, token, tokenSize);
    if (result == dcStatus::OK) *cursor = quote;
    return result;
  }
  return readPlainWord(cursor, token, tokenSize);
}

int dcCommandList_t::countTokens(const char* text) {
  if (!text) return 0;
  Token token;
  int count = 0;
  while (nextToken(&text, token) == dcStatus::OK) ++count;
  return count;
}

dcStatus_t dcCommandList_t::dropFirstWord(char* line) {
  if (!line) return status = dcStatus::NULL_ARGUMENT;
  const char* rest = line;
  Token word;
  const dcStatus_t result = readPlainWord(&rest, word, TOKEN_SIZE);
  if (result != dcStatus::OK) return result;
  std::memmove(line, rest, std::strlen(rest) + 1);
  return status = dcStatus::OK;
}

dcStatus_t dcCommandList_t::readTokens(const char* line, Token* tokens, int count) {
  if (!line || !tokens) return status = dcStatus::NULL_ARGUMENT;
  for (int i = 0; i < count; ++i) {
    const dcStatus_t result = nextToken(&line, tokens[i]);
    if (result != dcStatus::OK) return result;
  }
  return dcStatus::OK;
}

bool dcCommandList_t::scanInteger(const char* text, std::int32_t* value) {
  if (!text || !value) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (mb::isAsciiSpace(*p)) ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  if (!mb::isAsciiDigit(*p)) return false;
  constexpr std::int64_t limit = std::int64_t{INT32_MAX} + 1;
  std::int64_t magnitude = 0;
  for (; mb::isAsciiDigit(*p); ++p)
    if (magnitude <= limit) magnitude = magnitude * 10 + (*p - '0');
  const std::int64_t signedValue = negative ? -magnitude : magnitude;
  *value = static_cast<std::int32_t>(std::clamp<std::int64_t>(signedValue, INT32_MIN, INT32_MAX));
  return true;
}

bool dcCommandList_t::fits(const dcCommandEntry_t& entry, const char* line, int lineTokens) {
  if (countTokens(entry.pattern) != lineTokens) return false;
  const char* patternCursor = entry.pattern;
  const char* lineCursor = line;
  Token patternToken;
  Token lineToken;
  for (int i = 0; i < lineTokens; ++i) {
    if (nextToken(&patternCursor, patternToken) != dcStatus::OK) return false;
    if (nextToken(&lineCursor, lineToken) != dcStatus::OK) return false;
    if (!isPlaceholder(patternToken) && std::strcmp(patternToken, lineToken) != 0) return false;
  }
  return true;
}

dcStatus_t dcCommandList_t::dispatch(char* line) {
  if (!line) return status = dcStatus::NULL_ARGUMENT;
  if (std::strlen(line) > MAX_LINE || nesting_ >= MAX_NESTING) return status = dcStatus::NOT_FOUND;
  NestingGuard guard(nesting_);

  std::int32_t repeat = 1;
  if (scanInteger(line, &repeat)) dropFirstWord(line);
  const int lineTokens = countTokens(line);
  if (repeat <= 0) return status = dcStatus::NOT_FOUND;

  bool ran = false;
  dcStatus_t result = dcStatus::NOT_FOUND;
  for (std::int32_t pass = 0; pass < repeat; ++pass) {
    const dcCommandEntry_t* entry = first;
    while (entry && !fits(*entry, line, lineTokens)) entry = entry->next;
    // The list and the line stay as they are, so a pass that finds nothing
    // is followed by passes that find nothing either.
    if (!entry) break;
    result = entry->handler(this, line);
    ran = true;
  }
  return status = ran ? result : dcStatus::NOT_FOUND;
}

dcJoinedCommandLine_t dcJoinCommandWords(const std::vector<std::string>& words) {
  dcJoinedCommandLine_t joined;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    const bool last = i + 1 == words.size();
    auto refuse = [&](const char* why) {
      joined.line.clear();
      joined.error =
          "the command word '" + mb::toUtf8(word) + "' cannot be given on the command line: " + why;
      return joined;
    };
    if (word.find('\0') != std::string::npos) return refuse("it holds a zero byte");
    if (!word.empty() && word.front() == QUOTE)
      return refuse("a word that begins with a double quote would be read as a quoted string");
    // Blanks and quotes count where the tokenizer sees them: at character
    // boundaries, never as the second byte of a double-byte character.
    bool blank = false;
    bool quote = false;
    bool endsInLeadByte = false;
    for (const char* p = word.c_str(); *p; p = mb::next(p)) {
      blank = blank || *p == BLANK;
      quote = quote || *p == QUOTE;
      endsInLeadByte = mb::isLeadByte(static_cast<unsigned char>(*p)) && p[1] == '\0';
    }
    const bool quoted = word.empty() || blank;
    if (quoted && quote)
      return refuse("a word that holds a blank must be quoted, and a quoted word cannot hold a double quote");
    // A lone first byte of a double-byte character would take the blank or
    // the closing quote after it as its second byte.
    if (endsInLeadByte && (quoted || !last))
      return refuse("it ends in the first byte of a double-byte character");
    if (i > 0) joined.line += BLANK;
    if (quoted) joined.line += QUOTE;
    joined.line += word;
    if (quoted) joined.line += QUOTE;
  }
  return joined;
}

std::optional<std::string> dcTextFromTerminal(const std::string& text) {
  if (!mb::isValidUtf8(text)) return text;
  std::string core = mb::fromUtf8(text);
  // The conversion puts '?' for every character it cannot convert.
  if (std::count(core.begin(), core.end(), '?') != std::count(text.begin(), text.end(), '?'))
    return std::nullopt;
  return core;
}

dcJoinedCommandLine_t dcJoinTerminalWords(const std::vector<std::string>& words) {
  std::vector<std::string> core;
  core.reserve(words.size());
  for (const std::string& word : words) {
    std::optional<std::string> converted = dcTextFromTerminal(word);
    if (!converted) return {{}, "the command word '" + word + "' holds a character that code page 949 lacks"};
    core.push_back(std::move(*converted));
  }
  return dcJoinCommandWords(core);
}
