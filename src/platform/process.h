// Starting programs and deleting files, the way the command engine asks for
// them: a command line is started and left running; a file pattern
// with wildcards is deleted without questions.
#pragma once

namespace proc {

// Starts commandLine (CP949; converted to UTF-8 for the host) through
// "/bin/sh -c" in a new session, with standard input from /dev/null, and
// does not wait for it. The started program is never the caller's child, so
// nothing has to reap it. Returns true once the shell runs; false with errno
// set when commandLine is null (EINVAL), empty or only blanks (ENOENT), or
// the shell cannot be started.
bool startDetached(const char* commandLine);

// Deletes the files that filePattern names (a core path, see winfs.h). The last
// component may hold the wildcards "*" and "?", matched case-insensitively;
// every plain file that matches is removed, folders never are. Without
// wildcards the one file the path resolves to is removed. Returns 0 on
// success (also when a wildcard matches nothing), otherwise an errno value:
// EINVAL for a null pattern, ENOENT for a named file that does not
// exist, EISDIR for a named folder, or the first removal's error (the other
// matches are still removed).
int deleteFiles(const char* filePattern);

}  // namespace proc
