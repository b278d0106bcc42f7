// Helpers the inventory lists share to find entries by text without walking
// their chains: hashing and equality that agree with mb::compareNoCase, and
// the bounded copy a text gets before it is stored or compared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "cp949.h"
#include "dcProbeTable.h"

namespace dcinv {

// Lists shorter than this are searched by walking the chain; from this size
// on they keep a hash index. A PC's lists (a few dozen programs, categories
// and items) mostly stay below it: for them the walk costs less than the
// index's memory, which would be a third of what the list holds.
constexpr std::uint32_t INDEX_THRESHOLD = 32;

// A text as a fixed field of N bytes would hold it: cut at a character
// boundary. Lists store texts this way and compare arguments this way, so a
// text longer than a field finds the entry that stored it. A text that fits
// is used where it is.
template <std::size_t N>
class Bounded {
 public:
  explicit Bounded(const char* source) : text(source) {
    if (strnlen(source, N) >= N) {
      mb::copyBounded(cut_, source);
      text = cut_;
    }
  }
  Bounded(const Bounded&) = delete;
  Bounded& operator=(const Bounded&) = delete;

  const char* text;

 private:
  char cut_[N];
};

// A text as a field of size bytes keeps it: at most size - 1 bytes, cut at
// a character boundary, and that length. Records that keep their texts at
// their own length copy this much.
struct FieldText {
  const char* text;
  std::size_t length;
  FieldText(const char* source, std::size_t size)
      : text(source), length(mb::boundedLength(source, size - 1)) {}
  // Whether kept holds exactly this text.
  bool operator==(const char* kept) const {
    return std::strncmp(kept, text, length) == 0 && kept[length] == '\0';
  }
  // Copies the text and its NUL to out; the copy.
  char* copyTo(char* out) const {
    std::memcpy(out, text, length);
    out[length] = '\0';
    return out;
  }
};

// FNV-1a over the characters as compareNoCase folds them (single-byte ASCII
// letters lower-cased, double-byte characters taken whole), then mixed so
// that the low bits, which pick a slot, depend on every character.
inline std::size_t noCaseHash(const char* s, std::uint64_t seed = 1469598103934665603ull) {
  std::uint64_t h = seed;
  for (;;) {
    const std::size_t len = mb::charLength(s);
    if (len == 0) break;
    const auto c = static_cast<unsigned char>(s[0]);
    h = (h ^ (len == 2 ? c : mb::asciiLower(c))) * 1099511628211ull;
    if (len == 2) h = (h ^ static_cast<unsigned char>(s[1])) * 1099511628211ull;
    s += len;
  }
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdull;
  h ^= h >> 33;
  h *= 0xc4ceb9fe1a85ec53ull;
  h ^= h >> 33;
  return static_cast<std::size_t>(h);
}

inline std::size_t noCaseHash(const char* a, const char* b) { return noCaseHash(b, noCaseHash(a) * 31u); }

// Texts kept once for many records are often the very same bytes.
inline bool equalNoCase(const char* a, const char* b) { return a == b || mb::compareNoCase(a, b) == 0; }

// The first entry of every key: a look-up reads one run of (hash, entry)
// slots and touches an entry only when the hashes agree.
template <class Entry>
class FirstMatchIndex {
 public:
  // The entry stored under hash for which same(entry) holds, or nullptr.
  template <class Same>
  Entry* find(std::size_t hash, Same&& same) const {
    const Slot* slot = table_.find(hash, [&](const Slot& s) { return s.hash == hash && same(s.entry); });
    return slot ? slot->entry : nullptr;
  }
  // Stores entry unless find already has an entry for its key. False when
  // memory runs out (the index is then empty).
  template <class Same>
  bool insertFirst(std::size_t hash, Entry* entry, Same&& same) {
    return table_.insertFirst(hash, Slot{hash, entry},
                              [&](const Slot& s) { return s.hash == hash && same(s.entry); });
  }
  void clear() { table_.clear(); }

 private:
  struct Slot {
    std::size_t hash;
    Entry* entry;
    bool filled() const { return entry != nullptr; }
  };
  ProbeTable<Slot> table_;
};

}  // namespace dcinv
