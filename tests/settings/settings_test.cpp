// The setting manager's look-ups, its file and environment paths, the
// fallback manager, and the console's display texts.
#include <gtest/gtest.h>

#include <string>

#include "CSettingMgr.h"
#include "cp949.h"
#include "dcDisplayText.h"
#include "testutil.h"

TEST(Settings_File, FirstChildLookupsFileAndEnvironmentPaths) {
  testutil::TempDir dir;
  testutil::writeFile(dir.path() / "qss" / "qslook.xml",
                      "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n<qslook>\n"
                      "  <paths><deep><qssgrp>C:\\QSS\\first.dat</qssgrp></deep><logdata></logdata></paths>\n"
                      "  <qssgrp>C:\\QSS\\second.dat</qssgrp>\n"
                      "  <pcname>   PC \xC0\xCC\xB8\xA7  </pcname>\n"  // PC 이름
                      "  <commented><!-- note -->text</commented><nested><inner>x</inner></nested>\n"
                      "</qslook>\n");
  testutil::DriveMapping drive('C', dir.str());
  CSettingMgr settings(CSettingMgr::DEFAULT_PATH);
  ASSERT_NE(settings.document, nullptr);
  EXPECT_STREQ(settings.path, "C:\\qss\\qslook.xml");

  // The first element in document order wins, even nested deeper. Empty
  // element: empty text; absent: none; keys are case-sensitive patterns.
  EXPECT_STREQ(settings.GetValue("qssgrp"), "C:\\QSS\\first.dat");
  EXPECT_STREQ(settings.GetValue("logdata"), "");
  EXPECT_TRUE(!settings.GetValue("PCNAME") && !settings.GetValue(nullptr) && !settings.GetValue("missing"));
  EXPECT_STREQ(settings.GetValue("qss*"), "C:\\QSS\\first.dat");
  // Trimmed at the ends, blanks inside kept, Korean bytes unchanged; kept, not copied.
  EXPECT_STREQ(settings.GetValue("pcname"), "PC \xC0\xCC\xB8\xA7");
  EXPECT_EQ(settings.GetValue("pcname"), settings.GetValue("pc?ame"));
  // The first child counts whatever its kind; the processing instruction
  // "xml" is a node too.
  EXPECT_STREQ(settings.GetValue("commented"), "note");
  EXPECT_STREQ(settings.GetValue("nested"), "");
  EXPECT_STREQ(settings.GetValue("xml"), "");

  // A file that is missing or empty leaves a manager without a document.
  const testutil::ScopedEnv env("DESKTALLY_SETTINGS_TEST", dir.str().c_str());
  testutil::writeFile(dir.path() / "empty.xml", "");
  testutil::writeFile(dir.path() / "ok.xml", "<s><logdata>D:\\data</logdata></s>");
  for (const char* name : {"missing.xml", "empty.xml"}) {
    testing::internal::CaptureStderr();
    CSettingMgr failed((std::string("%DESKTALLY_SETTINGS_TEST%\\") + name).c_str());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("[CSettingMgr]parse xml files fails"),
              std::string::npos);
    EXPECT_EQ(std::string(failed.path), dir.str() + "\\" + name);
    EXPECT_EQ(failed.GetValue("logdata"), nullptr);
  }
  CSettingMgr ok("%DESKTALLY_SETTINGS_TEST%\\ok.xml");
  EXPECT_STREQ(ok.GetValue("logdata"), "D:\\data");

  // Without any manager, one without a document is made and kept.
  CSettingMgrOverride none(nullptr);
  CSettingMgr* made = CSettingMgr::GetInstance();
  EXPECT_TRUE(made && !made->document && !made->GetValue("logdata") && CSettingMgr::GetInstance() == made);
  delete made;
  theSettingMgr = nullptr;
}

// Look-ups stay inside their section; every text is well-formed CP949 (it
// survives the round trip through UTF-8).
TEST(Settings_DisplayTexts, LookupsStayInTheirSection) {
  EXPECT_STREQ(dcGetDisplayText(DST_TABS, 1), "Windows \xC1\xA4\xBA\xB8");             // Windows 정보
  EXPECT_STREQ(dcGetDisplayText(DST_MENUS, 12), "\xC0\xFC\xC3\xBC \xB1\xD7\xB7\xEC");  // 전체 그룹
  EXPECT_EQ(dcGetDisplayText(DST_TABS, 5), nullptr);                    // the next section's header
  EXPECT_EQ(dcGetDisplayText(DST_SOFTWARE_USAGE_COLUMNS, 5), nullptr);  // the table's end
  EXPECT_TRUE(!dcGetDisplayText("[dstNothing]", 1) && !dcGetDisplayText(DST_TABS, -1));
  for (const auto& text : dcDisplayTexts) EXPECT_EQ(mb::fromUtf8(mb::toUtf8(text)), std::string(text));
}
