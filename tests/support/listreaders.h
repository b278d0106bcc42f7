// Reading the list's files back the way other programs do: comma-separated
// text through a strict RFC 4180 parser, and a workbook unzipped and read
// from its XML parts. JSON is read with its parser directly.
#pragma once

#include <csv.h>
#include <minizip/unzip.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <utility>
#include <vector>

namespace testutil {

using Records = std::vector<std::vector<std::string>>;

// The records of a CSV text, or nothing when it breaks the quoting rules.
// Blanks around unquoted fields belong to the field.
inline std::optional<Records> parseCsv(const std::string& text) {
  struct Sink {
    Records records{1};
    static void field(void* s, std::size_t len, void* data) {
      static_cast<Sink*>(data)->records.back().emplace_back(static_cast<const char*>(s), len);
    }
    static void end(int, void* data) { static_cast<Sink*>(data)->records.emplace_back(); }
  } sink;
  csv_parser parser;
  if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0) return std::nullopt;
  csv_set_space_func(&parser, [](unsigned char) { return 0; });
  const bool ok =
      csv_parse(&parser, text.data(), text.size(), Sink::field, Sink::end, &sink) == text.size() &&
      csv_fini(&parser, Sink::field, Sink::end, &sink) == 0;
  csv_free(&parser);
  if (ok) sink.records.pop_back();  // the record the last line end opened
  return ok ? std::optional(sink.records) : std::nullopt;
}

struct WorkbookCell {
  bool isNumber = false;
  std::string text;  // strings, escapes decoded
  double number = 0;
  bool bold = false;
  std::string numberFormat;  // custom format code, empty for the general one
};

struct Workbook {
  std::string sheetName;
  int sheets = 0;
  int frozenRows = 0;
  std::map<int, int> columnPixels;                    // 0-based column, width in pixels
  std::map<std::pair<int, int>, WorkbookCell> cells;  // (row, column), 0-based

  const WorkbookCell* cell(int row, int column) const {
    const auto it = cells.find({row, column});
    return it == cells.end() ? nullptr : &it->second;
  }
  // The rows as texts (numbers printed as integers), empty cells "".
  Records texts() const {
    Records rows;
    for (const auto& [at, c] : cells) {
      rows.resize(std::max(rows.size(), std::size_t(at.first) + 1));
      auto& row = rows[at.first];
      row.resize(std::max(row.size(), std::size_t(at.second) + 1));
      row[at.second] = c.isNumber ? std::to_string(static_cast<long long>(c.number)) : c.text;
    }
    return rows;
  }
};

namespace workbookdetail {

inline std::optional<std::string> member(unzFile zip, const char* name) {
  if (unzLocateFile(zip, name, 1) != UNZ_OK || unzOpenCurrentFile(zip) != UNZ_OK) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  int n;
  while ((n = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0) bytes.append(buffer, n);
  unzCloseCurrentFile(zip);
  return n < 0 ? std::nullopt : std::optional(bytes);
}

// "_xHHHH_" stands for the character HHHH.
inline std::string unescape(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const bool escape =
        s.compare(i, 2, "_x") == 0 && i + 6 < s.size() && s[i + 6] == '_' &&
        std::all_of(s.begin() + i + 2, s.begin() + i + 6, [](char c) { return std::isxdigit(c) != 0; });
    const unsigned long code = escape ? std::strtoul(s.substr(i + 2, 4).c_str(), nullptr, 16) : 0x80;
    out += code < 0x80 ? static_cast<char>(code) : s[i];
    if (code < 0x80) i += 6;
  }
  return out;
}

inline std::string textOf(pugi::xml_node item) {
  std::string text;
  for (pugi::xpath_node t : item.select_nodes(".//*[local-name()='t']")) text += t.node().text().get();
  return unescape(text);
}

// A cell reference's column letters, 0-based.
inline int columnOf(const char* ref) {
  int column = 0;
  for (; *ref >= 'A' && *ref <= 'Z'; ++ref) column = column * 26 + (*ref - 'A' + 1);
  return column - 1;
}

}  // namespace workbookdetail

// The first sheet of a workbook, or nothing when it cannot be read.
inline std::optional<Workbook> readWorkbook(const std::string& path) {
  using namespace workbookdetail;
  unzFile zip = unzOpen(path.c_str());
  if (!zip) return std::nullopt;
  auto load = [zip](pugi::xml_document& doc, const char* name) {
    const auto bytes = member(zip, name);
    return bytes && doc.load_string(bytes->c_str());
  };
  pugi::xml_document book, sheet, strings, styles;
  load(strings, "xl/sharedStrings.xml");  // none when no cell holds text
  const bool whole = load(book, "xl/workbook.xml") && load(sheet, "xl/worksheets/sheet1.xml") &&
                     load(styles, "xl/styles.xml");
  unzClose(zip);
  if (!whole) return std::nullopt;

  Workbook result;
  for (pugi::xml_node s : book.child("workbook").child("sheets").children("sheet"))
    if (result.sheets++ == 0) result.sheetName = s.attribute("name").value();
  std::vector<std::string> shared;
  for (pugi::xml_node si : strings.child("sst").children("si")) shared.push_back(textOf(si));

  std::map<int, std::string> formats;
  for (pugi::xml_node f : styles.child("styleSheet").child("numFmts").children("numFmt"))
    formats[f.attribute("numFmtId").as_int()] = f.attribute("formatCode").value();
  std::vector<bool> boldFont;
  for (pugi::xml_node f : styles.child("styleSheet").child("fonts").children("font"))
    boldFont.push_back(bool(f.child("b")));
  std::vector<std::pair<bool, std::string>> xfs;  // bold, format code
  for (pugi::xml_node xf : styles.child("styleSheet").child("cellXfs").children("xf")) {
    const auto font = std::size_t(xf.attribute("fontId").as_int());
    const auto fmt = formats.find(xf.attribute("numFmtId").as_int());
    xfs.emplace_back(font < boldFont.size() && boldFont[font], fmt == formats.end() ? "" : fmt->second);
  }

  const pugi::xml_node ws = sheet.child("worksheet");
  const pugi::xml_node pane = ws.child("sheetViews").child("sheetView").child("pane");
  if (std::string(pane.attribute("state").value()) == "frozen")
    result.frozenRows = pane.attribute("ySplit").as_int();
  // A width of w characters of the default font is this many pixels.
  for (pugi::xml_node col : ws.child("cols").children("col")) {
    const double w = col.attribute("width").as_double();
    const int pixels = static_cast<int>(std::trunc((256 * w + std::trunc(128.0 / 7)) / 256 * 7));
    for (int c = col.attribute("min").as_int(); c <= col.attribute("max").as_int(); ++c)
      result.columnPixels[c - 1] = pixels;
  }
  for (pugi::xml_node row : ws.child("sheetData").children("row"))
    for (pugi::xml_node c : row.children("c")) {
      const char* value = c.child_value("v");
      const bool isText = std::string(c.attribute("t").value()) == "s";
      const auto index = std::size_t(std::atoi(value));
      WorkbookCell cell{!isText, isText && index < shared.size() ? shared[index] : "",
                        isText ? 0 : std::atof(value), false, ""};
      const auto style = std::size_t(c.attribute("s").as_int());
      if (style < xfs.size()) std::tie(cell.bold, cell.numberFormat) = xfs[style];
      result.cells[{row.attribute("r").as_int() - 1, columnOf(c.attribute("r").value())}] = cell;
    }
  return result;
}

}  // namespace testutil
