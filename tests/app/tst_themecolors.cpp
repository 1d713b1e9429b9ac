#include "app/SkinButton.h"
#include "app/frmSettings.h"
#include "editor/ThemeColors.h"
#include "editor/mdlFile.h"
#include "platform/SettingsStore.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/Rendered.h"

#include <QtTest>
#include <QtWidgets>
#include <cmath>

namespace {
// Contrast by the relative luminance of the web's accessibility guidelines.
double luminance(const QColor& c) {
    const auto linear = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}
double contrast(const QColor& a, const QColor& b) {
    const double x = luminance(a), y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

QPalette darkPalette() {
    return QPalette(QColor(53, 53, 53), QColor(45, 45, 45)); // button, window
}
// The application's palette for a scope; the light one the tests start with comes back after it.
struct PaletteScope {
    const QPalette saved = QApplication::palette();
    explicit PaletteScope(const QString& which) { use(which); }
    // As the desktop switches it: the windows hear of it from the event loop.
    void use(const QString& which) const {
        QApplication::setPalette(which == "dark" ? darkPalette() : saved);
        QCoreApplication::processEvents();
    }
    ~PaletteScope() { QApplication::setPalette(saved); }
};

// Tag, value, text and comment colour of the page below, then the background.
const char* const kPage = "<a href=\"v\">t</a><!--c-->";
const int kSamples[] = {0, 9, 12, 20};
QList<QColor> shownColors(const RichTextControl& text) {
    QList<QColor> colors;
    for (int at : kSamples)
        colors << colorFromValue(text.colorAt(at));
    return colors << text.palette().color(QPalette::Base);
}
// "L" the light default of a slot, "D" the dark one, or a colour by name, for the five slots.
QList<QColor> expected(const QString& tokens) {
    const QStringList each = tokens.split(' ');
    QList<QColor> colors;
    for (int i = 0; i < 5; ++i)
        colors << (each[i] == "L"   ? colorFromValue(LightDefaultColors()[kColorSlots[i]])
                   : each[i] == "D" ? colorFromValue(DarkDefaultColors()[kColorSlots[i]])
                                    : QColor(each[i]));
    return colors;
}
void store(const QString& pairs) {
    for (const QString& pair : pairs.split('|', Qt::SkipEmptyParts))
        SettingsStore::write("Settings", pair.section('=', 0, 0), pair.section('=', 1));
}
} // namespace

class ThemeColorsTest : public QObject {
    Q_OBJECT

private slots:
    // Defaults give way to the set that suits the background under a dark palette; chosen colours
    // never do. Bits of ChosenColors: 1 tag, 2 value, 4 text, 8 comment, 16 background.
    void startedUnderPalette_data() {
        table({"stored", "palette", "shown"},
              {"nothing stored; ; light; L L L L L", "nothing stored, dark; ; dark; D D D D D",
               "light defaults as a save writes them; TagColor=200|ValColor=13107200|TexColor=0|"
               "ComColor=25600|BGColor=16777215|ChosenColors=0; dark; D D D D D",
               "tag colour chosen; TagColor=255; dark; #ff0000 D D D D",
               "white and black chosen under dark; TexColor=0|BGColor=16777215|ChosenColors=20; dark; "
               "L L #000000 L #ffffff",
               "own light background; BGColor=14745599; dark; L L L L #ffffe0",
               "own dark background; BGColor=1644825; dark; D D D D #191919",
               "own dark background, light palette; BGColor=1644825; light; D D D D #191919",
               "choices under a light palette; TexColor=0|ChosenColors=4; light; L L L L L"});
    }
    void startedUnderPalette() {
        PaletteScope palette(cell("palette"));
        AppFixture app;
        store(cell("stored"));
        app.start();
        frmNotepad* document = OpenDocument(*app.main, app.env.writeFile("page.htm", kPage));
        const QList<QColor> shown = shownColors(*document->txtRich);
        QCOMPARE(shown, expected(cell("shown")));
        QCOMPARE(document->txtRich->palette().color(QPalette::Text), shown[2]); // the cursor's colour
        // Every default colour is readable on the background it is shown on.
        for (int i = 0; i < 4; ++i)
            if (const QString token = cell("shown").split(' ')[i]; token == "L" || token == "D")
                QVERIFY2(contrast(shown[i], shown[4]) >= 4.5, qPrintable(token));
    }

    // The dialog shows what documents show; OK stores a box only when the user changed it.
    void settingsDialog_data() {
        table(
            {"before", "palette", "picks", "after"},
            {"untouched under dark keeps the defaults; ; dark; ; TagColor=200|TexColor=0|BGColor=16777215|"
             "ChosenColors=0",
             "white and black under dark: the text follows the white; ; dark; 4=#ffffff|1=#000000; "
             "TexColor=0|BGColor=16777215|ChosenColors=16",
             "the dark default picked is the default; TagColor=255; dark; 0=D; TagColor=200|ChosenColors=0",
             "the light default picked under light is the default; TagColor=255|ChosenColors=1; light; 0=L; "
             "TagColor=200|ChosenColors=0",
             "a colour of its own; ; dark; 3=#123456; ComColor=5649426|ChosenColors=0"});
    }
    void settingsDialog() {
        PaletteScope palette(cell("palette"));
        AppFixture app;
        store(cell("before"));
        app.start();
        frmNotepad* document = OpenDocument(*app.main, app.env.writeFile("page.htm", kPage));
        app.main->showSettings(false);
        frmSettings* dialog = app.main->findChild<frmSettings*>();
        QList<QColor> boxes;
        for (int i : {0, 2, 1, 3}) // tag, value, text, comment
            boxes << colorFromValue(frmSettings::boxColor(dialog->txtHTMLcolor[i]));
        QCOMPARE(boxes << colorFromValue(frmSettings::boxColor(dialog->txtBackcolor)),
                 shownColors(*document->txtRich));
        for (const QString& pick : cell("picks").split('|', Qt::SkipEmptyParts)) {
            const int box = pick.section('=', 0, 0).toInt();
            const QString colour = pick.section('=', 1);
            const ColorSlot slot = std::array{ColorSlot::Tag, ColorSlot::Text, ColorSlot::Value,
                                              ColorSlot::Comment, ColorSlot::Background}[box];
            app.dialogs.colors << colorFromValue(colour == "D"   ? DarkDefaultColors()[slot]
                                                 : colour == "L" ? LightDefaultColors()[slot]
                                                                 : valueFromColor(QColor(colour)));
            (box == 4 ? dialog->cmdBrowseBGColor : dialog->cmdHTMLbrowse[box])->click();
        }
        dialog->cmdOK->click();
        for (const QString& pair : cell("after").split('|'))
            QCOMPARE(pair.section('=', 0, 0) + "=" + SettingsStore::read("Settings", pair.section('=', 0, 0)),
                     pair);
    }

    // Switching the palette while the program runs recolours open documents and redraws the faces;
    // colours painted by hand, the selection, the unsaved-changes mark and a skin's own faces stay.
    void switchingPalette_data() { table({"skin"}, {"built-in faces; ", "skin file; 100,110,120"}); }
    void switchingPalette() {
        PaletteScope palette("light");
        AppFixture app;
        if (!cell("skin").isEmpty()) {
            QImage picture(386, 151, QImage::Format_RGB32);
            picture.fill(QColor(10, 200, 30));
            QVERIFY(picture.save(app.env.root() + "/my.png"));
            store("SkinPath=" + app.env.writeFile("my.skn", "my.png\n" + cell("skin").toUtf8()));
        }
        app.start();
        frmNotepad* document = OpenDocument(*app.main, app.env.writeFile("page.htm", kPage));
        RichTextControl& text = *document->txtRich;
        text.paint(13, 1, 0x030201); // "<" of the end tag, painted by hand
        text.select(3, 4);
        QList<ColorValue> light = colors(text);
        const auto faceOf = [&app] { return app.main->findChild<SkinButton*>("picB")->face().toImage(); };
        const QImage lightFace = faceOf();

        palette.use("dark");
        QCOMPARE(shownColors(text), expected("D D D D D"));
        QCOMPARE(text.colorAt(13), 0x030201);
        QCOMPARE(text.selStart() * 100 + text.selLength(), 304);
        QVERIFY(!app.record(document->slot()).Modified && !document->windowTitle().endsWith('*'));
        const QColor button = darkPalette().color(QPalette::Button);
        if (cell("skin").isEmpty()) {
            const QImage face = faceOf();
            QCOMPARE(face.pixelColor(QPoint(3, 3) * face.devicePixelRatio()), button);
            QCOMPARE(app.main->picToolbox->background(), button);
        } else {
            QCOMPARE(faceOf(), lightFace);
            QCOMPARE(app.main->picToolbar->background(), QColor(100, 110, 120));
        }
        text.setSelStart(text.textLength());
        typeText(&text, "x");
        QCOMPARE(text.colorAt(text.textLength() - 1), DarkDefaultColors().roles.text);

        palette.use("light");
        QCOMPARE(colors(text), light << LightDefaultColors().roles.text);
        QCOMPARE(text.palette().color(QPalette::Base), colorFromValue(LightDefaultColors().background));
        QCOMPARE(faceOf(), lightFace);
    }

    // The built-in faces on a dark button colour: bevels from the face, glyph ink readable on the face
    // and on the paper glyphs are drawn on, whatever light and ink colours the palette brings.
    void darkFaces_data() {
        table({"ink"}, {"derived palette; ", "a light theme's bevel colours; #ffffff", "dark ink; #101010"});
    }
    void darkFaces() {
        QPalette palette = darkPalette();
        if (!cell("ink").isEmpty()) { // on a light palette: white light, grey mid, black shadow
            palette = QPalette(Qt::white);
            palette.setColor(QPalette::Button, QColor(40, 40, 40));
            palette.setColor(QPalette::ButtonText, QColor(cell("ink")));
        }
        const SkinArtPalette c = SkinPaletteFor(palette);
        QCOMPARE(c.face, palette.color(QPalette::Button));
        QVERIFY(contrast(c.ink, c.face) >= 4.5 && contrast(c.ink, c.light) >= 3);
        QVERIFY(luminance(c.light) > luminance(c.face) && luminance(c.dark) < luminance(c.face));
        const QImage strip = DrawBuiltInSkin(c, 1).toImage();
        QCOMPARE(strip.pixelColor(1, 1), c.light); // the raised bevel of the first face
    }
};

QTEST_MAIN(ThemeColorsTest)
#include "tst_themecolors.moc"
