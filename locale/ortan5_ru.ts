<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru" sourcelanguage="ru">
<context>
    <name>BlackBoxExport</name>
    <message numerus="yes">
        <source>в файле %n байт, а образ черного ящика занимает 256 байт</source>
        <translation>
            <numerusform>в файле %n байт, а образ черного ящика занимает 256 байт</numerusform>
            <numerusform>в файле %n байта, а образ черного ящика занимает 256 байт</numerusform>
            <numerusform>в файле %n байт, а образ черного ящика занимает 256 байт</numerusform>
        </translation>
    </message>
</context>
</TS>
