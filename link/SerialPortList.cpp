// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/SerialPortList.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>

#include "heater/TextTranslation.h"
#include "link/ComPortPosix.h"

namespace o5 {

namespace {

constexpr const char* kOnBoardText = O5_TEXT("SerialPortList", "Встроенный последовательный порт");
constexpr const char* kPseudoTerminalText = O5_TEXT("SerialPortList", "Псевдотерминал");
constexpr const char* kBluetoothText = O5_TEXT("SerialPortList", "Последовательный порт Bluetooth");
constexpr const char* kSeparator = " · ";
// Unix98 pseudo-terminal slaves have the majors 136 to 143.
constexpr unsigned kPtyMajorFirst = 136;
constexpr unsigned kPtyMajorLast = 143;
// The USB device sits a few folders above a tty's device: interface, then
// (for usb-serial drivers) the port between them.
constexpr int kUsbSearchDepth = 6;

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

std::string RealPath(const std::string& path) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (!resolved) return {};
  std::string out = resolved;
  std::free(resolved);
  return out;
}

// The first line of a small sysfs attribute, without surrounding blanks.
std::string ReadAttribute(const std::string& path) {
  std::ifstream file(path);
  std::string line;
  if (!std::getline(file, line)) return {};
  const auto first = line.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = line.find_last_not_of(" \t\r\n");
  return line.substr(first, last - first + 1);
}

std::string Parent(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Whether a tty class entry is a serial port that is really there. The 8250
// driver registers ttyS0..ttyS31 whether or not a UART answers at the address;
// the ones without one read "type" 0 (no UART). Other serial drivers create
// their ttys only for devices that exist.
bool IsSerialPort(const std::string& classDir, const std::string& name) {
  const std::string entry = classDir + "/" + name;
  if (StartsWith(name, "ttyS") && name.size() > 4 && name[4] >= '0' && name[4] <= '9') {
    std::ifstream typeFile(entry + "/type");
    int type = 0;
    if (typeFile >> type) return type != 0;
    return Exists(entry + "/device/driver");
  }
  static const char* const kSerialPrefixes[] = {"ttyUSB", "ttyACM", "ttyAMA",   "rfcomm",
                                                "ttymxc", "ttySAC", "ttyO",     "ttyHS",
                                                "ttyTHS", "ttyMSM", "ttyXRUSB", "ttySC"};
  for (const char* prefix : kSerialPrefixes)
    if (StartsWith(name, prefix)) return true;
  // Virtual consoles and the pty multiplexer have no driver link; serial
  // drivers not named above do.
  return Exists(entry + "/device/driver");
}

// The device a name from the extra list stands for, as the port opens it,
// with <dev> in place of /dev.
std::string ExtraDevicePath(const SerialPortRoots& roots, const std::string& name) {
  if (!name.empty() && name[0] == '/') return name;
  return roots.dev + posix::DevicePath(name).substr(std::strlen("/dev"));
}

// A pseudo-terminal slave: the multiplexer beside them in <dev>/pts is none.
bool IsPseudoTerminal(const SerialPortRoots& roots, const std::string& real) {
  if (StartsWith(real, roots.dev + "/pts/")) return BaseName(real) != "ptmx";
  struct stat st {};
  if (stat(real.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return false;
  const unsigned major = ::major(st.st_rdev);
  return major >= kPtyMajorFirst && major <= kPtyMajorLast;
}

// Whether a resolved path is a terminal a port may be: a pseudo-terminal, or
// the node in <dev> of a serial port of the tty class (by the rule of the
// system's own list). Plain files, /dev/null and the like are not.
bool IsPortTerminal(const SerialPortRoots& roots, const std::string& devReal,
                    const std::string& real) {
  if (IsPseudoTerminal(roots, real)) return true;
  if (Parent(real) != devReal) return false;
  const std::string classDir = roots.sys + "/class/tty";
  const std::string name = BaseName(real);
  return Exists(classDir + "/" + name) && IsSerialPort(classDir, name);
}

bool IsLink(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::string UsbText(const std::string& usbDir) {
  const std::string maker = ReadAttribute(usbDir + "/manufacturer");
  const std::string product = ReadAttribute(usbDir + "/product");
  const std::string serial = ReadAttribute(usbDir + "/serial");
  const std::string id =
      ReadAttribute(usbDir + "/idVendor") + ":" + ReadAttribute(usbDir + "/idProduct");
  // Some products repeat their maker's name.
  std::string text = maker.empty() ? product : maker;
  if (!maker.empty() && !product.empty())
    text = StartsWith(product, maker) ? product : maker + " " + product;
  for (const std::string& part : {serial, id}) {
    if (part.empty()) continue;
    if (!text.empty()) text += kSeparator;
    text += part;
  }
  return text;
}

// Describes devices; the by-id links are read once for a whole list.
class Describer {
 public:
  explicit Describer(const SerialPortRoots& roots) : roots_(roots) {}

  std::string Describe(const std::string& path) {
    const std::string real = RealPath(path);
    if (real.empty()) return {};
    if (IsPseudoTerminal(roots_, real)) return Translate("SerialPortList", kPseudoTerminalText);
    std::string text = KindText(BaseName(real));
    const std::string link = ByIdLink(real);
    if (!link.empty()) text += (text.empty() ? "" : "\n") + link;
    return text;
  }

 private:

  std::string KindText(const std::string& name) const {
    const std::string entry = roots_.sys + "/class/tty/" + name;
    if (!Exists(entry)) return {};
    const std::string device = RealPath(entry + "/device");
    if (device.empty()) return StartsWith(name, "rfcomm") ? Translate("SerialPortList", kBluetoothText) : std::string();
    std::string dir = device;
    for (int i = 0; i < kUsbSearchDepth && dir.size() > roots_.sys.size(); ++i) {
      if (Exists(dir + "/idVendor") && Exists(dir + "/idProduct")) return UsbText(dir);
      dir = Parent(dir);
    }
    return Translate("SerialPortList", kOnBoardText);
  }

  std::string ByIdLink(const std::string& real) {
    if (!byIdRead_) {
      byIdRead_ = true;
      const std::string folder = roots_.dev + "/serial/by-id";
      if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* e = readdir(dir)) {
          const std::string name = e->d_name;
          if (name == "." || name == "..") continue;
          const std::string target = RealPath(folder + "/" + name);
          if (!target.empty()) byId_.emplace(target, folder + "/" + name);
        }
        closedir(dir);
      }
    }
    const auto it = byId_.find(real);
    return it == byId_.end() ? std::string() : it->second;
  }

  const SerialPortRoots& roots_;
  bool byIdRead_ = false;
  std::map<std::string, std::string> byId_;  // real device path -> its by-id link
};

// Where a device is listed: its entry, and whether under a link's name.
struct Listed {
  size_t index;
  bool byLink;
};

// Each device is listed once: under the first link of the extra list that
// leads to it (a by-id link, the simulator's link), so that the port can be
// opened by that stable name; otherwise under the first path found for it,
// the system's own before the extra list's.
void AddExtra(const SerialPortRoots& roots, const char* extra, std::vector<SerialPortEntry>& out,
              std::map<std::string, Listed>& byDevice, Describer& describer) {
  if (!extra) return;
  const std::string devReal = RealPath(roots.dev);
  std::string item;
  auto flush = [&] {
    if (item.empty()) return;
    // A link that follows an adapter or the simulator is listed while it
    // leads to a terminal.
    const std::string device = ExtraDevicePath(roots, item);
    const std::string real = RealPath(device);
    if (!real.empty() && IsPortTerminal(roots, devReal, real)) {
      const bool link = IsLink(device);
      const auto [at, added] = byDevice.emplace(real, Listed{out.size(), link});
      if (added) {
        out.push_back({item, describer.Describe(device)});
      } else if (link && !at->second.byLink) {
        out[at->second.index].path = item;
        at->second.byLink = true;
      }
    }
    item.clear();
  };
  for (const char* p = extra; *p; ++p) {
    if (*p == ':' || *p == ' ' || *p == '\t' || *p == '\n')
      flush();
    else
      item += *p;
  }
  flush();
}

}  // namespace

int ListSerialDevices(const SerialPortRoots& roots, const char* extra,
                      std::vector<SerialPortEntry>& out) {
  out.clear();
  Describer describer(roots);
  std::map<std::string, Listed> byDevice;  // resolved device path -> its entry
  const std::string classDir = roots.sys + "/class/tty";
  DIR* dir = opendir(classDir.c_str());
  if (!dir && errno != ENOENT) return errno;
  if (dir) {
    for (;;) {
      errno = 0;
      const dirent* entry = readdir(dir);
      if (!entry) {
        const int err = errno;
        closedir(dir);
        if (err != 0) return err;
        break;
      }
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      // sysfs may show devices whose nodes this system (a container) lacks.
      const std::string node = roots.dev + "/" + name;
      if (IsSerialPort(classDir, name) && Exists(node)) {
        byDevice.emplace(RealPath(node), Listed{out.size(), false});
        out.push_back({node, describer.Describe(node)});
      }
    }
  }
  AddExtra(roots, extra, out, byDevice, describer);
  return 0;
}

std::string DescribeSerialDevice(const SerialPortRoots& roots, const std::string& path) {
  Describer describer(roots);
  return describer.Describe(path);
}

}  // namespace o5
