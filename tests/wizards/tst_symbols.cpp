#include "support/AppFixture.h"
#include "support/Rendered.h"
#include "wizards/frmSymbols.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

class SymbolsTest : public QObject {
    Q_OBJECT

private slots:
    // The entry at a row of the list (-1: a character not listed) and the character's reference.
    void symbols_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("reference");
        const auto row = [](const char* name, int r, const char* symbol, const char* reference) {
            QTest::newRow(name) << r << QString::fromUtf8(symbol) << QString(reference);
        };
        row("less-than first", 0, "<", "&lt;");
        row("double quote", 2, "\"", "&quot;");
        row("upper-case A ring, case counts", 4, "Å", "&Aring;");
        row("o umlaut among the first nine", 7, "ö", "&ouml;");
        row("inverted exclamation mark after them", 9, "¡", "&#161;");
        row("copyright sign", 9 + 169 - 161, "©", "&#169;");
        row("o umlaut again in code point order", 9 + 0xF6 - 0xA1, "ö", "&ouml;");
        row("y diaeresis last", 103, "ÿ", "&#255;");
        row("beyond Latin-1, every digit", -1, "€", "&#8364;");
    }
    void symbols() {
        QFETCH(int, row);
        QFETCH(QString, symbol);
        QFETCH(QString, reference);
        AppFixture app;
        frmSymbols symbols(app.start(), nullptr);
        QCOMPARE(symbols.lstSymbols->count(), 104);
        if (row >= 0)
            QCOMPARE(symbols.lstSymbols->item(row)->text(), symbol);
        QCOMPARE(SymbolReference(symbol.at(0)), reference);
    }

    // The o umlaut chosen by i: Insert, d: a double click, e: Enter; "-" clears the list's selection
    // and "x" closes every document first. Then the document; one Undo brings back "abc".
    void insert_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("after");
        for (const char* row : {"i a&ouml;|c", "d a&ouml;|c", "e a&ouml;|c", "-i a[b]c", "xi", "xd"})
            QTest::newRow(row) << QString(row).section(' ', 0, 0) << QString(row).section(' ', 1);
    }
    void insert() {
        QFETCH(QString, how);
        QFETCH(QString, after);
        AppFixture app;
        frmSymbols symbols(app.start(), app.main.get());
        app.main->mutableSettings().UseColors = false;
        frmNotepad* document = app.document(0);
        document->txtRich->setText("abc");
        document->txtRich->select(1, 1);
        QListWidget* list = symbols.lstSymbols;
        const auto open = [&] { // as the main window opens it: the list has the focus, on its first entry
            symbols.show();
            symbols.activateWindow();
            return QTest::qWaitForWindowActive(&symbols) && list->hasFocus() && list->currentRow() == 0;
        };
        QVERIFY(open());
        list->setCurrentRow(7);
        if (how.contains('-'))
            list->clearSelection();
        if (how.contains('x')) {
            app.main->documents().DocumentSlots[0].Modified = false;
            document->close();
            AppFixture::flush();
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
        if (how.contains('x')) {
            QVERIFY(!app.main->documents().current());
        } else {
            QCOMPARE(render(*document->txtRich), after);
            document->undoHistory().Undo();
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
