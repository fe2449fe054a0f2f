#pragma once
// What leaves the tool of a black-box report: the page of the PDF and the
// printout (its texts, in the order the window shows them), the CSV text for a
// spreadsheet, and the check of a saved image before it is shown again.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "heater/BlackBoxImage.h"
#include "heater/BlackBoxReport.h"

namespace o5 {

// The header labels (indexes of BlackBoxReport::labels) as the window shows
// them: the left column top to bottom, then the right one.
inline constexpr std::array<int, 11> kBlackBoxLeftLabels = {1, 2, 3, 11, 4, 5, 6, 7, 8, 9, 10};
inline constexpr std::array<int, 4> kBlackBoxRightLabels = {0, 12, 13, 14};

// Bytes 32..34.
uint32_t BlackBoxSerialNumber(const BlackBoxBytes& image);

// Why `content` is not a saved black-box image (its size is not 256 bytes, or
// it lacks the signature 0x55 0x37 at addresses 3 and 4); empty when it is one.
std::string BlackBoxImageProblem(std::string_view content);

// Below the grid, the page and the CSV explain the records' fault codes and
// modes under this heading.
inline constexpr std::string_view kExplanationHeading = "Расшифровка";

// One printed page of a report.
struct BlackBoxPage {
  static constexpr const char* kTitle = "Черный ящик Ортан 5";
  std::string title = kTitle;
  std::string source;  // when and from where the report came
  std::vector<std::string> leftLabels;
  std::vector<std::string> rightLabels;
  std::array<std::array<std::string, BlackBoxReport::kColumns>, BlackBoxReport::kRows> cells;
  // Under kExplanationHeading: "Код неисправности 13: Попытки запуска
  // исчерпаны", then "Режим работы 21: Прогрев", each code and mode once.
  std::vector<std::string> explanation;
  // Under changesHeading ("Изменения с чтения 07.12.2026 15:20"), when the
  // report was compared with an earlier readout: what grew, each changed
  // label with its earlier value, the new fault records, whose columns the
  // table marks.
  std::string changesHeading;
  std::vector<std::string> changes;
  std::vector<int> newRecords;
  // Filled in by hand at the workshop: a caption and a line to write on.
  static constexpr std::array<const char*, 3> kWorkshopFields = {"Мастерская", "Заказчик / автомобиль",
                                                                 "Подпись"};
  std::string footer;  // the tool's name and version
};

BlackBoxPage MakeBlackBoxPage(const BlackBoxReport& report, std::string source);

// The report of `image` in the conventions of CsvText, its voltages with the
// decimal comma whatever the window shows: the header labels one a line in the
// window's order, then the grid: the row of record numbers (its first cell
// empty), then each row title with its 13 cells; then kExplanationHeading and
// a row for each fault code and mode of the records: the grid's row title, the
// number, what it means.
std::string BlackBoxCsv(const BlackBoxBytes& image);

}  // namespace o5
