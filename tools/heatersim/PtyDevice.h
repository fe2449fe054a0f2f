// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The simulator's end of a pseudo-terminal. The tool opens the other end (the slave device)
// as if it were the serial port the heater is wired to.

#include <string>

namespace o5::sim {

class PtyDevice {
 public:
  PtyDevice() = default;
  ~PtyDevice();
  PtyDevice(const PtyDevice&) = delete;
  PtyDevice& operator=(const PtyDevice&) = delete;

  // Creates a new pseudo-terminal; throws std::system_error.
  void Open();
  // Closes our end: whoever holds the device sees a hang-up, as when an adapter is unplugged.
  void Close();
  bool IsOpen() const { return master_ >= 0; }
  int Fd() const { return master_; }
  const std::string& DevicePath() const { return devicePath_; }

  // Whether some program holds the device open. Meaningful only while IsOpen().
  bool PeerPresent() const;

  // Holds the device the way another program that grabbed it would: open, locked and in
  // exclusive mode, so that a program opening it is refused as "busy". Release lets go.
  void Hold();
  void Release();
  bool Held() const { return held_ >= 0; }

  // A symbolic link at `path` to the current device, replacing an earlier link there but never
  // a file or folder; throws std::runtime_error.
  void PlaceLink(const std::string& path);
  // Removes the link if it still points to a device of ours.
  void RemoveLink();
  const std::string& LinkPath() const { return linkPath_; }

 private:
  int master_ = -1;
  int held_ = -1;
  std::string devicePath_;
  std::string linkPath_;
  std::string linkTarget_;
};

}  // namespace o5::sim
