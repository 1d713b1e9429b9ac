#include "markup/PageNames.h"

PreviewTarget SelectionTarget(const QString& selected, const QString& title) {
    if (selected.isEmpty())
        return {};
    // Searched without changing the text's case, which could change its length ("ß" is "SS").
    const qsizetype href = selected.indexOf(QLatin1String("HREF=\""), 0, Qt::CaseInsensitive);
    const qsizetype src = selected.indexOf(QLatin1String("SRC=\""), 0, Qt::CaseInsensitive);
    qsizetype start = -1;
    if (href >= 0 && (src < 0 || href < src))
        start = href + 6;
    else if (src >= 0)
        start = src + 5;
    if (start >= 0) {
        qsizetype end = selected.indexOf(QLatin1Char('"'), start);
        if (end < 0)
            end = selected.size(); // no closing quote: the rest of the selection
        const QString address = selected.mid(start, end - start);
        if (address.isEmpty())
            return {PreviewTarget::Nothing, QString()};
        return {PreviewTarget::Address, address};
    }
    if (selected.contains(QLatin1Char('\\')) || selected.contains(QLatin1Char('/')) ||
        selected.contains(QLatin1Char(':')))
        return {};
    return {PreviewTarget::Address, title.left(title.lastIndexOf(QLatin1Char('/')) + 1) + selected};
}

QString PreviewFileName(const QString& defaultFormat) {
    const bool unsafe = defaultFormat.isEmpty() || defaultFormat == QLatin1String(".") ||
                        defaultFormat == QLatin1String("..") || defaultFormat.contains(QLatin1Char('/')) ||
                        defaultFormat.contains(QLatin1Char('\\')) || defaultFormat.contains(QChar(0));
    return QStringLiteral("tmpView.") + (unsafe ? QStringLiteral("htm") : defaultFormat);
}

QString SourceFileName(const QUrl& url) {
    // Split before decoding: an encoded "/" is part of the name, not a separator.
    const QString path = url.path(QUrl::FullyEncoded);
    const QString name = QUrl::fromPercentEncoding(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1).toUtf8());
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.contains(QLatin1Char('/')) || name.contains(QChar(0)))
        return QStringLiteral("temp.html");
    return name;
}
