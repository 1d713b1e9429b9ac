#include "platform/TextFile.h"

#include "platform/Charsets.h"
#include "platform/Log.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QStringDecoder>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QByteArray kUtf8Bom("\xEF\xBB\xBF", 3);
// As many links as the system itself follows before it gives up on a loop.
constexpr int kMaxLinkHops = 40;
} // namespace

FileStamp StampOf(const QString& path, const QByteArray* bytes) {
    const QFileInfo info(path);
    FileStamp stamp;
    stamp.link = info.isSymLink();
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
    QByteArray bytes;
    QString reason;
    if (!ReadRegularFile(path, kMaxTextFileBytes, bytes, reason) || qHash(bytes) != known.hash)
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

namespace {
// A descriptor closed when it goes.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    // Handed on: no longer closed here.
    void release() { m_fd = -1; }

private:
    int m_fd;
};

QString tooLarge(const QString& path, qint64 limit) {
    return QStringLiteral("%1 is too large to edit: the limit is %2 MB.")
        .arg(path)
        .arg(limit / (1024 * 1024));
}

// The refusal for what is not a regular file, or nothing when it is one.
std::optional<QString> refusalOf(const QString& path, const struct stat& status) {
    if (S_ISDIR(status.st_mode))
        return QStringLiteral("%1 is a folder, not a file.").arg(path);
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("%1 is not a regular file and cannot be opened as text.").arg(path);
    return std::nullopt;
}
} // namespace

bool OpenRegularFile(const QString& path, qint64 limit, QFile& file, QString& reason, Links links) {
    const QByteArray native = QFile::encodeName(path);
    // Looked at before it is opened: opening a device can already do something (a tape rewinds),
    // and a socket cannot be opened at all.
    struct stat status {};
    if ((links == Links::Refuse ? ::lstat(native.constData(), &status)
                                : ::stat(native.constData(), &status)) != 0) {
        reason = qt_error_string(errno);
        return false;
    }
    if (S_ISLNK(status.st_mode)) {
        reason = QStringLiteral("%1 is a link, which is not followed.").arg(path);
        return false;
    }
    if (const std::optional<QString> refusal = refusalOf(path, status)) {
        reason = *refusal;
        return false;
    }
    if (status.st_size > limit) {
        reason = tooLarge(path, limit);
        return false;
    }
    // Without blocking, in case a pipe took the file's place since (and without following a link
    // that did, where links are refused); it is looked at again below.
    const int flags =
        O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (links == Links::Refuse ? O_NOFOLLOW : 0);
    const int descriptor = ::open(native.constData(), flags);
    if (descriptor < 0) {
        reason = errno == ELOOP ? QStringLiteral("%1 is a link, which is not followed.").arg(path)
                                : qt_error_string(errno);
        return false;
    }
    FileDescriptor owned(descriptor);
    if (::fstat(descriptor, &status) != 0) {
        reason = qt_error_string(errno);
        return false;
    }
    if (const std::optional<QString> refusal = refusalOf(path, status)) {
        reason = *refusal;
        return false;
    }
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        reason = file.errorString();
        return false;
    }
    owned.release();
    return true;
}

bool ReadRegularFile(const QString& path, qint64 limit, QByteArray& bytes, QString& reason, Links links) {
    QFile file;
    if (!OpenRegularFile(path, limit, file, reason, links))
        return false;
    const int descriptor = file.handle();
    struct stat status {};
    ::fstat(descriptor, &status);
    // Read to the end, whatever the size said, but not much past the limit: the last read asks for
    // a little more than the one byte that tells a file over the limit, as some of /proc's files
    // answer only reads of whole records.
    QByteArray read;
    read.reserve(static_cast<qsizetype>(std::min<qint64>(status.st_size, limit) + 1));
    constexpr qint64 kChunk = 1 << 20;
    constexpr qint64 kProbe = 4096;
    for (;;) {
        const qint64 room = limit + 1 - read.size();
        if (room <= 0) {
            reason = tooLarge(path, limit);
            return false;
        }
        const qsizetype before = read.size();
        read.resize(before + static_cast<qsizetype>(std::min(std::max(room, kProbe), kChunk)));
        const ssize_t count =
            ::read(descriptor, read.data() + before, static_cast<size_t>(read.size() - before));
        if (count < 0 && errno == EINTR) {
            read.resize(before);
            continue;
        }
        if (count < 0) {
            reason = qt_error_string(errno);
            return false;
        }
        read.resize(before + static_cast<qsizetype>(count));
        if (count == 0)
            break;
    }
    bytes = std::move(read);
    return true;
}

bool IsWritableFile(const QString& path) {
    // The effective user decides, as it does for the write itself. Saving puts a new file in
    // the old one's place, so its folder must take a new file too.
    const auto writable = [](const QString& name, int mode) {
        return ::faccessat(AT_FDCWD, QFile::encodeName(name).constData(), mode, AT_EACCESS) == 0;
    };
    return writable(path, W_OK) && writable(QFileInfo(path).absolutePath(), W_OK | X_OK);
}

bool readTextFile(const QString& path, LoadedText& out, QString& reason, Links links) {
    QByteArray bytes;
    if (!ReadRegularFile(path, kMaxTextFileBytes, bytes, reason, links))
        return false;
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
    const bool utf16 = DecodeUtf16(bytes, encoding, text);
    if (utf16 ? text.contains(QChar(0)) : bytes.contains('\0')) {
        reason = QStringLiteral("%1 contains NUL bytes: it is binary data, not text.").arg(path);
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

bool writeTextFile(const QString& path, const QString& original, TextEncoding encoding, QString& reason,
                   FileStamp* written, Links links) {
    QString text = original;
    RestoreReservedCharacters(text);
    QByteArray bytes;
    switch (encoding) {
    case TextEncoding::Latin1:
    case TextEncoding::Windows1252:
    case TextEncoding::Iso8859_15:
        if (!EncodeSingleByte(text, encoding, bytes)) {
            // Callers ask the user first; writing other bytes than the file's encoding says would
            // change every untouched character beyond ASCII.
            const qsizetype at = FirstUnencodable(original, encoding).value_or(0);
            reason = QStringLiteral("The text contains %1, which %2 does not have.")
                         .arg(CodePointLabel(CodePointAt(original, at)), EncodingName(encoding));
            return false;
        }
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
    default:
        // Only a fault of the program (or a damaged record of a document) gets here; written on,
        // the file would be emptied.
        reason = QStringLiteral("The text cannot be saved in an unknown encoding (%1).").arg(int(encoding));
        qCWarning(lcQuillora) << "writeTextFile:" << reason << path;
        return false;
    }
    // Through symbolic links to the file they lead to, which is created when it is missing: the
    // links stay as they are.
    QString target = path;
    for (int hop = 0; links == Links::Follow && hop < kMaxLinkHops && QFileInfo(target).isSymLink(); ++hop)
        target = QFileInfo(target).symLinkTarget();
    // QSaveFile follows a link at the name it is given. Where links are not followed it writes a
    // fresh name beside the path, which then replaces whatever stands there, a link too.
    const QString writeTo = links == Links::Follow
                                ? target
                                : QFileInfo(path).absolutePath() + QStringLiteral("/.quillora-save-") +
                                      QString::number(QRandomGenerator::global()->generate64(), 36);
    QSaveFile file(writeTo);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        reason = FailureReason(file, errno);
        return false;
    }
    const QFileInfo old(target);
    if (old.exists() && !old.isSymLink())
        file.setPermissions(old.permissions());
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
    if (writeTo != target &&
        ::rename(QFile::encodeName(writeTo).constData(), QFile::encodeName(target).constData()) != 0) {
        reason = qt_error_string(errno);
        QFile::remove(writeTo);
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
