#include "dcStringList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> texts(dcStringList_t& list) {
  std::vector<std::string> out;
  char copy[64];
  for (dcStringListItem_t* item = list.first(copy); item; item = list.next(item, copy)) out.push_back(copy);
  return out;
}

}  // namespace

TEST(DcStringList, FindAddWalkAndClear) {
  dcStringList_t list;
  EXPECT_EQ(list.find("a"), nullptr);
  EXPECT_EQ(list.status, dcStatus::NOT_FOUND);
  list.find(nullptr);
  EXPECT_EQ(list.status, dcStatus::NULL_ARGUMENT);
  EXPECT_EQ(list.first(nullptr), nullptr);
  EXPECT_EQ(list.status, dcStatus::NOT_FOUND);

  dcStringListItem_t* cpu = list.add("CPU");
  EXPECT_EQ(cpu->size, 4u);
  list.add("cpu");
  dcStringListItem_t* again = list.add("CPU");
  EXPECT_EQ(list.find("CPU"), cpu);  // the first match, case-sensitive
  EXPECT_EQ(list.status, dcStatus::OK);
  EXPECT_EQ(texts(list), (std::vector<std::string>{"CPU", "cpu", "CPU"}));
  EXPECT_EQ(list.next(again, nullptr), nullptr);
  EXPECT_EQ(list.status, dcStatus::NOT_FOUND);

  EXPECT_EQ(list.clear(), dcStatus::OK);
  EXPECT_EQ(list.first(nullptr), nullptr);
  EXPECT_EQ(list.status, dcStatus::NOT_FOUND);
  list.add("after clear");
  list.add("kept in order");
  EXPECT_EQ(texts(list), (std::vector<std::string>{"after clear", "kept in order"}));
}

TEST(DcStringList, AddAllAndItemsWithoutText) {
  dcStringList_t source;
  source.add("x");
  source.add("x");
  source.add("y");
  dcStringList_t once, twice;
  once.add("y");
  EXPECT_EQ(once.addAll(&source, 0), dcStatus::OK);
  EXPECT_EQ(texts(once), (std::vector<std::string>{"y", "x"}));
  EXPECT_EQ(twice.addAll(&source, 1), dcStatus::OK);
  EXPECT_EQ(texts(twice), (std::vector<std::string>{"x", "x", "y"}));
  EXPECT_EQ(twice.addAll(nullptr, 0), dcStatus::NULL_ARGUMENT);

  // Items without text are reported, not read.
  dcStringList_t list;
  list.add("a");
  dcStringListItem_t* b = list.add("b");
  list.add("c");
  char* saved = b->text;
  b->text = nullptr;
  EXPECT_EQ(list.find("c"), nullptr);
  EXPECT_EQ(list.status, dcStatus::MISSING_OBJECT);
  EXPECT_EQ(list.find("a"), list.head);  // met before the hole
  EXPECT_EQ(list.next(list.head, nullptr), nullptr);
  EXPECT_EQ(list.status, dcStatus::NO_TEXT);
  dcStringList_t target;
  EXPECT_EQ(target.addAll(&list, 1), dcStatus::MISSING_OBJECT);
  EXPECT_EQ(texts(target), (std::vector<std::string>{"a"}));  // added before the failure stays
  // A hole in the target list stops find, not addAll: a text find stops
  // short of is added even when it is present after the hole.
  dcStringList_t more;
  for (const char* t : {"a", "c", "d", "d"}) more.add(t);
  EXPECT_EQ(list.addAll(&more, 0), dcStatus::OK);
  EXPECT_EQ(list.status, dcStatus::OK);
  b->text = saved;
  EXPECT_EQ(texts(list), (std::vector<std::string>{"a", "b", "c", "c", "d", "d"}));
}
