#include "app/Skin.h"

#include "app/SkinButton.h"
#include "platform/TextFile.h"

#include <QApplication>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QPalette>

// The tooltips are English; the buttons show them in the user's language (context "Skin").
const std::vector<ButtonFace>& ButtonFaces() {
    const QSize small(24, 24), wide(48, 24);
    static const std::vector<ButtonFace> faces = {
        {"picB", QT_TRANSLATE_NOOP("Skin", "Bold text"), ButtonGroup::Html, {1, 1}, small},
        {"picBR", QT_TRANSLATE_NOOP("Skin", "Break line"), ButtonGroup::Html, {25, 1}, small},
        {"picS", QT_TRANSLATE_NOOP("Skin", "Strike through text"), ButtonGroup::Html, {49, 1}, small},
        {"picI", QT_TRANSLATE_NOOP("Skin", "Italic text"), ButtonGroup::Html, {73, 1}, small},
        {"picP", QT_TRANSLATE_NOOP("Skin", "Paragraph"), ButtonGroup::Html, {97, 1}, small},
        {"picU", QT_TRANSLATE_NOOP("Skin", "Underlined text"), ButtonGroup::Html, {121, 1}, small},
        {"picPRE", QT_TRANSLATE_NOOP("Skin", "Preformatted text"), ButtonGroup::Html, {145, 1}, small},
        {"picPicture", QT_TRANSLATE_NOOP("Skin", "Add Picture"), ButtonGroup::Html, {169, 1}, small},
        {"picLink", QT_TRANSLATE_NOOP("Skin", "Add Link"), ButtonGroup::Html, {193, 1}, small},
        {"picTable", QT_TRANSLATE_NOOP("Skin", "Create Table"), ButtonGroup::Html, {217, 1}, small},
        {"picCenter", QT_TRANSLATE_NOOP("Skin", "Center text"), ButtonGroup::Html, {241, 1}, small},
        {"picLists", QT_TRANSLATE_NOOP("Skin", "Create List"), ButtonGroup::Html, {265, 1}, small},
        {"picHR", QT_TRANSLATE_NOOP("Skin", "Horizontal Rule"), ButtonGroup::Html, {289, 1}, small},
        {"picFrames", QT_TRANSLATE_NOOP("Skin", "Create Frames"), ButtonGroup::Wizard, {1, 51}, wide},
        {"picBody", QT_TRANSLATE_NOOP("Skin", "Body tag"), ButtonGroup::Wizard, {49, 51}, wide},
        {"picForms", QT_TRANSLATE_NOOP("Skin", "Forms"), ButtonGroup::Wizard, {97, 51}, wide},
        {"picFont", QT_TRANSLATE_NOOP("Skin", "Font tag"), ButtonGroup::Wizard, {145, 51}, wide},
        {"picIsmap", QT_TRANSLATE_NOOP("Skin", "Image Map"), ButtonGroup::Wizard, {193, 51}, wide},
        {"picJava", QT_TRANSLATE_NOOP("Skin", "JavaScripts"), ButtonGroup::Wizard, {241, 51}, wide},
        {"picCSS", QT_TRANSLATE_NOOP("Skin", "Cascading StyleSheets"), ButtonGroup::Wizard, {337, 51}, wide},
        {"picGradient", QT_TRANSLATE_NOOP("Skin", "Gradient Text"), ButtonGroup::None, {}, wide},
        {"picNew", QT_TRANSLATE_NOOP("Skin", "New Document"), ButtonGroup::File, {1, 101}, small},
        {"picOpen", QT_TRANSLATE_NOOP("Skin", "Open Document"), ButtonGroup::File, {25, 101}, small},
        {"picSave", QT_TRANSLATE_NOOP("Skin", "Save Document"), ButtonGroup::File, {49, 101}, small},
        {"picCut", QT_TRANSLATE_NOOP("Skin", "Cut"), ButtonGroup::File, {73, 101}, small},
        {"picCopy", QT_TRANSLATE_NOOP("Skin", "Copy"), ButtonGroup::File, {97, 101}, small},
        {"picPaste", QT_TRANSLATE_NOOP("Skin", "Paste"), ButtonGroup::File, {121, 101}, small},
        {"picFind", QT_TRANSLATE_NOOP("Skin", "Find..."), ButtonGroup::File, {145, 101}, small},
        {"picPrint", QT_TRANSLATE_NOOP("Skin", "Print Document"), ButtonGroup::File, {169, 101}, small},
        {"picBack", QT_TRANSLATE_NOOP("Skin", "Back (Alt+Bksp)"), ButtonGroup::Browser, {193, 101}, small},
        {"picForward", QT_TRANSLATE_NOOP("Skin", "Forward"), ButtonGroup::Browser, {217, 101}, small},
        {"picStop", QT_TRANSLATE_NOOP("Skin", "Stop"), ButtonGroup::Browser, {241, 101}, small},
        {"picReload", QT_TRANSLATE_NOOP("Skin", "Reload (Ctrl+R)"), ButtonGroup::Browser, {265, 101}, small},
        {"picGoTo", QT_TRANSLATE_NOOP("Skin", "Go To URL"), ButtonGroup::Browser, {289, 101}, small},
    };
    return faces;
}

const ButtonFace* FindButtonFace(const QString& name) {
    for (const ButtonFace& face : ButtonFaces())
        if (name == QLatin1String(face.name))
            return &face;
    return nullptr;
}

QSize SkinLayoutSize() {
    return {386, 151};
}

SkinFile ParseSkinFile(const QByteArray& bytes) {
    const QString text = QString::fromUtf8(bytes);
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size() && lines.size() < 2; ++i) {
        if (text[i] != QLatin1Char('\r') && text[i] != QLatin1Char('\n'))
            continue;
        lines << text.mid(start, i - start);
        if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (lines.size() < 2 && start < text.size())
        lines << text.mid(start);
    SkinFile skin;
    if (!lines.isEmpty())
        skin.pictureName = lines[0].trimmed();
    if (lines.size() > 1)
        skin.color = ParseSkinColor(lines[1]);
    return skin;
}

namespace {
// The number at the start of `text` (after blanks, with an optional sign), held to 0-255;
// text that does not start with a number reads as 0.
int leadingComponent(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    const bool negative = i < text.size() && text[i] == QLatin1Char('-');
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        ++i;
    int value = 0;
    for (; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i)
        value = std::min(value * 10 + text[i].digitValue(), 255);
    return negative ? 0 : value;
}
} // namespace

std::optional<QColor> ParseSkinColor(const QString& line) {
    const QString text = line.trimmed();
    if (text.size() != 11)
        return std::nullopt;
    return QColor(leadingComponent(text.mid(0, 3)), leadingComponent(text.mid(4, 3)),
                  leadingComponent(text.mid(8, 3)));
}

std::optional<QPixmap> LoadSkinPicture(const QString& path) {
    QFile file;
    QString reason;
    if (!OpenRegularFile(path, kMaxPictureBytes, file, reason))
        return std::nullopt;
    // The reader refuses pictures beyond its allocation limit before decoding them.
    QImageReader reader(&file);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return std::nullopt;
    return QPixmap::fromImage(image);
}

ButtonSkin::ButtonSkin() : background(QApplication::palette().color(QPalette::Button)) {}

void DrawButton(SkinButton& button, const ButtonSkin& skin, int x, int y, ButtonState state) {
    const QSize size = button.size();
    const qreal ratio = skin.picButtons.isNull() ? 1.0 : skin.picButtons.devicePixelRatio();
    QPixmap face(size * ratio);
    face.setDevicePixelRatio(ratio);
    face.fill(skin.background);
    if (!skin.picButtons.isNull()) {
        const int top = state == ButtonState::Pressed ? y + kPressedFaceOffset : y;
        QPainter painter(&face);
        // Parts of the rectangle outside the picture are left out and keep the background.
        const QRect source(QPoint(qRound(x * ratio), qRound(top * ratio)), size * ratio);
        const QRect inside = source.intersected(QRect(QPoint(0, 0), skin.picButtons.size()));
        if (!inside.isEmpty())
            painter.drawPixmap(
                QRectF(QPointF(inside.topLeft() - source.topLeft()) / ratio, QSizeF(inside.size()) / ratio),
                skin.picButtons, inside);
    }
    button.setFace(face);
}

#include "moc_Skin.cpp"
