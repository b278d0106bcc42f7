// The group tree: the listing, look-ups, insertion, back-links, and a
// client's dispatch of inventory files by data type.
#include <gtest/gtest.h>

#include "dcQsGroup.h"
#include "testutil.h"

// "전체 그룹" (all groups); a constant, so of this file only.
const char* const kAllGroups = "\xC0\xFC\xC3\xBC \xB1\xD7\xB7\xEC";

TEST(GroupTree, FindAddAndListing_FirstMatchStatusAndBytes) {
  dcQsGroup_t root("root");
  dcQsGroup_t* a = root.addChild(5, "A");
  dcQsGroup_t* b = root.addChild(6, "B");
  dcQsGroup_t* a1 = a->addChild(6, "B");
  dcQsClient_t* inB = b->addClient("PC01");
  dcQsClient_t* inA1 = a1->addClient("PC01");
  // Repeated look-ups (the later ones answered by the index) agree: an
  // earlier child's subtree wins however deep; names are case-sensitive.
  for (int round = 0; round < 3; ++round) {
    EXPECT_TRUE(root.findClient("PC01") == inA1 && root.status == 0);
    EXPECT_TRUE(root.findClient("pc01") == nullptr && root.status == 102);
    EXPECT_TRUE(b->findClient("PC01") == inB && root.findGroup(6) == a1 && root.findGroup("B") == a1);
    EXPECT_TRUE(root.findGroup(99) == nullptr && root.status == 102);
  }
  // The index follows changes: the root's own client now wins.
  dcQsClient_t* own = root.addClient("PC01");
  for (int round = 0; round < 2; ++round) EXPECT_EQ(root.findClient("PC01"), own);

  // A match on the group itself leaves its status alone.
  root.status = 77;
  EXPECT_TRUE(root.findGroup(0) == &root && root.findGroup("root") == &root && root.status == 77);
  mb::copyBounded(root.name, kAllGroups);  // as the group-file load renames it
  EXPECT_TRUE(root.findGroup("root") == nullptr && root.findGroup(kAllGroups) == &root);
  EXPECT_TRUE(root.findGroup(nullptr) == nullptr && root.status == 203 && !root.findClient(nullptr));

  // The listing: each group, then its clients, then its sub-groups; the same
  // name twice makes two siblings, both listed.
  root.addChild("B");
  testutil::TempDir dir;
  const std::string path = (dir.path() / "qsHierarchy.log").string();
  ASSERT_EQ(root.saveHierarchyToFile(path.c_str()), 0u);
  EXPECT_EQ(
      testutil::readFile(path),
      std::string("dcQsGroup_t hierarchy listing...\r\n  qsGroup '") + kAllGroups +
          "'\r\n    qsClient 'PC01'\r\n    qsGroup 'A'\r\n      qsGroup 'B'\r\n        qsClient 'PC01'\r\n"
          "    qsGroup 'B'\r\n      qsClient 'PC01'\r\n    qsGroup 'B'\r\nend of file.\r\n\r\n");
  EXPECT_EQ(root.saveHierarchyToFile(nullptr), 203u);
  EXPECT_EQ(root.saveHierarchyToFile((dir.path() / "no" / "x.log").string().c_str()), 401u);

  // Every form of adding refuses a missing name.
  const char* none = nullptr;
  for (dcQsClient_t* c : {root.addClient(none, "PC05"), root.addClient("root", none), root.addClient(0, none),
                          root.addClient(none)})
    EXPECT_TRUE(!c && root.status == 203u);
  for (dcQsGroup_t* g : {root.addChild(none), root.addChild(3, none), root.addChild(0, 2, none)})
    EXPECT_TRUE(!g && root.status == 203u);

  root.clear();
  for (int round = 0; round < 2; ++round) EXPECT_EQ(root.findClient("PC01"), nullptr);
  EXPECT_TRUE(!root.findGroup(6) && !root.clients && !root.children);
}

TEST(BackwardLinks, Add_Membership_Order) {
  dcQsGroup_t group("G");
  dcQsClient_t client("C");
  auto* sameAsGroup = reinterpret_cast<dcQsGroup_t*>(&client);
  dcpgBackwardLinks_t links;
  EXPECT_TRUE(links.add(&client) == 0 && links.add(&client) == 0 && links.add(&group) == 0);
  EXPECT_EQ(links.add(static_cast<dcQsClient_t*>(nullptr)), 203u);
  EXPECT_TRUE(links.isClientExist(nullptr) == 0 && links.status == 203);
  // Past the size where a hash set takes over, answers and order hold.
  std::vector<std::unique_ptr<dcQsClient_t>> many;
  for (int i = 0; i < 20; ++i) many.push_back(std::make_unique<dcQsClient_t>("M"));
  for (int pass = 0; pass < 2; ++pass) {
    for (auto& c : many) EXPECT_EQ(links.add(c.get()), 0u);
    EXPECT_TRUE(links.isClientExist(&client) == 1 && links.isGroupExist(&group) == 1);
    EXPECT_EQ(links.isGroupExist(sameAsGroup), 0u);  // the address was added as a client
    EXPECT_EQ(links.status, 102u);
  }
  const auto& all = links.links();
  ASSERT_EQ(all.size(), 22u);
  EXPECT_TRUE(all[0].kind == 1 && all[0].pObject == &client && all[1].kind == 2 && all[1].pObject == &group);
  EXPECT_EQ(all[21].pObject, many[19].get());
  // addUnlessLast compares with the last link only; what it appends without
  // a search is found by the next search.
  dcQsClient_t late("L");
  EXPECT_TRUE(links.addUnlessLast(&late) == 0 && links.addUnlessLast(&late) == 0 && links.count() == 23);
  EXPECT_TRUE(links.isClientExist(&late) == 1 && links.isClientExist(many[3].get()) == 1);
}

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
  // An unknown type loads nothing.
  EXPECT_EQ(client.LoadAssetDataFromFile(software.c_str(), "PC01", "inventory.xml"), 0u);
  EXPECT_EQ(client.softwareList.entries->next, nullptr);
  // A loader's failure is the client's result; unreadable usage is not.
  const std::string missing = (dir.path() / "PC01 HardwareInfo.xml").string();
  EXPECT_TRUE(client.LoadAssetDataFromFile(missing.c_str(), "PC01", "HARDWAREINFO.XML") == 401u &&
              client.status == 401u);
  EXPECT_EQ(client.LoadAssetDataFromFile(missing.c_str(), "PC01", "WindowsInfo.xml"), 401u);
  EXPECT_TRUE(client.LoadAssetDataFromFile(missing.c_str(), "PC01", "totalsuinfo.xml") == 0u &&
              client.status == 0u);
  EXPECT_FALSE(client.usageDocument.getRootNode().valid());
}
