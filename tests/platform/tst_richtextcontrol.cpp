#include "platform/RichTextControl.h"

#include <QMimeData>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <functional>
#include <tuple>
#include <vector>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Reference answers computed from a CR LF text alone, independent of the control.
struct Lines {
    QStringList lines;
    explicit Lines(const QString& text) : lines(text.split(kCrLf)) {}
    int start(int line) const {
        int offset = 0;
        for (int i = 0; i < line; ++i)
            offset += lines.at(i).size() + 2;
        return offset;
    }
    // The line holding an offset; the CR and the LF of a break belong to the line they end.
    int lineOf(int offset) const {
        int line = 0;
        while (line + 1 < lines.size() && start(line + 1) <= offset)
            ++line;
        return line;
    }
};

bool isLfOfBreak(const QString& text, int offset) {
    return offset > 0 && offset < text.size() && text.at(offset) == QLatin1Char('\n') &&
           text.at(offset - 1) == QLatin1Char('\r');
}

// Texts whose shapes the offset model must get right: empty lines, a last line without a
// break, a text ending in a break, a text that is only breaks.
void addShapes() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("one line") << QStringLiteral("hello");
    QTest::newRow("two lines") << QStringLiteral("ab\r\ncd");
    QTest::newRow("empty lines between") << QStringLiteral("a\r\n\r\n\r\nb");
    QTest::newRow("ends in a break") << QStringLiteral("<p>\r\nx\r\n");
    QTest::newRow("only breaks") << QStringLiteral("\r\n\r\n");
    QTest::newRow("starts with a break") << QStringLiteral("\r\nabc\r\nd");
    QTest::newRow("long and short lines") << QStringLiteral("<html>\r\n\r\n<body bgcolor=\"#FFFFFF\">\r\nx");
}

using Action = std::function<void(RichTextControl&)>;

// One data row per random seed, 1 to `count`.
void addSeedRows(uint count) {
    QTest::addColumn<uint>("seed");
    for (uint seed = 1; seed <= count; ++seed)
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
}

// Up to `maxParts` parts, drawn at random, one after the other.
QString randomText(QRandomGenerator& random, const QStringList& parts, int maxParts) {
    QString text;
    const int count = random.bounded(maxParts + 1);
    for (int i = 0; i < count; ++i)
        text += parts.at(random.bounded(int(parts.size())));
    return text;
}

} // namespace

Q_DECLARE_METATYPE(Action)

class TestRichTextControl : public QObject {
    Q_OBJECT

private slots:
    void textReadsCrLfBreaks_data();
    void textReadsCrLfBreaks();
    void offsetsAgreeWithText_data();
    void offsetsAgreeWithText();
    void lineQueries_data();
    void lineQueries();
    void selection_data();
    void selection();
    void setSelStartCollapses();
    void setSelText_data();
    void setSelText();
    void textRange_data();
    void textRange();
    void colorAfterPaint_data();
    void colorAfterPaint();
    void paintSpansMatchesPaint();
    void typingColour();
    void insertedTextTakesTypingColour();
    void setTextTakesTypingColour();
    void changeSignal_data();
    void changeSignal();
    void specialCharactersSurvive_data();
    void specialCharactersSurvive();
    void keyCodes_data();
    void keyCodes();
    void keyDownReportsModifiers_data();
    void keyDownReportsModifiers();
    void keyDownSwallows_data();
    void keyDownSwallows();
    void keyPressReplaces_data();
    void keyPressReplaces();
    void lineRunsBehaveAsCharacterFormats_data();
    void lineRunsBehaveAsCharacterFormats();
    void lineRunsReachTheScreen();
    void longLinePiecesAreInvisible_data();
    void longLinePiecesAreInvisible();
};

void TestRichTextControl::textReadsCrLfBreaks_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("CR LF") << QStringLiteral("a\r\nb\r\nc") << QStringLiteral("a\r\nb\r\nc");
    QTest::newRow("LF") << QStringLiteral("a\nb\nc") << QStringLiteral("a\r\nb\r\nc");
    QTest::newRow("CR") << QStringLiteral("a\rb\rc") << QStringLiteral("a\r\nb\r\nc");
    QTest::newRow("mixed") << QStringLiteral("a\r\nb\nc\rd") << QStringLiteral("a\r\nb\r\nc\r\nd");
    QTest::newRow("LF CR is two breaks") << QStringLiteral("a\n\rb") << QStringLiteral("a\r\n\r\nb");
    QTest::newRow("trailing LF") << QStringLiteral("a\n") << QStringLiteral("a\r\n");
    QTest::newRow("trailing CR") << QStringLiteral("a\r") << QStringLiteral("a\r\n");
    QTest::newRow("only breaks") << QStringLiteral("\n\r\n\r") << QStringLiteral("\r\n\r\n\r\n");
    QTest::newRow("empty") << QString() << QString();
}

void TestRichTextControl::textReadsCrLfBreaks() {
    QFETCH(QString, input);
    QFETCH(QString, expected);
    RichTextControl control;
    control.setText(input);
    QCOMPARE(control.text(), expected);
    QCOMPARE(control.textLength(), expected.size());
}

void TestRichTextControl::offsetsAgreeWithText_data() {
    addShapes();
}

// Every offset: the character read, the document position it maps to, and the way back.
void TestRichTextControl::offsetsAgreeWithText() {
    QFETCH(QString, text);
    RichTextControl control;
    control.setText(text);
    QCOMPARE(control.text(), text);
    const QTextDocument* doc = control.document();
    for (int offset = 0; offset <= text.size(); ++offset) {
        const QByteArray where = QByteArray::number(offset);
        const int position = control.toDocumentPosition(offset);
        if (offset < text.size()) {
            QVERIFY2(control.charAt(offset) == text.at(offset), where);
            const QChar atPosition = doc->characterAt(position);
            if (text.at(offset) == QLatin1Char('\r') || text.at(offset) == QLatin1Char('\n'))
                QVERIFY2(atPosition == QChar::ParagraphSeparator, where);
            else
                QVERIFY2(atPosition == text.at(offset), where);
        }
        // Between CR and LF means the end of the line, where the CR is.
        const int back = isLfOfBreak(text, offset) ? offset - 1 : offset;
        QVERIFY2(control.toOffset(position) == back, where);
    }
    for (int position = 0; position < doc->characterCount(); ++position)
        QVERIFY2(control.toDocumentPosition(control.toOffset(position)) == position,
                 QByteArray::number(position));
    QCOMPARE(control.charAt(-1), QChar());
    QCOMPARE(control.charAt(text.size()), QChar());
}

void TestRichTextControl::lineQueries_data() {
    addShapes();
}

void TestRichTextControl::lineQueries() {
    QFETCH(QString, text);
    RichTextControl control;
    control.setText(text);
    const Lines lines(text);
    QCOMPARE(control.lineCount(), lines.lines.size());
    for (int line = 0; line < lines.lines.size(); ++line)
        QCOMPARE(control.lineIndex(line), lines.start(line));
    QCOMPARE(control.lineIndex(lines.lines.size()), -1);
    QCOMPARE(control.lineIndex(-1), -1);
    for (int offset = 0; offset <= text.size(); ++offset) {
        const int line = lines.lineOf(offset);
        QVERIFY2(control.lineFromChar(offset) == line, QByteArray::number(offset));
        QVERIFY2(control.lineLength(offset) == lines.lines.at(line).size(), QByteArray::number(offset));
    }
}

void TestRichTextControl::selection_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("expectedStart");
    QTest::addColumn<int>("expectedLength");
    QTest::addColumn<QString>("expectedText");
    const QString t = QStringLiteral("ab\r\n\r\ncd");
    QTest::newRow("within a line") << t << 0 << 2 << 0 << 2 << QStringLiteral("ab");
    QTest::newRow("over a break") << t << 1 << 3 << 1 << 3 << QStringLiteral("b\r\n");
    QTest::newRow("a whole break") << t << 2 << 2 << 2 << 2 << kCrLf;
    QTest::newRow("across an empty line") << t << 1 << 6 << 1 << 6 << QStringLiteral("b\r\n\r\nc");
    QTest::newRow("everything") << t << 0 << 8 << 0 << 8 << t;
    QTest::newRow("cursor after a break") << t << 4 << 0 << 4 << 0 << QString();
    QTest::newRow("end between CR and LF") << t << 0 << 3 << 0 << 2 << QStringLiteral("ab");
    QTest::newRow("start between CR and LF") << t << 3 << 0 << 2 << 0 << QString();
    QTest::newRow("start between CR and LF, extended") << t << 3 << 4 << 2 << 4 << QStringLiteral("\r\n\r\n");
    QTest::newRow("length past the end") << t << 6 << 50 << 6 << 2 << QStringLiteral("cd");
    QTest::newRow("start past the end") << t << 20 << 1 << 8 << 0 << QString();
    QTest::newRow("negative start") << t << -3 << 1 << 0 << 1 << QStringLiteral("a");
    QTest::newRow("surrogate pair") << QStringLiteral("x\U0001F600y") << 1 << 2 << 1 << 2
                                    << QStringLiteral("\U0001F600");
}

void TestRichTextControl::selection() {
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(int, expectedStart);
    QFETCH(int, expectedLength);
    QFETCH(QString, expectedText);
    RichTextControl control;
    control.setText(text);
    control.select(start, length);
    QCOMPARE(control.selStart(), expectedStart);
    QCOMPARE(control.selLength(), expectedLength);
    QCOMPARE(control.selText(), expectedText);
    QCOMPARE(control.textRange(control.selStart(), control.selLength()), expectedText);
    // The same through the two properties, the way the editor sets them.
    RichTextControl stepwise;
    stepwise.setText(text);
    stepwise.setSelStart(start);
    stepwise.setSelLength(length);
    QCOMPARE(stepwise.selStart(), expectedStart);
    QCOMPARE(stepwise.selLength(), expectedLength);
}

void TestRichTextControl::setSelStartCollapses() {
    RichTextControl control;
    control.setText(QStringLiteral("ab\r\ncd"));
    control.select(1, 4);
    control.setSelStart(4);
    QCOMPARE(control.selStart(), 4);
    QCOMPARE(control.selLength(), 0);
    control.setSelLength(2);
    QCOMPARE(control.selText(), QStringLiteral("cd"));
}

void TestRichTextControl::setSelText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("insert");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("cursorAfter");
    const QString t = QStringLiteral("ab\r\ncd");
    QTest::newRow("insert at a cursor")
        << t << 1 << 0 << QStringLiteral("X") << QStringLiteral("aXb\r\ncd") << 2;
    QTest::newRow("insert a CR LF") << t << 1 << 0 << kCrLf << QStringLiteral("a\r\nb\r\ncd") << 3;
    QTest::newRow("insert LF breaks")
        << t << 6 << 0 << QStringLiteral("\ne\nf") << QStringLiteral("ab\r\ncd\r\ne\r\nf") << 12;
    QTest::newRow("replace across the break")
        << t << 1 << 4 << QStringLiteral("-") << QStringLiteral("a-d") << 2;
    QTest::newRow("delete the break") << t << 2 << 2 << QString() << QStringLiteral("abcd") << 2;
    QTest::newRow("replace all") << t << 0 << 6 << QStringLiteral("x\r\ny") << QStringLiteral("x\r\ny") << 4;
    QTest::newRow("at the start of a line")
        << t << 4 << 0 << QStringLiteral("<p>") << QStringLiteral("ab\r\n<p>cd") << 7;
}

void TestRichTextControl::setSelText() {
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, insert);
    QFETCH(QString, expected);
    QFETCH(int, cursorAfter);
    RichTextControl control;
    control.setText(text);
    control.select(start, length);
    control.setSelText(insert);
    QCOMPARE(control.text(), expected);
    QCOMPARE(control.selStart(), cursorAfter);
    QCOMPARE(control.selLength(), 0);
}

void TestRichTextControl::textRange_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("expected");
    // "ab\r\n\r\ncd": CR at 2 and 4, LF at 3 and 5.
    QTest::newRow("whole") << 0 << 8 << QStringLiteral("ab\r\n\r\ncd");
    QTest::newRow("only a CR") << 2 << 1 << QStringLiteral("\r");
    QTest::newRow("only an LF") << 3 << 1 << QStringLiteral("\n");
    QTest::newRow("LF then CR") << 3 << 2 << QStringLiteral("\n\r");
    QTest::newRow("from an LF on") << 3 << 5 << QStringLiteral("\n\r\ncd");
    QTest::newRow("up to a CR") << 0 << 3 << QStringLiteral("ab\r");
    QTest::newRow("two breaks") << 2 << 4 << QStringLiteral("\r\n\r\n");
    QTest::newRow("char before and after a break") << 1 << 6 << QStringLiteral("b\r\n\r\nc");
    QTest::newRow("past the end") << 6 << 10 << QStringLiteral("cd");
    QTest::newRow("at the end") << 8 << 3 << QString();
    QTest::newRow("zero length") << 3 << 0 << QString();
    QTest::newRow("negative length") << 3 << -2 << QString();
    QTest::newRow("before the start is clipped") << -1 << 2 << QStringLiteral("a");
    QTest::newRow("wholly before the start") << -5 << 3 << QString();
}

void TestRichTextControl::textRange() {
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, expected);
    RichTextControl control;
    control.setText(QStringLiteral("ab\r\n\r\ncd"));
    QCOMPARE(control.textRange(start, length), expected);
}

void TestRichTextControl::colorAfterPaint_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    const QString t = QStringLiteral("ab\r\ncd\r\n\r\nef");
    QTest::newRow("inside a line") << t << 0 << 1;
    QTest::newRow("a whole line and its break") << t << 4 << 4;
    QTest::newRow("only the CR") << t << 6 << 1;
    QTest::newRow("only the LF") << t << 7 << 1;
    QTest::newRow("LF and the next char") << t << 3 << 2;
    QTest::newRow("an empty line's break") << t << 8 << 2;
    QTest::newRow("the char before a CR") << t << 5 << 1;
    QTest::newRow("last char") << t << 11 << 1;
    QTest::newRow("everything") << t << 0 << 12;
    QTest::newRow("text ending in a break, last break") << QStringLiteral("a\r\nb\r\n") << 4 << 2;
    QTest::newRow("only breaks") << QStringLiteral("\r\n\r\n\r\n") << 2 << 1;
}

// Paints a base colour over everything, then one stretch, and reads every character back.
// A break is one separator in the document, so painting either half colours both.
void TestRichTextControl::colorAfterPaint() {
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    const ColorValue base = 0x112233;
    const ColorValue painted = 0x0000FF;
    RichTextControl control;
    control.setText(text);
    control.paint(0, text.size(), base);
    control.paint(start, length, painted);

    std::vector<ColorValue> expected(text.size(), base);
    for (int i = std::max(0, start); i < std::min<int>(start + length, text.size()); ++i)
        expected[i] = painted;
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('\r') && (expected[i] == painted || expected[i + 1] == painted))
            expected[i] = expected[i + 1] = painted;
    }
    for (int i = 0; i < text.size(); ++i)
        QVERIFY2(control.colorAt(i) == expected[i], QByteArray::number(i));

    // A collapsed cursor reads the colour of the character before it.
    for (int cursor = 1; cursor <= text.size(); ++cursor) {
        if (isLfOfBreak(text, cursor))
            continue; // maps to the end of the line, before the CR
        control.select(cursor, 0);
        QVERIFY2(control.selColor() == expected[cursor - 1], QByteArray::number(cursor));
    }
    // A selection reads its first character.
    control.select(start, length);
    if (control.selLength() > 0)
        QCOMPARE(control.selColor(), expected[control.selStart()]);
    // Painting leaves the selection where it was.
    QCOMPARE(control.selText(), text.mid(control.selStart(), control.selLength()));
}

void TestRichTextControl::paintSpansMatchesPaint() {
    const QString text = QStringLiteral("<a>\r\n\r\nxy\r\n<!-- c -->\r\nz");
    std::vector<ColorSpan> spans = {{0, 3, 0x0000FF},   {4, 1, 0x00FF00}, {7, 2, 0xFF0000},
                                    {11, 10, 0x808080}, {2, 0, 0x123456}, {22, 5, 0x010203}};
    // Out of order too: the batch must not depend on ascending spans.
    std::vector<ColorSpan> shuffled = {spans[3], spans[0], spans[5], spans[2], spans[1], spans[4]};
    for (const auto& batch : {spans, shuffled}) {
        RichTextControl one;
        RichTextControl many;
        one.setText(text);
        many.setText(text);
        one.paint(0, text.size(), 0x111111);
        many.paint(0, text.size(), 0x111111);
        for (const ColorSpan& span : batch)
            one.paint(span.start, span.length, span.color);
        many.paintSpans(batch);
        for (int i = 0; i < text.size(); ++i)
            QVERIFY2(one.colorAt(i) == many.colorAt(i), QByteArray::number(i));
    }
}

void TestRichTextControl::typingColour() {
    RichTextControl control;
    control.show();
    control.setText(QStringLiteral("ab\r\ncd"));
    control.paint(0, 6, 0x000000);
    control.select(4, 0);
    control.setSelColor(0x0000FF);
    QTest::keyClicks(&control, QStringLiteral("xy"));
    QCOMPARE(control.text(), QStringLiteral("ab\r\nxycd"));
    QCOMPARE(control.colorAt(4), 0x0000FF);
    QCOMPARE(control.colorAt(5), 0x0000FF);
    QCOMPARE(control.colorAt(3), 0x000000);
    QCOMPARE(control.colorAt(6), 0x000000);
    // The cursor now sits after the typed text, which the selection colour reports.
    QCOMPARE(control.selColor(), 0x0000FF);
}

void TestRichTextControl::insertedTextTakesTypingColour() {
    RichTextControl control;
    control.setText(QStringLiteral("abcd"));
    control.paint(0, 4, 0x000000);
    control.select(2, 0);
    control.setSelColor(0x00FF00);
    control.setSelText(QStringLiteral("<\r\n>"));
    QCOMPARE(control.text(), QStringLiteral("ab<\r\n>cd"));
    for (int i = 2; i < 6; ++i)
        QVERIFY2(control.colorAt(i) == 0x00FF00, QByteArray::number(i));
    QCOMPARE(control.colorAt(1), 0x000000);
    QCOMPARE(control.colorAt(6), 0x000000);
}

void TestRichTextControl::setTextTakesTypingColour() {
    RichTextControl control;
    control.setSelColor(0x654321);
    control.setText(QStringLiteral("a\nb"));
    for (int i = 0; i < 4; ++i)
        QVERIFY2(control.colorAt(i) == 0x654321, QByteArray::number(i));
}

void TestRichTextControl::changeSignal_data() {
    QTest::addColumn<Action>("action");
    QTest::addColumn<bool>("emits");
    QTest::newRow("paint") << Action([](RichTextControl& c) { c.paint(0, 7, 0x0000FF); }) << false;
    QTest::newRow("paint a break only")
        << Action([](RichTextControl& c) { c.paint(2, 1, 0x0000FF); }) << false;
    QTest::newRow("paint spans") << Action([](RichTextControl& c) {
        c.paintSpans({{0, 2, 0xFF}, {2, 3, 0xFF00}});
    }) << false;
    QTest::newRow("selection colour over a selection") << Action([](RichTextControl& c) {
        c.select(1, 3);
        c.setSelColor(0x00FF00);
    }) << false;
    QTest::newRow("typing colour") << Action([](RichTextControl& c) {
        c.select(2, 0);
        c.setSelColor(0x00FF00);
    }) << false;
    QTest::newRow("moving the selection") << Action([](RichTextControl& c) { c.select(1, 4); }) << false;
    QTest::newRow("setText") << Action([](RichTextControl& c) { c.setText(QStringLiteral("x")); }) << true;
    QTest::newRow("setSelText") << Action([](RichTextControl& c) {
        c.select(1, 0);
        c.setSelText(QStringLiteral("x"));
    }) << true;
    QTest::newRow("deleting the selection") << Action([](RichTextControl& c) {
        c.select(1, 3);
        c.setSelText(QString());
    }) << true;
    QTest::newRow("typing") << Action([](RichTextControl& c) { QTest::keyClicks(&c, QStringLiteral("q")); })
                            << true;
    QTest::newRow("backspace") << Action([](RichTextControl& c) {
        c.select(3, 0);
        QTest::keyClick(&c, Qt::Key_Backspace);
    }) << true;
}

void TestRichTextControl::changeSignal() {
    QFETCH(Action, action);
    QFETCH(bool, emits);
    RichTextControl control;
    control.setText(QStringLiteral("ab\r\ncde"));
    const QString before = control.text();
    QSignalSpy spy(&control, &RichTextControl::change);
    action(control);
    QCOMPARE(spy.count() > 0, emits);
    if (!emits)
        QCOMPARE(control.text(), before);
}

void TestRichTextControl::specialCharactersSurvive_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("nbsp") << QStringLiteral("a\u00A0b\u00A0");
    QTest::newRow("nbsp around a break") << QStringLiteral("\u00A0\r\n\u00A0");
    QTest::newRow("non-BMP") << QStringLiteral("\U0001F600 x \U00010348\r\n\U0001D11E");
    QTest::newRow("byte-order mark and zero-width space") << QStringLiteral("\uFEFFa\u200Bb");
    QTest::newRow("Latin-1 letters and tab") << QStringLiteral("\u00E5\u00E4\u00F6\t\u00C5\u00C4\u00D6");
}

void TestRichTextControl::specialCharactersSurvive() {
    QFETCH(QString, text);
    RichTextControl control;
    control.setText(text);
    QCOMPARE(control.text(), text);
    QCOMPARE(control.textLength(), text.size());
    QCOMPARE(control.textRange(0, text.size()), text);
    for (int i = 0; i < text.size(); ++i)
        QVERIFY2(control.charAt(i) == text.at(i), QByteArray::number(i));
    control.select(0, text.size());
    QCOMPARE(control.selText(), text);
    // Painting must not alter any character either.
    control.paint(0, text.size(), 0x0000FF);
    QCOMPARE(control.text(), text);
}

void TestRichTextControl::keyCodes_data() {
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("code");
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << 8;
    QTest::newRow("Tab") << int(Qt::Key_Tab) << 9;
    QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << 9;
    QTest::newRow("Return") << int(Qt::Key_Return) << 13;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << 13;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << 27;
    QTest::newRow("Space") << int(Qt::Key_Space) << 32;
    QTest::newRow("Page Up") << int(Qt::Key_PageUp) << 33;
    QTest::newRow("Page Down") << int(Qt::Key_PageDown) << 34;
    QTest::newRow("End") << int(Qt::Key_End) << 35;
    QTest::newRow("Home") << int(Qt::Key_Home) << 36;
    QTest::newRow("Left") << int(Qt::Key_Left) << 37;
    QTest::newRow("Up") << int(Qt::Key_Up) << 38;
    QTest::newRow("Right") << int(Qt::Key_Right) << 39;
    QTest::newRow("Down") << int(Qt::Key_Down) << 40;
    QTest::newRow("Insert") << int(Qt::Key_Insert) << 45;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << 46;
    QTest::newRow("0") << int(Qt::Key_0) << 48;
    QTest::newRow("9") << int(Qt::Key_9) << 57;
    QTest::newRow("A") << int(Qt::Key_A) << 65;
    QTest::newRow("G") << int(Qt::Key_G) << 71;
    QTest::newRow("Z") << int(Qt::Key_Z) << 90;
    QTest::newRow("F1") << int(Qt::Key_F1) << 112;
    QTest::newRow("F12") << int(Qt::Key_F12) << 123;
    QTest::newRow("o diaeresis key") << int(Qt::Key_Odiaeresis) << 192;
    QTest::newRow("a ring key") << int(Qt::Key_Aring) << 221;
    QTest::newRow("a diaeresis key") << int(Qt::Key_Adiaeresis) << 222;
    QTest::newRow("102nd key <") << int(Qt::Key_Less) << 226;
    QTest::newRow("102nd key >") << int(Qt::Key_Greater) << 226;
    // Typed punctuation reports the key that carries it, never a cursor or editing key.
    QTest::newRow(".") << int(Qt::Key_Period) << 190;
    QTest::newRow("-") << int(Qt::Key_Minus) << 189;
    QTest::newRow("_") << int(Qt::Key_Underscore) << 189;
    QTest::newRow(",") << int(Qt::Key_Comma) << 188;
    QTest::newRow(";") << int(Qt::Key_Semicolon) << 186;
    QTest::newRow("=") << int(Qt::Key_Equal) << 187;
    QTest::newRow("/") << int(Qt::Key_Slash) << 191;
    QTest::newRow("'") << int(Qt::Key_Apostrophe) << 222;
    QTest::newRow("\"") << int(Qt::Key_QuoteDbl) << 222;
    QTest::newRow("(") << int(Qt::Key_ParenLeft) << 57;
    QTest::newRow(")") << int(Qt::Key_ParenRight) << 48;
    QTest::newRow("!") << int(Qt::Key_Exclam) << 49;
    QTest::newRow("#") << int(Qt::Key_NumberSign) << 51;
    QTest::newRow("$") << int(Qt::Key_Dollar) << 52;
    QTest::newRow("%") << int(Qt::Key_Percent) << 53;
    QTest::newRow("&") << int(Qt::Key_Ampersand) << 55;
    QTest::newRow("{") << int(Qt::Key_BraceLeft) << 219;
    QTest::newRow("}") << int(Qt::Key_BraceRight) << 221;
    QTest::newRow("~") << int(Qt::Key_AsciiTilde) << 192;
}

void TestRichTextControl::keyCodes() {
    QFETCH(int, qtKey);
    QFETCH(int, code);
    QCOMPARE(RichTextControl::keyCodeOf(qtKey), code);
}

void TestRichTextControl::keyDownReportsModifiers_data() {
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("shift");
    QTest::newRow("a") << int(Qt::Key_A) << int(Qt::NoModifier) << 65 << 0;
    QTest::newRow("Shift+Tab") << int(Qt::Key_Tab) << int(Qt::ShiftModifier) << 9 << 1;
    QTest::newRow("Ctrl+Enter") << int(Qt::Key_Return) << int(Qt::ControlModifier) << 13 << 2;
    QTest::newRow("Alt+o diaeresis") << int(Qt::Key_Odiaeresis) << int(Qt::AltModifier) << 192 << 4;
    QTest::newRow("Ctrl+Alt+Enter") << int(Qt::Key_Return) << int(Qt::ControlModifier | Qt::AltModifier) << 13
                                    << 6;
    QTest::newRow("Shift+Alt+<") << int(Qt::Key_Less) << int(Qt::ShiftModifier | Qt::AltModifier) << 226 << 5;
}

void TestRichTextControl::keyDownReportsModifiers() {
    QFETCH(int, qtKey);
    QFETCH(int, modifiers);
    QFETCH(int, code);
    QFETCH(int, shift);
    RichTextControl control;
    QList<QPair<int, int>> seen;
    connect(&control, &RichTextControl::keyDown, &control, [&](int& keyCode, int bits) {
        seen.append({keyCode, bits});
        keyCode = 0;
    });
    QTest::keyClick(&control, Qt::Key(qtKey), Qt::KeyboardModifiers(modifiers));
    // The modifier keys come first as keys of their own; the key itself is the last.
    QVERIFY(!seen.isEmpty());
    QCOMPARE(seen.last().first, code);
    QCOMPARE(seen.last().second, shift);
}

void TestRichTextControl::keyDownSwallows_data() {
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<QString>("keyText");
    QTest::addColumn<bool>("swallow");
    QTest::addColumn<QString>("expected");
    // The text is "ab\r\ncd" with the cursor after "ab".
    QTest::newRow("letter, swallowed")
        << int(Qt::Key_X) << QStringLiteral("x") << true << QStringLiteral("ab\r\ncd");
    QTest::newRow("letter, let through")
        << int(Qt::Key_X) << QStringLiteral("x") << false << QStringLiteral("abx\r\ncd");
    QTest::newRow("Enter, swallowed")
        << int(Qt::Key_Return) << QStringLiteral("\r") << true << QStringLiteral("ab\r\ncd");
    QTest::newRow("Enter, let through")
        << int(Qt::Key_Return) << QStringLiteral("\r") << false << QStringLiteral("ab\r\n\r\ncd");
    QTest::newRow("Backspace, swallowed")
        << int(Qt::Key_Backspace) << QString() << true << QStringLiteral("ab\r\ncd");
    QTest::newRow("Backspace, let through")
        << int(Qt::Key_Backspace) << QString() << false << QStringLiteral("a\r\ncd");
    QTest::newRow("Delete, swallowed")
        << int(Qt::Key_Delete) << QString() << true << QStringLiteral("ab\r\ncd");
    QTest::newRow("Delete, let through")
        << int(Qt::Key_Delete) << QString() << false << QStringLiteral("abcd");
    QTest::newRow("Tab, swallowed") << int(Qt::Key_Tab) << QStringLiteral("\t") << true
                                    << QStringLiteral("ab\r\ncd");
}

void TestRichTextControl::keyDownSwallows() {
    QFETCH(int, qtKey);
    QFETCH(QString, keyText);
    QFETCH(bool, swallow);
    QFETCH(QString, expected);
    RichTextControl control;
    control.show();
    control.setText(QStringLiteral("ab\r\ncd"));
    control.select(2, 0);
    int keyPresses = 0;
    connect(&control, &RichTextControl::keyDown, &control, [&](int& keyCode, int) {
        if (swallow)
            keyCode = 0;
    });
    connect(&control, &RichTextControl::keyPress, &control, [&](int&) { ++keyPresses; });
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier, keyText);
    QApplication::sendEvent(&control, &press);
    QCOMPARE(control.text(), expected);
    if (swallow)
        QCOMPARE(keyPresses, 0); // a swallowed key types nothing, so no key press follows
}

void TestRichTextControl::keyPressReplaces_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("replacement");
    QTest::addColumn<QString>("expected");
    QTest::newRow("kept") << QStringLiteral("a") << int('a') << QStringLiteral("a");
    QTest::newRow("replaced") << QStringLiteral("a") << int('b') << QStringLiteral("b");
    QTest::newRow("replaced by a non-ASCII letter")
        << QStringLiteral("o") << 0xF6 << QStringLiteral("\u00F6");
    QTest::newRow("suppressed") << QStringLiteral("<") << 0 << QString();
}

void TestRichTextControl::keyPressReplaces() {
    QFETCH(QString, typed);
    QFETCH(int, replacement);
    QFETCH(QString, expected);
    RichTextControl control;
    control.show();
    QList<int> seen;
    connect(&control, &RichTextControl::keyPress, &control, [&](int& charCode) {
        seen << charCode;
        charCode = replacement;
    });
    QTest::keyClicks(&control, typed);
    QCOMPARE(seen, QList<int>{typed.at(0).unicode()});
    QCOMPARE(control.text(), expected);
}

void TestRichTextControl::lineRunsBehaveAsCharacterFormats_data() {
    addSeedRows(40);
}

// Lines painted whole keep their colours as runs beside the document. Whatever is painted and
// edited afterwards, a control that keeps every colour as a character format must show the
// same text in the same colours.
void TestRichTextControl::lineRunsBehaveAsCharacterFormats() {
    QFETCH(uint, seed);
    QRandomGenerator random(seed);
    RichTextControl runs;
    RichTextControl formats;
    formats.setLineRunsEnabled(false);
    const QStringList parts{"<b>", "x", "\r\n", "\"v\"", "ab", "\r\n\r\n", ">", "<!-- c -->", " "};
    const auto randomText = [&](int maxParts) { return ::randomText(random, parts, maxParts); };
    const ColorValue palette[] = {0, 200, 13107200, 25600, 12345};
    for (RichTextControl* control : {&runs, &formats})
        control->setText(QString());
    const QString initial = randomText(30);
    for (RichTextControl* control : {&runs, &formats})
        control->setText(initial);

    for (int step = 0; step < 80; ++step) {
        const int length = runs.textLength();
        const int a = random.bounded(length + 1);
        const int b = random.bounded(length + 1);
        const int start = std::min(a, b);
        const int stretch = std::max(a, b) - start;
        const ColorValue color = palette[random.bounded(int(std::size(palette)))];
        const int operation = random.bounded(7);
        QString inserted = randomText(3);
        std::vector<ColorSpan> spans;
        for (int at = start; at < start + stretch; at += 1 + random.bounded(4))
            spans.push_back({at, 1 + random.bounded(3), palette[random.bounded(int(std::size(palette)))]});
        const Qt::Key keys[] = {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Return, Qt::Key_Q};
        const Qt::Key key = keys[random.bounded(4)];
        for (RichTextControl* control : {&runs, &formats}) {
            switch (operation) {
            case 0: // a whole stretch, as colouring a document begins
                control->paint(0, control->textLength(), color);
                break;
            case 1:
                control->paint(start, stretch, color);
                break;
            case 2: {
                const PaintBatch batch(*control);
                control->paintSpans(spans);
                break;
            }
            case 3:
                control->select(start, stretch);
                control->setSelText(inserted);
                break;
            case 4:
                control->select(start, stretch);
                QTest::keyClick(control, key);
                break;
            case 5:
                control->setText(inserted);
                break;
            default:
                control->setSelStart(start);
                control->setSelColor(color);
                QTest::keyClicks(control, QStringLiteral("k"));
                break;
            }
        }
        QCOMPARE(runs.text(), formats.text());
        for (int offset = 0; offset < runs.textLength(); ++offset)
            QCOMPARE(runs.colorAt(offset), formats.colorAt(offset));
    }
}

void TestRichTextControl::lineRunsReachTheScreen() {
    RichTextControl control;
    control.resize(400, 300);
    control.setText(QStringLiteral("<b>\r\ntext"));
    control.paint(0, control.textLength(), 200);
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

void TestRichTextControl::longLinePiecesAreInvisible_data() {
    addSeedRows(80);
}

// Long lines are shown in pieces. Whatever is typed, pasted, deleted, moved over or painted, a
// control that shows every line whole must hold the same text, offsets, lines and colours.
void TestRichTextControl::longLinePiecesAreInvisible() {
    QFETCH(uint, seed);
    QRandomGenerator random(seed);
    RichTextControl pieces;
    pieces.setLongLineLimit(8);
    RichTextControl whole;
    whole.setLongLineLimit(0);
    const QStringList parts{"<b>",      "abcdefghijk", "\r\n", "\"v\"",      "xy", "0123456789012345678",
                            "\r\n\r\n", "\n",          "\r",   "\U0001F600", "z"};
    const auto randomText = [&](int maxParts) { return ::randomText(random, parts, maxParts); };
    const QString initial = randomText(12);
    for (RichTextControl* control : {&pieces, &whole})
        control->setText(initial);
    QVERIFY(initial.size() < 20 || pieces.document()->blockCount() >= whole.document()->blockCount());

    QString lastOperation;
    const auto same = [&](int step) {
        Q_UNUSED(step);
        QVERIFY(pieces.softBreaksConsistent());
        QCOMPARE(pieces.text(), whole.text());
        const int length = whole.textLength();
        QCOMPARE(pieces.textLength(), length);
        QCOMPARE(pieces.lineCount(), whole.lineCount());
        QVERIFY2(pieces.selStart() == whole.selStart() && pieces.selLength() == whole.selLength(),
                 qPrintable(QStringLiteral("selection %1+%2, expected %3+%4 after %5 in %6")
                                .arg(pieces.selStart())
                                .arg(pieces.selLength())
                                .arg(whole.selStart())
                                .arg(whole.selLength())
                                .arg(lastOperation)
                                .arg(whole.text())));
        for (int offset = 0; offset <= length; ++offset) {
            QCOMPARE(pieces.charAt(offset), whole.charAt(offset));
            QCOMPARE(pieces.colorAt(offset), whole.colorAt(offset));
            QCOMPARE(pieces.lineFromChar(offset), whole.lineFromChar(offset));
            QCOMPARE(pieces.lineLength(offset), whole.lineLength(offset));
            QCOMPARE(pieces.toOffset(pieces.toDocumentPosition(offset)),
                     whole.toOffset(whole.toDocumentPosition(offset)));
        }
        for (int line = 0; line < whole.lineCount(); ++line)
            QCOMPARE(pieces.lineIndex(line), whole.lineIndex(line));
        const int a = random.bounded(length + 1);
        QCOMPARE(pieces.textRange(a, 7), whole.textRange(a, 7));
    };
    same(-1);
    if (QTest::currentTestFailed())
        return;

    for (int step = 0; step < 60; ++step) {
        const int length = whole.textLength();
        const int a = random.bounded(length + 1);
        const int b = random.bounded(length + 1);
        const int start = std::min(a, b);
        const int stretch = std::max(a, b) - start;
        const QString inserted = randomText(3);
        const ColorValue color = ColorValue(random.bounded(1 << 24));
        const Qt::Key keys[] = {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Return,
                                Qt::Key_Q,         Qt::Key_Left,   Qt::Key_Right};
        const Qt::Key key = keys[random.bounded(int(std::size(keys)))];
        const bool extend = random.bounded(2) == 1;
        const int operation = random.bounded(7);
        int editStart = start;
        lastOperation = QStringLiteral("op %1 at %2+%3 key %4 extend %5")
                            .arg(operation)
                            .arg(start)
                            .arg(stretch)
                            .arg(int(key))
                            .arg(extend);
        if (operation == 6) {
            // A word deleted by Ctrl+Backspace in the pieces is deleted the same way in the whole.
            pieces.select(start, 0);
            QTest::keyClick(&pieces, Qt::Key_Backspace, Qt::ControlModifier);
            const int removedFrom = pieces.selStart();
            whole.select(removedFrom, start - removedFrom);
            whole.setSelText(QString());
            same(step);
            if (QTest::currentTestFailed())
                return;
            continue;
        }
        for (RichTextControl* control : {&pieces, &whole}) {
            switch (operation) {
            case 0:
                control->setText(inserted + initial);
                break;
            case 1:
                control->select(start, stretch);
                editStart = control->selStart();
                control->setSelText(inserted);
                break;
            case 2:
                control->select(start, stretch);
                editStart = control->selStart();
                QTest::keyClick(control, key);
                break;
            case 3:
                control->select(start, 0);
                QTest::keyClick(control, key == Qt::Key_Left ? Qt::Key_Left : Qt::Key_Right,
                                extend ? Qt::ShiftModifier : Qt::NoModifier);
                break;
            case 4:
                control->paint(start, stretch, color);
                break;
            default: {
                QMimeData data;
                data.setText(inserted);
                control->select(start, stretch);
                editStart = control->selStart();
                control->insertFromMimeData(&data);
                break;
            }
            }
        }
        // Text an edit inserts may take its colour from the other side of a piece break; the
        // editor colours inserted text afresh anyway, and so does this test, in both controls.
        int freshFrom = 0;
        int freshTo = 0;
        if (operation == 0)
            freshTo = whole.textLength();
        else if (operation == 1 || operation == 2 || operation == 5)
            std::tie(freshFrom, freshTo) = std::pair(editStart, whole.selStart());
        if (freshTo > freshFrom) {
            for (RichTextControl* control : {&pieces, &whole})
                control->paint(freshFrom, freshTo - freshFrom, 4242);
        }
        same(step);
        if (QTest::currentTestFailed())
            return;
        // What Qt would put on the clipboard carries no breaks between pieces.
        pieces.select(start, stretch);
        whole.select(start, stretch);
        const std::unique_ptr<QMimeData> copied(pieces.createMimeDataFromSelection());
        QCOMPARE(copied->text(), whole.selText().replace("\r\n", "\n"));
    }
}

QTEST_MAIN(TestRichTextControl)
#include "tst_richtextcontrol.moc"
