// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ComSetupFrm.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMetaProperty>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <exception>
#include <memory>

#include "link/Translation.h"

namespace o5 {

namespace {

// The dialog's own texts; they are also the keys of the "cport" catalog.
inline constexpr const char* kCaption = "Setup";
inline constexpr const char* kGroupCaption = " Settings ";
inline constexpr const char* kOkCaption = "OK";
inline constexpr const char* kCancelCaption = "Cancel";

struct Row {
  const char* label;
  TComProperty property;
};
inline constexpr Row kRows[6] = {
    {"Port", cpPort},          {"Baud rate", cpBaudRate}, {"Data bits", cpDataBits},
    {"Stop bits", cpStopBits}, {"Parity", cpParity},      {"Flow control", cpFlowControl},
};
inline constexpr int kRowPitch = 24;
// The least room between a row's label and its selector.
inline constexpr int kLabelGap = 6;

// The widget properties that carry user-visible text.
inline constexpr const char* kTextProperties[] = {"windowTitle", "title",     "text",
                                                  "toolTip",     "statusTip", "whatsThis"};

bool InsideExcluded(QWidget* w, QWidget* root, const QStringList& excluded) {
  for (; w && w != root; w = w->parentWidget()) {
    if (excluded.contains(w->objectName())) return true;
  }
  return false;
}

// Passes every text of the form and its controls through the catalog of
// `domain`, except in the controls named in `excluded`: a selector's current
// text is a writable text property too, and its items must stay as they are.
void TranslateForm(QWidget* form, const char* domain, const QStringList& excluded) {
  QList<QWidget*> widgets = form->findChildren<QWidget*>();
  widgets.prepend(form);
  for (QWidget* w : widgets) {
    if (InsideExcluded(w, form, excluded)) continue;
    const QMetaObject* meta = w->metaObject();
    for (const char* name : kTextProperties) {
      const int index = meta->indexOfProperty(name);
      if (index < 0) continue;
      const QMetaProperty property = meta->property(index);
      if (!property.isWritable() || property.metaType().id() != QMetaType::QString) continue;
      const QString text = property.read(w).toString();
      if (text.isEmpty()) continue;
      property.write(w, QString::fromStdString(DomainText(domain, text.toStdString())));
    }
  }
}

}  // namespace

TComSetupFrm::TComSetupFrm(QWidget* parent) : QDialog(parent) {
  setObjectName("ComSetupFrm");
  setWindowTitle(kCaption);
  QFont font("MS Sans Serif");
  font.setPointSize(8);
  setFont(font);

  GroupBox1 = new QGroupBox(kGroupCaption, this);
  GroupBox1->setObjectName("GroupBox1");
  GroupBox1->setGeometry(8, 8, 217, 169);

  QLabel** labels[6] = {&Label1, &Label2, &Label3, &Label4, &Label5, &Label6};
  TComComboBox** combos[6] = {&Combo1, &Combo2, &Combo3, &Combo4, &Combo5, &Combo6};
  for (int i = 0; i < 6; ++i) {
    QLabel* label = new QLabel(kRows[i].label, GroupBox1);
    label->setObjectName(QString("Label%1").arg(i + 1));
    label->move(8, 24 + i * kRowPitch);
    *labels[i] = label;
    TComComboBox* combo = new TComComboBox(GroupBox1);
    combo->setObjectName(QString("Combo%1").arg(i + 1));
    combo->setGeometry(80, 16 + i * kRowPitch, 129, 21);
    *combos[i] = combo;
    // Each selector is named by its own label, not by the group around them.
    label->setBuddy(combo);
  }

  Button1 = new QPushButton(kOkCaption, this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(70, 184, 75, 25);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  Button2 = new QPushButton(kCancelCaption, this);
  Button2->setObjectName("Button2");
  Button2->setGeometry(150, 184, 75, 25);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

  setFixedSize(231, 216);
  FormCreate();

  // The items come last: the port list may fail, and then there is no dialog.
  for (int i = 0; i < 6; ++i) (*combos[i])->SetComProperty(kRows[i].property);

  // The client area goes to the middle of the screen: the frame the window
  // manager adds is not known before the dialog is shown.
  if (QScreen* s = screen()) {
    setGeometry(
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), s->availableGeometry()));
  }
}

void TComSetupFrm::FormCreate() {
  TranslateForm(this, kPortDialogTextDomain,
                {"Combo1", "Combo2", "Combo3", "Combo4", "Combo5", "Combo6"});
  int labelsEnd = 0;
  for (QLabel* label : {Label1, Label2, Label3, Label4, Label5, Label6}) {
    label->adjustSize();
    labelsEnd = std::max(labelsEnd, label->geometry().right() + 1);
  }
  // A translated label can be wider than the column laid out for the English
  // ones ("Управление потоком"): when one reaches the selectors, they, the
  // group and the dialog move over and widen by as much, and the buttons keep
  // to the right edge.
  if (labelsEnd <= Combo1->x()) return;
  const int shift = labelsEnd + kLabelGap - Combo1->x();
  for (TComComboBox* combo : Combos()) combo->move(combo->x() + shift, combo->y());
  GroupBox1->resize(GroupBox1->width() + shift, GroupBox1->height());
  for (QPushButton* button : {Button1, Button2}) button->move(button->x() + shift, button->y());
  setFixedSize(width() + shift, height());
}

void TCustomComPort::ShowPortDialog() {
  std::exception_ptr failure;
  {
    // Owned here, but watched: the parent window could take it along if it
    // went away while the dialog runs.
    QPointer<TComSetupFrm> form = new TComSetupFrm(QApplication::activeWindow());
    std::unique_ptr<TComSetupFrm> own(form.data());
    for (TComComboBox* combo : form->Combos()) combo->SetComPort(this);
    for (TComComboBox* combo : form->Combos()) combo->LoadFromPort();
    const int result = form->exec();
    if (!form) {
      own.release();
      return;
    }
    if (result == QDialog::Accepted) {
      // The port's name goes first, so a reopened port gets all the other
      // settings together when the bracket closes.
      BeginSettingsUpdate();
      try {
        for (TComComboBox* combo : form->Combos()) combo->ApplyToPort();
      } catch (...) {
        failure = std::current_exception();
      }
      try {
        EndSettingsUpdate();
      } catch (...) {
        if (!failure) failure = std::current_exception();
      }
    }
  }
  if (failure) std::rethrow_exception(failure);
}

}  // namespace o5
