#include "platform/UiHelpers.h"
#include "support/DataTable.h"
#include "support/Keys.h"

#include <QtTest>
#include <QtWidgets>

namespace {
// The names of the controls Tab visits, `presses` times from where the focus is.
QStringList tabbed(QWidget& window, qsizetype presses) {
    QStringList visited;
    for (qsizetype i = 0; i < presses; ++i) {
        sendKey(window.focusWidget(), Qt::Key_Tab);
        visited << window.focusWidget()->objectName();
    }
    return visited;
}
} // namespace

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

    // A dialog bigger than the room scrolls its contents and keeps its closing buttons (with the
    // buttons of their row) below them; it keeps within the room, the focus and the tab order stay,
    // and Tab scrolls the box it reaches into view. One that fits is left as it is.
    void fitDialogToScreen_data() {
        table({"boxes", "room", "outside"},
              {"fits; 6x2; 800x600; ", "too tall; 40x1; 800x400; cmdAdd cmdOK cmdCancel",
               "too wide; 2x14; 500x600; cmdAdd cmdOK cmdCancel", "button box; 40x2; 800x400; box"});
    }
    void fitDialogToScreen() {
        const QStringList boxes = cell("boxes").split('x'), room = cell("room").split('x');
        const QStringList outside = cell("outside").split(' ', Qt::SkipEmptyParts);
        QDialog dialog;
        auto* grid = new QGridLayout;
        QList<QWidget*> fields;
        for (int i = 0; i < boxes[0].toInt() * boxes[1].toInt(); ++i) {
            fields << new QLineEdit(&dialog);
            fields.last()->setObjectName(QString("txt%1").arg(i));
            fields.last()->setMinimumWidth(80);
            grid->addWidget(fields.last(), i / boxes[1].toInt(), i % boxes[1].toInt());
        }
        auto* column = new QVBoxLayout(&dialog);
        column->addLayout(grid);
        if (outside.contains("box")) {
            column->addWidget(
                named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel), "box"));
        } else {
            auto* row = new QHBoxLayout;
            for (const char* name : {"cmdAdd", "cmdOK", "cmdCancel"})
                row->addWidget(named(new QPushButton(name + 3), name));
            column->addLayout(row);
        }
        QWidget* byHand = new QLabel("placed by hand", &dialog);
        fields.first()->setFocus();
        QVERIFY(shownActive(&dialog));
        const QStringList order = tabbed(dialog, fields.size() + 3);
        fields.first()->setFocus();
        const QSize before = dialog.size();
        const QRect available(QPoint(30, 20), QSize(room[0].toInt(), room[1].toInt()));

        QCOMPARE(::fitDialogToScreen(dialog, available), !outside.isEmpty());
        const auto* scroll = dialog.findChild<QScrollArea*>("scrContents");
        QCOMPARE(dialog.focusWidget(), fields.first());
        if (!scroll) {
            QCOMPARE(dialog.size(), before);
            return;
        }
        QTRY_VERIFY(available.contains(dialog.frameGeometry()));
        QVERIFY(scroll->widget()->isAncestorOf(byHand) && byHand->isVisible());
        QStringList kept;
        for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child != scroll && child->isVisible() && dialog.rect().contains(child->geometry()))
                kept << child->objectName();
        QCOMPARE(kept, outside);
        QCOMPARE(tabbed(dialog, order.size()), order);
        fields.first()->setFocus();
        tabbed(dialog, fields.size() - 1); // to the last box, whose text cursor comes into view
        QCOMPARE(dialog.focusWidget(), fields.last());
        const QPoint at = fields.last()->mapTo(scroll->viewport(), QPoint(0, 0));
        QVERIFY(scroll->viewport()->rect().contains(QRect(at, QSize(10, fields.last()->height()))));
        QVERIFY(::fitDialogToScreen(dialog, available)); // shown again: nothing moves a second time
        QCOMPARE(dialog.findChildren<QScrollArea*>().size(), 1);
    }
};

QTEST_MAIN(UiHelpersTest)
#include "tst_uihelpers.moc"
