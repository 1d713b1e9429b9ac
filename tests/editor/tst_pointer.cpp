#include "editor/UndoHistory.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/Rendered.h"
#include "support/ShellFixture.h"

#include <QtTest>
#include <QtWidgets>

class PointerTest : public QObject {
    Q_OBJECT

private slots:
    // A selection (start, length) dragged to an offset moves, or with Ctrl is copied; one Ctrl+Z undoes it.
    void dragMovesText_data() {
        table({"drag", "expected"}, {"forward; 3 3 18; <p> two</p>\r\nthoneree",
                                     "back to the start; 7 3 0; two<p>one </p>\r\nthree",
                                     "a line break; 10 6 20; <p>one twothre</p>\r\ne",
                                     "Ctrl copies; 3 3 18 Ctrl; <p>one two</p>\r\nthoneree",
                                     "onto the selection; 3 3 5; <p>one two</p>\r\nthree"});
    }
    void dragMovesText() {
        QFETCH(QString, drag);
        QFETCH(QString, expected);
        if (QGuiApplication::platformName() == "offscreen")
            QSKIP("this platform's drag does not follow the mouse");
        ShellFixture app;
        app.start();
        app.main->mutableSettings().UseColors = true;
        QVERIFY(QTest::qWaitForWindowExposed(app.main.get()));
        frmNotepad* window = app.document(0);
        RichTextControl* text = window->txtRich;
        const QString before = "<p>one two</p>\r\nthree";
        text->setText(before);
        window->colorizeWhole();
        window->ClearAllUndo();
        app.main->documents().setModified(0, false);
        const QList<ColorValue> colored = colors(*text);
        const QStringList cells = drag.split(' ');
        const auto pointAt = [text](int offset) {
            QTextCursor place(text->document());
            place.setPosition(text->toDocumentPosition(offset));
            return text->cursorRect(place).center();
        };
        const QPoint press = pointAt(cells[0].toInt() + 1), drop = pointAt(cells[2].toInt());
        text->select(cells[0].toInt(), cells[1].toInt());
        QWidget* port = text->viewport();
        // The drag runs a loop of its own until the button is let go: the pointer goes on inside it.
        bool released = false;
        QTimer::singleShot(0, port, [&] {
            QTest::mouseMove(port, drop);
            QTest::mouseRelease(port, Qt::LeftButton, cells.size() > 3 ? Qt::ControlModifier : Qt::NoModifier,
                                drop);
            released = true;
        });
        QTest::mousePress(port, Qt::LeftButton, {}, press);
        QTest::mouseMove(port, press + QPoint(QApplication::startDragDistance() + 2, 0));
        QVERIFY2(released, "the drag did not start");
        QCOMPARE(text->text(), expected);
        QCOMPARE(app.record(0).Modified, expected != before);
        QCOMPARE(window->mnuUndo->isEnabled(), expected != before);
        const QList<ColorValue> landed = colors(*text);
        window->colorizeWhole();
        QCOMPARE(landed, colors(*text));
        sendKey(text, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(text->text(), before);
        QCOMPARE(colors(*text), colored);
    }

    // A composed character committed over the selection replaces it whole; one Ctrl+Z gives it back.
    void inputMethodCommits_data() {
        table({"preedit", "commit", "colors"},
              {"accent; e; \u00E9; on", "euro; E; \u20AC; off", "emoji, a surrogate pair; :; \U0001F600; on",
               "two characters at once; ss; \u00DF\u00DF; on"});
    }
    void inputMethodCommits() {
        QFETCH(QString, preedit);
        QFETCH(QString, commit);
        QFETCH(QString, colors);
        ShellFixture app;
        app.start();
        app.main->mutableSettings().UseColors = colors == "on";
        frmNotepad* window = app.document(0);
        RichTextControl* text = window->txtRich;
        text->setText("<p>ab</p>\r\nx");
        window->ClearAllUndo();
        text->select(3, 2);
        QInputMethodEvent composing(preedit, {});
        QApplication::sendEvent(text, &composing);
        QInputMethodEvent committing;
        committing.setCommitString(commit);
        QApplication::sendEvent(text, &committing);
        QCOMPARE(text->text(), "<p>" + commit + "</p>\r\nx");
        QCOMPARE(text->selStart(), 3 + commit.size());
        QCOMPARE(app.record(0).Modified, true);
        sendKey(text, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(text->text(), "<p>ab</p>\r\nx");
    }

    // A right click opens the context menu where the pointer is and keeps the selection.
    void rightClick() {
        ShellFixture app;
        app.start();
        RichTextControl* text = app.document(0)->txtRich;
        text->setText("<p>one two</p>\r\nthree");
        text->select(3, 3);
        const QPoint at = text->cursorRect(text->textCursor()).center() + QPoint(30, 0);
        const QPoint global = text->viewport()->mapToGlobal(at);
        QTest::mousePress(text->viewport(), Qt::RightButton, {}, at);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, at, global);
        QApplication::sendEvent(text->viewport(), &menu);
        QTest::mouseRelease(text->viewport(), Qt::RightButton, {}, at);
        QCOMPARE(app.main->requests,
                 QStringList{QString("context menu at %1,%2").arg(global.x()).arg(global.y())});
        QCOMPARE(text->selText(), "one");
    }
};

QTEST_MAIN(PointerTest)
#include "tst_pointer.moc"
