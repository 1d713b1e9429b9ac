#include "platform/UiHelpers.h"

#include "platform/KeyCodes.h"

#include <QAction>
#include <QFrame>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QUrl>

#include <algorithm>

void setTabChain(std::initializer_list<QWidget*> widgets) {
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void digitsOnly(QLineEdit& box, int maxLength) {
    if (maxLength > 0)
        box.setMaxLength(maxLength);
    box.setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), &box));
}

QAction* addMenuItem(QMenu* menu, const QString& caption, const char* name, const QKeySequence& shortcut,
                     bool enabled) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    action->setEnabled(enabled);
    return action;
}

QMenu* addSubmenu(QMenu* menu, const QString& caption, const char* name) {
    QMenu* submenu = menu->addMenu(caption);
    submenu->setObjectName(QString::fromLatin1(name));
    submenu->menuAction()->setObjectName(QString::fromLatin1(name));
    return submenu;
}

QStringList localFilesOf(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    return files;
}

int modifierBits(Qt::KeyboardModifiers modifiers) {
    int bits = 0;
    if (modifiers & Qt::ShiftModifier)
        bits |= ModifierBit::Shift;
    if (modifiers & Qt::ControlModifier)
        bits |= ModifierBit::Ctrl;
    if (modifiers & Qt::AltModifier)
        bits |= ModifierBit::Alt;
    return bits;
}

AreaOnScreen fitAreaToScreen(const QWidget& window, const QFrame& area, QSize content) {
    const int frame = 2 * area.frameWidth();
    AreaOnScreen fit{content + QSize(frame, frame), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX)};
    const QScreen* screen = window.screen();
    const QLayout* column = window.layout();
    if (!screen || !column)
        return fit;
    const QMargins margins = column->contentsMargins();
    int others = margins.top() + margins.bottom();
    for (int i = 0; i < column->count(); ++i)
        if (column->itemAt(i)->widget() != &area)
            others += column->itemAt(i)->sizeHint().height() + std::max(column->spacing(), 0);
    const QSize decoration = window.isVisible() ? window.frameGeometry().size() - window.size() : QSize(0, 0);
    fit.room = screen->availableGeometry().size() - decoration;
    fit.area =
        fit.area
            .boundedTo(QSize(fit.room.width() - margins.left() - margins.right(), fit.room.height() - others))
            .expandedTo(QSize(0, 0));
    return fit;
}
