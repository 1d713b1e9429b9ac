#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

// The per-user settings store: string values by section and key, kept by QSettings under
// the organisation and application name "Quillora".
namespace SettingsStore {
QString read(const QString& section, const QString& key, const QString& fallback = QString());
bool contains(const QString& section, const QString& key);
void write(const QString& section, const QString& key, const QString& value);
// Writes many keys of a section with one write of the store (one sync, not one per key).
void writeAll(const QString& section, const QList<std::pair<QString, QString>>& values);
QStringList keys(const QString& section);
// Every value of a section by key, read with one opening of the store.
QHash<QString, QString> readAll(const QString& section);
} // namespace SettingsStore
