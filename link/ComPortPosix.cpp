// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ComPortPosix.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace o5::posix {

namespace {

constexpr int kWriteRetryMs = 50;

// termios of the kernel, which carries any bit rate in c_ispeed/c_ospeed; the
// C library's termios knows only the fixed B-constants. Bit rates without a
// constant (14400, 56000, 128000, 256000 and custom ones) go through it.
struct KernelTermios2 {
  tcflag_t c_iflag;
  tcflag_t c_oflag;
  tcflag_t c_cflag;
  tcflag_t c_lflag;
  cc_t c_line;
  cc_t c_cc[19];
  speed_t c_ispeed;
  speed_t c_ospeed;
};
constexpr unsigned long kGetTermios2 = _IOR('T', 0x2A, KernelTermios2);
constexpr unsigned long kSetTermios2 = _IOW('T', 0x2B, KernelTermios2);
constexpr tcflag_t kBaudOther = 0010000;  // BOTHER: the rate is in c_ospeed
constexpr int kInputBaudShift = 16;       // IBSHIFT: input rate bits, 0 = same as output

speed_t StandardSpeed(int rate) {
  switch (rate) {
    case 50:
      return B50;
    case 75:
      return B75;
    case 110:
      return B110;
    case 134:
      return B134;
    case 150:
      return B150;
    case 200:
      return B200;
    case 300:
      return B300;
    case 600:
      return B600;
    case 1200:
      return B1200;
    case 1800:
      return B1800;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    case 230400:
      return B230400;
    case 460800:
      return B460800;
    case 500000:
      return B500000;
    case 576000:
      return B576000;
    case 921600:
      return B921600;
    case 1000000:
      return B1000000;
    case 1152000:
      return B1152000;
    case 1500000:
      return B1500000;
    case 2000000:
      return B2000000;
    case 2500000:
      return B2500000;
    case 3000000:
      return B3000000;
    case 3500000:
      return B3500000;
    case 4000000:
      return B4000000;
    default:
      return B0;
  }
}

int SetOtherRate(int fd, int rate) {
  KernelTermios2 t{};
  if (ioctl(fd, kGetTermios2, &t) != 0) return errno;
  t.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << kInputBaudShift));
  t.c_cflag |= kBaudOther;
  t.c_ispeed = static_cast<speed_t>(rate);
  t.c_ospeed = static_cast<speed_t>(rate);
  if (ioctl(fd, kSetTermios2, &t) != 0) return errno;
  return 0;
}

// Raises or lowers a modem line. Pseudo-terminals and some adapters have no
// modem lines; that is no reason to refuse the port.
int SetModemLine(int fd, int line, bool on) {
  if (ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line) == 0) return 0;
  const int err = errno;
  return ClassifyErrno(err) == ErrnoKind::Unsupported ? 0 : err;
}

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

ErrnoKind ClassifyErrno(int err) {
  switch (err) {
    case EINTR:
      return ErrnoKind::Interrupted;
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
      return ErrnoKind::WouldBlock;
    case ENOTTY:
    case EINVAL:
    case ENOSYS:
    case EOPNOTSUPP:
      return ErrnoKind::Unsupported;
    // A hung-up tty answers EIO; an adapter pulled out of the bus answers
    // ENXIO or ENODEV on the calls that reach its driver.
    case EIO:
    case ENXIO:
    case ENODEV:
    case EPIPE:
      return ErrnoKind::DeviceGone;
    default:
      return ErrnoKind::Failure;
  }
}

std::string DevicePath(const std::string& name) {
  if (!name.empty() && name[0] == '/') return name;
  // "COMn" is the n-th on-board UART, ttyS(n-1).
  if (name.size() > 3 && name.size() <= 12 && (name[0] == 'C' || name[0] == 'c') &&
      (name[1] == 'O' || name[1] == 'o') && (name[2] == 'M' || name[2] == 'm') &&
      std::all_of(name.begin() + 3, name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    const long n = std::strtol(name.c_str() + 3, nullptr, 10);
    if (n >= 1) return "/dev/ttyS" + std::to_string(n - 1);
  }
  return "/dev/" + name;
}

int OpenExclusive(const std::string& path, int* fd) {
  // Non-blocking: a port without carrier must not hang the opening, and reads
  // must return at once with what has arrived.
  const int f = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (f < 0) return errno;
  if (!isatty(f)) {
    close(f);
    return ENOTTY;
  }
  // Two locks, because neither is enough alone. TIOCEXCL is enforced by the
  // kernel on every later open() of the tty, by any program, but it only takes
  // effect once set: two programs opening at the same moment can both get in
  // before either sets it, and it does not stop root. flock() is atomic between
  // programs that lock (a second instance of this tool, other serial tools) and
  // binds root as well, but a program that does not lock ignores it. A held
  // lock fails with EWOULDBLOCK, a tty held exclusively by another program
  // already fails the open() with EBUSY.
  if (flock(f, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    close(f);
    return err;
  }
  if (ioctl(f, TIOCEXCL) != 0 && ClassifyErrno(errno) != ErrnoKind::Unsupported) {
    const int err = errno;
    close(f);
    return err;
  }
  *fd = f;
  return 0;
}

void CloseExclusive(int fd) {
  // The exclusive flag belongs to the tty, not to this descriptor: a tty that
  // stays open elsewhere (the far side of a pseudo-terminal) would keep
  // refusing every later open, ours included.
  ioctl(fd, TIOCNXCL);
  close(fd);
}

int ApplyLine(int fd, const LineConfig& c) {
  if (c.bitRate <= 0) return EINVAL;
  termios t{};
  if (tcgetattr(fd, &t) != 0) return errno;

  // Transparent 8-bit transfer: no byte is translated, dropped or echoed.
  // VMIN 1 with the non-blocking descriptor: a read returns at once with what
  // has arrived, EAGAIN when nothing has, and 0 only at a hang-up. (With
  // VMIN 0 an empty queue also reads as 0 and a hang-up could not be told.)
  t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                      IXON | IXOFF | IXANY | IMAXBEL | IGNPAR | INPCK | IUCLC);
  t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ECHOE | ECHOK | ICANON | ISIG | IEXTEN);
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;

  // Checking parity with replacement: with INPCK and neither IGNPAR nor PARMRK
  // the driver hands a byte with a parity error over as 0, the only
  // replacement byte termios offers. Without replacement the byte passes as
  // received; line errors are counted by the driver either way.
  if (c.replaceParityErrors) t.c_iflag |= INPCK;
  if (c.xonXoffOut) t.c_iflag |= IXON;
  if (c.xonXoffIn) t.c_iflag |= IXOFF;
  t.c_cc[VSTART] = c.xonChar;
  t.c_cc[VSTOP] = c.xoffChar;

  t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  // CLOCAL: the heater's line has no carrier; without CLOCAL a missing or
  // dropped carrier would hold up opening and hang the line up. HUPCL stays
  // on: when the port closes, DTR and RTS drop, so a far end that watches them
  // sees the tool going away; while open they are held as the settings say.
  t.c_cflag |= CREAD | CLOCAL | HUPCL;
  static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
  t.c_cflag |= kSizes[c.dataBits <= dbEight ? c.dataBits : dbEight];
  // With five data bits a UART sends 1.5 stop bits when told to send two.
  if (c.stopBits != sbOneStopBit) t.c_cflag |= CSTOPB;
  switch (c.parity) {
    case prNone:
      break;
    case prOdd:
      t.c_cflag |= PARENB | PARODD;
      break;
    case prEven:
      t.c_cflag |= PARENB;
      break;
    case prMark:
      t.c_cflag |= PARENB | CMSPAR | PARODD;
      break;
    case prSpace:
      t.c_cflag |= PARENB | CMSPAR;
      break;
  }
  if (c.rtsCtsFlow) t.c_cflag |= CRTSCTS;

  const speed_t standard = StandardSpeed(c.bitRate);
  const speed_t placeholder = standard != B0 ? standard : B38400;
  cfsetispeed(&t, placeholder);
  cfsetospeed(&t, placeholder);
  if (tcsetattr(fd, TCSANOW, &t) != 0) return errno;
  if (standard == B0) {
    if (const int err = SetOtherRate(fd, c.bitRate)) return err;
  }

  // dtrHandshake has no termios counterpart: the line is held on, as a
  // handshaking peer expects while the port is open.
  if (const int err = SetModemLine(fd, TIOCM_DTR, c.dtr != dtrDisable)) return err;
  // With CRTSCTS the driver drives RTS itself. rtsToggle has no counterpart:
  // RTS is held off, as between transmissions.
  if (!c.rtsCtsFlow) {
    if (const int err = SetModemLine(fd, TIOCM_RTS, c.rts == rtsEnable)) return err;
  }
  return 0;
}

int InputCount(int fd, int* count) {
  int n = 0;
  if (ioctl(fd, FIONREAD, &n) != 0) return errno;
  *count = n;
  return 0;
}

ReadResult ReadAvailable(int fd, char* buffer, size_t size) {
  ReadResult r;
  for (;;) {
    const ssize_t n = read(fd, buffer, size);
    if (n > 0) {
      r.bytes = static_cast<size_t>(n);
      return r;
    }
    // On a non-blocking descriptor "no data" is EAGAIN; 0 is the end of file
    // that a hung-up tty reports.
    if (n == 0) {
      r.endOfFile = true;
      return r;
    }
    const int err = errno;
    switch (ClassifyErrno(err)) {
      case ErrnoKind::Interrupted:
        continue;
      case ErrnoKind::WouldBlock:
        return r;
      default:
        r.error = err;
        return r;
    }
  }
}

WriteResult WriteWithin(int fd, const char* data, size_t size, int limitMs, int bitRate) {
  using Clock = std::chrono::steady_clock;
  const bool limited = limitMs >= 0;
  const Clock::time_point deadline =
      Clock::now() + std::chrono::milliseconds(limited ? limitMs : 0);
  WriteResult r;
  while (r.written < size) {
    const ssize_t n = write(fd, data + r.written, size - r.written);
    if (n > 0) {
      r.written += static_cast<size_t>(n);
      continue;
    }
    if (n < 0) {
      const int err = errno;
      const ErrnoKind kind = ClassifyErrno(err);
      if (kind == ErrnoKind::Interrupted) continue;
      if (kind != ErrnoKind::WouldBlock) {
        r.error = err;
        return r;
      }
    }
    // The driver's queue is full (the far end holds the line back): wait for
    // room. A hang-up wakes the wait and the next write tells why. The wait
    // is sliced because a pseudo-terminal does not always wake writers when
    // room appears.
    const int left = limited ? RemainingMs(deadline) : kWriteRetryMs;
    if (left == 0) {
      // Out of time with part of the bytes taken: they must not go out later,
      // ahead of whatever is written next. Only a write that fell short is
      // flushed: on a pseudo-terminal the flush also discards what the far
      // end has not read yet, earlier writes included.
      if (r.written > 0) {
        int queued = 0;
        if (ioctl(fd, TIOCOUTQ, &queued) != 0) queued = 0;
        tcflush(fd, TCOFLUSH);
        r.written -= std::min(r.written, static_cast<size_t>(std::max(queued, 0)));
      }
      return r;
    }
    pollfd p{fd, POLLOUT, 0};
    if (poll(&p, 1, std::min(left, kWriteRetryMs)) < 0 && errno != EINTR) {
      r.error = errno;
      return r;
    }
  }
  // The write counts as complete when the bytes have left the driver, so that
  // closing the port right after a request cannot cut it off.
  for (;;) {
    int queued = 0;
    if (ioctl(fd, TIOCOUTQ, &queued) != 0) {
      const int err = errno;
      if (ClassifyErrno(err) != ErrnoKind::Unsupported) r.error = err;
      return r;
    }
    if (queued <= 0) return r;
    const int left = limited ? RemainingMs(deadline) : 1000;
    if (left == 0) {
      // Out of time: what has not left is discarded rather than sent at some
      // later moment, and is not counted as written.
      tcflush(fd, TCOFLUSH);
      r.written -= std::min(r.written, static_cast<size_t>(queued));
      return r;
    }
    // About ten bits per byte on the line.
    const long perQueueMs = bitRate > 0 ? static_cast<long>(queued) * 10'000L / bitRate : 10;
    poll(nullptr, 0, static_cast<int>(std::clamp<long>(perQueueMs, 1, std::min(left, 50))));
  }
}

int ModemLines(int fd, TComSignals* states) {
  *states = {};
  int lines = 0;
  if (ioctl(fd, TIOCMGET, &lines) != 0) {
    const int err = errno;
    return ClassifyErrno(err) == ErrnoKind::Unsupported ? 0 : err;
  }
  if (lines & TIOCM_CTS) states->Add(csCTS);
  if (lines & TIOCM_DSR) states->Add(csDSR);
  if (lines & TIOCM_RNG) states->Add(csRing);
  if (lines & TIOCM_CAR) states->Add(csRLSD);
  return 0;
}

int ReadLineErrorCounts(int fd, LineErrorCounts* counts) {
  serial_icounter_struct ic{};
  if (ioctl(fd, TIOCGICOUNT, &ic) != 0) return errno;
  (*counts)[leFrame] = static_cast<uint32_t>(ic.frame);
  (*counts)[leParity] = static_cast<uint32_t>(ic.parity);
  (*counts)[leOverrun] = static_cast<uint32_t>(ic.overrun);
  (*counts)[leBreak] = static_cast<uint32_t>(ic.brk);
  (*counts)[leBufferOverrun] = static_cast<uint32_t>(ic.buf_overrun);
  return 0;
}

int Purge(int fd) { return tcflush(fd, TCIOFLUSH) == 0 ? 0 : errno; }

}  // namespace o5::posix
