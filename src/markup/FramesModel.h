#pragma once

#include <QString>
#include <array>
#include <utility>
#include <vector>

// The properties of one frame, written into its FRAME tag and into its frameset's sizes.
struct FrameRecord {
    QString Name;
    QString Scrolling; // "", "Auto", "Yes" or "No"
    QString Source;
    QString MarginWidth;
    QString MarginHeight;
    bool NoResize = false;
    QString Height; // as written into ROWS: "50%", "*", "200"
    QString Width;  // as written into COLS
    // The sizes last taken from the drawing: a Height or Width that still equals them was not
    // typed, and is written as the drawing shows the frame.
    QString DrawnHeight, DrawnWidth;
};

// The properties of the border made by one split, and the frames on either side of it.
struct BorderRecord {
    QString BorderSize; // "" writes none
    QString BorderColor;
    bool Horizontal = false; // true: the new frame went below (ROWS); false: to the right (COLS)
    int FirstFrame = 0;      // left of or above the border
    int SecondFrame = 0;     // right of or below it: the frame the split created
};

// A rectangle of the drawing area, in twips.
struct TwipRect {
    float left = 0, top = 0, width = 0, height = 0;
    float start(bool horizontal) const { return horizontal ? top : left; }
    float extent(bool horizontal) const { return horizontal ? height : width; }
    void setStart(bool horizontal, float value) { (horizontal ? top : left) = value; }
    void setExtent(bool horizontal, float value) { (horizontal ? height : width) = value; }
};

// A frame layout drawn by splitting rectangles, in twips. Frame 0 fills the area at first; split
// n divides one frame into two with a 60-twip border n between them and creates frame n. The
// splits form a tree: each split's two parts are a frame or a later split of that frame, so the
// markup nests one FRAMESET per split exactly as the layout was drawn. Only the border of the
// latest split can be dragged.
class FramesModel {
public:
    static constexpr float BorderThickness = 60;
    static constexpr float TwipsPerPixel = 15;
    static constexpr float DragStep = 15;
    // The least room a dragged border leaves either frame.
    static constexpr float DragMargin = 90;

    FramesModel(float innerWidth, float innerHeight);

    // Frame 0 alone, filling the area, selected; no border current; every record empty.
    void reset();
    // Divides the selected frame in two: a vertical border puts the new frame to the right, a
    // horizontal one below. Refused (false, nothing changes) when a part would be narrower than
    // one pixel. The selected frame stays selected.
    bool split(bool horizontal);
    // One mouse move over the latest border with the pointer `across` twips into it (measured
    // across the border): below 15 it moves one step back, beyond 45 one step on. It stays within
    // its own pair of frames, leaving each at least DragMargin. True when it moved.
    bool dragLatestBorder(float across);

    int splitCount() const { return static_cast<int>(borders.size()) - 1; }
    float innerWidth() const { return m_width; }
    float innerHeight() const { return m_height; }
    // The frame whose properties are edited, and the border (0: none).
    int selected = 0;
    int currentBorder = 0;

    // Indexed by frame number (0 to splitCount()) and by split number (element 0 unused).
    std::vector<FrameRecord> frames;
    std::vector<BorderRecord> borders;
    std::vector<TwipRect> frameRects;
    std::vector<TwipRect> borderRects;
    int horizontalCount = 0, verticalCount = 0;
    bool lastSplitHorizontal = false;

    // A part of a split: a frame, or a later split nested in its place.
    struct Part {
        bool isSplit = false;
        int number = 0;
    };
    // The whole layout (frame 0 before any split), and the two parts of split n (element 0 unused).
    Part root() const { return m_root; }
    const Part& part(int split, int side) const { return m_parts[split][side]; }
    // The size written for part `side` of split `split`: its frame's Height or Width (typed, or the
    // frame's share of the split's own room); for a nested split its share of that room ("50%"),
    // as a browser divides a frameset's room among its rows or columns.
    QString partSize(int split, int side) const;

private:
    // The size of `extent` twips as a percentage of the area less its borders, "50%".
    QString shareOf(double extent, bool horizontal) const;
    // The share of part `side` of split `split` in the room its frameset divides, in whole
    // percent; the second part has what the first leaves, so the two add up to 100.
    int drawnShare(int split, int side) const;
    // Gives every size not typed the size the drawing now shows.
    void refreshSizes();
    // The first and last twip across `horizontal` that the part covers.
    std::pair<float, float> spanOf(const Part& part, bool horizontal) const;
    Part* slotOf(int frame);

    float m_width, m_height;
    Part m_root;
    std::vector<std::array<Part, 2>> m_parts;
};

// The text repeated `count` times; "" for a count below 1.
QString RepeatText(const QString& text, int count);
// One FRAME tag, one attribute a line, each line indented `level` times.
QString FrameTag(const FrameRecord& frame, int level, const QString& indent);
// The FRAMESET markup of the layout, one FRAMESET per split nested as drawn; "" without a split.
QString BuildFrameset(const FramesModel& model, const QString& indent);
