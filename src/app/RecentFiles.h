#pragma once

#include <QString>
#include <QStringList>

// True when the stored list names the path, regardless of case. The list itself is asked, not a
// menu: at start-up the files of the command line are added before any menu shows the list.
bool IsInRecent(const QString& path);
// Stores the path first and the others after it, as they were (dropping the fourth). A path can
// only be listed once: an entry naming it again goes.
void PushRecent(const QString& path);
// The stored list, most recent first, up to the first missing key.
QStringList StoredRecentFiles();
