// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/graph/GraphPicture.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace o5 {

QImage StandAlonePicture(const QImage& chart, const QString& title, const QFont& font,
                         const std::vector<LegendEntry>& legend, const QString& caption) {
  constexpr int kPad = 6;
  constexpr int kSwatch = 18;
  constexpr int kSwatchGap = 4;
  constexpr int kEntryGap = 16;
  const qreal ratio = chart.devicePixelRatio();
  const QSize size = chart.deviceIndependentSize().toSize();
  QFont titleFont = font;
  titleFont.setBold(true);
  const QFontMetrics tm(titleFont);
  const QFontMetrics fm(font);
  const int captionHeight = caption.isEmpty() ? 0 : fm.height() + kPad;
  const int titleHeight = tm.height() + 2 * kPad + captionHeight;

  std::vector<QRect> places;
  int x = kPad;
  int y = 0;
  const int row = std::max(fm.height(), 10) + 4;
  for (const LegendEntry& e : legend) {
    const int w = kSwatch + kSwatchGap + fm.horizontalAdvance(e.caption);
    if (x > kPad && x + w > size.width() - kPad) {
      x = kPad;
      y += row;
    }
    places.emplace_back(x, y, w, row);
    x += w + kEntryGap;
  }
  const int legendHeight = legend.empty() ? 0 : y + row + kPad;

  QImage picture((QSizeF(size.width(), titleHeight + size.height() + legendHeight) * ratio).toSize(),
                 QImage::Format_ARGB32_Premultiplied);
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  painter.setFont(titleFont);
  painter.setPen(Qt::black);
  const int textWidth = size.width() - 2 * kPad;
  painter.drawText(QRect(kPad, 0, textWidth, titleHeight - captionHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   tm.elidedText(title, Qt::ElideMiddle, textWidth));
  painter.setFont(font);
  if (!caption.isEmpty())
    painter.drawText(QRect(kPad, titleHeight - captionHeight, textWidth, fm.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     fm.elidedText(caption, Qt::ElideMiddle, textWidth));
  painter.drawImage(QPoint(0, titleHeight), chart);
  const int legendTop = titleHeight + size.height();
  for (std::size_t k = 0; k < legend.size(); ++k) {
    const QRect r = places[k].translated(0, legendTop);
    const int middle = r.center().y();
    painter.setPen(QPen(legend[k].color, std::max(2, legend[k].width)));
    painter.drawLine(r.left(), middle, r.left() + kSwatch, middle);
    painter.setPen(Qt::black);
    painter.drawText(r.adjusted(kSwatch + kSwatchGap, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, legend[k].caption);
  }
  return picture;
}

}  // namespace o5
