#include "heater/BlackBoxExport.h"

#include "heater/CsvText.h"

namespace o5 {

namespace {
constexpr int kSerialNumberAddress = 32;
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
  return page;
}

std::string BlackBoxCsv(const BlackBoxReport& report) {
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
  return csv;
}

}  // namespace o5
