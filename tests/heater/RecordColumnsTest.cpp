// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/RecordColumns.h"

#include <gtest/gtest.h>

#include <string>

namespace o5 {
namespace {

// The header's columns, trimmed, are the names of the table, in its order.
TEST(RecordColumns, NameTheHeadersColumnsInOrder) {
  std::string header(kRecordLogHeader);
  size_t column = 0, at = 0;
  while (at <= header.size()) {
    size_t end = header.find(';', at);
    if (end == std::string::npos) end = header.size();
    std::string name = header.substr(at, end - at);
    name.erase(0, name.find_first_not_of(' '));
    ASSERT_LT(column, kRecordColumns.size());
    EXPECT_EQ(name, kRecordColumns[column].name);
    EXPECT_FALSE(kRecordColumns[column].meaning.empty()) << name;
    ++column;
    at = end + 1;
  }
  EXPECT_EQ(column, kRecordColumns.size());
}

TEST(RecordColumns, ACharacterBelongsToTheColumnItsSemicolonEnds) {
  EXPECT_EQ(RecordColumnAt(0), 0);                 // "W"
  EXPECT_EQ(RecordColumnAt(5), 0);                 // the first ";"
  EXPECT_EQ(RecordColumnAt(6), 1);                 // the blank after it
  EXPECT_EQ(RecordColumnAt(67), 9);                // "U"
  EXPECT_EQ(RecordColumnAt(112), 16);              // the last "П"
  EXPECT_EQ(RecordColumnAt(113), -1);
  EXPECT_EQ(RecordColumnAt(-1), -1);
  EXPECT_EQ(kRecordColumns[9].meaning, "Напряжение питания в десятых долях вольта: 126 — это 12,6 В");
}

}  // namespace
}  // namespace o5
