#include "platform/TextFile.h"

#include "platform/CharacterSearch.h"
#include "platform/Charsets.h"
#include "platform/Log.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
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
#include <sys/xattr.h>
#include <unistd.h>

namespace {
const QByteArray kUtf8Bom("\xEF\xBB\xBF", 3);
// As many links as the system itself follows before it gives up on a loop.
constexpr int kMaxLinkHops = 40;
} // namespace

size_t ContentHash(const QByteArray& bytes) {
    constexpr size_t kSeed = 0x51f15e;
    return qHashBits(bytes.constData(), size_t(bytes.size()), kSeed);
}

FileStamp StampOf(const QString& path, const QByteArray* bytes) {
    const QFileInfo info(path);
    FileStamp stamp;
    stamp.link = info.isSymLink();
    stamp.exists = info.exists() && !info.isDir();
    if (!stamp.exists)
        return stamp;
    stamp.size = info.size();
    stamp.modified = info.lastModified().toMSecsSinceEpoch();
    struct stat reached {};
    if (::stat(QFile::encodeName(path).constData(), &reached) == 0) {
        stamp.device = reached.st_dev;
        stamp.inode = reached.st_ino;
    }
    if (bytes)
        stamp.hash = ContentHash(*bytes);
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
    if (!ReadRegularFile(path, kMaxTextFileBytes, bytes, reason) || ContentHash(bytes) != known.hash)
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
    return QCoreApplication::translate("TextFile", "%1 is too large to edit: the limit is %2 MB.")
        .arg(path)
        .arg(limit / (1024 * 1024));
}

// The refusal for what is not a regular file, or nothing when it is one.
std::optional<QString> refusalOf(const QString& path, const struct stat& status) {
    if (S_ISDIR(status.st_mode))
        return QCoreApplication::translate("TextFile", "%1 is a folder, not a file.").arg(path);
    if (!S_ISREG(status.st_mode))
        return QCoreApplication::translate("TextFile",
                                           "%1 is not a regular file and cannot be opened as text.")
            .arg(path);
    return std::nullopt;
}
} // namespace

namespace {
bool openRegularFile(const QString& path, qint64 limit, QFile& file, QString& reason, Links links) {
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
        reason = QCoreApplication::translate("TextFile", "%1 is a link, which is not followed.").arg(path);
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
        reason =
            errno == ELOOP
                ? QCoreApplication::translate("TextFile", "%1 is a link, which is not followed.").arg(path)
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
} // namespace

bool OpenRegularFile(const QString& path, qint64 limit, QFile& file, QString& reason, Links links) {
    if (openRegularFile(path, limit, file, reason, links))
        return true;
    // The program's own files are read where links are refused; that one of them is there and
    // cannot be read is told nowhere else (a missing one is as good as empty).
    struct stat status {};
    if (links == Links::Refuse && ::lstat(QFile::encodeName(path).constData(), &status) == 0)
        qCWarning(lcQuillora) << "not read:" << path << "-" << reason;
    return false;
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
    // The effective user decides, as it does for the write itself.
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
}

qint64 EstimatedDocumentMemory(const QString& text) {
    constexpr qint64 kPerLine = 250;
    constexpr qint64 kPerCharacter = 4;
    // Every LF and every CR not before one ends a line. Each is found by the vectorised search
    // for one character, from one to the next: about twice as fast on a page of ordinary lines
    // as a look at every character.
    qint64 lines = 1 + CountOfCharacter(text, u'\n');
    for (qsizetype at = IndexOfCharacter(text, u'\r', 0); at >= 0; at = IndexOfCharacter(text, u'\r', at + 1))
        if (at + 1 == text.size() || text.at(at + 1) != u'\n')
            ++lines;
    return lines * kPerLine + text.size() * kPerCharacter;
}

bool DecodeTextFile(const QString& path, const QByteArray& bytes, QString& text, TextEncoding& encoding,
                    QString& reason) {
    encoding = TextEncoding::Utf8;
    const bool utf16 = DecodeUtf16(bytes, encoding, text);
    if (utf16 ? text.contains(QChar(0)) : bytes.contains('\0')) {
        reason =
            QCoreApplication::translate("TextFile", "%1 contains NUL bytes: it is binary data, not text.")
                .arg(path);
        return false;
    }
    if (!utf16) {
        const bool bom = bytes.startsWith(kUtf8Bom);
        // The mark, if any, is already cut off; a second one is text and must be kept, or saving
        // would drop its bytes.
        QStringDecoder utf8(QStringDecoder::Utf8,
                            QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        text = utf8.decode(bom ? QByteArrayView(bytes).sliced(kUtf8Bom.size()) : QByteArrayView(bytes));
        if (!utf8.hasError()) {
            encoding = bom ? TextEncoding::Utf8WithBom : TextEncoding::Utf8;
        } else {
            encoding = DeclaredCharset(bytes).value_or(TextEncoding::Latin1);
            text = DecodeSingleByte(bytes, encoding);
        }
    }
    HideReservedCharacters(text);
    return true;
}

bool readTextFile(const QString& path, LoadedText& out, QString& reason, Links links) {
    QByteArray bytes;
    if (!ReadRegularFile(path, kMaxTextFileBytes, bytes, reason, links))
        return false;
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
    if (!DecodeTextFile(path, bytes, text, encoding, reason))
        return false;
    // Refused before the document is built: a few megabytes of line breaks would take gigabytes.
    if (const qint64 memory = EstimatedDocumentMemory(text); memory > kMaxDocumentMemory) {
        reason =
            QCoreApplication::translate(
                "TextFile", "%1 has too many lines to edit: it would take about %2 MB of memory (the limit "
                            "is %3 MB).")
                .arg(path)
                .arg(memory / (1024 * 1024))
                .arg(kMaxDocumentMemory / (1024 * 1024));
        return false;
    }
    out.text = std::move(text);
    out.encoding = encoding;
    out.stamp = StampOf(path, &bytes);
    return true;
}

namespace {
// The bytes of the text in the encoding; false (and why) when they cannot be had.
bool encodeForFile(const QString& original, TextEncoding encoding, QByteArray& bytes, QString& reason) {
    QString text = original;
    RestoreReservedCharacters(text);
    switch (encoding) {
    case TextEncoding::Latin1:
    case TextEncoding::Windows1252:
    case TextEncoding::Iso8859_15:
        if (!EncodeSingleByte(text, encoding, bytes)) {
            // Callers ask the user first; writing other bytes than the file's encoding says would
            // change every untouched character beyond ASCII.
            const qsizetype at = FirstUnencodable(original, encoding).value_or(0);
            reason = QCoreApplication::translate("TextFile", "The text contains %1, which %2 does not have.")
                         .arg(CodePointLabel(CodePointAt(original, at)), EncodingName(encoding));
            return false;
        }
        return true;
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
        bytes = EncodeUtf16(text, encoding);
        return true;
    case TextEncoding::Utf8WithBom:
        bytes = kUtf8Bom + text.toUtf8();
        return true;
    case TextEncoding::Utf8:
        bytes = text.toUtf8();
        return true;
    }
    // Only a fault of the program (or a damaged record of a document) gets here; written on, the
    // file would be emptied.
    reason = QCoreApplication::translate("TextFile", "The text cannot be saved in an unknown encoding (%1).")
                 .arg(int(encoding));
    qCWarning(lcQuillora) << "writeTextFile:" << reason;
    return false;
}

// Writes all of `bytes` at the start of the open file `descriptor`, then cuts it there.
bool overwrite(int descriptor, const QByteArray& bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t count = ::pwrite(descriptor, bytes.constData() + done,
                                       static_cast<size_t>(bytes.size() - done), static_cast<off_t>(done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        done += count;
    }
    return ::ftruncate(descriptor, static_cast<off_t>(bytes.size())) == 0 && ::fsync(descriptor) == 0;
}

// Gives a new file what the old one at `oldPath` had besides its bytes: its owner and group where
// the user may set them (the group alone where they are in it), its extended attributes (access
// control lists among them) where they may be set, and its mode, last, as a change of owner clears
// some of its bits.
void carryOver(int newFile, const QByteArray& oldPath, const struct stat& old) {
    if (::fchown(newFile, old.st_uid, old.st_gid) != 0 &&
        ::fchown(newFile, static_cast<uid_t>(-1), old.st_gid) != 0)
        qCDebug(lcQuillora) << "the saved file keeps its new group" << oldPath;
    ssize_t size = ::llistxattr(oldPath.constData(), nullptr, 0);
    QByteArray names(size > 0 ? size : 0, Qt::Uninitialized);
    size = size > 0 ? ::llistxattr(oldPath.constData(), names.data(), static_cast<size_t>(names.size())) : 0;
    for (const QByteArray& name : names.left(std::max<ssize_t>(size, 0)).split('\0')) {
        if (name.isEmpty())
            continue;
        const ssize_t length = ::lgetxattr(oldPath.constData(), name.constData(), nullptr, 0);
        QByteArray value(length > 0 ? length : 0, Qt::Uninitialized);
        if (length < 0 || ::lgetxattr(oldPath.constData(), name.constData(), value.data(),
                                      static_cast<size_t>(value.size())) != length)
            continue;
        // Security labels and the like need privileges the user may not have: those stay behind.
        if (::fsetxattr(newFile, name.constData(), value.constData(), static_cast<size_t>(value.size()), 0) !=
            0)
            qCDebug(lcQuillora) << "an attribute stays behind:" << name << oldPath;
    }
    ::fchmod(newFile, old.st_mode & 07777);
}

// Writes the file where it is: for a file with several names (hard links), which a new file would
// part from the others, and for one in a folder that takes no new file. The old content is copied
// to `backupFolder` first and put back if the write fails; the copy goes once the write is done.
bool writeInPlace(const QString& target, const QByteArray& bytes, const QString& backupFolder,
                  QString& reason) {
    QByteArray old;
    if (!ReadRegularFile(target, kMaxTextFileBytes, old, reason))
        return false;
    if (QFileInfo(backupFolder).isSymLink() || !QDir().mkpath(backupFolder)) {
        reason = QCoreApplication::translate(
                     "TextFile", "No copy of the file could be made before it is written in place: ") +
                 backupFolder;
        return false;
    }
    const QString backup = backupFolder + QLatin1Char('/') + QFileInfo(target).fileName() + QLatin1Char('-') +
                           QString::number(QDateTime::currentMSecsSinceEpoch()) + QStringLiteral(".backup");
    QSaveFile copy(backup);
    if (!copy.open(QIODevice::WriteOnly) || !copy.setPermissions(QFile::ReadOwner | QFile::WriteOwner) ||
        copy.write(old) != old.size() || !copy.commit()) {
        reason = QCoreApplication::translate(
                     "TextFile", "No copy of the file could be made before it is written in place: ") +
                 copy.errorString();
        return false;
    }
    const int descriptor = ::open(QFile::encodeName(target).constData(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) {
        reason = qt_error_string(errno);
        QFile::remove(backup);
        return false;
    }
    FileDescriptor file(descriptor);
    if (!overwrite(descriptor, bytes)) {
        reason = qt_error_string(errno);
        if (overwrite(descriptor, old))
            QFile::remove(backup);
        else
            reason +=
                QCoreApplication::translate("TextFile", " The file's earlier content is kept in ") + backup;
        return false;
    }
    QFile::remove(backup);
    return true;
}
} // namespace

bool writeTextFile(const QString& path, const QString& original, TextEncoding encoding, QString& reason,
                   FileStamp* written, Links links, const QString& backupFolder) {
    QByteArray bytes;
    if (!encodeForFile(original, encoding, bytes, reason))
        return false;
    // Through symbolic links to the file they lead to, which is created when it is missing: the
    // links stay as they are.
    QString target = path;
    for (int hop = 0; links == Links::Follow && hop < kMaxLinkHops && QFileInfo(target).isSymLink(); ++hop)
        target = QFileInfo(target).symLinkTarget();
    const QByteArray nativeTarget = QFile::encodeName(target);
    struct stat old {};
    const bool exists = ::lstat(nativeTarget.constData(), &old) == 0 && S_ISREG(old.st_mode);
    const QString folder = QFileInfo(target).absolutePath();
    if (exists && !backupFolder.isEmpty() &&
        (old.st_nlink > 1 ||
         ::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK | X_OK, AT_EACCESS) != 0)) {
        if (!writeInPlace(target, bytes, backupFolder, reason))
            return false;
        if (written)
            *written = StampOf(path, &bytes);
        return true;
    }
    // A file the user may not write is never replaced by a new one: QSaveFile refuses it at its own
    // name, but not when it writes a fresh name beside it (links refused).
    if (exists && !IsWritableFile(target)) {
        reason = QCoreApplication::translate("TextFile", "Existing file %1 is not writable").arg(target);
        return false;
    }
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
    if (exists)
        carryOver(file.handle(), nativeTarget, old);
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
