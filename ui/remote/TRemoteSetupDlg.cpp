// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/remote/TRemoteSetupDlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "remote/MqttLink.h"
#include "settings/SettingsFile.h"

namespace o5 {

namespace {

QString Read(const SettingsFile& settings, std::string_view key) {
  return QString::fromStdString(settings.ReadString(kSettingsSection, key));
}

}  // namespace

TRemoteSetupDlg::TRemoteSetupDlg(const SettingsFile& settings, QWidget* parent) : QDialog(parent) {
  setObjectName("RemoteSetupDlg");
  setWindowTitle(tr("Удалённый доступ"));
  auto* root = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  root->addLayout(form);
  const auto field = [&](const char* name, std::string_view key, const QString& label, const QString& hint) {
    auto* edit = new QLineEdit(Read(settings, key), this);
    edit->setObjectName(name);
    edit->setPlaceholderText(hint);
    edit->setMinimumWidth(320);
    form->addRow(label, edit);
    return edit;
  };
  edBroker = field("edBroker", kBrokerKey, tr("Брокер:"), "mqtt://192.168.1.10  mqtts://broker.example:8883");
  edWorkshop = field("edWorkshop", kWorkshopKey, tr("Мастерская:"), "shop1");
  edBench = field("edBench", kBenchKey, tr("Стенд:"), QString::fromStdString(DefaultBenchName()));
  edUser = field("edUser", kBrokerUserKey, tr("Пользователь:"), QString());
  edPassword = field("edPassword", kBrokerPasswordKey, tr("Пароль:"), QString());
  edPassword->setEchoMode(QLineEdit::Password);
  edCA = field("edCA", kBrokerCaKey, tr("Сертификат центра (PEM):"), "/etc/ssl/certs/workshop-ca.pem");
  lTest = new QLabel(this);
  lTest->setObjectName("lTest");
  lTest->setWordWrap(true);
  root->addWidget(lTest);
  auto* buttons = new QHBoxLayout();
  root->addLayout(buttons);
  bTest = new QPushButton(tr("Проверить связь"), this);
  bTest->setObjectName("bTest");
  bSave = new QPushButton(tr("Сохранить"), this);
  bSave->setObjectName("bSave");
  bSave->setDefault(true);
  bCancel = new QPushButton(tr("Отмена"), this);
  bCancel->setObjectName("bCancel");
  buttons->addWidget(bTest);
  buttons->addStretch(1);
  buttons->addWidget(bSave);
  buttons->addWidget(bCancel);
  connect(bTest, &QPushButton::clicked, this, &TRemoteSetupDlg::bTestClick);
  connect(bSave, &QPushButton::clicked, this, &QDialog::accept);
  connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TRemoteSetupDlg::~TRemoteSetupDlg() = default;

BrokerSettingsRead TRemoteSetupDlg::Entered() const {
  BrokerSettingsRead read;
  const auto address = ParseBrokerUrl(edBroker->text().trimmed().toStdString());
  if (!address) {
    read.error = tr("Адрес брокера: mqtt://узел[:порт] или mqtts://узел[:порт]").toStdString();
    return read;
  }
  BrokerSettings s;
  s.address = *address;
  s.workshop = edWorkshop->text().trimmed().toStdString();
  s.bench = edBench->text().trimmed().toStdString();
  if (s.bench.empty()) s.bench = DefaultBenchName();
  s.user = edUser->text().trimmed().toStdString();
  s.password = edPassword->text().toStdString();
  s.caFile = edCA->text().trimmed().toStdString();
  if (!ValidTopicLevel(s.workshop) || !ValidTopicLevel(s.bench)) {
    read.error = tr("Мастерская и стенд: латинские буквы, цифры, \"-\" и \"_\"").toStdString();
    return read;
  }
  read.settings = std::move(s);
  return read;
}

void TRemoteSetupDlg::Store(SettingsFile& settings) const {
  const std::pair<std::string_view, QLineEdit*> keys[] = {{kBrokerKey, edBroker}, {kWorkshopKey, edWorkshop},
                                                          {kBenchKey, edBench},   {kBrokerUserKey, edUser},
                                                          {kBrokerPasswordKey, edPassword}, {kBrokerCaKey, edCA}};
  for (const auto& [key, edit] : keys) settings.WriteString(kSettingsSection, key, edit->text().toStdString());
}

void TRemoteSetupDlg::bTestClick() {
  test_.reset();
  const BrokerSettingsRead read = Entered();
  if (!read.settings) {
    lTest->setText(QString::fromStdString(read.error));
    return;
  }
  MqttOptions options;
  options.broker = *read.settings;
  test_ = std::make_unique<MqttLink>(std::move(options));
  lTest->setText(test_->StateText());
  connect(test_.get(), &MqttLink::StateChanged, lTest, &QLabel::setText);
}

}  // namespace o5
