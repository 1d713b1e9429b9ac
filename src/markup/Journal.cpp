#include "markup/Journal.h"

#include "platform/Charsets.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <algorithm>

namespace {
const QByteArray kMagic = QByteArrayLiteral("QUILLORA-JOURNAL 2");
const QByteArray kFirstMagic = QByteArrayLiteral("QUILLORA-JOURNAL 1");
const std::pair<SaveFormat, QByteArray> kFormatNames[] = {
    {SaveFormat::Dos, "dos"}, {SaveFormat::Unix, "unix"}, {SaveFormat::Mac, "mac"}};
// The second version names the encoding; the first wrote the enumeration's number, in this order.
const std::pair<TextEncoding, QByteArray> kEncodingNames[] = {{TextEncoding::Utf8, "utf-8"},
                                                              {TextEncoding::Utf8WithBom, "utf-8-bom"},
                                                              {TextEncoding::Latin1, "latin-1"},
                                                              {TextEncoding::Windows1252, "windows-1252"},
                                                              {TextEncoding::Iso8859_15, "iso-8859-15"},
                                                              {TextEncoding::Utf16LE, "utf-16le"},
                                                              {TextEncoding::Utf16BE, "utf-16be"}};

QByteArray checksum(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
}

template <typename Value, size_t N>
QByteArray nameOf(const std::pair<Value, QByteArray> (&names)[N], Value value) {
    for (const auto& [known, name] : names)
        if (known == value)
            return name;
    return QByteArray();
}

template <typename Value, size_t N>
bool valueOf(const std::pair<Value, QByteArray> (&names)[N], const QByteArray& name, Value& value) {
    for (const auto& [known, knownName] : names)
        if (knownName == name) {
            value = known;
            return true;
        }
    return false;
}

// The first version's encoding: a number, known only if it is one of the encodings.
bool firstVersionEncoding(const QByteArray& field, TextEncoding& encoding) {
    bool ok = false;
    const int number = field.toInt(&ok);
    if (!ok || number < 0 || number >= int(std::size(kEncodingNames)))
        return false;
    encoding = kEncodingNames[number].first;
    return true;
}
} // namespace

namespace {

// The text's UTF-8 bytes a slice at a time. The text control's stand-ins for its reserved
// characters are not valid UTF-8; the journal holds the characters themselves, as the file would.
// A slice never ends between the halves of a pair, so the bytes are those of the whole text.
template <typename Use> bool forEachUtf8Slice(const QString& text, Use use) {
    constexpr qsizetype kSlice = 64 * 1024;
    for (qsizetype at = 0; at < text.size();) {
        qsizetype end = std::min(text.size(), at + kSlice);
        if (end < text.size() && text.at(end - 1).isHighSurrogate())
            ++end;
        QString slice = text.mid(at, end - at);
        RestoreReservedCharacters(slice);
        if (!use(slice.toUtf8()))
            return false;
        at = end;
    }
    return true;
}

} // namespace

bool WriteJournalTo(QIODevice& out, const JournalEntry& entry) {
    // The header names the text's length and its sum covers the header: the text is encoded once
    // to count, once to sum and once to write, rather than held encoded whole.
    qsizetype length = 0;
    forEachUtf8Slice(entry.text, [&](const QByteArray& bytes) {
        length += bytes.size();
        return true;
    });
    const QByteArray format = nameOf(kFormatNames, entry.format);
    const QByteArray encoding = nameOf(kEncodingNames, entry.encoding);
    Q_ASSERT(!format.isEmpty() && !encoding.isEmpty()); // the enumerations' values all have names
    const QByteArray header = kMagic + "\npid=" + QByteArray::number(entry.owner.pid) +
                              "\nstarted=" + QByteArray::number(entry.owner.started) +
                              "\npath=" + entry.path.toUtf8().toPercentEncoding() + "\nformat=" + format +
                              "\nencoding=" + encoding + "\nlength=" + QByteArray::number(length);
    QCryptographicHash sum(QCryptographicHash::Sha1);
    sum.addData(header);
    sum.addData(QByteArrayView("\n\n"));
    forEachUtf8Slice(entry.text, [&](const QByteArray& bytes) {
        sum.addData(bytes);
        return true;
    });
    if (out.write(header + "\nsha1=" + sum.result().toHex() + "\n\n") < 0)
        return false;
    return forEachUtf8Slice(entry.text,
                            [&](const QByteArray& bytes) { return out.write(bytes) == bytes.size(); });
}

QByteArray EncodeJournal(const JournalEntry& entry) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    WriteJournalTo(buffer, entry);
    return buffer.data();
}

bool DecodeJournal(const QByteArray& bytes, JournalEntry& entry) {
    const qsizetype end = bytes.indexOf("\n\n");
    if (end < 0)
        return false;
    const QByteArray head = bytes.left(end);
    const QList<QByteArray> lines = head.split('\n');
    const bool first = lines.first() == kFirstMagic;
    if (!first && lines.first() != kMagic)
        return false;
    QHash<QByteArray, QByteArray> fields;
    for (const QByteArray& line : lines.mid(1)) {
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0 || fields.contains(line.left(equals)))
            return false;
        fields.insert(line.left(equals), line.mid(equals + 1));
    }
    const QByteArray text = bytes.mid(end + 2);
    // The second version's sum covers the header up to its own line, which comes last.
    const qsizetype sumLine = head.lastIndexOf("\nsha1=");
    const QByteArray summed = first ? text : head.left(sumLine) + "\n\n" + text;
    bool pidOk = false, startedOk = false, lengthOk = false;
    JournalEntry read;
    read.owner = {fields.value("pid").toLongLong(&pidOk), fields.value("started").toLongLong(&startedOk)};
    const qsizetype length = fields.value("length").toLongLong(&lengthOk);
    const bool encodingOk = first ? firstVersionEncoding(fields.value("encoding"), read.encoding)
                                  : valueOf(kEncodingNames, fields.value("encoding"), read.encoding);
    const bool formatOk = valueOf(kFormatNames, fields.value("format"), read.format);
    if (!pidOk || !startedOk || !lengthOk || !encodingOk || !formatOk || !fields.contains("path") ||
        length != text.size() || (!first && sumLine < 0) || fields.value("sha1") != checksum(summed))
        return false;
    read.path = QString::fromUtf8(QByteArray::fromPercentEncoding(fields.value("path")));
    read.text = QString::fromUtf8(text);
    HideReservedCharacters(read.text);
    entry = std::move(read);
    return true;
}

QString JournalFileName(const JournalOwner& owner, int window) {
    return QStringLiteral("%1-%2-%3.journal").arg(owner.pid).arg(owner.started).arg(window);
}

bool JournalFileOwner(const QString& fileName, JournalOwner& owner) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d+)-(\\d+)-\\d+\\.journal$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (match.hasMatch())
        owner = {match.captured(1).toLongLong(), match.captured(2).toLongLong()};
    return match.hasMatch();
}
