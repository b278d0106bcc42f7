#include "dcLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "sys.h"
#include "testutil.h"

namespace fs = std::filesystem;

namespace {

sys::LocalTime fixedTime;
sys::LocalTime fixedClock() { return fixedTime; }

// Each test starts in a folder of its own (ctest runs them side by side),
// without a log folder and with the clock fixed.
class DcLog : public ::testing::Test {
 protected:
  void SetUp() override {
    fixedTime = {2004, 1, 5, 7, 8, 9};
    sys::setClockForTesting(&fixedClock);
  }
  void TearDown() override { sys::setClockForTesting(nullptr); }
  testutil::WorkFolder work;
};

}  // namespace

TEST_F(DcLog, ThresholdAndMissingFolder) {
  // Without ./log nothing is created, whatever the level.
  EXPECT_EQ(theLog.pfWrite(this, 0, "[DcLog] lost %d", 1), dcLog_t::CANNOT_OPEN);
  EXPECT_FALSE(fs::exists("log"));
  fs::create_directory("log");
  EXPECT_EQ(theLog.pfWrite(this, 1, "[DcLog] progress"), dcLog_t::SUPPRESSED);
  EXPECT_TRUE(fs::is_empty("log"));
}

TEST_F(DcLog, LineFormatCutAndDailyFiles) {
  fs::create_directory("log");
  EXPECT_EQ(theLog.pfWrite(nullptr, 0, "[dcQsClient_t::loadFromFile] loadXml failed. %d %d", 401, 2),
            dcLog_t::WRITTEN);
  const void* tag = reinterpret_cast<const void*>(std::uintptr_t{0xABCDEF12});
  EXPECT_EQ(theLog.pfWrite(tag, -1, "%s", "second"), dcLog_t::WRITTEN);
  EXPECT_EQ(testutil::readFile("log/20040105.log"),
            "[07:08:09:0x00000000] [dcQsClient_t::loadFromFile] loadXml failed. 401 2\r\n"
            "[07:08:09:0xabcdef12] second\r\n");

  // A long message is cut to 1023 bytes, and never inside a double-byte character.
  fs::remove("log/20040105.log");
  theLog.pfWrite(nullptr, 0, "%s", std::string(2000, 'x').c_str());
  theLog.pfWrite(nullptr, 0, "%s%s", std::string(1022, 'y').c_str(), "\xC7\xD1");
  const std::string text = testutil::readFile("log/20040105.log");
  const std::string prefix = "[07:08:09:0x00000000] ";
  EXPECT_EQ(text, prefix + std::string(1023, 'x') + "\r\n" + prefix + std::string(1022, 'y') + "\r\n");

  // Either side of midnight: one file per date.
  fixedTime = {2004, 12, 31, 23, 59, 59};
  theLog.pfWrite(nullptr, 0, "before");
  fixedTime = {2005, 1, 1, 0, 0, 0};
  theLog.pfWrite(nullptr, 0, "after");
  EXPECT_EQ(testutil::readFile("log/20041231.log"), "[23:59:59:0x00000000] before\r\n");
  // A line feed inside a message is written as a line end too.
  theLog.pfWrite(nullptr, 0, "after\nmore");
  EXPECT_EQ(testutil::readFile("log/20050101.log"),
            "[00:00:00:0x00000000] after\r\n[00:00:00:0x00000000] after\r\nmore\r\n");
}
