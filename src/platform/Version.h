#pragma once

#include <QString>
#include <QUrl>

// The running version as people read it: "3.60".
inline QString VersionText() {
    return QStringLiteral("%1.%2").arg(QUILLORA_VERSION_MAJOR).arg(QUILLORA_VERSION_REVISION);
}

// "Quillora (3.60)": the title of every message box and the main window's caption.
inline QString MessageBoxTitle() {
    return QStringLiteral("Quillora (%1)").arg(VersionText());
}

// What "Check for update..." shows: the help's section on updates, read from disk (updates come
// with the package the program was installed from), told the running version.
inline QString UpdatePageAddress(const QString& programFolder) {
    QUrl url = QUrl::fromLocalFile(programFolder + QStringLiteral("/help/index.htm"));
    url.setQuery(QStringLiteral("version=") + VersionText());
    url.setFragment(QStringLiteral("updates"));
    return url.toString(QUrl::FullyEncoded);
}
