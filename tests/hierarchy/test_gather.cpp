// Gathering inventories up the tree, clearing, and trees of great depth.
#include <gtest/gtest.h>
#include <pthread.h>

#include "dcQsGroup.h"
#include "testutil.h"

namespace {

// A client with one program, a CPU and Windows XP.
void stock(dcQsClient_t* c, const char* version = "Not defined", const char* file = "x.exe") {
  ASSERT_NE(c->softwareList.add(file, file, version), nullptr);
  c->hardwareList.add("CPU", "Undefined", "P4", 1);
  c->windowsInfo.add("WindowsVersion", "XP");
}

std::string linkNames(const dcpgBackwardLinks_t* links) {
  std::string out;
  if (links)
    for (const dcpgBackwardLink_t& l : links->links())
      out += (l.kind == 1 ? "c:" : "g:") + std::string(l.pObject->name) + " ";
  return out;
}

std::string softwareRows(dcQsGroup_t* g) {
  std::string out;
  for (dcSoftwareInfo_t* e = g->softwareList.entries; e; e = e->next)
    out += std::string(e->packageName) + "/" + e->versionString + " x" + std::to_string(e->referenceCount) +
           " [" + linkNames(e->pBackwardLinks) + "]\n";
  return out;
}

std::string strings(dcStringList_t& list) {
  std::string out;
  for (dcStringListItem_t* i = list.head; i; i = i->next) out += std::string(i->text) + ",";
  return out;
}

}  // namespace

// Gathering again counts again, but keeps one back-link per contributor
// and collects the names afresh; clearing twice is harmless. A contributor
// met twice in a group's chain (C1, C2, C1) still has one back-link per
// entry, though its second run finds its link behind C2's.
TEST(Gather, TwiceOrRepeatedContributor_OneLinkEach) {
  dcQsGroup_t root("root");
  dcQsGroup_t* a = root.addChild("A");
  for (dcQsClient_t* c : {root.addClient("R1"), a->addClient("A1")}) stock(c, "1.0");
  for (int round = 0; round < 2; ++round) ASSERT_EQ(root.gatherGroupInfo(), 0u);
  EXPECT_EQ(softwareRows(a), "x.exe/1.0 x2 [c:A1 ]\n");
  EXPECT_EQ(softwareRows(&root), "x.exe/1.0 x4 [c:R1 g:A ]\n");
  EXPECT_EQ(root.findWindowsVersion("XP")->pBackwardLinks->count(), 2u);
  EXPECT_EQ(strings(root.hardwareNames), "CPU,");
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(root.clear(), 0u);
    EXPECT_TRUE(!root.clients && !root.children && !root.softwareList.entries &&
                !root.hardwareList.categories && !root.windowsVersions);
  }

  dcQsGroup_t g("G");
  dcQsClient_t* c1 = g.addClient("C1");
  for (dcQsClient_t* c : {c1, g.addClient("C2")}) stock(c);
  dcQsClientNode_t again{c1, nullptr};
  g.clients->next->next = &again;
  EXPECT_EQ(g.gatherSoftwares() + g.gatherHardwares() + g.gatherWindowsVersions(), 0u);
  g.clients->next->next = nullptr;
  EXPECT_EQ(softwareRows(&g), "x.exe/Not defined x3 [c:C1 c:C2 ]\n");
  EXPECT_EQ(g.hardwareList.categories->pInfo->items->pBackwardLinks->count(), 2u);
  EXPECT_EQ(g.findWindowsVersion("XP")->pBackwardLinks->count(), 2u);
}

TEST(Gather, NullArguments_MissingVersion_EntryWithoutLinks) {
  dcQsGroup_t g("G");
  dcQsClient_t* noClient = nullptr;
  dcQsGroup_t* noGroup = nullptr;
  for (dcStatus_t r : {g.addSoftwares(noClient), g.addSoftwares(noGroup), g.addHardwares(noClient),
                       g.addHardwares(noGroup), g.addWindowsVersion(noClient), g.addWindowsVersion(noGroup),
                       g.addSoftwareUsages(noClient), g.addSoftwareUsages(noGroup)})
    EXPECT_EQ(r, 203u);
  EXPECT_TRUE(g.findWindowsVersion(nullptr) == nullptr && g.status == 203);
  // A client without a "WindowsVersion" item: 102 from the add only.
  EXPECT_EQ(g.addWindowsVersion(g.addClient("C")), 102u);
  EXPECT_EQ(g.gatherWindowsVersions(), 0u);
  // An entry met without back-links stops a child group's contribution.
  dcQsGroup_t parent("P");
  dcQsGroup_t* child = parent.addChild("K");
  ASSERT_NE(child->addClient("K1")->softwareList.add("k.exe", "k.exe", "Not defined"), nullptr);
  parent.softwareList.add("k.exe", "k.exe", "1");
  EXPECT_EQ(parent.gatherSoftwares(), 201u);
  EXPECT_TRUE(parent.status == 201 && child->status == 0);
  // A whole gathering stops there: its usage step, last, merges nothing.
  child->clients->pClient->usageDocument.merge(dcXmlHandle_t());
  EXPECT_EQ(parent.gatherGroupInfo(), 201u);
  EXPECT_FALSE(parent.usageDocument.hasTree() || child->usageDocument.hasTree());
}

// Runs work on a thread with a small stack, which any recursion as deep as
// the tree would overflow.
void onSmallStack(void (*work)()) {
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, 512 * 1024);
  pthread_t thread;
  auto body = [](void* arg) -> void* { return reinterpret_cast<void (*)()>(arg)(), nullptr; };
  ASSERT_EQ(pthread_create(&thread, &attr, body, reinterpret_cast<void*>(work)), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
}

TEST(Gather, DeepChain_NoRecursion) {
  constexpr int kDepth = 10000;
  onSmallStack([] {
    testutil::TempDir dir;
    auto* root = new dcQsGroup_t("root");
    dcQsGroup_t* g = root;
    for (int i = 1; i <= kDepth; ++i) g = g->addChild(i, ("G" + std::to_string(i)).c_str());
    dcQsClient_t* c = g->addClient("BOTTOM");
    stock(c, "Not defined", "z.exe");

    EXPECT_EQ(root->gatherGroupInfo(), 0u);
    EXPECT_EQ(softwareRows(root), "z.exe/Not defined x1 [g:G1 ]\n");
    EXPECT_EQ(softwareRows(g), "z.exe/Not defined x1 [c:BOTTOM ]\n");
    EXPECT_TRUE(strings(root->hardwareNames) == "CPU," && root->findWindowsVersion("XP"));
    for (int round = 0; round < 2; ++round) {
      EXPECT_TRUE(root->findClient("BOTTOM") == c && root->findGroup(kDepth) == g);
      EXPECT_EQ(root->findGroup("G9999")->children->pGroup, g);
    }
    dcQsClientNode_t* list = nullptr;
    root->collectClients(list);
    EXPECT_TRUE(list && list->pClient == c);
    dcQsGroup_t::freeClientNodes(list);
    const std::string path = (dir.path() / "deep.log").string();
    EXPECT_EQ(root->saveHierarchyToFile(path.c_str()), 0u);
    EXPECT_NE(testutil::readFile(path).find(std::string(255, ' ') + "  qsClient 'BOTTOM'\r\n"),
              std::string::npos);

    EXPECT_TRUE(root->clear() == 0 && root->children == nullptr);
    // The destructor of a deep chain.
    g = root;
    for (int i = 1; i <= kDepth; ++i) g = g->addChild(("H" + std::to_string(i)).c_str());
    delete root;
  });
}
