// A flat table from (node, text) to the first node stored under that key,
// for the usage document's look-ups: one run of slots per look-up, and a
// text compared only when node and hash agree. Texts compare byte for byte;
// the table keeps pointers to them, which must stay valid while stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "dcXml.h"

namespace dcinv {

class XmlTextIndex {
 public:
  // The node stored under (owner, text), or nullptr.
  dcXmlNode_t* find(const dcXmlNode_t* owner, const char* text) const {
    if (slots_.empty()) return nullptr;
    const std::uint64_t hash = hashOf(owner, text);
    for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
      const Slot& slot = slots_[i];
      if (!slot.node) return nullptr;
      if (slot.hash == hash && slot.owner == owner && same(slot.text, text)) return slot.node;
    }
  }
  // Stores node under (owner, text) unless that key is present. False when
  // memory runs out (the table is then empty).
  bool insertFirst(const dcXmlNode_t* owner, const char* text, dcXmlNode_t* node) {
    if ((used_ + 1) * 2 > slots_.size() && !grow()) return false;
    const std::uint64_t hash = hashOf(owner, text);
    for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
      Slot& slot = slots_[i];
      if (!slot.node) {
        slot = Slot{hash, owner, text, node};
        ++used_;
        return true;
      }
      if (slot.hash == hash && slot.owner == owner && same(slot.text, text)) return true;
    }
  }
  void clear() {
    std::vector<Slot>().swap(slots_);
    used_ = 0;
    mask_ = 0;
  }

  // A key that no text equals, for marks kept per owner.
  static const char* mark() {
    static const char m = 0;
    return &m;
  }

 private:
  struct Slot {
    std::uint64_t hash;
    const dcXmlNode_t* owner;
    const char* text;
    dcXmlNode_t* node;
  };

  static bool same(const char* a, const char* b) {
    if (a == mark() || b == mark()) return a == b;
    return std::strcmp(a, b) == 0;
  }
  static std::uint64_t hashOf(const dcXmlNode_t* owner, const char* text) {
    std::uint64_t h = 1469598103934665603ull ^ reinterpret_cast<std::uintptr_t>(owner);
    if (text == mark()) {
      h ^= 0x9e3779b97f4a7c15ull;
    } else {
      for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
        h = (h ^ *p) * 1099511628211ull;
    }
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ull;
    h ^= h >> 33;
    return h;
  }
  bool grow() {
    std::vector<Slot> old;
    old.swap(slots_);
    try {
      slots_.assign(old.empty() ? 64 : old.size() * 2, Slot{0, nullptr, nullptr, nullptr});
    } catch (const std::bad_alloc&) {
      clear();
      return false;
    }
    mask_ = slots_.size() - 1;
    for (const Slot& slot : old)
      if (slot.node) {
        std::size_t i = slot.hash & mask_;
        while (slots_[i].node) i = (i + 1) & mask_;
        slots_[i] = slot;
      }
    return true;
  }

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
  std::size_t mask_ = 0;
};

}  // namespace dcinv
