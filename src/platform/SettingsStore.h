#pragma once

#include <QString>
#include <QStringList>

// The per-user settings store: string values by section and key, kept by QSettings under
// the organisation and application name "Quillora".
namespace SettingsStore {
QString read(const QString& section, const QString& key, const QString& fallback = QString());
bool contains(const QString& section, const QString& key);
void write(const QString& section, const QString& key, const QString& value);
QStringList keys(const QString& section);
} // namespace SettingsStore
