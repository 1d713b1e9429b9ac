#pragma once

#include <QFile>
#include <QSet>
#include <QString>

// The file names of the shared libraries a process has mapped ("self" for this one), as the kernel
// lists them: what a running program has loaded, whatever it was linked with.
inline QSet<QString> MappedLibraries(const QString& pid = QStringLiteral("self")) {
    QSet<QString> names;
    QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
    if (!maps.open(QIODevice::ReadOnly))
        return names;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const qsizetype slash = line.lastIndexOf('/');
        if (slash >= 0 && line.contains(".so"))
            names.insert(QString::fromUtf8(line.mid(slash + 1)));
    }
    return names;
}

// The libraries among `names` that belong to the browser engine or the HTML checker.
inline QStringList HeavyLibraries(const QSet<QString>& names) {
    QStringList heavy;
    for (const QString& name : names)
        if (name.startsWith(QLatin1String("libQt6WebEngine")) ||
            name.startsWith(QLatin1String("libQt6Quick")) || name.startsWith(QLatin1String("libQt6Qml")) ||
            name.startsWith(QLatin1String("libtidy")) || name.startsWith(QLatin1String("quillora-browser")))
            heavy << name;
    heavy.sort();
    return heavy;
}
