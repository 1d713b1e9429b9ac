#include "markup/PictureTags.h"

#include <QDir>

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
