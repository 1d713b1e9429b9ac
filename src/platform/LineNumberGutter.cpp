#include "platform/LineNumberGutter.h"

#include "platform/RichTextControl.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

QColor blendColors(const QColor& base, const QColor& tint, double amount) {
    const auto mix = [amount](int from, int to) { return qRound(from + (to - from) * amount); };
    return QColor(mix(base.red(), tint.red()), mix(base.green(), tint.green()),
                  mix(base.blue(), tint.blue()));
}

QColor readableOn(const QColor& background, const QColor& preferred) {
    constexpr int kLeastDifference = 96;
    if (std::abs(preferred.lightness() - background.lightness()) >= kLeastDifference)
        return preferred;
    return background.lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black);
}

LineNumberGutter::LineNumberGutter(RichTextControl& control) : QWidget(&control), m_control(control) {
    setObjectName(QStringLiteral("gutLineNumbers"));
    // Every paint fills the whole rectangle asked for, so nothing beneath needs painting first. Without
    // this, each update of the gutter (the caret's every blink, every keystroke) painted the text's
    // frame and the document window's frame and caption beneath it as well.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(tr("Line numbers"));
    setAccessibleDescription(tr("The number of each line of the text beside it."));
    fontChanged();
}

void LineNumberGutter::fontChanged() {
    // Bold is the widest the numbers are drawn in; proportional fonts may have digits of
    // different widths, so the widest counts.
    QFont bold = m_control.font();
    bold.setBold(true);
    const QFontMetricsF plainMetrics(m_control.font());
    const QFontMetricsF boldMetrics(bold);
    qreal widest = 0;
    for (int digit = 0; digit < 10; ++digit) {
        const QChar c(u'0' + digit);
        m_plainDigits[digit] = plainMetrics.horizontalAdvance(c);
        m_boldDigits[digit] = boldMetrics.horizontalAdvance(c);
        widest = std::max({widest, m_plainDigits[digit], m_boldDigits[digit]});
    }
    m_digitWidth = qCeil(widest);
    m_padding = std::max(3, m_digitWidth / 2);
    update();
}

int LineNumberGutter::widthFor(int lines) const {
    int digits = 1;
    for (int rest = std::max(1, lines); rest >= 10; rest /= 10)
        ++digits;
    return std::max(2, digits) * m_digitWidth + 2 * m_padding;
}

std::vector<LineNumberGutter::Row> LineNumberGutter::rows() const {
    std::vector<Row> rows;
    const int current = m_control.cursorLine();
    for (const RichTextControl::ShownRow& shown : m_control.shownRows()) {
        const QRect rect(0, qFloor(shown.rect.top()), width(), qCeil(shown.rect.height()));
        rows.push_back(
            {rect, shown.startsLine ? QString::number(shown.line + 1) : QString(), shown.line == current});
    }
    return rows;
}

qreal LineNumberGutter::numberWidth(const QString& number, bool bold) const {
    const std::array<qreal, 10>& digits = bold ? m_boldDigits : m_plainDigits;
    qreal width = 0;
    for (const QChar c : number)
        width += digits[c.unicode() - u'0'];
    return width;
}

void LineNumberGutter::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QPalette& palette = m_control.palette();
    const QColor base = palette.color(QPalette::Base);
    const QColor ink = readableOn(base, palette.color(QPalette::Text));
    painter.fillRect(event->rect(), blendColors(base, ink, 0.06));
    const QFont plain = m_control.font();
    QFont bold = plain;
    bold.setBold(true);
    const QColor dimmed = blendColors(base, ink, 0.5);
    // On the baseline of the row's text: the numbers share the text's font and its line height.
    const qreal ascent = QFontMetricsF(plain).ascent();
    for (const Row& row : rows()) {
        if (row.number.isEmpty() || !row.rect.intersects(event->rect()))
            continue;
        painter.setFont(row.current ? bold : plain);
        painter.setPen(row.current ? ink : dimmed);
        const qreal left = row.rect.right() + 1 - m_padding - numberWidth(row.number, row.current);
        painter.drawText(QPointF(left, row.rect.top() + ascent), row.number);
    }
}

#include "moc_LineNumberGutter.cpp"
