#include "winfs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <unordered_map>

#include "cp949.h"
#include "inifile.h"

namespace winfs {
namespace {

struct DirCloser {
  void operator()(DIR* d) const {
    if (d) closedir(d);
  }
};
using DirPtr = std::unique_ptr<DIR, DirCloser>;

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// Appends the CP949 form of a name found on disk: converted when it is
// UTF-8, taken byte for byte otherwise (a name written by an older tool in
// CP949). An ASCII name, the usual one, is appended as it is.
void appendCoreName(std::string& to, const char* diskName) {
  const std::string_view name(diskName);
  const bool ascii = std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; });
  if (ascii || !mb::isValidUtf8(name))
    to.append(name);
  else
    to.append(mb::fromUtf8(name));
}

std::string coreName(const char* diskName) {
  std::string name;
  appendCoreName(name, diskName);
  return name;
}

// The on-disk form of a core name.
std::string diskName(const std::string& core) { return mb::toUtf8(core); }

bool exists(const std::string& hostPath) {
  struct stat st;
  return ::lstat(hostPath.c_str(), &st) == 0;
}

// The key under which a CP949 name is found ignoring case: single-byte
// ASCII letters lowered, double-byte characters kept whole.
std::string foldedKey(const std::string& name) {
  std::string key;
  key.reserve(name.size());
  for (const char* p = name.c_str(); *p;) {
    const std::size_t len = mb::charLength(p);
    if (len == 1)
      key += static_cast<char>(mb::asciiLower(static_cast<unsigned char>(*p)));
    else
      key.append(p, len);
    p += len;
  }
  return key;
}

// The folder's names by folded key. The smallest disk name wins a key that
// several names share, so the choice does not depend on the order the host
// lists the folder in.
struct FolderIndex {
  dev_t device = 0;
  ino_t inode = 0;
  timespec modified{};
  timespec scanned{};
  std::unordered_map<std::string, std::string> names;
};

// Indexes of the folders looked into, so that a large folder is read once
// rather than on every look-up. An index is used while the folder keeps its
// identity and modification time, and only if it was read more than a
// second after that time: a change in the same clock tick as the reading
// could otherwise go unnoticed. Allocated once and never freed, so that a
// look-up made while the program exits still finds it.
struct FolderCache {
  static constexpr std::size_t MAX_FOLDERS = 1024;
  std::mutex lock;
  std::unordered_map<std::string, FolderIndex> folders;
};

FolderCache& folderCache() {
  static FolderCache* cache = new FolderCache;
  return *cache;
}

bool sameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

bool readFolder(const std::string& folder, const struct stat& st, FolderIndex& index) {
  index = FolderIndex{};
  index.device = st.st_dev;
  index.inode = st.st_ino;
  index.modified = st.st_mtim;
  clock_gettime(CLOCK_REALTIME, &index.scanned);
  DirPtr dir(::opendir(folder.c_str()));
  if (!dir) return false;
  while (const dirent* entry = ::readdir(dir.get())) {
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    auto [it, added] = index.names.try_emplace(foldedKey(coreName(name)), name);
    if (!added && std::strcmp(name, it->second.c_str()) < 0) it->second = name;
  }
  return true;
}

// The name in folder that equals the CP949 component ignoring case, or an
// empty text.
std::string findNoCase(const std::string& folderPath, const std::string& component) {
  const std::string folder = folderPath.empty() ? "." : folderPath;
  struct stat st;
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {};
  const std::string key = foldedKey(component);
  FolderCache& cache = folderCache();
  std::lock_guard<std::mutex> guard(cache.lock);
  auto it = cache.folders.find(folder);
  const bool usable = it != cache.folders.end() && it->second.device == st.st_dev &&
                      it->second.inode == st.st_ino && sameTime(it->second.modified, st.st_mtim) &&
                      it->second.scanned.tv_sec > st.st_mtim.tv_sec + 1;
  if (!usable) {
    if (it == cache.folders.end()) {
      if (cache.folders.size() >= FolderCache::MAX_FOLDERS) cache.folders.clear();
      it = cache.folders.try_emplace(folder).first;
    }
    if (!readFolder(folder, st, it->second)) {
      cache.folders.erase(it);
      return {};
    }
  }
  const auto found = it->second.names.find(key);
  return found == it->second.names.end() ? std::string() : found->second;
}

// Adds one component to those before it, taking "." and ".." away as
// Windows does before the path reaches the disk: ".." takes back the
// component before it, and at a root (a drive's or the host's) it stays at
// that root, so a path under a drive never leads out of the drive's folder.
// A relative path keeps its leading "." and the ".." that climb above the
// current folder.
void addComponent(std::vector<std::string>& components, bool rooted, std::string&& component) {
  if (component == ".") {
    if (rooted || !components.empty()) return;
  } else if (component == "..") {
    if (!components.empty() && components.back() == ".") {
      components.back() = "..";
      return;
    }
    if (!components.empty() && components.back() != "..") {
      components.pop_back();
      return;
    }
    if (rooted) return;
  }
  components.push_back(std::move(component));
}

// Splits a core path into its host start ("/", a drive's folder, or "" for
// a path relative to the current folder) and its CP949 components, with
// "." and ".." taken away (see addComponent). trailingSeparator tells
// whether the path ends in a separator.
void splitPath(const char* corePath, std::string& root, std::vector<std::string>& components,
               bool* trailingSeparator = nullptr) {
  const char* p = corePath;
  bool lastWasSeparator = false;
  root.clear();
  components.clear();
  if (mb::isAsciiAlpha(static_cast<unsigned char>(p[0])) && p[1] == ':') {
    root = driveFolder(p[0]);
    p += 2;
  } else if (isSeparator(p[0])) {
    root = "/";
  }
  std::string current;
  while (*p) {
    const std::size_t len = mb::charLength(p);
    lastWasSeparator = len == 1 && isSeparator(*p);
    if (lastWasSeparator) {
      if (!current.empty()) addComponent(components, !root.empty(), std::move(current));
      current.clear();
    } else {
      current.append(p, len);
    }
    p += len;
  }
  if (!current.empty()) addComponent(components, !root.empty(), std::move(current));
  if (trailingSeparator) *trailingSeparator = lastWasSeparator;
}

std::string join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

// Resolves components onto root; stops looking on disk once a component is
// missing, since nothing below it can exist. With spelled, each component
// found under another letter case is replaced by its name on disk (CP949)
// when that name converts back to the same bytes. Another name (one that is
// not UTF-8, or holds characters CP949 lacks) stays as written: its CP949
// form could name a different entry of the folder, while the look-up finds
// this one again.
std::string resolve(const std::string& root, const std::vector<std::string>& components, std::size_t count,
                    std::vector<std::string>* spelled = nullptr) {
  std::string path = root;
  bool onDisk = true;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& component = components[i];
    const std::string exact = diskName(component);
    std::string candidate = join(path, exact);
    if (onDisk && component != "." && component != ".." && !exists(candidate)) {
      const std::string found = findNoCase(path, component);
      if (found.empty()) {
        onDisk = false;
      } else {
        candidate = join(path, found);
        if (spelled) {
          std::string core = coreName(found.c_str());
          if (diskName(core) == found) (*spelled)[i] = std::move(core);
        }
      }
    }
    path = std::move(candidate);
  }
  if (path.empty()) path = ".";
  return path;
}

std::string folderOf(const std::string& root, const std::vector<std::string>& components) {
  if (components.empty()) return root.empty() ? "." : root;
  return resolve(root, components, components.size() - 1);
}

// Drive folders chosen for this run, and the configuration file's as last
// read. Both front ends and the data load's reading thread look drives up,
// so the table is guarded.
struct DriveTable {
  std::mutex lock;
  std::string chosen[DRIVE_COUNT];
  std::string fileRead;  // the configuration file the values below came from
  bool anyFileRead = false;
  std::optional<std::string> configured[DRIVE_COUNT];
};

DriveTable& driveTable() {
  static DriveTable table;
  return table;
}

int driveIndex(char drive) {
  const int letter = std::toupper(static_cast<unsigned char>(drive));
  return letter >= 'A' && letter <= 'Z' ? letter - 'A' : -1;
}

// The configuration file is read once per run (again only when its name
// changes): every path the core opens asks for its drive, and a program that
// rewrites the file also chooses the drive for the rest of its run.
const std::optional<std::string>& configuredFolder(DriveTable& table, int index) {
  const std::string file = configurationFile();
  if (!table.anyFileRead || table.fileRead != file) {
    const std::optional<std::string> text = inifile::readFile(file);
    for (int i = 0; i < DRIVE_COUNT; ++i) {
      const char key[2] = {static_cast<char>('A' + i), 0};
      table.configured[i] = text ? inifile::readValue(*text, CONFIG_DRIVES_SECTION, key) : std::nullopt;
      if (table.configured[i] && table.configured[i]->empty()) table.configured[i].reset();
    }
    table.fileRead = file;
    table.anyFileRead = true;
  }
  return table.configured[index];
}

}  // namespace

std::string configurationFile() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string folder;
  if (config && config[0] == '/') {
    folder = config;
  } else {
    const char* home = std::getenv("HOME");
    folder = std::string((home && *home) ? home : ".") + "/.config";
  }
  return folder + "/" + CONFIG_FOLDER + "/" + CONFIG_FILE;
}

std::string setDriveFolder(char drive, const std::string& hostFolder) {
  const int index = driveIndex(drive);
  if (index < 0) return {};
  DriveTable& table = driveTable();
  const std::lock_guard<std::mutex> hold(table.lock);
  std::string previous = std::move(table.chosen[index]);
  table.chosen[index] = hostFolder;
  return previous;
}

std::string driveFolder(char drive) {
  const int index = driveIndex(drive);
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(drive)));
  if (index >= 0) {
    DriveTable& table = driveTable();
    const std::lock_guard<std::mutex> hold(table.lock);
    if (!table.chosen[index].empty()) return table.chosen[index];
  }
  const std::string variable = std::string("DESKTALLY_DRIVE_") + letter;
  if (const char* value = std::getenv(variable.c_str()); value && *value) return value;
  if (index >= 0) {
    DriveTable& table = driveTable();
    const std::lock_guard<std::mutex> hold(table.lock);
    if (const auto& folder = configuredFolder(table, index)) return *folder;
  }
  const char* home = std::getenv("HOME");
  std::string folder = (home && *home) ? home : ".";
  folder += "/.desktally/drive_";
  folder += static_cast<char>(std::tolower(static_cast<unsigned char>(drive)));
  return folder;
}

bool folderHoldsFile(const std::string& hostFolder, const char* relativeCorePath) {
  if (hostFolder.empty() || !relativeCorePath) return false;
  std::string root;
  std::vector<std::string> components;
  splitPath(relativeCorePath, root, components);
  if (!root.empty() || components.empty()) return false;
  struct stat st;
  const std::string path = resolve(hostFolder, components, components.size());
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string hostPath(const char* corePath) {
  if (!corePath) return {};
  std::string root;
  std::vector<std::string> components;
  splitPath(corePath, root, components);
  return resolve(root, components, components.size());
}

std::string spelledAsOnDisk(const char* corePath) {
  if (!corePath) return {};
  std::string root;
  std::vector<std::string> components;
  splitPath(corePath, root, components);
  std::vector<std::string> spelled = components;
  resolve(root, components, components.size(), &spelled);
  std::string path;
  if (mb::isAsciiAlpha(static_cast<unsigned char>(corePath[0])) && corePath[1] == ':')
    path.assign(corePath, 2);
  if (!root.empty()) path += '\\';
  for (std::size_t i = 0; i < spelled.size(); ++i) {
    if (i > 0) path += '\\';
    path += spelled[i];
  }
  return path;
}

namespace {

// Opens corePath for reading with open(host path), which answers failed
// when the path does not open. A file named with its exact letter case (the
// usual case for a data folder of thousands of files) needs no look-up per
// component: if the exact path opens, the look-up would have resolved to it
// anyway.
template <class Handle, class Open>
Handle openForReading(const char* corePath, Open open, Handle failed) {
  std::string root;
  std::vector<std::string> components;
  splitPath(corePath, root, components);
  std::string exact = root;
  for (const std::string& component : components) exact = join(exact, diskName(component));
  if (Handle handle = open(exact.empty() ? "." : exact.c_str()); handle != failed) return handle;
  return open(resolve(root, components, components.size()).c_str());
}

}  // namespace

std::FILE* openFile(const char* corePath, const char* mode) {
  if (!corePath || !mode) {
    errno = EINVAL;
    return nullptr;
  }
  // Writing goes through the look-up, which finds a file that differs in
  // case instead of creating a second one.
  if (mode[0] == 'r' && !std::strchr(mode, '+'))
    return openForReading<std::FILE*>(
        corePath, [mode](const char* path) { return std::fopen(path, mode); }, nullptr);
  return std::fopen(hostPath(corePath).c_str(), mode);
}

namespace {

int openCoreForReading(const char* corePath) {
  return openForReading<int>(
      corePath, [](const char* path) { return ::open(path, O_RDONLY | O_CLOEXEC); }, -1);
}

}  // namespace

bool plainName(const char* name) {
  if (!*name || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return false;
  for (const char* p = name; *p; ++p)
    if ((*p & 0x80) || isSeparator(*p)) return false;
  return true;
}

// Files are opened under the folder only when its path opens as it is
// spelled: a path that needs the case-insensitive look-up leaves errno set
// by its first attempt, as each file's own path would.
Folder::Folder(const char* corePath) : path_(corePath ? corePath : "") {
  const int before = errno;
  int attempts = 0;
  if (corePath)
    fd_ = openForReading<int>(
        corePath,
        [&attempts](const char* path) {
          ++attempts;
          return ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        },
        -1);
  if (fd_ >= 0 && attempts > 1) {
    ::close(fd_);
    fd_ = -1;
  }
  errno = before;
}

Folder::~Folder() {
  if (fd_ >= 0) ::close(fd_);
}

ReadFile::ReadFile(const char* corePath) : fd_(-1) {
  if (!corePath) {
    errno = EINVAL;
    return;
  }
  fd_ = openCoreForReading(corePath);
  takeSize();
}

ReadFile::ReadFile(const Folder& folder, const char* name) : fd_(-1) { open(folder, name); }

ReadFile::ReadFile(const Folder& folder, const char* name, FileReader& reader) : fd_(-1) {
  if (const long size = reader.readWhole(folder, name); size >= 0) {
    bytes_ = reader.buffer();
    size_ = static_cast<std::size_t>(size);
    return;
  }
  open(folder, name);
}

void ReadFile::open(const Folder& folder, const char* name) {
  if (!name) {
    errno = EINVAL;
    return;
  }
  const int before = errno;
  if (folder.fd_ >= 0 && plainName(name)) fd_ = ::openat(folder.fd_, name, O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    errno = before;
    fd_ = openCoreForReading((folder.path_ + "\\" + name).c_str());
  }
  takeSize();
}

void ReadFile::takeSize() {
  struct stat info {};
  if (fd_ < 0 || ::fstat(fd_, &info) != 0) return;
  if (S_ISREG(info.st_mode) && info.st_size > 0) size_ = static_cast<std::size_t>(info.st_size);
}

ReadFile::~ReadFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::size_t ReadFile::read(char* into, std::size_t n) {
  if (bytes_) {
    const std::size_t part = std::min(n, size_ - at_);
    std::memcpy(into, bytes_ + at_, part);
    at_ += part;
    return part;
  }
  std::size_t done = 0;
  while (fd_ >= 0 && done < n) {
    const ssize_t got = ::read(fd_, into + done, n - done);
    if (got > 0) {
      done += static_cast<std::size_t>(got);
      if (size_ && done < n) break;
    } else if (got == 0) {
      break;
    } else if (errno != EINTR) {
      failed_ = true;
      break;
    }
  }
  return done;
}

namespace {

// The stream under a text file: the bytes go to file with every line feed
// preceded by a carriage return.
struct TextSink {
  std::FILE* file;
};

ssize_t writeText(void* cookie, const char* bytes, std::size_t size) {
  std::FILE* file = static_cast<TextSink*>(cookie)->file;
  for (std::size_t at = 0; at < size;) {
    const void* feed = std::memchr(bytes + at, '\n', size - at);
    const std::size_t run =
        feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - bytes) - at : size - at;
    if (run > 0 && std::fwrite(bytes + at, 1, run, file) != run) return -1;
    at += run;
    if (feed) {
      if (std::fwrite("\r\n", 1, 2, file) != 2) return -1;
      ++at;
    }
  }
  return static_cast<ssize_t>(size);
}

int closeText(void* cookie) {
  auto* sink = static_cast<TextSink*>(cookie);
  const int result = std::fclose(sink->file);
  delete sink;
  return result;
}

}  // namespace

std::FILE* openTextFile(const char* corePath, const char* mode) {
  if (!corePath || !mode || (std::strcmp(mode, "w") != 0 && std::strcmp(mode, "a") != 0)) {
    errno = EINVAL;
    return nullptr;
  }
  std::FILE* file = std::fopen(hostPath(corePath).c_str(), mode[0] == 'a' ? "ab" : "wb");
  if (!file) return nullptr;
  auto* sink = new (std::nothrow) TextSink{file};
  std::FILE* text =
      sink ? ::fopencookie(sink, "w", cookie_io_functions_t{nullptr, writeText, nullptr, closeText})
           : nullptr;
  if (!text) {
    delete sink;
    std::fclose(file);
    errno = ENOMEM;
    return nullptr;
  }
  return text;
}

bool fileExists(const char* corePath) {
  if (!corePath) return false;
  struct stat st;
  return ::stat(hostPath(corePath).c_str(), &st) == 0;
}

bool isDirectory(const char* corePath) {
  if (!corePath) return false;
  struct stat st;
  return ::stat(hostPath(corePath).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool removeFile(const char* corePath) {
  if (!corePath) return false;
  return ::unlink(hostPath(corePath).c_str()) == 0;
}

bool wildcardMatchNoCase(const char* pattern, const char* name) {
  if (!pattern || !name) return false;
  const auto fold = [](const char* p, std::size_t len) -> unsigned {
    const auto c = static_cast<unsigned char>(p[0]);
    if (len == 2) return (static_cast<unsigned>(c) << 8) | static_cast<unsigned char>(p[1]);
    return mb::asciiLower(c);
  };
  const char* p = pattern;
  const char* n = name;
  const char* starPattern = nullptr;  // just after the last '*'
  const char* starName = nullptr;     // where that '*' is matched up to
  for (;;) {
    if (*p == '*') {
      while (*p == '*') ++p;
      starPattern = p;
      starName = n;
      continue;
    }
    if (*n == '\0') {
      if (*p == '\0') return true;
    } else if (*p != '\0') {
      const std::size_t lp = mb::charLength(p), ln = mb::charLength(n);
      if ((lp == 1 && *p == '?') || fold(p, lp) == fold(n, ln)) {
        p += lp;
        n += ln;
        continue;
      }
    }
    // Mismatch: let the last '*' swallow one more character.
    if (!starPattern || *starName == '\0') return false;
    starName = mb::next(starName);
    p = starPattern;
    n = starName;
  }
}

std::vector<FindData> findFiles(const char* pattern) {
  const FileList list = listFiles(pattern);
  std::vector<FindData> found;
  found.reserve(list.size());
  for (std::size_t i = 0; i < list.size(); ++i) found.push_back({list.name(i), list.isDirectory(i)});
  return found;
}

FileList listFiles(const char* pattern) {
  FileList list;
  if (!pattern) return list;
  std::string root;
  std::vector<std::string> components;
  bool trailingSeparator = false;
  splitPath(pattern, root, components, &trailingSeparator);
  // A pattern ending in a separator names no file.
  if (components.empty() || trailingSeparator) return list;
  std::string wildcard = components.back();
  // "*.*" names every file, with or without an extension.
  if (wildcard == "*.*") wildcard = "*";
  const std::string folder = folderOf(root, components);
  DirPtr dir(::opendir(folder.c_str()));
  if (!dir) return list;
  // An entry is looked at relative to the open folder, which spares the
  // walk down the folder's whole path.
  const int folderFd = ::dirfd(dir.get());
  std::string& names = list.names_;
  std::vector<FileList::Entry>& entries = list.entries_;
  // The folder's own size (what its entries take on disk, on most file
  // systems) sizes the buffers, so that a large folder is listed without
  // copying them as they grow. Only a hint: they grow past it if need be.
  const int before = errno;
  struct stat folderInfo;
  if (::fstat(folderFd, &folderInfo) == 0 && folderInfo.st_size > 0) {
    const auto hint =
        std::min<std::size_t>(static_cast<std::size_t>(folderInfo.st_size), std::size_t{256} << 20);
    names.reserve(hint);
    entries.reserve(hint / 32);
  }
  errno = before;
  while (const dirent* entry = ::readdir(dir.get())) {
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    const std::size_t at = names.size();
    appendCoreName(names, name);
    names.push_back('\0');
    if (!wildcardMatchNoCase(wildcard.c_str(), names.c_str() + at)) {
      names.resize(at);
      continue;
    }
    // The folder listing tells most entries' kind; a link (followed) or an
    // entry of unknown kind is looked at.
    bool isDirectory = false;
    struct stat st;
    if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK)
      isDirectory = entry->d_type == DT_DIR;
    else if (::fstatat(folderFd, name, &st, 0) == 0)
      isDirectory = S_ISDIR(st.st_mode);
    const std::size_t length = names.size() - 1 - at;
    std::uint64_t head[2] = {0, 0};
    for (std::size_t i = 0; i < 16; ++i)
      head[i / 8] = head[i / 8] << 8 | (i < length ? static_cast<unsigned char>(names[at + i]) : 0u);
    entries.push_back({{head[0], head[1]}, at, static_cast<std::uint32_t>(length), isDirectory});
  }
  // Byte order, a name before the longer names it begins. Names hold no
  // zero byte, so the heads order them unless their first sixteen bytes
  // agree (a data file's name differs from its neighbours' within them).
  const auto nameOf = [&names](const FileList::Entry& e) {
    return std::string_view(names).substr(e.at, e.length);
  };
  std::sort(entries.begin(), entries.end(), [&nameOf](const FileList::Entry& a, const FileList::Entry& b) {
    if (a.head[0] != b.head[0]) return a.head[0] < b.head[0];
    if (a.head[1] != b.head[1]) return a.head[1] < b.head[1];
    return nameOf(a) < nameOf(b);
  });
  // The names are laid out again in that order, so that a walk of the list
  // reads them in one sweep instead of jumping about a buffer as large as
  // the folder's listing (megabytes for a site's data folder).
  std::string ordered;
  ordered.reserve(names.size());
  for (FileList::Entry& e : entries) {
    const std::size_t at = ordered.size();
    ordered.append(names, e.at, e.length + 1);  // with its NUL
    e.at = at;
  }
  names.swap(ordered);
  return list;
}

}  // namespace winfs
