// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Replacing a small file so that it is never seen truncated or half-written:
// the new content goes to a temporary file in the same folder, is flushed to
// the disk, and is renamed over the old file. Whatever moment the process is
// killed or the power fails, the file holds either its old or its new content.

#include <string>
#include <string_view>

struct stat;

namespace o5 {

class AtomicFile {
 public:
  // Locks the file's folder against other writers of this kind for as long as
  // the object lives, so that a read-modify-write cycle of two running copies
  // of the tool cannot lose one of the updates. The lock is advisory and best
  // effort: where the folder cannot be locked the writer goes on without it.
  explicit AtomicFile(const std::string& path);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Where the folder takes no new file (the user may not write it, or it is a
  // shared sticky folder and the file someone else's) but the file itself may
  // be written, Replace writes the file in place, as an editor does: for the
  // files a user names, where a save that works elsewhere must work here too.
  // Not for the settings file, which is better left as it was than damaged by
  // a write in place that fails half-way.
  void AllowWriteInPlace() { inPlaceAllowed_ = true; }

  // Puts `content` on the disk in place of the file's content. False when that
  // cannot be done, wherever a program writing the file in place would fail
  // too (missing folder, unwritable folder, a file without write permission, a
  // path that is not a regular file, a full disk); the old file is then
  // untouched and no temporary file is left behind. Only a write in place
  // that fails half-way (an input/output error) can damage the file.
  bool Replace(std::string_view content);

  // The system's error number of the last failed Replace (0 after success):
  // the reason a user is shown beside the file's name.
  int Error() const { return error_; }

 private:
  bool Fail(int error);
  bool WriteBeside(std::string_view content, const struct stat* old);
  bool Commit(const std::string& temporary);
  void RemoveStaleTemporaries();

  std::string target_;  // the file itself, a symbolic link followed
  std::string name_;    // its name inside the folder
  int folderFd_ = -1;
  bool folderListable_ = true;  // else a handle only to reach the files in it
  bool inPlaceAllowed_ = false;
  int openError_ = 0;  // why the folder could not be opened
  int error_ = 0;
};

}  // namespace o5
