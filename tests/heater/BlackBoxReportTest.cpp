// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/BlackBoxReport.h"
#include "heater/BlackBoxExport.h"
#include "heater/CsvText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace o5 {
namespace {

BlackBoxBytes Filled(uint8_t value) {
  BlackBoxBytes image;
  image.fill(value);
  return image;
}

void PutLE(BlackBoxBytes& image, int address, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) image[static_cast<size_t>(address + i)] = static_cast<uint8_t>(value >> (8 * i));
}

TEST(SecondsToText, SplitsIntoDaysHoursMinutesSeconds) {
  EXPECT_EQ(SecondsToText(0), "0 сек. (0-0:0:0)");
  EXPECT_EQ(SecondsToText(61), "61 сек. (0-0:1:1)");
  EXPECT_EQ(SecondsToText(3599), "3599 сек. (0-0:59:59)");
  EXPECT_EQ(SecondsToText(3600), "3600 сек. (0-1:0:0)");
  EXPECT_EQ(SecondsToText(86400), "86400 сек. (1-0:0:0)");
  EXPECT_EQ(SecondsToText(90061), "90061 сек. (1-1:1:1)");
}

TEST(SecondsToText, NegativeCountsTruncateTowardZero) {
  EXPECT_EQ(SecondsToText(-1), "-1 сек. (0-0:0:-1)");
  EXPECT_EQ(SecondsToText(-90061), "-90061 сек. (-1--1:-1:-1)");
  EXPECT_EQ(SecondsToText(INT32_MIN), "-2147483648 сек. (-24855--3:-14:-8)");
  EXPECT_EQ(SecondsToText(INT32_MAX), "2147483647 сек. (24855-3:14:7)");
}

TEST(VoltageText, OneDecimalWithTheGivenSeparator) {
  EXPECT_EQ(VoltageText(125, ","), "12,5");
  EXPECT_EQ(VoltageText(125, "."), "12.5");
  EXPECT_EQ(VoltageText(7, ","), "0,7");
  EXPECT_EQ(VoltageText(0, "."), "0.0");
  EXPECT_EQ(VoltageText(255, ","), "25,5");
  EXPECT_EQ(VoltageText(100, "٫"), "10٫0");
}

TEST(BlackBoxReport, ErasedMemoryShowsAllOnes) {
  const BlackBoxReport r = MakeBlackBoxReport(Filled(0xFF), ",");
  EXPECT_EQ(r.labels[0], "Значения датчика пламени при обучении: 255, 255, 255");
  EXPECT_EQ(r.labels[1], "Версия: 255.");
  EXPECT_EQ(r.labels[2], "Номер текущей записи: 255.");
  EXPECT_EQ(r.labels[3], "Количество прерываний работы (потери питания при работе): 255.");
  EXPECT_EQ(r.labels[4], "Количество запусков с первой попытки: 65535.");
  EXPECT_EQ(r.labels[5], "Количество запусков НЕ с первой попытки: 65535.");
  EXPECT_EQ(r.labels[6], "Количество незапусков: 255.");
  EXPECT_EQ(r.labels[7], "Общее время работы : -1 сек. (0-0:0:-1)");
  EXPECT_EQ(r.labels[8], "Время работы на малом режиме : -1 сек. (0-0:0:-1)");
  EXPECT_EQ(r.labels[9], "Время работы на сильном режиме : -1 сек. (0-0:0:-1)");
  EXPECT_EQ(r.labels[10], "Время работы на ждущем режиме : -1 сек. (0-0:0:-1)");
  EXPECT_EQ(r.labels[11], "Количество неисправностей (кроме 13 кода): 65535.");
  EXPECT_EQ(r.labels[12], "Код изделия: 255.");
  EXPECT_EQ(r.labels[13], "Серийный номер: 16777215.");
  EXPECT_EQ(r.labels[14], "Конфигурационный байт: 255.");
  for (int column = 1; column <= 13; ++column) {
    for (int row : {1, 2, 4, 10, 11, 12, 13, 14}) EXPECT_EQ(r.cells[row][column], "255");
    for (int row : {7, 8, 9}) EXPECT_EQ(r.cells[row][column], "-1");
    EXPECT_EQ(r.cells[3][column], "65535");
    EXPECT_EQ(r.cells[5][column], "25,5");
    EXPECT_EQ(r.cells[6][column], "65535");
  }
}

TEST(BlackBoxReport, ZeroedMemoryShowsZeros) {
  const BlackBoxReport r = MakeBlackBoxReport(Filled(0), ".");
  EXPECT_EQ(r.labels[0], "Значения датчика пламени при обучении: 0, 0, 0");
  EXPECT_EQ(r.labels[7], "Общее время работы : 0 сек. (0-0:0:0)");
  EXPECT_EQ(r.labels[13], "Серийный номер: 0.");
  for (int column = 1; column <= 13; ++column)
    for (int row = 1; row <= 14; ++row) EXPECT_EQ(r.cells[row][column], row == 5 ? "0.0" : "0");
}

TEST(BlackBoxReport, GridHasTitlesAndRecordNumbers) {
  const BlackBoxReport r = MakeBlackBoxReport(Filled(0), ",");
  EXPECT_EQ(r.cells[0][0], "");
  const char* titles[] = {
      "Количество повторов неисправности", "Код неисправности", "Время возникновения",
      "Режим работы", "Напряжение питания, В", "Температура датчика пламени", "Температура жидкости",
      "Температура перегрева", "Тжидкости через 10сек работы", "С какой попытки произведен розжиг",
      "Байт ошибки 1", "Байт ошибки 2", "Байт ошибки 3", "Байт ошибки 4"};
  for (int row = 1; row <= 14; ++row) EXPECT_EQ(r.cells[row][0], titles[row - 1]);
  for (int k = 0; k < 13; ++k) EXPECT_EQ(r.cells[0][k + 1], std::to_string(k));
}

TEST(BlackBoxReport, HeaderFieldsAreLittleEndian) {
  BlackBoxBytes image{};
  image[0] = 10, image[1] = 20, image[2] = 30;
  image[3] = 0x55, image[4] = 0x37;
  image[5] = 3;
  image[6] = 12;
  image[7] = 4;
  PutLE(image, 8, 0x1234, 2);
  PutLE(image, 10, 513, 2);
  image[12] = 9;
  PutLE(image, 13, 3599, 4);
  PutLE(image, 17, 86400, 4);
  PutLE(image, 21, 61, 4);
  PutLE(image, 25, 0x80000000u, 4);
  PutLE(image, 29, 0xABCD, 2);
  image[31] = 77;
  PutLE(image, 32, 0x123456, 3);
  image[35] = 0x81;
  image[36] = 0xEE;  // not shown; must not leak into the serial number
  const BlackBoxReport r = MakeBlackBoxReport(image, ",");
  EXPECT_EQ(r.labels[0], "Значения датчика пламени при обучении: 10, 20, 30");
  EXPECT_EQ(r.labels[1], "Версия: 3.");
  EXPECT_EQ(r.labels[2], "Номер текущей записи: 12.");
  EXPECT_EQ(r.labels[3], "Количество прерываний работы (потери питания при работе): 4.");
  EXPECT_EQ(r.labels[4], "Количество запусков с первой попытки: 4660.");
  EXPECT_EQ(r.labels[5], "Количество запусков НЕ с первой попытки: 513.");
  EXPECT_EQ(r.labels[6], "Количество незапусков: 9.");
  EXPECT_EQ(r.labels[7], "Общее время работы : 3599 сек. (0-0:59:59)");
  EXPECT_EQ(r.labels[8], "Время работы на малом режиме : 86400 сек. (1-0:0:0)");
  EXPECT_EQ(r.labels[9], "Время работы на сильном режиме : 61 сек. (0-0:1:1)");
  EXPECT_EQ(r.labels[10], "Время работы на ждущем режиме : -2147483648 сек. (-24855--3:-14:-8)");
  EXPECT_EQ(r.labels[11], "Количество неисправностей (кроме 13 кода): 43981.");
  EXPECT_EQ(r.labels[12], "Код изделия: 77.");
  EXPECT_EQ(r.labels[13], "Серийный номер: 1193046.");
  EXPECT_EQ(r.labels[14], "Конфигурационный байт: 129.");
}

TEST(BlackBoxReport, RecordsInStorageOrderWithTheLastEndingAtAddress255) {
  BlackBoxBytes image{};
  for (int k = 0; k < 13; ++k) {
    const int base = 48 + 16 * k;
    image[base + 0] = static_cast<uint8_t>(k + 1);  // repeats
    image[base + 1] = static_cast<uint8_t>(k + 20);  // fault code
    PutLE(image, base + 2, 1000u + static_cast<uint32_t>(k), 2);
    image[base + 4] = 21;
    image[base + 5] = static_cast<uint8_t>(120 + k);
    PutLE(image, base + 6, 0x0300u + static_cast<uint32_t>(k), 2);
    for (int offset = 8; offset < 16; ++offset) image[base + offset] = static_cast<uint8_t>(offset * 10 + k);
  }
  image[6] = 5;  // the current record does not reorder the columns
  const BlackBoxReport r = MakeBlackBoxReport(image, ",");
  for (int k = 0; k < 13; ++k) {
    const auto& c = [&](int row) { return r.cells[row][k + 1]; };
    EXPECT_EQ(c(1), std::to_string(k + 1));
    EXPECT_EQ(c(2), std::to_string(k + 20));
    EXPECT_EQ(c(3), std::to_string(1000 + k));
    EXPECT_EQ(c(4), "21");
    EXPECT_EQ(c(5), std::to_string((120 + k) / 10) + "," + std::to_string((120 + k) % 10));
    EXPECT_EQ(c(6), std::to_string(0x300 + k));
    for (int offset = 8; offset < 16; ++offset) EXPECT_EQ(c(offset - 1), std::to_string(offset * 10 + k));
  }
  // Record 12 occupies 240..255; its fourth fault byte is the image's last byte.
  image[255] = 201;
  EXPECT_EQ(MakeBlackBoxReport(image, ",").cells[14][13], "201");
}

// A winter start: the liquid, overheat and liquid-after-10-s temperatures
// read below zero; the flame temperature, a 16-bit field, stays as stored.
TEST(BlackBoxReport, OneByteTemperaturesAreSigned) {
  BlackBoxBytes image{};
  const int record = 48 + 16 * 2;
  image[record + 8] = 236;
  image[record + 9] = 0x80;
  image[record + 10] = 127;
  PutLE(image, record + 6, 0xFFF0, 2);
  const BlackBoxReport r = MakeBlackBoxReport(image, ",");
  EXPECT_EQ(r.cells[7][3], "-20");
  EXPECT_EQ(r.cells[8][3], "-128");
  EXPECT_EQ(r.cells[9][3], "127");
  EXPECT_EQ(r.cells[6][3], "65520");
}

// Lines of a CSV text after its byte-order mark, without their CR LF.
std::vector<std::string> CsvLines(const std::string& csv) {
  std::vector<std::string> lines;
  EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  for (size_t at = 3; at < csv.size();) {
    const size_t end = csv.find("\r\n", at);
    if (end == std::string::npos) {
      ADD_FAILURE() << "a line without CR LF: " << csv.substr(at);
      break;
    }
    lines.push_back(csv.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

const BlackBoxSource kRead{BlackBoxSource::Kind::kHeater, "08.12.2026 15:20:03", {}};

TEST(BlackBoxExport, CsvHasTheSourceTheToolAHeaderFieldARowItsNumbersThenTheGrid) {
  BlackBoxBytes image = Filled(0);
  PutLE(image, 32, 658188, 3);
  PutLE(image, 8, 460, 2);
  PutLE(image, 13, 1307772, 4);
  PutLE(image, 25, 1297080, 4);
  image[0] = 12, image[1] = 130, image[2] = 255;
  image[48 + 5] = 125;
  const std::vector<std::string> lines = CsvLines(BlackBoxCsv(image, kRead, "Ортан5 Диагностика 1.0.2"));
  ASSERT_EQ(lines.size(), 2u + 15u + 15u + 3u);
  EXPECT_EQ(lines[0], "Прочитан из отопителя;08.12.2026 15:20:03");
  EXPECT_EQ(lines[1], "Программа;Ортан5 Диагностика 1.0.2");
  const std::vector<std::string> header(lines.begin() + 2, lines.begin() + 17);
  EXPECT_EQ(header, (std::vector<std::string>{
                        "Версия;0",
                        "Номер текущей записи;0",
                        "Количество прерываний работы (потери питания при работе);0",
                        "Количество неисправностей (кроме 13 кода);0",
                        "Количество запусков с первой попытки;460",
                        "Количество запусков НЕ с первой попытки;0",
                        "Количество незапусков;0",
                        "Общее время работы;1307772;с;363,3;ч",
                        "Время работы на малом режиме;0;с;0,0;ч",
                        "Время работы на сильном режиме;0;с;0,0;ч",
                        "Время работы на ждущем режиме;1297080;с;360,3;ч",
                        "Значения датчика пламени при обучении;12;130;255",
                        "Код изделия;0",
                        "Серийный номер;658188",
                        "Конфигурационный байт;0",
                    }));
  EXPECT_EQ(lines[17], ";0;1;2;3;4;5;6;7;8;9;10;11;12");
  EXPECT_EQ(lines[22], "Напряжение питания, В;12,5;0,0;0,0;0,0;0,0;0,0;0,0;0,0;0,0;0,0;0,0;0,0;0,0");
  EXPECT_EQ(lines[31], "Байт ошибки 4;0;0;0;0;0;0;0;0;0;0;0;0;0");
  EXPECT_EQ(lines[32], "Расшифровка");
  EXPECT_EQ(lines[33], "Код неисправности;0;Нет неисправности");
  EXPECT_EQ(lines[34], "Режим работы;0;Не работает");
}

// An erased memory: the widest values, a run time of -1 s.
TEST(BlackBoxExport, CsvNumbersOfAnErasedMemory) {
  const BlackBoxSource file{BlackBoxSource::Kind::kFile, "01.12.2026 10:00:00", "BB_1;2.bin"};
  const std::vector<std::string> lines = CsvLines(BlackBoxCsv(Filled(0xFF), file, "tool"));
  ASSERT_GT(lines.size(), 17u);
  EXPECT_EQ(lines[0], "\"Файл BB_1;2.bin, изменён\";01.12.2026 10:00:00");
  EXPECT_EQ(lines[9], "Общее время работы;-1;с;0,0;ч");
  EXPECT_EQ(lines[15], "Серийный номер;16777215");
  EXPECT_EQ(lines[6], "Количество запусков с первой попытки;65535");
}

TEST(BlackBoxExport, SourcesSayWhereAReportCameFrom) {
  EXPECT_EQ(kRead.Line(), "Прочитан из отопителя 08.12.2026 15:20");
  EXPECT_EQ(kRead.Text(), "Прочитан из отопителя 08.12.2026 15:20:03");
  const BlackBoxSource archived{BlackBoxSource::Kind::kArchive, "07.12.2026 09:12:44", {}};
  EXPECT_EQ(archived.Line(), "Из архива: прочитан 07.12.2026 09:12");
  const BlackBoxSource file{BlackBoxSource::Kind::kFile, "01.12.2026 10:00:59", "BB_658188_x.bin"};
  EXPECT_EQ(file.Line(), "Файл BB_658188_x.bin, изменён 01.12.2026 10:00");
}

// Compared with an earlier readout, the CSV ends with what the PDF's section
// says, its values as numbers.
TEST(BlackBoxExport, CsvEndsWithTheChangesSinceTheEarlierReadout) {
  BlackBoxBytes earlier = Filled(0);
  PutLE(earlier, 8, 457, 2);
  PutLE(earlier, 13, 1298772, 4);
  earlier[0] = 10, earlier[1] = 11, earlier[2] = 12;
  earlier[6] = 3;
  BlackBoxBytes current = earlier;
  PutLE(current, 8, 460, 2);
  PutLE(current, 13, 1298772 + 9000, 4);
  current[1] = 14;
  current[6] = 4;
  current[48 + 16 * 4 + 1] = 13;  // record 4: code 13

  const std::string csv = BlackBoxCsv(current, kRead, "tool", BlackBoxEarlier{earlier, "07.12.2026 15:20"});
  const std::vector<std::string> lines = CsvLines(csv);
  const auto heading = std::find(lines.begin(), lines.end(), "Изменения с чтения 07.12.2026 15:20");
  ASSERT_NE(heading, lines.end()) << csv;
  EXPECT_EQ(std::vector<std::string>(heading + 1, lines.end()),
            (std::vector<std::string>{
                "Итог;время работы +2,5 ч, запусков +3, новых записей неисправностей: 1.",
                "Значения датчика пламени при обучении;было;10;11;12",
                "Номер текущей записи;было;3;изменение;1",
                "Количество запусков с первой попытки;было;457;изменение;3",
                "Общее время работы;было;1298772;изменение;9000;с",
                "Новые записи неисправностей (номера столбцов);4",
            }));
  // Without an earlier readout the CSV ends with the explanation.
  const std::string alone = BlackBoxCsv(current, kRead, "tool");
  EXPECT_EQ(csv.substr(0, alone.size()), alone);
}

TEST(BlackBoxReport, RunTimesAreAlsoGivenInHours) {
  BlackBoxBytes image = Filled(0);
  PutLE(image, 17, 1297080, 4);  // 360.3 h
  PutLE(image, 21, 179, 4);      // 0.05 h rounds down
  PutLE(image, 25, 180, 4);      // and up
  const BlackBoxReport r = MakeBlackBoxReport(image, ".");
  EXPECT_EQ(r.hours[7], "0.0 ч");
  EXPECT_EQ(r.hours[8], "360.3 ч");
  EXPECT_EQ(r.hours[9], "0.0 ч");
  EXPECT_EQ(r.hours[10], "0.1 ч");
  for (int label : {0, 1, 4, 11, 13}) EXPECT_EQ(r.hours[static_cast<size_t>(label)], "") << label;
  EXPECT_EQ(HoursText(-1800, ","), "-0,5");
  const BlackBoxPage page = MakeBlackBoxPage(MakeBlackBoxReport(image, ","), "");
  EXPECT_EQ(page.rightLabels[1], "Время работы на малом режиме : 1297080 сек. (15-0:18:0), 360,3 ч");
  EXPECT_EQ(HeaderCaption(7), "Общее время работы");
  EXPECT_EQ(HeaderCaption(3), "Количество прерываний работы (потери питания при работе)");
}

// Records with codes 13, 17 and 40 in modes 21, 3 and 21.
BlackBoxBytes ThreeFaults() {
  BlackBoxBytes image{};
  const uint8_t codes[] = {13, 17, 40}, modes[] = {21, 3, 21};
  for (int k = 0; k < 13; ++k) {
    const int base = 48 + 16 * k;
    image[base + 1] = codes[k % 3];
    image[base + 4] = modes[k % 3];
  }
  image[48 + 12] = 0x40;         // record 0, fault byte 1: code 13's bit
  image[48 + 16 + 12] = 0x18;    // record 1, fault byte 1: both bits of code 17
  image[48 + 32 + 14] = 0x03;    // record 2, fault byte 3: the two bits without a caption
  return image;
}

TEST(BlackBoxReport, CellsOfCodesModesAndFaultBytesCarryTheirMeaning) {
  const BlackBoxReport r = MakeBlackBoxReport(ThreeFaults(), ",");
  EXPECT_EQ(r.tips[2][1], "Попытки запуска исчерпаны");
  EXPECT_EQ(r.tips[2][2], "КЗ топливного насоса, обрыв цепи топливного насоса");
  EXPECT_EQ(r.tips[2][3], "Неизвестный код");
  EXPECT_EQ(r.tips[4][1], "21 - Прогрев");
  EXPECT_EQ(r.tips[4][2], "3 - Розжиг1");
  EXPECT_EQ(r.tips[11][1], "13 Попытки запуска исчерпаны");
  EXPECT_EQ(r.tips[11][2], "17 КЗ топливного насоса\n17 обрыв цепи топливного насоса");
  EXPECT_EQ(r.tips[13][3], "бит 2: без описания\nбит 1: без описания");
  EXPECT_EQ(r.tips[12][1], "");
  for (int row : {0, 1, 3, 5, 6, 7, 8, 9, 10})
    for (int column = 0; column < BlackBoxReport::kColumns; ++column) EXPECT_EQ(r.tips[row][column], "");
}

TEST(BlackBoxReport, EachCodeAndModeOfTheRecordsIsExplainedOnceAscending) {
  const BlackBoxReport r = MakeBlackBoxReport(ThreeFaults(), ",");
  using M = BlackBoxReport::Meaning;
  EXPECT_EQ(r.faultCodes, (std::vector<M>{{13, "Попытки запуска исчерпаны"},
                                          {17, "КЗ топливного насоса, обрыв цепи топливного насоса"},
                                          {40, "Неизвестный код"}}));
  EXPECT_EQ(r.modes, (std::vector<M>{{3, "Розжиг1"}, {21, "Прогрев"}}));

  const BlackBoxPage page = MakeBlackBoxPage(r, "");
  EXPECT_EQ(page.explanation,
            (std::vector<std::string>{"Код неисправности 13: Попытки запуска исчерпаны",
                                      "Код неисправности 17: КЗ топливного насоса, обрыв цепи топливного насоса",
                                      "Код неисправности 40: Неизвестный код", "Режим работы 3: Розжиг1",
                                      "Режим работы 21: Прогрев"}));
  const std::string csv = BlackBoxCsv(ThreeFaults(), kRead, "tool");
  EXPECT_NE(csv.find("\r\nРасшифровка\r\n"
                     "Код неисправности;13;Попытки запуска исчерпаны\r\n"
                     "Код неисправности;17;КЗ топливного насоса, обрыв цепи топливного насоса\r\n"
                     "Код неисправности;40;Неизвестный код\r\n"
                     "Режим работы;3;Розжиг1\r\n"
                     "Режим работы;21;Прогрев\r\n"),
            std::string::npos)
      << csv;
}

TEST(BlackBoxExport, CsvFieldsWithSeparatorsOrQuotesAreQuoted) {
  EXPECT_EQ(CsvField("12,5"), "12,5");
  EXPECT_EQ(CsvField("a;b"), "\"a;b\"");
  EXPECT_EQ(CsvField("не \"черный\""), "\"не \"\"черный\"\"\"");
  EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
  EXPECT_EQ(CsvField(""), "");
}

TEST(BlackBoxExport, PageHoldsEveryLabelInTheWindowsOrderAndTheGrid) {
  const BlackBoxReport report = MakeBlackBoxReport(Filled(0xFF), ",");
  const BlackBoxPage page = MakeBlackBoxPage(report, "из файла bb.bin");
  EXPECT_EQ(page.title, "Черный ящик Ортан 5");
  EXPECT_EQ(page.source, "из файла bb.bin");
  // The counts on the left; the run times, the flame sensor and the identity
  // on the right.
  ASSERT_EQ(page.leftLabels.size(), 7u);
  ASSERT_EQ(page.rightLabels.size(), 8u);
  EXPECT_EQ(page.leftLabels.front(), report.labels[1]);
  EXPECT_EQ(page.leftLabels[3], report.labels[11]);
  EXPECT_EQ(page.leftLabels.back(), report.labels[6]);
  EXPECT_EQ(page.rightLabels.front(), report.labels[7] + ", " + report.hours[7]);
  EXPECT_EQ(page.rightLabels[3], report.labels[10] + ", " + report.hours[10]);
  EXPECT_EQ(page.rightLabels[4], report.labels[0]);
  EXPECT_EQ(page.rightLabels.back(), report.labels[14]);
  EXPECT_EQ(page.cells, report.cells);
}

TEST(BlackBoxExport, ImagesAreCheckedForSizeAndSignature) {
  BlackBoxBytes image = Filled(0);
  image[3] = 0x55;
  image[4] = 0x37;
  std::string bytes(image.begin(), image.end());
  EXPECT_EQ(BlackBoxImageProblem(bytes), "");
  EXPECT_EQ(BlackBoxImageProblem(bytes + "x"),
            "в файле 257 байт, а образ черного ящика занимает 256 байт");
  EXPECT_EQ(BlackBoxImageProblem(""), "в файле 0 байт, а образ черного ящика занимает 256 байт");
  bytes[4] = 0x38;
  EXPECT_EQ(BlackBoxImageProblem(bytes),
            "это не образ черного ящика: по адресам 3 и 4 нет подписи 55 37");
  PutLE(image, 32, 0xABCDEF, 3);
  EXPECT_EQ(BlackBoxSerialNumber(image), 0xABCDEFu);
}

}  // namespace
}  // namespace o5
