#include "inifile.h"

#include <cstdio>
#include <memory>

#include "cp949.h"

namespace inifile {
namespace {

// A file this size is no settings file of ours; it is not read.
constexpr long kMaxFileSize = 1 << 20;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (isBlank(s.front()) || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (isBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The value text after "=", unescaped; nothing for a list.
std::optional<std::string> unescaped(std::string_view raw) {
  constexpr unsigned long kMaxCode = 0x10FFFF;
  std::string out;
  std::size_t kept = 0;  // the length without blanks written bare at its end
  bool quoted = false;
  std::size_t i = 0;
  while (i < raw.size()) {
    const char c = raw[i];
    if (c == '"') {
      quoted = !quoted;
      ++i;
    } else if (!quoted && c == ';') {
      break;
    } else if (!quoted && c == ',') {
      return std::nullopt;
    } else if (c == '\\' && i + 1 < raw.size()) {
      const char e = raw[i + 1];
      i += 2;
      switch (e) {
        case 'a':
          out += '\a';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'v':
          out += '\v';
          break;
        case 'x': {
          unsigned long code = 0;
          while (i < raw.size() && hexDigit(raw[i]) >= 0) {
            code = code * 16 + static_cast<unsigned long>(hexDigit(raw[i++]));
            if (code > kMaxCode) code = kMaxCode;
          }
          mb::appendUtf8(out, static_cast<char32_t>(code));
          break;
        }
        default:
          if (e >= '0' && e <= '7') {
            unsigned long code = static_cast<unsigned long>(e - '0');
            while (i < raw.size() && raw[i] >= '0' && raw[i] <= '7') {
              code = code * 8 + static_cast<unsigned long>(raw[i++] - '0');
              if (code > kMaxCode) code = kMaxCode;
            }
            mb::appendUtf8(out, static_cast<char32_t>(code));
          } else {
            out += e;  // \\ \" \' \? and anything else stand for themselves
          }
      }
    } else {
      out += c;
      ++i;
      if (!quoted && isBlank(c)) continue;
    }
    kept = out.size();
  }
  out.resize(kept);
  return out;
}

}  // namespace

std::optional<std::string> readValue(std::string_view text, std::string_view section, std::string_view key) {
  std::string_view current;
  bool inSection = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = trimmed(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      current = line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
      inSection = current == section;
      continue;
    }
    if (!inSection) continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos || trimmed(line.substr(0, eq)) != key) continue;
    return unescaped(trimmed(line.substr(eq + 1)));
  }
  return std::nullopt;
}

std::optional<std::string> readFile(const std::string& path) {
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
  if (!file) return std::nullopt;
  std::string text;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    text.append(buffer, n);
    if (text.size() > static_cast<std::size_t>(kMaxFileSize)) return std::nullopt;
  }
  if (std::ferror(file.get())) return std::nullopt;
  return text;
}

}  // namespace inifile
