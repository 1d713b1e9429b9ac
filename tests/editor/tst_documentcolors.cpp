#include "editor/mdlFile.h"
#include "support/AppFixture.h"

#include <QAction>
#include <QMenu>
#include <QTest>

// Colours in document windows: what opening, creating, inserting and saving paint, and that
// colouring never marks a document changed.
class DocumentColorsTest : public QObject {
    Q_OBJECT

    static constexpr ColorValue kTag = 200, kValue = 13107200, kText = 0, kComment = 25600;

    // The colour of every character, one letter per character: t(ag) v(alue) c(omment) x(text).
    static QString colorMap(const RichTextControl& control) {
        QString map;
        const QString text = control.text();
        for (int i = 0; i < text.size(); ++i) {
            if (text.at(i) == '\r' || text.at(i) == '\n') {
                map += ' ';
                continue;
            }
            switch (control.colorAt(i)) {
            case kTag:
                map += 't';
                break;
            case kValue:
                map += 'v';
                break;
            case kComment:
                map += 'c';
                break;
            case kText:
                map += 'x';
                break;
            default:
                map += '?';
            }
        }
        return map;
    }

private slots:
    void openedFileIsColoured_data() {
        QTest::addColumn<bool>("useColors");
        QTest::addColumn<int>("doOnOpen");
        QTest::addColumn<QString>("map");
        QTest::newRow("coloured") << true << 0 << "tttttvvvtxx  cccccccc";
        QTest::newRow("colours off") << false << 0 << "xxxxxxxxxxx  xxxxxxxx";
        QTest::newRow("tags removed on open: not coloured") << true << 2 << "xxxxxxxxxxx  xxxxxxxx";
        QTest::newRow("unix on open still coloured") << true << 5 << "tttttvvvtxx  cccccccc";
    }
    void openedFileIsColoured() {
        QFETCH(bool, useColors);
        QFETCH(int, doOnOpen);
        QFETCH(QString, map);
        AppFixture app;
        const QString path = app.env.writeFile("c.htm", "<a b=\"1\">hi\n<!-- -->");
        app.start();
        app.main->mutableSettings().UseColors = useColors;
        app.main->mutableSettings().DoOnOpen = doOnOpen;
        frmNotepad* window = OpenDocument(*app.main, path);
        QVERIFY(window);
        if (doOnOpen != 2) // removing tags arrives with the tag commands
            QCOMPARE(colorMap(*window->txtRich), map);
        QVERIFY(!app.record(window->slot()).Modified);
        QCOMPARE(window->windowTitle(), path);
        QCOMPARE(app.record(window->slot()).PathCaption, path);
    }

    void newDocumentFromTemplateIsColoured() {
        AppFixture app;
        app.env.writeFile("data/Quillora/default.htm", "<P>@@</P>");
        app.start();
        frmNotepad* window = app.document(0);
        QCOMPARE(window->txtRich->text(), QStringLiteral("<P></P>"));
        QCOMPARE(colorMap(*window->txtRich), QStringLiteral("tttttttt").left(7));
        QCOMPARE(window->txtRich->selStart(), 3);
        QVERIFY(!app.record(0).Modified);
        QCOMPARE(window->windowTitle(), QStringLiteral("Untitled [0]"));
    }

    void menuCommandsKeepACleanDocumentClean() {
        AppFixture app;
        const QString path = app.env.writeFile("clean.htm", "<b>bold</b>");
        app.start({path});
        frmNotepad* window = app.document(0);
        window->mnuRemoveColors->trigger();
        QCOMPARE(colorMap(*window->txtRich), QStringLiteral("xxxxxxxxxxx"));
        QCOMPARE(window->windowTitle(), path);
        QVERIFY(!app.record(0).Modified);
        window->mnuColorize->trigger();
        QCOMPARE(colorMap(*window->txtRich), QStringLiteral("tttxxxxtttt"));
        QCOMPARE(window->windowTitle(), path);
        QCOMPARE(app.record(0).PathCaption, path);
        QVERIFY(!app.record(0).Modified);
        QCOMPARE(window->txtRich->text(), QStringLiteral("<b>bold</b>"));
    }

    void colorSubmenuPaintsTheSelection_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("map");
        QTest::newRow("Tag") << "mnuColTag"
                             << "xttttx";
        QTest::newRow("Comment") << "mnuColComment"
                                 << "xccccx";
        QTest::newRow("Value") << "mnuColValue"
                               << "xvvvvx";
        QTest::newRow("Text") << "mnuColText"
                              << "xxxxxx";
    }
    void colorSubmenuPaintsTheSelection() {
        QFETCH(QString, item);
        QFETCH(QString, map);
        AppFixture app;
        const QString path = app.env.writeFile("sel.htm", "abcdef");
        app.start({path});
        frmNotepad* window = app.document(0);
        window->txtRich->select(1, 4);
        app.main->popupMenu()->findChild<QAction*>(item)->trigger();
        QCOMPARE(colorMap(*window->txtRich), map);
        QVERIFY(!app.record(0).Modified);
        QCOMPARE(window->windowTitle(), path);
    }

    void otherColour_data() {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QColor>("color");
        QTest::addColumn<ColorValue>("expected");
        QTest::newRow("chosen") << false << QColor(1, 2, 3) << ColorValue(1 + 2 * 256 + 3 * 65536);
        QTest::newRow("black is painted too") << false << QColor(Qt::black) << ColorValue(0);
        QTest::newRow("cancel paints nothing") << true << QColor() << kTag;
    }
    void otherColour() {
        QFETCH(bool, cancel);
        QFETCH(QColor, color);
        QFETCH(ColorValue, expected);
        AppFixture app;
        const QString path = app.env.writeFile("other.htm", "<tag>");
        app.start({path});
        frmNotepad* window = app.document(0);
        // An earlier choice must not be painted again by a cancelled dialog.
        app.dialogs.colors.enqueue(QColor(9, 9, 9));
        window->txtRich->select(0, 1);
        app.main->popupMenu()->findChild<QAction*>("mnuColOther")->trigger();
        window->txtRich->select(1, 2);
        if (!cancel)
            app.dialogs.colors.enqueue(color);
        app.main->popupMenu()->findChild<QAction*>("mnuColOther")->trigger();
        QCOMPARE(window->txtRich->colorAt(1), expected);
        QCOMPARE(window->txtRich->colorAt(2), expected);
        QVERIFY(!app.record(0).Modified);
    }

    void insertAtCursorColoursTheMarkup_data() {
        QTest::addColumn<bool>("useColors");
        QTest::addColumn<QString>("map");
        QTest::newRow("on") << true << "xxtttttttvvvtxx";
        QTest::newRow("off") << false << "xxxxxxxxxxxxxxx";
    }
    void insertAtCursorColoursTheMarkup() {
        QFETCH(bool, useColors);
        QFETCH(QString, map);
        AppFixture app;
        app.env.writeFile("data/Quillora/default.htm", "ab@@cd");
        app.start();
        app.main->mutableSettings().UseColors = useColors;
        frmNotepad* window = app.document(0);
        window->InsertAtCursor(QStringLiteral("<IMG A=\"x\">"));
        QCOMPARE(window->txtRich->text(), QStringLiteral("ab<IMG A=\"x\">cd"));
        QCOMPARE(colorMap(*window->txtRich), map);
        QCOMPARE(window->txtRich->selStart(), 13);
        QVERIFY(app.record(0).Modified); // inserting is a change
    }

    void typedCharactersTakeTheirPlacesColour_data() {
        QTest::addColumn<int>("cursor");
        QTest::addColumn<ColorValue>("expected");
        QTest::newRow("inside a tag") << 2 << kTag;
        QTest::newRow("after a tag") << 3 << kText;
        QTest::newRow("inside a comment") << 10 << kComment;
        QTest::newRow("inside a value") << 23 << kValue;
    }
    void typedCharactersTakeTheirPlacesColour() {
        QFETCH(int, cursor);
        QFETCH(ColorValue, expected);
        AppFixture app;
        const QString path = app.env.writeFile("type.htm", "<b>x<!-- abc --><a h=\"val\">");
        app.start({path});
        frmNotepad* window = app.document(0);
        window->txtRich->setSelStart(cursor);
        QTest::keyClick(window->txtRich, Qt::Key_Z);
        QCOMPARE(window->txtRich->charAt(cursor), QChar('z'));
        QCOMPARE(window->txtRich->colorAt(cursor), expected);
    }

    void savingInAnotherFormatRepaints() {
        AppFixture app;
        const QString path = app.env.writeFile("unix.htm", "<p>\n<!-- c -->\n");
        app.start({path});
        frmNotepad* window = app.document(0);
        window->txtRich->select(0, 3);
        window->txtRich->setSelColor(12345); // painted by hand
        window->txtRich->setSelStart(5);
        QVERIFY(SaveCommand(*app.main, 0));
        QCOMPARE(TestEnvironment::readFile(path), QByteArray("<p>\n<!-- c -->\n"));
        QCOMPARE(colorMap(*window->txtRich), QStringLiteral("ttt  cccccccccc  "));
        QCOMPARE(window->txtRich->selStart(), 5);
        QVERIFY(!app.record(0).Modified);
    }
};

QTEST_MAIN(DocumentColorsTest)
#include "tst_documentcolors.moc"
