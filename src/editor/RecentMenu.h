#pragma once

#include <QString>
#include <array>
#include <functional>

class QAction;
class QMenu;

// The recent-files entries at the foot of a File menu: a separator and four items, all hidden
// until the list is shown. Choosing an item hands its path to the callback.
class RecentMenu {
public:
    void build(QMenu* fileMenu, const std::function<void(const QString&)>& onChosen);
    // Shows the separator and item `index` (1 to 4) with the path as its caption.
    void show(int index, const QString& path);
    QString caption(int index) const;
    QAction* item(int index) const { return m_items.at(index); }

private:
    std::array<QAction*, 5> m_items{};
};
