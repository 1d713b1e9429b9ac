#include "editor/Colorizer.h"
#include "editor/LineEndings.h"
#include "platform/RichTextControl.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

namespace {

// A colour no role uses: it marks characters the colorizer did not touch.
constexpr ColorValue kUntouched = 0x123456;

// Colours are written as one letter per character of the control's text (a CR LF is two):
// t tag, v value, x text, c comment, . untouched, ? anything else. Spaces only group letters.
QChar letterOf(ColorValue color, const ColorRoles& roles) {
    if (color == roles.tag)
        return QLatin1Char('t');
    if (color == roles.value)
        return QLatin1Char('v');
    if (color == roles.text)
        return QLatin1Char('x');
    if (color == roles.comment)
        return QLatin1Char('c');
    if (color == kUntouched)
        return QLatin1Char('.');
    return QLatin1Char('?');
}

ColorValue colorOf(QChar letter, const ColorRoles& roles) {
    switch (letter.unicode()) {
    case 't':
        return roles.tag;
    case 'v':
        return roles.value;
    case 'x':
        return roles.text;
    case 'c':
        return roles.comment;
    default:
        return kUntouched;
    }
}

QString withoutSpaces(QString letters) {
    return letters.remove(QLatin1Char(' '));
}

QString pattern(const RichTextControl& control, const ColorRoles& roles) {
    QString letters;
    for (int offset = 0; offset < control.textLength(); ++offset)
        letters += letterOf(control.colorAt(offset), roles);
    return letters;
}

void paintPattern(RichTextControl& control, const QString& letters, const ColorRoles& roles) {
    for (int offset = 0; offset < letters.size(); ++offset)
        control.paint(offset, 1, colorOf(letters.at(offset), roles));
}

// The colour a typed character gets: the typing colour set on the control before inserting.
void typeAt(RichTextControl& control, int offset, const QString& text, ColorValue color) {
    control.setSelStart(offset);
    control.setSelColor(color);
    control.setSelText(text);
}

// The unsaved-changes state of a document window: any text change marks it modified, and the
// clean-state restore clears the mark again.
struct FakeDocument {
    bool modified = false;
    int restores = 0;

    DocumentStateHooks hooks() {
        return {[this] { return modified; },
                [this] {
                    ++restores;
                    modified = false;
                }};
    }
};

QString randomMarkup(QRandomGenerator& random, int maxLength) {
    static const QString pieces[] = {QStringLiteral("<"),   QStringLiteral(">"),    QStringLiteral("<!-"),
                                     QStringLiteral("->"),  QStringLiteral("-"),    QStringLiteral("!"),
                                     QStringLiteral("%"),   QStringLiteral("?"),    QStringLiteral("\""),
                                     QStringLiteral("'"),   QStringLiteral(" "),    QStringLiteral("a"),
                                     QStringLiteral("b="),  QStringLiteral("\r\n"), QStringLiteral("\n"),
                                     QStringLiteral("<b>"), QStringLiteral("\t"),   QStringLiteral("é")};
    QString text;
    const int count = random.bounded(maxLength + 1);
    for (int i = 0; i < count; ++i)
        text += pieces[random.bounded(int(std::size(pieces)))];
    return NormalizeToCrLf(text);
}

} // namespace

class TestColorizer : public QObject {
    Q_OBJECT

private slots:
    void colorizeRange_data();
    void colorizeRange();
    void colorizeRangeRestoresCursorAndTypingColor();
    void colorizeRangeWithoutMarkupLeavesCursor();
    void recolorChange_data();
    void recolorChange();
    void recolorChangeIgnoresEmptyStretch();
    void clearColors_data();
    void clearColors();
    void typingColor_data();
    void typingColor();
    void colorizeDocument_data();
    void colorizeDocument();
    void identicalRoleColors_data();
    void identicalRoleColors();
    void colorValuesAreExactIntegers();
    void cleanStateRestore_data();
    void cleanStateRestore();
    void randomTextKeepsTextAndCleanState();
    void paintedColorsMatchComputedSpans();

private:
    const ColorRoles m_roles;
};

void TestColorizer::colorizeRange_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("expected");

    QTest::newRow("tags around text") << "<b>bold</b>" << 0 << 0 << "tttxxxxtttt";
    QTest::newRow("quoted value with its quotes, unquoted value in tag colour")
        << "<a href=\"x.htm\" target=top>" << 0 << 0 << "tttttttt vvvvvvv tttttttttttt";
    QTest::newRow("single quotes stay tag colour") << "<a title='x'>" << 0 << 0 << "ttttttttttttt";
    QTest::newRow("unpaired last quote stays tag colour")
        << "<a b=\"c\" d=\">" << 0 << 0 << "ttttt vvv ttttt";
    QTest::newRow("comment followed by a tag") << "<!-- a --><p>" << 0 << 0 << "cccccccccc ttt";
    QTest::newRow("two comments in a row") << "<!--a--><!--b-->x" << 0 << 0 << "cccccccc cccccccc x";
    QTest::newRow("comments with text between") << "<!--a--> <!--b-->" << 0 << 0 << "cccccccc x cccccccc";
    QTest::newRow("shortest comment") << "<!-->x" << 0 << 0 << "ccccc x";
    QTest::newRow("percent server block hides its less-than")
        << "a<% b < c %>d" << 0 << 0 << "x ccccccccccc x";
    QTest::newRow("question server block then tag")
        << "<?php echo 1 ?><b>" << 0 << 0 << "ccccccccccccccc ttt";
    QTest::newRow("server block without its end is no block") << "<% x <b>" << 0 << 0 << "xxxxx ttt";
    QTest::newRow("less-than and space is no tag") << "a < b > c" << 0 << 0 << "xxxxxxxxx";
    QTest::newRow("less-than and letter starts a tag") << "a <b c> d" << 0 << 0 << "xx ttttt xx";
    QTest::newRow("tag without its end stops the scan") << "<i>x <b y" << 0 << 0 << "ttt xxxxxx";
    QTest::newRow("comment without its end is a tag") << "<!-- a <b> c" << 0 << 0 << "tttttttttt xx";
    QTest::newRow("arrow in text makes the next comment a tag")
        << "a -> b <!-- c --> d" << 0 << 0 << "xxxxxxx tttttttttt xx";
    QTest::newRow("less-than inside a tag opens another one") << "<a x=\"<b>\">" << 0 << 0 << "ttttttttt xx";
    QTest::newRow("tag across a line break") << "<b\r\nc>x" << 0 << 0 << "tttttt x";
    QTest::newRow("comment across line breaks") << "x\r\n<!--\r\n-->\r\ny" << 0 << 0 << "xxx ccccccccc xxx";
    QTest::newRow("no greater-than: untouched") << "<b x" << 0 << 0 << "....";
    QTest::newRow("no less-than: untouched") << "a > b" << 0 << 0 << ".....";

    // Stretches: start is 1-based, one character past the stretch is scanned too.
    QTest::newRow("stretch inside the text") << "xx<b>yy<i>zz" << 6 << 4 << "..... xx ttt ..";
    QTest::newRow("extra character completes a tag") << "<b>x" << 1 << 2 << "ttt.";
    QTest::newRow("start 0 counts as 1") << "<b>x" << 0 << 2 << "ttt.";
    QTest::newRow("tag ending beyond the scanned text stays unpainted") << "<a><bcd>" << 1 << 4 << "tttx....";
    QTest::newRow("server block in a later stretch") << "ab<?x?>cd" << 3 << 5 << "..ccccc..";
    QTest::newRow("comment ending beyond the scanned text") << "<b><!-- a -->" << 1 << 8 << "ttt xxxxx .....";
    QTest::newRow("plain stretch keeps its colours") << "<b>plain" << 4 << 5 << "........";
    QTest::newRow("stretch running past the end") << "x<b>" << 2 << 100 << ".ttt";
}

void TestColorizer::colorizeRange() {
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, expected);

    RichTextControl control;
    control.setText(text);
    control.paint(0, control.textLength(), kUntouched);
    ColorizeRange(control, m_roles, start, length);

    QCOMPARE(pattern(control, m_roles), withoutSpaces(expected));
    QCOMPARE(control.text(), text);
}

void TestColorizer::colorizeRangeRestoresCursorAndTypingColor() {
    RichTextControl control;
    control.setText(QStringLiteral("<b>x</b> <i>y</i>"));
    control.select(3, 6);
    ColorizeRange(control, m_roles, 0, 0);

    QCOMPARE(control.selStart(), 3);
    QCOMPARE(control.selLength(), 0);
    // The character before the cursor is the tag's ">", yet typing goes on in text colour.
    control.setSelText(QStringLiteral("w"));
    QCOMPARE(control.colorAt(3), m_roles.text);
}

void TestColorizer::colorizeRangeWithoutMarkupLeavesCursor() {
    RichTextControl control;
    control.setText(QStringLiteral("<b>plain words</b>"));
    control.paint(0, control.textLength(), kUntouched);
    control.select(5, 3);
    FakeDocument document;
    ColorizeRange(control, m_roles, 4, 6, document.hooks());

    QCOMPARE(control.selStart(), 5);
    QCOMPARE(control.selLength(), 3);
    QCOMPARE(pattern(control, m_roles), QString(18, QLatin1Char('.')));
    QCOMPARE(document.restores, 0);
}

void TestColorizer::recolorChange_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("before"); // colours before the insertion; empty: colour the whole text
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<QString>("typedIn"); // colour letter of the inserted text; empty: typing colour
    QTest::addColumn<QString>("expected");

    QTest::newRow("letter in text") << "<b>ab</b>"
                                    << "" << 4 << "x"
                                    << ""
                                    << "ttt xxx tttt";
    QTest::newRow("letter in a tag") << "<b>"
                                     << "" << 2 << "r"
                                     << ""
                                     << "tttt";
    QTest::newRow("letter in a quoted value") << "<a b=\"cd\">"
                                              << "" << 7 << "x"
                                              << ""
                                              << "ttttt vvvvv t";
    QTest::newRow("letter after a tag at the end") << "<b>"
                                                   << "" << 3 << "c"
                                                   << ""
                                                   << "ttt x";
    QTest::newRow("letter after a comment at the end") << "<!--a-->"
                                                       << "" << 8 << "x"
                                                       << ""
                                                       << "cccccccc x";
    QTest::newRow("letter in a comment") << "<!-- ab -->"
                                         << "" << 6 << "x"
                                         << ""
                                         << "cccccccccccc";
    QTest::newRow("letter between tag and value") << "<a b=\"c\">"
                                                  << "" << 5 << "x"
                                                  << ""
                                                  << "tttttt vvv t";
    QTest::newRow("letter between value and tag") << "<a b=\"c\">"
                                                  << "" << 8 << "x"
                                                  << ""
                                                  << "ttttt vvv tt";
    QTest::newRow("tag-coloured letter between two tags becomes text") << "<b><i>"
                                                                       << "" << 3 << "x"
                                                                       << "t"
                                                                       << "ttt x ttt";
    QTest::newRow("letter after an unpaired quote in a tag becomes value") << "<a b=\">"
                                                                           << "" << 6 << "x"
                                                                           << "t"
                                                                           << "tttttt v t";
    QTest::newRow("line break in text") << "<p>ab</p>"
                                        << "" << 4 << "\r\n"
                                        << ""
                                        << "ttt xxxx tttt";
    QTest::newRow("whole tag pasted at offset 1") << "ab"
                                                  << "xx" << 1 << "<i>"
                                                  << ""
                                                  << "x ttt x";
    QTest::newRow("whole tag pasted later, spaces around") << "abcd"
                                                           << "xxxx" << 2 << " <i> "
                                                           << ""
                                                           << "xx x ttt x xx";
    QTest::newRow("mixed stretch recoloured with the character after it") << "a >"
                                                                          << "xxx" << 2 << "<b"
                                                                          << "x"
                                                                          << "xx ttt";
    QTest::newRow("mixed stretch at the start") << ">x"
                                                << "xx" << 0 << "<i"
                                                << "x"
                                                << "ttt x";
    QTest::newRow("mixed stretch inside text") << "<b>ab</b>"
                                               << "" << 4 << "x<i>y"
                                               << ""
                                               << "ttt x x ttt x x tttt";
    // Right after "->" the left side counts as text; the lone stretch has no tag to rescan.
    QTest::newRow("after an arrow the left side is text") << "<!--a-->xz"
                                                          << "cccccccccc" << 9 << "y"
                                                          << "x"
                                                          << "ccccccccc x c";
    QTest::newRow("a comment opening after the stretch makes the right side text") << "ab<!--c-->"
                                                                                   << "cccccccccc" << 2 << "x"
                                                                                   << "x"
                                                                                   << "cc x cccccccc";
    QTest::newRow("tag-coloured letter after a tag becomes text") << "<b>ab"
                                                                  << "tttxx" << 3 << "y"
                                                                  << "t"
                                                                  << "ttt x xx";
}

void TestColorizer::recolorChange() {
    QFETCH(QString, text);
    QFETCH(QString, before);
    QFETCH(int, offset);
    QFETCH(QString, inserted);
    QFETCH(QString, typedIn);
    QFETCH(QString, expected);

    RichTextControl control;
    control.setText(text);
    if (before.isEmpty())
        ColorizeRange(control, m_roles, 0, 0);
    else
        paintPattern(control, withoutSpaces(before), m_roles);
    const ColorValue typing =
        typedIn.isEmpty() ? TypingColor(control, m_roles, offset) : colorOf(typedIn.at(0), m_roles);
    typeAt(control, offset, inserted, typing);

    RecolorChange(control, m_roles, offset, inserted.size());

    QCOMPARE(pattern(control, m_roles), withoutSpaces(expected));
    const int cursor = offset + int(inserted.size());
    QCOMPARE(control.selStart(), cursor);
    QCOMPARE(control.selLength(), 0);
}

void TestColorizer::recolorChangeIgnoresEmptyStretch() {
    RichTextControl control;
    control.setText(QStringLiteral("<b>x"));
    control.paint(0, 4, kUntouched);
    control.select(1, 2);
    RecolorChange(control, m_roles, 1, 0);
    RecolorChange(control, m_roles, 1, -3);
    QCOMPARE(pattern(control, m_roles), QStringLiteral("...."));
    QCOMPARE(control.selStart(), 1);
    QCOMPARE(control.selLength(), 2);
}

void TestColorizer::clearColors_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("expected");

    // "<b>x</b>" coloured: tttxtttt.
    QTest::newRow("whole text") << 0 << 0 << "xxxxxxxx";
    QTest::newRow("negative start counts as 0") << -5 << 3 << "xxxxtttt";
    QTest::newRow("length 0 from a later start") << 4 << 0 << "tttxxxxx";
    QTest::newRow("middle") << 2 << 3 << "ttxxxttt";
}

void TestColorizer::clearColors() {
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, expected);

    RichTextControl control;
    control.setText(QStringLiteral("<b>x</b>"));
    ColorizeRange(control, m_roles, 0, 0);
    control.select(5, 2);
    ClearColors(control, m_roles, start, length);

    QCOMPARE(pattern(control, m_roles), withoutSpaces(expected));
    QCOMPARE(control.selStart(), 5);
    QCOMPARE(control.selLength(), 0);
}

void TestColorizer::typingColor_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("colors"); // empty: colour the whole text
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("expected");

    QTest::newRow("inside a tag") << "<br>"
                                  << "" << 2 << "t";
    QTest::newRow("directly after a tag") << "<b>x"
                                          << "" << 3 << "x";
    QTest::newRow("between two tags") << "<b><i>"
                                      << "" << 3 << "x";
    QTest::newRow("before a tag") << "x<b>"
                                  << "" << 1 << "x";
    QTest::newRow("inside a comment") << "<!-- a -->"
                                      << "" << 5 << "c";
    QTest::newRow("after the end of a comment, inside it by colour") << "<!--a-->-->"
                                                                     << "ccccccccccc" << 8 << "c";
    QTest::newRow("inside a quoted value") << "<a b=\"cd\">"
                                           << "" << 7 << "v";
    QTest::newRow("tag then value") << "<a b=\"c\">"
                                    << "" << 5 << "t";
    QTest::newRow("value then tag") << "<a b=\"c\">"
                                    << "" << 8 << "t";
    QTest::newRow("value then text") << "ab"
                                     << "vx" << 1 << "x";
    QTest::newRow("tag then text") << "ab"
                                   << "tx" << 1 << "x";
    QTest::newRow("comment then text") << "ab"
                                       << "cx" << 1 << "x";
    QTest::newRow("start of the text") << "<b>"
                                       << "" << 0 << "x";
    QTest::newRow("end of the text after a comment") << "<!--a-->"
                                                     << "" << 8 << "x";
    QTest::newRow("end of the text in a tag") << "<b"
                                              << "tt" << 2 << "x";
    QTest::newRow("less-than ahead gives text even in tag colour") << "a<"
                                                                   << "tt" << 1 << "x";
    QTest::newRow("comment colour beats the tag rules") << "><"
                                                        << "cc" << 1 << "c";
}

void TestColorizer::typingColor() {
    QFETCH(QString, text);
    QFETCH(QString, colors);
    QFETCH(int, offset);
    QFETCH(QString, expected);

    RichTextControl control;
    control.setText(text);
    if (colors.isEmpty())
        ColorizeRange(control, m_roles, 0, 0);
    else
        paintPattern(control, withoutSpaces(colors), m_roles);
    QCOMPARE(letterOf(TypingColor(control, m_roles, offset), m_roles), expected.at(0));
}

void TestColorizer::colorizeDocument_data() {
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("selectionLength");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("cursor");

    // "<b>x</b> <i>y</i>", nothing coloured beforehand.
    QTest::newRow("no selection: whole text") << 10 << 0 << "tttxtttt x tttxtttt" << 10;
    QTest::newRow("2 characters: whole text") << 0 << 2 << "tttxtttt x tttxtttt" << 0;
    QTest::newRow("3 characters, whole tag") << 9 << 3 << "......... ttt ....." << 12;
    QTest::newRow("3 characters and the one after them") << 4 << 3 << ".... tttt ........." << 7;
    QTest::newRow("3 characters up to a lone less-than") << 2 << 3 << "..xxx............" << 5;
}

void TestColorizer::colorizeDocument() {
    QFETCH(int, selectionStart);
    QFETCH(int, selectionLength);
    QFETCH(QString, expected);
    QFETCH(int, cursor);

    RichTextControl control;
    control.setText(QStringLiteral("<b>x</b> <i>y</i>"));
    control.paint(0, control.textLength(), kUntouched);
    control.select(selectionStart, selectionLength);
    ColorizeDocument(control, m_roles);

    QCOMPARE(pattern(control, m_roles), withoutSpaces(expected));
    QCOMPARE(control.selStart(), cursor);
    QCOMPARE(control.selLength(), 0);
}

void TestColorizer::identicalRoleColors_data() {
    QTest::addColumn<QString>("situation");
    QTest::addColumn<ColorValue>("expected");

    // Tag and comment share 0x0000ff; value 0x00ff00, text 0.
    QTest::newRow("typing between two tags") << "typing" << 0x0000ff;
    QTest::newRow("text inserted between two tags") << "insert" << 0x0000ff;
    QTest::newRow("colouring paints tags and comments alike") << "colorize" << 0x0000ff;
    QTest::newRow("tag in text colour reaching the extra character") << "extra" << 0;
}

void TestColorizer::identicalRoleColors() {
    QFETCH(QString, situation);
    QFETCH(ColorValue, expected);

    ColorRoles roles;
    roles.tag = 0x0000ff;
    roles.comment = 0x0000ff;
    roles.value = 0x00ff00;
    roles.text = 0;

    RichTextControl control;
    control.setText(QStringLiteral("<b><i>"));
    ColorizeRange(control, roles, 0, 0);
    if (situation == QLatin1String("typing")) {
        // Both sides read as comment colour, so the rules after ">" and before "<" do not apply.
        QCOMPARE(TypingColor(control, roles, 3), expected);
    } else if (situation == QLatin1String("insert")) {
        // The first matching line, "both comment colour", decides before "between tags".
        typeAt(control, 3, QStringLiteral("x"), roles.text);
        RecolorChange(control, roles, 3, 1);
        QCOMPARE(control.colorAt(3), expected);
    } else if (situation == QLatin1String("extra")) {
        // With tag colour equal to text colour, the ">" just past the stretch still gets painted.
        roles.tag = roles.text;
        control.setText(QStringLiteral("<b>x"));
        control.paint(0, 4, kUntouched);
        ColorizeRange(control, roles, 1, 2);
        QCOMPARE(control.colorAt(2), expected);
        QCOMPARE(control.colorAt(3), kUntouched);
    } else {
        control.setText(QStringLiteral("<!--a--><b c=\"d\">"));
        ColorizeRange(control, roles, 0, 0);
        for (int offset : {0, 7, 8, 11, 16})
            QCOMPARE(control.colorAt(offset), expected);
        QCOMPARE(control.colorAt(13), roles.value);
    }
}

void TestColorizer::colorValuesAreExactIntegers() {
    // Neighbouring values, one unit apart in each channel, must never be taken for each other.
    ColorRoles roles;
    roles.tag = 0x010203;
    roles.value = 0x010204;
    roles.text = 0x010303;
    roles.comment = 0x020203;

    RichTextControl control;
    control.setText(QStringLiteral("<a b=\"c\"><!--d-->e<%f%>"));
    ColorizeRange(control, roles, 0, 0);
    QCOMPARE(control.colorAt(0), 0x010203);
    QCOMPARE(control.colorAt(5), 0x010204);
    QCOMPARE(control.colorAt(10), 0x020203);
    QCOMPARE(control.colorAt(17), 0x010303);
    QCOMPARE(control.colorAt(18), 0x020203);
    QCOMPARE(TypingColor(control, roles, 6), 0x010204);
}

void TestColorizer::cleanStateRestore_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("initiallyModified");
    QTest::addColumn<bool>("restores");

    for (const bool modified : {false, true}) {
        const char* state = modified ? " (modified)" : " (clean)";
        QTest::newRow(qPrintable(QStringLiteral("colorize") + state)) << "colorize" << modified << !modified;
        QTest::newRow(qPrintable(QStringLiteral("colorize plain text") + state))
            << "plain" << modified << false;
        QTest::newRow(qPrintable(QStringLiteral("recolor by neighbours") + state))
            << "recolor" << modified << !modified;
        QTest::newRow(qPrintable(QStringLiteral("recolor by rescan") + state))
            << "rescan" << modified << !modified;
        QTest::newRow(qPrintable(QStringLiteral("remove colours") + state))
            << "clear" << modified << !modified;
        QTest::newRow(qPrintable(QStringLiteral("colorize document") + state))
            << "document" << modified << !modified;
    }
}

void TestColorizer::cleanStateRestore() {
    QFETCH(QString, operation);
    QFETCH(bool, initiallyModified);
    QFETCH(bool, restores);

    RichTextControl control;
    control.setText(QStringLiteral("<b>bold</b> plain"));
    FakeDocument document;
    document.modified = initiallyModified;
    connect(&control, &RichTextControl::change, this, [&document] { document.modified = true; });
    QSignalSpy changes(&control, &RichTextControl::change);

    if (operation == QLatin1String("colorize"))
        ColorizeRange(control, m_roles, 0, 0, document.hooks());
    else if (operation == QLatin1String("plain"))
        ColorizeRange(control, m_roles, 13, 5, document.hooks());
    else if (operation == QLatin1String("recolor"))
        RecolorChange(control, m_roles, 4, 2, document.hooks());
    else if (operation == QLatin1String("rescan"))
        RecolorChange(control, m_roles, 3, 7, document.hooks());
    else if (operation == QLatin1String("clear"))
        ClearColors(control, m_roles, 0, 0, document.hooks());
    else
        ColorizeDocument(control, m_roles, document.hooks());

    QCOMPARE(changes.count(), 0);
    QCOMPARE(document.modified, initiallyModified);
    QCOMPARE(document.restores > 0, restores);
}

void TestColorizer::randomTextKeepsTextAndCleanState() {
    QRandomGenerator random(20240611);
    for (int round = 0; round < 400; ++round) {
        const QString text = randomMarkup(random, 30);
        RichTextControl control;
        control.setText(text);
        FakeDocument document;
        connect(&control, &RichTextControl::change, &control, [&document] { document.modified = true; });
        const int total = control.textLength();
        const int start = random.bounded(total + 2);
        const int length = random.bounded(total + 2);
        control.select(random.bounded(total + 1), 0);
        control.setSelLength(random.bounded(4));

        switch (round % 4) {
        case 0:
            ColorizeRange(control, m_roles, start, length, document.hooks());
            break;
        case 1:
            RecolorChange(control, m_roles, start, length, document.hooks());
            break;
        case 2:
            ClearColors(control, m_roles, start - 1, length, document.hooks());
            break;
        default:
            ColorizeDocument(control, m_roles, document.hooks());
            break;
        }

        const QByteArray context = "text " + text.toUtf8().toPercentEncoding() + " start " +
                                   QByteArray::number(start) + " length " + QByteArray::number(length);
        QVERIFY2(control.text() == text, context.constData());
        QVERIFY2(!document.modified, context.constData());
        QVERIFY2(!pattern(control, m_roles).contains(QLatin1Char('?')), context.constData());
    }
}

void TestColorizer::paintedColorsMatchComputedSpans() {
    // The control is painted in fewer, layered strokes than the computed spans; the colours
    // must come out the same, across line breaks too.
    QRandomGenerator random(777);
    for (int round = 0; round < 300; ++round) {
        const QString text = randomMarkup(random, 40);
        RichTextControl control;
        control.setText(text);
        const int total = control.textLength();
        control.paint(0, total, kUntouched);
        const int base = random.bounded(total + 1);
        const int length = random.bounded(total - base + 1);
        const auto splitsBreak = [&text](int offset) {
            return offset > 0 && offset < text.size() && text.at(offset) == QLatin1Char('\n');
        };
        if (splitsBreak(base) || splitsBreak(base + length) || splitsBreak(base + length + 1))
            continue;
        ColorizeRange(control, m_roles, base + 1, length == 0 ? total - base : length);

        std::vector<ColorValue> expected(total, kUntouched);
        for (const ColorSpan& span :
             ComputeColorSpans(text.mid(base, (length == 0 ? total - base : length) + 1), base,
                               length == 0 ? total - base : length, m_roles))
            std::fill(expected.begin() + span.start, expected.begin() + span.start + span.length, span.color);
        for (int offset = 0; offset < total; ++offset) {
            const QByteArray context =
                text.toUtf8().toPercentEncoding() + " at " + QByteArray::number(offset);
            QVERIFY2(control.colorAt(offset) == expected[offset], context.constData());
        }
    }
}

QTEST_MAIN(TestColorizer)
#include "tst_colorizer.moc"
