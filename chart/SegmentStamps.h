// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pixels that QPainter sets for one aliased, solid segment with square
// caps from one pixel centre to another, kept as row runs relative to the
// start pixel. A segment depends only on its pen width and its two steps
// (dx, dy): whole-pixel moves change no pixel of it. Each form is drawn once
// with QPainter on a small image and read back, so a stamp is that
// rasteriser's own result whatever its rounding rules; stamping it again is
// then a few writes instead of a pass through the rasteriser.

#include <QtGlobal>

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace o5 {

class SegmentStamps {
 public:
  struct Run {
    std::int16_t dy;  // row, from the start pixel
    std::int16_t x0;  // first and last column of the run, from the start pixel
    std::int16_t x1;
  };
  struct Stamp {
    std::vector<Run> runs;
    int left = 0, top = 0, right = 0, bottom = 0;  // bounds of the runs
  };

  // Forms beyond these are left to QPainter: they are rare (a gap in the
  // data, a jump across the plot) and would only fill the store.
  static constexpr int kMostDx = 16;
  static constexpr int kMostDy = 4096;
  static constexpr int kMostWidth = 64;
  static constexpr std::size_t kMostRuns = std::size_t{1} << 20;

  // The stamp of a segment of `width` pixels from (0, 0) to (dx, dy), or
  // nullptr when that form is not kept (dx < 1 or beyond the limits above).
  const Stamp* Find(int width, int dx, int dy);

  // Sets the stamp's pixels with the start pixel at (x, y); the caller has
  // checked that the stamp's bounds lie within the image.
  static void Put(const Stamp& stamp, uchar* bits, qsizetype stride, int x, int y, std::uint32_t argb) {
    for (const Run& r : stamp.runs) {
      auto* row = reinterpret_cast<std::uint32_t*>(bits + (y + r.dy) * stride);
      for (int px = x + r.x0; px <= x + r.x1; ++px) row[px] = argb;
    }
  }

 private:
  static Stamp Draw(int width, int dx, int dy);

  std::unordered_map<std::uint64_t, Stamp> stamps_;
  std::size_t runs_ = 0;
};

}  // namespace o5
