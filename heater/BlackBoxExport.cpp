// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/BlackBoxExport.h"

#include "heater/TextTranslation.h"

#include "heater/BlackBoxChanges.h"
#include "heater/CsvText.h"

namespace o5 {

namespace {
constexpr int kSerialNumberAddress = 32;
// The grid's rows that hold the fault code and the mode: their titles name
// what the explanation explains.
constexpr int kFaultCodeRow = 2;
constexpr int kModeRow = 4;
// Units of the CSV's numbers.
// A text of this file in the tool's language.
std::string T(std::string_view source) { return Translate("BlackBoxExport", source.data()); }

constexpr std::string_view kSecondsUnit = O5_TEXT("BlackBoxExport", "с");
// The page's columns of header labels (indexes of BlackBoxReport::labels).
constexpr std::array<int, 7> kPageLeftLabels = {1, 2, 3, 11, 4, 5, 6};
constexpr std::array<int, 8> kPageRightLabels = {7, 8, 9, 10, 0, 12, 13, 14};
// "08.12.2026 15:20:03": the line of the window leaves out the seconds.
constexpr size_t kMinuteLength = 16;

// Each fault code, then each mode, with the title of its grid row.
template <class Each>
void ForEachMeaning(const BlackBoxReport& report, Each each) {
  for (const auto& m : report.faultCodes) each(report.cells[kFaultCodeRow][0], m);
  for (const auto& m : report.modes) each(report.cells[kModeRow][0], m);
}
}  // namespace

uint32_t BlackBoxSerialNumber(const BlackBoxBytes& image) {
  return image[kSerialNumberAddress] | image[kSerialNumberAddress + 1] << 8 |
         static_cast<uint32_t>(image[kSerialNumberAddress + 2]) << 16;
}

std::string BlackBoxImageProblem(std::string_view content) {
  static_assert(kBlackBoxSize == 256, "the text below names the image's size");
  if (content.size() != kBlackBoxSize) {
    const int size = static_cast<int>(content.size());
    return Translate("BlackBoxExport", "в файле %n байт, а образ черного ящика занимает 256 байт", nullptr,
                     size);
  }
  if (static_cast<uint8_t>(content[kBlackBoxSignatureAddress]) != kBlackBoxSignature1 ||
      static_cast<uint8_t>(content[kBlackBoxSignatureAddress + 1]) != kBlackBoxSignature2)
    return Translate("BlackBoxExport", "это не образ черного ящика: по адресам 3 и 4 нет подписи 55 37");
  return {};
}

std::string BlackBoxSource::Caption() const {
  switch (kind) {
    case Kind::kHeater:
      return Translate("BlackBoxExport", "Прочитан из отопителя");
    case Kind::kArchive:
      return Translate("BlackBoxExport", "Из архива: прочитан");
    case Kind::kFile:
      //: The readout came from the file %1; the time of its last change stands in a cell of its own.
      return WithArgument(Translate("BlackBoxExport", "Файл %1, изменён"), fileName);
  }
  return {};
}

std::string BlackBoxSource::Sentence(std::string_view when) const {
  switch (kind) {
    case Kind::kHeater:
      //: %1 is when the black box was read from the heater.
      return WithArgument(Translate("BlackBoxExport", "Прочитан из отопителя %1"), when);
    case Kind::kArchive:
      //: %1 is when the black box kept in the archive was read.
      return WithArgument(Translate("BlackBoxExport", "Из архива: прочитан %1"), when);
    case Kind::kFile:
      //: The readout came from the file %1, last changed at %2.
      return WithArgument(Translate("BlackBoxExport", "Файл %1, изменён %2"), {fileName, when});
  }
  return {};
}

std::string BlackBoxSource::Line() const { return Sentence(std::string_view(time).substr(0, kMinuteLength)); }

BlackBoxPage MakeBlackBoxPage(const BlackBoxReport& report, std::string source) {
  BlackBoxPage page;
  page.source = std::move(source);
  auto label = [&](int i) {
    const auto at = static_cast<size_t>(i);
    return report.labels[at] + (report.hours[at].empty() ? "" : ", " + report.hours[at]);
  };
  for (int i : kPageLeftLabels) page.leftLabels.push_back(label(i));
  for (int i : kPageRightLabels) page.rightLabels.push_back(label(i));
  page.cells = report.cells;
  ForEachMeaning(report, [&](const std::string& title, const BlackBoxReport::Meaning& m) {
    page.explanation.push_back(title + " " + std::to_string(m.number) + ": " + m.text);
  });
  return page;
}

std::string BlackBoxCsv(const BlackBoxBytes& image, const BlackBoxSource& source, std::string_view tool,
                        const std::optional<BlackBoxEarlier>& earlier) {
  const BlackBoxReport report = MakeBlackBoxReport(image, kCsvDecimalSeparator);
  std::string csv(kCsvByteOrderMark);
  auto row = [&](const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) csv += ';';
      csv += CsvField(fields[i]);
    }
    csv += kCsvLineEnd;
  };
  const std::string seconds(T(kSecondsUnit)), hours(Translate("BlackBoxReport", kHoursUnit.data()));

  row({source.Caption(), source.time});
  row({Translate("BlackBoxExport", "Программа"), std::string(tool)});
  auto header = [&](int label) {
    const BlackBoxHeaderValue value = HeaderValue(image, label);
    std::vector<std::string> fields{HeaderCaption(label)};
    for (int64_t n : value.numbers) fields.push_back(std::to_string(n));
    if (value.seconds) fields.insert(fields.end(), {seconds, HoursText(*value.number, kCsvDecimalSeparator), hours});
    row(fields);
  };
  for (int i : kBlackBoxLeftLabels) header(i);
  for (int i : kBlackBoxRightLabels) header(i);

  for (const auto& cells : report.cells) row(std::vector<std::string>(cells.begin(), cells.end()));
  row({Translate("BlackBoxExport", kExplanationHeading.data())});
  ForEachMeaning(report, [&](const std::string& title, const BlackBoxReport::Meaning& m) {
    row({title, std::to_string(m.number), m.text});
  });

  if (!earlier) return csv;
  const BlackBoxChanges changes = CompareBlackBoxes(earlier->image, image, earlier->time, kCsvDecimalSeparator);
  row({changes.heading});
  row({Translate("BlackBoxExport", "Итог"), changes.summary});
  for (const BlackBoxLabelChange& change : changes.labels) {
    const BlackBoxHeaderValue before = HeaderValue(earlier->image, change.label);
    std::vector<std::string> fields{HeaderCaption(change.label), Translate("BlackBoxExport", "было")};
    for (int64_t n : before.numbers) fields.push_back(std::to_string(n));
    if (before.number) {
      fields.push_back(Translate("BlackBoxExport", "изменение"));
      fields.push_back(std::to_string(*HeaderValue(image, change.label).number - *before.number));
      if (before.seconds) fields.push_back(seconds);
    }
    row(fields);
  }
  if (!changes.newRecords.empty()) {
    std::vector<std::string> fields{Translate("BlackBoxChanges", kNewRecordsCaption.data())};
    for (int record : changes.newRecords) fields.push_back(std::to_string(record));
    row(fields);
  }
  return csv;
}

}  // namespace o5
