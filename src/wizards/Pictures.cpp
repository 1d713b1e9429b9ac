#include "wizards/Pictures.h"

#include "editor/DocumentHost.h"
#include "editor/EditableDocument.h"
#include "platform/Dialogs.h"
#include "platform/TextFile.h"

#include "markup/PictureTags.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageIOHandler>
#include <QImageReader>
#include <QPointer>

namespace {

Dialogs::FileRequest pictureRequest(DocumentHost& host) {
    Dialogs::FileRequest request;
    request.folder = host.dialogFolder();
    request.filter = QString::fromLatin1(kPictureFilter);
    request.filterIndex = 1;
    return request;
}

void rememberFolderOf(DocumentHost& host, const QString& path) {
    if (!path.isEmpty() && host.settings().LastDir)
        host.setDialogFolder(QFileInfo(path).absolutePath());
}

} // namespace

QString MakeRelativePath(DocumentHost& host, const QString& path) {
    return MakeRelativePath(host.documents().currentEditable(), path);
}

QString MakeRelativePath(const EditableDocument* document, const QString& path) {
    return MakeRelativePath(path, document ? document->savedPath() : QString());
}

QString BrowseForFolder(DocumentHost& host) {
    return Dialogs::instance().chooseFolder(
        host.dialogParent(), QCoreApplication::translate("Pictures", "Please select a folder:"),
        host.dialogFolder());
}

QString ShowPictureDialog(DocumentHost& host) {
    const QString path = Dialogs::instance().openFile(host.dialogParent(), pictureRequest(host));
    rememberFolderOf(host, path);
    return path;
}

QStringList ShowPicturesDialog(DocumentHost& host) {
    QStringList paths = Dialogs::instance().openFiles(host.dialogParent(), pictureRequest(host));
    paths.removeAll(QString());
    // The files of one choice share a folder.
    rememberFolderOf(host, paths.value(0));
    return paths;
}

std::optional<QSize> PictureSize(const QString& path) {
    QFile file;
    QString reason;
    if (path.isEmpty() || !OpenRegularFile(path, kMaxPictureBytes, file, reason))
        return std::nullopt;
    QImageReader reader(&file);
    QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return std::nullopt;
    // Browsers turn a photograph as its orientation mark says; the tag gives the size they show.
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    return size;
}

void InsertPictureFromMenu(DocumentHost& host, EditableDocument& document) {
    const QPointer<EditableDocument> target(&document);
    const QString path = ShowPictureDialog(host);
    // The window may have been closed while the dialog was open.
    if (path.isEmpty() || !target)
        return;
    target->InsertAtCursor(PictureTag(MakeRelativePath(path, target->savedPath())));
}

void InsertPicturesFromToolbox(DocumentHost& host) {
    EditableDocument* current = host.documents().currentEditable();
    if (!current || current->isMinimized())
        return;
    const QPointer<EditableDocument> target(current);
    const QStringList paths = ShowPicturesDialog(host);
    if (!target)
        return;
    const QString documentPath = target->savedPath();
    for (const QString& path : paths) {
        QString tag = SizedPictureTag(MakeRelativePath(path, documentPath), PictureSize(path));
        if (paths.size() > 1)
            tag += QStringLiteral("\r\n");
        target->InsertAtCursor(tag);
    }
}
