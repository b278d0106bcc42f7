// Reading one value from a settings file in the INI layout that desktop
// programs write (the layout of Qt's QSettings, so the window can write the
// file with its own toolkit and the core, which has no toolkit, can read it).
//
//   [drives]
//   C=/home/me/site
//   D="/srv/a,b"
//
// Lines starting with ";" or "#" are comments. A value is trimmed; a
// double-quoted part keeps its blanks, commas and semicolons; outside
// quotes a ";" ends the value. Backslash escapes are those QSettings
// writes: \\ \" \' \? \a \b \f \n \r \t \v, \x followed by hex digits (a
// Unicode code point, stored as UTF-8) and \ followed by octal digits.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace inifile {

// The value of `key` in `section` of the file text `text`, unescaped (UTF-8).
// Section and key names compare exactly. Nothing when the key is absent or
// holds a list (an unquoted comma), which no single value can be.
std::optional<std::string> readValue(std::string_view text, std::string_view section, std::string_view key);

// The whole file `path` as text; nothing when it cannot be read.
std::optional<std::string> readFile(const std::string& path);

}  // namespace inifile
