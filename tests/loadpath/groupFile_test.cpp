// What the group file reader answers beyond the tree it builds (the tree
// itself is compared with the model in tests/differential).
#include <gtest/gtest.h>

#include <string>

#include "dcDataLoad.h"
#include "testutil.h"

TEST(GroupFile, LayoutTestAndMissingFile) {
  testutil::TempDir dir;
  testutil::DriveMapping drive{'C', dir.str()};
  dcAssetConsoleEngine_t engine;
  const std::string zero(4, '\0');
  testutil::writeFile(dir.path() / "qss" / "current.dat", "\x0D!!qsdatfile!!" + zero + zero);
  testutil::writeFile(dir.path() / "qss" / "legacy.dat", zero + zero);
  testutil::writeFile(dir.path() / "qss" / "short.dat", "\xFF\x10");
  EXPECT_EQ(isCurrentGroupFile("C:\\QSS\\CURRENT.DAT"), 1u);  // the magic in any case
  EXPECT_EQ(isCurrentGroupFile("C:\\QSS\\legacy.dat"), 0u);
  EXPECT_EQ(isCurrentGroupFile("C:\\QSS\\short.dat"), 0u);  // too short for a text
  EXPECT_EQ(readGroupFile("C:\\QSS\\current.dat") + readGroupFile("C:\\QSS\\legacy.dat"), 0u);
  EXPECT_EQ(readGroupFile("C:\\QSS\\missing.dat") + isCurrentGroupFile("C:\\QSS\\missing.dat"), 1u);
  EXPECT_EQ(engine.root.children, nullptr);
  EXPECT_EQ(engine.root.clients, nullptr);
}
