#include "platform/UiHelpers.h"
#include "support/DataTable.h"
#include "support/Keys.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

class UiHelpersTest : public QObject {
    Q_OBJECT

private slots:
    // A number box with at most `max` digits (0: no limit) gets `typed` key by key, then a paste
    // of `pasted` at its end; the box never holds anything but digits.
    void digitsOnly_data() {
        table({"max", "typed", "pasted", "expected"},
              {"digits typed; 0; 123; ; 123", "letters, blanks and signs dropped; 0; 1a -2.x3; ; 123",
               "typing stops at the limit; 3; 12345; ; 123", "paste of digits; 0; 1; 234; 1234",
               "paste with a letter refused whole; 0; 1; 2a3; 1", "paste cut at the limit; 4; 12; 3456; 1234",
               "paste of a negative number refused; 0; ; -5; "});
    }
    void digitsOnly() {
        QFETCH(QString, max);
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        QLineEdit box;
        ::digitsOnly(box, max.toInt());
        QTest::keyClicks(&box, typed);
        if (!pasted.isEmpty()) {
            QApplication::clipboard()->setText(pasted);
            box.paste();
        }
        QTEST(box.text(), "expected");
    }

    // Tab follows the chain given, not the order the controls were made in; Shift+Tab goes back.
    void tabChain() {
        QWidget window;
        auto* first = new QLineEdit(&window);
        auto* second = new QLineEdit(&window);
        auto* third = new QLineEdit(&window);
        setTabChain({third, first, second});
        QVERIFY(shownActive(&window));
        third->setFocus();
        QTest::keyClick(third, Qt::Key_Tab);
        QCOMPARE(window.focusWidget(), first);
        QTest::keyClick(first, Qt::Key_Tab);
        QCOMPARE(window.focusWidget(), second);
        QTest::keyClick(second, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(window.focusWidget(), first);
    }
};

QTEST_MAIN(UiHelpersTest)
#include "tst_uihelpers.moc"
