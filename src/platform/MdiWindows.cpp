#include "platform/MdiWindows.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <algorithm>

void FreeCtrlW(QMdiSubWindow& window) {
    const QKeySequence ctrlW(Qt::CTRL | Qt::Key_W);
    for (QAction* item : window.systemMenu()->actions()) {
        QList<QKeySequence> keys = item->shortcuts();
        if (keys.removeAll(ctrlW) > 0)
            item->setShortcuts(keys);
    }
}

void FillWindowList(QMenu* menu, QList<QAction*>& items, QMdiArea* area) {
    for (QAction* item : std::as_const(items))
        menu->removeAction(item);
    qDeleteAll(items);
    items.clear();
    const QList<QMdiSubWindow*> windows = area->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    items << menu->addSeparator();
    int number = 1;
    for (QMdiSubWindow* window : windows) {
        QString caption = ElideMiddle(window->windowTitle(), kWindowListNameLength);
        caption.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction* item = menu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(caption));
        item->setCheckable(true);
        item->setChecked(window == area->activeSubWindow());
        QObject::connect(item, &QAction::triggered, area, [area, target = QPointer<QMdiSubWindow>(window)] {
            if (target) {
                if (target->isMinimized())
                    target->showNormal();
                area->setActiveSubWindow(target);
            }
        });
        items << item;
    }
}

QString ElideMiddle(const QString& name, int length) {
    if (name.size() <= length)
        return name;
    const QChar ellipsis(0x2026);
    qsizetype head = (length - 1) / 2;
    qsizetype tail = length - 1 - head;
    // A character made of a surrogate pair is kept whole or left out whole.
    if (head > 0 && name.at(head - 1).isHighSurrogate())
        --head;
    if (tail > 0 && name.at(name.size() - tail).isLowSurrogate())
        --tail;
    return name.left(head) + ellipsis + name.right(tail);
}

namespace {
int titleBarHeight(const QMdiSubWindow* window) {
    QStyleOptionTitleBar option;
    option.initFrom(window);
    option.titleBarFlags = window->windowFlags();
    return std::max(16, window->style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, window));
}

// The space windows are placed in: the whole inside of the area, so none needs a scroll bar.
QRect placementSpace(const QMdiArea* area) {
    return QRect(QPoint(0, 0), area->contentsRect().size());
}
} // namespace

void PlaceNewWindow(QMdiArea* area, QMdiSubWindow* window) {
    const QRect space = placementSpace(area);
    QMdiSubWindow* last = nullptr;
    for (QMdiSubWindow* other : area->subWindowList(QMdiArea::CreationOrder))
        if (other != window && other->isVisible() && !other->isMinimized())
            last = other;
    const QSize size = (space.size() * 2 / 3).expandedTo(window->minimumSizeHint()).boundedTo(space.size());
    const int step = titleBarHeight(window);
    QPoint at(0, 0);
    if (last && !last->isMaximized())
        at = last->pos() + QPoint(step, step);
    if (!space.contains(QRect(at, size)))
        at = QPoint(0, 0);
    window->setGeometry(QRect(at, size));
}

void FitWindowsInto(QMdiArea* area) {
    const QRect space = placementSpace(area);
    if (space.isEmpty())
        return;
    for (QMdiSubWindow* window : area->subWindowList()) {
        if (window->isMaximized() || window->isMinimized())
            continue;
        QRect geometry = window->geometry();
        if (space.contains(geometry))
            continue;
        geometry.setSize(geometry.size().boundedTo(space.size()));
        geometry.moveLeft(std::clamp(geometry.left(), 0, space.width() - geometry.width()));
        geometry.moveTop(std::clamp(geometry.top(), 0, space.height() - geometry.height()));
        window->setGeometry(geometry);
    }
}

void ArrangeWindows(QMdiArea* area, WindowArrangement arrangement) {
    QList<QMdiSubWindow*> open;
    QList<QMdiSubWindow*> minimized;
    for (QMdiSubWindow* window : area->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isVisible())
            continue;
        (window->isMinimized() ? minimized : open) << window;
    }
    const QRect space = area->viewport()->rect();
    if (arrangement == WindowArrangement::ArrangeIcons) {
        int x = 0;
        for (QMdiSubWindow* window : minimized) {
            const QSize size = window->size();
            window->move(x, space.height() - size.height());
            x += size.width();
        }
        return;
    }
    if (open.isEmpty())
        return;
    const int count = static_cast<int>(open.size());
    if (arrangement == WindowArrangement::Cascade) {
        // Each window a title bar lower and to the right of the one before, all the same size,
        // the last one on top.
        const int step = open.first()->height() - open.first()->widget()->height();
        const int offset = std::clamp(step, 16, 40);
        const int width = std::max(space.width() - offset * (count - 1), space.width() * 3 / 5);
        const int height = std::max(space.height() - offset * (count - 1), space.height() * 3 / 5);
        for (int i = 0; i < count; ++i) {
            QMdiSubWindow* window = open.at(i);
            if (window->isMaximized())
                window->showNormal();
            const int shift =
                (i * offset) % std::max(1, std::min(space.width() - width, space.height() - height) + 1);
            window->setGeometry(shift, shift, width, height);
            window->raise();
        }
        return;
    }
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* window = open.at(i);
        if (window->isMaximized())
            window->showNormal();
        if (arrangement == WindowArrangement::TileHorizontal) {
            // Stacked one above the other, each the full width.
            const int height = space.height() / count;
            window->setGeometry(0, i * height, space.width(), height);
        } else {
            // Side by side, each the full height.
            const int width = space.width() / count;
            window->setGeometry(i * width, 0, width, space.height());
        }
    }
}
