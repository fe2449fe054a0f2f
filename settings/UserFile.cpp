#include "settings/UserFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "settings/AtomicFile.h"

namespace o5 {

void ThrowSaveError(const std::string& path, const std::string& reason) {
  throw FileError("Не удалось сохранить файл \"" + path + "\": " + reason);
}

void ThrowOpenError(const std::string& path, const std::string& reason) {
  throw FileError("Не удалось открыть файл \"" + path + "\": " + reason);
}

std::string SystemReason(int error) { return std::system_category().message(error); }

void SaveUserFile(const std::string& path, std::string_view content) {
  AtomicFile file(path);
  if (!file.Replace(content)) ThrowSaveError(path, SystemReason(file.Error()));
}

std::string LoadUserFile(const std::string& path, size_t limit) {
  // Non-blocking, so that a FIFO in place of the file cannot freeze the tool.
  int fd;
  do fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) ThrowOpenError(path, SystemReason(errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};

  struct stat st;
  if (::fstat(fd, &st) != 0) ThrowOpenError(path, SystemReason(errno));
  if (S_ISDIR(st.st_mode)) ThrowOpenError(path, SystemReason(EISDIR));
  if (!S_ISREG(st.st_mode)) ThrowOpenError(path, "это не обычный файл");
  const auto tooLarge = [&] {
    ThrowOpenError(path, "файл больше " + std::to_string(limit) + " байт");
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
