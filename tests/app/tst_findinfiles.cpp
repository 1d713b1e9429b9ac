#include "app/FilesPanel.h"
#include "editor/FileSearch.h"
#include "editor/frmFindInFiles.h"
#include "editor/mdlFile.h"
#include "markup/FileMatches.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/Watchdog.h"

#include <QtTest>
#include <QtWidgets>

#include <sys/stat.h>

namespace {

// A site with known matches of "buffer": nested folders, LF and CR LF files, UTF-8 and
// windows-1252 pages; and what a search passes over: binary data, a file over the size limit, a
// named pipe, a link back to a folder above, a link to itself, a link to nothing, a second name
// of a page, a hidden folder, a file type the default filter leaves out.
QString makeSite(const TestEnvironment& env) {
    const QString site = env.root() + "/site";
    env.writeFile("site/index.html",
                  "<html>\n<p>A buffer here, Buffer there</p>\n\t<b>buffers</b> \xC3\xA9 buffer\n</html>\n");
    env.writeFile("site/css/style.css", "body {\r\n  /* buffer */\r\n}\r\n");
    env.writeFile("site/old/legacy.htm", "<meta charset=\"windows-1252\">\r\n<p>caf\xE9 BUFFER</p>\r\n");
    env.writeFile("site/sub/deeper/page.php", "$buffer = 1;\n");
    env.writeFile("site/.hidden/secret.html", "buffer\n");
    env.writeFile("site/notes.md", "buffer\n");
    env.writeFile("site/binary.html", QByteArray("buffer\0\x01", 8));
    QFile huge(site + "/huge.txt"); // sparse: nothing is written
    if (!huge.open(QIODevice::WriteOnly) || !huge.resize(kMaxTextFileBytes + 1))
        qFatal("no sparse file");
    QFile::link("index.html", site + "/link.html");
    QFile::link("..", site + "/sub/loop");
    QFile::link("self.html", site + "/self.html");
    QFile::link("missing.html", site + "/dangling.html");
    if (::mkfifo(QFile::encodeName(site + "/pipe.html").constData(), 0644) != 0)
        qFatal("no named pipe");
    return site;
}

// What the search of the site with the default file types skips.
#define SKIPPED "binary.html dangling.html huge.txt pipe.html self.html sub/loop"

QString relative(const QString& site, const QString& path) {
    return path.mid(site.size() + 1);
}

// "file:line:column" of each match, in order.
QString places(const QString& site, const std::vector<FileResult>& results) {
    QStringList all;
    for (const FileResult& result : results)
        for (const LineMatch& match : result.matches)
            all << QString("%1:%2:%3").arg(relative(site, result.path)).arg(match.line).arg(match.column);
    return all.join(' ');
}

QString skippedPaths(const QString& site, const std::vector<SkippedFile>& skipped) {
    QStringList all;
    for (const SkippedFile& file : skipped)
        all << relative(site, file.path);
    all.sort();
    return all.join(' ');
}

SearchOptions optionsOf(const QString& letters) {
    return {letters.contains('c'), letters.contains('x'), letters.contains('w')};
}

// Every file below `folder` (not following links) with its bytes.
QMap<QString, QByteArray> contents(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        if (QFileInfo(path).isFile() && QFileInfo(path).size() < 1024)
            files[path] = TestEnvironment::readFile(path);
    }
    return files;
}

// Replace All of "buffer" by "stream" in `folder`, from the dialog opened for `document`; the
// panel, its run begun.
FilesPanel* replaceBuffer(AppFixture& app, frmNotepad* document, const QString& folder) {
    app.main->findInFiles(document);
    FilesPanel* panel = app.main->filesPanel();
    panel->dialog()->txtFolder->setText(folder);
    panel->dialog()->cmbFindFiles->setCurrentText("buffer");
    panel->dialog()->cmbReplaceFiles->setCurrentText("stream");
    panel->dialog()->cmdReplaceAll->click();
    return panel;
}

// Scripted answers, and something done while the next question is open (as a person might change
// files meanwhile).
struct HookedDialogs : ScriptedDialogs {
    std::function<void()> whileAsked;
    Answer message(QWidget* parent, const QString& title, const QString& text, Buttons buttons,
                   Icon icon) override {
        if (buttons != Buttons::Ok && whileAsked)
            std::exchange(whileAsked, {})();
        return ScriptedDialogs::message(parent, title, text, buttons, icon);
    }
};

} // namespace

class FindInFilesTest : public QObject {
    Q_OBJECT

private slots:
    void listing_data() {
        table({"filter", "options", "files", "skipped"},
              {"default types; ; ; binary.html huge.txt index.html css/style.css old/legacy.htm "
               "sub/deeper/page.php; "
               "dangling.html pipe.html self.html sub/loop",
               "types in any case, hidden folders; *.HTML; h; binary.html index.html .hidden/secret.html; "
               "dangling.html pipe.html self.html sub/loop",
               "loops whatever the types; *.css ;*.md; ; notes.md css/style.css; self.html sub/loop",
               "every file; *; ; binary.html huge.txt index.html notes.md css/style.css old/legacy.htm "
               "sub/deeper/page.php; dangling.html pipe.html self.html sub/loop"});
    }
    // Files by name, folders after files; one listing per file however many names lead to it;
    // nothing but folders opened, so the named pipe cannot block it.
    void listing() {
        TestEnvironment env;
        const QString site = makeSite(env);
        const QString filter = cell("filter");
        const Watchdog watchdog("listing a folder with a named pipe");
        const FolderListing listing =
            ListFolderFiles(site, FileNameFilter(filter.isEmpty() ? frmFindInFiles::defaultFilter() : filter),
                            cell("options").contains('h'));
        QStringList files;
        for (const ListedFile& file : listing.files)
            files << relative(site, file.path);
        QCOMPARE(files.join(' '), cell("files"));
        QCOMPARE(skippedPaths(site, listing.skipped), cell("skipped"));
        QVERIFY(listing.failure.isEmpty());
        for (const SkippedFile& file : listing.skipped)
            QVERIFY2(file.reason.startsWith(file.path), qPrintable(file.reason));
    }

    void search_data() {
        table({"find", "options", "places", "skipped"},
              {"any case; buffer; ; index.html:2:6 index.html:2:19 index.html:3:5 index.html:3:19 "
               "css/style.css:2:6 "
               "old/legacy.htm:2:9 sub/deeper/page.php:1:2; " SKIPPED,
               "match case; buffer; c; index.html:2:6 index.html:3:5 index.html:3:19 css/style.css:2:6 "
               "sub/deeper/page.php:1:2; " SKIPPED,
               "whole word; buffer; w; index.html:2:6 index.html:2:19 index.html:3:19 css/style.css:2:6 "
               "old/legacy.htm:2:9 sub/deeper/page.php:1:2; " SKIPPED,
               "hidden folders; buffer; ch; index.html:2:6 index.html:3:5 index.html:3:19 "
               ".hidden/secret.html:1:1 "
               "css/style.css:2:6 sub/deeper/page.php:1:2; " SKIPPED,
               "pattern at line starts; ^\\s*/\\*; x; css/style.css:2:1; " SKIPPED,
               "pattern over a LF read as CR LF; </p>\\r\\n\\s*<b>; x; index.html:2:31; " SKIPPED,
               "windows-1252; CAFÉ; ; old/legacy.htm:2:4; " SKIPPED,
               "UTF-8 beside windows-1252; é buffer; ; index.html:3:17 old/legacy.htm:2:7; " SKIPPED});
    }
    // The real job, in its threads: places as the editor shows them, encodings and line breaks read
    // as Open reads them, and the skipped files with their reasons.
    void search() {
        TestEnvironment env;
        const QString site = makeSite(env);
        FileSearchJob job;
        std::vector<FileResult> results;
        std::vector<SkippedFile> skipped;
        int finished = 0;
        connect(&job, &FileSearchJob::found, [&](const std::vector<FileResult>& batch) {
            results.insert(results.end(), batch.begin(), batch.end());
        });
        connect(&job, &FileSearchJob::skipped, [&](const std::vector<SkippedFile>& batch) {
            skipped.insert(skipped.end(), batch.begin(), batch.end());
        });
        connect(&job, &FileSearchJob::finished, [&] { ++finished; });
        FileSearchRequest request;
        request.folder = site;
        request.filter = frmFindInFiles::defaultFilter();
        request.find = cell("find");
        request.options = optionsOf(cell("options"));
        request.hiddenFolders = cell("options").contains('h');
        const Watchdog watchdog("searching a folder with a named pipe");
        job.search(request);
        job.waitForDone();
        QCOMPARE(finished, 1);
        QCOMPARE(places(site, results), cell("places"));
        QCOMPARE(skippedPaths(site, skipped), cell("skipped"));
        for (const FileResult& result : results)
            QCOMPARE(result.count, qsizetype(result.matches.size()));
        const QStringList reasons{"binary data",          "too large",      "a named pipe",
                                  "leads back to itself", "does not exist", "a folder that contains it"};
        for (const QString& reason : reasons)
            QVERIFY2(std::any_of(skipped.begin(), skipped.end(),
                                 [&](const SkippedFile& file) { return file.reason.contains(reason); }),
                     qPrintable(reason));
    }

    void replaceKeepingBreaks_data() {
        table({"original", "find", "options", "replacement", "breaks", "expected"},
              {"plain in mixed breaks; a\nb\r\nc\rb; b; ; X; dos; a\nX\r\nc\rX",
               "an inserted break takes the file's form; one\ntwo\n; o$; x; O\\n; unix; one\ntwO\n\n",
               "a match over a break keeps the others; a\nb\nc\r\nd; b\\r\\nc; x; B C; dos; a\nB C\r\nd",
               "LF CR stays two breaks; x\n\ry\n; y; ; Z; unix; x\n\rZ\n",
               "whole words; cat catalog\rcat; cat; w; dog; mac; dog catalog\rdog",
               "no match; abc\n; z; ; Q; dos; abc\n"});
    }
    void replaceKeepingBreaks() {
        const QString breaks = cell("breaks");
        const SaveFormat format = breaks == "dos"    ? SaveFormat::Dos
                                  : breaks == "unix" ? SaveFormat::Unix
                                                     : SaveFormat::Mac;
        const SearchPattern pattern(cell("find"), optionsOf(cell("options")));
        int count = -1;
        const QString replaced =
            ReplaceKeepingBreaks(cell("original"), pattern, cell("replacement"), format, &count);
        QCOMPARE(replaced, cell("expected"));
        // As many as Replace All counts in the text as a document holds it.
        int inDocument = -1;
        pattern.replaceAll(NormalizeToCrLf(cell("original")), cell("replacement"), &inDocument);
        QCOMPARE(count, inDocument);
    }

    void linesAndMarks() {
        const QString text =
            QString("x\r\n\t  <b>buffer</b> ") + QString(300, 'y') + " buffer " + QString(300, 'z');
        std::vector<LineMatch> matches;
        qsizetype count = 0;
        matches = FindLineMatches(text, SearchPattern("buffer", {}), 1, &count);
        QCOMPARE(count, qsizetype(2)); // counted past the limit, placed up to it
        QCOMPARE(int(matches.size()), 1);
        QCOMPARE(matches[0].lineText.left(13), "<b>buffer</b>");
        QCOMPARE(matches[0].lineText.mid(matches[0].markStart, matches[0].markLength), "buffer");
        matches = FindLineMatches(text, SearchPattern("buffer", {}), 10);
        const LineMatch& far = matches.at(1); // on a long line: a stretch around it
        QCOMPARE(far.line, 2);
        QCOMPARE(far.column, 17 + 300 + 1 + 1); // tab, blanks, tags and word, the y's, a blank
        QVERIFY(far.lineText.startsWith(QChar(0x2026)) && far.lineText.endsWith(QChar(0x2026)));
        QVERIFY(far.lineText.size() < 250);
        QCOMPARE(far.lineText.mid(far.markStart, far.markLength), "buffer");
    }

    // Searched text as opening reads it; a closed file written back keeps its encoding, line
    // breaks and mode, and a file changed after the search is left alone.
    // The text searched is the text opening shows, whatever the encoding.
    void readAsOpened_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("UTF-8") << QByteArray("caf\xC3\xA9\n");
        QTest::newRow("UTF-8 with a mark") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                                                         "caf\xC3\xA9");
        QTest::newRow("UTF-16LE") << QByteArray("\xFF\xFEx\0\xE9\0", 6);
        QTest::newRow("UTF-16BE") << QByteArray("\xFE\xFF\0x\0\xE9", 6);
        QTest::newRow("windows-1252 declared") << QByteArray("<meta charset=\"windows-1252\">\x80\xE9");
        QTest::newRow("Latin-1 undeclared") << QByteArray("caf\xE9 \x80");
        QTest::newRow("characters the text control keeps") << QByteArray("a\xE2\x80\xA9"
                                                                         "b\xEF\xB7\x90");
    }
    void readAsOpened() {
        QFETCH(QByteArray, bytes);
        TestEnvironment env;
        const QString path = env.writeFile("p.htm", bytes);
        LoadedText opened;
        QString text, reason;
        QByteArray read;
        QVERIFY(readTextFile(path, opened, reason));
        QVERIFY(ReadTextForSearch(path, text, read, reason));
        QCOMPARE(text, opened.text);
        QCOMPARE(read, bytes);
    }

    // A closed file written back keeps its encoding, its line breaks (mixed here) and its mode; a
    // file changed after the search, or a replacement its encoding cannot hold, leaves it as it was.
    void replaceInClosedFile_data() {
        table({"change", "replacement", "outcome"},
              {"unchanged since the search; ; stre\u00e4m; written",
               "changed since the search; x; stream; changed after it was searched",
               "a character the encoding lacks; ; \u03a9; could not be written: The text contains U+03A9"});
    }
    void replaceInClosedFile() {
        TestEnvironment env;
        const QByteArray bytes = "<meta charset=\"windows-1252\">\n<p>caf\xE9 \x80 buffer</p>\r\nbuffer\n";
        const QString path = env.writeFile("p.htm", bytes);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        const FilesPattern pattern("buffer", {});
        FileResult result;
        QString reason;
        QVERIFY(SearchFile(path, pattern, 10, result, reason));
        QCOMPARE(result.count, qsizetype(2));
        const QByteArray changed = bytes + cell("change").toLatin1();
        if (!cell("change").isEmpty())
            env.writeFile("p.htm", changed);
        const ReplaceOutcome outcome =
            ReplaceInFile(path, result.stamp, pattern, cell("replacement"), QString());
        if (cell("outcome") != "written") {
            QVERIFY(!outcome.changed);
            QVERIFY2(outcome.failure.startsWith(path + " " + cell("outcome")), qPrintable(outcome.failure));
            QCOMPARE(TestEnvironment::readFile(path), changed);
            return;
        }
        QVERIFY2(outcome.changed && outcome.failure.isEmpty(), qPrintable(outcome.failure));
        QCOMPARE(outcome.count, 2);
        QCOMPARE(TestEnvironment::readFile(path),
                 "<meta charset=\"windows-1252\">\n<p>caf\xE9 \x80 stre\xE4m</p>\r\nstre\xE4m\n");
        QCOMPARE(QFile::permissions(path) & 0x7077, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    }

    // However the threads share the files, the rows stop at the limit in file order, and the
    // counts stay whole.
    void listLimitInFileOrder() {
        TestEnvironment env;
        const QString site = makeSite(env);
        for (int i = 0; i < 40; ++i)
            env.writeFile(QString("site/many/%1.txt").arg(i, 2, 10, QChar('0')), "buffer buffer\n");
        FileSearchJob job;
        std::vector<FileResult> results;
        connect(&job, &FileSearchJob::found, [&](const std::vector<FileResult>& batch) {
            results.insert(results.end(), batch.begin(), batch.end());
        });
        FileSearchRequest request;
        request.folder = site;
        request.filter = "*.txt;*.html";
        request.find = "buffer";
        request.listLimit = 5;
        job.search(request);
        job.waitForDone();
        QCOMPARE(int(results.size()), 41);
        QStringList rows;
        qsizetype count = 0;
        for (const FileResult& result : results) {
            count += result.count;
            rows << QString::number(result.matches.size());
        }
        QCOMPARE(count, qsizetype(4 + 80));
        QCOMPARE(rows.join(""), "41" + QString(39, '0'));
        QCOMPARE(relative(site, results[1].path), "many/00.txt");
    }

    // From the document's keys to the dialog, the results panel, and back to the places.
    void dialogAndPanelFromKeyboard() {
        AppFixture app;
        const QString site = makeSite(app.env);
        app.start({site + "/index.html"});
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()));
        frmNotepad* document = app.document(0);
        document->txtRich->setFocus();
        sendKey(document->txtRich, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
        FilesPanel* panel = app.main->filesPanel();
        QVERIFY(panel && panel->dialog());
        frmFindInFiles* dialog = panel->dialog();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QCOMPARE(dialog->txtFolder->text(), site);
        QCOMPARE(dialog->cmbFilter->currentText(), "*.htm;*.html;*.css;*.js;*.php;*.asp;*.pl;*.txt;*.xml");
        QCOMPARE(dialog->focusWidget(), dialog->cmbFindFiles);
        QVERIFY(!dialog->chkHidden->isChecked());
        typeKeys(dialog->focusWidget(), "buffer{Return}");
        QVERIFY(!dialog->isVisible() && panel->isVisible() && panel->running());
        panel->waitForDone();
        QCOMPARE(panel->lblFilesSummary->text(), "7 matches in 4 files (4 files searched, 6 files skipped).");
        QTreeWidget* list = panel->lstFileResults;
        QStringList groups;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            groups << list->topLevelItem(i)->text(0);
        QCOMPARE(groups,
                 QStringList({"index.html (4 matches)", "css/style.css (1 match)", "old/legacy.htm (1 match)",
                              "sub/deeper/page.php (1 match)", "6 files skipped"}));
        const QTreeWidgetItem* marked = list->topLevelItem(0)->child(3);
        QCOMPARE(marked->text(0) + ":" + marked->text(1) + " " + marked->text(2),
                 "3:19 <b>buffers</b> é buffer");
        QCOMPARE(marked->text(2).mid(marked->data(2, FilesPanel::kMarkStartRole).toInt(),
                                     marked->data(2, FilesPanel::kMarkLengthRole).toInt()),
                 "buffer");

        // Enter on the first row, current from the start: the open document, the match selected.
        QCOMPARE(list->currentItem(), list->topLevelItem(0)->child(0));
        QCOMPARE(QApplication::focusWidget(), list);
        document->txtRich->setSelStart(0);
        sendKey(list, Qt::Key_Return);
        QCOMPARE(app.main->documents().DocumentCount, 1);
        QCOMPARE(document->txtRich->selStart(), 13); // "<html>" CR LF "<p>A "
        QCOMPARE(document->txtRich->selText(), "buffer");
        QCOMPARE(QApplication::focusWidget(), document->txtRich);
        // Down to the windows-1252 page's row: opened, its match selected.
        list->setFocus();
        list->setCurrentItem(list->topLevelItem(1));
        sendKey(list, Qt::Key_Down);
        sendKey(list, Qt::Key_Down);
        sendKey(list, Qt::Key_Down);
        QCOMPARE(list->currentItem()->parent(), list->topLevelItem(2));
        sendKey(list, Qt::Key_Return);
        QCOMPARE(app.main->documents().DocumentCount, 2);
        frmNotepad* legacy = app.main->documents().current();
        QCOMPARE(legacy->windowTitle().section('/', -1), "legacy.htm");
        QCOMPARE(legacy->txtRich->selText(), "BUFFER");
        // A double click on a row of the open page: its window again, that match selected.
        const QTreeWidgetItem* second = list->topLevelItem(0)->child(1);
        list->scrollToItem(second);
        const QPoint at = list->visualItemRect(second).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at); // a double click's first press
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(app.main->documents().current(), document);
        QCOMPARE(document->txtRich->selStart(), 8 + 18);
        QCOMPARE(document->txtRich->selText(), "Buffer");

        // Esc closes the dialog; a pattern that does not compile, or a missing folder, runs nothing.
        app.main->mdiArea()->setActiveSubWindow(legacy);
        legacy->txtRich->setFocus();
        sendKey(legacy->txtRich, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QCOMPARE(dialog->txtFolder->text(), site + "/old");
        QCOMPARE(dialog->focusWidget(), dialog->cmbFindFiles);
        sendKey(dialog->focusWidget(), Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        app.main->findInFiles(legacy);
        dialog->chkRegex->click();
        dialog->cmbFindFiles->setCurrentText("(buf");
        dialog->cmdFindAll->click();
        QCOMPARE(app.dialogs.messages.last().text, SearchPattern("(buf", {false, true}).errorMessage());
        QVERIFY(dialog->isVisible() && !panel->running());
        QCOMPARE(list->topLevelItemCount(), 5);
        dialog->chkRegex->click();
        dialog->txtFolder->setText(site + "/none");
        dialog->cmdReplaceAll->click();
        QCOMPARE(app.dialogs.messages.last().text, "The folder " + site + "/none does not exist.");
        QVERIFY(!panel->running());
        app.dialogs.folders.enqueue(site + "/sub");
        dialog->cmdBrowse->click();
        QCOMPARE(app.dialogs.folderRequests.last().folder, site + "/none");
        QCOMPARE(dialog->txtFolder->text(), site + "/sub");
        dialog->cmbFindFiles->setCurrentText("buffer");
        dialog->cmdFindAll->click();
        panel->waitForDone(); // a new run replaces the results
        QCOMPARE(panel->lblFilesSummary->text(), "1 match in 1 file (1 file searched, 1 file skipped).");
        QCOMPARE(list->topLevelItemCount(), 2);
    }

    // Open documents change in their windows (one undo step, unsaved); closed files are written in
    // their own encoding and line breaks; a read-only file is reported with its reason.
    void replaceInFiles() {
        AppFixture app;
        const QString site = makeSite(app.env);
        const QString readOnly = app.env.writeFile("site/ro.txt", "buffer\n");
        QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(QFile::setPermissions(site + "/css/style.css", QFile::ReadOwner | QFile::WriteOwner));
        app.start({site + "/index.html"});
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()));
        frmNotepad* document = app.document(0);
        typeKeys(document->txtRich, "buffer "); // unsaved: the window's text is what is searched
        const QString edited = document->txtRich->text();
        const QByteArray onDisk = TestEnvironment::readFile(site + "/index.html");
        app.dialogs.answers.enqueue(Dialogs::Answer::Yes);
        {
            const AsUser user(app.env.root());
            replaceBuffer(app, document, site)->waitForDone();
        }
        QCOMPARE(app.dialogs.messages.size(), 2);
        QCOMPARE(
            app.dialogs.messages[0].text,
            "Replace 9 matches in 5 files with \"stream\"?\r\n\r\nindex.html (5 matches)\r\nro.txt (1 "
            "match)\r\n"
            "css/style.css (1 match)\r\nold/legacy.htm (1 match)\r\nsub/deeper/page.php (1 match)\r\n\r\n"
            "6 files skipped and not changed.\r\n\r\nDocuments open in windows are changed there and left "
            "unsaved; the other files are written.");
        QCOMPARE(
            app.dialogs.messages[1].text,
            "Replaced 8 matches in 4 files:\r\nindex.html (5 matches, in its window, unsaved)\r\n"
            "css/style.css (1 match)\r\nold/legacy.htm (1 match)\r\nsub/deeper/page.php (1 match)\r\n\r\n"
            "1 file could not be changed:\r\n" +
                readOnly + " could not be written: Existing file " + readOnly + " is not writable");
        QCOMPARE(app.dialogs.messages[1].icon, Dialogs::Icon::Warning);
        QString expected = edited;
        QCOMPARE(document->txtRich->text(), expected.replace("buffer", "stream", Qt::CaseInsensitive));
        QVERIFY(app.record(0).Modified);
        QCOMPARE(TestEnvironment::readFile(site + "/index.html"), onDisk);
        sendKey(document->txtRich, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(document->txtRich->text(), edited);
        QCOMPARE(TestEnvironment::readFile(site + "/css/style.css"), "body {\r\n  /* stream */\r\n}\r\n");
        QCOMPARE(QFile::permissions(site + "/css/style.css") & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(TestEnvironment::readFile(site + "/old/legacy.htm"),
                 "<meta charset=\"windows-1252\">\r\n<p>caf\xE9 stream</p>\r\n");
        QCOMPARE(TestEnvironment::readFile(site + "/sub/deeper/page.php"), "$stream = 1;\n");
        QCOMPARE(TestEnvironment::readFile(readOnly), "buffer\n");
        QCOMPARE(TestEnvironment::readFile(site + "/.hidden/secret.html"), "buffer\n");
        QCOMPARE(TestEnvironment::readFile(site + "/notes.md"), "buffer\n");
    }

    // While the question is open, a searched file changes, another opens in a window and a window
    // searched closes: each file is looked at again, never written over blindly.
    void changesWhileAsked() {
        AppFixture app;
        auto* dialogs = new HookedDialogs;
        Dialogs::install(std::unique_ptr<Dialogs>(dialogs));
        const QString site = makeSite(app.env);
        app.start({site + "/index.html"});
        const QByteArray index = TestEnvironment::readFile(site + "/index.html");
        const QByteArray legacy = TestEnvironment::readFile(site + "/old/legacy.htm");
        frmNotepad* legacyWindow = nullptr;
        dialogs->whileAsked = [&] {
            app.env.writeFile("site/css/style.css", "buffer, changed\n");
            legacyWindow = OpenDocument(*app.main, site + "/old/legacy.htm");
            app.document(0)->close();
            AppFixture::flush();
        };
        dialogs->answers.enqueue(Dialogs::Answer::Yes);
        replaceBuffer(app, nullptr, site)->waitForDone();
        QCOMPARE(dialogs->messages.size(), 2);
        QCOMPARE(dialogs->messages[1].text,
                 "Replaced 2 matches in 2 files:\r\nold/legacy.htm (1 match, in its window, unsaved)\r\n"
                 "sub/deeper/page.php (1 match)\r\n\r\n2 files could not be changed:\r\n" +
                     site + "/index.html was closed after it was searched; it was left as it is.\r\n" + site +
                     "/css/style.css changed after it was searched; it was left as it is.");
        QCOMPARE(TestEnvironment::readFile(site + "/index.html"), index);
        QCOMPARE(TestEnvironment::readFile(site + "/css/style.css"), "buffer, changed\n");
        QCOMPARE(TestEnvironment::readFile(site + "/old/legacy.htm"), legacy);
        QVERIFY(legacyWindow && legacyWindow->txtRich->text().contains("caf\u00e9 stream"));
        QCOMPARE(TestEnvironment::readFile(site + "/sub/deeper/page.php"), "$stream = 1;\n");
    }

    void declinedOrCancelledChangesNothing_data() {
        table({"how"}, {"declined; no", "cancel button; cancel", "Esc in the list; esc"});
    }
    void declinedOrCancelledChangesNothing() {
        AppFixture app;
        const QString site = makeSite(app.env);
        app.start({site + "/index.html"});
        frmNotepad* document = app.document(0);
        const QString text = document->txtRich->text();
        const QMap<QString, QByteArray> before = contents(site);
        QVERIFY(before.size() >= 6);
        app.dialogs.answers.enqueue(Dialogs::Answer::No);
        FilesPanel* panel = replaceBuffer(app, document, site);
        // Nothing arrives from the search before the event loop runs again: cancelled before it.
        if (cell("how") == "cancel")
            panel->cmdCancelFiles->click();
        else if (cell("how") == "esc")
            sendKey(panel->lstFileResults, Qt::Key_Escape);
        panel->waitForDone();
        QCoreApplication::processEvents();
        QVERIFY(!panel->running());
        QCOMPARE(app.dialogs.messages.size(), cell("how") == "no" ? 1 : 0);
        if (cell("how") != "no")
            QVERIFY(panel->lblFilesSummary->text().startsWith("Cancelled: "));
        QCOMPARE(contents(site), before);
        QCOMPARE(document->txtRich->text(), text);
        QVERIFY(!app.record(0).Modified);
    }
};

QTEST_MAIN(FindInFilesTest)
#include "tst_findinfiles.moc"
