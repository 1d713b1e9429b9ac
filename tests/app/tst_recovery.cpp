#include "app/Recovery.h"
#include "editor/mdlFile.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"

#include <QtTest>

Q_DECLARE_METATYPE(JournalEntry)

// Crash-recovery journals: their format, the start-up offer, and their life beside the documents.
class RecoveryTest : public QObject {
    Q_OBJECT

    // A process id this one has, with another start time: a process that ended, its id reused.
    static JournalOwner ended() { return {CurrentProcess().pid, CurrentProcess().started + 1}; }
    static QString folderOf(const AppFixture& app) { return app.env.programFolder() + "/recovery"; }
    static QStringList journals(const QString& folder) { return QDir(folder).entryList({"*.journal"}); }
    static JournalEntry entry(const QString& path, const QString& text, SaveFormat format = SaveFormat::Dos,
                              JournalOwner owner = ended()) {
        return {owner, path, format, TextEncoding::Utf8, text};
    }
    static void plant(const AppFixture& app, const QString& name, const JournalEntry& entry) {
        QString reason;
        QVERIFY2(WriteJournal(folderOf(app) + "/" + name, entry, reason), qPrintable(reason));
    }
    static RecoveryJournal& journalOf(AppFixture& app) { return *app.main->findChild<RecoveryJournal*>(); }
    // The journals in the recovery folder once the writes begun have ended; or after writing them now.
    static QStringList settled(AppFixture& app) {
        journalOf(app).waitForWrites();
        return journals(folderOf(app));
    }
    static qsizetype journalNow(AppFixture& app) {
        journalOf(app).journalNow();
        return settled(app).size();
    }

private slots:
    void roundTrip_data() {
        QTest::addColumn<JournalEntry>("entry");
        const auto row = [](const char* name, const JournalEntry& entry) { QTest::newRow(name) << entry; };
        row("untitled", {{1, 2}, "", SaveFormat::Dos, TextEncoding::Utf8, "<P>\r\n\r\nline</P>\r\n"});
        row("odd path", {{1, 2}, "/tmp/a b=c%20\n#.htm", SaveFormat::Unix, TextEncoding::Latin1, "x\r\ny"});
        row("header-like text",
            {{1, 2}, "/p.htm", SaveFormat::Mac, TextEncoding::Utf8WithBom, "\n\npid=1\nsha1=0\r\n€ ö 𝄞"});
        const QString reserved = QString::fromUtf16(u"a\xDC29z\xDCD0\xDCD1\U00010029");
        row("the control's reserved characters",
            {{1, 2}, "/r.htm", SaveFormat::Dos, TextEncoding::Windows1252, reserved});
        row("empty text", {{1, 2}, "/e.htm", SaveFormat::Dos, TextEncoding::Utf8, ""});
        // Encoded a slice of 65,536 characters at a time: a pair across the first slice's end, a
        // stand-in starting the third.
        const QString slices = QString(65535, 'a') + QString::fromUtf16(u"\U0001D11E") + QString(65536, 'b') +
                               QString::fromUtf16(u"\xDC29") + "c\r\n";
        row("longer than a slice", {{1, 2}, "/l.htm", SaveFormat::Dos, TextEncoding::Utf8, slices});
    }
    void roundTrip() {
        QFETCH(JournalEntry, entry);
        QTemporaryDir dir;
        const QString file = dir.path() + "/recovery/1-2-3.journal";
        QString reason;
        QVERIFY(WriteJournal(file, entry, reason));
        JournalEntry read;
        QVERIFY(DecodeJournal(TestEnvironment::readFile(file), read));
        QCOMPARE(read.path + '|' + read.text, entry.path + '|' + entry.text);
        QCOMPARE(TestEnvironment::readFile(file), EncodeJournal(entry));
        QVERIFY(read.owner == entry.owner && read.format == entry.format && read.encoding == entry.encoding);
        QCOMPARE(int(QFile::permissions(file) & 0x7077), int(QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(int(QFile::permissions(dir.path() + "/recovery") & 0x7077),
                 int(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    // Journals not readable (cut, altered, unknown encoding or name) are kept, and listed after the offer.
    void unreadableKept() {
        AppFixture app;
        const QByteArray good = EncodeJournal(entry("/x.htm", "some unsaved text\r\n"));
        const QList<QByteArray> damaged{
            good.chopped(1), good.chopped(20), QByteArray(good).replace("unsaved", "unsavEd"),
            QByteArray(good).replace("path=%2Fx.htm", "path=%2Fy.htm"),
            QByteArray(good).replace("encoding=utf-8", "encoding=utf-9"),
            // the first version's journal, with a sum of its text alone
            "QUILLORA-JOURNAL 1\npid=1\nstarted=2\npath=\nformat=dos\nencoding=99\nlength=1\nsha1=" +
                QCryptographicHash::hash("x", QCryptographicHash::Sha1).toHex() + "\n\nx",
            good}; // under a foreign name
        QStringList names;
        for (int i = 0; i < damaged.size(); ++i) {
            names << (i + 1 < damaged.size() ? JournalFileName(ended(), i + 1) : "notes.journal");
            app.env.writeFile("data/Quillora/recovery/" + names.last(), damaged[i]);
        }
        plant(app, JournalFileName(ended(), 9), entry("", "text"));
        app.dialogs.answers.enqueue(Dialogs::Answer::No);
        app.start();
        QCOMPARE(app.dialogs.messages.size(), 2);
        QCOMPARE(app.dialogs.messages[0].text,
                 "Quillora did not end normally. Recover 1 unsaved document?\r\n\r\nUntitled");
        QCOMPARE(app.dialogs.messages[1].text, "These recovery files could not be read and were kept in " +
                                                   folderOf(app) + ":\r\n\r\n" + names.join("\r\n"));
        QCOMPARE(app.main->documents().DocumentCount, 1);
        journalOf(app).waitForWrites();
        for (int i = 0; i < damaged.size(); ++i)
            QCOMPARE(TestEnvironment::readFile(folderOf(app) + "/" + names[i]), damaged[i]);
    }

    // A recovery folder that is a link (not followed) or a file costs one warning; typing and saving go on.
    void unusableFolder_data() { table({"kind"}, {"link; link", "file; file"}); }
    void unusableFolder() {
        QFETCH(QString, kind);
        AppFixture app;
        const QString elsewhere = app.env.root() + "/elsewhere";
        app.env.writeFile("elsewhere/" + JournalFileName(ended(), 1), EncodeJournal(entry("", "planted")));
        QDir().mkpath(app.env.programFolder());
        if (kind == "link")
            QVERIFY(QFile::link(elsewhere, folderOf(app)));
        else
            app.env.writeFile("data/Quillora/recovery", "a file where the folder should be");
        const QString path = app.env.writeFile("b.htm", "b");
        frmNotepad* window = OpenDocument(app.start(), path);
        for (int round = 0; round < 3; ++round) {
            window->txtRich->setSelText("x");
            journalNow(app);
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(app.dialogs.messages.size(), 1); // the warning alone: nothing offered from there
        QCOMPARE(app.dialogs.messages[0].icon, Dialogs::Icon::Warning);
        QCOMPARE(app.dialogs.messages[0].text.contains("is a link, which is not followed"), kind == "link");
        QCOMPARE(journals(elsewhere).size(), 1); // only the planted one
        QVERIFY(SaveCommand(*app.main, window->slot()));
        QCOMPARE(TestEnvironment::readFile(path), "xxxb");
    }

    // Only journals of ended processes are offered; answered No they are deleted, a running one's stays.
    void onlyEndedProcesses() {
        AppFixture app;
        const JournalOwner self = CurrentProcess();
        const QByteArray grown(1 << 28, Qt::Uninitialized); // its own, however its memory grows
        QStringList names;
        for (const JournalOwner& owner : {self, ended(), JournalOwner{99999999, self.started}}) {
            names << JournalFileName(owner, 999);
            plant(app, names.last(), entry("", "text", SaveFormat::Dos, owner));
        }
        app.dialogs.answers.enqueue(Dialogs::Answer::No);
        app.start();
        QCOMPARE(app.dialogs.messages.size(), 1);
        QVERIFY(app.dialogs.messages[0].text.startsWith(
            "Quillora did not end normally. Recover 2 unsaved documents?"));
        QCOMPARE(app.main->documents().DocumentCount, 1);
        QCOMPARE(settled(app), names.mid(0, 1));
    }

    // Yes: journals become modified documents, pass to this process, and go with saving and closing.
    void recoverYes() {
        AppFixture app;
        const QString original = app.env.writeFile("page.htm", "<P>on disk</P>\r\n");
        plant(app, JournalFileName(ended(), 1), entry(original, "<P>edited</P>\r\nmore", SaveFormat::Unix));
        // The first version's journal (a sum of its text alone, the encoding as a number) is read too.
        const QByteArray first = "caf\xC3\xA9";
        app.env.writeFile(
            "data/Quillora/recovery/" + JournalFileName(ended(), 2),
            "QUILLORA-JOURNAL 1\npid=1\nstarted=2\npath=\nformat=mac\nencoding=3\nlength=5\nsha1=" +
                QCryptographicHash::hash(first, QCryptographicHash::Sha1).toHex() + "\n\n" + first);
        app.dialogs.answers.enqueue(Dialogs::Answer::Yes);
        app.start();
        QCOMPARE(app.dialogs.messages.size(), 1);
        QCOMPARE(app.dialogs.messages[0].text,
                 "Quillora did not end normally. Recover 2 unsaved documents?\r\n\r\n" + original +
                     "\r\nUntitled");
        QCOMPARE(app.main->documents().DocumentCount, 3);
        QCOMPARE((QStringList{app.document(1)->windowTitle(), app.document(1)->txtRich->text(),
                              app.document(2)->windowTitle(), app.document(2)->txtRich->text()}),
                 (QStringList{original + "*", "<P>edited</P>\r\nmore", "Untitled [2]*", "caf\u00E9"}));
        QVERIFY(app.record(1).Modified && app.record(2).Modified);
        QVERIFY(app.document(1)->saveFormat() == SaveFormat::Unix &&
                app.document(2)->saveFormat() == SaveFormat::Mac &&
                app.document(2)->encoding() == TextEncoding::Windows1252);
        QCOMPARE(TestEnvironment::readFile(original), "<P>on disk</P>\r\n");
        const QString self = QString("^%1-%2-").arg(CurrentProcess().pid).arg(CurrentProcess().started);
        const QStringList kept = settled(app);
        QCOMPARE(kept.size(), 2);
        QCOMPARE(kept.filter(QRegularExpression(self)), kept); // this process's own

        // Watched like an opened file: saving over another program's change asks first.
        app.env.writeFile("page.htm", "<P>theirs</P>");
        app.dialogs.answers << Dialogs::Answer::No << Dialogs::Answer::Yes;
        QVERIFY(!SaveCommand(*app.main, 1));
        QCOMPARE(TestEnvironment::readFile(original), "<P>theirs</P>");
        QVERIFY(SaveCommand(*app.main, 1));
        QCOMPARE(TestEnvironment::readFile(original), "<P>edited</P>\nmore");
        app.dialogs.answers.enqueue(Dialogs::Answer::No);
        app.document(2)->close();
        AppFixture::flush();
        QCOMPARE(settled(app), QStringList());
    }

    // A journal exists while the document has unsaved changes; the program's normal end removes it.
    void journalFollowsDocument() {
        AppFixture app;
        frmNotepad* window = OpenDocument(app.start(), app.env.writeFile("a.htm", "a"));
        QCOMPARE(journalNow(app), 0);
        window->txtRich->setSelText("typed ");
        QCOMPARE(journalNow(app), 1);
        sendKey(window->txtRich, Qt::Key_F12); // UNIX format, the text unchanged
        QCOMPARE(journalNow(app), 1);
        JournalEntry read;
        QVERIFY(DecodeJournal(app.env.readFile(folderOf(app) + "/" + settled(app)[0]), read));
        QCOMPARE(read.format, SaveFormat::Unix);
        QVERIFY(SaveCommand(*app.main, window->slot()));
        QCOMPARE(settled(app).size(), 0);
        window->txtRich->setSelText("again ");
        QCOMPARE(journalNow(app), 1);
        app.main.reset();
        QCOMPARE(journals(folderOf(app)).size() + app.dialogs.messages.size(), 0);
    }
};

QTEST_MAIN(RecoveryTest)
#include "tst_recovery.moc"
