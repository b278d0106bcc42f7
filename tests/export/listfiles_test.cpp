// The list's file formats, each read back by an independent reader: CSV by
// a strict RFC 4180 parser, JSON by a JSON parser, the workbook from its
// zip and XML parts (cells, types, styles, frozen header, widths).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cp949.h"
#include "dcListFiles.h"
#include "listreaders.h"
#include "testutil.h"

const std::string EDITOR = "\xC6\xED\xC1\xFD\xB1\xE2";  // 편집기
const std::string USERS = "\xBB\xE7\xBF\xEB\xC0\xDA";   // 사용자

TEST(ListFiles, CsvAndJsonReadBackByParsers) {
  // Cells that need every kind of care: separators, quotes, line breaks,
  // control characters, blanks at the ends, double-byte texts, empties.
  dcViewList_t list{{{"name, full", 300}, {USERS, 500}, {"note", 150}},
                    {{EDITOR, "A1, B2, ", "say \"hi\"\r\nbye"},
                     {"  padded  ", "", "tab\there\x01"},
                     {"back\\slash", "_x0041_ stays", "line\nfeed"}}};
  const std::string text = dclistfile::csvText(list);
  EXPECT_EQ(text.rfind("\"name, full\"," + USERS + ",note\r\n", 0), 0u);
  testutil::Records records{{"name, full", USERS, "note"}};
  records.insert(records.end(), list.rows.begin(), list.rows.end());
  EXPECT_EQ(testutil::parseCsv(text), records);
  EXPECT_EQ(dclistfile::csvText({}), "");

  // JSON: members in column order in every row, rows in list order; a
  // repeated header keeps its column.
  list.columns[2].header = USERS;
  list.rows[2][0] = "bad \xFF byte";
  EXPECT_EQ(nlohmann::ordered_json::parse(dclistfile::jsonText(list)), nlohmann::ordered_json::parse(R"([
      {"name, full": "편집기", "사용자": "A1, B2, ", "사용자_2": "say \"hi\"\r\nbye"},
      {"name, full": "  padded  ", "사용자": "", "사용자_2": "tab\there\u0001"},
      {"name, full": "bad ? byte", "사용자": "_x0041_ stays", "사용자_2": "line\nfeed"}])"));
  EXPECT_EQ(nlohmann::json::parse(dclistfile::jsonText({{{"h", 1}}, {}})), nlohmann::json::array());
}

TEST(ListFiles, WorkbookCellsTypesFrozenHeaderAndMinutes) {
  testutil::TempDir dir;
  const std::string path = dir.str() + "/usage.xlsx";
  const dcViewList_t usage{{{"\xBC\xD2\xC7\xC1\xC6\xAE\xBF\xFE\xBE\xEE", 400}, {"time", 150}},  // 소프트웨어
                           {{"game.exe", "    300 min"}, {EDITOR, "     30 min"}, {"_x0041_\x01", "n/a"}}};
  ASSERT_EQ(dclistfile::writeWorkbook(path, usage, dcViewKind_t::USAGE), std::nullopt);
  auto book = testutil::readWorkbook(path);
  ASSERT_TRUE(book);
  EXPECT_EQ(std::tie(book->sheets, book->frozenRows, book->sheetName),
            std::make_tuple(1, 1, "프로그램 사용 내역"));
  EXPECT_EQ(book->columnPixels, (std::map<int, int>{{0, 400}, {1, 150}}));
  EXPECT_EQ(book->texts(),
            (testutil::Records{
                {"소프트웨어", "time"}, {"game.exe", "300"}, {"편집기", "30"}, {"_x0041_\x01", "n/a"}}));
  // The header is bold; the minutes are numbers (the texts above give them
  // as such) shown with their unit; anything else is text.
  EXPECT_TRUE(book->cell(0, 0)->bold && book->cell(0, 1)->bold && !book->cell(1, 0)->bold &&
              !book->cell(1, 1)->bold && book->cell(1, 1)->numberFormat == "0\" min\"");

  // Outside the usage view a minutes-like text stays text; an empty cell
  // is no cell; a view without a title gets a default sheet.
  const dcViewList_t other{{{"a", 0}, {"b", 60}}, {{"", "   5 min"}}};
  ASSERT_EQ(dclistfile::writeWorkbook(path, other, dcViewKind_t::SOFTWARE), std::nullopt);
  book = testutil::readWorkbook(path);
  EXPECT_TRUE(book->sheetName == "소프트웨어 정보" && !book->cell(1, 0) &&
              book->cell(1, 1)->text == "   5 min");
  EXPECT_EQ(book->columnPixels, (std::map<int, int>{{1, 60}}));
  ASSERT_EQ(dclistfile::writeWorkbook(path, other, dcViewKind_t::NONE), std::nullopt);
  EXPECT_EQ(testutil::readWorkbook(path)->sheetName, "Sheet1");

  EXPECT_NE(dclistfile::writeWorkbook(dir.str() + "/no/such/folder.xlsx", usage, dcViewKind_t::USAGE),
            std::nullopt);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "no"));

  // Minutes are read from the minutes text alone.
  EXPECT_TRUE(dclistfile::usageMinutes("      0 min") == 0 && dclistfile::usageMinutes("     -3 min") == -3);
  EXPECT_EQ(dclistfile::usageMinutes("12345678 min"), 12345678);
  for (const char* text :
       {"", " min", "5 mins", "5min", "1 2 min", "x5 min", "+5 min", "1234567890123456 min", "-- min"})
    EXPECT_EQ(dclistfile::usageMinutes(text), std::nullopt) << text;
}
