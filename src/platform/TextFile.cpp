#include "platform/TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {
const QByteArray kUtf8Bom("\xEF\xBB\xBF", 3);

bool fitsLatin1(const QString& text) {
    for (const QChar ch : text) {
        if (ch.unicode() > 0xFF)
            return false;
    }
    return true;
}
} // namespace

bool readTextFile(const QString& path, LoadedText& out, QString& reason) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
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
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reason = file.errorString();
        return false;
    }
    if (bytes.contains('\0')) {
        reason = QStringLiteral("The file contains NUL bytes: it is binary data, not text.");
        return false;
    }
    const bool bom = bytes.startsWith(kUtf8Bom);
    // The mark, if any, is already cut off; a second one is text and must be kept, or saving
    // would drop its bytes.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(bom ? bytes.mid(kUtf8Bom.size()) : bytes);
    if (!utf8.hasError()) {
        out.text = std::move(text);
        out.encoding = bom ? TextEncoding::Utf8WithBom : TextEncoding::Utf8;
    } else {
        out.text = QString::fromLatin1(bytes);
        out.encoding = TextEncoding::Latin1;
    }
    return true;
}

bool writeTextFile(const QString& path, const QString& text, TextEncoding& encoding, QString& reason) {
    if (encoding == TextEncoding::Latin1 && !fitsLatin1(text))
        encoding = TextEncoding::Utf8;
    QByteArray bytes;
    switch (encoding) {
    case TextEncoding::Latin1:
        bytes = text.toLatin1();
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
    if (!file.open(QIODevice::WriteOnly)) {
        reason = file.errorString();
        return false;
    }
    if (QFileInfo::exists(target))
        file.setPermissions(QFileInfo(target).permissions());
    // The buffered bytes are flushed and checked first: commit() does not report a failure to
    // write them (a full disk, a size limit), and would put a truncated file in place of the old.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        reason = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        reason = file.errorString();
        return false;
    }
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
