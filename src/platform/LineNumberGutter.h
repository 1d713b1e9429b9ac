#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QWidget>
#include <array>
#include <vector>

class RichTextControl;

// `base` moved towards `tint` by `amount` (0 to 1): the faint colours of the view are blends of
// the palette's own, so they suit a light background and a dark one alike.
QColor blendColors(const QColor& base, const QColor& tint, double amount);
// `preferred` where it stands out from `background`, else black or white, whichever does.
QColor readableOn(const QColor& background, const QColor& preferred);

// The strip left of the text with the number of each line on screen, in the text's font. A long
// line shown in pieces is one line: only its first piece is numbered. The cursor's line has its
// number in bold and full ink, the others are dimmed.
class LineNumberGutter : public QWidget {
    Q_OBJECT
public:
    explicit LineNumberGutter(RichTextControl& control);

    // One row of the text on screen as the gutter paints it; `number` is "" for a later piece of
    // a long line.
    struct Row {
        QRect rect;
        QString number;
        bool current = false;
    };
    std::vector<Row> rows() const;
    // The width that holds the numbers of a text of `lines` lines (at least two digits, so the
    // text does not move at the tenth line) in the control's font.
    int widthFor(int lines) const;
    // Measures the digits again in the control's font.
    void fontChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The width of a number in the plain or the bold font, from its digits' widths.
    qreal numberWidth(const QString& number, bool bold) const;

    RichTextControl& m_control;
    int m_digitWidth = 0;
    int m_padding = 0;
    // The digits' advances in the plain and the bold font: measuring each number as it is
    // drawn would cost a text layout per row and frame.
    std::array<qreal, 10> m_plainDigits{}, m_boldDigits{};
};
