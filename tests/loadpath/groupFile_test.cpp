// The group file reader on hand-built files of both layouts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cp949.h"
#include "dcDataLoad.h"
#include "testutil.h"

namespace {

const std::string ALL = dcQsGroup_t::ROOT_NAME;  // "전체 그룹"

// Archive bytes, with the offset at which each group and client record ends.
struct Archive {
  std::string b;
  std::vector<std::size_t> groupEnds, clientEnds;

  Archive& u32(std::uint32_t v) {
    return b.append({char(v), char(v >> 8), char(v >> 16), char(v >> 24)}), *this;
  }
  Archive& text(const std::string& s) {
    if (s.size() < 255) return b += char(s.size()), b += s, *this;
    if (s.size() < 0xFFFE) return b.append({'\xFF', char(s.size()), char(s.size() >> 8)}), b += s, *this;
    return b += "\xFF\xFF\xFF", u32(static_cast<std::uint32_t>(s.size())), b += s, *this;
  }
  void group(std::uint32_t parent, std::uint32_t id, const std::string& name) {
    u32(parent).u32(id).text(name).text("note").u32(7);
    groupEnds.push_back(b.size());
  }
  void client(std::uint32_t groupId, const std::string& name) {
    u32(groupId).text(name).b += std::string(16, '\xEE') + std::string(7, '\0');
    clientEnds.push_back(b.size());
  }
  void legacyGroup(const std::string& name) { text(name).text("n").u32(1), groupEnds.push_back(b.size()); }
  void legacyClient(const std::string& name, const std::string& group) {
    text(name).b += std::string(16, '\xEE') + std::string(2, '\0');
    text(group).b += std::string(3, '\0');
    clientEnds.push_back(b.size());
  }
};

// The tree as "name#id[clients](children)".
std::string tree(const dcQsGroup_t& g) {
  std::string s = std::string(g.name) + "#" + std::to_string(g.id) + "[";
  for (dcQsClientNode_t* c = g.clients; c; c = c->next)
    s += std::string(c->pClient->name) + (c->next ? "," : "");
  s += g.children ? "](" : "]";
  for (dcQsGroupNode_t* n = g.children; n; n = n->next) s += tree(*n->pGroup) + (n->next ? " " : ")");
  return s;
}

class GroupFile : public ::testing::Test {
 protected:
  std::uint32_t read(const std::string& bytes) {
    testutil::writeFile(dir.path() / "qss" / "grp.dat", bytes);
    return readGroupFile("C:\\QSS\\GRP.DAT");
  }
  testutil::TempDir dir;
  testutil::DriveMapping drive{'C', dir.str()};
  dcAssetConsoleEngine_t engine;
};

}  // namespace

TEST_F(GroupFile, CurrentLayoutPlacesGroupsAndClientsByIdInSearchOrder) {
  Archive a;
  a.text("!!qsdatfile!!").u32(9);
  a.group(0, 1, "X");
  a.group(5, 2, "Early");  // its parent comes later: under the root
  a.group(1, 5, "Five");
  a.group(0, 0, ALL);     // the root itself: skipped
  a.group(0, 0, "Zero");  // id 0 names the root, which comes first
  a.group(2, 9, "E9");
  a.group(1, 9, "X9");  // a second 9, found first since it lies under X
  a.group(9, 3, "Three");
  a.group(0, 7, mb::fromUtf8("서울") + std::string(300, 'L'));
  a.u32(6);
  for (auto [id, pc] : std::vector<std::pair<int, std::string>>{
           {0, "PC00"}, {9, "PC09"}, {3, "PC03"}, {4, "PC04"}, {7, std::string(65535, 'P')}, {2, "PC02"}})
    a.client(id, pc);
  EXPECT_EQ(read(a.b), 0u);
  EXPECT_EQ(isCurrentGroupFile("C:\\QSS\\grp.dat"), 1u);
  EXPECT_EQ(tree(engine.root),
            "root#0[PC00](X#1[](Five#5[] X9#9[PC09](Three#3[PC03])) Early#2[PC02](E9#9[]) Zero#0[] " +
                mb::fromUtf8("서울") + std::string(251, 'L') + "#7[" + std::string(255, 'P') + "])");
}

TEST_F(GroupFile, LegacyLayoutPlacesClientsByExactGroupName) {
  mb::copyBounded(engine.root.name, ALL.c_str());
  Archive a;
  a.u32(3);
  for (const char* g : {"Seoul", "Busan", "Seoul"}) a.legacyGroup(g);
  a.u32(5);
  a.legacyClient("PC01", "");       // the root
  a.legacyClient("PC02", "Busan");  // "busan" would drop it
  a.legacyClient("PC03", "busan");
  a.b += std::string("\xFF\xFE\xFF\x02\x1C\xC1\xB8\xC6", 8);  // "서울" as two UTF-16 units
  a.b += std::string(18, '\0') + "\x05Seoul" + std::string(3, '\0');
  a.legacyClient("PC04", "Seoul");  // the first Seoul
  EXPECT_EQ(read(a.b), 0u);
  EXPECT_EQ(isCurrentGroupFile("C:\\QSS\\grp.dat"), 0u);
  EXPECT_EQ(tree(engine.root),
            ALL + "#0[PC01](Seoul#0[" + mb::fromUtf8("서울") + ",PC04] Busan#0[PC02] Seoul#0[])");
}

TEST_F(GroupFile, EveryTruncationRaisesTheReadErrorAndKeepsWhatWasRead) {
  Archive current, legacy;
  current.text("!!QSDATFILE!!").u32(3);
  current.group(0, 1, "A");
  current.group(1, 2, std::string(255, 'B'));  // the 16-bit length form
  current.group(0, 3, "C");
  current.u32(2);
  current.client(2, "PC01");
  current.client(0, "PC02");
  legacy.u32(2);
  legacy.legacyGroup("A");
  legacy.legacyGroup("B");
  legacy.u32(2);
  legacy.legacyClient("PC01", "A");
  legacy.legacyClient("PC02", "B");
  for (const Archive* a : {&current, &legacy}) {
    for (std::size_t cut = 0; cut < a->b.size(); ++cut) {
      engine.root.clear();
      EXPECT_THROW(read(a->b.substr(0, cut)), dcArchiveException_t) << cut;
      std::size_t groups = 1, clients = 0;  // the root
      for (std::size_t end : a->groupEnds) groups += end <= cut;
      for (std::size_t end : a->clientEnds) clients += end <= cut;
      const std::string t = tree(engine.root);
      EXPECT_EQ(std::count(t.begin(), t.end(), '#'), groups) << cut << " " << t;
      EXPECT_EQ(std::count(t.begin(), t.end(), 'P'), clients) << cut << " " << t;
    }
  }
  engine.root.clear();
  EXPECT_EQ(readGroupFile("C:\\QSS\\missing.dat") + isCurrentGroupFile("C:\\QSS\\missing.dat"), 1u);
  EXPECT_EQ(tree(engine.root), "root#0[]");
}
