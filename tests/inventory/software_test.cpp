#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "dcSoftwareList.h"

namespace {

std::vector<std::string> dump(const dcSoftwareList_t& list) {
  std::vector<std::string> out;
  for (dcSoftwareInfo_t* e = list.entries; e; e = e->next)
    out.push_back(std::string(e->packageName) + "|" + e->fileName + "|" + e->versionString);
  return out;
}

TEST(SoftwareList_FindAdd, MergeByNameWithoutCase) {
  dcSoftwareList_t list;
  EXPECT_TRUE(list.find(nullptr, "x", nullptr) == nullptr && list.status == dcStatus::NOT_FOUND);

  dcSoftwareInfo_t* first = list.add("a", "b", "1");
  ASSERT_NE(first, nullptr);
  first->referenceCount = 3;
  EXPECT_EQ(list.add("A", "B", "1"), first);  // reused: latest spelling, count kept
  EXPECT_EQ(first->referenceCount, 3u);
  EXPECT_NE(list.add("a", "b", "2"), first);
  EXPECT_EQ(dump(list), (std::vector<std::string>{"A|B|1", "a|b|2"}));

  EXPECT_TRUE(!list.find(nullptr, nullptr, "1") && list.status == dcStatus::NULL_ARGUMENT);  // no names
  EXPECT_EQ(list.find(nullptr, "b", nullptr), first);
  EXPECT_EQ(list.find("a", nullptr, "2"), first->next);
  EXPECT_EQ(list.add("a", nullptr, "1"), nullptr);
  EXPECT_EQ(list.status, dcStatus::NULL_ARGUMENT);

  // Trail bytes that are ASCII letters do not fold; letters around them do.
  dcSoftwareInfo_t* kr = list.add("p", "X\x81\x41.exe", "1");
  EXPECT_NE(list.add("p", "X\x81\x61.exe", "1"), kr);
  EXPECT_EQ(list.add("p", "x\x81\x41.EXE", "1"), kr);
  EXPECT_STREQ(kr->fileName, "x\x81\x41.EXE");

  // Texts longer than a field are cut at a character boundary and still merge.
  const std::string wide = std::string(510, 'w') + "\xB0\xA1";  // 가 across the field's end
  dcSoftwareInfo_t* w = list.add(wide.c_str(), wide.c_str(), "v");
  EXPECT_EQ(std::string(w->fileName), std::string(510, 'w'));
  EXPECT_EQ(std::string(w->packageName), std::string(255, 'w'));
  EXPECT_EQ(list.add(wide.c_str(), wide.c_str(), "v"), w);

  list.clear();
  EXPECT_EQ(list.find("a", "b", "1"), nullptr);
  EXPECT_EQ(list.LoadAssetData(nullptr), dcStatus::NULL_ARGUMENT);
}

// Equal texts are kept once for all lists; a change of spelling in one list
// never shows in another, and texts live as long as an entry uses them.
TEST(SoftwareList_FindAdd, ListsShareTextsWithoutSeeingEachOthersChanges) {
  dcSoftwareList_t a, b, group;
  dcSoftwareInfo_t* x = a.add("Pkg", "app.exe", "1");
  dcSoftwareInfo_t* y = b.add("Pkg", "app.exe", "1");
  EXPECT_EQ(x->fileName, y->fileName);
  EXPECT_EQ(b.add("PKG", "APP.EXE", "1"), y);
  EXPECT_STREQ(y->fileName, "APP.EXE");
  EXPECT_STREQ(x->fileName, "app.exe");
  dcSoftwareInfo_t* z = group.add(x);
  EXPECT_EQ(z->packageName, x->packageName);
  EXPECT_EQ(group.findFileOf(y), z);
  a.clear();
  EXPECT_EQ(std::string(z->packageName) + z->fileName + z->versionString, "Pkgapp.exe1");
}

// The hashed look-ups give what walking the chain gives, first match first.
TEST(SoftwareList_FindAdd, IndexedAnswersMatchTheChain) {
  std::mt19937 rng(11);
  const char* words[] = {"a", "A", "b", "\xB0\xA1", "\x81\x41", "\x81\x61", "1", ""};
  auto pick = [&] { return std::string(words[rng() % 8]) + words[rng() % 8]; };
  dcSoftwareList_t list;
  for (int step = 0; step < 4000; ++step) {
    const std::string p = pick(), f = pick(), v = pick();
    if (rng() % 3 == 0) list.add(p.c_str(), f.c_str(), v.c_str());
    const char* args[3] = {rng() % 2 ? p.c_str() : nullptr, rng() % 4 ? f.c_str() : nullptr,
                           rng() % 2 ? v.c_str() : nullptr};
    if (!args[0] && !args[1]) continue;
    dcSoftwareInfo_t* expect = nullptr;
    for (dcSoftwareInfo_t* e = list.entries; e && !expect; e = e->next)
      if ((!args[0] || mb::compareNoCase(e->packageName, args[0]) == 0) &&
          (!args[1] || mb::compareNoCase(e->fileName, args[1]) == 0) &&
          (!args[2] || mb::compareNoCase(e->versionString, args[2]) == 0))
        expect = e;
    ASSERT_EQ(list.find(args[0], args[1], args[2]), expect) << step;
  }
}

}  // namespace
