<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>AppTitle</name>
    <message>
        <source>Ортан5 Диагностика %1</source>
        <translation>Ortan5 Diagnostics %1</translation>
    </message>
</context>
<context>
    <name>BlackBoxChanges</name>
    <message>
        <source>нет.</source>
        <translation>none.</translation>
    </message>
    <message>
        <source>Новые записи неисправностей (номера столбцов)</source>
        <translation>New fault records (column numbers)</translation>
    </message>
    <message>
        <source>Новые записи неисправностей (номера столбцов): %1</source>
        <extracomment>%1 lists the numbers of the new fault records, as &quot;2, 3&quot;.</extracomment>
        <translation>New fault records (column numbers): %1</translation>
    </message>
    <message>
        <source>Изменения с чтения %1</source>
        <extracomment>%1 is when the earlier readout was made.</extracomment>
        <translation>Changes since the reading of %1</translation>
    </message>
    <message>
        <source>%1 сек.</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>Было: %1.</source>
        <extracomment>The value the counter had at the earlier readout, %1.</extracomment>
        <translation>Was: %1.</translation>
    </message>
    <message>
        <source>%1было %2</source>
        <extracomment>A counter&apos;s caption with its colon, %1, and the value it had at the earlier readout, %2.</extracomment>
        <translation>%1was %2</translation>
    </message>
    <message>
        <source>Было: %1. Изменение: %2</source>
        <extracomment>The value the counter had at the earlier readout, %1, and how much it changed since, %2.</extracomment>
        <translation>Was: %1. Change: %2</translation>
    </message>
    <message>
        <source>%1было %2, изменение %3</source>
        <extracomment>A counter&apos;s caption with its colon, %1, the value it had at the earlier readout, %2, and how much it changed since, %3.</extracomment>
        <translation>%1was %2, change %3</translation>
    </message>
    <message>
        <source>время работы %1 ч</source>
        <extracomment>An item of the list of changes: the run time grew by %1 hours.</extracomment>
        <translation>running time %1 h</translation>
    </message>
    <message>
        <source>запусков %1</source>
        <extracomment>An item of the list of changes: the starts grew by %1.</extracomment>
        <translation>starts %1</translation>
    </message>
    <message>
        <source>незапусков %1</source>
        <extracomment>An item of the list of changes: the failed starts grew by %1.</extracomment>
        <translation>failed starts %1</translation>
    </message>
    <message>
        <source>неисправностей %1</source>
        <extracomment>An item of the list of changes: the faults grew by %1.</extracomment>
        <translation>faults %1</translation>
    </message>
    <message>
        <source>новых записей неисправностей: %1</source>
        <extracomment>An item of the list of changes: %1 new fault records.</extracomment>
        <translation>new fault records: %1</translation>
    </message>
</context>
<context>
    <name>BlackBoxExport</name>
    <message>
        <source>с</source>
        <translation>s</translation>
    </message>
    <message>
        <source>это не образ черного ящика: по адресам 3 и 4 нет подписи 55 37</source>
        <translation>this is not a black box image: addresses 3 and 4 do not hold the signature 55 37</translation>
    </message>
    <message>
        <source>Прочитан из отопителя</source>
        <translation>Read from the heater</translation>
    </message>
    <message>
        <source>Из архива: прочитан</source>
        <translation>From the archive: read</translation>
    </message>
    <message>
        <source>Программа</source>
        <translation>Program</translation>
    </message>
    <message>
        <source>Итог</source>
        <translation>Summary</translation>
    </message>
    <message>
        <source>было</source>
        <translation>was</translation>
    </message>
    <message>
        <source>изменение</source>
        <translation>change</translation>
    </message>
    <message>
        <source>Расшифровка</source>
        <translation>Explanation</translation>
    </message>
    <message>
        <source>Черный ящик Ортан 5</source>
        <translation>Ortan 5 black box</translation>
    </message>
    <message>
        <source>Мастерская</source>
        <translation>Workshop</translation>
    </message>
    <message>
        <source>Заказчик / автомобиль</source>
        <translation>Customer / vehicle</translation>
    </message>
    <message>
        <source>Подпись</source>
        <translation>Signature</translation>
    </message>
    <message numerus="yes">
        <source>в файле %n байт, а образ черного ящика занимает 256 байт</source>
        <translation>
            <numerusform>the file has %n byte, but a black box image takes 256 bytes</numerusform>
            <numerusform>the file has %n bytes, but a black box image takes 256 bytes</numerusform>
        </translation>
    </message>
    <message>
        <source>Файл %1, изменён</source>
        <extracomment>The readout came from the file %1; the time of its last change stands in a cell of its own.</extracomment>
        <translation>File %1, modified</translation>
    </message>
    <message>
        <source>Прочитан из отопителя %1</source>
        <extracomment>%1 is when the black box was read from the heater.</extracomment>
        <translation>Read from the heater %1</translation>
    </message>
    <message>
        <source>Из архива: прочитан %1</source>
        <extracomment>%1 is when the black box kept in the archive was read.</extracomment>
        <translation>From the archive: read %1</translation>
    </message>
    <message>
        <source>Файл %1, изменён %2</source>
        <extracomment>The readout came from the file %1, last changed at %2.</extracomment>
        <translation>File %1, modified %2</translation>
    </message>
</context>
<context>
    <name>BlackBoxPrint</name>
    <message>
        <source>печать в файл не началась</source>
        <translation>printing to the file did not start</translation>
    </message>
    <message>
        <source>печать в файл не завершилась, файл не записан целиком</source>
        <translation>printing to the file did not finish, the file is not written completely</translation>
    </message>
    <message>
        <source>Печать отчета о черном ящике</source>
        <translation>Printing the black box report</translation>
    </message>
    <message>
        <source>Ортан5 Диагностика</source>
        <translation>Ortan5 Diagnostics</translation>
    </message>
    <message>
        <source>Не удалось начать печать на &quot;%1&quot;</source>
        <extracomment>%1 is the printer&apos;s name.</extracomment>
        <translation>Could not start printing on &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>BlackBoxReadout</name>
    <message>
        <source>В этой версии программного обеспечения Ортана 5</source>
        <translation>This software version of the Ortan 5</translation>
    </message>
    <message>
        <source>не реализован &quot;черный ящик&quot;.</source>
        <translation>has no &quot;black box&quot;.</translation>
    </message>
</context>
<context>
    <name>BlackBoxReport</name>
    <message>
        <source>Значения датчика пламени при обучении: </source>
        <translation>Flame sensor values when learned: </translation>
    </message>
    <message>
        <source>Версия: </source>
        <translation>Version: </translation>
    </message>
    <message>
        <source>Номер текущей записи: </source>
        <translation>Current record number: </translation>
    </message>
    <message>
        <source>Количество прерываний работы (потери питания при работе): </source>
        <translation>Interruptions (power lost while running): </translation>
    </message>
    <message>
        <source>Количество запусков с первой попытки: </source>
        <translation>Starts at the first attempt: </translation>
    </message>
    <message>
        <source>Количество запусков НЕ с первой попытки: </source>
        <translation>Starts NOT at the first attempt: </translation>
    </message>
    <message>
        <source>Количество незапусков: </source>
        <translation>Failed starts: </translation>
    </message>
    <message>
        <source>Общее время работы : </source>
        <translation>Total running time: </translation>
    </message>
    <message>
        <source>Время работы на малом режиме : </source>
        <translation>Running time on low: </translation>
    </message>
    <message>
        <source>Время работы на сильном режиме : </source>
        <translation>Running time on high: </translation>
    </message>
    <message>
        <source>Время работы на ждущем режиме : </source>
        <translation>Running time on standby: </translation>
    </message>
    <message>
        <source>Количество неисправностей (кроме 13 кода): </source>
        <translation>Faults (except code 13): </translation>
    </message>
    <message>
        <source>Код изделия: </source>
        <translation>Product code: </translation>
    </message>
    <message>
        <source>Серийный номер: </source>
        <translation>Serial number: </translation>
    </message>
    <message>
        <source>Конфигурационный байт: </source>
        <translation>Configuration byte: </translation>
    </message>
    <message>
        <source>Количество повторов неисправности</source>
        <translation>Fault repetitions</translation>
    </message>
    <message>
        <source>Код неисправности</source>
        <translation>Fault code</translation>
    </message>
    <message>
        <source>Время возникновения</source>
        <translation>Time of occurrence</translation>
    </message>
    <message>
        <source>Режим работы</source>
        <translation>Operating mode</translation>
    </message>
    <message>
        <source>Напряжение питания, В</source>
        <translation>Supply voltage, V</translation>
    </message>
    <message>
        <source>Температура датчика пламени</source>
        <translation>Flame sensor temperature</translation>
    </message>
    <message>
        <source>Температура жидкости</source>
        <translation>Liquid temperature</translation>
    </message>
    <message>
        <source>Температура перегрева</source>
        <translation>Overheat temperature</translation>
    </message>
    <message>
        <source>Тжидкости через 10сек работы</source>
        <translation>T liquid after 10 s of running</translation>
    </message>
    <message>
        <source>С какой попытки произведен розжиг</source>
        <translation>Ignition at attempt</translation>
    </message>
    <message>
        <source>Байт ошибки 1</source>
        <translation>Fault byte 1</translation>
    </message>
    <message>
        <source>Байт ошибки 2</source>
        <translation>Fault byte 2</translation>
    </message>
    <message>
        <source>Байт ошибки 3</source>
        <translation>Fault byte 3</translation>
    </message>
    <message>
        <source>Байт ошибки 4</source>
        <translation>Fault byte 4</translation>
    </message>
    <message>
        <source>%d сек. (%d-%d:%d:%d)</source>
        <translation>%d s (%d-%d:%d:%d)</translation>
    </message>
    <message>
        <source>ч</source>
        <translation>h</translation>
    </message>
    <message>
        <source>%1 ч</source>
        <extracomment>A run time of %1 hours.</extracomment>
        <translation>%1 h</translation>
    </message>
</context>
<context>
    <name>ChartKeyboard</name>
    <message>
        <source>Графики телеметрии. Стрелки влево и вправо читают значения в точке, Shift+F10 открывает меню.</source>
        <translation>Telemetry graphs. The left and right arrows read the values at a point, Shift+F10 opens the menu.</translation>
    </message>
</context>
<context>
    <name>ChartReadout</name>
    <message>
        <source>t = %1 с</source>
        <extracomment>The cursor&apos;s time, %1 seconds.</extracomment>
        <translation>t = %1 s</translation>
    </message>
    <message>
        <source>Δt = %1 с</source>
        <extracomment>The time between the two cursors, %1 seconds.</extracomment>
        <translation>Δt = %1 s</translation>
    </message>
</context>
<context>
    <name>ChartWidget</name>
    <message>
        <source>График</source>
        <translation>Graph</translation>
    </message>
</context>
<context>
    <name>Emblem</name>
    <message>
        <source>Ортан 5</source>
        <translation>Ortan 5</translation>
    </message>
</context>
<context>
    <name>FaultLegend</name>
    <message>
        <source>16 ДП недостаточно остыл</source>
        <translation>16 Flame sensor not cooled enough</translation>
    </message>
    <message>
        <source>13 Попытки запуска исчерпаны</source>
        <translation>13 Start attempts used up</translation>
    </message>
    <message>
        <source>20 Нет связи по послед. каналу</source>
        <translation>20 No serial link</translation>
    </message>
    <message>
        <source>17 КЗ топливного насоса</source>
        <translation>17 Fuel pump short circuit</translation>
    </message>
    <message>
        <source>17 обрыв цепи топливного насоса</source>
        <translation>17 Fuel pump open circuit</translation>
    </message>
    <message>
        <source>28 Самовращение воздуходувки</source>
        <translation>28 Blower turns by itself</translation>
    </message>
    <message>
        <source>10 Трудное вращение воздуходувкой</source>
        <translation>10 Blower turns with difficulty</translation>
    </message>
    <message>
        <source>27 воздуходувка не вращается</source>
        <translation>27 Blower does not turn</translation>
    </message>
    <message>
        <source> 4 КЗ датчика температуры</source>
        <translation> 4 Temperature sensor short circuit</translation>
    </message>
    <message>
        <source> 4 обрыв датчика температуры</source>
        <translation> 4 Temperature sensor open circuit</translation>
    </message>
    <message>
        <source> 3 КЗ датчика перегрева</source>
        <translation> 3 Overheat sensor short circuit</translation>
    </message>
    <message>
        <source> 3 обрыв датчика перегрева</source>
        <translation> 3 Overheat sensor open circuit</translation>
    </message>
    <message>
        <source>21 срыв пламени на  прогреве</source>
        <translation>21 Flame lost during warm-up</translation>
    </message>
    <message>
        <source> 5 обрыв датчика пламени</source>
        <translation> 5 Flame sensor open circuit</translation>
    </message>
    <message>
        <source> 6 КЗ внутреннего датчика темп.</source>
        <translation> 6 Internal temp. sensor short circuit</translation>
    </message>
    <message>
        <source> 6 Обрыв внутреннего датчика темп.</source>
        <translation> 6 Internal temp. sensor open circuit</translation>
    </message>
    <message>
        <source> 9 свеча КЗ</source>
        <translation> 9 Glow plug short circuit</translation>
    </message>
    <message>
        <source> 9 свеча обрыв</source>
        <translation> 9 Glow plug open circuit</translation>
    </message>
    <message>
        <source>14 помпа КЗ</source>
        <translation>14 Water pump short circuit</translation>
    </message>
    <message>
        <source>14 помпа обрыв</source>
        <translation>14 Water pump open circuit</translation>
    </message>
    <message>
        <source>12 повышенное напряжение питания</source>
        <translation>12 Supply voltage too high</translation>
    </message>
    <message>
        <source>15 пониженное напряжение питания</source>
        <translation>15 Supply voltage too low</translation>
    </message>
    <message>
        <source>18 реле КЗ</source>
        <translation>18 Relay short circuit</translation>
    </message>
    <message>
        <source>18 реле обрыв</source>
        <translation>18 Relay open circuit</translation>
    </message>
    <message>
        <source> 7 срыв пламени на режиме малый</source>
        <translation> 7 Flame lost on low</translation>
    </message>
    <message>
        <source> 8 срыв пламени на режиме сильный</source>
        <translation> 8 Flame lost on high</translation>
    </message>
    <message>
        <source>19 срыв пламени на режиме средний</source>
        <translation>19 Flame lost on medium</translation>
    </message>
    <message>
        <source>11 перегрев по скорости</source>
        <translation>11 Overheat by rate of rise</translation>
    </message>
    <message>
        <source> 2 возможный перегрев</source>
        <translation> 2 Possible overheat</translation>
    </message>
    <message>
        <source> 1 перегрев</source>
        <translation> 1 Overheat</translation>
    </message>
    <message>
        <source>бит %1: без описания</source>
        <translation>bit %1: no description</translation>
    </message>
    <message>
        <source>Нет неисправности</source>
        <translation>No fault</translation>
    </message>
    <message>
        <source>Неизвестный код</source>
        <translation>Unknown code</translation>
    </message>
    <message>
        <source>Неисправность снята</source>
        <translation>Fault cleared</translation>
    </message>
    <message>
        <source>Неисправность %1: %2</source>
        <extracomment>%1 is the fault&apos;s code, %2 its name.</extracomment>
        <translation>Fault %1: %2</translation>
    </message>
</context>
<context>
    <name>GraphAccessibility</name>
    <message>
        <source>Ось X: начало</source>
        <translation>X axis: start</translation>
    </message>
    <message>
        <source>Ось X: конец</source>
        <translation>X axis: end</translation>
    </message>
    <message>
        <source>Ось X: шаг</source>
        <translation>X axis: step</translation>
    </message>
    <message>
        <source>Ось Y: начало</source>
        <translation>Y axis: start</translation>
    </message>
    <message>
        <source>Ось Y: конец</source>
        <translation>Y axis: end</translation>
    </message>
    <message>
        <source>Ось Y: шаг</source>
        <translation>Y axis: step</translation>
    </message>
    <message>
        <source>Вверх: сдвинуть ось Y на шаг</source>
        <translation>Up: move the Y axis by a step</translation>
    </message>
    <message>
        <source>Вниз: сдвинуть ось Y на шаг</source>
        <translation>Down: move the Y axis by a step</translation>
    </message>
    <message>
        <source>Влево: сдвинуть ось X на шаг</source>
        <translation>Left: move the X axis by a step</translation>
    </message>
    <message>
        <source>Вправо: сдвинуть ось X на шаг</source>
        <translation>Right: move the X axis by a step</translation>
    </message>
    <message>
        <source>Толщина линии: %1</source>
        <translation>Line width: %1</translation>
    </message>
    <message>
        <source>Цвет: %1</source>
        <translation>Colour: %1</translation>
    </message>
    <message>
        <source>Телеметрия в реальном времени</source>
        <translation>Live telemetry</translation>
    </message>
    <message>
        <source>Журнал &quot;%1&quot;</source>
        <translation>Log &quot;%1&quot;</translation>
    </message>
    <message>
        <source>%1; время от %2 до %3 с, значения от %4 до %5. Стрелки влево и вправо читают значения, Shift+F10 — меню.</source>
        <translation>%1; time from %2 to %3 s, values from %4 to %5. The left and right arrows read the values, Shift+F10 opens the menu.</translation>
    </message>
</context>
<context>
    <name>GraphSeries</name>
    <message>
        <source>Тжидкости</source>
        <translation>T liquid</translation>
    </message>
    <message>
        <source>Тперегрева</source>
        <translation>T overheat</translation>
    </message>
    <message>
        <source>Тпламени</source>
        <translation>T flame</translation>
    </message>
    <message>
        <source>Тна плате</source>
        <translation>T board</translation>
    </message>
    <message>
        <source>Вент. Задатчик</source>
        <translation>Fan set</translation>
    </message>
    <message>
        <source>Вент. Измерение</source>
        <translation>Fan measured</translation>
    </message>
    <message>
        <source>Топливный насос</source>
        <translation>Fuel pump</translation>
    </message>
    <message>
        <source>Свеча</source>
        <translation>Glow plug</translation>
    </message>
    <message>
        <source>Реле</source>
        <translation>Relay</translation>
    </message>
    <message>
        <source>Помпа</source>
        <translation>Water pump</translation>
    </message>
    <message>
        <source>Режим</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>Неисправность</source>
        <translation>Fault</translation>
    </message>
</context>
<context>
    <name>HeaterCommands</name>
    <message>
        <source>Версия </source>
        <translation>Version </translation>
    </message>
    <message>
        <source>Дата   </source>
        <translation>Date    </translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>Назад</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>К месту, где вы были до перехода по ссылке</source>
        <translation>To where you were before following the link</translation>
    </message>
    <message>
        <source>Содержание</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>К началу руководства и его содержанию</source>
        <translation>To the beginning of the manual and its contents</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Версия, лицензия, папка данных и файл настроек</source>
        <translation>Version, licence, data folder and settings file</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Руководство не найдено&lt;/h2&gt;&lt;p&gt;Файл %1 искали в папках:&lt;/p&gt;&lt;ul&gt;&lt;li&gt;%2&lt;/li&gt;&lt;/ul&gt;&lt;p&gt;Оно ставится вместе с пакетом ortan5; переустановите пакет или соберите программу заново.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;Manual not found&lt;/h2&gt;&lt;p&gt;The file %1 was looked for in the folders:&lt;/p&gt;&lt;ul&gt;&lt;li&gt;%2&lt;/li&gt;&lt;/ul&gt;&lt;p&gt;It is installed with the ortan5 package; reinstall the package or build the program again.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Ортан5 Диагностика, версия %1
Программа диагностики жидкостного отопителя Ортан 5.

Лицензия: GNU GPL версии 3 или любой более поздней (GPL-3.0-or-later). Программа свободная: её можно копировать, изменять и распространять на условиях этой лицензии. Гарантий нет.

Папка данных (журналы сеансов и образы черного ящика):
%2

Файл настроек:
%3

Qt %4 (программа собрана с Qt %5)</source>
        <translation>Ortan5 Diagnostics, version %1
Diagnostics program for the Ortan 5 liquid heater.

Licence: GNU GPL version 3 or any later version (GPL-3.0-or-later). The program is free software: you may copy, change and distribute it under the terms of this licence. There is no warranty.

Data folder (session journals and black box images):
%2

Settings file:
%3

Qt %4 (built with Qt %5)</translation>
    </message>
</context>
<context>
    <name>MainAccessibility</name>
    <message>
        <source>Порт открыт</source>
        <translation>Port open</translation>
    </message>
    <message>
        <source>Порт закрыт</source>
        <translation>Port closed</translation>
    </message>
    <message>
        <source>Эмблема программы</source>
        <translation>Program emblem</translation>
    </message>
    <message>
        <source>Консоль</source>
        <translation>Console</translation>
    </message>
    <message>
        <source>Журнал записей</source>
        <translation>Record log</translation>
    </message>
</context>
<context>
    <name>ModeNames</name>
    <message>
        <source>Не работает</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>Проверка перед пуском</source>
        <translation>Check before start</translation>
    </message>
    <message>
        <source>Охлаждение</source>
        <translation>Cooling</translation>
    </message>
    <message>
        <source>Розжиг1</source>
        <translation>Ignition1</translation>
    </message>
    <message>
        <source>Розжиг2</source>
        <translation>Ignition2</translation>
    </message>
    <message>
        <source>Розжиг3</source>
        <translation>Ignition3</translation>
    </message>
    <message>
        <source>Розжиг4</source>
        <translation>Ignition4</translation>
    </message>
    <message>
        <source>Розжиг5</source>
        <translation>Ignition5</translation>
    </message>
    <message>
        <source>Розжиг6</source>
        <translation>Ignition6</translation>
    </message>
    <message>
        <source>Розжиг7</source>
        <translation>Ignition7</translation>
    </message>
    <message>
        <source>Розжиг8</source>
        <translation>Ignition8</translation>
    </message>
    <message>
        <source>Розжиг9</source>
        <translation>Ignition9</translation>
    </message>
    <message>
        <source>Розжиг10</source>
        <translation>Ignition10</translation>
    </message>
    <message>
        <source>Розжиг11</source>
        <translation>Ignition11</translation>
    </message>
    <message>
        <source>Розжиг12</source>
        <translation>Ignition12</translation>
    </message>
    <message>
        <source>Розжиг13</source>
        <translation>Ignition13</translation>
    </message>
    <message>
        <source>Розжиг14</source>
        <translation>Ignition14</translation>
    </message>
    <message>
        <source>Розжиг15</source>
        <translation>Ignition15</translation>
    </message>
    <message>
        <source>Розжиг16</source>
        <translation>Ignition16</translation>
    </message>
    <message>
        <source>Розжиг17</source>
        <translation>Ignition17</translation>
    </message>
    <message>
        <source>Розжиг18</source>
        <translation>Ignition18</translation>
    </message>
    <message>
        <source>Прогрев</source>
        <translation>Warm-up</translation>
    </message>
    <message>
        <source>Сильный</source>
        <translation>High</translation>
    </message>
    <message>
        <source>Малый</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>Выжигание</source>
        <translation>Burn-off</translation>
    </message>
    <message>
        <source>Предпродувка</source>
        <translation>Pre-purge</translation>
    </message>
    <message>
        <source>Продувка</source>
        <translation>Purge</translation>
    </message>
    <message>
        <source>Ждущий</source>
        <translation>Standby</translation>
    </message>
    <message>
        <source>Неизвестный режим</source>
        <translation>Unknown mode</translation>
    </message>
</context>
<context>
    <name>NumberText</name>
    <message>
        <source>,</source>
        <extracomment>The decimal separator of numbers: &quot;,&quot; or &quot;.&quot;</extracomment>
        <translation>.</translation>
    </message>
</context>
<context>
    <name>RecordColumns</name>
    <message>
        <source>Время работы отопителя, с</source>
        <translation>Heater running time, s</translation>
    </message>
    <message>
        <source>Значение отопителя без расшифровки: кадр «e», байт 8</source>
        <translation>Heater value without decoding: frame «e», byte 8</translation>
    </message>
    <message>
        <source>Код неисправности, 0 — нет неисправности. Код, появившись, назван строкой в консоли; биты — в окне «Режимы»</source>
        <translation>Fault code, 0 — no fault. A code, when it appears, is named by a line in the console; the bits — in the «Modes» window</translation>
    </message>
    <message>
        <source>Топливный насос</source>
        <translation>Fuel pump</translation>
    </message>
    <message>
        <source>Вентилятор, задатчик</source>
        <translation>Fan, set value</translation>
    </message>
    <message>
        <source>Вентилятор, измерение</source>
        <translation>Fan, measured</translation>
    </message>
    <message>
        <source>Помпа</source>
        <translation>Water pump</translation>
    </message>
    <message>
        <source>Реле</source>
        <translation>Relay</translation>
    </message>
    <message>
        <source>Свеча</source>
        <translation>Glow plug</translation>
    </message>
    <message>
        <source>Напряжение питания в десятых долях вольта: 126 — это 12,6 В</source>
        <translation>Supply voltage in tenths of a volt: 126 is 12.6 V</translation>
    </message>
    <message>
        <source>Номер режима работы; его название — в окне «Режимы»</source>
        <translation>Operating mode number; its name is in the «Modes» window</translation>
    </message>
    <message>
        <source>Температура жидкости на входе, °C</source>
        <translation>Liquid temperature at the inlet, °C</translation>
    </message>
    <message>
        <source>Температура перегрева (жидкости на выходе), °C</source>
        <translation>Overheat temperature (liquid at the outlet), °C</translation>
    </message>
    <message>
        <source>Температура датчика пламени, °C (отопитель передаёт её в кельвинах)</source>
        <translation>Flame sensor temperature, °C (the heater sends it in kelvins)</translation>
    </message>
    <message>
        <source>Температура на плате, °C</source>
        <translation>Board temperature, °C</translation>
    </message>
    <message>
        <source>Значение отопителя без расшифровки: кадр «i», байт 7</source>
        <translation>Heater value without decoding: frame «i», byte 7</translation>
    </message>
    <message>
        <source>Значение отопителя без расшифровки: кадр «i», байт 6. За ним — четыре байта неисправностей по 8 бит, старший бит первым; их подписи — в окне «Режимы»</source>
        <translation>Heater value without decoding: frame «i», byte 6. After it come four fault bytes of 8 bits, the highest bit first; their captions are in the «Modes» window</translation>
    </message>
</context>
<context>
    <name>RecordLog</name>
    <message>
        <source>Пусков в журнале нет: отопитель в нём только стоит.</source>
        <translation>The log has no runs: the heater only stands in it.</translation>
    </message>
    <message>
        <source>Пусков в журнале: %1; показан последний, %1-й.</source>
        <extracomment>%1 runs in the journal; the last, the %1th, is shown.</extracomment>
        <translation>Runs in the log: %1; the last one, number %1, is shown.</translation>
    </message>
    <message>
        <source>Пропущено неполных строк: %1.</source>
        <translation>Incomplete lines skipped: %1.</translation>
    </message>
</context>
<context>
    <name>RemoteTexts</name>
    <message>
        <source>Чтобы наблюдать стенд, в config.ini (раздел Options) нужен адрес брокера: Broker=mqtt://узел[:порт]</source>
        <translation>To watch a bench, config.ini (section Options) needs the broker address: Broker=mqtt://host[:port]</translation>
    </message>
    <message>
        <source>Брокер: соединение…</source>
        <translation>Broker: connecting…</translation>
    </message>
    <message>
        <source>Брокер: на связи</source>
        <translation>Broker: connected</translation>
    </message>
    <message>
        <source>Адрес брокера в config.ini не понят (ожидается mqtt://узел[:порт] или mqtts://узел[:порт]): %1</source>
        <extracomment>%1 is the address as config.ini has it.</extracomment>
        <translation>The broker address in config.ini is not understood (expected mqtt://host[:port] or mqtts://host[:port]): %1</translation>
    </message>
    <message>
        <source>Имя мастерской (Workshop) должно состоять из латинских букв, цифр, &quot;-&quot; и &quot;_&quot;: %1</source>
        <translation>The workshop name (Workshop) must consist of Latin letters, digits, &quot;-&quot; and &quot;_&quot;: %1</translation>
    </message>
    <message>
        <source>Имя стенда (Bench) должно состоять из латинских букв, цифр, &quot;-&quot; и &quot;_&quot;: %1</source>
        <translation>The bench name (Bench) must consist of Latin letters, digits, &quot;-&quot; and &quot;_&quot;: %1</translation>
    </message>
    <message>
        <source>Брокер: отказ — %1</source>
        <translation>Broker: refused — %1</translation>
    </message>
    <message>
        <source>Брокер: нет связи — %1</source>
        <translation>Broker: no connection — %1</translation>
    </message>
    <message>
        <source>Брокер: публикация отклонена — %1</source>
        <translation>Broker: publishing refused — %1</translation>
    </message>
</context>
<context>
    <name>RequestChannel</name>
    <message>
        <source>Нет связи с отопителем.</source>
        <translation>No connection with the heater.</translation>
    </message>
</context>
<context>
    <name>RunListDialog</name>
    <message>
        <source>Пуски в журнале</source>
        <translation>Runs in the log</translation>
    </message>
    <message>
        <source>Показать</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>нет</source>
        <translation>none</translation>
    </message>
</context>
<context>
    <name>RunSummary</name>
    <message>
        <source>%1 с</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 с (%2)</source>
        <extracomment>A length in seconds, %1, and as a clock reads it, %2: &quot;150 с (2:30)&quot;.</extracomment>
        <translation>%1 s (%2)</translation>
    </message>
    <message>
        <source>Начало: %1 (пуск шёл до открытия порта)</source>
        <translation>Start: %1 (the run was going on before the port was opened)</translation>
    </message>
    <message>
        <source>Начало: %1</source>
        <translation>Start: %1</translation>
    </message>
    <message>
        <source>Длительность: %1</source>
        <translation>Duration: %1</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <extracomment>A mode&apos;s caption, %1 (&quot;21 - Прогрев&quot;), and the time the run spent in it, %2.</extracomment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>3..20 - %1: %2, попыток %3</source>
        <extracomment>The ignition modes 3 to 20 together: %1 is the name of the ignition, %2 the time in them, %3 the number of ignition attempts.</extracomment>
        <translation>3..20 - %1: %2 in %3 attempts</translation>
    </message>
    <message>
        <source>До прогрева: до открытия порта</source>
        <translation>Until warm-up: before the port was opened</translation>
    </message>
    <message>
        <source>До прогрева: %1</source>
        <translation>Until warm-up: %1</translation>
    </message>
    <message>
        <source>Неисправность %1: %2 — на %3 с (%4), длилась %5</source>
        <extracomment>A fault of the run: its code %1 and name %2, the run second it came at %3, its clock time %4 and how long it lasted %5.</extracomment>
        <translation>Fault %1: %2 — at %3 s (%4), lasted %5</translation>
    </message>
    <message>
        <source>Неисправность %1: %2 — на %3 с, длилась %4</source>
        <extracomment>A fault of the run: its code %1 and name %2, the run second it came at %3 and how long it lasted %4.</extracomment>
        <translation>Fault %1: %2 — at %3 s, lasted %4</translation>
    </message>
    <message>
        <source>Неисправность %1: %2 — на %3 с (%4), длилась до конца пуска</source>
        <extracomment>A fault the heater still reported at the run&apos;s end: its code %1 and name %2, the run second it came at %3 and its clock time %4.</extracomment>
        <translation>Fault %1: %2 — at %3 s (%4), lasted until the end of the run</translation>
    </message>
    <message>
        <source>Неисправность %1: %2 — на %3 с, длилась до конца пуска</source>
        <extracomment>A fault the heater still reported at the run&apos;s end: its code %1 and name %2, the run second it came at %3.</extracomment>
        <translation>Fault %1: %2 — at %3 s, lasted until the end of the run</translation>
    </message>
    <message>
        <source>%1: от %2 до %3 В</source>
        <translation>%1: from %2 to %3 V</translation>
    </message>
    <message>
        <source>%1: от %2 до %3 °C</source>
        <translation>%1: from %2 to %3 °C</translation>
    </message>
    <message>
        <source>Последний режим: %1</source>
        <translation>Last mode: %1</translation>
    </message>
</context>
<context>
    <name>SerialPortList</name>
    <message>
        <source>Встроенный последовательный порт</source>
        <translation>Built-in serial port</translation>
    </message>
    <message>
        <source>Псевдотерминал</source>
        <translation>Pseudo-terminal</translation>
    </message>
    <message>
        <source>Последовательный порт Bluetooth</source>
        <translation>Bluetooth serial port</translation>
    </message>
</context>
<context>
    <name>SeriesCsv</name>
    <message>
        <source>Время</source>
        <translation>Time</translation>
    </message>
</context>
<context>
    <name>SessionEvents</name>
    <message>
        <source>Устройство снова подключено, порт %1 открыт</source>
        <translation>Device connected again, port %1 open</translation>
    </message>
    <message>
        <source>Порт %1 открыт</source>
        <translation>Port %1 open</translation>
    </message>
    <message>
        <source>Режим %1</source>
        <translation>Mode %1</translation>
    </message>
    <message>
        <source>Работа закончилась, длительность %1</source>
        <translation>Run ended, length %1</translation>
    </message>
    <message>
        <source>Черный ящик прочитан, серийный номер %1</source>
        <translation>Black box read, serial number %1</translation>
    </message>
    <message>
        <source>Порт закрыт</source>
        <translation>Port closed</translation>
    </message>
    <message>
        <source>Устройство порта потеряно, порт закрыт</source>
        <translation>Port device lost, port closed</translation>
    </message>
    <message>
        <source>Пуск</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Версия ПО</source>
        <translation>Firmware version</translation>
    </message>
    <message>
        <source>Чтение черного ящика начато</source>
        <translation>Black box reading started</translation>
    </message>
    <message>
        <source>Чтение черного ящика прервано</source>
        <translation>Black box reading cut short</translation>
    </message>
    <message>
        <source>Работа началась</source>
        <translation>Run began</translation>
    </message>
    <message>
        <source>Отопитель уже работает</source>
        <translation>Heater already running</translation>
    </message>
    <message>
        <source>Данные от отопителя снова поступают</source>
        <translation>Data from the heater coming in again</translation>
    </message>
</context>
<context>
    <name>SessionJournal</name>
    <message>
        <source>Часовой пояс: </source>
        <translation>Time zone: </translation>
    </message>
    <message>
        <source>Не удалось записать журнал сеанса в папку &quot;%1&quot;: %2</source>
        <extracomment>The session&apos;s journal cannot be written in the folder %1, for the system&apos;s reason %2.</extracomment>
        <translation>Could not write the session journal into the folder &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>Файловая система папки данных &quot;%1&quot; не поддерживает блокировки файлов: журналы пишутся и не удаляются, но несколько стендов не должны работать с этой папкой одновременно.</source>
        <extracomment>%1 is the data folder.</extracomment>
        <translation>The file system of the data folder &quot;%1&quot; does not support file locks: journals are written and not deleted, but several benches must not work with this folder at the same time.</translation>
    </message>
</context>
<context>
    <name>SessionRuns</name>
    <message>
        <source>Розжиг</source>
        <translation>Ignition</translation>
    </message>
</context>
<context>
    <name>THelpWindow</name>
    <message>
        <source>Справка — Ортан5 Диагностика</source>
        <translation>Help — Ortan5 Diagnostics</translation>
    </message>
    <message>
        <source>О программе — Ортан5 Диагностика</source>
        <translation>About — Ortan5 Diagnostics</translation>
    </message>
</context>
<context>
    <name>TfBB</name>
    <message>
        <source>Черный ящик</source>
        <translation>Black box</translation>
    </message>
    <message>
        <source>Подождите, идет чтение черного ящика из Ортана 5...</source>
        <translation>Please wait, reading the black box of the Ortan 5...</translation>
    </message>
    <message>
        <source>Отчёт PDF (*.pdf);;Таблица CSV (*.csv)</source>
        <translation>PDF report (*.pdf);;CSV table (*.csv)</translation>
    </message>
    <message>
        <source>Образ черного ящика (*.bin);;Все файлы (*)</source>
        <translation>Black box image (*.bin);;All files (*)</translation>
    </message>
    <message>
        <source>Значения датчика пламени при обучении:</source>
        <translation>Flame sensor values when learned:</translation>
    </message>
    <message>
        <source>Версия:</source>
        <translation>Version:</translation>
    </message>
    <message>
        <source>Номер текущей записи:</source>
        <translation>Current record number:</translation>
    </message>
    <message>
        <source>Количество прерываний работы (потери питания при работе):</source>
        <translation>Interruptions (power lost while running):</translation>
    </message>
    <message>
        <source>Количество запусков с первой попытки:</source>
        <translation>Starts at the first attempt:</translation>
    </message>
    <message>
        <source>Количество запусков НЕ с первой попытки:</source>
        <translation>Starts NOT at the first attempt:</translation>
    </message>
    <message>
        <source>Количество незапусков:</source>
        <translation>Failed starts:</translation>
    </message>
    <message>
        <source>Общее время работы (сек):</source>
        <translation>Total running time (s):</translation>
    </message>
    <message>
        <source>Время работы на малом режиме (сек):</source>
        <translation>Running time on low (s):</translation>
    </message>
    <message>
        <source>Время работы на сильном режиме (сек):</source>
        <translation>Running time on high (s):</translation>
    </message>
    <message>
        <source>Время работы на ждущем режиме (сек):</source>
        <translation>Running time on standby (s):</translation>
    </message>
    <message>
        <source>Количество неисправностей (кроме 13 кода):</source>
        <translation>Faults (except code 13):</translation>
    </message>
    <message>
        <source>Код изделия:</source>
        <translation>Product code:</translation>
    </message>
    <message>
        <source>Серийный номер:</source>
        <translation>Serial number:</translation>
    </message>
    <message>
        <source>Конфигурационный байт:</source>
        <translation>Configuration byte:</translation>
    </message>
    <message>
        <source>Сохранить отчёт…</source>
        <translation>Save report…</translation>
    </message>
    <message>
        <source>Сохранить отчёт в PDF или в таблицу CSV</source>
        <translation>Save the report as PDF or as a CSV table</translation>
    </message>
    <message>
        <source>Печать…</source>
        <translation>Print…</translation>
    </message>
    <message>
        <source>Напечатать отчёт</source>
        <translation>Print the report</translation>
    </message>
    <message>
        <source>Сохранить образ…</source>
        <translation>Save image…</translation>
    </message>
    <message>
        <source>Сохранить 256 байт черного ящика, как они прочитаны</source>
        <translation>Save the 256 bytes of the black box as they were read</translation>
    </message>
    <message>
        <source>Открыть образ…</source>
        <translation>Open image…</translation>
    </message>
    <message>
        <source>Показать отчёт сохранённого образа</source>
        <translation>Show the report of a saved image</translation>
    </message>
    <message>
        <source>Сравнить с…</source>
        <translation>Compare with…</translation>
    </message>
    <message>
        <source>Показать, что изменилось с сохранённого образа</source>
        <translation>Show what changed since a saved image</translation>
    </message>
    <message>
        <source>Прежние чтения отопителей и сеансы</source>
        <translation>Earlier readings of heaters and sessions</translation>
    </message>
    <message>
        <source>Сохранить отчёт</source>
        <translation>Save report</translation>
    </message>
    <message>
        <source>Сохранить образ</source>
        <translation>Save image</translation>
    </message>
    <message>
        <source>Открыть образ</source>
        <translation>Open image</translation>
    </message>
    <message>
        <source>Сравнить с образом</source>
        <translation>Compare with image</translation>
    </message>
</context>
<context>
    <name>TfGraph</name>
    <message>
        <source>Графики</source>
        <translation>Graphs</translation>
    </message>
    <message>
        <source>Очистить</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Изменить цвет</source>
        <translation>Change colour</translation>
    </message>
    <message>
        <source>Время, с</source>
        <translation>Time, s</translation>
    </message>
    <message>
        <source>Открыть журнал…</source>
        <translation>Open log…</translation>
    </message>
    <message>
        <source>Последний пуск</source>
        <translation>Last run</translation>
    </message>
    <message>
        <source>Сохранить данные…</source>
        <translation>Save data…</translation>
    </message>
    <message>
        <source>Сохранить рисунок…</source>
        <translation>Save picture…</translation>
    </message>
    <message>
        <source>Метка A здесь</source>
        <translation>Mark A here</translation>
    </message>
    <message>
        <source>Метка B здесь</source>
        <translation>Mark B here</translation>
    </message>
    <message>
        <source>Убрать метки</source>
        <translation>Remove marks</translation>
    </message>
    <message>
        <source>Режимы и неисправности</source>
        <translation>Modes and faults</translation>
    </message>
    <message>
        <source>Различимые цвета</source>
        <translation>Distinct colours</translation>
    </message>
    <message>
        <source>Телеметрия в реальном времени, %1</source>
        <translation>Live telemetry, %1</translation>
    </message>
    <message>
        <source>Журнал &quot;%1&quot;, открыт %2</source>
        <translation>Log &quot;%1&quot;, opened %2</translation>
    </message>
    <message>
        <source>Журнал &quot;%1&quot;, пуск %3, открыт %2</source>
        <translation>Log &quot;%1&quot;, run %3, opened %2</translation>
    </message>
    <message>
        <source>%1 из %2</source>
        <translation>%1 of %2</translation>
    </message>
    <message>
        <source>Последний пуск, показан %1</source>
        <translation>Last run, shown %1</translation>
    </message>
    <message>
        <source>Журнал записей (*.txt);;Все файлы (*)</source>
        <translation>Record log (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>Рисунок PNG (*.png)</source>
        <translation>PNG picture (*.png)</translation>
    </message>
    <message>
        <source>в нём нет ни одной полной записи журнала</source>
        <translation>it has no complete log record</translation>
    </message>
    <message>
        <source>В журнале записей нет ни одной полной записи</source>
        <translation>The record log has no complete record</translation>
    </message>
    <message>
        <source>рисунок не удалось построить</source>
        <translation>the picture could not be drawn</translation>
    </message>
    <message>
        <source>Следовать за данными</source>
        <translation>Follow the data</translation>
    </message>
    <message>
        <source>Итоги пуска</source>
        <translation>Run summary</translation>
    </message>
</context>
<context>
    <name>TfHistory</name>
    <message>
        <source>История отопителей</source>
        <translation>Heater history</translation>
    </message>
    <message>
        <source>Серийный номер:</source>
        <translation>Serial number:</translation>
    </message>
    <message>
        <source>все отопители</source>
        <translation>all heaters</translation>
    </message>
    <message>
        <source>Серийный номер</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>Код изделия</source>
        <translation>Product code</translation>
    </message>
    <message>
        <source>Чтений</source>
        <translation>Readings</translation>
    </message>
    <message>
        <source>Последнее чтение</source>
        <translation>Last reading</translation>
    </message>
    <message>
        <source>Начало сеанса</source>
        <translation>Session start</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Дата и время</source>
        <translation>Date and time</translation>
    </message>
    <message>
        <source>Общее время работы</source>
        <translation>Total running time</translation>
    </message>
    <message>
        <source>9999999 сек. (115-17:46:39)</source>
        <translation>9999999 s (115-17:46:39)</translation>
    </message>
    <message>
        <source>Запусков</source>
        <translation>Starts</translation>
    </message>
    <message>
        <source>Неисправностей</source>
        <translation>Faults</translation>
    </message>
    <message>
        <source>Время</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Событие</source>
        <translation>Event</translation>
    </message>
    <message>
        <source>Отопители</source>
        <translation>Heaters</translation>
    </message>
    <message>
        <source>Сеансы без отопителя</source>
        <translation>Sessions without a heater</translation>
    </message>
    <message>
        <source>Чтения черного ящика</source>
        <translation>Black box readings</translation>
    </message>
    <message>
        <source>Сеансы отопителя</source>
        <translation>Heater sessions</translation>
    </message>
    <message>
        <source>События сеанса</source>
        <translation>Session events</translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Открыть папку</source>
        <translation>Open folder</translation>
    </message>
    <message>
        <source>Не удалось показать папку &quot;%1&quot; в файловом менеджере</source>
        <translation>Could not show the folder &quot;%1&quot; in the file manager</translation>
    </message>
    <message>
        <source>История…</source>
        <translation>History…</translation>
    </message>
    <message>
        <source>Не удалось создать папку &quot;%1&quot;: %2</source>
        <extracomment>The folder %1 could not be made, for the system&apos;s reason %2.</extracomment>
        <translation>Could not create the folder &quot;%1&quot;: %2</translation>
    </message>
</context>
<context>
    <name>TfMain</name>
    <message>
        <source>Нет данных от отопителя: проверьте выбор порта и подключение.</source>
        <translation>No data from the heater: check the port chosen and the connection.</translation>
    </message>
    <message>
        <source>Режимы</source>
        <translation>Modes</translation>
    </message>
    <message>
        <source>Графики</source>
        <translation>Graphs</translation>
    </message>
    <message>
        <source>Стереть (F8)</source>
        <translation>Erase (F8)</translation>
    </message>
    <message>
        <source>Черный
ящик</source>
        <translation>Black
box</translation>
    </message>
    <message>
        <source>Версия ПО
Ортан 5</source>
        <translation>Ortan 5
software</translation>
    </message>
    <message>
        <source>Пуск</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Настр</source>
        <translation>Setup</translation>
    </message>
    <message>
        <source>Откр/закр</source>
        <translation>Open/close</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Открыть образ…</source>
        <translation>Open image…</translation>
    </message>
    <message>
        <source>Показать или скрыть окно режимов работы и подписей битов неисправностей</source>
        <translation>Show or hide the window of the operating modes and the fault bits&apos; captions</translation>
    </message>
    <message>
        <source>Открыть окно графиков телеметрии</source>
        <translation>Open the window of the telemetry graphs</translation>
    </message>
    <message>
        <source>Очистить консоль и журнал записей (F8)</source>
        <translation>Clear the console and the record log (F8)</translation>
    </message>
    <message>
        <source>Прочитать черный ящик отопителя: счётчики, время работы и 13 записей неисправностей (около 15 с)</source>
        <translation>Read the heater&apos;s black box: counters, running times and 13 fault records (about 15 s)</translation>
    </message>
    <message>
        <source>Прочитать версию и дату программного обеспечения отопителя</source>
        <translation>Read the version and date of the heater&apos;s software</translation>
    </message>
    <message>
        <source>Запустить отопитель</source>
        <translation>Start the heater</translation>
    </message>
    <message>
        <source>Остановить отопитель</source>
        <translation>Stop the heater</translation>
    </message>
    <message>
        <source>Время работы отопителя, минуты:секунды</source>
        <translation>Heater running time, minutes:seconds</translation>
    </message>
    <message>
        <source>Порт, к которому подключен отопитель; подсказка у каждого порта списка называет его устройство</source>
        <translation>The port the heater is connected to; the tooltip of each port in the list names its device</translation>
    </message>
    <message>
        <source>Параметры порта: устройство, скорость, биты данных, стоповые биты, чётность</source>
        <translation>Port settings: device, speed, data bits, stop bits, parity</translation>
    </message>
    <message>
        <source>Открыть или закрыть выбранный порт</source>
        <translation>Open or close the chosen port</translation>
    </message>
    <message>
        <source>Сохранить журнал записей в рабочую папку, в файл D_&lt;дата&gt;_&lt;время&gt;.txt</source>
        <translation>Save the record log into the working folder, as the file D_&lt;date&gt;_&lt;time&gt;.txt</translation>
    </message>
    <message>
        <source>Порт открыт.</source>
        <translation>Port open.</translation>
    </message>
    <message>
        <source>Порт закрыт.</source>
        <translation>Port closed.</translation>
    </message>
    <message>
        <source> Лампа горит, пока порт открыт.
</source>
        <translation> The lamp is lit while the port is open.
</translation>
    </message>
    <message>
        <source>Последний кадр от отопителя: %1 (%2 с назад).</source>
        <translation>Last frame from the heater: %1 (%2 s ago).</translation>
    </message>
    <message>
        <source>Кадров от отопителя ещё не было.</source>
        <translation>No frame from the heater yet.</translation>
    </message>
    <message>
        <source>Черный ящик прочитан, отчёт в окне &quot;Черный ящик&quot;.</source>
        <translation>Black box read, the report is in the &quot;Black box&quot; window.</translation>
    </message>
</context>
<context>
    <name>TfRunSummary</name>
    <message>
        <source>Итоги пуска</source>
        <translation>Run summary</translation>
    </message>
    <message>
        <source>Копировать</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>На графике нет пуска.</source>
        <translation>The graph shows no run.</translation>
    </message>
</context>
<context>
    <name>TfVisitAct</name>
    <message>
        <source>Печать акта диагностики</source>
        <translation>Printing the diagnostics report</translation>
    </message>
</context>
<context>
    <name>TfrmModes</name>
    <message>
        <source>Информация</source>
        <translation>Information</translation>
    </message>
    <message>
        <source> 0 - Не работает</source>
        <translation> 0 - Off</translation>
    </message>
    <message>
        <source> 1 - Проверка перед пуском</source>
        <translation> 1 - Check before start</translation>
    </message>
    <message>
        <source> 2 - Охлаждение</source>
        <translation> 2 - Cooling</translation>
    </message>
    <message>
        <source> 3-20 Розжиг</source>
        <translation> 3-20 Ignition</translation>
    </message>
    <message>
        <source>21 - Прогрев</source>
        <translation>21 - Warm-up</translation>
    </message>
    <message>
        <source>22 - Сильный</source>
        <translation>22 - High</translation>
    </message>
    <message>
        <source>23 - Малый</source>
        <translation>23 - Low</translation>
    </message>
    <message>
        <source>24 - Выжигание</source>
        <translation>24 - Burn-off</translation>
    </message>
    <message>
        <source>25 - Предпродувка</source>
        <translation>25 - Pre-purge</translation>
    </message>
    <message>
        <source>26 - Продувка</source>
        <translation>26 - Purge</translation>
    </message>
    <message>
        <source>27 - Ждущий</source>
        <translation>27 - Standby</translation>
    </message>
</context>
<context>
    <name>TimelineFile</name>
    <message>
        <source>Пропущено строк: %1</source>
        <translation>Lines skipped: %1</translation>
    </message>
    <message>
        <source>Файл событий &quot;%1&quot; не читается: %2</source>
        <extracomment>The timeline file %1 cannot be read, for the system&apos;s reason %2.</extracomment>
        <translation>Event file &quot;%1&quot; cannot be read: %2</translation>
    </message>
    <message>
        <source>Файл событий &quot;%1&quot; — символическая ссылка: события не показаны</source>
        <translation>Event file &quot;%1&quot; is a symbolic link: events not shown</translation>
    </message>
    <message>
        <source>Файл событий &quot;%1&quot; — не обычный файл: события не показаны</source>
        <translation>Event file &quot;%1&quot; is not a regular file: events not shown</translation>
    </message>
    <message>
        <source>Файл событий &quot;%1&quot; больше %2 МиБ: события не показаны</source>
        <extracomment>The timeline file %1 is larger than %2 MiB.</extracomment>
        <translation>Event file &quot;%1&quot; is larger than %2 MiB: events not shown</translation>
    </message>
</context>
<context>
    <name>UserFile</name>
    <message>
        <source>это не обычный файл</source>
        <translation>this is not a regular file</translation>
    </message>
    <message>
        <source>Не удалось сохранить файл &quot;%1&quot;: %2</source>
        <extracomment>The file %1 could not be saved, for the reason %2.</extracomment>
        <translation>Could not save the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>Не удалось открыть файл &quot;%1&quot;: %2</source>
        <extracomment>The file %1 could not be opened, for the reason %2.</extracomment>
        <translation>Could not open the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>файл больше %1 байт</source>
        <extracomment>Why a file was not opened: it is larger than %1 bytes.</extracomment>
        <translation>the file is larger than %1 bytes</translation>
    </message>
</context>
<context>
    <name>VisitAct</name>
    <message>
        <source>Отопитель</source>
        <translation>Heater</translation>
    </message>
    <message>
        <source>Черный ящик в этот визит не читался.</source>
        <translation>The black box was not read during this visit.</translation>
    </message>
    <message>
        <source>Записи неисправностей в черном ящике, последняя первой</source>
        <translation>Fault records in the black box, the last one first</translation>
    </message>
    <message>
        <source>Записей неисправностей нет.</source>
        <translation>No fault records.</translation>
    </message>
    <message>
        <source>Пуски в этот визит</source>
        <translation>Runs during this visit</translation>
    </message>
    <message>
        <source>Пусков в этот визит не записано.</source>
        <translation>No runs recorded during this visit.</translation>
    </message>
    <message>
        <source>Неисправностей не было</source>
        <translation>There were no faults</translation>
    </message>
    <message>
        <source>Акт диагностики отопителя Ортан 5</source>
        <translation>Ortan 5 heater diagnostics report</translation>
    </message>
    <message>
        <source>Мастерская</source>
        <translation>Workshop</translation>
    </message>
    <message>
        <source>Заказчик</source>
        <translation>Customer</translation>
    </message>
    <message>
        <source>Автомобиль</source>
        <translation>Vehicle</translation>
    </message>
    <message>
        <source>Заключение</source>
        <translation>Conclusion</translation>
    </message>
    <message>
        <source>Мастер</source>
        <translation>Technician</translation>
    </message>
    <message>
        <source>Температура жидкости на входе</source>
        <translation>Liquid temperature at the inlet</translation>
    </message>
    <message>
        <source>Температура жидкости на выходе</source>
        <translation>Liquid temperature at the outlet</translation>
    </message>
    <message>
        <source>Температура датчика пламени</source>
        <translation>Flame sensor temperature</translation>
    </message>
    <message>
        <source>Время от начала пуска, с</source>
        <translation>Time from the start of the run, s</translation>
    </message>
    <message>
        <source>Полоса под графиком: режимы работы; отметки с номером — неисправности</source>
        <translation>Strip below the graph: operating modes; numbered marks are faults</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <extracomment>A counter of the black box: its caption %1 and its value %2.</extracomment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Запись %1: код %2 — %3; повторов %4; режим %5; напряжение %6 В</source>
        <extracomment>A fault record of the black box: its number %1, the fault&apos;s code %2 and name %3, how many times it repeated %4, the mode it came in %5 (&quot;21 - Прогрев&quot;) and the voltage then %6.</extracomment>
        <translation>Record %1: code %2 — %3; repetitions %4; mode %5; voltage %6 V</translation>
    </message>
    <message>
        <source>%1: было %2 ч, стало %3 ч</source>
        <extracomment>A run time of the black box that changed: its caption %1, the hours at the earlier readout %2 and now %3.</extracomment>
        <translation>%1: was %2 h, now %3 h</translation>
    </message>
    <message>
        <source>%1–%2 — Розжиг (шаги)</source>
        <extracomment>The ignition&apos;s steps in the chart&apos;s legend: its first mode %1 and its last %2.</extracomment>
        <translation>%1–%2 — Ignition (steps)</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <extracomment>A mode in the chart&apos;s legend: its number %1 and its name %2.</extracomment>
        <translation>%1 — %2</translation>
    </message>
    <message>
        <source>%1 с</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 мин %2 с</source>
        <extracomment>A duration of minutes %1 and seconds %2.</extracomment>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>%1 ч %2 мин %3 с</source>
        <extracomment>A duration of hours %1, minutes %2 and seconds %3.</extracomment>
        <translation>%1 h %2 min %3 s</translation>
    </message>
    <message>
        <source>Пуск %1</source>
        <translation>Run %1</translation>
    </message>
    <message>
        <source>Начало: не записано (пуск начался до подключения)</source>
        <translation>Start: not recorded (the run began before connecting)</translation>
    </message>
    <message>
        <source>Начало: %1 (пуск шёл до открытия порта)</source>
        <translation>Start: %1 (the run was going on before the port was opened)</translation>
    </message>
    <message>
        <source>Начало: %1</source>
        <translation>Start: %1</translation>
    </message>
    <message>
        <source>Длительность: %1</source>
        <translation>Duration: %1</translation>
    </message>
    <message>
        <source>До прогрева: до открытия порта</source>
        <translation>Until warm-up: before the port was opened</translation>
    </message>
    <message>
        <source>До прогрева: %1</source>
        <translation>Until warm-up: %1</translation>
    </message>
    <message>
        <source>До прогрева: прогрев не достигнут</source>
        <translation>Until warm-up: warm-up not reached</translation>
    </message>
    <message>
        <source>Неисправность %1: %2 — в %3, длилась %4</source>
        <extracomment>A fault of the run: its code %1 and name %2, the clock time it came at %3 and how long it lasted %4.</extracomment>
        <translation>Fault %1: %2 — at %3, lasted %4</translation>
    </message>
    <message>
        <source>Неисправность %1: %2 — в %3, длилась до конца пуска</source>
        <extracomment>A fault the heater still reported at the run&apos;s end: its code %1 and name %2, the clock time it came at %3.</extracomment>
        <translation>Fault %1: %2 — at %3, lasted until the end of the run</translation>
    </message>
    <message>
        <source>Неисправность %1: %2 — через %3 от начала, длилась %4</source>
        <extracomment>A fault of the run: its code %1 and name %2, how long after the run&apos;s start it came %3 and how long it lasted %4.</extracomment>
        <translation>Fault %1: %2 — %3 after the start, lasted %4</translation>
    </message>
    <message>
        <source>Неисправность %1: %2 — через %3 от начала, длилась до конца пуска</source>
        <extracomment>A fault the heater still reported at the run&apos;s end: its code %1 and name %2, how long after the run&apos;s start it came %3.</extracomment>
        <translation>Fault %1: %2 — %3 after the start, lasted until the end of the run</translation>
    </message>
    <message>
        <source>Дата: %1</source>
        <translation>Date: %1</translation>
    </message>
    <message>
        <source>Серийный номер: %1</source>
        <translation>Serial number: %1</translation>
    </message>
    <message>
        <source>Код изделия: %1</source>
        <translation>Product code: %1</translation>
    </message>
    <message>
        <source>Версия черного ящика: %1</source>
        <translation>Black box version: %1</translation>
    </message>
    <message>
        <source>Версия программного обеспечения: не читалась</source>
        <translation>Software version: not read</translation>
    </message>
    <message>
        <source>Версия программного обеспечения: %1</source>
        <translation>Software version: %1</translation>
    </message>
    <message>
        <source>Черный ящик (память неисправностей и статистики), прочитан %1</source>
        <extracomment>%1 is when the black box was read.</extracomment>
        <translation>Black box (fault and statistics memory), read %1</translation>
    </message>
    <message>
        <source>%1: %2 ч</source>
        <extracomment>A run time of the black box: its caption %1 and its hours %2.</extracomment>
        <translation>%1: %2 h</translation>
    </message>
    <message>
        <source>График пуска %1 (начало %2)</source>
        <extracomment>The chart of run %1, which started at %2.</extracomment>
        <translation>Graph of run %1 (start %2)</translation>
    </message>
    <message>
        <source>График пуска %1</source>
        <translation>Graph of run %1</translation>
    </message>
</context>
<context>
    <name>VisitRuns</name>
    <message>
        <source>%1, дата %2</source>
        <extracomment>The heater&apos;s firmware version %1 and its date %2.</extracomment>
        <translation>%1, date %2</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>ortan5: дисплей %1 недоступен, окна показать негде</source>
        <translation>ortan5: display %1 is not available, there is nowhere to show the windows</translation>
    </message>
</context>
<context>
    <name>o5::RunListDialog</name>
    <message>
        <source>№</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>Начало</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Длительность</source>
        <translation>Duration</translation>
    </message>
    <message>
        <source>Дошёл до</source>
        <translation>Reached</translation>
    </message>
    <message>
        <source>Неисправности</source>
        <translation>Faults</translation>
    </message>
    <message>
        <source>—</source>
        <translation>—</translation>
    </message>
</context>
<context>
    <name>o5::TRemoteSetupDlg</name>
    <message>
        <source>Удалённый доступ</source>
        <translation>Remote access</translation>
    </message>
    <message>
        <source>Брокер:</source>
        <translation>Broker:</translation>
    </message>
    <message>
        <source>Мастерская:</source>
        <translation>Workshop:</translation>
    </message>
    <message>
        <source>Стенд:</source>
        <translation>Bench:</translation>
    </message>
    <message>
        <source>Пользователь:</source>
        <translation>User:</translation>
    </message>
    <message>
        <source>Пароль:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>Сертификат центра (PEM):</source>
        <translation>CA certificate (PEM):</translation>
    </message>
    <message>
        <source>Проверить связь</source>
        <translation>Test connection</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Адрес брокера: mqtt://узел[:порт] или mqtts://узел[:порт]</source>
        <translation>Broker address: mqtt://host[:port] or mqtts://host[:port]</translation>
    </message>
    <message>
        <source>Мастерская и стенд: латинские буквы, цифры, &quot;-&quot; и &quot;_&quot;</source>
        <translation>Workshop and bench: Latin letters, digits, &quot;-&quot; and &quot;_&quot;</translation>
    </message>
</context>
<context>
    <name>o5::TfBB</name>
    <message>
        <source>Акт диагностики…</source>
        <translation>Diagnostics report…</translation>
    </message>
    <message>
        <source>Акт диагностики для заказчика: отопитель, черный ящик, пуски за день, график (%1)</source>
        <extracomment>%1 is the action&apos;s shortcut.</extracomment>
        <translation>Diagnostics report for the customer: heater, black box, runs of the day, graph (%1)</translation>
    </message>
</context>
<context>
    <name>o5::TfGraph</name>
    <message>
        <source>Весь пуск</source>
        <translation>Whole run</translation>
    </message>
    <message>
        <source>Что показывает график</source>
        <translation>What the graph shows</translation>
    </message>
    <message>
        <source>Журнал %1 — пуск %2 из %3</source>
        <translation>Log %1 — run %2 of %3</translation>
    </message>
    <message>
        <source>Нет пуска</source>
        <translation>No run</translation>
    </message>
    <message>
        <source>Текущий пуск — идёт, с %1</source>
        <translation>Current run — going on, since %1</translation>
    </message>
    <message>
        <source>Текущий пуск — идёт</source>
        <translation>Current run — going on</translation>
    </message>
    <message>
        <source>Текущий пуск — закончен в %1, %2</source>
        <translation>Current run — ended at %1, %2</translation>
    </message>
    <message>
        <source>Текущий пуск — закончен, %1</source>
        <translation>Current run — ended, %1</translation>
    </message>
    <message>
        <source>%1; пуск начат %2, длительность %3</source>
        <extracomment>The picture&apos;s title %1 and the run charted: its start %2 and its length %3.</extracomment>
        <translation>%1; run started %2, duration %3</translation>
    </message>
    <message>
        <source>%1; длительность пуска %2</source>
        <extracomment>The picture&apos;s title %1 and the length %2 of the run charted.</extracomment>
        <translation>%1; run duration %2</translation>
    </message>
</context>
<context>
    <name>o5::TfHistory</name>
    <message>
        <source>Акт диагностики…</source>
        <translation>Diagnostics report…</translation>
    </message>
</context>
<context>
    <name>o5::TfMain</name>
    <message>
        <source>Удалённый доступ…</source>
        <translation>Remote access…</translation>
    </message>
    <message>
        <source>Команды подаются только на стенде</source>
        <translation>Commands are given only at the bench</translation>
    </message>
    <message>
        <source>на связи</source>
        <translation>connected</translation>
    </message>
    <message>
        <source>нет связи</source>
        <translation>no connection</translation>
    </message>
    <message>
        <source>Стенд %1: наблюдение</source>
        <translation>Bench %1: watching</translation>
    </message>
</context>
<context>
    <name>o5::TfVisitAct</name>
    <message>
        <source>Акт диагностики</source>
        <translation>Diagnostics report</translation>
    </message>
    <message>
        <source>П&amp;уски визита:</source>
        <translation>R&amp;uns of the visit:</translation>
    </message>
    <message>
        <source>Пуски визита</source>
        <translation>Runs of the visit</translation>
    </message>
    <message>
        <source>начало не записано</source>
        <translation>start not recorded</translation>
    </message>
    <message>
        <source>Пуск %1: %2, %3, %4</source>
        <translation>Run %1: %2, %3, %4</translation>
    </message>
    <message>
        <source>без неисправностей</source>
        <translation>no faults</translation>
    </message>
    <message>
        <source>неисправности: %1</source>
        <translation>faults: %1</translation>
    </message>
    <message>
        <source>График пуска</source>
        <translation>Graph of the run</translation>
    </message>
    <message>
        <source>&amp;График пуска:</source>
        <translation>&amp;Graph of the run:</translation>
    </message>
    <message>
        <source>&amp;Сохранить…</source>
        <translation>&amp;Save…</translation>
    </message>
    <message>
        <source>&amp;Печать…</source>
        <translation>&amp;Print…</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Пуск %1</source>
        <translation>Run %1</translation>
    </message>
    <message>
        <source>Без графика</source>
        <translation>No graph</translation>
    </message>
    <message>
        <source>Сохранить акт</source>
        <translation>Save report</translation>
    </message>
    <message>
        <source>Акт PDF (*.pdf)</source>
        <translation>PDF report (*.pdf)</translation>
    </message>
</context>
<context>
    <name>o5::TfWorkshop</name>
    <message>
        <source>Стенды мастерской %1</source>
        <translation>Benches of workshop %1</translation>
    </message>
    <message>
        <source>Стенд</source>
        <translation>Bench</translation>
    </message>
    <message>
        <source>Связь</source>
        <translation>Connection</translation>
    </message>
    <message>
        <source>Отопитель</source>
        <translation>Heater</translation>
    </message>
    <message>
        <source>Режим</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>Неисправность</source>
        <translation>Fault</translation>
    </message>
    <message>
        <source>Последняя запись</source>
        <translation>Last record</translation>
    </message>
    <message>
        <source>на связи</source>
        <translation>connected</translation>
    </message>
    <message>
        <source>нет связи</source>
        <translation>no connection</translation>
    </message>
</context>
<context>
    <name>o5::TfrmModes</name>
    <message>
        <source>активна</source>
        <translation>active</translation>
    </message>
    <message>
        <source>%1, активна</source>
        <extracomment>A fault bit&apos;s name, %1, that the heater reports now.</extracomment>
        <translation>%1, active</translation>
    </message>
</context>
</TS>
