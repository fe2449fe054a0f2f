// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The broker keys of config.ini (section Options): where the broker is, the
// workshop and bench a bench publishes as, and how it signs in. Without
// "Broker" the tool neither publishes nor can watch.
//   Broker=mqtt://host[:port]    (port 1883) or mqtts://host[:port] (8883)
//   Workshop, Bench              topic levels: letters, digits, '-', '_';
//                                Bench defaults to the host name
//   BrokerUser, BrokerPassword   the sign-in, both optional
//   BrokerCA                     a PEM file of the authority for mqtts

#include <optional>
#include <string>
#include <string_view>

namespace o5 {

class SettingsFile;

inline constexpr std::string_view kBrokerKey = "Broker";
inline constexpr std::string_view kWorkshopKey = "Workshop";
inline constexpr std::string_view kBenchKey = "Bench";
inline constexpr std::string_view kBrokerUserKey = "BrokerUser";
inline constexpr std::string_view kBrokerPasswordKey = "BrokerPassword";
inline constexpr std::string_view kBrokerCaKey = "BrokerCA";

inline constexpr int kMqttPort = 1883;
inline constexpr int kMqttsPort = 8883;

struct BrokerAddress {
  bool tls = false;
  std::string host;
  int port = kMqttPort;
};
// "mqtt://host[:port]" or "mqtts://host[:port]"; a host in brackets may be an
// IPv6 address. Nothing else is an address.
std::optional<BrokerAddress> ParseBrokerUrl(std::string_view url);

// Letters (Latin), digits, '-' and '_', at least one: what may stand for a
// workshop or a bench in a topic.
bool ValidTopicLevel(std::string_view level);
// This computer's name made a topic level: other characters become '-'.
std::string DefaultBenchName();

struct BrokerSettings {
  BrokerAddress address;
  std::string workshop;
  std::string bench;
  std::string user;
  std::string password;
  std::string caFile;
};

struct BrokerSettingsRead {
  std::optional<BrokerSettings> settings;  // none without Broker or on an error
  std::string error;                       // the Russian reason when the keys are wrong
};
// `watch`, when given, is what a viewer watches, "<workshop>" or
// "<workshop>/<bench>": it stands for the keys Workshop and Bench (a bench
// left empty for a whole workshop).
BrokerSettingsRead ReadBrokerSettings(const SettingsFile& file, std::optional<std::string_view> watch = {});

}  // namespace o5
