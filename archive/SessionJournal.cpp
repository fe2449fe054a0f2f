// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/SessionJournal.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <map>

#include "archive/FileInUse.h"
#include "heater/RecordLog.h"
#include "heater/TextTranslation.h"
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

namespace {

// The line naming the zone whose clock the timeline's times are on, in the
// tool's language as the timeline's other lines.
constexpr const char* kTimeZoneCaption = O5_TEXT("SessionJournal", "Часовой пояс: ");

// The regular files of a folder, by name (not following links).
template <typename Visit>
void ForEachRegularFile(const std::string& folder, Visit visit) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    // The kind as the folder lists it spares a look at each file; a file
    // system that does not tell is asked.
    bool regular = entry->d_type == DT_REG;
    if (entry->d_type == DT_UNKNOWN) {
      struct stat st;
      regular = ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode);
    }
    if (regular) visit(std::string_view(entry->d_name));
  }
  ::closedir(dir);
}

bool Newer(const JournalName& a, const std::string& pathA, const JournalName& b, const std::string& pathB) {
  return a.opened != b.opened ? a.opened > b.opened : pathA > pathB;
}

}  // namespace

std::vector<JournalFile> ListJournals(const std::string& sessionsFolder) {
  std::vector<JournalFile> journals;
  ForEachRegularFile(sessionsFolder, [&](std::string_view fileName) {
    if (const auto name = ParseJournalFileName(fileName))
      journals.push_back({*name, sessionsFolder + "/" + std::string(fileName)});
  });
  std::sort(journals.begin(), journals.end(),
            [](const JournalFile& a, const JournalFile& b) { return Newer(a.name, a.path, b.name, b.path); });
  return journals;
}

std::vector<SessionFiles> ListSessions(const std::string& sessionsFolder) {
  std::map<std::string, SessionFiles> sessions;  // by the journal's name
  ForEachRegularFile(sessionsFolder, [&](std::string_view fileName) {
    const std::string path = sessionsFolder + "/" + std::string(fileName);
    if (const auto name = ParseJournalFileName(fileName)) {
      SessionFiles& session = sessions[std::string(fileName)];
      session.name = *name;
      session.journal = path;
    } else if (const auto timeline = ParseTimelineFileName(fileName)) {
      SessionFiles& session = sessions[JournalFileName(*timeline)];
      session.name = *timeline;
      session.timeline = path;
    }
  });
  std::vector<SessionFiles> list;
  list.reserve(sessions.size());
  for (auto& [key, session] : sessions) list.push_back(std::move(session));
  std::sort(list.begin(), list.end(), [](const SessionFiles& a, const SessionFiles& b) {
    return Newer(a.name, a.journal + a.timeline, b.name, b.journal + b.timeline);
  });
  return list;
}

std::string TimelineLine(const LocalTime& when, std::string_view text) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d", when.year, when.month, when.day, when.hour,
                when.minute, when.second);
  std::string line = stamp;
  line += kTimelineSeparator;
  for (const char c : text) line += c == '\t' || c == '\n' || c == '\r' ? ' ' : c;
  line += kTimelineLineEnd;
  return line;
}

std::vector<TimelineEvent> ParseTimeline(std::string_view content) { return ParseTimelineText(content).events; }

std::string JournalFailureText(const std::string& folder, int error) {
  //: The session's journal cannot be written in the folder %1, for the system's reason %2.
  return WithArgument(Translate("SessionJournal", "Не удалось записать журнал сеанса в папку \"%1\": %2"),
                      {folder, SystemReason(error)});
}

std::string JournalLockWarningText(const std::string& folder) {
  //: %1 is the data folder.
  return WithArgument(Translate("SessionJournal",
                                "Файловая система папки данных \"%1\" не поддерживает блокировки файлов: журналы "
                                "пишутся и не удаляются, но несколько стендов не должны работать с этой папкой "
                                "одновременно."),
                      folder);
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
  zoneTold_.reset();
  journal_ = {};
  timeline_ = {};
  failed_ = false;
  failure_.reset();
}

void SessionJournal::End() {
  if (journal_.fd >= 0) {
    Sync();
    Close(journal_);
    Close(timeline_);
  }
  active_ = false;
}

void SessionJournal::Close(AppendFile& file) {
  if (file.fd >= 0) ::close(file.fd);
  file.fd = -1;
}

void SessionJournal::Append(std::string_view line) { AppendLine(journal_, line, kRecordLogLineEnd); }

void SessionJournal::Event(std::string_view text) {
  const LocalClock now = LocalClockNow();
  if (active_ && zoneTold_ != now.utcOffset) {
    const std::string zone = Translate("SessionJournal", kTimeZoneCaption) + UtcOffsetText(now.utcOffset);
    AppendLine(timeline_, TimelineLine(now.time, zone), {});
    if (timeline_.fd >= 0) zoneTold_ = now.utcOffset;
  }
  AppendLine(timeline_, TimelineLine(now.time, text), {});
}

void SessionJournal::AppendLine(AppendFile& file, std::string_view line, std::string_view lineEnd) {
  if (!active_) return;
  if (journal_.fd < 0 && !Open()) return;
  if (file.fd < 0) return;
  // The piece of a failed line that could not be taken back ends here, so
  // that it does not run into this one.
  const std::string_view end = lineEnd.empty() ? kTimelineLineEnd : lineEnd;
  std::string bytes;
  bytes.reserve(line.size() + 2 * end.size());
  if (file.cutLine) bytes.append(end);
  bytes.append(line);
  bytes.append(lineEnd);
  if (Write(file, bytes) && clock_() - lastSync_ >= kSyncInterval) Sync();
}

void SessionJournal::NameHeater(uint32_t serial) {
  if (!active_) return;
  serial_ = serial;
  if (journal_.fd < 0) return;  // the files get the name when they are made
  // The name of their own time, or as Open does the next free one.
  const std::string folder = data_.Sessions();
  LocalTime stamp = stamp_;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string journal = folder + "/" + JournalFileName({stamp, serial_});
    if (journal == journal_.path) return;
    const std::string timeline = folder + "/" + TimelineFileName({stamp, serial_});
    struct stat st;
    int error = ::lstat(timeline.c_str(), &st) == 0 ? EEXIST : RenameNoReplace(journal_.path, journal);
    if (error == 0) {
      journal_.path = journal;
      stamp_ = stamp;
      if (timeline_.fd >= 0) {
        error = RenameNoReplace(timeline_.path, timeline);
        if (error == 0) timeline_.path = timeline;
      }
      SyncFolder(folder);
      if (error != 0) Fail(error);
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
  if (journal_.fd >= 0 && (journal_.dirty || timeline_.dirty) && clock_() - lastSync_ >= kSyncInterval) Sync();
}

std::optional<std::string> SessionJournal::TakeLockWarning() {
  std::optional<std::string> warning = std::move(lockWarning_);
  lockWarning_.reset();
  return warning;
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
  // The opening's own second, unless a session of that second is there
  // already (another bench on a shared folder): then the next free one.
  LocalTime stamp = opened_;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    AppendFile journal{.path = folder + "/" + JournalFileName({stamp, serial_})};
    AppendFile timeline{.path = folder + "/" + TimelineFileName({stamp, serial_})};
    journal.fd = OpenExclusive(journal.path);
    if (journal.fd >= 0) {
      timeline.fd = OpenExclusive(timeline.path);
      if (timeline.fd < 0) {
        const int error = errno;
        ::unlink(journal.path.c_str());
        Close(journal);
        if (error != EEXIST) {
          Fail(error);
          return false;
        }
        stamp = LocalTimeOf(TimeOf(stamp) + 1);
        continue;
      }
      // Marked in use before anything is in them. Another copy's retention
      // may have deleted an empty file in the moment before: then both are
      // made again. A file system without locks leaves them unmarked: they
      // are written all the same, and the user is told once that the folder
      // then must not be shared, for nothing keeps another bench's retention
      // from deleting them.
      for (const int error : {MarkInUse(journal.fd), MarkInUse(timeline.fd)})
        if (LocksRefused(error) && !lockWarned_) {
          lockWarned_ = true;
          lockWarning_ = JournalLockWarningText(data_.path);
        }
      if (!StillNamed(journal.fd, journal.path) || !StillNamed(timeline.fd, timeline.path)) {
        for (AppendFile* file : {&journal, &timeline}) {
          if (StillNamed(file->fd, file->path)) ::unlink(file->path.c_str());
          Close(*file);
        }
        continue;
      }
      journal_ = journal;
      timeline_ = timeline;
      stamp_ = stamp;
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

bool SessionJournal::Write(AppendFile& file, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(file.fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = n < 0 ? errno : EIO;
      // Whole lines only: the part of this one that went out is taken back.
      if (done > 0 && ::ftruncate(file.fd, static_cast<off_t>(file.size)) != 0) {
        file.size += done;
        file.cutLine = true;
      }
      Fail(error);
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  file.size += done;
  file.dirty = true;
  file.cutLine = false;
  return true;
}

void SessionJournal::Sync() {
  bool synced = false;
  for (AppendFile* file : {&journal_, &timeline_}) {
    if (file->fd < 0 || !file->dirty) continue;
    if (::fdatasync(file->fd) != 0) Fail(errno);
    file->dirty = false;
    synced = true;
  }
  lastSync_ = clock_();
  if (synced) ++syncs_;
}

void SessionJournal::Fail(int error) {
  if (failed_) return;
  failed_ = true;
  failure_ = JournalFailureText(data_.Sessions(), error);
}

}  // namespace o5
