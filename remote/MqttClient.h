// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One connection to an MQTT broker (protocol 5) over libmosquitto. Its
// network loop runs on a thread of its own, which also makes every connection
// and reconnection (name lookups, TCP and TLS) so that a broker that is down,
// slow or far away never holds up the thread that publishes. The handler's
// functions are called on that network thread.
//
// Not mosquitto_loop_start: its thread ends for good after a failed name
// lookup or TLS handshake, and the first connect would run on the caller's
// thread. This thread runs the library's own loop (mosquitto_loop_forever,
// which reconnects by itself with a growing delay) and starts it again after
// such a failure.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "remote/BrokerSettings.h"

struct mosquitto;

namespace o5 {

inline constexpr int kKeepAliveSeconds = 10;

struct MqttOptions {
  BrokerSettings broker;
  std::string clientId;  // the library makes one when empty
  int keepAliveSeconds = kKeepAliveSeconds;
  std::string willTopic;  // no will when empty; the will is retained
  std::string willPayload;
  std::vector<std::string> subscriptions;  // QoS 1, renewed at each connection
};

class MqttClient {
 public:
  struct Handler {
    std::function<void()> connected;
    // The broker refused the connection (refused) or it was lost; the
    // library's or the broker's reason, in English.
    std::function<void(bool refused, std::string reason)> down;
    // A QoS 1 message was acknowledged; a reason of 128 or more is the
    // broker's refusal.
    std::function<void(int mid, int reason)> published;
    std::function<void(std::string topic, std::string payload)> message;
  };

  // Starts connecting at once.
  MqttClient(MqttOptions options, Handler handler);
  // Disconnects and ends the network thread; no handler runs after it.
  ~MqttClient();
  MqttClient(const MqttClient&) = delete;
  MqttClient& operator=(const MqttClient&) = delete;

  // Hands a message to the library from any thread; it goes out as soon as
  // the connection allows (QoS 1 messages wait in the library's queue while
  // it is down). The message id, or 0 when the library refused it.
  int Publish(const std::string& topic, std::string_view payload, int qos, bool retain,
              uint32_t expirySeconds = 0);

 private:
  void Run();
  bool Stopping();
  friend struct MqttCallbacks;

  MqttOptions options_;
  Handler handler_;
  mosquitto* mosq_ = nullptr;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  bool finished_ = false;
  std::thread thread_;
};

}  // namespace o5
