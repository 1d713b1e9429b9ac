#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

TestEnvironment::TestEnvironment() {
    const QString base = m_dir.path();
    for (const char* sub : {"home", "data", "config", "runtime", "cache"})
        QDir(base).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(base + "/runtime",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", (base + "/home").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (base + "/data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (base + "/config").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (base + "/runtime").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (base + "/cache").toLocal8Bit());
    // QSettings reads XDG_CONFIG_HOME only once per process; point it at this folder explicitly.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, base + "/config");
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, base + "/config");
}

QString TestEnvironment::programFolder() const {
    return m_dir.path() + "/data/Quillora";
}

QString TestEnvironment::writeFile(const QString& relativePath, const QByteArray& bytes) const {
    const QString path = m_dir.path() + "/" + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

QByteArray TestEnvironment::readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
