// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/BrokerSettings.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>

#include "remote/RemoteTexts.h"
#include "settings/SettingsFile.h"

namespace o5 {

namespace {

constexpr std::string_view kMqttScheme = "mqtt://";
constexpr std::string_view kMqttsScheme = "mqtts://";

bool LevelChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

}  // namespace

std::optional<BrokerAddress> ParseBrokerUrl(std::string_view url) {
  BrokerAddress address;
  if (url.starts_with(kMqttsScheme)) {
    address.tls = true;
    address.port = kMqttsPort;
    url.remove_prefix(kMqttsScheme.size());
  } else if (url.starts_with(kMqttScheme)) {
    url.remove_prefix(kMqttScheme.size());
  } else {
    return std::nullopt;
  }
  if (!url.empty() && url.back() == '/') url.remove_suffix(1);
  std::string_view host = url;
  std::string_view port;
  if (url.starts_with('[')) {
    const auto close = url.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    host = url.substr(1, close - 1);
    const std::string_view rest = url.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return std::nullopt;
      port = rest.substr(1);
      if (port.empty()) return std::nullopt;
    }
  } else if (const auto colon = url.rfind(':'); colon != std::string_view::npos) {
    host = url.substr(0, colon);
    port = url.substr(colon + 1);
    if (port.empty()) return std::nullopt;
  }
  if (host.empty() || host.find_first_of("/@ \t") != std::string_view::npos) return std::nullopt;
  if (!port.empty()) {
    int value = 0;
    const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (ec != std::errc() || end != port.data() + port.size() || value < 1 || value > 65535) return std::nullopt;
    address.port = value;
  }
  address.host = std::string(host);
  return address;
}

bool ValidTopicLevel(std::string_view level) {
  return !level.empty() && std::all_of(level.begin(), level.end(), LevelChar);
}

std::string DefaultBenchName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "bench";
  std::string bench(name);
  // The host's own name, not its domain.
  if (const auto dot = bench.find('.'); dot != std::string::npos && dot > 0) bench.resize(dot);
  std::replace_if(bench.begin(), bench.end(), [](char c) { return !LevelChar(c); }, '-');
  return bench;
}

BrokerSettingsRead ReadBrokerSettings(const SettingsFile& file, std::optional<std::string_view> watch) {
  BrokerSettingsRead read;
  const std::string url = file.ReadString(kSettingsSection, kBrokerKey);
  if (url.empty()) {
    if (watch) read.error = Translate("RemoteTexts", kNoBrokerText.data());
    return read;
  }
  const auto address = ParseBrokerUrl(url);
  if (!address) {
    read.error = WithArgument(Translate("RemoteTexts", kBadBrokerText.data()), url);
    return read;
  }
  BrokerSettings settings;
  settings.address = *address;
  settings.workshop = file.ReadString(kSettingsSection, kWorkshopKey);
  settings.bench = file.ReadString(kSettingsSection, kBenchKey, DefaultBenchName());
  settings.user = file.ReadString(kSettingsSection, kBrokerUserKey);
  settings.password = file.ReadString(kSettingsSection, kBrokerPasswordKey);
  settings.caFile = file.ReadString(kSettingsSection, kBrokerCaKey);
  if (watch) {
    const auto slash = watch->find('/');
    settings.workshop = std::string(watch->substr(0, slash));
    settings.bench = slash == std::string_view::npos ? std::string() : std::string(watch->substr(slash + 1));
  }
  if (!ValidTopicLevel(settings.workshop)) {
    read.error = WithArgument(Translate("RemoteTexts", kBadWorkshopText.data()), settings.workshop);
    return read;
  }
  if (!ValidTopicLevel(settings.bench) && !(watch && settings.bench.empty() && watch->find('/') == std::string_view::npos)) {
    read.error = WithArgument(Translate("RemoteTexts", kBadBenchText.data()), settings.bench);
    return read;
  }
  read.settings = std::move(settings);
  return read;
}

}  // namespace o5
