// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/SegmentStamps.h"

#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPen>

#include <cstdlib>

namespace o5 {

const SegmentStamps::Stamp* SegmentStamps::Find(int width, int dx, int dy) {
  if (dx < 1 || dx > kMostDx || std::abs(dy) > kMostDy || width < 1 || width > kMostWidth) return nullptr;
  const std::uint64_t key = (static_cast<std::uint64_t>(width) << 40) | (static_cast<std::uint64_t>(dx) << 20) |
                            static_cast<std::uint32_t>(dy + kMostDy);
  if (auto it = stamps_.find(key); it != stamps_.end()) return &it->second;
  if (runs_ >= kMostRuns) return nullptr;
  Stamp stamp = Draw(width, dx, dy);
  runs_ += stamp.runs.size();
  return &stamps_.emplace(key, std::move(stamp)).first->second;
}

SegmentStamps::Stamp SegmentStamps::Draw(int width, int dx, int dy) {
  // Drawn as the chart draws its lines: aliased, opaque, clipped to the
  // picture, the pen of a series.
  const int margin = width + 2;
  const int x0 = margin;
  const int y0 = margin + std::max(0, -dy);
  QImage image(dx + 2 * margin + 1, std::abs(dy) + 2 * margin + 1, QImage::Format_ARGB32_Premultiplied);
  image.fill(0);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRect(image.rect());
    painter.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const QLineF line(x0 + 0.5, y0 + 0.5, x0 + dx + 0.5, y0 + dy + 0.5);
    painter.drawLines(&line, 1);
  }
  Stamp stamp;
  stamp.left = stamp.top = 1 << 20;
  stamp.right = stamp.bottom = -(1 << 20);
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    for (int x = 0; x < image.width();) {
      if (row[x] == 0) {
        ++x;
        continue;
      }
      int end = x;
      while (end + 1 < image.width() && row[end + 1] != 0) ++end;
      stamp.runs.push_back({static_cast<std::int16_t>(y - y0), static_cast<std::int16_t>(x - x0),
                            static_cast<std::int16_t>(end - x0)});
      stamp.left = std::min(stamp.left, x - x0);
      stamp.right = std::max(stamp.right, end - x0);
      stamp.top = std::min(stamp.top, y - y0);
      stamp.bottom = std::max(stamp.bottom, y - y0);
      x = end + 1;
    }
  }
  return stamp;
}

}  // namespace o5
