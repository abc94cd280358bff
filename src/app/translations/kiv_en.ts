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
    <message numerus="yes">
        <source>The password did not match: files written into %1: %n, probably unreadable</source>
        <translation>
            <numerusform>The password did not match: files written into %1: %n, probably unreadable</numerusform>
            <numerusform>The password did not match: files written into %1: %n, probably unreadable</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Files in %1 hold other content than the restore would write: %n

%2

Replace: these files are replaced and lost.
Keep both: each restored file gets a name such as &quot;%3&quot;.
Skip: these files are left as they are and not restored.</source>
        <translation>
            <numerusform>A file in %1 holds other content than the restore would write:

%2

Replace: it is replaced and lost.
Keep both: the restored file gets a name such as &quot;%3&quot;.
Skip: it is left as it is and not restored.</numerusform>
            <numerusform>Files in %1 hold other content than the restore would write: %n

%2

Replace: these files are replaced and lost.
Keep both: each restored file gets a name such as &quot;%3&quot;.
Skip: these files are left as they are and not restored.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>… and more: %n</source>
        <translation>
            <numerusform>… and more: %n</numerusform>
            <numerusform>… and more: %n</numerusform>
        </translation>
    </message>
</context>
</TS>
