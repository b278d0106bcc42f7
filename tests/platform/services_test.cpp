// Starting programs apart from the console. Deleting files by pattern and
// the headless window services are exercised through the commander engine.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "process.h"
#include "testutil.h"

namespace fs = std::filesystem;

TEST(Process_StartDetached, RunsInItsOwnSessionAndLeavesNoChild) {
  testutil::TempDir dir;
  const fs::path out = dir.path() / "sid.txt";
  ASSERT_TRUE(proc::startDetached(("cut -d' ' -f6 /proc/$$/stat > '" + out.string() + "'").c_str()));
  const std::string sid = testutil::waitForLines(out, 1);
  ASSERT_FALSE(sid.empty());
  EXPECT_NE(std::stol(sid), static_cast<long>(::getsid(0)));
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);  // nothing of ours to reap
  EXPECT_FALSE(proc::startDetached(nullptr));
  EXPECT_FALSE(proc::startDetached("   "));
  EXPECT_EQ(errno, ENOENT);
}
