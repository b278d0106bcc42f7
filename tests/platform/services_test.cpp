// Starting programs, deleting files by specification, and the window
// services without windows.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "process.h"
#include "testutil.h"
#include "windowservices.h"

namespace fs = std::filesystem;

namespace {

// The contents of path once it holds a full line, or "" after five seconds.
std::string waitForLine(const fs::path& path) {
  for (int i = 0; i < 500; ++i) {
    const std::string text = testutil::readFile(path);
    if (!text.empty() && text.back() == '\n') return text;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return "";
}

}  // namespace

TEST(Process_StartDetached, RunsInItsOwnSessionAndLeavesNoChild) {
  testutil::TempDir dir;
  const fs::path out = dir.path() / "sid.txt";
  const std::string command = "cut -d' ' -f6 /proc/$$/stat > '" + out.string() + "'";
  ASSERT_TRUE(proc::startDetached(command.c_str()));
  const std::string sid = waitForLine(out);
  ASSERT_FALSE(sid.empty());
  EXPECT_NE(std::stol(sid), static_cast<long>(::getsid(0)));
  // The shell is nobody's child here: nothing is left to reap.
  errno = 0;
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);

  errno = 0;
  EXPECT_FALSE(proc::startDetached(nullptr));
  EXPECT_EQ(errno, EINVAL);
  EXPECT_FALSE(proc::startDetached("   "));
  EXPECT_EQ(errno, ENOENT);
}

TEST(Process_DeleteFiles, RemovesExactlyWhatTheSpecificationNames) {
  testutil::TempDir dir;
  const fs::path& d = dir.path();
  for (const char* name : {"a.txt", "B.TXT", "c.log", "keep.txt.bak", "\xEA\xB0\x80.txt"})
    testutil::writeFile(d / name, "x");
  fs::create_directory(d / "folder.txt");
  const std::string base = d.string() + "/";

  EXPECT_EQ(proc::deleteFiles((base + "*.Txt").c_str()), 0);
  EXPECT_FALSE(fs::exists(d / "a.txt"));
  EXPECT_FALSE(fs::exists(d / "B.TXT"));
  EXPECT_FALSE(fs::exists(d / "\xEA\xB0\x80.txt"));  // a Korean name, CP949 in the core
  EXPECT_TRUE(fs::exists(d / "c.log"));
  EXPECT_TRUE(fs::exists(d / "keep.txt.bak"));
  EXPECT_TRUE(fs::is_directory(d / "folder.txt"));

  EXPECT_EQ(proc::deleteFiles((base + "C.LOG").c_str()), 0);  // a named file, any case
  EXPECT_FALSE(fs::exists(d / "c.log"));
  EXPECT_EQ(proc::deleteFiles((base + "c.log").c_str()), ENOENT);
  EXPECT_EQ(proc::deleteFiles((base + "folder.txt").c_str()), EISDIR);
  EXPECT_EQ(proc::deleteFiles((base + "*.none").c_str()), 0);
  EXPECT_EQ(proc::deleteFiles(base.c_str()), ENOENT);  // no name at all
  EXPECT_EQ(proc::deleteFiles(nullptr), EINVAL);
  EXPECT_TRUE(fs::exists(d / "keep.txt.bak"));
  EXPECT_TRUE(fs::is_directory(d / "folder.txt"));
}

namespace {

class RecordingServices : public winsvc::HeadlessWindowServices {
 public:
  winsvc::WindowHandle findWindow(const char*, const char* title) override { return this; }
};

}  // namespace

TEST(WindowServices_Headless, FindsNothingAndKeepsTimersCleanly) {
  winsvc::HeadlessWindowServices services;
  int window = 0;
  EXPECT_EQ(services.findWindow(nullptr, "dcOverlook"), nullptr);
  EXPECT_EQ(services.sendMessage(&window, winsvc::MESSAGE_CLOSE, 0, 0), 0);
  EXPECT_TRUE(services.setTimer(&window, 1, 1000));
  EXPECT_TRUE(services.setTimer(&window, 1, 500));  // the same timer again
  EXPECT_TRUE(services.setTimer(nullptr, 1, 10));
  EXPECT_EQ(services.activeTimers(), 2u);
  EXPECT_TRUE(services.killTimer(&window, 1));
  EXPECT_FALSE(services.killTimer(&window, 1));
  EXPECT_TRUE(services.killTimer(nullptr, 1));
  EXPECT_EQ(services.activeTimers(), 0u);

  // The current services are headless until others are installed, and come
  // back when the installer goes.
  EXPECT_EQ(winsvc::current().findWindow(nullptr, "x"), nullptr);
  RecordingServices replacement;
  {
    winsvc::ScopedServices scope(&replacement);
    EXPECT_EQ(winsvc::current().findWindow(nullptr, "x"), &replacement);
  }
  EXPECT_EQ(winsvc::current().findWindow(nullptr, "x"), nullptr);
}
