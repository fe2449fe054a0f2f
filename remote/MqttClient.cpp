// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/MqttClient.h"

#include <mosquitto.h>
#include <mqtt_protocol.h>
#include <pthread.h>

#include <chrono>

namespace o5 {

namespace {

using namespace std::chrono_literals;

// Between two runs of the library's loop after a failure it does not retry.
constexpr auto kRestartDelay = 2s;
// How long the end waits for the loop to see the disconnection before it
// cancels the thread: a connected loop ends within milliseconds; one that is
// waiting to reconnect, or in a blocking connect to a host that does not
// answer, would not end by itself for seconds.
constexpr auto kStopWait = 300ms;
// The library's own reconnecting: 1 s, doubling up to 8 s.
constexpr unsigned kReconnectDelay = 1;
constexpr unsigned kReconnectDelayMax = 8;
// The system's authorities, for mqtts without a CA file of its own.
constexpr const char* kSystemCaPath = "/etc/ssl/certs";

void InitLibrary() {
  static std::once_flag once;
  std::call_once(once, [] { mosquitto_lib_init(); });
}

}  // namespace

// The library's callbacks, on the network thread.
struct MqttCallbacks {
  static MqttClient& Of(void* self) { return *static_cast<MqttClient*>(self); }

  static void Connect(mosquitto* mosq, void* self, int reason, int, const mosquitto_property*) {
    MqttClient& client = Of(self);
    if (reason != 0) {
      if (client.handler_.down) client.handler_.down(true, mosquitto_reason_string(reason));
      return;
    }
    for (const auto& pattern : client.options_.subscriptions) mosquitto_subscribe(mosq, nullptr, pattern.c_str(), 1);
    if (client.handler_.connected) client.handler_.connected();
  }

  static void Disconnect(mosquitto*, void* self, int reason, const mosquitto_property*) {
    MqttClient& client = Of(self);
    if (reason == 0 || client.Stopping()) return;
    if (client.handler_.down) client.handler_.down(false, mosquitto_strerror(reason));
  }

  static void Publish(mosquitto*, void* self, int mid, int reason, const mosquitto_property*) {
    MqttClient& client = Of(self);
    if (client.handler_.published) client.handler_.published(mid, reason);
  }

  static void Message(mosquitto*, void* self, const mosquitto_message* m, const mosquitto_property*) {
    MqttClient& client = Of(self);
    if (client.handler_.message)
      client.handler_.message(m->topic, std::string(static_cast<const char*>(m->payload),
                                                    static_cast<std::size_t>(m->payloadlen)));
  }
};

MqttClient::MqttClient(MqttOptions options, Handler handler)
    : options_(std::move(options)), handler_(std::move(handler)) {
  InitLibrary();
  mosq_ = mosquitto_new(options_.clientId.empty() ? nullptr : options_.clientId.c_str(), true, this);
  if (!mosq_) throw std::bad_alloc();
  mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);
  // Publishing comes from other threads than the loop's.
  mosquitto_threaded_set(mosq_, true);
  mosquitto_reconnect_delay_set(mosq_, kReconnectDelay, kReconnectDelayMax, true);
  const BrokerSettings& broker = options_.broker;
  if (!broker.user.empty())
    mosquitto_username_pw_set(mosq_, broker.user.c_str(), broker.password.empty() ? nullptr : broker.password.c_str());
  if (broker.address.tls)
    mosquitto_tls_set(mosq_, broker.caFile.empty() ? nullptr : broker.caFile.c_str(),
                      broker.caFile.empty() ? kSystemCaPath : nullptr, nullptr, nullptr, nullptr);
  if (!options_.willTopic.empty())
    mosquitto_will_set_v5(mosq_, options_.willTopic.c_str(), static_cast<int>(options_.willPayload.size()),
                          options_.willPayload.data(), 1, true, nullptr);
  mosquitto_connect_v5_callback_set(mosq_, &MqttCallbacks::Connect);
  mosquitto_disconnect_v5_callback_set(mosq_, &MqttCallbacks::Disconnect);
  mosquitto_publish_v5_callback_set(mosq_, &MqttCallbacks::Publish);
  mosquitto_message_v5_callback_set(mosq_, &MqttCallbacks::Message);
  thread_ = std::thread([this] { Run(); });
}

MqttClient::~MqttClient() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  mosquitto_disconnect(mosq_);
  {
    std::unique_lock lock(mutex_);
    // The loop ends once it has seen the disconnection; a blocking connect
    // (made by the library's reconnecting) is cancelled as the library's
    // own loop_stop would.
    if (!wake_.wait_for(lock, kStopWait, [this] { return finished_; })) pthread_cancel(thread_.native_handle());
  }
  thread_.join();
  mosquitto_destroy(mosq_);
}

bool MqttClient::Stopping() {
  std::lock_guard lock(mutex_);
  return stopping_;
}

void MqttClient::Run() {
  const BrokerSettings& broker = options_.broker;
  while (!Stopping()) {
    int rc = mosquitto_connect_bind_async(mosq_, broker.address.host.c_str(), broker.address.port,
                                          options_.keepAliveSeconds, nullptr);
    // A refused or unreachable TCP connection is retried by the loop itself.
    if (rc == MOSQ_ERR_SUCCESS || rc == MOSQ_ERR_ERRNO) rc = mosquitto_loop_forever(mosq_, -1, 1);
    if (Stopping()) break;
    if (handler_.down) handler_.down(false, rc == MOSQ_ERR_ERRNO ? "connection failed" : mosquitto_strerror(rc));
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, kRestartDelay, [this] { return stopping_; });
  }
  std::lock_guard lock(mutex_);
  finished_ = true;
  wake_.notify_all();
}

int MqttClient::Publish(const std::string& topic, std::string_view payload, int qos, bool retain,
                        uint32_t expirySeconds) {
  mosquitto_property* properties = nullptr;
  if (expirySeconds > 0) mosquitto_property_add_int32(&properties, MQTT_PROP_MESSAGE_EXPIRY_INTERVAL, expirySeconds);
  int mid = 0;
  const int rc = mosquitto_publish_v5(mosq_, &mid, topic.c_str(), static_cast<int>(payload.size()), payload.data(),
                                      qos, retain, properties);
  mosquitto_property_free_all(&properties);
  // Without a connection a QoS 0 message is dropped; a QoS 1 one waits.
  return rc == MOSQ_ERR_SUCCESS || (rc == MOSQ_ERR_NO_CONN && qos > 0) ? mid : 0;
}

}  // namespace o5
