#include "dcFileUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "dcPointerArray.h"
#include "winfs.h"

namespace {

struct Stream {
  explicit Stream(const std::string& bytes) : file(std::tmpfile()) {
    std::fwrite(bytes.data(), 1, bytes.size(), file.get());
    std::rewind(file.get());
  }
  std::unique_ptr<std::FILE, winfs::FileCloser> file;
};

}  // namespace

TEST(DcPointerArray, GrowsByStepAndGuardsIndexes) {
  dcPointerArray_t array(4);
  EXPECT_EQ(array.capacity, 4u);
  int values[6];
  for (int i = 0; i < 4; ++i) EXPECT_EQ(array.append(&values[i]), i);
  EXPECT_EQ(array.capacity, 4u);
  EXPECT_EQ(array.append(&values[4]), 4);
  EXPECT_EQ(array.capacity, 8u);
  EXPECT_EQ(array.get(4), &values[4]);
  EXPECT_EQ(array.get(array.count), nullptr);
  array.at(1) = &values[5];
  EXPECT_EQ(array.get(1), &values[5]);
  // Out of range: the spare slot, never the array's storage.
  array.at(5) = &values[0];
  EXPECT_EQ(array.at(100), nullptr);
  array.reset();
  EXPECT_EQ(array.count, 0u);
  EXPECT_EQ(array.capacity, 4u);
  EXPECT_EQ(array.get(0), nullptr);
}

TEST(DcFileUtil, ReadLineTerminatorsEndAndLongLines) {
  Stream s("ab\r\ncd");
  char line[16];
  EXPECT_EQ(readLine(s.file.get(), line, sizeof line), dcStatus::OK);
  EXPECT_STREQ(line, "ab");
  EXPECT_EQ(readLine(s.file.get(), line, sizeof line), dcStatus::OK);
  EXPECT_STREQ(line, "");
  EXPECT_EQ(readLine(s.file.get(), line, sizeof line), dcStatus::END_OF_FILE);
  EXPECT_STREQ(line, "cd");

  Stream empty("");
  std::strcpy(line, "junk");
  EXPECT_EQ(readLine(empty.file.get(), line, sizeof line), dcStatus::END_OF_FILE);
  EXPECT_STREQ(line, "");
  Stream lf("x\n\ny\n");
  readLine(lf.file.get(), line, sizeof line);
  EXPECT_EQ(readLine(lf.file.get(), line, sizeof line), dcStatus::OK);
  EXPECT_STREQ(line, "");
  EXPECT_EQ(readLine(nullptr, line, sizeof line), dcStatus::NULL_ARGUMENT);

  // 5-byte buffer: "abc" + 한 would split 한; the rest of the line is dropped.
  Stream longer("abc\xC7\xD1xyz\nnext\nabcd\xC7\xD1\n");
  char small[5];
  EXPECT_EQ(readLine(longer.file.get(), small, sizeof small), dcStatus::OK);
  EXPECT_STREQ(small, "abc");
  EXPECT_EQ(readLine(longer.file.get(), small, sizeof small), dcStatus::OK);
  EXPECT_STREQ(small, "next");
  EXPECT_EQ(readLine(longer.file.get(), small, sizeof small), dcStatus::OK);
  EXPECT_STREQ(small, "abcd");
}

TEST(DcFileUtil, GetFileNameStepsByCharacters) {
  char name[16];
  EXPECT_EQ(getFileName("C:\\data\\group.dat", name, sizeof name), dcStatus::OK);
  EXPECT_STREQ(name, "group.dat");
  EXPECT_EQ(getFileName("C:\\data\\", name, sizeof name), dcStatus::OK);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(getFileName("a/b.dat", name, sizeof name), dcStatus::OK);  // a slash is no separator
  EXPECT_STREQ(name, "a/b.dat");
  // The second byte of "\xB0\x5C" is not a backslash.
  EXPECT_EQ(getFileName("C:\\x\\\xB0\x5Cy.dat", name, sizeof name), dcStatus::OK);
  EXPECT_STREQ(name, "\xB0\x5Cy.dat");
  char small[4];
  getFileName("C:\\ab\xC7\xD1", small, sizeof small);
  EXPECT_STREQ(small, "ab");
  EXPECT_EQ(getFileName(nullptr, name, sizeof name), dcStatus::NULL_ARGUMENT);
}
