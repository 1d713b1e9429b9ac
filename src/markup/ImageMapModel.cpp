#include "markup/ImageMapModel.h"

#include "markup/Attributes.h"

#include <QtGlobal>
#include <cstdlib>

namespace {

QString PointText(QPoint point) {
    return QString::number(point.x()) + QLatin1Char(',') + QString::number(point.y());
}

QString Quoted(const QString& value) {
    return QLatin1Char('"') + value + QLatin1Char('"');
}

} // namespace

void ImageMapModel::setPictureSize(QSize size) {
    m_size = size;
    discardDrawing();
    m_pointer = clamp(m_pointer);
}

QPoint ImageMapModel::clamp(QPoint point) const {
    if (m_size.isEmpty())
        return QPoint(0, 0);
    return QPoint(qBound(0, point.x(), m_size.width() - 1), qBound(0, point.y(), m_size.height() - 1));
}

void ImageMapModel::setDrawKind(int kind) {
    discardDrawing();
    if (kind >= RectangleShape && kind <= CircleShape)
        m_kind = kind;
}

void ImageMapModel::discardDrawing() {
    m_drawing = MapOutline();
    m_clicks = 0;
    m_polygonStarted = false;
    m_complete = false;
}

void ImageMapModel::moveTo(QPoint point) {
    m_pointer = clamp(point);
}

CoordsEdit ImageMapModel::leftClick(QPoint point) {
    const QPoint at = clamp(point);
    m_pointer = at;
    if (m_kind == PolygonShape) {
        if (!m_polygonStarted) {
            // A new polygon replaces one closed but not added.
            discardDrawing();
            m_drawing = MapOutline{PolygonShape, {at}, 0, true};
            m_polygonStarted = true;
            return {CoordsEdit::Set, PointText(at) + QLatin1Char(',')};
        }
        m_drawing.Points.append(at);
        return {CoordsEdit::Insert, PointText(at) + QLatin1Char(',')};
    }
    if (m_clicks == 0) {
        discardDrawing();
        m_drawing = MapOutline{m_kind, {at}, 0, false};
        m_clicks = 1;
        return {CoordsEdit::Set, PointText(at)};
    }
    m_clicks = 0;
    m_complete = true;
    if (m_kind == RectangleShape) {
        m_drawing.Points = {m_drawing.Points.first(), at};
        return {CoordsEdit::Append, QLatin1Char(',') + PointText(at)};
    }
    // The radius is the horizontal distance from the centre.
    m_drawing.Radius = std::abs(at.x() - m_drawing.Points.first().x());
    return {CoordsEdit::Append, QLatin1Char(',') + QString::number(m_drawing.Radius)};
}

CoordsEdit ImageMapModel::rightClick(QPoint point) {
    m_pointer = clamp(point);
    if (m_kind == PolygonShape) {
        if (!m_polygonStarted)
            return {};
        m_polygonStarted = false;
        if (m_drawing.Points.size() >= 3) {
            m_drawing.Open = false;
            m_complete = true;
            return {};
        }
        // Fewer than three points enclose no area.
        discardDrawing();
        return {CoordsEdit::Set, QString()};
    }
    if (m_clicks != 1)
        return {};
    discardDrawing();
    return {CoordsEdit::Set, QString()};
}

MapOutline ImageMapModel::drawing() const {
    MapOutline outline = m_drawing;
    if (m_polygonStarted)
        outline.Points.append(m_pointer);
    else if (m_clicks == 1 && outline.Kind == RectangleShape)
        outline.Points.append(m_pointer);
    else if (m_clicks == 1 && outline.Kind == CircleShape)
        outline.Radius = std::abs(m_pointer.x() - outline.Points.first().x());
    return outline;
}

int ImageMapModel::addShape(const QString& coords, const QString& link, const QString& target,
                            const QString& alt) {
    if (!m_complete)
        return -1;
    m_shapes.append(MapShape{m_drawing.Kind, m_drawing, link, coords, target, alt});
    discardDrawing();
    return static_cast<int>(m_shapes.size()) - 1;
}

bool ImageMapModel::removeShape(int k) {
    if (k < 0 || k >= m_shapes.size() || m_shapes[k].Kind == NoShape)
        return false;
    m_shapes[k] = MapShape();
    return true;
}

int ShapeKindOfName(const QString& name) {
    const QString lower = name.toLower();
    if (lower == QLatin1String("rectangle"))
        return RectangleShape;
    if (lower == QLatin1String("polygon"))
        return PolygonShape;
    if (lower == QLatin1String("circle"))
        return CircleShape;
    return NoShape;
}

QString ShapeKindName(int kind) {
    switch (kind) {
    case RectangleShape:
        return QStringLiteral("Rectangle");
    case PolygonShape:
        return QStringLiteral("Polygon");
    case CircleShape:
        return QStringLiteral("Circle");
    default:
        return QString();
    }
}

QString ShapeKeyword(int kind) {
    switch (kind) {
    case RectangleShape:
        return QStringLiteral("RECT");
    case PolygonShape:
        return QStringLiteral("POLY");
    case CircleShape:
        return QStringLiteral("CIRCLE");
    default:
        return QString();
    }
}

QString CleanCoords(QString coords) {
    if (coords.endsWith(QLatin1String(", ")))
        coords.chop(2);
    if (coords.endsWith(QLatin1Char(',')))
        coords.chop(1);
    return coords;
}

QString BuildImageMapCode(const QString& picture, const QString& name, const QList<MapShape>& shapes,
                          const QString& indent) {
    const QString crlf = QStringLiteral("\r\n");
    QString code = QStringLiteral("<IMG SRC=") + Quoted(picture) + QStringLiteral(" BORDER=\"0\" USEMAP=") +
                   Quoted(QLatin1Char('#') + name) + QLatin1Char('>') + crlf + QStringLiteral("<MAP NAME=") +
                   Quoted(name) + QLatin1Char('>') + crlf;
    for (const MapShape& shape : shapes) {
        if (shape.Kind == NoShape)
            continue;
        code += indent + QStringLiteral("<AREA SHAPE=") + Quoted(ShapeKeyword(shape.Kind)) +
                QStringLiteral(" COORDS=") + Quoted(shape.Coords) + QStringLiteral(" HREF=") +
                Quoted(shape.Link);
        code += QuotedAttribute("TARGET", shape.Target) + QuotedAttribute("ALT", shape.Alt) +
                QLatin1Char('>') + crlf;
    }
    return code + QStringLiteral("</MAP>") + crlf;
}
