#include "sys.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>

TEST(Sys_Expand, ReplacesKnownNamesAndKeepsTheRest) {
  ::setenv("DT_TEST_DIR", "/srv/qss", 1);
  ::setenv("DT_TEST_KO", "전체", 1);
  ::unsetenv("DT_TEST_NONE");
  EXPECT_EQ(sys::expandEnvironmentStrings("%DT_TEST_DIR%\\data"), "/srv/qss\\data");
  EXPECT_EQ(sys::expandEnvironmentStrings("%dt_test_dir%"), "/srv/qss");
  EXPECT_EQ(sys::expandEnvironmentStrings("%DT_TEST_NONE%\\x"), "%DT_TEST_NONE%\\x");
  EXPECT_EQ(sys::expandEnvironmentStrings("100% and %%"), "100% and %%");
  EXPECT_EQ(sys::expandEnvironmentStrings("%DT_TEST_NONE%DT_TEST_DIR%"), "%DT_TEST_NONE/srv/qss");
  // Values arrive in UTF-8 and leave as CP949.
  EXPECT_EQ(sys::expandEnvironmentStrings("%DT_TEST_KO%"), "\xC0\xFC\xC3\xBC");

  char small[6];
  EXPECT_EQ(sys::expandEnvironmentStrings("%DT_TEST_DIR%", small, sizeof small), 9u);
  EXPECT_STREQ(small, "/srv/");
  char cut[4];
  sys::expandEnvironmentStrings("a%DT_TEST_KO%", cut, sizeof cut);
  EXPECT_STREQ(cut, "a\xC0\xFC");
  ::unsetenv("DT_TEST_DIR");
  ::unsetenv("DT_TEST_KO");
}
