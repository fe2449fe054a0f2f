// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ComTypes.h"

#include <libintl.h>

#include <array>
#include <cstdio>

namespace o5 {

namespace {

// The port error table, indexed by ErrorCode. The texts are the catalog keys.
constexpr std::array<const char*, 24> kComErrorSource = {
    "",
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set property while connected",
    "EnumPorts function failed",
    "Failed to store settings",
    "Failed to load settings",
    "Link (un)registration failed",
    "Cannot change led state if ComPort is selected",
    "Cannot wait for event if event thread is created",
    "WaitForEvent method failed",
    "A component is linked to OnRxBuf event",
    "Registry error",
};

constexpr const char* kSystemErrorSuffix = " (win error code: %d)";
constexpr const char* kErrorTextDomain = "default";

std::array<std::string, kComErrorSource.size()>& ErrorTexts() {
  static std::array<std::string, kComErrorSource.size()> texts = [] {
    std::array<std::string, kComErrorSource.size()> t;
    for (size_t i = 0; i < t.size(); ++i) t[i] = kComErrorSource[i];
    return t;
  }();
  return texts;
}

std::string MakeMessage(int errorCode, int systemErrorCode) {
  std::string message = ComErrorText(errorCode);
  if (systemErrorCode != -1) {
    // The suffix is looked up each time an error is made, so a catalog bound
    // after start-up still reaches it; by its domain, which stays the port's
    // whatever a library makes the current one.
    char buf[128];
    std::snprintf(buf, sizeof buf, dgettext(kErrorTextDomain, kSystemErrorSuffix), systemErrorCode);
    message += buf;
  }
  return message;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

template <class E>
E FromText(const std::vector<std::string>& texts, std::string_view s, E fallback) {
  for (size_t i = 0; i < texts.size(); ++i)
    if (SameTextIgnoringCase(texts[i], s)) return static_cast<E>(i);
  return fallback;
}

template <class E>
std::string ToText(const std::vector<std::string>& texts, E v) {
  const auto i = static_cast<size_t>(v);
  return i < texts.size() ? texts[i] : std::string();
}

constexpr std::array<int, 16> kBaudRateValues = {0,     110,    300,    600,   1200,  2400,
                                                 4800,  9600,   14400,  19200, 38400, 56000,
                                                 57600, 115200, 128000, 256000};

}  // namespace

EComPort::EComPort(int errorCode, int systemErrorCode)
    : std::runtime_error(MakeMessage(errorCode, systemErrorCode)),
      SystemErrorCode(systemErrorCode),
      ErrorCode(errorCode) {}

const std::string& ComErrorText(int errorCode) {
  static const std::string none;
  if (errorCode < 1 || errorCode >= static_cast<int>(kComErrorSource.size())) return none;
  return ErrorTexts()[static_cast<size_t>(errorCode)];
}

void TranslateComErrorTexts() {
  auto& texts = ErrorTexts();
  for (size_t i = 1; i < texts.size(); ++i)
    texts[i] = dgettext(kErrorTextDomain, kComErrorSource[i]);
}

const std::vector<std::string>& BaudRateTexts() {
  static const std::vector<std::string> t = {
      "Custom", "110",   "300",   "600",   "1200",  "2400",   "4800",   "9600",
      "14400",  "19200", "38400", "56000", "57600", "115200", "128000", "256000"};
  return t;
}

const std::vector<std::string>& DataBitsTexts() {
  static const std::vector<std::string> t = {"5", "6", "7", "8"};
  return t;
}

const std::vector<std::string>& StopBitsTexts() {
  static const std::vector<std::string> t = {"1", "1.5", "2"};
  return t;
}

const std::vector<std::string>& ParityTexts() {
  static const std::vector<std::string> t = {"None", "Odd", "Even", "Mark", "Space"};
  return t;
}

const std::vector<std::string>& FlowControlTexts() {
  static const std::vector<std::string> t = {"Hardware", "Software", "None", "Custom"};
  return t;
}

std::string BaudRateToStr(TBaudRate v) { return ToText(BaudRateTexts(), v); }
std::string DataBitsToStr(TDataBits v) { return ToText(DataBitsTexts(), v); }
std::string StopBitsToStr(TStopBits v) { return ToText(StopBitsTexts(), v); }
std::string ParityToStr(TParityBits v) { return ToText(ParityTexts(), v); }
std::string FlowControlToStr(TFlowControl v) { return ToText(FlowControlTexts(), v); }

TBaudRate StrToBaudRate(std::string_view s) { return FromText(BaudRateTexts(), s, br9600); }
TDataBits StrToDataBits(std::string_view s) { return FromText(DataBitsTexts(), s, dbEight); }
TStopBits StrToStopBits(std::string_view s) { return FromText(StopBitsTexts(), s, sbOneStopBit); }
TParityBits StrToParity(std::string_view s) { return FromText(ParityTexts(), s, prNone); }
TFlowControl StrToFlowControl(std::string_view s) {
  return FromText(FlowControlTexts(), s, fcCustom);
}

int BaudRateToInt(TBaudRate v, int custom) {
  if (v == brCustom) return custom;
  const auto i = static_cast<size_t>(v);
  return i < kBaudRateValues.size() ? kBaudRateValues[i] : custom;
}

}  // namespace o5
