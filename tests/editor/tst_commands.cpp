#include "editor/CommandTable.h"
#include "editor/EditableDocument.h"
#include "support/ShellFixture.h"

#include <QtTest>
#include <QtWidgets>

// The command table and the menus built from it; a document's state kept in the table, shown by its window.
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
    void eachWindowsMenusAreUnambiguous() {
        ShellFixture app;
        FakeShell& shell = app.start();
        const auto twice = [](const QStringList& all) {
            QStringList seen, twice;
            for (const QString& one : all)
                (seen.contains(one) ? twice : seen) << one;
            return twice;
        };
        for (const MenuScope scope : {MenuScope::Main, MenuScope::Document, MenuScope::Browser}) {
            QWidget owner;
            const WindowMenus built(shell.commands(), scope, &owner,
                                    [&shell] { return CommandTarget{shell}; });
            QStringList names, shortcuts;
            for (QAction* item : itemsOf(built.menuBar())) {
                names << item->objectName();
                if (!item->shortcut().isEmpty())
                    shortcuts << item->shortcut().toString();
            }
            QVERIFY2(!names.isEmpty() && !names.contains(QString()), qPrintable(names.join(' ')));
            QCOMPARE(twice(names) + twice(shortcuts), QStringList());
        }
    }

    // A window's items act on its document, whichever is current; its caption follows the table's record.
    void itemsActOnTheirOwnWindow() {
        ShellFixture app;
        FakeShell& shell = app.start();
        DocumentTable& table = shell.documents();
        frmNotepad* first = app.document(0);
        frmNotepad* second = NewDocument(shell);
        for (frmNotepad* document : {first, second})
            document->txtRich->setText("text");
        table.setCurrent(second->slot());
        first->action(CommandId::SelectAll)->trigger();
        QCOMPARE(QString("%1 %2").arg(first->txtRich->selLength()).arg(second->txtRich->selLength()), "4 0");
        first->action(CommandId::Delete)->trigger();
        QCOMPARE(first->txtRich->text() + "|" + second->txtRich->text(), "|text");
        QVERIFY(first->mnuUndo->isEnabled() && !second->mnuUndo->isEnabled()); // each its own history
        QVERIFY(!first->action(CommandId::Forward) && !first->action(CommandId::Offline));
        // A document's command with no document to act on does nothing.
        const WindowMenus detached(shell.commands(), MenuScope::Document, &shell,
                                   [&shell] { return CommandTarget{shell}; });
        for (const CommandId id :
             {CommandId::SelectAll, CommandId::Save, CommandId::UnixFormat, CommandId::Picture})
            detached[id]->trigger();
        QVERIFY(second->txtRich->selLength() == 0 && second->saveFormat() == SaveFormat::Dos);
        first->action(CommandId::Update)->trigger();
        QVERIFY(shell.requests.last().startsWith("browser ") && shell.requests.last().contains("#updates"));

        const int slot = first->slot();
        table.setModified(slot, true);
        const QString modified = first->windowTitle(), path = app.env.writeFile("page.htm", "x");
        table.setSaved(slot, path);
        QCOMPARE(modified + " " + first->windowTitle(), QString("Untitled [%1]* ").arg(slot) + path);
        QVERIFY(!first->editable().isModified() && first->editable().savedPath() == path);
    }
};

QTEST_MAIN(CommandsTest)
#include "tst_commands.moc"
