#include "dcpgBackwardLinks.h"

#include <new>

#include "dcLog.h"
#include "dcQsClient.h"
#include "dcQsGroup.h"

static_assert(alignof(dcObject_t) >= 2, "a link keeps its kind in the address's lowest bit");

std::uintptr_t dcpgBackwardLinks_t::encode(const void* object, std::uint32_t kind) {
  return reinterpret_cast<std::uintptr_t>(object) | (kind == KIND_GROUP ? 1u : 0u);
}

dcpgBackwardLink_t dcpgBackwardLinks_t::decode(std::uintptr_t link) {
  return {link & 1u ? KIND_GROUP : KIND_CLIENT, reinterpret_cast<dcObject_t*>(link & ~std::uintptr_t{1})};
}

std::uint32_t dcpgBackwardLinks_t::hashOf(std::uintptr_t link) {
  return static_cast<std::uint32_t>((link * 0x9E3779B97F4A7C15ull) >> 32);
}

std::uint64_t dcpgBackwardLinks_t::filterBit(std::uintptr_t link) {
  return std::uint64_t{1} << ((link * 0x9E3779B97F4A7C15ull) >> 58);
}

bool dcpgBackwardLinks_t::contains(std::uintptr_t link) {
  if (!(filter_ & filterBit(link))) return false;
  if (links_.size() >= kIndexFrom && !index_) {
    // Without memory for its index the set still answers correctly, along the array.
    index_.reset(new (std::nothrow) dcinv::ProbeTable<Key>);
    indexed_ = 0;
  }
  for (; index_ && indexed_ < links_.size(); ++indexed_)
    if (!indexLink(indexed_)) index_.reset();
  if (index_) {
    const std::uint32_t hash = hashOf(link);
    return index_->find(hash, [&](const Key& k) { return k.hash == hash && links_[k.place - 1] == link; }) !=
           nullptr;
  }
  for (const std::uintptr_t held : links_)
    if (held == link) return true;
  return false;
}

// Links are unique, so every link is its own first match.
bool dcpgBackwardLinks_t::indexLink(std::uint32_t place) {
  const std::uint32_t hash = hashOf(links_[place]);
  return index_->insertFirst(hash, Key{hash, place + 1}, [](const Key&) { return false; });
}

dcStatus_t dcpgBackwardLinks_t::append(std::uintptr_t link) {
  try {
    links_.push_back(link);
  } catch (const std::bad_alloc&) {
    return status = dcStatus::NO_MEMORY_TEXT;
  }
  filter_ |= filterBit(link);
  return status = dcStatus::OK;
}

namespace {

// The argument and look-up names of a kind in trace lines.
const char* argumentName(std::uint32_t kind) {
  return kind == dcpgBackwardLinks_t::KIND_CLIENT ? "pClient" : "pGroup";
}
const char* lookUpName(std::uint32_t kind) {
  return kind == dcpgBackwardLinks_t::KIND_CLIENT ? "isClientExist" : "isGroupExist";
}

}  // namespace

std::uint32_t dcpgBackwardLinks_t::exists(dcObject_t* object, std::uint32_t kind, bool lastOnly) {
  if (!object) {
    status = dcStatus::NULL_ARGUMENT;
    return 0;
  }
  theLog.pfWrite(this, 1, "[dcpgBackwardLinks_t::%s] %s=0x%x", lookUpName(kind), argumentName(kind),
                 dcTraceTag(object));
  const std::uintptr_t link = encode(object, kind);
  const bool found = lastOnly ? !links_.empty() && links_.back() == link : contains(link);
  status = found ? dcStatus::OK : dcStatus::NOT_FOUND;
  return found ? 1 : 0;
}

dcStatus_t dcpgBackwardLinks_t::addLink(dcObject_t* object, std::uint32_t kind, bool lastOnly) {
  if (!object) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcpgBackwardLinks_t::add] %s=0x%x", argumentName(kind), dcTraceTag(object));
  if (exists(object, kind, lastOnly)) return status = dcStatus::OK;
  return append(encode(object, kind));
}

std::uint32_t dcpgBackwardLinks_t::isClientExist(dcQsClient_t* pClient) {
  return exists(pClient, KIND_CLIENT, false);
}
std::uint32_t dcpgBackwardLinks_t::isGroupExist(dcQsGroup_t* pGroup) {
  return exists(pGroup, KIND_GROUP, false);
}
dcStatus_t dcpgBackwardLinks_t::add(dcQsClient_t* pClient) { return addLink(pClient, KIND_CLIENT, false); }
dcStatus_t dcpgBackwardLinks_t::add(dcQsGroup_t* pGroup) { return addLink(pGroup, KIND_GROUP, false); }
dcStatus_t dcpgBackwardLinks_t::addUnlessLast(dcQsClient_t* pClient) {
  return addLink(pClient, KIND_CLIENT, true);
}
dcStatus_t dcpgBackwardLinks_t::addUnlessLast(dcQsGroup_t* pGroup) {
  return addLink(pGroup, KIND_GROUP, true);
}

void freeUsageBackLinks(dcSoftwareUsage_t& usage) {
  for (dcSoftwareUsageCell_t* cell = usage.head; cell; cell = cell->next) {
    if (cell->record) {
      delete cell->record->pBackwardLinks;
      cell->record->pBackwardLinks = nullptr;
    }
  }
}
