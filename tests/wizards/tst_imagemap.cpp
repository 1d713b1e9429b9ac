#include "editor/EditableDocument.h"
#include "editor/mdlFile.h"
#include "markup/ImageMapModel.h"
#include "platform/Version.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/ShellFixture.h"
#include "wizards/Pictures.h"
#include "wizards/frmIsMap.h"

#include <QtTest>
#include <QtWidgets>

static const QColor kGreen(0, 128, 0);

namespace {

// A JPEG stored 4 x 2 whose orientation mark turns it a quarter, as cameras write them.
QByteArray turnedJpeg() {
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    image.save(&buffer, "JPG");
    return bytes.insert(
        2, QByteArray("\xFF\xE1\0\x22"
                      "Exif\0\0MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0",
                      36));
}

// A main window with "site/page.htm" open and pictures below "site/pics".
struct Site : ShellFixture {
    frmNotepad* page = nullptr;
    Site() {
        start();
        env.writeFile("site/pics/broken.png", "not a picture");
        env.writeFile("site/pics/turned.jpg", turnedJpeg());
        QImage image(3, 4, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QVERIFY(image.save(env.root() + "/site/pics/b.png") && image.save(env.root() + "/site/pics/ö😀.png"));
        page = OpenDocument(*main, env.writeFile("site/page.htm", "ab"));
    }
    QString at(const QString& name) const { return env.root() + "/site/" + name; }
};

} // namespace

// Pictures in a page: the image map dialog, and pictures added with their paths and sizes.
class ImageMapTest : public QObject {
    Q_OBJECT

private slots:
    void cleanCoords_data() { // one final comma goes, or a comma and a blank
        table({"coords", "expected"},
              {"final comma; 0,0,50,0,25,40,; 0,0,50,0,25,40", "comma and blank; 1,2, ; 1,2",
               "blank after two commas; 1,2,, ; 1,2", "blank alone stays; 1,2 ; 1,2 ", "comma only; ,; "});
    }
    void cleanCoords() { QTEST(CleanCoords(cell("coords")), "expected"); }

    // Random steps, partly off the picture: all points stay on it, coords match outlines, one AREA each.
    void randomDrawing() {
        QRandomGenerator random(20240612);
        ImageMapModel model;
        model.setPictureSize({200, 150});
        QString coords;
        int live[4] = {};
        for (int step = 0; step < 10000; ++step) {
            const QPoint at(random.bounded(-40, 240), random.bounded(-40, 190));
            const int op = random.bounded(16);
            const int k = random.bounded(int(model.shapes().size()) + 1);
            const int kind = k < model.shapes().size() ? model.shapes()[k].Kind : 0;
            const bool complete = model.shapeComplete();
            CoordsEdit edit;
            if (op < 2)
                model.moveTo(at);
            else if (op < 10)
                edit = op < 9 ? model.leftClick(at) : model.rightClick(at);
            else if (op < 11)
                model.setDrawKind(random.bounded(1, 4));
            else if (op < 15 && (model.addShape(CleanCoords(coords), "", "", "") >= 0) == complete)
                live[model.drawKind()] += complete;
            else if (op < 15)
                QFAIL("an outline added before it was complete, or not when it was");
            else
                live[kind] -= model.removeShape(k);
            coords = edit.action == CoordsEdit::Set ? edit.text : edit.action ? coords + edit.text : coords;
            QVERIFY(QRect(0, 0, 200, 150).contains(model.pointer()));
        }
        QVERIFY(live[1] > 10 && live[2] > 10 && live[3] > 10);
        const QString code = BuildImageMapCode("p", "m", model.shapes(), "");
        for (int kind = 1; kind <= 3; ++kind)
            QCOMPARE(code.count("SHAPE=\"" + ShapeKeyword(kind) + '"'), live[kind]);
        for (const MapShape& shape : model.shapes()) {
            QStringList numbers;
            for (QPoint point : shape.Outline.Points) {
                QVERIFY(QRect(0, 0, 200, 150).contains(point));
                numbers << QString::number(point.x()) << QString::number(point.y());
            }
            if (shape.Kind == CircleShape)
                numbers << QString::number(shape.Outline.Radius);
            QCOMPARE(shape.Coords, numbers.join(','));
            const qsizetype n = numbers.size();
            QVERIFY(shape.Kind == PolygonShape ? n >= 6 : n == (QList{0, 4, 0, 3}[shape.Kind]));
        }
    }

    // Coordinates|buttons (add, remove, -)|entries|read-outs|kind|points drawn; after OK the page (- closed).
    void dialog_data() {
        table({"script", "expected"},
              {"rectangle, bad picture; L10,20 M60,50 L110,80 C U; 10,20,110,80|add||110,80|Rectangle|2",
               "clamped; L-5,3 M400,2 L500,500; 0,3,199,149|add||199,149|Rectangle|2",
               "rectangle abandoned; L10,20 R50,50; |-||50,50|Rectangle|0",
               "triangle; K1 L0,0 L50,0 L25,40 R30,30; 0,0,50,0,25,40,|add||30,30|Polygon|3",
               "two points enclose nothing; K1 L0,0 L50,0 R3,3; |-||3,3|Polygon|0",
               "circle: the horizontal distance; K2 L100,100 L70,140; 100,100,30|add||70,140|Circle|1",
               "kind changed; L10,20 L30,40 K2 L5,5; 5,5|-||5,5|Circle|1",
               "kind changed mid-polygon; K1 L1,1 L9,1 L5,5 K1 R0,0; 1,1,9,1,5,5,|-||0,0|Polygon|0",
               "added, none picked: nothing to remove; K1 L0,0 L50,0 L25,40 R1,1 A; |-|Shape0|1,1|Polygon|0",
               "triangle added; K1 L0,0 L50,0 L25,40 R1,1 A S0; 0,0,50,0,25,40|remove|Shape0|1,1|Polygon|0",
               "picked shape drops drawing; L1,2 L3,4 A K2 L9,9 S0; 1,2,3,4|remove|Shape0|9,9|Rectangle|0",
               "removed; L1,2 L3,4 A L5,6 L7,8 A S0 D; |-|Shape1|7,8|Rectangle|0",
               "typed, Enter dropped; L1,2 T,x~9 E L3,4; 1,2, 9,3,4|add||3,4|Rectangle|2",
               "picture larger than the screen; G L1500,1100; 1500,1100|-||1500,1100|Rectangle|2",
               "OK, the second of three removed, a link browsed, one empty; =||_top|Home Nnav B L10,20 "
               "L110,80 C A K1 L0,0 L50,0 L25,40 R1,1 A K2 L100,100 L70,100 A S1 D O; a<IMG SRC=\"map.png\" "
               "BORDER=\"0\" USEMAP=\"#nav\">\r\n<MAP NAME=\"nav\">\r\n\t<AREA SHAPE=\"RECT\" "
               "COORDS=\"10,20,110,80\" HREF=\"sub/a.htm\" TARGET=\"_top\" ALT=\"Home\">\r\n\t<AREA "
               "SHAPE=\"CIRCLE\" COORDS=\"100,100,30\" HREF=\"\">\r\n</MAP>\r\nb",
               "OK, no name, ALT alone, values as typed; =|b~c||~\"x K1 L0,0 L50,0 L25,40 R1,1 A O; a<IMG "
               "SRC=\"map.png\" BORDER=\"0\" USEMAP=\"#\">\r\n<MAP NAME=\"\">\r\n\t<AREA SHAPE=\"POLY\" "
               "COORDS=\"0,0,50,0,25,40\" HREF=\"b c\" ALT=\" \"x\">\r\n</MAP>\r\nb",
               "OK, picture box emptied; L10,20 L110,80 A P O; ab",
               "OK, document closed; L10,20 L110,80 A X O; -"});
    }
    // Steps: L/R/M x,y click left/right or move on the picture; K n kind; A add; S n pick; D remove; T/E
    // coordinates typed (E adds Enter); N map name typed with Enter; B browse link; =name|link|target|alt
    // (~ blank); U bad, G huge picture; P picture emptied; X document closed; O OK; C outline 10,20-110,80.
    void dialog() {
        QFETCH(QString, script);
        ShellFixture app;
        const QPointer<frmNotepad> page = OpenDocument(app.start(), app.env.writeFile("site/page.htm", "ab"));
        page->txtRich->select(1, 0);
        for (const auto& [name, size] : {std::pair("map.png", QSize(200, 150)), {"big.png", {1600, 1200}}}) {
            QImage image(size, QImage::Format_RGB32);
            image.fill(kGreen);
            image.save(app.env.root() + "/site/" + name, nullptr, 100);
        }
        const QHash<QChar, QString> paths{{'G', app.env.root() + "/site/big.png"},
                                          {'U', app.env.writeFile("site/bad.png", "no picture")},
                                          {'B', app.env.writeFile("site/sub/a.htm", "")}};
        frmIsMap d(*app.main, app.main.get());
        QVERIFY(shownActive(&d));
        app.dialogs.openPaths.enqueue(app.env.root() + "/site/map.png");
        d.cmdPicture->click();
        const QHash<QChar, QPushButton*> buttons{{'A', d.cmdAdd},     {'D', d.cmdRemove},
                                                 {'O', d.cmdOK},      {'B', d.cmdBrowse},
                                                 {'U', d.cmdPicture}, {'G', d.cmdPicture}};
        for (const QString& step : script.split(' ')) {
            const QChar op = step[0];
            const QStringList args = QString(step.mid(1)).replace('~', ' ').split(op == '=' ? '|' : ',');
            const QPoint at(args.value(0).toInt(), args.value(1).toInt());
            // Sent as they stand: QTest would take the point (0, 0) for the widget's centre.
            const auto send = [&](QEvent::Type type, Qt::MouseButton changed, Qt::MouseButtons held) {
                QMouseEvent event(type, at, d.picPicture->mapToGlobal(at), changed, held, {});
                QApplication::sendEvent(d.picPicture, &event);
            };
            if (op == 'M')
                send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
            else if (op == 'L' || op == 'R') {
                const Qt::MouseButton button = op == 'L' ? Qt::LeftButton : Qt::RightButton;
                send(QEvent::MouseButtonPress, button, button), send(QEvent::MouseButtonRelease, button, {});
            }
            if (op == 'K' || op == 'S') {
                QComboBox* box = op == 'K' ? d.cmbShape : d.cmbShapes;
                box->setCurrentIndex(at.x());
                emit box->activated(at.x());
            } else if (op == 'T' || op == 'E' || op == 'N') {
                typeKeys(op == 'N' ? d.txtMapName : d.txtCoords,
                         args.join(',') + (op == 'T' ? "" : "{Return}"));
            } else if (op == '=') {
                for (int i = 0; i < 4; ++i)
                    QList{d.txtMapName, d.txtLink, d.txtTarget, d.txtAlt}[i]->setText(args[i]);
            } else if (op == 'P' || op == 'X') {
                op == 'P' ? d.txtPicture->clear() : (page->close(), ShellFixture::flush());
            } else if (op == 'C') {
                const QImage shown = d.picPicture->grab().toImage();
                QVERIFY(shown.pixelColor(60, 20) != kGreen && shown.pixelColor(60, 50) == kGreen);
            } else if (buttons.contains(op)) {
                if (paths.contains(op))
                    app.dialogs.openPaths.enqueue(paths[op]);
                buttons[op]->click();
            }
        }
        QStringList listed;
        for (int i = 0; i < d.cmbShapes->count(); ++i)
            listed << d.cmbShapes->itemText(i);
        const bool ok = script.endsWith('O'), big = script.contains('G');
        const QString enabled =
            QString(d.cmdAdd->isEnabled() ? "add" : "") + (d.cmdRemove->isEnabled() ? "remove" : "");
        QTEST(ok ? (page ? page->txtRich->text() : "-")
                 : QStringList({d.txtCoords->text(), enabled.isEmpty() ? "-" : enabled, listed.join(','),
                                d.lblX->text() + ',' + d.lblY->text(), d.cmbShape->currentText(),
                                QString::number(d.model().drawing().Points.size())})
                       .join('|'),
              "expected");
        QCOMPARE(d.result(), script.contains('P') ? QDialog::Rejected : ok ? QDialog::Accepted : 0);
        QCOMPARE(d.isVisible(), !ok);
        if (ok && page && page->txtRich->text() != "ab") { // one undo step
            page->mnuUndo->trigger();
            QCOMPARE(page->txtRich->text(), "ab");
        }
        // A picture is shown whole, a huge one in a scroll area that keeps the dialog and OK on screen.
        QCOMPARE(d.txtPicture->text(), script.contains('P') ? "" : big ? "big.png" : "map.png");
        QCOMPARE(d.picPicture->width(), big ? 1600 : 200);
        QCOMPARE(d.picArea->viewport()->width() < d.picPicture->width(), big);
        QVERIFY(d.screen()->availableGeometry().contains(d.frameGeometry()));
        QVERIFY(d.rect().contains(QRect(d.cmdOK->mapTo(&d, QPoint()), d.cmdOK->size())));
        QCOMPARE(app.dialogs.messages.size(), script.count('U'));
        for (const ScriptedDialogs::Message& m : app.dialogs.messages)
            QVERIFY(m.title == MessageBoxTitle() && m.icon == Dialogs::Icon::Critical &&
                    m.text == "An error occurred when opening file: " + paths['U']);
    }

    // Below the document's folder a path is relative, elsewhere absolute; URL characters are encoded.
    void relativePath_data() {
        table({"path", "document", "expected"},
              {"below; /w/site/img/x/logo.gif; /w/site/a.htm; img/x/logo.gif",
               "sibling sharing the name's start; /w/sites/l.gif; /w/site/a.htm; /w/sites/l.gif",
               "climbing out is not below; /w/site/../o/l.gif; /w/site/a.htm; /w/o/l.gif",
               "nothing lies above the root; /../l.gif; /a.htm; l.gif",
               "never saved; /w/site/logo.gif; ; /w/site/logo.gif",
               "line breaks encoded, space kept; /w/site/1%#1?\"a\\b\n c.gif; /w/site/a.htm; "
               "1%25%231%3F%22a%5Cb%0A c.gif",
               "non-ASCII kept; /w/sïte/å ö/😀.gif; /w/sïte/a.htm; å ö/😀.gif",
               "empty path; ; /w/site/a.htm; "});
    }
    void relativePath() { QTEST(MakeRelativePath(cell("path"), cell("document")), "expected"); }

    // Pictures from the menu (no size) or the toolbox (sized, one a line), one undo step each; LastDir.
    void insert_data() {
        table({"how", "files", "text"},
              {"menu, cancelled; menu LastDir; ; ab", // over "a|b", or "lines": "a[\r\né\r\n]b"
               "toolbox, one unreadable: no size, no line break; toolbox; broken.png; "
               "a<IMG SRC=\"pics/broken.png\" BORDER=\"0\" ALT=\"\">b",
               "toolbox, several in order, LastDir, a turned photograph as shown; toolbox LastDir; b.png "
               "turned.jpg; "
               "a<IMG SRC=\"pics/b.png\" WIDTH=\"3\" HEIGHT=\"4\" BORDER=\"0\" ALT=\"\">\r\n"
               "<IMG SRC=\"pics/turned.jpg\" WIDTH=\"2\" HEIGHT=\"4\" BORDER=\"0\" ALT=\"\">\r\nb",
               "toolbox, non-ASCII name, over a selection of lines; toolbox lines; ö😀.png broken.png; "
               "a<IMG SRC=\"pics/ö😀.png\" WIDTH=\"3\" HEIGHT=\"4\" BORDER=\"0\" ALT=\"\">\r\n"
               "<IMG SRC=\"pics/broken.png\" BORDER=\"0\" ALT=\"\">\r\nb",
               "menu, LastDir, over a selection of lines; menu LastDir lines; ö😀.png; "
               "a<IMG SRC=\"pics/ö😀.png\" BORDER=\"0\" ALT=\"\">b"});
    }
    void insert() {
        QFETCH(QString, how);
        const bool menu = how.startsWith("menu"), lastDir = how.contains("LastDir");
        Site site;
        site.main->mutableSettings().LastDir = lastDir;
        site.main->setDialogFolder("/start");
        const QString initial = how.contains("lines") ? "a\r\né\r\nb" : "ab";
        site.page->txtRich->setText(initial);
        site.page->ClearAllUndo();
        site.page->txtRich->select(1, int(initial.size()) - 2);
        QStringList paths;
        for (const QString& file : cell("files").split(' ', Qt::SkipEmptyParts))
            paths << site.at("pics/" + file);
        if (menu) {
            site.dialogs.openPaths.append(paths);
            InsertPictureFromMenu(*site.main, site.page->editable());
        } else {
            site.dialogs.openPathLists.enqueue(paths);
            InsertPicturesFromToolbox(*site.main);
        }
        QTEST(site.page->txtRich->text(), "text");
        for (qsizetype undone = 0; undone < paths.size(); ++undone) {
            QVERIFY(site.page->txtRich->text() != initial);
            site.page->mnuUndo->trigger();
        }
        QCOMPARE(site.page->txtRich->text(), initial);
        const auto& requests = menu ? site.dialogs.openRequests : site.dialogs.openListRequests;
        QCOMPARE(QString::number(requests.size()) + '|' + requests.value(0).folder + '|' +
                     QString::number(requests.value(0).filterIndex) + '|' + requests.value(0).filter,
                 "1|/start|1|" + QString(kPictureFilter));
        QCOMPARE(site.main->dialogFolder(),
                 lastDir && !paths.isEmpty() ? site.at("pics") : QString("/start"));
    }

    // No dialog without a current document, nor while it is minimised. The folder chooser; Qt's filters.
    void toolboxNeedsAnOpenDocument() {
        Site site;
        site.page->showMinimized();
        site.main->documents().CurrentDocument = site.page->slot();
        InsertPicturesFromToolbox(*site.main);
        QCOMPARE(MakeRelativePath(*site.main, site.at("pics/a.gif")), "pics/a.gif"); // minimised: folder kept
        // Seen from a given document (a modal wizard's), whichever is current.
        site.main->documents().CurrentDocument = 0;
        QCOMPARE(MakeRelativePath(&site.page->editable(), site.at("pics/a.gif")), QString("pics/a.gif"));
        QCOMPARE(MakeRelativePath(nullptr, site.at("pics/a.gif")), site.at("pics/a.gif"));
        site.main->documents().CurrentDocument = site.page->slot();
        site.page->close();
        InsertPicturesFromToolbox(*site.main);
        QCOMPARE(site.dialogs.openListRequests.size(), 0);
        QCOMPARE(MakeRelativePath(*site.main, site.at("pics/a.gif")), site.at("pics/a.gif"));
        site.dialogs.folders.enqueue("/chosen");
        QCOMPARE(BrowseForFolder(*site.main), QString("/chosen"));
        QCOMPARE(site.dialogs.folderRequests[0].prompt + '|' + site.dialogs.folderRequests[0].folder,
                 "Please select a folder:|" + site.main->dialogFolder());
        const QStringList filters = qtNameFilters(kPictureFilter);
        QCOMPARE(filters.first() + '|' + filters.last(), "GIF, JPEG, PNG (*.gif *.jpg *.png)|All files (*)");
    }
};

QTEST_MAIN(ImageMapTest)
#include "tst_imagemap.moc"
