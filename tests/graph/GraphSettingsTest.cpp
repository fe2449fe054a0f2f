// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "ui/graph/ColorValue.h"
#include "ui/graph/GraphSettings.h"

namespace o5 {
namespace {

class GraphSettingsTest : public ::testing::Test {
 protected:
  std::string Path() const { return dir_.filePath("config.ini").toStdString(); }
  void Write(const char* text) {
    QFile f(dir_.filePath("config.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
  }
  QTemporaryDir dir_;
};

TEST_F(GraphSettingsTest, MissingFileGivesTheDefaults) {
  const GraphSettings s = GraphSettings::Read(SettingsFile(Path()));
  EXPECT_EQ(s.top, 0);
  EXPECT_EQ(s.left, 0);
  EXPECT_EQ(s.width, 640);
  EXPECT_EQ(s.height, 480);
  EXPECT_EQ(s.xStep, 50);
  EXPECT_EQ(s.yStep, 50);
  EXPECT_EQ(s.yMax, 700);
  EXPECT_EQ(s.yMin, 0);
  EXPECT_EQ(s.xMax, 200);
  EXPECT_EQ(s.xMin, 0);
  EXPECT_TRUE(s.modesShown);
  for (int i = 0; i < GraphSettings::kRows; ++i) {
    EXPECT_EQ(s.widths[i], 1);
    EXPECT_TRUE(s.shown[i]);
    EXPECT_EQ(s.colors[i], 32768);
  }
}

TEST_F(GraphSettingsTest, ReadsEachKeyOfItsRow) {
  Write("[Options]\nW13=4\nC1=0\nC5=7\nC6=abc\nS2=0xFF\nS13=-1\nXStep=1000\nFormGraphLeft=-20\n");
  const GraphSettings s = GraphSettings::Read(SettingsFile(Path()));
  EXPECT_EQ(s.widths[12], 4);
  EXPECT_EQ(s.widths[11], 1);
  EXPECT_FALSE(s.shown[0]);
  EXPECT_TRUE(s.shown[4]);
  EXPECT_TRUE(s.shown[5]);  // not a number: the default
  EXPECT_EQ(s.colors[1], 255);
  EXPECT_EQ(s.colors[12], -1);
  EXPECT_EQ(s.xStep, 1000);  // clamping is the box's business
  EXPECT_EQ(s.left, -20);
}

TEST_F(GraphSettingsTest, WritesTheKeysInTheirOrder) {
  GraphSettings s;
  s.top = 11;
  s.left = 22;
  s.shown[2] = false;
  s.colors[0] = 255;
  SettingsFile file(Path());
  s.Write(file);
  QFile f(dir_.filePath("config.ini"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  QStringList keys;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.contains('=')) keys << QString::fromUtf8(line.left(line.indexOf('=')));
  QStringList expected{"FormGraphTop", "FormGraphLeft", "FormGraphWidth", "FormGraphHeight", "YMax", "YMin",
                       "YStep",        "XMax",          "XMin",           "XStep"};
  for (const char* prefix : {"W", "C", "S"})
    for (int n = 1; n <= 13; ++n) expected << QString("%1%2").arg(prefix).arg(n);
  expected << "ShowModes" << "Follow";
  EXPECT_EQ(keys, expected);
  const GraphSettings back = GraphSettings::Read(SettingsFile(Path()));
  EXPECT_EQ(back.top, 11);
  EXPECT_EQ(back.left, 22);
  EXPECT_FALSE(back.shown[2]);
  EXPECT_EQ(back.colors[0], 255);
}

TEST(ColorValue, RedIsTheLowestByte) {
  EXPECT_EQ(ColorFromValue(255), QColor(255, 0, 0));
  EXPECT_EQ(ColorFromValue(32768), QColor(0, 128, 0));
  EXPECT_EQ(ColorFromValue(0xFF0000), QColor(0, 0, 255));
  EXPECT_EQ(ColorFromValue(-1), QColor(255, 255, 255));  // the top byte is no colour
  EXPECT_EQ(ValueFromColor(QColor(1, 2, 3)), 0x030201);
}

}  // namespace
}  // namespace o5
