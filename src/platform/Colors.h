#pragma once

#include <QColor>

// A colour as the editor stores it: red + 256 * green + 65536 * blue.
using ColorValue = int;

inline QColor colorFromValue(ColorValue value) {
    return QColor(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
}

inline ColorValue valueFromColor(const QColor& color) {
    return color.red() + 256 * color.green() + 65536 * color.blue();
}

// One stretch of text in one colour: offsets of the text, or columns of a line.
struct ColorSpan {
    int start = 0;
    int length = 0;
    ColorValue color = 0;
};
