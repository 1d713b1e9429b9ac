#include "editor/RecentMenu.h"

#include <QAction>
#include <QMenu>

void RecentMenu::build(QMenu* fileMenu, const std::function<void(const QString&)>& onChosen) {
    m_items[0] = fileMenu->addSeparator();
    m_items[0]->setObjectName(QStringLiteral("mnuRecent0"));
    m_items[0]->setVisible(false);
    for (int i = 1; i <= 4; ++i) {
        QAction* action = fileMenu->addAction(QStringLiteral("Recent%1").arg(i));
        action->setObjectName(QStringLiteral("mnuRecent%1").arg(i));
        action->setData(QStringLiteral("Recent%1").arg(i));
        action->setVisible(false);
        QObject::connect(action, &QAction::triggered, action,
                         [action, onChosen] { onChosen(action->data().toString()); });
        m_items[i] = action;
    }
}

void RecentMenu::show(int index, const QString& path) {
    m_items[0]->setVisible(true);
    QAction* action = m_items.at(index);
    action->setData(path);
    // An "&" in a path is shown as it is, not taken as a mnemonic.
    action->setText(QString(path).replace(QLatin1Char('&'), QLatin1String("&&")));
    action->setVisible(true);
}

QString RecentMenu::caption(int index) const {
    return m_items.at(index)->data().toString();
}
