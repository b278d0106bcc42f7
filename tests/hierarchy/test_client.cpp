// A client: the dispatch of inventory files by data type.
#include <gtest/gtest.h>

#include <string>

#include "dcQsClient.h"
#include "testutil.h"

TEST(Client, LoadAssetDataFromFile_DispatchByDataType) {
  testutil::TempDir dir;
  const std::string software = (dir.path() / "PC01 softwareinfo.xml").string();
  testutil::writeFile(software, "<list><Program>notepad.exe</Program></list>");
  dcQsClient_t client("PC01");

  EXPECT_EQ(client.LoadAssetDataFromFile(nullptr, "PC01", "softwareinfo.xml"), 203u);
  EXPECT_EQ(client.LoadAssetDataFromFile("PC01", nullptr, nullptr), 205u);

  // Without the two words given, the type is the second word of the path,
  // and the whole path goes to the loader.
  EXPECT_EQ(client.LoadAssetDataFromFile(software.c_str(), nullptr, nullptr), 0u);
  ASSERT_NE(client.softwareList.entries, nullptr);
  EXPECT_STREQ(client.softwareList.entries->fileName, "notepad.exe");

  // Types compare without regard to case; an unknown type loads nothing.
  const std::string other = (dir.path() / "other.xml").string();
  testutil::writeFile(other, "<list><Program>calc.exe</Program></list>");
  EXPECT_EQ(client.LoadAssetDataFromFile(other.c_str(), "PC01", "SOFTWAREINFO.XML"), 0u);
  ASSERT_NE(client.softwareList.entries->next, nullptr);
  EXPECT_EQ(client.LoadAssetDataFromFile(software.c_str(), "PC01", "inventory.xml"), 0u);

  // A loader's failure is the client's result; unreadable usage is not.
  const std::string missing = (dir.path() / "PC01 HardwareInfo.xml").string();
  EXPECT_EQ(client.LoadAssetDataFromFile(missing.c_str(), "PC01", "HARDWAREINFO.XML"), 401u);
  EXPECT_EQ(client.status, 401u);
  EXPECT_EQ(client.LoadAssetDataFromFile(missing.c_str(), "PC01", "WindowsInfo.xml"), 401u);
  EXPECT_EQ(client.LoadAssetDataFromFile(missing.c_str(), "PC01", "totalsuinfo.xml"), 0u);
  EXPECT_EQ(client.status, 0u);
  EXPECT_FALSE(client.usageDocument.getRootNode().valid());
}
