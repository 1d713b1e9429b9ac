#include "markup/TagText.h"

#include <QStringList>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

QString FormatLines(const QString& text, const QString& start, const QString& end, const QString& lineStart,
                    const QString& lineEnd) {
    QString out;
    if (!start.isEmpty())
        out += start + kCrLf;
    QStringList lines = text.split(kCrLf);
    if (lines.last().isEmpty())
        lines.removeLast();
    for (const QString& line : lines)
        out += lineStart + line + lineEnd + kCrLf;
    if (!end.isEmpty())
        out += end + kCrLf;
    return out;
}

QString SortLines(const QString& text, bool ascending) {
    QStringList lines = text.split(kCrLf);
    // A text ending in a line break ends its last line; the empty piece after it is no line.
    const bool endsWithBreak = text.endsWith(kCrLf);
    if (endsWithBreak)
        lines.removeLast();
    if (ascending)
        std::stable_sort(lines.begin(), lines.end());
    else
        std::stable_sort(lines.begin(), lines.end(),
                         [](const QString& a, const QString& b) { return b < a; });
    return lines.join(kCrLf) + (endsWithBreak ? kCrLf : QString());
}

std::optional<QString> UnCommentText(const QString& selected) {
    // The longer closings first: a script comment's "//" belongs to its closing.
    struct Form {
        QLatin1String opening, closing;
    };
    static const Form forms[] = {{QLatin1String("<!--"), QLatin1String("//-->")},
                                 {QLatin1String("<!--"), QLatin1String("//->")},
                                 {QLatin1String("<!--"), QLatin1String("-->")},
                                 {QLatin1String("<!-"), QLatin1String("//->")}};
    for (const Form& form : forms) {
        // Opening and closing must not overlap: "<!-->" is no comment with an inside.
        if (selected.size() < form.opening.size() + form.closing.size() ||
            !selected.startsWith(form.opening) || !selected.endsWith(form.closing))
            continue;
        const QString inner =
            selected.mid(form.opening.size(), selected.size() - form.opening.size() - form.closing.size());
        if (inner.isEmpty())
            return std::nullopt;
        return inner;
    }
    return std::nullopt;
}
