// The parse stage against preparing each file on one thread: random lists
// (repeats, missing files, files of very different sizes), one to four
// workers, and a loading thread that now and then pauses, so that the
// workers fill the window and sleep, and the loading thread waits or
// prepares files itself.
#include <gtest/gtest.h>

#include "dcParseStage.h"
#include "testutil.h"

namespace {

// What a prepared file holds: whether it parsed, the read's errno, and the
// values taken from it.
auto outcome(const dcPreparedAssetData_t& data) {
  std::string values;
  for (const auto& [key, text] : data.values.values) values += std::string(key) + "=" + text + "\n";
  return std::make_tuple(data.values.parsed, data.values.file.error, values);
}

}  // namespace

TEST(ParseStageDiff, ResultsComeInListOrderAsOneThreadPreparesThem) {
  testutil::TempDir dir;
  testutil::DriveMapping drive('S', dir.str());
  std::mt19937 rng(16);
  std::vector<std::string> names;
  for (int i = 0; i < 60; ++i) {
    names.push_back("f" + std::to_string(i) + " HardwareInfo.xml");
    if (i % 9 != 4)
      testutil::writeFile(dir.path() / names.back(), "<hardwareinfo><cpu>" + std::to_string(i) +
                                                         std::string(rng() % 3 ? 10 : 60000, 'x') +
                                                         "</cpu></hardwareinfo>");
  }
  for (int round = 0; round < 12; ++round) {
    std::vector<dcDataFile_t> files(rng() % 400);
    for (dcDataFile_t& file : files) file = {"S:", names[rng() % names.size()].c_str()};
    dcParseStage_t stage(files, 1 + rng() % 4);
    for (const dcDataFile_t& file : files) {
      if (rng() % 16 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      const auto expected = dcQsClient_t::prepareAssetData(("S:\\" + std::string(file.name)).c_str(),
                                                           file.name, "HardwareInfo.xml");
      ASSERT_EQ(outcome(stage.next()), outcome(expected)) << file.name;
    }
    EXPECT_FALSE(stage.next().values.parsed);
  }
}
