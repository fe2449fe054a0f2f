// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 10-byte frame from the heater's side of the line. Written from the protocol tables on
// purpose, without the tool's own codec: a mistake shared by both would otherwise pass unseen.
//
// Bytes are numbered 1..10 on the line; the array below holds byte N at index N - 1.

#include <array>
#include <cstddef>
#include <cstdint>

namespace o5::sim {

inline constexpr std::size_t kFrameSize = 10;
inline constexpr std::uint8_t kStartByte = 0xAA;

// Control byte (byte 2). The heater sets the reply flag in every answer; requests that want an
// answer carry 0x08 (bit string "00001001"), frames sent blindly only 0x01 ("00000001").
inline constexpr std::uint8_t kReplyFlag = 0x10;
inline constexpr std::uint8_t kAnswerWanted = 0x08;
inline constexpr std::uint8_t kTelemetryControl = 0x00;

// Indices into a frame.
inline constexpr std::size_t kControlIndex = 1;
inline constexpr std::size_t kByte3Index = 2;
inline constexpr std::size_t kByte4Index = 3;
inline constexpr std::size_t kCodeIndex = 4;
inline constexpr std::size_t kDataIndex = 5;  // bytes 6..9
inline constexpr std::size_t kChecksumIndex = 9;

// Request codes (byte 5).
inline constexpr std::uint8_t kCodeStart = 1;
inline constexpr std::uint8_t kCodeStop = 3;
inline constexpr std::uint8_t kCodePostStart = 19;
inline constexpr std::uint8_t kCodeExit = 20;
inline constexpr std::uint8_t kCodeVersion = 104;
inline constexpr std::uint8_t kCodeVersionDate = 105;
inline constexpr std::uint8_t kCodeBlackBoxRead = 119;

// Telemetry kinds (byte 5 of frames the heater sends on its own), one cycle from 'e' to 'k'.
inline constexpr std::uint8_t kKindRunTime = 'e';
inline constexpr std::uint8_t kKindFanPump = 'f';
inline constexpr std::uint8_t kKindPower = 'g';
inline constexpr std::uint8_t kKindTemperatures = 'h';
inline constexpr std::uint8_t kKindBoard = 'i';
inline constexpr std::uint8_t kKindFaults = 'j';
inline constexpr std::uint8_t kKindEndOfCycle = 'k';
inline constexpr std::size_t kKindsPerCycle = 7;

using Frame = std::array<std::uint8_t, kFrameSize>;
using FrameData = std::array<std::uint8_t, 4>;

// Low eight bits of the sum of bytes 1..9, the start byte included.
std::uint8_t FrameChecksum(const Frame& frame);
bool HasValidChecksum(const Frame& frame);
Frame BuildFrame(std::uint8_t control, std::uint8_t byte3, std::uint8_t byte4, std::uint8_t code,
                 const FrameData& data);

}  // namespace o5::sim
