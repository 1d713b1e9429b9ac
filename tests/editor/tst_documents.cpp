#include "editor/mdlFile.h"
#include "support/AppFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QMdiArea>
#include <QTest>
#include <tuple>

// Rows: the answer to "Save changes?", has a path, the save dialog's answer, the window stays;
// a file's bytes, "DoOnOpen", the format, the text shown, the bytes saved.
using Closing = std::tuple<Dialogs::Answer, bool, QString, bool>;
using OpenSave = std::tuple<QByteArray, int, SaveFormat, QString, QByteArray>;

// Document windows: captions and marks, closing, files, dialogs and commands.
class DocumentsTest : public QObject {
    Q_OBJECT

    // A document's caption, the path its slot records, and whether the slot is marked modified.
    static QString mark(const AppFixture& app, int slot) {
        const DocumentSlot& record = app.record(slot);
        return app.document(slot)->windowTitle() + "|" + record.PathCaption + "|" +
               QString::number(record.Modified);
    }

private slots:
    // Each window marks its own slot (by caption, a second window on one file would mark the first).
    // Slots are reused from the lowest. A new document: the template without "@@", the cursor there,
    // the format from "DefaultNewLN". The Window menu's arrangements.
    void windows() {
        AppFixture app;
        const QString path = app.env.writeFile("dir/page.htm", "x");
        app.start({path, path});
        app.main->mutableSettings().DefaultNewLN = "\n";
        QCOMPARE(NewDocument(*app.main)->saveFormat(), SaveFormat::Unix);
        app.document(1)->txtRich->setSelStart(0);
        QTest::keyClicks(app.document(1)->txtRich, "ab");
        QTest::keyClick(app.document(1)->txtRich, Qt::Key_Backspace);
        QCOMPARE(mark(app, 1), path + "*|" + path + "|1");
        QCOMPARE(mark(app, 0), path + "|" + path + "|0");
        QCOMPARE(app.main->documents().FindDocumentByCaption(path), 0);
        QCOMPARE(app.main->documents().FindDocumentByCaption("nothing"), -1);
        app.document(0)->showMinimized(); // shows the file name
        QCOMPARE(app.document(0)->windowTitle(), "page.htm");
        app.document(0)->showNormal();
        QCOMPARE(app.document(0)->windowTitle(), path);
        app.document(0)->close();
        app.flush();
        app.main->mutableSettings().DefaultNewLN = "\r";
        frmNotepad* reused = NewDocument(*app.main);
        QCOMPARE(mark(app, 0), "Untitled [0]||0");
        QCOMPARE(reused->saveFormat(), SaveFormat::Mac);
        QCOMPARE(reused->txtRich->tag(), "0");
        QCOMPARE(app.main->documents().slotCount(), 3);
        const QString shipped = TestEnvironment::readFile(app.env.programFolder() + "/default.htm");
        QCOMPARE(reused->txtRich->text(), QString(shipped).remove(shipped.indexOf("@@"), 2));
        QCOMPARE(reused->txtRich->selStart(), shipped.indexOf("@@"));
        app.document(0)->action(CommandId::TileVertical)->trigger(); // windows 1 and 2 come first
        QVERIFY(app.document(1)->geometry().right() < app.document(2)->geometry().left());
        app.document(0)->action(CommandId::TileHorizontal)->trigger();
        QVERIFY(app.document(1)->geometry().bottom() < app.document(2)->geometry().top());
        QCOMPARE(app.document(1)->width(), app.main->mdiArea()->viewport()->width());
    }

    // "Yes" followed by a cancelled save dialog keeps the window, so the text is not lost.
    void closingRules_data() {
        QTest::addColumn<Closing>("row");
        QTest::newRow("cancel keeps") << Closing{Dialogs::Answer::Cancel, true, "", true};
        QTest::newRow("no closes unsaved") << Closing{Dialogs::Answer::No, true, "", false};
        QTest::newRow("yes saves and closes") << Closing{Dialogs::Answer::Yes, true, "", false};
        QTest::newRow("yes on untitled, dialog cancelled") << Closing{Dialogs::Answer::Yes, false, "", true};
        QTest::newRow("yes on untitled, saved as") << Closing{Dialogs::Answer::Yes, false, "new.htm", false};
    }
    void closingRules() {
        QFETCH(Closing, row);
        const auto& [answer, hasPath, savePath, staysOpen] = row;
        AppFixture app;
        const QString path = hasPath ? app.env.writeFile("doc.htm", "old") : QString();
        app.start(hasPath ? QStringList{path} : QStringList{});
        frmNotepad* window = app.document(0);
        window->action(CommandId::SelectAll)->trigger();
        window->txtRich->setSelText("new text");
        const QString caption = window->windowTitle();
        const QString target = savePath.isEmpty() ? path : app.env.root() + "/" + savePath;
        if (!savePath.isEmpty())
            app.dialogs.savePaths.enqueue(target);
        app.dialogs.answers.enqueue(answer);
        window->close();
        app.flush();
        QCOMPARE(app.dialogs.messages.size(), 1);
        QCOMPARE(app.dialogs.messages[0].text, "Save changes to [" + caption + "] ?");
        QCOMPARE(app.dialogs.messages[0].buttons, Dialogs::Buttons::YesNoCancel);
        QCOMPARE(app.main->documents().DocumentCount, int(staysOpen));
        if (staysOpen)
            QVERIFY(app.document(0)->txtRich->text() == "new text" && app.record(0).Modified);
        if (!target.isEmpty())
            QCOMPARE(TestEnvironment::readFile(target) == "new text", answer == Dialogs::Answer::Yes);
    }

    // Line breaks are shown as CR LF and written back in the file's own format (or the one
    // "DoOnOpen" sets), and so are its bytes: Latin-1, declared windows-1252, UTF-16 and UTF-8
    // with a byte-order mark stay.
    void openAndSave_data() {
        QTest::addColumn<OpenSave>("row");
        const SaveFormat Dos = SaveFormat::Dos, Unix = SaveFormat::Unix, Mac = SaveFormat::Mac;
        QTest::newRow("LF only") << OpenSave{"a\nb\n", 0, Unix, "a\r\nb\r\n", "a\nb\n"};
        QTest::newRow("mixed becomes DOS") << OpenSave{"a\r\nb\nc", 0, Dos, "a\r\nb\r\nc", "a\r\nb\r\nc"};
        QTest::newRow("CR only") << OpenSave{"a\rb", 0, Mac, "a\r\nb", "a\rb"};
        QTest::newRow("no break stays DOS") << OpenSave{"ab", 0, Dos, "ab", "ab"};
        QTest::newRow("DoOnOpen DOS") << OpenSave{"a\nb", 4, Dos, "a\r\nb", "a\r\nb"};
        QTest::newRow("DoOnOpen UNIX") << OpenSave{"a\r\nb", 5, Unix, "a\r\nb", "a\nb"};
        QTest::newRow("DoOnOpen MAC") << OpenSave{"a\nb", 6, Mac, "a\r\nb", "a\rb"};
        QTest::newRow("Latin-1") << OpenSave{"\xe9\n\x80", 0, Unix, "\u00E9\r\n\u0080", "\xe9\n\x80"};
        QTest::newRow("UTF-8 with BOM")
            << OpenSave{"\xEF\xBB\xBF\xC3\xA9\r\n", 0, Dos, "\u00E9\r\n", "\xEF\xBB\xBF\xC3\xA9\r\n"};
        QTest::newRow("declared windows-1252")
            << OpenSave{"<meta charset=cp1252>\x93\x80\n", 0, Unix, "<meta charset=cp1252>\u201C\u20AC\r\n",
                        "<meta charset=cp1252>\x93\x80\n"};
        const QByteArray utf16("\xFF\xFEx\0\n\0\xAC\x20", 8);
        QTest::newRow("UTF-16 LE") << OpenSave{utf16, 0, Unix, "x\r\n\u20AC", utf16};
        QByteArray line; // shown in pieces, whose breaks never reach the file
        for (int i = 0; line.size() < 30000; ++i)
            line += "<td class=\"c" + QByteArray::number(i) + "\">" + QByteArray::number(i) + "</td>";
        QTest::newRow("30,000-character line")
            << OpenSave{"<p>\n" + line, 0, Unix, QString::fromLatin1("<p>\r\n" + line), "<p>\n" + line};
    }
    void openAndSave() {
        QFETCH(OpenSave, row);
        const auto& [bytes, doOnOpen, format, shown, saved] = row;
        AppFixture app;
        const QString path = app.env.writeFile("file.htm", bytes);
        app.start();
        app.main->mutableSettings().DoOnOpen = doOnOpen;
        frmNotepad* window = OpenDocument(*app.main, path);
        QVERIFY(window);
        QCOMPARE(window->txtRich->text(), shown);
        QCOMPARE(mark(app, 1), path + "|" + path + "|0");
        QCOMPARE(window->saveFormat(), format); // its item checked and disabled, the others not
        for (const QAction* item : {window->mnuTDOSformat, window->mnuTUNIXformat, window->mnuTMACformat})
            QVERIFY(item->isChecked() != item->isEnabled());
        window->action(CommandId::Save)->trigger();
        QCOMPARE(TestEnvironment::readFile(path), saved);
    }

    // A failed save keeps the old file, the document modified and its caption, and says why. A
    // chosen format marks the document; saving converts the file, not the text, and drops the "*".
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
        QVERIFY(app.dialogs.messages[0].text.contains(impossible));
        QCOMPARE(mark(app, 0), path + "*|" + path + "|1");
        QCOMPARE(TestEnvironment::readFile(path), "a\r\nb");
        window->mnuTMACformat->trigger();
        QVERIFY(SaveDocument(*app.main, 0, app.record(0).PathCaption));
        QCOMPARE(TestEnvironment::readFile(path), "edited a\rb");
        QCOMPARE(window->txtRich->text(), "edited a\r\nb");
        QCOMPARE(mark(app, 0), path + "|" + path + "|0");
        window->mnuTUNIXformat->trigger();
        QCOMPARE(mark(app, 0), path + "*|" + path + "|1");
    }

    // The default format first; "Remember last directory"; Open... adds to the recent files. The
    // filters as Qt's dialog reads them: the patterns in the last parentheses, blank-separated.
    void fileDialogs() {
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
        QCOMPARE(app.main->documents().DocumentCount, 2);
        QCOMPARE(app.main->recentMenu().caption(1), path);
        QCOMPARE(app.dialogs.openRequests.last().folder, app.env.root() + "/sub");
        QCOMPARE(qtNameFilters(app.dialogs.openRequests.first().filter).value(7), "PHP (*.php3 *.phtml)");
    }

    // A window being destroyed reports a last change of state; the document it was is gone by then
    // and must not answer it: it would mark a document active, or read a host being destroyed too.
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

    // The edit commands and the clipboard. Printing: nothing when cancelled, else the text or the
    // selection. Compiling: only a saved document, its path as one argument without "*", no shell.
    void commands() {
        AppFixture app;
        app.start();
        frmNotepad* window = app.document(0);
        RichTextControl* text = window->txtRich;
        text->setText("one\r\ntwo");
        text->select(2, 4); // "e", CR LF, "t"
        window->action(CommandId::Cut)->trigger();
        QCOMPARE(QApplication::clipboard()->text(), "e\r\nt");
        text->setSelStart(0);
        window->action(CommandId::Paste)->trigger();
        QCOMPARE(text->text(), "e\r\ntonwo");
        window->action(CommandId::SelectAll)->trigger();
        window->action(CommandId::Copy)->trigger();
        QCOMPARE(QApplication::clipboard()->text(), "e\r\ntonwo");
        window->action(CommandId::Delete)->trigger();
        window->action(CommandId::TimeDate)->trigger();
        QVERIFY(text->text().contains(QString::number(QDate::currentDate().year() % 100)));
        const QString pdf = app.env.root() + "/out.pdf";
        window->action(CommandId::Print)->trigger();
        QVERIFY(!QFileInfo::exists(pdf));
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
        // The whole path as one argument, run in the file's folder.
        QCOMPARE(QString::fromUtf8(TestEnvironment::readFile(args)),
                 "1|" + doc + "|" + QFileInfo(doc).absolutePath() + "|");
    }
};

QTEST_MAIN(DocumentsTest)
#include "tst_documents.moc"
