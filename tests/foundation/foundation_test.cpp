// The foundation: the log's levels, line format and daily files; the
// containers' growth and index guards, string list statuses and order, line
// reading and file names.
#include <gtest/gtest.h>

#include <ctime>

#include "dcFileUtil.h"
#include "dcLog.h"
#include "dcPointerArray.h"
#include "dcStringList.h"
#include "testutil.h"
#include "winfs.h"

namespace fs = std::filesystem;

namespace {

// The texts in order, each followed by ",".
std::string texts(dcStringList_t& list) {
  std::string out;
  char copy[64];
  for (dcStringListItem_t* item = list.first(copy); item; item = list.next(item, copy))
    out += copy + std::string(",");
  return out;
}

// The log reads the clock through the C library's time(); this program's
// own definition answers instead, with the moment the test sets (read as
// UTC). Until one is set it is the real time.
std::time_t fixedNow = 0;

void setNow(const char* when) {
  std::tm tm{};
  strptime(when, "%Y-%m-%d %H:%M:%S", &tm);
  fixedNow = timegm(&tm);
}

}  // namespace

extern "C" std::time_t time(std::time_t* out) noexcept {
  timespec ts{};
  if (fixedNow == 0) clock_gettime(CLOCK_REALTIME, &ts);
  const std::time_t now = fixedNow ? fixedNow : ts.tv_sec;
  if (out) *out = now;
  return now;
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
      lines += line + std::string(status == dcStatus::OK ? "|" : status == dcStatus::END_OF_FILE ? "." : "?");
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
                                       {"C:\\x\\\xB0\x5Cy.dat", "\xB0\x5Cy.dat"}})
    EXPECT_TRUE(getFileName(path, name, sizeof name) == dcStatus::OK && !std::strcmp(name, expected)) << name;
  getFileName("C:\\ab\xC7\xD1", name, 4);
  EXPECT_STREQ(name, "ab");
  EXPECT_EQ(getFileName(nullptr, name, sizeof name), dcStatus::NULL_ARGUMENT);
}

// The pointer array grows by its step and guards its indexes; the string
// list finds, adds, walks and clears, and reports items without text.
TEST(Containers, PointerArrayAndStringList) {
  dcPointerArray_t array(4);
  int values[6];
  for (int i = 0; i < 5; ++i) EXPECT_EQ(array.append(&values[i]), i);
  array.at(1) = &values[5];
  // Out of range: the spare slot, never the array's storage.
  array.at(5) = &values[0];
  EXPECT_TRUE(array.capacity == 8 && array.get(4) == &values[4] && !array.get(array.count) &&
              array.get(1) == &values[5] && !array.at(100));
  array.reset();
  EXPECT_TRUE(array.count == 0 && array.capacity == 4 && !array.get(0));

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
  EXPECT_EQ(texts(list), "after clear,");

  // addAll with and without repeats.
  dcStringList_t source, once, twice;
  for (const char* t : {"x", "x", "y"}) source.add(t);
  once.add("y");
  EXPECT_TRUE(once.addAll(&source, 0) == dcStatus::OK && texts(once) == "y,x,");
  EXPECT_TRUE(twice.addAll(&source, 1) == dcStatus::OK && texts(twice) == "x,x,y,");
  EXPECT_EQ(twice.addAll(nullptr, 0), dcStatus::NULL_ARGUMENT);

  // Items without text are reported, not read.
  list.clear();
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

TEST(DcLog, LevelsLineFormatCutAndDailyFiles) {
  testutil::WorkFolder work;
  setenv("TZ", "UTC0", 1);
  tzset();
  setNow("2004-01-05 07:08:09");
  // Without ./log nothing is created, whatever the level; above level 0 nothing is written.
  EXPECT_EQ(theLog.pfWrite(nullptr, 0, "[DcLog] lost %d", 1), dcLog_t::CANNOT_OPEN);
  EXPECT_FALSE(fs::exists("log"));
  fs::create_directory("log");
  EXPECT_EQ(theLog.pfWrite(nullptr, 1, "[DcLog] progress"), dcLog_t::SUPPRESSED);
  EXPECT_TRUE(fs::is_empty("log"));

  EXPECT_EQ(theLog.pfWrite(nullptr, 0, "[dcQsClient_t::loadFromFile] loadXml failed. %d %d", 401, 2),
            dcLog_t::WRITTEN);
  const void* tag = reinterpret_cast<const void*>(std::uintptr_t{0xABCDEF12});
  EXPECT_EQ(theLog.pfWrite(tag, -1, "%s", "second"), dcLog_t::WRITTEN);
  // A long message is cut to 1023 bytes, and never inside a double-byte character.
  theLog.pfWrite(nullptr, 0, "%s", std::string(2000, 'x').c_str());
  theLog.pfWrite(nullptr, 0, "%s%s", std::string(1022, 'y').c_str(), "\xC7\xD1");
  const std::string prefix = "[07:08:09:0x00000000] ";
  EXPECT_EQ(testutil::readFile("log/20040105.log"),
            prefix +
                "[dcQsClient_t::loadFromFile] loadXml failed. 401 2\r\n[07:08:09:0xabcdef12] second\r\n" +
                prefix + std::string(1023, 'x') + "\r\n" + prefix + std::string(1022, 'y') + "\r\n");

  // Either side of midnight: one file per date; a line feed inside a message
  // is written as a line end too.
  setNow("2004-12-31 23:59:59");
  theLog.pfWrite(nullptr, 0, "before");
  setNow("2005-01-01 00:00:00");
  theLog.pfWrite(nullptr, 0, "after\nmore");
  fixedNow = 0;
  EXPECT_EQ(testutil::readFile("log/20041231.log"), "[23:59:59:0x00000000] before\r\n");
  EXPECT_EQ(testutil::readFile("log/20050101.log"), "[00:00:00:0x00000000] after\r\nmore\r\n");
}
