// Gathering inventories up the tree, clearing, and trees of great depth.
#include <gtest/gtest.h>
#include <pthread.h>

#include <string>
#include <vector>

#include "dcQsGroup.h"
#include "dcXml.h"
#include "testutil.h"

namespace {

void addProgram(dcQsClient_t* c, const char* file, const char* version = "Not defined") {
  ASSERT_NE(c->softwareList.add(file, file, version), nullptr);
}

std::string unit(const char* prog, const char* day, int ticks) {
  return std::string("<unit><progname>") + prog + "</progname><date tick=\"" + std::to_string(ticks) + "\">" +
         day + "</date></unit>";
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

// Root R (clients R1, R2), children A (A1, A2, A3 and sub-group AA with AA1)
// and B (B1).
struct Site {
  dcQsGroup_t root{"root"};
  dcQsGroup_t *a, *aa, *b;
  dcQsClient_t *r1, *r2, *a1, *a2, *a3, *aa1, *b1;

  Site() {
    r1 = root.addClient("R1");
    r2 = root.addClient("R2");
    a = root.addChild("A");
    b = root.addChild("B");
    a1 = a->addClient("A1");
    a2 = a->addClient("A2");
    a3 = a->addClient("A3");
    aa = a->addChild("AA");
    aa1 = aa->addClient("AA1");
    b1 = b->addClient("B1");

    addProgram(r1, "word.exe");
    addProgram(a1, "x.exe", "1.0");
    addProgram(a1, "a.exe");
    addProgram(a2, "X.EXE", "2.0");
    addProgram(a3, "x.Exe", "3.0");
    addProgram(aa1, "x.exe", "4.0");
    addProgram(aa1, "deep.exe");
    addProgram(b1, "b.exe");
    addProgram(b1, "x.exe", "5.0");

    r1->hardwareList.add("CPU", "Undefined", "P4", 1);
    a1->hardwareList.add("CPU", "Undefined", "P4", 1);
    a1->hardwareList.add("RAM", "Undefined", "512MB", 1);
    a2->hardwareList.add("cpu", "undefined", "p4", 1);
    b1->hardwareList.add("Disk", "Undefined", "40GB", 1);
    aa1->hardwareList.add("Sound", "Undefined", "AC97", 1);

    r1->windowsInfo.add("WindowsVersion", "XP");
    a1->windowsInfo.add("WindowsVersion", "XP");
    a2->windowsInfo.add("WindowsVersion", "XP ");
    a3->windowsInfo.add("Owner", "kim");  // no version
    b1->windowsInfo.add("WindowsVersion", "xp");
    b1->windowsInfo.add("Owner", "lee");
    aa1->windowsInfo.add("ServicePack", "2");
  }
};

}  // namespace

TEST(Gather, MultiLevel_EntriesCountsLinksOrder) {
  Site s;
  EXPECT_EQ(s.root.gatherGroupInfo(), 0u);

  // One entry per file name in any case, the first contributor's texts,
  // counting own clients one each and each child group once; links name
  // only own clients (c:) and direct children (g:), never deeper.
  EXPECT_EQ(softwareRows(s.a),
            "x.exe/1.0 x4 [c:A1 c:A2 c:A3 g:AA ]\n"
            "a.exe/Not defined x1 [c:A1 ]\n"
            "deep.exe/Not defined x1 [g:AA ]\n");
  EXPECT_EQ(softwareRows(&s.root),
            "word.exe/Not defined x1 [c:R1 ]\n"
            "x.exe/1.0 x2 [g:A g:B ]\n"
            "a.exe/Not defined x1 [g:A ]\n"
            "deep.exe/Not defined x1 [g:A ]\n"
            "b.exe/Not defined x1 [g:B ]\n");

  // Hardware: one item per category, device and description in any case.
  std::string hw;
  for (dcHardwareListNode_t* c = s.root.hardwareList.categories; c; c = c->next)
    for (dcHardwareItem_t* i = c->pInfo->items; i; i = i->next)
      hw += std::string(c->pInfo->name) + ":" + i->description + " [" + linkNames(i->pBackwardLinks) + "]\n";
  EXPECT_EQ(hw, "CPU:P4 [c:R1 g:A ]\nRAM:512MB [g:A ]\nSound:AC97 [g:A ]\nDisk:40GB [g:B ]\n");
  // Names are exact texts: A2's own category "cpu" is a name of its own.
  EXPECT_EQ(strings(s.root.hardwareNames), "CPU,RAM,cpu,Sound,Disk,");

  // Windows versions compare exactly; a client without one is passed over.
  std::string versions;
  for (dcWindowsVersionNode_t* n = s.root.windowsVersions; n; n = n->next)
    versions +=
        std::string("'") + n->pVersion->version + "' [" + linkNames(n->pVersion->pBackwardLinks) + "]\n";
  EXPECT_EQ(versions, "'XP' [c:R1 g:A ]\n'XP ' [g:A ]\n'xp' [g:B ]\n");
  EXPECT_EQ(s.root.findWindowsVersion("Xp"), nullptr);
  EXPECT_EQ(s.root.status, 102u);
  EXPECT_EQ(strings(s.root.windowsInfoItems), "WindowsVersion,Owner,ServicePack,");
}

// A group's first contributor is copied whole, whatever kind of node holds
// a program's name; an empty usage file contributes nothing.
TEST(Gather, Usage_FirstContributorCopiedWhole) {
  testutil::TempDir dir;
  auto file = [&](const char* name, const std::string& text) {
    testutil::writeFile(dir.path() / name, text);
    return (dir.path() / name).string();
  };
  dcQsGroup_t root("root");
  dcQsGroup_t* g = root.addChild("G");
  g->addClient("PC1")->usageDocument.LoadUsageData(
      file("1",
           "<softwareusage><unit><progname><![INCLUDE[notepad.exe]]></progname>"
           "<date tick=\"5\">2004.12.01</date></unit></softwareusage>")
          .c_str());
  g->addClient("PC2")->usageDocument.LoadUsageData(file("2", "").c_str());
  g->addClient("PC3")->usageDocument.LoadUsageData(
      file("3", "<softwareusage>" + unit("notepad.exe", "2004.12.01", 2) + "</softwareusage>").c_str());
  EXPECT_EQ(root.gatherGroupInfo(), 0u);
  for (dcQsGroup_t* group : {g, &root}) {
    const auto lines = group->usageDocument.summarize("2004.12.01", "2004.12.01");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].name + lines[0].minutes, "notepad.exe     21 min");
  }
}

TEST(Gather, Twice_CountsTwice_ClearTwiceIsHarmless) {
  Site s;
  ASSERT_EQ(s.root.gatherGroupInfo(), 0u);
  ASSERT_EQ(s.root.gatherSoftwares(), 0u);
  ASSERT_EQ(s.root.gatherWindowsVersions(), 0u);
  // Counts double; the back-links stay one per contributor.
  EXPECT_EQ(softwareRows(s.a).rfind("x.exe/1.0 x8 [c:A1 c:A2 c:A3 g:AA ]\n", 0), 0u);
  EXPECT_EQ(s.root.softwareList.entries->next->referenceCount, 4u);
  EXPECT_EQ(s.root.findWindowsVersion("XP")->pBackwardLinks->count(), 2u);
  EXPECT_EQ(strings(s.root.hardwareNames), "CPU,RAM,cpu,Sound,Disk,");  // names are re-collected

  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(s.root.clear(), 0u);
    EXPECT_TRUE(!s.root.clients && !s.root.children && !s.root.softwareList.entries &&
                !s.root.hardwareList.categories && !s.root.windowsVersions);
  }
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
  dcQsClient_t* c = g.addClient("C");
  EXPECT_EQ(g.addWindowsVersion(c), 102u);
  EXPECT_EQ(g.gatherWindowsVersions(), 0u);

  // An entry met without back-links stops a child group's contribution.
  dcQsGroup_t parent("P");
  dcQsGroup_t* child = parent.addChild("K");
  addProgram(child->addClient("K1"), "k.exe");
  parent.softwareList.add("k.exe", "k.exe", "1");
  EXPECT_EQ(parent.gatherSoftwares(), 201u);
  EXPECT_TRUE(parent.status == 201 && child->status == 0);
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
    addProgram(c, "z.exe");
    c->hardwareList.add("CPU", "Undefined", "P4", 1);
    c->windowsInfo.add("WindowsVersion", "XP");

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
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->pClient, c);
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
