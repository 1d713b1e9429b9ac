#include "markup/OwnCommands.h"

#include "platform/TextFile.h"

#include <QStringList>

namespace {
constexpr int kSlots = 20;
const QLatin1String kCrLf("\r\n");
const QLatin1String kStartMarker("#START:");
const QLatin1String kEndMarker("#END:");

// Takes a marker ("#START:" + text + "#") off the front of `rest` and puts its text in `text`.
// Leaves `rest` alone and returns false when it does not start with the marker or the marker has
// no closing "#".
bool takeMarker(QStringView& rest, QLatin1String marker, QString& text) {
    if (!rest.startsWith(marker))
        return false;
    const qsizetype close = rest.indexOf(QLatin1Char('#'), marker.size());
    if (close < 0)
        return false;
    text = rest.sliced(marker.size(), close - marker.size()).toString();
    rest = rest.sliced(close + 1);
    return true;
}

QString withBreaks(QString text) {
    return text.replace(QLatin1String("%%"), kCrLf);
}

bool hasBreak(const QString& text) {
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

// Every CR LF, lone CR or lone LF of `text` replaced by `by`.
QString replaceBreaks(const QString& text, QLatin1String by) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) {
            result += c;
            continue;
        }
        result += by;
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
    }
    return result;
}

} // namespace

OwnCommandTable::OwnCommandTable() {
    for (int index = 1; index <= kSlots; ++index)
        slot[index].name = defaultName(index);
}

OwnCommandTable LoadOwnCommands(const QString& path) {
    OwnCommandTable table;
    LoadedText loaded;
    QString reason;
    if (!readTextFile(path, loaded, reason, Links::Refuse))
        return table;
    const QStringList lines = SplitLines(loaded.text, 2 * kSlots);
    for (int index = 1; index <= kSlots && 2 * index - 2 < lines.size(); ++index) {
        OwnCommand& own = table.slot[index];
        if (!lines.at(2 * index - 2).isEmpty())
            own.name = lines.at(2 * index - 2);
        if (2 * index - 1 < lines.size())
            own.command = lines.at(2 * index - 1);
        table.visible[index] = !own.command.isEmpty();
    }
    return table;
}

bool WriteOwnCommands(const QString& path, const OwnCommandTable& table) {
    QString text;
    for (int index = 1; index <= kSlots; ++index) {
        const OwnCommand& own = table.slot[index];
        if (own.command.isEmpty())
            continue;
        text += hasBreak(own.name) ? replaceBreaks(own.name, QLatin1String(" ")) : own.name;
        text += kCrLf;
        text += hasBreak(own.command) ? replaceBreaks(own.command, QLatin1String("%%")) : own.command;
        text += kCrLf;
    }
    // Written in one step: a failed write leaves the old file as it was.
    QString reason;
    return writeTextFile(path, text, TextEncoding::Utf8, reason);
}

OwnCommandParts SplitOwnCommand(const QString& command) {
    OwnCommandParts parts;
    QStringView rest(command);
    parts.hasBeginning = takeMarker(rest, kStartMarker, parts.beginning);
    parts.hasEnd = takeMarker(rest, kEndMarker, parts.end);
    parts.code = rest.toString();
    return parts;
}

QString JoinOwnCommand(const OwnCommandParts& parts) {
    QString command;
    if (parts.hasBeginning)
        command += kStartMarker + QString(parts.beginning).remove(QLatin1Char('#')) + QLatin1Char('#');
    if (parts.hasEnd)
        command += kEndMarker + QString(parts.end).remove(QLatin1Char('#')) + QLatin1Char('#');
    return command + parts.code;
}

QString BuildOwnCommandText(const QString& command, const QString& selected) {
    const OwnCommandParts parts = SplitOwnCommand(command);
    // "%%" is replaced before the selection goes in, so the selection's own "%%" stays as it is.
    const QString code = withBreaks(parts.code);
    const qsizetype at = code.indexOf(QLatin1String("@@"));
    if (at < 0)
        return code;
    const QStringView before = QStringView(code).first(at);
    const QStringView after = QStringView(code).sliced(at + 2);
    QString result = before.toString();
    if (!parts.hasBeginning && !parts.hasEnd)
        return result.append(selected).append(after);

    const QString beginning = withBreaks(parts.beginning);
    const QString end = withBreaks(parts.end);
    const QStringView rest(selected);
    qsizetype start = 0;
    for (;;) {
        const qsizetype lineEnd = selected.indexOf(kCrLf, start);
        const QStringView line = lineEnd < 0 ? rest.sliced(start) : rest.sliced(start, lineEnd - start);
        result.append(beginning).append(line).append(end).append(kCrLf);
        if (lineEnd < 0)
            break;
        start = lineEnd + 2;
        if (start == selected.size()) // the selection's final break starts no further line
            break;
    }
    if (!selected.endsWith(kCrLf))
        result.chop(2);
    return result.append(after);
}
