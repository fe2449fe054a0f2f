// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/blackbox/BlackBoxReadout.h"

#include <QCoreApplication>
#include <QFrame>

#include "heater/Requests.h"
#include "link/Frame.h"
#include "heater/BlackBoxImage.h"
#include "ui/blackbox/TfBB.h"

namespace o5 {

namespace {

// Reply bytes 7, 8 and 9 carry the black-box bytes at A, A+1, A+2.
constexpr size_t kReplyData = 6;

const char* const kNoBlackBoxNotice[] = {
    "",
    QT_TRANSLATE_NOOP("BlackBoxReadout", "В этой версии программного обеспечения Ортана 5"),
    QT_TRANSLATE_NOOP("BlackBoxReadout", "не реализован \"черный ящик\"."),
    "",
};

// Reply byte 6 repeats the address that was asked for.
constexpr size_t kReplyAddress = 5;

// Sends the read request for `address` and waits for its reply. A reply that
// carries another address answers some other request (one still on its way
// from before the port was opened again, say) and is passed over by the wait;
// should a channel hand one over all the same, its bytes belong elsewhere in
// the image, and the readout ends as if nothing had come.
bool ReadChunk(RequestChannel& channel, uint8_t address) {
  channel.SendRequest(ControlByteFromBits(kControlAwaitReply), 0, 0, kCmdBlackBoxRead, address, 0,
                      0, 0);
  if (!channel.WaitForReply(kReplyByte4, kCmdBlackBoxRead, address)) return false;
  if (channel.FrameBuffer()[kReplyAddress] == address) return true;
  channel.ConsoleLine(Translate("RequestChannel", kNoReplyLine));
  return false;
}

void StoreChunk(const Frame& reply, int address) {
  for (int i = 0; i < kBlackBoxChunkSize; ++i)
    BlackBoxImage[static_cast<size_t>(address + i)] = reply[kReplyData + static_cast<size_t>(i)];
}

// Hides the window unless the readout completes: a chunk that gets no reply,
// and an error that ends the readout on its way to the error display (the line
// lost in the middle of it), both leave it as a failed chunk read.
class HideUnlessCompleted {
 public:
  explicit HideUnlessCompleted(TfBB& window) : window_(window) {}
  // The progress panel goes too: a report opened later must not come up
  // under a frozen panel of a readout that has ended.
  ~HideUnlessCompleted() {
    if (completed_) return;
    window_.pRead->setVisible(false);
    window_.hide();
  }
  void Completed() { completed_ = true; }

 private:
  TfBB& window_;
  bool completed_ = false;
};

}  // namespace

void ReadBlackBox(RequestChannel& channel, TfBB& window) {
  if (!ReadChunk(channel, kBlackBoxSignatureAddress)) return;
  const Frame& probe = channel.FrameBuffer();
  if (probe[kReplyData] != kBlackBoxSignature1 || probe[kReplyData + 1] != kBlackBoxSignature2) {
    for (const char* line : kNoBlackBoxNotice)
      channel.ConsoleLine(QCoreApplication::translate("BlackBoxReadout", line).toStdString());
    return;
  }

  window.SetProgress(0);
  window.pRead->setVisible(true);
  window.pRead->raise();
  window.show();
  window.raise();
  HideUnlessCompleted failure(window);

  for (int chunk = 0; chunk < kBlackBoxChunkCount; ++chunk) {
    const int address = chunk * kBlackBoxChunkSize;
    if (!ReadChunk(channel, static_cast<uint8_t>(address))) return;
    StoreChunk(channel.FrameBuffer(), address);
    window.SetProgress(chunk);
  }
  if (!ReadChunk(channel, kBlackBoxTailAddress)) return;
  StoreChunk(channel.FrameBuffer(), kBlackBoxTailAddress);

  failure.Completed();
  window.pRead->setVisible(false);
  window.ShowReport();
}

}  // namespace o5
