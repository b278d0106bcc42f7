// The back-references of one gathered entry: the group's own clients and
// direct child groups that contributed it. The set owns its links, never
// the objects they point to.
#pragma once

#include <cstdint>
#include <memory>

#include "dcProbeTable.h"
#include "dcSlotPool.h"
#include "dcStatus.h"

class dcObject_t;
class dcQsClient_t;
class dcQsGroup_t;

// Links live in a pool of slots of their size: a site has millions.
struct dcpgBackwardLink_t : dcpool::Pooled<dcpgBackwardLink_t> {
  std::uint32_t kind = 0;         // dcpgBackwardLinks_t::KIND_CLIENT or KIND_GROUP
  dcObject_t* pObject = nullptr;  // the client or group, never owned
  dcpgBackwardLink_t* next = nullptr;
};

class dcpgBackwardLinks_t {
 public:
  static constexpr std::uint32_t KIND_CLIENT = 1;
  static constexpr std::uint32_t KIND_GROUP = 2;

  dcpgBackwardLinks_t() = default;
  ~dcpgBackwardLinks_t();
  dcpgBackwardLinks_t(const dcpgBackwardLinks_t&) = delete;
  dcpgBackwardLinks_t& operator=(const dcpgBackwardLinks_t&) = delete;

  // 1 when a link of that kind to the object exists, else 0.
  std::uint32_t isClientExist(dcQsClient_t* pClient);
  std::uint32_t isGroupExist(dcQsGroup_t* pGroup);
  // Appends a link unless one of that kind to the object is present.
  dcStatus_t add(dcQsClient_t* pClient);
  dcStatus_t add(dcQsGroup_t* pGroup);

  // Number of links, for callers that size their output.
  std::uint32_t count() const { return count_; }

  dcStatus_t status = dcStatus::OK;
  dcpgBackwardLink_t* head = nullptr;

 private:
  // A link in the index: its object and kind, and their hash.
  struct Key {
    std::size_t hash;
    const void* object;
    std::uint32_t kind;
    bool filled() const { return object != nullptr; }
  };
  static Key keyOf(const void* object, std::uint32_t kind);

  bool contains(const void* object, std::uint32_t kind) const;
  dcStatus_t append(dcObject_t* object, std::uint32_t kind);

  // Short sets are searched along the list; longer ones keep a hash set of
  // their links beside it, so that membership stays O(1) while the list
  // keeps the order of insertion.
  static constexpr std::uint32_t kIndexFrom = 8;
  // One bit per link, picked by its object and kind: a clear bit answers
  // "absent" without walking the list (the usual answer while gathering).
  static std::uint64_t filterBit(const void* object, std::uint32_t kind);
  std::uint64_t filter_ = 0;
  dcpgBackwardLink_t* tail_ = nullptr;
  std::uint32_t count_ = 0;
  std::unique_ptr<dcinv::ProbeTable<Key>> index_;
};
