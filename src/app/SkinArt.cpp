// The built-in button faces, drawn by code so they are sharp at any pixel ratio.

#include "app/Skin.h"

#include "platform/Log.h"
#include "platform/TextFile.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QSaveFile>
#include <QScreen>
#include <QStandardPaths>
#include <cmath>
#include <cstring>

namespace {
QColor mixed(const QColor& from, const QColor& to, qreal share) {
    const auto mix = [share](int a, int b) { return qRound(a + (b - a) * share); };
    return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()), mix(from.blue(), to.blue()));
}

// Relative luminance and contrast ratio as the web's accessibility guidelines define them.
qreal luminance(const QColor& color) {
    const auto linear = [](qreal c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) + 0.0722 * linear(color.blueF());
}
qreal contrast(const QColor& a, const QColor& b) {
    const qreal la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct Lettering {
    bool italic = false, underline = false, strike = false;
};
constexpr Lettering kItalic{true, false, false}, kUnderlined{false, true, false}, kStruck{false, false, true};

// Letters in the interface font, bold, centred in `r`. They are drawn from two sizes of one face
// only, 11 and 15 pixels: other sizes are these scaled, and italic is the upright letter slanted.
// Each further face or size is a font looked up and loaded while the first window is being made,
// about half a millisecond each.
void drawText(QPainter& p, const QRectF& r, const QString& text, int pixelSize, Lettering style = {}) {
    const int loaded = pixelSize <= 12 ? 11 : 15;
    const qreal scale = qreal(pixelSize) / loaded;
    QFont font = QApplication::font();
    font.setPixelSize(loaded);
    font.setBold(true);
    font.setUnderline(style.underline);
    font.setStrikeOut(style.strike);
    p.save();
    p.translate(r.center());
    p.scale(scale, scale);
    if (style.italic)
        p.shear(-0.2, 0); // the top leans right
    p.setFont(font);
    const QSizeF size = r.size() / scale;
    p.drawText(QRectF(QPointF(-size.width() / 2, -size.height() / 2), size), Qt::AlignCenter, text);
    p.restore();
}

// A sheet of paper with a folded corner.
void drawPage(QPainter& p, const QRectF& r, const SkinArtPalette& c) {
    QPainterPath page;
    page.moveTo(r.left(), r.top());
    page.lineTo(r.right() - 4, r.top());
    page.lineTo(r.right(), r.top() + 4);
    page.lineTo(r.right(), r.bottom());
    page.lineTo(r.left(), r.bottom());
    page.closeSubpath();
    p.setBrush(c.light);
    p.drawPath(page);
    p.drawPolyline(
        QPolygonF({{r.right() - 4, r.top()}, {r.right() - 4, r.top() + 4}, {r.right(), r.top() + 4}}));
}

void drawArrow(QPainter& p, const QPointF& centre, bool right, const SkinArtPalette& c) {
    const qreal d = right ? 1 : -1;
    p.setBrush(c.accent);
    p.drawPolygon(QPolygonF({centre + QPointF(-6 * d, -2), centre + QPointF(0, -2), centre + QPointF(0, -6),
                             centre + QPointF(6 * d, 0), centre + QPointF(0, 6), centre + QPointF(0, 2),
                             centre + QPointF(-6 * d, 2)}));
}

// The picture of one button inside the area `r` (its face less the bevel).
void drawGlyph(QPainter& p, const QString& name, const QRectF& r, const SkinArtPalette& c) {
    const QPointF m = r.center();
    p.setPen(QPen(c.ink, 1));
    p.setBrush(Qt::NoBrush);
    const std::pair<const char*, const char*> labels[] = {
        {"picFrames", "Frames"}, {"picBody", "Body"}, {"picForms", "Forms"}, {"picFont", "Font"},
        {"picIsmap", "Map"},     {"picJava", "JS"},   {"picCSS", "CSS"}};
    for (const auto& [button, label] : labels)
        if (name == QLatin1String(button))
            return drawText(p, r, QString::fromLatin1(label), 11);
    if (name == QLatin1String("picB"))
        drawText(p, r, QStringLiteral("B"), 15);
    else if (name == QLatin1String("picBR"))
        drawText(p, r, QStringLiteral("BR"), 10);
    else if (name == QLatin1String("picS"))
        drawText(p, r, QStringLiteral("S"), 15, kStruck);
    else if (name == QLatin1String("picI"))
        drawText(p, r, QStringLiteral("I"), 15, kItalic);
    else if (name == QLatin1String("picP"))
        drawText(p, r, QStringLiteral("P"), 14);
    else if (name == QLatin1String("picU"))
        drawText(p, r, QStringLiteral("U"), 14, kUnderlined);
    else if (name == QLatin1String("picPRE"))
        drawText(p, r, QStringLiteral("PRE"), 8);
    else if (name == QLatin1String("picPicture")) {
        const QRectF frame(m.x() - 8, m.y() - 6, 16, 12);
        p.setBrush(c.light);
        p.drawRect(frame);
        p.setBrush(c.accent);
        p.drawPolygon(QPolygonF({{frame.left(), frame.bottom()},
                                 {m.x() - 3, m.y() - 1},
                                 {m.x() + 1, m.y() + 3},
                                 {m.x() + 4, m.y()},
                                 {frame.right(), frame.bottom()}}));
        p.drawEllipse(QPointF(m.x() + 4, m.y() - 3), 1.5, 1.5);
    } else if (name == QLatin1String("picLink")) {
        p.setPen(QPen(c.ink, 2));
        p.save();
        p.translate(m);
        p.rotate(-45);
        p.drawRoundedRect(QRectF(-9, -3, 10, 6), 3, 3);
        p.drawRoundedRect(QRectF(-1, -3, 10, 6), 3, 3);
        p.restore();
    } else if (name == QLatin1String("picTable")) {
        const QRectF grid(m.x() - 8, m.y() - 6, 16, 12);
        p.setBrush(c.light);
        p.drawRect(grid);
        for (int i = 1; i < 3; ++i) {
            p.drawLine(QPointF(grid.left() + i * 16.0 / 3, grid.top()),
                       QPointF(grid.left() + i * 16.0 / 3, grid.bottom()));
            p.drawLine(QPointF(grid.left(), grid.top() + i * 4), QPointF(grid.right(), grid.top() + i * 4));
        }
    } else if (name == QLatin1String("picCenter")) {
        const int widths[] = {14, 8, 12, 6};
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(m.x() - widths[i] / 2.0, m.y() - 5.5 + i * 3.5),
                       QPointF(m.x() + widths[i] / 2.0, m.y() - 5.5 + i * 3.5));
    } else if (name == QLatin1String("picLists")) {
        for (int i = 0; i < 3; ++i) {
            const qreal y = m.y() - 5 + i * 5;
            p.fillRect(QRectF(m.x() - 8, y - 1, 2.5, 2.5), c.accent);
            p.drawLine(QPointF(m.x() - 3, y), QPointF(m.x() + 8, y));
        }
    } else if (name == QLatin1String("picHR")) {
        p.fillRect(QRectF(r.left() + 2, m.y() - 1.5, r.width() - 4, 2), c.shadow);
        p.fillRect(QRectF(r.left() + 2, m.y() + 0.5, r.width() - 4, 1), c.light);
    } else if (name == QLatin1String("picNew")) {
        drawPage(p, QRectF(m.x() - 6, m.y() - 8, 12, 16), c);
    } else if (name == QLatin1String("picOpen")) {
        p.setBrush(c.accent);
        p.drawPolygon(QPolygonF({{m.x() - 8, m.y() - 5},
                                 {m.x() - 3, m.y() - 5},
                                 {m.x() - 1, m.y() - 3},
                                 {m.x() + 6, m.y() - 3},
                                 {m.x() + 6, m.y() + 6},
                                 {m.x() - 8, m.y() + 6}}));
        p.setBrush(c.light);
        p.drawPolygon(QPolygonF(
            {{m.x() - 6, m.y()}, {m.x() + 9, m.y()}, {m.x() + 6, m.y() + 6}, {m.x() - 8, m.y() + 6}}));
    } else if (name == QLatin1String("picSave")) {
        p.setBrush(c.accent);
        p.drawRect(QRectF(m.x() - 7, m.y() - 7, 14, 14));
        p.setBrush(c.light);
        p.drawRect(QRectF(m.x() - 4, m.y() - 7, 8, 5));
        p.drawRect(QRectF(m.x() - 5, m.y() + 1, 10, 6));
    } else if (name == QLatin1String("picCut")) {
        p.drawEllipse(QPointF(m.x() - 4, m.y() + 5), 2.5, 2.5);
        p.drawEllipse(QPointF(m.x() + 4, m.y() + 5), 2.5, 2.5);
        p.drawLine(QPointF(m.x() - 3, m.y() + 3), QPointF(m.x() + 3, m.y() - 8));
        p.drawLine(QPointF(m.x() + 3, m.y() + 3), QPointF(m.x() - 3, m.y() - 8));
    } else if (name == QLatin1String("picCopy")) {
        drawPage(p, QRectF(m.x() - 8, m.y() - 8, 10, 12), c);
        drawPage(p, QRectF(m.x() - 2, m.y() - 4, 10, 12), c);
    } else if (name == QLatin1String("picPaste")) {
        p.setBrush(c.accent);
        p.drawRect(QRectF(m.x() - 7, m.y() - 6, 12, 14));
        p.setBrush(c.ink);
        p.drawRect(QRectF(m.x() - 4, m.y() - 8, 6, 3));
        drawPage(p, QRectF(m.x() - 1, m.y() - 2, 9, 10), c);
    } else if (name == QLatin1String("picFind")) {
        p.setPen(QPen(c.ink, 2));
        p.drawEllipse(QPointF(m.x() - 2, m.y() - 2), 5, 5);
        p.drawLine(QPointF(m.x() + 2, m.y() + 2), QPointF(m.x() + 7, m.y() + 7));
    } else if (name == QLatin1String("picPrint")) {
        drawPage(p, QRectF(m.x() - 5, m.y() - 8, 10, 8), c);
        p.setBrush(c.accent);
        p.drawRect(QRectF(m.x() - 8, m.y() - 1, 16, 7));
        p.setBrush(c.light);
        p.drawRect(QRectF(m.x() - 5, m.y() + 4, 10, 4));
    } else if (name == QLatin1String("picBack") || name == QLatin1String("picForward")) {
        drawArrow(p, m, name == QLatin1String("picForward"), c);
    } else if (name == QLatin1String("picStop")) {
        p.setPen(QPen(c.accent, 3));
        p.drawLine(QPointF(m.x() - 5, m.y() - 5), QPointF(m.x() + 5, m.y() + 5));
        p.drawLine(QPointF(m.x() + 5, m.y() - 5), QPointF(m.x() - 5, m.y() + 5));
    } else if (name == QLatin1String("picReload")) {
        p.setPen(QPen(c.accent, 2));
        p.drawArc(QRectF(m.x() - 6, m.y() - 6, 12, 12), 90 * 16, 270 * 16);
        p.setBrush(c.accent);
        p.drawPolygon(QPolygonF({{m.x(), m.y() - 9}, {m.x() + 4, m.y() - 6}, {m.x(), m.y() - 3}}));
    } else if (name == QLatin1String("picGoTo")) {
        drawText(p, r, QStringLiteral("Go"), 11);
    }
}

// One face: the bevel raised (normal) or sunken (pressed), the glyph moved one pixel down and
// right while pressed.
void drawFace(QPainter& p, const ButtonFace& button, bool pressed, const SkinArtPalette& c) {
    const QRectF face(button.face + QPoint(0, pressed ? kPressedFaceOffset : 0), button.size);
    p.fillRect(face, c.face);
    const QColor topLeft = pressed ? c.dark : c.light, bottomRight = pressed ? c.light : c.dark;
    const QColor inner = pressed ? c.shadow : c.face, innerBottom = pressed ? c.face : c.shadow;
    const auto bevel = [&p](const QRectF& r, const QColor& tl, const QColor& br) {
        p.fillRect(QRectF(r.left(), r.top(), r.width(), 1), tl);
        p.fillRect(QRectF(r.left(), r.top(), 1, r.height()), tl);
        p.fillRect(QRectF(r.left(), r.bottom() - 1, r.width(), 1), br);
        p.fillRect(QRectF(r.right() - 1, r.top(), 1, r.height()), br);
    };
    bevel(face, topLeft, bottomRight);
    bevel(face.adjusted(1, 1, -1, -1), inner, innerBottom);
    p.save();
    p.setClipRect(face.adjusted(2, 2, -2, -2));
    drawGlyph(p, QString::fromLatin1(button.name), face.adjusted(2, 2, -2, -2).translated(pressed, pressed),
              c);
    p.restore();
}
} // namespace

SkinArtPalette SkinPaletteFor(const QPalette& palette) {
    SkinArtPalette c{palette.color(QPalette::Button),     palette.color(QPalette::Light),
                     palette.color(QPalette::Mid),        palette.color(QPalette::Shadow),
                     palette.color(QPalette::ButtonText), palette.color(QPalette::Highlight)};
    if (c.face.lightnessF() >= 0.5)
        return c;
    // Glyphs are drawn in ink over the face and over paper in the light colour: a white light colour
    // under white ink would blank them, so the bevel colours are mixed from the face.
    c.light = mixed(c.face, Qt::white, 0.22);
    c.shadow = mixed(c.face, Qt::black, 0.35);
    c.dark = mixed(c.face, Qt::black, 0.7);
    if (contrast(c.ink, c.face) < 4.5 || contrast(c.ink, c.light) < 3)
        c.ink = QColor(240, 240, 240);
    return c;
}

SkinArtPalette SystemSkinPalette() {
    return SkinPaletteFor(QApplication::palette());
}

QPixmap DrawBuiltInSkin(const SkinArtPalette& palette, qreal pixelRatio) {
    QPixmap strip(SkinLayoutSize() * pixelRatio);
    strip.setDevicePixelRatio(pixelRatio);
    strip.fill(palette.face);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const ButtonFace& button : ButtonFaces()) {
        if (button.group == ButtonGroup::None)
            continue;
        drawFace(painter, button, false, palette);
        drawFace(painter, button, true, palette);
    }
    return strip;
}

namespace {
const QLatin1String kCachePrefix("toolbar-");
const QLatin1String kCacheSuffix(".pixels");
// A kept picture is its pixels as they are in memory after a short header: decoding a compressed
// picture costs more than the drawing it replaces would save.
constexpr char kCacheMagic[8] = {'Q', 'S', 'K', 'I', 'N', 'P', 'X', '1'};
struct KeptHeader {
    char magic[8];
    qint32 width, height, format;
};

bool keptFormat(int format) {
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied;
}

// A kept picture of exactly `pixels`, or nothing (missing, short, of another size or kind, or not
// a regular file of the program's own: a link or a named pipe in its place is never read).
std::optional<QImage> readKeptSkin(const QString& path, QSize pixels) {
    QFile file;
    QString reason;
    const qint64 bytes = qint64(sizeof(KeptHeader)) + qint64(pixels.width()) * pixels.height() * 4;
    if (!OpenRegularFile(path, bytes, file, reason, Links::Refuse))
        return std::nullopt;
    KeptHeader header{};
    if (file.read(reinterpret_cast<char*>(&header), sizeof header) != qint64(sizeof header) ||
        std::memcmp(header.magic, kCacheMagic, sizeof kCacheMagic) != 0 ||
        QSize(header.width, header.height) != pixels || !keptFormat(header.format) || file.size() != bytes)
        return std::nullopt;
    QImage image(pixels, QImage::Format(header.format));
    for (int y = 0; y < pixels.height(); ++y) {
        const qint64 row = qint64(pixels.width()) * 4;
        if (file.read(reinterpret_cast<char*>(image.scanLine(y)), row) != row)
            return std::nullopt;
    }
    return image;
}

// Stores `picture` as `name` in `folder`, written whole or not at all, and removes the pictures
// kept under other keys. Failures only cost the next start the drawing.
void keepSkin(const QString& folder, const QString& name, const QPixmap& picture) {
    QImage image = picture.toImage();
    if (!keptFormat(image.format()))
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    if (!QDir().mkpath(folder)) {
        qCWarning(lcQuillora) << "Cannot make the cache folder" << folder;
        return;
    }
    KeptHeader header{};
    std::memcpy(header.magic, kCacheMagic, sizeof kCacheMagic);
    header.width = image.width();
    header.height = image.height();
    header.format = image.format();
    const QString path = folder + QLatin1Char('/') + name;
    // The picture replaces whatever stands at its name: a link there is not written through.
    if (QFileInfo(path).isSymLink())
        QFile::remove(path);
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly) &&
                   file.write(reinterpret_cast<const char*>(&header), sizeof header) == sizeof header;
    for (int y = 0; written && y < image.height(); ++y)
        written = file.write(reinterpret_cast<const char*>(image.constScanLine(y)), image.width() * 4) ==
                  image.width() * 4;
    if (!written || !file.commit()) {
        qCWarning(lcQuillora) << "Cannot keep the toolbar picture in" << file.fileName() << ":"
                              << file.errorString();
        return;
    }
    const QStringList others =
        QDir(folder).entryList({kCachePrefix + QLatin1Char('*') + kCacheSuffix}, QDir::Files);
    for (const QString& other : others)
        if (other != name)
            QFile::remove(folder + QLatin1Char('/') + other);
}
} // namespace

QString SkinCacheFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/Quillora");
}

QString BuiltInSkinCacheName(const SkinArtPalette& palette, qreal pixelRatio) {
    QStringList parts{QStringLiteral("1"), QString::fromLatin1(qVersion()), QString::number(pixelRatio),
                      QApplication::font().toString(), QGuiApplication::platformName()};
    for (const QColor& colour :
         {palette.face, palette.light, palette.shadow, palette.dark, palette.ink, palette.accent})
        parts << colour.name(QColor::HexArgb);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        parts << QString::number(screen->logicalDotsPerInch());
    const QFileInfo program(QCoreApplication::applicationFilePath());
    parts << QString::number(program.size()) << QString::number(program.lastModified().toMSecsSinceEpoch());
    for (const QString& fontCache : {QStringLiteral("/var/cache/fontconfig"),
                                     QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                                         QStringLiteral("/fontconfig")})
        parts << QString::number(QFileInfo(fontCache).lastModified().toMSecsSinceEpoch());
    const QByteArray hash =
        QCryptographicHash::hash(parts.join(QLatin1Char('\n')).toUtf8(), QCryptographicHash::Sha1);
    return kCachePrefix + QString::fromLatin1(hash.toHex()) + kCacheSuffix;
}

QPixmap BuiltInSkin(const SkinArtPalette& palette, qreal pixelRatio, const QString& cacheFolder) {
    const QString name = BuiltInSkinCacheName(palette, pixelRatio);
    const QSize pixels = SkinLayoutSize() * pixelRatio;
    if (std::optional<QImage> kept = readKeptSkin(cacheFolder + QLatin1Char('/') + name, pixels)) {
        QPixmap picture = QPixmap::fromImage(*std::move(kept));
        picture.setDevicePixelRatio(pixelRatio);
        return picture;
    }
    QPixmap drawn = DrawBuiltInSkin(palette, pixelRatio);
    keepSkin(cacheFolder, name, drawn);
    return drawn;
}
