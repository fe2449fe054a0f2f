// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs the heater simulator (ortan5-heatersim) as a child process of a test: starts it with
// the given options, learns its device path, types commands on its standard input and reads
// back from its log what it received and sent. No event loop is needed: a reader thread
// collects the simulator's output.
//
// The harness always passes --exit-on-eof, so a simulator never outlives a test that dies.
// It ignores SIGPIPE for the whole test program: a write to a simulator that has ended must
// fail, not kill the test.

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace o5::test {

class Simulator {
 public:
  using Ms = std::chrono::milliseconds;

  struct LogLine {
    double seconds = 0;  // since the simulator started
    std::string tag;     // RX, RX-BAD, TX, FAULT, MODE, LINE, ...
    std::string text;    // the rest: hex bytes for the frame tags
  };

  struct Finished {
    int exitCode = -1;  // -1 when it had to be killed
    std::string out;
    std::string err;
  };

  // Starts the simulator and waits for its first "PORT" line. Throws std::runtime_error,
  // with what the simulator wrote, when it ends or stays silent instead.
  explicit Simulator(const std::vector<std::string>& options = {}, Ms startTimeout = Ms(10000));
  // Ends the simulator: "quit", then the end of its input, then SIGTERM, then SIGKILL.
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // The device path of the latest "PORT" line.
  std::string DevicePath() const;
  // "PORT" lines seen so far: 1 after the start, one more after each reconnection. The new
  // device may well get the number of the old one, so count lines rather than compare paths.
  std::size_t PortCount() const;
  // Waits until `count` "PORT" lines have been seen; returns the latest device path.
  std::optional<std::string> WaitForPort(std::size_t count, Ms timeout);

  // Types one command and waits for its answer line, which begins with "OK" or "ERROR";
  // returns it, or an empty string on time-out.
  std::string Command(const std::string& line, Ms timeout = Ms(5000));
  // Types a line without waiting for anything.
  void SendLine(const std::string& line);

  // Frames are compared as upper-case hex pairs separated by blanks; the argument may be
  // written in either case, with or without blanks ("aa0900006800000000 1b").
  // True once the simulator has received that frame (earlier in the run or within timeout).
  bool WaitForReceived(const std::string& hex, Ms timeout);
  // True once `count` frames equal to hex have been received.
  bool WaitForReceivedCount(const std::string& hex, std::size_t count, Ms timeout);
  std::vector<std::string> ReceivedFrames() const;  // RX lines, in order
  std::vector<std::string> SentFrames() const;      // TX lines, in order
  // Waits for a log line for which the predicate holds; returns it.
  std::optional<LogLine> WaitForLog(const std::function<bool(const LogLine&)>& match, Ms timeout);
  // Waits for a log line with this tag whose text contains the fragment.
  std::optional<LogLine> WaitForLog(const std::string& tag, const std::string& fragment, Ms timeout);
  std::vector<LogLine> Log() const;
  std::vector<std::string> Output() const;  // lines of standard output
  // The whole log as the simulator wrote it, for a failure message.
  std::string LogText() const;

  // Ends it with "quit" and returns its exit status; -1 when it had to be killed.
  int Stop(Ms timeout = Ms(5000));
  bool Running() const;
  pid_t Pid() const { return pid_; }

  static std::string BinaryPath();
  static std::string NormalizedHex(const std::string& hex);
  // Runs the simulator to its end (for --help and bad options): no device is expected.
  static Finished RunToEnd(const std::vector<std::string>& options, Ms timeout = Ms(10000));

 private:
  void ReadOutput(int outFd, int errFd);
  void AddLine(bool fromErr, std::string line);
  bool WaitUntil(const std::function<bool()>& condition, Ms timeout);
  bool Reap(Ms timeout);

  pid_t pid_ = -1;
  int stdin_ = -1;
  std::thread reader_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> out_;
  std::vector<std::string> errRaw_;
  std::vector<LogLine> log_;
  std::string devicePath_;
  std::size_t ports_ = 0;
  std::size_t answers_ = 0;
  bool outputEnded_ = false;
  std::optional<int> exitCode_;
};

}  // namespace o5::test
