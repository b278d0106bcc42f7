// The group tree: look-ups, insertion, the listing, back-links and clear.
#include <gtest/gtest.h>

#include <string>

#include "dcQsGroup.h"
#include "testutil.h"

namespace {

// "전체 그룹" (all groups)
const char* const kAllGroups = "\xC0\xFC\xC3\xBC \xB1\xD7\xB7\xEC";

std::string listing(dcQsGroup_t& root, const testutil::TempDir& dir) {
  const std::string path = (dir.path() / "qsHierarchy.log").string();
  EXPECT_EQ(root.saveHierarchyToFile(path.c_str()), 0u);
  return testutil::readFile(path);
}

}  // namespace

TEST(GroupTree, Listing_ExampleTree_ByteForByte) {
  testutil::TempDir dir;
  dcQsGroup_t root("root");
  dcObject_t* asObject = &root;
  EXPECT_TRUE(asObject->isA("dcQsGroup_t"));
  mb::copyBounded(root.name, kAllGroups);
  ASSERT_NE(root.addClient("PC01"), nullptr);
  dcQsGroup_t* sales = root.addChild("Sales");
  ASSERT_NE(sales, nullptr);
  ASSERT_NE(sales->addClient("PC02"), nullptr);
  EXPECT_EQ(listing(root, dir), std::string("dcQsGroup_t hierarchy listing...\n"
                                            "  qsGroup '") +
                                    kAllGroups +
                                    "'\n"
                                    "    qsClient 'PC01'\n"
                                    "    qsGroup 'Sales'\n"
                                    "      qsClient 'PC02'\n"
                                    "end of file.\n\n");

  // Same name twice: two siblings, both listed.
  root.addChild("Sales");
  const std::string twice = listing(root, dir);
  EXPECT_NE(twice.find("    qsGroup 'Sales'\n      qsClient 'PC02'\n    qsGroup 'Sales'\nend"),
            std::string::npos);

  EXPECT_EQ(root.saveHierarchyToFile(nullptr), 203u);
  EXPECT_EQ(root._recurse_saveHierarchyToFile(nullptr, 2), 203u);
  EXPECT_EQ(root.saveHierarchyToFile((dir.path() / "missing" / "x.log").string().c_str()), 401u);
}

TEST(GroupTree, Listing_DeepTree_PrefixCappedAt255) {
  testutil::TempDir dir;
  dcQsGroup_t root("root");
  dcQsGroup_t* g = &root;
  for (int i = 1; i < 200; ++i) g = g->addChild(("G" + std::to_string(i)).c_str());
  g->addClient("DEEP");
  const std::string text = listing(root, dir);
  EXPECT_NE(text.find("\n" + std::string(254, ' ') + "qsGroup 'G126'\n"), std::string::npos);
  EXPECT_NE(text.find("\n" + std::string(255, ' ') + "qsGroup 'G127'\n"), std::string::npos);
  EXPECT_NE(text.find("\n" + std::string(255, ' ') + "qsGroup 'G199'\n" + std::string(255, ' ') +
                      "  qsClient 'DEEP'\n"),
            std::string::npos);
}

TEST(GroupTree, FindClient_FirstMatchOrder_CaseSensitive) {
  dcQsGroup_t root("root");
  dcQsGroup_t* a = root.addChild("A");
  dcQsGroup_t* b = root.addChild("B");
  dcQsGroup_t* a1 = a->addChild("A1");
  dcQsClient_t* inB = b->addClient("PC01");
  dcQsClient_t* inA1 = a1->addClient("PC01");
  // Earlier child's subtree wins, however deep; repeated look-ups (served
  // by the index) give the same answers.
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(root.findClient("PC01"), inA1);
    EXPECT_EQ(root.status, 0u);
    EXPECT_EQ(root.findClient("pc01"), nullptr);
    EXPECT_EQ(root.status, 102u);
    EXPECT_EQ(b->findClient("PC01"), inB);
  }
  // A root's own client wins once added; the index follows tree changes.
  dcQsClient_t* own = root.addClient("PC01");
  for (int round = 0; round < 2; ++round) EXPECT_EQ(root.findClient("PC01"), own);
  EXPECT_EQ(root.findClient(nullptr), nullptr);
  EXPECT_EQ(root.status, 203u);
  root.clear();
  for (int round = 0; round < 2; ++round) EXPECT_EQ(root.findClient("PC01"), nullptr);
}

TEST(GroupTree, FindGroup_ByNameAndId_StatusRules) {
  dcQsGroup_t root("root");
  EXPECT_EQ(root.findGroup("root"), &root);
  root.status = 77;  // a match on the group itself leaves its status alone
  EXPECT_EQ(root.findGroup(0), &root);
  EXPECT_EQ(root.status, 77u);
  dcQsGroup_t* x = root.addChild(5, "X");
  dcQsGroup_t* y = root.addChild(6, "Y");
  dcQsGroup_t* xx = x->addChild(6, "Y");
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(root.findGroup(6), xx);  // pre-order: X's subtree before Y
    EXPECT_EQ(root.status, 0u);
    EXPECT_EQ(root.findGroup("Y"), xx);
    EXPECT_EQ(root.findGroup(99), nullptr);
    EXPECT_EQ(root.status, 102u);
  }
  EXPECT_EQ(y->findGroup(6), y);
  EXPECT_EQ(root.findGroup("y"), nullptr);
  EXPECT_EQ(root.findGroup(nullptr), nullptr);
  EXPECT_EQ(root.status, 203u);
  // The root renamed by the group-file load: the old name is gone.
  mb::copyBounded(root.name, kAllGroups);
  EXPECT_EQ(root.findGroup("root"), nullptr);
  EXPECT_EQ(root.findGroup(kAllGroups), &root);
}

TEST(GroupTree, AddChildAndClient_GroupFileForms) {
  dcQsGroup_t root("root");
  // No group has id 7: Sales goes directly under the called group.
  dcQsGroup_t* sales = root.addChild(7, 12, "Sales");
  ASSERT_NE(sales, nullptr);
  EXPECT_EQ(sales->id, 12);
  EXPECT_EQ(root.children->pGroup, sales);
  dcQsGroup_t* east = root.addChild(12, 13, "East");
  EXPECT_EQ(sales->children->pGroup, east);
  // The root's name is never added, whatever the ids.
  root.status = 55;
  EXPECT_EQ(root.addChild(12, 14, kAllGroups), nullptr);
  EXPECT_EQ(root.status, 55u);
  EXPECT_EQ(sales->children->next, nullptr);
  EXPECT_EQ(root.addChild(1, 2, nullptr), nullptr);
  EXPECT_EQ(root.status, 203u);

  dcQsClient_t* added = root.addClient(13, "PC01");
  EXPECT_EQ(added, east->clients->pClient);
  added = root.addClient(0, "PC00");
  EXPECT_EQ(added, root.clients->pClient);
  EXPECT_EQ(root.addClient(40, "PC02"), nullptr);
  EXPECT_EQ(root.status, 102u);
  added = root.addClient("Sales", "PC03");
  EXPECT_EQ(added, sales->clients->pClient);
  EXPECT_EQ(root.addClient("sales", "PC04"), nullptr);
  EXPECT_EQ(root.status, 102u);
  EXPECT_EQ(root.addClient(nullptr, "PC05"), nullptr);
  EXPECT_EQ(root.status, 203u);
  EXPECT_EQ(root.addClient("Sales", nullptr), nullptr);
  EXPECT_EQ(root.addClient(static_cast<const char*>(nullptr)), nullptr);
  EXPECT_EQ(root.addChild(static_cast<const char*>(nullptr)), nullptr);
  EXPECT_EQ(root.addChild(3, static_cast<const char*>(nullptr)), nullptr);
  EXPECT_EQ(root.status, 203u);

  // Names are not unique; clients keep their insertion order.
  root.addClient("PC00");
  ASSERT_NE(root.clients->next, nullptr);
  EXPECT_STREQ(root.clients->next->pClient->name, "PC00");
  EXPECT_NE(root.clients->next->pClient, root.clients->pClient);

  dcQsGroup_t unnamed(nullptr);
  EXPECT_EQ(unnamed.status, 203u);
  EXPECT_STREQ(unnamed.name, "dcObject_t");
}

TEST(GroupTree, CollectClients_DepthFirstAppend) {
  dcQsGroup_t root("root");
  dcQsGroup_t* a = root.addChild("A");
  a->addClient("A1");
  a->addChild("AA")->addClient("AA1");
  root.addChild("B")->addClient("B1");
  root.addClient("R1");
  dcQsClient_t existing("X");
  dcQsClientNode_t* list = new dcQsClientNode_t{&existing, nullptr};
  root.collectClients(list);
  std::string names;
  for (dcQsClientNode_t* n = list; n; n = n->next) names += std::string(n->pClient->name) + ",";
  EXPECT_EQ(names, "X,R1,A1,AA1,B1,");
  dcQsGroup_t::freeClientNodes(list);
  EXPECT_EQ(list, nullptr);
}

TEST(BackwardLinks, Add_Membership_Order) {
  dcQsGroup_t group("G");
  dcQsClient_t client("C");
  dcpgBackwardLinks_t links;
  EXPECT_EQ(links.add(&client), 0u);
  EXPECT_EQ(links.add(&client), 0u);
  EXPECT_EQ(links.count(), 1u);
  EXPECT_EQ(links.isClientExist(&client), 1u);
  // The same address as a group is another link.
  auto* sameAsGroup = reinterpret_cast<dcQsGroup_t*>(&client);
  EXPECT_EQ(links.isGroupExist(sameAsGroup), 0u);
  EXPECT_EQ(links.status, 102u);
  EXPECT_EQ(links.add(&group), 0u);
  EXPECT_EQ(links.isGroupExist(&group), 1u);
  EXPECT_EQ(links.add(static_cast<dcQsClient_t*>(nullptr)), 203u);
  EXPECT_EQ(links.isClientExist(nullptr), 0u);
  EXPECT_EQ(links.status, 203u);

  // Past the size where a hash set takes over, answers and order hold.
  std::vector<std::unique_ptr<dcQsClient_t>> many;
  for (int i = 0; i < 40; ++i)
    many.push_back(std::make_unique<dcQsClient_t>(("C" + std::to_string(i)).c_str()));
  for (int pass = 0; pass < 2; ++pass)
    for (auto& c : many) EXPECT_EQ(links.add(c.get()), 0u);
  EXPECT_EQ(links.count(), 42u);
  EXPECT_EQ(links.isGroupExist(sameAsGroup), 0u);
  EXPECT_EQ(links.isClientExist(many[39].get()), 1u);
  const dcpgBackwardLink_t* link = links.head;
  EXPECT_EQ(link->kind, 1u);
  EXPECT_EQ(link->pObject, &client);
  EXPECT_EQ(link->next->kind, 2u);
  link = link->next->next;
  for (auto& c : many) {
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->pObject, c.get());
    link = link->next;
  }
  EXPECT_EQ(link, nullptr);
}
