#include "app/Recovery.h"
#include "app/Session.h"
#include "platform/SettingsStore.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"

#include <QtTest>
#include <QtWidgets>

// The documents open at the last exit, reopened at a start without files.
class SessionTest : public QObject {
    Q_OBJECT

    // "name:cursor[:1]" (1: the current one) below `root`, as the store keeps them.
    static QString session(const QString& root, const QString& spec) {
        QList<SessionDocument> documents;
        for (const QString& entry : spec.split(' ', Qt::SkipEmptyParts))
            documents.append({root + "/" + entry.section(':', 0, 0), entry.section(':', 1, 1).toInt(),
                              entry.section(':', 2) == "1"});
        return EncodeSession(documents);
    }
    static QString stored() { return SettingsStore::read("Session", "Documents"); }

private slots:
    // Windows as "title's file name:cursor", "<" on the current one; the first one's notice; the
    // session recorded at exit. A journal of a.htm is recovered.
    void restore_data() {
        table({"stored", "setting", "journal", "windows", "notice", "after"},
              {"reopened; a.htm:3:1 b.htm:99 gone.htm:0; 1; ; a.htm:3< b.htm:3; "
               "gone.htm is no longer there: it was not reopened.; a.htm:3:1 b.htm:3",
               "off; a.htm:3:1; 0; ; Untitled [0]:0<; ; a.htm:3:1",
               "all gone; x/i.htm:0 y/i.htm:0 z.htm:0; 1; ; Untitled [0]:0<; "
               "{root}/x/i.htm, {root}/y/i.htm and z.htm are no longer there: they were not reopened.; ",
               "recovered in its window; a.htm:3:1 b.htm:0; 1; 1; a.htm*:3< b.htm:0; ; a.htm:3:1 b.htm:0"});
    }
    void restore() {
        AppFixture app;
        const QString root = app.env.root();
        app.env.writeFile("data/Quillora/default.htm", "@@");
        app.env.writeFile("a.htm", "<p>one</p>");
        app.env.writeFile("b.htm", "two");
        SettingsStore::write("Settings", "RestoreSession", cell("setting"));
        SettingsStore::write("Session", "Documents", session(root, cell("stored")));
        const JournalOwner ended{CurrentProcess().pid, CurrentProcess().started + 1};
        QString reason;
        if (!cell("journal").isEmpty() &&
            WriteJournal(app.env.programFolder() + "/recovery/" + JournalFileName(ended, 1),
                         {ended, root + "/a.htm", SaveFormat::Dos, TextEncoding::Utf8, "recovered"}, reason))
            app.dialogs.answers << Dialogs::Answer::Yes << Dialogs::Answer::No; // recover; not saved at exit
        QStringList windows;
        for (QMdiSubWindow* window : app.start().mdiArea()->subWindowList(QMdiArea::CreationOrder)) {
            auto* document = qobject_cast<frmNotepad*>(window);
            windows << QFileInfo(document->windowTitle()).fileName() + ":" +
                           QString::number(document->txtRich->selStart()) +
                           (document == app.main->documents().current() ? "<" : "");
        }
        QCOMPARE(windows.join(' '), cell("windows"));
        QCOMPARE(app.main->findChild<QLabel*>("lblNotice")->text(), cell("notice").replace("{root}", root));
        QVERIFY(app.main->close());
        QCOMPARE(stored(), session(root, cell("after")));
    }

    // The real program in an X server of its own, with keys from xdotool: a file, two more handed over
    // by a second start, cursors moved, Ctrl+Q. A start without files reopens them (one deleted since
    // left out), as its own Ctrl+Q records; a start with a file reopens nothing.
    void realRestart() {
        const QString binary = qEnvironmentVariable("QUILLORA_BINARY");
        if (!QFileInfo(binary).isExecutable() || QStandardPaths::findExecutable("Xvfb").isEmpty() ||
            QStandardPaths::findExecutable("xdotool").isEmpty())
            QSKIP("needs the built program, Xvfb and xdotool");
        AppFixture app;
        QProcess server, program;
        server.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp"});
        QVERIFY(server.waitForReadyRead(10000));
        qputenv("DISPLAY", ":" + server.readAllStandardOutput().trimmed());
        qputenv("QT_QPA_PLATFORM", "xcb");
        // Keys to the program's window once it shows; what they did shows in the session recorded.
        const auto keys = [](const QString& keys) {
            QProcess::execute("timeout",
                              ("15 xdotool search --sync --onlyvisible --name ^Quillora windowfocus "
                               "--sync sleep 1 key --delay 50 " +
                               keys)
                                  .split(' '));
        };
        const QString root = app.env.root(), a = app.env.writeFile("a.htm", "<p>one</p>\r\n");
        const QString b = app.env.writeFile("b.htm", "two"), gone = app.env.writeFile("gone.htm", "");
        program.start(binary, {a});
        keys("ctrl+End");
        QProcess::execute(binary, {gone, b}); // handed over to the running program
        QTRY_COMPARE_WITH_TIMEOUT(StoredSession().size(), 3, 10000);
        keys("ctrl+End ctrl+q");
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(stored(), session(root, "a.htm:12 gone.htm:0 b.htm:3:1"));
        QVERIFY(QFile::remove(gone));
        for (const auto& [files, after] :
             {std::pair{QStringList(), "a.htm:12 b.htm:3:1"}, {{b}, "b.htm:0:1"}}) {
            program.start(binary, files);
            keys("ctrl+q");
            QVERIFY(program.waitForFinished(10000));
            QCOMPARE(stored(), session(root, after));
        }
    }
};

QTEST_MAIN(SessionTest)
#include "tst_session.moc"
