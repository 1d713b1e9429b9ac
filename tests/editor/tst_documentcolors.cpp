#include "editor/mdlFile.h"
#include "support/AppFixture.h"

#include <QAction>
#include <QMenu>
#include <QTest>

// Colours in document windows, and that colouring never marks a document changed.
class DocumentColorsTest : public QObject {
    Q_OBJECT

    // A letter per character: t(ag) v(alue) c(omment) x(text) o(ther: 1, 2, 3), ? for any other
    // colour, and a space for each character of a line break.
    static QString colorMap(const RichTextControl& control) {
        QString map;
        for (int i = 0; i < control.textLength(); ++i) {
            const qsizetype role =
                QList<ColorValue>{200, 13107200, 25600, 0, 0x030201}.indexOf(control.colorAt(i));
            map += QStringLiteral("\r\n").contains(control.charAt(i)) ? QChar(' ')
                                                                      : QStringLiteral("?tvcxo").at(role + 1);
        }
        return map;
    }
    static bool clean(AppFixture& app, frmNotepad* window) {
        const DocumentSlot& record = app.record(window->slot());
        return !record.Modified && !window->windowTitle().endsWith('*') && !record.PathCaption.endsWith('*');
    }

private slots:
    // Opened files are coloured unless colours are off or the tags were removed, and stay clean. A
    // save in another line-break format paints the text afresh, colours painted by hand too.
    void openedFileIsColouredAndRepaintedOnSave_data() {
        QTest::addColumn<bool>("useColors");
        QTest::addColumn<int>("doOnOpen");
        QTest::addColumn<QString>("map");
        QTest::addColumn<QString>("saved");
        const QString coloured = QStringLiteral("tttttvvt  cccccccc  "),
                      plain = QStringLiteral("xxxxxxxx  xxxxxxxx  ");
        QTest::newRow("coloured") << true << 0 << coloured << coloured;
        QTest::newRow("colours off") << false << 0 << plain << plain;
        QTest::newRow("tags removed on open: not coloured")
            << true << 2 << QStringLiteral("  xxxxxxxx  ") << QStringLiteral("  cccccccc  ");
        QTest::newRow("unix on open still coloured") << true << 5 << coloured << coloured;
    }
    void openedFileIsColouredAndRepaintedOnSave() {
        QFETCH(bool, useColors);
        QFETCH(int, doOnOpen);
        QFETCH(QString, map);
        QFETCH(QString, saved);
        AppFixture app;
        const QString path = app.env.writeFile("c.htm", "<a b=\"\">\n<!-- -->\n");
        app.start();
        app.main->mutableSettings().UseColors = useColors;
        app.main->mutableSettings().DoOnOpen = doOnOpen;
        frmNotepad* window = OpenDocument(*app.main, path);
        QVERIFY(window);
        QCOMPARE(colorMap(*window->txtRich), map);
        QVERIFY(clean(app, window));
        window->txtRich->paint(1, 2, 0x030201);
        window->txtRich->setSelStart(5);
        QVERIFY(SaveCommand(*app.main, window->slot()));
        QCOMPARE(TestEnvironment::readFile(path),
                 QByteArray(doOnOpen == 2 ? "\n<!-- -->\n" : "<a b=\"\">\n<!-- -->\n"));
        QCOMPARE(colorMap(*window->txtRich), saved);
        QCOMPARE(window->txtRich->selStart(), 5);
        QVERIFY(clean(app, window));
    }

    // A new document is coloured clean from its template, with the cursor at the marker; markup
    // inserted there is coloured while colours are on, and marks the document changed. A typed
    // character takes the colour of where it lands (typed from the end backwards).
    void newDocumentInsertedMarkupAndTyping() {
        AppFixture app;
        app.env.writeFile("data/Quillora/default.htm", "<!--c--><P>@@</P>");
        app.start();
        frmNotepad* window = app.document(0);
        RichTextControl* control = window->txtRich;
        QCOMPARE(colorMap(*control), QStringLiteral("ccccccccttttttt"));
        QVERIFY(clean(app, window));
        window->InsertAtCursor(QStringLiteral("<I A=\"x\">"));
        app.main->mutableSettings().UseColors = false;
        window->InsertAtCursor(QStringLiteral("<B>"));
        QCOMPARE(control->text(), QStringLiteral("<!--c--><P><I A=\"x\"><B></P>"));
        QCOMPARE(colorMap(*control), QStringLiteral("ccccccccttttttttvvvtxxxtttt"));
        QVERIFY(app.record(0).Modified);
        app.main->mutableSettings().UseColors = true;
        for (const auto& [cursor, expected] : {std::pair{20, 'x'}, {17, 'v'}, {12, 't'}, {4, 'c'}}) {
            control->setSelStart(cursor);
            QTest::keyClick(control, Qt::Key_Z);
            QCOMPARE(control->charAt(cursor), QChar('z'));
            QCOMPARE(colorMap(*control).at(cursor), QChar(expected));
        }
    }

    // Colour commands on the selection "b>x" of "<b>xy", whose "<" an earlier "Other..." painted
    // (9, 9, 9). A cancelled "Other..." paints nothing; black is painted like any other colour.
    // Colorize Document recolours the selection, Remove Colors the whole text. None of them
    // changes the text or marks the document changed.
    void colorCommands_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QColor>("chosen"); // invalid: the dialog is cancelled
        QTest::addColumn<QString>("map");
        QTest::newRow("Tag") << "mnuColTag" << QColor() << "?tttx";
        QTest::newRow("Comment") << "mnuColComment" << QColor() << "?cccx";
        QTest::newRow("Value") << "mnuColValue" << QColor() << "?vvvx";
        QTest::newRow("Text") << "mnuColText" << QColor() << "?xxxx";
        QTest::newRow("Other") << "mnuColOther" << QColor(1, 2, 3) << "?ooox";
        QTest::newRow("Other, black") << "mnuColOther" << QColor(Qt::black) << "?xxxx";
        QTest::newRow("Other, cancelled") << "mnuColOther" << QColor() << "?ttxx";
        QTest::newRow("Colorize Document") << "mnuColorize" << QColor() << "tttxx";
        QTest::newRow("Remove Colors") << "mnuRemoveColors" << QColor() << "xxxxx";
    }
    void colorCommands() {
        QFETCH(QString, item);
        QFETCH(QColor, chosen);
        QFETCH(QString, map);
        AppFixture app;
        app.start({app.env.writeFile("doc.htm", "<b>xy")});
        frmNotepad* window = app.document(0);
        app.dialogs.colors.enqueue(QColor(9, 9, 9));
        window->txtRich->select(0, 1);
        app.main->popupMenu()->findChild<QAction*>("mnuColOther")->trigger();
        window->txtRich->select(1, 3);
        if (chosen.isValid())
            app.dialogs.colors.enqueue(chosen);
        QAction* action = window->findChild<QAction*>(item);
        (action ? action : app.main->popupMenu()->findChild<QAction*>(item))->trigger();
        QCOMPARE(colorMap(*window->txtRich), map);
        QCOMPARE(window->txtRich->text(), QStringLiteral("<b>xy"));
        QVERIFY(clean(app, window));
    }
};

QTEST_MAIN(DocumentColorsTest)
#include "tst_documentcolors.moc"
