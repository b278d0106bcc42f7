// The foundation's containers and file helpers: growth and index guards,
// string list statuses and order, line reading and file names.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

#include "dcFileUtil.h"
#include "dcPointerArray.h"
#include "dcStringList.h"
#include "winfs.h"

namespace {

// The texts in order, each followed by ",".
std::string texts(dcStringList_t& list) {
  std::string out;
  char copy[64];
  for (dcStringListItem_t* item = list.first(copy); item; item = list.next(item, copy))
    out += copy + std::string(",");
  return out;
}

}  // namespace

TEST(DcPointerArray, GrowsByStepAndGuardsIndexes) {
  dcPointerArray_t array(4);
  int values[6];
  for (int i = 0; i < 5; ++i) EXPECT_EQ(array.append(&values[i]), i);
  EXPECT_TRUE(array.capacity == 8 && array.get(4) == &values[4] && !array.get(array.count));
  array.at(1) = &values[5];
  EXPECT_EQ(array.get(1), &values[5]);
  // Out of range: the spare slot, never the array's storage.
  array.at(5) = &values[0];
  EXPECT_EQ(array.at(100), nullptr);
  array.reset();
  EXPECT_TRUE(array.count == 0 && array.capacity == 4 && !array.get(0));
}

// Each line read, then "|" when more follow or "." at the end of the file;
// CR and LF each end a line; a line too long for the buffer is cut at a
// character boundary and its rest dropped.
TEST(DcFileUtil, ReadLineAndFileName) {
  for (const auto& [bytes, size, expected] :
       {std::tuple{"ab\r\ncd", std::size_t{16}, "ab||cd."},
        {"", 16, "."},
        {"x\n\ny\n", 16, "x||y|."},
        {"abc\xC7\xD1xyz\nnext\nabcd\xC7\xD1\n", 5, "abc|next|abcd|."}}) {
    std::unique_ptr<std::FILE, winfs::FileCloser> file(std::tmpfile());
    std::fputs(bytes, file.get());
    std::rewind(file.get());
    std::string lines;
    char line[16] = "junk";
    for (dcStatus_t status = dcStatus::OK; status == dcStatus::OK;) {
      status = readLine(file.get(), line, size);
      lines += std::string(line) + (status == dcStatus::OK            ? "|"
                                    : status == dcStatus::END_OF_FILE ? "."
                                                                      : "?");
    }
    EXPECT_EQ(lines, expected);
  }
  char name[16];
  EXPECT_EQ(readLine(nullptr, name, sizeof name), dcStatus::NULL_ARGUMENT);

  // The name after the last backslash; a slash is no separator, nor is the
  // second byte of "\xB0\x5C".
  for (const auto& [path, expected] : {std::pair{"C:\\data\\group.dat", "group.dat"},
                                       {"C:\\data\\", ""},
                                       {"a/b.dat", "a/b.dat"},
                                       {"C:\\x\\\xB0\x5Cy.dat", "\xB0\x5Cy.dat"}}) {
    EXPECT_EQ(getFileName(path, name, sizeof name), dcStatus::OK);
    EXPECT_STREQ(name, expected);
  }
  getFileName("C:\\ab\xC7\xD1", name, 4);
  EXPECT_STREQ(name, "ab");
  EXPECT_EQ(getFileName(nullptr, name, sizeof name), dcStatus::NULL_ARGUMENT);
}

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
