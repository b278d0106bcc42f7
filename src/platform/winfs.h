// The file system as the core sees it: Windows paths in CP949.
//
// The core builds paths the Windows way ("C:\qss\qslook.xml", folder +
// "\*.xml", "./log/20041121.log"). This layer maps them to the host:
//  - a drive letter X: maps to the folder named by DESKTALLY_DRIVE_X
//    (default $HOME/.desktally/drive_x);
//  - backslashes become slashes;
//  - "." and ".." are taken away before the disk is asked, and ".." at a
//    drive's root stays there ("C:\..\x" is "C:\x");
//  - each component that does not exist with its exact name is looked up
//    case-insensitively in its folder (Windows names ignore case);
//  - names are CP949 in the core and UTF-8 on disk.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace winfs {

// The host path (UTF-8) for a core path (CP949). Existing components are
// resolved case-insensitively; missing ones are kept as written (converted).
std::string hostPath(const char* corePath);

// The host folder that drive letter `drive` maps to.
std::string driveFolder(char drive);

// fopen through the mapping. Returns nullptr on failure (errno set).
std::FILE* openFile(const char* corePath, const char* mode);

// Opens a file for writing as text, mode "w" (replace) or "a" (append):
// every line feed written reaches the disk as a carriage return and a line
// feed, the line ends of the files this console writes as text (its trace
// log, the hierarchy listing, the help file). Returns nullptr on failure
// (errno set). Close it with fclose (or FileCloser) like any stream.
std::FILE* openTextFile(const char* corePath, const char* mode);

// RAII for a FILE*.
struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};

bool fileExists(const char* corePath);
bool isDirectory(const char* corePath);
bool removeFile(const char* corePath);

// One entry of a directory search.
struct FindData {
  std::string name;  // CP949, the file name only
  bool isDirectory = false;
  std::uint64_t size = 0;
};

// Directory search: `pattern` is a core path whose last component may hold
// the wildcards "*" and "?", matched case-insensitively ("C:\data\*.xml").
// Entries "." and ".." are not returned. Order: as the host lists them,
// sorted by name bytes so that results are deterministic.
std::vector<FindData> findFiles(const char* pattern);

// Case-insensitive wildcard match of a whole name ("*", "?"), CP949-aware.
bool wildcardMatchNoCase(const char* pattern, const char* name);

}  // namespace winfs
