#include "app/Recovery.h"
#include "app/Session.h"
#include "browser/PreviewBeside.h"
#include "platform/SettingsStore.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"

#include <QtTest>
#include <QtWidgets>

// The documents open at the last exit, reopened at a start without files.
class SessionTest : public QObject {
    Q_OBJECT

    // "name:cursor[:current[:preview]]" below `root`: current "1" for the current one; preview
    // "half", or the text's share of the width, for a preview beside the text.
    static QList<SessionDocument> documents(const QString& root, const QString& spec) {
        QList<SessionDocument> documents;
        for (const QString& entry : spec.split(' ', Qt::SkipEmptyParts)) {
            SessionDocument document{root + "/" + entry.section(':', 0, 0), entry.section(':', 1, 1).toInt(),
                                     entry.section(':', 2, 2) == "1"};
            const QString preview = entry.section(':', 3, 3);
            document.preview = !preview.isEmpty();
            document.previewShare = preview == "half" ? 0 : preview.toDouble();
            documents.append(document);
        }
        return documents;
    }
    // The same as the store keeps them.
    static QString session(const QString& root, const QString& spec) {
        return EncodeSession(documents(root, spec));
    }
    // Documents in the form documents() reads, by file name.
    static QString spec(const QList<SessionDocument>& documents) {
        QStringList entries;
        for (const SessionDocument& document : documents) {
            QString entry = QFileInfo(document.path).fileName() + ":" + QString::number(document.selStart);
            if (document.active || document.preview)
                entry += document.active ? ":1" : ":";
            if (document.preview)
                entry += ":" + (document.previewShare ? QString::number(document.previewShare) : "half");
            entries << entry;
        }
        return entries.join(' ');
    }
    static QString stored() { return SettingsStore::read("Session", "Documents"); }
    // The text's share of the width of a window's text and preview; -1 without a preview.
    static double shownShare(const frmNotepad& window) {
        if (!window.previewPane())
            return -1;
        const QList<int> sizes = window.splPreview->sizes();
        return double(sizes[0]) / (sizes[0] + sizes[1]);
    }
    // The stored session's previews: "-" for none, else the text's share in percent; "<" on the
    // current document.
    static QString storedPreviews() {
        QStringList previews;
        for (const SessionDocument& document : StoredSession())
            previews << (!document.preview ? "-" : QString::number(qRound(document.previewShare * 100))) +
                            (document.active ? "<" : "");
        return previews.join(' ');
    }
    static QList<frmNotepad*> windows(const AppFixture& app) {
        QList<frmNotepad*> windows;
        for (QMdiSubWindow* window : app.main->mdiArea()->subWindowList(QMdiArea::CreationOrder))
            windows << qobject_cast<frmNotepad*>(window);
        return windows;
    }
    // Ctrl+Shift+W in a window's text: shows its preview beside the text, or closes it.
    static void togglePreview(AppFixture& app, frmNotepad* window) {
        app.main->mdiArea()->setActiveSubWindow(window);
        sendKey(window->txtRich, Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier);
    }

private slots:
    // A stored entry as read, and written back. An empty "written" is the stored text itself.
    void entries_data() {
        table({"stored", "documents", "written"},
              {"no preview; [{\"active\":true,\"path\":\"/s/a.htm\",\"selStart\":3}]; a.htm:3:1; ",
               "preview at half; [{\"path\":\"/s/a.htm\",\"preview\":true,\"selStart\":0}]; a.htm:0::half; ",
               "preview with its share; [{\"active\":true,\"path\":\"/s/a.htm\",\"preview\":true,"
               "\"previewShare\":0.3,\"selStart\":2},{\"path\":\"/s/b.htm\",\"selStart\":0}]; "
               "a.htm:2:1:0.3 b.htm:0; ",
               "negative share; [{\"path\":\"/s/a.htm\",\"preview\":true,\"previewShare\":-0.3}]; "
               "a.htm:0::half; [{\"path\":\"/s/a.htm\",\"preview\":true,\"selStart\":0}]",
               "share above one; [{\"path\":\"/s/a.htm\",\"preview\":true,\"previewShare\":1.5}]; "
               "a.htm:0::half; [{\"path\":\"/s/a.htm\",\"preview\":true,\"selStart\":0}]",
               "share of one; [{\"path\":\"/s/a.htm\",\"preview\":true,\"previewShare\":1}]; "
               "a.htm:0::half; [{\"path\":\"/s/a.htm\",\"preview\":true,\"selStart\":0}]",
               "share of zero; [{\"path\":\"/s/a.htm\",\"preview\":true,\"previewShare\":0}]; "
               "a.htm:0::half; [{\"path\":\"/s/a.htm\",\"preview\":true,\"selStart\":0}]",
               "share as text; [{\"path\":\"/s/a.htm\",\"preview\":true,\"previewShare\":\"0.3\"}]; "
               "a.htm:0::half; [{\"path\":\"/s/a.htm\",\"preview\":true,\"selStart\":0}]",
               "share without a preview; [{\"path\":\"/s/a.htm\",\"previewShare\":0.3}]; a.htm:0; "
               "[{\"path\":\"/s/a.htm\",\"selStart\":0}]",
               "preview false; [{\"path\":\"/s/a.htm\",\"preview\":false,\"previewShare\":0.3}]; a.htm:0; "
               "[{\"path\":\"/s/a.htm\",\"selStart\":0}]",
               "preview as text; [{\"path\":\"/s/a.htm\",\"preview\":\"true\"}]; a.htm:0; "
               "[{\"path\":\"/s/a.htm\",\"selStart\":0}]",
               "preview as a number; [{\"path\":\"/s/a.htm\",\"preview\":1}]; a.htm:0; "
               "[{\"path\":\"/s/a.htm\",\"selStart\":0}]"});
    }
    void entries() {
        const QList<SessionDocument> read = DecodeSession(cell("stored"));
        QCOMPARE(spec(read), cell("documents"));
        const QString written = EncodeSession(read);
        QCOMPARE(written, cell("written").isEmpty() ? cell("stored") : cell("written"));
        QVERIFY(DecodeSession(written) == read);
    }

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

    // Previews beside two of three files, one divider dragged to 30% of the width: the session written
    // while the program runs has them, a start without files shows them again as they were, and
    // closing a preview there and showing it again are written too.
    void previewBesideReopened() {
        AppFixture app;
        const QString root = app.env.root();
        app.env.writeFile("a.htm", "<p>one</p>");
        app.env.writeFile("b.htm", "<p>two</p>");
        app.env.writeFile("c.htm", "<p>three</p>");
        app.start({root + "/a.htm", root + "/b.htm", root + "/c.htm"});
        QVERIFY(shownActive(app.main.get()));
        QList<frmNotepad*> shown = windows(app);
        QCOMPARE(shown.size(), 3);
        // Each change is waited for in the store, so that no write pending from before covers the next.
        app.main->mdiArea()->setActiveSubWindow(shown[0]);
        QTRY_COMPARE(storedPreviews(), "-< - -");
        togglePreview(app, shown[0]);
        QVERIFY(shown[0]->previewPane());
        QTRY_COMPARE(storedPreviews(), "50< - -");
        // The divider dragged as with the mouse: pressed on its middle, moved, released there.
        QSplitter* splitter = shown[0]->splPreview;
        QSplitterHandle* handle = splitter->handle(1);
        const QList<int> sizes = splitter->sizes();
        const QPoint grip = handle->rect().center();
        const QPoint to = handle->mapToGlobal(grip) + QPoint(int(0.3 * (sizes[0] + sizes[1])) - sizes[0], 0);
        QTest::mousePress(handle, Qt::LeftButton, {}, grip);
        QTest::mouseMove(handle, handle->mapFromGlobal(to));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, handle->mapFromGlobal(to));
        QVERIFY(qAbs(shownShare(*shown[0]) - 0.3) < 0.02);
        QTRY_COMPARE(storedPreviews(), "30< - -");
        togglePreview(app, shown[1]);
        QTRY_COMPARE(storedPreviews(), "30 50< -");

        QVERIFY(app.main->close());
        app.main.reset();
        AppFixture::flush();
        app.start();
        QVERIFY(shownActive(app.main.get()));
        QCoreApplication::processEvents(); // what start-up queued
        shown = windows(app);
        QCOMPARE(shown.size(), 3);
        QVERIFY(qAbs(shownShare(*shown[0]) - 0.3) < 0.02);
        QVERIFY(qAbs(shownShare(*shown[1]) - 0.5) < 0.02);
        QCOMPARE(shownShare(*shown[2]), -1);
        QVERIFY(qobject_cast<PreviewBeside*>(shown[0]->previewPane()));
        QCOMPARE(app.main->documents().current(), shown[1]);

        togglePreview(app, shown[1]);
        QVERIFY(!shown[1]->previewPane());
        QTRY_COMPARE(storedPreviews(), "30 -< -");
        togglePreview(app, shown[1]);
        QTRY_COMPARE(storedPreviews(), "30 50< -");
        QVERIFY(app.dialogs.messages.isEmpty());
    }

    // A style sheet is previewed in a page that uses it. Before any page has used it a preview would
    // only say so: a start that reopens it leaves the preview closed and asks nothing.
    void styleSheetPreviewLeftClosed() {
        AppFixture app;
        const QString root = app.env.root();
        app.env.writeFile("s.css", "p { color: red }");
        app.env.writeFile("a.htm", "<p>one</p>");
        SettingsStore::write("Session", "Documents", session(root, "s.css:0::0.3 a.htm:0:1"));
        app.start();
        const QList<frmNotepad*> shown = windows(app);
        QCOMPARE(shown.size(), 2);
        QVERIFY(!shown[0]->previewPane());
        QVERIFY(app.dialogs.messages.isEmpty());
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
        // -noreset: the next start must not meet the reset that follows the last client leaving.
        server.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-noreset"});
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
