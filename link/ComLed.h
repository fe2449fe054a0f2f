// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small lamp that shows one signal of a serial port; the tool uses it for the
// connection state: lit while the port is open.

#include <QImage>
#include <QWidget>
#include <functional>

#include "link/ComPort.h"

namespace o5 {

enum TComLedSignal : uint8_t { lsConn, lsCTS, lsDSR, lsRLSD, lsRing, lsRx, lsTx };
enum TLedKind : uint8_t {
  lkRedLight,
  lkGreenLight,
  lkBlueLight,
  lkYellowLight,
  lkPurpleLight,
  lkBulb,
  lkCustom
};
enum TLedState : uint8_t { lsOff, lsOn };

// Side of the lamp pictures of the built-in kinds.
inline constexpr int kLedGlyphSize = 15;

class TComLed : public QWidget, private TComPortObserver {
  Q_OBJECT

 public:
  explicit TComLed(QWidget* parent = nullptr);
  ~TComLed() override;

  TCustomComPort* ComPort() const { return port_; }
  // Follows the port's connection from now on; bound to an open port the lamp
  // lights at once, bound to none it goes off.
  void SetComPort(TCustomComPort* port);
  TComLedSignal LedSignal() const { return signal_; }
  void SetLedSignal(TComLedSignal v);
  TLedKind Kind() const { return kind_; }
  void SetKind(TLedKind v);
  TLedState State() const { return state_; }
  // Error 19 while a port is bound: the lamp then belongs to the port.
  void SetState(TLedState v);
  int RingDuration() const { return ringDuration_; }
  void SetRingDuration(int ms) { ringDuration_ = ms; }
  // Only a custom lamp takes pictures of its own.
  const QImage& GlyphOn() const { return glyphOn_; }
  const QImage& GlyphOff() const { return glyphOff_; }
  void SetGlyphOn(const QImage& image);
  void SetGlyphOff(const QImage& image);

  std::function<void(QObject* sender, TLedState state)> OnChange;

  QSize sizeHint() const override;

  // The built-in pictures of a kind: a round lamp on a transparent ground.
  static QImage KindGlyph(TLedKind kind, TLedState state);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void ComPortDestroyed(TCustomComPort* port) override;
  void ConnectionChanged(bool on);
  void SetStateInternal(TLedState v);
  void LoadKindGlyphs();
  // The state the bound port's signal gives the lamp now.
  TLedState PortSignalState() const;

  TCustomComPort* port_ = nullptr;
  TComLedSignal signal_ = lsConn;
  TLedKind kind_ = lkRedLight;
  TLedState state_ = lsOff;
  QImage glyphOff_;
  QImage glyphOn_;
  TComLink link_;
  int ringDuration_ = 1000;
};

}  // namespace o5
