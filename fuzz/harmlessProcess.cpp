// Stands in for the platform's process services in the command targets: a
// fuzzed line may ask to start a program or delete files, and neither may
// happen. Linked before the platform library, these definitions keep its
// process object out of the program.
#include <cerrno>

#include "process.h"

namespace proc {

bool startDetached(const char*) {
  errno = ENOENT;
  return false;
}

int deleteFiles(const char* filePattern) { return filePattern ? ENOENT : EINVAL; }

}  // namespace proc
