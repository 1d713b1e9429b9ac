#include "editor/mdlFile.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"

#include <QtTest>
#include <QtWidgets>

// Colours in document windows, and that colouring never marks a document changed.
class DocumentColorsTest : public QObject {
    Q_OBJECT

    // A letter per character: t(ag) v(alue) c(omment) x(text) o(ther: 1, 2, 3), ? for any other
    // colour, _ for each character of a line break; then " changed" if the document shows as changed.
    static QString shown(AppFixture& app, frmNotepad* window) {
        QString map;
        const RichTextControl& text = *window->txtRich;
        for (int i = 0; i < text.textLength(); ++i) {
            const qsizetype role =
                QList<ColorValue>{200, 13107200, 25600, 0, 0x030201}.indexOf(text.colorAt(i));
            map += QStringLiteral("\r\n").contains(text.charAt(i)) ? QChar('_')
                                                                   : QStringLiteral("?tvcxo").at(role + 1);
        }
        const DocumentSlot& record = app.record(window->slot());
        const bool clean =
            !record.Modified && !window->windowTitle().endsWith('*') && !record.PathCaption.endsWith('*');
        return map + (clean ? "" : " changed");
    }

private slots:
    // Opened files (DoOnOpen 5: LF breaks) are coloured, stay clean and are repainted on save.
    void openedFileIsColouredAndRepaintedOnSave_data() {
        table({"useColors", "doOnOpen", "map", "saved", "firstLine"},
              {"coloured; on; 0; tttttvvvt__cccccccc__; ; <A b=\"X\">",
               "colours off; off; 0; xxxxxxxxx__xxxxxxxx__; ; <A b=\"X\">",
               "lower case on open; on; 1; tttttvvvt__cccccccc__; ; <a b=\"X\">",
               "tags removed on open: not coloured; on; 2; __xxxxxxxx__; __cccccccc__; ",
               "upper case on open; on; 3; tttttvvvt__cccccccc__; ; <A B=\"X\">",
               "unix on open still coloured; on; 5; tttttvvvt__cccccccc__; ; <A b=\"X\">"});
    }
    void openedFileIsColouredAndRepaintedOnSave() {
        AppFixture app;
        const QString path = app.env.writeFile("c.htm", "<A b=\"X\">\n<!-- -->\n");
        app.start();
        app.main->mutableSettings().UseColors = cell("useColors") == "on";
        app.main->mutableSettings().DoOnOpen = cell("doOnOpen").toInt();
        frmNotepad* window = OpenDocument(*app.main, path);
        QVERIFY(window && window->windowTitle() == path);
        QCOMPARE(shown(app, window), cell("map"));
        window->txtRich->paint(1, 2, 0x030201);
        window->txtRich->setSelStart(5);
        QVERIFY(SaveCommand(*app.main, window->slot()));
        QCOMPARE(TestEnvironment::readFile(path), (cell("firstLine") + "\n<!-- -->\n").toUtf8());
        QCOMPARE(shown(app, window) + " at " + QString::number(window->txtRich->selStart()),
                 (cell("saved").isEmpty() ? cell("map") : cell("saved")) + " at 5");
    }

    // Template, markup inserted while colours are on or off, typing: a character takes its place's colour.
    void newDocumentInsertedMarkupAndTyping() {
        AppFixture app;
        app.env.writeFile("data/Quillora/default.htm", "<!--c--><P>@@</P>");
        app.start();
        frmNotepad* window = app.document(0);
        RichTextControl* control = window->txtRich;
        QCOMPARE(shown(app, window), QStringLiteral("ccccccccttttttt"));
        window->InsertAtCursor(QStringLiteral("<I A=\"x\">"));
        app.main->mutableSettings().UseColors = false;
        window->InsertAtCursor(QStringLiteral("<B>"));
        QCOMPARE(shown(app, window), QStringLiteral("ccccccccttttttttvvvtxxxtttt changed"));
        QVERIFY(app.record(0).Modified);
        app.main->mutableSettings().UseColors = true;
        for (const int cursor : {20, 17, 16, 12, 4}) {
            control->setSelStart(cursor);
            typeText(control, "z");
        }
        QCOMPARE(control->text() + ' ' + shown(app, window),
                 "<!--zc--><P><zI A=z\"zx\">z<B></P> cccccccccttttttttttvvvvtxxxxtttt changed");
    }

    // Colour commands on "b>x" of "<b>xy" (its "<" painted first) never change the text or mark it changed.
    void colorCommands_data() {
        table({"item", "chosen", "map"},
              {"Tag; mnuColTag; ; ?tttx", "Comment; mnuColComment; ; ?cccx", "Value; mnuColValue; ; ?vvvx",
               "Text; mnuColText; ; ?xxxx", "Other; mnuColOther; #010203; ?ooox",
               "Other, black; mnuColOther; black; ?xxxx", "Other, cancelled; mnuColOther; ; ?ttxx",
               "Colorize Document; mnuColorize; ; tttxx", "Remove Colors; mnuRemoveColors; ; xxxxx"});
    }
    void colorCommands() {
        AppFixture app;
        app.start({app.env.writeFile("doc.htm", "<b>xy")});
        frmNotepad* window = app.document(0);
        app.dialogs.colors.enqueue(QColor(9, 9, 9));
        window->txtRich->select(0, 1);
        app.main->popupMenu()->findChild<QAction*>("mnuColOther")->trigger();
        window->txtRich->select(1, 3);
        if (!cell("chosen").isEmpty())
            app.dialogs.colors.enqueue(QColor::fromString(cell("chosen")));
        QAction* action = window->findChild<QAction*>(cell("item"));
        (action ? action : app.main->popupMenu()->findChild<QAction*>(cell("item")))->trigger();
        QCOMPARE(shown(app, window) + ' ' + window->txtRich->text(), cell("map") + " <b>xy");
    }
};

QTEST_MAIN(DocumentColorsTest)
#include "tst_documentcolors.moc"
