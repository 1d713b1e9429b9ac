#pragma once

#include <QList>
#include <QString>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

// Helpers for the frame's child windows (documents and browsers alike): placing, fitting and
// arranging them, and the Window menu's list of them.

// Puts a new child window inside the frame's area: two thirds of the area's size, a title bar's
// height below and to the right of the last window shown, or at the top left when it would leave
// the area there.
void PlaceNewWindow(QMdiArea* area, QMdiSubWindow* window);
// Moves and, where they are larger, shrinks the windows that reach past the area (after the frame
// became smaller), so no close button is ever cut off and no scroll bar is needed.
void FitWindowsInto(QMdiArea* area);
// The longest name the Window menu shows; longer ones lose their middle.
constexpr int kWindowListNameLength = 60;
// The name shortened in the middle to at most `length` characters, with "…" where it was cut.
QString ElideMiddle(const QString& name, int length);

// The four arrangements of the Window menu.
enum class WindowArrangement { Cascade, TileHorizontal, TileVertical, ArrangeIcons };
void ArrangeWindows(QMdiArea* area, WindowArrangement arrangement);
// Takes Ctrl+W from the close item of the window's own menu (the platform's Close keys), so that
// the window's menus can use it; Ctrl+F4 still closes the window.
void FreeCtrlW(QMdiSubWindow& window);
// Lists the frame's child windows at the foot of a Window menu, the active one checked; choosing
// one activates it. `items` holds what the previous listing added, which goes first.
void FillWindowList(QMenu* menu, QList<QAction*>& items, QMdiArea* area);
