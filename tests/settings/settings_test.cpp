// The setting manager's look-ups, its file and environment paths, the
// fallback manager, and the console's display texts.
#include <gtest/gtest.h>

#include "CSettingMgr.h"
#include "cp949.h"
#include "dcDisplayText.h"
#include "testutil.h"

TEST(Settings, LookupsFilePathsFallbackAndDisplayTexts) {
  testutil::TempDir dir;
  testutil::writeFile(dir.path() / "qss" / "qslook.xml",
                      "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n<qslook>\n"
                      "  <pcname>   PC \xC0\xCC\xB8\xA7  </pcname>\n"  // PC 이름
                      "</qslook>\n");
  testutil::DriveMapping drive('C', dir.str());
  CSettingMgr settings(CSettingMgr::DEFAULT_PATH);
  ASSERT_TRUE(settings.document && std::string(settings.path) == "C:\\qss\\qslook.xml");

  // Which element answers a key (the first match in document order, nested
  // or not, case-sensitive patterns) and with which child is compared with
  // the plain model by the loaders' random tests. Trimmed at the ends,
  // blanks inside kept, Korean bytes unchanged; kept, not copied. The
  // processing instruction "xml" is a node too.
  EXPECT_STREQ(settings.GetValue("pcname"), "PC \xC0\xCC\xB8\xA7");
  EXPECT_EQ(settings.GetValue("pcname"), settings.GetValue("pc?ame"));
  EXPECT_TRUE(!settings.GetValue("PCNAME") && !settings.GetValue(nullptr));
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

  // Display texts: look-ups stay inside their section; every text is
  // well-formed CP949 (it survives the round trip through UTF-8).
  EXPECT_STREQ(dcGetDisplayText(DST_TABS, 1), "Windows \xC1\xA4\xBA\xB8");             // Windows 정보
  EXPECT_STREQ(dcGetDisplayText(DST_MENUS, 12), "\xC0\xFC\xC3\xBC \xB1\xD7\xB7\xEC");  // 전체 그룹
  // Not the next section's header, nor past the table's end.
  EXPECT_TRUE(!dcGetDisplayText(DST_TABS, 5) && !dcGetDisplayText(DST_SOFTWARE_USAGE_COLUMNS, 5) &&
              !dcGetDisplayText("[dstNothing]", 1) && !dcGetDisplayText(DST_TABS, -1));
  for (const auto& text : dcDisplayTexts) EXPECT_EQ(mb::fromUtf8(mb::toUtf8(text)), std::string(text));
}
