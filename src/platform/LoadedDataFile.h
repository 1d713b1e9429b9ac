#pragma once

#include "platform/TextFile.h"

#include <QCoreApplication>
#include <QString>
#include <QThread>

// The table `Table::parse` makes of the UTF-8 data file at `path`, read again only when the file
// changes (a user may edit it while the program runs). One table of each type is kept, for the
// last path asked for; only the interface thread asks. A file that is missing or cannot be read
// gives an empty table (the reader logs why, once for each state of the file).
template <class Table> const Table& LoadedDataFile(const QString& path) {
    Q_ASSERT(!QCoreApplication::instance() ||
             QThread::currentThread() == QCoreApplication::instance()->thread());
    static QString loadedPath;
    static FileStamp loaded;
    static Table table;
    const FileStamp now = StampOf(path);
    if (path == loadedPath && now.exists == loaded.exists && now.size == loaded.size &&
        now.modified == loaded.modified && now.device == loaded.device && now.inode == loaded.inode)
        return table;
    loadedPath = path;
    loaded = now;
    table = Table();
    QByteArray bytes;
    QString reason;
    if (now.exists && ReadRegularFile(path, kMaxDataFileBytes, bytes, reason, Links::Refuse))
        table = Table::parse(QString::fromUtf8(bytes));
    return table;
}
