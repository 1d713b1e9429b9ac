#include "editor/TagCompletion.h"
#include "platform/RichTextControl.h"

#include <QtTest>

namespace {

// A command list as the program keeps it: it starts with an empty element, and BODY comes before B.
const QStringList kWords{"", "BODY", "B", "BR", "TABLE", "TD", "TITLE", "P"};

// Texts are written with the selection between "[" and "]" ("[]" is the cursor); breaks are CR LF.
void setMarked(RichTextControl& control, QString text) {
    const int open = int(text.indexOf(QLatin1Char('[')));
    text.remove(open, 1);
    const int close = int(text.indexOf(QLatin1Char(']')));
    text.remove(close, 1);
    control.setText(text);
    control.select(open, close - open);
}

QString marked(const RichTextControl& control) {
    QString text = control.text();
    text.insert(control.selStart() + control.selLength(), QLatin1Char(']'));
    text.insert(control.selStart(), QLatin1Char('['));
    return text;
}

} // namespace

class TestTagCompletion : public QObject {
    Q_OBJECT

private slots:
    // The text before Ctrl+Space and after the edit is applied; the same text means no edit at all.
    void complete_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QStringList>("words");
        const auto row = [](const char* name, const char* before, const char* after,
                            const QStringList& words = kWords) {
            QTest::newRow(name) << QString::fromUtf8(before) << QString::fromUtf8(after) << words;
        };
        row("first word of the document", "ta[] x", "TA[BLE] x");
        row("word after a space on a later line", "<p>\r\nsome ti[] end", "<p>\r\nsome TI[TLE] end");
        row("word at the start of a later line", "<p>x\r\nbo[]", "<p>x\r\nBO[DY]");
        row("whole name typed takes the entry's spelling", "x table[]", "x TABLE[]");
        row("first entry in list order, any case", "Tx b[]", "Tx B[ODY]");
        row("no match", "zz[] td", "zz[] td");
        row("tab does not end a word", "x\tta[]", "x\tta[]");
        row("again right after a completion", "TA[BLE] x", "TA[BLE] x");
        row("again after a completion, other case", "ta[ble]", "ta[ble]");
        row("tag before the typing aid's bracket", "x <ta[]>y", "x <TA[BLE]>y");
        row("tag without a bracket after the cursor", "<bo[] x", "<BO[DY] x");
        row("the nearest less-than counts", "<p><t[]", "<p><T[ABLE]");
        row("tag typed out to the longest entry", "<title[]", "<TITLE[]");
        row("tag on a later line", "<b>x\r\n<ti[]>", "<b>x\r\n<TI[TLE]>");
        row("again after a tag completion", "<TA[BLE]>", "<TA[BLE]>");
        row("tag already complete", "<b[]>", "<b[]>");
        row("tag already complete, cursor inside the name", "<ta[]ble>", "<ta[]ble>");
        row("tag already complete in another case", "x<Td[]>", "x<Td[]>");
        row("no less-than and no word: empty document", "[]", "[]");
        row("no less-than and no word: after a space", "td x []", "td x []");
        row("no less-than and no word: start of a line", "td\r\n[]x", "td\r\n[]x");
        row("less-than far before the cursor", "<p>some text here[]", "<p>some text here[]");
        row("empty entry skipped after a lone less-than", "<[]>", "<[BODY]>");
        row("empty entry never makes a tag complete", "<[]>", "<[]>", {""});
        row("empty entry never matches a word", "x[]", "x[]", {""});
        // Case is compared letter by letter: the upper case of "ß" is two letters, and the edit
        // must never reach past what was typed.
        row("word whose upper case is longer", "straß[]xy", "straß[]xy", {"STRASSE"});
    }

    void complete() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(QStringList, words);
        RichTextControl control;
        setMarked(control, before);
        QCOMPARE(marked(control), before);

        const std::optional<CompletionEdit> edit = CompleteTagName(control, words);
        QCOMPARE(edit.has_value(), after != before);
        if (edit) {
            control.select(edit->start, edit->length);
            control.setSelText(edit->text);
            control.select(edit->selectStart, edit->selectLength);
        }
        QCOMPARE(marked(control), after);
    }
};

QTEST_MAIN(TestTagCompletion)
#include "tst_tagcompletion.moc"
