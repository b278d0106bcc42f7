// Texts kept once for the lists that share a table. The PCs of a site report
// the same programs, categories, devices and item names over and over, so
// the lists of one group tree keep their texts in the table its root owns
// (a list made on its own owns a table of its own). Texts stay until the
// table is emptied or destroyed; nothing is counted.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dcProbeTable.h"
#include "dcRecordArena.h"

class dcTextTable_t {
 public:
  dcTextTable_t() = default;
  dcTextTable_t(const dcTextTable_t&) = delete;
  dcTextTable_t& operator=(const dcTextTable_t&) = delete;

  // The kept copy of text as a field of fieldSize bytes (at most a few
  // kilobytes) holds it: at most fieldSize - 1 bytes, cut at a character
  // boundary. nullptr without memory.
  const char* keep(const char* text, std::size_t fieldSize) noexcept;
  // Forgets every text: only for an owner whose lists are all empty.
  void clear() noexcept;

 private:
  struct Slot {
    std::size_t hash;
    const char* text;
    bool filled() const { return text != nullptr; }
  };

  dcinv::ProbeTable<Slot> index_;
  // Texts are packed into blocks that never move, so kept texts stay put.
  dcinv::RecordArena<16 * 1024> texts_;
};
