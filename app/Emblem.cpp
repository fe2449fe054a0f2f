// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Emblem.h"

#include <QCoreApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace o5 {

namespace {

// A flame over a heater body: the tool is about a fuel-fired heater.
void PaintEmblem(QPainter& p, const QRectF& r) {
  p.setRenderHint(QPainter::Antialiasing);
  const qreal w = r.width(), h = r.height();
  const QRectF body(r.left() + w * 0.12, r.top() + h * 0.62, w * 0.76, h * 0.3);
  QLinearGradient metal(body.topLeft(), body.bottomLeft());
  metal.setColorAt(0, QColor(120, 130, 150));
  metal.setColorAt(1, QColor(50, 60, 80));
  p.setPen(QPen(QColor(30, 35, 45), qMax<qreal>(1, w / 60)));
  p.setBrush(metal);
  p.drawRoundedRect(body, w * 0.06, w * 0.06);

  QPainterPath flame;
  const qreal cx = r.left() + w / 2, base = body.top() + h * 0.02;
  flame.moveTo(cx, r.top() + h * 0.05);
  flame.cubicTo(cx + w * 0.34, r.top() + h * 0.3, cx + w * 0.3, base - h * 0.05, cx, base);
  flame.cubicTo(cx - w * 0.3, base - h * 0.05, cx - w * 0.3, r.top() + h * 0.32, cx - w * 0.06,
                r.top() + h * 0.22);
  flame.cubicTo(cx - w * 0.02, r.top() + h * 0.3, cx + w * 0.04, r.top() + h * 0.2, cx,
                r.top() + h * 0.05);
  QRadialGradient fire(QPointF(cx, base - h * 0.12), h * 0.5);
  fire.setColorAt(0, QColor(255, 240, 120));
  fire.setColorAt(0.5, QColor(255, 150, 30));
  fire.setColorAt(1, QColor(200, 40, 20));
  p.setPen(Qt::NoPen);
  p.setBrush(fire);
  p.drawPath(flame);

  QFont font("Arial");
  font.setBold(true);
  font.setPixelSize(qMax(6, int(h * 0.2)));
  p.setFont(font);
  p.setPen(QColor(240, 240, 240));
  p.drawText(body, Qt::AlignCenter, QCoreApplication::translate("Emblem", "Ортан 5"));
}

}  // namespace

QPixmap MakeEmblem(int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  PaintEmblem(p, QRectF(0, 0, width, height));
  return pixmap;
}

QIcon MakeAppIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(MakeEmblem(size, size));
  return icon;
}

}  // namespace o5
