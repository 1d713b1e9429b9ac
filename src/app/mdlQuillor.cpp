#include "app/mdlQuillor.h"

#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

QString ProgramFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Quillora");
}

QStringList DataFileNames() {
    return {QStringLiteral("/default.htm"),  QStringLiteral("/commands.txt"),
            QStringLiteral("/css.txt"),      QStringLiteral("/formats.txt"),
            QStringLiteral("/owncom.txt"),   QStringLiteral("/finds.txt"),
            QStringLiteral("/replaces.txt"), QStringLiteral("/temp/"),
            QStringLiteral("/skins/"),       QStringLiteral("/skins/default.skn")};
}

// The shipped files are compiled into a static library, whose resources must be registered by hand.
static void registerDataResources() {
    Q_INIT_RESOURCE(data);
}

void SeedDataFiles(const QString& programFolder) {
    registerDataResources();
    // The folder holds unsaved text (preview copies, recovery journals): the user's alone.
    QDir().mkpath(programFolder);
    QFile::setPermissions(programFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDirIterator it(QStringLiteral(":/data"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString resource = it.next();
        const QString target = programFolder + resource.mid(QStringLiteral(":/data").size());
        if (PathExists(target))
            continue;
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile source(resource);
        QFile out(target);
        // Written by hand rather than copied: a copy would keep the resource's read-only mode.
        if (source.open(QIODevice::ReadOnly) && out.open(QIODevice::NewOnly))
            out.write(source.readAll());
    }
}

void EnsureDataFiles(const QString& programFolder) {
    for (const QString& name : DataFileNames()) {
        const QString path = programFolder + name;
        if (PathExists(path))
            continue;
        if (name.endsWith(QLatin1Char('/'))) {
            QDir().mkdir(path.chopped(1));
        } else {
            QFile file(path);
            // Opened for appending, so a file that appeared meanwhile is never changed.
            if (file.open(QIODevice::Append))
                file.close();
        }
    }
}

QStringList ReadCommandWords(const QString& programFolder) {
    QStringList words{QString()};
    QByteArray bytes;
    QString reason;
    if (!ReadRegularFile(programFolder + QStringLiteral("/commands.txt"), kMaxDataFileBytes, bytes, reason,
                         Links::Refuse))
        return words;
    const QString text = QString::fromUtf8(bytes);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (i == lines.size() - 1 && line.isEmpty())
            break;
        if (!line.trimmed().isEmpty())
            words << line;
    }
    return words;
}

QStringList AbsolutePaths(const QStringList& arguments) {
    QStringList paths;
    for (const QString& argument : arguments) {
        if (!argument.isEmpty()) // a name of blanks is a name
            paths << QFileInfo(argument).absoluteFilePath();
    }
    return paths;
}
