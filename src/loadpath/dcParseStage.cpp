#include "dcParseStage.h"

#include <algorithm>
#include <utility>

namespace {

unsigned workerCount(unsigned asked) {
  return std::max(1u, asked ? asked : std::thread::hardware_concurrency());
}

}  // namespace

dcParseStage_t::dcParseStage_t(std::vector<dcDataFile_t> files, unsigned workers)
    : files_(std::move(files)), window_(FILES_PER_WORKER * workerCount(workers)), slots_(window_) {
  const std::size_t count = std::min<std::size_t>(workerCount(workers), files_.size());
  workers_.reserve(count);
  for (std::size_t i = 0; i < count; ++i) workers_.emplace_back([this] { work(); });
}

dcParseStage_t::~dcParseStage_t() {
  {
    const std::lock_guard<std::mutex> hold(lock_);
    stop_ = true;
  }
  changed_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void dcParseStage_t::work() {
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    // A file is taken up only when its slot is free: within the window
    // ahead of the loading thread.
    changed_.wait(hold, [&] { return stop_ || claimed_ >= files_.size() || claimed_ < taken_ + window_; });
    if (stop_ || claimed_ >= files_.size()) return;
    const std::size_t index = claimed_++;
    hold.unlock();
    const dcDataFile_t& file = files_[index];
    dcPreparedAssetData_t data =
        dcQsClient_t::prepareAssetData(file.path.c_str(), file.pcName.c_str(), file.dataType.c_str());
    hold.lock();
    Slot& slot = slots_[index % window_];
    slot.data = std::move(data);
    slot.ready = true;
    changed_.notify_all();
  }
}

dcPreparedAssetData_t dcParseStage_t::next() {
  std::unique_lock<std::mutex> hold(lock_);
  if (taken_ >= files_.size()) return {};
  Slot& slot = slots_[taken_ % window_];
  changed_.wait(hold, [&] { return slot.ready; });
  dcPreparedAssetData_t data = std::move(slot.data);
  slot = Slot();
  ++taken_;
  hold.unlock();
  changed_.notify_all();
  return data;
}

std::unique_ptr<dcFilePreparer_t> dcParseStage_t::start(std::vector<dcDataFile_t> files) {
  return std::make_unique<dcParseStage_t>(std::move(files));
}
