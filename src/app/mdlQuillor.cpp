#include "app/mdlQuillor.h"

#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
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

namespace {
// Whether the file at `path` holds other bytes than the resource (or cannot be read).
bool differsFrom(const QString& path, const QString& resource) {
    QByteArray bytes;
    QString reason;
    QFile shipped(resource);
    return !ReadRegularFile(path, kMaxDataFileBytes, bytes, reason, Links::Refuse) ||
           !shipped.open(QIODevice::ReadOnly) || shipped.readAll() != bytes;
}
} // namespace

void SeedDataFiles(const QString& programFolder) {
    registerDataResources();
    // The folder holds unsaved text (preview copies, recovery journals): the user's alone.
    QDir().mkpath(programFolder);
    QFile::setPermissions(programFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDirIterator it(QStringLiteral(":/data"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString resource = it.next();
        const QString name = resource.mid(QStringLiteral(":/data").size());
        const QString target = programFolder + name;
        // The help is the program's own and goes with its version: an older copy is replaced. Every
        // other file is the user's once it is there.
        if (PathExists(target) &&
            !(name.startsWith(QLatin1String("/help/")) && differsFrom(target, resource)))
            continue;
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile source(resource);
        if (!source.open(QIODevice::ReadOnly))
            continue;
        // Written by hand rather than copied: a copy would keep the resource's read-only mode.
        if (!PathExists(target)) {
            QFile out(target);
            if (out.open(QIODevice::NewOnly)) { // a file that appeared meanwhile is left alone
                if (out.write(source.readAll()) != source.size())
                    qCWarning(lcQuillora) << "data file not written:" << target << "-" << out.errorString();
            } else if (!PathExists(target)) {
                qCWarning(lcQuillora) << "data file not made:" << target << "-" << out.errorString();
            }
            continue;
        }
        if (QFileInfo(target).isSymLink())
            continue;          // never written through: it may lead anywhere
        QSaveFile out(target); // an older help page, replaced in one step
        out.setDirectWriteFallback(false);
        if (!out.open(QIODevice::WriteOnly) || out.write(source.readAll()) != source.size() || !out.commit())
            qCWarning(lcQuillora) << "help not brought up to date:" << target << "-" << out.errorString();
    }
}

void EnsureDataFiles(const QString& programFolder) {
    for (const QString& name : DataFileNames()) {
        const QString path = programFolder + name;
        if (PathExists(path))
            continue;
        if (name.endsWith(QLatin1Char('/'))) {
            if (!QDir().mkdir(path.chopped(1)))
                qCWarning(lcQuillora) << "folder not made:" << path;
        } else {
            QFile file(path);
            // Opened for appending, so a file that appeared meanwhile is never changed.
            if (file.open(QIODevice::Append))
                file.close();
            else
                qCWarning(lcQuillora) << "data file not made:" << path << "-" << file.errorString();
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
    // A byte-order mark an editor put in front is no part of the first word.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
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
