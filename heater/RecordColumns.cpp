// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/RecordColumns.h"

#include "heater/TextTranslation.h"

namespace o5 {

const std::array<RecordColumn, kRecordColumnCount> kRecordColumns = {{
    {"WTime", O5_TEXT("RecordColumns", "Время работы отопителя, с")},
    {"ModeT", O5_TEXT("RecordColumns", "Значение отопителя без расшифровки: кадр «e», байт 8")},
    {"Error", O5_TEXT("RecordColumns", "Код неисправности, 0 — нет неисправности. Код, появившись, назван строкой в консоли; "
              "биты — в окне «Режимы»")},
    {"ТН", O5_TEXT("RecordColumns", "Топливный насос")},
    {"vdDef", O5_TEXT("RecordColumns", "Вентилятор, задатчик")},
    {"vdClc", O5_TEXT("RecordColumns", "Вентилятор, измерение")},
    {"Помпа", O5_TEXT("RecordColumns", "Помпа")},
    {"Реле", O5_TEXT("RecordColumns", "Реле")},
    {"Свеча", O5_TEXT("RecordColumns", "Свеча")},
    {"U", O5_TEXT("RecordColumns", "Напряжение питания в десятых долях вольта: 126 — это 12,6 В")},
    {"Режим", O5_TEXT("RecordColumns", "Номер режима работы; его название — в окне «Режимы»")},
    {"Tж", O5_TEXT("RecordColumns", "Температура жидкости на входе, °C")},
    {"Tпер", O5_TEXT("RecordColumns", "Температура перегрева (жидкости на выходе), °C")},
    {"Тплам", O5_TEXT("RecordColumns", "Температура датчика пламени, °C (отопитель передаёт её в кельвинах)")},
    {"Tплт", O5_TEXT("RecordColumns", "Температура на плате, °C")},
    {"Cmd", O5_TEXT("RecordColumns", "Значение отопителя без расшифровки: кадр «i», байт 7")},
    {"ПП", O5_TEXT("RecordColumns", "Значение отопителя без расшифровки: кадр «i», байт 6. За ним — четыре байта "
           "неисправностей по 8 бит, старший бит первым; их подписи — в окне «Режимы»")},
}};

std::string RecordColumnMeaning(const RecordColumn& column) {
  // The table's meanings are literals: each view ends where its literal does.
  return Translate("RecordColumns", column.meaning.data());
}

int RecordColumnAt(int index) {
  if (index < 0) return -1;
  int column = 0;
  int at = 0;
  for (size_t i = 0; i < kRecordLogHeader.size(); ++i) {
    const auto byte = static_cast<unsigned char>(kRecordLogHeader[i]);
    if ((byte & 0xC0) == 0x80) continue;  // inside a UTF-8 sequence
    if (at == index) return column;
    if (byte == ';') ++column;
    ++at;
  }
  return -1;
}

}  // namespace o5
