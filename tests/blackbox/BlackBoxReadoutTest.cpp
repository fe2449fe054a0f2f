// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/blackbox/BlackBoxReadout.h"

#include <QLabel>
#include <QProgressBar>
#include <QTableWidget>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "link/Frame.h"
#include "heater/BlackBoxImage.h"
#include "ui/blackbox/TfBB.h"

namespace o5 {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kNoReply = "Нет связи с отопителем.";

// A heater on the other end of the link that answers read requests from its
// own black box, and can fall silent from a given request on.
class FakeHeater : public RequestChannel {
 public:
  struct Seen {
    Frame request;
    bool windowVisible;
    bool panelVisible;
    int progress;
  };

  FakeHeater(TfBB& window) : window_(window) {
    for (size_t i = 0; i < memory.size(); ++i) memory[i] = static_cast<uint8_t>(i * 7 + 1);
    memory[3] = 0x55;
    memory[4] = 0x37;
  }

  void SendRequest(uint8_t control, uint8_t b3, uint8_t b4, uint8_t b5, uint8_t b6, uint8_t b7,
                   uint8_t b8, uint8_t b9) override {
    if (portClosed) throw std::runtime_error("Write error (5)");
    const Frame request = BuildRequest(control, b3, b4, b5, b6, b7, b8, b9);
    seen.push_back({request, window_.isVisible(), window_.pRead->isVisible(), window_.pbReadBB->value()});
    pending_ = request;
  }

  bool WaitForReply(uint8_t expectedByte4, uint8_t expectedByte5, int expectedByte6) override {
    EXPECT_EQ(expectedByte4, 0);
    EXPECT_EQ(expectedByte5, 119);
    EXPECT_EQ(expectedByte6, pending_[5]);
    if (silentFrom >= 0 && static_cast<int>(seen.size()) > silentFrom) {
      console.push_back(kNoReply);
      return false;
    }
    uint8_t a = pending_[5];
    if (static_cast<int>(seen.size()) - 1 == misaddressed) a = static_cast<uint8_t>(a + 3);
    auto at = [&](int i) { return memory[static_cast<size_t>((a + i) & 0xFF)]; };
    buffer_ = BuildRequest(0x09 | kReplyFlag, 0, 0, pending_[4], a, at(0), at(1), at(2));
    return true;
  }

  const Frame& FrameBuffer() const override { return buffer_; }
  void ConsoleLine(const std::string& line) override { console.push_back(line); }
  void Pause(int) override { ADD_FAILURE() << "the readout never pauses"; }

  BlackBoxBytes memory{};
  int silentFrom = -1;  // index of the first request left unanswered
  int misaddressed = -1;  // index of the request answered for the next address
  bool portClosed = false;
  std::vector<Seen> seen;
  std::vector<std::string> console;

 private:
  TfBB& window_;
  Frame pending_{};
  Frame buffer_{};
};

class BlackBoxReadoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = BlackBoxImage;
    for (size_t i = 0; i < BlackBoxImage.size(); ++i) BlackBoxImage[i] = static_cast<uint8_t>(0xA0 ^ i);
    old = BlackBoxImage;
  }
  void TearDown() override { BlackBoxImage = saved_; }

  TfBB window;
  FakeHeater heater{window};
  BlackBoxBytes old;

 private:
  BlackBoxBytes saved_;
};

TEST_F(BlackBoxReadoutTest, FullReadoutCopiesTheMemoryAndShowsTheReport) {
  ReadBlackBox(heater, window);

  EXPECT_EQ(BlackBoxImage, heater.memory);
  EXPECT_THAT(heater.console, IsEmpty());
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(window.pRead->isVisible());
  EXPECT_EQ(window.pbReadBB->value(), 84);
  EXPECT_EQ(window.l1->text(), "Версия: " + QString::number(heater.memory[5]) + ".");
  EXPECT_EQ(window.sgBB->item(14, 13)->text(), QString::number(heater.memory[255]));

  // The probe at 3, the 85 chunks, the tail at 253: every request a read with
  // control byte 0x09, code 119 and the address in byte 6.
  ASSERT_EQ(heater.seen.size(), 87u);
  std::vector<int> addresses;
  for (const auto& s : heater.seen) {
    const Frame& f = s.request;
    addresses.push_back(f[5]);
    const Frame expected{0xAA, 0x09, 0, 0, 0x77, f[5], 0, 0, 0, static_cast<uint8_t>(0x2A + f[5])};
    EXPECT_EQ(f, expected) << FrameToHex(f);
  }
  EXPECT_EQ(addresses.front(), 3);
  for (int k = 0; k < 85; ++k) EXPECT_EQ(addresses[static_cast<size_t>(k + 1)], 3 * k);
  EXPECT_EQ(FrameToHex(heater.seen.front().request), "AA 09 00 00 77 03 00 00 00 2D");
  EXPECT_EQ(FrameToHex(heater.seen.back().request), "AA 09 00 00 77 FD 00 00 00 27");
}

TEST_F(BlackBoxReadoutTest, ProgressPanelIsShownWhileTheChunksAreRead) {
  window.pbReadBB->setValue(50);
  ReadBlackBox(heater, window);
  ASSERT_EQ(heater.seen.size(), 87u);
  EXPECT_FALSE(heater.seen[0].windowVisible);
  EXPECT_FALSE(heater.seen[0].panelVisible);
  for (size_t i = 1; i < heater.seen.size(); ++i) {
    EXPECT_TRUE(heater.seen[i].windowVisible) << i;
    EXPECT_TRUE(heater.seen[i].panelVisible) << i;
    // Chunk k is requested after chunk k-1 was stored; the tail after chunk 84.
    EXPECT_EQ(heater.seen[i].progress, i <= 1 ? 0 : static_cast<int>(i) - 2) << i;
  }
}

TEST_F(BlackBoxReadoutTest, FirmwareWithoutBlackBoxGetsANotice) {
  heater.memory[4] = 0x38;
  ReadBlackBox(heater, window);
  EXPECT_THAT(heater.console, ElementsAre("", "В этой версии программного обеспечения Ортана 5",
                                          "не реализован \"черный ящик\".", ""));
  EXPECT_EQ(heater.seen.size(), 1u);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(BlackBoxImage, old);
}

TEST_F(BlackBoxReadoutTest, EitherSignatureByteDecides) {
  heater.memory[3] = 0x54;
  ReadBlackBox(heater, window);
  EXPECT_EQ(heater.console.size(), 4u);
  EXPECT_FALSE(window.isVisible());
}

TEST_F(BlackBoxReadoutTest, NoReplyToTheProbeChangesNothing) {
  heater.silentFrom = 0;
  ReadBlackBox(heater, window);
  EXPECT_THAT(heater.console, ElementsAre(kNoReply));
  EXPECT_EQ(heater.seen.size(), 1u);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(BlackBoxImage, old);
  EXPECT_EQ(window.l1->text(), "Версия:");
}

TEST_F(BlackBoxReadoutTest, SilenceAtChunk40KeepsWhatWasReadAndHidesTheWindow) {
  heater.silentFrom = 1 + 40;  // the probe, then chunks 0..39 answered
  ReadBlackBox(heater, window);
  EXPECT_THAT(heater.console, ElementsAre(kNoReply));
  EXPECT_FALSE(window.isVisible());
  for (size_t a = 0; a < 120; ++a) EXPECT_EQ(BlackBoxImage[a], heater.memory[a]) << a;
  for (size_t a = 120; a < 256; ++a) EXPECT_EQ(BlackBoxImage[a], old[a]) << a;
  EXPECT_EQ(window.l1->text(), "Версия:");
  EXPECT_EQ(window.sgBB->item(1, 1)->text(), "");
}

// A reply that carries another address than the one asked for answers some
// other request: the readout fails as at a silence, and no report is made.
TEST_F(BlackBoxReadoutTest, AReplyForAnotherAddressIsAFailedReadout) {
  for (const int request : {0, 1 + 40}) {
    heater.seen.clear();
    heater.console.clear();
    heater.misaddressed = request;
    ReadBlackBox(heater, window);
    EXPECT_THAT(heater.console, ElementsAre(kNoReply));
    EXPECT_EQ(heater.seen.size(), static_cast<size_t>(request + 1));
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.l1->text(), "Версия:");
    for (size_t a = 120; a < 256; ++a) EXPECT_EQ(BlackBoxImage[a], old[a]) << a;
  }
}

TEST_F(BlackBoxReadoutTest, SilenceAtTheTailLeavesTheLastByteOld) {
  heater.silentFrom = 1 + 85;
  ReadBlackBox(heater, window);
  EXPECT_FALSE(window.isVisible());
  for (size_t a = 0; a < 255; ++a) EXPECT_EQ(BlackBoxImage[a], heater.memory[a]) << a;
  EXPECT_EQ(BlackBoxImage[255], old[255]);
  EXPECT_EQ(window.l1->text(), "Версия:");
}

TEST_F(BlackBoxReadoutTest, FailedReadoutLeavesThePreviousReport) {
  ReadBlackBox(heater, window);
  const QString report = window.l13->text();
  const QString cell = window.sgBB->item(6, 4)->text();
  heater.memory.fill(0x55);
  heater.memory[4] = 0x37;
  heater.silentFrom = static_cast<int>(heater.seen.size()) + 1 + 10;
  ReadBlackBox(heater, window);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.l13->text(), report);
  EXPECT_EQ(window.sgBB->item(6, 4)->text(), cell);
}

TEST_F(BlackBoxReadoutTest, SecondReadoutReplacesImageAndReport) {
  ReadBlackBox(heater, window);
  heater.memory.fill(0);
  heater.memory[3] = 0x55;
  heater.memory[4] = 0x37;
  heater.memory[35] = 42;
  ReadBlackBox(heater, window);
  EXPECT_EQ(BlackBoxImage, heater.memory);
  EXPECT_EQ(window.l14->text(), "Конфигурационный байт: 42.");
  EXPECT_EQ(window.l13->text(), "Серийный номер: 0.");
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(window.pRead->isVisible());
}

TEST_F(BlackBoxReadoutTest, WriteErrorEndsTheReadoutBeforeAnythingHappens) {
  heater.portClosed = true;
  EXPECT_THROW(ReadBlackBox(heater, window), std::runtime_error);
  EXPECT_THAT(heater.console, IsEmpty());
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(BlackBoxImage, old);
}

}  // namespace
}  // namespace o5
