#include "editor/FileWatch.h"
#include "editor/mdlFile.h"
#include "markup/LineEndings.h"
#include "support/DataTable.h"
#include "support/ShellFixture.h"

#include <QtTest>

// Files of open documents changed or deleted by other programs, and the program's own saves.
class DiskChangesTest : public QObject {
    Q_OBJECT

    // Long enough for a burst of file events to settle and the watch to look at the file.
    static void settle() { QTest::qWait(FileWatch::kQuietMs * 4); }

private slots:
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

QTEST_MAIN(DiskChangesTest)
#include "tst_diskchanges.moc"
