// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/UserFile.h"

#include "heater/TextTranslation.h"

#include <fcntl.h>
#include <locale.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "settings/AtomicFile.h"

namespace o5 {

void ThrowSaveError(const std::string& path, const std::string& reason) {
  //: The file %1 could not be saved, for the reason %2.
  throw FileError(WithArgument(Translate("UserFile", "Не удалось сохранить файл \"%1\": %2"), {path, reason}));
}

void ThrowOpenError(const std::string& path, const std::string& reason) {
  //: The file %1 could not be opened, for the reason %2.
  throw FileError(WithArgument(Translate("UserFile", "Не удалось открыть файл \"%1\": %2"), {path, reason}));
}

std::string SystemReason(int error) {
  // The C library's catalog has the text in the user's language; it comes out
  // in UTF-8 whatever character set the process runs in. (Where the user's
  // locale is not installed, that set is plain ASCII, which would turn a
  // Russian text into Latin letters.)
  const locale_t utf8 = ::newlocale(LC_ALL_MASK, "C.UTF-8", locale_t{});
  if (!utf8) return std::system_category().message(error);
  // The language of the user's environment (LC_ALL, LC_MESSAGES, LANG) where
  // that locale is installed. Else the messages stay in C.UTF-8, which, unlike
  // plain "C", lets the library's catalog follow the language list in
  // LANGUAGE, where the tool's start puts the language of LANG.
  const locale_t users = ::newlocale(LC_MESSAGES_MASK, "", utf8);
  const locale_t used = users ? users : utf8;
  std::string text = ::strerror_l(error, used);
  ::freelocale(used);
  return text;
}

void SaveUserFile(const std::string& path, std::string_view content) {
  AtomicFile file(path);
  file.AllowWriteInPlace();
  if (!file.Replace(content)) ThrowSaveError(path, SystemReason(file.Error()));
}

namespace {

void RequireRegularFile(const std::string& path, const struct stat& st) {
  if (S_ISDIR(st.st_mode)) ThrowOpenError(path, SystemReason(EISDIR));
  if (!S_ISREG(st.st_mode)) ThrowOpenError(path, Translate("UserFile", kNotARegularFile));
}

}  // namespace

std::string LoadUserFile(const std::string& path, size_t limit) {
  // Only a regular file is opened at all: opening a device acts on it (a
  // serial port raises its modem lines, a terminal can become the tool's
  // controlling terminal, whose hang-up would end the tool).
  struct stat before;
  if (::stat(path.c_str(), &before) != 0) ThrowOpenError(path, SystemReason(errno));
  RequireRegularFile(path, before);
  // Should something else have taken the name since: not blocking (a FIFO
  // cannot freeze the tool) and never the controlling terminal.
  int fd;
  do fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) ThrowOpenError(path, SystemReason(errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};

  struct stat st;
  if (::fstat(fd, &st) != 0) ThrowOpenError(path, SystemReason(errno));
  RequireRegularFile(path, st);
  const auto tooLarge = [&] {
    //: Why a file was not opened: it is larger than %1 bytes.
    ThrowOpenError(path, WithArgument(Translate("UserFile", "файл больше %1 байт"), std::to_string(limit)));
  };
  if (static_cast<unsigned long long>(st.st_size) > limit) tooLarge();

  std::string content;
  content.resize(static_cast<size_t>(st.st_size));
  size_t have = 0;
  // The file may grow while it is read: read on to its end, up to the limit.
  for (;;) {
    if (have == content.size()) {
      if (content.size() > limit) tooLarge();
      content.resize(content.size() + 4096);
    }
    const ssize_t n = ::read(fd, content.data() + have, content.size() - have);
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowOpenError(path, SystemReason(errno));
    }
    if (n == 0) break;
    have += static_cast<size_t>(n);
  }
  content.resize(have);
  if (content.size() > limit) tooLarge();
  return content;
}

}  // namespace o5
