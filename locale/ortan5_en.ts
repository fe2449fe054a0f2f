<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>TfVisitAct</name>
    <message>
        <source>Печать акта диагностики</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>ortan5: дисплей %1 недоступен, окна показать негде</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>o5::RunListDialog</name>
    <message>
        <source>№</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Начало</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Длительность</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Дошёл до</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Неисправности</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>—</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>o5::TRemoteSetupDlg</name>
    <message>
        <source>Удалённый доступ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Брокер:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Мастерская:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Стенд:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Пользователь:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Пароль:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сертификат центра (PEM):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Проверить связь</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Адрес брокера: mqtt://узел[:порт] или mqtts://узел[:порт]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Мастерская и стенд: латинские буквы, цифры, &quot;-&quot; и &quot;_&quot;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>o5::TfBB</name>
    <message>
        <source>Акт диагностики…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Акт диагностики для заказчика: отопитель, черный ящик, пуски за день, график</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>o5::TfGraph</name>
    <message>
        <source>; пуск начат %1, длительность %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; длительность пуска %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>o5::TfHistory</name>
    <message>
        <source>Акт диагностики…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>o5::TfMain</name>
    <message>
        <source>Удалённый доступ…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Команды подаются только на стенде</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>на связи</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>нет связи</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Стенд %1: наблюдение</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>o5::TfVisitAct</name>
    <message>
        <source>Акт диагностики</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>П&amp;уски визита:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Пуски визита</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>начало не записано</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Пуск %1: %2, %3, %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>без неисправностей</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>неисправности: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>График пуска</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;График пуска:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Сохранить…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Печать…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Пуск %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Без графика</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить акт</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Акт PDF (*.pdf)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>o5::TfWorkshop</name>
    <message>
        <source>Стенды мастерской %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Стенд</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Связь</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отопитель</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Режим</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Неисправность</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Последняя запись</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>на связи</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>нет связи</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
