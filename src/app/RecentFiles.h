#pragma once

#include <QString>
#include <QStringList>

class RecentMenu;

// True when one of the shown entries of the menu names the path, regardless of case.
bool IsInRecent(const RecentMenu& menu, const QString& path);
// Shifts the stored list down by one (dropping the fourth) and stores the path first.
void PushRecent(const QString& path);
// The stored list, most recent first, up to the first missing key.
QStringList StoredRecentFiles();
