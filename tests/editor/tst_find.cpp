#include "editor/frmFind.h"
#include "editor/frmGoTo.h"
#include "editor/mdlFile.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/Rendered.h"
#include "support/ShellFixture.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// Drives the find dialog, a word a step: fTEXT, rTEXT fill the boxes; c, up, beg, end, sel, all tick those
// options (X, W: regular expression, whole word); sS,L selects; O reopens the dialog; F, R, N press Find
// Next, Replace, the window's Find Next; y, n answer the next question; z, Z press Ctrl+Z, Ctrl+R in the
// document; =TEXT checks the document with its selection, @S,L the selection alone, ?TEXT the first message,
// !TEXT the last (! alone: none). "_" in a text stands for a space.
void run(ShellFixture& app, frmFind& find, frmNotepad* document, const QString& script) {
    QAbstractButton* regex = find.findChild<QCheckBox*>("chkRegex");
    QAbstractButton* word = find.findChild<QCheckBox*>("chkWholeWord");
    const QHash<QString, QAbstractButton*> buttons{
        {"c", find.chkCase}, {"sel", find.chkSelectedText}, {"all", find.chkReplaceAll},
        {"up", find.optUp},  {"beg", find.optBeginning},    {"end", find.optEnd},
        {"F", find.cmdFind}, {"R", find.cmdReplace},        {"X", regex},
        {"W", word}};
    for (const QString& word : script.split(' ', Qt::SkipEmptyParts)) {
        const QChar op = word.at(0);
        const QString arg = word.mid(1).replace('_', ' ');
        if (buttons.contains(word))
            buttons[word]->click();
        else if (word == "O")
            find.showForCurrentDocument();
        else if (op == 'f' || op == 'r')
            (op == 'f' ? find.cmbFind : find.cmbReplace)->setCurrentText(arg);
        else if (op == 's')
            document->txtRich->select(arg.section(',', 0, 0).toInt(), arg.section(',', 1).toInt());
        else if (word == "N")
            document->action(CommandId::FindNext)->trigger();
        else if (word == "z" || word == "Z")
            sendKey(document->txtRich, word == "z" ? Qt::Key_Z : Qt::Key_R, Qt::ControlModifier);
        else if (op == '?')
            QCOMPARE(app.dialogs.messages.value(0).text, arg);
        else if (word == "y" || word == "n")
            app.dialogs.answers.enqueue(word == "y" ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        else if (op == '=')
            QCOMPARE(render(*document->txtRich), arg);
        else if (op == '@')
            QCOMPARE(QString("%1,%2").arg(document->txtRich->selStart()).arg(document->txtRich->selLength()),
                     arg);
        else if (op == '!') {
            QCOMPARE(app.dialogs.messages.isEmpty() ? QString() : app.dialogs.messages.last().text, arg);
            app.dialogs.messages.clear();
        }
    }
}

} // namespace

class FindTest : public QObject {
    Q_OBJECT

private slots:
    void search_data() {
        table(
            {"text", "script"},
            {"matches may overlap; aaa; faa beg F =[aa]a F =a[aa] F !Unable_to_find_\"aa\"",
             "case ignored, then matched; a Table; fTABLE beg F =a_[Table] c F !Unable_to_find_\"TABLE\"",
             "upward from the end finds the last character; xab; fb up end F =xa[b] F !Unable_to_find_\"b\"",
             "selected text stays the stretch searched; ab ab ab ab; "
             "s3,5 sel fab beg F =ab_[ab]_ab_ab F =ab_ab_[ab]_ab F !Unable_to_find_\"ab\" =ab_[ab_ab]_ab",
             "a replacement moves the stretch's end, the search goes on after it; ab ab ab; "
             "s0,5 sel fab rabab beg F R F =abab_[ab]_ab F !Unable_to_find_\"ab\"",
             "from the cursor by default, CR LF text; ab\r\nab\r\nab; s5,0 fab F =ab\r\nab\r\n[ab] up F "
             "=ab\r\n[ab]\r\nab",
             "a selection under 500 characters is searched for; x*700; s1,499 O F @1,499 F @2,499",
             "a selection of 500 is searched in; x*700; fx s1,500 O up end F @500,1",
             "a match past 65,536 characters of a line, accents; x*70000é ab; fÉ_AB F @70000,4",
             "nothing selected to search in; ab; sel fab F "
             "!There_is_no_text_selected_in_the_current_dockument!",
             "an empty replacement at the start; aab; fa beg F R =|ab F =[a]b R F !Unable_to_find_\"a\"",
             "the window's Find Next searches the whole text; ab ab ab ab; "
             "s3,5 sel fab beg F =ab_[ab]_ab_ab N =ab_ab_[ab]_ab N =ab_ab_ab_[ab] N !",
             "the window's Find Next takes the selection; one two one; s0,3 N =one_two_[one] !",
             "replace all, asked first; a b a; fa rA all n F =|a_b_a y F !Replace_All_Done! =A_b_A|",
             "a pattern down, then up from the end; a1 b22 c333; X f\\d+ beg F =a[1]_b22_c333 F "
             "=a1_b[22]_c333 F =a1_b2[2]_c333 up end F =a1_b22_c33[3] F =a1_b22_c3[33]",
             "a pattern's groups in Replace; a1 b22; X f(\\w)(\\d+) r$2\\1 beg F R F =1a_[b22] R =1a_22|b",
             "empty matches: Find Next moves on; ab\r\ncd; X f$ beg F =ab|\r\ncd F =ab\r\ncd| F "
             "!Unable_to_find_\"$\"",
             "empty matches: each replaced once; ab\r\ncd; X f^ r> beg F R F R =>ab\r\n|>cd F "
             "!Unable_to_find_\"^\"",
             "whole words; cat concat cat; W fcat beg F =[cat]_concat_cat F =cat_concat_[cat] F "
             "!Unable_to_find_\"cat\"",
             "Replace keeps to match case; Table table; ftable rX c s0,5 R =[Table]_table s6,5 R =Table_|X",
             "the window's Find Next goes on with a pattern; a1 b2; X f\\d beg F N =a1_b[2]",
             "a pattern not valid: told, nothing searched or replaced; a(b; X fa( ra s0,2 F "
             "!The_search_pattern_is_not_valid:_missing_closing_parenthesis_at_character_3. R "
             "!The_search_pattern_is_not_valid:_missing_closing_parenthesis_at_character_3. all y F "
             "=[a(]b ?The_search_pattern_is_not_valid:_missing_closing_parenthesis_at_character_3."});
    }
    void search() {
        QFETCH(QString, text);
        // "c*N" in a text stands for N times c.
        const QRegularExpressionMatch many = QRegularExpression("(.)\\*(\\d+)").match(text);
        if (many.hasMatch())
            text.replace(many.capturedStart(), many.capturedLength(),
                         QString(many.captured(2).toInt(), many.captured(1)[0]));
        ShellFixture app;
        app.start();
        app.main->mutableSettings().UseColors = false;
        frmNotepad* document = app.document(0);
        document->txtRich->setText(text);
        frmFind& find = app.main->findDialog();
        find.showForCurrentDocument();
        run(app, find, document, cell("script"));
    }

    // Replace All is one undo step; the question counts the matches first.
    void replaceAll_data() {
        table(
            {"text", "script"},
            {"undone and redone whole, with the selection; a b a; s2,1 fa r<i> all y F "
             "?Replace_2_matches_in_1_document? !Replace_All_Done! =<i>_b_<i>| z =a_[b]_a Z =<i>_b_<i>| z "
             "=a_[b]_a",
             "one match in the singular; xay; fa rb all y F ?Replace_1_match_in_1_document? =xby|",
             "declined: nothing changes; a b a; s1,1 fa rA all n F =a[_]b_a z =a[_]b_a "
             "!Replace_2_matches_in_1_document?",
             "counted with match case, undone; aAa; fa rx c all y F ?Replace_2_matches_in_1_document? =xAx| "
             "z =|aAa",
             "no match, no question; ab; fq all F ?Unable_to_find_\"q\" !Unable_to_find_\"q\"",
             "in the selected text; a a a a; s2,3 sel fa rbb all y F =a_bb_bb|_a z =a_[a_a]_a Z =a_bb_bb|_a",
             "matches replaced by themselves change nothing; aXa; fa ra all y F !Replace_All_Done! =|aXa z "
             "=|aXa"});
    }
    void replaceAll() { search(); }

    // Across two coloured documents: each undoes and redoes its own Replace All, coloured afresh.
    void replaceAllUndoneInEachDocument() {
        ShellFixture app;
        app.start();
        app.main->mutableSettings().UseColors = true;
        frmNotepad* windows[] = {app.document(0), NewDocument(*app.main)};
        const QString texts[] = {"<b>a</b> a\r\n", "x <i a=\"1\">a"};
        DocumentTable& table = app.main->documents();
        QStringList before, after;
        for (int i = 0; i < 2; ++i) {
            windows[i]->txtRich->setText(texts[i]);
            windows[i]->colorizeWhole();
            windows[i]->txtRich->select(2 * i + 1, i);
            table.setModified(windows[i]->slot(), false);
            before << render(*windows[i]->txtRich);
        }
        frmFind& find = app.main->findDialog();
        find.showForCurrentDocument();
        find.chkDocuments->click();
        find.lstDocuments->selectAll();
        find.cmbFind->setCurrentText("A");
        find.cmbReplace->setCurrentText("<u>");
        find.chkReplaceAll->click();
        app.dialogs.answers.enqueue(Dialogs::Answer::Yes);
        find.cmdFind->click();
        QCOMPARE(app.dialogs.messages.value(0).text, "Replace 4 matches in 2 documents?");
        for (frmNotepad* window : windows) {
            const int slot = window->slot();
            QVERIFY(table.DocumentSlots[slot].Modified);
            after << render(*window->txtRich);
            table.setModified(slot, false);
            for (const auto& [key, expected] :
                 {std::pair{Qt::Key_Z, &before}, {Qt::Key_R, &after}, {Qt::Key_Z, &before}}) {
                sendKey(window->txtRich, key, Qt::ControlModifier);
                QCOMPARE(render(*window->txtRich), expected->at(window == windows[0] ? 0 : 1));
                const QList<ColorValue> restored = colors(*window->txtRich);
                window->colorizeWhole();
                QCOMPARE(colors(*window->txtRich), restored);
            }
            QVERIFY(table.DocumentSlots[slot].Modified);
        }
        QCOMPARE(after, QStringList({"<b><u></b> <u>\r\n|", "x <i <u>=\"1\"><u>|"}));
    }

    // The step is one of ten (an eleventh pushes it out) and keeps the pieces or the one whole text,
    // whichever is smaller.
    void replaceAllStep_data() {
        table({"text", "find", "later", "held"},
              {"few matches; x*20000<A>a; a; 9; 0.01", "matches everywhere; a*20000; a; 9; 1.1",
               "pushed out by an eleventh step; x*20000<a>; <; 10; 0.01"});
    }
    void replaceAllStep() {
        ShellFixture app;
        app.start();
        app.main->mutableSettings().UseColors = false;
        frmNotepad* document = app.document(0);
        const QString text = QString(cell("text"))
                                 .replace("x*20000", QString(20000, 'x'))
                                 .replace("a*20000", QString(20000, 'a'));
        document->txtRich->setText(text);
        frmFind& find = app.main->findDialog();
        find.showForCurrentDocument();
        run(app, find, document, "f" + cell("find") + " r&lt; all y F");
        const QString replaced = document->txtRich->text();
        // "held": the most the step may keep, against the text's size in memory.
        QCOMPARE_LE(document->undoHistory().heldBytes(), cell("held").toDouble() * 2 * text.size());
        const int later = cell("later").toInt();
        for (int i = 0; i < later; ++i)
            document->ReplaceSelection("s");
        for (int i = 0; i < UndoHistory::kSteps && document->mnuUndo->isEnabled(); ++i)
            sendKey(document->txtRich, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(document->txtRich->text(), later < UndoHistory::kSteps ? text : replaced);
        sendKey(document->txtRich, Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(document->txtRich->text(), later < UndoHistory::kSteps ? replaced : replaced + "s");
    }

    // "Regular expression" and "Whole word" show the settings and change them.
    void patternOptionsInSettings() {
        ShellFixture app;
        app.start();
        app.main->mutableSettings().FindWholeWord = true;
        frmFind& find = app.main->findDialog();
        auto* regex = find.findChild<QCheckBox*>("chkRegex");
        auto* word = find.findChild<QCheckBox*>("chkWholeWord");
        QVERIFY(regex && word && !regex->isChecked() && word->isChecked());
        regex->click();
        word->click();
        QVERIFY(app.main->settings().FindRegex && !app.main->settings().FindWholeWord);
    }

    // Several documents: closed, renamed, Replace All's undo, the picks kept over reopening.
    void severalDocuments() {
        ShellFixture app;
        app.start();
        app.main->mutableSettings().UseColors = false;
        frmNotepad* first = app.document(0);
        frmNotepad* second = NewDocument(*app.main);
        frmNotepad* third = NewDocument(*app.main);
        first->txtRich->setText("x a a");
        second->txtRich->setText("none");
        third->txtRich->setText("a");
        third->AddUndo(QString(), "keep", 0);
        first->AddUndo(QString(), "gone", 0);
        frmFind& find = app.main->findDialog();
        const auto reopened = [&] {
            find.cmdClose->click();
            find.showForCurrentDocument();
            QStringList state{find.chkDocuments->isChecked() ? "on" : "off"};
            for (int row = 0; row < find.lstDocuments->count(); ++row)
                if (find.lstDocuments->item(row)->isSelected())
                    state << find.lstDocuments->item(row)->text();
            return state.join(", ");
        };
        find.showForCurrentDocument();
        QCOMPARE(find.lstDocuments->count(), 3);
        find.chkDocuments->click();
        find.lstDocuments->selectAll();
        app.main->documents().DocumentSlots[second->slot()].Modified = false;
        second->close();
        ShellFixture::flush();
        first->setWindowTitle("renamed");
        find.cmbFind->setCurrentText("a");
        find.optBeginning->click();
        for (const auto& [window, expected] : std::vector<std::pair<frmNotepad*, QString>>{
                 {first, "x [a] a"}, {first, "x a [a]"}, {third, "[a]"}}) {
            find.cmdFind->click();
            QCOMPARE(render(*window->txtRich), expected);
        }
        QCOMPARE(reopened(), "on, " + first->windowTitle() + ", " + third->windowTitle());
        find.chkReplaceAll->click();
        find.cmbFind->setCurrentText("x");
        find.cmbReplace->setCurrentText("y");
        app.dialogs.answers.enqueue(Dialogs::Answer::Yes);
        find.cmdFind->click();
        QCOMPARE(first->txtRich->text(), QString("y a a"));
        QCOMPARE(first->undoHistory().step(1).InsertedText, QString("gone"));
        QCOMPARE(third->undoHistory().step(0).InsertedText, QString("keep"));
        QVERIFY(!find.chkReplaceAll->isChecked());
        find.lstDocuments->clearSelection();
        find.cmdFind->click();
        QCOMPARE(app.dialogs.messages.last().text, QString("There are no documents selected!"));
        QCOMPARE(reopened(), QString("off"));
    }

    // Minimising the main window hides the dialog and restoring it brings it back, unless it was closed.
    void followsTheMainWindow() {
        ShellFixture app;
        app.start();
        QVERIFY(QTest::qWaitForWindowExposed(app.main.get()));
        frmFind& find = app.main->findDialog();
        find.showForCurrentDocument();
        QVERIFY(QTest::qWaitForWindowExposed(&find));
        // Under a window manager the window is gone from the screen only once it has done so.
        const bool managed = QGuiApplication::platformName() == "xcb";
        for (const bool shown : {true, false}) {
            if (!shown)
                find.cmdClose->click();
            app.main->showMinimized();
            QTRY_VERIFY(app.main->isMinimized() && !(managed && app.main->windowHandle()->isExposed()));
            QTRY_VERIFY(!find.isVisible());
            app.main->showNormal();
            QTRY_VERIFY(!app.main->isMinimized() && !(managed && !app.main->windowHandle()->isExposed()));
            QTRY_COMPARE(find.isVisible(), shown);
            QTest::qWait(100);
            QCOMPARE(find.isVisible(), shown);
        }
    }

    // Go To by keys; find text selected on opening, unique mnemonics, histories written on Esc and exit.
    void goToKeyboardAndHistories() {
        ShellFixture app;
        app.env.writeFile("data/Quillora/finds.txt", "old\r\n");
        app.start();
        frmNotepad* document = app.document(0);
        document->txtRich->setText("one\r\ntwo three\r\nx");
        document->txtRich->select(7, 0);
        QStringList shown;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<frmGoTo*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            shown << dialog->txtLineNr->text() << dialog->txtCharNr->text() << dialog->lblTotlines->text()
                  << dialog->lblTotchars->text();
            typeText(dialog->txtLineNr, "2");
            typeKeys(dialog->txtCharNr, "{Ctrl+A}x5{Return}");
        });
        sendKey(document->txtRich, Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(shown, QStringList({"2", "3", "/ 3", "/ 10"}));
        QCOMPARE(document->txtRich->selStart(), 9);

        document->txtRich->setText("word here");
        document->txtRich->select(0, 4);
        frmFind& find = app.main->findDialog();
        find.showForCurrentDocument();
        QCOMPARE(QStringList({find.cmbFind->currentText(), find.cmbFind->lineEdit()->selectedText(),
                              find.cmbFind->itemText(1)}),
                 QStringList({"word", "word", "old"}));
        QStringList letters;
        for (QAbstractButton* button : find.findChildren<QAbstractButton*>())
            if (button->text().contains('&'))
                letters << button->text().section('&', 1).left(1).toUpper();
        QCOMPARE(letters.removeDuplicates(), 0);
        find.optBeginning->click();
        find.cmdFind->click();
        sendKey(&find, Qt::Key_Escape);
        QVERIFY(find.isHidden());
        QCOMPARE(TestEnvironment::readFile(app.env.programFolder() + "/finds.txt"),
                 QByteArray("old\r\nword\r\n"));
        find.cmbReplace->addItem("later");
        app.main.reset();
        QCOMPARE(TestEnvironment::readFile(app.env.programFolder() + "/replaces.txt"),
                 QByteArray("later\r\n"));
    }
};

QTEST_MAIN(FindTest)
#include "tst_find.moc"
