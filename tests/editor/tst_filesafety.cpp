#include "app/RecentFiles.h"
#include "app/Recovery.h"
#include "app/Skin.h"
#include "browser/ViewSource.h"
#include "editor/EditableDocument.h"
#include "editor/FileWatch.h"
#include "editor/NoticeBar.h"
#include "editor/Search.h"
#include "editor/frmFind.h"
#include "editor/mdlFile.h"
#include "html/frmFormat.h"
#include "markup/CssCode.h"
#include "markup/LineEndings.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/ShellFixture.h"
#include "support/TestEnvironment.h"
#include "support/Watchdog.h"
#include "wizards/Pictures.h"

#include <QtNetwork>
#include <QtTest>
#include <QtWidgets>
#include <sys/stat.h>
#include <unistd.h>

// Files as they come to the editor: other encodings, pipes and devices, read-only files, links; and
// files of open documents changed or deleted by other programs.
class FileSafetyTest : public QObject {
    Q_OBJECT

    // Long enough for a burst of file events to settle and the watch to look at the file.
    static void settle() { QTest::qWait(FileWatch::kQuietMs * 4); }

    static void saveWithKeys(frmNotepad* window) {
        QVERIFY(QTest::qWaitForWindowActive(window->window()));
        sendKey(window->txtRich, Qt::Key_S, Qt::ControlModifier);
    }

private slots:
    // A file that is no regular file is refused by every route before any read (never blocking) with why.
    void refusedBeforeAnyRead_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("route");
        for (const char* kind : {"named pipe", "socket", "device"})
            for (const char* route : {"command line", "hand-over", "recent files", "drop"})
                QTest::newRow(qPrintable(QString("%1, %2").arg(kind, route))) << kind << route;
        for (const auto& [kind, route] :
             {std::pair{"endless", "command line"}, {"link", "command line"}, {"folder", "recent files"}})
            QTest::newRow(qPrintable(QString("%1, %2").arg(kind, route))) << kind << route;
    }
    void refusedBeforeAnyRead() {
        const QString kind = cell("kind"), route = cell("route");
        AppFixture app;
        QString path = app.env.root() + "/refused.htm";
        QLocalServer socket;
        if (kind == "named pipe" || kind == "link") {
            const QString pipe = kind == "link" ? app.env.root() + "/pipe" : path;
            QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
            QVERIFY(kind != "link" || QFile::link(pipe, path));
        } else if (kind == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == "socket") {
            QVERIFY(socket.listen(path));
        } else {
            path = kind == "device" ? "/dev/zero" : "/proc/self/pagemap";
        }
        {
            Watchdog watchdog(qPrintable("opening a " + kind + " from the " + route));
            if (route == "command line") {
                app.start({path});
            } else {
                app.start();
                if (route == "hand-over") {
                    app.main->txtDDE_Change({path});
                } else if (route == "recent files") {
                    PushRecent(path);
                    app.main->refreshRecentMenus();
                    app.document(0)->recentMenu().item(1)->trigger();
                } else {
                    QMimeData data;
                    data.setUrls({QUrl::fromLocalFile(path)});
                    // As the platform delivers it: the drag enters, then it is dropped.
                    QWidget* target = app.document(0)->txtRich->viewport();
                    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton,
                                          Qt::NoModifier);
                    QApplication::sendEvent(target, &enter);
                    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
                    QApplication::sendEvent(target, &drop);
                }
            }
        }
        const QString expected = kind == "endless" ? path + " is too large to edit: the limit is 128 MB."
                                 : kind == "folder"
                                     ? path + " is a folder, not a file."
                                     : path + " is not a regular file and cannot be opened as text.";
        QVERIFY(app.dialogs.messages.size() == 1 && app.dialogs.messages[0].icon == Dialogs::Icon::Critical);
        QCOMPARE(app.dialogs.messages[0].text, expected);
        QCOMPARE(app.main->documents().DocumentCount, route == "command line" ? 0 : 1); // no file opened
    }

    // Every reader meets a named pipe or a link to /dev/zero in its file's place: none blocks or reads it.
    void everyReaderRefusesPipesAndDevices_data() {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QString>("kind");
        for (const char* reader :
             {"start-up data files", "journal", "search history", "formats", "style vocabulary", "skin file",
              "skin picture", "view source", "file watch"})
            for (const char* kind : {"pipe", "device"})
                QTest::newRow(qPrintable(QString("%1, %2").arg(reader, kind))) << reader << kind;
    }
    void everyReaderRefusesPipesAndDevices() {
        const QString reader = cell("reader"), kind = cell("kind");
        AppFixture app;
        const QString folder = app.env.programFolder();
        QDir().mkpath(folder + "/recovery");
        const auto plant = [&kind](const QString& path) { // the pipe or the link in path's place
            QFile::remove(path);
            return kind == "pipe" ? ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                                  : QFile::link("/dev/zero", path);
        };
        Watchdog watchdog(qPrintable(reader + " reading a " + kind));
        if (reader == "start-up data files") {
            for (const char* name :
                 {"/commands.txt", "/owncom.txt", "/default.htm", "/finds.txt", "/replaces.txt"})
                QVERIFY(plant(folder + name));
            app.start();
            QCOMPARE(app.main->commandWords(), QStringList{QString()}); // no command words
            QCOMPARE(app.document(0)->txtRich->text(), QString());      // an empty template
            QCOMPARE(app.main->findDialog().cmbFind->count(), 1);       // the empty entry alone
            return;
        }
        if (reader == "journal") {
            QVERIFY(plant(folder + "/recovery/" + JournalFileName({1, 2}, 3)));
            app.start();
            // Nothing recovered; at most named as unreadable (a pipe is no file to list at all).
            QCOMPARE(app.main->documents().DocumentCount, 1);
            for (const auto& message : std::as_const(app.dialogs.messages))
                QVERIFY(message.text.startsWith("These recovery files could not be read"));
            return;
        }
        app.start();
        const QString planted = app.env.root() + "/planted.png";
        QVERIFY(reader == "file watch" || plant(planted));
        if (reader == "search history") {
            QCOMPARE(ReadSearchHistory(planted), QStringList());
        } else if (reader == "formats") { // the empty and the built-in entries alone
            QCOMPARE(frmFormat(app.document(0)->editable(), planted, app.main.get()).cmbStart->count(), 9);
        } else if (reader == "style vocabulary") {
            QVERIFY(ReadCssVocabulary(planted).commands.isEmpty());
        } else if (reader == "skin file") {
            QVERIFY(!app.main->LoadSkin(planted));
        } else if (reader == "skin picture") {
            QVERIFY(!LoadSkinPicture(planted) && !PictureSize(planted));
        } else if (reader == "view source") {
            SourceDownload download(QUrl::fromLocalFile(planted), app.env.root() + "/source.txt", true, 3000,
                                    nullptr);
            QSignalSpy finished(&download, &SourceDownload::finished);
            QVERIFY(finished.wait(3000));
            QCOMPARE(finished.first().first().toBool(), false);
        } else { // another program put the pipe where the opened file was
            const QString page = app.env.writeFile("watched.htm", "");
            FileStamp stamp = StampOf(page);
            QTest::qWait(20); // a later time
            QVERIFY(plant(page));
            QVERIFY(!StillAsStamped(page, stamp));
        }
    }

    // As a user: a bar tells of a file not in UTF-8 or read-only; failed opens and saves say why, keeping
    // text and files; Save asks before a character the encoding lacks and writes what each answer gives.
    void noticesAtOpen_data() {
        table(
            {"names", "bytes", "modes", "typed", "notice", "failure", "answer", "written"},
            {"UTF-8, writable; page.htm; <p>caf\u00C3\u00A9; 644 755; x; ; ; ; ",
             "not UTF-8; page.htm; <p>caf\u00E9; 644 755; x; page.htm is not valid UTF-8: it was read as "
             "Latin-1. Unchanged bytes are saved as they were.; ; ; ",
             "read-only file; page.htm; <p>x; 444 755; x; page.htm is read-only: saving it needs Save As...; "
             "save: Existing file PATH is not writable; ; ",
             "writable file, read-only folder: saved in place; page.htm; <p>x; 644 555; x; ; ; ; ",
             "read-only file, read-only folder; page.htm; <p>x; 444 555; x; page.htm is read-only: saving it "
             "needs Save As...; save: EACCES; ; ",
             "read-only folder, Save As a new file; page.htm copy.htm; <p>x; 644 555; x; ; save: EACCES; ; ",
             "folder that cannot be listed, Save As; page.htm copy.htm; <p>x; 644 311; x; ; ; ; ",
             "unreadable file; page.htm; <p>x; 200 755; x; ; open: EACCES; ; ",
             "folder that cannot be entered; page.htm; <p>x; 644 600; x; ; open: EACCES; ; "});
        const auto asks = [](const char* tag, const QString& name, const QString& bytes, const QString& typed,
                             const QString& readAs, const QString& first, const char* answer,
                             const QString& written,
                             const char* offered = "Save as UTF-8|Use Character References|Cancel") {
            const QString question = "ask: cannot be saved as " + readAs +
                                     ": it contains characters that encoding does not have (first: " + first +
                                     ").|";
            QTest::newRow(tag) << name << bytes << QString("644 755") << typed
                               << name + " is not valid UTF-8: it was read as " + readAs +
                                      ". Unchanged bytes are saved as they were."
                               << (first.isEmpty() ? QString() : question + offered) << QString(answer)
                               << written;
        };
        const QString page = "<meta charset=\"windows-1252\">\r\n<p>caf\u00E9 \u0093q\u0094";
        const QString text = "<meta charset=\"windows-1252\">\r\n<p>caf\u00E9 \u201Cq\u201D";
        asks("declared page, UTF-8", "page.htm", page, "\u0151", "Windows-1252", "U+0151 at line 2",
             "Save as UTF-8", "UTF-8: " + QString(text).replace("windows-1252", "UTF-8") + "\u0151");
        asks("declared page, cancel", "page.htm", page, "\u0151", "Windows-1252", "U+0151 at line 2",
             "Cancel", "");
        asks("a pair, references", "page.htm", page, "\U0001F600", "Windows-1252", "U+1F600 at line 2",
             "Use Character References", "windows-1252: " + text + "&#128512;");
        asks("text file: no references", "notes.txt", "caf\u00E9\r\n", "\u20AC", "Latin-1",
             "U+20AC at line 2", "Save as UTF-8", "UTF-8: caf\u00E9\r\n\u20AC", "Save as UTF-8|Cancel");
        const QString xml = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<a>\u00E9</a>\n";
        asks("XML, UTF-8", "feed.xml", xml, "\u20AC", "Latin-1", "U+20AC at line 3", "Save as UTF-8",
             "UTF-8: " + QString(xml).replace("ISO-8859-1", "UTF-8") + "\u20AC");
        asks("XML, references", "feed.xml", xml, "\u20AC", "Latin-1", "U+20AC at line 3",
             "Use Character References", "ISO-8859-1: " + xml + "&#8364;");
        const QString iso15 = "<meta http-equiv=Content-Type content='text/html; charset=iso-8859-15'>";
        asks("a character the encoding has: no question", "euro.htm", iso15 + "\u00A4", "\u20AC",
             "ISO-8859-15", "", "", "ISO-8859-15: " + iso15 + "\u20AC\u20AC");
    }
    void noticesAtOpen() {
        const auto in = [](const char* column) {
            return *static_cast<QString*>(QTest::qData(column, QMetaType::QString));
        };
        const QString names = in("names"), bytes = in("bytes"), modes = in("modes"), typed = in("typed"),
                      notice = in("notice"), failure = in("failure"), answer = in("answer"),
                      written = in("written");
        QStringEncoder encoder(written.isEmpty() ? "UTF-8" : qPrintable(written.section(": ", 0, 0)));
        if (!encoder.isValid())
            QSKIP("this Qt has no reference encoder for the character set");
        AppFixture app;
        const QByteArray old = bytes.toLatin1();
        const QString path = app.env.writeFile("shared/" + names.section(' ', 0, 0), old),
                      folder = QFileInfo(path).absolutePath(), saveAs = names.section(' ', 1);
        const QString
            target = saveAs.isEmpty() ? path : folder + "/" + saveAs,
            step = failure.section(": ", 0, 0),
            why = failure.section(": ", 1).replace("PATH", target).replace("EACCES", qt_error_string(EACCES));
        const QString message = step == "open"
                                    ? "An error occurred when opening file: " + path + "\r\n\r\n" + why
                                : step == "save" ? "The file could not be saved: " + target + "\r\n\r\n" + why
                                                 : path + " " + why; // a question, then its answers
        const auto said = [&] { // the first message's text, then the answers it offers
            const ScriptedDialogs::Message first = app.dialogs.messages.value(0);
            return (QStringList(first.text) + first.choices).join('|');
        };
        app.start();
        const auto chmod = [&](const QString& file, int field) {
            return ::chmod(QFile::encodeName(file).constData(),
                           modes.section(' ', field, field).toUInt(nullptr, 8)) == 0;
        };
        QVERIFY(chmod(path, 0) && chmod(folder, 1));
        const auto removable = qScopeGuard([&] { ::chmod(QFile::encodeName(folder).constData(), 0755); });
        std::optional<AsUser> user(std::in_place, app.env.root());
        app.dialogs.openPaths << path;
        app.document(0)->action(CommandId::Open)->trigger();
        QCOMPARE(said(), step == "open" ? message : QString());
        QCOMPARE(app.main->documents().DocumentCount, step == "open" ? 1 : 2);
        if (step == "open")
            return;
        frmNotepad* window = app.document(1);
        const QString opened = window->txtRich->text();
        QCOMPARE(window->barNotice->isVisible() ? window->barNotice->lblNotice->text() : QString(), notice);
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()) &&
                QApplication::focusWidget() == window->txtRich && window->txtRich->selStart() == 0);
        sendKey(window->txtRich, Qt::Key_End, Qt::ControlModifier);
        typeText(window->txtRich, typed);
        const QString edited = window->txtRich->text();
        QVERIFY(edited == opened + typed && window->barNotice->isVisible() == !notice.isEmpty());
        QTest::mouseClick(window->barNotice->cmdCloseNotice, Qt::LeftButton);
        QVERIFY(!window->barNotice->isVisible() && QApplication::focusWidget() == window->txtRich);
        app.dialogs.savePaths << target;
        app.dialogs.choices << answer;
        saveAs.isEmpty() ? saveWithKeys(window) : window->action(CommandId::SaveAs)->trigger();
        user.reset();
        const bool saved = step.isEmpty() || !written.isEmpty();
        QCOMPARE(said(), step.isEmpty() ? QString() : message);
        QVERIFY(app.dialogs.messages.size() == !step.isEmpty() && app.record(1).Modified == !saved);
        // The document shows what the file holds; a change the save made is undone by one Ctrl+Z.
        const QString shown = written.isEmpty() ? edited : NormalizeToCrLf(written.section(": ", 1));
        QCOMPARE(window->txtRich->text(), shown);
        if (shown != edited) {
            sendKey(window->txtRich, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(window->txtRich->text(), edited);
        }
        const QByteArray expected =
            written.isEmpty() ? old + typed.toLatin1() : encoder.encode(written.section(": ", 1));
        QVERIFY(!encoder.hasError());
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                 QStringList({saveAs, names.section(' ', 0, 0)}).mid(saveAs.isEmpty() || !saved));
        QCOMPARE(TestEnvironment::readFile(target), saved ? expected : saveAs.isEmpty() ? old : "");
        QCOMPARE(TestEnvironment::readFile(path), saved && saveAs.isEmpty() ? expected : old);
        QVERIFY(QDir(app.env.programFolder() + "/recovery").entryList({"*.backup"}).isEmpty());
    }

    // Links there at open are followed; one swapped in later is not written, a hard one only when asked.
    void linkSwappedInIsNotFollowed_data() {
        table({"put"},
              {"a link put in the file's place; symbolic", "a link from the start; ",
               "a hard link from the start; hard at open", "a hard link put in the file's place; hard"});
    }
    void linkSwappedInIsNotFollowed() {
        QFETCH(QString, put);
        const bool linkAtOpen = put.isEmpty() || put == "hard at open";
        AppFixture app;
        const QString keys = app.env.writeFile("home/.ssh/authorized_keys", "ssh-ed25519 AAAA me");
        const QString page = app.env.root() + "/shared/page.htm";
        const QString real = app.env.writeFile(linkAtOpen ? "shared/real.htm" : "shared/page.htm", "<p>old");
        const auto linkTo = [&](const QString& file) { // a hard link when `put` says so, else a symbolic one
            return put.startsWith("hard")
                       ? ::link(QFile::encodeName(file).constData(), QFile::encodeName(page).constData()) == 0
                       : QFile::link(file, page);
        };
        QVERIFY(!linkAtOpen || linkTo(real));
        app.start({page});
        frmNotepad* window = app.document(0);
        typeText(window->txtRich, "new ");
        QVERIFY(linkAtOpen || (QFile::remove(page) && linkTo(keys)));
        if (put == "hard")
            app.dialogs.answers << Dialogs::Answer::Yes; // overwrite what another program changed
        saveWithKeys(window);
        if (linkAtOpen) { // written through the link, which stays; no copy made for the write is left
            QCOMPARE(TestEnvironment::readFile(real), "new <p>old");
            QCOMPARE(QFileInfo(page).isSymLink(), put.isEmpty());
            QVERIFY(QDir(app.env.programFolder() + "/recovery").entryList({"*.backup"}).isEmpty());
            return;
        }
        QCOMPARE(TestEnvironment::readFile(keys), "ssh-ed25519 AAAA me");
        QCOMPARE(app.dialogs.messages.size(), 1);
        if (put == "hard") {
            QVERIFY(app.dialogs.messages[0].text.contains("has been changed by another program"));
            QVERIFY(TestEnvironment::readFile(page) == "new <p>old" && !app.record(0).Modified);
            return;
        }
        const QString end = " since it was opened; nothing was saved. Use Save As to choose where to save.";
        QCOMPARE(app.dialogs.messages[0].text, page + " was replaced by a link to " + keys + end);
        QVERIFY(QFileInfo(page).isSymLink() && app.record(0).Modified);
    }

    // Save As onto a dangling link writes its file, keeping the link; a name ending in "*" is itself.
    void savingThroughADanglingLink_data() {
        table({"name", "file"},
              {"a link, no file; link.htm; pages/new.htm", "a name ending in *; a.htm*; a.htm*"});
    }
    void savingThroughADanglingLink() {
        QFETCH(QString, file);
        AppFixture app;
        const QString other = app.env.writeFile("a.htm", "other file"),
                      path = app.env.root() + "/" + cell("name");
        QVERIFY(QFile::link("pages/new.htm", app.env.root() + "/link.htm") &&
                QDir().mkpath(app.env.root() + "/pages"));
        app.start();
        frmNotepad* window = app.document(0);
        window->txtRich->setText("first");
        app.dialogs.savePaths << path;
        window->action(CommandId::SaveAs)->trigger();
        typeText(window->txtRich, "then ");
        // The "*" of unsaved changes is the window title's alone.
        QCOMPARE(window->windowTitle() + " " + app.record(0).PathCaption, path + "* " + path);
        RecoveryJournal& journal = *app.main->findChild<RecoveryJournal*>();
        journal.journalNow();
        journal.waitForWrites();
        const QStringList journals = QDir(journal.folder()).entryList({"*.journal"});
        JournalEntry entry;
        QVERIFY(journals.size() == 1 &&
                DecodeJournal(TestEnvironment::readFile(journal.folder() + "/" + journals[0]), entry));
        QCOMPARE(entry.path, path);
        saveWithKeys(window);
        QCOMPARE(TestEnvironment::readFile(app.env.root() + "/" + file), "then first");
        QCOMPARE(TestEnvironment::readFile(other), "other file");
        QVERIFY(QFileInfo(app.env.root() + "/link.htm").isSymLink() && window->windowTitle() == path);
    }

    // Files of open documents changed or deleted by other programs, and the program's own saves.

    // One question for a burst of writes, "No" the default when unsaved changes would be lost. A
    // kept text no longer matches its file and is marked; a replacement by rename is noticed as
    // well; saving over the other program's file asks, and "No" leaves that file as it is.
    void externalChange_data() {
        table({"state"}, {"clean, reloaded; ", "clean, kept; kept", "modified, reloaded; modified",
                          "modified, kept; modified kept"});
    }
    void externalChange() {
        QFETCH(QString, state);
        const bool modified = state.startsWith("modified"), reloaded = !state.endsWith("kept");
        ShellFixture app;
        const QString path = app.env.writeFile("page.htm", "<p>mine</p>\n");
        app.start({path});
        frmNotepad* window = app.document(0);
        if (modified) {
            window->txtRich->setSelStart(0);
            window->ReplaceSelection("edited ");
        }
        const QString before = window->txtRich->text();
        app.dialogs.answers << (reloaded ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        app.env.writeFile("page.htm", "<p>theirs</p>\n"); // in place, twice
        app.env.writeFile("page.htm", "<p>theirs, again</p>\n");
        QTRY_COMPARE(app.dialogs.messages.size(), 1);
        settle();
        QCOMPARE(app.dialogs.messages.size(), 1);
        const ScriptedDialogs::Message question = app.dialogs.messages[0];
        QVERIFY(question.text.startsWith(path + " has been changed by another program. Reload it?"));
        QCOMPARE(question.text.contains("will be lost"), modified);
        QCOMPARE(question.buttons, modified ? Dialogs::Buttons::YesNoDefaultNo : Dialogs::Buttons::YesNo);
        // The text, the caption, whether it is marked modified and whether Undo can act.
        QCOMPARE(QStringList({window->txtRich->text(), window->windowTitle(),
                              QString::number(app.record(0).Modified),
                              QString::number(window->mnuUndo->isEnabled())}),
                 QStringList({reloaded ? QString("<p>theirs, again</p>\r\n") : before,
                              path + (reloaded ? "" : "*"), QString::number(!reloaded),
                              QString::number(!reloaded && modified)}));

        app.dialogs.answers << Dialogs::Answer::No;
        QSaveFile renamed(path); // a new file renamed over it
        QVERIFY(renamed.open(QIODevice::WriteOnly) && renamed.write("<p>third</p>\n") && renamed.commit());
        QTRY_COMPARE(app.dialogs.messages.size(), 2);
        app.dialogs.answers << Dialogs::Answer::No << Dialogs::Answer::Yes;
        QVERIFY(!SaveCommand(*app.main, 0));
        QVERIFY(app.dialogs.messages.size() == 3 &&
                app.dialogs.messages[2].buttons == Dialogs::Buttons::YesNoDefaultNo);
        QVERIFY(app.dialogs.messages[2].text.startsWith(path + " has been changed by another program since"));
        QCOMPARE(TestEnvironment::readFile(path), "<p>third</p>\n");
        QVERIFY(SaveCommand(*app.main, 0));
        QCOMPARE(TestEnvironment::readFile(path), ConvertToLf(window->txtRich->text()).toUtf8());
        settle();
        QCOMPARE(app.dialogs.messages.size(), 4); // the program's own save asks nothing
    }

    // Saves ask nothing and write back the characters the text control keeps for its own use. A deleted
    // file marks its document, so closing asks to save it; saving writes it anew. Another program writing
    // the same bytes at another time asks nothing; other bytes of the same size in the same second do.
    void ownSavesAndDeletion() {
        ShellFixture app;
        const QByteArray bytes = QString("<p>a\u2029b\uFDD0\U00010029\uFDD1\u2028c</p>\r\n").toUtf8();
        const QString path = app.env.writeFile("special.htm", bytes);
        app.start({path});
        frmNotepad* window = app.document(0);
        for (int i = 0; i < 2; ++i)
            window->action(CommandId::Save)->trigger(), settle();
        QCOMPARE(TestEnvironment::readFile(path), bytes);
        QVERIFY(app.dialogs.messages.isEmpty() && !app.record(0).Modified);
        QVERIFY(QFile::remove(path));
        QTRY_VERIFY(app.record(0).Modified);
        QCOMPARE(window->windowTitle(), path + "*");
        app.dialogs.answers << Dialogs::Answer::Cancel;
        window->close(); // one question: the count is checked below
        QCOMPARE(app.dialogs.messages.value(0).text, "Save changes to [" + path + "*] ?");
        QVERIFY(SaveCommand(*app.main, 0));
        QCOMPARE(TestEnvironment::readFile(path), bytes);
        const auto writeAt = [&](const QByteArray& content, int ms) { // at a set time, as a copy keeps it
            QFile file(app.env.writeFile("special.htm", content));
            return file.open(QIODevice::ReadWrite) &&
                   file.setFileTime(QDateTime::fromMSecsSinceEpoch(1600000000000 + ms),
                                    QFileDevice::FileModificationTime);
        };
        QVERIFY(writeAt(bytes, 100));
        settle();
        QCOMPARE(app.dialogs.messages.size(), 1);
        QVERIFY(writeAt(QByteArray(bytes).replace('a', 'b'), 600));
        QTRY_COMPARE(app.dialogs.messages.size(), 2);
        QVERIFY(app.dialogs.messages[1].text.startsWith(path + " has been changed by another program."));
    }
};

QTEST_MAIN(FileSafetyTest)
#include "tst_filesafety.moc"
