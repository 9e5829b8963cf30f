<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>StatusMenu</name>
    <message numerus="yes">
        <source>%n device(s) connected</source>
        <translation>
            <numerusform>%n device connected</numerusform>
            <numerusform>%n devices connected</numerusform>
        </translation>
    </message>
</context>
</TS>
