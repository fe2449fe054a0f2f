// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The session journal: every line the record log receives while the port is
// open, appended to sessions/S_<opening time>.txt in the data folder, the
// same bytes "Сохранить" writes for the line; and beside it the session's
// timeline, S_<opening time>.events.tsv: what happened when, one event a line
// "YYYY-MM-DD HH:MM:SS<TAB><text>" (UTF-8, the local clock). Each line goes to
// its file with its own write(2) before anything shows it, so a killed tool
// loses nothing it showed; the files are put on the disk (fdatasync) at most
// once a second, so a power cut loses at most the last second. Both files are
// made together, with the first line or event, under one name's time, and
// are renamed together; each is marked in use (FileInUse) while it is open,
// so that no other copy of the tool deletes it meanwhile.
//
// The files are append-only logs, not files replaced whole: they are written
// in place, and a write that fails half-way is cut back to the last whole
// line, so that a line is never torn but by the process ending in the middle
// of its write (the readers skip such a last line).
//
// A journal that cannot be written (the folder cannot be made or written, the
// disk is full) is tried again with each line, and its first failure of a port
// opening is handed out once, for one message to the user; the port and the
// pane go on regardless.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/ArchiveNames.h"
#include "archive/DataFolder.h"
#include "archive/LocalTime.h"
#include "archive/TimelineFile.h"

namespace o5 {

class SessionJournal {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  static constexpr std::chrono::seconds kSyncInterval{1};
  // How many seconds after the opening's a name is looked for when that of
  // the opening's own second is taken (by another bench on a shared folder).
  static constexpr int kNameAttempts = 60;

  explicit SessionJournal(Clock clock = std::chrono::steady_clock::now);
  ~SessionJournal();
  SessionJournal(const SessionJournal&) = delete;
  SessionJournal& operator=(const SessionJournal&) = delete;

  // The port opened at `opened`: a new journal, in the sessions folder of
  // `data`. The file is made with the first line.
  void Begin(const DataFolder& data, const LocalTime& opened);
  // The port closed: what was written is put on the disk and the file closed.
  void End();
  bool Active() const { return active_; }

  // One line of the record log, without its line end.
  void Append(std::string_view line);
  // One event of the timeline, at the local time now; a tab or line end in
  // `text` becomes a blank. The timeline names the zone's offset from UTC in
  // its first line and in a line of its own wherever it changes
  // ("Часовой пояс: UTC+03:00", in the tool's language as the events are),
  // so that its times can be told apart.
  void Event(std::string_view text);
  // A readout during this opening read the heater with this serial number:
  // the journal is named after it from now on.
  void NameHeater(uint32_t serial);
  // Puts what was written on the disk when the last time is kSyncInterval
  // ago. Driven by a timer, so that the last lines of a quiet line are put
  // on the disk too.
  void Tick();

  // The journal's and the timeline's files; empty until they are made.
  const std::string& Path() const { return journal_.path; }
  const std::string& TimelinePath() const { return timeline_.path; }
  // The first failure of this opening, once: a message naming the folder and
  // the system's reason.
  std::optional<std::string> TakeFailure();
  // Once for the whole life of the journal (of the tool's start), when its
  // files could not be marked in use because the data folder's file system
  // keeps no locks: the warning that several benches must not share the
  // folder. The files are written all the same.
  std::optional<std::string> TakeLockWarning();
  uint64_t Syncs() const { return syncs_; }

 private:
  // One of the two files, appended to line by line.
  struct AppendFile {
    int fd = -1;
    std::string path;
    uint64_t size = 0;      // bytes of whole lines in the file
    bool cutLine = false;   // the file ends in a piece of a line
    bool dirty = false;
  };
  bool Open();
  void Close(AppendFile& file);
  void AppendLine(AppendFile& file, std::string_view line, std::string_view lineEnd);
  bool Write(AppendFile& file, std::string_view bytes);
  void Sync();
  void Fail(int error);

  Clock clock_;
  bool active_ = false;
  DataFolder data_;
  LocalTime opened_;
  LocalTime stamp_;  // the time in the files' names
  std::optional<uint32_t> serial_;
  std::optional<long> zoneTold_;  // the UTC offset the timeline last named
  AppendFile journal_;
  AppendFile timeline_;
  std::chrono::steady_clock::time_point lastSync_{};
  bool failed_ = false;  // this opening has had its failure
  std::optional<std::string> failure_;
  bool lockWarned_ = false;  // the lock warning was made (never reset)
  std::optional<std::string> lockWarning_;
  uint64_t syncs_ = 0;
};

// A journal file found in a sessions folder.
struct JournalFile {
  JournalName name;
  std::string path;
};
// The regular files of `sessionsFolder` named as journals, newest first (by
// the time in the name); other files are passed over. Empty when the folder
// cannot be read.
std::vector<JournalFile> ListJournals(const std::string& sessionsFolder);

// A session's files in a sessions folder: its journal, its timeline, or both
// (a path is empty for a file that is not there).
struct SessionFiles {
  JournalName name;
  std::string journal;
  std::string timeline;
};
// The sessions of `sessionsFolder` by their regular files, newest first.
std::vector<SessionFiles> ListSessions(const std::string& sessionsFolder);

// The line of a timeline: "2026-12-07 15:20:03\t<text>\n".
std::string TimelineLine(const LocalTime& when, std::string_view text);
// The events of a timeline's text (ParseTimelineText without the count of
// the lines passed over); lines that are not events (a last line cut short,
// anything a person added) are passed over.
std::vector<TimelineEvent> ParseTimeline(std::string_view content);

// "Не удалось записать журнал сеанса в папку "<folder>": <reason>".
std::string JournalFailureText(const std::string& folder, int error);
// The warning that the data folder's file system keeps no locks, naming the
// folder.
std::string JournalLockWarningText(const std::string& folder);

}  // namespace o5
