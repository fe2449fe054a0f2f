// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/Simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <charconv>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <system_error>

extern char** environ;

namespace o5::test {

namespace {

constexpr const char* kExitOnEof = "--exit-on-eof";

struct Pipes {
  int in[2] = {-1, -1};
  int out[2] = {-1, -1};
  int err[2] = {-1, -1};
};

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

pid_t Spawn(const std::vector<std::string>& options, Pipes& pipes) {
  if (::pipe2(pipes.in, O_CLOEXEC) != 0 || ::pipe2(pipes.out, O_CLOEXEC) != 0 || ::pipe2(pipes.err, O_CLOEXEC) != 0) {
    throw std::runtime_error(std::string("cannot create pipes: ") + std::strerror(errno));
  }
  std::vector<std::string> args{Simulator::BinaryPath()};
  args.insert(args.end(), options.begin(), options.end());
  args.emplace_back(kExitOnEof);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipes.in[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, pipes.out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, pipes.err[1], STDERR_FILENO);
  pid_t pid = -1;
  const int failed = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  CloseFd(pipes.in[0]);
  CloseFd(pipes.out[1]);
  CloseFd(pipes.err[1]);
  if (failed != 0) {
    CloseFd(pipes.in[1]);
    CloseFd(pipes.out[0]);
    CloseFd(pipes.err[0]);
    throw std::runtime_error("cannot start " + args[0] + ": " + std::strerror(failed));
  }
  return pid;
}

std::optional<Simulator::LogLine> ParseLogLine(const std::string& line) {
  std::size_t i = 0;
  const auto skipBlanks = [&] {
    while (i < line.size() && line[i] == ' ') ++i;
  };
  const auto word = [&] {
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    return line.substr(start, i - start);
  };
  skipBlanks();
  const std::string time = word();
  skipBlanks();
  const std::string tag = word();
  if (time.empty() || tag.empty()) return std::nullopt;
  // The simulator writes its times in the C locale; the test's own may have
  // a decimal comma, which strtod would follow.
  double seconds = 0;
  const auto [end, ec] = std::from_chars(time.data(), time.data() + time.size(), seconds);
  if (ec != std::errc() || end != time.data() + time.size()) return std::nullopt;
  if (i < line.size()) ++i;
  return Simulator::LogLine{seconds, tag, line.substr(i)};
}

}  // namespace

std::string Simulator::BinaryPath() { return O5_HEATERSIM_PATH; }

std::string Simulator::NormalizedHex(const std::string& hex) {
  std::string digits;
  for (char c : hex) {
    if (std::isxdigit(static_cast<unsigned char>(c))) digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  std::string text;
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    if (!text.empty()) text += ' ';
    text += digits.substr(i, 2);
  }
  return text;
}

Simulator::Simulator(const std::vector<std::string>& options, Ms startTimeout) {
  ::signal(SIGPIPE, SIG_IGN);
  Pipes pipes;
  pid_ = Spawn(options, pipes);
  stdin_ = pipes.in[1];
  const int outFd = pipes.out[0];
  const int errFd = pipes.err[0];
  reader_ = std::thread([this, outFd, errFd] { ReadOutput(outFd, errFd); });
  const bool started = WaitUntil([this] { return !devicePath_.empty() || outputEnded_; }, startTimeout);
  if (!started || devicePath_.empty()) {
    const std::string log = LogText();
    Stop(Ms(2000));
    throw std::runtime_error("the heater simulator did not start:\n" + log);
  }
}

Simulator::~Simulator() {
  if (pid_ > 0) Stop(Ms(3000));
  CloseFd(stdin_);
  if (reader_.joinable()) reader_.join();
}

void Simulator::ReadOutput(int outFd, int errFd) {
  std::string pending[2];
  int fds[2] = {outFd, errFd};
  while (fds[0] >= 0 || fds[1] >= 0) {
    pollfd polled[2];
    nfds_t count = 0;
    int which[2];
    for (int k = 0; k < 2; ++k) {
      if (fds[k] < 0) continue;
      which[count] = k;
      polled[count++] = {fds[k], POLLIN, 0};
    }
    if (::poll(polled, count, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (nfds_t p = 0; p < count; ++p) {
      if (polled[p].revents == 0) continue;
      const int k = which[p];
      char buffer[4096];
      const ssize_t got = ::read(fds[k], buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        CloseFd(fds[k]);
        if (!pending[k].empty()) AddLine(k == 1, std::move(pending[k]));
        pending[k].clear();
        continue;
      }
      pending[k].append(buffer, static_cast<std::size_t>(got));
      std::size_t newline;
      while ((newline = pending[k].find('\n')) != std::string::npos) {
        AddLine(k == 1, pending[k].substr(0, newline));
        pending[k].erase(0, newline + 1);
      }
    }
  }
  std::lock_guard lock(mutex_);
  outputEnded_ = true;
  changed_.notify_all();
}

void Simulator::AddLine(bool fromErr, std::string line) {
  std::lock_guard lock(mutex_);
  if (fromErr) {
    if (auto parsed = ParseLogLine(line)) log_.push_back(std::move(*parsed));
    errRaw_.push_back(std::move(line));
  } else {
    if (line.rfind("PORT ", 0) == 0) {
      devicePath_ = line.substr(5);
      ++ports_;
    }
    if (line.rfind("OK", 0) == 0 || line.rfind("ERROR", 0) == 0) ++answers_;
    out_.push_back(std::move(line));
  }
  changed_.notify_all();
}

bool Simulator::WaitUntil(const std::function<bool()>& condition, Ms timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, condition);
}

std::string Simulator::DevicePath() const {
  std::lock_guard lock(mutex_);
  return devicePath_;
}

std::size_t Simulator::PortCount() const {
  std::lock_guard lock(mutex_);
  return ports_;
}

std::optional<std::string> Simulator::WaitForPort(std::size_t count, Ms timeout) {
  if (!WaitUntil([&] { return ports_ >= count; }, timeout)) return std::nullopt;
  return DevicePath();
}

void Simulator::SendLine(const std::string& line) {
  const std::string text = line + "\n";
  std::size_t done = 0;
  while (done < text.size() && stdin_ >= 0) {
    const ssize_t put = ::write(stdin_, text.data() + done, text.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) break;
    done += static_cast<std::size_t>(put);
  }
}

std::string Simulator::Command(const std::string& line, Ms timeout) {
  std::size_t before;
  {
    std::lock_guard lock(mutex_);
    before = answers_;
  }
  SendLine(line);
  if (!WaitUntil([&] { return answers_ > before || outputEnded_; }, timeout)) return {};
  std::lock_guard lock(mutex_);
  std::size_t seen = 0;
  for (const std::string& out : out_) {
    if (out.rfind("OK", 0) != 0 && out.rfind("ERROR", 0) != 0) continue;
    if (seen++ == before) return out;
  }
  return {};
}

bool Simulator::WaitForReceived(const std::string& hex, Ms timeout) { return WaitForReceivedCount(hex, 1, timeout); }

bool Simulator::WaitForReceivedCount(const std::string& hex, std::size_t count, Ms timeout) {
  const std::string wanted = NormalizedHex(hex);
  return WaitUntil(
      [&] {
        std::size_t seen = 0;
        for (const LogLine& line : log_) seen += (line.tag == "RX" && line.text == wanted) ? 1 : 0;
        return seen >= count;
      },
      timeout);
}

std::vector<std::string> Simulator::ReceivedFrames() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> frames;
  for (const LogLine& line : log_) {
    if (line.tag == "RX") frames.push_back(line.text);
  }
  return frames;
}

std::vector<std::string> Simulator::SentFrames() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> frames;
  for (const LogLine& line : log_) {
    if (line.tag == "TX") frames.push_back(line.text);
  }
  return frames;
}

std::optional<Simulator::LogLine> Simulator::WaitForLog(const std::function<bool(const LogLine&)>& match, Ms timeout) {
  std::optional<LogLine> found;
  WaitUntil(
      [&] {
        for (const LogLine& line : log_) {
          if (match(line)) {
            found = line;
            return true;
          }
        }
        return false;
      },
      timeout);
  return found;
}

std::optional<Simulator::LogLine> Simulator::WaitForLog(const std::string& tag, const std::string& fragment,
                                                        Ms timeout) {
  return WaitForLog([&](const LogLine& line) { return line.tag == tag && line.text.find(fragment) != std::string::npos; },
                    timeout);
}

std::vector<Simulator::LogLine> Simulator::Log() const {
  std::lock_guard lock(mutex_);
  return log_;
}

std::vector<std::string> Simulator::Output() const {
  std::lock_guard lock(mutex_);
  return out_;
}

std::string Simulator::LogText() const {
  std::lock_guard lock(mutex_);
  std::string text;
  for (const std::string& line : errRaw_) text += line + "\n";
  return text;
}

bool Simulator::Running() const { return pid_ > 0; }

bool Simulator::Reap(Ms timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    int status = 0;
    const pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      pid_ = -1;
      return true;
    }
    if (done < 0 && errno != EINTR) {
      pid_ = -1;
      return true;
    }
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(Ms(10));
  }
}

int Simulator::Stop(Ms timeout) {
  if (pid_ <= 0) return exitCode_.value_or(-1);
  SendLine("quit");
  CloseFd(stdin_);
  if (!Reap(timeout)) {
    ::kill(pid_, SIGTERM);
    if (!Reap(Ms(2000))) {
      ::kill(pid_, SIGKILL);
      Reap(Ms(5000));
      exitCode_ = -1;
    }
  }
  if (reader_.joinable()) reader_.join();
  return exitCode_.value_or(-1);
}

Simulator::Finished Simulator::RunToEnd(const std::vector<std::string>& options, Ms timeout) {
  ::signal(SIGPIPE, SIG_IGN);
  Pipes pipes;
  const pid_t pid = Spawn(options, pipes);
  CloseFd(pipes.in[1]);
  Finished finished;
  std::string* targets[2] = {&finished.out, &finished.err};
  int fds[2] = {pipes.out[0], pipes.err[0]};
  const auto end = std::chrono::steady_clock::now() + timeout;
  while ((fds[0] >= 0 || fds[1] >= 0) && std::chrono::steady_clock::now() < end) {
    for (int k = 0; k < 2; ++k) {
      if (fds[k] < 0) continue;
      pollfd polled{fds[k], POLLIN, 0};
      if (::poll(&polled, 1, 20) <= 0) continue;
      char buffer[4096];
      const ssize_t got = ::read(fds[k], buffer, sizeof buffer);
      if (got <= 0) {
        if (got < 0 && errno == EINTR) continue;
        CloseFd(fds[k]);
      } else {
        targets[k]->append(buffer, static_cast<std::size_t>(got));
      }
    }
  }
  CloseFd(fds[0]);
  CloseFd(fds[1]);
  int status = 0;
  for (;;) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) return finished;
    if (std::chrono::steady_clock::now() >= end) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return finished;
    }
    std::this_thread::sleep_for(Ms(10));
  }
  finished.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return finished;
}

}  // namespace o5::test
