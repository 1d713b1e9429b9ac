#include "markup/LineEndings.h"

#include "platform/Charsets.h"

#include <cstring>
#include <utility>
#include <vector>

namespace {
constexpr QChar kCR(13);
constexpr QChar kLF(10);
const QString kCrLf = QStringLiteral("\r\n");
} // namespace

QString NormalizeToCrLf(const QString& text) {
    const auto* const chars = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype size = text.size();
    // A text without CRs (a UNIX file) is searched for its LFs vectorised; others a character at
    // a time.
    const bool hasCR = text.contains(kCR);
    const auto nextBreak = [&](qsizetype from) {
        if (!hasCR) {
            const qsizetype at = text.indexOf(kLF, from);
            return at < 0 ? size : at;
        }
        while (from < size && chars[from] != u'\r' && chars[from] != u'\n')
            ++from;
        return from;
    };
    QString out;
    qsizetype copied = 0; // chars before this are in `out` already
    // Only lone CRs and lone LFs change; the text between them is copied in one piece each.
    for (qsizetype i = nextBreak(0); i < size; i = nextBreak(i + 1)) {
        if (chars[i] == u'\r' && i + 1 < size && chars[i + 1] == u'\n') {
            ++i;
            continue;
        }
        if (copied == 0)
            out.reserve(size + size / 32 + 2);
        out.append(QStringView(chars + copied, i - copied));
        out.append(kCrLf);
        copied = i + 1;
    }
    if (copied == 0)
        return text; // every break is CR LF already
    out.append(QStringView(chars + copied, size - copied));
    return out;
}

QString NormalizeToCrLf(QString&& text) {
    if (!text.isDetached())
        return NormalizeToCrLf(std::as_const(text));
    const auto* chars = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype size = text.size();
    // Where a character goes in, in ascending order: a CR before a lone LF, an LF after a lone CR.
    // Each is kept as twice its place in the text, plus one for an LF.
    std::vector<qsizetype> insertions;
    if (!text.contains(kCR)) {
        for (qsizetype at = text.indexOf(kLF); at >= 0; at = text.indexOf(kLF, at + 1))
            insertions.push_back(2 * at);
    } else {
        for (qsizetype i = 0; i < size; ++i) {
            if (chars[i] == u'\r' && i + 1 < size && chars[i + 1] == u'\n')
                ++i;
            else if (chars[i] == u'\r')
                insertions.push_back(2 * (i + 1) + 1);
            else if (chars[i] == u'\n')
                insertions.push_back(2 * i);
        }
    }
    if (insertions.empty())
        return std::move(text);
    // From the end backwards, each stretch moves up by the insertions before it, so nothing is
    // overwritten before it has moved.
    text.resize(size + qsizetype(insertions.size()));
    char16_t* const out = reinterpret_cast<char16_t*>(text.data());
    qsizetype end = size; // the stretch still to move ends here
    for (qsizetype n = qsizetype(insertions.size()); n > 0; --n) {
        const qsizetype place = insertions[size_t(n - 1)] / 2;
        Q_ASSERT(place <= end);
        std::memmove(out + place + n, out + place, size_t(end - place) * sizeof(char16_t));
        out[place + n - 1] = insertions[size_t(n - 1)] % 2 ? u'\n' : u'\r';
        end = place;
    }
    return std::move(text);
}

QString ConvertToCr(const QString& text) {
    QString out = text;
    out.replace(kCrLf, QString(kCR));
    out.replace(kLF, kCR);
    return out;
}

QString ConvertToLf(const QString& text) {
    QString out = text;
    out.replace(kCrLf, QString(kLF));
    out.replace(kCR, kLF);
    return out;
}

QString ConvertForSave(const QString& text, SaveFormat format) {
    switch (format) {
    case SaveFormat::Mac:
        return ConvertToCr(text);
    case SaveFormat::Unix:
        return ConvertToLf(text);
    case SaveFormat::Dos:
        break;
    }
    return NormalizeToCrLf(text);
}

std::optional<SaveFormat> DetectLineBreaks(const QString& text) {
    // CR LF is looked for from one CR to the next, each found by the vectorised search for one
    // character: a UNIX file, with none, costs one pass, not a search for the pair through it all.
    for (qsizetype cr = text.indexOf(kCR); cr >= 0 && cr + 1 < text.size(); cr = text.indexOf(kCR, cr + 1))
        if (text.at(cr + 1) == kLF)
            return SaveFormat::Dos;
    if (text.contains(kLF))
        return SaveFormat::Unix;
    if (text.contains(kCR))
        return SaveFormat::Mac;
    return std::nullopt;
}

QString TextForDocument(const QString& text) {
    QString converted = NormalizeToCrLf(text);
    HideReservedCharacters(converted);
    return converted;
}
