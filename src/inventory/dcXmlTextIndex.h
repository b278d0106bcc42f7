// A flat table from (node, text) to the first node stored under that key,
// for the usage document's look-ups: one run of slots per look-up, and a
// text compared only when node and hash agree. Texts compare byte for byte;
// the table keeps pointers to them, which must stay valid while stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "dcProbeTable.h"
#include "dcXml.h"

namespace dcinv {

class XmlTextIndex {
 public:
  // The node stored under (owner, text), or nullptr.
  dcXmlNode_t* find(const dcXmlNode_t* owner, const char* text) const {
    const std::uint64_t hash = hashOf(owner, text);
    const Slot* slot = table_.find(hash, [&](const Slot& s) { return s.matches(hash, owner, text); });
    return slot ? slot->node : nullptr;
  }
  // Stores node under (owner, text) unless that key is present. False when
  // memory runs out (the table is then empty).
  bool insertFirst(const dcXmlNode_t* owner, const char* text, dcXmlNode_t* node) {
    const std::uint64_t hash = hashOf(owner, text);
    return table_.insertFirst(hash, Slot{hash, owner, text, node},
                              [&](const Slot& s) { return s.matches(hash, owner, text); });
  }
  void clear() { table_.clear(); }

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
    bool filled() const { return node != nullptr; }
    bool matches(std::uint64_t h, const dcXmlNode_t* o, const char* t) const {
      return hash == h && owner == o && same(text, t);
    }
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

  ProbeTable<Slot, 64> table_;
};

}  // namespace dcinv
