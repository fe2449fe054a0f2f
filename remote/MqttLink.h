// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The client of the broker for a window's thread: what the network thread
// reports arrives as queued signals, and the link's state is kept as one text
// that changes once per change.

#include <QObject>
#include <QString>

#include <memory>

#include "remote/MqttClient.h"

namespace o5 {

class MqttLink : public QObject {
  Q_OBJECT

 public:
  enum class State { Connecting, Connected, Refused, Lost };

  explicit MqttLink(MqttOptions options, QObject* parent = nullptr);
  ~MqttLink() override;

  int Publish(const std::string& topic, std::string_view payload, int qos, bool retain, uint32_t expirySeconds = 0) {
    return client_->Publish(topic, payload, qos, retain, expirySeconds);
  }
  State LinkState() const { return state_; }
  bool IsConnected() const { return state_ == State::Connected; }
  // "Брокер: на связи", "Брокер: отказ — <reason>", ...
  QString StateText() const;

 signals:
  void Connected();
  void StateChanged(const QString& text);
  void Published(int mid, int reason);
  void MessageArrived(const QByteArray& topic, const QByteArray& payload);

 private:
  void SetState(State state, const QString& reason);

  State state_ = State::Connecting;
  QString reason_;
  std::unique_ptr<MqttClient> client_;
};

}  // namespace o5
