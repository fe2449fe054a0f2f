// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dialog "Удалённый доступ…": the broker keys of config.ini, and a test
// connection with them that says whether the broker takes it (without
// waiting: the answer comes when the broker gives it). "Сохранить" writes the
// keys; the password is shown only as dots and never written anywhere else.

#include <QDialog>

#include <memory>

#include "remote/BrokerSettings.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace o5 {

class MqttLink;
class SettingsFile;

class TRemoteSetupDlg : public QDialog {
  Q_OBJECT

 public:
  // Filled from `settings`'s file.
  explicit TRemoteSetupDlg(const SettingsFile& settings, QWidget* parent = nullptr);
  ~TRemoteSetupDlg() override;

  // The keys as the fields have them; an error text when they cannot be used.
  BrokerSettingsRead Entered() const;
  // Writes the fields to the file (SettingsError when that fails).
  void Store(SettingsFile& settings) const;

  void bTestClick();

  QLineEdit *edBroker, *edWorkshop, *edBench, *edUser, *edPassword, *edCA;
  QPushButton *bTest, *bSave, *bCancel;
  QLabel* lTest;

 private:
  std::unique_ptr<MqttLink> test_;
};

}  // namespace o5
