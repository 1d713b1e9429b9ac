#include "editor/ViewSettings.h"
#include "platform/LineNumberGutter.h"
#include "platform/LongLinePieces.h"
#include "platform/RichTextControl.h"
#include "platform/SettingsStore.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/Rendered.h"

#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <malloc.h>
#include <vector>

namespace {

using Control = RichTextControl;
using Action = std::function<void(Control&)>;
const QString kCrLf = QStringLiteral("\r\n");

// Where an offset of a CR LF text lands: clipped to it, and from between CR and LF back to the CR.
int place(const QString& text, int offset) {
    offset = std::clamp(offset, 0, int(text.size()));
    return offset > 0 && text.at(offset - 1) == QLatin1Char('\r') ? offset - 1 : offset;
}

// Compares all the editor reads: selection, text, offsets, lines, colours, and what copying takes.
void compareControls(Control& tested, Control& reference, int start, int stretch) {
    QVERIFY(tested.softBreaksConsistent());
    QCOMPARE(render(tested), render(reference));
    QCOMPARE(tested.lineCount(), reference.lineCount());
    for (int offset = 0; offset <= reference.textLength(); ++offset) {
        QCOMPARE(tested.charAt(offset), reference.charAt(offset));
        QCOMPARE(tested.colorAt(offset), reference.colorAt(offset));
        QCOMPARE(tested.lineFromChar(offset), reference.lineFromChar(offset));
        QCOMPARE(tested.lineLength(offset), reference.lineLength(offset));
        QCOMPARE(tested.toOffset(tested.toDocumentPosition(offset)),
                 reference.toOffset(reference.toDocumentPosition(offset)));
    }
    for (int line = 0; line < reference.lineCount(); ++line)
        QCOMPARE(tested.lineIndex(line), reference.lineIndex(line));
    QCOMPARE(tested.textRange(start + stretch, 7), reference.textRange(start + stretch, 7));
    // The breaks between pieces never reach the clipboard.
    tested.select(start, stretch);
    reference.select(start, stretch);
    const std::unique_ptr<QMimeData> copied(tested.createMimeDataFromSelection());
    QCOMPARE(copied->text(), reference.selText().replace(kCrLf, QStringLiteral("\n")));
}

// A key with its text: keyDown hears code and bits (Shift 1, Ctrl 2, Alt 4), keyPress a typed character.
constexpr int kSwallow = -2, kKeep = -1;
Action press(Qt::Key key, const QString& typed, int handling, Qt::KeyboardModifiers modifiers = {}) {
    const int shift = (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
                      (modifiers & Qt::AltModifier ? 4 : 0);
    return [=](Control& control) {
        QObject handlers;
        QList<int> down, pressed;
        QObject::connect(&control, &Control::keyDown, &handlers, [&](int& keyCode, int bits) {
            down << keyCode << bits;
            keyCode = handling == kSwallow ? 0 : keyCode;
        });
        QObject::connect(&control, &Control::keyPress, &handlers, [&](int& charCode) {
            pressed << charCode;
            charCode = handling >= 0 ? handling : charCode;
        });
        QKeyEvent event(QEvent::KeyPress, key, modifiers, typed);
        QApplication::sendEvent(&control, &event);
        QCOMPARE(down, (QList<int>{Control::keyCodeOf(key), shift}));
        const bool printable = !typed.isEmpty() && typed.at(0).category() != QChar::Other_Control;
        QCOMPARE(pressed,
                 handling == kSwallow || !printable ? QList<int>() : QList<int>{typed.at(0).unicode()});
    };
}

} // namespace

Q_DECLARE_METATYPE(Action)

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

// The text control: offsets, lines, edits and colours against the text alone, its keys; what it
// shows beside the text (line numbers, marks), and the document font and view settings.
class TestRichTextControl : public QObject {
    Q_OBJECT

private slots:
    // Every offset, range and selection against the text alone; any break reads back as CR LF.
    void offsetsAndLines_data() {
        table({"input", "text"},
              {"empty; ; ", "empty lines between; ab\r\n\r\ncd; ab\r\n\r\ncd",
               "starts with a break; \r\nabc\r\nd; \r\nabc\r\nd",
               "mixed breaks; a\r\nb\nc\rd; a\r\nb\r\nc\r\nd", "LF CR is two breaks; a\n\rb; a\r\n\r\nb",
               "only breaks, the last a CR; \n\r\n\r; \r\n\r\n\r\n",
               "nbsp, BOM, ZWSP, Latin-1, tab, non-BMP; \u00A0\r\n\uFEFFa\u200B\u00E5\t\U0001F600; "
               "\u00A0\r\n\uFEFFa\u200B\u00E5\t\U0001F600"});
    }
    void offsetsAndLines() {
        QFETCH(QString, text);
        Control control;
        control.setText(cell("input"));
        QCOMPARE(control.text(), text);
        const QStringList lines = text.split(kCrLf);
        QCOMPARE(control.lineCount(), lines.size());
        QVERIFY(control.lineIndex(lines.size()) == -1 && control.lineIndex(-1) == -1);
        const QTextDocument* doc = control.document();
        for (int offset = -1; offset <= text.size(); ++offset) {
            const QByteArray at = QByteArray::number(offset);
            // The CR and the LF of a break belong to the line they end.
            const QString before = text.left(std::max(0, offset));
            const int line = int(before.count(kCrLf));
            const int lineStart = line == 0 ? 0 : int(before.lastIndexOf(kCrLf)) + 2;
            QVERIFY2(control.lineFromChar(offset) == line && control.lineIndex(line) == lineStart, at);
            QVERIFY2(control.lineLength(offset) == lines.at(line).size(), at);
            const int pos = control.toDocumentPosition(offset);
            QVERIFY2(control.toOffset(pos) == place(text, offset), at);
            const QChar ch = offset < 0 || offset == text.size() ? QChar() : text.at(offset);
            const QChar shown = ch == '\r' || ch == '\n' ? QChar(QChar::ParagraphSeparator) : ch;
            QVERIFY2(control.charAt(offset) == ch && (ch.isNull() || doc->characterAt(pos) == shown), at);
        }
        for (int p = 0; p < doc->characterCount(); ++p)
            QVERIFY2(control.toDocumentPosition(control.toOffset(p)) == p, QByteArray::number(p));
        // Ranges clip as a whole; a selection ends at places and its replacement leaves the cursor after.
        for (int start = -3; start <= text.size() + 1; ++start) {
            for (const int length : {-1, 0, 1, 2, 3, 50}) {
                const QByteArray at = QByteArray::number(start) + "+" + QByteArray::number(length);
                const int rangeEnd = std::clamp(start + std::max(0, length), 0, int(text.size()));
                const int rangeStart = std::clamp(start, 0, rangeEnd);
                QVERIFY2(control.textRange(start, length) == text.mid(rangeStart, rangeEnd - rangeStart), at);
                const int selStart = place(text, start);
                const int selEnd = place(text, std::max(selStart, selStart + length));
                const QString selected = text.mid(selStart, selEnd - selStart);
                control.select(0, 5);
                control.setSelStart(start);
                QVERIFY2(control.selStart() == selStart && control.selLength() == 0, at);
                control.setSelLength(length);
                QVERIFY2(control.selStart() == selStart && control.selText() == selected, at);
                control.setSelText(QStringLiteral("<\n>"));
                QVERIFY2(render(control) == text.left(selStart) + "<\r\n>|" + text.mid(selEnd), at);
                control.setText(text);
            }
        }
        control.paint(0, text.size(), 0x0000FF);
        QCOMPARE(control.text(), text);
    }

    // Edits on black text, cursor at 4, blue typing: text after, colours (b blue, . black), change raised.
    void edits_data() {
        for (const char* column : {"base", "text", "colours"})
            QTest::addColumn<QString>(column);
        QTest::addColumn<bool>("changes");
        QTest::addColumn<Action>("edit");
        const auto row = [](const char* name, const char* base, const char* text, const char* colours,
                            bool changes, Action edit) {
            QTest::newRow(name) << QString(base) << QString(text) << QString(colours) << changes << edit;
        };
        const auto paint = [](std::vector<std::pair<int, int>> stretches) {
            return Action([=](Control& c) {
                for (const auto& [start, length] : stretches)
                    c.paint(start, length, 0x0000FF);
            });
        };
        const char* t = "ab\r\ncd\r\n\r\nef";
        const char* same = "ab\r\n|cd\r\n\r\nef";
        row("typed", t, "ab\r\nxy|cd\r\n\r\nef", "....bb........", true,
            [](Control& c) { typeText(&c, QStringLiteral("xy")); });
        row("inserted", t, "ab\r\n<\r\n>|cd\r\n\r\nef", "....bbbb........", true,
            [](Control& c) { c.setSelText(QStringLiteral("<\r\n>")); });
        row("new text", t, "|a\r\nb", "bbbb", true, [](Control& c) { c.setText(QStringLiteral("a\nb")); });
        row("painted: LF and next char, LF alone", t, same, "..bbb.bb....", false, paint({{3, 2}, {7, 1}}));
        row("painted: line and break, empty line's break, last char", t, same, "....bbbbbb.b", false,
            paint({{4, 4}, {8, 2}, {11, 1}}));
        row("painted: the last break", "a\r\nb\r\n", "a\r\nb|\r\n", "....bb", false, paint({{4, 2}}));
        row("painted: a CR among breaks", "\r\n\r\n\r\n", "\r\n\r\n|\r\n", "..bb..", false, paint({{2, 1}}));
        row("selection painted", t, "a[b\r\nc]d\r\n\r\nef", ".bbbb.......", false, [](Control& c) {
            c.select(1, 4);
            c.setSelColor(0x0000FF);
        });
        // Spans out of order, overlapping, empty or past the end: later ones paint over earlier ones.
        row("spans painted", t, same, "b...bbbbbbbb", false, [](Control& c) {
            c.paintSpans({{4, 20, 0x0000FF}, {0, 2, 0x0000FF}, {1, 1, 0}, {3, 0, 0x0000FF}});
        });
        const auto shiftAlt = Qt::ShiftModifier | Qt::AltModifier;
        const auto ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
        row("letter replaced", t, "ab\r\n\u00F6|cd\r\n\r\nef", "", true, press(Qt::Key_O, "o", 0xF6));
        row("Shift+Alt+< suppressed", t, same, "", false, press(Qt::Key_Less, "<", 0, shiftAlt));
        row("Ctrl+Alt+Enter swallowed", t, same, "", false, press(Qt::Key_Return, "\r", kSwallow, ctrlAlt));
        row("Enter let through", t, "ab\r\n\r\n|cd\r\n\r\nef", "", true, press(Qt::Key_Return, "\r", kKeep));
        row("Tab types its tab", t, "ab\r\n\t|cd\r\n\r\nef", "", true, press(Qt::Key_Tab, "\t", kKeep));
        row("Backspace let through", t, "ab|cd\r\n\r\nef", "", true, press(Qt::Key_Backspace, "\b", kKeep));
        row("Delete deletes once", t, "ab\r\n|d\r\n\r\nef", "", true, press(Qt::Key_Delete, "\x7f", kKeep));
        row("Ctrl+letter types nothing", t, same, "", false,
            press(Qt::Key_B, "\x02", kKeep, Qt::ControlModifier));
    }
    void edits() {
        const QString base = cell("base"), text = cell("text"), colours = cell("colours");
        QFETCH(bool, changes);
        QFETCH(Action, edit);
        Control control;
        control.show();
        control.setText(base);
        control.paint(0, base.size(), 0x000000);
        control.select(4, 0);
        QSignalSpy spy(&control, &Control::change);
        control.setSelColor(0x0000FF);
        // Line runs reach the screen as the layouts' formats, before and after the edit.
        QVERIFY(QTest::qWaitForWindowExposed(&control));
        control.repaint();
        edit(control);
        QCOMPARE(render(control), text);
        QCOMPARE(spy.count() > 0, changes);
        control.repaint();
        int shown = 0;
        for (QTextBlock line = control.document()->begin(); line.isValid(); line = line.next()) {
            const int end = line.length() - (line.next().isValid() ? 0 : 1); // with the line's break
            for (const QTextLayout::FormatRange& run : line.layout()->formats())
                for (int i = run.start; i < std::min(run.start + run.length, end); ++i, ++shown)
                    QCOMPARE(valueFromColor(run.format.foreground().color()),
                             control.colorAt(control.toOffset(line.position() + i)));
        }
        QVERIFY(shown > 0 || changes);
        const auto letter = [](ColorValue c) { return QChar(c == 0x0000FF ? 'b' : c == 0 ? '.' : '?'); };
        QString painted;
        for (int i = 0; i < control.textLength() && !colours.isEmpty(); ++i)
            painted += letter(control.colorAt(i));
        QCOMPARE(painted, colours);
        // A selection reads its first character, and painting leaves it where it was.
        QVERIFY(colours.isEmpty() || control.selLength() == 0 ||
                letter(control.selColor()) == colours.at(control.selStart()));
        control.paint(0, 1, control.colorAt(0));
        QCOMPARE(render(control), text);
        // A collapsed cursor reads the character before it (between CR and LF is before the CR).
        for (int i = 2; i <= colours.size(); ++i) {
            control.select(i, 0);
            QVERIFY2(letter(control.selColor()) == colours.at(control.selStart() - 1), QByteArray::number(i));
        }
    }

    // What edits from the keyboard or a paste report: each change known exactly, and together they
    // turn the text before into the text after. Text: "[" and "]" the selection, "|" the cursor;
    // "#n" stands for n lines of 60 characters, so that a change lies far into a long text.
    void editsReported_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("limit"); // of long lines, 0 for none
        const auto row = [](const char* name, const char* before, const char* keys, int limit = 0) {
            QTest::newRow(name) << QString(before) << QString(keys) << limit;
        };
        row("Backspace after empty lines", "#40a\r\n\r\n\r\n|b#40", "{Backspace}");
        row("Delete before empty lines", "#40a|\r\n\r\n\r\nb#40", "{Delete}");
        row("Backspace at the start", "|ab#3", "{Backspace}x");
        row("Delete at the end", "#3ab|", "{Delete}x");
        row("Ctrl+Backspace at a line's start", "#40a\r\n\r\n|b#40", "{Ctrl+Backspace}");
        row("Ctrl+Delete at a line's end", "#40a|\r\n\r\nb#40", "{Ctrl+Delete}");
        row("Ctrl+Backspace over a long word",
            "#40 "
            "wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww"
            "wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww"
            "|#40",
            "{Ctrl+Backspace}");
        row("typed over many lines", "#40[a#60b]#40", "x");
        row("Return over a selection", "#40a[bc]d#40", "{Return}");
        row("pasted over a selection", "#40a[bc]d#40", "{Ctrl+V}");
        row("Backspace at a piece's start", "#40 01234567890123456789|012345678901234567890#40",
            "{Backspace}", 20);
        row("Delete at a piece's end", "#40 01234567890123456789|012345678901234567890#40", "{Delete}", 20);
    }
    void editsReported() {
        QFETCH(QString, before);
        QFETCH(QString, keys);
        QFETCH(int, limit);
        const QString line = QString(58, QLatin1Char('-')) + kCrLf;
        const auto lines = [&](const QString& count) { return line.repeated(count.toInt()); };
        static const QRegularExpression many(QStringLiteral("#(\\d+) ?"));
        QString text = before;
        for (QRegularExpressionMatch m = many.match(text); m.hasMatch(); m = many.match(text))
            text.replace(m.capturedStart(), m.capturedLength(), lines(m.captured(1)));
        const bool selected = text.contains('[');
        const int start = int(text.indexOf(selected ? '[' : '|'));
        text.remove('[');
        const int end = selected ? int(text.indexOf(']')) : start;
        text.remove(']').remove('|');
        QApplication::clipboard()->setText(QStringLiteral("p\nq"));
        Control control;
        control.setLongLineLimit(limit);
        control.setText(text);
        control.select(start, end - start);
        std::vector<TextEdit> reported;
        QString expected = text;
        connect(&control, &Control::edited, this, [&](const TextEdit& edit) {
            reported.push_back(edit);
            QVERIFY(edit.known);
            QCOMPARE(expected.mid(edit.offset, edit.removed.size()), edit.removed);
            expected.replace(edit.offset, edit.removed.size(), edit.inserted);
        });
        typeKeys(&control, keys);
        QVERIFY(!reported.empty());
        QCOMPARE(control.text(), expected);
    }

    // Stretches deep in a long text (one in a line shown in pieces) land where they belong.
    void paintFarAhead() {
        Control control;
        control.setLongLineLimit(2000);
        QString text;
        for (int i = 0; i < 4000; ++i)
            text += i == 2500 ? QString(5000, 'x') + "\r\n" : QStringLiteral("line\r\n");
        control.setText(text);
        const std::vector<ColorSpan> spans{{17003, 9, 1}, {15001, 3, 2}, {21000, 4000, 3}, {28990, 6, 4}};
        std::vector<ColorValue> expected(text.size(), 0);
        for (const ColorSpan& span : spans) {
            control.paint(span.start, span.length, span.color);
            std::fill_n(expected.begin() + span.start, span.length, span.color);
        }
        for (int i = 0; i < text.size(); ++i)
            QVERIFY2(control.colorAt(i) == expected[i], QByteArray::number(i));
    }

    // A text put in before its window is shown, then shown and resized: the lines on screen are laid
    // out, the others are not given layouts (hundreds of bytes a line, kept for good), and the widest
    // line shown still sets how far the view scrolls sideways.
    void showingKeepsHiddenLinesUnlaidOut() {
        Control control;
        const QString wide = QString(1500, QLatin1Char('w'));
        control.setText(wide + kCrLf + QStringLiteral("line\r\n").repeated(40000));
        const size_t before = mallinfo2().uordblks;
        show(control);
        for (const int width : {900, 300, 1200}) {
            control.resize(width, 300);
            QApplication::processEvents();
        }
        const size_t after = mallinfo2().uordblks;
        const size_t grown = after > before ? after - before : 0;
        // 40,000 layouts would take some 10 MB.
        QVERIFY2(grown < 2'000'000, QByteArray::number(qulonglong(grown)));
        QVERIFY(control.document()->firstBlock().layout()->lineCount() > 0);
        QVERIFY(control.horizontalScrollBar()->maximum() >
                wide.size() * QFontMetrics(control.font()).horizontalAdvance(QLatin1Char('w')) / 2);
        QCOMPARE(control.text().size(), wide.size() + 2 + 6 * 40000);
    }

    // The codes the key handlers know, each followed by the keys that report it.
    void keyCodes() {
        const char* table =
            "8 Backspace|9 Tab Backtab|13 Return Enter|27 Esc|32 Space|33 PgUp|34 PgDown|"
            "35 End|36 Home|37 Left|38 Up|39 Right|40 Down|45 Ins|46 Del|112 F1|123 F12|16 Shift|"
            "17 Control|18 Alt|48 0 )|57 9 (|65 A|90 Z|49 !|51 #|52 $|53 %|55 &|186 ;|187 =|"
            "188 ,|189 - _|190 .|191 /|192 ~ Ö|219 {|221 } Å|222 ' \" Ä|226 < >";
        for (const QString& entry : QString::fromUtf8(table).split('|')) {
            const QStringList keys = entry.split(' ');
            for (const QString& key : keys.mid(1)) {
                const Qt::Key qtKey = QKeySequence::fromString(key, QKeySequence::PortableText)[0].key();
                QVERIFY2(Control::keyCodeOf(qtKey) == keys[0].toInt(), qPrintable(key));
            }
        }
    }

    // Long lines in pieces read as whole lines, line runs as character formats, whatever is done.
    void editedAlike_data() {
        QTest::addColumn<bool>("pieces");
        QTest::addColumn<uint>("seed");
        for (const bool pieces : {false, true})
            for (uint seed = 1; seed <= (pieces ? 80u : 40u); ++seed)
                QTest::addRow("%s, seed %u", pieces ? "pieces" : "line runs", seed) << pieces << seed;
    }
    void editedAlike() {
        QFETCH(bool, pieces);
        QFETCH(uint, seed);
        QRandomGenerator random(seed);
        Control tested, reference;
        tested.setLongLineLimit(pieces ? 8 : 0);
        reference.setLongLineLimit(0);
        reference.setLineRunsEnabled(pieces);
        const QStringList parts{"<b>", "abcdefghijk", "\r\n", "\"v\"",      "xy", "0123456789012345678",
                                ">",   "\r\n\r\n",    "\n",   "\U0001F600", "z",  "<!-- c -->"};
        const auto randomText = [&](int maxParts) {
            QString text;
            for (int count = random.bounded(maxParts + 1); count > 0; --count)
                text += parts.at(random.bounded(int(parts.size())));
            return text;
        };
        const QString initial = randomText(12);
        for (Control* control : {&tested, &reference})
            control->setText(initial);
        int longest = 0;
        for (int line = 0; line < reference.lineCount(); ++line)
            longest = std::max(longest, reference.lineLength(reference.lineIndex(line)));
        QCOMPARE(tested.document()->blockCount() > reference.document()->blockCount(), pieces && longest > 8);
        for (int step = 0, steps = pieces ? 60 : 80; step < steps; ++step) {
            const int start = random.bounded(reference.textLength() + 1);
            const int stretch = random.bounded(reference.textLength() - start + 1);
            const QString inserted = randomText(3);
            QMimeData pasted;
            pasted.setText(inserted);
            const ColorValue color = ColorValue(random.bounded(1 << 24));
            const Qt::Key keys[] = {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Return,
                                    Qt::Key_Q,         Qt::Key_Left,   Qt::Key_Right};
            const Qt::Key key = keys[random.bounded(6)];
            const Qt::Key sideways = random.bounded(2) == 1 ? Qt::Key_Left : Qt::Key_Right;
            const auto shift = random.bounded(2) == 1 ? Qt::ShiftModifier : Qt::NoModifier;
            std::vector<ColorSpan> spans;
            for (int at = start; at < start + stretch; at += 1 + random.bounded(4))
                spans.push_back({at, 1 + random.bounded(3), ColorValue(random.bounded(1 << 24))});
            std::vector<ColorSpan> wholeText; // ascending and gapless, as a scan of the whole text
            for (int at = 0; at < reference.textLength(); at += wholeText.back().length)
                wholeText.push_back({at, 1 + random.bounded(6), ColorValue(random.bounded(1 << 24))});
            // Operations 1 to 3 act on the selection [start, start + stretch), 4 and 5 at start.
            const Action operations[] = {
                [&](Control& c) { c.setText(inserted + initial); },
                [&](Control& c) { c.setSelText(inserted); },
                [&](Control& c) { sendKey(&c, key); },
                [&](Control& c) { c.insertFromMimeData(&pasted); },
                [&](Control& c) { sendKey(&c, sideways, shift); },
                [&](Control& c) {
                    c.setSelColor(color);
                    typeText(&c, QStringLiteral("k"));
                },
                [&](Control& c) { c.paint(start, stretch, color); },
                [&](Control& c) { c.paint(0, c.textLength(), color); }, // as colouring a document begins
                [&](Control& c) {
                    const PaintBatch batch(c);
                    c.paintSpans(spans);
                },
                [&](Control& c) { &c == &tested ? c.setColors(wholeText) : c.paintSpans(wholeText); },
            };
            const int operation = random.bounded(int(std::size(operations)) + 1);
            int editStart = start;
            if (operation == int(std::size(operations))) {
                // A word deleted by Ctrl+Backspace in one is deleted the same way in the other.
                tested.select(start, 0);
                sendKey(&tested, Qt::Key_Backspace, Qt::ControlModifier);
                reference.select(tested.selStart(), start - tested.selStart());
                reference.setSelText(QString());
            } else {
                for (Control* control : {&tested, &reference}) {
                    if (operation >= 1 && operation <= 5)
                        control->select(start, operation <= 3 ? stretch : 0);
                    editStart = control->selStart();
                    operations[operation](*control);
                }
            }
            // Text inserted at a piece break may take its neighbour's colour: recoloured as the editor does.
            const int freshFrom = operation == 0 ? 0 : editStart;
            const int freshTo =
                operation == 0 ? reference.textLength() : (operation <= 3 ? reference.selStart() : 0);
            if (pieces && freshTo > freshFrom)
                for (Control* control : {&tested, &reference})
                    control->paint(freshFrom, freshTo - freshFrom, 4242);
            compareControls(tested, reference, start, stretch);
            if (QTest::currentTestFailed()) {
                qWarning("step %d, operation %d at %d+%d", step, operation, start, stretch);
                return;
            }
        }
    }

    // A key whose handler puts text in itself instead (as the typing aids do), in lines shown in
    // pieces: the pieces stay right, however many keys and wherever they are typed.
    void handlerEditsWithinAKey() {
        Control control;
        control.setLongLineLimit(8);
        QString expected = "abcdefghijklmnopqrstuvwxyz\r\n0123456789abcdef\r\nshort";
        control.setText(expected);
        QObject handlers;
        QObject::connect(&control, &Control::keyPress, &handlers, [&control](int& code) {
            if (code == '<') {
                code = 0;
                control.setSelText(QStringLiteral("<\r\n>"));
            }
        });
        for (const int at : {3, 30, 0, 12, 45}) {
            control.select(at, 0);
            typeText(&control, QStringLiteral("<x"));
            expected.insert(at, QStringLiteral("<\r\n>x"));
            QVERIFY(control.softBreaksConsistent());
            QCOMPARE(control.text(), expected);
            for (int offset = 0; offset < expected.size(); offset += 7)
                QCOMPARE(control.textRange(offset, 9), expected.mid(offset, 9));
        }
    }

    // An edit reported as several changes (a key with a typing aid, a paste over a selection) is
    // taken as one that covers them all: outside it, the text before and after is the same.
    void changesMerged() {
        QRandomGenerator random(7);
        for (int run = 0; run < 2000; ++run) {
            const QString before = QString(random.bounded(1, 40), QChar('a' + run % 26));
            QString after = before;
            std::vector<LongLinePieces::TextChange> changes;
            for (int count = random.bounded(1, 5); count > 0; --count) {
                const int from = random.bounded(int(after.size()) + 1);
                const int removed = random.bounded(int(after.size()) - from + 1);
                const int added = random.bounded(4);
                after.replace(from, removed, QString(added, QChar('0' + count)));
                changes.push_back({from, removed, added});
            }
            const LongLinePieces::TextChange all = LongLinePieces::merged(changes);
            const QString where = QStringLiteral("run %1").arg(run);
            QVERIFY2(all.from >= 0 && all.from + all.removed <= before.size() &&
                         all.from + all.added <= after.size(),
                     qPrintable(where));
            QVERIFY2(before.first(all.from) == after.first(all.from), qPrintable(where));
            QVERIFY2(before.sliced(all.from + all.removed) == after.sliced(all.from + all.added),
                     qPrintable(where));
        }
    }

    // The whole text replaced through the selection (it lets the old text go first) reads as any
    // other replaced selection: against a control where a character after the selection keeps the
    // replacement on the common way, and that character is deleted afterwards. One change is
    // reported, of the whole document.
    void wholeTextReplaced_data() {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("replacement");
        const QString longLine = QString(4500, 'y');
        QTest::newRow("lines") << "ab\r\ncd\r\n\r\nef"
                               << "x\r\ny<z>";
        QTest::newRow("ending in a break") << "ab\r\ncd\r\n"
                                           << "x\ry\nz\r\n";
        QTest::newRow("long lines before and after")
            << "a\r\n" + longLine + "\r\nb" << longLine + "z\r\n\r\nc";
        QTest::newRow("emptied") << "ab\r\ncd"
                                 << "";
    }
    void wholeTextReplaced() {
        const QString base = cell("base"), replacement = cell("replacement");
        Control tested, reference;
        for (Control* control : {&tested, &reference}) {
            control->setLongLineLimit(2000);
            control->setText(control == &reference ? base + "!" : base);
            control->paint(0, control->textLength(), 0x000000);
            control->paint(2, 1, 0x0000FF);
            control->paint(int(base.size()) - 1, 2, 0x00FF00); // the reference's extra character too
            control->select(0, int(base.size()));
        }
        // In the document's positions: a CR LF is one separator, and pieces of long lines have theirs.
        const int oldEnd = tested.document()->characterCount() - 1;
        QSignalSpy changes(&tested, &Control::change);
        QSignalSpy where(&tested, &Control::changedAt);
        tested.setSelText(replacement);
        reference.setSelText(replacement);
        reference.select(reference.textLength() - 1, 1);
        reference.setSelText(QString());
        QCOMPARE(changes.count(), 1);
        // The new text is reported as it came, before its long lines were cut.
        QCOMPARE(where.value(0),
                 (QVariantList{0, oldEnd, int(replacement.size() - replacement.count(kCrLf))}));
        QCOMPARE(qMakePair(tested.selStart(), tested.selLength()), qMakePair(tested.textLength(), 0));
        compareControls(tested, reference, 0, tested.textLength());
    }

    // Delete before an emptied piece deletes the next piece's first character; the rest keep colours.
    void deleteAcrossAnEmptyPiece() {
        Control control;
        control.setLongLineLimit(8); // pieces of two characters
        control.setText("abcdefghijkl");
        control.select(2, 0);
        sendKey(&control, Qt::Key_Delete);
        sendKey(&control, Qt::Key_Delete); // the piece "cd" is empty now
        std::vector<ColorSpan> spans;
        for (int offset = 0; offset < control.textLength(); ++offset)
            spans.push_back({offset, 1, offset + 1});
        control.setColors(spans);
        control.select(2, 0);
        sendKey(&control, Qt::Key_Delete);
        QCOMPARE(control.text(), QString("abfghijkl"));
        QList<ColorValue> colours;
        for (int offset = 0; offset < control.textLength(); ++offset)
            colours << control.colorAt(offset);
        QCOMPARE(colours, QList<ColorValue>({1, 2, 4, 5, 6, 7, 8, 9, 10}));
    }

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

QTEST_MAIN(TestRichTextControl)
#include "tst_richtextcontrol.moc"
