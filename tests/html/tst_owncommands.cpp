#include "html/frmAddOwn.h"
#include "markup/OwnCommands.h"
#include "support/DataTable.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QtTest>
#include <QtWidgets>

using Strings = QStringList;
const QString kList = QStringLiteral("#START:<LI>##END:</LI>#<UL>%%@@</UL>");

// The slots that are not free, as "slot name=command", " hidden" when the menu item is not shown.
Strings used(const OwnCommandTable& table) {
    Strings result;
    for (int i = 1; i <= 20; ++i) {
        const OwnCommand& own = table.slot[i];
        if (own.name != OwnCommandTable::defaultName(i) || !own.command.isEmpty() || table.visible[i])
            result << QStringLiteral("%1 %2=%3").arg(i).arg(own.name, own.command) +
                          (table.visible[i] ? "" : " hidden");
    }
    return result;
}
OwnCommandTable tableOf(const Strings& pairs) { // name, command, name, command... from slot 1
    OwnCommandTable table;
    for (int i = 0; i + 1 < pairs.size(); i += 2)
        table.slot[i / 2 + 1] = {pairs[i], pairs[i + 1]}, table.visible[i / 2 + 1] = true;
    return table;
}

class TestOwnCommands : public QObject {
    Q_OBJECT
    TestEnvironment env;
    ScriptedDialogs& dialogs = ScriptedDialogs::install();
    QString path() const { return env.root() + "/owncom.txt"; }

private slots:
    void init() { QFile::remove(path()), dialogs.messages.clear(); }

    void build_data() {
        table({"command", "selected", "expected"}, {});
        const auto row = [](const char* name, auto... columns) { (QTest::newRow(name) << ... << columns); };
        row("wraps, tags on their own lines", "<P>%%@@%%</P>", "a\r\nb", "<P>\r\na\r\nb\r\n</P>");
        row("each line, final break kept", kList, "é\r\n😀\r\n", "<UL>\r\n<LI>é</LI>\r\n<LI>😀</LI>\r\n</UL>");
        row("each line, no final break gained", kList, "a\r\nb", "<UL>\r\n<LI>a</LI>\r\n<LI>b</LI></UL>");
        row("nothing selected is one empty line", kList, "", "<UL>\r\n<LI></LI></UL>");
        row("empty lines inside, a lone LF or CR is no break", "#START:*#@@", "a\nb\r\r\n\r\nc",
            "*a\nb\r\r\n*\r\n*c");
        row("end text alone, %% in it", "#END:<BR>%%#@@", "a\r\nb\r\n", "a<BR>\r\n\r\nb<BR>\r\n\r\n");
        row("%% in the beginning text", "#START:%%- #@@", "a\r\nb", "\r\n- a\r\n\r\n- b");
        row("no @@: the code text", "<HR>%%", "x", "<HR>\r\n");
        row("marker without #: code", "#START:<LI>@@", "x", "#START:<LI>x");
        row("a beginning marker after the end marker is code", "#END:a##START:b#@@", "x", "#START:b#xa");
        row("end marker without #: code", "#START:<LI>##END:</LI>@@", "a\r\nb", "#END:</LI><LI>a\r\n<LI>b");
        row("only the first @@; %% and @@ selected stay", "<B>@@</B>@@", "50%% @@", "<B>50%% @@</B>@@");
    }
    void build() { QTEST(BuildOwnCommandText(cell("command"), cell("selected")), "expected"); }

    void load_data() {
        QTest::addColumn<QByteArray>("bytes"); // null: no file
        QTest::addColumn<Strings>("expected");
        QByteArray many;
        Strings pairs;
        for (int i = 1; i <= 21; ++i)
            many += QStringLiteral("n%1\r\nc%1\r\n").arg(i).toUtf8(),
                pairs << QStringLiteral("%1 n%1=c%1").arg(i);
        QTest::newRow("missing file") << QByteArray() << Strings();
        QTest::newRow("pairs in order, any breaks; an empty name keeps the default")
            << QByteArray("B\r\n<B>@@</B>\nL\r" + kList.toUtf8() + "\r\n\r\nx\r\n")
            << Strings{"1 B=<B>@@</B>", "2 L=" + kList, "3 Own3=x"};
        QTest::newRow("an empty command, like a trailing name, is hidden")
            << QByteArray("A\r\n\r\nB\r\ny\r\nC\r\n") << Strings{"1 A= hidden", "2 B=y", "3 C= hidden"};
        QTest::newRow("21 pairs give 20") << many << pairs.mid(0, 20);
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBFGrüß\r\n—@@") << Strings{"1 Grüß=—@@"};
    }
    void load() {
        QFETCH(QByteArray, bytes);
        if (!bytes.isNull())
            env.writeFile("owncom.txt", bytes);
        QTEST(used(LoadOwnCommands(path())), "expected");
    }

    void write() {
        // Empty commands are skipped and the rest close up; a default name with a command is kept.
        const QString longer(70000, 'x'); // a line over 65536 characters
        QVERIFY(WriteOwnCommands(path(), tableOf({"A", "a", "Own2", "", "C", "c", "D", "", "Own5", "e",
                                                  "x\ry\nz", "a\r\nb\rc", "L", longer})));
        QCOMPARE(TestEnvironment::readFile(path()),
                 "A\r\na\r\nC\r\nc\r\nOwn5\r\ne\r\nx y z\r\na%%b%%c\r\nL\r\n" + longer.toUtf8() + "\r\n");
        QCOMPARE(used(LoadOwnCommands(path())),
                 (Strings{"1 A=a", "2 C=c", "3 Own5=e", "4 x y z=a%%b%%c", "5 L=" + longer}));
    }

    // Next and Previous move between slots without saving; Save stores the slot in the table and file.
    void dialog() {
        OwnCommandTable table = tableOf({"Bold", "<B>@@</B>"});
        frmAddOwn form(table, path(), nullptr);
        form.show();
        QSignalSpy saved(&form, &frmAddOwn::saved);
        // slot, caption, name, beginning (null: unticked, box disabled), end, code, Previous, Next
        const auto shows = [&](int slot, const QString& name, const QString& beginning, const QString& end,
                               const QString& code, bool previous, bool next) {
            QCOMPARE(form.slot(), slot);
            QCOMPARE(form.fraCommand->title(), QStringLiteral("Command (%1/20)").arg(slot));
            QCOMPARE((Strings{form.txtName->text(), form.txtCode->text()}), (Strings{name, code}));
            for (auto [check, box, text] : {std::tuple(form.chkBeginning, form.txtBeginning, beginning),
                                            std::tuple(form.chkEnd, form.txtEnd, end)})
                QVERIFY(check->isChecked() == !text.isNull() && box->isEnabled() == !text.isNull() &&
                        box->text() == text);
            QCOMPARE(form.cmdPrevious->isEnabled(), previous);
            QCOMPARE(form.cmdNext->isEnabled(), next);
        };
        shows(1, "Bold", {}, {}, "<B>@@</B>", false, true);
        QCOMPARE(form.focusWidget(), form.txtName);
        QTest::keyClicks(form.txtName, "changed");
        form.cmdNext->click();
        shows(2, "", {}, {}, "", true, false);
        // Line breaks and a "#" in the beginning or end text are dropped, typed or pasted.
        QGuiApplication::clipboard()->setText("Li\r\nst");
        QTest::keyClick(form.txtName, Qt::Key_V, Qt::ControlModifier);
        form.chkBeginning->click(), form.chkEnd->click();
        QTest::keyClicks(form.txtBeginning, "<#LI>");
        QTest::keyClicks(form.txtEnd, "</LI>#");
        form.txtCode->insert("<UL>%%@@\n</UL>");
        shows(2, "List", "<LI>", "</LI>", "<UL>%%@@</UL>", true, false);
        QTest::keyClick(form.txtName, Qt::Key_Return); // Save is the default button
        QCOMPARE(saved, (QList<QVariantList>{{2}}));
        const Strings stored{"1 Bold=<B>@@</B>", "2 List=" + kList};
        QCOMPARE(used(table), stored);
        QCOMPARE(TestEnvironment::readFile(path()),
                 "Bold\r\n<B>@@</B>\r\nList\r\n" + kList.toUtf8() + "\r\n");
        QVERIFY(form.cmdNext->isEnabled() && dialogs.messages.isEmpty());
        form.cmdPrevious->click();
        shows(1, "Bold", {}, {}, "<B>@@</B>", false, true);
        form.cmdNext->click();
        shows(2, "List", "<LI>", "</LI>", "<UL>%%@@</UL>", true, true);

        // An empty name or code saves nothing; a failed write leaves the table as the file has it.
        form.txtName->clear();
        form.cmdSave->click();
        form.txtName->setText("New"), form.txtCode->clear();
        form.cmdSave->click();
        frmAddOwn failing(table, env.root(), nullptr);
        failing.showSlot(3);
        failing.txtName->setText("Other"), failing.txtCode->setText("x");
        failing.cmdSave->click();
        QCOMPARE(saved.size(), 1);
        QCOMPARE(used(table), stored);
        QCOMPARE(dialogs.messages.size(), 3);
        for (int i : {0, 1})
            QVERIFY(dialogs.messages[i].text == "Please give the command a name and a code." &&
                    dialogs.messages[i].icon == Dialogs::Icon::Information);
        QCOMPARE(dialogs.messages[2].text, "The own commands could not be saved: " + env.root());
        QCOMPARE(dialogs.messages[2].icon, Dialogs::Icon::Critical);

        OwnCommandTable full;
        for (int slot = 1; slot <= 20; ++slot)
            full.slot[slot].command = "x"; // default names show as empty
        frmAddOwn last(full, path(), nullptr);
        for (int i = 0; i < 25; ++i)
            last.cmdNext->click();
        QVERIFY(last.slot() == 20 && !last.cmdNext->isEnabled() && last.txtName->text().isEmpty());
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(!form.isVisible() && form.result() == QDialog::Rejected);
    }
};

QTEST_MAIN(TestOwnCommands)
#include "tst_owncommands.moc"
