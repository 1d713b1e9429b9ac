#pragma once

#include <QKeySequence>
#include <QSize>
#include <QString>
#include <QStringList>

#include <initializer_list>

class QAction;
class QDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QObject;
class QRect;
class QWidget;

// Sets the object name, by which tests and code find the control, and gives the control back.
template <class T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}
// A label beside `field`, in the same parent: it names the field to assistive technology.
QLabel* buddyLabel(QWidget* field, const QString& caption);
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

// Keeps `dialog` within `available`, the room a screen leaves for windows. When its contents need
// more than that room (less the window frame), they move into a scroll area named "scrContents",
// and the buttons that close the dialog (OK, Cancel, Close and a button box, with the row of
// buttons they stand in) move below it, where they stay in view; the dialog is then made no
// bigger than the room. A dialog that fits keeps its layout and is only kept inside the room.
// True when the contents scroll.
bool fitDialogToScreen(QDialog& dialog, const QRect& available);
// Every dialog of the program (not Qt's own message, file and other standard dialogs) is fitted to
// its screen each time it is shown, for as long as `owner` lives.
void fitDialogsWhenShown(QObject& owner);
