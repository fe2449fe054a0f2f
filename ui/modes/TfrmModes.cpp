// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/modes/TfrmModes.h"

#include <algorithm>
#include <string>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStringList>

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

// The legend's width is fixed by the window; where the installed face is wider
// than the one the captions were laid out for, the caption is narrowed rather
// than cut off.
void FitWidth(QLabel* label, int available) {
  const int width = label->fontMetrics().horizontalAdvance(label->text());
  if (width <= available) return;
  QFont narrow = label->font();
  narrow.setStretch(std::max(70, 100 * available / width));
  label->setFont(narrow);
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
  setFixedSize(kClientWidth, kClientHeight);
  BuildControls();
  FormCreate();
}

void TfrmModes::BuildControls() {
  Panel1 = new QLabel(InitialModeCaption(), this);
  Panel1->setObjectName("Panel1");
  Panel1->setGeometry(0, 0, kClientWidth, kModeBarHeight);
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

  const int legendTop = kClientHeight - kLegendHeight;
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setGeometry(0, kModeBarHeight, kClientWidth, legendTop - kModeBarHeight);
  QStringList lines;
  for (const char* line : kModeList) lines << QCoreApplication::translate("TfrmModes", line);
  Memo1->setPlainText(lines.join('\n'));
  // The eleven lines fill the box exactly; the default margin would push the
  // last one under a scroll bar.
  Memo1->document()->setDocumentMargin(1);

  pErr = new QFrame(this);
  pErr->setObjectName("pErr");
  pErr->setGeometry(0, legendTop, kClientWidth, kLegendHeight);
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
    FitWidth(label, kClientWidth - kLegendLeft);
    label->adjustSize();
    FaultLabels[i] = label;
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
  FitWidth(label, kClientWidth - kLegendLeft);
  QPalette p = label->palette();
  p.setColor(QPalette::WindowText, active ? kActiveFaultText : pErr->palette().color(QPalette::WindowText));
  label->setPalette(p);
  label->adjustSize();
  if (active) {
    const std::string name = FaultBitsText(entry.byte, entry.mask);
    label->setAccessibleName(QString::fromStdString(name) + ", " + tr("активна"));
    label->setAccessibleDescription(tr("активна"));
  } else {
    label->setAccessibleName(QString());
    label->setAccessibleDescription(QString());
  }
}

void TfrmModes::closeEvent(QCloseEvent* event) { FormClose(event); }

void TfrmModes::FormClose(QCloseEvent* event) { event->ignore(); }

}  // namespace o5
