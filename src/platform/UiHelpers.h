#pragma once

#include <QKeySequence>
#include <QString>
#include <QStringList>

class QAction;
class QMenu;
class QMimeData;

// A menu item whose object name is its control name, so tests and code find it by that name.
QAction* addMenuItem(QMenu* menu, const QString& caption, const char* name, const QKeySequence& shortcut = {},
                     bool enabled = true);
QMenu* addSubmenu(QMenu* menu, const QString& caption, const char* name);
// The local files of a drag, in the order given; empty when it carries none.
QStringList localFilesOf(const QMimeData* data);
// Shift 1, Ctrl 2, Alt 4, as the key and mouse handlers report them.
int modifierBits(Qt::KeyboardModifiers modifiers);
