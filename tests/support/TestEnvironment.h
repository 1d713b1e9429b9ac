#pragma once

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <unistd.h>

// Points HOME and the XDG folders at a fresh temporary folder, so that settings, the program
// folder and the single-instance channel of a test never touch the user's own.
class TestEnvironment {
public:
    TestEnvironment() {
        for (const char* sub : {"home", "data", "config", "runtime", "cache"})
            QDir(root()).mkpath(sub);
        QFile::setPermissions(root() + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("HOME", QFile::encodeName(root() + "/home"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(root() + "/data"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root() + "/config"));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root() + "/runtime"));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(root() + "/cache"));
        // QSettings reads XDG_CONFIG_HOME only once per process; point it at this folder explicitly.
        for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, root() + "/config");
    }
    QString root() const { return m_dir.path(); }
    QString programFolder() const { return root() + "/data/Quillora"; }
    // Writes a file (bytes as given) below the root and returns its absolute path.
    QString writeFile(const QString& relativePath, const QByteArray& bytes) const {
        const QString path = root() + "/" + relativePath;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        return path;
    }
    static QByteArray readFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
};

// Runs its scope as the unprivileged user nobody when the test runs as root, who may read and
// write anything; everything below `folder` is nobody's meanwhile, as a user's own files are theirs.
class AsUser {
public:
    explicit AsUser(const QString& folder) : m_folder(folder), m_switched(::geteuid() == 0) {
        if (m_switched && (!own(65534) || ::setegid(65534) != 0 || ::seteuid(65534) != 0))
            qFatal("cannot run as nobody");
    }
    ~AsUser() {
        if (m_switched && ::seteuid(0) == 0 && ::setegid(0) == 0)
            own(0);
    }

private:
    bool own(uid_t user) const {
        bool all = ::lchown(QFile::encodeName(m_folder).constData(), user, user) == 0;
        for (QDirIterator it(m_folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
             it.hasNext();)
            all = ::lchown(QFile::encodeName(it.next()).constData(), user, user) == 0 && all;
        return all;
    }
    const QString m_folder;
    const bool m_switched;
};
