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
// The gutter's rows, "-" for a later piece of a long line; "*" marks the cursor's line as the gutter
// has it or, `painted`, the rows the screen shows in the band (the last paint, not a fresh one).
QStringList rowsOf(RichTextControl& control, bool painted) {
    QApplication::processEvents();
    const QWidget& view = *control.viewport();
    const QImage screen = control.screen()->grabWindow(control.winId()).toImage().copy(view.geometry());
    const QRgb base = control.palette().color(QPalette::Base).rgb();
    QStringList rows;
    for (const LineNumberGutter::Row& row : control.lineNumberGutter()->rows()) {
        const QPoint at(view.width() - 3, row.rect.center().y());
        const bool marked = painted ? screen.valid(at) && screen.pixel(at) != base : row.current;
        rows << (row.number.isEmpty() ? "-" : row.number) + (marked ? "*" : "");
    }
    return rows;
}
} // namespace

class ViewTest : public QObject {
    Q_OBJECT

private slots:
    void gutterRows_data() {
        table({"input", "limit", "scroll", "cursor", "keys", "rows"},
              {"LF; a\nb\nc; 0; 0; 3; ; 1 2* 3", "CR LF, Down; a\r\nb\r\nc; 0; 0; 0; {Down}; 1 2* 3",
               "lone CR, empty lines; a\r\r\nb\n; 0; 0; 8; ; 1 2 3 4*",
               "scrolled; #300; 0; 100; 0; ; 101 102 103",
               "long line in pieces; x\r\nabcdefghij\r\ny; 8; 0; 5; ; 1 2* -* -* -* -* 3",
               "long line first; abcdefghij\r\ny; 8; 0; 12; ; 1 - - - - 2*",
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
        const QStringList expected = cell("rows").split(' ');
        QCOMPARE(rowsOf(control, false).mid(0, expected.size()), expected);
        QCOMPARE(rowsOf(control, true).mid(0, expected.size()), expected);
        control.setCurrentLineHighlighted(false);
        QCOMPARE(rowsOf(control, true).mid(0, expected.size()), cell("rows").remove('*').split(' '));
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

    // Fits the line count's digits in the text's font, painted; hidden, the text takes the room back.
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
        QCOMPARE(control.viewport()->x(), widths[3] + control.frameWidth());
        control.setFont(QFont("DejaVu Sans Mono", 20));
        QVERIFY(control.gutterWidth() > widths[3] * 3 / 2);
        QImage gutter = control.grab(control.lineNumberGutter()->geometry()).toImage(), blank = gutter;
        blank.fill(gutter.pixel(0, 0));
        QVERIFY(gutter != blank);
        control.setLineNumbersVisible(false);
        QVERIFY(control.gutterWidth() == 0 && control.viewport()->x() == control.frameWidth());
    }

    // Stored font, else the fixed font (10 points under 8); the zoom added, never below 1 point. A tab
    // set before the font reaches N spaces' width in it.
    void documentFont_data() {
        table({"font", "size", "zoom", "shown", "tab"},
              {"missing, small; No Such Face; 7; 0; fixed 10; 0", "missing; No Such Face; 8; 0; fixed 8; 1",
               "missing, small, zoomed; No Such Face; 5; 3; fixed 13; 8",
               "installed; DejaVu Sans Mono; 6; 2; DejaVu Sans Mono 8; 4",
               "zoomed; DejaVu Sans Mono; 20; 4; DejaVu Sans Mono 24; 16",
               "zoomed out past 1; DejaVu Sans; 10; -20; DejaVu Sans 1; 8"});
    }
    void documentFont() {
        Settings settings;
        settings.Font = cell("font");
        settings.FontSize = cell("size").toInt();
        settings.Zoom = cell("zoom").toInt();
        const QFont font = DocumentFont(settings);
        const QString fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
        QCOMPARE(font.family() + " " + QString::number(font.pointSize()),
                 cell("shown").replace("fixed", fixed));
        RichTextControl control;
        control.setText("\tx");
        show(control);
        const int width = cell("tab").toInt();
        if (width > 0)
            control.setTabWidth(width);
        control.setFont(font);
        const int beforeTab = control.cursorRect().left();
        control.setSelStart(1);
        const int tab = control.cursorRect().left() - beforeTab;
        QVERIFY2(qAbs(tab - (width ? width : 4) * QFontMetricsF(font).horizontalAdvance(' ')) < 1.5,
                 QByteArray::number(tab));
    }

    // Zoom by the wheel with Ctrl and by keys, and the Line Numbers item, stored and applied with the
    // other settings; the text, its colours and its clean state stay.
    void viewCommands_data() {
        table({"start", "action", "zoom"},
              {"wheel up; 0; wheel 120; 1", "wheel down twice; 0; wheel -240; -2",
               "half notches; 0; wheel 60 60 60; 1", "wheel clamped; -19; wheel -360; -20",
               "Ctrl+Plus; 1; keys {Ctrl++}; 2", "Ctrl+=; 0; keys {Ctrl+=}; 1",
               "Ctrl+Minus; 0; keys {Ctrl+-}{Ctrl+-}; -2", "Ctrl+0; 5; keys {Ctrl+0}; 0",
               "clamped; 36; keys {Ctrl++}{Ctrl++}{Ctrl++}{Ctrl++}{Ctrl++}; 40",
               "line numbers off; 0; item; 0"});
    }
    void viewCommands() {
        AppFixture app;
        frmQuillora& shell = app.start();
        QVERIFY(shownActive(&shell));
        shell.mutableSettings().TabWidth = 9;
        shell.changeSettings([](Settings& s) { s.Zoom = cell("start").toInt(); });
        frmNotepad* document = app.document(0);
        RichTextControl& text = *document->txtRich;
        text.setText("<p>a\r\n\tb</p>");
        text.paint(0, 3, 255);
        shell.documents().DocumentSlots[0].Modified = false;
        const QString before = render(text);
        const QList<ColorValue> painted = colors(text);
        const QStringList action = cell("action").split(' ');
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
        QCOMPARE(text.font().pointSize(), std::max(1, Settings().FontSize + zoom));
        QCOMPARE(SettingsStore::read("Settings", "Zoom"), QString::number(zoom));
        QCOMPARE(text.tabWidth(), 9);
        const bool numbers = action[0] != "item";
        QCOMPARE(document->action(CommandId::LineNumbers)->isChecked(), numbers);
        QCOMPARE(text.gutterWidth() >= 2 * QFontMetrics(text.font()).horizontalAdvance('8'), numbers);
        QCOMPARE(render(text), before);
        QCOMPARE(colors(text), painted);
        QVERIFY(!app.record(0).Modified);
    }
};

QTEST_MAIN(ViewTest)
#include "tst_view.moc"
