#include "app/RecentFiles.h"

#include "platform/SettingsStore.h"

#include <algorithm>

namespace {
const QString kSection = QStringLiteral("RecentFiles");
constexpr int kEntries = 4;
QString keyFor(int number) {
    return QStringLiteral("RecentFile%1").arg(number);
}
} // namespace

bool IsInRecent(const QString& path) {
    // Letter by letter, so that no letter's longer upper case ("ß") makes two paths equal.
    const QStringList stored = StoredRecentFiles();
    return std::any_of(stored.begin(), stored.end(), [&path](const QString& entry) {
        return entry.compare(path, Qt::CaseInsensitive) == 0;
    });
}

void PushRecent(const QString& path) {
    QStringList list{path};
    for (const QString& entry : StoredRecentFiles()) {
        const bool listed = std::any_of(list.begin(), list.end(), [&entry](const QString& kept) {
            return kept.compare(entry, Qt::CaseInsensitive) == 0;
        });
        if (!listed)
            list << entry;
    }
    for (int k = 1; k <= kEntries; ++k) {
        // A list that lost a repeated entry ends early: the key after its end is emptied.
        if (k <= list.size() || SettingsStore::contains(kSection, keyFor(k)))
            SettingsStore::write(kSection, keyFor(k), list.value(k - 1));
    }
}

QStringList StoredRecentFiles() {
    QStringList files;
    for (int k = 1; k <= kEntries; ++k) {
        const QString value = SettingsStore::read(kSection, keyFor(k));
        if (value.isEmpty())
            break;
        files << value;
    }
    return files;
}
