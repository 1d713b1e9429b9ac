#include "app/RecentFiles.h"
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
#include <sys/stat.h>

namespace {
// Each button: tooltip, face, width, guard ('-' none, 'A' active, 'D' active, not minimised), effect.
struct Row {
    const char *name, *tooltip;
    int x, y, width;
    char guard;
    const char* effect;
};
const Row kButtons[] = {
    {"picB", "Bold text", 1, 1, 24, 'D', "text=<B>x</B>"},
    {"picBR", "Break line", 25, 1, 24, 'D', "text=<BR>"},
    {"picS", "Strike through text", 49, 1, 24, 'D', "text=<STRIKE>x</STRIKE>"},
    {"picI", "Italic text", 73, 1, 24, 'D', "text=<I>x</I>"},
    {"picP", "Paragraph", 97, 1, 24, 'D', "text=<P>x</P>"},
    {"picU", "Underlined text", 121, 1, 24, 'D', "text=<U>x</U>"},
    {"picPRE", "Preformatted text", 145, 1, 24, 'D', "text=<PRE>x</PRE>"},
    {"picPicture", "Add Picture", 169, 1, 24, 'D', "asked=0010"},
    {"picLink", "Add Link", 193, 1, 24, 'D', "dialogs=frmLink"},
    {"picTable", "Create Table", 217, 1, 24, 'D', "dialogs=frmTable"},
    {"picCenter", "Center text", 241, 1, 24, 'D', "text=<CENTER>x</CENTER>"},
    {"picLists", "Create List", 265, 1, 24, 'D', "dialogs=frmList"},
    {"picHR", "Horizontal Rule", 289, 1, 24, 'D', "text=<HR>"},
    {"picFrames", "Create Frames", 1, 51, 48, 'D', "dialogs=frmFrames"},
    {"picBody", "Body tag", 49, 51, 48, 'D', "dialogs=frmBody"},
    {"picForms", "Forms", 97, 51, 48, 'D', "dialogs=frmForms"},
    {"picFont", "Font tag", 145, 51, 48, 'D', "dialogs=frmFont"},
    {"picIsmap", "Image Map", 193, 51, 48, 'D', "dialogs=frmIsMap"},
    {"picJava", "JavaScripts", 241, 51, 48, 'D', ""},
    {"picCSS", "Cascading StyleSheets", 337, 51, 48, 'D', "dialogs=frmCSS"},
    {"picNew", "New Document", 1, 101, 24, '-', "documents=2"},
    {"picOpen", "Open Document", 25, 101, 24, '-', "asked=1000"},
    {"picSave", "Save Document", 49, 101, 24, 'A', "asked=0100|saved=x"}, // not in the recent files
    {"picCut", "Cut", 73, 101, 24, 'D', "clip=x|text="},
    {"picCopy", "Copy", 97, 101, 24, 'D', "clip=x"},
    {"picPaste", "Paste", 121, 101, 24, 'D', "text=P"},
    {"picFind", "Find...", 145, 101, 24, 'A', "dialogs=frmFind"},
    {"picPrint", "Print Document", 169, 101, 24, 'A', "asked=0001"},
};

// A skin picture in which every face rectangle has a colour of its own, pressed faces included.
QColor faceColor(int index, bool pressed, int seed) {
    return QColor(10 + index * 8, pressed ? 60 : 180, seed == 0 ? 40 : 220);
}
QImage colouredSkin(int seed, QSize size = {386, 151}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int i = 0; i < int(std::size(kButtons)); ++i)
        for (bool pressed : {false, true})
            painter.fillRect(QRect(kButtons[i].x, kButtons[i].y + (pressed ? 25 : 0), kButtons[i].width, 24),
                             faceColor(i, pressed, seed));
    return image;
}
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

// The picture buttons and their skins, and the colours of documents and faces under light and dark
// palettes.
class SkinsTest : public QObject {
    Q_OBJECT

    // What the buttons can change, as "key=value".
    static QStringList observe(AppFixture& app, const QString& modal, const QString& savePath) {
        QStringList dialogs;
        for (QDialog* dialog : app.main->findChildren<QDialog*>())
            if (dialog->isVisible())
                dialogs << dialog->objectName();
        const ScriptedDialogs& d = app.dialogs;
        const auto n = [](const auto& requests) { return QString::number(requests.size()); };
        // The open, save, pictures and print dialogs asked for.
        return {"asked=" + n(d.openRequests) + n(d.saveRequests) + n(d.openListRequests) + n(d.printRequests),
                "clip=" + QApplication::clipboard()->text(),
                "dialogs=" + dialogs.join(',') + modal,
                "documents=" + QString::number(app.main->documents().DocumentCount),
                "recent=" + StoredRecentFiles().join(','),
                "saved=" + TestEnvironment::readFile(savePath),
                "text=" + app.document(0)->txtRich->text()};
    }

private slots:
    // The skin file's two lines: the picture's name and the colour (R,G,B as exactly 11 characters).
    void skinFile_data() {
        table({"bytes", "read"}, // name|R,G,B; no colour: the button-face colour
              {"CR LF;  a b.png \r\n192,192,192\r\nx; a b.png|192,192,192",
               "LF, blanks around; a.png\n  000,128,255 \t\n; a.png|0,128,255",
               "CR, separators not examined; a.png\r001|002x003; a.png|1,2,3",
               "empty first line, colour not 11 characters; \r\n0,0,255; |",
               "out of range: held, not spilled; x\n999,+50,-12; x|255,50,0",
               "leading numbers or none; x\n7  , 12,abc; x|7,12,0", "one line; a.png; a.png|",
               "colour on the third line; a.png\n\n192,192,192; a.png|", "empty file; ; |"});
    }
    void skinFile() {
        const SkinFile skin = ParseSkinFile(cell("bytes").toUtf8());
        const QColor c = skin.color.value_or(QColor());
        QTEST(skin.pictureName + "|" +
                  (c.isValid() ? QString("%1,%2,%3").arg(c.red()).arg(c.green()).arg(c.blue()) : ""),
              "read");
    }

    // Each button shows the skin's normal and pressed faces; what a skin cannot give keeps the old ones.
    void loadSkin_data() {
        // Faces: new; kept (none named) or previous (failed); built-in. No background: button face.
        table({"skn", "faces", "background"},
              {"start-up, CR LF; full.png\r\n192,192,192\r\n; new; #c0c0c0",
               "empty first line; \r\n192,192,192; kept; #c0c0c0", "skin file gone; ; built-in; ",
               "picture missing; none.png\r\n192,192,192; previous; #c0c0c0",
               "picture broken; broken.png; previous; ", "picture huge; huge.png; previous; ",
               "picture smaller; small.png\r\n001,002,003; new; #010203"});
    }
    void loadSkin() {
        const QString skn = cell("skn"), faces = cell("faces"), background = cell("background");
        AppFixture app;
        const QString root = app.env.root(), path = root + "/skins/my.skn";
        const QSize size = skn.startsWith("small") ? QSize(110, 40) : QSize(386, 151);
        app.env.writeFile("skins/broken.png", "\x89PNG\r\n\x1a\nbroken");
        app.env.writeFile("skins/huge.png", "P6\n60000 60000\n255\n"); // asks for 60000 x 60000 pixels
        app.env.writeFile("base/base.skn", "base.png");
        QVERIFY(colouredSkin(0).save(root + "/skins/full.png") &&
                colouredSkin(1).save(root + "/base/base.png") &&
                colouredSkin(0, {110, 40}).save(root + "/skins/small.png"));
        if (!skn.isEmpty())
            app.env.writeFile("skins/my.skn", skn.toUtf8());
        const bool atStartUp = QByteArray(QTest::currentDataTag()).startsWith("start-up");
        if (atStartUp)
            SettingsStore::write("Settings", "SkinPath", path);
        app.start();
        if (!atStartUp) {
            QVERIFY(app.main->LoadSkin(root + "/base/base.skn"));
            QCOMPARE(app.main->LoadSkin(path), faces == "new" || faces == "kept");
        }
        const QColor strips =
            background.isEmpty() ? QApplication::palette().color(QPalette::Button) : QColor(background);
        QCOMPARE((QList<QColor>{app.main->skinBackground(), app.main->picToolbox->background(),
                                app.main->picToolbar->background()}),
                 QList<QColor>(3, strips));
        const qreal ratio = app.main->devicePixelRatioF();
        const QImage builtIn = DrawBuiltInSkin(SystemSkinPalette(), ratio).toImage();
        for (int i = 0; i < int(std::size(kButtons)); ++i) {
            const Row& row = kButtons[i];
            SkinButton* b = app.main->findChild<SkinButton*>(row.name);
            QVERIFY2(b && b->toolTip() == row.tooltip && b->size() == QSize(row.width, 24), row.name);
            for (bool pressed : {false, true}) {
                if (pressed) // held on the button, let go off it
                    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
                const QImage face = b->face().toImage();
                QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(-5, -5));
                for (QPoint corner : {QPoint(0, 0), QPoint(row.width - 1, 23), QPoint(row.width / 2, 12)}) {
                    const QPoint at = corner + QPoint(row.x, row.y + (pressed ? 25 : 0));
                    const QColor expected = faces == "built-in"            ? builtIn.pixelColor(at * ratio)
                                            : faces != "new"               ? faceColor(i, pressed, 1)
                                            : QRect({}, size).contains(at) ? faceColor(i, pressed, 0)
                                                                           : strips;
                    QVERIFY2(face.pixelColor(corner * face.devicePixelRatio()) == expected, row.name);
                }
            }
        }
    }

    // Only the left button draws pressed and clicks; events p/r press, i/o move in/out, P/R release.
    void mouse() {
        AppFixture app;
        app.start();
        SkinButton* b = app.main->findChild<SkinButton*>("picJava");
        const QImage normal = b->face().toImage();
        int clicks = 0;
        connect(b, &SkinButton::clicked, [&] { ++clicks; });
        const QPoint in(10, 10), out(60, 30);
        QStringList seen;
        // a click, a drag out and back, letting go outside, the right button, both held (no drawing)
        for (const QString events : {"pP", "poiP", "poP", "rR", "proR"}) {
            QString shown;
            clicks = 0;
            for (QChar e : events) {
                const Qt::MouseButton which = e.toLower() == 'p' ? Qt::LeftButton : Qt::RightButton;
                if (e == 'p' || e == 'r')
                    QTest::mousePress(b, which, {}, in);
                else if (e == 'P' || e == 'R') // let go where the pointer was
                    QTest::mouseRelease(b, which, {}, shown.endsWith('n') ? out : in);
                else
                    QTest::mouseMove(b, e == 'i' ? in : out);
                shown += b->face().toImage() == normal ? 'n' : 'p';
            }
            seen << events + " " + shown + " " + QString::number(clicks);
        }
        QCOMPARE(seen, (QStringList{"pP pn 1", "poiP pnpn 1", "poP pnn 0", "rR pn 0", "proR pppn 0"}));
    }

    // Each button's command on a selected "x", run or refused by its guard as the document's state
    // says; clicked, pressed through its accessible press action, or reached and pressed by keys.
    void commands_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("state");
        for (int i = 0; i < int(std::size(kButtons)); ++i)
            for (const char* state :
                 {"active", "minimised", "minimised, marked active", "active, press action", "active, keys"})
                QTest::addRow("%s, %s", kButtons[i].name, state) << i << state;
        QTest::newRow("picCopy, nothing selected") << 24 /* picCopy */ << "nothing selected";
    }
    void commands() {
        QFETCH(int, index);
        QFETCH(QString, state);
        const Row& row = kButtons[index];
        AppFixture app;
        app.start();
        app.document(0)->txtRich->setText("x");
        app.document(0)->txtRich->select(0, state != "nothing selected");
        QApplication::clipboard()->setText("P");
        const QString savePath = app.env.root() + "/saved.htm";
        app.dialogs.savePaths << savePath;
        if (state.startsWith("minimised")) {
            app.document(0)->showMinimized();
            QVERIFY(!app.main->documents().DocumentActive);
            app.main->documents().DocumentActive = state != "minimised";
        }
        SkinButton* button = app.main->findChild<SkinButton*>(row.name);
        if (state.endsWith("keys")) { // Ctrl+F6 to the toolbar, again to the toolbox, then along it
            QVERIFY(shownActive(app.main.get()));
            app.document(0)->txtRich->setFocus();
            const bool toolbar = index >= 20;
            for (int i = 0; i < (toolbar ? 1 : 2); ++i)
                sendKey(QApplication::focusWidget(), Qt::Key_F6, Qt::ControlModifier);
            for (int i = 0; i < (toolbar ? index - 20 : index); ++i)
                sendKey(QApplication::focusWidget(), Qt::Key_Right);
            QCOMPARE(QApplication::focusWidget(), button);
        }
        QString modal;
        QObject scope;
        QTimer::singleShot(0, &scope, [&] {
            QWidget* shown = QApplication::activeModalWidget();
            modal = shown && shown->close() ? shown->objectName() : QString();
        });
        const QStringList before = observe(app, "", savePath);
        if (state.endsWith("keys"))
            sendKey(button, Qt::Key_Space);
        else if (state.endsWith("press action"))
            QAccessible::queryAccessibleInterface(button)->actionInterface()->doAction(
                QAccessibleActionInterface::pressAction());
        else
            button->click();
        QCoreApplication::processEvents();
        QStringList after = observe(app, modal, savePath);
        after.removeIf([&](const QString& entry) { return before.contains(entry); });
        const bool runs =
            row.guard == '-' || state.startsWith("active") || (row.guard == 'A' && state != "minimised");
        QCOMPARE(after.join('|'), runs ? row.effect : "");
    }

    // The shipped example skin loads (QUILLORA_WRITE_SKIN=folder draws it anew); default.skn is empty.
    void shippedSkin() {
        const SkinArtPalette ocean{{176, 196, 222}, {235, 243, 252}, {112, 138, 170},
                                   {40, 60, 90},    {20, 40, 80},    {30, 110, 190}};
        if (const QString target = qEnvironmentVariable("QUILLORA_WRITE_SKIN"); !target.isEmpty())
            QVERIFY(DrawBuiltInSkin(ocean, 1).save(target + "/ocean.png"));
        AppFixture app;
        app.start();
        QVERIFY(app.main->LoadSkin(app.env.programFolder() + "/skins/ocean.skn"));
        QCOMPARE(app.main->findChild<SkinButton*>("picB")->face().toImage().pixelColor(0, 12),
                 QColor(235, 243, 252)); // the light edge
        QCOMPARE(app.main->skinBackground(), QColor(176, 196, 222));
        QCOMPARE(QFileInfo(app.env.programFolder() + "/skins/default.skn").size(), 0);
    }

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

    // The built-in faces an earlier start drew are read back rather than drawn again; a picture that
    // is not exactly one kept for this palette, ratio and build is drawn anew and replaces the others.
    // A kept picture has its last pixel marked, so faces read back show the mark.
    void keptFaces_data() {
        table({"kept", "ratio", "read"},
              {"nothing kept; none; 1; no", "kept; this key's; 1; yes", "kept at 2 x; this key's; 2; yes",
               "another key's; another key's; 1; no", "cut short; short; 1; no",
               "another size; another size; 1; no", "not a kept picture; not a picture; 1; no",
               "no folder to keep it in; folder is a file; 1; no", "a named pipe in its place; pipe; 1; no",
               "a link to a kept picture in its place; link; 1; no"});
    }
    void keptFaces() {
        TestEnvironment env;
        const QString folder = env.root() + "/cache";
        const qreal ratio = cell("ratio").toDouble();
        const QString kept = cell("kept");
        const SkinArtPalette palette = SystemSkinPalette();
        const QString name = BuiltInSkinCacheName(palette, ratio);
        const QString path = folder + "/" + name;
        const QImage drawn = DrawBuiltInSkin(palette, ratio).toImage().convertToFormat(QImage::Format_RGB32);
        const QColor marked(1, 2, 3);
        if (kept == "folder is a file") {
            QVERIFY(QDir(folder).removeRecursively());
            env.writeFile("cache", "x");
        } else if (kept != "none") {
            BuiltInSkin(palette, kept == "another size" ? ratio + 1 : ratio, folder);
            const QStringList written = QDir(folder).entryList(QDir::Files);
            QCOMPARE(written.size(), 1);
            QFile file(folder + "/" + written[0]);
            QVERIFY(file.open(QIODevice::ReadWrite));
            const QRgb pixel = marked.rgb();
            QVERIFY(file.seek(file.size() - 4) && file.write(reinterpret_cast<const char*>(&pixel), 4) == 4);
            if (kept == "short")
                QVERIFY(file.resize(file.size() - 1));
            else if (kept == "not a picture")
                QVERIFY(file.seek(0) && file.write("PNG?") == 4);
            file.close();
            const QString target = kept == "another key's" ? folder + "/toolbar-another.pixels"
                                   : kept == "link"        ? env.root() + "/elsewhere.pixels"
                                                           : path;
            QVERIFY(file.fileName() == target || QFile::rename(file.fileName(), target));
            if (kept == "link")
                QVERIFY(QFile::link(target, path));
            else if (kept == "pipe")
                QVERIFY(QFile::remove(path) && mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        }
        const QPixmap faces = BuiltInSkin(palette, ratio, folder);
        QCOMPARE(faces.devicePixelRatio(), ratio);
        QImage shown = faces.toImage().convertToFormat(QImage::Format_RGB32);
        const QPoint last(shown.width() - 1, shown.height() - 1);
        QCOMPARE(shown.pixelColor(last), cell("read") == "yes" ? marked : drawn.pixelColor(last));
        shown.setPixelColor(last, drawn.pixelColor(last));
        QCOMPARE(shown, drawn);
        // What is kept afterwards: this key's picture alone, read back the same.
        if (kept == "folder is a file") {
            QVERIFY(QFileInfo(folder).isFile());
        } else {
            // The file a link led to is left as it was; the faces are kept at their own name instead.
            if (kept == "link") {
                QVERIFY(!QFileInfo(path).isSymLink());
                QFile elsewhere(env.root() + "/elsewhere.pixels");
                QRgb pixel = 0;
                QVERIFY(elsewhere.open(QIODevice::ReadOnly) && elsewhere.seek(elsewhere.size() - 4) &&
                        elsewhere.read(reinterpret_cast<char*>(&pixel), 4) == 4);
                QCOMPARE(pixel, marked.rgb());
            }
            QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{name});
            QCOMPARE(BuiltInSkin(palette, ratio, folder).toImage().convertToFormat(QImage::Format_RGB32),
                     faces.toImage().convertToFormat(QImage::Format_RGB32));
        }
    }

    // The main window keeps its faces in the user's cache folder, under the name for its palette and
    // pixel ratio, where the next start looks for them.
    void startsWithKeptFaces() {
        AppFixture app;
        app.start();
        const QStringList kept = QDir(SkinCacheFolder()).entryList(QDir::Files);
        QCOMPARE(kept, QStringList{BuiltInSkinCacheName(SystemSkinPalette(), app.main->devicePixelRatioF())});
        QVERIFY(SkinCacheFolder().startsWith(app.env.root()));
    }
};

QTEST_MAIN(SkinsTest)
#include "tst_skins.moc"
