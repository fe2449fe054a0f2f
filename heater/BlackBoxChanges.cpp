// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/BlackBoxChanges.h"

#include "heater/TextTranslation.h"

#include <array>
#include <cstdint>

#include "chart/NumberText.h"
#include "heater/BlackBoxReport.h"

namespace o5 {

namespace {

constexpr int kRepeatCountOffset = 0;  // of a fault record

std::string Signed(int64_t value) { return (value > 0 ? "+" : "") + std::to_string(value); }

bool RecordIsNew(const BlackBoxBytes& earlier, const BlackBoxBytes& current, int record) {
  const int base = kBlackBoxFirstRecord + kBlackBoxRecordSize * record;
  for (int offset = 0; offset < kBlackBoxRecordSize; ++offset) {
    const auto a = static_cast<size_t>(base + offset);
    if (offset != kRepeatCountOffset && earlier[a] != current[a]) return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> BlackBoxChanges::PageLines() const {
  std::vector<std::string> lines{summary};
  for (const BlackBoxLabelChange& change : labels) lines.push_back(change.pageLine);
  if (!newRecords.empty()) lines.push_back(NewRecordsLine());
  return lines;
}

std::string BlackBoxChanges::NewRecordsLine() const {
  std::string numbers;
  for (size_t i = 0; i < newRecords.size(); ++i) numbers += (i ? ", " : "") + std::to_string(newRecords[i]);
  //: %1 lists the numbers of the new fault records, as "2, 3".
  return WithArgument(Translate("BlackBoxChanges", "Новые записи неисправностей (номера столбцов): %1"), numbers);
}

BlackBoxChanges CompareBlackBoxes(const BlackBoxBytes& earlier, const BlackBoxBytes& current,
                                  std::string_view earlierTime, std::string_view decimalSeparator) {
  BlackBoxChanges changes;
  //: %1 is when the earlier readout was made.
  changes.heading = WithArgument(Translate("BlackBoxChanges", "Изменения с чтения %1"), earlierTime);

  std::array<int64_t, BlackBoxReport::kLabelCount> grew{};
  for (int label = 0; label < BlackBoxReport::kLabelCount; ++label) {
    const BlackBoxHeaderValue before = HeaderValue(earlier, label);
    const BlackBoxHeaderValue now = HeaderValue(current, label);
    if (before.text == now.text) continue;
    BlackBoxLabelChange change;
    change.label = label;
    change.earlier = before.text;
    if (before.number && now.number) {
      grew[static_cast<size_t>(label)] = *now.number - *before.number;
      const std::string grown = Signed(grew[static_cast<size_t>(label)]);
      change.difference = now.seconds ? WithArgument(Translate("BlackBoxChanges", "%1 сек."), grown) : grown;
    }
    // The page's line begins with the counter's caption as the window shows
    // it, its colon included.
    const std::string prefix = HeaderPrefix(label);
    if (change.difference.empty()) {
      //: The value the counter had at the earlier readout, %1.
      change.tip = WithArgument(Translate("BlackBoxChanges", "Было: %1."), change.earlier);
      //: A counter's caption with its colon, %1, and the value it had at the earlier readout, %2.
      change.pageLine = WithArgument(Translate("BlackBoxChanges", "%1было %2"), {prefix, change.earlier});
    } else {
      //: The value the counter had at the earlier readout, %1, and how much it changed since, %2.
      change.tip =
          WithArgument(Translate("BlackBoxChanges", "Было: %1. Изменение: %2"), {change.earlier, change.difference});
      if (change.tip.back() != '.') change.tip += '.';
      //: A counter's caption with its colon, %1, the value it had at the earlier readout, %2, and how much it
      //: changed since, %3.
      change.pageLine = WithArgument(Translate("BlackBoxChanges", "%1было %2, изменение %3"),
                                     {prefix, change.earlier, change.difference});
    }
    changes.labels.push_back(std::move(change));
  }

  const int currentRecord = current[static_cast<size_t>(kBlackBoxCurrentRecordAddress)];
  const bool recordMoved = currentRecord != earlier[static_cast<size_t>(kBlackBoxCurrentRecordAddress)];
  for (int record = 0; record < kBlackBoxRecordCount; ++record)
    if (RecordIsNew(earlier, current, record) || (recordMoved && record == currentRecord))
      changes.newRecords.push_back(record);

  std::vector<std::string> items;
  auto item = [&](const std::string& what, int64_t difference) {
    if (difference != 0) items.push_back(WithArgument(what, Signed(difference)));
  };
  const int64_t runTime = grew[BlackBoxReport::kTotalRunTimeLabel];
  // A change of a few minutes rounds to no hours: the label's tooltip has it
  // to the second.
  if (TenthsOfHour(runTime) != 0)
    //: An item of the list of changes: the run time grew by %1 hours.
    items.push_back(WithArgument(Translate("BlackBoxChanges", "время работы %1 ч"),
                                 std::string(runTime > 0 ? "+" : "") + HoursText(runTime, decimalSeparator)));
  //: An item of the list of changes: the starts grew by %1.
  item(Translate("BlackBoxChanges", "запусков %1"),
       grew[BlackBoxReport::kFirstAttemptStartsLabel] + grew[BlackBoxReport::kLaterAttemptStartsLabel]);
  //: An item of the list of changes: the failed starts grew by %1.
  item(Translate("BlackBoxChanges", "незапусков %1"), grew[BlackBoxReport::kFailedStartsLabel]);
  //: An item of the list of changes: the faults grew by %1.
  item(Translate("BlackBoxChanges", "неисправностей %1"), grew[BlackBoxReport::kFaultCountLabel]);
  if (!changes.newRecords.empty())
    //: An item of the list of changes: %1 new fault records.
    items.push_back(WithArgument(Translate("BlackBoxChanges", "новых записей неисправностей: %1"),
                                 std::to_string(changes.newRecords.size())));
  if (items.empty()) {
    changes.summary = Translate("BlackBoxChanges", "нет.");
  } else {
    for (size_t i = 0; i < items.size(); ++i) changes.summary += (i ? ", " : "") + items[i];
    changes.summary += ".";
  }
  return changes;
}

}  // namespace o5
