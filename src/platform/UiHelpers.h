#pragma once

#include <QKeySequence>
#include <QSize>
#include <QString>
#include <QStringList>

#include <initializer_list>

class QAction;
class QFrame;
class QLineEdit;
class QMenu;
class QMimeData;
class QWidget;

// Sets the object name, by which tests and code find the control, and gives the control back.
template <class T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}
// Tab moves through `widgets` in the order given.
void setTabChain(std::initializer_list<QWidget*> widgets);
// The box takes digits only, typed or pasted; at most `maxLength` of them when it is above 0.
void digitsOnly(QLineEdit& box, int maxLength = 0);

// A menu item whose object name is its control name, so tests and code find it by that name.
QAction* addMenuItem(QMenu* menu, const QString& caption, const char* name, const QKeySequence& shortcut = {},
                     bool enabled = true);
QMenu* addSubmenu(QMenu* menu, const QString& caption, const char* name);
// The local files of a drag, in the order given; empty when it carries none.
QStringList localFilesOf(const QMimeData* data);
// Shift 1, Ctrl 2, Alt 4, as the key and mouse handlers report them.
int modifierBits(Qt::KeyboardModifiers modifiers);

// The size a framed area of `window`'s layout may take to show `content` whole, and the room the
// screen leaves for the whole window (without its window frame). The area is bounded by what the
// screen leaves beside the layout's other items and margins; beyond that it scrolls, so the rest of
// the window stays on the screen. Without a screen both are unbounded.
struct AreaOnScreen {
    QSize area;
    QSize room;
};
AreaOnScreen fitAreaToScreen(const QWidget& window, const QFrame& area, QSize content);
