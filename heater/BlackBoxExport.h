// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What leaves the tool of a black-box report: the page of the PDF and the
// printout (its texts, in the order the window shows them), the CSV text for a
// spreadsheet, and the check of a saved image before it is shown again.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "heater/BlackBoxImage.h"
#include "heater/BlackBoxReport.h"
#include "heater/TextTranslation.h"

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

// Where a shown report came from: a readout just made, a readout kept in the
// archive, or an image file.
struct BlackBoxSource {
  enum class Kind { kHeater, kArchive, kFile };
  Kind kind = Kind::kHeater;
  // "08.12.2026 15:20:03": the readout's time, or the file's last change.
  std::string time;
  std::string fileName;  // of kFile, without its folder

  // "Прочитан из отопителя", "Из архива: прочитан", "Файл BB_1.bin, изменён":
  // the CSV's caption, the time in a cell of its own.
  std::string Caption() const;
  // The window's line, to the minute: "Прочитан из отопителя 08.12.2026 15:20".
  std::string Line() const;
  // To the second, as the page has it.
  std::string Text() const { return Sentence(time); }

 private:
  // The caption and `when` as one sentence.
  std::string Sentence(std::string_view when) const;
};

// Below the grid, the page and the CSV explain the records' fault codes and
// modes under this heading.
inline constexpr std::string_view kExplanationHeading = O5_TEXT("BlackBoxExport", "Расшифровка");

// One printed page of a report.
struct BlackBoxPage {
  static constexpr const char* kTitle = O5_TEXT("BlackBoxExport", "Черный ящик Ортан 5");
  std::string title = Translate("BlackBoxExport", kTitle);
  std::string source;  // when and from where the report came
  // The header labels in two columns: the counts on the left; the run times
  // (with their hours), the flame-sensor values and the identity on the
  // right, so that neither column is much longer than the other.
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
  static constexpr std::array<const char*, 3> kWorkshopFields = {
      O5_TEXT("BlackBoxExport", "Мастерская"), O5_TEXT("BlackBoxExport", "Заказчик / автомобиль"),
      O5_TEXT("BlackBoxExport", "Подпись")};
  std::string footer;  // the tool's name and version
};

// The page of `report`; a run time's label also gives its hours.
BlackBoxPage MakeBlackBoxPage(const BlackBoxReport& report, std::string source);

// An earlier readout a report is compared with, and when it was read
// ("07.12.2026 15:20").
struct BlackBoxEarlier {
  BlackBoxBytes image;
  std::string time;
};

// The report of `image` as a table for a spreadsheet, in the conventions of
// CsvText whatever the window shows:
//   "Прочитан из отопителя;08.12.2026 15:20:03" (source's caption and time)
//   "Программа;<tool>"
//   one row per header label in the window's order: its caption, then its
//   number ("Серийный номер;658188"), a run time as seconds and hours
//   ("Общее время работы;1307772;с;363,3;ч"), the flame-sensor values as
//   three numbers;
//   the grid: the row of record numbers (its first cell empty), then each row
//   title with its 13 cells;
//   kExplanationHeading and a row for each fault code and mode of the records:
//   the grid's row title, the number, what it means;
//   with an earlier readout, its heading "Изменения с чтения <time>", a row
//   "Итог" with what grew, a row for each changed label ("Количество
//   незапусков;было;3;изменение;1", a run time in seconds with "с" after it,
//   the flame-sensor values the three earlier numbers) and the row of the new
//   records' numbers.
std::string BlackBoxCsv(const BlackBoxBytes& image, const BlackBoxSource& source, std::string_view tool,
                        const std::optional<BlackBoxEarlier>& earlier = std::nullopt);

}  // namespace o5
