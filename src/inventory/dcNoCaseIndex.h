// Helpers the inventory lists share to find entries by text without walking
// their chains: hashing and equality that agree with mb::compareNoCase, and
// the bounded copy a text gets before it is stored or compared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "cp949.h"
#include "dcProbeTable.h"

namespace dcinv {

// Lists shorter than this are searched by walking the chain; from this size
// on they keep a hash index. A PC's lists (a few dozen programs, categories
// and items) mostly stay below it: for them the walk costs less than the
// index's memory, which would be a third of what the list holds.
constexpr std::uint32_t INDEX_THRESHOLD = 32;

// A file loaded into a list has each of its entries looked up among those
// before it. From this many entries on, the list is indexed for the load and,
// when it stays below INDEX_THRESHOLD, the index is dropped again once the
// file is in: the look-ups cost a hash each instead of a walk, and a PC's
// list keeps no index memory afterwards.
constexpr std::size_t LOAD_INDEX_MIN = 8;

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

// The lists of a group tree keep their texts once (dcTextTable_t), so the
// texts compared are often the very same: those are equal without a look.
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

// The entries of a list whose names (Entry::name) are unique, by name, from
// INDEX_THRESHOLD entries on; until then, or when memory runs out for it,
// the list walks its chain instead.
template <class Entry>
class UniqueNameIndex {
 public:
  bool active() const { return active_; }
  Entry* find(const char* name) const {
    return byName_.find(noCaseHash(name), [name](const Entry* e) { return equalNoCase(e->name, name); });
  }
  // After a list appended entry, its count-th: indexes it, or at the
  // threshold every entry (forEach(f) calls f on each, in any order).
  template <class ForEach>
  void added(Entry* entry, std::uint32_t count, ForEach forEach) {
    if (active_) {
      active_ = insert(entry);
      if (!active_) byName_.clear();
    } else if (count >= INDEX_THRESHOLD) {
      activate(forEach);
    }
  }
  // Indexes every entry now, whatever their count (a no-op when active).
  template <class ForEach>
  void activate(ForEach forEach) {
    if (active_) return;
    active_ = true;
    forEach([this](Entry* e) { active_ = active_ && insert(e); });
    if (!active_) byName_.clear();
  }
  void clear() {
    active_ = false;
    byName_.clear();
  }

 private:
  bool insert(Entry* e) {
    return byName_.insertFirst(noCaseHash(e->name), e,
                               [e](const Entry* other) { return equalNoCase(other->name, e->name); });
  }
  bool active_ = false;
  FirstMatchIndex<Entry> byName_;
};

}  // namespace dcinv
