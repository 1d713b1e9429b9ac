#include "platform/TextFile.h"

#include "platform/Charsets.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <cerrno>

namespace {
const QByteArray kUtf8Bom("\xEF\xBB\xBF", 3);
} // namespace

FileStamp StampOf(const QString& path, const QByteArray* bytes) {
    const QFileInfo info(path);
    FileStamp stamp;
    stamp.exists = info.exists() && !info.isDir();
    if (!stamp.exists)
        return stamp;
    stamp.size = info.size();
    stamp.modified = info.lastModified().toMSecsSinceEpoch();
    if (bytes)
        stamp.hash = qHash(*bytes);
    return stamp;
}

bool StillAsStamped(const QString& path, FileStamp& known) {
    const FileStamp now = StampOf(path);
    if (now.exists != known.exists || now.size != known.size)
        return false;
    if (!now.exists || now.modified == known.modified)
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || qHash(file.readAll()) != known.hash)
        return false;
    known.modified = now.modified; // the same bytes: only the time changed
    return true;
}

QString FailureReason(const QFileDevice& file, int errorNumber) {
    const QString own = file.errorString();
    // A device that saw no error of its own says "Unknown error"; a short write (a full disk) is one.
    if (file.error() != QFileDevice::NoError && own != QFile().errorString())
        return own;
    return errorNumber != 0 ? qt_error_string(errorNumber) : own;
}

bool readTextFile(const QString& path, LoadedText& out, QString& reason) {
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        reason = FailureReason(file, errno);
        return false;
    }
    if (QFileInfo(path).isDir()) {
        reason = QStringLiteral("It is a folder, not a file.");
        return false;
    }
    const qint64 size = file.size();
    if (size > kMaxTextFileBytes) {
        reason = QStringLiteral("The file is too large to edit (%1 MB; the limit is %2 MB).")
                     .arg(size / (1024 * 1024))
                     .arg(kMaxTextFileBytes / (1024 * 1024));
        return false;
    }
    errno = 0;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reason = FailureReason(file, errno);
        return false;
    }
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
    const bool utf16 = DecodeUtf16(bytes, encoding, text);
    if (utf16 ? text.contains(QChar(0)) : bytes.contains('\0')) {
        reason = QStringLiteral("The file contains NUL bytes: it is binary data, not text.");
        return false;
    }
    if (!utf16) {
        const bool bom = bytes.startsWith(kUtf8Bom);
        // The mark, if any, is already cut off; a second one is text and must be kept, or saving
        // would drop its bytes.
        QStringDecoder utf8(QStringDecoder::Utf8,
                            QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        text = utf8.decode(bom ? bytes.mid(kUtf8Bom.size()) : bytes);
        if (!utf8.hasError()) {
            encoding = bom ? TextEncoding::Utf8WithBom : TextEncoding::Utf8;
        } else {
            encoding = DeclaredCharset(bytes).value_or(TextEncoding::Latin1);
            text = DecodeSingleByte(bytes, encoding);
        }
    }
    HideReservedCharacters(text);
    out.text = std::move(text);
    out.encoding = encoding;
    out.stamp = StampOf(path, &bytes);
    return true;
}

bool writeTextFile(const QString& path, const QString& original, TextEncoding& encoding, QString& reason,
                   FileStamp* written) {
    QString text = original;
    RestoreReservedCharacters(text);
    QByteArray bytes;
    switch (encoding) {
    case TextEncoding::Latin1:
    case TextEncoding::Windows1252:
    case TextEncoding::Iso8859_15:
        if (EncodeSingleByte(text, encoding, bytes))
            break;
        encoding = TextEncoding::Utf8;
        bytes = text.toUtf8();
        break;
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
        bytes = EncodeUtf16(text, encoding);
        break;
    case TextEncoding::Utf8WithBom:
        bytes = kUtf8Bom + text.toUtf8();
        break;
    case TextEncoding::Utf8:
        bytes = text.toUtf8();
        break;
    }
    // Write through a symbolic link to its target instead of replacing the link.
    const QFileInfo info(path);
    const QString target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
    QSaveFile file(target);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        reason = FailureReason(file, errno);
        return false;
    }
    if (QFileInfo::exists(target))
        file.setPermissions(QFileInfo(target).permissions());
    // Unbuffered and written until all is out: a short write (a full disk, a size limit) is
    // followed by one that fails and says why. commit() would not report bytes left unwritten,
    // and would put a truncated file in place of the old.
    for (qint64 done = 0; done < bytes.size();) {
        errno = 0;
        const qint64 count = file.write(bytes.constData() + done, bytes.size() - done);
        if (count <= 0) {
            reason = FailureReason(file, errno);
            file.cancelWriting();
            return false;
        }
        done += count;
    }
    errno = 0;
    if (!file.commit()) {
        reason = FailureReason(file, errno);
        return false;
    }
    if (written)
        *written = StampOf(path, &bytes);
    return true;
}

QStringList SplitLines(const QString& text, int limit) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size() && lines.size() < limit; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.sliced(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (lines.size() < limit && start < text.size())
        lines.append(text.sliced(start));
    return lines;
}
