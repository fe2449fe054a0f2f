// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files the user names in a file dialog: reports, images, logs, data. They are
// written whole through AtomicFile, so a failed write never leaves a
// half-written file under the chosen name (one written in place, where its
// folder takes no new file, only on an input/output error), and read whole
// with a size limit.
// Every failure is a FileError whose text names the file and the reason, for
// the application's error display.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include "heater/TextTranslation.h"

namespace o5 {

class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "Не удалось сохранить файл \"<path>\": <reason>".
[[noreturn]] void ThrowSaveError(const std::string& path, const std::string& reason);
// "Не удалось открыть файл \"<path>\": <reason>": also for a file that was read
// but holds something else than it should.
[[noreturn]] void ThrowOpenError(const std::string& path, const std::string& reason);

// The reason given for a path that names a device, a FIFO or a socket.
inline constexpr const char* kNotARegularFile = O5_TEXT("UserFile", "это не обычный файл");

// The system's text for an error number, in the user's language, UTF-8.
std::string SystemReason(int error);

// Puts `content` into the file at `path` (UTF-8), replacing what was there;
// in place where the folder takes no new file but the file may be written.
void SaveUserFile(const std::string& path, std::string_view content);

// The whole content of the file at `path`. A folder, a device or anything
// else that is not a regular file (refused before it is opened), an
// unreadable file and a file larger than `limit` bytes raise FileError.
std::string LoadUserFile(const std::string& path, size_t limit);

}  // namespace o5
