#include "app/RecentFiles.h"
#include "app/Recovery.h"
#include "app/Skin.h"
#include "browser/ViewSource.h"
#include "editor/EditableDocument.h"
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
#include "support/TestEnvironment.h"
#include "support/Watchdog.h"
#include "wizards/Pictures.h"

#include <QtNetwork>
#include <QtTest>
#include <QtWidgets>

#include <sys/stat.h>
#include <unistd.h>

// A file, what is typed at its end, the answer, the encoding and character the question names ("" when
// none is asked), the answers offered, then the text written and its encoding ("" when none is).
struct EncodingRow {
    QString name;
    QByteArray bytes;
    QString typed, answer, readAs, first, offered, expectedText, expectedCodec;
};
Q_DECLARE_METATYPE(EncodingRow)

// Files as they come to the editor: other encodings, pipes and devices, read-only files, links.
class FileSafetyTest : public QObject {
    Q_OBJECT

    static void saveWithKeys(frmNotepad* window) {
        QVERIFY(QTest::qWaitForWindowActive(window->window()));
        sendKey(window->txtRich, Qt::Key_S, Qt::ControlModifier);
    }

private slots:
    // A file that is no regular file is refused before it is read, whichever way it comes: the
    // program never blocks on it (a test fails after 5 s) and says what it is.
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
        QFETCH(QString, kind);
        QFETCH(QString, route);
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
        QCOMPARE(app.dialogs.messages.size(), 1);
        QVERIFY(app.dialogs.messages[0].icon == Dialogs::Icon::Critical);
        QCOMPARE(app.dialogs.messages[0].text, expected);
        // Nothing but the new document of a start without files is open.
        QCOMPARE(app.main->documents().DocumentCount, route == "command line" ? 0 : 1);
    }

    // Every reader of the program meets a named pipe or a link to /dev/zero in its file's place:
    // none blocks (a test fails after 5 s) and none reads what it finds there.
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
        QFETCH(QString, reader);
        QFETCH(QString, kind);
        AppFixture app;
        const QString folder = app.env.programFolder();
        QDir().mkpath(folder + "/recovery");
        // Puts the pipe or the link in the place of the file at `path`.
        const auto plant = [&kind](const QString& path) {
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
            // No command words, an empty template, and the find box's empty entry alone.
            QCOMPARE(app.main->commandWords(), QStringList{QString()});
            QCOMPARE(app.document(0)->txtRich->text() + "|" +
                         QString::number(app.main->findDialog().cmbFind->count()),
                     "|1");
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

    // A file read with a single-byte table gains a character the table lacks: Save asks, and each
    // answer writes exactly the bytes that the reference encoder gives for its text, or nothing.
    void savingAsksBeforeReencoding_data() {
        QTest::addColumn<EncodingRow>("row");
        const auto row = [](const char* tag, const char* name, const QByteArray& bytes, const QString& typed,
                            const char* answer, const char* readAs, const char* first, const char* offered,
                            const QString& expectedText, const char* expectedCodec) {
            QTest::newRow(tag) << EncodingRow{name,  bytes,   typed,        answer,       readAs,
                                              first, offered, expectedText, expectedCodec};
        };
        const QByteArray page = "<meta charset=\"windows-1252\">\r\n<p>caf\xE9 \x93q\x94";
        const QString pageText = "<meta charset=\"windows-1252\">\r\n<p>caf\u00E9 \u201Cq\u201D";
        const QString pageUtf8 = QString(pageText).replace("windows-1252", "UTF-8");
        const char* both = "Save as UTF-8|Use Character References|Cancel";
        const char* references = "Use Character References";
        row("declared page, UTF-8", "page.htm", page, "\u0151", "Save as UTF-8", "Windows-1252",
            "U+0151 at line 2", both, pageUtf8 + "\u0151", "UTF-8");
        row("declared page, cancel", "page.htm", page, "\u0151", "Cancel", "Windows-1252", "U+0151 at line 2",
            both, pageText, "");
        row("a pair, references", "page.htm", page, "\U0001F600", references, "Windows-1252",
            "U+1F600 at line 2", both, pageText + "&#128512;", "windows-1252");
        row("text file: no references", "notes.txt", "caf\xE9\r\n", "\u20AC", "Save as UTF-8", "Latin-1",
            "U+20AC at line 2", "Save as UTF-8|Cancel", "caf\u00E9\r\n\u20AC", "UTF-8");
        const QByteArray xml = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<a>\xE9</a>\n";
        const QString xmlText = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<a>\u00E9</a>\n";
        row("XML, UTF-8", "feed.xml", xml, "\u20AC", "Save as UTF-8", "Latin-1", "U+20AC at line 3", both,
            QString(xmlText).replace("ISO-8859-1", "UTF-8") + "\u20AC", "UTF-8");
        row("XML, references", "feed.xml", xml, "\u20AC", references, "Latin-1", "U+20AC at line 3", both,
            xmlText + "&#8364;", "ISO-8859-1");
        const QByteArray iso15 =
            "<meta http-equiv=Content-Type content='text/html; charset=iso-8859-15'>\xA4";
        row("a character the encoding has: no question", "euro.htm", iso15, "\u20AC", "", "", "", "",
            QString::fromLatin1(iso15.chopped(1)) + "\u20AC\u20AC", "ISO-8859-15");
    }
    void savingAsksBeforeReencoding() {
        QFETCH(EncodingRow, row);
        if (!row.expectedCodec.isEmpty() &&
            !QStringEncoder(row.expectedCodec.toLatin1().constData()).isValid())
            QSKIP("this Qt has no reference encoder for the character set");
        AppFixture app;
        const QString path = app.env.writeFile(row.name, row.bytes);
        app.start({path});
        frmNotepad* window = app.document(0);
        const QString opened = window->txtRich->text();
        window->txtRich->setSelStart(window->txtRich->textLength());
        typeText(window->txtRich, row.typed);
        if (!row.answer.isEmpty())
            app.dialogs.choices << row.answer;
        saveWithKeys(window);
        QStringList questions;
        for (const auto& message : std::as_const(app.dialogs.messages))
            questions << message.text << message.choices.join('|');
        const QString question = path + " cannot be saved as " + row.readAs +
                                 ": it contains characters that encoding does not have (first: " + row.first +
                                 ").";
        QCOMPARE(questions, row.first.isEmpty() ? QStringList() : QStringList({question, row.offered}));
        if (row.expectedCodec.isEmpty()) {
            QCOMPARE(TestEnvironment::readFile(path), row.bytes);
            QVERIFY(app.record(0).Modified);
            return;
        }
        QStringEncoder encoder(row.expectedCodec.toLatin1().constData());
        const QByteArray expected = encoder.encode(row.expectedText);
        QVERIFY(!encoder.hasError());
        QCOMPARE(TestEnvironment::readFile(path), expected);
        // The document shows what the file holds, and is saved.
        QVERIFY(window->txtRich->text() == NormalizeToCrLf(row.expectedText) && !app.record(0).Modified);
        // A changed declaration is a step of its own: one Ctrl+Z brings the old one back.
        if (row.answer == "Save as UTF-8" && row.name != "notes.txt") {
            sendKey(window->txtRich, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(window->txtRich->text(), opened + row.typed);
        }
    }

    // As a user meets them (see AsUser): a file not in UTF-8 or not writable says so in a bar that
    // leaves the keys to the text. What cannot be opened or saved says why; a failed save keeps the
    // text, modified, and the files as they were. Rows: the bytes (as Latin-1), the modes of the file
    // and its folder, the name Save As is given ("" for Save), the notice, and what fails.
    void noticesAtOpen_data() {
        table({"bytes", "modes", "saveAs", "notice", "failure"},
              {"UTF-8, writable; <p>caf\u00C3\u00A9; 644 755; ; ; ",
               "not UTF-8; <p>caf\u00E9; 644 755; ; page.htm is not valid UTF-8: it was read as Latin-1. "
               "Unchanged bytes are saved as they were.; ",
               "read-only file; <p>x; 444 755; ; page.htm is read-only: saving it needs Save As...; save: "
               "Existing file PATH is not writable",
               "writable file, read-only folder: saved in place; <p>x; 644 555; ; ; ",
               "read-only file, read-only folder; <p>x; 444 555; ; page.htm is read-only: saving it needs "
               "Save As...; save: EACCES",
               "read-only folder, Save As a new file; <p>x; 644 555; copy.htm; ; save: EACCES",
               "folder that cannot be listed, Save As; <p>x; 644 311; copy.htm; ; ",
               "unreadable file; <p>x; 200 755; ; ; open: EACCES",
               "folder that cannot be entered; <p>x; 644 600; ; ; open: EACCES"});
    }
    void noticesAtOpen() {
        QFETCH(QString, bytes);
        QFETCH(QString, modes);
        QFETCH(QString, saveAs);
        QFETCH(QString, notice);
        QFETCH(QString, failure);
        AppFixture app;
        const QByteArray old = bytes.toLatin1();
        const QString path = app.env.writeFile("shared/page.htm", old),
                      folder = QFileInfo(path).absolutePath();
        const QString target = saveAs.isEmpty() ? path : folder + "/" + saveAs,
                      step = failure.section(": ", 0, 0);
        const QString message =
            (step == "open" ? "An error occurred when opening file: " + path
                            : "The file could not be saved: " + target) +
            "\r\n\r\n" +
            failure.section(": ", 1).replace("PATH", target).replace("EACCES", qt_error_string(EACCES));
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
        QCOMPARE(app.dialogs.messages.value(0).text, step == "open" ? message : QString());
        QCOMPARE(app.main->documents().DocumentCount, step == "open" ? 1 : 2);
        if (step == "open")
            return;
        frmNotepad* window = app.document(1);
        QCOMPARE(window->barNotice->isVisible() ? window->barNotice->lblNotice->text() : QString(), notice);
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()) &&
                QApplication::focusWidget() == window->txtRich);
        typeText(window->txtRich, "x");
        const QString typed = window->txtRich->text();
        QVERIFY(typed.startsWith("x") && window->barNotice->isVisible() == !notice.isEmpty());
        QTest::mouseClick(window->barNotice->cmdCloseNotice, Qt::LeftButton);
        QVERIFY(!window->barNotice->isVisible() && QApplication::focusWidget() == window->txtRich);
        app.dialogs.savePaths << target;
        saveAs.isEmpty() ? saveWithKeys(window) : window->action(CommandId::SaveAs)->trigger();
        user.reset();
        QCOMPARE(app.dialogs.messages.value(0).text, step.isEmpty() ? QString() : message);
        QVERIFY(app.dialogs.messages.size() == !step.isEmpty() && window->txtRich->text() == typed);
        QCOMPARE(app.record(1).Modified, !step.isEmpty());
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                 QStringList({saveAs, "page.htm"}).mid(saveAs.isEmpty() || !step.isEmpty()));
        QCOMPARE(TestEnvironment::readFile(target), step.isEmpty() ? "x" + old : saveAs.isEmpty() ? old : "");
        QCOMPARE(TestEnvironment::readFile(path), step.isEmpty() && saveAs.isEmpty() ? "x" + old : old);
        QVERIFY(QDir(app.env.programFolder() + "/recovery").entryList({"*.backup"}).isEmpty());
    }

    // A link put in an opened file's place (to one of this user's files) is not written: Save says so;
    // a hard link put there, after the question, gets a new file. Links there at open are followed.
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
        if (put.isEmpty())
            QVERIFY(QFile::link(real, page));
        if (put == "hard at open")
            QVERIFY(::link(QFile::encodeName(real).constData(), QFile::encodeName(page).constData()) == 0);
        app.start({page});
        frmNotepad* window = app.document(0);
        typeText(window->txtRich, "new ");
        if (!linkAtOpen)
            QVERIFY(QFile::remove(page));
        if (put == "symbolic")
            QVERIFY(QFile::link(keys, page));
        if (put == "hard") {
            QVERIFY(::link(QFile::encodeName(keys).constData(), QFile::encodeName(page).constData()) == 0);
            app.dialogs.answers << Dialogs::Answer::Yes; // overwrite what another program changed
        }
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
        QCOMPARE(app.dialogs.messages[0].text, page + " was replaced by a link to " + keys +
                                                   " since it was opened; nothing was saved. Use Save As to "
                                                   "choose where to save.");
        QVERIFY(QFileInfo(page).isSymLink() && app.record(0).Modified);
    }

    // Save As of a new document onto a link whose file is missing writes that file and keeps the link;
    // to a name ending in "*", that name (never the file without it), which the journal names too.
    void savingThroughADanglingLink_data() {
        table({"name", "file"},
              {"a link, no file; link.htm; pages/new.htm", "a name ending in *; a.htm*; a.htm*"});
    }
    void savingThroughADanglingLink() {
        QFETCH(QString, name);
        QFETCH(QString, file);
        AppFixture app;
        const QString other = app.env.writeFile("a.htm", "other file"), path = app.env.root() + "/" + name;
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
        QCOMPARE(TestEnvironment::readFile(app.env.root() + "/" + file) + "|" +
                     TestEnvironment::readFile(other),
                 "then first|other file");
        QVERIFY(QFileInfo(app.env.root() + "/link.htm").isSymLink() && window->windowTitle() == path);
    }
};

QTEST_MAIN(FileSafetyTest)
#include "tst_filesafety.moc"
