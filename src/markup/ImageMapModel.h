#pragma once

#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>

// The kinds of clickable area, numbered as the shape list shows them.
enum ShapeKind { NoShape = 0, RectangleShape = 1, PolygonShape = 2, CircleShape = 3 };

// What is drawn of an area on the picture, in its pixels: a rectangle's two corners, a polygon's
// points in click order, a circle's centre with its radius.
struct MapOutline {
    int Kind = NoShape;
    QList<QPoint> Points;
    int Radius = 0;
    // A polygon whose last edge follows the pointer (still being drawn) is drawn open.
    bool Open = false;
};

// One area of the map. A removed area keeps its number (and place) with the kind NoShape.
struct MapShape {
    int Kind = NoShape;
    MapOutline Outline;
    QString Link;
    QString Coords; // the COORDS value, numbers separated by ","
    QString Target; // "" for none
    QString Alt;    // "" for none
};

// How a click changes the coordinates box: its text replaced, the text appended, or the text
// inserted at the box's cursor (in place of its selection).
struct CoordsEdit {
    enum Action { Keep, Set, Append, Insert };
    Action action = Keep;
    QString text;
};

// The drawing state of the image map editor: the picture's size, the kind being drawn, the
// outline in progress and the areas added. Every point is clamped to the picture, so no
// coordinate written into the map lies outside it.
class ImageMapModel {
public:
    // A new picture: the outline in progress is dropped; the areas stay.
    void setPictureSize(QSize size);
    QSize pictureSize() const { return m_size; }
    QPoint clamp(QPoint point) const;

    int drawKind() const { return m_kind; }
    // Another kind: the outline in progress (or drawn but not added) is dropped.
    void setDrawKind(int kind);
    void discardDrawing();

    // The pointer (clamped) and what follows it: a rectangle's corner, a circle's radius, a
    // polygon's last edge.
    void moveTo(QPoint point);
    QPoint pointer() const { return m_pointer; }
    // Left button: a rectangle's or circle's first and second click, a polygon's next point.
    CoordsEdit leftClick(QPoint point);
    // Right button: abandons a rectangle or circle after its first click; closes a polygon of
    // three points or more, abandons one of fewer.
    CoordsEdit rightClick(QPoint point);
    // A drawn outline is complete and can be added.
    bool shapeComplete() const { return m_complete; }
    // The outline drawn but not yet added, with its part that follows the pointer; kind NoShape
    // when there is none.
    MapOutline drawing() const;

    // Adds the complete outline as an area with these texts and returns its number; -1 (and
    // nothing added) when no outline is complete.
    int addShape(const QString& coords, const QString& link, const QString& target, const QString& alt);
    // Removes area k: its outline and texts are cleared, its number stays taken.
    bool removeShape(int k);
    const QList<MapShape>& shapes() const { return m_shapes; }

private:
    QSize m_size;
    int m_kind = RectangleShape;
    QPoint m_pointer;
    // The outline in progress: rectangle or circle after one click (m_clicks == 1), polygon with
    // its points (m_polygonStarted), or a complete one.
    MapOutline m_drawing;
    int m_clicks = 0;
    bool m_polygonStarted = false;
    bool m_complete = false;
    QList<MapShape> m_shapes;
};

// The kind for a name of the shape list, compared in lower case ("Polygon" 2); NoShape else.
int ShapeKindOfName(const QString& name);
QString ShapeKindName(int kind);
// The COORDS keyword of a kind: RECT, POLY or CIRCLE.
QString ShapeKeyword(int kind);
// The coordinates as stored: a final ", " goes, then a final ",".
QString CleanCoords(QString coords);
// The IMG tag using the map "#name", then the MAP element with one AREA line per area (removed
// ones skipped), indented by `indent`, CR LF after each line. HREF is always written; TARGET and
// ALT only when not empty. Values are written as typed.
QString BuildImageMapCode(const QString& picture, const QString& name, const QList<MapShape>& shapes,
                          const QString& indent);
