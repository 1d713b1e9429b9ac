#include "editor/UndoHistory.h"
#include "editor/mdlFile.h"
#include "support/AppFixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QRandomGenerator>
#include <QTest>
#include <functional>

namespace {

using Script = std::function<void(UndoHistory&, RichTextControl&)>;

// The window's ways of changing text, for driving a history on its own.
void type(UndoHistory& h, RichTextControl& c, const QString& text) {
    h.typedAt(c.selStart(), text);
    c.setSelText(text);
}
void command(UndoHistory& h, RichTextControl& c, const QString& text) {
    h.AddUndo(c.selText(), text, c.selStart());
    c.setSelText(text);
}
void erase(UndoHistory& h, RichTextControl& c, int count, bool backward) {
    for (int i = 0; i < count; ++i) {
        const int at = c.selStart();
        const int length =
            backward ? (c.textRange(at - 2, 2) == "\r\n" ? 2 : 1) : (c.textRange(at, 2) == "\r\n" ? 2 : 1);
        const int start = backward ? at - length : at;
        c.select(start, length);
        h.deletedAt(start, c.selText(), backward);
        c.setSelText(QString());
    }
}

// The text with the selection in brackets, or a bar at the cursor.
QString render(const RichTextControl& c) {
    const int start = c.selStart(), end = start + c.selLength();
    return start == end ? c.text().insert(start, '|') : c.text().insert(end, ']').insert(start, '[');
}

// Keys as a person types them: characters, and {Name} for the others.
void press(QWidget* target, const QString& keys) {
    static const QHash<QString, std::pair<Qt::Key, Qt::KeyboardModifiers>> named{
        {"Enter", {Qt::Key_Return, {}}},
        {"S-Enter", {Qt::Key_Return, Qt::ShiftModifier}},
        {"C-Enter", {Qt::Key_Return, Qt::ControlModifier}},
        {"CA-Enter", {Qt::Key_Return, Qt::ControlModifier | Qt::AltModifier}},
        {"Tab", {Qt::Key_Tab, {}}},
        {"C-Tab", {Qt::Key_Tab, Qt::ControlModifier}},
        {"BS", {Qt::Key_Backspace, {}}},
        {"C-BS", {Qt::Key_Backspace, Qt::ControlModifier}},
        {"Del", {Qt::Key_Delete, {}}},
        {"Ins", {Qt::Key_Insert, {}}},
        {"Left", {Qt::Key_Left, {}}},
        {"Right", {Qt::Key_Right, {}}},
        {"Esc", {Qt::Key_Escape, {}}},
        {"C-A", {Qt::Key_A, Qt::ControlModifier}},
        {"C-V", {Qt::Key_V, Qt::ControlModifier}},
        {"C-X", {Qt::Key_X, Qt::ControlModifier}},
        {"C-Space", {Qt::Key_Space, Qt::ControlModifier}},
        {"A-oe", {Qt::Key_Odiaeresis, Qt::AltModifier}},
        {"SA-oe", {Qt::Key_Odiaeresis, Qt::ShiftModifier | Qt::AltModifier}},
        {"A-lt", {Qt::Key_Less, Qt::AltModifier}}};
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const qsizetype close = keys.indexOf('}', i);
        if (keys.at(i) == '{' && close > i) {
            const auto [key, modifiers] = named.value(keys.mid(i + 1, close - i - 1));
            QTest::keyClick(target, key, modifiers);
            i = close;
        } else {
            QTest::keyClicks(target, keys.mid(i, 1));
        }
    }
}

// Presses Ctrl+Z (or Ctrl+R) while the item allows it; returns how many changed the text.
int repeat(frmNotepad* window, Qt::Key key, QAction* item) {
    int count = 0;
    for (; item->isEnabled() && count <= UndoHistory::kSteps; ++count)
        QTest::keyClick(window->txtRich, key, Qt::ControlModifier);
    return count;
}

} // namespace

Q_DECLARE_METATYPE(Script)

class UndoTest : public QObject {
    Q_OBJECT

private slots:
    // A history driven directly: the script, then the text, and whether Undo and Redo can act.
    void history_data() {
        QTest::addColumn<QString>("initial");
        QTest::addColumn<Script>("script");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("canUndo");
        QTest::addColumn<bool>("canRedo");
        const auto row = [](const char* name, const char* initial, Script script, const char* expected,
                            bool canUndo, bool canRedo) {
            QTest::newRow(name) << QString(initial) << script << QString(expected) << canUndo << canRedo;
        };
        row(
            "eleven steps: ten come back, then one goes again", "",
            [](UndoHistory& h, RichTextControl& c) {
                for (int i = 0; i < 11; ++i)
                    command(h, c, QString::number(i % 10));
                while (h.Undo()) {
                }
                QCOMPARE(c.text(), QString("0"));
                QVERIFY(h.Redo());
            },
            "01|", true, true);
        row(
            "a new step drops the undone ones; none is undone twice", "",
            [](UndoHistory& h, RichTextControl& c) {
                command(h, c, "x");
                command(h, c, "y");
                h.Undo();
                command(h, c, "z");
                QVERIFY(!h.Redo());
                QVERIFY(h.Undo());
                QVERIFY(h.Undo());
            },
            "|", false, true);
        row(
            "a typed run is one step", "",
            [](UndoHistory& h, RichTextControl& c) {
                for (const char* letter : {"a", "b", "c"})
                    type(h, c, letter);
                QVERIFY(h.Undo());
                QCOMPARE(c.text(), QString());
                QVERIFY(h.Redo());
            },
            "abc|", true, false);
        row(
            "backspaces give their text back in order", "ab\r\ncdef",
            [](UndoHistory& h, RichTextControl& c) {
                c.select(c.textLength(), 0);
                erase(h, c, 6, true);
                QCOMPARE(c.text(), QString("a"));
                h.Undo();
            },
            "ab\r\ncdef|", false, true);
        row(
            "deletes forward too", "abcdef",
            [](UndoHistory& h, RichTextControl& c) {
                erase(h, c, 3, false);
                h.Undo();
            },
            "abc|def", false, true);
        row(
            "a run is recorded where it was typed", "xy",
            [](UndoHistory& h, RichTextControl& c) {
                type(h, c, "ab");
                c.select(4, 0); // the cursor leaves; nothing is recorded yet
                type(h, c, "c");
                h.Undo();
                QCOMPARE(render(c), QString("abxy|"));
                h.Undo();
            },
            "|xy", false, true);
        row(
            "pending text comes first", "",
            [](UndoHistory& h, RichTextControl& c) {
                type(h, c, "ab");
                command(h, c, "XY");
                h.Undo();
                h.Undo();
            },
            "|", false, true);
        row(
            "redo records pending text, then has nothing to redo", "",
            [](UndoHistory& h, RichTextControl& c) {
                command(h, c, "x");
                h.Undo();
                type(h, c, "y");
                QVERIFY(!h.Redo());
            },
            "y|", true, false);
        row(
            "undo on an empty history changes nothing", "abc",
            [](UndoHistory& h, RichTextControl&) { QVERIFY(!h.Undo()); }, "|abc", false, false);
        row(
            "text changed behind the history is left alone", "",
            [](UndoHistory& h, RichTextControl& c) {
                command(h, c, "abc");
                c.select(0, 3);
                c.setSelText("xyz");
                QVERIFY(!h.Undo());
            },
            "xyz|", false, false);
        row(
            "clearing forgets pending text too", "",
            [](UndoHistory& h, RichTextControl& c) {
                type(h, c, "ab");
                h.ClearAllUndo();
                QVERIFY(!h.Undo());
            },
            "ab|", false, false);
    }
    void history() {
        QFETCH(QString, initial);
        QFETCH(Script, script);
        RichTextControl control;
        control.setText(initial);
        UndoHistory history(control);
        script(history, control);
        QFETCH(QString, expected);
        QCOMPARE(render(control), expected);
        QTEST(history.canUndo(), "canUndo");
        QTEST(history.canRedo(), "canRedo");
    }

    // Keys in a document window: the text after them, how many Ctrl+Z take it back to the start,
    // and Ctrl+R bringing it back again.
    void keys_data() {
        QTest::addColumn<QString>("initial");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("colors");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("steps");
        const auto row = [](const char* name, const char* initial, int start, int length, bool colors,
                            const char* keys, const char* expected, int steps) {
            QTest::newRow(name) << QString(initial) << start << length << colors << QString::fromUtf8(keys)
                                << QString::fromUtf8(expected) << steps;
        };
        row("tag typed with the aids", "", 0, 0, true, "<p>Hi", "<p>Hi|", 3);
        row("tag typed without them", "", 0, 0, false, "<p>Hi", "<p>Hi|", 1);
        row("quote pair in a tag", "<a >", 3, 0, true, "\"", "<a \"|\">", 1);
        row("quote pair around the selection", "<a x>", 3, 1, true, "\"", "<a \"x|\">", 2);
        row("comment from the start of the text", "", 0, 0, true, "<!-", "<!--|-->", 2);
        row("typing inside the comment", "", 0, 0, true, "<!-x", "<!--x|-->", 3);
        row("enter", "ab", 1, 0, true, "{Enter}{S-Enter}", "a\r\n\r\n|b", 1);
        row("ctrl+enter", "ab", 1, 0, true, "{C-Enter}", "a<BR>|b", 1);
        row("ctrl+alt+enter", "ab", 1, 0, true, "{CA-Enter}", "a<P>|b", 1);
        row("tab and ctrl+tab", "ab", 1, 0, true, "{Tab}{C-Tab}", "a\t\t|b", 2);
        row("entity keys", "", 0, 0, true, "{A-oe}{SA-oe}{A-lt}", "&ouml;&Ouml;&lt;|", 1);
        row("select all, then a key", "abc", 0, 0, false, "{C-A}x", "x|", 2);
        row("backspace over a selection at the start", "abc", 0, 2, true, "{BS}", "|c", 1);
        row("backspace over a line break", "a\r\nb", 3, 0, true, "{BS}{BS}", "|b", 1);
        row("escape deletes the selection", "abc", 1, 1, true, "{Esc}", "a|c", 1);
        row("insert does not overwrite", "ab", 1, 0, true, "{Ins}x", "ax|b", 1);
        row("ctrl+backspace", "one two", 7, 0, true, "{C-BS}", "one |", 1);
        row("completion", "tab", 3, 0, true, "{C-Space}", "TAB[LE]", 1);
        row("paste after typing", "", 0, 0, true, "ab{C-V}", "abX\r\nY|", 2);
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
        window->txtRich->setText(initial);
        window->colorizeWhole();
        window->ClearAllUndo();
        window->txtRich->select(start, length);
        press(window->txtRich, keys);
        QTEST(render(*window->txtRich), "expected");
        const QString end = window->txtRich->text();
        QTEST(repeat(window, Qt::Key_Z, window->mnuUndo), "steps");
        QCOMPARE(window->txtRich->text(), initial);
        repeat(window, Qt::Key_R, window->mnuRedo);
        QCOMPARE(window->txtRich->text(), end);
    }

    // The aids paint what they insert; the Enter keys' tags are coloured whole.
    void aidsColourWhatTheyInsert() {
        AppFixture app;
        app.start();
        frmNotepad* window = app.document(0);
        window->txtRich->setText(QString());
        press(window->txtRich, "<!-");
        const Settings& settings = app.main->settings();
        for (int offset = 0; offset < 7; ++offset)
            QCOMPARE(window->txtRich->colorAt(offset), settings.ComColor);
        window->txtRich->setText("x");
        window->txtRich->select(1, 0);
        press(window->txtRich, "{C-Enter}{CA-Enter}");
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
        press(first->txtRich, "a");
        QVERIFY(first->mnuUndo->isEnabled());
        QVERIFY(!second->mnuUndo->isEnabled());
        QApplication::clipboard()->setText("kept");
        second->txtRich->select(0, 0);
        press(second->txtRich, "{C-X}");
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
        const QStringList actions{"a",       "<",       ">",      "\"",       "-",     "!",
                                  " ",       "{Enter}", "{BS}",   "{BS}{BS}", "{Del}", "{Left}",
                                  "{Right}", "{C-V}",   "{C-BS}", "{Tab}",    "{Esc}"};
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
                press(text, keys);
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
