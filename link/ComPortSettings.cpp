// SPDX-License-Identifier: GPL-3.0-or-later
// The port's setting groups. A change of a value re-applies its group to the
// port (which does nothing while the port is closed or a settings bracket is
// open); assigning a whole group re-applies it unconditionally.

#include "link/ComPort.h"

namespace o5 {

namespace {

// Stores v and tells whether it differed: an equal value changes nothing.
template <class T>
bool Store(T& field, T v) {
  if (field == v) return false;
  field = v;
  return true;
}

int Even(int v) { return (v % 2 != 0) ? v - 1 : v; }

}  // namespace

void TComParity::Changed() { port_->ApplyGroup(TCustomComPort::Group::Line); }
void TComParity::SetBits(TParityBits v) {
  if (Store(bits_, v)) Changed();
}
void TComParity::SetCheck(bool v) {
  if (Store(check_, v)) Changed();
}
void TComParity::SetReplace(bool v) {
  if (Store(replace_, v)) Changed();
}
void TComParity::SetReplaceChar(uint8_t v) {
  if (Store(replaceChar_, v)) Changed();
}
void TComParity::Assign(const TComParity& other) {
  bits_ = other.bits_;
  check_ = other.check_;
  replace_ = other.replace_;
  replaceChar_ = other.replaceChar_;
  Changed();
}

void TComFlowControl::Changed() { port_->ApplyGroup(TCustomComPort::Group::Line); }
void TComFlowControl::SetOutCTSFlow(bool v) {
  if (Store(outCTSFlow_, v)) Changed();
}
void TComFlowControl::SetOutDSRFlow(bool v) {
  if (Store(outDSRFlow_, v)) Changed();
}
void TComFlowControl::SetControlDTR(TDTRFlowControl v) {
  if (Store(controlDTR_, v)) Changed();
}
void TComFlowControl::SetControlRTS(TRTSFlowControl v) {
  if (Store(controlRTS_, v)) Changed();
}
void TComFlowControl::SetXonXoffOut(bool v) {
  if (Store(xonXoffOut_, v)) Changed();
}
void TComFlowControl::SetXonXoffIn(bool v) {
  if (Store(xonXoffIn_, v)) Changed();
}
void TComFlowControl::SetDSRSensitivity(bool v) {
  if (Store(dsrSensitivity_, v)) Changed();
}
void TComFlowControl::SetTxContinueOnXoff(bool v) {
  if (Store(txContinueOnXoff_, v)) Changed();
}
void TComFlowControl::SetXonChar(uint8_t v) {
  if (Store(xonChar_, v)) Changed();
}
void TComFlowControl::SetXoffChar(uint8_t v) {
  if (Store(xoffChar_, v)) Changed();
}

TFlowControl TComFlowControl::FlowControl() const {
  const bool xonXoff = xonXoffIn_ && xonXoffOut_;
  const bool noXonXoff = !xonXoffIn_ && !xonXoffOut_;
  if (controlRTS_ == rtsHandshake && outCTSFlow_ && noXonXoff) return fcHardware;
  if (controlRTS_ == rtsDisable && !outCTSFlow_ && xonXoff) return fcSoftware;
  if (controlRTS_ == rtsDisable && !outCTSFlow_ && noXonXoff) return fcNone;
  return fcCustom;
}

void TComFlowControl::SetFlowControl(TFlowControl v) {
  if (v != fcCustom) {
    controlRTS_ = rtsDisable;
    outCTSFlow_ = false;
    xonXoffIn_ = false;
    xonXoffOut_ = false;
    if (v == fcHardware) {
      controlRTS_ = rtsHandshake;
      outCTSFlow_ = true;
    } else if (v == fcSoftware) {
      xonXoffIn_ = true;
      xonXoffOut_ = true;
    }
  }
  Changed();
}

void TComFlowControl::Assign(const TComFlowControl& other) {
  outCTSFlow_ = other.outCTSFlow_;
  outDSRFlow_ = other.outDSRFlow_;
  controlDTR_ = other.controlDTR_;
  controlRTS_ = other.controlRTS_;
  xonXoffOut_ = other.xonXoffOut_;
  xonXoffIn_ = other.xonXoffIn_;
  dsrSensitivity_ = other.dsrSensitivity_;
  txContinueOnXoff_ = other.txContinueOnXoff_;
  xonChar_ = other.xonChar_;
  xoffChar_ = other.xoffChar_;
  Changed();
}

void TComTimeouts::Changed() { port_->ApplyGroup(TCustomComPort::Group::Timeouts); }
void TComTimeouts::SetReadInterval(int v) {
  if (Store(readInterval_, v)) Changed();
}
void TComTimeouts::SetReadTotalMultiplier(int v) {
  if (Store(readTotalMultiplier_, v)) Changed();
}
void TComTimeouts::SetReadTotalConstant(int v) {
  if (Store(readTotalConstant_, v)) Changed();
}
void TComTimeouts::SetWriteTotalMultiplier(int v) {
  if (Store(writeTotalMultiplier_, v)) Changed();
}
void TComTimeouts::SetWriteTotalConstant(int v) {
  if (Store(writeTotalConstant_, v)) Changed();
}
void TComTimeouts::Assign(const TComTimeouts& other) {
  readInterval_ = other.readInterval_;
  readTotalMultiplier_ = other.readTotalMultiplier_;
  readTotalConstant_ = other.readTotalConstant_;
  writeTotalMultiplier_ = other.writeTotalMultiplier_;
  writeTotalConstant_ = other.writeTotalConstant_;
  Changed();
}

void TComBuffer::Changed() { port_->ApplyGroup(TCustomComPort::Group::Buffer); }
void TComBuffer::SetInputSize(int v) {
  if (Store(inputSize_, Even(v))) Changed();
}
void TComBuffer::SetOutputSize(int v) {
  if (Store(outputSize_, Even(v))) Changed();
}
void TComBuffer::Assign(const TComBuffer& other) {
  inputSize_ = other.inputSize_;
  outputSize_ = other.outputSize_;
  Changed();
}

}  // namespace o5
