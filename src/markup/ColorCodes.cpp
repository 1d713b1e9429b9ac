#include "markup/ColorCodes.h"

#include <algorithm>

QChar HexDigit(int n) {
    return QLatin1Char("0123456789abcdef"[std::clamp(n, 0, 15)]);
}

QString RGBToHex(int red, int green, int blue) {
    QString code(QLatin1Char('#'));
    for (int component : {red, green, blue}) {
        const int value = std::clamp(component, 0, 255);
        code += HexDigit(value / 16);
        code += HexDigit(value % 16);
    }
    return code;
}

int HexValue(const QString& digit) {
    if (digit.isEmpty())
        return 0;
    const char16_t c = digit.at(0).unicode();
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return 0;
}

namespace {

// The digits read as a whole number, clamped to 0..255 and written without leading zeros; the
// cursor, given in the raw digits, keeps its place among the digits that remain.
DigitResult Normalized(const QString& digits, int cursor) {
    bool ok = false;
    const int value = digits.toInt(&ok);
    DigitResult result;
    result.changed = true;
    if (ok && value > 255) {
        result.text = QStringLiteral("255");
        result.cursor = 3;
        return result;
    }
    result.text = QString::number(ok ? value : 0);
    const int dropped = static_cast<int>(digits.size() - result.text.size());
    result.cursor = std::clamp(cursor - std::max(dropped, 0), 0, static_cast<int>(result.text.size()));
    return result;
}

} // namespace

DigitResult ApplyDigit(const QString& text, int cursor, int selectionStart, int selectionLength,
                       QChar digit) {
    const int length = static_cast<int>(text.size());
    cursor = std::clamp(cursor, 0, length);
    if (digit.unicode() < u'0' || digit.unicode() > u'9')
        return {text, cursor, false};

    const int start = std::clamp(selectionStart, 0, length);
    const int selected = std::clamp(selectionLength, 0, length - start);
    if (selected > 0) {
        DigitResult result;
        result.text = text.left(start) + digit + text.mid(start + selected);
        bool ok = false;
        const int value = result.text.toInt(&ok);
        if (ok && value > 255)
            result.text = QStringLiteral("255");
        result.cursor = std::min(start + 1, static_cast<int>(result.text.size()));
        result.changed = true;
        return result;
    }
    if (length >= 3)
        return {text, cursor, false};
    if (length == 2 && cursor == 1)
        return Normalized(text.left(1) + digit + text.mid(1), 2);
    if (cursor > 0)
        return Normalized(text + digit, length + 1);
    const QString rest = text == QStringLiteral("0") ? QString() : text;
    return Normalized(digit + rest, 1);
}
