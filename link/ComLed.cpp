// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ComLed.h"

#include <QCoreApplication>
#include <QPainter>
#include <QRadialGradient>
#include <algorithm>

namespace o5 {

namespace {

inline constexpr int kDefaultLedSide = 25;

struct LampColours {
  QColor lit;
  QColor unlit;
};

LampColours KindColours(TLedKind kind) {
  switch (kind) {
    case lkRedLight:
      return {QColor(255, 24, 24), QColor(110, 0, 0)};
    case lkGreenLight:
      return {QColor(40, 255, 40), QColor(0, 90, 0)};
    case lkBlueLight:
      return {QColor(60, 120, 255), QColor(0, 0, 110)};
    case lkYellowLight:
      return {QColor(255, 240, 30), QColor(110, 100, 0)};
    case lkPurpleLight:
      return {QColor(230, 60, 255), QColor(80, 0, 100)};
    case lkBulb:
      return {QColor(255, 255, 200), QColor(120, 120, 100)};
    case lkCustom:
      break;
  }
  return {};
}

}  // namespace

QImage TComLed::KindGlyph(TLedKind kind, TLedState state) {
  if (kind == lkCustom) return {};
  const LampColours colours = KindColours(kind);
  const QColor body = state == lsOn ? colours.lit : colours.unlit;

  QImage image(kLedGlyphSize, kLedGlyphSize, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF lamp(0.5, 0.5, kLedGlyphSize - 1.0, kLedGlyphSize - 1.0);

  // The glass: its colour fills the middle; a lit lamp gets a small white
  // reflection up and to the left, away from the centre.
  QRadialGradient glass(lamp.center(), lamp.width() / 2, QPointF(4.5, 4.5));
  if (state == lsOn) {
    glass.setColorAt(0.0, Qt::white);
    glass.setColorAt(0.25, body);
  } else {
    glass.setColorAt(0.0, body.lighter(130));
    glass.setColorAt(0.25, body);
  }
  glass.setColorAt(1.0, body.darker(160));
  p.setPen(QPen(QColor(60, 60, 60), 1.0));
  p.setBrush(glass);
  p.drawEllipse(lamp);
  return image;
}

TComLed::TComLed(QWidget* parent) : QWidget(parent) {
  link_.NotifyConnection = [this](bool on) { ConnectionChanged(on); };
  resize(kDefaultLedSide, kDefaultLedSide);
  LoadKindGlyphs();
}

TComLed::~TComLed() {
  if (port_) {
    port_->RemoveLink(&link_);
    port_->RemoveObserver(this);
  }
}

QSize TComLed::sizeHint() const { return {kDefaultLedSide, kDefaultLedSide}; }

void TComLed::SetComPort(TCustomComPort* port) {
  if (port == port_) return;
  if (port_) {
    port_->RemoveLink(&link_);
    port_->RemoveObserver(this);
  }
  port_ = port;
  if (port) {
    port->AddObserver(this);
    port->AddLink(&link_);
  }
  // A lamp bound to a closed port shows it closed, whatever it showed before.
  SetStateInternal(PortSignalState());
}

void TComLed::SetLedSignal(TComLedSignal v) {
  if (v == signal_) return;
  signal_ = v;
  if (port_) SetStateInternal(PortSignalState());
}

void TComLed::SetKind(TLedKind v) {
  if (v == kind_) return;
  kind_ = v;
  LoadKindGlyphs();
  update();
}

void TComLed::SetState(TLedState v) {
  if (port_) throw EComPort(CError_LedStateFailed);
  SetStateInternal(v);
}

void TComLed::SetGlyphOn(const QImage& image) {
  if (kind_ != lkCustom) return;
  glyphOn_ = image;
  update();
}

void TComLed::SetGlyphOff(const QImage& image) {
  if (kind_ != lkCustom) return;
  glyphOff_ = image;
  update();
}

void TComLed::paintEvent(QPaintEvent*) {
  if (glyphOn_.isNull() || glyphOff_.isNull()) LoadKindGlyphs();
  const QImage& glyph = (!isEnabled() || state_ == lsOff) ? glyphOff_ : glyphOn_;
  if (glyph.isNull()) return;
  const int x = std::max(0, (width() - glyph.width()) / 2);
  const int y = std::max(0, (height() - glyph.height()) / 2);
  QPainter(this).drawImage(x, y, glyph);
}

void TComLed::ComPortDestroyed(TCustomComPort* port) {
  if (port != port_) return;
  port->RemoveLink(&link_);
  port->RemoveObserver(this);
  port_ = nullptr;
  SetStateInternal(lsOff);
}

void TComLed::ConnectionChanged(bool on) {
  if (signal_ != lsConn) return;
  SetStateInternal(on ? lsOn : lsOff);
  // The port goes on with its opening or closing only after the lamp shows
  // the new state, so the user sees it even when the next step takes long.
  repaint();
  QCoreApplication::processEvents();
}

void TComLed::SetStateInternal(TLedState v) {
  if (v == state_) return;
  state_ = v;
  if (OnChange) OnChange(this, v);
  update();
}

void TComLed::LoadKindGlyphs() {
  if (kind_ == lkCustom) return;
  glyphOn_ = KindGlyph(kind_, lsOn);
  glyphOff_ = KindGlyph(kind_, lsOff);
}

TLedState TComLed::PortSignalState() const {
  if (!port_ || !port_->Connected()) return lsOff;
  switch (signal_) {
    case lsConn:
      return lsOn;
    // These follow the line only at binding: the tool's lamp shows the
    // connection alone, and the port reports no other signal to its links.
    case lsCTS:
      return port_->ModemSignals().Has(csCTS) ? lsOn : lsOff;
    case lsDSR:
      return port_->ModemSignals().Has(csDSR) ? lsOn : lsOff;
    case lsRLSD:
      return port_->ModemSignals().Has(csRLSD) ? lsOn : lsOff;
    case lsRing:
    case lsRx:
    case lsTx:
      break;
  }
  return lsOff;
}

}  // namespace o5
