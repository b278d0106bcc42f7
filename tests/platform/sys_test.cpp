#include "sys.h"

#include <gtest/gtest.h>

#include "testutil.h"

TEST(Sys_Expand, ReplacesKnownNamesAndKeepsTheRest) {
  const testutil::ScopedEnv dir("DT_TEST_DIR", "/srv/qss"), ko("DT_TEST_KO", "전체"),
      none("DT_TEST_NONE", nullptr);
  EXPECT_EQ(sys::expandEnvironmentStrings("%DT_TEST_DIR%\\data"), "/srv/qss\\data");
  EXPECT_EQ(sys::expandEnvironmentStrings("%dt_test_dir%"), "/srv/qss");
  EXPECT_EQ(sys::expandEnvironmentStrings("%DT_TEST_NONE%\\x"), "%DT_TEST_NONE%\\x");
  EXPECT_EQ(sys::expandEnvironmentStrings("100% and %%"), "100% and %%");
  EXPECT_EQ(sys::expandEnvironmentStrings("%DT_TEST_NONE%DT_TEST_DIR%"), "%DT_TEST_NONE/srv/qss");
  // Values arrive in UTF-8 and leave as CP949, cut to the buffer by characters.
  EXPECT_EQ(sys::expandEnvironmentStrings("%DT_TEST_KO%"), "\xC0\xFC\xC3\xBC");
  char small[6], cut[4];
  EXPECT_EQ(sys::expandEnvironmentStrings("%DT_TEST_DIR%", small, sizeof small), 9u);
  EXPECT_STREQ(small, "/srv/");
  sys::expandEnvironmentStrings("a%DT_TEST_KO%", cut, sizeof cut);
  EXPECT_STREQ(cut, "a\xC0\xFC");
}
