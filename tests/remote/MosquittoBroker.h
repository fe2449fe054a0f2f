// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A real mosquitto for one test, in a folder of its own, on a free port of
// the loopback, without a store (a restart forgets everything); and the
// package's own clients, mosquitto_sub and mosquitto_passwd, as programs
// nobody here wrote.

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <netinet/in.h>
#include <unistd.h>

#include <QTest>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace o5::test {

// Starts `argv` with its standard output (and errors) in `output` (none when
// empty); its process id.
inline pid_t Spawn(const std::vector<std::string>& argv, const std::string& output = {}) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (!output.empty()) {
      const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
      ::dup2(fd, 1);
      ::dup2(fd, 2);
    }
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  return pid;
}

inline int Reap(pid_t pid, int signal = SIGTERM) {
  if (pid <= 0) return -1;
  ::kill(pid, signal);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

inline bool PortAnswers(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  ::close(fd);
  return ok;
}

inline int FreePort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t length = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
  ::close(fd);
  return ntohs(a.sin_port);
}

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class MosquittoBroker {
 public:
  // `rules`: more lines of the broker's configuration (an ACL).
  explicit MosquittoBroker(std::string folder, std::string rules = "allow_anonymous true\n")
      : folder_(std::move(folder)), rules_(std::move(rules)) {}
  ~MosquittoBroker() { Stop(); }

  // Another test's broker may take the free port first: this one then ends
  // at once, and a first start tries another port. Started again, a broker
  // keeps its port (its clients come back to it).
  bool Start() {
    const bool first = port_ == 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
      if (first) port_ = FreePort();
      const std::string log = folder_ + "/mosquitto.log";
      std::ofstream(folder_ + "/mosquitto.conf") << "listener " << port_ << " 127.0.0.1\n"
                                                 << "persistence false\n"
                                                 << (::geteuid() == 0 ? "user root\n" : "") << rules_;
      pid_ = Spawn({"mosquitto", "-c", folder_ + "/mosquitto.conf"}, log);
      bool ended = false;
      const bool listening = QTest::qWaitFor([&] {
        ended = ::waitpid(pid_, nullptr, WNOHANG) == pid_;
        return ended || ReadAll(log).find("listen socket on port") != std::string::npos;
      }, 10000);
      if (listening && !ended) return true;
      if (!ended) Stop();
      pid_ = -1;
      QTest::qWait(100);
    }
    return false;
  }
  void Stop() {
    if (pid_ > 0) Reap(pid_, SIGKILL);
    pid_ = -1;
  }
  int Port() const { return port_; }
  std::string Url() const { return "mqtt://127.0.0.1:" + std::to_string(port_); }

 private:
  std::string folder_;
  std::string rules_;
  int port_ = 0;
  pid_t pid_ = -1;
};

}  // namespace o5::test
