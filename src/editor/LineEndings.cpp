#include "editor/LineEndings.h"

namespace {
constexpr QChar kCR(13);
constexpr QChar kLF(10);
const QString kCrLf = QStringLiteral("\r\n");
} // namespace

QString NormalizeToCrLf(const QString& text) {
    if (!text.contains(kCR) && !text.contains(kLF))
        return text;
    QString out;
    out.reserve(text.size() + text.size() / 32 + 2);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = text.at(i);
        if (ch == kCR) {
            out.append(kCrLf);
            if (i + 1 < n && text.at(i + 1) == kLF)
                ++i;
        } else if (ch == kLF) {
            out.append(kCrLf);
        } else {
            out.append(ch);
        }
    }
    return out;
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
    if (text.contains(kCrLf))
        return SaveFormat::Dos;
    if (text.contains(kLF))
        return SaveFormat::Unix;
    if (text.contains(kCR))
        return SaveFormat::Mac;
    return std::nullopt;
}
