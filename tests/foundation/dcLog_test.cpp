#include "dcLog.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>

#include "testutil.h"

namespace fs = std::filesystem;

namespace {

// The log reads the clock through the C library's time(); this program's
// own definition answers instead, with the moment the test sets (read as
// UTC). Until one is set it is the real time.
std::time_t fixedNow = 0;

void setNow(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  fixedNow = timegm(&tm);
}

}  // namespace

extern "C" std::time_t time(std::time_t* out) noexcept {
  std::time_t now = fixedNow;
  if (now == 0) {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    now = ts.tv_sec;
  }
  if (out) *out = now;
  return now;
}

TEST(DcLog, LevelsLineFormatCutAndDailyFiles) {
  testutil::WorkFolder work;
  setenv("TZ", "UTC0", 1);
  tzset();
  setNow(2004, 1, 5, 7, 8, 9);
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
  setNow(2004, 12, 31, 23, 59, 59);
  theLog.pfWrite(nullptr, 0, "before");
  setNow(2005, 1, 1, 0, 0, 0);
  theLog.pfWrite(nullptr, 0, "after\nmore");
  fixedNow = 0;
  EXPECT_EQ(testutil::readFile("log/20041231.log"), "[23:59:59:0x00000000] before\r\n");
  EXPECT_EQ(testutil::readFile("log/20050101.log"), "[00:00:00:0x00000000] after\r\nmore\r\n");
}
