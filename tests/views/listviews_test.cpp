// The viewer's lists computed without a window: titles, statuses, the views' rows
// and cell limits, and the export text. The form's tests show the same lists
// with their widths and the usage period.
#include <gtest/gtest.h>

#include "cp949.h"
#include "dcAssetConsoleEngine.h"
#include "dcDisplayText.h"
#include "dcListViews.h"
#include "inventorySite.h"

namespace {

// Korean texts of the views, CP949.
const char* const PC_NAME = "PC \xC0\xCC\xB8\xA7";                     // PC 이름
const char* const CPU = "\xC7\xC1\xB7\xCE\xBC\xBC\xBC\xAD";            // 프로세서
const char* const DISK = "\xC7\xCF\xB5\xE5 \xB5\xF0\xBD\xBA\xC5\xA9";  // 하드 디스크

// The list as readable UTF-8: "header/width|..." then one line per row.
std::string dump(const dcViewList_t& list) {
  std::string out;
  for (const auto& c : list.columns) out += c.header + "/" + std::to_string(c.width) + "|";
  for (const auto& row : list.rows) {
    out += "\n";
    for (const auto& cell : row) out += cell + "|";
  }
  return mb::toUtf8(out);
}

TEST(Views, TitlesStatusesListsCellLimitsAndExport) {
  // Root with client R1 and groups A (A1, sub-group AA with AA1) and B (B1),
  // loaded as a site would be and gathered.
  InventorySite settings{std::string("<settings><pcname>") + PC_NAME + "</pcname></settings>"};
  dcAssetConsoleEngine_t engine;
  dcQsGroup_t& root = engine.root;
  dcQsClient_t* r1 = root.addClient("R1");
  dcQsGroup_t *a = root.addChild(1, "A"), *aa = a->addChild(2, "AA");
  dcQsClient_t *a1 = a->addClient("A1"), *aa1 = aa->addClient("AA1"),
               *b1 = root.addChild(3, "B")->addClient("B1");
  r1->windowsInfo.add("WindowsVersion", "Windows 10 Pro");
  a1->windowsInfo.add("WindowsVersion", "Windows 11 Pro");
  a1->windowsInfo.add("Workgroup", "CORP");
  aa1->windowsInfo.add("workgroup", "HOME");  // another letter case: a column of its own
  r1->hardwareList.add(CPU, "cpu0", "Core 3.6GHz", 1);
  for (const char* disk : {"SSD 256GB", "HDD 1TB", "HDD 2TB"}) r1->hardwareList.add(DISK, disk, disk, 1);
  b1->hardwareList.add(CPU, "cpu0", "Core 2.9GHz", 1);
  r1->hardwareList.add("Empty");
  for (dcQsClient_t* c : {r1, a1, b1}) c->softwareList.add("Editor", "editor.exe", "1.0");
  aa1->softwareList.add("Viewer", "viewer.exe", "2.0");
  ASSERT_EQ(root.gatherGroupInfo(), 0u);
  dcViewList_t list;
  // A view's status and the list it made.
  auto made = [&](dcStatus_t status) { return std::to_string(status) + " " + dump(list); };

  // The four tab texts, exact bytes; the menu's spelling of the usage entry
  // (no blank) and a trailing blank match nothing.
  for (int entry = 1; entry <= 4; ++entry)
    EXPECT_EQ(static_cast<int>(dcviews::viewOfTitle(dcGetDisplayText(DST_TABS, entry))), entry);
  for (const char* near : {"Windows \xC1\xA4\xBA\xB8 ", "Windows \xC1\xA4\xBA",
                           "\xC7\xC1\xB7\xCE\xB1\xD7\xB7\xA5 \xBB\xE7\xBF\xEB\xB3\xBB\xBF\xAA"})
    EXPECT_EQ(dcviews::viewOfTitle(near), dcViewKind_t::NONE) << near;
  // A client or group under an unknown title: list and status untouched.
  list.columns = {{"old", 1}};
  dcViewPeriod_t period{{2024, 3, 1}, {2024, 3, 31}};
  const dcViewRefresh_t r = dcviews::refresh(a1, "Windows", period, list);
  EXPECT_TRUE(!r.status.has_value() && r.kind == dcViewKind_t::NONE && dump(list) == "old/1|");
  // A null group gives 203; the group views that need the engine give 201
  // without it.
  EXPECT_EQ(dcviews::hardwareByPc(nullptr, list), dcStatus::NULL_ARGUMENT);
  theAssetConsoleEngine = nullptr;
  EXPECT_EQ((std::vector{dcviews::windowsInfoByPc(a, list), dcviews::groupSoftware(a, list),
                         dcviews::hardwareByPc(a, list)}),
            (std::vector<dcStatus_t>{dcStatus::MISSING_OBJECT, dcStatus::MISSING_OBJECT, 0}));
  theAssetConsoleEngine = &engine;
  EXPECT_FALSE(dcViewDate_t::parse("2024.02.30").has_value());

  // Export: no columns, nothing at all; headers cut to 255 bytes, never
  // inside a double-byte character.
  EXPECT_EQ(dcviews::exportText(dcViewList_t{}), "");
  list = {{{std::string(254, 'h') + "\xC7\xD7", 1}, {std::string(300, 'h'), 1}}, {}};
  EXPECT_EQ(dcviews::exportText(list), std::string(254, 'h') + "\t" + std::string(255, 'h') + "\r\n");
  EXPECT_EQ(dcviews::exportName("A1", {2024, 3, 5}), "A1_2024-3-5");

  // A client's programs.
  EXPECT_EQ(made(dcviews::clientSoftware(a1, list)), "0 소프트웨어/800|\nEditor|");
  // One row per device item, the category in column 0; a category without
  // items gives none.
  EXPECT_EQ(
      made(dcviews::clientHardware(r1, list)),
      "0 하드웨어/150|상세 정보/500|\n프로세서|Core 3.6GHz|\n하드 디스크|SSD 256GB|\n하드 디스크|HDD 1TB|\n"
      "하드 디스크|HDD 2TB|");

  // Every client of the subtree, depth-first; one column per gathered item
  // name (names differing in case are two columns, both finding the item).
  EXPECT_EQ(made(dcviews::windowsInfoByPc(&root, list)),
            "0 PC 이름/150|WindowsVersion/150|Workgroup/150|workgroup/150|\nR1|Windows 10 Pro|||\n"
            "A1|Windows 11 Pro|CORP|CORP|\nAA1||HOME|HOME|\nB1||||");
  // Descriptions each followed by a blank; a missing category is empty.
  EXPECT_EQ(
      made(dcviews::hardwareByPc(&root, list)),
      "0 PC 이름/150|프로세서/150|하드 디스크/150|Empty/150|\nR1|Core 3.6GHz |SSD 256GB HDD 1TB HDD 2TB ||\n"
      "A1||||\nAA1||||\nB1|Core 2.9GHz |||");
  // A group's users: its own clients and direct sub-groups, each with ", ".
  EXPECT_EQ(made(dcviews::groupSoftware(&root, list)),
            "0 소프트웨어/300|사용자/500|\nEditor|R1, A, B, |\nViewer|A, |");

  // Cells stop at 1023 bytes, skipping what does not fit. 100-byte descriptions: ten of them with their
  // blanks take 1010 bytes; an eleventh does not fit, a later one of 12 bytes (13 with its blank) does. 300
  // clients named with 8 bytes (10 with ", ") share one program.
  const std::string hundred(100, 'x');
  // A second client's 11-byte tail leaves the cell at 1022 bytes, where
  // "z " would make 1024.
  dcQsGroup_t g("G");
  for (const char* tail : {"123456789012", "12345678901"}) {
    dcQsClient_t* c = g.addClient(tail);
    for (int i = 0; i < 11; ++i) c->hardwareList.add("Slots", std::to_string(i).c_str(), hundred.c_str(), 1);
    for (const char* last : {tail, "z"}) c->hardwareList.add("Slots", last, last, 1);
  }
  for (int i = 0; i < 300; ++i)  // N0000000 to N0000299
    g.addClient(("N" + std::to_string(10000000 + i).substr(1)).c_str())
        ->softwareList.add("Shared", "shared.exe", "1");
  ASSERT_EQ(g.gatherGroupInfo(), 0u);

  ASSERT_EQ(dcviews::hardwareByPc(&g, list), 0u);
  std::string expected;
  for (int i = 0; i < 10; ++i) expected += hundred + " ";
  EXPECT_EQ(list.rows[0][1], expected + "123456789012 ");  // 1023 bytes exactly; "z " no longer fits
  EXPECT_EQ(list.rows[1][1], expected + "12345678901 ");

  ASSERT_EQ(dcviews::groupSoftware(&g, list), 0u);
  // 102 names of 10 bytes, 1020 in all; the 103rd would pass 1023.
  EXPECT_EQ(list.rows.at(0).at(1).substr(1000), "N0000100, N0000101, ");
}

}  // namespace
