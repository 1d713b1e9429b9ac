#include "editor/UndoHistory.h"
#include "editor/mdlFile.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "wizards/frmFrames.h"

#include <QWebEngineView>
#include <QtTest>
#include <QtWidgets>
#include <tuple>

namespace {

constexpr float kWidth = 6000, kHeight = 4500;

// Layout script: V/H split the selected frame, sK selects frame K, D+/D- drag the last border, n names
// frames "fK", AK fills frame K, NK= WK= BK= CK= set name, width, border size, colour; B: 4-pixel borders.
void Run(FramesModel& model, const QString& script) {
    for (const QString& op : script.split(' ', Qt::SkipEmptyParts)) {
        const int k = op.mid(1).section('=', 0, 0).toInt(), field = QString("NWBC").indexOf(op.at(0));
        FrameRecord& frame = model.frames[qMin(k, model.splitCount())];
        BorderRecord& border = model.borders[qMin(k, model.splitCount())];
        if (op == "V" || op == "H")
            model.split(op == "H");
        else if (op.startsWith('D'))
            model.dragLatestBorder(op == "D+" ? 50 : 5);
        else if (op == "B")
            for (BorderRecord& each : model.borders)
                each.BorderSize = "4";
        else if (op.startsWith('s'))
            model.selected = k;
        else if (op == "n")
            for (int f = 0; f <= model.splitCount(); ++f)
                model.frames[f].Name = QString("f%1").arg(f);
        else if (op.startsWith('A'))
            std::tie(frame.Name, frame.Scrolling, frame.Source, frame.MarginWidth, frame.MarginHeight,
                     frame.NoResize) = std::tuple("n", "No", "s.htm", "1", "2", true);
        else if (field >= 0)
            *std::array{&frame.Name, &frame.Width, &border.BorderSize, &border.BorderColor}[field] =
                op.section('=', 1);
    }
}

} // namespace

class FramesTest : public QObject {
    Q_OBJECT

private slots:
    void builder_data() {
        table({"script", "expected"},
              {"same direction twice: the new frame beside the first border, 50.5% is 51%; V D+ D+ V W2=*; "
               "<FRAMESET COLS=\"51%,49%\">\n\t<FRAMESET COLS=\"50%,*\">\n\t\t<FRAME\n\t\t>\n\t\t<FRAME\n"
               "\t\t>\n\t</FRAMESET>\n\t<FRAME\n\t>\n</FRAMESET>\n",
               "two columns split across, borders filling the height; @120 V H s1 H N0=a N1=b N2=c N3=d; "
               "<FRAMESET COLS=\"50%,50%\">\n\t<FRAMESET ROWS=\"50%,50%\">\n\t\t<FRAME\n\t\t NAME=\"a\"\n"
               "\t\t>\n\t\t<FRAME\n\t\t NAME=\"c\"\n\t\t>\n\t</FRAMESET>\n\t<FRAMESET ROWS=\"50%,50%\">\n"
               "\t\t<FRAME\n\t\t NAME=\"b\"\n\t\t>\n\t\t<FRAME\n\t\t NAME=\"d\"\n\t\t>\n"
               "\t</FRAMESET>\n</FRAMESET>\n",
               "typed widths, size, colour, every property in order; V W0=* W1=200 B1=3 C1=#ff0000 A1; "
               "<FRAMESET COLS=\"*,200\" BORDER=\"3\" FRAMESPACING=\"3\" BORDERCOLOR=\"#ff0000\">\n"
               "\t<FRAME\n\t>\n\t<FRAME\n\t NAME=\"n\"\n\t SRC=\"s.htm\"\n\t SCROLLING=\"No\"\n\t NORESIZE\n"
               "\t MARGINWIDTH=\"1\"\n\t MARGINHEIGHT=\"2\"\n\t>\n</FRAMESET>\n",
               "one pixel; @90 H; <FRAMESET ROWS=\"50%,50%\">\n\t<FRAME\n\t>\n\t<FRAME\n\t>\n</FRAMESET>\n",
               "under one pixel: refused; @89.9 H; ",
               "size not a number, as typed, 0.5 is none; H s1 H B1=2px B2=0.5; "
               "<FRAMESET ROWS=\"50%,50%\" BORDER=\"2px\" FRAMESPACING=\"2px\">\n\t<FRAME\n\t>\n"
               "\t<FRAMESET ROWS=\"50%,50%\" BORDER=\"0\" FRAMEBORDER=\"0\" FRAMESPACING=\"0\">\n"
               "\t\t<FRAME\n\t\t>\n\t\t<FRAME\n\t\t>\n\t</FRAMESET>\n</FRAMESET>\n"});
    }
    void builder() {
        QFETCH(QString, script);
        FramesModel model(kWidth,
                          script.startsWith('@') ? script.section(' ', 0, 0).mid(1).toFloat() : kHeight);
        Run(model, script);
        QCOMPARE(BuildFrameset(model, "\t"), cell("expected").replace("\n", "\r\n"));
    }

    // Random steps: the rects tile the area; frames written once, a FRAMESET per split, shares add to 100%.
    void randomLayouts() {
        QRandomGenerator random(20240612);
        static const QRegularExpression sizes("(ROWS|COLS)=\"(\\d+)%,(\\d+)%\"");
        for (int run = 0; run < 600; ++run) {
            FramesModel model(kWidth, kHeight);
            for (int step = 0; step < 40; ++step) {
                const int op = random.bounded(4);
                if (op < 2)
                    model.split(op == 1);
                else if (op == 2)
                    model.selected = random.bounded(model.splitCount() + 1);
                else
                    model.dragLatestBorder(random.bounded(-30, 90));
            }
            std::vector<TwipRect> rects = model.frameRects;
            rects.insert(rects.end(), model.borderRects.begin() + 1, model.borderRects.end());
            const auto overlap = [](float a, float an, float b, float bn) {
                return std::min(a + an, b + bn) - std::max(a, b);
            };
            double covered = 0;
            for (size_t i = 0; i < rects.size(); ++i) {
                const TwipRect& r = rects[i];
                QVERIFY(r.width >= 15 && r.height >= 15 &&
                        overlap(r.left, r.width, 0, kWidth) > r.width - 0.01f &&
                        overlap(r.top, r.height, 0, kHeight) > r.height - 0.01f);
                covered += double(r.width) * r.height;
                for (size_t j = 0; j < i; ++j)
                    QVERIFY(overlap(r.left, r.width, rects[j].left, rects[j].width) < 0.01f ||
                            overlap(r.top, r.height, rects[j].top, rects[j].height) < 0.01f);
            }
            QVERIFY(qAbs(covered - double(kWidth) * kHeight) < 1);
            Run(model, "n");
            const QString out = BuildFrameset(model, "\t");
            for (int k = 0; k <= model.splitCount() && model.splitCount() > 0; ++k)
                QCOMPARE(out.count(QString("NAME=\"f%1\"\r\n").arg(k)), 1);
            int depth = 0;
            for (const QString& line : out.split("\r\n"))
                QVERIFY((depth += line.contains("<FRAMESET") - line.contains("</FRAMESET>")) >= 0);
            QVERIFY(depth == 0 && out.count("<FRAMESET") == model.splitCount());
            for (const QRegularExpressionMatch& pair : sizes.globalMatch(out))
                QCOMPARE(pair.captured(2).toInt() + pair.captured(3).toInt(), 100);
        }
    }

    // Shown by the browser engine, each frame lies within 2% of where it was drawn (B: the drawn borders).
    void rendersAsDrawn_data() {
        table({"script"}, {"right half split in three; V s1 H s1 H B", "mixed nesting; V s1 H s2 V s0 H B",
                           "dragged, then split beside; V D+ D+ D+ D+ D+ D+ D+ D+ s0 V B",
                           "dragged back, deep; H s1 V s2 H D- D- D- D- D- D- s3 V D+ D+ D+ B",
                           "browser's own borders; V s1 H s2 V"});
    }
    void rendersAsDrawn() {
        FramesModel model(kWidth, kHeight);
        Run(model, cell("script") + " n");
        QWebEngineView view;
        const QSize size(kWidth / FramesModel::TwipsPerPixel, kHeight / FramesModel::TwipsPerPixel);
        view.resize(size);
        view.show();
        QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
        view.setHtml("<HTML><HEAD></HEAD>" + BuildFrameset(model, "\t") + "</HTML>");
        QVERIFY(loaded.wait(15000) && loaded.last().at(0).toBool());
        QVariant shown;
        view.page()->runJavaScript(
            "JSON.stringify(Array.from(document.querySelectorAll('frame'), f => {"
            " const r = f.getBoundingClientRect(); return [f.name, r.left, r.top, r.width, r.height]; }))",
            [&](const QVariant& result) { shown = result; });
        QTRY_VERIFY_WITH_TIMEOUT(shown.isValid(), 15000);
        const QJsonArray frames = QJsonDocument::fromJson(shown.toString().toUtf8()).array();
        QCOMPARE(frames.size(), model.splitCount() + 1);
        for (const auto& entry : frames) {
            const QJsonArray frame = entry.toArray();
            const TwipRect& drawn = model.frameRects[frame[0].toString().mid(1).toInt()];
            const double drawnValues[] = {drawn.left, drawn.top, drawn.width, drawn.height};
            for (int k = 0; k < 4; ++k) {
                const double pixels = drawnValues[k] / FramesModel::TwipsPerPixel;
                const double room = k % 2 == 0 ? size.width() : size.height();
                QVERIFY2(qAbs(frame[k + 1].toDouble() - pixels) <= 0.02 * room,
                         qPrintable(frame[0].toString() + " misplaced in\n" + BuildFrameset(model, "\t")));
            }
        }
    }

    // The latest border dragged `moves` times with the pointer `across` it: the extents of its frames.
    void drag_data() {
        table({"script", "across", "moves", "extents"},
              {"one step on; V; 50; 1; 2985 2955", "pointer inside: stays; V; 30; 5; 2970 2970",
               "left edge; V; 0; 400; 90 5850", "right edge; V; 60; 400; 5850 90",
               "top edge; H; -40; 400; 90 4350", "inner pair: from its own frame; V s1 V; 0; 400; 90 2820",
               "pair too small to move; V V V V V V; 0; 5; 34.6875 34.6875"});
    }
    void drag() {
        FramesModel model(kWidth, kHeight);
        Run(model, cell("script"));
        const BorderRecord& border = model.borders[model.splitCount()];
        const bool down = border.Horizontal;
        const TwipRect &a = model.frameRects[border.FirstFrame], &b = model.frameRects[border.SecondFrame];
        const float origin = a.start(down);
        for (int n = cell("moves").toInt(); n > 0; --n)
            model.dragLatestBorder(cell("across").toFloat());
        QTEST(QString::number(a.extent(down)) + ' ' + QString::number(b.extent(down)), "extents");
        QVERIFY(a.start(down) == origin &&
                model.borderRects[model.splitCount()].start(down) == origin + a.extent(down) &&
                b.start(down) == origin + a.extent(down) + FramesModel::BorderThickness);
    }

    // Split, pick frames and borders with the mouse, drag, answer Restart, browse, OK: one undo step.
    void dialogFlow() {
        AppFixture app;
        frmNotepad* document = (app.start(), app.document(0));
        document->txtRich->setText("ab");
        document->txtRich->select(1, 0);
        frmFrames frames(*app.main, app.main.get());
        FramesArea* area = frames.picWindow;
        const FramesModel& model = frames.model();
        frames.cmdVFrame->click();
        QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(300, 150)); // frame 1
        frames.cmdHFrame->click(); // frame 1 over frame 2, border 2 at pixels 148 to 151
        QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(50, 150));
        frames.txtName->setText("left");
        QTest::mousePress(area, Qt::LeftButton, {}, QPoint(199, 100)); // border 1: picked, not moved
        frames.txtBorder->setText("0");
        QTest::mouseMove(area, QPoint(100, 100));
        QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(100, 100));
        QVERIFY(model.borderRects[1].left == 2970 && model.borderRects[2].top == 2220);
        QTest::mousePress(area, Qt::LeftButton, {}, QPoint(300, 149));
        for (int y = 148; y >= 0; --y)
            QTest::mouseMove(area, QPoint(300, y));
        QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(300, 0));
        QCOMPARE(model.borderRects[2].top, 90.f); // frame 1 keeps 90 twips
        QCOMPARE(frames.Frame1->title() + frames.Frame2->title() + frames.txtFrameHeight->text(),
                 "Frame(1) properties:Border(2) properties:2%"); // the frame being resized is edited
        const QImage shown = area->grab().toImage();
        QCOMPARE(shown.pixelColor(380, 2), QColor(255, 255, 128));
        QCOMPARE(shown.pixelColor(300, 7), QColor(255, 0, 0));

        app.dialogs.answers.enqueue(Dialogs::Answer::No);
        frames.cmdRemove->click();
        QCOMPARE(model.splitCount(), 2);
        const auto& asked = app.dialogs.messages.last();
        QVERIFY(asked.text.startsWith("When restarting all frames") &&
                asked.buttons == Dialogs::Buttons::YesNo && asked.icon == Dialogs::Icon::Question);
        app.dialogs.openPaths.enqueue("/w/x.htm");
        frames.cmdBrowse->click();
        QCOMPARE(app.dialogs.openRequests.last().filter, DocumentOpenFilter());
        frames.cmdOK->click();
        QCOMPARE(frames.result(), int(QDialog::Accepted));
        const QString markup =
            "<FRAMESET COLS=\"50%,50%\" BORDER=\"0\" FRAMEBORDER=\"0\" FRAMESPACING=\"0\">\n"
            "\t<FRAME\n\t NAME=\"left\"\n\t>\n\t<FRAMESET ROWS=\"2%,98%\">\n\t\t<FRAME\n"
            "\t\t SRC=\"/w/x.htm\"\n\t\t>\n\t\t<FRAME\n\t\t>\n\t</FRAMESET>\n</FRAMESET>\n";
        QCOMPARE(document->txtRich->text(), "a" + QString(markup).replace("\n", "\r\n") + "b");

        // Restarted: Enter in a box never finishes the dialog, Ctrl+Enter does; an empty OK changes nothing.
        document->txtRich->select(0, 1);
        frmFrames again(*app.main, app.main.get());
        again.cmdHFrame->click();
        app.dialogs.answers.enqueue(Dialogs::Answer::Yes);
        again.cmdRemove->click();
        QVERIFY(again.model().splitCount() == 0 && !again.Frame2->isEnabled());
        QCOMPARE(again.Frame1->title() + again.Frame2->title() + again.txtFrameHeight->text(),
                 "Frame(0) properties:Border properties:");
        QVERIFY(shownActive(&again));
        again.txtName->setFocus();
        typeKeys(again.txtName, "top{Return}");
        QVERIFY(again.isVisible());
        typeKeys(again.txtName, "{Ctrl+Return}");
        QCOMPARE(again.result(), int(QDialog::Accepted));
        QVERIFY(document->txtRich->text().startsWith("a<FRAMESET"));
        QVERIFY(document->undoHistory().Undo()); // the frameset's step: the empty OK recorded none
        QCOMPARE(document->txtRich->text(), "ab");
    }
};

QTEST_MAIN(FramesTest)
#include "tst_frames.moc"
