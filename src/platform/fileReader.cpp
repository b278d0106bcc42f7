// winfs::FileReader: whole files through an io_uring ring, one call into the
// kernel each.
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

// The ring's one descriptor slot, where each file is opened.
constexpr unsigned SLOT = 0;
// An opening and a read are in the ring at once.
constexpr unsigned ENTRIES = 2;
enum : std::uint64_t { OPENED = 1, READ = 2 };

}  // namespace

FileReader::FileReader() {
  const int before = errno;
  buffer_.reset(new (std::nothrow) char[BUFFER_SIZE]);
  ring_.reset(new (std::nothrow) Ring);
  if (buffer_ && ring_) ring_->ready = io_uring_queue_init(ENTRIES, &ring_->ring, 0) == 0;
  if (!buffer_ || !ring_ || !ring_->ready || io_uring_register_files_sparse(&ring_->ring, 1) < 0) close();
  errno = before;
}

FileReader::~FileReader() = default;

void FileReader::close() { ring_.reset(); }

long FileReader::readWhole(int folderFd, const char* name) {
  if (!ring_ || !name) return -1;
  io_uring* ring = &ring_->ring;
  io_uring_sqe* open = io_uring_get_sqe(ring);
  io_uring_sqe* read = open ? io_uring_get_sqe(ring) : nullptr;
  if (!read) {
    // Never so with an empty ring of two entries; a ring in some other state
    // is given up rather than trusted.
    close();
    return -1;
  }
  // The read runs only once the opening has succeeded (the link); a file
  // that fills the buffer may hold more than it.
  io_uring_prep_openat_direct(open, folderFd, name, O_RDONLY, 0, SLOT);
  open->flags |= IOSQE_IO_LINK;
  open->user_data = OPENED;
  io_uring_prep_read(read, SLOT, buffer_.get(), BUFFER_SIZE, 0);
  read->flags |= IOSQE_FIXED_FILE;
  read->user_data = READ;

  const int before = errno;
  // One call submits both and waits for both.
  int submitted = io_uring_submit_and_wait(ring, ENTRIES);
  while (submitted == -EINTR) submitted = io_uring_submit_and_wait(ring, 0);
  if (submitted != static_cast<int>(ENTRIES)) {
    close();
    errno = before;
    return -1;
  }
  int opened = -1, got = -1;
  for (unsigned reaped = 0; reaped < ENTRIES;) {
    io_uring_cqe* done = nullptr;
    const int waited = io_uring_wait_cqe(ring, &done);
    if (waited == -EINTR) continue;
    if (waited < 0 || !done) {
      close();
      errno = before;
      return -1;
    }
    (done->user_data == OPENED ? opened : got) = done->res;
    io_uring_cqe_seen(ring, done);
    ++reaped;
  }
  errno = before;
  if (opened < 0 || got < 0 || static_cast<std::size_t>(got) >= BUFFER_SIZE) return -1;
  return got;
}

}  // namespace winfs
