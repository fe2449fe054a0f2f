// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/modes/TfrmModes.h"

#include <algorithm>
#include <cmath>
#include <string>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextLayout>

#include "settings/SettingsFile.h"
#include "ui/WindowGeometry.h"
#include "heater/ModeNames.h"

namespace o5 {

namespace {

constexpr const char* kCaption = QT_TRANSLATE_NOOP("TfrmModes", "Информация");
constexpr const char* kFontFamily = "MS Sans Serif";
// Where the form font is not installed, a face of close metrics keeps the
// legend's longest captions inside the window's width.
constexpr const char* kFallbackFamily = "Liberation Sans";
constexpr int kFontPixels = 11;

constexpr int kModeBarHeight = 21;
constexpr int kLegendHeight = 489;
constexpr int kListHeight = TfrmModes::kClientHeight - kModeBarHeight - kLegendHeight;
constexpr int kLegendLeft = 5;

const QColor kModeBarBackground(0, 0, 160);
const QColor kModeBarText(192, 192, 192);
// A fault the heater reports now.
const QColor kActiveFaultText(200, 0, 0);

// The list of modes as the technician reads it; the ignition modes 3..20 share
// one line.
const char* const kModeList[] = {
    QT_TRANSLATE_NOOP("TfrmModes", " 0 - Не работает"),
    QT_TRANSLATE_NOOP("TfrmModes", " 1 - Проверка перед пуском"),
    QT_TRANSLATE_NOOP("TfrmModes", " 2 - Охлаждение"),
    QT_TRANSLATE_NOOP("TfrmModes", " 3-20 Розжиг"),
    QT_TRANSLATE_NOOP("TfrmModes", "21 - Прогрев"),
    QT_TRANSLATE_NOOP("TfrmModes", "22 - Сильный"),
    QT_TRANSLATE_NOOP("TfrmModes", "23 - Малый"),
    QT_TRANSLATE_NOOP("TfrmModes", "24 - Выжигание"),
    QT_TRANSLATE_NOOP("TfrmModes", "25 - Предпродувка"),
    QT_TRANSLATE_NOOP("TfrmModes", "26 - Продувка"),
    QT_TRANSLATE_NOOP("TfrmModes", "27 - Ждущий"),
};

QString InitialModeCaption() {
  return QString::fromStdString(ModeCaptionText(0));
}

// The width of `text` in `font`, whole pixels enough for its fractions.
int TextWidth(const QFont& font, const QString& text) {
  return static_cast<int>(std::ceil(QFontMetricsF(font).horizontalAdvance(text)));
}

// The legend's width is fixed by the window; where the installed face is wider
// than the one the captions were laid out for, the caption is narrowed rather
// than cut off.
void FitWidth(QLabel* label, int available) {
  const int width = label->fontMetrics().horizontalAdvance(label->text());
  if (width <= available && label->sizeHint().width() <= available) return;
  QFont narrow = label->font();
  // A narrowed face's widths are rounded, and a sign may reach past its
  // advance: a caption still a pixel too wide is narrowed a step further.
  for (int stretch = std::clamp(100 * available / width, 70, 99);; --stretch) {
    narrow.setStretch(stretch);
    label->setFont(narrow);
    if (stretch <= 70 || label->sizeHint().width() <= available) return;
  }
}

}  // namespace

TfrmModes::TfrmModes(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName("frmModes");
  setWindowTitle(QCoreApplication::translate("TfrmModes", kCaption));
  // The program ends when the main window closes, whatever this one shows;
  // left visible, it would otherwise keep the event loop running.
  setAttribute(Qt::WA_QuitOnClose, false);
  QFont font;
  font.setFamilies({kFontFamily, kFallbackFamily});
  font.setPixelSize(kFontPixels);
  setFont(font);
  BuildControls();
  setFixedSize(WidthForTexts(), kClientHeight - kListHeight + HeightForLines());
  PlaceControls();
  FormCreate();
}

void TfrmModes::BuildControls() {
  Panel1 = new QLabel(InitialModeCaption(), this);
  Panel1->setObjectName("Panel1");
  Panel1->setFrameShape(QFrame::Box);
  Panel1->setFrameShadow(QFrame::Plain);
  Panel1->setLineWidth(1);
  Panel1->setIndent(3);
  Panel1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  Panel1->setAutoFillBackground(true);
  QPalette barPalette = Panel1->palette();
  barPalette.setColor(QPalette::Window, kModeBarBackground);
  barPalette.setColor(QPalette::WindowText, kModeBarText);
  Panel1->setPalette(barPalette);
  QFont barFont = font();
  barFont.setBold(true);
  Panel1->setFont(barFont);

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  QStringList lines;
  for (const char* line : kModeList) lines << QCoreApplication::translate("TfrmModes", line);
  Memo1->setPlainText(lines.join('\n'));
  // The eleven lines fill the box exactly; the default margin would push the
  // last one under a scroll bar.
  Memo1->document()->setDocumentMargin(1);

  pErr = new QFrame(this);
  pErr->setObjectName("pErr");
  pErr->setAutoFillBackground(true);
  QPalette legendPalette = pErr->palette();
  legendPalette.setColor(QPalette::Window, legendPalette.color(QPalette::Button));
  legendPalette.setColor(QPalette::WindowText, legendPalette.color(QPalette::Text));
  pErr->setPalette(legendPalette);

  for (size_t i = 0; i < kFaultLegend.size(); ++i) {
    const FaultLegendEntry& entry = kFaultLegend[i];
    auto* label = new QLabel(QString::fromStdString(FaultCaptionText(entry)), pErr);
    label->setObjectName(QString::fromUtf8(entry.name.data(), entry.name.size()));
    label->move(kLegendLeft, entry.top);
    FaultLabels[i] = label;
  }
}

// The window is as wide as laid out for the Russian texts, or as wide as the
// texts of a longer language need: the mode bar naming any mode, in bold,
// the lines of the list, the captions of the legend.
int TfrmModes::WidthForTexts() const {
  // What each control takes beside its text: frame, indent, margins.
  const int bar = Panel1->sizeHint().width() - TextWidth(Panel1->font(), Panel1->text());
  const int list = 2 * Memo1->frameWidth() + 2 * static_cast<int>(std::ceil(Memo1->document()->documentMargin()));
  int width = kClientWidth;
  // Every mode the heater defines, and the widest number of one it does not.
  for (int mode = 0; mode <= kModeCount; ++mode) {
    const QString caption = QString::fromStdString(ModeCaptionText(mode < kModeCount ? mode : 255));
    width = std::max(width, bar + TextWidth(Panel1->font(), caption));
  }
  for (const QString& line : Memo1->toPlainText().split('\n'))
    width = std::max(width, list + TextWidth(Memo1->font(), line));
  // The Russian legend is narrowed a little where the installed face is wider
  // than the one it was laid out for (FitWidth); a longer language's legend
  // is narrowed by no more pixels than that.
  int shown = 0;
  int russian = 0;
  for (const FaultLegendEntry& entry : kFaultLegend) {
    shown = std::max(shown, TextWidth(font(), QString::fromStdString(FaultCaptionText(entry))));
    russian = std::max(russian, TextWidth(font(), QString::fromUtf8(entry.caption.data(), entry.caption.size())));
  }
  const int narrowed = std::max(0, kLegendLeft + russian - kClientWidth);
  return std::max(width, kLegendLeft + shown - narrowed);
}

// The list shows its lines without scrolling: it is as tall as laid out for
// the Russian ones, or taller where a language's lines are (signs that the
// form font lacks come from a face with a taller line).
int TfrmModes::HeightForLines() const {
  qreal lines = 0;
  for (const QString& line : Memo1->toPlainText().split('\n')) {
    QTextLayout layout(line, Memo1->font());
    layout.beginLayout();
    QTextLine shown = layout.createLine();
    // As the list lays its lines out.
    shown.setLeadingIncluded(true);
    layout.endLayout();
    lines += shown.height();
  }
  // The box scrolls once its lines come within a pixel of its bottom margin:
  // two pixels to spare.
  const int height =
      2 * Memo1->frameWidth() + static_cast<int>(std::ceil(2 * Memo1->document()->documentMargin() + lines)) + 2;
  return std::max(kListHeight, height);
}

void TfrmModes::PlaceControls() {
  const int legendTop = height() - kLegendHeight;
  Panel1->setGeometry(0, 0, width(), kModeBarHeight);
  Memo1->setGeometry(0, kModeBarHeight, width(), legendTop - kModeBarHeight);
  pErr->setGeometry(0, legendTop, width(), kLegendHeight);
  for (QLabel* label : FaultLabels) {
    FitWidth(label, width() - kLegendLeft);
    label->adjustSize();
  }
}

void TfrmModes::FormCreate() {
  const SettingsFile settings;
  const int top = settings.ReadInteger(kSettingsSection, kFormModesTopKey, 0);
  const int left = settings.ReadInteger(kSettingsSection, kFormModesLeftKey, 0);
  move(ClampWindowCoordinate(left), ClampWindowCoordinate(top));
}

void TfrmModes::SavePosition() {
  SettingsFile settings;
  settings.WriteInteger(kSettingsSection, kFormModesTopKey, y());
  settings.WriteInteger(kSettingsSection, kFormModesLeftKey, x());
}

void TfrmModes::SetModeCaption(const QString& caption) { Panel1->setText(caption); }

QString TfrmModes::ModeCaption() const { return Panel1->text(); }

void TfrmModes::SetActiveFaults(const std::array<uint8_t, 4>& bytes) {
  for (std::size_t i = 0; i < kFaultLegend.size(); ++i) {
    const FaultLegendEntry& entry = kFaultLegend[i];
    const bool active = (bytes[static_cast<std::size_t>(entry.byte - 1)] & entry.mask) != 0;
    if (active != active_[i]) MarkFault(i, active);
  }
}

// A marked caption is bold, narrowed where bold would not fit the legend's
// width, and red; a screen reader hears it named with "активна". The
// unmarked caption is as it was built.
void TfrmModes::MarkFault(std::size_t index, bool active) {
  active_[index] = active;
  QLabel* label = FaultLabels[index];
  const FaultLegendEntry& entry = kFaultLegend[index];
  QFont f = font();
  f.setBold(active);
  label->setFont(f);
  FitWidth(label, width() - kLegendLeft);
  QPalette p = label->palette();
  p.setColor(QPalette::WindowText, active ? kActiveFaultText : pErr->palette().color(QPalette::WindowText));
  label->setPalette(p);
  label->adjustSize();
  if (active) {
    const std::string name = FaultBitsText(entry.byte, entry.mask);
    //: A fault bit's name, %1, that the heater reports now.
    label->setAccessibleName(tr("%1, активна").arg(QString::fromStdString(name)));
    label->setAccessibleDescription(tr("активна"));
  } else {
    label->setAccessibleName(QString());
    label->setAccessibleDescription(QString());
  }
}

void TfrmModes::closeEvent(QCloseEvent* event) { FormClose(event); }

void TfrmModes::FormClose(QCloseEvent* event) { event->ignore(); }

}  // namespace o5
