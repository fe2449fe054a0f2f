// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/MqttLink.h"

#include "remote/RemoteTexts.h"

namespace o5 {

namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

MqttLink::MqttLink(MqttOptions options, QObject* parent) : QObject(parent) {
  MqttClient::Handler handler;
  // Each report is posted to this object's thread; one posted after this
  // object has gone is dropped with it.
  handler.connected = [this] {
    QMetaObject::invokeMethod(this, [this] {
      SetState(State::Connected, {});
      emit Connected();
    }, Qt::QueuedConnection);
  };
  handler.down = [this](bool refused, std::string reason) {
    QMetaObject::invokeMethod(this, [this, refused, reason = QString::fromStdString(reason)] {
      SetState(refused ? State::Refused : State::Lost, reason);
    }, Qt::QueuedConnection);
  };
  handler.published = [this](int mid, int reason) {
    QMetaObject::invokeMethod(this, [this, mid, reason] { emit Published(mid, reason); }, Qt::QueuedConnection);
  };
  handler.message = [this](std::string topic, std::string payload) {
    QMetaObject::invokeMethod(this, [this, topic = QByteArray::fromStdString(topic),
                                     payload = QByteArray::fromStdString(payload)] {
      emit MessageArrived(topic, payload);
    }, Qt::QueuedConnection);
  };
  client_ = std::make_unique<MqttClient>(std::move(options), std::move(handler));
}

MqttLink::~MqttLink() = default;

QString MqttLink::StateText() const {
  switch (state_) {
    case State::Connecting:
      return Text(Translate("RemoteTexts", kLinkConnectingText.data()));
    case State::Connected:
      return Text(Translate("RemoteTexts", kLinkConnectedText.data()));
    case State::Refused:
      return Text(Translate("RemoteTexts", kLinkRefusedText.data())).arg(reason_);
    case State::Lost:
      return Text(Translate("RemoteTexts", kLinkLostText.data())).arg(reason_);
  }
  return {};
}

void MqttLink::SetState(State state, const QString& reason) {
  if (state == state_ && reason == reason_) return;
  state_ = state;
  reason_ = reason;
  emit StateChanged(StateText());
}

}  // namespace o5
