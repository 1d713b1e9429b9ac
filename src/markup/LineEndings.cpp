#include "markup/LineEndings.h"

#include "platform/CharacterSearch.h"
#include "platform/Charsets.h"

#include <cstring>
#include <utility>

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
            const qsizetype at = IndexOfCharacter(text, u'\n', from);
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
    const qsizetype size = text.size();
    // How many characters go in: a CR before each lone LF, an LF after each lone CR. A text
    // without CRs (a UNIX file) has its LFs counted from one to the next, each found by the
    // vectorised search (QString::count looks at one character at a time).
    const bool hasCR = text.contains(kCR);
    qsizetype added = 0;
    if (!hasCR) {
        added = CountOfCharacter(text, u'\n');
    } else {
        const auto* const chars = reinterpret_cast<const char16_t*>(text.constData());
        for (qsizetype i = 0; i < size; ++i) {
            if (chars[i] == u'\r' && i + 1 < size && chars[i + 1] == u'\n')
                ++i;
            else if (chars[i] == u'\r' || chars[i] == u'\n')
                ++added;
        }
    }
    if (added == 0)
        return std::move(text);
    // From the end backwards, each stretch moves up by the insertions still before it, so a
    // character is read before anything is written over it, and nothing needs keeping aside.
    text.resize(size + added);
    char16_t* const out = reinterpret_cast<char16_t*>(text.data());
    qsizetype end = size; // [0, end) holds the text as it was
    // The stretch from `place` to `end` moves up by `by`; `put` goes in before it.
    const auto moveUp = [out, &end](qsizetype place, qsizetype by, char16_t put) {
        std::memmove(out + place + by, out + place, size_t(end - place) * sizeof(char16_t));
        out[place + by - 1] = put;
        end = place;
    };
    if (!hasCR) { // every LF gets a CR before it
        for (qsizetype left = added; left > 0; --left) {
            const qsizetype lf = LastIndexOfCharacter(QStringView(out, end), u'\n', end);
            Q_ASSERT(lf >= 0);
            moveUp(lf, left, u'\r');
        }
        return std::move(text);
    }
    char16_t next = 0; // what stood after position i before anything moved
    for (qsizetype i = size - 1, left = added; left > 0; --i) {
        Q_ASSERT(i >= 0);
        const char16_t c = out[i];
        const bool loneLF = c == u'\n' && (i == 0 || out[i - 1] != u'\r');
        const bool loneCR = c == u'\r' && next != u'\n';
        next = c;
        if (loneLF || loneCR)
            moveUp(loneLF ? i : i + 1, left--, loneLF ? u'\r' : u'\n');
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
    for (qsizetype cr = IndexOfCharacter(text, u'\r', 0); cr >= 0 && cr + 1 < text.size();
         cr = IndexOfCharacter(text, u'\r', cr + 1))
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
