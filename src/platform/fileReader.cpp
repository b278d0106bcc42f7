// winfs::FileReader: whole files through an io_uring ring, a batch of them
// in one call into the kernel.
#include <fcntl.h>
#include <liburing.h>

#include <cerrno>
#include <new>

#include "winfs.h"

namespace winfs {

struct FileReader::Ring {
  Ring() = default;
  Ring(const Ring&) = delete;
  Ring& operator=(const Ring&) = delete;
  ~Ring() {
    if (ready) io_uring_queue_exit(&ring);
  }
  io_uring ring{};
  bool ready = false;
};

namespace {

// Each file of a batch has an opening and a read in the ring.
constexpr unsigned ENTRIES = 2 * FileReader::BATCH;
// A completion's file and step: the file's place in the batch, times two,
// plus one for the read.
constexpr std::uint64_t stepOf(std::size_t file, bool read) { return 2 * file + (read ? 1 : 0); }

}  // namespace

FileReader::FileReader() {
  const int before = errno;
  buffers_.reset(new (std::nothrow) char[BATCH * BUFFER_SIZE]);
  ring_.reset(new (std::nothrow) Ring);
  if (buffers_ && ring_) ring_->ready = io_uring_queue_init(ENTRIES, &ring_->ring, 0) == 0;
  if (!buffers_ || !ring_ || !ring_->ready || io_uring_register_files_sparse(&ring_->ring, BATCH) < 0) {
    ring_.reset();
    buffers_.reset();
  }
  errno = before;
}

FileReader::~FileReader() = default;

void FileReader::readAhead(const Folder& folder, const char* const* names, std::size_t count) {
  read_ = taken_ = 0;
  if (!ring_ || folder.fd_ < 0) return;
  io_uring* ring = &ring_->ring;
  for (std::size_t i = 0; i < count && read_ < BATCH; ++i) {
    if (!names[i] || !plainName(names[i])) continue;
    io_uring_sqe* open = io_uring_get_sqe(ring);
    io_uring_sqe* read = open ? io_uring_get_sqe(ring) : nullptr;
    if (!read) break;  // never so: the ring holds a whole batch
    // File k opens into descriptor slot k (taking it over from the file
    // before), and is read once the opening has succeeded (the link); a file
    // that fills its buffer may hold more than it.
    const auto slot = static_cast<unsigned>(read_);
    io_uring_prep_openat_direct(open, folder.fd_, names[i], O_RDONLY, 0, slot);
    open->flags |= IOSQE_IO_LINK;
    open->user_data = stepOf(read_, false);
    io_uring_prep_read(read, static_cast<int>(slot), buffers_.get() + read_ * BUFFER_SIZE, BUFFER_SIZE, 0);
    read->flags |= IOSQE_FIXED_FILE;
    read->user_data = stepOf(read_, true);
    ahead_[read_++] = {folder.fd_, names[i], -1};
  }
  if (read_ == 0) return;

  const int before = errno;
  const auto steps = static_cast<int>(2 * read_);
  int submitted = io_uring_submit_and_wait(ring, static_cast<unsigned>(steps));
  while (submitted == -EINTR) submitted = io_uring_submit_and_wait(ring, 0);
  // Each request submitted is waited for, so that none is left to write into
  // the buffers; a ring that takes less than it was given, or fails a wait,
  // is then given up rather than trusted.
  bool trusted = submitted == steps;
  int opened[BATCH] = {};
  for (int reaped = 0; reaped < submitted;) {
    io_uring_cqe* done = nullptr;
    const int waited = io_uring_wait_cqe(ring, &done);
    if (waited == -EINTR) continue;
    if (waited < 0 || !done) {
      trusted = false;
      break;
    }
    const std::size_t file = done->user_data / 2;
    if (file < read_) (done->user_data % 2 ? ahead_[file].size : opened[file]) = done->res;
    io_uring_cqe_seen(ring, done);
    ++reaped;
  }
  if (!trusted) {
    // The buffers stay with the reader: a request whose completion a failed
    // wait lost may still write into them after the ring is gone.
    ring_.reset();
    read_ = 0;
  }
  for (std::size_t k = 0; k < read_; ++k)
    if (opened[k] < 0 || ahead_[k].size < 0 || static_cast<std::size_t>(ahead_[k].size) >= BUFFER_SIZE)
      ahead_[k].size = -1;
  errno = before;
}

long FileReader::readWhole(const Folder& folder, const char* name) {
  // What the ring cannot read leaves the files read ahead where they are.
  if (!ring_ || folder.fd_ < 0 || !name || !plainName(name)) return -1;
  // Files read ahead are taken in their order; any other file drops them.
  while (taken_ < read_) {
    const Ahead& next = ahead_[taken_++];
    if (next.folderFd == folder.fd_ && next.name == name) {
      current_ = buffers_.get() + (taken_ - 1) * BUFFER_SIZE;
      return next.size;
    }
  }
  readAhead(folder, &name, 1);
  if (read_ == 0) return -1;
  taken_ = 1;
  current_ = buffers_.get();
  return ahead_[0].size;
}

}  // namespace winfs
