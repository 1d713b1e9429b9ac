#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/Rendered.h"
#include "support/ShellFixture.h"
#include "wizards/frmSymbols.h"

#include <QtTest>
#include <QtWidgets>

class SymbolsTest : public QObject {
    Q_OBJECT

private slots:
    // The o umlaut (entry 7) over "a[b]c" by i: Insert, d: a double click, e: Enter; "-" clears the
    // list's selection first, "x" closes the document first. Every opening starts on the first entry.
    void insert_data() {
        table({"how", "expected"},
              {"insert; i; a&ouml;|c", "double click; d; a&ouml;|c", "Enter; e; a&ouml;|c",
               "nothing selected; -i; a[b]c", "no document; xi; -"});
    }
    void insert() {
        QFETCH(QString, how);
        ShellFixture app;
        frmSymbols symbols(app.start(), app.main.get());
        QPointer<frmNotepad> document = app.document(0);
        document->txtRich->setText("abc");
        document->txtRich->select(1, 1);
        QListWidget* list = symbols.lstSymbols;
        // Escapes, six Swedish letters, then Latin-1 "¡" to "ÿ"; each tip is the reference (name or number).
        QString shown;
        for (int row : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 17, 94, 103})
            shown += list->item(row)->text() + list->item(row)->toolTip();
        QCOMPARE(QString::number(list->count()) + shown,
                 QString::fromUtf8(
                     "104<&lt;>&gt;\"&quot;å&aring;Å&Aring;ä&auml;Ä&Auml;ö&ouml;Ö&Ouml;¡&#161;©&#169;"
                     "ö&ouml;ÿ&#255;"));
        QVERIFY(shownActive(&symbols) && list->hasFocus() && list->currentRow() == 0);
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
        QTEST(document ? render(*document->txtRich) : "-", "expected");
        if (document) { // one undo step, none when nothing was inserted
            QCOMPARE(document->undoHistory().Undo(), !how.contains('-'));
            QCOMPARE(document->txtRich->text(), "abc");
        }
        QTest::keyClick(list, Qt::Key_Escape);
        QVERIFY(symbols.isHidden());
        symbols.cmdClose->setFocus(); // and so again, whatever had the focus before
        QVERIFY(shownActive(&symbols) && list->hasFocus() && list->currentRow() == 0);
        symbols.cmdClose->click();
        QVERIFY(symbols.isHidden());
    }
};

QTEST_MAIN(SymbolsTest)
#include "tst_symbols.moc"
