#include "editor/TagCompletion.h"
#include "platform/RichTextControl.h"
#include "support/DataTable.h"
#include "support/Rendered.h"

#include <QtTest>

// A command list as the program keeps it: it starts with an empty element, and BODY comes before B.
const QStringList kWords{"", "BODY", "B", "BR", "TABLE", "TD", "TITLE", "P"};

class TestTagCompletion : public QObject {
    Q_OBJECT

private slots:
    // The text before Ctrl+Space and after the edit as render() writes it (the same: no edit at all).
    // Words: "" the program's list, "-" a list of the empty entry alone, else the entries given.
    void complete_data() {
        table({"before", "after", "words"},
              {"word after a space, later line; <p>\r\nsome ti| end; <p>\r\nsome TI[TLE] end; ",
               "word starting a later line; <p>x\r\nbo|; <p>x\r\nBO[DY]; ",
               "whole name takes the entry's case; x table|; x TABLE|; ",
               "first entry in order, any case; Tx b|; Tx B[ODY]; ", "no match; zz| td; zz| td; ",
               "tab does not end a word; x\tta|; x\tta|; ",
               "again after a completion; ta[ble] x; ta[ble] x; ",
               "tag before the aid's bracket; x <ta|>y; x <TA[BLE]>y; ",
               "tag without a bracket; <bo| x; <BO[DY] x; ",
               "nearest less-than, later line; <b>x\r\n<p><t|; <b>x\r\n<p><T[ABLE]; ",
               "tag typed out to the longest entry; <title|; <TITLE|; ",
               "complete tag, cursor inside; <ta|ble>; <ta|ble>; ",
               "complete tag, other case; x<Td|>; x<Td|>; ", "empty document; |; |; ",
               "no word at a line's start; td\r\n|x; td\r\n|x; ",
               "less-than too far back; <p>some text here|; <p>some text here|; ",
               "empty entry skipped after a lone <; <|>; <[BODY]>; ",
               "empty entry completes no tag; <|>; <|>; -", "empty entry matches no word; x|; x|; -",
               // The upper case of "ß" is two letters: the edit must never reach past what was typed.
               "word whose upper case is longer; straß|xy; straß|xy; STRASSE"});
    }

    void complete() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(QString, words);
        RichTextControl control;
        const int start = int(before.contains('[') ? before.indexOf('[') : before.indexOf('|'));
        control.setText(QString(before).remove('[').remove(']').remove('|'));
        control.select(start, before.contains('[') ? int(before.indexOf(']')) - start - 1 : 0);
        const std::optional<CompletionEdit> edit =
            CompleteTagName(control, words.isEmpty() ? kWords
                                     : words == "-"  ? QStringList{""}
                                                     : words.split(','));
        QCOMPARE(edit.has_value(), after != before);
        if (edit) {
            control.select(edit->start, edit->length);
            control.setSelText(edit->text);
            control.select(edit->selectStart, edit->selectLength);
        }
        QCOMPARE(render(control), after);
    }
};

QTEST_MAIN(TestTagCompletion)
#include "tst_tagcompletion.moc"
