#include "dcXmlReadAhead.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <utility>

#include "dcXml.h"
#include "dcXmlAlloc.h"
#include "winfs.h"

namespace {

thread_local dcXmlReadAhead_t* currentReadAhead = nullptr;

// The growth step of a document made with the standard initial values.
std::uint32_t standardGrowBy() {
  static const std::uint32_t growBy = dcXmlDocument_t().growBy;
  return growBy;
}

}  // namespace

dcXmlReadAhead_t::dcXmlReadAhead_t(std::vector<File> files, std::size_t depth)
    : files_(std::move(files)),
      slots_(files_.size()),
      depth_(depth ? depth : 1),
      previous_(currentReadAhead) {
  currentReadAhead = this;
  if (!files_.empty()) {
    try {
      reader_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
      // Without a second thread every file is read where it is asked for.
      next_ = files_.size();
    }
  }
}

dcXmlReadAhead_t::~dcXmlReadAhead_t() {
  {
    const std::lock_guard<std::mutex> guard(lock_);
    stop_ = true;
  }
  changed_.notify_all();
  if (reader_.joinable()) reader_.join();
  for (Slot& slot : slots_) release(slot);
  currentReadAhead = previous_;
}

dcXmlReadAhead_t* dcXmlReadAhead_t::current() { return currentReadAhead; }

void dcXmlReadAhead_t::release(Slot& slot) {
  if (slot.root) xmlFreeTree(slot.root);
  dcxml::release(slot.buffer);
  slot.root = nullptr;
  slot.buffer = nullptr;
  slot.textEnd = nullptr;
  std::string().swap(slot.text);
}

void dcXmlReadAhead_t::run() {
  for (std::size_t i = 0; i < files_.size(); ++i) {
    {
      std::unique_lock<std::mutex> guard(lock_);
      changed_.wait(guard, [&] { return stop_ || i < next_ + depth_; });
      if (stop_) return;
      if (i < next_) continue;  // passed over before it was read
    }
    Slot slot;
    read(files_[i], slot);
    {
      const std::lock_guard<std::mutex> guard(lock_);
      if (stop_ || i < next_) {
        release(slot);
        if (stop_) return;
        continue;
      }
      slots_[i] = std::move(slot);
      slots_[i].ready = true;
    }
    changed_.notify_all();
  }
}

// The same steps as dcXmlDocument_t::load and the usage loader's read.
void dcXmlReadAhead_t::read(const File& file, Slot& slot) const {
  if (file.kind == Kind::Text) {
    std::unique_ptr<std::FILE, winfs::FileCloser> in(winfs::openFile(file.path.c_str(), "r"));
    slot.opened = in != nullptr;
    if (!in) {
      slot.error = errno;
      return;
    }
    char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, in.get())) > 0) {
      const void* nul = std::memchr(chunk, '\0', got);
      slot.text.append(chunk, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - chunk) : got);
      if (nul) break;
    }
    return;
  }
  slot.growBy = standardGrowBy();
  std::size_t size = 0;
  if (!readWholeFile(file.path.c_str(), &slot.buffer, &size, 4096) || size == 0 || !slot.buffer) {
    slot.error = errno;
    dcxml::release(slot.buffer);
    slot.buffer = nullptr;
    return;
  }
  slot.root = xmlNewNode(XN_DOCUMENT);
  if (!slot.root) {
    slot.error = errno;
    dcxml::release(slot.buffer);
    slot.buffer = nullptr;
    return;
  }
  slot.root->parent = slot.root;
  slot.textEnd = xmlParse(slot.buffer, slot.root, slot.growBy, XOPT_INVENTORY);
  slot.opened = true;
}

dcXmlReadAhead_t::Slot* dcXmlReadAhead_t::claim(const char* path, Kind kind) {
  if (!path) return nullptr;
  std::unique_lock<std::mutex> guard(lock_);
  std::size_t at = next_;
  const std::size_t end = std::min(files_.size(), next_ + depth_);
  while (at < end && !(files_[at].kind == kind && files_[at].path == path)) ++at;
  if (at == end) return nullptr;
  // Files before it were passed over by the load: let them go.
  for (std::size_t i = next_; i < at; ++i) release(slots_[i]);
  next_ = at;
  changed_.notify_all();
  changed_.wait(guard, [&] { return slots_[at].ready || stop_; });
  next_ = at + 1;
  changed_.notify_all();
  return slots_[at].ready ? &slots_[at] : nullptr;
}

dcXmlReadAhead_t::Taken dcXmlReadAhead_t::takeDocument(const char* path, dcXmlDocument_t& doc) {
  Slot* slot = claim(path, Kind::Document);
  if (!slot) return Taken::NotReady;
  if (slot->growBy != doc.growBy) {
    release(*slot);
    return Taken::NotReady;
  }
  doc.clear();
  doc.options = XOPT_INVENTORY;
  if (!slot->opened) {
    errno = slot->error;
    return Taken::Failed;
  }
  doc.buffer = std::exchange(slot->buffer, nullptr);
  doc.root = std::exchange(slot->root, nullptr);
  doc.textEnd = std::exchange(slot->textEnd, nullptr);
  return Taken::Done;
}

dcXmlReadAhead_t::Taken dcXmlReadAhead_t::takeText(const char* path, std::string& text) {
  Slot* slot = claim(path, Kind::Text);
  if (!slot) return Taken::NotReady;
  if (!slot->opened) {
    errno = slot->error;
    return Taken::Failed;
  }
  text = std::move(slot->text);
  return Taken::Done;
}
