#pragma once
// Replacing a small file so that it is never seen truncated or half-written:
// the new content goes to a temporary file in the same folder, is flushed to
// the disk, and is renamed over the old file. Whatever moment the process is
// killed or the power fails, the file holds either its old or its new content.

#include <string>
#include <string_view>

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

  // Puts `content` on the disk in place of the file's content. False when that
  // cannot be done, wherever a program writing the file in place would fail
  // too (missing or unwritable folder, a file without write permission, a path
  // that is not a regular file, a full disk); the old file is then untouched
  // and no temporary file is left behind.
  bool Replace(std::string_view content);

  // The system's error number of the last failed Replace (0 after success):
  // the reason a user is shown beside the file's name.
  int Error() const { return error_; }

 private:
  bool Fail(int error);
  bool Commit(const std::string& temporary);
  void RemoveStaleTemporaries();

  std::string target_;  // the file itself, a symbolic link followed
  std::string name_;    // its name inside the folder
  int folderFd_ = -1;
  int openError_ = 0;  // why the folder could not be opened
  int error_ = 0;
};

}  // namespace o5
