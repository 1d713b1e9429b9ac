#include "editor/mdlFile.h"
#include "support/AppFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QTest>
#include <tuple>

// Table rows: the answer, whether the document has a path, what the save dialog answers, whether
// the window stays; the file, "DoOnOpen", the format, the text shown and the file saved; the
// template, "DefaultNewLN", the text, the cursor and the format of a new document.
using Closing = std::tuple<Dialogs::Answer, bool, QString, bool>;
using OpenSave = std::tuple<QByteArray, int, SaveFormat, QString, QByteArray>;
using Template = std::tuple<QByteArray, QString, QString, int, SaveFormat>;

// Document windows: slots and captions, the unsaved-changes mark, the closing rules, files
// with their line endings and encodings, printing and the compile command.
class DocumentsTest : public QObject {
    Q_OBJECT

    // A document's caption, the path its slot records, and whether the slot is marked modified.
    static QString mark(const AppFixture& app, int slot) {
        const DocumentSlot& record = app.record(slot);
        return QString("%1|%2|%3")
            .arg(app.document(slot)->windowTitle(), record.PathCaption)
            .arg(record.Modified);
    }

private slots:
    // Each window marks its own slot, so a second window on the same file is marked too (looked up
    // by caption, the first would be). Slots are reused from the lowest; the table never shrinks.
    // The Window menu's arrangements; Exit.
    void windows() {
        AppFixture app;
        const QString path = app.env.writeFile("dir/page.htm", "x");
        app.start({path, path});
        QCOMPARE(NewDocument(*app.main)->txtRich->tag(), "2");
        app.document(1)->txtRich->setSelStart(0);
        QTest::keyClicks(app.document(1)->txtRich, "ab");
        QCOMPARE(mark(app, 1), path + "*|" + path + "*|1");
        QCOMPARE(mark(app, 0), path + "|" + path + "|0");
        QCOMPARE(app.main->documents().FindDocumentByCaption(path), 0);
        QCOMPARE(app.main->documents().FindDocumentByCaption("nothing"), -1);
        app.document(0)->showMinimized(); // shows the file name
        QCOMPARE(app.document(0)->windowTitle(), "page.htm");
        app.document(0)->showNormal();
        QCOMPARE(app.document(0)->windowTitle(), path);
        app.document(0)->close();
        app.flush();
        QVERIFY(app.record(0).Free);
        QCOMPARE(app.main->documents().DocumentCount, 2);
        QCOMPARE(NewDocument(*app.main)->windowTitle(), "Untitled [0]");
        QCOMPARE(app.main->documents().slotCount(), 3);
        // Windows 1 and 2 are the first two of the frame.
        app.document(0)->mnuTileV->trigger();
        QVERIFY(app.document(1)->geometry().right() < app.document(2)->geometry().left());
        app.document(0)->mnuTileH->trigger();
        QVERIFY(app.document(1)->geometry().bottom() < app.document(2)->geometry().top());
        QCOMPARE(app.document(1)->width(), app.main->mdiArea()->viewport()->width());
        // Exit closes what it can and stops at a cancelled question.
        app.dialogs.answers << Dialogs::Answer::Cancel;
        app.main->exitProgram();
        app.flush();
        QVERIFY(app.record(0).Free && !app.record(1).Free && app.record(2).Free && app.main->isVisible());
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
        window->mnuSelectAll->trigger();
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
    // "DoOnOpen" sets), and so are its bytes: Latin-1 and UTF-8 with a byte-order mark stay.
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
        QTest::newRow("Latin-1") << OpenSave{"caf\xe9\n\x80\xff", 0, Unix,
                                             QString::fromLatin1("caf\xe9\r\n\x80\xff"), "caf\xe9\n\x80\xff"};
        QTest::newRow("UTF-8 with BOM") << OpenSave{"\xEF\xBB\xBF\xC3\xA9\r\n", 0, Dos,
                                                    QStringLiteral("\u00E9\r\n"), "\xEF\xBB\xBF\xC3\xA9\r\n"};
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
        QCOMPARE(window->saveFormat(), format);
        // Exactly the format's item is checked and disabled.
        const QList<QAction*> items{window->mnuTDOSformat, window->mnuTUNIXformat, window->mnuTMACformat};
        for (int i = 0; i < 3; ++i)
            QVERIFY(items[i]->isChecked() == (i == int(format)) &&
                    items[i]->isEnabled() != items[i]->isChecked());
        QCOMPARE(mark(app, 1), path + "|" + path + "|0");
        window->mnuSave->trigger();
        QCOMPARE(TestEnvironment::readFile(path), saved);
    }

    // A failed save leaves the old file intact, keeps the document modified with its old caption,
    // and says why. Choosing a format marks the document; saving converts the file, not the text,
    // and drops the "*" from the path it is given.
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
        QCOMPARE(app.dialogs.messages.size(), 1);
        QCOMPARE(app.dialogs.messages[0].icon, Dialogs::Icon::Critical);
        QVERIFY(app.dialogs.messages[0].text.contains(impossible));
        QCOMPARE(mark(app, 0), path + "*|" + path + "*|1");
        QCOMPARE(TestEnvironment::readFile(path), "a\r\nb");

        window->mnuTMACformat->trigger();
        QVERIFY(SaveDocument(*app.main, 0, app.record(0).PathCaption));
        QCOMPARE(TestEnvironment::readFile(path), "edited a\rb");
        QVERIFY(!QFileInfo::exists(path + "*"));
        QCOMPARE(window->txtRich->text(), "edited a\r\nb");
        QCOMPARE(mark(app, 0), path + "|" + path + "|0");
        window->mnuTUNIXformat->trigger();
        QCOMPARE(mark(app, 0), path + "*|" + path + "*|1");
    }

    // A line too long to lay out whole is shown in pieces; the breaks between them never reach
    // the file.
    void longLineSavedWithoutDisplayBreaks() {
        AppFixture app;
        QByteArray line;
        for (int i = 0; line.size() < 30000; ++i)
            line += "<td class=\"c" + QByteArray::number(i) + "\">" + QByteArray::number(i) + "</td>";
        const QByteArray original = "<table>\n" + line + "\n</table>\n";
        const QString path = app.env.writeFile("minified.htm", original);
        app.start({path});
        RichTextControl* text = app.document(0)->txtRich;
        QVERIFY(text->document()->blockCount() > 5);
        QCOMPARE(text->lineCount(), 4);
        const int middle = 8 + 15000;
        text->setSelStart(middle);
        QTest::keyClicks(text, "XY");
        QTest::keyClick(text, Qt::Key_Backspace);
        text->select(middle + 1, 2000); // across several pieces
        QTest::keyClick(text, Qt::Key_Delete);
        QVERIFY(SaveCommand(*app.main, 0));
        // Offset o of the text is byte o - 1 of the file, whose first break is a lone LF.
        QCOMPARE(TestEnvironment::readFile(path),
                 original.left(middle - 1) + "X" + original.mid(middle + 1999));
    }

    // A new document: the template without its first "@@", the cursor there, the format from
    // the "DefaultNewLN" setting.
    void newDocument_data() {
        QTest::addColumn<Template>("row");
        QTest::newRow("middle, CR LF") << Template{"ab@@cd", "\r\n", "abcd", 2, SaveFormat::Dos};
        QTest::newRow("first marker only, LF") << Template{"a@@b@@", "\n", "ab@@", 1, SaveFormat::Unix};
        QTest::newRow("after a break, CR")
            << Template{"<p>\r\n@@</p>", "\r", "<p>\r\n</p>", 5, SaveFormat::Mac};
        QTest::newRow("none, other") << Template{"plain", "x", "plain", 0, SaveFormat::Dos};
    }
    void newDocument() {
        QFETCH(Template, row);
        const auto& [templateText, newLine, shown, cursor, format] = row;
        AppFixture app;
        app.env.writeFile("data/Quillora/default.htm", templateText);
        app.start();
        app.main->mutableSettings().DefaultNewLN = newLine;
        frmNotepad* window = NewDocument(*app.main);
        QCOMPARE(window->txtRich->text(), shown);
        QCOMPARE(window->txtRich->selStart(), cursor);
        QCOMPARE(window->saveFormat(), format);
        QCOMPARE(mark(app, 1), "Untitled [1]||0");
    }

    // The save dialog offers the default format first; the next dialog starts where the last
    // file was chosen only with "Remember last directory"; Open... adds to the recent files.
    void fileDialogs() {
        AppFixture app;
        app.start();
        app.main->mutableSettings().DefaultFormat = "php";
        const QString chosen = app.env.root() + "/sub/x.htm";
        app.dialogs.savePaths.enqueue(chosen);
        QCOMPARE(ShowFileDialog(*app.main, FileDialogAction::Save, true), chosen);
        // The filters as Qt's dialog reads them: the patterns in the last parentheses, blank-separated.
        QCOMPARE(qtNameFilters(app.dialogs.saveRequests.last().filter).first(), "Default (*.php)");
        QCOMPARE(app.dialogs.saveRequests.last().defaultSuffix, "php");
        QCOMPARE(app.main->dialogFolder(), app.env.root() + "/sub");
        app.main->mutableSettings().LastDir = false;
        const QString path = app.env.writeFile("r.htm", "r");
        app.dialogs.openPaths.enqueue(path);
        ShowOpenDialog(*app.main);
        ShowOpenDialog(*app.main); // cancelled: nothing happens
        QCOMPARE(app.main->documents().DocumentCount, 2);
        QCOMPARE(app.main->recentMenu().caption(1), path);
        const QStringList open = qtNameFilters(app.dialogs.openRequests.first().filter);
        QVERIFY(open[0].startsWith("All Formats (*.asp *.cgi *.dhtml *.htm *.html *.java"));
        QCOMPARE(open[4], "Hypertext (*.htm *.html)");
        QCOMPARE(open[7], "PHP (*.php3 *.phtml)");
        QCOMPARE(app.dialogs.openRequests.last().folder, app.env.root() + "/sub");
    }

    // Cut, Copy, Paste, Delete, Select All and Time & Date through the clipboard; printing of the
    // whole text and of the selection through the dialog service, and nothing when cancelled.
    void editAndPrint() {
        AppFixture app;
        app.start();
        frmNotepad* window = app.document(0);
        RichTextControl* text = window->txtRich;
        text->setText("one\r\ntwo");
        text->select(2, 4); // "e", CR LF, "t"
        window->mnuCut->trigger();
        QCOMPARE(QApplication::clipboard()->text(), "e\r\nt");
        text->setSelStart(0);
        window->mnuPaste->trigger();
        QCOMPARE(text->text(), "e\r\ntonwo");
        window->mnuSelectAll->trigger();
        window->mnuCopy->trigger();
        QCOMPARE(QApplication::clipboard()->text(), "e\r\ntonwo");
        window->mnuDelete->trigger();
        window->mnuTimeDate->trigger();
        QVERIFY(
            text->text().startsWith(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat)));

        const QString pdf = app.env.root() + "/out.pdf";
        window->mnuPrint->trigger(); // cancelled
        QVERIFY(!QFileInfo::exists(pdf));
        app.dialogs.printToPdf = pdf;
        for (bool selection : {false, true}) {
            text->select(0, selection ? 4 : 0);
            app.dialogs.printSelection = selection;
            window->mnuPrint->trigger();
            QCOMPARE(app.dialogs.printRequests.last().hasSelection, selection);
            QVERIFY(TestEnvironment::readFile(pdf).startsWith("%PDF"));
            QFile::remove(pdf);
        }
    }

    // The compiler gets the document's path as one argument without the "*" (no shell), and only
    // for a saved document and a chosen compiler.
    void compile() {
        AppFixture app;
        app.start();
        app.document(0)->mnuTCompile->trigger();
        QCOMPARE(app.dialogs.messages.last().text, "The file must be saved before you can compile it!");
        const QString doc = app.env.writeFile("my dir/Main Class.java", "class A {}");
        frmNotepad* window = OpenDocument(*app.main, doc);
        window->mnuTCompile->trigger();
        QCOMPARE(app.dialogs.messages.last().text,
                 "There is no Java Compiler selected.\r\nWould you like to select one now?");
        QCOMPARE(app.dialogs.messages.last().buttons, Dialogs::Buttons::YesNo);
        const QString record = app.env.root() + "/args.txt";
        const QString compiler = app.env.writeFile(
            "compiler.sh", "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '" + record.toUtf8() + "'\n");
        QFile::setPermissions(compiler, QFile::permissions(compiler) | QFileDevice::ExeOwner);
        app.main->mutableSettings().JavaCompiler = compiler;
        window->txtRich->setSelText("x"); // the caption gets its "*"
        window->mnuTCompile->trigger();
        QTRY_VERIFY(QFileInfo(record).size() > 0);
        QCOMPARE(QString::fromUtf8(TestEnvironment::readFile(record)), "1|" + doc + "|");
    }
};

QTEST_MAIN(DocumentsTest)
#include "tst_documents.moc"
