#include "platform/RichTextControl.h"

#include <QMimeData>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <functional>
#include <vector>

namespace {

using Control = RichTextControl;
using Action = std::function<void(Control&)>;
const QString kCrLf = QStringLiteral("\r\n");
const QString kSample = QStringLiteral("ab\r\n\r\ncd"); // CR at 2 and 4, LF at 3 and 5

Control& withText(Control& control, const QString& text) {
    control.setText(text);
    return control;
}

// Compares everything the editor reads from a control: selection, text, offsets, lines and
// colours, then what copying [start, start + stretch) would put on the clipboard.
void compareControls(Control& tested, Control& reference, int start, int stretch) {
    QVERIFY(tested.softBreaksConsistent());
    QCOMPARE(tested.selStart(), reference.selStart());
    QCOMPARE(tested.selLength(), reference.selLength());
    QCOMPARE(tested.text(), reference.text());
    const int length = reference.textLength();
    QCOMPARE(tested.textLength(), length);
    QCOMPARE(tested.lineCount(), reference.lineCount());
    for (int offset = 0; offset <= length; ++offset) {
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

// Edits two controls alike at random and compares them after every step. With `pieces` the
// tested control shows long lines in pieces and the reference shows them whole; otherwise the
// tested control keeps colours as line runs and the reference as character formats only.
void editAlike(uint seed, bool pieces, int steps) {
    QRandomGenerator random(seed);
    Control tested;
    Control reference;
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

    for (int step = 0; step < steps; ++step) {
        const int a = random.bounded(reference.textLength() + 1);
        const int b = random.bounded(reference.textLength() + 1);
        const int start = std::min(a, b);
        const int stretch = std::max(a, b) - start;
        const QString inserted = randomText(3);
        QMimeData pasted;
        pasted.setText(inserted);
        const ColorValue color = ColorValue(random.bounded(1 << 24));
        const Qt::Key keys[] = {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Return,
                                Qt::Key_Q,         Qt::Key_Left,   Qt::Key_Right};
        const Qt::Key key = keys[random.bounded(int(std::size(keys)))];
        const Qt::Key sideways = key == Qt::Key_Left ? Qt::Key_Left : Qt::Key_Right;
        const auto shift = random.bounded(2) == 1 ? Qt::ShiftModifier : Qt::NoModifier;
        std::vector<ColorSpan> spans;
        for (int at = start; at < start + stretch; at += 1 + random.bounded(4))
            spans.push_back({at, 1 + random.bounded(3), ColorValue(random.bounded(1 << 24))});
        // Operations 1 to 3 act on the selection [start, start + stretch), 4 and 5 at start.
        const Action operations[] = {
            [&](Control& c) { c.setText(inserted + initial); },
            [&](Control& c) { c.setSelText(inserted); },
            [&](Control& c) { QTest::keyClick(&c, key); },
            [&](Control& c) { c.insertFromMimeData(&pasted); },
            [&](Control& c) { QTest::keyClick(&c, sideways, shift); },
            [&](Control& c) {
                c.setSelColor(color);
                QTest::keyClicks(&c, QStringLiteral("k"));
            },
            [&](Control& c) { c.paint(start, stretch, color); },
            [&](Control& c) { c.paint(0, c.textLength(), color); }, // as colouring a document begins
            [&](Control& c) {
                const PaintBatch batch(c);
                c.paintSpans(spans);
            },
        };
        const int operation = random.bounded(int(std::size(operations)) + 1);
        const QString done = QString::asprintf("step %d: operation %d at %d+%d, key %d, shift %d, in ", step,
                                               operation, start, stretch, int(key), int(shift)) +
                             reference.text();
        int editStart = start;
        if (operation == int(std::size(operations))) {
            // A word deleted by Ctrl+Backspace in one is deleted the same way in the other.
            tested.select(start, 0);
            QTest::keyClick(&tested, Qt::Key_Backspace, Qt::ControlModifier);
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
        // Text inserted at a break between pieces may take its colour from the other side; the
        // editor colours inserted text afresh anyway, and so does this test, in both controls.
        const int freshFrom = operation == 0 ? 0 : editStart;
        const int freshTo = operation == 0   ? reference.textLength()
                            : operation <= 3 ? reference.selStart()
                                             : 0;
        for (Control* control : {&tested, &reference}) {
            if (pieces && freshTo > freshFrom)
                control->paint(freshFrom, freshTo - freshFrom, 4242);
        }
        compareControls(tested, reference, start, stretch);
        if (QTest::currentTestFailed()) {
            qWarning("%s", qPrintable(done));
            return;
        }
    }
}

void addSeedRows(uint count) {
    QTest::addColumn<uint>("seed");
    for (uint seed = 1; seed <= count; ++seed)
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
}

} // namespace

Q_DECLARE_METATYPE(Action)

class TestRichTextControl : public QObject {
    Q_OBJECT

private slots:
    // Every offset against answers computed from the text alone: the character, its line, the
    // document position it maps to and the way back. Any break style reads back as CR LF, and no
    // other character is touched, not even by painting.
    void offsetsAndLines_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* name, const QString& input, const QString& text = QString()) {
            QTest::newRow(name) << input << (text.isNull() ? input : text);
        };
        row("empty", QString());
        row("one line", QStringLiteral("hello"));
        row("empty lines between", QStringLiteral("a\r\n\r\n\r\nb"));
        row("ends in a break", QStringLiteral("<p>\r\nx\r\n"));
        row("starts with a break", QStringLiteral("\r\nabc\r\nd"));
        row("mixed breaks", QStringLiteral("a\r\nb\nc\rd"), QStringLiteral("a\r\nb\r\nc\r\nd"));
        row("LF CR is two breaks", QStringLiteral("a\n\rb"), QStringLiteral("a\r\n\r\nb"));
        row("trailing LF", QStringLiteral("a\n"), QStringLiteral("a\r\n"));
        row("only breaks, the last a CR", QStringLiteral("\n\r\n\r"), QStringLiteral("\r\n\r\n\r\n"));
        row("nbsp, BOM, zero-width space, Latin-1, tab, non-BMP",
            QStringLiteral("\u00A0\r\n\uFEFFa\u200Bb\u00E5\t\u00C5\u00A0\U0001F600\U0001D11E"));
    }
    void offsetsAndLines() {
        QFETCH(QString, input);
        QFETCH(QString, text);
        Control control;
        QCOMPARE(withText(control, input).text(), text);
        QCOMPARE(control.textLength(), text.size());
        QCOMPARE(control.textRange(0, text.size()), text);
        const QStringList lines = text.split(kCrLf);
        QCOMPARE(control.lineCount(), lines.size());
        QCOMPARE(control.lineIndex(lines.size()), -1);
        QCOMPARE(control.lineIndex(-1), -1);
        const QTextDocument* doc = control.document();
        int line = 0;
        int lineStart = 0;
        for (int offset = 0; offset <= text.size(); ++offset) {
            const QByteArray where = QByteArray::number(offset);
            if (line + 1 < lines.size() && offset == lineStart + lines.at(line).size() + 2) {
                lineStart = offset;
                ++line;
            }
            QVERIFY2(offset != lineStart || control.lineIndex(line) == lineStart, where);
            QVERIFY2(control.lineFromChar(offset) == line, where);
            QVERIFY2(control.lineLength(offset) == lines.at(line).size(), where);
            const int position = control.toDocumentPosition(offset);
            if (offset < text.size()) {
                const QChar ch = text.at(offset);
                QVERIFY2(control.charAt(offset) == ch, where);
                const bool isBreak = ch == QLatin1Char('\r') || ch == QLatin1Char('\n');
                QVERIFY2(doc->characterAt(position) == (isBreak ? QChar(QChar::ParagraphSeparator) : ch),
                         where);
            }
            // Between CR and LF means the end of the line, where the CR is.
            const int back = offset > 0 && text.at(offset - 1) == QLatin1Char('\r') ? offset - 1 : offset;
            QVERIFY2(control.toOffset(position) == back, where);
        }
        for (int position = 0; position < doc->characterCount(); ++position)
            QVERIFY2(control.toDocumentPosition(control.toOffset(position)) == position,
                     QByteArray::number(position));
        QCOMPARE(control.charAt(-1), QChar());
        QCOMPARE(control.charAt(text.size()), QChar());
        control.select(0, text.size());
        QCOMPARE(control.selText(), text);
        control.paint(0, text.size(), 0x0000FF);
        QCOMPARE(control.text(), text);
    }

    // A selection set as asked, and as the editor reads it: a place between CR and LF is the end
    // of the line, where the CR is. textRange reads exactly what it is asked for, clipped to the
    // text as a whole.
    void selection_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<QString>("selText");
        QTest::addColumn<QString>("range");
        // In "ab\r\n\r\ncd" CR is at 2 and 4, LF at 3 and 5.
        const auto row = [](const char* name, int start, int length, int selStart, const char* selText,
                            const char* range, const QString& text = kSample) {
            QTest::newRow(name) << text << start << length << selStart << QString::fromUtf8(selText)
                                << QString::fromUtf8(range);
        };
        row("across an empty line", 1, 6, 1, "b\r\n\r\nc", "b\r\n\r\nc");
        row("cursor after a break", 4, 0, 4, "", "");
        row("only an LF", 3, 1, 2, "", "\n");
        row("up to a CR", 0, 3, 0, "ab", "ab\r");
        row("from an LF on", 3, 4, 2, "\r\n\r\n", "\n\r\nc");
        row("past the end", 6, 50, 6, "cd", "cd");
        row("start past the end", 20, 1, 8, "", "");
        row("negative length", 3, -2, 2, "", "");
        row("before the start: range clipped, not moved", -1, 2, 0, "ab", "a");
        row("wholly before the start", -5, 3, 0, "ab", "");
        row("surrogate pair", 1, 2, 1, "\U0001F600", "\U0001F600", QStringLiteral("x\U0001F600y"));
    }
    void selection() {
        QFETCH(QString, text);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(int, selStart);
        QFETCH(QString, selText);
        QFETCH(QString, range);
        Control control;
        QCOMPARE(withText(control, text).textRange(start, length), range);
        control.select(start, length);
        QCOMPARE(control.selStart(), selStart);
        QCOMPARE(control.selLength(), selText.size());
        QCOMPARE(control.selText(), selText);
        // The same through the two properties, the way the editor sets them: the start collapses.
        Control stepwise;
        withText(stepwise, text).select(0, 5);
        stepwise.setSelStart(start);
        QCOMPARE(stepwise.selLength(), 0);
        stepwise.setSelLength(length);
        QCOMPARE(stepwise.selStart(), selStart);
        QCOMPARE(stepwise.selText(), selText);
        // Replacing the selection replaces just that; the cursor ends after the new text.
        control.setSelText(QStringLiteral("<\n>"));
        QCOMPARE(control.text(), text.left(selStart) + "<\r\n>" + text.mid(selStart + selText.size()));
        QCOMPARE(control.selStart(), selStart + 4);
        QCOMPARE(control.selLength(), 0);
    }

    // Edits and paints of a text painted black, with the cursor at 4 and blue as the typing colour:
    // the text after, its colours (b blue, . black) and whether the edit raised a change (colour
    // changes never do). A break is one separator in the document, so painting either half colours
    // both.
    void editsAndColours_data() {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("colours");
        QTest::addColumn<bool>("changes");
        QTest::addColumn<Action>("edit");
        const auto row = [](const char* name, const char* text, const char* colours, bool changes,
                            Action edit, const char* base = "ab\r\ncd\r\n\r\nef") {
            QTest::newRow(name) << QString::fromUtf8(base) << QString::fromUtf8(text)
                                << QString::fromUtf8(colours) << changes << edit;
        };
        const auto paint = [](int start, int length) {
            return Action([=](Control& c) { c.paint(start, length, 0x0000FF); });
        };
        row("typed", "ab\r\nxycd\r\n\r\nef", "....bb........", true,
            [](Control& c) { QTest::keyClicks(&c, QStringLiteral("xy")); });
        row("inserted", "ab\r\n<\r\n>cd\r\n\r\nef", "....bbbb........", true,
            [](Control& c) { c.setSelText(QStringLiteral("<\r\n>")); });
        row("new text", "a\r\nb", "bbbb", true, [](Control& c) { c.setText(QStringLiteral("a\nb")); });
        row("selection deleted", "ad\r\n\r\nef", "........", true, [](Control& c) {
            c.select(1, 4);
            c.setSelText(QString());
        });
        const char* same = "ab\r\ncd\r\n\r\nef";
        row("a whole line and its break painted", same, "....bbbb....", false, paint(4, 4));
        row("only a CR painted", same, "......bb....", false, paint(6, 1));
        row("only an LF painted", same, "......bb....", false, paint(7, 1));
        row("an LF and the next char painted", same, "..bbb.......", false, paint(3, 2));
        row("an empty line's break painted", same, "........bb..", false, paint(8, 2));
        row("the last char painted", same, "...........b", false, paint(11, 1));
        row("the last break painted", "a\r\nb\r\n", "....bb", false, paint(4, 2), "a\r\nb\r\n");
        row("a break among breaks painted", "\r\n\r\n\r\n", "..bb..", false, paint(2, 1), "\r\n\r\n\r\n");
        row("selection painted", same, ".bbbb.......", false, [](Control& c) {
            c.select(1, 4);
            c.setSelColor(0x0000FF);
        });
        // Spans out of order, overlapping, empty or past the end: later ones paint over earlier ones.
        row("spans painted", same, "b...bbbbbbbb", false, [](Control& c) {
            c.paintSpans({{4, 20, 0x0000FF}, {0, 2, 0x0000FF}, {1, 1, 0}, {3, 0, 0x0000FF}});
        });
    }
    void editsAndColours() {
        QFETCH(QString, base);
        QFETCH(QString, text);
        QFETCH(QString, colours);
        QFETCH(bool, changes);
        QFETCH(Action, edit);
        Control control;
        withText(control, base).paint(0, base.size(), 0x000000);
        control.select(4, 0);
        QSignalSpy spy(&control, &Control::change);
        control.setSelColor(0x0000FF);
        edit(control);
        QCOMPARE(control.text(), text);
        QCOMPARE(spy.count() > 0, changes);
        const auto letter = [](ColorValue color) {
            return QChar(color == 0x0000FF ? 'b' : color == 0 ? '.' : '?');
        };
        QString painted;
        for (int i = 0; i < text.size(); ++i)
            painted += letter(control.colorAt(i));
        QCOMPARE(painted, colours);
        // A selection reads its first character, and painting leaves it where it was.
        const int selStart = control.selStart();
        const int selLength = control.selLength();
        if (selLength > 0)
            QCOMPARE(letter(control.selColor()), colours.at(selStart));
        control.paint(0, 1, control.colorAt(0));
        QCOMPARE(control.selStart(), selStart);
        QCOMPARE(control.selLength(), selLength);
        // A collapsed cursor reads the character before it (between CR and LF is before the CR).
        for (int i = 2; i <= text.size(); ++i) {
            control.select(i, 0);
            QVERIFY2(letter(control.selColor()) == colours.at(control.selStart() - 1), QByteArray::number(i));
        }
    }

    // Typed punctuation reports the key that carries it, never a cursor or editing key.
    void keyCodes() {
        const std::pair<Qt::Key, int> keys[] = {
            {Qt::Key_Backspace, 8},    {Qt::Key_Tab, 9},          {Qt::Key_Backtab, 9},
            {Qt::Key_Return, 13},      {Qt::Key_Enter, 13},       {Qt::Key_Escape, 27},
            {Qt::Key_Space, 32},       {Qt::Key_PageUp, 33},      {Qt::Key_PageDown, 34},
            {Qt::Key_End, 35},         {Qt::Key_Home, 36},        {Qt::Key_Left, 37},
            {Qt::Key_Up, 38},          {Qt::Key_Right, 39},       {Qt::Key_Down, 40},
            {Qt::Key_Insert, 45},      {Qt::Key_Delete, 46},      {Qt::Key_0, 48},
            {Qt::Key_9, 57},           {Qt::Key_A, 65},           {Qt::Key_Z, 90},
            {Qt::Key_F1, 112},         {Qt::Key_F12, 123},        {Qt::Key_Odiaeresis, 192},
            {Qt::Key_Aring, 221},      {Qt::Key_Adiaeresis, 222}, {Qt::Key_Less, 226},
            {Qt::Key_Greater, 226},    {Qt::Key_Period, 190},     {Qt::Key_Minus, 189},
            {Qt::Key_Underscore, 189}, {Qt::Key_Comma, 188},      {Qt::Key_Semicolon, 186},
            {Qt::Key_Equal, 187},      {Qt::Key_Slash, 191},      {Qt::Key_Apostrophe, 222},
            {Qt::Key_QuoteDbl, 222},   {Qt::Key_ParenLeft, 57},   {Qt::Key_ParenRight, 48},
            {Qt::Key_Exclam, 49},      {Qt::Key_NumberSign, 51},  {Qt::Key_Dollar, 52},
            {Qt::Key_Percent, 53},     {Qt::Key_Ampersand, 55},   {Qt::Key_BraceLeft, 219},
            {Qt::Key_BraceRight, 221}, {Qt::Key_AsciiTilde, 192}};
        for (const auto& [key, code] : keys)
            QVERIFY2(Control::keyCodeOf(key) == code, qPrintable(QKeySequence(key).toString()));
    }

    // A key pressed at "ab|\r\ncd", with a keyDown handler that may swallow it and a keyPress
    // handler that may replace its character (-1 keeps it): the text after, and the modifier
    // bits keyDown reported.
    void keyHandlers_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("swallow");
        QTest::addColumn<int>("replacement");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("shift");
        const auto row = [](const char* name, Qt::Key key, Qt::KeyboardModifiers modifiers, const char* typed,
                            bool swallow, int replacement, const char* expected, int shift) {
            QTest::newRow(name) << int(key) << int(modifiers) << QString::fromUtf8(typed) << swallow
                                << replacement << QString::fromUtf8(expected) << shift;
        };
        row("letter swallowed", Qt::Key_X, Qt::NoModifier, "x", true, -1, "ab\r\ncd", 0);
        row("letter let through", Qt::Key_X, Qt::NoModifier, "x", false, -1, "abx\r\ncd", 0);
        row("letter replaced", Qt::Key_O, Qt::NoModifier, "o", false, 0xF6, "ab\u00F6\r\ncd", 0);
        row("Shift+Alt+< suppressed", Qt::Key_Less, Qt::ShiftModifier | Qt::AltModifier, "<", false, 0,
            "ab\r\ncd", 5);
        row("Ctrl+Alt+Enter swallowed", Qt::Key_Return, Qt::ControlModifier | Qt::AltModifier, "\r", true, -1,
            "ab\r\ncd", 6);
        row("Enter let through", Qt::Key_Return, Qt::NoModifier, "\r", false, -1, "ab\r\n\r\ncd", 0);
        row("Ctrl+Backspace swallowed", Qt::Key_Backspace, Qt::ControlModifier, "", true, -1, "ab\r\ncd", 2);
        row("Shift+Tab swallowed", Qt::Key_Tab, Qt::ShiftModifier, "\t", true, -1, "ab\r\ncd", 1);
        row("Delete let through", Qt::Key_Delete, Qt::NoModifier, "", false, -1, "abcd", 0);
    }
    void keyHandlers() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, typed);
        QFETCH(bool, swallow);
        QFETCH(int, replacement);
        QFETCH(QString, expected);
        QFETCH(int, shift);
        Control control;
        control.show();
        withText(control, QStringLiteral("ab\r\ncd")).select(2, 0);
        QList<int> down;
        QList<int> pressed;
        connect(&control, &Control::keyDown, &control, [&](int& keyCode, int bits) {
            down << keyCode << bits;
            if (swallow)
                keyCode = 0;
        });
        connect(&control, &Control::keyPress, &control, [&](int& charCode) {
            pressed << charCode;
            if (replacement >= 0)
                charCode = replacement;
        });
        QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), typed);
        QApplication::sendEvent(&control, &press);
        QCOMPARE(control.text(), expected);
        QCOMPARE(down, (QList<int>{Control::keyCodeOf(key), shift}));
        // A key press reports the typed character, and follows only a key let through.
        QCOMPARE(pressed, swallow || typed.isEmpty() ? QList<int>() : QList<int>{typed.at(0).unicode()});
    }

    void lineRunsReachTheScreen() {
        Control control;
        control.resize(400, 300);
        withText(control, QStringLiteral("<b>\r\ntext")).paint(0, control.textLength(), 200);
        control.paint(3, 1, 25600); // the first line's break
        control.show();
        QVERIFY(QTest::qWaitForWindowExposed(&control));
        control.repaint();
        const QTextBlock first = control.document()->firstBlock();
        const QList<QTextLayout::FormatRange> shown = first.layout()->formats();
        QVERIFY(!shown.isEmpty());
        QCOMPARE(valueFromColor(shown.first().format.foreground().color()), ColorValue(200));
        // Once the line is edited its colours are character formats again, and still the same.
        control.setSelStart(1);
        control.setSelText(QStringLiteral("i"));
        QVERIFY(first.layout()->formats().isEmpty());
        QCOMPARE(control.colorAt(0), ColorValue(200));
        QCOMPARE(control.colorAt(4), ColorValue(25600));
        QCOMPARE(control.colorAt(6), ColorValue(200));
    }

    void lineRunsBehaveAsCharacterFormats_data() { addSeedRows(40); }
    void lineRunsBehaveAsCharacterFormats() {
        QFETCH(uint, seed);
        editAlike(seed, false, 80);
    }
    // Long lines are shown in pieces. Whatever is typed, pasted, deleted, moved over or painted, a
    // control that shows every line whole must hold the same text, offsets, lines and colours.
    void longLinePiecesAreInvisible_data() { addSeedRows(80); }
    void longLinePiecesAreInvisible() {
        QFETCH(uint, seed);
        editAlike(seed, true, 60);
    }
};

QTEST_MAIN(TestRichTextControl)
#include "tst_richtextcontrol.moc"
