#include "editor/CommandTable.h"
#include "editor/EditableDocument.h"
#include "support/ShellFixture.h"

#include <QAction>
#include <QMenu>
#include <QSet>
#include <QTest>

// The command table and the menus built from it; a document's state kept in the table and shown
// by its window.
class CommandsTest : public QObject {
    Q_OBJECT

    static QList<QAction*> itemsOf(const QList<QMenu*>& menus) {
        QList<QAction*> items;
        for (QMenu* menu : menus)
            for (QAction* item : menu->actions())
                items << item << (item->menu() ? itemsOf({item->menu()}) : QList<QAction*>());
        return items;
    }

private slots:
    // In each window every item has a name, and no two items answer the same shortcut or name.
    void eachWindowsMenusAreUnambiguous_data() {
        QTest::addColumn<int>("scope");
        QTest::newRow("main window") << int(MenuScope::Main);
        QTest::newRow("document window") << int(MenuScope::Document);
        QTest::newRow("browser window") << int(MenuScope::Browser);
    }
    void eachWindowsMenusAreUnambiguous() {
        QFETCH(int, scope);
        ShellFixture app;
        FakeShell& shell = app.start();
        QWidget owner;
        const WindowMenus built(shell.commands(), MenuScope(scope), &owner,
                                [&shell] { return CommandTarget{shell}; });
        QVERIFY(!built.menuBar().isEmpty());
        QSet<QString> names, shortcuts;
        for (QAction* item : itemsOf(built.menuBar())) {
            QVERIFY2(!item->objectName().isEmpty(), qPrintable(item->text()));
            QVERIFY2(!names.contains(item->objectName()), qPrintable(item->objectName()));
            names << item->objectName();
            const QString keys = item->shortcut().toString();
            QVERIFY2(keys.isEmpty() || !shortcuts.contains(keys), qPrintable(keys + " twice"));
            shortcuts << keys;
        }
    }

    // A document window's items act on that document, whichever is current; the items a window
    // does not show are not built for it.
    void itemsActOnTheirOwnWindow() {
        ShellFixture app;
        FakeShell& shell = app.start();
        frmNotepad* first = app.document(0);
        frmNotepad* second = NewDocument(shell);
        for (frmNotepad* document : {first, second})
            document->txtRich->setText("text");
        shell.documents().setCurrent(second->slot());
        first->action(CommandId::SelectAll)->trigger();
        QCOMPARE(first->txtRich->selLength(), 4);
        QCOMPARE(second->txtRich->selLength(), 0);
        first->action(CommandId::Delete)->trigger();
        QCOMPARE(first->txtRich->text(), QString());
        QCOMPARE(second->txtRich->text(), "text");
        QVERIFY(!first->action(CommandId::Forward) && !first->action(CommandId::Offline));
        // A document's command with no document to act on does nothing.
        const WindowMenus detached(shell.commands(), MenuScope::Document, &shell,
                                   [&shell] { return CommandTarget{shell}; });
        for (const CommandId id :
             {CommandId::SelectAll, CommandId::Save, CommandId::UnixFormat, CommandId::Picture})
            detached[id]->trigger();
        QCOMPARE(second->txtRich->selLength(), 0);
        QCOMPARE(second->saveFormat(), SaveFormat::Dos);
        first->action(CommandId::Update)->trigger();
        QVERIFY(shell.requests.last().startsWith("browser ") && shell.requests.last().contains("#updates"));
    }

    // The unsaved mark, the path and the save format change in the table; the window shows them.
    void windowsFollowTheirRecords() {
        ShellFixture app;
        FakeShell& shell = app.start();
        frmNotepad* document = app.document(0);
        DocumentTable& table = shell.documents();
        const int slot = document->slot();
        table.setModified(slot, true);
        QCOMPARE(document->windowTitle(), QString("Untitled [%1]*").arg(slot));
        const QString path = app.env.writeFile("page.htm", "x");
        table.setSaved(slot, path);
        QCOMPARE(document->windowTitle(), path);
        QVERIFY(!document->editable().isModified());
        QCOMPARE(document->editable().savedPath(), path);
        for (const SaveFormat format : {SaveFormat::Unix, SaveFormat::Mac, SaveFormat::Dos}) {
            table.setFormat(slot, format);
            QCOMPARE(document->mnuTUNIXformat->isChecked(), format == SaveFormat::Unix);
            QCOMPARE(document->mnuTMACformat->isChecked(), format == SaveFormat::Mac);
            QCOMPARE(document->mnuTDOSformat->isEnabled(), format != SaveFormat::Dos);
        }
        // A format chosen from the menu is a change to save.
        document->mnuTUNIXformat->trigger();
        QCOMPARE(document->saveFormat(), SaveFormat::Unix);
        QVERIFY(table.DocumentSlots[slot].Modified);
    }
};

QTEST_MAIN(CommandsTest)
#include "tst_commands.moc"
