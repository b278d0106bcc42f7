#include "dcListFiles.h"

#include <xlsxwriter.h>

#include <charconv>
#include <cstdio>
#include <memory>
#include <unordered_set>

#include "cp949.h"

namespace dclistfile {

namespace {

// A cell holds at most this many bytes of text in a workbook.
constexpr std::size_t kCellTextLimit = 32767;
// Minutes above this would no longer be exact as a worksheet number.
constexpr std::size_t kMinuteDigitsLimit = 15;
constexpr const char* kMinutesFormat = "0\" min\"";
constexpr const char* kMinutesSuffix = " min";

bool csvNeedsQuotes(const std::string& field) { return field.find_first_of(",\"\r\n") != std::string::npos; }

void appendCsvField(std::string& text, const std::string& field) {
  if (!csvNeedsQuotes(field)) {
    text += field;
    return;
  }
  text += '"';
  for (char c : field) {
    if (c == '"') text += '"';
    text += c;
  }
  text += '"';
}

void appendJsonString(std::string& text, std::string_view utf8) {
  text += '"';
  for (char c : utf8) {
    switch (c) {
      case '"':
        text += "\\\"";
        break;
      case '\\':
        text += "\\\\";
        break;
      case '\n':
        text += "\\n";
        break;
      case '\r':
        text += "\\r";
        break;
      case '\t':
        text += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
          text += escape;
        } else {
          text += c;
        }
    }
  }
  text += '"';
}

// The member names: the headers in UTF-8, a repeated one numbered.
std::vector<std::string> jsonNames(const std::vector<dcViewColumn_t>& columns) {
  std::vector<std::string> names;
  std::unordered_set<std::string> used;
  for (const dcViewColumn_t& column : columns) {
    const std::string header = mb::toUtf8(column.header);
    std::string name = header;
    for (int n = 2; used.count(name); ++n) name = header + "_" + std::to_string(n);
    used.insert(name);
    names.push_back(std::move(name));
  }
  return names;
}

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// A text for a workbook cell: UTF-8, cut to the cell limit on a character
// boundary. A workbook reads "_xHHHH_" as an escaped character, so an
// underscore that starts such a sequence is itself escaped ("_x005F_");
// control characters are escaped by the writer.
std::string workbookText(const std::string& cp949) {
  std::string utf8 = mb::toUtf8(cp949);
  std::string text;
  text.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '_' && i + 6 < utf8.size() && utf8[i + 1] == 'x' && utf8[i + 6] == '_' &&
        isHexDigit(utf8[i + 2]) && isHexDigit(utf8[i + 3]) && isHexDigit(utf8[i + 4]) &&
        isHexDigit(utf8[i + 5]))
      text += "_x005F";
    text += utf8[i];
  }
  if (text.size() > kCellTextLimit) {
    std::size_t cut = kCellTextLimit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.resize(cut);
  }
  return text;
}

struct WorkbookFree {
  void operator()(lxw_workbook* book) const { lxw_workbook_free(book); }
};

}  // namespace

std::optional<dcListFormat_t> formatNamed(std::string_view name) {
  if (name == "tsv") return dcListFormat_t::TSV;
  if (name == "csv") return dcListFormat_t::CSV;
  if (name == "json") return dcListFormat_t::JSON;
  if (name == "xlsx") return dcListFormat_t::XLSX;
  return std::nullopt;
}

std::string csvText(const dcViewList_t& list) {
  std::string text;
  const std::size_t count = list.columns.size();
  if (count == 0) return text;
  for (std::size_t c = 0; c < count; ++c) {
    appendCsvField(text, list.columns[c].header);
    text += c + 1 < count ? "," : "\r\n";
  }
  static const std::string none;
  for (const auto& row : list.rows) {
    for (std::size_t c = 0; c < count; ++c) {
      appendCsvField(text, c < row.size() ? row[c] : none);
      text += c + 1 < count ? "," : "\r\n";
    }
  }
  return text;
}

std::string jsonText(const dcViewList_t& list) {
  if (list.columns.empty() || list.rows.empty()) return "[]\n";
  const std::vector<std::string> names = jsonNames(list.columns);
  std::string text = "[\n";
  for (std::size_t r = 0; r < list.rows.size(); ++r) {
    const auto& row = list.rows[r];
    text += "  {";
    for (std::size_t c = 0; c < names.size(); ++c) {
      if (c) text += ", ";
      appendJsonString(text, names[c]);
      text += ": ";
      appendJsonString(text, c < row.size() ? mb::toUtf8(row[c]) : std::string());
    }
    text += r + 1 < list.rows.size() ? "},\n" : "}\n";
  }
  text += "]\n";
  return text;
}

std::optional<long long> usageMinutes(std::string_view cell) {
  std::size_t start = cell.find_first_not_of(' ');
  if (start == std::string_view::npos || !cell.ends_with(kMinutesSuffix)) return std::nullopt;
  const std::string_view number =
      cell.substr(start, cell.size() - start - std::string_view(kMinutesSuffix).size());
  const std::size_t digits = number.size() - (number.starts_with('-') ? 1 : 0);
  if (digits == 0 || digits > kMinuteDigitsLimit) return std::nullopt;
  long long minutes = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), minutes);
  if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
  return minutes;
}

std::optional<std::string> writeWorkbook(const std::string& hostPath, const dcViewList_t& list,
                                         dcViewKind_t kind) {
  if (list.rows.size() >= LXW_ROW_MAX || list.columns.size() > LXW_COL_MAX)
    return "the list has more rows or columns than a worksheet holds";
  std::unique_ptr<lxw_workbook, WorkbookFree> book(workbook_new(hostPath.c_str()));
  if (!book) return "the workbook cannot be started";

  const char* title = dcviews::titleOfView(kind);
  const std::string sheetName = title ? mb::toUtf8(title) : std::string();
  lxw_worksheet* sheet = nullptr;
  if (!sheetName.empty() && workbook_validate_sheet_name(book.get(), sheetName.c_str()) == LXW_NO_ERROR)
    sheet = workbook_add_worksheet(book.get(), sheetName.c_str());
  if (!sheet) sheet = workbook_add_worksheet(book.get(), nullptr);
  lxw_format* bold = workbook_add_format(book.get());
  lxw_format* minutesFormat = workbook_add_format(book.get());
  if (!sheet || !bold || !minutesFormat) return "the workbook cannot be started";
  format_set_bold(bold);
  format_set_num_format(minutesFormat, kMinutesFormat);

  lxw_error error = LXW_NO_ERROR;
  auto keep = [&error](lxw_error result) {
    if (error == LXW_NO_ERROR) error = result;
  };
  const std::size_t count = list.columns.size();
  for (std::size_t c = 0; c < count; ++c) {
    const auto col = static_cast<lxw_col_t>(c);
    if (list.columns[c].width > 0)
      keep(worksheet_set_column_pixels(sheet, col, col, static_cast<std::uint32_t>(list.columns[c].width),
                                       nullptr));
    keep(worksheet_write_string(sheet, 0, col, workbookText(list.columns[c].header).c_str(), bold));
  }
  worksheet_freeze_panes(sheet, 1, 0);

  // The usage views' second column holds the minutes.
  const std::size_t minutesColumn = kind == dcViewKind_t::USAGE ? 1 : count;
  for (std::size_t r = 0; r < list.rows.size() && error == LXW_NO_ERROR; ++r) {
    const auto row = static_cast<lxw_row_t>(r + 1);
    const auto& cells = list.rows[r];
    for (std::size_t c = 0; c < count && c < cells.size(); ++c) {
      if (cells[c].empty()) continue;
      const auto col = static_cast<lxw_col_t>(c);
      if (c == minutesColumn) {
        if (const auto minutes = usageMinutes(cells[c])) {
          keep(worksheet_write_number(sheet, row, col, static_cast<double>(*minutes), minutesFormat));
          continue;
        }
      }
      keep(worksheet_write_string(sheet, row, col, workbookText(cells[c]).c_str(), nullptr));
    }
  }
  if (error != LXW_NO_ERROR) return lxw_strerror(error);
  // Closing writes the file and frees the workbook, whatever it reports.
  error = workbook_close(book.release());
  if (error != LXW_NO_ERROR) return lxw_strerror(error);
  return std::nullopt;
}

}  // namespace dclistfile
