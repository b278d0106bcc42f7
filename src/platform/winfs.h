// The file system as the core sees it: Windows paths in CP949.
//
// The core builds paths the Windows way ("C:\qss\qslook.xml", folder +
// "\*.xml", "./log/20041121.log"). This layer maps them to the host:
//  - a drive letter X: maps to a host folder (see driveFolder);
//  - backslashes become slashes;
//  - "." and ".." are taken away before the disk is asked, and ".." at a
//    drive's root stays there ("C:\..\x" is "C:\x");
//  - each component that does not exist with its exact name is looked up
//    case-insensitively in its folder (Windows names ignore case);
//  - names are CP949 in the core and UTF-8 on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace winfs {

// The host path (UTF-8) for a core path (CP949). Existing components are
// resolved case-insensitively; missing ones are kept as written (converted).
std::string hostPath(const char* corePath);

// The host folder that drive letter `drive` maps to; every path through
// this layer finds its drive here. Strongest first:
//  1. a folder chosen for this run with setDriveFolder (a program's
//     "--site DIR", a site opened in the window);
//  2. the environment variable DESKTALLY_DRIVE_X;
//  3. the configuration file (configurationFile()): key X of the section
//     [drives], read once per run;
//  4. $HOME/.desktally/drive_x.
std::string driveFolder(char drive);

// Maps drive letter `drive` to hostFolder for the rest of the run; an empty
// folder gives the drive back to the environment and the configuration.
// Returns the folder chosen before ("" when none was).
std::string setDriveFolder(char drive, const std::string& hostFolder);

// A drive's folder chosen for as long as the object lives; then the choice
// before it is back.
class DriveChoice {
 public:
  DriveChoice(char drive, const std::string& hostFolder)
      : drive_(drive), previous_(setDriveFolder(drive, hostFolder)) {}
  ~DriveChoice() { setDriveFolder(drive_, previous_); }
  DriveChoice(const DriveChoice&) = delete;
  DriveChoice& operator=(const DriveChoice&) = delete;

 private:
  char drive_;
  std::string previous_;
};

// The configuration file: $XDG_CONFIG_HOME (or $HOME/.config), then
// DeskTally/desktally.conf, in the INI layout of the window's toolkit.
constexpr int DRIVE_COUNT = 26;
constexpr const char* CONFIG_FOLDER = "DeskTally";
constexpr const char* CONFIG_FILE = "desktally.conf";
constexpr const char* CONFIG_DRIVES_SECTION = "drives";
std::string configurationFile();

// True when the host folder holds the file relativeCorePath ("qss\qslook.xml"),
// each component found without regard to letter case as under a drive.
bool folderHoldsFile(const std::string& hostFolder, const char* relativeCorePath);

// The core path as the disk spells it: each component that exists under
// another letter case is written as its name on disk (when that name is
// UTF-8 of CP949 characters), the others as given, "." and ".." taken away
// ("C:\QSS\Data" -> "C:\qss\data"). A file under the result opens at once,
// with no look-up of each component, which matters when a folder's
// thousands of files are opened one by one.
std::string spelledAsOnDisk(const char* corePath);

// fopen through the mapping. Returns nullptr on failure (errno set).
std::FILE* openFile(const char* corePath, const char* mode);

// A folder held open, for opening many files in it by name (ReadFile): the
// folder's path is mapped and looked up once, not again for every file.
// Opening it leaves errno as it was; a folder that does not open as it is
// spelled (see spelledAsOnDisk) still names its files by path.
class Folder {
 public:
  explicit Folder(const char* corePath);
  ~Folder();
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;

  // The core path it was opened by.
  const char* path() const { return path_.c_str(); }

 private:
  friend class ReadFile;
  friend class FileReader;
  std::string path_;
  int fd_ = -1;
};

// A name that names the same file under its open folder as in a path: one
// component, no "." or "..", and ASCII, so that its form on disk is itself.
bool plainName(const char* name);

// Reads whole files for ReadFile, a batch of them with one call into the
// kernel instead of four calls a file (open, size, read and close each cross
// into the kernel, which on a virtual machine costs microseconds a crossing):
// an io_uring ring opens each file into a descriptor slot of its own and
// reads up to BUFFER_SIZE bytes of it, all in the same call; the next batch's
// openings take the slots over. A file the ring cannot open or read, or one
// that fills its buffer, is left to the ordinary calls. Where the kernel
// offers no ring, the reader reads nothing. One thread at a time uses a
// reader; errno stays as it was.
class FileReader {
 public:
  static constexpr std::size_t BUFFER_SIZE = 64 * 1024;
  static constexpr std::size_t BATCH = 8;

  FileReader();
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  bool available() const { return ring_ != nullptr; }
  // Reads the first BATCH plain names of names[0..count) under folder, for
  // readWhole to hand out in that order.
  void readAhead(const Folder& folder, const char* const* names, std::size_t count);
  // The file name under folder read whole: its size, or -1 when the
  // ordinary calls must read it (a name that is not plain, a folder not held
  // open, no ring). A name read ahead (the same pointer) is taken from
  // there, the names before it dropped; another plain name is read now. The
  // bytes stay in buffer() until the next readAhead or readWhole.
  long readWhole(const Folder& folder, const char* name);
  const char* buffer() const { return current_; }

 private:
  struct Ring;
  struct Ahead {
    int folderFd;
    const char* name;
    int size;  // -1: left to the ordinary calls
  };

  std::unique_ptr<Ring> ring_;
  // File k of a batch in the k-th BUFFER_SIZE bytes; none without a ring
  // from the start, kept when a ring is given up later (see readAhead).
  std::unique_ptr<char[]> buffers_;
  Ahead ahead_[BATCH] = {};
  std::size_t read_ = 0;   // files in ahead_
  std::size_t taken_ = 0;  // files of them handed out or dropped
  const char* current_ = nullptr;
};

// A file opened for reading as openFile(corePath, "r") opens it, as a plain
// descriptor that closes itself: for readers that take whole files straight
// into their own buffers, with no stream (a stream costs an allocation and
// the process-wide list of streams a lock, file after file).
class ReadFile {
 public:
  explicit ReadFile(const char* corePath);
  // The file name (as findFiles lists it) in folder: the file that
  // ReadFile(folder's path + "\\" + name) opens, with the same errno. A
  // plain name (ASCII, one component) opens under the open folder directly.
  ReadFile(const Folder& folder, const char* name);
  // The same file, read whole by reader when it can (a plain name whose file
  // fits its buffer): this then reads the reader's copy, which lasts until
  // the reader's next file, as a regular file of that size.
  ReadFile(const Folder& folder, const char* name, FileReader& reader);
  ~ReadFile();
  ReadFile(const ReadFile&) = delete;
  ReadFile& operator=(const ReadFile&) = delete;

  // False when the file could not be opened (errno set).
  bool isOpen() const { return fd_ >= 0 || bytes_; }
  // The size of a regular file that tells one, else 0, as it was opened.
  std::size_t size() const { return size_; }
  // Reads n bytes, fewer only at the end of the file or on an error
  // (failed() then, errno set), as fread does. A file that tells its size
  // ends where a read of it first comes short: what is written to it after
  // that moment is not read.
  std::size_t read(char* into, std::size_t n);
  bool failed() const { return failed_; }

 private:
  void open(const Folder& folder, const char* name);
  void takeSize();

  int fd_;
  std::size_t size_ = 0;
  bool failed_ = false;
  const char* bytes_ = nullptr;  // a reader's copy of the whole file
  std::size_t at_ = 0;           // how much of it was read
};

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
};

// Directory search: `pattern` is a core path whose last component may hold
// the wildcards "*" and "?", matched case-insensitively ("C:\data\*.xml").
// Entries "." and ".." are not returned. Order: as the host lists them,
// sorted by name bytes so that results are deterministic.
std::vector<FindData> findFiles(const char* pattern);

// What findFiles lists, in its order, with the names in one buffer: a data
// folder's hundreds of thousands of names cost two blocks rather than an
// allocation each.
class FileList {
 public:
  std::size_t size() const { return entries_.size(); }
  // CP949, the file name only, inside the list: ask again after a move.
  const char* name(std::size_t i) const { return names_.data() + entries_[i].at; }
  bool isDirectory(std::size_t i) const { return entries_[i].isDirectory; }

 private:
  friend FileList listFiles(const char* pattern);
  struct Entry {
    std::uint64_t head[2];  // the name's first sixteen bytes, big-endian, zero-padded
    std::size_t at;         // in names_
    std::uint32_t length;
    bool isDirectory;
  };
  std::string names_;  // each name ended by a NUL
  std::vector<Entry> entries_;
};
FileList listFiles(const char* pattern);

// Case-insensitive wildcard match of a whole name ("*", "?"), CP949-aware.
bool wildcardMatchNoCase(const char* pattern, const char* name);

}  // namespace winfs
