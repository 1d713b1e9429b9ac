#include "platform/LineColorRuns.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <memory>
#include <new>

namespace {

// The runs of one line, kept as the block's user data: a large page has a hundred thousand lines,
// so a line's runs take one allocation, the object with its runs behind it, each run its first
// column and colour (its length reaches to the next run, the last one's to the line's end).
class LineColors final : public QTextBlockUserData {
public:
    struct Run {
        quint32 start;
        ColorValue color;
    };

    // Runs as setRuns takes them: ascending and without gaps from column 0.
    static LineColors* make(const ColorSpan* runs, std::size_t count) {
        void* place = ::operator new(sizeof(LineColors) + count * sizeof(Run));
        auto* line = new (place) LineColors(count);
        Run* out = line->runs();
        for (std::size_t i = 0; i < count; ++i)
            out[i] = {quint32(runs[i].start), runs[i].color};
        return line;
    }
    // The block deletes its user data: the memory is the one make() took.
    static void operator delete(void* place) { ::operator delete(place); }

    std::size_t count() const { return m_count; }
    const Run* runs() const { return reinterpret_cast<const Run*>(this + 1); }
    // The run at `index` as a stretch of a line of `lineLength` columns (its separator included).
    ColorSpan span(std::size_t index, int lineLength) const {
        const int from = int(runs()[index].start);
        const int to = index + 1 < m_count ? int(runs()[index + 1].start) : std::max(from, lineLength);
        return {from, to - from, runs()[index].color};
    }
    ColorValue colorAt(int column) const {
        const Run* first = runs();
        const Run* after =
            std::upper_bound(first, first + m_count, quint32(std::max(0, column)),
                             [](quint32 wanted, const Run& run) { return wanted < run.start; });
        return after == first ? first->color : std::prev(after)->color;
    }

    // Whether the runs are the layout's formats at the moment.
    bool shown = false;

private:
    explicit LineColors(std::size_t count) : m_count(count) {}
    Run* runs() { return reinterpret_cast<Run*>(this + 1); }

    std::size_t m_count;
};
static_assert(sizeof(LineColors) % alignof(LineColors::Run) == 0, "the runs follow the object aligned");

LineColors* lineColorsOf(const QTextBlock& block) {
    return static_cast<LineColors*>(block.userData());
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
    void paint(const QTextBlock& block, const LineColors* line, int from, int to, ColorValue color) {
        if (!m_block.isValid() || block != m_block) {
            flush();
            m_block = block;
            const int length = block.length();
            m_colors.assign(static_cast<std::size_t>(length), 0);
            for (std::size_t i = 0; i < line->count(); ++i) {
                const ColorSpan run = line->span(i, length);
                const int end = std::min(length, run.start + run.length);
                std::fill(m_colors.begin() + std::min(run.start, end), m_colors.begin() + end, run.color);
            }
        }
        std::fill(m_colors.begin() + from, m_colors.begin() + to, color);
    }

    void flush() {
        if (!m_block.isValid())
            return;
        std::vector<ColorSpan> runs;
        for (int i = 0; i < static_cast<int>(m_colors.size()); ++i) {
            if (runs.empty() || runs.back().color != m_colors[i])
                runs.push_back({i, 1, m_colors[i]});
            else
                ++runs.back().length;
        }
        LineColorRuns::setRuns(m_block, runs);
        m_block = QTextBlock();
        m_colors.clear();
    }

private:
    QTextBlock m_block;
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
    // The block deletes the runs it had.
    block.setUserData(LineColors::make(runs.data(), runs.size()));
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
            m_painter->paint(block, line, from - blockStart, pieceEnd - blockStart, color);
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
    if (!lineColorsOf(block))
        return;
    m_painter->flush(); // which may give the line new runs
    const LineColors* line = lineColorsOf(block);
    ++m_quiet;
    QTextCursor cursor(&m_document);
    cursor.beginEditBlock();
    const int blockStart = block.position();
    const int blockEnd = paintableEnd(block);
    for (std::size_t i = 0; i < line->count(); ++i) {
        const ColorSpan run = line->span(i, block.length());
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
        ranges.reserve(static_cast<qsizetype>(line->count()));
        for (std::size_t i = 0; i < line->count(); ++i) {
            const ColorSpan run = line->span(i, block.length());
            ranges.append({run.start, run.length, foregroundFormat(run.color)});
        }
        block.layout()->setFormats(ranges);
        line->shown = true;
    }
    cursor.endEditBlock();
    --m_quiet;
}
