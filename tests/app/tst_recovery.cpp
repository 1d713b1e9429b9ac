#include "app/Recovery.h"
#include "editor/mdlFile.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QTest>

// Crash-recovery journals: their format, the start-up offer, and their life beside the documents.
class RecoveryTest : public QObject {
    Q_OBJECT

    // A process id this one has, with another start time: a process that ended, its id reused.
    static JournalOwner ended() { return {CurrentProcess().pid, CurrentProcess().started + 1}; }
    static QString folderOf(const AppFixture& app) { return app.env.programFolder() + "/recovery"; }
    static QStringList journals(const QString& folder) { return QDir(folder).entryList({"*.journal"}); }
    static JournalEntry entry(const QString& path, const QString& text, SaveFormat format = SaveFormat::Dos,
                              TextEncoding encoding = TextEncoding::Utf8) {
        return {ended(), path, format, encoding, text};
    }
    static void plant(const AppFixture& app, const QString& name, const JournalEntry& entry) {
        QString reason;
        QVERIFY2(WriteJournal(folderOf(app) + "/" + name, entry, reason), qPrintable(reason));
    }
    static RecoveryJournal& journalOf(AppFixture& app) { return *app.main->findChild<RecoveryJournal*>(); }

private slots:
    void roundTrip_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("text");
        QTest::addColumn<SaveFormat>("format");
        QTest::addColumn<TextEncoding>("encoding");
        const auto row = [](const char* name, const char* path, const QString& text, SaveFormat format,
                            TextEncoding encoding) {
            QTest::newRow(name) << QString(path) << text << format << encoding;
        };
        row("untitled", "", "<P>\r\n\r\nline</P>\r\n", SaveFormat::Dos, TextEncoding::Utf8);
        row("odd path", "/tmp/a b=c%20\n#.htm", "x\r\ny", SaveFormat::Unix, TextEncoding::Latin1);
        row("header-like text", "/p.htm", "\n\npid=1\nsha1=0\r\n€ ö 𝄞", SaveFormat::Mac,
            TextEncoding::Utf8WithBom);
        row("the control's reserved characters", "/r.htm",
            QString::fromUtf16(u"a\xDC29"
                               u"b\xDCD0\xDCD1\U00010029"),
            SaveFormat::Dos, TextEncoding::Windows1252);
        row("empty text", "/e.htm", "", SaveFormat::Dos, TextEncoding::Utf8);
    }
    void roundTrip() {
        QFETCH(QString, path);
        QFETCH(QString, text);
        QFETCH(SaveFormat, format);
        QFETCH(TextEncoding, encoding);
        QTemporaryDir dir;
        const QString file = dir.path() + "/recovery/1-2-3.journal";
        QString reason;
        QVERIFY(WriteJournal(file, {{1, 2}, path, format, encoding, text}, reason));
        JournalEntry read;
        QVERIFY(DecodeJournal(TestEnvironment::readFile(file), read));
        QCOMPARE(read.path + '|' + read.text, path + '|' + text);
        QVERIFY(read.owner == (JournalOwner{1, 2}) && read.format == format && read.encoding == encoding);
        // Owner, group and others: the owner's bits only.
        QCOMPARE(int(QFile::permissions(file) & 0x7077), int(QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(int(QFile::permissions(dir.path() + "/recovery") & 0x7077),
                 int(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    // Journals that cannot be read are named and kept, and nothing is recovered from them: cut
    // short, a byte of the text or of the header altered, an encoding or a name it does not know.
    void unreadableKept_data() {
        table({"damage"},
              {"truncated; cut 1", "text cut off; cut 20", "text altered; text", "path altered; path",
               "unknown encoding; encoding", "first version, unknown encoding; first", "foreign name; name"});
    }
    void unreadableKept() {
        QFETCH(QString, damage);
        AppFixture app;
        QByteArray bytes = EncodeJournal(entry("/x.htm", "some unsaved text\r\n"));
        if (damage.startsWith("cut"))
            bytes.chop(damage.mid(4).toInt());
        else if (damage == "text")
            bytes[bytes.size() - 3] = 'X';
        else if (damage == "path")
            bytes.replace("path=%2Fx.htm", "path=%2Fy.htm");
        else if (damage == "encoding")
            bytes.replace("encoding=utf-8", "encoding=utf-9");
        else if (damage == "first") // the first version's journal, with a sum of its text alone
            bytes = "QUILLORA-JOURNAL 1\npid=1\nstarted=2\npath=\nformat=dos\nencoding=99\nlength=1\nsha1=" +
                    QCryptographicHash::hash("x", QCryptographicHash::Sha1).toHex() + "\n\nx";
        const QString name = damage == "name" ? "notes.journal" : JournalFileName(ended(), 1);
        const QString file = app.env.writeFile("data/Quillora/recovery/" + name, bytes);
        app.start();
        QCOMPARE(app.dialogs.messages.size(), 1);
        QVERIFY(app.dialogs.messages[0].text.startsWith("These recovery files could not be read"));
        QVERIFY(app.dialogs.messages[0].text.contains(name));
        QCOMPARE(app.main->documents().DocumentCount, 1);
        journalOf(app).waitForWrites();
        QCOMPARE(TestEnvironment::readFile(file), bytes);
    }

    // A link in the recovery folder's place is not followed: journals are neither read from nor
    // written to wherever it leads, and the user hears that journals cannot be kept.
    void linkedFolderNotFollowed() {
        AppFixture app;
        const QString elsewhere = app.env.root() + "/elsewhere";
        QDir().mkpath(elsewhere);
        QDir().mkpath(app.env.programFolder());
        QVERIFY(QFile::link(elsewhere, folderOf(app)));
        QString reason;
        QVERIFY(WriteJournal(elsewhere + "/" + JournalFileName(ended(), 1), entry("", "planted"), reason));
        app.start();
        QVERIFY(app.dialogs.messages.isEmpty()); // nothing offered from there
        app.document(0)->txtRich->setText("unsaved");
        journalOf(app).journalNow();
        journalOf(app).waitForWrites();
        QTRY_COMPARE(app.dialogs.messages.size(), 1);
        QVERIFY(app.dialogs.messages[0].text.contains("is a link, which is not followed"));
        QCOMPARE(journals(elsewhere).size(), 1); // only the planted one
    }

    // A journal written before the header was summed is still recovered, with its encoding.
    void firstVersionRead() {
        const QByteArray text = "caf\xC3\xA9\r\n";
        const QByteArray bytes =
            "QUILLORA-JOURNAL 1\npid=1\nstarted=2\npath=%2Fa.htm\nformat=unix\nencoding=3\n"
            "length=7\nsha1=" +
            QCryptographicHash::hash(text, QCryptographicHash::Sha1).toHex() + "\n\n" + text;
        JournalEntry read;
        QVERIFY(DecodeJournal(bytes, read));
        QCOMPARE(read.path + "|" + read.text, "/a.htm|caf\u00E9\r\n");
        QVERIFY(read.encoding == TextEncoding::Windows1252 && read.format == SaveFormat::Unix);
    }

    // Only the journals of processes that ended are offered; a running editor's stay as they are.
    // Answered No, the offered journal is deleted and nothing opens.
    void onlyEndedProcesses_data() {
        QTest::addColumn<qint64>("pid");
        QTest::addColumn<qint64>("started");
        QTest::addColumn<bool>("offered");
        const JournalOwner self = CurrentProcess();
        QTest::newRow("running") << self.pid << self.started << false;
        QTest::newRow("pid reused") << self.pid << self.started + 1 << true;
        QTest::newRow("no such process") << qint64(99999999) << self.started << true;
    }
    void onlyEndedProcesses() {
        QFETCH(qint64, pid);
        QFETCH(qint64, started);
        QFETCH(bool, offered);
        AppFixture app;
        JournalEntry running = entry("", "text");
        running.owner = {pid, started};
        const QString name = JournalFileName(running.owner, 999);
        plant(app, name, running);
        app.dialogs.answers.enqueue(Dialogs::Answer::No);
        app.start();
        QCOMPARE(app.dialogs.messages.size(), offered ? 1 : 0);
        QCOMPARE(app.main->documents().DocumentCount, 1);
        journalOf(app).waitForWrites();
        QCOMPARE(journals(folderOf(app)).contains(name), !offered);
    }

    // Yes: each journal becomes a modified document, with its path kept and the file untouched;
    // the journals pass to this process, and leave with saving and closing.
    void recoverYes() {
        AppFixture app;
        const QString original = app.env.writeFile("page.htm", "<P>on disk</P>\r\n");
        plant(app, JournalFileName(ended(), 1), entry(original, "<P>edited</P>\r\nmore", SaveFormat::Unix));
        plant(app, JournalFileName(ended(), 2), entry("", "untitled\r\ntext"));
        app.dialogs.answers.enqueue(Dialogs::Answer::Yes);
        app.start();
        QCOMPARE(app.dialogs.messages.size(), 1);
        QCOMPARE(app.dialogs.messages[0].text,
                 "Quillora did not end normally. Recover 2 unsaved documents?\r\n\r\n" + original +
                     "\r\nUntitled");
        QCOMPARE(app.main->documents().DocumentCount, 3);
        frmNotepad* file = app.document(1);
        QCOMPARE(file->windowTitle(), original + "*");
        QVERIFY(app.record(1).Modified && app.record(2).Modified);
        QCOMPARE(file->txtRich->text(), "<P>edited</P>\r\nmore");
        QCOMPARE(file->saveFormat(), SaveFormat::Unix);
        QCOMPARE(app.document(2)->windowTitle(), "Untitled [2]*");
        QCOMPARE(app.document(2)->txtRich->text(), "untitled\r\ntext");
        QCOMPARE(TestEnvironment::readFile(original), "<P>on disk</P>\r\n");
        journalOf(app).waitForWrites();
        const QString self =
            QString::number(CurrentProcess().pid) + "-" + QString::number(CurrentProcess().started);
        QCOMPARE(journals(folderOf(app)).filter(QRegularExpression("^" + self + "-")).size(), 2);
        QCOMPARE(journals(folderOf(app)).size(), 2);

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
        journalOf(app).waitForWrites();
        QCOMPARE(journals(folderOf(app)), QStringList());
    }

    // A journal is written while the document has unsaved changes, and only then; the program's
    // normal end removes it.
    void journalFollowsDocument() {
        AppFixture app;
        app.start();
        RecoveryJournal& journal = journalOf(app);
        const QString path = app.env.writeFile("a.htm", "a");
        frmNotepad* window = OpenDocument(*app.main, path);
        const auto journalNow = [&] {
            journal.journalNow();
            journal.waitForWrites();
            return journals(folderOf(app)).size();
        };
        QCOMPARE(journalNow(), 0);
        window->txtRich->setSelText("typed ");
        QCOMPARE(journalNow(), 1);
        QVERIFY(SaveCommand(*app.main, window->slot()));
        journal.waitForWrites();
        QCOMPARE(journals(folderOf(app)).size(), 0);
        window->txtRich->setSelText("again ");
        QCOMPARE(journalNow(), 1);
        app.main.reset();
        QCOMPARE(journals(folderOf(app)).size(), 0);
        QCOMPARE(app.dialogs.messages.size(), 0);
    }

    // A recovery folder that cannot be made costs one warning; typing and saving go on.
    void unwritableFolder() {
        AppFixture app;
        app.env.writeFile("data/Quillora/recovery", "a file where the folder should be");
        app.start();
        const QString path = app.env.writeFile("b.htm", "b");
        frmNotepad* window = OpenDocument(*app.main, path);
        for (int round = 0; round < 3; ++round) {
            window->txtRich->setSelText("x");
            journalOf(app).journalNow();
            journalOf(app).waitForWrites();
            QCoreApplication::processEvents();
        }
        QCOMPARE(app.dialogs.messages.size(), 1);
        QCOMPARE(app.dialogs.messages[0].icon, Dialogs::Icon::Warning);
        QVERIFY(SaveCommand(*app.main, window->slot()));
        QCOMPARE(TestEnvironment::readFile(path), "xxxb");
    }
};

QTEST_MAIN(RecoveryTest)
#include "tst_recovery.moc"
