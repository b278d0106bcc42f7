// Starting programs and deleting files by pattern. The headless window
// services are exercised through the commander engine's tests.
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

TEST(Process_DeleteFiles, RemovesExactlyWhatThePatternNames) {
  testutil::TempDir dir;
  const fs::path& d = dir.path();
  for (const char* name : {"a.txt", "B.TXT", "c.log", "keep.txt.bak", "\xEA\xB0\x80.txt"})
    testutil::writeFile(d / name, "x");
  fs::create_directory(d / "folder.txt");
  const std::string base = d.string() + "/";

  EXPECT_EQ(proc::deleteFiles((base + "*.Txt").c_str()), 0);
  EXPECT_EQ(proc::deleteFiles((base + "C.LOG").c_str()), 0);  // a named file, any case
  EXPECT_EQ(proc::deleteFiles((base + "c.log").c_str()), ENOENT);
  EXPECT_EQ(proc::deleteFiles((base + "folder.txt").c_str()), EISDIR);
  EXPECT_EQ(proc::deleteFiles((base + "*.none").c_str()), 0);
  EXPECT_EQ(proc::deleteFiles(base.c_str()), ENOENT);  // no name at all
  EXPECT_EQ(testutil::namesIn(d), (std::vector<std::string>{"folder.txt", "keep.txt.bak"}));
}
