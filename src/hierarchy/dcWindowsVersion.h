// One gathered Windows version of a group: the version text and the clients
// and child groups that have it.
#pragma once

#include <cstddef>

#include "dcpgBackwardLinks.h"

class dcWindowsVersion_t {
 public:
  static constexpr std::size_t VERSION_SIZE = 256;

  dcWindowsVersion_t() = default;
  ~dcWindowsVersion_t();
  dcWindowsVersion_t(const dcWindowsVersion_t&) = delete;
  dcWindowsVersion_t& operator=(const dcWindowsVersion_t&) = delete;

  // A new entry with its empty back-links, or nullptr when memory runs out.
  static dcWindowsVersion_t* create(const char* version);

  char version[VERSION_SIZE] = {};
  dcpgBackwardLinks_t* pBackwardLinks = nullptr;  // owned
};

struct dcWindowsVersionNode_t {
  dcWindowsVersion_t* pVersion = nullptr;
  dcWindowsVersionNode_t* next = nullptr;
};
