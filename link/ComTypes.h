// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Value types of the serial port component: line settings, events, errors, and
// the display texts that the selectors and the setup dialog show.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace o5 {

enum TBaudRate : uint8_t {
  brCustom, br110, br300, br600, br1200, br2400, br4800, br9600, br14400, br19200,
  br38400, br56000, br57600, br115200, br128000, br256000
};
enum TDataBits : uint8_t { dbFive, dbSix, dbSeven, dbEight };
enum TStopBits : uint8_t { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TParityBits : uint8_t { prNone, prOdd, prEven, prMark, prSpace };
enum TDTRFlowControl : uint8_t { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl : uint8_t { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum TFlowControl : uint8_t { fcHardware, fcSoftware, fcNone, fcCustom };
enum TSyncMethod : uint8_t { smThreadSync, smWindowSync, smNone };

enum TComEvent : uint8_t {
  evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS, evDSR, evError, evRLSD, evRx80Full
};
enum TComError : uint8_t { ceFrame, ceRxParity, ceOverrun, ceBreak, ceIO, ceMode, ceRxOver, ceTxFull };
enum TComSignal : uint8_t { csCTS, csDSR, csRing, csRLSD };

// Small bit sets over the enumerations above.
template <class E>
class EnumSet {
 public:
  constexpr EnumSet() = default;
  constexpr EnumSet(std::initializer_list<E> items) {
    for (E e : items) bits_ |= Bit(e);
  }
  static constexpr EnumSet FromBits(uint16_t bits) { EnumSet s; s.bits_ = bits; return s; }
  constexpr bool Has(E e) const { return bits_ & Bit(e); }
  constexpr void Add(E e) { bits_ |= Bit(e); }
  constexpr void Remove(E e) { bits_ &= static_cast<uint16_t>(~Bit(e)); }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr uint16_t bits() const { return bits_; }
  constexpr bool operator==(const EnumSet&) const = default;

 private:
  static constexpr uint16_t Bit(E e) { return static_cast<uint16_t>(1u << static_cast<unsigned>(e)); }
  uint16_t bits_ = 0;
};
using TComEvents = EnumSet<TComEvent>;
using TComErrors = EnumSet<TComError>;
using TComSignals = EnumSet<TComSignal>;

inline constexpr TComEvents kAllComEvents{evRxChar, evTxEmpty, evRxFlag, evRing, evBreak,
                                          evCTS,    evDSR,     evError,  evRLSD, evRx80Full};

// Error codes of the port error table.
enum ComErrorCode : int {
  CError_OpenFailed = 1,
  CError_WriteFailed = 2,
  CError_ReadFailed = 3,
  CError_InvalidAsync = 4,
  CError_PurgeFailed = 5,
  CError_AsyncCheck = 6,
  CError_SetStateFailed = 7,
  CError_TimeoutsFailed = 8,
  CError_SetupComFailed = 9,
  CError_ClearComFailed = 10,
  CError_ModemStatFailed = 11,
  CError_EscapeComFailed = 12,
  CError_TransmitFailed = 13,
  CError_ConnChangeProp = 14,
  CError_EnumPortsFailed = 15,
  CError_StoreFailed = 16,
  CError_LoadFailed = 17,
  CError_RegFailed = 18,
  CError_LedStateFailed = 19,
  CError_ThreadCreated = 20,
  CError_WaitFailed = 21,
  CError_HasLink = 22,
  CError_RegError = 23,
};

// The error of the serial port component. SystemErrorCode is the platform's
// errno, or -1 when the error comes from the component itself.
class EComPort : public std::runtime_error {
 public:
  EComPort(int errorCode, int systemErrorCode = -1);
  int SystemErrorCode;
  int ErrorCode;
};

// Text of an error code (1..23) after translation; "" for other codes.
const std::string& ComErrorText(int errorCode);
// Looks every error text up once in the translation catalog. Called at start-up
// after the text domain is bound; until then the texts are as written.
void TranslateComErrorTexts();

// Display texts of the setting values, in value order, and the conversion back
// (letter case ignored, a text that matches none gives the fallback value).
const std::vector<std::string>& BaudRateTexts();
const std::vector<std::string>& DataBitsTexts();
const std::vector<std::string>& StopBitsTexts();
const std::vector<std::string>& ParityTexts();
const std::vector<std::string>& FlowControlTexts();
std::string BaudRateToStr(TBaudRate v);
std::string DataBitsToStr(TDataBits v);
std::string StopBitsToStr(TStopBits v);
std::string ParityToStr(TParityBits v);
std::string FlowControlToStr(TFlowControl v);
TBaudRate StrToBaudRate(std::string_view s);    // fallback br9600
TDataBits StrToDataBits(std::string_view s);    // fallback dbEight
TStopBits StrToStopBits(std::string_view s);    // fallback sbOneStopBit
TParityBits StrToParity(std::string_view s);    // fallback prNone
TFlowControl StrToFlowControl(std::string_view s);  // fallback fcCustom
// Bits per second of a rate; brCustom gives `custom`.
int BaudRateToInt(TBaudRate v, int custom);

}  // namespace o5
