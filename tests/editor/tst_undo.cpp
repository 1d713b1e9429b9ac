#include "editor/UndoHistory.h"
#include "editor/mdlFile.h"
#include "support/AppFixture.h"
#include "support/Keys.h"
#include "support/Rendered.h"

#include "app/SkinButton.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QRandomGenerator>
#include <QTest>

namespace {

// Backspace or Delete, as the window reports them: a CR LF goes whole.
void erase(UndoHistory& h, RichTextControl& c, int count, bool backward) {
    for (int i = 0; i < count; ++i) {
        const int at = c.selStart();
        const int length = c.textRange(backward ? at - 2 : at, 2) == "\r\n" ? 2 : 1;
        const int start = backward ? at - length : at;
        c.select(start, length);
        h.deletedAt(start, c.selText(), backward);
        c.setSelText(QString());
    }
}

// Drives a history as the window does, one word a step: tTEXT typed, cTEXT a command replacing the
// selection, bN and dN Backspace and Delete N times, mN the cursor moved to N, xTEXT the whole text
// changed behind the history's back, C clear; u and r an Undo and a Redo that change the text, U and
// R ones that do not, u* undoing all; =TEXT checks the text.
void run(UndoHistory& h, RichTextControl& c, const QString& script) {
    for (const QString& word : script.split(' ', Qt::SkipEmptyParts)) {
        const QChar op = word.at(0);
        const QString arg = word.mid(1);
        if (op == 't')
            h.typedAt(c.selStart(), arg);
        if (op == 'c')
            h.AddUndo(c.selText(), arg, c.selStart());
        if (op == 't' || op == 'c')
            c.setSelText(arg);
        else if (op == 'b' || op == 'd')
            erase(h, c, arg.toInt(), op == 'b');
        else if (op == 'm')
            c.select(arg.toInt(), 0);
        else if (op == 'x')
            c.select(0, c.textLength()), c.setSelText(arg);
        else if (op == 'C')
            h.ClearAllUndo();
        else if (word == "u*")
            while (h.Undo()) {
            }
        else if (op == 'u' || op == 'U')
            QVERIFY2(h.Undo() == (op == 'u'), qPrintable(word));
        else if (op == 'r' || op == 'R')
            QVERIFY2(h.Redo() == (op == 'r'), qPrintable(word));
        else if (op == '=')
            QCOMPARE(c.text(), arg);
    }
}

// Presses Ctrl+Z (or Ctrl+R) while the item allows it; returns how many changed the text.
int repeat(frmNotepad* window, Qt::Key key, QAction* item) {
    int count = 0;
    for (; item->isEnabled() && count <= UndoHistory::kSteps; ++count)
        sendKey(window->txtRich, key, Qt::ControlModifier);
    return count;
}

} // namespace

class UndoTest : public QObject {
    Q_OBJECT

private slots:
    // A history driven directly: the script, then the text, and whether Undo and Redo can act.
    void history_data() {
        QTest::addColumn<QString>("initial");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("canUndo");
        QTest::addColumn<bool>("canRedo");
        const auto row = [](const char* name, const char* initial, const char* script, const char* expected,
                            bool canUndo, bool canRedo) {
            QTest::newRow(name) << QString(initial) << QString(script) << QString(expected) << canUndo
                                << canRedo;
        };
        row("eleven steps: ten come back, one goes again", "", "c0 c1 c2 c3 c4 c5 c6 c7 c8 c9 c0 u* =0 r",
            "01|", true, true);
        row("a new step drops the undone ones, none undone twice", "", "cx cy u cz R u u", "|", false, true);
        row("a typed run is one step", "", "ta tb tc u = r", "abc|", true, false);
        row("backspaces give their text back in order", "ab\r\ncdef", "m8 b6 =a u", "ab\r\ncdef|", false,
            true);
        row("deletes forward too: the cursor goes back where they began", "abcdef", "d3 u", "|abcdef", false,
            true);
        row("a run is recorded where it was typed", "xy", "tab m4 tc u =abxy u", "|xy", false, true);
        row("pending text comes first", "", "tab cXY u u", "|", false, true);
        row("redo records pending text, then has nothing to redo", "", "cx u ty R", "y|", true, false);
        row("undo on an empty history changes nothing", "abc", "U", "|abc", false, false);
        row("text changed behind the history is left alone", "", "cabc xxyz U", "xyz|", false, false);
        row("clearing forgets pending text too", "", "tab C U", "ab|", false, false);
    }
    void history() {
        QFETCH(QString, initial);
        RichTextControl control;
        control.setText(initial);
        UndoHistory history(control);
        QFETCH(QString, script);
        run(history, control, script);
        QTEST(render(control), "expected");
        QTEST(history.canUndo(), "canUndo");
        QTEST(history.canRedo(), "canRedo");
    }

    // Keys in a document window, each with the text the window system gives it: the text after
    // them, how many Ctrl+Z take it back to the start (and the selection they give back), and
    // Ctrl+R bringing it back again. Colours on and off take different roads for typed keys.
    void keys_data() {
        QTest::addColumn<QString>("initial");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("colors");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QString>("restored");
        const auto row = [](const char* name, const char* initial, int start, int length, bool colors,
                            const char* keys, const char* expected, int steps,
                            const char* restored = nullptr) {
            QString before = QString(initial);
            if (!restored)
                before = length > 0 ? before.insert(start + length, ']').insert(start, '[')
                                    : before.insert(start, '|');
            QTest::newRow(name) << QString(initial) << start << length << colors << QString::fromUtf8(keys)
                                << QString::fromUtf8(expected) << steps
                                << (restored ? QString::fromUtf8(restored) : before);
        };
        for (const bool colors : {true, false}) {
            const auto named = [colors](const char* name) {
                return QByteArray(name) + (colors ? ", colours" : ", no colours");
            };
            row(named("Delete over a selection"), "abcdefnext", 1, 2, colors, "{Delete}", "a|defnext", 1);
            row(named("line selected with Shift+End, then Delete"), "ab\r\ncd", 0, 0, colors,
                "{Shift+End}{Delete}", "|\r\ncd", 1, "[ab]\r\ncd");
            row(named("Backspace over a selection"), "abc", 0, 2, colors, "{Backspace}", "|c", 1);
            row(named("Delete three times"), "abcdef", 0, 0, colors, "{Delete}{Delete}{Delete}", "|def", 1);
            row(named("Escape leaves the selection"), "abc", 1, 1, colors, "{Esc}", "a[b]c", 0);
            row(named("Ctrl+I types no tab"), "ab", 1, 0, colors, "{Ctrl+I}", "a|b", 0);
            row(named("select all, then a key"), "abc", 0, 0, colors, "{Ctrl+A}x", "x|", 1, "[abc]");
            row(named("Return over a selection"), "abc", 1, 1, colors, "{Return}", "a\r\n|c", 1);
            row(named("paste after typing"), "", 0, 0, colors, "ab{Ctrl+V}", "abX\r\nY|", 2);
        }
        row("tag typed with the aids", "", 0, 0, true, "<p>Hi", "<p>Hi|", 3);
        row("tag typed without them", "", 0, 0, false, "<p>Hi", "<p>Hi|", 1);
        row("quote pair in a tag", "<a >", 3, 0, true, "\"", "<a \"|\">", 1);
        row("quote pair around the selection", "<a x>", 3, 1, true, "\"", "<a \"x|\">", 1);
        row("bracket pair over the selection", "x", 0, 1, true, "<", "<|>", 1);
        row("comment from the start of the text", "", 0, 0, true, "<!-", "<!--|-->", 2);
        row("typing inside the comment", "", 0, 0, true, "<!-x", "<!--x|-->", 3);
        row("enter", "ab", 1, 0, true, "{Return}{Shift+Return}", "a\r\n\r\n|b", 1);
        row("ctrl+enter", "ab", 1, 0, true, "{Ctrl+Return}", "a<BR>|b", 1);
        row("ctrl+alt+enter", "ab", 1, 0, true, "{Ctrl+Alt+Return}", "a<P>|b", 1);
        row("tab and ctrl+tab", "ab", 1, 0, true, "{Tab}{Ctrl+Tab}", "a\t\t|b", 2);
        row("entity keys", "", 0, 0, true, "{Alt+Ö}{Shift+Alt+Ö}{Alt+<}", "&ouml;&Ouml;&lt;|", 1);
        row("backspace over a line break", "a\r\nb", 3, 0, true, "{Backspace}{Backspace}", "|b", 1);
        row("insert does not overwrite", "ab", 1, 0, true, "{Ins}x", "ax|b", 1);
        row("ctrl+backspace", "one two", 7, 0, true, "{Ctrl+Backspace}", "one |", 1);
        row("completion", "tab", 3, 0, true, "{Ctrl+Space}", "TAB[LE]", 1, "[tab]");
    }
    void keys() {
        QFETCH(QString, initial);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(bool, colors);
        QFETCH(QString, keys);
        AppFixture app;
        app.start();
        app.main->mutableSettings().UseColors = colors;
        app.main->mutableCommandWords() = {QString(), "TABLE", "TD"};
        QApplication::clipboard()->setText("X\nY");
        frmNotepad* window = app.document(0);
        // Shortcuts reach the window's menus as they do on a desktop: through the active window.
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()));
        window->txtRich->setFocus();
        window->txtRich->setText(initial);
        window->colorizeWhole();
        window->ClearAllUndo();
        window->txtRich->select(start, length);
        typeKeys(window->txtRich, keys);
        QTEST(render(*window->txtRich), "expected");
        const QString end = window->txtRich->text();
        QTEST(repeat(window, Qt::Key_Z, window->mnuUndo), "steps");
        QTEST(render(*window->txtRich), "restored");
        repeat(window, Qt::Key_R, window->mnuRedo);
        QCOMPARE(window->txtRich->text(), end);
    }

    // Text from every way in holds CR LF breaks only, whatever breaks it came with, and one Undo
    // gives back the text before it (a break recorded otherwise than it stands would make Undo find
    // text it never recorded and forget the whole history).
    void everyWayInGivesCrLf_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("breaks");
        for (const char* way :
             {"Edit menu", "toolbar", "Ctrl+V", "middle click", "drop", "input method", "dialog"})
            for (const char* breaks : {"LF", "CR", "CR LF", "LF CR"})
                QTest::newRow(qPrintable(QString("%1, %2").arg(way, breaks))) << way << breaks;
    }
    void everyWayInGivesCrLf() {
        QFETCH(QString, way);
        QFETCH(QString, breaks);
        const QString lineBreak = breaks == "LF"      ? "\n"
                                  : breaks == "CR"    ? "\r"
                                  : breaks == "CR LF" ? "\r\n"
                                                      : "\n\r";
        const QString expectedBreak = breaks == "LF CR" ? "\r\n\r\n" : "\r\n";
        const QString incoming = "<p>one" + lineBreak + "two" + lineBreak;
        QClipboard* clipboard = QApplication::clipboard();
        if (way == "middle click" && !clipboard->supportsSelection())
            QSKIP("this platform has no selection to paste with the middle button");
        AppFixture app;
        app.start();
        frmNotepad* window = app.document(0);
        window->txtRich->setText("ab");
        window->ClearAllUndo();
        window->txtRich->setSelStart(1);
        clipboard->setText(incoming, way == "middle click" ? QClipboard::Selection : QClipboard::Clipboard);
        if (way == "Edit menu") {
            window->action(CommandId::Paste)->trigger();
        } else if (way == "toolbar") {
            auto* paste = app.main->findChild<SkinButton*>("picPaste");
            QTest::mouseClick(paste, Qt::LeftButton, {}, QPoint(5, 5));
        } else if (way == "Ctrl+V") {
            sendKey(window->txtRich, Qt::Key_V, Qt::ControlModifier);
        } else if (way == "middle click") {
            const QPoint at = window->txtRich->cursorRect().center();
            QTest::mouseClick(window->txtRich->viewport(), Qt::MiddleButton, {}, at);
        } else if (way == "drop") { // text dragged in from another program
            QMimeData data;
            data.setText(incoming);
            QWidget* target = window->txtRich->viewport();
            const QPoint at = window->txtRich->cursorRect().center();
            QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &enter);
            QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &drop);
        } else if (way == "input method") {
            QInputMethodEvent commit;
            commit.setCommitString(incoming);
            QApplication::sendEvent(window->txtRich, &commit);
        } else {
            window->InsertAtCursor(incoming);
        }
        const QString expected = "a<p>one" + expectedBreak + "two" + expectedBreak + "b";
        QCOMPARE(window->txtRich->text(), expected);
        QVERIFY(window->mnuUndo->isEnabled());
        window->mnuUndo->trigger();
        QCOMPARE(window->txtRich->text(), "ab");
        window->mnuRedo->trigger();
        QCOMPARE(window->txtRich->text(), expected);
    }

    // The aids paint what they insert; the Enter keys' tags are coloured whole.
    void aidsColourWhatTheyInsert() {
        AppFixture app;
        app.start();
        frmNotepad* window = app.document(0);
        window->txtRich->setText(QString());
        typeKeys(window->txtRich, "<!-");
        const Settings& settings = app.main->settings();
        for (int offset = 0; offset < 7; ++offset)
            QCOMPARE(window->txtRich->colorAt(offset), settings.ComColor);
        window->txtRich->setText("x");
        window->txtRich->select(1, 0);
        typeKeys(window->txtRich, "{Ctrl+Return}{Ctrl+Alt+Return}");
        QCOMPARE(window->txtRich->colorAt(0), settings.TexColor);
        for (int offset = 1; offset < 8; ++offset)
            QCOMPARE(window->txtRich->colorAt(offset), settings.TagColor);
    }

    // Each window's items follow its own history; Ctrl+X with nothing selected keeps the clipboard.
    void windowsKeepTheirOwnHistory() {
        AppFixture app;
        app.start();
        frmNotepad* first = app.document(0);
        frmNotepad* second = NewDocument(*app.main);
        QVERIFY(second && second != first);
        typeKeys(first->txtRich, "a");
        QVERIFY(first->mnuUndo->isEnabled());
        QVERIFY(!second->mnuUndo->isEnabled());
        QApplication::clipboard()->setText("kept");
        second->txtRich->select(0, 0);
        typeKeys(second->txtRich, "{Ctrl+X}");
        QCOMPARE(QApplication::clipboard()->text(), QString("kept"));
        QVERIFY(!second->mnuUndo->isEnabled());
    }

    // Random keys, clicks and pastes, five actions at a time: undoing everything gives back the text
    // before them, and redoing everything the text after them.
    void randomEditingUndoesExactly_data() {
        QTest::addColumn<uint>("seed");
        for (uint seed = 1; seed <= 30; ++seed)
            QTest::newRow(qPrintable(QString("seed %1").arg(seed))) << seed;
    }
    void randomEditingUndoesExactly() {
        QFETCH(uint, seed);
        QRandomGenerator random(seed);
        AppFixture app;
        app.start();
        app.main->mutableSettings().UseColors = random.bounded(4) != 0;
        frmNotepad* window = app.document(0);
        RichTextControl* text = window->txtRich;
        text->setText("<b class=\"x\">one</b>\r\n<!-- c -->two");
        const QStringList actions{"a",     "<",      ">",        "\"",          "-",
                                  "!",     " ",      "{Return}", "{Backspace}", "{Backspace}{Backspace}",
                                  "{Del}", "{Left}", "{Right}",  "{Ctrl+V}",    "{Ctrl+Backspace}",
                                  "{Tab}", "{Esc}"};
        for (int round = 0; round < 6; ++round) {
            window->ClearAllUndo();
            const QString before = text->text();
            QString done;
            for (int action = 0; action < 5; ++action) {
                const int at = random.bounded(text->textLength() + 1);
                if (random.bounded(4) == 0) { // a click or a selection somewhere
                    text->select(at, random.bounded(3));
                    window->undoHistory().recordPending();
                }
                QApplication::clipboard()->setText(random.bounded(2) ? "p\nq" : "<i>");
                const QString keys = actions.at(random.bounded(int(actions.size())));
                typeKeys(text, keys);
                done += keys;
            }
            const QString after = text->text();
            repeat(window, Qt::Key_Z, window->mnuUndo);
            QVERIFY2(text->text() == before, qPrintable(QString("round %1: %2").arg(round).arg(done)));
            repeat(window, Qt::Key_R, window->mnuRedo);
            QVERIFY2(text->text() == after, qPrintable(QString("round %1: %2").arg(round).arg(done)));
        }
    }
};

QTEST_MAIN(UndoTest)
#include "tst_undo.moc"
