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
  if (!newRecords.empty()) {
    std::string line = Translate("BlackBoxChanges", kNewRecordsCaption.data()) + ": ";
    for (size_t i = 0; i < newRecords.size(); ++i) line += (i ? ", " : "") + std::to_string(newRecords[i]);
    lines.push_back(line);
  }
  return lines;
}

BlackBoxChanges CompareBlackBoxes(const BlackBoxBytes& earlier, const BlackBoxBytes& current,
                                  std::string_view earlierTime, std::string_view decimalSeparator) {
  BlackBoxChanges changes;
  changes.heading = Translate("BlackBoxChanges", "Изменения с чтения ") + std::string(earlierTime);

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
      change.difference = Signed(grew[static_cast<size_t>(label)]) +
                          (now.seconds ? Translate("BlackBoxChanges", " сек.") : "");
    }
    change.tip = Translate("BlackBoxChanges", "Было: ") + change.earlier + ".";
    std::string prefix(HeaderPrefix(label));
    change.pageLine = prefix + Translate("BlackBoxChanges", "было ") + change.earlier;
    if (!change.difference.empty()) {
      change.tip += Translate("BlackBoxChanges", " Изменение: ") + change.difference;
      if (change.tip.back() != '.') change.tip += '.';
      change.pageLine += Translate("BlackBoxChanges", ", изменение ") + change.difference;
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
    if (difference != 0) items.push_back(what + Signed(difference));
  };
  const int64_t runTime = grew[BlackBoxReport::kTotalRunTimeLabel];
  // A change of a few minutes rounds to no hours: the label's tooltip has it
  // to the second.
  if (TenthsOfHour(runTime) != 0)
    items.push_back(Translate("BlackBoxChanges", "время работы ") + std::string(runTime > 0 ? "+" : "") +
                    HoursText(runTime, decimalSeparator) + " " + Translate("BlackBoxReport", kHoursUnit.data()));
  item(Translate("BlackBoxChanges", "запусков "),
       grew[BlackBoxReport::kFirstAttemptStartsLabel] + grew[BlackBoxReport::kLaterAttemptStartsLabel]);
  item(Translate("BlackBoxChanges", "незапусков "), grew[BlackBoxReport::kFailedStartsLabel]);
  item(Translate("BlackBoxChanges", "неисправностей "), grew[BlackBoxReport::kFaultCountLabel]);
  if (!changes.newRecords.empty())
    items.push_back(Translate("BlackBoxChanges", "новых записей неисправностей: ") +
                    std::to_string(changes.newRecords.size()));
  if (items.empty()) {
    changes.summary = Translate("BlackBoxChanges", "нет.");
  } else {
    for (size_t i = 0; i < items.size(); ++i) changes.summary += (i ? ", " : "") + items[i];
    changes.summary += ".";
  }
  return changes;
}

}  // namespace o5
