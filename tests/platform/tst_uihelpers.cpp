#include "platform/UiHelpers.h"
#include "support/Keys.h"

#include <QtTest>
#include <QtWidgets>

class UiHelpersTest : public QObject {
    Q_OBJECT

private slots:
    // A number box of at most `max` digits (0: any) holds only digits: a paste of anything else is refused.
    void digitsOnly() {
        QStringList results;
        for (const auto& [max, typed, pasted] : {std::tuple{0, "1a -2.x3", ""},
                                                 {3, "12345", ""},
                                                 {0, "1", "234"},
                                                 {0, "1", "-2a3"},
                                                 {4, "12", "3456"}}) {
            QLineEdit box;
            ::digitsOnly(box, max);
            QTest::keyClicks(&box, typed);
            QApplication::clipboard()->setText(pasted);
            box.paste();
            results << box.text();
        }
        QCOMPARE(results, QStringList({"123", "123", "1234", "1", "1234"}));
    }

    // Tab follows the chain given, not the order the controls were made in; Shift+Tab goes back.
    void tabChain() {
        QWidget window;
        auto *first = new QLineEdit("first", &window), *second = new QLineEdit("second", &window),
             *third = new QLineEdit("third", &window);
        setTabChain({third, first, second});
        QVERIFY(shownActive(&window));
        third->setFocus();
        QStringList visited;
        for (const auto modifiers : {Qt::NoModifier, Qt::NoModifier, Qt::ShiftModifier}) {
            sendKey(window.focusWidget(), modifiers ? Qt::Key_Backtab : Qt::Key_Tab, modifiers);
            visited << qobject_cast<QLineEdit*>(window.focusWidget())->text();
        }
        QCOMPARE(visited, QStringList({"first", "second", "first"}));
    }
};

QTEST_MAIN(UiHelpersTest)
#include "tst_uihelpers.moc"
