<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>kiv</name>
    <message numerus="yes">
        <source>The clipboard now holds the encrypted text (%n parts)</source>
        <translation>
            <numerusform>The clipboard now holds the encrypted text (%n part)</numerusform>
            <numerusform>The clipboard now holds the encrypted text (%n parts)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The clipboard now holds the decrypted text (%n parts)</source>
        <translation>
            <numerusform>The clipboard now holds the decrypted text (%n part)</numerusform>
            <numerusform>The clipboard now holds the decrypted text (%n parts)</numerusform>
        </translation>
    </message>
</context>
</TS>
