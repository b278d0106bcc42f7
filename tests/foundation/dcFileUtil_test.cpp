#include "dcFileUtil.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <string>

#include "dcPointerArray.h"
#include "winfs.h"

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
       {std::tuple{"ab\r\ncd", std::size_t{16}, "ab||cd."}, {"", 16, "."}, {"x\n\ny\n", 16, "x||y|."},
        {"abc\xC7\xD1xyz\nnext\nabcd\xC7\xD1\n", 5, "abc|next|abcd|."}}) {
    std::unique_ptr<std::FILE, winfs::FileCloser> file(std::tmpfile());
    std::fputs(bytes, file.get());
    std::rewind(file.get());
    std::string lines;
    char line[16] = "junk";
    for (dcStatus_t status = dcStatus::OK; status == dcStatus::OK;) {
      status = readLine(file.get(), line, size);
      lines += std::string(line) + (status == dcStatus::OK ? "|" : status == dcStatus::END_OF_FILE ? "." : "?");
    }
    EXPECT_EQ(lines, expected);
  }
  char name[16];
  EXPECT_EQ(readLine(nullptr, name, sizeof name), dcStatus::NULL_ARGUMENT);

  // The name after the last backslash; a slash is no separator, nor is the
  // second byte of "\xB0\x5C".
  for (const auto& [path, expected] : {std::pair{"C:\\data\\group.dat", "group.dat"}, {"C:\\data\\", ""},
                                       {"a/b.dat", "a/b.dat"}, {"C:\\x\\\xB0\x5Cy.dat", "\xB0\x5Cy.dat"}}) {
    EXPECT_EQ(getFileName(path, name, sizeof name), dcStatus::OK);
    EXPECT_STREQ(name, expected);
  }
  getFileName("C:\\ab\xC7\xD1", name, 4);
  EXPECT_STREQ(name, "ab");
  EXPECT_EQ(getFileName(nullptr, name, sizeof name), dcStatus::NULL_ARGUMENT);
}
