#include "dcpgBackwardLinks.h"

#include <new>

#include "dcLog.h"
#include "dcQsClient.h"
#include "dcQsGroup.h"

dcpgBackwardLinks_t::Key dcpgBackwardLinks_t::keyOf(const void* object, std::uint32_t kind) {
  const std::uint64_t h = (reinterpret_cast<std::uintptr_t>(object) ^ kind) * 0x9E3779B97F4A7C15ull;
  return Key{static_cast<std::size_t>(h ^ (h >> 29)), object, kind};
}

dcpgBackwardLinks_t::~dcpgBackwardLinks_t() {
  for (dcpgBackwardLink_t* link = head; link;) {
    dcpgBackwardLink_t* next = link->next;
    delete link;
    link = next;
  }
  head = tail_ = nullptr;
}

std::uint64_t dcpgBackwardLinks_t::filterBit(const void* object, std::uint32_t kind) {
  const auto key = reinterpret_cast<std::uintptr_t>(object) ^ kind;
  return std::uint64_t{1} << ((key * 0x9E3779B97F4A7C15ull) >> 58);
}

bool dcpgBackwardLinks_t::contains(const void* object, std::uint32_t kind) const {
  if (!(filter_ & filterBit(object, kind))) return false;
  if (index_) {
    const Key key = keyOf(object, kind);
    return index_->find(key.hash, [&](const Key& k) { return k.object == object && k.kind == kind; }) !=
           nullptr;
  }
  for (const dcpgBackwardLink_t* link = head; link; link = link->next) {
    if (link->kind == kind && link->pObject == object) return true;
  }
  return false;
}

dcStatus_t dcpgBackwardLinks_t::append(dcObject_t* object, std::uint32_t kind) {
  auto* link = new (std::nothrow) dcpgBackwardLink_t;
  if (!link) return status = dcStatus::NO_MEMORY_TEXT;
  link->kind = kind;
  link->pObject = object;
  filter_ |= filterBit(object, kind);
  if (index_ || count_ + 1 >= kIndexFrom) {
    auto insert = [this](const void* o, std::uint32_t k) {
      const Key key = keyOf(o, k);
      return index_->insertFirst(key.hash, key,
                                 [&](const Key& in) { return in.object == o && in.kind == k; });
    };
    bool indexed = true;
    if (!index_) {
      index_.reset(new (std::nothrow) dcinv::ProbeTable<Key>);
      for (const dcpgBackwardLink_t* l = head; l && index_ && indexed; l = l->next)
        indexed = insert(l->pObject, l->kind);
    }
    // Without memory for its index the set still answers correctly, along the list.
    if (index_ && !(indexed && insert(object, kind))) index_.reset();
  }
  if (tail_)
    tail_->next = link;
  else
    head = link;
  tail_ = link;
  ++count_;
  return status = dcStatus::OK;
}

std::uint32_t dcpgBackwardLinks_t::isClientExist(dcQsClient_t* pClient) {
  if (!pClient) {
    status = dcStatus::NULL_ARGUMENT;
    return 0;
  }
  theLog.pfWrite(this, 1, "[dcpgBackwardLinks_t::isClientExist] pClient=0x%x", dcTraceTag(pClient));
  const bool found = contains(static_cast<dcObject_t*>(pClient), KIND_CLIENT);
  status = found ? dcStatus::OK : dcStatus::NOT_FOUND;
  return found ? 1 : 0;
}

std::uint32_t dcpgBackwardLinks_t::isGroupExist(dcQsGroup_t* pGroup) {
  if (!pGroup) {
    status = dcStatus::NULL_ARGUMENT;
    return 0;
  }
  theLog.pfWrite(this, 1, "[dcpgBackwardLinks_t::isGroupExist] pGroup=0x%x", dcTraceTag(pGroup));
  const bool found = contains(static_cast<dcObject_t*>(pGroup), KIND_GROUP);
  status = found ? dcStatus::OK : dcStatus::NOT_FOUND;
  return found ? 1 : 0;
}

dcStatus_t dcpgBackwardLinks_t::add(dcQsClient_t* pClient) {
  if (!pClient) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcpgBackwardLinks_t::add] pClient=0x%x", dcTraceTag(pClient));
  if (isClientExist(pClient)) return status = dcStatus::OK;
  return append(pClient, KIND_CLIENT);
}

dcStatus_t dcpgBackwardLinks_t::add(dcQsGroup_t* pGroup) {
  if (!pGroup) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcpgBackwardLinks_t::add] pGroup=0x%x", dcTraceTag(pGroup));
  if (isGroupExist(pGroup)) return status = dcStatus::OK;
  return append(pGroup, KIND_GROUP);
}
