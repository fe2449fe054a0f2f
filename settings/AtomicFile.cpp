// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <thread>

namespace o5 {

namespace {

namespace fs = std::filesystem;

// Another copy of the tool holds the folder lock only for the few milliseconds
// of one write; a holder that stays longer is stopped or stuck, and waiting
// for it must not freeze the tool.
constexpr int kLockAttempts = 400;
constexpr auto kLockRetryPause = std::chrono::milliseconds(5);
constexpr int kNameAttempts = 100;
constexpr const char* kTemporarySuffix = ".tmp";

std::atomic<unsigned> temporaryCounter{0};

// Cleanup after a failure must not hide the failure's own error number.
class KeepErrno {
 public:
  KeepErrno() : saved_(errno) {}
  ~KeepErrno() { errno = saved_; }
  KeepErrno(const KeepErrno&) = delete;
  KeepErrno& operator=(const KeepErrno&) = delete;

 private:
  int saved_;
};

template <class Call>
int Retrying(Call call) {
  int result;
  do result = call();
  while (result < 0 && errno == EINTR);
  return result;
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Gives the new file the old one's owner and permission bits, then its content,
// and flushes it: the rename that follows must never expose unflushed data.
bool Fill(int fd, std::string_view content, const struct stat* old) {
  if (old) {
    // Only a privileged writer can hand a file to its former owner; anyone
    // else keeps the file as their own, as an in-place write would have done.
    (void)::fchown(fd, old->st_uid, old->st_gid);
    if (::fchmod(fd, old->st_mode & 07777) != 0) return false;
  }
  return WriteAll(fd, content) && Retrying([&] { return ::fsync(fd); }) == 0;
}

// The temporary names carry the writer's process id: ".<name>.<pid>.<n>.tmp",
// so that leftovers of killed writers can be told from files in use.
std::string TemporaryName(const std::string& name) {
  return "." + name + "." + std::to_string(::getpid()) + "." + std::to_string(++temporaryCounter) +
         kTemporarySuffix;
}

enum class Outcome { Written, Failed, Unsupported };

// An unnamed file vanishes by itself when the writer is killed before it is
// complete; only the moment between naming and renaming it can leave one
// behind, and a later write clears that away.
Outcome WriteUnnamed(int folderFd, const std::string& name, std::string_view content,
                     const struct stat* old, std::string* temporary) {
  const int fd = Retrying([&] { return ::openat(folderFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666); });
  if (fd < 0)
    return errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL ? Outcome::Unsupported
                                                                      : Outcome::Failed;
  if (!Fill(fd, content, old)) {
    KeepErrno keep;
    ::close(fd);
    return Outcome::Failed;
  }
  const std::string procPath = "/proc/self/fd/" + std::to_string(fd);
  bool linked = false;
  for (int i = 0; i < kNameAttempts && !linked; ++i) {
    *temporary = TemporaryName(name);
    linked = ::linkat(AT_FDCWD, procPath.c_str(), folderFd, temporary->c_str(), AT_SYMLINK_FOLLOW) == 0;
    if (!linked && errno != EEXIST) break;
  }
  ::close(fd);
  // Without /proc an unnamed file cannot be given a name.
  return linked ? Outcome::Written : Outcome::Unsupported;
}

bool WriteNamed(int folderFd, const std::string& name, std::string_view content, const struct stat* old,
                std::string* temporary) {
  int fd = -1;
  for (int i = 0; i < kNameAttempts && fd < 0; ++i) {
    *temporary = TemporaryName(name);
    fd = Retrying([&] {
      return ::openat(folderFd, temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    });
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  bool written = Fill(fd, content, old);
  if (!written) {
    KeepErrno keep;
    ::close(fd);
  } else {
    written = ::close(fd) == 0;
  }
  if (!written) {
    KeepErrno keep;
    ::unlinkat(folderFd, temporary->c_str(), 0);
  }
  return written;
}

// Writes over the file's own content, as a program editing it directly does:
// the way out where the folder forbids a new file beside it. A write that
// fails half-way here leaves the file damaged, so room for the new content is
// claimed first: a full disk is found before the old content is touched.
bool WriteInPlace(int folderFd, const std::string& name, std::string_view content) {
  // Not blocking and never the controlling terminal, should a device have
  // taken the file's place since it was checked.
  const int fd = Retrying(
      [&] { return ::openat(folderFd, name.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK); });
  if (fd < 0) return false;
  bool written = true;
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    written = false;
  } else if (!S_ISREG(st.st_mode)) {
    errno = EINVAL;
    written = false;
  }
  if (written && !content.empty()) {
    // Without support for claiming room the write itself finds a full disk.
    const int claimed = ::posix_fallocate(fd, 0, static_cast<off_t>(content.size()));
    if (claimed == ENOSPC || claimed == EDQUOT || claimed == EFBIG) {
      errno = claimed;
      written = false;
    }
  }
  for (std::string_view rest = content; written && !rest.empty();) {
    const ssize_t n = ::pwrite(fd, rest.data(), rest.size(), static_cast<off_t>(content.size() - rest.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) written = false;
    else rest.remove_prefix(static_cast<size_t>(n));
  }
  written = written && Retrying([&] { return ::ftruncate(fd, static_cast<off_t>(content.size())); }) == 0 &&
            Retrying([&] { return ::fsync(fd); }) == 0;
  if (!written) {
    KeepErrno keep;
    ::close(fd);
    return false;
  }
  return ::close(fd) == 0;
}

// The process id in a temporary name, or 0 when `entry` is no such name for
// `name`.
pid_t TemporaryOwner(std::string_view entry, std::string_view name) {
  const std::string_view suffix = kTemporarySuffix;
  if (entry.size() < name.size() + suffix.size() + 5 || entry[0] != '.' ||
      entry.substr(1, name.size()) != name || entry[name.size() + 1] != '.' ||
      entry.substr(entry.size() - suffix.size()) != suffix)
    return 0;
  entry = entry.substr(name.size() + 2, entry.size() - name.size() - 2 - suffix.size());
  pid_t pid = 0;
  const auto [end, ec] = std::from_chars(entry.data(), entry.data() + entry.size(), pid);
  if (ec != std::errc() || end == entry.data() + entry.size() || *end != '.' || pid <= 0) return 0;
  for (const char* p = end + 1; p != entry.data() + entry.size(); ++p)
    if (*p < '0' || *p > '9') return 0;
  return end + 1 == entry.data() + entry.size() ? 0 : pid;
}

// A link to a settings file kept elsewhere must keep pointing there: the
// rename replaces the file it leads to, not the link itself. The link is
// followed link by link rather than resolved as a whole, because the file it
// leads to may not exist yet (the first write creates it there). A chain
// longer than the system follows is left as it is; writing through it then
// fails as it would for any program.
std::string FollowLinks(const std::string& path) {
  constexpr int kMaxLinks = 40;
  fs::path p(path);
  for (int i = 0; i < kMaxLinks; ++i) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(p, ec)) || ec) break;
    const fs::path next = fs::read_symlink(p, ec);
    if (ec) break;
    p = next.is_absolute() ? next : p.parent_path() / next;
  }
  return p.string();
}

}  // namespace

AtomicFile::AtomicFile(const std::string& path) : target_(FollowLinks(path)) {
  const fs::path target(target_);
  name_ = target.filename().string();
  const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
  folderFd_ = Retrying([&] { return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
  if (folderFd_ < 0 && errno == EACCES) {
    // A folder the user may pass through but not list still holds files the
    // user may write; such a handle can neither be locked nor flushed.
    folderFd_ = Retrying([&] { return ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC); });
    folderListable_ = false;
  }
  if (folderFd_ < 0) {
    openError_ = errno;
    return;
  }
  if (!folderListable_) return;
  for (int i = 0; i < kLockAttempts; ++i) {
    if (::flock(folderFd_, LOCK_EX | LOCK_NB) == 0) break;
    if (errno != EWOULDBLOCK && errno != EINTR) break;  // no locks on this file system
    std::this_thread::sleep_for(kLockRetryPause);
  }
}

AtomicFile::~AtomicFile() {
  if (folderFd_ >= 0) ::close(folderFd_);
}

bool AtomicFile::Fail(int error) {
  error_ = error != 0 ? error : EIO;
  return false;
}

bool AtomicFile::Replace(std::string_view content) {
  error_ = 0;
  if (folderFd_ < 0) return Fail(openError_);
  if (name_.empty() || name_ == "." || name_ == "..") return Fail(EISDIR);

  struct stat old;
  const bool exists = ::fstatat(folderFd_, name_.c_str(), &old, 0) == 0;
  if (!exists && errno != ENOENT) return Fail(errno);
  if (exists) {
    if (S_ISDIR(old.st_mode)) return Fail(EISDIR);
    if (!S_ISREG(old.st_mode)) return Fail(EINVAL);
    // The rename would succeed over a write-protected file, since it needs
    // only the folder's permission. A write-protected file is a choice of its
    // owner, and an in-place write would be refused: refuse it here too.
    if (::faccessat(folderFd_, name_.c_str(), W_OK, AT_EACCESS) != 0) return Fail(errno);
  }
  RemoveStaleTemporaries();

  if (WriteBeside(content, exists ? &old : nullptr)) return true;
  const int error = errno;
  // The folder refuses a new name or the rename while the file itself may be
  // written.
  if (inPlaceAllowed_ && exists && (error == EACCES || error == EPERM))
    return WriteInPlace(folderFd_, name_, content) || Fail(errno);
  return Fail(error);
}

bool AtomicFile::WriteBeside(std::string_view content, const struct stat* old) {
  std::string temporary;
  switch (WriteUnnamed(folderFd_, name_, content, old, &temporary)) {
    case Outcome::Written:
      return Commit(temporary);
    case Outcome::Failed:
      return false;
    case Outcome::Unsupported:
      break;
  }
  return WriteNamed(folderFd_, name_, content, old, &temporary) && Commit(temporary);
}

bool AtomicFile::Commit(const std::string& temporary) {
  if (::renameat(folderFd_, temporary.c_str(), folderFd_, name_.c_str()) != 0) {
    KeepErrno keep;
    ::unlinkat(folderFd_, temporary.c_str(), 0);
    return false;
  }
  // The rename itself lives in the folder: flush it, or a power failure could
  // bring back the old name after the caller was told the value is stored.
  if (folderListable_ && Retrying([&] { return ::fsync(folderFd_); }) != 0 && errno != EINVAL) return false;
  return true;
}

void AtomicFile::RemoveStaleTemporaries() {
  if (!folderListable_) return;
  const int fd = ::openat(folderFd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  DIR* dir = ::fdopendir(fd);
  if (!dir) {
    ::close(fd);
    return;
  }
  const pid_t self = ::getpid();
  while (const dirent* entry = ::readdir(dir)) {
    const pid_t owner = TemporaryOwner(entry->d_name, name_);
    // A live process may be in the middle of its own write; only the leftovers
    // of writers that are gone are removed.
    if (owner == 0 || owner == self) continue;
    if (::kill(owner, 0) != 0 && errno == ESRCH) ::unlinkat(folderFd_, entry->d_name, 0);
  }
  ::closedir(dir);
}

}  // namespace o5
