#include "dcStringList.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The texts in order, each followed by ",".
std::string texts(dcStringList_t& list) {
  std::string out;
  char copy[64];
  for (dcStringListItem_t* item = list.first(copy); item; item = list.next(item, copy)) out += copy + std::string(",");
  return out;
}

}  // namespace

TEST(DcStringList, FindAddWalkAndClear) {
  dcStringList_t list;
  EXPECT_TRUE(!list.find("a") && list.status == dcStatus::NOT_FOUND);
  EXPECT_TRUE(!list.find(nullptr) && list.status == dcStatus::NULL_ARGUMENT);
  EXPECT_TRUE(!list.first(nullptr) && list.status == dcStatus::NOT_FOUND);
  dcStringListItem_t* cpu = list.add("CPU");
  EXPECT_EQ(cpu->size, 4u);
  list.add("cpu");
  dcStringListItem_t* again = list.add("CPU");
  EXPECT_TRUE(list.find("CPU") == cpu && list.status == dcStatus::OK);  // the first match, case-sensitive
  EXPECT_EQ(texts(list), "CPU,cpu,CPU,");
  EXPECT_TRUE(!list.next(again, nullptr) && list.status == dcStatus::NOT_FOUND);
  EXPECT_EQ(list.clear(), dcStatus::OK);
  EXPECT_TRUE(!list.first(nullptr) && list.status == dcStatus::NOT_FOUND);
  list.add("after clear");
  list.add("kept in order");
  EXPECT_EQ(texts(list), "after clear,kept in order,");

  // addAll with and without repeats.
  dcStringList_t source, once, twice;
  for (const char* t : {"x", "x", "y"}) source.add(t);
  once.add("y");
  EXPECT_TRUE(once.addAll(&source, 0) == dcStatus::OK && texts(once) == "y,x,");
  EXPECT_TRUE(twice.addAll(&source, 1) == dcStatus::OK && texts(twice) == "x,x,y,");
  EXPECT_EQ(twice.addAll(nullptr, 0), dcStatus::NULL_ARGUMENT);
}

// Items without text are reported, not read.
TEST(DcStringList, ItemsWithoutText) {
  dcStringList_t list;
  list.add("a");
  dcStringListItem_t* b = list.add("b");
  list.add("c");
  char* saved = b->text;
  b->text = nullptr;
  EXPECT_TRUE(!list.find("c") && list.status == dcStatus::MISSING_OBJECT);
  EXPECT_EQ(list.find("a"), list.head);  // met before the hole
  EXPECT_TRUE(!list.next(list.head, nullptr) && list.status == dcStatus::NO_TEXT);
  dcStringList_t target;
  EXPECT_EQ(target.addAll(&list, 1), dcStatus::MISSING_OBJECT);
  EXPECT_EQ(texts(target), "a,");  // added before the failure stays
  // A hole in the target list stops find, not addAll: a text find stops
  // short of is added even when it is present after the hole.
  dcStringList_t more;
  for (const char* t : {"a", "c", "d", "d"}) more.add(t);
  EXPECT_TRUE(list.addAll(&more, 0) == dcStatus::OK && list.status == dcStatus::OK);
  b->text = saved;
  EXPECT_EQ(texts(list), "a,b,c,c,d,d,");
}
