#include "editor/mdlFile.h"
#include "support/AppFixture.h"

#include <QAction>
#include <QMenu>
#include <QTest>

// Colours in document windows: what opening, creating, inserting, typing, the colour commands and
// saving paint, and that colouring never marks a document changed.
class DocumentColorsTest : public QObject {
    Q_OBJECT

    static constexpr ColorValue kTag = 200, kValue = 13107200, kComment = 25600, kText = 0, kOther = 0x030201;

    // One letter per character: t(ag) v(alue) c(omment) x(text) o(ther, 1 2 3), ? anything else,
    // and a space for each character of a line break.
    static QString colorMap(const RichTextControl& control) {
        QString map;
        for (int i = 0; i < control.textLength(); ++i) {
            const QChar ch = control.charAt(i);
            const qsizetype role =
                QList<ColorValue>{kTag, kValue, kComment, kText, kOther}.indexOf(control.colorAt(i));
            map += ch == '\r' || ch == '\n' ? QChar(' ') : QStringLiteral("tvcxo?").at(role < 0 ? 5 : role);
        }
        return map;
    }
    // Starts the program on one file and returns its window.
    static frmNotepad* open(AppFixture& app, const QByteArray& content) {
        app.start({app.env.writeFile("doc.htm", content)});
        return app.document(0);
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
        QTest::newRow("tags removed on open: not coloured") << true << 2 << plain << coloured;
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
        QCOMPARE(window->windowTitle(), path);
        QVERIFY(clean(app, window));
        window->txtRich->select(1, 2);
        window->txtRich->setSelColor(0x030201);
        window->txtRich->setSelStart(5);
        QVERIFY(SaveCommand(*app.main, window->slot()));
        QCOMPARE(TestEnvironment::readFile(path), QByteArray("<a b=\"\">\n<!-- -->\n"));
        QCOMPARE(colorMap(*window->txtRich), saved);
        QCOMPARE(window->txtRich->selStart(), 5);
        QVERIFY(clean(app, window));
    }

    // A new document is coloured clean from its template, with the cursor at the marker; markup
    // inserted there is coloured when colours are on, and marks the document changed.
    void newDocumentAndInsertedMarkup_data() {
        QTest::addColumn<bool>("useColors");
        QTest::addColumn<QString>("map");
        QTest::newRow("colours on") << true << "ttttttttttvvvttttt";
        QTest::newRow("colours off") << false << "tttxxxxxxxxxxxtttt";
    }
    void newDocumentAndInsertedMarkup() {
        QFETCH(bool, useColors);
        QFETCH(QString, map);
        AppFixture app;
        app.env.writeFile("data/Quillora/default.htm", "<P>@@</P>");
        app.start();
        frmNotepad* window = app.document(0);
        QCOMPARE(window->txtRich->text(), QStringLiteral("<P></P>"));
        QCOMPARE(colorMap(*window->txtRich), QStringLiteral("ttttttt"));
        QVERIFY(clean(app, window));
        app.main->mutableSettings().UseColors = useColors;
        window->InsertAtCursor(QStringLiteral("<IMG A=\"x\">"));
        QCOMPARE(window->txtRich->text(), QStringLiteral("<P><IMG A=\"x\"></P>"));
        QCOMPARE(colorMap(*window->txtRich), map);
        QCOMPARE(window->txtRich->selStart(), 14);
        QVERIFY(app.record(0).Modified);
    }

    void menuCommandsKeepACleanDocumentClean() {
        AppFixture app;
        frmNotepad* window = open(app, "<b>bold</b>");
        window->mnuRemoveColors->trigger();
        QCOMPARE(colorMap(*window->txtRich), QStringLiteral("xxxxxxxxxxx"));
        QVERIFY(clean(app, window));
        window->mnuColorize->trigger();
        QCOMPARE(colorMap(*window->txtRich), QStringLiteral("tttxxxxtttt"));
        QVERIFY(clean(app, window));
        QCOMPARE(window->txtRich->text(), QStringLiteral("<b>bold</b>"));
    }

    // The Color submenu paints the selection "b>x" of "<b>xy" in a role's colour or one chosen
    // through "Other...", where an earlier choice (9, 9, 9) painted the first character. Cancelling
    // paints nothing; black is painted like any other colour.
    void colorSubmenuPaintsTheSelection_data() {
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
    }
    void colorSubmenuPaintsTheSelection() {
        QFETCH(QString, item);
        QFETCH(QColor, chosen);
        QFETCH(QString, map);
        AppFixture app;
        frmNotepad* window = open(app, "<b>xy");
        app.dialogs.colors.enqueue(QColor(9, 9, 9));
        window->txtRich->select(0, 1);
        app.main->popupMenu()->findChild<QAction*>("mnuColOther")->trigger();
        window->txtRich->select(1, 3);
        if (chosen.isValid())
            app.dialogs.colors.enqueue(chosen);
        app.main->popupMenu()->findChild<QAction*>(item)->trigger();
        QCOMPARE(colorMap(*window->txtRich), map);
        QVERIFY(clean(app, window));
    }

    // A typed character takes the colour of where it lands. Typed from the end backwards, so the
    // earlier places stay where they are.
    void typedCharactersTakeTheirPlacesColour() {
        AppFixture app;
        RichTextControl* control = open(app, "<b>x<!-- abc --><a h=\"val\">")->txtRich;
        for (const auto& [cursor, expected] :
             {std::pair{23, kValue}, {10, kComment}, {3, kText}, {2, kTag}}) {
            control->setSelStart(cursor);
            QTest::keyClick(control, Qt::Key_Z);
            QCOMPARE(control->charAt(cursor), QChar('z'));
            QVERIFY2(control->colorAt(cursor) == expected, QByteArray::number(cursor));
        }
    }
};

QTEST_MAIN(DocumentColorsTest)
#include "tst_documentcolors.moc"
