#include "archive/SessionJournal.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "archive/FileInUse.h"
#include "heater/RecordLog.h"
#include "settings/UserFile.h"

namespace o5 {

namespace {

int OpenExclusive(const std::string& path) {
  int fd;
  do fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0666);
  while (fd < 0 && errno == EINTR);
  return fd;
}

// The new file's name in its folder reaches the disk too: after a power cut
// the journal is found under its name, not lost to the folder.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Renames without replacing a file of that name (EEXIST then): the name may
// be another bench's journal. Network file systems refuse the no-replace
// rename (EINVAL); a new link fails as well when the name is taken, and the
// old name then goes. Only where links are refused too is the name looked up
// before a plain rename, which leaves a narrow race.
int RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  if (::link(from.c_str(), to.c_str()) == 0) return ::unlink(from.c_str()) == 0 ? 0 : errno;
  if (errno == EEXIST) return EEXIST;
  struct stat st;
  if (::lstat(to.c_str(), &st) == 0) return EEXIST;
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

std::vector<JournalFile> ListJournals(const std::string& sessionsFolder) {
  std::vector<JournalFile> journals;
  DIR* dir = ::opendir(sessionsFolder.c_str());
  if (!dir) return journals;
  while (const dirent* entry = ::readdir(dir)) {
    const auto name = ParseJournalFileName(entry->d_name);
    if (!name) continue;
    // The kind as the folder lists it spares a look at each file; a file
    // system that does not tell is asked.
    bool regular = entry->d_type == DT_REG;
    if (entry->d_type == DT_UNKNOWN) {
      struct stat st;
      regular = ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode);
    }
    if (regular) journals.push_back({*name, sessionsFolder + "/" + entry->d_name});
  }
  ::closedir(dir);
  std::sort(journals.begin(), journals.end(), [](const JournalFile& a, const JournalFile& b) {
    return a.name.opened != b.name.opened ? a.name.opened > b.name.opened : a.path > b.path;
  });
  return journals;
}

std::string JournalFailureText(const std::string& folder, int error) {
  return "Не удалось записать журнал сеанса в папку \"" + folder + "\": " + SystemReason(error);
}

SessionJournal::SessionJournal(Clock clock) : clock_(std::move(clock)) {}

SessionJournal::~SessionJournal() { End(); }

void SessionJournal::Begin(const DataFolder& data, const LocalTime& opened) {
  End();
  active_ = true;
  data_ = data;
  opened_ = opened;
  stamp_ = opened;
  serial_.reset();
  path_.clear();
  size_ = 0;
  cutLine_ = false;
  dirty_ = false;
  failed_ = false;
  failure_.reset();
}

void SessionJournal::End() {
  if (fd_ >= 0) {
    if (dirty_) Sync();
    ::close(fd_);
    fd_ = -1;
  }
  active_ = false;
}

void SessionJournal::Append(std::string_view line) {
  if (!active_) return;
  if (fd_ < 0 && !Open()) return;
  std::string bytes;
  bytes.reserve(line.size() + 2 * kRecordLogLineEnd.size());
  // The piece of a failed line that could not be taken back ends here, so
  // that it does not run into this one.
  if (cutLine_) bytes.append(kRecordLogLineEnd);
  bytes.append(line);
  bytes.append(kRecordLogLineEnd);
  if (Write(bytes) && clock_() - lastSync_ >= kSyncInterval) Sync();
}

void SessionJournal::NameHeater(uint32_t serial) {
  if (!active_) return;
  serial_ = serial;
  if (fd_ < 0) return;  // the file gets the name when it is made
  // The name of its own time, or as Open does the next free one.
  LocalTime stamp = stamp_;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string renamed = data_.Sessions() + "/" + JournalFileName({stamp, serial_});
    if (renamed == path_) return;
    const int error = RenameNoReplace(path_, renamed);
    if (error == 0) {
      path_ = renamed;
      stamp_ = stamp;
      SyncFolder(data_.Sessions());
      return;
    }
    if (error != EEXIST) {
      Fail(error);
      return;
    }
    stamp = LocalTimeOf(TimeOf(stamp) + 1);
  }
  Fail(EEXIST);
}

void SessionJournal::Tick() {
  if (fd_ >= 0 && dirty_ && clock_() - lastSync_ >= kSyncInterval) Sync();
}

std::optional<std::string> SessionJournal::TakeFailure() {
  std::optional<std::string> failure = std::move(failure_);
  failure_.reset();
  return failure;
}

bool SessionJournal::Open() {
  const std::string folder = data_.Sessions();
  if (const int error = MakeDataFolder(data_, folder)) {
    Fail(error);
    return false;
  }
  // The opening's own second, unless a journal of that second is there
  // already (another bench on a shared folder): then the next free one.
  LocalTime stamp = opened_;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string path = folder + "/" + JournalFileName({stamp, serial_});
    const int fd = OpenExclusive(path);
    if (fd >= 0) {
      // Marked in use before anything is in it. Another copy's retention may
      // have deleted the empty file in the moment before: then it is made
      // again. A file system without locks leaves it unmarked.
      MarkInUse(fd);
      if (!StillNamed(fd, path)) {
        ::close(fd);
        continue;
      }
      fd_ = fd;
      path_ = path;
      stamp_ = stamp;
      size_ = 0;
      lastSync_ = clock_();
      SyncFolder(folder);
      return true;
    }
    if (errno != EEXIST) {
      Fail(errno);
      return false;
    }
    stamp = LocalTimeOf(TimeOf(stamp) + 1);
  }
  Fail(EEXIST);
  return false;
}

bool SessionJournal::Write(std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = n < 0 ? errno : EIO;
      // Whole lines only: the part of this one that went out is taken back.
      if (done > 0 && ::ftruncate(fd_, static_cast<off_t>(size_)) != 0) {
        size_ += done;
        cutLine_ = true;
      }
      Fail(error);
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  size_ += done;
  dirty_ = true;
  cutLine_ = false;
  return true;
}

void SessionJournal::Sync() {
  if (::fdatasync(fd_) != 0) Fail(errno);
  lastSync_ = clock_();
  dirty_ = false;
  ++syncs_;
}

void SessionJournal::Fail(int error) {
  if (failed_) return;
  failed_ = true;
  failure_ = JournalFailureText(data_.Sessions(), error);
}

}  // namespace o5
