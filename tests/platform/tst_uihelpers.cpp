#include "platform/UiHelpers.h"
#include "support/Keys.h"

#include <QtTest>
#include <QtWidgets>

class UiHelpersTest : public QObject {
    Q_OBJECT

private slots:
    // A number box of at most `max` digits (0: any) holds only digits: a paste of anything else is refused.
    void digitsOnly() {
        using Case = std::tuple<int, const char*, const char*, const char*>;
        for (const auto& [max, typed, pasted, expected] :
             {Case{0, "1a -2.x3", "", "123"}, Case{3, "12345", "", "123"}, Case{0, "1", "234", "1234"},
              Case{0, "1", "-2a3", "1"}, Case{4, "12", "3456", "1234"}}) {
            QLineEdit box;
            ::digitsOnly(box, max);
            QTest::keyClicks(&box, typed);
            QApplication::clipboard()->setText(pasted);
            box.paste();
            QCOMPARE(box.text(), expected);
        }
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
