#include "heater/BlackBoxExport.h"

#include "heater/CsvText.h"

namespace o5 {

namespace {
constexpr int kSerialNumberAddress = 32;
// The grid's rows that hold the fault code and the mode: their titles name
// what the explanation explains.
constexpr int kFaultCodeRow = 2;
constexpr int kModeRow = 4;

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
  if (content.size() != kBlackBoxSize)
    return "в файле " + std::to_string(content.size()) + " байт, а образ черного ящика занимает " +
           std::to_string(kBlackBoxSize) + " байт";
  if (static_cast<uint8_t>(content[kBlackBoxSignatureAddress]) != kBlackBoxSignature1 ||
      static_cast<uint8_t>(content[kBlackBoxSignatureAddress + 1]) != kBlackBoxSignature2)
    return "это не образ черного ящика: по адресам 3 и 4 нет подписи 55 37";
  return {};
}

BlackBoxPage MakeBlackBoxPage(const BlackBoxReport& report, std::string source) {
  BlackBoxPage page;
  page.source = std::move(source);
  for (int i : kBlackBoxLeftLabels) page.leftLabels.push_back(report.labels[static_cast<size_t>(i)]);
  for (int i : kBlackBoxRightLabels) page.rightLabels.push_back(report.labels[static_cast<size_t>(i)]);
  page.cells = report.cells;
  ForEachMeaning(report, [&](const std::string& title, const BlackBoxReport::Meaning& m) {
    page.explanation.push_back(title + " " + std::to_string(m.number) + ": " + m.text);
  });
  return page;
}

std::string BlackBoxCsv(const BlackBoxBytes& image) {
  const BlackBoxReport report = MakeBlackBoxReport(image, kCsvDecimalSeparator);
  std::string csv(kCsvByteOrderMark);
  auto line = [&](const std::string& text) {
    csv += CsvField(text);
    csv += kCsvLineEnd;
  };
  for (int i : kBlackBoxLeftLabels) line(report.labels[static_cast<size_t>(i)]);
  for (int i : kBlackBoxRightLabels) line(report.labels[static_cast<size_t>(i)]);
  for (const auto& row : report.cells) {
    for (size_t column = 0; column < row.size(); ++column) {
      if (column > 0) csv += ';';
      csv += CsvField(row[column]);
    }
    csv += kCsvLineEnd;
  }
  line(std::string(kExplanationHeading));
  ForEachMeaning(report, [&](const std::string& title, const BlackBoxReport::Meaning& m) {
    csv += CsvField(title) + ';' + std::to_string(m.number) + ';' + CsvField(m.text);
    csv += kCsvLineEnd;
  });
  return csv;
}

}  // namespace o5
