#include "editor/FileWatch.h"
#include "editor/mdlFile.h"
#include "markup/LineEndings.h"
#include "support/ShellFixture.h"

#include <QSaveFile>
#include <QTest>

#include <cerrno>

// Files of open documents changed or deleted by other programs, the program's own saves, and
// the reasons failed opens and saves give.
class DiskChangesTest : public QObject {
    Q_OBJECT

    // Long enough for a burst of file events to settle and the watch to look at the file.
    static void settle() { QTest::qWait(FileWatch::kQuietMs * 4); }

    // Another program writes the file: in place, or as a new file renamed over it.
    static void otherProgramWrites(const QString& path, const QByteArray& bytes, bool byRename) {
        if (byRename) {
            QSaveFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit());
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                    file.write(bytes) == bytes.size());
        }
    }

private slots:
    void externalChange_data() {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<Dialogs::Answer>("answer");
        QTest::newRow("clean, reloaded") << false << Dialogs::Answer::Yes;
        QTest::newRow("clean, kept") << false << Dialogs::Answer::No;
        QTest::newRow("modified, reloaded") << true << Dialogs::Answer::Yes;
        QTest::newRow("modified, kept") << true << Dialogs::Answer::No;
    }
    // One question for a burst of writes, "No" the default when unsaved changes would be lost. A
    // kept text no longer matches its file and is marked; a replacement by rename is noticed as
    // well; saving over the other program's file asks, and "No" leaves that file as it is.
    void externalChange() {
        QFETCH(bool, modified);
        QFETCH(Dialogs::Answer, answer);
        ShellFixture app;
        const QString path = app.env.writeFile("page.htm", "<p>mine</p>\n");
        app.start({path});
        frmNotepad* window = app.document(0);
        if (modified) {
            window->txtRich->setSelStart(0);
            window->ReplaceSelection("edited ");
        }
        const QString before = window->txtRich->text();
        app.dialogs.answers << answer;
        otherProgramWrites(path, "<p>theirs</p>\n", false);
        otherProgramWrites(path, "<p>theirs, again</p>\n", false);
        QTRY_COMPARE(app.dialogs.messages.size(), 1);
        settle();
        QCOMPARE(app.dialogs.messages.size(), 1);
        const ScriptedDialogs::Message question = app.dialogs.messages[0];
        QVERIFY(question.text.startsWith(path + " has been changed by another program. Reload it?"));
        QCOMPARE(question.text.contains("will be lost"), modified);
        QCOMPARE(question.buttons, modified ? Dialogs::Buttons::YesNoDefaultNo : Dialogs::Buttons::YesNo);
        const bool reloaded = answer == Dialogs::Answer::Yes;
        QCOMPARE(window->txtRich->text(), reloaded ? QString("<p>theirs, again</p>\r\n") : before);
        QCOMPARE(app.record(0).Modified, !reloaded);
        QCOMPARE(window->windowTitle(), path + (reloaded ? "" : "*"));
        QCOMPARE(window->mnuUndo->isEnabled(), !reloaded && modified);

        app.dialogs.answers << Dialogs::Answer::No;
        otherProgramWrites(path, "<p>third</p>\n", true);
        QTRY_COMPARE(app.dialogs.messages.size(), 2);
        app.dialogs.answers << Dialogs::Answer::No << Dialogs::Answer::Yes;
        QVERIFY(!SaveCommand(*app.main, 0));
        QCOMPARE(app.dialogs.messages.size(), 3);
        QCOMPARE(app.dialogs.messages[2].buttons, Dialogs::Buttons::YesNoDefaultNo);
        QVERIFY(app.dialogs.messages[2].text.startsWith(path + " has been changed by another program since"));
        QCOMPARE(TestEnvironment::readFile(path), "<p>third</p>\n");
        QVERIFY(SaveCommand(*app.main, 0));
        QCOMPARE(TestEnvironment::readFile(path), ConvertToLf(window->txtRich->text()).toUtf8());
        settle();
        QCOMPARE(app.dialogs.messages.size(), 4); // the program's own save asks nothing
    }

    // Saves ask nothing, and write back the characters the text control keeps for its own use.
    // A deleted file marks its document, so closing asks to save it; saving writes it anew.
    void ownSavesAndDeletion() {
        ShellFixture app;
        const QByteArray bytes = QString("<p>a\u2029b\uFDD0\U00010029\uFDD1\u2028c</p>\r\n").toUtf8();
        const QString path = app.env.writeFile("special.htm", bytes);
        app.start({path});
        frmNotepad* window = app.document(0);
        for (int i = 0; i < 2; ++i) {
            window->action(CommandId::Save)->trigger();
            settle();
        }
        QCOMPARE(TestEnvironment::readFile(path), bytes);
        QVERIFY(app.dialogs.messages.isEmpty() && !app.record(0).Modified);
        QVERIFY(QFile::remove(path));
        QTRY_VERIFY(app.record(0).Modified);
        QCOMPARE(window->windowTitle(), path + "*");
        app.dialogs.answers << Dialogs::Answer::Cancel;
        window->close();
        QCOMPARE(app.dialogs.messages.size(), 1);
        QCOMPARE(app.dialogs.messages[0].text, "Save changes to [" + path + "*] ?");
        QVERIFY(SaveCommand(*app.main, 0));
        QCOMPARE(TestEnvironment::readFile(path), bytes);
        QCOMPARE(app.dialogs.messages.size(), 1);
    }

    // A failed open or save names the system's reason.
    void failureReasons() {
        ShellFixture app;
        const QString page = app.env.writeFile("page.htm", "old");
        app.start({page});
        const QString missing = app.env.root() + "/missing.htm";
        QVERIFY(!OpenDocument(*app.main, missing));
        QCOMPARE(app.dialogs.messages.last().text,
                 "An error occurred when opening file: " + missing + "\r\n\r\n" + qt_error_string(ENOENT));
        const QString below = page + "/below.htm"; // a regular file is no folder, even to root
        QVERIFY(!SaveDocument(*app.main, 0, below));
        QCOMPARE(app.dialogs.messages.last().text,
                 "The file could not be saved: " + below + "\r\n\r\n" + qt_error_string(ENOTDIR));
    }
};

QTEST_MAIN(DiskChangesTest)
#include "tst_diskchanges.moc"
