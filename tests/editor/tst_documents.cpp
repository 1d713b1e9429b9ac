#include "editor/mdlFile.h"
#include "support/AppFixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QTest>
#include <QToolBar>

// Document windows: slots and captions, the unsaved-changes mark, the closing rules, files
// with their line endings and encodings, printing and the compile command.
class DocumentsTest : public QObject {
    Q_OBJECT

    static QString tag(const frmNotepad* window) { return window->property("tag").toString(); }

private slots:
    void slotsAreReusedFromTheLowest() {
        AppFixture app;
        app.start();
        NewDocument(*app.main);
        NewDocument(*app.main);
        QCOMPARE(app.document(0)->windowTitle(), QStringLiteral("Untitled [0]"));
        QCOMPARE(app.document(2)->windowTitle(), QStringLiteral("Untitled [2]"));
        QCOMPARE(tag(app.document(2)), QStringLiteral("2"));
        QCOMPARE(app.document(2)->txtRich->tag(), QStringLiteral("2"));
        QCOMPARE(app.main->documents().DocumentCount, 3);

        app.document(1)->close();
        app.flush();
        QVERIFY(app.record(1).Free);
        QCOMPARE(app.main->documents().DocumentCount, 2);
        frmNotepad* reused = NewDocument(*app.main);
        QCOMPARE(reused->slot(), 1);
        QCOMPARE(reused->windowTitle(), QStringLiteral("Untitled [1]"));
        QCOMPARE(app.main->documents().slotCount(), 3); // the table never shrinks
        QCOMPARE(app.main->documents().FindDocumentByCaption(QStringLiteral("Untitled [1]")), 1);
        QCOMPARE(app.main->documents().FindDocumentByCaption(QStringLiteral("nothing")), -1);
    }

    void typingMarksOnce() {
        AppFixture app;
        const QString path = app.env.writeFile("a.htm", "<p>x</p>\r\n");
        app.start({path});
        frmNotepad* window = app.document(0);
        QCOMPARE(window->windowTitle(), path);
        QVERIFY(!app.record(0).Modified);
        window->txtRich->setSelStart(0);
        QTest::keyClicks(window->txtRich, "ab");
        QCOMPARE(window->windowTitle(), path + "*");
        QCOMPARE(app.record(0).PathCaption, path + "*");
        QVERIFY(app.record(0).Modified);
    }

    void secondWindowOnSameFileIsMarkedToo() {
        AppFixture app;
        const QString path = app.env.writeFile("same.htm", "x");
        app.start({path, path});
        frmNotepad* second = app.document(1);
        second->txtRich->setSelText(QStringLiteral("y"));
        QVERIFY(app.record(1).Modified);
        QVERIFY(!app.record(0).Modified);
    }

    void minimisedCaptionIsFileName() {
        AppFixture app;
        const QString path = app.env.writeFile("dir/page.htm", "x");
        app.start({path});
        frmNotepad* window = app.document(0);
        window->showMinimized();
        QCOMPARE(window->windowTitle(), QStringLiteral("page.htm"));
        window->showNormal();
        QCOMPARE(window->windowTitle(), path);
    }

    void closingRules_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("hasPath");
        QTest::addColumn<QString>("savePath"); // what the save dialog answers
        QTest::addColumn<bool>("staysOpen");
        QTest::addColumn<bool>("written");
        QTest::newRow("cancel keeps") << int(Dialogs::Answer::Cancel) << true << QString() << true << false;
        QTest::newRow("no closes unsaved") << int(Dialogs::Answer::No) << true << QString() << false << false;
        QTest::newRow("yes saves and closes")
            << int(Dialogs::Answer::Yes) << true << QString() << false << true;
        QTest::newRow("yes on untitled, dialog cancelled, keeps")
            << int(Dialogs::Answer::Yes) << false << QString() << true << false;
        QTest::newRow("yes on untitled, saved as")
            << int(Dialogs::Answer::Yes) << false << "new.htm" << false << true;
    }
    void closingRules() {
        QFETCH(int, answer);
        QFETCH(bool, hasPath);
        QFETCH(QString, savePath);
        QFETCH(bool, staysOpen);
        QFETCH(bool, written);
        AppFixture app;
        const QString path = hasPath ? app.env.writeFile("doc.htm", "old") : QString();
        app.start(hasPath ? QStringList{path} : QStringList{});
        frmNotepad* window = app.document(0);
        window->txtRich->select(0, window->txtRich->textLength());
        window->txtRich->setSelText(QStringLiteral("new text"));
        const QString caption = window->windowTitle();
        const QString target = savePath.isEmpty() ? path : app.env.root() + "/" + savePath;
        if (!savePath.isEmpty())
            app.dialogs.savePaths.enqueue(target);
        app.dialogs.answers.enqueue(Dialogs::Answer(answer));

        window->close();
        app.flush();

        QCOMPARE(app.dialogs.messages.size(), 1);
        QCOMPARE(app.dialogs.messages[0].text, QStringLiteral("Save changes to [") + caption + "] ?");
        QCOMPARE(app.dialogs.messages[0].title, QStringLiteral("Quillora (3.60)"));
        QCOMPARE(app.dialogs.messages[0].buttons, Dialogs::Buttons::YesNoCancel);
        QCOMPARE(!app.record(0).Free, staysOpen);
        if (staysOpen) {
            QVERIFY(app.document(0));
            QCOMPARE(app.document(0)->txtRich->text(), QStringLiteral("new text"));
            QVERIFY(app.record(0).Modified);
            QCOMPARE(app.main->documents().DocumentCount, 1);
        } else {
            QCOMPARE(app.main->documents().DocumentCount, 0);
        }
        if (!target.isEmpty())
            QCOMPARE(TestEnvironment::readFile(target) == "new text", written);
    }

    void exitStopsAtCancel() {
        AppFixture app;
        app.start();
        NewDocument(*app.main);
        for (int slot : {0, 1})
            app.document(slot)->txtRich->setSelText(QStringLiteral("changed"));
        app.dialogs.answers << Dialogs::Answer::No << Dialogs::Answer::Cancel;
        app.main->exitProgram();
        app.flush();
        QVERIFY(app.record(0).Free);
        QVERIFY(!app.record(1).Free);
        QCOMPARE(app.main->documents().DocumentCount, 1);
        QVERIFY(app.main->isVisible());
    }

    void toolbarsFollowTheDocumentCount() {
        AppFixture app;
        app.start();
        QAction* save = app.main->findChild<QAction*>(QStringLiteral("picSave"));
        QAction* open = app.main->findChild<QAction*>(QStringLiteral("picOpen"));
        QVERIFY(save && open);
        QVERIFY(app.main->picToolbox->isVisible());
        QVERIFY(save->isVisible());
        app.document(0)->close();
        app.flush();
        QVERIFY(!app.main->picToolbox->isVisible());
        QVERIFY(!save->isVisible());
        QVERIFY(open->isVisible());
        NewDocument(*app.main);
        QVERIFY(app.main->picToolbox->isVisible());
        QVERIFY(save->isVisible());
    }

    void openDetectsLineBreaks_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("doOnOpen");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("LF only") << QByteArray("a\nb\n") << 0 << int(SaveFormat::Unix) << "a\r\nb\r\n"
                                 << QByteArray("a\nb\n");
        QTest::newRow("mixed becomes DOS") << QByteArray("a\r\nb\nc") << 0 << int(SaveFormat::Dos)
                                           << "a\r\nb\r\nc" << QByteArray("a\r\nb\r\nc");
        QTest::newRow("CR only") << QByteArray("a\rb") << 0 << int(SaveFormat::Mac) << "a\r\nb"
                                 << QByteArray("a\rb");
        QTest::newRow("no break stays DOS")
            << QByteArray("ab") << 0 << int(SaveFormat::Dos) << "ab" << QByteArray("ab");
        QTest::newRow("DoOnOpen UNIX")
            << QByteArray("a\r\nb") << 5 << int(SaveFormat::Unix) << "a\r\nb" << QByteArray("a\nb");
        QTest::newRow("DoOnOpen MAC")
            << QByteArray("a\nb") << 6 << int(SaveFormat::Mac) << "a\r\nb" << QByteArray("a\rb");
        QTest::newRow("DoOnOpen DOS")
            << QByteArray("a\nb") << 4 << int(SaveFormat::Dos) << "a\r\nb" << QByteArray("a\r\nb");
        QTest::newRow("empty file") << QByteArray() << 0 << int(SaveFormat::Dos) << "" << QByteArray();
        QTest::newRow("Latin-1 kept byte for byte")
            << QByteArray("caf\xe9\n\x80\xff") << 0 << int(SaveFormat::Unix)
            << QString::fromLatin1("caf\xe9\r\n\x80\xff") << QByteArray("caf\xe9\n\x80\xff");
        QTest::newRow("UTF-8 with BOM kept")
            << QByteArray("\xEF\xBB\xBF\xC3\xA9\r\n") << 0 << int(SaveFormat::Dos)
            << QString::fromUtf8("\xC3\xA9\r\n") << QByteArray("\xEF\xBB\xBF\xC3\xA9\r\n");
    }
    void openDetectsLineBreaks() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, doOnOpen);
        QFETCH(int, format);
        QFETCH(QString, shown);
        QFETCH(QByteArray, saved);
        AppFixture app;
        const QString path = app.env.writeFile("file.htm", bytes);
        app.start();
        app.main->mutableSettings().DoOnOpen = doOnOpen;
        frmNotepad* window = OpenDocument(*app.main, path);
        QVERIFY(window);
        QCOMPARE(window->txtRich->text(), shown);
        QCOMPARE(int(window->saveFormat()), format);
        // Exactly the format's item is checked and disabled.
        const QList<QAction*> items{window->mnuTDOSformat, window->mnuTUNIXformat, window->mnuTMACformat};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(items[i]->isChecked(), i == format);
            QCOMPARE(items[i]->isEnabled(), i != format);
        }
        QVERIFY(!app.record(window->slot()).Modified);
        QCOMPARE(window->windowTitle(), path);
        QVERIFY(SaveCommand(*app.main, window->slot()));
        QCOMPARE(TestEnvironment::readFile(path), saved);
    }

    void longLineSavedWithoutDisplayBreaks() {
        AppFixture app;
        QByteArray line;
        for (int i = 0; line.size() < 30000; ++i)
            line += "<td class=\"c" + QByteArray::number(i) + "\">" + QByteArray::number(i) + "</td>";
        const QByteArray original = "<table>\n" + line + "\n</table>\n";
        const QString path = app.env.writeFile("minified.htm", original);
        app.start({path});
        frmNotepad* window = app.document(0);
        // The long line is shown in pieces, each a line of the display.
        QVERIFY(window->txtRich->document()->blockCount() > 5);
        QCOMPARE(window->txtRich->lineCount(), 4);
        const int middle = 8 + 15000;
        window->txtRich->setSelStart(middle);
        QTest::keyClicks(window->txtRich, "XY");
        QTest::keyClick(window->txtRich, Qt::Key_Backspace);
        window->txtRich->select(middle + 1, 2000); // across several pieces
        QTest::keyClick(window->txtRich, Qt::Key_Delete);
        QVERIFY(SaveCommand(*app.main, 0));
        // Offset o of the text is byte o - 1 of the file, whose first break is a lone LF.
        QCOMPARE(TestEnvironment::readFile(path),
                 original.left(middle - 1) + "X" + original.mid(middle - 1 + 2000));
    }

    void formatItemMarksAndConvertsOnSave() {
        AppFixture app;
        const QString path = app.env.writeFile("mac.htm", "a\r\nb");
        app.start({path});
        frmNotepad* window = app.document(0);
        window->mnuTMACformat->trigger();
        QCOMPARE(window->windowTitle(), path + "*");
        QVERIFY(app.record(0).Modified);
        QCOMPARE(window->txtRich->text(), QStringLiteral("a\r\nb"));
        window->mnuSave->trigger();
        QCOMPARE(TestEnvironment::readFile(path), QByteArray("a\rb"));
        QCOMPARE(window->txtRich->text(), QStringLiteral("a\r\nb"));
        QCOMPARE(window->windowTitle(), path);
        QVERIFY(!app.record(0).Modified);
        QCOMPARE(app.record(0).PathCaption, path);
    }

    void templateMarker_data() {
        QTest::addColumn<QByteArray>("templateText");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor");
        QTest::newRow("middle") << QByteArray("ab@@cd") << "abcd" << 2;
        QTest::newRow("first") << QByteArray("@@xy") << "xy" << 0;
        QTest::newRow("first marker only") << QByteArray("a@@b@@") << "ab@@" << 1;
        QTest::newRow("after a break") << QByteArray("<p>\r\n@@</p>") << "<p>\r\n</p>" << 5;
        QTest::newRow("none") << QByteArray("plain") << "plain" << 0;
        QTest::newRow("empty") << QByteArray() << "" << 0;
    }
    void templateMarker() {
        QFETCH(QByteArray, templateText);
        QFETCH(QString, text);
        QFETCH(int, cursor);
        AppFixture app;
        app.env.writeFile("data/Quillora/default.htm", templateText);
        app.start();
        frmNotepad* window = app.document(0);
        QCOMPARE(window->txtRich->text(), text);
        QCOMPARE(window->txtRich->selStart(), cursor);
        QCOMPARE(window->txtRich->selLength(), 0);
        QVERIFY(!app.record(0).Modified);
        QCOMPARE(window->windowTitle(), QStringLiteral("Untitled [0]"));
    }

    void newDocumentFormatFollowsSetting_data() {
        QTest::addColumn<QString>("newLine");
        QTest::addColumn<int>("format");
        QTest::newRow("CR LF") << "\r\n" << int(SaveFormat::Dos);
        QTest::newRow("LF") << "\n" << int(SaveFormat::Unix);
        QTest::newRow("CR") << "\r" << int(SaveFormat::Mac);
        QTest::newRow("other") << "x" << int(SaveFormat::Dos);
    }
    void newDocumentFormatFollowsSetting() {
        QFETCH(QString, newLine);
        QFETCH(int, format);
        AppFixture app;
        app.start();
        app.main->mutableSettings().DefaultNewLN = newLine;
        QCOMPARE(int(NewDocument(*app.main)->saveFormat()), format);
    }

    void saveDropsTrailingStar() {
        AppFixture app;
        const QString path = app.env.writeFile("star.htm", "x");
        app.start({path});
        app.document(0)->txtRich->setSelText(QStringLiteral("y"));
        QCOMPARE(app.record(0).PathCaption, path + "*");
        QVERIFY(SaveDocument(*app.main, 0, app.record(0).PathCaption));
        QCOMPARE(TestEnvironment::readFile(path), QByteArray("yx"));
        QVERIFY(!QFileInfo::exists(path + "*"));
        QCOMPARE(app.record(0).PathCaption, path);
    }

    void failedSaveKeepsEverything() {
        AppFixture app;
        const QString path = app.env.writeFile("keep.htm", "original");
        app.start({path});
        frmNotepad* window = app.document(0);
        window->txtRich->setSelText(QStringLiteral("edited "));
        // A path below a regular file cannot be created, whoever runs the test.
        const QString impossible = path + "/below.htm";
        app.dialogs.savePaths.enqueue(impossible);
        QVERIFY(!SaveAsCommand(*app.main, 0));
        QCOMPARE(app.dialogs.messages.size(), 1);
        QCOMPARE(app.dialogs.messages[0].icon, Dialogs::Icon::Critical);
        QVERIFY(app.dialogs.messages[0].text.contains(impossible));
        QVERIFY(app.record(0).Modified);
        QCOMPARE(window->windowTitle(), path + "*");
        QCOMPARE(app.record(0).PathCaption, path + "*");
        QCOMPARE(TestEnvironment::readFile(path), QByteArray("original"));
    }

    void openFailuresAreReported_data() {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QByteArray>("bytes"); // empty name: do not create
        QTest::newRow("missing") << "missing.htm" << QByteArray();
        QTest::newRow("NUL bytes") << "binary.bin" << QByteArray("ab\0cd", 5);
        QTest::newRow("folder") << "folder" << QByteArray();
    }
    void openFailuresAreReported() {
        QFETCH(QString, relative);
        QFETCH(QByteArray, bytes);
        AppFixture app;
        app.start();
        QString path = app.env.root() + "/" + relative;
        if (!bytes.isEmpty())
            path = app.env.writeFile(relative, bytes);
        if (relative == "folder")
            QDir().mkpath(path);
        QVERIFY(!OpenDocument(*app.main, path));
        QCOMPARE(app.dialogs.messages.size(), 1);
        QVERIFY(app.dialogs.messages[0].text.startsWith("An error occurred when opening file: " + path));
        QCOMPARE(app.dialogs.messages[0].icon, Dialogs::Icon::Critical);
        QCOMPARE(app.main->documents().DocumentCount, 1);
    }

    void fileDialogs() {
        AppFixture app;
        app.start();
        app.main->mutableSettings().DefaultFormat = QStringLiteral("php");
        const QString chosen = app.env.root() + "/sub/x.htm";
        app.dialogs.savePaths.enqueue(chosen);
        QCOMPARE(ShowFileDialog(*app.main, FileDialogAction::Save, true), chosen);
        const Dialogs::FileRequest save = app.dialogs.saveRequests.last();
        QVERIFY(save.filter.startsWith("Default (*.php)|*.php|ASP (*.asp)|*.asp|"));
        QVERIFY(save.filter.endsWith("|XML (*.xml)|*.xml|All Files (*.*)|*.*"));
        QCOMPARE(save.filterIndex, 1);
        // "Remember last directory": the next dialog starts in the chosen file's folder.
        QCOMPARE(app.main->dialogFolder(), app.env.root() + "/sub");

        app.main->mutableSettings().LastDir = false;
        QCOMPARE(ShowFileDialog(*app.main, FileDialogAction::Open, true), QString());
        const Dialogs::FileRequest open = app.dialogs.openRequests.last();
        QVERIFY(open.filter.startsWith("All Formats|*.asp;*.cgi;*.dhtml;*.htm;*.html;"));
        QVERIFY(open.filter.contains("|Hypertext (*.htm;*.html)|*.htm;*.html|"));
        QCOMPARE(open.folder, app.env.root() + "/sub");
    }

    void openDialogAddsToRecent() {
        AppFixture app;
        app.start();
        const QString path = app.env.writeFile("r.htm", "r");
        app.dialogs.openPaths.enqueue(path);
        ShowOpenDialog(*app.main);
        QCOMPARE(app.main->documents().DocumentCount, 2);
        QCOMPARE(app.main->recentMenu().caption(1), path);
        ShowOpenDialog(*app.main); // cancelled: nothing happens
        QCOMPARE(app.main->documents().DocumentCount, 2);
    }

    void editCommands() {
        AppFixture app;
        app.start();
        frmNotepad* window = app.document(0);
        window->txtRich->setText(QStringLiteral("one\r\ntwo"));
        window->txtRich->select(2, 4); // "e", CR LF, "t"
        window->mnuCut->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("e\r\nt"));
        QCOMPARE(window->txtRich->text(), QStringLiteral("onwo"));
        window->txtRich->setSelStart(0);
        window->mnuPaste->trigger();
        QCOMPARE(window->txtRich->text(), QStringLiteral("e\r\ntonwo"));
        window->mnuSelectAll->trigger();
        QCOMPARE(window->txtRich->selLength(), 8);
        window->mnuCopy->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("e\r\ntonwo"));
        window->mnuDelete->trigger();
        QCOMPARE(window->txtRich->text(), QString());
        window->mnuTimeDate->trigger();
        QVERIFY(window->txtRich->text().contains(QString::number(QDate::currentDate().year() % 100)));
    }

    void printsToPdf_data() {
        QTest::addColumn<bool>("withSelection");
        QTest::newRow("whole") << false;
        QTest::newRow("selection") << true;
    }
    void printsToPdf() {
        QFETCH(bool, withSelection);
        AppFixture app;
        app.start();
        frmNotepad* window = app.document(0);
        window->txtRich->setText(QStringLiteral("line one\r\nline two"));
        if (withSelection)
            window->txtRich->select(0, 4);
        const QString pdf = app.env.root() + "/out.pdf";
        app.dialogs.printToPdf = pdf;
        app.dialogs.printSelection = withSelection;
        window->mnuPrint->trigger();
        QCOMPARE(app.dialogs.printRequests.size(), 1);
        QCOMPARE(app.dialogs.printRequests[0].hasSelection, withSelection);
        QVERIFY(TestEnvironment::readFile(pdf).startsWith("%PDF"));

        // Cancelling prints nothing.
        QFile::remove(pdf);
        app.dialogs.printToPdf.clear();
        window->mnuPrint->trigger();
        QVERIFY(!QFileInfo::exists(pdf));
    }

    void compilePassesOnePathWithoutStar() {
        AppFixture app;
        const QString doc = app.env.writeFile("my dir/Main Class.java", "class A {}");
        const QString record = app.env.root() + "/args.txt";
        const QString compiler = app.env.writeFile(
            "compiler.sh", ("#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '" + record + "'\n").toUtf8());
        QFile::setPermissions(compiler, QFile::permissions(compiler) | QFileDevice::ExeOwner);
        app.start({doc});
        app.main->mutableSettings().JavaCompiler = compiler;
        app.document(0)->txtRich->setSelText(QStringLiteral("x")); // caption gets its "*"
        app.document(0)->mnuTCompile->trigger();
        QTRY_VERIFY(QFileInfo::exists(record) && QFileInfo(record).size() > 0);
        QCOMPARE(QString::fromUtf8(TestEnvironment::readFile(record)), "1|" + doc + "|");
    }

    void compileNeedsSavedFileAndCompiler() {
        AppFixture app;
        app.start();
        app.document(0)->mnuTCompile->trigger();
        QCOMPARE(app.dialogs.messages.size(), 1);
        QCOMPARE(app.dialogs.messages[0].text,
                 QStringLiteral("The file must be saved before you can compile it!"));

        const QString doc = app.env.writeFile("A.java", "class A {}");
        OpenDocument(*app.main, doc)->mnuTCompile->trigger();
        QCOMPARE(app.dialogs.messages.size(), 2);
        QCOMPARE(app.dialogs.messages[1].text,
                 QStringLiteral("There is no Java Compiler selected.\r\nWould you like to select one now?"));
        QCOMPARE(app.dialogs.messages[1].buttons, Dialogs::Buttons::YesNo);
    }

    void windowArrangements() {
        AppFixture app;
        app.start();
        NewDocument(*app.main);
        QMdiArea* area = app.main->mdiArea();
        app.document(0)->mnuTileV->trigger();
        const QRect left = app.document(0)->geometry();
        const QRect right = app.document(1)->geometry();
        QCOMPARE(left.top(), right.top());
        QVERIFY(left.right() < right.left());
        app.document(0)->mnuTileH->trigger();
        QVERIFY(app.document(0)->geometry().bottom() < app.document(1)->geometry().top());
        QCOMPARE(app.document(0)->width(), area->viewport()->width());
        QVERIFY(app.main->documents().DocumentActive);
    }
};

QTEST_MAIN(DocumentsTest)
#include "tst_documents.moc"
