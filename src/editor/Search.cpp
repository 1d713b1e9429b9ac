#include "editor/Search.h"

#include "platform/RichTextControl.h"
#include "platform/TextFile.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <climits>

namespace {

constexpr int kHistoryLines = 40;
constexpr qint64 kHistoryChunk = 64 * 1024;

Qt::CaseSensitivity sensitivity(bool matchCase) {
    return matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

} // namespace

qsizetype FindMatch(QStringView text, QStringView find, qsizetype from, bool downward, bool matchCase) {
    if (find.isEmpty() || find.size() > text.size())
        return -1;
    // QStringView counts a negative `from` back from the end; here it only ever means "before the
    // text", so both directions are clamped before Qt sees them.
    const qsizetype lastStart = text.size() - find.size();
    if (downward) {
        if (from > lastStart)
            return -1;
        return text.indexOf(find, std::max<qsizetype>(from, 0), sensitivity(matchCase));
    }
    if (from <= 0)
        return -1;
    // lastIndexOf finds a match starting at or before its `from`.
    return text.lastIndexOf(find, std::min(from - 1, lastStart), sensitivity(matchCase));
}

QString ReplaceAllText(const QString& text, const QString& find, const QString& replacement, bool matchCase,
                       int* count) {
    const Qt::CaseSensitivity cs = sensitivity(matchCase);
    const QStringView source(text);
    // The matches are counted first so that the result is allocated once, at its final size: a
    // page of megabytes with hundreds of thousands of matches is then copied exactly once.
    qsizetype matches = 0;
    if (!find.isEmpty()) {
        for (qsizetype at = source.indexOf(find, 0, cs); at >= 0;
             at = source.indexOf(find, at + find.size(), cs))
            ++matches;
    }
    if (count)
        *count = int(std::min<qsizetype>(matches, INT_MAX));
    if (matches == 0)
        return text;

    QString result;
    result.reserve(text.size() + matches * (replacement.size() - find.size()));
    qsizetype from = 0;
    for (qsizetype at = source.indexOf(find, 0, cs); at >= 0; at = source.indexOf(find, from, cs)) {
        result.append(source.sliced(from, at - from));
        result.append(replacement);
        from = at + find.size();
    }
    result.append(source.sliced(from));
    return result;
}

int GoToNumber(const QString& box) {
    qsizetype i = 0;
    while (i < box.size() && (box.at(i) == QLatin1Char(' ') || box.at(i) == QLatin1Char('\t')))
        ++i;
    qint64 number = 0;
    for (; i < box.size() && box.at(i) >= QLatin1Char('0') && box.at(i) <= QLatin1Char('9'); ++i) {
        number = number * 10 + (box.at(i).unicode() - '0');
        if (number >= INT_MAX)
            return INT_MAX; // further digits only make it larger
    }
    return int(number);
}

int GoToOffset(const RichTextControl& control, int line, int character) {
    line = std::max(line, 1);
    character = std::max(character, 1);
    if (line > control.lineCount())
        return control.textLength();
    const int start = control.lineIndex(line - 1);
    // The column is clamped before it is added, so a huge character number cannot overflow.
    return start + std::min(character - 1, control.lineLength(start));
}

QStringList ReadSearchHistory(const QString& path) {
    QFile file;
    QString reason;
    if (!OpenRegularFile(path, kMaxDataFileBytes, file, reason, Links::Refuse))
        return {};
    // Read in chunks and only until 40 lines are complete, so that a large file costs no more
    // than its first lines. The decoder keeps a UTF-8 sequence split between chunks whole.
    QStringDecoder decoder(QStringDecoder::Utf8);
    QStringList lines;
    QString pending; // text after the last complete line
    qsizetype lineStart = 0;
    qsizetype scan = 0; // where the search for the next break goes on
    bool atEnd = false;
    // No further than a history can be long, even when the file grows meanwhile.
    for (qint64 read = 0; !atEnd && lines.size() < kHistoryLines && read <= kMaxDataFileBytes;) {
        const QByteArray bytes = file.read(kHistoryChunk);
        if (bytes.isEmpty() && file.error() != QFileDevice::NoError)
            return {};
        atEnd = bytes.isEmpty();
        read += bytes.size();
        pending.remove(0, lineStart);
        scan -= lineStart;
        lineStart = 0;
        pending += decoder(bytes);
        for (; scan < pending.size() && lines.size() < kHistoryLines; ++scan) {
            const QChar c = pending.at(scan);
            if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
                continue;
            const bool last = scan + 1 == pending.size();
            if (c == QLatin1Char('\r') && last && !atEnd)
                break; // the LF of a CR LF may open the next chunk
            lines.append(pending.sliced(lineStart, scan - lineStart));
            if (c == QLatin1Char('\r') && !last && pending.at(scan + 1) == QLatin1Char('\n'))
                ++scan;
            lineStart = scan + 1;
        }
    }
    // A last line without a break of its own; a break at the very end starts no further line.
    if (lines.size() < kHistoryLines && lineStart < pending.size())
        lines.append(pending.sliced(lineStart));
    return lines;
}

bool WriteSearchHistory(const QString& path, const QStringList& entries) {
    QString text;
    for (const QString& entry : entries) {
        // An entry holding a line break would read back as several entries, so it is not kept.
        if (entry.isEmpty() || entry.contains(QLatin1Char('\r')) || entry.contains(QLatin1Char('\n')))
            continue;
        text += entry;
        text += QLatin1String("\r\n");
    }
    // Nothing to keep (every written entry takes at least 3 characters): the file stays as it is
    // rather than losing a history that was stored before.
    if (text.size() <= 2)
        return true;
    QString reason;
    return writeTextFile(path, text, TextEncoding::Utf8, reason);
}
