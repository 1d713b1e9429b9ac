#include "support/Keys.h"
#include "support/Rendered.h"
#include "support/ShellFixture.h"
#include "wizards/frmSymbols.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

class SymbolsTest : public QObject {
    Q_OBJECT

private slots:
    // The list: the characters markup escapes and six Swedish letters first, then Latin-1 from "¡" to
    // "ÿ" (so "ö" twice), each standing for its reference; a character beyond them, for its number.
    // The o umlaut chosen by i: Insert, d: a double click, e: Enter; "-" clears the list's selection
    // and "x" closes every document first. Then the document; one Undo brings back "abc".
    void insert_data() {
        QTest::addColumn<QString>("how");
        for (const char* row : {"i", "d", "e", "-i", "xi"})
            QTest::newRow(row) << QString(row);
    }
    void insert() {
        QFETCH(QString, how);
        ShellFixture app;
        frmSymbols symbols(app.start(), app.main.get());
        frmNotepad* document = app.document(0);
        document->txtRich->setText("abc");
        document->txtRich->select(1, 1);
        QListWidget* list = symbols.lstSymbols;
        QString shown;
        QStringList references;
        for (int row = 0; row < list->count(); ++row)
            references << SymbolReference((shown += list->item(row)->text()).back());
        QCOMPARE(shown.size(), 104);
        QCOMPARE(shown.left(10) + shown.mid(94, 1) + shown.right(1), QString::fromUtf8("<>\"åÅäÄöÖ¡öÿ"));
        QCOMPARE(references.mid(0, 10).join(""),
                 "&lt;&gt;&quot;&aring;&Aring;&auml;&Auml;&ouml;&Ouml;&#161;");
        QCOMPARE(references[94] + references[9 + 169 - 161] + SymbolReference(QChar(0x20AC)),
                 "&ouml;&#169;&#8364;");
        const auto open = [&] { // as the main window opens it: the list has the focus, on its first entry
            return shownActive(&symbols) && list->hasFocus() && list->currentRow() == 0;
        };
        QVERIFY(open());
        list->setCurrentRow(7);
        if (how.contains('-'))
            list->clearSelection();
        if (how.contains('x')) {
            app.main->documents().DocumentSlots[0].Modified = false;
            document->close();
            ShellFixture::flush();
        }
        if (how.endsWith('i'))
            symbols.cmdInsert->click();
        else if (how.endsWith('d')) // what a real double click sends: press, release, double, release
            for (const auto action : {QTest::MouseClick, QTest::MouseDClick, QTest::MouseRelease})
                QTest::mouseEvent(action, list->viewport(), Qt::LeftButton, {},
                                  list->visualItemRect(list->item(7)).center());
        else
            QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(symbols.isVisible());
        if (how.contains('x'))
            QVERIFY(!app.main->documents().current());
        else {
            QCOMPARE(render(*document->txtRich), how.contains('-') ? "a[b]c" : "a&ouml;|c");
            QCOMPARE(document->undoHistory().Undo(), !how.contains('-'));
            QCOMPARE(document->txtRich->text(), QString("abc"));
        }
        QTest::keyClick(list, Qt::Key_Escape);
        QVERIFY(symbols.isHidden());
        symbols.cmdClose->setFocus(); // and so again, whatever had the focus before
        QVERIFY(open());
        symbols.cmdClose->click();
        QVERIFY(symbols.isHidden());
    }
};

QTEST_MAIN(SymbolsTest)
#include "tst_symbols.moc"
