#include "heater/BlackBoxReport.h"
#include "heater/BlackBoxExport.h"
#include "heater/CsvText.h"

#include <gtest/gtest.h>

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

TEST(BlackBoxExport, CsvHasTheBomTheLabelsOneALineThenTheGrid) {
  BlackBoxBytes image = Filled(0);
  PutLE(image, 32, 658188, 3);
  image[48 + 5] = 125;
  const std::string csv = BlackBoxCsv(image);
  ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  std::vector<std::string> lines;
  for (size_t at = 3; at < csv.size();) {
    const size_t end = csv.find("\r\n", at);
    ASSERT_NE(end, std::string::npos);
    lines.push_back(csv.substr(at, end - at));
    at = end + 2;
  }
  ASSERT_EQ(lines.size(), 15u + 15u + 3u);
  EXPECT_EQ(lines[0], "Версия: 0.");
  EXPECT_EQ(lines[3], "Количество неисправностей (кроме 13 кода): 0.");
  EXPECT_EQ(lines[10], "Время работы на ждущем режиме : 0 сек. (0-0:0:0)");
  EXPECT_EQ(lines[11], "Значения датчика пламени при обучении: 0, 0, 0");
  EXPECT_EQ(lines[13], "Серийный номер: 658188.");
  EXPECT_EQ(lines[15], ";0;1;2;3;4;5;6;7;8;9;10;11;12");
  EXPECT_EQ(lines[20], "Напряжение питания, В;12,5;0,0;0,0;0,0;0,0;0,0;0,0;0,0;0,0;0,0;0,0;0,0;0,0");
  EXPECT_EQ(lines[29], "Байт ошибки 4;0;0;0;0;0;0;0;0;0;0;0;0;0");
  EXPECT_EQ(lines[30], "Расшифровка");
  EXPECT_EQ(lines[31], "Код неисправности;0;Нет неисправности");
  EXPECT_EQ(lines[32], "Режим работы;0;Не работает");
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
  const std::string csv = BlackBoxCsv(ThreeFaults());
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
  ASSERT_EQ(page.leftLabels.size() + page.rightLabels.size(), 15u);
  EXPECT_EQ(page.leftLabels.front(), report.labels[1]);
  EXPECT_EQ(page.leftLabels.back(), report.labels[10]);
  EXPECT_EQ(page.rightLabels.front(), report.labels[0]);
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
