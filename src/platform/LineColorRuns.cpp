#include "platform/LineColorRuns.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QVarLengthArray>
#include <algorithm>
#include <memory>

namespace {

// The runs of one line, kept as the block's user data. Most lines of a large page have one run,
// kept inside the object: one allocation a line, not two.
class LineColors : public QTextBlockUserData {
public:
    QVarLengthArray<ColorSpan, 1> runs;
    // Whether the runs are the layout's formats at the moment.
    bool shown = false;

    ColorValue colorAt(int column) const {
        auto after = std::upper_bound(runs.begin(), runs.end(), column,
                                      [](int wanted, const ColorSpan& run) { return wanted < run.start; });
        return after == runs.begin() ? runs.front().color : std::prev(after)->color;
    }
};

LineColors* lineColorsOf(const QTextBlock& block) {
    return static_cast<LineColors*>(block.userData());
}

LineColors* ensureLineColors(QTextBlock& block) {
    LineColors* line = lineColorsOf(block);
    if (!line) {
        line = new LineColors; // the block owns its user data
        block.setUserData(line);
    }
    return line;
}

// The end of a line for painting: its line break included, except after the last line.
int paintableEnd(const QTextBlock& block) {
    return block.position() + block.length() - (block.next().isValid() ? 0 : 1);
}

QTextCharFormat foregroundFormat(ColorValue color) {
    QTextCharFormat format;
    format.setForeground(colorFromValue(color));
    return format;
}

} // namespace

// Paints parts of one line through a colour per character, then folds them back into runs.
class LineColorRuns::LinePainter {
public:
    void paint(LineColors* line, int length, int from, int to, ColorValue color) {
        if (line != m_line) {
            flush();
            m_line = line;
            m_colors.assign(static_cast<std::size_t>(length), 0);
            for (const ColorSpan& run : line->runs) {
                const int end = std::min(length, run.start + run.length);
                std::fill(m_colors.begin() + std::min(run.start, end), m_colors.begin() + end, run.color);
            }
        }
        std::fill(m_colors.begin() + from, m_colors.begin() + to, color);
    }

    void flush() {
        if (!m_line)
            return;
        QVarLengthArray<ColorSpan, 1>& runs = m_line->runs;
        runs.clear();
        for (int i = 0; i < static_cast<int>(m_colors.size()); ++i) {
            if (runs.empty() || runs.back().color != m_colors[i])
                runs.push_back({i, 1, m_colors[i]});
            else
                ++runs.back().length;
        }
        m_line->shown = false;
        m_line = nullptr;
        m_colors.clear();
    }

private:
    LineColors* m_line = nullptr;
    std::vector<ColorValue> m_colors;
};

LineColorRuns::LineColorRuns(QTextDocument& document, int& quiet)
    : m_document(document), m_quiet(quiet), m_painter(std::make_unique<LinePainter>()) {}

LineColorRuns::~LineColorRuns() = default;

std::optional<ColorValue> LineColorRuns::colorAt(const QTextBlock& block, int column) {
    if (const LineColors* line = lineColorsOf(block))
        return line->colorAt(column);
    return std::nullopt;
}

void LineColorRuns::setRuns(QTextBlock block, const std::vector<ColorSpan>& runs) {
    LineColors* line = ensureLineColors(block);
    line->runs.clear();
    line->runs.append(runs.data(), static_cast<qsizetype>(runs.size()));
    line->shown = false;
}

void LineColorRuns::paint(QTextCursor& cursor, QTextBlock block, int from, int to, ColorValue color,
                          bool wholeLinesAsRuns) {
    for (; block.isValid() && from < to; block = block.next()) {
        const int blockStart = block.position();
        const int blockEnd = paintableEnd(block);
        const int pieceEnd = std::min(to, blockEnd);
        if (pieceEnd <= from) {
            if (blockEnd >= to)
                break;
            continue;
        }
        LineColors* line = lineColorsOf(block);
        if (wholeLinesAsRuns && from == blockStart && pieceEnd == blockEnd) {
            // A whole line takes one run; its character formats no longer count.
            m_painter->flush();
            setRuns(block, {ColorSpan{0, block.length(), color}});
        } else if (line) {
            m_painter->paint(line, block.length(), from - blockStart, pieceEnd - blockStart, color);
        } else {
            if (cursor.position() == from)
                cursor.clearSelection();
            else
                cursor.setPosition(from);
            cursor.setPosition(pieceEnd, QTextCursor::KeepAnchor);
            ++m_quiet;
            cursor.mergeCharFormat(foregroundFormat(color));
            --m_quiet;
        }
        from = pieceEnd;
    }
}

void LineColorRuns::flush() {
    m_painter->flush();
}

void LineColorRuns::materialize(const QTextBlock& block) {
    LineColors* line = lineColorsOf(block);
    if (!line)
        return;
    m_painter->flush();
    ++m_quiet;
    QTextCursor cursor(&m_document);
    cursor.beginEditBlock();
    const int blockStart = block.position();
    const int blockEnd = paintableEnd(block);
    for (const ColorSpan& run : line->runs) {
        const int from = blockStart + run.start;
        const int to = std::min(blockEnd, from + run.length);
        if (to <= from)
            continue;
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        cursor.setCharFormat(foregroundFormat(run.color));
    }
    if (line->shown)
        block.layout()->setFormats({});
    QTextBlock(block).setUserData(nullptr);
    cursor.endEditBlock();
    --m_quiet;
}

void LineColorRuns::materializeAround(int from, int to) {
    // An edit of [from, to) changes the lines at its ends, and may join them with their
    // neighbours; the lines wholly inside are removed whole or left as they are, so their runs
    // stay (a large selection is replaced without turning all of it into formats first).
    const QTextBlock first = m_document.findBlock(from);
    const QTextBlock last = m_document.findBlock(to);
    for (const QTextBlock& block :
         {first.previous(), first, first.next(), last.previous(), last, last.next()}) {
        if (block.isValid())
            materialize(block);
    }
}

void LineColorRuns::forgetAll() {
    m_painter->flush();
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
        if (const LineColors* line = lineColorsOf(block)) {
            if (line->shown)
                block.layout()->setFormats({});
            block.setUserData(nullptr);
        }
    }
}

void LineColorRuns::show(const std::vector<QTextBlock>& lines) {
    std::vector<std::pair<QTextBlock, LineColors*>> waiting;
    for (const QTextBlock& block : lines) {
        if (LineColors* line = lineColorsOf(block); line && !line->shown)
            waiting.emplace_back(block, line);
    }
    if (waiting.empty())
        return;
    ++m_quiet;
    QTextCursor cursor(&m_document);
    cursor.beginEditBlock();
    for (const auto& [block, line] : waiting) {
        QList<QTextLayout::FormatRange> ranges;
        ranges.reserve(static_cast<qsizetype>(line->runs.size()));
        for (const ColorSpan& run : line->runs)
            ranges.append({run.start, run.length, foregroundFormat(run.color)});
        block.layout()->setFormats(ranges);
        line->shown = true;
    }
    cursor.endEditBlock();
    --m_quiet;
}
