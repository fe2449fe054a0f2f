// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The heater's 256-byte fault and statistics memory. Multi-byte fields are little-endian;
// counters saturate instead of wrapping, so a long simulated run never turns a total negative.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace o5::sim {

class BlackBox {
 public:
  static constexpr std::size_t kSize = 256;
  using Image = std::array<std::uint8_t, kSize>;

  // Addresses of the header fields.
  static constexpr std::size_t kFlameLearning = 0;  // three bytes
  static constexpr std::size_t kSignature = 3;      // two bytes
  static constexpr std::size_t kVersion = 5;
  static constexpr std::size_t kCurrentRecord = 6;
  static constexpr std::size_t kInterruptions = 7;
  static constexpr std::size_t kStartsFirstAttempt = 8;  // 16 bits
  static constexpr std::size_t kStartsLaterAttempt = 10;  // 16 bits
  static constexpr std::size_t kFailedStarts = 12;
  static constexpr std::size_t kRunTimeTotal = 13;    // 32 bits signed, seconds
  static constexpr std::size_t kRunTimeLow = 17;      // 32 bits signed
  static constexpr std::size_t kRunTimeHigh = 21;     // 32 bits signed
  static constexpr std::size_t kRunTimeStandby = 25;  // 32 bits signed
  static constexpr std::size_t kFaultCount = 29;      // 16 bits, code 13 not counted
  static constexpr std::size_t kProductCode = 31;
  static constexpr std::size_t kSerialNumber = 32;  // 24 bits
  static constexpr std::size_t kConfiguration = 35;
  static constexpr std::size_t kRecords = 48;
  static constexpr std::size_t kRecordSize = 16;
  static constexpr std::size_t kRecordCount = 13;

  // Signature of firmware with a black box, and the second byte that firmware without one
  // answers in its place.
  static constexpr std::uint8_t kSignature1 = 0x55;
  static constexpr std::uint8_t kSignature2 = 0x37;
  static constexpr std::uint8_t kSignature2Absent = 0x38;

  // Read past the end of the memory, the way erased cells read.
  static constexpr std::uint8_t kBeyondEnd = 0xFF;

  struct FaultRecord {
    std::uint8_t repeats = 1;
    std::uint8_t code = 0;
    std::uint16_t timeSeconds = 0;
    std::uint8_t mode = 0;
    std::uint8_t voltageTenths = 0;
    std::uint16_t flameKelvin = 0;
    std::int8_t liquid = 0;
    std::int8_t overheat = 0;
    std::int8_t liquidAfter10s = 0;
    std::uint8_t attempt = 1;
    std::array<std::uint8_t, 4> faultBytes{};
  };

  enum class RunMode { Other, Low, High, Standby };

  // A used heater's memory: counters, run times, identity data and 13 fault records.
  BlackBox();

  const Image& Bytes() const { return image_; }
  std::uint8_t At(std::size_t address) const { return address < kSize ? image_[address] : kBeyondEnd; }

  // Throw std::runtime_error with the file's name and the reason.
  void LoadFile(const std::string& path);
  void SaveFile(const std::string& path) const;
  void SetImage(const Image& image) { image_ = image; }

  void CountStart(unsigned attempt);
  void CountFailedStart();
  void AddRunTime(RunMode mode, std::uint32_t seconds);
  // Writes the record over the oldest one, or counts a repeat when the newest record holds
  // the same code.
  void RecordFault(const FaultRecord& record);
  FaultRecord Record(std::size_t index) const;

  std::uint32_t Unsigned(std::size_t address, std::size_t width) const;
  std::int32_t Signed32(std::size_t address) const;

 private:
  void PutUnsigned(std::size_t address, std::size_t width, std::uint32_t value);
  void PutRecord(std::size_t index, const FaultRecord& record);
  void AddSaturated(std::size_t address, std::size_t width, std::uint32_t amount);
  void AddSigned32(std::size_t address, std::uint32_t amount);

  Image image_{};
};

}  // namespace o5::sim
