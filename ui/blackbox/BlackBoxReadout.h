// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The black-box readout behind the main window's bBlackBoxClick: a probe for
// the signature, then the 256 bytes in 3-byte chunks into BlackBoxImage, with
// the progress panel shown in the black-box window, and the report at the end.

#include <cstdint>

#include "heater/RequestChannel.h"

namespace o5 {

class TfBB;

inline constexpr int kBlackBoxChunkSize = 3;
inline constexpr int kBlackBoxChunkCount = 85;  // addresses 0, 3, ..., 252
// 85 chunks end at 254; this read brings 255 (and 253, 254 again).
inline constexpr uint8_t kBlackBoxTailAddress = 253;

// A missing reply ends the readout at once (the channel has written its
// time-out line): the window is hidden, the image keeps the chunks read so far,
// and the report stays as it was. Firmware without a black box gets a notice in
// the console and the window stays hidden. A failed write propagates.
void ReadBlackBox(RequestChannel& channel, TfBB& window);

}  // namespace o5
