#pragma once

#include <QString>
#include <QTemporaryDir>

// Points HOME and the XDG folders at a fresh temporary folder, so that settings, the program
// folder and the single-instance channel of a test never touch the user's own.
class TestEnvironment {
public:
    TestEnvironment();
    QString root() const { return m_dir.path(); }
    QString programFolder() const;
    // Writes a file (bytes as given) below the root and returns its absolute path.
    QString writeFile(const QString& relativePath, const QByteArray& bytes) const;
    static QByteArray readFile(const QString& path);

private:
    QTemporaryDir m_dir;
};
