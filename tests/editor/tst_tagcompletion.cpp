#include "editor/TagCompletion.h"
#include "markup/CompletionLists.h"
#include "platform/RichTextControl.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"
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
        control.setText(unmarked(before));
        selectMarked(control, before);
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

    // Keys in a document window of the program, with the shipped command and attribute lists.
    void keys_data() {
        table({"before", "keys", "after"},
              {"HTML5 name after a blank; x |; nav{Ctrl+Space}; x NAV|",
               "section, not select; |; sec{Ctrl+Space}; SEC[TION]",
               "main in a tag; |; <mai{Ctrl+Space}; <MAI[N]>", "article; |; <art{Ctrl+Space}; <ART[ICLE]>",
               "element's first attribute; |; <a {Ctrl+Space}; <a [href]>",
               "partial name; <img |>; s{Ctrl+Space}; <img s[rc]>",
               "global after the element's own; <div |>; s{Ctrl+Space}; <div s[tyle]>",
               "global in an element without a line; <nav |>; ari{Ctrl+Space}; <nav ari[a-label]>",
               "entry's case; <A |>; HR{Ctrl+Space}; <A hr[ef]>",
               "attributes present skipped; <a | href=\"x\">; {Ctrl+Space}; <a [target] href=\"x\">",
               "name on a later line; <input\r\n  |>; ty{Ctrl+Space}; <input\r\n  ty[pe]>",
               "quoted > inside the tag; <a title='1>0' |>; t{Ctrl+Space}; <a title='1>0' t[arget]>",
               "again after a completion; <a h[ref]>; {Ctrl+Space}; <a h[ref]>",
               "not in a value; <a href=\"|\">; {Ctrl+Space}; <a href=\"|\">",
               "not after =; <a href=|>; {Ctrl+Space}; <a href=|>",
               "not glued to a value; <a href=\"x\"t|>; {Ctrl+Space}; <a href=\"x\"t|>",
               "not outside a tag; <p>x |; {Ctrl+Space}; <p>x |",
               "not in a comment; <!-- <a |; {Ctrl+Space}; <!-- <a |",
               "no tag name where no attribute fits; <b u|>; {Ctrl+Space}; <b u|>"});
    }
    void keys() {
        QFETCH(QString, before);
        AppFixture app;
        app.start();
        frmNotepad* window = app.document(0);
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()));
        window->txtRich->setFocus();
        window->txtRich->setText(unmarked(before));
        window->colorizeWhole();
        selectMarked(*window->txtRich, before);
        typeKeys(window->txtRich, cell("keys"));
        QTEST(render(*window->txtRich), "after");
    }

    // A user's list gets the shipped words it lacks once, in its own breaks and encoding; one
    // that cannot be read or written is left alone until it can. Shipped here: A, NAV, MAIN.
    void upgrade_data() {
        table({"mode", "before", "after"},
              {"CR LF, own words and case kept; ; x\r\nnav\r\n\r\nA\r\n; x\r\nnav\r\n\r\nA\r\nMAIN\r\n",
               "no break at the end; ; B\n  a ; B\n  a \nNAV\nMAIN", "lone CR; ; B\r; B\rA\rNAV\rMAIN\r",
               "UTF-8 with byte-order mark; ; \xEF\xBB\xBF\xC3\xA9\n; \xEF\xBB\xBF\xC3\xA9\nA\nNAV\nMAIN\n",
               "empty list stays empty; ; \r\n; \r\n", "read-only; r; B\n; B\nA\nNAV\nMAIN\n",
               "unreadable; -; B\n; B\nA\nNAV\nMAIN\n"});
    }
    void upgrade() {
        QFETCH(QString, mode);
        QFETCH(QString, before);
        QFETCH(QString, after);
        TestEnvironment env;
        QSettings("Quillora", "Quillora").clear();
        const QString shipped = env.writeFile("shipped.txt", "A\nNAV\nMAIN\n");
        const QString path = env.writeFile("p/commands.txt", before.toUtf8());
        const auto upgraded = [&] {
            UpgradeCommandList(path, shipped);
            return TestEnvironment::readFile(path);
        };
        if (!mode.isEmpty()) {
            const AsUser user(env.root());
            QVERIFY(QFile::setPermissions(path, QFile::Permissions(mode == "r" ? 0x4444 : 0)));
            for (int start = 0; start < 2; ++start) {
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression("command list not brought up to date"));
                UpgradeCommandList(path, shipped);
            }
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
            QCOMPARE(TestEnvironment::readFile(path), before.toUtf8());
        }
        QCOMPARE(upgraded(), after.toUtf8());
        QCOMPARE(upgraded(), after.toUtf8()); // a second start adds nothing
        env.writeFile("p/commands.txt", before.toUtf8());
        QCOMPARE(upgraded(), before.toUtf8()); // words deleted after they were offered stay deleted
    }

    // At start-up an older list is brought up to date once, before it is read.
    void startUpUpgradesOnce() {
        AppFixture app;
        const QString path = app.env.writeFile("data/Quillora/commands.txt", "TABLE\r\nNAV\r\n");
        app.start();
        const QByteArray upgraded = TestEnvironment::readFile(path);
        QVERIFY(upgraded.startsWith("TABLE\r\nNAV\r\nA\r\nABBR\r\n") && upgraded.endsWith("\r\nWBR\r\n"));
        QCOMPARE(upgraded.count("NAV"), 1);
        QVERIFY(app.main->commandWords().contains("SECTION"));
        app.main.reset();
        app.start();
        QCOMPARE(TestEnvironment::readFile(path), upgraded);
    }
};

QTEST_MAIN(TestTagCompletion)
#include "tst_tagcompletion.moc"
