#include "markup/FramesModel.h"

#include "markup/Attributes.h"

#include <algorithm>
#include <cmath>

FramesModel::FramesModel(float innerWidth, float innerHeight) : m_width(innerWidth), m_height(innerHeight) {
    reset();
}

void FramesModel::reset() {
    frames.assign(1, FrameRecord());
    borders.assign(1, BorderRecord());
    frameRects.assign(1, TwipRect{0, 0, m_width, m_height});
    borderRects.assign(1, TwipRect());
    m_parts.assign(1, {});
    m_root = Part{false, 0};
    selected = 0;
    currentBorder = 0;
    horizontalCount = verticalCount = 0;
    lastSplitHorizontal = false;
}

bool FramesModel::split(bool horizontal) {
    const int divided = selected;
    TwipRect first = frameRects[divided];
    const float whole = first.extent(horizontal);
    const float half = whole / 2 - BorderThickness / 2;
    if (half < TwipsPerPixel)
        return false;
    first.setExtent(horizontal, half);
    frameRects[divided] = first;
    ++(horizontal ? horizontalCount : verticalCount);
    const int n = splitCount() + 1;

    TwipRect border = first;
    border.setStart(horizontal, first.start(horizontal) + half);
    border.setExtent(horizontal, BorderThickness);
    TwipRect created = first;
    created.setStart(horizontal, border.start(horizontal) + BorderThickness);
    borders.push_back(BorderRecord{QString(), QString(), horizontal, divided, n});
    borderRects.push_back(border);
    frames.push_back(FrameRecord());
    frameRects.push_back(created);
    // The divided frame's typed sizes no longer fit it: it takes the drawn ones, as the new frame does.
    frames[divided].Height = frames[divided].DrawnHeight;
    frames[divided].Width = frames[divided].DrawnWidth;

    // The new frame now lies between the divided frame and the earlier border that touched it.
    for (int i = 1; i < n; ++i)
        if (borders[i].Horizontal == horizontal && borders[i].FirstFrame == divided) {
            borders[i].FirstFrame = n;
            break;
        }
    // In the tree the divided frame's place is taken by the new split, with it and the new frame
    // as its parts.
    *slotOf(divided) = Part{true, n};
    m_parts.push_back({Part{false, divided}, Part{false, n}});
    lastSplitHorizontal = horizontal;
    refreshSizes();
    return true;
}

bool FramesModel::dragLatestBorder(float across) {
    const int n = splitCount();
    if (n == 0)
        return false;
    const bool horizontal = lastSplitHorizontal;
    const BorderRecord& record = borders[n];
    // The frame being resized is the one edited: a frame elsewhere gives way to the first one.
    if (selected != record.FirstFrame && selected != record.SecondFrame)
        selected = record.FirstFrame;

    TwipRect& border = borderRects[n];
    TwipRect& first = frameRects[record.FirstFrame];
    TwipRect& second = frameRects[record.SecondFrame];
    const float position = border.start(horizontal);
    const float origin = first.start(horizontal);
    const float end = second.start(horizontal) + second.extent(horizontal); // the pair's far edge stays
    const float lowest = origin + DragMargin;
    const float highest = end - BorderThickness - DragMargin;
    if (highest < lowest) // the pair is too small to leave both frames their margin
        return false;
    float target = position;
    if (across < DragStep)
        target -= DragStep;
    else if (across > BorderThickness - DragStep)
        target += DragStep;
    target = std::clamp(target, lowest, highest);
    if (target == position)
        return false;
    border.setStart(horizontal, target);
    first.setExtent(horizontal, target - origin);
    second.setStart(horizontal, target + BorderThickness);
    second.setExtent(horizontal, end - second.start(horizontal));
    refreshSizes();
    return true;
}

QString FramesModel::shareOf(double extent, bool horizontal) const {
    // Every border of the direction is taken off the area, so nested frames get percentages of
    // the whole area too. An area used up by borders counts as one twip, never as zero.
    const float area =
        horizontal ? m_height - horizontalCount * BorderThickness : m_width - verticalCount * BorderThickness;
    const double share = (extent + BorderThickness / 2) / std::max(1.0f, area) * 100;
    // The tolerance keeps an exact share such as 50 from reading as 49.999...
    return QString::number(static_cast<long long>(std::floor(share + 1e-9))) + QLatin1Char('%');
}

std::pair<float, float> FramesModel::spanOf(const Part& part, bool horizontal) const {
    if (!part.isSplit) {
        const TwipRect& rect = frameRects[static_cast<size_t>(part.number)];
        return {rect.start(horizontal), rect.start(horizontal) + rect.extent(horizontal)};
    }
    const auto [firstFrom, firstTo] = spanOf(m_parts[static_cast<size_t>(part.number)][0], horizontal);
    const auto [secondFrom, secondTo] = spanOf(m_parts[static_cast<size_t>(part.number)][1], horizontal);
    return {std::min(firstFrom, secondFrom), std::max(firstTo, secondTo)};
}

int FramesModel::drawnShare(int split, int side) const {
    Q_ASSERT(split > 0 && split <= splitCount() && (side == 0 || side == 1));
    const bool horizontal = borders[static_cast<size_t>(split)].Horizontal;
    const auto extentOf = [&](int s) {
        const auto [from, to] =
            spanOf(m_parts[static_cast<size_t>(split)][static_cast<size_t>(s)], horizontal);
        return static_cast<double>(to - from);
    };
    // A browser takes the border off the frameset's room and divides the rest by the shares.
    const double first = extentOf(0), whole = first + extentOf(1);
    const int firstShare = whole > 0 ? static_cast<int>(std::lround(first / whole * 100)) : 50;
    return side == 0 ? firstShare : 100 - firstShare;
}

void FramesModel::refreshSizes() {
    for (int frame = 0; frame <= splitCount(); ++frame) {
        int holder = 0, side = 0;
        for (int split = 1; split <= splitCount() && holder == 0; ++split)
            for (int s = 0; s < 2; ++s)
                if (const Part& p = m_parts[static_cast<size_t>(split)][static_cast<size_t>(s)];
                    !p.isSplit && p.number == frame)
                    holder = split, side = s;
        FrameRecord& record = frames[static_cast<size_t>(frame)];
        for (const bool horizontal : {true, false}) {
            // The share written for the frame where its frameset divides this direction; elsewhere
            // its share of the whole area, which is shown but not written.
            const QString drawn =
                holder > 0 && borders[static_cast<size_t>(holder)].Horizontal == horizontal
                    ? QString::number(drawnShare(holder, side)) + QLatin1Char('%')
                    : shareOf(frameRects[static_cast<size_t>(frame)].extent(horizontal), horizontal);
            QString& size = horizontal ? record.Height : record.Width;
            QString& last = horizontal ? record.DrawnHeight : record.DrawnWidth;
            if (size == last) // not typed
                size = drawn;
            last = drawn;
        }
    }
}

QString FramesModel::partSize(int split, int side) const {
    const Part& part = m_parts[static_cast<size_t>(split)][static_cast<size_t>(side)];
    if (part.isSplit)
        return QString::number(drawnShare(split, side)) + QLatin1Char('%');
    const FrameRecord& frame = frames[static_cast<size_t>(part.number)];
    return borders[static_cast<size_t>(split)].Horizontal ? frame.Height : frame.Width;
}

FramesModel::Part* FramesModel::slotOf(int frame) {
    if (!m_root.isSplit)
        return &m_root;
    for (size_t split = 1; split < m_parts.size(); ++split)
        for (Part& part : m_parts[split])
            if (!part.isSplit && part.number == frame)
                return &part;
    return nullptr;
}

QString RepeatText(const QString& text, int count) {
    return count < 1 ? QString() : text.repeated(count);
}

QString FrameTag(const FrameRecord& frame, int level, const QString& indent) {
    const QString lead = RepeatText(indent, level);
    const QString crlf = QStringLiteral("\r\n");
    QString tag = lead + QStringLiteral("<FRAME") + crlf;
    const auto attribute = [&](const char* name, const QString& value) {
        if (!value.isEmpty())
            tag += lead + QuotedAttribute(name, value) + crlf;
    };
    attribute("NAME", frame.Name);
    attribute("SRC", frame.Source);
    attribute("SCROLLING", frame.Scrolling);
    if (frame.NoResize)
        tag += lead + QStringLiteral(" NORESIZE") + crlf;
    attribute("MARGINWIDTH", frame.MarginWidth);
    attribute("MARGINHEIGHT", frame.MarginHeight);
    return tag + lead + QLatin1Char('>') + crlf;
}

namespace {

// A border size that reads as a number whose whole part is 0 ("0", "0.5", " 0 ") turns borders
// off; any other size, number or not ("2", "2px"), is written as typed.
bool IsZeroSize(const QString& size) {
    bool number = false;
    const double value = size.trimmed().toDouble(&number);
    return number && std::trunc(value) == 0;
}

void WriteSplit(const FramesModel& model, int split, int depth, const QString& indent, QString& out) {
    const BorderRecord& border = model.borders[split];
    const QString lead = RepeatText(indent, depth - 1);
    // The sizes of the split's two parts, each a frame or a nested split as a whole.
    const QString sizes = model.partSize(split, 0) + QLatin1Char(',') + model.partSize(split, 1);
    out += lead + QStringLiteral("<FRAMESET") + QuotedAttribute(border.Horizontal ? "ROWS" : "COLS", sizes);
    if (!border.BorderSize.isEmpty()) {
        if (IsZeroSize(border.BorderSize))
            out += QStringLiteral(" BORDER=\"0\" FRAMEBORDER=\"0\" FRAMESPACING=\"0\"");
        else
            out += QuotedAttribute("BORDER", border.BorderSize) +
                   QuotedAttribute("FRAMESPACING", border.BorderSize);
    }
    out += QuotedAttribute("BORDERCOLOR", border.BorderColor);
    out += QStringLiteral(">\r\n");
    for (const int side : {0, 1}) {
        const FramesModel::Part& part = model.part(split, side);
        if (part.isSplit)
            WriteSplit(model, part.number, depth + 1, indent, out);
        else
            out += FrameTag(model.frames[part.number], depth, indent);
    }
    out += lead + QStringLiteral("</FRAMESET>\r\n");
}

} // namespace

QString BuildFrameset(const FramesModel& model, const QString& indent) {
    QString out;
    if (model.root().isSplit)
        WriteSplit(model, model.root().number, 1, indent, out);
    return out;
}
