// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/comui/ComUiSupport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QPointer>
#include <QTest>
#include <cstdlib>
#include <stdexcept>

namespace o5::test {

LockedPty::LockedPty() : master_(posix_openpt(O_RDWR | O_NOCTTY)) {
  char name[64] = {};
  if (master_ < 0 || ptsname_r(master_, name, sizeof name) != 0)
    throw std::runtime_error("no pseudo-terminal");
  path_ = name;  // unlockpt() is never called
}

LockedPty::~LockedPty() { close(master_); }

ExtraPorts::ExtraPorts(const std::vector<std::string>& names) {
  if (const char* old = std::getenv("ORTAN5_EXTRA_PORTS")) {
    old_ = old;
    hadOld_ = true;
  }
  std::string value;
  for (const std::string& name : names) value += (value.empty() ? "" : ":") + name;
  setenv("ORTAN5_EXTRA_PORTS", value.c_str(), 1);
}

ExtraPorts::~ExtraPorts() {
  if (hadOld_) {
    setenv("ORTAN5_EXTRA_PORTS", old_.c_str(), 1);
  } else {
    unsetenv("ORTAN5_EXTRA_PORTS");
  }
}

void SetUpLikeMainWindow(TCustomComPort& port, const std::string& name) {
  port.SetPort(name);
  port.SetBaudRate(br1200);
  port.SetDataBits(dbEight);
  port.SetStopBits(sbOneStopBit);
  port.Parity().SetBits(prNone);
  port.FlowControl().SetFlowControl(fcNone);
  port.FlowControl().SetControlDTR(dtrDisable);
}

bool PickItem(TComComboBox* combo, const QString& text) {
  const int row = combo->findText(text, Qt::MatchFixedString);
  if (row < 0) return false;
  combo->showPopup();
  QAbstractItemView* view = combo->view();
  view->setCurrentIndex(combo->model()->index(row, 0));
  QTest::keyClick(view, Qt::Key_Return);
  return true;
}

DialogDriver::DialogDriver(std::function<void(TComSetupFrm*)> action) : action_(std::move(action)) {
  timer_.setInterval(10);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    auto* dialog = qobject_cast<TComSetupFrm*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    timer_.stop();
    seen_ = true;
    QPointer<TComSetupFrm> guard(dialog);
    action_(dialog);
    // An action that failed half-way must not leave the test blocked in the
    // modal loop.
    if (guard && guard->isVisible()) {
      ADD_FAILURE() << "the setup dialog was left open";
      guard->reject();
    }
  });
  timer_.start();
}

int LiveSetupDialogs() {
  int n = 0;
  for (QWidget* w : QApplication::allWidgets()) {
    if (qobject_cast<TComSetupFrm*>(w)) ++n;
  }
  return n;
}

}  // namespace o5::test
