#include "app/RecentFiles.h"

#include "editor/RecentMenu.h"
#include "platform/SettingsStore.h"

#include <QAction>

namespace {
const QString kSection = QStringLiteral("RecentFiles");
QString keyFor(int number) {
    return QStringLiteral("RecentFile%1").arg(number);
}
} // namespace

bool IsInRecent(const RecentMenu& menu, const QString& path) {
    // Letter by letter, so that no letter's longer upper case ("ß") makes two paths equal.
    for (int i = 1; i <= 4; ++i) {
        if (menu.item(i)->isVisible() && menu.caption(i).compare(path, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void PushRecent(const QString& path) {
    for (int k = 3; k >= 1; --k) {
        const QString value = SettingsStore::read(kSection, keyFor(k));
        if (!value.isEmpty())
            SettingsStore::write(kSection, keyFor(k + 1), value);
    }
    SettingsStore::write(kSection, keyFor(1), path);
}

QStringList StoredRecentFiles() {
    QStringList files;
    for (int k = 1; k <= 4; ++k) {
        const QString value = SettingsStore::read(kSection, keyFor(k));
        if (value.isEmpty())
            break;
        files << value;
    }
    return files;
}
