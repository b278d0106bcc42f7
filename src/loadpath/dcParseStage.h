// The parse stage of a data load: the scan's data files are read and parsed
// into self-contained results by a small pool of worker threads, while the
// loading thread takes the results strictly in the scan's order and applies
// them to the clients. Lists, traces and progress therefore come out exactly
// as when one thread does everything.
//
// Files are taken up in list order, each by exactly one thread, and at most
// `window()` files ahead of the loading thread, and none while the waiting
// results hold `textBudget` bytes of file text, so the memory in flight
// stays bounded and no other file is touched. When its next result is not
// ready, the loading thread prepares the next file nobody has taken up
// rather than sleep; it sleeps only when no file may be taken up. So one
// worker per core but one keeps every core busy without crowding them.
//
// Each side sleeps only when it has nothing to do and is woken only when
// what it waits for has come: the loading thread by the result it needs,
// the workers once half the window and budget are free.
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
  // Files in flight per thread that prepares them (the workers and the
  // loading thread): enough for either side to run on while the other is
  // held up, as when a thread first touches fresh memory and the kernel
  // clears a 2 MB page (milliseconds, where a file takes microseconds).
  static constexpr std::size_t FILES_PER_THREAD = 256;
  // A hardware, software or Windows file's result holds its text until applied.
  static constexpr std::size_t TEXT_BUDGET = 64 << 20;

  // workers 0: one per core but one, at least one. textBudget 0 counts as 1.
  explicit dcParseStage_t(std::vector<dcDataFile_t> files, unsigned workers = 0,
                          std::size_t textBudget = TEXT_BUDGET);
  // Stops the workers; results not taken are freed.
  ~dcParseStage_t() override;
  dcParseStage_t(const dcParseStage_t&) = delete;
  dcParseStage_t& operator=(const dcParseStage_t&) = delete;

  // The prepared data of the next file in list order. Past the end of the
  // list: an empty result.
  dcPreparedAssetData_t next() override;

  // How many files past the last one taken may be taken up.
  std::size_t window() const { return window_; }

  // The engine's preparer: a stage for files.
  static std::unique_ptr<dcFilePreparer_t> start(std::vector<dcDataFile_t> files);

 private:
  struct Slot {
    bool ready = false;
    dcPreparedAssetData_t data;
  };
  bool canClaim() const {
    return claimed_ < files_.size() && claimed_ < taken_ + window_ && textWaiting_ < textBudget_;
  }
  // Takes up the next files, at most `most` (a worker a reader's batch, the
  // loading thread one, to be back soon for its result), and prepares them
  // with the lock let go, reading them through reader (each thread has its own).
  void prepareNext(std::unique_lock<std::mutex>& hold, winfs::FileReader& reader, std::size_t most);
  void work();

  const std::vector<dcDataFile_t> files_;
  const std::size_t window_;
  const std::size_t textBudget_;
  std::vector<Slot> slots_;  // file i in slots_[i % window_]
  std::mutex lock_;
  std::condition_variable resultReady_;  // the loading thread's next result
  std::condition_variable roomFree_;     // room in the window and the budget for the workers
  std::size_t claimed_ = 0;              // the first file nobody has taken up
  std::size_t taken_ = 0;                // the first file the loading thread has not taken
  std::size_t textWaiting_ = 0;          // file text of the results ready and not taken
  bool loaderWaiting_ = false;
  bool roomWanted_ = false;  // a worker sleeps until room is free
  bool stop_ = false;
  winfs::FileReader loaderReader_;  // the loading thread's
  std::vector<std::thread> workers_;
};
