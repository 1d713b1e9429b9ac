#include "app/SkinButton.h"
#include "editor/UndoHistory.h"
#include "editor/mdlFile.h"
#include "markup/LineEndings.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/Rendered.h"
#include "support/ShellFixture.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// Presses Ctrl+Z (or Ctrl+R) while the item allows it; returns how many changed the text.
int repeat(frmNotepad* window, Qt::Key key, QAction* item) {
    int count = 0;
    for (; item->isEnabled() && count <= UndoHistory::kSteps; ++count)
        sendKey(window->txtRich, key, Qt::ControlModifier);
    return count;
}

// What a key may leave of `t` with [s, s + l) selected, the typing aids on or off.
using Outcome = std::pair<QString, int>; // a text and its cursor (-1: any)
QList<Outcome> mustGive(const QString& t, int s, int l, const QString& key, const QString& clip,
                        const QString& indent, bool aids) {
    const QString head = t.left(s), picked = t.mid(s, l), rest = t.mid(s + l);
    const auto put = [&](const QString& in, qsizetype cursor) {
        return Outcome{head + in + rest, int(s + cursor)};
    };
    if (key == "{Return}") { // the blanks and tabs that begin the line, as far as the cursor, carried over
        const QString line = head.mid(head.lastIndexOf('\n') + 1);
        const QString blanks = line.left(line.indexOf(QRegularExpression("[^ \t]")));
        return {put("\r\n" + blanks, 2 + blanks.size())};
    }
    if (key == "{Tab}" && picked.contains('\n')) { // every line the selection touches indented
        QStringList lines = t.split("\r\n");
        const int first = int(head.count('\n')), last = int((head + picked).count('\n'));
        for (int line = first; line <= last - (picked.endsWith('\n') ? 1 : 0); ++line)
            lines[line].prepend(indent);
        return {{lines.join("\r\n"), -1}};
    }
    if (key == "{Tab}")
        return {put(indent, indent.size())};
    if (key == "{Ctrl+V}")
        return {put(NormalizeToCrLf(clip), NormalizeToCrLf(clip).size())};
    if (key == "{Esc}" || key == "{Left}" || key == "{Right}")
        return {{t, key == "{Esc}" ? s : -1}};
    if (l > 0 && (key == "{Del}" || key == "{Backspace}"))
        return {put(QString(), 0)};
    if (key == "{Del}")
        return {{head + t.mid(s + (t.mid(s, 2) == "\r\n" ? 2 : 1)), s}};
    if (key == "{Backspace}") {
        const int width = s == 0 ? 0 : t.mid(s - 2, 2) == "\r\n" ? 2 : 1;
        return {{t.left(s - width) + t.mid(s), s - width}};
    }
    QList<Outcome> all{put(key, 1)};
    if (aids && key == "<")
        all << put("<>", 1);
    if (aids && key == ">")
        all << Outcome{head + rest, s + 1};
    if (aids && key == "\"")
        all << put('"' + picked + '"', 1 + picked.size());
    if (aids && key == "-" && head.endsWith("<!"))
        all << put("----", 2);
    // After "<" what starts no tag takes out the ">" the aid added; the comment aid's dashes and
    // "-->" stand for the ones typed by hand.
    if (aids && head.endsWith('<') && rest.startsWith('>') &&
        !QRegularExpression("^[a-zA-Z/!?%>]$").match(key).hasMatch())
        all << Outcome{head + key + rest.mid(1), s + 1};
    if (aids && key == "-" && head.endsWith("<!--"))
        all << Outcome{t, s};
    if (aids && key == ">" && head.endsWith("--") && rest.startsWith("-->"))
        all << Outcome{head + ">" + rest.mid(3), s + 1};
    return all;
}

} // namespace

// Editing a document by keys, the pointer and input methods, each edit undone and redone exactly.
class UndoTest : public QObject {
    Q_OBJECT

private slots:
    // Undo leaves text changed behind the history's back alone, and clearing forgets pending typing.
    void historyLeavesOtherChangesAlone() {
        RichTextControl control;
        UndoHistory history(control);
        history.AddUndo(QString(), "abc", 0);
        control.setSelText("abc");
        control.select(0, 3);
        control.setSelText("xyz");
        QVERIFY(!history.Undo() && !history.canUndo());
        history.typedAt(3, "ab");
        control.setSelText("ab");
        history.ClearAllUndo();
        QVERIFY(!history.Undo() && !history.canUndo());
        QCOMPARE(control.text(), "xyzab");
    }

    // Keys in a window: the text after, how many Ctrl+Z take it back to `restored` ("": before), Ctrl+R.
    void keys_data() {
        QTest::addColumn<bool>("colors");
        table({"before", "keys", "expected", "steps", "restored"}, {});
        for (const bool colored : {true, false})
            table({},
                  {"Delete over a selection; a[bc]defnext; {Delete}; a|defnext; 1; ",
                   "line selected with Shift+End, then Delete; |ab\r\ncd; {Shift+End}{Delete}; "
                   "|\r\ncd; 1; [ab]\r\ncd",
                   "Backspace over a selection; [ab]c; {Backspace}; |c; 1; ",
                   "Delete three times; |abcdef; {Delete}{Delete}{Delete}; |def; 1; ",
                   "Escape leaves the selection; a[b]c; {Esc}; a[b]c; 0; ",
                   "Ctrl+I types no tab; a|b; {Ctrl+I}; a|b; 0; ",
                   "select all, then a key; |abc; {Ctrl+A}x; x|; 1; [abc]",
                   "Return over a selection; a[b]c; {Return}; a\r\n|c; 1; ",
                   "paste after typing; |; ab{Ctrl+V}; abX\r\nY|; 2; ",
                   "Ctrl+X with nothing selected keeps the clipboard; a|b; {Ctrl+X}{Ctrl+V}; aX\r\nY|b; 1; "},
                  colored ? ", colours" : ", no colours", colored);
        table({}, {"tag typed without the aids; |; <p>Hi; <p>Hi|; 1; "}, ", no colours", false);
        table({},
              {"tag typed with the aids; |; <p>Hi; <p>Hi|; 3; ",
               "quote pair in a tag; <a |>; \"; <a \"|\">; 1; ",
               "a quote in text is one quote; a|b; \"; a\"|b; 1; ",
               "quote pair around the selection; <a [x]>; \"; <a \"x|\">; 1; ",
               "bracket pair over the selection; [x]; <; <|>; 1; ",
               "comment from the start of the text; |; <!-; <!--|-->; 2; ",
               "typing inside the comment; |; <!-x; <!--x|-->; 3; ",
               "enter; a|b; {Return}{Shift+Return}; a\r\n\r\n|b; 1; ",
               "ctrl+enter; a|b; {Ctrl+Return}; a<BR>|b; 1; ",
               "ctrl+alt+enter; a|b; {Ctrl+Alt+Return}; a<P>|b; 1; ",
               "tab and ctrl+tab; a|b; {Tab}{Ctrl+Tab}; a\t\t|b; 2; ",
               "entity keys; |; {Alt+Ö}{Shift+Alt+Ö}{Alt+<}; &ouml;&Ouml;&lt;|; 1; ",
               "backspace over a line break; a\r\n|b; {Backspace}{Backspace}; |b; 1; ",
               "insert does not overwrite; a|b; {Ins}x; ax|b; 1; ",
               "ctrl+backspace; one two|; {Ctrl+Backspace}; one |; 1; ",
               "completion; tab|; {Ctrl+Space}; TAB[LE]; 1; [tab]",
               "eleven steps, ten come back; |; {Tab}{Tab}{Tab}{Tab}{Tab}{Tab}{Tab}{Tab}{Tab}{Tab}{Tab}; "
               "\t\t\t\t\t\t\t\t\t\t\t|; 10; \t|",
               "a new step drops the undone ones, then Redo has none; |; {Tab}{Tab}{Ctrl+Z}x{Ctrl+R}; \tx|; "
               "2; ",
               "a run is recorded where it was typed; |xy; ab{End}c; abxyc|; 2; "},
              ", colours", true);
    }
    void keys() {
        QFETCH(bool, colors);
        const QString before = cell("before"), keys = cell("keys");
        AppFixture app;
        app.start();
        app.main->mutableSettings().UseColors = colors;
        app.main->mutableCommandWords() = {QString(), "TABLE", "TD"};
        QApplication::clipboard()->setText("X\nY");
        frmNotepad* window = app.document(0);
        // Shortcuts reach the window's menus as they do on a desktop: through the active window.
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()));
        window->txtRich->setFocus();
        window->txtRich->setText(unmarked(before));
        window->colorizeWhole();
        window->ClearAllUndo();
        selectMarked(*window->txtRich, before);
        QCOMPARE(render(*window->txtRich), before);
        typeKeys(window->txtRich, keys);
        QTEST(render(*window->txtRich), "expected");
        // With colours on, what the keys leave is coloured as the whole text coloured afresh.
        const QList<ColorValue> typed = ::colors(*window->txtRich);
        window->colorizeWhole();
        QVERIFY(!colors || typed == ::colors(*window->txtRich));
        const QString end = window->txtRich->text();
        QTEST(QString::number(repeat(window, Qt::Key_Z, window->mnuUndo)), "steps");
        QFETCH(QString, restored);
        QCOMPARE(render(*window->txtRich), restored.isEmpty() ? before : restored);
        repeat(window, Qt::Key_R, window->mnuRedo);
        QCOMPARE(window->txtRich->text(), end);
    }

    // Text from every way in holds CR LF breaks only, whatever it came with; Undo and Redo go exactly.
    void everyWayInGivesCrLf_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("lineBreak");
        for (const char* way :
             {"Edit menu", "toolbar", "Ctrl+V", "middle click", "drop", "input method", "dialog"})
            for (const auto& [name, lineBreak] :
                 {std::pair{"LF", "\n"}, {"CR", "\r"}, {"CR LF", "\r\n"}, {"LF CR", "\n\r"}})
                QTest::newRow(qPrintable(QString("%1, %2").arg(way, name))) << way << QString(lineBreak);
    }
    void everyWayInGivesCrLf() {
        const QString way = cell("way"), lineBreak = cell("lineBreak");
        const QString expectedBreak = lineBreak == "\n\r" ? "\r\n\r\n" : "\r\n";
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
        const QPoint at = window->txtRich->cursorRect().center();
        clipboard->setText(incoming, way == "middle click" ? QClipboard::Selection : QClipboard::Clipboard);
        if (way == "Edit menu") {
            window->action(CommandId::Paste)->trigger();
        } else if (way == "toolbar") {
            auto* paste = app.main->findChild<SkinButton*>("picPaste");
            QTest::mouseClick(paste, Qt::LeftButton, {}, QPoint(5, 5));
        } else if (way == "Ctrl+V") {
            sendKey(window->txtRich, Qt::Key_V, Qt::ControlModifier);
        } else if (way == "middle click") {
            QTest::mouseClick(window->txtRich->viewport(), Qt::MiddleButton, {}, at);
        } else if (way == "drop") { // text dragged in from another program
            QMimeData data;
            data.setText(incoming);
            QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(window->txtRich->viewport(), &enter);
            QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(window->txtRich->viewport(), &drop);
        } else if (way == "input method") {
            QInputMethodEvent commit;
            commit.setCommitString(incoming);
            QApplication::sendEvent(window->txtRich, &commit);
        } else {
            window->InsertAtCursor(incoming);
        }
        // Pasted text is coloured as the whole text coloured afresh.
        const QList<ColorValue> pasted = colors(*window->txtRich);
        window->colorizeWhole();
        QVERIFY(way == "input method" || pasted == colors(*window->txtRich));
        QString texts = window->txtRich->text() + "|";
        QVERIFY(window->mnuUndo->isEnabled());
        window->mnuUndo->trigger();
        texts += window->txtRich->text() + "|";
        window->mnuRedo->trigger();
        const QString expected = "a<p>one" + expectedBreak + "two" + expectedBreak + "b";
        QCOMPARE(texts + window->txtRich->text(), expected + "|ab|" + expected);
    }

    // Random keys, clicks and pastes, five at a time, each doing what it must; Undo and Redo go exactly.
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
        const QStringList actions =
            QString("a|<|>|\"|-|!| "
                    "|{Return}|{Backspace}|{Del}|{Left}|{Right}|{Ctrl+V}|{Ctrl+Backspace}|{Tab}|{Esc}")
                .split('|');
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
                const QString clip = random.bounded(2) ? "p\nq" : "<i>";
                QApplication::clipboard()->setText(clip);
                const QString key = actions.at(random.bounded(int(actions.size())));
                const QString was = text->text();
                const int start = text->selStart(), length = text->selLength();
                typeKeys(text, key);
                done += key;
                const QString now = text->text();
                const QByteArray what =
                    QString("round %1: %2 on %3 at %4+%5 gives %6")
                        .arg(QString::number(round), done, QUrl::toPercentEncoding(was),
                             QString::number(start), QString::number(length), QUrl::toPercentEncoding(now))
                        .toUtf8();
                if (key == "{Ctrl+Backspace}") { // a word or break before the cursor, the rest kept
                    const QString kept = was.mid(start + length);
                    QVERIFY2(now.endsWith(kept) && was.startsWith(now.chopped(kept.size())) &&
                                 now.size() < was.size() + (start == 0 && length == 0),
                             what);
                    continue;
                }
                const QList<Outcome> allowed =
                    mustGive(was, start, length, key, clip, app.main->settings().Indent,
                             app.main->settings().UseColors);
                QVERIFY2(allowed.contains(Outcome{now, text->selStart()}) ||
                             allowed.contains(Outcome{now, -1}),
                         what);
            }
            const QString after = text->text();
            repeat(window, Qt::Key_Z, window->mnuUndo);
            const QByteArray what = QString("round %1: %2").arg(round).arg(done).toUtf8();
            QVERIFY2(text->text() == before, what);
            repeat(window, Qt::Key_R, window->mnuRedo);
            QVERIFY2(text->text() == after, what);
        }
    }

    // A selection (start, length) dragged to an offset moves, or with Ctrl is copied; one Ctrl+Z undoes it.
    void dragMovesText_data() {
        table({"drag", "expected"}, {"forward; 3 3 18; <p> two</p>\r\nthoneree",
                                     "back to the start; 7 3 0; two<p>one </p>\r\nthree",
                                     "a line break; 10 6 20; <p>one twothre</p>\r\ne",
                                     "Ctrl copies; 3 3 18 Ctrl; <p>one two</p>\r\nthoneree",
                                     "onto the selection; 3 3 5; <p>one two</p>\r\nthree"});
    }
    void dragMovesText() {
        const QString drag = cell("drag"), expected = cell("expected");
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
        QFETCH(QString, commit);
        ShellFixture app;
        app.start();
        app.main->mutableSettings().UseColors = cell("colors") == "on";
        frmNotepad* window = app.document(0);
        RichTextControl* text = window->txtRich;
        text->setText("<p>ab</p>\r\nx");
        window->ClearAllUndo();
        text->select(3, 2);
        QInputMethodEvent composing(cell("preedit"), {});
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

QTEST_MAIN(UndoTest)
#include "tst_undo.moc"
