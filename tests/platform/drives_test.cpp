// Where drive letters lead: a folder chosen for the run, the environment,
// the configuration file and the default, in every combination; the
// configuration file as the window's toolkit writes it; site folders;
// environment names in paths.
#include <gtest/gtest.h>

#include "inifile.h"
#include "sys.h"
#include "testutil.h"
#include "winfs.h"

using testutil::ScopedEnv;

TEST(DriveFolder, ChoiceThenEnvironmentThenFileThenDefault) {
  testutil::TempDir dir;
  const std::string d = dir.str(), withFile = d + "/with-file", fallback = d + "/home/.desktally/drive_c";
  testutil::writeFile(withFile + "/DeskTally/desktally.conf",
                      "[General]\nC=/not/this/section\n\n[drives]\nD=/srv/d\nC=" + d + "/from-file\n");
  const ScopedEnv home("HOME", (d + "/home").c_str());

  // Every combination of the three sources: the strongest present wins,
  // for every path under the drive.
  for (int sources = 0; sources < 8; ++sources) {
    const bool file = sources & 1, env = sources & 2, choice = sources & 4;
    const ScopedEnv config("XDG_CONFIG_HOME", (file ? withFile : d + "/without-file").c_str());
    const ScopedEnv variable("DESKTALLY_DRIVE_C", env ? (d + "/from-env").c_str() : nullptr);
    std::optional<winfs::DriveChoice> chosen;
    if (choice) chosen.emplace('C', d + "/chosen");
    const std::string expected = d + (choice ? "/chosen" : env ? "/from-env" : file ? "/from-file" : "");
    EXPECT_EQ(winfs::driveFolder('c'), expected == d ? fallback : expected) << sources;
    EXPECT_EQ(winfs::hostPath("c:\\qss\\qslook.xml"), winfs::driveFolder('C') + "/qss/qslook.xml");
  }
  // Other letters keep their own keys; a relative configuration folder is ignored.
  const ScopedEnv config("XDG_CONFIG_HOME", withFile.c_str());
  EXPECT_EQ(winfs::driveFolder('D'), "/srv/d");
  EXPECT_EQ(winfs::driveFolder('E'), d + "/home/.desktally/drive_e");
  EXPECT_EQ(winfs::configurationFile(), withFile + "/DeskTally/desktally.conf");
  const ScopedEnv relative("XDG_CONFIG_HOME", "relative/config");
  EXPECT_EQ(winfs::configurationFile(), d + "/home/.config/DeskTally/desktally.conf");
}

TEST(DriveFolder, ValuesAsTheToolkitWritesThem) {
  // Quoting, escapes, comments; a list is no folder; a section of its own.
  const std::string text =
      "; written by the window\n[drives]\r\nC = \"/srv/a, b\"\r\nD=/\\\"q\\\"\\x41\\x20ac\\101 ; note\n"
      "E=/a,/b\nG=\"  padded  \"\n[sites]\nF=/elsewhere\n";
  const std::pair<const char*, std::optional<std::string>> values[] = {
      {"C", "/srv/a, b"}, {"D", "/\"q\"A\xE2\x82\xAC\x41"}, {"E", {}}, {"F", {}}, {"G", "  padded  "}};
  for (const auto& [key, value] : values) EXPECT_EQ(inifile::readValue(text, "drives", key), value) << key;
  EXPECT_EQ(inifile::readValue("[drives]\nC=\"open\\", "drives", "C"), "open\\");
}

TEST(SiteFolder, HoldsTheSettingsFileInAnyCase) {
  testutil::TempDir dir;
  testutil::writeFile(dir.path() / "site" / "QSS" / "QSLook.XML", "<x/>");
  std::filesystem::create_directories(dir.path() / "folder" / "qss" / "qslook.xml");
  EXPECT_TRUE(winfs::folderHoldsFile(dir.str() + "/site", "qss\\qslook.xml"));
  EXPECT_FALSE(winfs::folderHoldsFile(dir.str() + "/folder", "qss\\qslook.xml"));  // a folder of that name
  EXPECT_FALSE(winfs::folderHoldsFile(dir.str(), "qss\\qslook.xml"));
}

TEST(Sys_Expand, ReplacesKnownNamesAndKeepsTheRest) {
  const ScopedEnv dir("DT_TEST_DIR", "/srv/qss"), ko("DT_TEST_KO", "전체"), none("DT_TEST_NONE", nullptr);
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
