#pragma once

#include <QByteArray>
#include <QColor>
#include <QObject>
#include <QPalette>
#include <QPixmap>
#include <QPoint>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

class SkinButton;

// The pressed face of every button lies this far below its normal face in the skin picture.
constexpr int kPressedFaceOffset = 25;

enum class ButtonGroup { Html, Wizard, File, Browser, None };

// One picture button: its control name, tooltip, size and where its normal face is in the skin
// picture (pixels from the top left corner). A button of group None has no face.
struct ButtonFace {
    const char* name;
    const char* tooltip;
    ButtonGroup group;
    QPoint face;
    QSize size;
};

// Every picture button of the main window and of the browser windows, strip by strip: the HTML
// buttons, the wizard buttons, the file buttons, then the browser buttons.
const std::vector<ButtonFace>& ButtonFaces();
// The entry named `name`, or nullptr.
const ButtonFace* FindButtonFace(const QString& name);

// The two lines of a skin file that are read: the picture's file name and the strips' colour.
struct SkinFile {
    QString pictureName;         // trimmed; empty keeps the current picture
    std::optional<QColor> color; // absent: the system's button-face colour
};
// Reads the first two lines of a skin file's bytes; lines may end in CR LF, LF or CR.
SkinFile ParseSkinFile(const QByteArray& bytes);
// "R,G,B" as exactly 11 characters after trimming: red in characters 1-3, green in 5-7, blue in
// 9-11, each read as a leading decimal number and held to 0-255. Any other length gives nothing.
std::optional<QColor> ParseSkinColor(const QString& line);

// The colours the built-in faces are drawn in.
struct SkinArtPalette {
    QColor face, light, shadow, dark, ink, accent;
};
// The palette for the faces from a window palette's button colours. On a dark button colour the
// bevels are drawn from the face colour itself and the glyphs in a colour readable on it, as a dark
// palette may carry the light and shadow colours of a light one.
SkinArtPalette SkinPaletteFor(const QPalette& palette);
// The same for the application's palette now.
SkinArtPalette SystemSkinPalette();
// The built-in skin picture: every face of the layout drawn by code, with raised (normal) and
// sunken (pressed) bevels and a glyph per button, at `pixelRatio` device pixels per pixel.
QPixmap DrawBuiltInSkin(const SkinArtPalette& palette, qreal pixelRatio);
// The size of the skin picture layout in pixels.
QSize SkinLayoutSize();

// The built-in faces as an earlier start drew them: drawing them means loading two bold fonts and
// rendering a hundred glyphs, several milliseconds before the first window can show. The picture
// is kept in `cacheFolder` under a name made from all that the drawing depends on (see
// BuiltInSkinCacheName); on a miss it is drawn and stored, replacing the pictures of other keys.
QPixmap BuiltInSkin(const SkinArtPalette& palette, qreal pixelRatio, const QString& cacheFolder);
// The name of the kept picture: a hash of the palette, the pixel ratio, the interface font, the
// window system and its resolution, this program file (a new build may draw otherwise), Qt's
// version and the times fontconfig's caches last changed (fonts installed or removed).
QString BuiltInSkinCacheName(const SkinArtPalette& palette, qreal pixelRatio);
// The folder kept pictures go to: the user's cache folder for this program.
QString SkinCacheFolder();

// Reads a skin picture file; nothing when it cannot be read, is broken, or is larger than the
// image reader's allocation limit.
std::optional<QPixmap> LoadSkinPicture(const QString& path);

// The skin in use: the picture all faces are copied from and the strips' background colour.
// Held by the main window for the whole run; `changed` tells other windows' buttons to redraw.
class ButtonSkin : public QObject {
    Q_OBJECT
public:
    ButtonSkin();

    QPixmap picButtons;
    QColor background;
    // The faces are the built-in ones and the background the palette's button colour, not a skin
    // file's: both follow a change of the application's palette.
    bool builtIn = true;
    bool systemBackground = true;

signals:
    void changed();
};

enum class ButtonState { Normal, Pressed };

// Copies a face of the button's size from the skin picture at (x, y), or 25 pixels lower when
// pressed, onto the button and repaints it. What lies outside the picture shows the background.
void DrawButton(SkinButton& button, const ButtonSkin& skin, int x, int y, ButtonState state);
