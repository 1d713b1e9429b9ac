#include "platform/Charsets.h"

#include "platform/CharacterSearch.h"

#include <QCoreApplication>
#include <QHash>
#include <QRegularExpression>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <initializer_list>
#include <utility>

namespace {
// The characters of the bytes 0x80 to 0xFF.
using UpperHalf = std::array<char16_t, 128>;

UpperHalf latin1Except(std::initializer_list<std::pair<int, char16_t>> changes) {
    UpperHalf table{};
    for (int i = 0; i < 128; ++i)
        table[i] = char16_t(0x80 + i);
    for (const auto& [byte, character] : changes)
        table[byte - 0x80] = character;
    return table;
}

const UpperHalf& upperHalf(TextEncoding encoding) {
    // 0x81, 0x8D, 0x8F, 0x90 and 0x9D have no character in windows-1252 and stay C1 controls.
    static const UpperHalf windows1252 = latin1Except(
        {{0x80, 0x20AC}, {0x82, 0x201A}, {0x83, 0x0192}, {0x84, 0x201E}, {0x85, 0x2026}, {0x86, 0x2020},
         {0x87, 0x2021}, {0x88, 0x02C6}, {0x89, 0x2030}, {0x8A, 0x0160}, {0x8B, 0x2039}, {0x8C, 0x0152},
         {0x8E, 0x017D}, {0x91, 0x2018}, {0x92, 0x2019}, {0x93, 0x201C}, {0x94, 0x201D}, {0x95, 0x2022},
         {0x96, 0x2013}, {0x97, 0x2014}, {0x98, 0x02DC}, {0x99, 0x2122}, {0x9A, 0x0161}, {0x9B, 0x203A},
         {0x9C, 0x0153}, {0x9E, 0x017E}, {0x9F, 0x0178}});
    static const UpperHalf iso8859_15 = latin1Except({{0xA4, 0x20AC},
                                                      {0xA6, 0x0160},
                                                      {0xA8, 0x0161},
                                                      {0xB4, 0x017D},
                                                      {0xB8, 0x017E},
                                                      {0xBC, 0x0152},
                                                      {0xBD, 0x0153},
                                                      {0xBE, 0x0178}});
    static const UpperHalf latin1 = latin1Except({});
    switch (encoding) {
    case TextEncoding::Windows1252:
        return windows1252;
    case TextEncoding::Iso8859_15:
        return iso8859_15;
    default:
        return latin1;
    }
}

QHash<char16_t, char> reversed(const UpperHalf& table) {
    QHash<char16_t, char> bytes;
    for (int i = 0; i < 128; ++i)
        bytes.insert(table[i], char(0x80 + i));
    return bytes;
}

const QHash<char16_t, char>& bytesOf(TextEncoding encoding) {
    static const QHash<char16_t, char> windows1252 = reversed(upperHalf(TextEncoding::Windows1252));
    static const QHash<char16_t, char> iso8859_15 = reversed(upperHalf(TextEncoding::Iso8859_15));
    static const QHash<char16_t, char> latin1 = reversed(upperHalf(TextEncoding::Latin1));
    switch (encoding) {
    case TextEncoding::Windows1252:
        return windows1252;
    case TextEncoding::Iso8859_15:
        return iso8859_15;
    default:
        return latin1;
    }
}

// Most text is below both ranges: one comparison decides for it.
bool isReserved(char16_t c) {
    return c >= 0x2029 && (c == 0x2029 || c == 0xFDD0 || c == 0xFDD1);
}
bool isPlaceholder(char16_t c) {
    return c >= 0xDC29 && (c == 0xDC29 || c == 0xDCD0 || c == 0xDCD1);
}
} // namespace

std::optional<CharsetName> CharsetDeclaration(const QString& text) {
    static const QRegularExpression declaration(
        QStringLiteral("<meta\\b[^>]*?\\bcharset\\s*=\\s*[\"']?\\s*([a-z0-9._:-]+)|"
                       "<\\?xml\\b[^>]*?\\bencoding\\s*=\\s*[\"']([a-z0-9._:-]+)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = declaration.match(QStringView(text).left(4096));
    if (!match.hasMatch())
        return std::nullopt;
    const int group = match.capturedStart(1) >= 0 ? 1 : 2;
    return CharsetName{match.capturedStart(group), match.capturedLength(group), group == 2};
}

std::optional<TextEncoding> DeclaredCharset(const QByteArray& bytes) {
    const QString head = QString::fromLatin1(bytes.left(4096));
    const std::optional<CharsetName> declared = CharsetDeclaration(head);
    if (!declared)
        return std::nullopt;
    const QString name = head.mid(declared->start, declared->length).toLower();
    static const QStringList windows1252{QStringLiteral("windows-1252"), QStringLiteral("cp1252"),
                                         QStringLiteral("x-cp1252")};
    static const QStringList latin1{
        QStringLiteral("iso-8859-1"), QStringLiteral("iso8859-1"), QStringLiteral("iso_8859-1"),
        QStringLiteral("iso88591"),   QStringLiteral("latin1"),    QStringLiteral("l1"),
        QStringLiteral("cp819"),      QStringLiteral("ibm819"),    QStringLiteral("csisolatin1")};
    static const QStringList iso8859_15{QStringLiteral("iso-8859-15"), QStringLiteral("iso8859-15"),
                                        QStringLiteral("iso_8859-15"), QStringLiteral("iso885915"),
                                        QStringLiteral("latin9"),      QStringLiteral("latin-9"),
                                        QStringLiteral("l9"),          QStringLiteral("csisolatin9")};
    if (windows1252.contains(name))
        return TextEncoding::Windows1252;
    if (latin1.contains(name))
        return declared->xml ? TextEncoding::Latin1 : TextEncoding::Windows1252;
    if (!iso8859_15.contains(name))
        return std::nullopt;
    const bool c1Bytes = std::any_of(bytes.begin(), bytes.end(),
                                     [](char byte) { return uchar(byte) >= 0x80 && uchar(byte) < 0xA0; });
    return c1Bytes ? std::nullopt : std::optional(TextEncoding::Iso8859_15);
}

QString DecodeSingleByte(const QByteArray& bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Latin1)
        return QString::fromLatin1(bytes);
    const UpperHalf& table = upperHalf(encoding);
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* to = text.data();
    for (const char byte : bytes)
        *to++ = QChar(uchar(byte) < 0x80 ? char16_t(uchar(byte)) : table[uchar(byte) - 0x80]);
    return text;
}

bool EncodeSingleByte(const QString& text, TextEncoding encoding, QByteArray& out) {
    const QHash<char16_t, char>& table = bytesOf(encoding);
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* to = bytes.data();
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80) {
            *to++ = char(ch.unicode());
            continue;
        }
        const auto found = table.constFind(ch.unicode());
        if (found == table.constEnd())
            return false;
        *to++ = *found;
    }
    out = std::move(bytes);
    return true;
}

bool DecodeUtf16(const QByteArray& bytes, TextEncoding& encoding, QString& text) {
    const bool little = bytes.startsWith("\xFF\xFE");
    if ((!little && !bytes.startsWith("\xFE\xFF")) || bytes.size() % 2 != 0)
        return false;
    const auto* from = reinterpret_cast<const uchar*>(bytes.constData()) + 2;
    QString decoded(bytes.size() / 2 - 1, Qt::Uninitialized);
    for (qsizetype i = 0; i < decoded.size(); ++i, from += 2)
        decoded[i] = QChar(little ? qFromLittleEndian<char16_t>(from) : qFromBigEndian<char16_t>(from));
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        if (decoded.at(i).isHighSurrogate() && i + 1 < decoded.size() && decoded.at(i + 1).isLowSurrogate())
            ++i;
        else if (decoded.at(i).isSurrogate())
            return false;
    }
    encoding = little ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
    text = std::move(decoded);
    return true;
}

QByteArray EncodeUtf16(const QString& text, TextEncoding encoding) {
    const bool little = encoding == TextEncoding::Utf16LE;
    QByteArray bytes(2 * (text.size() + 1), Qt::Uninitialized);
    auto* to = reinterpret_cast<uchar*>(bytes.data());
    const auto put = [little](char16_t unit, uchar* at) {
        little ? qToLittleEndian(unit, at) : qToBigEndian(unit, at);
    };
    put(0xFEFF, to);
    for (const QChar ch : text)
        put(ch.unicode(), to += 2);
    return bytes;
}

// Both passes go over ordinary text eight characters at a time, and look closer only at
// characters as high as the lowest they change.
void HideReservedCharacters(QString& text) {
    for (qsizetype i = IndexOfCharacterFrom(text, 0x2029, 0); i >= 0;
         i = IndexOfCharacterFrom(text, 0x2029, i + 1)) {
        const char16_t c = text.at(i).unicode();
        if (isReserved(c))
            text[i] = QChar(0xDC00 | (c & 0xFF));
    }
}

void RestoreReservedCharacters(QString& text) {
    for (qsizetype i = IndexOfCharacterFrom(text, 0xDC29, 0); i >= 0;
         i = IndexOfCharacterFrom(text, 0xDC29, i + 1)) {
        const char16_t c = text.at(i).unicode();
        // The low half of a pair is a character of its own, not a placeholder.
        if (isPlaceholder(c) && !(i > 0 && text.at(i - 1).isHighSurrogate()))
            text[i] = QChar(c == 0xDC29 ? 0x2029 : 0xFD00 | (c & 0xFF));
    }
}

QString EncodingName(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf8WithBom:
        return QCoreApplication::translate("Charsets", "UTF-8 with byte-order mark");
    case TextEncoding::Latin1:
        return QStringLiteral("Latin-1");
    case TextEncoding::Windows1252:
        return QStringLiteral("Windows-1252");
    case TextEncoding::Iso8859_15:
        return QStringLiteral("ISO-8859-15");
    case TextEncoding::Utf16LE:
        return QStringLiteral("UTF-16LE");
    case TextEncoding::Utf16BE:
        return QStringLiteral("UTF-16BE");
    }
    return QString();
}

bool IsSingleByte(TextEncoding encoding) {
    return encoding == TextEncoding::Latin1 || encoding == TextEncoding::Windows1252 ||
           encoding == TextEncoding::Iso8859_15;
}

namespace {
bool encodable(char16_t c, const QHash<char16_t, char>& table) {
    return c < 0x80 || table.contains(c);
}
} // namespace

std::optional<qsizetype> FirstUnencodable(const QString& text, TextEncoding encoding) {
    if (!IsSingleByte(encoding))
        return std::nullopt;
    const QHash<char16_t, char>& table = bytesOf(encoding);
    const auto* data = reinterpret_cast<const char16_t*>(text.constData());
    const auto* found =
        std::find_if(data, data + text.size(), [&table](char16_t c) { return !encodable(c, table); });
    if (found == data + text.size())
        return std::nullopt;
    return found - data;
}

char32_t CodePointAt(const QString& text, qsizetype at) {
    Q_ASSERT(at >= 0 && at < text.size());
    const QChar c = text.at(at);
    if (c.isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate())
        return QChar::surrogateToUcs4(c, text.at(at + 1));
    if (isPlaceholder(c.unicode()) && !(at > 0 && text.at(at - 1).isHighSurrogate())) {
        QString restored(c);
        RestoreReservedCharacters(restored);
        return restored.at(0).unicode();
    }
    return c.unicode();
}

QString CodePointLabel(char32_t codePoint) {
    return QStringLiteral("U+%1").arg(uint(codePoint), 4, 16, QLatin1Char('0')).toUpper();
}

QString WithCharacterReferences(const QString& text, TextEncoding encoding) {
    if (!IsSingleByte(encoding))
        return text;
    const QHash<char16_t, char>& table = bytesOf(encoding);
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (encodable(text.at(i).unicode(), table)) {
            out += text.at(i);
            continue;
        }
        const char32_t codePoint = CodePointAt(text, i);
        if (codePoint > 0xFFFF)
            ++i; // the pair's second half
        out += QStringLiteral("&#%1;").arg(uint(codePoint));
    }
    return out;
}
