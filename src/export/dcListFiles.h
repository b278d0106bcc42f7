// A list as the viewer shows it, written in the formats other programs read
// directly: comma-separated text (RFC 4180), JSON, and a spreadsheet
// workbook. The tab-separated export stays with the views; these sit beside
// it for the headless console and the window's export dialog.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "dcListViews.h"

enum class dcListFormat_t { TSV, CSV, JSON, XLSX };

namespace dclistfile {

// "tsv", "csv", "json" or "xlsx".
std::optional<dcListFormat_t> formatNamed(std::string_view name);

// The header line and one line per row, "\r\n" after each; a field holding
// a comma, a double quote, a carriage return or a line feed is put in double
// quotes, a double quote inside doubled. Texts stay as they are (CP949): no
// byte of a double-byte character is one of those four. No columns: empty.
std::string csvText(const dcViewList_t& list);

// A UTF-8 JSON array with one object per row, its members named by the
// column headers in column order, every value the cell's text. A header
// that repeats an earlier one is named with "_2", "_3"... after it, so that
// no member is lost to a parser that keeps one value per name.
std::string jsonText(const dcViewList_t& list);

// A workbook at hostPath with one sheet named after the view: the header row
// in bold and frozen above the rows, each column as wide as its width in
// pixels, every text in UTF-8. In the usage view the minutes ("%7d min")
// are numbers shown with the " min" suffix, so that they add up and sort as
// numbers. Returns nothing when written, else why not.
std::optional<std::string> writeWorkbook(const std::string& hostPath, const dcViewList_t& list,
                                         dcViewKind_t kind);

// The minutes of a usage cell ("%7d min", leading blanks optional), or
// nothing for any other text.
std::optional<long long> usageMinutes(std::string_view cell);

}  // namespace dclistfile
