// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/FileInUse.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace o5 {

namespace {

// One byte at 1 TiB: past the end of any journal, within every server's
// 64-bit lock range.
constexpr off_t kMarkByte = off_t{1} << 40;

std::atomic<int> refusedWith{0};

int Lock(int fd, short type) {
  if (const int error = refusedWith.load()) return error;
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = kMarkByte;
  lock.l_len = 1;
  if (::fcntl(fd, F_OFD_SETLK, &lock) == 0) return 0;
  // A kernel without locks of the open file: the process's own, which hold
  // as long as the tool does not close another descriptor of the file.
  if (errno != EINVAL) return errno;
  return ::fcntl(fd, F_SETLK, &lock) == 0 ? 0 : errno;
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(Descriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

int MarkInUse(int fd) { return Lock(fd, F_WRLCK); }

bool LocksRefused(int error) { return error == ENOLCK || error == EINVAL || error == EOPNOTSUPP; }

int RefuseLocks(int error) { return refusedWith.exchange(error); }

bool StillNamed(int fd, const std::string& path) {
  struct stat open, named;
  return ::fstat(fd, &open) == 0 && ::stat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
         open.st_ino == named.st_ino;
}

bool DeleteUnlessInUse(const std::vector<std::string>& paths) {
  // Every mark is held until all are deleted: a writer cannot take up a file
  // between the look and the deletion (a new file is checked by its writer
  // with StillNamed once marked).
  std::vector<Descriptor> held;
  std::vector<const std::string*> present;
  for (const std::string& path : paths) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
      if (errno == ENOENT) continue;
      return false;
    }
    if (Lock(fd.get(), F_RDLCK) != 0) return false;
    held.push_back(std::move(fd));
    present.push_back(&path);
  }
  bool deleted = true;
  for (const std::string* path : present)
    if (::unlink(path->c_str()) != 0 && errno != ENOENT) deleted = false;
  return deleted;
}

}  // namespace o5
