// The group tree: look-ups, insertion, the listing, back-links.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dcQsGroup.h"
#include "testutil.h"

namespace {
// "전체 그룹" (all groups)
const char* const kAllGroups = "\xC0\xFC\xC3\xBC \xB1\xD7\xB7\xEC";
}  // namespace

TEST(GroupTree, Listing_ExampleTree_ByteForByte) {
  testutil::TempDir dir;
  const std::string path = (dir.path() / "qsHierarchy.log").string();
  dcQsGroup_t root("root");
  mb::copyBounded(root.name, kAllGroups);
  root.addClient("PC01");
  root.addChild("Sales")->addClient("PC02");
  ASSERT_EQ(root.saveHierarchyToFile(path.c_str()), 0u);
  EXPECT_EQ(testutil::readFile(path),
            std::string("dcQsGroup_t hierarchy listing...\r\n  qsGroup '") + kAllGroups +
                "'\r\n    qsClient 'PC01'\r\n    qsGroup 'Sales'\r\n      qsClient 'PC02'\r\n"
                "end of file.\r\n\r\n");
  // The same name twice makes two siblings, both listed.
  root.addChild("Sales");
  ASSERT_EQ(root.saveHierarchyToFile(path.c_str()), 0u);
  EXPECT_NE(testutil::readFile(path).find("  qsClient 'PC02'\r\n    qsGroup 'Sales'\r\nend"),
            std::string::npos);

  // Collecting appends the subtree's clients, depth-first, to a given list.
  root.addClient("PC03");
  dcQsClient_t existing("X");
  dcQsClientNode_t* list = new dcQsClientNode_t{&existing, nullptr};
  root.collectClients(list);
  std::string names;
  for (dcQsClientNode_t* n = list; n; n = n->next) names += std::string(n->pClient->name) + ",";
  EXPECT_EQ(names, "X,PC01,PC03,PC02,");
  dcQsGroup_t::freeClientNodes(list);

  EXPECT_EQ(root.saveHierarchyToFile(nullptr), 203u);
  EXPECT_EQ(root.saveHierarchyToFile((dir.path() / "no" / "x.log").string().c_str()), 401u);
}

TEST(GroupTree, FindClientAndGroup_FirstMatchAndStatus) {
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

  root.clear();
  for (int round = 0; round < 2; ++round) EXPECT_EQ(root.findClient("PC01"), nullptr);
  EXPECT_EQ(root.findGroup(6), nullptr);
}

// The group file's forms of adding are compared with the model by the
// group file's randomized tests; what the file cannot give is a missing name.
TEST(GroupTree, AddWithoutName_203) {
  dcQsGroup_t root("root");
  const char* none = nullptr;
  for (dcQsClient_t* c : {root.addClient(none, "PC05"), root.addClient("root", none), root.addClient(0, none),
                          root.addClient(none)})
    EXPECT_TRUE(!c && root.status == 203u);
  for (dcQsGroup_t* g : {root.addChild(none), root.addChild(3, none), root.addChild(0, 2, none)})
    EXPECT_TRUE(!g && root.status == 203u);
  EXPECT_TRUE(!root.clients && !root.children);
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
  std::vector<std::pair<std::uint32_t, const dcObject_t*>> order;
  for (const dcpgBackwardLink_t& l : links.links()) order.emplace_back(l.kind, l.pObject);
  ASSERT_EQ(order.size(), 22u);
  EXPECT_TRUE(order[0] == std::make_pair(1u, (const dcObject_t*)&client) && order[1].first == 2u);
  EXPECT_EQ(order[21].second, many[19].get());
}
