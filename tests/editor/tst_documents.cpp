#include "editor/mdlFile.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/Rendered.h"

#include <QtTest>
#include <QtWidgets>
#include <cerrno>
#include <tuple>

using OpenSave = std::tuple<QByteArray, int, QString, QString, QByteArray>;

// Document windows: captions and marks, closing, files, dialogs and commands.
class DocumentsTest : public QObject {
    Q_OBJECT

    static QString mark(const AppFixture& app, int slot) { // caption|path recorded|marked modified
        return app.document(slot)->windowTitle() + "|" + app.record(slot).PathCaption + "|" +
               QString::number(app.record(slot).Modified);
    }

private slots:
    // Each window marks its own slot, reused from the lowest; new documents from the template; tiling.
    void windows() {
        AppFixture app;
        const QString path = app.env.writeFile("dir/page.htm", "x");
        app.start({path, path});
        app.main->mutableSettings().DefaultNewLN = "\n";
        QCOMPARE(NewDocument(*app.main)->saveFormat(), SaveFormat::Unix);
        app.document(1)->txtRich->setSelStart(0);
        typeKeys(app.document(1)->txtRich, "ab{Backspace}");
        QCOMPARE(mark(app, 1) + " " + mark(app, 0), path + "*|" + path + "|1 " + path + "|" + path + "|0");
        const DocumentTable& table = app.main->documents();
        QVERIFY(table.FindDocumentByCaption(path) == 0 && table.FindDocumentByCaption("nothing") == -1);
        app.document(0)->showMinimized(); // shows the file name
        const QString minimized = app.document(0)->windowTitle();
        app.document(0)->showNormal();
        QCOMPARE(minimized + " " + app.document(0)->windowTitle(), "page.htm " + path);
        app.document(0)->close();
        app.flush();
        app.main->mutableSettings().DefaultNewLN = "\r";
        frmNotepad* reused = NewDocument(*app.main);
        QCOMPARE(mark(app, 0) + " " + reused->txtRich->tag(), "Untitled [0]||0 0");
        QVERIFY(reused->saveFormat() == SaveFormat::Mac && table.slotCount() == 3);
        const QString shipped = TestEnvironment::readFile(app.env.programFolder() + "/default.htm");
        QCOMPARE(render(*reused->txtRich), QString(shipped).replace("@@", "|"));
        app.document(0)->action(CommandId::TileVertical)->trigger(); // windows 1 and 2 come first
        QVERIFY(app.document(1)->geometry().right() < app.document(2)->geometry().left());
        app.document(0)->action(CommandId::TileHorizontal)->trigger();
        QVERIFY(app.document(1)->geometry().bottom() < app.document(2)->geometry().top());
        QCOMPARE(app.document(1)->width(), app.main->mdiArea()->viewport()->width());
    }

    // "Yes" followed by a cancelled save dialog keeps the window, so the text is not lost.
    void closingRules_data() {
        table({"answer", "saveAs", "staysOpen"},
              {"cancel keeps; Cancel; ; 1", "no closes unsaved; No; ; 0", "yes saves and closes; Yes; ; 0",
               "yes on untitled, dialog cancelled; Yes; -; 1", "yes on untitled, saved as; Yes; new.htm; 0"});
    }
    void closingRules() {
        QFETCH(QString, answer);
        QFETCH(QString, saveAs); // "" for a file of its own, "-" for untitled with the dialog cancelled
        QFETCH(QString, staysOpen);
        AppFixture app;
        const QString path = saveAs.isEmpty() ? app.env.writeFile("doc.htm", "old") : QString();
        app.start(saveAs.isEmpty() ? QStringList{path} : QStringList{});
        frmNotepad* window = app.document(0);
        window->action(CommandId::SelectAll)->trigger();
        window->txtRich->setSelText("new text");
        const QString caption = window->windowTitle(),
                      target = saveAs.size() > 1 ? app.env.root() + "/" + saveAs : path;
        app.dialogs.savePaths.enqueue(target); // "" cancels the dialog
        app.dialogs.answers.enqueue(answer == "Yes"  ? Dialogs::Answer::Yes
                                    : answer == "No" ? Dialogs::Answer::No
                                                     : Dialogs::Answer::Cancel);
        window->close();
        app.flush();
        QVERIFY(app.dialogs.messages.size() == 1 &&
                app.dialogs.messages[0].buttons == Dialogs::Buttons::YesNoCancel);
        QCOMPARE(app.dialogs.messages[0].text, "Save changes to [" + caption + "] ?");
        QCOMPARE(QString::number(app.main->documents().DocumentCount), staysOpen);
        if (staysOpen == "1")
            QVERIFY(app.document(0)->txtRich->text() == "new text" && app.record(0).Modified);
        if (!target.isEmpty())
            QCOMPARE(TestEnvironment::readFile(target) == "new text", answer == "Yes");
    }

    // Bytes, DoOnOpen, DOS UNIX MAC items ("x" checked and disabled), the text shown and the bytes saved.
    void openAndSave_data() {
        QTest::addColumn<OpenSave>("row");
        const auto row = [](const char* name, const OpenSave& data) { QTest::newRow(name) << data; };
        row("mixed becomes DOS", {"a\r\nb\nc", 0, "x--", "a\r\nb\r\nc", "a\r\nb\r\nc"});
        row("CR only", {"a\rb", 0, "--x", "a\r\nb", "a\rb"});
        row("no break stays DOS", {"ab", 0, "x--", "ab", "ab"});
        row("DoOnOpen DOS", {"a\nb", 4, "x--", "a\r\nb", "a\r\nb"});
        row("DoOnOpen UNIX", {"a\r\nb", 5, "-x-", "a\r\nb", "a\nb"});
        row("DoOnOpen MAC", {"a\nb", 6, "--x", "a\r\nb", "a\rb"});
        row("Latin-1, LF only", {"\xe9\n\x80", 0, "-x-", "\u00E9\r\n\u0080", "\xe9\n\x80"});
        row("UTF-8, BOM", {"\xEF\xBB\xBF\xC3\xA9\r\n", 0, "x--", "\u00E9\r\n", "\xEF\xBB\xBF\xC3\xA9\r\n"});
        row("declared windows-1252",
            {"<meta charset=cp1252>\x93\x80\n", 0, "-x-", "<meta charset=cp1252>\u201C\u20AC\r\n",
             "<meta charset=cp1252>\x93\x80\n"});
        const QByteArray utf16("\xFF\xFEx\0\n\0\xAC\x20", 8);
        row("UTF-16 LE", {utf16, 0, "-x-", "x\r\n\u20AC", utf16});
        QByteArray line; // shown in pieces, whose breaks never reach the file
        for (int i = 0; line.size() < 30000; ++i)
            line += "<td class=\"c" + QByteArray::number(i) + "\">" + QByteArray::number(i) + "</td>";
        row("30,000-character line",
            {"<p>\n" + line, 0, "-x-", QString::fromLatin1("<p>\r\n" + line), "<p>\n" + line});
    }
    void openAndSave() {
        QFETCH(OpenSave, row);
        const auto& [bytes, doOnOpen, items, shown, saved] = row;
        AppFixture app;
        const QString path = app.env.writeFile("file.htm", bytes);
        app.start();
        app.main->mutableSettings().DoOnOpen = doOnOpen;
        frmNotepad* window = OpenDocument(*app.main, path);
        QVERIFY(window);
        QCOMPARE(window->txtRich->text(), shown);
        QCOMPARE(mark(app, 1), path + "|" + path + "|0");
        QString shownItems;
        for (const QAction* item : {window->mnuTDOSformat, window->mnuTUNIXformat, window->mnuTMACformat})
            shownItems += item->isChecked() == item->isEnabled() ? '?' : item->isChecked() ? 'x' : '-';
        QCOMPARE(shownItems, items);
        window->action(CommandId::Save)->trigger();
        QCOMPARE(TestEnvironment::readFile(path), saved);
    }

    // A failed save keeps file, mark and caption; a chosen format marks the document; saving converts.
    void save() {
        AppFixture app;
        const QString path = app.env.writeFile("keep.htm", "a\r\nb");
        app.start({path});
        frmNotepad* window = app.document(0);
        window->txtRich->setSelStart(0);
        window->txtRich->setSelText("edited ");
        const QString impossible = path + "/below.htm"; // below a regular file, whoever runs the test
        app.dialogs.savePaths.enqueue(impossible);
        QVERIFY(!SaveAsCommand(*app.main, 0));
        QVERIFY(app.dialogs.messages.size() == 1 && app.dialogs.messages[0].icon == Dialogs::Icon::Critical);
        QCOMPARE(app.dialogs.messages[0].text,
                 "The file could not be saved: " + impossible + "\r\n\r\n" + qt_error_string(ENOTDIR));
        QCOMPARE(mark(app, 0) + " " + TestEnvironment::readFile(path), path + "*|" + path + "|1 a\r\nb");
        window->mnuTMACformat->trigger();
        QVERIFY(SaveDocument(*app.main, 0, app.record(0).PathCaption));
        QCOMPARE(TestEnvironment::readFile(path) + " " + window->txtRich->text(),
                 "edited a\rb edited a\r\nb");
        QCOMPARE(mark(app, 0), path + "|" + path + "|0");
        window->mnuTUNIXformat->trigger();
        QCOMPARE(mark(app, 0), path + "*|" + path + "|1");
    }

    // A window being destroyed reports a last change of state, which its gone document must not answer.
    void destroyedWindowLeavesTheTable() {
        AppFixture app;
        app.start(); // one new document, the only window
        frmNotepad* document = app.document(0);
        app.main->mdiArea()->setActiveSubWindow(document);
        QCOMPARE(app.main->mdiArea()->activeSubWindow(), document);
        app.main->documents().DocumentActive = false;
        delete document;
        QVERIFY(!app.main->documents().DocumentActive);
    }

    // File dialogs; edit commands and the clipboard; printing; compiling, the path one argument, no shell.
    void commands() {
        AppFixture app;
        app.start();
        app.main->mutableSettings().DefaultFormat = "php";
        const QString chosen = app.env.root() + "/sub/x.htm";
        app.dialogs.savePaths.enqueue(chosen);
        QCOMPARE(ShowFileDialog(*app.main, FileDialogAction::Save, true), chosen);
        QCOMPARE(qtNameFilters(app.dialogs.saveRequests.last().filter).first(), "Default (*.php)");
        app.main->mutableSettings().LastDir = false;
        const QString path = app.env.writeFile("r.htm", "r");
        app.dialogs.openPaths.enqueue(path);
        ShowOpenDialog(*app.main);
        ShowOpenDialog(*app.main); // cancelled: nothing happens
        QVERIFY(app.main->documents().DocumentCount == 2 && app.main->recentMenu().caption(1) == path);
        QCOMPARE(app.dialogs.openRequests.last().folder, app.env.root() + "/sub");
        QCOMPARE(qtNameFilters(app.dialogs.openRequests.first().filter).value(7), "PHP (*.php3 *.phtml)");

        frmNotepad* window = app.document(0);
        RichTextControl* text = window->txtRich;
        text->setText("one\r\ntwo");
        text->select(2, 4); // "e", CR LF, "t"
        window->action(CommandId::Cut)->trigger();
        const QString cut = QApplication::clipboard()->text();
        text->setSelStart(0);
        window->action(CommandId::Paste)->trigger();
        window->action(CommandId::SelectAll)->trigger();
        window->action(CommandId::Copy)->trigger();
        QCOMPARE(cut + "|" + text->text() + "|" + QApplication::clipboard()->text(),
                 "e\r\nt|e\r\ntonwo|e\r\ntonwo");
        window->action(CommandId::Delete)->trigger();
        window->action(CommandId::TimeDate)->trigger();
        QVERIFY(text->text().contains(QString::number(QDate::currentDate().year() % 100)));
        const QString pdf = app.env.root() + "/out.pdf";
        app.dialogs.printToPdf = pdf;
        for (bool selection : {false, true}) {
            text->select(0, selection ? 4 : 0);
            window->action(CommandId::Print)->trigger();
            QCOMPARE(app.dialogs.printRequests.last().hasSelection, selection);
            QVERIFY(TestEnvironment::readFile(pdf).startsWith("%PDF"));
            QFile::remove(pdf);
        }
        window->action(CommandId::Compile)->trigger();
        QCOMPARE(app.dialogs.messages.last().text, "The file must be saved before you can compile it!");
        const QString doc = app.env.writeFile("my dir/Main Class.java", "class A {}");
        window = OpenDocument(*app.main, doc);
        window->action(CommandId::Compile)->trigger();
        QCOMPARE(app.dialogs.messages.last().buttons, Dialogs::Buttons::YesNo); // no compiler yet
        const QString args = app.env.root() + "/args.txt";
        const QString compiler = app.env.writeFile(
            "compiler.sh", "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" \"$PWD\" > '" + args.toUtf8() + "'\n");
        QFile::setPermissions(compiler, QFile::permissions(compiler) | QFileDevice::ExeOwner);
        app.main->mutableSettings().JavaCompiler = compiler;
        window->txtRich->setSelText("x"); // the caption gets its "*"
        window->showMinimized();          // and shows the bare name
        window->action(CommandId::Compile)->trigger();
        QTRY_VERIFY(QFileInfo(args).size() > 0);
        QCOMPARE(QString::fromUtf8(TestEnvironment::readFile(args)),
                 "1|" + doc + "|" + QFileInfo(doc).absolutePath() + "|");
    }
};

QTEST_MAIN(DocumentsTest)
#include "tst_documents.moc"
