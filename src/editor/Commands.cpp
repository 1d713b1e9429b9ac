#include "editor/Commands.h"

#include "platform/UiHelpers.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QWidget>

QString DisplayCaption(const QString& caption) {
    return caption.isEmpty() ? caption
                             : QCoreApplication::translate("Commands", caption.toUtf8().constData());
}

QAction* AddCommandItem(QMenu* menu, const CommandTable& table, CommandId id,
                        const std::function<CommandTarget()>& target) {
    Q_ASSERT(id < CommandId::Count);
    const Command& command = table[id];
    Q_ASSERT(command.name);
    if (command.caption.isEmpty()) {
        QAction* separator = menu->addSeparator();
        separator->setObjectName(QString::fromLatin1(command.name));
        return separator;
    }
    QAction* item = addMenuItem(menu, DisplayCaption(command.caption), command.name, command.shortcut,
                                !command.planned && !command.startsDisabled);
    item->setCheckable(command.checkable);
    if (!command.alternatives.isEmpty())
        item->setShortcuts(QList<QKeySequence>{command.shortcut} + command.alternatives);
    if (command.planned)
        item->setVisible(false);
    if (command.run)
        QObject::connect(item, &QAction::triggered, item, [run = command.run, needs = command.needs, target] {
            const CommandTarget on = target();
            if ((needs == Command::Needs::Document && !on.document) ||
                (needs == Command::Needs::Browser && !on.browser))
                return;
            run(on);
        });
    return item;
}

void CommandTable::deriveNeeds() {
    std::array<std::array<bool, size_t(MenuScope::Count)>, size_t(CommandId::Count)> shownIn{};
    for (size_t scope = 0; scope < layouts.size(); ++scope)
        for (const MenuLayout& layout : layouts[scope])
            for (const MenuEntry& entry : layout.entries)
                if (entry.command != CommandId::Count)
                    shownIn[size_t(entry.command)][scope] = true;
    for (size_t id = 0; id < commands.size(); ++id) {
        const auto& in = shownIn[id];
        const bool main = in[size_t(MenuScope::Main)], document = in[size_t(MenuScope::Document)],
                   browser = in[size_t(MenuScope::Browser)];
        commands[id].needs = document && !main && !browser   ? Command::Needs::Document
                             : browser && !main && !document ? Command::Needs::Browser
                                                             : Command::Needs::Nothing;
    }
}

WindowMenus::WindowMenus(const CommandTable& table, MenuScope scope, QWidget* owner,
                         std::function<CommandTarget()> target) {
    const std::vector<MenuLayout>& layouts = table.layouts[size_t(scope)];
    std::array<bool, size_t(MenuId::Count)> isSubmenu{};
    for (const MenuLayout& layout : layouts) {
        const MenuDeclaration& declaration = table.menus[size_t(layout.menu)];
        const QString& caption = scope == MenuScope::Main && !declaration.mainCaption.isEmpty()
                                     ? declaration.mainCaption
                                     : declaration.caption;
        auto* menu = new QMenu(DisplayCaption(caption), owner);
        menu->setObjectName(QString::fromLatin1(declaration.name));
        menu->menuAction()->setObjectName(menu->objectName());
        m_menus[size_t(layout.menu)] = menu;
        for (const MenuEntry& entry : layout.entries)
            if (entry.submenu != MenuId::Count)
                isSubmenu[size_t(entry.submenu)] = true;
    }
    for (const MenuLayout& layout : layouts) {
        QMenu* menu = m_menus[size_t(layout.menu)];
        for (const MenuEntry& entry : layout.entries) {
            if (entry.submenu != MenuId::Count) {
                Q_ASSERT(m_menus[size_t(entry.submenu)]);
                menu->addMenu(m_menus[size_t(entry.submenu)]);
            } else {
                QAction* item = AddCommandItem(menu, table, entry.command, target);
                m_actions[size_t(entry.command)] = item;
                if (table[entry.command].keysInWindow) {
                    item->setShortcutContext(Qt::WidgetWithChildrenShortcut);
                    owner->addAction(item);
                }
            }
        }
        if (!isSubmenu[size_t(layout.menu)])
            m_menuBar << menu;
    }
}
