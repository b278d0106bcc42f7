// The common base of clients, groups and banners: a status code, a name, a
// run-time class name and a numeric id.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dcStatus.h"

class dcObject_t {
 public:
  static constexpr std::size_t NAME_SIZE = 256;
  static constexpr std::size_t CLASS_NAME_SIZE = 256;

  // A null name or class name becomes "dcObject_t"; both are copied, cut to
  // 255 bytes at a character boundary. status is left to the derived class.
  dcObject_t(const char* name, const char* className, std::int32_t id);
  dcObject_t(const dcObject_t&) = delete;
  dcObject_t& operator=(const dcObject_t&) = delete;

  // True when className is exactly cls (the only run-time type test).
  bool isA(const char* cls) const;

  dcStatus_t status = dcStatus::OK;
  char name[NAME_SIZE];
  char className[CLASS_NAME_SIZE];
  std::int32_t id;
};
