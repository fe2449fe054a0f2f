#pragma once
// The session journal: every line the record log receives while the port is
// open, appended to sessions/S_<opening time>.txt in the data folder, the
// same bytes "Сохранить" writes for the line. Each line goes to the file with
// its own write(2) before the pane shows it, so a killed tool loses nothing
// it showed; the file is put on the disk (fdatasync) at most once a second,
// so a power cut loses at most the last second.
//
// The journal is an append-only log, not a file replaced whole: it is written
// in place, and a write that fails half-way is cut back to the last whole
// line, so that a line is never torn but by the process ending in the middle
// of its write (the log reader skips such a last line).
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
  // A readout during this opening read the heater with this serial number:
  // the journal is named after it from now on.
  void NameHeater(uint32_t serial);
  // Puts what was written on the disk when the last time is kSyncInterval
  // ago. Driven by a timer, so that the last lines of a quiet line are put
  // on the disk too.
  void Tick();

  // The journal's file; empty until the first line is written.
  const std::string& Path() const { return path_; }
  // The first failure of this opening, once: a message naming the folder and
  // the system's reason.
  std::optional<std::string> TakeFailure();
  uint64_t Syncs() const { return syncs_; }

 private:
  bool Open();
  bool Write(std::string_view bytes);
  void Sync();
  void Fail(int error);
  std::string NameFor(const LocalTime& opened) const;

  Clock clock_;
  bool active_ = false;
  DataFolder data_;
  LocalTime opened_;
  LocalTime stamp_;  // the time in the file's name
  std::optional<uint32_t> serial_;
  int fd_ = -1;
  std::string path_;
  uint64_t size_ = 0;  // bytes of whole lines in the file
  bool cutLine_ = false;  // the file ends in a piece of a line
  bool dirty_ = false;
  std::chrono::steady_clock::time_point lastSync_{};
  bool failed_ = false;  // this opening has had its failure
  std::optional<std::string> failure_;
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

// "Не удалось записать журнал сеанса в папку "<folder>": <reason>".
std::string JournalFailureText(const std::string& folder, int error);

}  // namespace o5
