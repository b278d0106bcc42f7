#include "dcObject.h"

#include "cp949.h"

namespace {
constexpr const char* kDefaultName = "dcObject_t";
}

dcObject_t::dcObject_t(const char* name_, const char* className_, std::int32_t id_) : id(id_) {
  mb::copyBounded(name, name_ ? name_ : kDefaultName);
  mb::copyBounded(className, className_ ? className_ : kDefaultName);
}

bool dcObject_t::isA(const char* cls) const { return cls && mb::compare(className, cls) == 0; }
