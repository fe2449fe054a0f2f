// SPDX-License-Identifier: GPL-3.0-or-later
// The connection lamp: follows the port through its link, repaints before the
// port goes on, refuses a state from code while bound, and draws its pictures
// centred.

#include <gtest/gtest.h>

#include <QEvent>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <memory>
#include <vector>

#include "link/ComLed.h"
#include "tests/comui/ComUiSupport.h"
#include "tests/comui/QStringPrinter.h"
#include "tests/support/ErrorCapture.h"

namespace o5 {
namespace {

// What the lamp puts on a transparent ground.
QImage Rendered(TComLed& led) {
  QImage image(led.size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  led.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
  return image;
}

bool TransparentOutside(const QImage& image, const QRect& inside) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (!inside.contains(x, y) && qAlpha(image.pixel(x, y)) != 0) return false;
    }
  }
  return true;
}

class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

class LampTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::TakeErrors();
    test::SetUpLikeMainWindow(port, pty.Path());
    led.OnChange = [this](QObject* sender, TLedState s) {
      EXPECT_EQ(sender, &led);
      changes.push_back(s);
    };
  }

  test::Pty pty;
  TComPort port;
  TComLed led;
  std::vector<TLedState> changes;
};

TEST_F(LampTest, StartsOffRedAndUnbound) {
  EXPECT_EQ(led.size(), QSize(25, 25));
  EXPECT_EQ(led.State(), lsOff);
  EXPECT_EQ(led.Kind(), lkRedLight);
  EXPECT_EQ(led.LedSignal(), lsConn);
  EXPECT_EQ(led.ComPort(), nullptr);
  EXPECT_EQ(led.RingDuration(), 1000);
}

TEST_F(LampTest, UnboundLampTakesItsStateFromCode) {
  led.SetState(lsOn);
  led.SetState(lsOn);
  led.SetState(lsOff);
  EXPECT_EQ(changes, (std::vector<TLedState>{lsOn, lsOff}));
}

TEST_F(LampTest, StateSetOnABoundLampIsError19) {
  led.SetComPort(&port);
  try {
    led.SetState(lsOn);
    FAIL() << "no error";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorCode, 19);
    EXPECT_EQ(e.SystemErrorCode, -1);
    EXPECT_STREQ(e.what(), "Cannot change led state if ComPort is selected");
  }
  EXPECT_EQ(led.State(), lsOff);
}

TEST_F(LampTest, LitWhileThePortIsOpen) {
  led.SetComPort(&port);
  EXPECT_EQ(led.State(), lsOff);
  port.SetConnected(true);
  EXPECT_EQ(led.State(), lsOn);
  port.SetConnected(false);
  EXPECT_EQ(led.State(), lsOff);
  port.SetConnected(true);
  EXPECT_EQ(changes, (std::vector<TLedState>{lsOn, lsOff, lsOn}));
}

TEST_F(LampTest, BindingToAnOpenPortLightsAtOnceAndUnbindingPutsItOut) {
  port.SetConnected(true);
  led.SetComPort(&port);
  EXPECT_EQ(led.State(), lsOn);
  led.SetComPort(nullptr);
  EXPECT_EQ(led.State(), lsOff);
  // Unbound, the port's closing no longer reaches the lamp.
  led.SetState(lsOn);
  port.SetConnected(false);
  EXPECT_EQ(led.State(), lsOn);
}

TEST_F(LampTest, BindingToAClosedPortShowsItClosed) {
  TComPort open;
  test::Pty other;
  test::SetUpLikeMainWindow(open, other.Path());
  open.SetConnected(true);
  led.SetComPort(&open);
  ASSERT_EQ(led.State(), lsOn);
  led.SetComPort(&port);
  EXPECT_EQ(led.State(), lsOff);
  // And it follows the new port only.
  open.SetConnected(false);
  open.SetConnected(true);
  EXPECT_EQ(led.State(), lsOff);
}

TEST_F(LampTest, FailedOpeningLeavesTheLampOff) {
  led.SetComPort(&port);
  port.SetPort(test::kMissingDevice);
  EXPECT_THROW(port.SetConnected(true), EComPort);
  EXPECT_EQ(led.State(), lsOff);
  EXPECT_TRUE(changes.empty());
}

TEST_F(LampTest, RepaintsBeforeThePortGoesOn) {
  QWidget window;
  window.resize(100, 40);
  TComLed* shown = new TComLed(&window);
  shown->setGeometry(10, 10, 19, 19);
  shown->SetComPort(&port);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  PaintCounter counter;
  shown->installEventFilter(&counter);

  int paintsAtAfterOpen = -1;
  int paintsAtAfterClose = -1;
  port.OnAfterOpen = [&](QObject*) { paintsAtAfterOpen = counter.paints; };
  port.OnAfterClose = [&](QObject*) { paintsAtAfterClose = counter.paints; };
  port.SetConnected(true);
  EXPECT_GE(paintsAtAfterOpen, 1);
  const int paintsBeforeClose = counter.paints;
  port.SetConnected(false);
  EXPECT_GT(paintsAtAfterClose, paintsBeforeClose);
}

TEST(LampPictureTest, BuiltInRedPicturesAreRoundLampsOnATransparentGround) {
  const QImage on = TComLed::KindGlyph(lkRedLight, lsOn);
  const QImage off = TComLed::KindGlyph(lkRedLight, lsOff);
  for (const QImage* image : {&on, &off}) {
    ASSERT_EQ(image->size(), QSize(kLedGlyphSize, kLedGlyphSize));
    for (QPoint corner : {QPoint(0, 0), QPoint(14, 0), QPoint(0, 14), QPoint(14, 14)}) {
      EXPECT_EQ(qAlpha(image->pixel(corner)), 0);
    }
    EXPECT_EQ(qAlpha(image->pixel(7, 7)), 255);
  }
  const QRgb lit = on.pixel(7, 7);
  const QRgb unlit = off.pixel(7, 7);
  EXPECT_GE(qRed(lit), 200);
  EXPECT_LT(qGreen(lit), 100);
  EXPECT_LT(qBlue(lit), 100);
  EXPECT_GE(qRed(unlit), 60);
  EXPECT_LT(qRed(unlit), 170);
  EXPECT_LT(qGreen(unlit), 50);
  EXPECT_GT(qRed(lit), qRed(unlit) + 60);
  EXPECT_TRUE(TComLed::KindGlyph(lkCustom, lsOn).isNull());
}

TEST_F(LampTest, DrawsThePictureOfItsStateCentred) {
  const QImage on = TComLed::KindGlyph(lkRedLight, lsOn);
  const QImage off = TComLed::KindGlyph(lkRedLight, lsOff);
  led.resize(19, 19);
  led.SetComPort(&port);

  QImage image = Rendered(led);
  EXPECT_EQ(image.copy(2, 2, 15, 15), off);
  EXPECT_TRUE(TransparentOutside(image, QRect(2, 2, 15, 15)));

  port.SetConnected(true);
  image = Rendered(led);
  EXPECT_EQ(image.copy(2, 2, 15, 15), on);
  EXPECT_TRUE(TransparentOutside(image, QRect(2, 2, 15, 15)));

  led.resize(25, 25);
  image = Rendered(led);
  EXPECT_EQ(image.copy(5, 5, 15, 15), on);
  EXPECT_TRUE(TransparentOutside(image, QRect(5, 5, 15, 15)));

  // 20 - 15 = 5 halves to 2; a lamp smaller than its picture draws at 0.
  led.resize(20, 16);
  image = Rendered(led);
  EXPECT_EQ(image.copy(2, 0, 15, 15), on);
  led.resize(10, 10);
  image = Rendered(led);
  EXPECT_EQ(image, on.copy(0, 0, 10, 10));
}

TEST_F(LampTest, DisabledLampShowsTheUnlitPicture) {
  led.resize(19, 19);
  led.SetComPort(&port);
  port.SetConnected(true);
  led.setEnabled(false);
  EXPECT_EQ(led.State(), lsOn);
  EXPECT_EQ(Rendered(led).copy(2, 2, 15, 15), TComLed::KindGlyph(lkRedLight, lsOff));
  led.setEnabled(true);
  EXPECT_EQ(Rendered(led).copy(2, 2, 15, 15), TComLed::KindGlyph(lkRedLight, lsOn));
}

TEST_F(LampTest, CustomPicturesOnlyForTheCustomKind) {
  QImage square(15, 15, QImage::Format_ARGB32_Premultiplied);
  square.fill(Qt::green);
  led.resize(15, 15);
  led.SetGlyphOff(square);
  EXPECT_EQ(Rendered(led), TComLed::KindGlyph(lkRedLight, lsOff));

  led.SetKind(lkCustom);
  led.SetGlyphOff(square);
  EXPECT_EQ(Rendered(led), square);
  led.SetKind(lkGreenLight);
  EXPECT_EQ(Rendered(led), TComLed::KindGlyph(lkGreenLight, lsOff));
}

TEST_F(LampTest, DestroyedLampLeavesThePortUsable) {
  auto doomed = std::make_unique<TComLed>();
  doomed->SetComPort(&port);
  doomed.reset();
  port.SetConnected(true);
  port.SetConnected(false);
  // Its link is gone from the port, so a new lamp can register afresh.
  led.SetComPort(&port);
  port.SetConnected(true);
  EXPECT_EQ(led.State(), lsOn);
}

}  // namespace
}  // namespace o5
