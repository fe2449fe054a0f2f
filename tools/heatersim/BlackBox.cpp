// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/heatersim/BlackBox.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <stdexcept>

#include "tools/heatersim/FaultBits.h"

namespace o5::sim {

namespace {

// A heater with a few hundred starts behind it; the fault records are a plausible history,
// record 4 being the newest.
constexpr std::size_t kDefaultCurrentRecord = 4;

const std::array<BlackBox::FaultRecord, BlackBox::kRecordCount>& DefaultRecords() {
  using R = BlackBox::FaultRecord;
  static const std::array<R, BlackBox::kRecordCount> kRecords{{
      R{1, 13, 95, 20, 121, 301, -8, -7, -8, 3, {}},
      R{2, 21, 140, 21, 124, 512, 18, 22, 5, 1, {}},
      R{1, 15, 3610, 22, 104, 780, 71, 79, 12, 1, {}},
      R{1, 8, 5230, 22, 126, 455, 68, 75, 20, 2, {}},
      R{3, 7, 8120, 23, 127, 402, 80, 84, 31, 1, {}},
      R{1, 27, 2, 1, 125, 268, -15, -15, -15, 1, {}},
      R{1, 9, 4, 1, 126, 270, -3, -3, -3, 1, {}},
      R{1, 1, 2710, 22, 127, 810, 96, 118, 25, 1, {}},
      R{2, 13, 110, 20, 119, 285, -20, -19, -20, 3, {}},
      R{1, 5, 15, 3, 125, 0, 12, 12, 12, 1, {}},
      R{1, 2, 2690, 22, 127, 800, 92, 109, 24, 1, {}},
      R{1, 17, 33, 8, 126, 290, 5, 5, 5, 1, {}},
      R{1, 12, 900, 23, 163, 640, 60, 66, 18, 1, {}},
  }};
  return kRecords;
}

std::string SystemReason() { return std::strerror(errno); }

}  // namespace

BlackBox::BlackBox() {
  image_.fill(0);
  image_[kFlameLearning] = 138;
  image_[kFlameLearning + 1] = 142;
  image_[kFlameLearning + 2] = 140;
  image_[kSignature] = kSignature1;
  image_[kSignature + 1] = kSignature2;
  image_[kVersion] = 3;
  image_[kCurrentRecord] = kDefaultCurrentRecord;
  image_[kInterruptions] = 2;
  PutUnsigned(kStartsFirstAttempt, 2, 412);
  PutUnsigned(kStartsLaterAttempt, 2, 37);
  image_[kFailedStarts] = 5;
  PutUnsigned(kRunTimeTotal, 4, 1296450);
  PutUnsigned(kRunTimeLow, 4, 402118);
  PutUnsigned(kRunTimeHigh, 4, 611905);
  PutUnsigned(kRunTimeStandby, 4, 198760);
  PutUnsigned(kFaultCount, 2, 14);
  image_[kProductCode] = 33;
  PutUnsigned(kSerialNumber, 3, 104233);
  image_[kConfiguration] = 0x1A;
  for (std::size_t a = kConfiguration + 1; a < kRecords; ++a) image_[a] = 0xFF;
  for (std::size_t k = 0; k < kRecordCount; ++k) {
    FaultRecord record = DefaultRecords()[k];
    if (const auto bit = FaultBitForCode(record.code)) record.faultBytes[bit->faultByte - 1] = bit->mask;
    PutRecord(k, record);
  }
}

void BlackBox::LoadFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) throw std::runtime_error("cannot open the black-box file " + path + ": " + SystemReason());
  Image image{};
  const std::size_t got = std::fread(image.data(), 1, kSize, file);
  const bool longer = got == kSize && std::fgetc(file) != EOF;
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) throw std::runtime_error("cannot read the black-box file " + path);
  if (got != kSize || longer) {
    throw std::runtime_error("the black-box file " + path + " must hold exactly 256 bytes; it holds " +
                             (longer ? std::string("more") : std::to_string(got)));
  }
  image_ = image;
}

void BlackBox::SaveFile(const std::string& path) const {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) throw std::runtime_error("cannot write the black-box file " + path + ": " + SystemReason());
  const std::size_t put = std::fwrite(image_.data(), 1, kSize, file);
  const bool closed = std::fclose(file) == 0;
  if (put != kSize || !closed) throw std::runtime_error("cannot write the black-box file " + path + ": " + SystemReason());
}

void BlackBox::CountStart(unsigned attempt) {
  AddSaturated(attempt <= 1 ? kStartsFirstAttempt : kStartsLaterAttempt, 2, 1);
}

void BlackBox::CountFailedStart() { AddSaturated(kFailedStarts, 1, 1); }

void BlackBox::AddRunTime(RunMode mode, std::uint32_t seconds) {
  AddSigned32(kRunTimeTotal, seconds);
  switch (mode) {
    case RunMode::Low: AddSigned32(kRunTimeLow, seconds); break;
    case RunMode::High: AddSigned32(kRunTimeHigh, seconds); break;
    case RunMode::Standby: AddSigned32(kRunTimeStandby, seconds); break;
    case RunMode::Other: break;
  }
}

void BlackBox::RecordFault(const FaultRecord& record) {
  std::size_t current = image_[kCurrentRecord];
  // A loaded image may carry any byte here; past the last record the ring starts again.
  if (current >= kRecordCount) current = kRecordCount - 1;
  const std::size_t currentAddress = kRecords + current * kRecordSize;
  if (image_[currentAddress + 1] == record.code && image_[currentAddress] < 255) {
    ++image_[currentAddress];
  } else {
    const std::size_t next = (current + 1) % kRecordCount;
    PutRecord(next, record);
    image_[kCurrentRecord] = static_cast<std::uint8_t>(next);
  }
  if (record.code != kCodeStartAttemptsUsedUp) AddSaturated(kFaultCount, 2, 1);
}

BlackBox::FaultRecord BlackBox::Record(std::size_t index) const {
  const std::size_t a = kRecords + index * kRecordSize;
  FaultRecord r;
  r.repeats = image_[a];
  r.code = image_[a + 1];
  r.timeSeconds = static_cast<std::uint16_t>(Unsigned(a + 2, 2));
  r.mode = image_[a + 4];
  r.voltageTenths = image_[a + 5];
  r.flameKelvin = static_cast<std::uint16_t>(Unsigned(a + 6, 2));
  r.liquid = static_cast<std::int8_t>(image_[a + 8]);
  r.overheat = static_cast<std::int8_t>(image_[a + 9]);
  r.liquidAfter10s = static_cast<std::int8_t>(image_[a + 10]);
  r.attempt = image_[a + 11];
  for (std::size_t i = 0; i < 4; ++i) r.faultBytes[i] = image_[a + 12 + i];
  return r;
}

std::uint32_t BlackBox::Unsigned(std::size_t address, std::size_t width) const {
  std::uint32_t value = 0;
  for (std::size_t i = width; i-- > 0;) value = value << 8 | image_[address + i];
  return value;
}

std::int32_t BlackBox::Signed32(std::size_t address) const {
  return static_cast<std::int32_t>(Unsigned(address, 4));
}

void BlackBox::PutUnsigned(std::size_t address, std::size_t width, std::uint32_t value) {
  for (std::size_t i = 0; i < width; ++i) image_[address + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void BlackBox::PutRecord(std::size_t index, const FaultRecord& r) {
  const std::size_t a = kRecords + index * kRecordSize;
  image_[a] = r.repeats;
  image_[a + 1] = r.code;
  PutUnsigned(a + 2, 2, r.timeSeconds);
  image_[a + 4] = r.mode;
  image_[a + 5] = r.voltageTenths;
  PutUnsigned(a + 6, 2, r.flameKelvin);
  image_[a + 8] = static_cast<std::uint8_t>(r.liquid);
  image_[a + 9] = static_cast<std::uint8_t>(r.overheat);
  image_[a + 10] = static_cast<std::uint8_t>(r.liquidAfter10s);
  image_[a + 11] = r.attempt;
  for (std::size_t i = 0; i < 4; ++i) image_[a + 12 + i] = r.faultBytes[i];
}

void BlackBox::AddSaturated(std::size_t address, std::size_t width, std::uint32_t amount) {
  const std::uint32_t limit = width >= 4 ? std::numeric_limits<std::uint32_t>::max() : (1u << (8 * width)) - 1;
  const std::uint32_t value = Unsigned(address, width);
  PutUnsigned(address, width, amount > limit - value ? limit : value + amount);
}

void BlackBox::AddSigned32(std::size_t address, std::uint32_t amount) {
  // An erased or foreign image may hold a negative total; it then counts up from there.
  const std::int64_t sum = static_cast<std::int64_t>(Signed32(address)) + amount;
  const std::int64_t limit = std::numeric_limits<std::int32_t>::max();
  PutUnsigned(address, 4, static_cast<std::uint32_t>(static_cast<std::int32_t>(sum > limit ? limit : sum)));
}

}  // namespace o5::sim
