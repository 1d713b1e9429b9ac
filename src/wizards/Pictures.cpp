#include "wizards/Pictures.h"

#include "editor/DocumentHost.h"
#include "editor/frmNotepad.h"
#include "platform/Dialogs.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageIOHandler>
#include <QImageReader>
#include <QPointer>

const char* const kPictureFilter =
    "GIF, JPEG, PNG (*.gif,*.jpg,*.png)|*.gif;*.jpg;*.png|BMP (*.bmp)|*.bmp|GIF (*.gif)|*.gif|"
    "JPEG (*.jpg)|*.jpg|PNG (*.png)|*.png|All files (*.*)|*.*";

namespace {

// Percent-encodes what would end the attribute or change what the reference means (a fragment,
// a query, an escape), and control characters, which a file name may hold but markup may not.
QString encodeReference(const QString& reference) {
    QString encoded;
    encoded.reserve(reference.size());
    for (const QChar c : reference) {
        const char16_t code = c.unicode();
        if (code < 0x20 || code == 0x7F || code == u'"' || code == u'#' || code == u'?' || code == u'%' ||
            code == u'\\')
            encoded +=
                QLatin1Char('%') + QString::number(code, 16).toUpper().rightJustified(2, QLatin1Char('0'));
        else
            encoded += c;
    }
    return encoded;
}

// The path with "." and ".." resolved and doubled separators joined. The root is its own parent,
// so ".." above it is dropped: "/../a.gif" is "/a.gif", and no reference made from it climbs.
QString cleanPath(const QString& path) {
    QString clean = QDir::cleanPath(path);
    while (clean == QLatin1String("/..") || clean.startsWith(QLatin1String("/../")))
        clean = clean.size() == 3 ? QStringLiteral("/") : clean.mid(3);
    return clean;
}

// The path the document in `slot` was saved as; "" when it never was.
QString savedPathOf(DocumentHost& host, int slot) {
    const DocumentTable& table = host.documents();
    if (slot < 0 || slot >= table.slotCount() || table.DocumentSlots[slot].Free)
        return {};
    return table.DocumentSlots[slot].PathCaption;
}

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

QString MakeRelativePath(const QString& path, const QString& documentPath) {
    if (path.isEmpty())
        return {};
    // Compared after ".." and doubled separators are resolved, so "/site/../other/a.gif" does
    // not pass for a file below "/site".
    const QString file = cleanPath(path);
    QString reference = file;
    if (!documentPath.isEmpty()) {
        const QString document = cleanPath(documentPath);
        const qsizetype slash = document.lastIndexOf(QLatin1Char('/'));
        if (slash >= 0) {
            const QString folder = document.left(slash + 1); // with its "/", so "/a/bc" is not below "/a/b"
            if (file.size() > folder.size() && file.startsWith(folder))
                reference = file.mid(folder.size());
        }
    }
    return encodeReference(reference);
}

QString MakeRelativePath(DocumentHost& host, const QString& path) {
    return MakeRelativePath(host, host.documents().current(), path);
}

QString MakeRelativePath(DocumentHost& host, const frmNotepad* document, const QString& path) {
    return MakeRelativePath(path, document ? savedPathOf(host, document->slot()) : QString());
}

QString BrowseForFolder(DocumentHost& host) {
    return Dialogs::instance().chooseFolder(host.dialogParent(), QStringLiteral("Please select a folder:"),
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

QString PictureTag(const QString& reference) {
    return QStringLiteral("<IMG SRC=\"") + reference + QStringLiteral("\" BORDER=\"0\" ALT=\"\">");
}

QString SizedPictureTag(const QString& reference, std::optional<QSize> size) {
    if (!size)
        return PictureTag(reference);
    return QStringLiteral("<IMG SRC=\"") + reference + QStringLiteral("\" WIDTH=\"") +
           QString::number(size->width()) + QStringLiteral("\" HEIGHT=\"") + QString::number(size->height()) +
           QStringLiteral("\" BORDER=\"0\" ALT=\"\">");
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

void InsertPictureFromMenu(frmNotepad& document) {
    DocumentHost& host = document.host();
    const QPointer<frmNotepad> target(&document);
    const QString path = ShowPictureDialog(host);
    // The window may have been closed while the dialog was open.
    if (path.isEmpty() || !target)
        return;
    target->InsertAtCursor(PictureTag(MakeRelativePath(path, savedPathOf(host, target->slot()))));
}

void InsertPicturesFromToolbox(DocumentHost& host) {
    frmNotepad* current = host.documents().current();
    if (!current || current->isMinimized())
        return;
    const QPointer<frmNotepad> target(current);
    const QStringList paths = ShowPicturesDialog(host);
    if (!target)
        return;
    const QString documentPath = savedPathOf(host, target->slot());
    for (const QString& path : paths) {
        QString tag = SizedPictureTag(MakeRelativePath(path, documentPath), PictureSize(path));
        if (paths.size() > 1)
            tag += QStringLiteral("\r\n");
        target->InsertAtCursor(tag);
    }
}
