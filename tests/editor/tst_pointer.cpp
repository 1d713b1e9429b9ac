#include "editor/UndoHistory.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/ShellFixture.h"

#include <QtTest>
#include <QtWidgets>

// What an input method and the pointer do to a document, as a person meets them.
class PointerTest : public QObject {
    Q_OBJECT

private slots:
    // An input method composes a character (shown, not yet text), then commits it over the
    // selection: the selection goes, the character stands whole, one Ctrl+Z gives back the text.
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

    // A right click opens the context menu where the pointer is, and keeps the selection the menu's
    // commands act on (middle-click pasting is one of the ways in of the undo test).
    void rightClick() {
        ShellFixture app;
        app.start();
        RichTextControl* text = app.document(0)->txtRich;
        text->setText("<p>one two</p>\r\nthree");
        text->select(3, 3);
        const QPoint at = text->cursorRect(text->textCursor()).center() + QPoint(30, 0);
        // The press, the context menu event the window system's click brings, the release.
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
