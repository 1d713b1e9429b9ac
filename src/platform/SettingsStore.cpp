#include "platform/SettingsStore.h"

#include <QSettings>

namespace {
const QString kName = QStringLiteral("Quillora");
QString fullKey(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}
} // namespace

QString SettingsStore::read(const QString& section, const QString& key, const QString& fallback) {
    const QVariant value = QSettings(kName, kName).value(fullKey(section, key));
    return value.isValid() ? value.toString() : fallback;
}

bool SettingsStore::contains(const QString& section, const QString& key) {
    return QSettings(kName, kName).contains(fullKey(section, key));
}

void SettingsStore::write(const QString& section, const QString& key, const QString& value) {
    QSettings settings(kName, kName);
    settings.setValue(fullKey(section, key), value);
    settings.sync();
}

void SettingsStore::writeAll(const QString& section, const QList<std::pair<QString, QString>>& values) {
    QSettings settings(kName, kName);
    for (const auto& [key, value] : values)
        settings.setValue(fullKey(section, key), value);
    settings.sync();
}

QStringList SettingsStore::keys(const QString& section) {
    QSettings settings(kName, kName);
    settings.beginGroup(section);
    return settings.childKeys();
}

QHash<QString, QString> SettingsStore::readAll(const QString& section) {
    QSettings settings(kName, kName);
    settings.beginGroup(section);
    QHash<QString, QString> values;
    for (const QString& key : settings.childKeys())
        values.insert(key, settings.value(key).toString());
    return values;
}
