#include "editor/Search.h"
#include "editor/frmFind.h"
#include "editor/frmGoTo.h"
#include "editor/mdlFile.h"
#include "support/DataTable.h"
#include "support/Rendered.h"
#include "support/ShellFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace {

// Drives the find dialog over a document, one word a step: fTEXT and rTEXT fill the boxes; c, up,
// beg, end, sel and all tick those options; sS,L selects; F, R and N press Find Next, Replace and
// the window's Find Next; y and n answer the next question; =TEXT checks the document with its
// selection, !TEXT the last message, - that there was none. "_" in a text stands for a space.
void run(ShellFixture& app, frmFind& find, frmNotepad* document, const QString& script) {
    for (const QString& word : script.split(' ', Qt::SkipEmptyParts)) {
        const QChar op = word.at(0);
        const QString arg = word.mid(1).replace('_', ' ');
        if (op == 'f' || op == 'r')
            (op == 'f' ? find.cmbFind : find.cmbReplace)->setCurrentText(arg);
        else if (word == "c" || word == "sel" || word == "all")
            (word == "c" ? find.chkCase : word == "sel" ? find.chkSelectedText : find.chkReplaceAll)->click();
        else if (word == "up" || word == "beg" || word == "end")
            (word == "up" ? find.optUp : word == "beg" ? find.optBeginning : find.optEnd)->click();
        else if (op == 's')
            document->txtRich->select(arg.section(',', 0, 0).toInt(), arg.section(',', 1).toInt());
        else if (word == "F" || word == "R")
            (word == "F" ? find.cmdFind : find.cmdReplace)->click();
        else if (word == "N")
            document->action(CommandId::FindNext)->trigger();
        else if (word == "y" || word == "n")
            app.dialogs.answers.enqueue(word == "y" ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        else if (op == '=')
            QCOMPARE(render(*document->txtRich), arg);
        else if (op == '!')
            QCOMPARE(app.dialogs.messages.isEmpty() ? QString() : app.dialogs.messages.last().text, arg);
        else if (op == '-')
            QCOMPARE(app.dialogs.messages.size(), 0);
        if (op == '!')
            app.dialogs.messages.clear();
    }
}

} // namespace

class FindTest : public QObject {
    Q_OBJECT

private slots:
    void search_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("script");
        const auto row = [](const char* name, const char* text, const char* script) {
            QTest::newRow(name) << QString(text) << QString(script);
        };
        row("matches may overlap", "aaa", "faa beg F =[aa]a F =a[aa] F !Unable_to_find_\"aa\"");
        row("case ignored, then matched", "a Table", "fTABLE beg F =a_[Table] c F !Unable_to_find_\"TABLE\"");
        row("upward from the end finds the last character", "xab",
            "fb up end F =xa[b] F !Unable_to_find_\"b\"");
        row("selected text stays the stretch searched", "ab ab ab ab",
            "s3,5 sel fab beg F =ab_[ab]_ab_ab F =ab_ab_[ab]_ab F !Unable_to_find_\"ab\" =ab_[ab_ab]_ab");
        row("a replacement moves the stretch's end", "ab ab ab",
            "s0,5 sel fab rXYZ beg F R F =XYZ_[ab]_ab F !Unable_to_find_\"ab\"");
        row("nothing selected to search in", "ab",
            "sel fab F !There_is_no_text_selected_in_the_current_dockument!");
        row("an empty replacement at the start", "aab", "fa beg F R =|ab F =[a]b R F !Unable_to_find_\"a\"");
        row("the window's Find Next searches the whole text", "ab ab ab ab",
            "s3,5 sel fab beg F =ab_[ab]_ab_ab N =ab_ab_[ab]_ab N =ab_ab_ab_[ab] N -");
        row("the window's Find Next takes the selection", "one two one", "s0,3 N =one_two_[one] -");
        row("replace all, asked first", "a b a", "fa rA all n F =|a_b_a y F !Replace_All_Done! =A_b_A|");
    }
    void search() {
        QFETCH(QString, text);
        QFETCH(QString, script);
        ShellFixture app;
        app.start();
        app.main->mutableSettings().UseColors = false;
        frmNotepad* document = app.document(0);
        document->txtRich->setText(text);
        frmFind& find = app.main->findDialog();
        find.showForCurrentDocument();
        run(app, find, document, script);
    }

    // Several documents: the search goes on where it last matched, a closed one is left out, a
    // renamed one is still found; Replace All forgets the history only where text changed.
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
        find.chkReplaceAll->click();
        find.cmbFind->setCurrentText("x");
        find.cmbReplace->setCurrentText("y");
        app.dialogs.answers.enqueue(Dialogs::Answer::Yes);
        find.cmdFind->click();
        QCOMPARE(first->txtRich->text(), QString("y a a"));
        QVERIFY(!first->mnuUndo->isEnabled());
        QCOMPARE(third->undoHistory().step(0).InsertedText, QString("keep"));
        QVERIFY(!find.chkReplaceAll->isChecked());
        find.lstDocuments->clearSelection();
        find.cmdFind->click();
        QCOMPARE(app.dialogs.messages.last().text, QString("There are no documents selected!"));
    }

    // Minimising the main window hides the dialog and restoring it brings it back; a dialog
    // closed before stays closed.
    void followsTheMainWindow_data() {
        table({"shown"}, {"open: hides and returns; yes", "closed: stays closed; no"});
    }
    void followsTheMainWindow() {
        const bool shown = QTest::currentDataTag()[0] == 'o';
        ShellFixture app;
        app.start();
        QVERIFY(QTest::qWaitForWindowExposed(app.main.get()));
        frmFind& find = app.main->findDialog();
        find.showForCurrentDocument();
        QVERIFY(QTest::qWaitForWindowExposed(&find));
        if (!shown)
            find.cmdClose->click();
        // Under a window manager the window is gone from the screen only once it has done so.
        const bool managed = QGuiApplication::platformName() == "xcb";
        app.main->showMinimized();
        QTRY_VERIFY(app.main->isMinimized() && !(managed && app.main->windowHandle()->isExposed()));
        QTRY_VERIFY(!find.isVisible());
        app.main->showNormal();
        QTRY_VERIFY(!app.main->isMinimized() && !(managed && !app.main->windowHandle()->isExposed()));
        QTRY_COMPARE(find.isVisible(), shown);
        QTest::qWait(100);
        QCOMPARE(find.isVisible(), shown);
    }

    // Reopened, the dialog keeps the documents picked that are still open; with none picked,
    // "Search in the selected documents below" is turned off rather than finding nothing.
    void reopenedDocumentChoice_data() {
        table({"picked", "closed", "expected"},
              {"picked and open: kept; 0 2; ; on 0 2", "one picked closed: the other kept; 0 2; 2; on 0",
               "the only one picked closed: off; 1; 1; off", "none picked: off; ; ; off"});
    }
    void reopenedDocumentChoice() {
        QFETCH(QString, picked);
        QFETCH(QString, closed);
        ShellFixture app;
        app.start();
        QList<frmNotepad*> documents{app.document(0), NewDocument(*app.main), NewDocument(*app.main)};
        QStringList titles;
        for (frmNotepad* document : documents)
            titles << document->windowTitle();
        frmFind& find = app.main->findDialog();
        find.showForCurrentDocument();
        find.chkDocuments->click();
        for (const QString& k : picked.split(' ', Qt::SkipEmptyParts))
            find.lstDocuments->item(k.toInt())->setSelected(true);
        find.cmdClose->click();
        for (const QString& k : closed.split(' ', Qt::SkipEmptyParts)) {
            app.main->documents().DocumentSlots[documents[k.toInt()]->slot()].Modified = false;
            documents[k.toInt()]->close();
        }
        ShellFixture::flush();
        find.showForCurrentDocument();
        QStringList state{find.chkDocuments->isChecked() ? "on" : "off"};
        for (int row = 0; row < find.lstDocuments->count(); ++row)
            if (find.lstDocuments->item(row)->isSelected())
                state << QString::number(titles.indexOf(find.lstDocuments->item(row)->text()));
        QTEST(state.join(' '), "expected");
    }

    // The dialog opens on the find box, its text selected; Esc hides it and the histories are written
    // then and at the end of the program; every mnemonic letter acts alone.
    void keyboardAndHistories() {
        ShellFixture app;
        app.env.writeFile("data/Quillora/finds.txt", "old\r\n");
        app.start();
        frmNotepad* document = app.document(0);
        document->txtRich->setText("word here");
        document->txtRich->select(0, 4);
        frmFind& find = app.main->findDialog();
        find.showForCurrentDocument();
        QCOMPARE(find.cmbFind->currentText(), QString("word"));
        QCOMPARE(find.cmbFind->lineEdit()->selectedText(), QString("word"));
        QCOMPARE(find.cmbFind->itemText(1), QString("old"));
        QStringList letters;
        for (QAbstractButton* button : find.findChildren<QAbstractButton*>()) {
            const qsizetype amp = button->text().indexOf('&');
            if (amp >= 0)
                letters << button->text().mid(amp + 1, 1).toUpper();
        }
        letters.sort();
        QCOMPARE(letters, QStringList(letters.begin(), std::unique(letters.begin(), letters.end())));
        find.optBeginning->click();
        find.cmdFind->click();
        QTest::keyClick(&find, Qt::Key_Escape);
        QVERIFY(find.isHidden());
        QCOMPARE(TestEnvironment::readFile(app.env.programFolder() + "/finds.txt"),
                 QByteArray("old\r\nword\r\n"));
        find.cmbReplace->addItem("later");
        app.main.reset();
        QCOMPARE(TestEnvironment::readFile(app.env.programFolder() + "/replaces.txt"),
                 QByteArray("later\r\n"));
    }

    // Go To from Ctrl+G: the dialog shows the cursor's place and moves the cursor on Enter.
    void goTo() {
        ShellFixture app;
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
            QTest::keyClicks(dialog->txtLineNr, "2");
            QTest::keyClick(dialog->txtCharNr, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(dialog->txtCharNr, "x5");
            QTest::keyClick(dialog->txtCharNr, Qt::Key_Return);
        });
        QTest::keyClick(document->txtRich, Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(shown, QStringList({"2", "3", "/ 3", "/ 10"}));
        QCOMPARE(document->txtRich->selStart(), 9);
    }
};

QTEST_MAIN(FindTest)
#include "tst_find.moc"
