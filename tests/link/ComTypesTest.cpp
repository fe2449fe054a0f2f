// SPDX-License-Identifier: GPL-3.0-or-later
// The port's error table and messages, the display texts of the settings and
// their conversions, and the naming of devices.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/ComPort.h"
#include "link/ComTypes.h"

namespace o5 {
namespace {

TEST(ComErrorTexts, TableHoldsTheTextsAsWritten) {
  const std::vector<std::string> expected = {
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
  for (int code = 1; code <= 23; ++code)
    EXPECT_EQ(ComErrorText(code), expected[static_cast<size_t>(code - 1)]) << "code " << code;
  EXPECT_EQ(ComErrorText(0), "");
  EXPECT_EQ(ComErrorText(24), "");
  EXPECT_EQ(ComErrorText(-1), "");
}

TEST(ComErrorTexts, WithoutCatalogTranslationKeepsThem) {
  TranslateComErrorTexts();
  EXPECT_EQ(ComErrorText(CError_OpenFailed), "Unable to open com port");
  EXPECT_EQ(ComErrorText(CError_RegError), "Registry error");
  EXPECT_STREQ(EComPort(CError_OpenFailed, 2).what(),
               "Unable to open com port (win error code: 2)");
}

TEST(EComPortMessage, SystemErrorAddsTheSuffix) {
  const EComPort open(CError_OpenFailed, 2);
  EXPECT_STREQ(open.what(), "Unable to open com port (win error code: 2)");
  EXPECT_EQ(open.ErrorCode, 1);
  EXPECT_EQ(open.SystemErrorCode, 2);
  EXPECT_STREQ(EComPort(CError_SetStateFailed, 87).what(),
               "SetCommState function failed (win error code: 87)");
  EXPECT_STREQ(EComPort(CError_WriteFailed, 0).what(),
               "WriteFile function failed (win error code: 0)");
}

TEST(EComPortMessage, PortOwnErrorHasTheBareText) {
  const EComPort e(CError_RegFailed);
  EXPECT_STREQ(e.what(), "Link (un)registration failed");
  EXPECT_EQ(e.SystemErrorCode, -1);
  EXPECT_EQ(e.ErrorCode, 18);
  EXPECT_STREQ(EComPort(CError_ConnChangeProp, -1).what(), "Cannot set property while connected");
}

TEST(EComPortMessage, IsARuntimeError) {
  try {
    throw EComPort(CError_ReadFailed, 5);
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "ReadFile function failed (win error code: 5)");
  }
}

TEST(DisplayTexts, TablesInValueOrder) {
  EXPECT_EQ(BaudRateTexts(),
            (std::vector<std::string>{"Custom", "110", "300", "600", "1200", "2400", "4800", "9600",
                                      "14400", "19200", "38400", "56000", "57600", "115200",
                                      "128000", "256000"}));
  EXPECT_EQ(DataBitsTexts(), (std::vector<std::string>{"5", "6", "7", "8"}));
  EXPECT_EQ(StopBitsTexts(), (std::vector<std::string>{"1", "1.5", "2"}));
  EXPECT_EQ(ParityTexts(), (std::vector<std::string>{"None", "Odd", "Even", "Mark", "Space"}));
  EXPECT_EQ(FlowControlTexts(),
            (std::vector<std::string>{"Hardware", "Software", "None", "Custom"}));
}

TEST(DisplayTexts, ValuesRoundTrip) {
  for (int v = brCustom; v <= br256000; ++v)
    EXPECT_EQ(StrToBaudRate(BaudRateToStr(static_cast<TBaudRate>(v))), v);
  for (int v = dbFive; v <= dbEight; ++v)
    EXPECT_EQ(StrToDataBits(DataBitsToStr(static_cast<TDataBits>(v))), v);
  for (int v = sbOneStopBit; v <= sbTwoStopBits; ++v)
    EXPECT_EQ(StrToStopBits(StopBitsToStr(static_cast<TStopBits>(v))), v);
  for (int v = prNone; v <= prSpace; ++v)
    EXPECT_EQ(StrToParity(ParityToStr(static_cast<TParityBits>(v))), v);
  for (int v = fcHardware; v <= fcCustom; ++v)
    EXPECT_EQ(StrToFlowControl(FlowControlToStr(static_cast<TFlowControl>(v))), v);
}

TEST(DisplayTexts, LetterCaseIsIgnoredAndUnknownTextsFallBack) {
  EXPECT_EQ(StrToBaudRate("Custom"), brCustom);
  EXPECT_EQ(StrToBaudRate("cUSTOM"), brCustom);
  EXPECT_EQ(StrToBaudRate("19200"), br19200);
  EXPECT_EQ(StrToBaudRate("19201"), br9600);
  EXPECT_EQ(StrToBaudRate(""), br9600);
  EXPECT_EQ(StrToDataBits("9"), dbEight);
  EXPECT_EQ(StrToDataBits("5"), dbFive);
  EXPECT_EQ(StrToStopBits("1.5"), sbOne5StopBits);
  EXPECT_EQ(StrToStopBits("1,5"), sbOneStopBit);
  EXPECT_EQ(StrToParity("mark"), prMark);
  EXPECT_EQ(StrToParity("SPACE"), prSpace);
  EXPECT_EQ(StrToParity("parity"), prNone);
  EXPECT_EQ(StrToFlowControl("hardware"), fcHardware);
  EXPECT_EQ(StrToFlowControl("none"), fcNone);
  EXPECT_EQ(StrToFlowControl("RTS/CTS"), fcCustom);
}

TEST(DisplayTexts, BitRateOfAValue) {
  EXPECT_EQ(BaudRateToInt(br110, 0), 110);
  EXPECT_EQ(BaudRateToInt(br1200, 0), 1200);
  EXPECT_EQ(BaudRateToInt(br14400, 0), 14400);
  EXPECT_EQ(BaudRateToInt(br56000, 0), 56000);
  EXPECT_EQ(BaudRateToInt(br256000, 0), 256000);
  EXPECT_EQ(BaudRateToInt(brCustom, 31250), 31250);
}

TEST(DevicePath, NamesBecomeDevices) {
  EXPECT_EQ(TCustomComPort::DevicePath("COM1"), "/dev/ttyS0");
  EXPECT_EQ(TCustomComPort::DevicePath("com10"), "/dev/ttyS9");
  EXPECT_EQ(TCustomComPort::DevicePath("Com2"), "/dev/ttyS1");
  EXPECT_EQ(TCustomComPort::DevicePath("/dev/pts/7"), "/dev/pts/7");
  EXPECT_EQ(TCustomComPort::DevicePath("ttyUSB0"), "/dev/ttyUSB0");
  // Not a COM number: looked up under /dev as it is.
  EXPECT_EQ(TCustomComPort::DevicePath("COM0"), "/dev/COM0");
  EXPECT_EQ(TCustomComPort::DevicePath("COM"), "/dev/COM");
  EXPECT_EQ(TCustomComPort::DevicePath("COM1a"), "/dev/COM1a");
  EXPECT_EQ(TCustomComPort::DevicePath("COM99999999999999999999"), "/dev/COM99999999999999999999");
}

}  // namespace
}  // namespace o5
