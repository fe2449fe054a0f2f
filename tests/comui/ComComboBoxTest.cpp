// SPDX-License-Identifier: GPL-3.0-or-later
// The port selector as the main window uses it (cbPort: bound to the port's
// name, applying a pick at once) and the selectors of the other settings.

#include <gtest/gtest.h>

#include <QStringList>
#include <QTemporaryDir>
#include <unistd.h>
#include <memory>
#include <string>
#include <vector>

#include "link/ComComboBox.h"
#include "link/ComLed.h"
#include "tests/comui/ComUiSupport.h"
#include "tests/comui/QStringPrinter.h"
#include "tests/support/ErrorCapture.h"

namespace o5 {
namespace {

using test::Pty;

QStringList Items(const QComboBox& combo) {
  QStringList items;
  for (int i = 0; i < combo.count(); ++i) items << combo.itemText(i);
  return items;
}

QStringList ToQStrings(const std::vector<std::string>& texts) {
  QStringList out;
  for (const std::string& t : texts) out << QString::fromStdString(t);
  return out;
}

class PortSelectorTest : public ::testing::Test {
 protected:
  void SetUp() override { test::TakeErrors(); }

  // Built the way the main window builds cbPort and ComLed1.
  void BuildLikeMainWindow(const std::string& portName) {
    test::SetUpLikeMainWindow(port, portName);
    cbPort.SetComProperty(cpPort);
    cbPort.SetAutoApply(true);
    cbPort.SetComPort(&port);
    ComLed1.SetComPort(&port);
    ComLed1.OnChange = [this](QObject*, TLedState s) { lampChanges.push_back(s); };
  }

  Pty a, b;
  test::LockedPty unopenable;
  test::ExtraPorts extra{{a.Path(), b.Path(), unopenable.Path()}};
  TComPort port;
  TComComboBox cbPort;
  TComLed ComLed1;
  std::vector<TLedState> lampChanges;
};

TEST_F(PortSelectorTest, ListsTheSystemsPortsAndShowsThePortsName) {
  BuildLikeMainWindow(a.Path());
  const QStringList items = Items(cbPort);
  EXPECT_TRUE(items.contains(a.QPath()));
  EXPECT_TRUE(items.contains(b.QPath()));
  EXPECT_TRUE(items.contains(unopenable.QPath()));
  for (int i = 1; i < items.size(); ++i) {
    EXPECT_LE(items[i - 1].compare(items[i], Qt::CaseInsensitive), 0) << "not sorted at " << i;
  }
  EXPECT_EQ(cbPort.Text(), a.QPath());
  EXPECT_EQ(cbPort.Select().PendingPort, a.Path());
  EXPECT_FALSE(cbPort.isEditable());
}

TEST_F(PortSelectorTest, UnlistedPortNameShowsNothingAndKeepsTheName) {
  BuildLikeMainWindow("/dev/o5-comui-unlisted");
  EXPECT_EQ(cbPort.currentIndex(), -1);
  EXPECT_EQ(cbPort.Text(), QString());
  EXPECT_EQ(port.Port(), "/dev/o5-comui-unlisted");
  EXPECT_EQ(cbPort.Select().PendingPort, "");
}

TEST_F(PortSelectorTest, ANameForAListedDeviceShowsItsItemAndKeepsTheName) {
  // "pts/N" and "/dev/pts/N" name one device.
  const std::string shortName = a.Path().substr(std::string("/dev/").size());
  BuildLikeMainWindow(shortName);
  EXPECT_EQ(cbPort.Text(), a.QPath());
  EXPECT_EQ(cbPort.Select().PendingPort, shortName);
  port.SetConnected(true);
  const int handle = port.Handle();
  lampChanges.clear();
  // Applying what was loaded leaves the open device alone.
  cbPort.ApplyToPort();
  EXPECT_EQ(port.Port(), shortName);
  EXPECT_EQ(port.Handle(), handle);
  EXPECT_TRUE(lampChanges.empty());
  EXPECT_TRUE(test::TakeErrors().isEmpty());
}

TEST_F(PortSelectorTest, TheListIsReadAfreshEachTimeItOpensAndNamesEachDevice) {
  QTemporaryDir dir;
  const std::string link = dir.filePath("heater").toStdString();
  test::ExtraPorts more{{a.Path(), b.Path(), link}};
  BuildLikeMainWindow(a.Path());
  const auto opened = [&] {
    cbPort.showPopup();
    const QStringList items = Items(cbPort);
    cbPort.hidePopup();
    return items;
  };
  EXPECT_FALSE(opened().contains(QString::fromStdString(link)));

  // The link appears (an adapter's by-id link, the simulator's): listed at
  // the next opening, as what it leads to; the choice stays.
  ASSERT_EQ(symlink(b.Path().c_str(), link.c_str()), 0);
  QStringList items = opened();
  const int row = static_cast<int>(items.indexOf(QString::fromStdString(link)));
  ASSERT_GE(row, 0);
  EXPECT_EQ(cbPort.itemData(row, Qt::ToolTipRole).toString(), QString::fromUtf8("Псевдотерминал"));
  EXPECT_EQ(cbPort.itemData(static_cast<int>(items.indexOf(a.QPath())), Qt::ToolTipRole).toString(),
            QString::fromUtf8("Псевдотерминал"));
  EXPECT_EQ(cbPort.Text(), a.QPath());
  for (int i = 1; i < items.size(); ++i)
    EXPECT_LE(items[i - 1].compare(items[i], Qt::CaseInsensitive), 0) << "not sorted at " << i;

  // Chosen, then gone: no item is chosen, the box keeps showing the name
  // (greyed, also after the list was opened and shut again) and the port
  // keeps it; back: chosen again.
  ASSERT_TRUE(test::PickItem(&cbPort, QString::fromStdString(link)));
  EXPECT_EQ(port.Port(), link);
  ASSERT_EQ(unlink(link.c_str()), 0);
  for (int opening = 0; opening < 2; ++opening) {
    EXPECT_FALSE(opened().contains(QString::fromStdString(link)));
    EXPECT_EQ(cbPort.Text(), QString());
    EXPECT_EQ(cbPort.placeholderText(), QString::fromStdString(link));
  }
  EXPECT_EQ(port.Port(), link);
  ASSERT_EQ(symlink(b.Path().c_str(), link.c_str()), 0);
  EXPECT_TRUE(opened().contains(QString::fromStdString(link)));
  EXPECT_EQ(cbPort.Text(), QString::fromStdString(link));
  EXPECT_TRUE(test::TakeErrors().isEmpty());
}

TEST(PortSelectorComNames, TheDefaultComOneShowsTheFirstOnBoardPort) {
  test::ExtraPorts extra{{"/dev/ttyS0", "/dev/ttyS1"}};
  TComPort port;
  TComComboBox cbPort;
  cbPort.SetComProperty(cpPort);
  cbPort.SetComPort(&port);
  EXPECT_EQ(port.Port(), "COM1");
  EXPECT_EQ(cbPort.Text(), "/dev/ttyS0");
  EXPECT_EQ(cbPort.Select().PendingPort, "COM1");
}

TEST_F(PortSelectorTest, NameInOtherLetterCaseChoosesTheListedItem) {
  BuildLikeMainWindow(a.QPath().toUpper().toStdString());
  EXPECT_EQ(cbPort.Text(), a.QPath());
  // The item's spelling becomes pending, not the port's.
  EXPECT_EQ(cbPort.Select().PendingPort, a.Path());
}

TEST_F(PortSelectorTest, PickingTheCurrentNameLeavesTheOpenPortAlone) {
  BuildLikeMainWindow(a.Path());
  port.SetConnected(true);
  const int handle = port.Handle();
  lampChanges.clear();

  ASSERT_TRUE(test::PickItem(&cbPort, a.QPath()));

  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(port.Handle(), handle);
  EXPECT_TRUE(lampChanges.empty());
  EXPECT_TRUE(test::TakeErrors().isEmpty());
}

TEST_F(PortSelectorTest, PickWhileClosedStoresTheNameOnly) {
  BuildLikeMainWindow(a.Path());

  ASSERT_TRUE(test::PickItem(&cbPort, b.QPath()));

  EXPECT_EQ(port.Port(), b.Path());
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(ComLed1.State(), lsOff);
  EXPECT_TRUE(lampChanges.empty());
  // The next opening goes to the picked device.
  port.SetConnected(true);
  ASSERT_EQ(port.WriteText("abc"), 3);
  EXPECT_EQ(b.ReadFromFarEnd(3), "abc");
}

TEST_F(PortSelectorTest, PickWhileOpenMovesThePortToTheNewDevice) {
  BuildLikeMainWindow(a.Path());
  port.SetConnected(true);
  ASSERT_EQ(ComLed1.State(), lsOn);
  lampChanges.clear();

  ASSERT_TRUE(test::PickItem(&cbPort, b.QPath()));

  EXPECT_TRUE(test::TakeErrors().isEmpty());
  EXPECT_EQ(port.Port(), b.Path());
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(lampChanges, (std::vector<TLedState>{lsOff, lsOn}));
  EXPECT_EQ(ComLed1.State(), lsOn);
  ASSERT_EQ(port.WriteText("xyz"), 3);
  EXPECT_EQ(b.ReadFromFarEnd(3), "xyz");
  EXPECT_EQ(a.ReadFromFarEnd(1, 100), "");
  // The new device got the port's line settings.
  const termios t = b.Attributes();
  EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B1200));
}

TEST_F(PortSelectorTest, PickOfADeviceThatCannotBeOpenedEndsClosedUnderTheNewName) {
  BuildLikeMainWindow(a.Path());
  port.SetConnected(true);
  lampChanges.clear();

  ASSERT_TRUE(test::PickItem(&cbPort, unopenable.QPath()));

  const QStringList errors = test::TakeErrors();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].startsWith("Unable to open com port (win error code: "))
      << errors[0].toStdString();
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(port.Port(), unopenable.Path());
  EXPECT_EQ(ComLed1.State(), lsOff);
  EXPECT_EQ(lampChanges, (std::vector<TLedState>{lsOff}));
  EXPECT_EQ(cbPort.Text(), unopenable.QPath());
}

TEST_F(PortSelectorTest, PickOfADeviceThatCannotBeOpenedWhileClosedIsStoredSilently) {
  BuildLikeMainWindow(a.Path());
  ASSERT_TRUE(test::PickItem(&cbPort, unopenable.QPath()));
  EXPECT_TRUE(test::TakeErrors().isEmpty());
  EXPECT_EQ(port.Port(), unopenable.Path());
  EXPECT_FALSE(port.Connected());
}

TEST_F(PortSelectorTest, TextSetFromCodeChoosesWithoutApplying) {
  BuildLikeMainWindow(a.Path());
  port.SetConnected(true);
  const int handle = port.Handle();
  lampChanges.clear();

  cbPort.SetText(b.QPath());
  EXPECT_EQ(cbPort.Text(), b.QPath());
  EXPECT_EQ(port.Port(), a.Path());
  EXPECT_EQ(port.Handle(), handle);
  EXPECT_EQ(cbPort.Select().PendingPort, a.Path());
  EXPECT_TRUE(lampChanges.empty());

  cbPort.SetText("/dev/o5-comui-unlisted");
  EXPECT_EQ(cbPort.Text(), b.QPath());

  cbPort.SetText(a.QPath().toUpper());
  EXPECT_EQ(cbPort.Text(), a.QPath());
}

TEST_F(PortSelectorTest, DestroyedPortUnbindsSelectorAndLamp) {
  auto doomed = std::make_unique<TComPort>();
  test::SetUpLikeMainWindow(*doomed, b.Path());
  cbPort.SetComProperty(cpPort);
  cbPort.SetComPort(doomed.get());
  ComLed1.SetComPort(doomed.get());
  doomed->SetConnected(true);
  ASSERT_EQ(ComLed1.State(), lsOn);

  doomed.reset();

  EXPECT_EQ(cbPort.ComPort(), nullptr);
  EXPECT_EQ(cbPort.currentIndex(), 0);
  EXPECT_EQ(ComLed1.ComPort(), nullptr);
  EXPECT_EQ(ComLed1.State(), lsOff);
  // Unbound, the lamp takes its state from code again; a pick goes nowhere.
  ComLed1.SetState(lsOn);
  EXPECT_EQ(ComLed1.State(), lsOn);
  cbPort.SetAutoApply(true);
  EXPECT_TRUE(test::PickItem(&cbPort, a.QPath()));
  EXPECT_TRUE(test::TakeErrors().isEmpty());
}

TEST_F(PortSelectorTest, RebindingMovesTheObservation) {
  TComPort other;
  test::SetUpLikeMainWindow(port, a.Path());
  test::SetUpLikeMainWindow(other, b.Path());
  cbPort.SetComProperty(cpPort);
  cbPort.SetComPort(&port);
  cbPort.SetComPort(&other);
  EXPECT_EQ(cbPort.Text(), b.QPath());
  cbPort.SetAutoApply(true);
  ASSERT_TRUE(test::PickItem(&cbPort, unopenable.QPath()));
  EXPECT_EQ(other.Port(), unopenable.Path());
  EXPECT_EQ(port.Port(), a.Path());
}

// --- the other settings ---

TEST(SettingSelectorTest, ItemsFollowTheBoundSetting) {
  TComComboBox combo;
  EXPECT_EQ(combo.ComProperty(), cpNone);
  EXPECT_EQ(combo.count(), 0);
  EXPECT_FALSE(combo.AutoApply());

  const struct {
    TComProperty property;
    const std::vector<std::string>& texts;
  } cases[] = {{cpBaudRate, BaudRateTexts()},
               {cpDataBits, DataBitsTexts()},
               {cpStopBits, StopBitsTexts()},
               {cpParity, ParityTexts()},
               {cpFlowControl, FlowControlTexts()}};
  for (const auto& c : cases) {
    combo.SetComProperty(c.property);
    EXPECT_EQ(Items(combo), ToQStrings(c.texts));
    // Without a port the first item is chosen.
    EXPECT_EQ(combo.currentIndex(), 0);
  }
  combo.SetComProperty(cpNone);
  EXPECT_EQ(combo.count(), 0);
  EXPECT_EQ(combo.Text(), QString());
}

TEST(SettingSelectorTest, ShowsThePortsValuesAndAppliesAPickAtOnce) {
  TComPort port;
  test::SetUpLikeMainWindow(port, "COM1");
  TComComboBox baud, data, stop, parity, flow;
  baud.SetComProperty(cpBaudRate);
  data.SetComProperty(cpDataBits);
  stop.SetComProperty(cpStopBits);
  parity.SetComProperty(cpParity);
  flow.SetComProperty(cpFlowControl);
  for (TComComboBox* c : {&baud, &data, &stop, &parity, &flow}) c->SetComPort(&port);
  EXPECT_EQ(baud.Text(), "1200");
  EXPECT_EQ(data.Text(), "8");
  EXPECT_EQ(stop.Text(), "1");
  EXPECT_EQ(parity.Text(), "None");
  EXPECT_EQ(flow.Text(), "None");

  ASSERT_TRUE(test::PickItem(&baud, "19200"));
  EXPECT_EQ(port.BaudRate(), br1200) << "applied without AutoApply";
  EXPECT_EQ(baud.Select().PendingBaudRate, br19200);
  baud.ApplyToPort();
  EXPECT_EQ(port.BaudRate(), br19200);

  flow.SetAutoApply(true);
  ASSERT_TRUE(test::PickItem(&flow, "Hardware"));
  EXPECT_EQ(port.FlowControl().FlowControl(), fcHardware);
  EXPECT_EQ(port.FlowControl().ControlRTS(), rtsHandshake);
  EXPECT_TRUE(port.FlowControl().OutCTSFlow());

  // A value changed behind the selector's back shows after loading.
  port.Parity().SetBits(prMark);
  EXPECT_EQ(parity.Text(), "None");
  parity.LoadFromPort();
  EXPECT_EQ(parity.Text(), "Mark");
  EXPECT_EQ(parity.Select().PendingParity, prMark);
}

}  // namespace
}  // namespace o5
