#include "process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "cp949.h"
#include "winfs.h"

namespace proc {

namespace {

// Runs in the forked child, where only async-signal-safe calls are allowed:
// a new session, a grandchild that becomes the shell, the child itself ends
// at once. An errno is sent through `report` when something fails before the
// shell runs; the pipe closes on exec, which is how the parent learns of
// success.
[[noreturn]] void runShell(char* const argv[], int report) {
  if (::setsid() < 0) {
    const int error = errno;
    (void)!::write(report, &error, sizeof error);
    ::_exit(127);
  }
  const pid_t shell = ::fork();
  if (shell < 0) {
    const int error = errno;
    (void)!::write(report, &error, sizeof error);
    ::_exit(127);
  }
  if (shell > 0) ::_exit(0);

  sigset_t none;
  ::sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  ::signal(SIGPIPE, SIG_DFL);
  const int devNull = ::open("/dev/null", O_RDONLY);
  if (devNull > 0) {
    ::dup2(devNull, 0);
    ::close(devNull);
  }
  // Descriptors of the console (the report pipe included) close on exec.
  ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
  ::execv("/bin/sh", argv);
  const int error = errno;
  (void)!::write(report, &error, sizeof error);
  ::_exit(127);
}

bool hasWildcard(const char* name) {
  for (const char* p = name; *p; p = mb::next(p))
    if (*p == '*' || *p == '?') return true;
  return false;
}

}  // namespace

bool startDetached(const char* commandLine) {
  if (!commandLine) {
    errno = EINVAL;
    return false;
  }
  const char* p = commandLine;
  while (mb::isAsciiSpace(static_cast<unsigned char>(*p))) ++p;
  if (*p == '\0') {
    errno = ENOENT;
    return false;
  }

  // Everything the child needs is prepared before fork.
  std::string command = mb::toUtf8(commandLine);
  char shellPath[] = "/bin/sh";
  char dashC[] = "-c";
  char* const argv[] = {shellPath, dashC, command.data(), nullptr};

  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return false;
  const pid_t child = ::fork();
  if (child < 0) {
    const int error = errno;
    ::close(report[0]);
    ::close(report[1]);
    errno = error;
    return false;
  }
  if (child == 0) {
    ::close(report[0]);
    runShell(argv, report[1]);
  }

  ::close(report[1]);
  int error = 0;
  ssize_t got;
  do {
    got = ::read(report[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  ::close(report[0]);
  int childStatus = 0;
  while (::waitpid(child, &childStatus, 0) < 0 && errno == EINTR) {
  }
  if (got == static_cast<ssize_t>(sizeof error)) {
    errno = error;
    return false;
  }
  if (!WIFEXITED(childStatus) || WEXITSTATUS(childStatus) != 0) {
    errno = ECHILD;
    return false;
  }
  return true;
}

int deleteFiles(const char* filePattern) {
  if (!filePattern) return EINVAL;

  // The last component starts after the last separator, found by characters
  // so that a trail byte never counts as one.
  const char* name = filePattern;
  for (const char* p = filePattern; *p; p = mb::next(p))
    if (*p == '\\' || *p == '/') name = p + 1;
  if (*name == '\0') return ENOENT;

  if (!hasWildcard(name)) {
    if (winfs::isDirectory(filePattern)) return EISDIR;
    if (!winfs::fileExists(filePattern)) return ENOENT;
    if (winfs::removeFile(filePattern)) return 0;
    return errno ? errno : EIO;
  }

  const std::string folder(filePattern, static_cast<std::size_t>(name - filePattern));
  int firstError = 0;
  for (const winfs::FindData& found : winfs::findFiles(filePattern)) {
    if (found.isDirectory) continue;
    const std::string path = folder + found.name;
    errno = 0;
    if (!winfs::removeFile(path.c_str()) && firstError == 0) firstError = errno ? errno : EIO;
  }
  return firstError;
}

}  // namespace proc
