// Shared helpers for the tests and fuzz targets: temporary folders and small
// files; includes the standard library parts they share.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace testutil {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "desktally-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

// Sets (or, with nullptr, removes) one environment variable for a scope.
class ScopedEnv {
 public:
  ScopedEnv(const std::string& name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name.c_str())) old_ = old;
    value ? ::setenv(name.c_str(), value, 1) : ::unsetenv(name.c_str());
  }
  ~ScopedEnv() { old_ ? ::setenv(name_.c_str(), old_->c_str(), 1) : ::unsetenv(name_.c_str()); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// Points drive letter `drive` at folder for the object's lifetime.
struct DriveMapping : ScopedEnv {
  DriveMapping(char drive, const std::string& folder)
      : ScopedEnv(std::string("DESKTALLY_DRIVE_") + drive, folder.c_str()) {}
};

// A fresh folder that is the current folder while the object lives.
struct WorkFolder {
  WorkFolder() { std::filesystem::current_path(dir.path()); }
  ~WorkFolder() { std::filesystem::current_path(home); }
  std::filesystem::path home = std::filesystem::current_path();
  TempDir dir;
};

inline void writeFile(const std::filesystem::path& path, std::string_view bytes) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The file's text once it has `lines` line ends (a program started apart
// writes it), or what it holds after five seconds.
inline std::string waitForLines(const std::filesystem::path& path, long lines) {
  std::string text;
  for (int i = 0; i < 500 && std::count(text.begin(), text.end(), '\n') < lines; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    text = readFile(path);
  }
  return text;
}

// A group file of the current layout: the clients under the root or, given
// a group's name, under that group (id 1) below the root.
inline std::string groupFile(const std::vector<std::string>& clients, const std::string& group = "") {
  auto text = [](const std::string& s) { return static_cast<char>(s.size()) + s; };
  auto u32 = [](std::size_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  std::string bytes = text("!!QSDATFILE!!") +
                      (group.empty() ? u32(0) : u32(1) + u32(0) + u32(1) + text(group) + text("") + u32(0));
  bytes += u32(clients.size());
  for (const std::string& name : clients)
    bytes += u32(group.empty() ? 0 : 1) + text(name) + std::string(16 + 7, '\0');
  return bytes;
}

// The names in a folder, sorted.
inline std::vector<std::string> namesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace testutil
