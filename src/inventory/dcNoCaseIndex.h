// Helpers the inventory lists share to find entries by text without walking
// their chains: hashing and equality that agree with mb::compareNoCase, and
// the bounded copy a text gets before it is stored or compared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "cp949.h"

namespace dcinv {

// Lists shorter than this are searched by walking the chain; from this size
// on they keep a hash index (most client lists stay below it).
constexpr std::uint32_t INDEX_THRESHOLD = 8;

// A text as a fixed field of N bytes would hold it: cut at a character
// boundary. Lists store texts this way and compare arguments this way, so a
// text longer than a field finds the entry that stored it.
template <std::size_t N>
struct Bounded {
  explicit Bounded(const char* source) { mb::copyBounded(text, source); }
  char text[N];
};

// FNV-1a over the characters as compareNoCase folds them: single-byte ASCII
// letters lower-cased, double-byte characters taken whole.
inline std::size_t noCaseHash(const char* s, std::size_t seed = 1469598103934665603ull) {
  std::size_t h = seed;
  for (;;) {
    const std::size_t len = mb::charLength(s);
    if (len == 0) return h;
    const auto c = static_cast<unsigned char>(s[0]);
    h = (h ^ (len == 2 ? c : mb::asciiLower(c))) * 1099511628211ull;
    if (len == 2) h = (h ^ static_cast<unsigned char>(s[1])) * 1099511628211ull;
    s += len;
  }
}

struct NoCaseHash {
  std::size_t operator()(const char* s) const { return noCaseHash(s); }
};
struct NoCaseEqual {
  bool operator()(const char* a, const char* b) const { return mb::compareNoCase(a, b) == 0; }
};

// Two texts as one key (hardware device and description).
using TextPair = std::pair<const char*, const char*>;
struct NoCasePairHash {
  std::size_t operator()(const TextPair& p) const { return noCaseHash(p.second, noCaseHash(p.first) * 31u); }
};
struct NoCasePairEqual {
  bool operator()(const TextPair& a, const TextPair& b) const {
    return mb::compareNoCase(a.first, b.first) == 0 && mb::compareNoCase(a.second, b.second) == 0;
  }
};

}  // namespace dcinv
