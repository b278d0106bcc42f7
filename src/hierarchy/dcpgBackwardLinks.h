// The back-references of one gathered entry: the group's own clients and
// direct child groups that contributed it. The set owns its links, never
// the objects they point to.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "dcProbeTable.h"
#include "dcStatus.h"

class dcObject_t;
class dcQsClient_t;
class dcQsGroup_t;

// One link: the kind of object and the object, never owned.
struct dcpgBackwardLink_t {
  std::uint32_t kind = 0;         // dcpgBackwardLinks_t::KIND_CLIENT or KIND_GROUP
  dcObject_t* pObject = nullptr;  // the client or group
};

class dcpgBackwardLinks_t {
 public:
  static constexpr std::uint32_t KIND_CLIENT = 1;
  static constexpr std::uint32_t KIND_GROUP = 2;

  dcpgBackwardLinks_t() = default;
  dcpgBackwardLinks_t(const dcpgBackwardLinks_t&) = delete;
  dcpgBackwardLinks_t& operator=(const dcpgBackwardLinks_t&) = delete;

  // 1 when a link of that kind to the object exists, else 0.
  std::uint32_t isClientExist(dcQsClient_t* pClient);
  std::uint32_t isGroupExist(dcQsGroup_t* pGroup);
  // Appends a link unless one of that kind to the object is present.
  dcStatus_t add(dcQsClient_t* pClient);
  dcStatus_t add(dcQsGroup_t* pGroup);
  // add, with the same trace lines and statuses, for a caller that knows
  // the object's link, if the set has one, is its last: only the last link
  // is compared. Gathering knows it when each contributor adds all its
  // links in one run to sets that held none of them before.
  dcStatus_t addUnlessLast(dcQsClient_t* pClient);
  dcStatus_t addUnlessLast(dcQsGroup_t* pGroup);

  // The links in order of insertion, each read as a record.
  class Links {
   public:
    class iterator {
     public:
      explicit iterator(const std::uintptr_t* at) : at_(at) {}
      dcpgBackwardLink_t operator*() const { return decode(*at_); }
      iterator& operator++() {
        ++at_;
        return *this;
      }
      bool operator!=(const iterator& other) const { return at_ != other.at_; }

     private:
      const std::uintptr_t* at_;
    };
    explicit Links(const std::vector<std::uintptr_t>& links) : links_(links) {}
    std::size_t size() const { return links_.size(); }
    dcpgBackwardLink_t operator[](std::size_t i) const { return decode(links_[i]); }
    iterator begin() const { return iterator(links_.data()); }
    iterator end() const { return iterator(links_.data() + links_.size()); }

   private:
    const std::vector<std::uintptr_t>& links_;
  };
  Links links() const { return Links(links_); }
  std::uint32_t count() const { return static_cast<std::uint32_t>(links_.size()); }

  dcStatus_t status = dcStatus::OK;

 private:
  // A link in the index: part of its hash and its place in links_.
  struct Key {
    std::uint32_t hash;
    std::uint32_t place;  // place + 1; 0 marks an empty slot
    bool filled() const { return place != 0; }
  };
  // A link as the set stores it: the object's address with the kind in its
  // lowest bit (clients and groups are aligned, so the bit is free), half
  // the size of the record it reads as.
  static std::uintptr_t encode(const void* object, std::uint32_t kind);
  static dcpgBackwardLink_t decode(std::uintptr_t link);
  static std::uint32_t hashOf(std::uintptr_t link);
  bool contains(std::uintptr_t link);
  // The look-up (lastOnly: the last link only) and the add behind the
  // public forms, with their trace lines and statuses.
  std::uint32_t exists(dcObject_t* object, std::uint32_t kind, bool lastOnly);
  dcStatus_t addLink(dcObject_t* object, std::uint32_t kind, bool lastOnly);
  bool indexLink(std::uint32_t place);
  dcStatus_t append(std::uintptr_t link);

  // Short sets are searched along the array; longer ones keep a hash set of
  // their places beside it, so that membership stays O(1) while the array
  // keeps the order of insertion. The hash set is made by the first search
  // that needs it and takes the links appended since at each search: sets
  // filled by addUnlessLast, as gathering fills them, never need one.
  static constexpr std::uint32_t kIndexFrom = 8;
  // One bit per link, picked by its object and kind: a clear bit answers
  // "absent" without a search (the usual answer while gathering).
  static std::uint64_t filterBit(std::uintptr_t link);
  std::uint64_t filter_ = 0;
  std::vector<std::uintptr_t> links_;
  std::unique_ptr<dcinv::ProbeTable<Key>> index_;
  std::uint32_t indexed_ = 0;  // links_[0, indexed_) are in index_
};

class dcSoftwareUsage_t;
// Frees the back-links of every record of a usage list, which the list
// itself cannot free.
void freeUsageBackLinks(dcSoftwareUsage_t& usage);
