#include "dcParseStage.h"

#include <algorithm>
#include <cerrno>
#include <utility>

namespace {

unsigned workerCount(unsigned asked) {
  if (asked) return asked;
  const unsigned cores = std::thread::hardware_concurrency();
  return cores > 1 ? cores - 1 : 1;
}

// The file text a result holds until it is applied (a hardware, software or
// Windows file's; a usage result is kept as the client's document).
std::size_t textHeld(const dcPreparedAssetData_t& data) {
  const dcXmlPrepared_t& file = data.values.file;
  return file.buffer && file.textEnd ? static_cast<std::size_t>(file.textEnd - file.buffer) : 0;
}

}  // namespace

dcParseStage_t::dcParseStage_t(std::vector<dcDataFile_t> files, unsigned workers, std::size_t textBudget)
    : files_(std::move(files)),
      window_(FILES_PER_THREAD * (workerCount(workers) + 1)),
      textBudget_(std::max<std::size_t>(textBudget, 1)),
      slots_(window_) {
  const std::size_t count = std::min<std::size_t>(workerCount(workers), files_.size());
  workers_.reserve(count);
  for (std::size_t i = 0; i < count; ++i) workers_.emplace_back([this] { work(); });
}

dcParseStage_t::~dcParseStage_t() {
  {
    const std::lock_guard<std::mutex> hold(lock_);
    stop_ = true;
  }
  roomFree_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void dcParseStage_t::prepareNext(std::unique_lock<std::mutex>& hold, winfs::FileReader& reader,
                                 std::size_t most) {
  const std::size_t first = claimed_;
  const std::size_t count = std::min({most, files_.size() - first, taken_ + window_ - first});
  claimed_ += count;
  hold.unlock();
  if (count > 1) {
    // The files of the batch that will be read are read in one go.
    const char* names[winfs::FileReader::BATCH];
    std::size_t reads = 0;
    for (std::size_t index = first; index < first + count && reads < std::size(names); ++index)
      if (files_[index].folder == files_[first].folder &&
          dcAssetConsoleEngine_t::readsDataFile(files_[index]))
        names[reads++] = files_[index].name;
    reader.readAhead(*files_[first].folder, names, reads);
  }
  for (std::size_t index = first; index < first + count; ++index) {
    dcPreparedAssetData_t data = dcAssetConsoleEngine_t::prepareDataFile(files_[index], reader);
    hold.lock();
    Slot& slot = slots_[index % window_];
    slot.data = std::move(data);
    slot.ready = true;
    textWaiting_ += textHeld(slot.data);
    const bool wanted = index == taken_ && loaderWaiting_;
    hold.unlock();
    if (wanted) resultReady_.notify_one();
  }
  hold.lock();
}

void dcParseStage_t::work() {
  winfs::FileReader reader;
  std::unique_lock<std::mutex> hold(lock_);
  while (!stop_ && claimed_ < files_.size()) {
    if (canClaim()) {
      prepareNext(hold, reader, winfs::FileReader::BATCH);
      continue;
    }
    roomWanted_ = true;
    roomFree_.wait(hold);
  }
}

dcPreparedAssetData_t dcParseStage_t::next() {
  std::unique_lock<std::mutex> hold(lock_);
  if (taken_ >= files_.size()) return {};
  Slot& slot = slots_[taken_ % window_];
  while (!slot.ready) {
    if (canClaim()) {
      // errno stays as when a worker prepares the file.
      const int error = errno;
      prepareNext(hold, loaderReader_, 1);
      errno = error;
      continue;
    }
    loaderWaiting_ = true;
    resultReady_.wait(hold);
    loaderWaiting_ = false;
  }
  textWaiting_ -= textHeld(slot.data);
  dcPreparedAssetData_t data = std::move(slot.data);
  slot = Slot();
  ++taken_;
  // Sleeping workers are woken once, when half the window and budget are free.
  const bool wake = roomWanted_ && claimed_ - taken_ <= window_ / 2 && textWaiting_ <= textBudget_ / 2;
  if (wake) roomWanted_ = false;
  hold.unlock();
  if (wake) roomFree_.notify_all();
  return data;
}

std::unique_ptr<dcFilePreparer_t> dcParseStage_t::start(std::vector<dcDataFile_t> files) {
  return std::make_unique<dcParseStage_t>(std::move(files));
}
