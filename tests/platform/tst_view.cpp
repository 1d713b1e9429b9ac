#include "app/frmSettings.h"
#include "editor/ViewSettings.h"
#include "platform/LineNumberGutter.h"
#include "platform/SettingsStore.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/Rendered.h"

#include <QtTest>
#include <QtWidgets>

namespace {
// "#n" at the end stands for n short lines.
QString textOf(const QString& input) {
    const qsizetype at = input.indexOf('#');
    return at < 0 ? input : input.left(at) + QStringLiteral("line\n").repeated(input.mid(at + 1).toInt());
}
void show(QWidget& widget) {
    widget.resize(420, 300);
    QVERIFY(shownActive(&widget));
}
} // namespace

class ViewTest : public QObject {
    Q_OBJECT

private slots:
    // The gutter's rows against the text ("-" a later piece of a long line, "*" the cursor's line);
    // the marked band covers the cursor's line's rows, painted, and goes when switched off.
    void gutterRows_data() {
        table({"input", "limit", "scroll", "cursor", "keys", "rows"},
              {"LF; a\nb\nc; 0; 0; 3; ; 1 2* 3", "CR LF, Down; a\r\nb\r\nc; 0; 0; 0; {Down}; 1 2* 3",
               "lone CR, empty lines; a\r\r\nb\n; 0; 0; 8; ; 1 2 3 4*",
               "long line in pieces; x\r\nabcdefghij\r\ny; 8; 0; 5; ; 1 2* -* -* -* -* 3",
               "long line first; abcdefghij\r\ny; 8; 0; 12; ; 1 - - - - 2*",
               "scrolled; #300; 0; 100; 0; ; 101 102 103",
               "scrolled into pieces; abcdefghij\r\ny\r\n#100; 8; 2; 12; ; - - - 2* 3"});
    }
    void gutterRows() {
        RichTextControl control;
        control.setLongLineLimit(cell("limit").toInt());
        control.setText(textOf(cell("input")));
        control.setLineNumbersVisible(true);
        control.setCurrentLineHighlighted(true);
        show(control);
        control.setSelStart(cell("cursor").toInt());
        typeKeys(&control, cell("keys"));
        control.verticalScrollBar()->setValue(cell("scroll").toInt());
        QStringList rows;
        QRect band;
        for (const LineNumberGutter::Row& row : control.lineNumberGutter()->rows()) {
            rows << (row.number.isEmpty() ? "-" : row.number) + (row.current ? "*" : "");
            band |= row.current ? QRect(0, row.rect.top(), control.viewport()->width(), row.rect.height())
                                : QRect();
        }
        const QStringList expected = cell("rows").split(' ');
        QCOMPARE(rows.mid(0, expected.size()), expected);
        QCOMPARE(control.currentLineBand(), band);
        QCOMPARE(control.viewport()->geometry().left(), control.gutterWidth() + control.frameWidth());
        const auto shade = [&control, &band] {
            return control.viewport()->grab().toImage().pixel(control.viewport()->width() - 3,
                                                              band.center().y());
        };
        const QRgb base = control.palette().color(QPalette::Base).rgb();
        QVERIFY(band.isEmpty() || shade() != base);
        control.setCurrentLineHighlighted(false);
        QVERIFY(control.currentLineBand().isEmpty() && (band.isEmpty() || shade() == base));
    }

    // Marked stretches are offsets of the CR LF text; what lies beyond the text is left out.
    void matchHighlights() {
        RichTextControl control;
        control.setText("ab\r\ncd\r\n");
        control.setMatchHighlights({{1, 4}, {-3, 2}, {7, 9}, {2, 0}});
        QStringList marked;
        for (const QTextEdit::ExtraSelection& mark : control.extraSelections())
            marked << mark.cursor.selectedText();
        QCOMPARE(marked, QStringList({"b\u2029c", "\u2029"}));
        control.setMatchHighlights({});
        QVERIFY(control.extraSelections().isEmpty() && control.text() == "ab\r\ncd\r\n");
    }

    // Width fits the line count's digits in the text's font; hidden, the text takes the room back.
    void gutterWidth() {
        RichTextControl control;
        control.setFont(QFont("DejaVu Sans Mono", 10));
        control.setLineNumbersVisible(true);
        show(control);
        QList<int> widths;
        for (const int lines : {1, 99, 100, 10000}) {
            control.setText(textOf("#" + QString::number(lines - 1)));
            widths << control.gutterWidth();
        }
        QVERIFY(widths[0] == widths[1] && widths[1] < widths[2] && widths[2] < widths[3]);
        QVERIFY(widths[3] > QFontMetrics(control.font()).horizontalAdvance("10000"));
        control.setFont(QFont("DejaVu Sans Mono", 20));
        QVERIFY(control.gutterWidth() > widths[3] * 3 / 2);
        control.verticalScrollBar()->setValue(control.verticalScrollBar()->maximum());
        QCOMPARE(control.lineNumberGutter()->rows().back().number, "10000");
        // One real paint: the numbers show in ink on the gutter's background.
        const QImage gutter = control.grab(control.lineNumberGutter()->geometry()).toImage();
        int inked = 0;
        for (int i = 0; i < gutter.width() * gutter.height(); ++i)
            inked += gutter.pixel(i % gutter.width(), i / gutter.width()) != gutter.pixel(0, 0);
        QVERIFY(inked > 20);
        control.setLineNumbersVisible(false);
        QVERIFY(control.gutterWidth() == 0 && control.viewport()->x() == control.frameWidth());
    }

    // A tab reaches N spaces' width in the font in use, at every size.
    void tabStops_data() {
        table({"width", "points"},
              {"default; 0; 10", "1; 1; 10", "8; 8; 10", "16 zoomed; 16; 24", "4 zoomed out; 4; 6"});
    }
    void tabStops() {
        RichTextControl control;
        control.setText("\tx");
        show(control);
        const int width = cell("width").toInt();
        if (width > 0)
            control.setTabWidth(width);
        control.setFont(QFont("DejaVu Sans Mono", cell("points").toInt()));
        QTextCursor atX(control.document());
        atX.setPosition(1);
        const qreal tab =
            control.cursorRect(atX).left() - control.cursorRect(QTextCursor(control.document())).left();
        QVERIFY2(qAbs(tab - (width ? width : 4) * QFontMetricsF(control.font()).horizontalAdvance(' ')) < 1.5,
                 QByteArray::number(tab));
    }

    // Stored font, else the fixed font (10 points under 8); the zoom added, never below 1 point.
    void documentFont_data() {
        table({"font", "size", "zoom", "family", "points"},
              {"missing, small; No Such Face; 7; 0; fixed; 10", "missing; No Such Face; 8; 0; fixed; 8",
               "missing, small, zoomed; No Such Face; 5; 3; fixed; 13",
               "installed; DejaVu Sans Mono; 6; 2; DejaVu Sans Mono; 8",
               "zoomed out past 1; DejaVu Sans; 10; -20; DejaVu Sans; 1"});
    }
    void documentFont() {
        Settings settings;
        settings.Font = cell("font");
        settings.FontSize = cell("size").toInt();
        settings.Zoom = cell("zoom").toInt();
        const QFont font = DocumentFont(settings);
        QCOMPARE(font.family(), cell("family") == "fixed"
                                    ? QFontDatabase::systemFont(QFontDatabase::FixedFont).family()
                                    : cell("family"));
        QCOMPARE(font.pointSize(), cell("points").toInt());
    }

    // Zoom from the settings, the wheel with Ctrl and the keys; text, colours and the mark stay.
    void zoom_data() {
        table({"start", "action", "zoom"},
              {"settings; 0; settings 3; 3", "wheel up; 0; wheel 120; 1",
               "wheel down twice; 0; wheel -240; -2", "half notches; 0; wheel 60 60 60; 1",
               "Ctrl+Plus; 1; keys {Ctrl++}; 2", "Ctrl+=; 0; keys {Ctrl+=}; 1",
               "Ctrl+Minus; 0; keys {Ctrl+-}{Ctrl+-}; -2", "Ctrl+0; 5; keys {Ctrl+0}; 0",
               "clamped; 36; keys {Ctrl++}{Ctrl++}{Ctrl++}{Ctrl++}{Ctrl++}; 40",
               "wheel clamped; -19; wheel -360; -20", "line numbers off; 0; item; 0"});
    }
    void zoom() {
        AppFixture app;
        frmQuillora& shell = app.start();
        QVERIFY(shownActive(&shell));
        shell.changeSettings([](Settings& s) {
            s.Font = "DejaVu Sans Mono";
            s.FontSize = 10;
            s.Zoom = cell("start").toInt();
        });
        frmNotepad* document = app.document(0);
        RichTextControl& text = *document->txtRich;
        text.setText("<p>a\r\n\tb</p>");
        text.paint(0, 3, 255);
        shell.documents().DocumentSlots[0].Modified = false;
        const QString before = render(text);
        const QList<ColorValue> painted = colors(text);
        const QStringList action = cell("action").split(' ');
        if (action[0] == "settings")
            shell.changeSettings([&action](Settings& s) { s.Zoom = action[1].toInt(); });
        for (const QString& delta : action.mid(action[0] == "wheel" ? 1 : action.size())) {
            QWheelEvent wheel({20, 20}, text.mapToGlobal(QPoint(20, 20)), {}, {0, delta.toInt()},
                              Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(text.viewport(), &wheel);
        }
        if (action[0] == "keys") {
            text.setFocus();
            typeKeys(&text, action[1]);
        } else if (action[0] == "item") {
            document->action(CommandId::LineNumbers)->trigger();
        }
        const int zoom = cell("zoom").toInt();
        QCOMPARE(shell.settings().Zoom, zoom);
        QCOMPARE(text.font().pointSize(), std::max(1, 10 + zoom));
        QCOMPARE(SettingsStore::read("Settings", "Zoom"), QString::number(zoom));
        const bool numbers = action[0] != "item";
        QCOMPARE(document->action(CommandId::LineNumbers)->isChecked(), numbers);
        QCOMPARE(text.gutterWidth() >= 2 * QFontMetrics(text.font()).horizontalAdvance('8'), numbers);
        QCOMPARE(render(text), before);
        QCOMPARE(colors(text), painted);
        QVERIFY(!app.record(0).Modified);
    }

    // The tab width on the settings dialog: shown, stored on OK, given to the open documents.
    void tabWidthInSettings() {
        AppFixture app;
        frmQuillora& main = app.start();
        main.showSettings(false);
        frmSettings* dialog = main.findChild<frmSettings*>();
        QVERIFY(dialog->txtTabWidth->value() == 4 &&
                dialog->picOptions[1]->isAncestorOf(dialog->txtTabWidth));
        dialog->txtTabWidth->setValue(9);
        dialog->cmdOK->click();
        QCOMPARE(SettingsStore::read("Settings", "TabWidth"), "9");
        QVERIFY(app.document(0)->txtRich->tabWidth() == 9 && !app.record(0).Modified);
    }
};

QTEST_MAIN(ViewTest)
#include "tst_view.moc"
