// What the fuzz targets share: a private scratch folder that becomes the
// current folder (the trace log and any file a command writes land there),
// the input written to a file for the loaders that read paths, and a
// settings file installed as the console's settings.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace fuzzsupport {

// Created on first use, removed at exit.
inline const std::filesystem::path& scratch() {
  static const std::filesystem::path folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "desktally-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    std::filesystem::current_path(pattern);
    std::atexit([] {
      std::error_code ec;
      std::filesystem::current_path("/", ec);
      std::filesystem::remove_all(scratch(), ec);
    });
    return std::filesystem::path(pattern);
  }();
  return folder;
}

// Writes the bytes to name in the scratch folder and returns the full path.
inline std::string writeInput(const std::string& name, const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path path = scratch() / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return path.string();
}

// A settings file with display names for a few hardware categories and
// Windows information items, in the layout the agents' files use.
constexpr std::string_view SETTINGS_XML =
    "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n"
    "<qslook>\n"
    "  <logdata>C:\\QSS\\data</logdata>\n"
    "  <qssgrp>C:\\QSS\\qsgroup.dat</qssgrp>\n"
    "  <pcname>PC \xC0\xCC\xB8\xA7</pcname>\n"                                        // PC 이름
    "  <hardware><cpu>\xC7\xC1\xB7\xCE\xBC\xBC\xBC\xAD</cpu><memory>memory</memory>"  // 프로세서
    "<disk>disk</disk><video>video</video></hardware>\n"
    "  <windows><WindowsVersion>WindowsVersion</WindowsVersion><ServicePack>SP</ServicePack>"
    "<ComputerName>name</ComputerName></windows>\n"
    "</qslook>\n";

}  // namespace fuzzsupport
