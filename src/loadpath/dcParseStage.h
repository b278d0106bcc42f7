// The parse stage of a data load: the scan's data files are read and parsed
// by a small pool of worker threads (one per core), each into a
// self-contained result, while the loading thread takes the results strictly
// in the scan's order and applies them to the clients. Lists, traces and
// progress therefore come out exactly as when one thread does everything.
//
// Workers run at most `window` files ahead of the loading thread, so the
// memory in flight stays bounded; every listed file is prepared exactly once
// and taken exactly once, and no other file is touched.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "dcAssetConsoleEngine.h"

class dcParseStage_t : public dcFilePreparer_t {
 public:
  static constexpr std::size_t FILES_PER_WORKER = 8;

  // workers 0: one per core.
  explicit dcParseStage_t(std::vector<dcDataFile_t> files, unsigned workers = 0);
  // Stops the workers; results not taken are freed.
  ~dcParseStage_t() override;
  dcParseStage_t(const dcParseStage_t&) = delete;
  dcParseStage_t& operator=(const dcParseStage_t&) = delete;

  // The prepared data of the next file in list order, waited for. Past the
  // end of the list: an empty result.
  dcPreparedAssetData_t next() override;

  // The engine's preparer: a stage for files.
  static std::unique_ptr<dcFilePreparer_t> start(std::vector<dcDataFile_t> files);

 private:
  struct Slot {
    bool ready = false;
    dcPreparedAssetData_t data;
  };
  void work();

  const std::vector<dcDataFile_t> files_;
  const std::size_t window_;
  std::vector<Slot> slots_;  // file i in slots_[i % window_]
  std::mutex lock_;
  std::condition_variable changed_;
  std::size_t claimed_ = 0;  // the first file no worker has taken up
  std::size_t taken_ = 0;    // the first file the loading thread has not taken
  bool stop_ = false;
  std::vector<std::thread> workers_;
};
