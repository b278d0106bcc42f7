#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "CSettingMgr.h"
#include "cp949.h"
#include "dcDisplayText.h"
#include "testutil.h"

namespace {

const char* kSettings =
    "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n"
    "<qslook>\n"
    "  <paths>\n"
    "    <deep><qssgrp>C:\\QSS\\first.dat</qssgrp></deep>\n"
    "    <logdata></logdata>\n"
    "  </paths>\n"
    "  <qssgrp>C:\\QSS\\second.dat</qssgrp>\n"
    "  <pcname>   PC \xC0\xCC\xB8\xA7  </pcname>\n"  // PC 이름
    "  <commented><!-- note -->text</commented>\n"
    "  <nested><inner>x</inner></nested>\n"
    "</qslook>\n";

TEST(Settings_File, LookupsFollowTheFirstChildRule) {
  testutil::TempDir dir;
  testutil::writeFile(dir.path() / "qss" / "qslook.xml", kSettings);
  testutil::DriveMapping drive('C', dir.str());
  CSettingMgr settings(CSettingMgr::DEFAULT_PATH);
  ASSERT_NE(settings.document, nullptr);
  EXPECT_STREQ(settings.path, "C:\\qss\\qslook.xml");

  // The first element in document order wins, even nested deeper.
  EXPECT_STREQ(settings.GetValue("qssgrp"), "C:\\QSS\\first.dat");
  // Empty element: empty text; absent: none; keys are case-sensitive.
  EXPECT_STREQ(settings.GetValue("logdata"), "");
  EXPECT_EQ(settings.GetValue("LogData"), nullptr);
  EXPECT_EQ(settings.GetValue("PCNAME"), nullptr);
  EXPECT_EQ(settings.GetValue("missing"), nullptr);
  EXPECT_EQ(settings.GetValue(nullptr), nullptr);
  // Trimmed at the ends, blanks inside kept, Korean bytes unchanged.
  EXPECT_STREQ(settings.GetValue("pcname"), "PC \xC0\xCC\xB8\xA7");
  // The first child counts whatever its kind.
  EXPECT_STREQ(settings.GetValue("commented"), "note");
  EXPECT_STREQ(settings.GetValue("nested"), "");
  // Keys are name patterns; the processing instruction "xml" is a node too.
  EXPECT_STREQ(settings.GetValue("qss*"), "C:\\QSS\\first.dat");
  EXPECT_STREQ(settings.GetValue("pc?ame"), "PC \xC0\xCC\xB8\xA7");
  EXPECT_STREQ(settings.GetValue("xml"), "");

  // Answers are kept: the same text comes back.
  const char* first = settings.GetValue("pcname");
  EXPECT_EQ(settings.GetValue("pcname"), first);
  EXPECT_EQ(settings.GetValue("missing"), nullptr);
}

TEST(Settings_File, MissingFileAndEnvironmentPaths) {
  testutil::TempDir dir;
  ::setenv("DESKTALLY_SETTINGS_TEST", dir.str().c_str(), 1);

  testing::internal::CaptureStderr();
  CSettingMgr missing("%DESKTALLY_SETTINGS_TEST%\\qslook.xml");
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("[CSettingMgr]parse xml files fails"), std::string::npos);
  EXPECT_EQ(std::string(missing.path), dir.str() + "\\qslook.xml");
  EXPECT_NE(missing.document, nullptr);
  EXPECT_EQ(missing.GetValue("logdata"), nullptr);

  testutil::writeFile(dir.path() / "empty.xml", "");
  testing::internal::CaptureStderr();
  CSettingMgr empty("%DESKTALLY_SETTINGS_TEST%\\empty.xml");
  EXPECT_NE(testing::internal::GetCapturedStderr().find("parse xml files fails"), std::string::npos);
  EXPECT_EQ(empty.GetValue("logdata"), nullptr);

  testutil::writeFile(dir.path() / "ok.xml", "<s><logdata>D:\\data</logdata></s>");
  CSettingMgr ok("%DESKTALLY_SETTINGS_TEST%\\ok.xml");
  EXPECT_STREQ(ok.GetValue("logdata"), "D:\\data");
  ::unsetenv("DESKTALLY_SETTINGS_TEST");
}

TEST(Settings_Instance, OverrideAndFallback) {
  CSettingMgr* production = theSettingMgr;
  ASSERT_NE(production, nullptr);  // made during static initialisation
  EXPECT_EQ(CSettingMgr::GetInstance(), production);
  {
    testutil::TempDir dir;
    testutil::writeFile(dir.path() / "s.xml", "<s><pcname>PC</pcname></s>");
    CSettingMgr local((dir.str() + "/s.xml").c_str());
    CSettingMgrOverride use(&local);
    EXPECT_EQ(CSettingMgr::GetInstance(), &local);
    EXPECT_STREQ(CSettingMgr::GetInstance()->GetValue("pcname"), "PC");
  }
  EXPECT_EQ(theSettingMgr, production);
  {
    // Without any manager one without a document is made and kept.
    CSettingMgrOverride none(nullptr);
    CSettingMgr* made = CSettingMgr::GetInstance();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->document, nullptr);
    EXPECT_EQ(made->GetValue("logdata"), nullptr);
    EXPECT_EQ(CSettingMgr::GetInstance(), made);
    delete made;
    theSettingMgr = nullptr;
  }
  EXPECT_EQ(theSettingMgr, production);
}

TEST(Settings_DisplayTexts, OrderSectionsAndBytes) {
  ASSERT_EQ(DISPLAY_TEXT_COUNT, 46u);
  EXPECT_STREQ(dcDisplayTexts[0], "Not assigned");
  EXPECT_STREQ(dcGetDisplayText(DST_EXPORTS, 2), "Export data files to excel");
  EXPECT_STREQ(dcGetDisplayText(DST_TABS, 0), "[dstTabs]");
  EXPECT_STREQ(dcGetDisplayText(DST_TABS, 1), "Windows \xC1\xA4\xBA\xB8");  // Windows 정보
  // 프로그램 사용 내역
  EXPECT_STREQ(dcGetDisplayText(DST_TABS, 4),
               "\xC7\xC1\xB7\xCE\xB1\xD7\xB7\xA5 \xBB\xE7\xBF\xEB \xB3\xBB\xBF\xAA");
  EXPECT_STREQ(dcGetDisplayText(DST_MENUS, 10), "'%s'\xC0\xC7 %s");                    // '%s'의 %s
  EXPECT_STREQ(dcGetDisplayText(DST_MENUS, 12), "\xC0\xFC\xC3\xBC \xB1\xD7\xB7\xEC");  // 전체 그룹
  EXPECT_STREQ(dcGetDisplayText(DST_SOFTWARE_USAGE_COLUMNS, 2),
               "\xBB\xE7\xBF\xEB \xBD\xC3\xB0\xA3");  // 사용 시간
  EXPECT_STREQ(dcGetDisplayText(DST_SOFTWARE_USAGE_COLUMNS, 4), dcDisplayTexts[45]);
  // Past the end of a section, unknown sections, negative entries.
  EXPECT_EQ(dcGetDisplayText(DST_BUTTONS, 3), nullptr);
  EXPECT_EQ(dcGetDisplayText(DST_SOFTWARE_USAGE_COLUMNS, 5), nullptr);
  EXPECT_EQ(dcGetDisplayText("[dstNothing]", 1), nullptr);
  EXPECT_EQ(dcGetDisplayText(DST_TABS, -1), nullptr);

  // Sections and their entry counts, in table order.
  const struct {
    const char* section;
    int entries;
  } sections[] = {{DST_IMPORTS, 1},
                  {DST_EXPORTS, 2},
                  {DST_TABS, 4},
                  {DST_BUTTONS, 2},
                  {DST_MENUS, 12},
                  {DST_TABLE_COLUMNS, 2},
                  {DST_WINDOWS_INFO_COLUMNS, 2},
                  {DST_HARDWARE_COLUMNS, 3},
                  {DST_SOFTWARE_COLUMNS, 3},
                  {DST_SOFTWARE_USAGE_COLUMNS, 4}};
  std::size_t slot = 1;
  for (const auto& s : sections) {
    EXPECT_STREQ(dcDisplayTexts[slot], s.section);
    EXPECT_NE(dcGetDisplayText(s.section, s.entries), nullptr) << s.section;
    EXPECT_EQ(dcGetDisplayText(s.section, s.entries + 1), nullptr) << s.section;
    slot += 1 + s.entries;
  }
  EXPECT_EQ(slot, DISPLAY_TEXT_COUNT);

  // Every text is well-formed CP949: it survives the round trip through UTF-8.
  for (const auto& text : dcDisplayTexts) {
    const std::string utf8 = mb::toUtf8(text);
    EXPECT_TRUE(mb::isValidUtf8(utf8));
    EXPECT_EQ(mb::fromUtf8(utf8), std::string(text));
  }
}

}  // namespace
