#include "editor/FileWatch.h"
#include "editor/mdlFile.h"
#include "markup/LineEndings.h"
#include "support/ShellFixture.h"

#include <QtTest>

#include <cerrno>

// Files of open documents changed or deleted by other programs, the program's own saves, and
// the reason a failed open gives.
class DiskChangesTest : public QObject {
    Q_OBJECT

    // Long enough for a burst of file events to settle and the watch to look at the file.
    static void settle() { QTest::qWait(FileWatch::kQuietMs * 4); }

private slots:
    void externalChange_data() {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<bool>("reloaded");
        for (const bool modified : {false, true})
            for (const bool reloaded : {true, false})
                QTest::newRow(qPrintable(QString(modified ? "modified, " : "clean, ") +
                                         (reloaded ? "reloaded" : "kept")))
                    << modified << reloaded;
    }
    // One question for a burst of writes, "No" the default when unsaved changes would be lost. A
    // kept text no longer matches its file and is marked; a replacement by rename is noticed as
    // well; saving over the other program's file asks, and "No" leaves that file as it is.
    void externalChange() {
        QFETCH(bool, modified);
        QFETCH(bool, reloaded);
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

    // Saves ask nothing, and write back the characters the text control keeps for its own use. A
    // deleted file marks its document, so closing asks to save it; saving writes it anew. Opening
    // it while it is missing names the system's reason.
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
        QVERIFY(!OpenDocument(*app.main, path));
        app.dialogs.answers << Dialogs::Answer::Cancel;
        window->close();
        QStringList messages;
        for (const auto& message : std::as_const(app.dialogs.messages))
            messages << message.text;
        QCOMPARE(messages, QStringList({"An error occurred when opening file: " + path + "\r\n\r\n" +
                                            qt_error_string(ENOENT),
                                        "Save changes to [" + path + "*] ?"}));
        QVERIFY(SaveCommand(*app.main, 0));
        QCOMPARE(TestEnvironment::readFile(path), bytes);
        QCOMPARE(app.dialogs.messages.size(), 2);
    }
};

QTEST_MAIN(DiskChangesTest)
#include "tst_diskchanges.moc"
