#include "markup/Abbreviation.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/Rendered.h"

#include <QFile>
#include <QMenu>
#include <QStatusBar>
#include <QtTest>

namespace {

// The shipped table of style abbreviations.
const StyleAbbreviations& shippedStyles() {
    static const StyleAbbreviations styles = [] {
        QFile file(QStringLiteral(QUILLORA_TESTS_FOLDER "/../data/abbreviations.txt"));
        return file.open(QIODevice::ReadOnly) ? StyleAbbreviations::parse(QString::fromUtf8(file.readAll()))
                                              : StyleAbbreviations();
    }();
    return styles;
}

// The expansion with "|" at its cursor and "\n" for its line breaks, or "error: ..." / "too large".
QString expanded(const QString& abbreviation, AbbreviationMode mode = AbbreviationMode::Markup,
                 const QString& parent = {}) {
    AbbreviationContext context;
    context.mode = mode;
    context.parent = parent;
    context.styles = &shippedStyles();
    const Expansion expansion = ExpandAbbreviation(abbreviation, context);
    if (expansion.tooLarge)
        return QStringLiteral("too large");
    if (!expansion.ok())
        return QStringLiteral("error: ") + expansion.error;
    return QString(expansion.text)
        .insert(expansion.cursor, u'|')
        .replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

// The columns row() fills.
void columns() {
    for (const char* column : {"abbreviation", "expected", "parent"})
        QTest::addColumn<QString>(column);
}

void row(const char* name, const char* abbreviation, const char* expected, const char* parent = "") {
    QTest::newRow(name) << QString::fromUtf8(abbreviation) << QString::fromUtf8(expected)
                        << QString::fromUtf8(parent);
}

} // namespace

// Abbreviations: what they expand to, their errors and limits, where one starts, the edit points;
// and Expand Abbreviation by keys in a document window.
class AbbreviationTest : public QObject {
    Q_OBJECT

    // The main window with the file `name` holding `marked` without its "|", the cursor there.
    static RichTextControl* open(AppFixture& app, const QString& name, const QString& marked) {
        app.start({app.env.writeFile(name, unmarked(marked).toUtf8())});
        RichTextControl* text = app.document(0)->txtRich;
        selectMarked(*text, marked);
        return QTest::qWaitForWindowActive(text->window()) ? text : nullptr;
    }

private slots:
    // Markup: the expansion with the cursor's place ("|").
    void markup_data() {
        columns();
        row("element", "div", "<div>|</div>");
        row("lower case", "DIV.Big", "<div class=\"Big\">|</div>");
        row("class", "p.note", "<p class=\"note\">|</p>");
        row("id and classes", "div#main.a.b", "<div id=\"main\" class=\"a b\">|</div>");
        row("second id replaces", "p#a#b", "<p id=\"b\">|</p>");
        row("implied div", ".x", "<div class=\"x\">|</div>");
        row("implied by id", "#top", "<div id=\"top\">|</div>");
        row("implied by attribute", "[title=t]", "<div title=\"t\">|</div>");
        row("link's place", "a", "<a href=\"|\"></a>");
        row("given value", "a[href=#]", "<a href=\"#\">|</a>");
        row("image", "img", "<img src=\"|\" alt=\"\">");
        row("void", "br", "<br>|");
        row("default replaced in place", "input[name=q type=email]", "<input type=\"email\" name=\"q\">|");
        row("stylesheet link", "link", "<link rel=\"stylesheet\" href=\"|\">");
        row("attribute forms", "div[title=\"a b\" data-x='y' hidden]",
            "<div title=\"a b\" data-x=\"y\" hidden=\"|\"></div>");
        row("quotes in a value", "p[title='say \"hi\"']", "<p title=\"say &quot;hi&quot;\">|</p>");
        row("attribute names lower case", "td[colspan=2 ROWSPAN=3]",
            "<td colspan=\"2\" rowspan=\"3\">|</td>");
        row("class attribute adds", "div.a[class=b]", "<div class=\"a b\">|</div>");
        row("empty unquoted value", "p[data-x=]", "<p data-x=\"|\"></p>");
        row("child", "ul>li", "<ul>\n\t<li>|</li>\n</ul>");
        row("repeat", "ul>li*3", "<ul>\n\t<li>|</li>\n\t<li></li>\n\t<li></li>\n</ul>");
        row("block holds inline", "div>p>span", "<div>\n\t<p><span>|</span></p>\n</div>");
        row("siblings", "div+p", "<div>|</div>\n<p></p>");
        row("children siblings", "div>p+p", "<div>\n\t<p>|</p>\n\t<p></p>\n</div>");
        row("climb", "div>p^h1", "<div>\n\t<p>|</p>\n</div>\n<h1></h1>");
        row("climb twice", "div>section>p^^h2",
            "<div>\n\t<section>\n\t\t<p>|</p>\n\t</section>\n</div>\n<h2></h2>");
        row("climb past the top", "a>b^^^^i", "<a href=\"|\"><b></b></a><i></i>");
        row("climb one of three", "div>ul>li^p", "<div>\n\t<ul>\n\t\t<li>|</li>\n\t</ul>\n\t<p></p>\n</div>");
        row("group", "(header>nav)+main", "<header>\n\t<nav>|</nav>\n</header>\n<main></main>");
        row("group repeated", "ul>(li>a)*2",
            "<ul>\n\t<li><a href=\"|\"></a></li>\n\t<li><a href=\"\"></a></li>\n</ul>");
        row("group pairs", "dl>(dt+dd)*2",
            "<dl>\n\t<dt>|</dt>\n\t<dd></dd>\n\t<dt></dt>\n\t<dd></dd>\n</dl>");
        row("groups nested inline", "((b+i)*2)", "<b>|</b><i></i><b></b><i></i>");
        row("group then climb", "div>(p>b)+p^h1", "<div>\n\t<p><b>|</b></p>\n\t<p></p>\n</div>\n<h1></h1>");
        row("numbered class", "li.item$*3",
            "<li class=\"item1\">|</li>\n<li class=\"item2\"></li>\n"
            "<li class=\"item3\"></li>");
        row("numbered name", "h$*3", "<h1>|</h1>\n<h2></h2>\n<h3></h3>");
        row("padded", "p#n$$$*2", "<p id=\"n001\">|</p>\n<p id=\"n002\"></p>");
        row("counting down", "li{Item $@-}*3", "<li>Item 3</li>\n<li>Item 2</li>\n<li>Item 1</li>|");
        row("starting at 3", "li{$@3}*2", "<li>3</li>\n<li>4</li>|");
        row("down to 5", "li{$@-5}*3", "<li>7</li>\n<li>6</li>\n<li>5</li>|");
        row("number of the parent", "ol>li*2>a[href=page$.htm]{Page $}",
            "<ol>\n\t<li><a href=\"page1.htm\">Page 1</a></li>\n\t<li><a href=\"page2.htm\">Page "
            "2</a></li>\n</ol>|");
        row("number of the group", "(p.a$+p.b$)*2",
            "<p class=\"a1\">|</p>\n<p class=\"b1\"></p>\n<p class=\"a2\"></p>\n<p class=\"b2\"></p>");
        row("dollar sign", "p{\\$5 for $}", "<p>$5 for 1</p>|");
        row("numbered attribute", "i[data-n$=$$]*2", "<i data-n1=\"01\">|</i><i data-n2=\"02\"></i>");
        row("at sign kept", "p{me@host $@x}", "<p>me@host 1@x</p>|");
        row("text", "p{Hello}", "<p>Hello</p>|");
        row("operators in text", "a{x > y * 2 + 1}", "<a href=\"|\">x &gt; y * 2 + 1</a>");
        row("braces in text", "p{a{b}c}", "<p>a{b}c</p>|");
        row("markup in text", "p{<b>}", "<p>&lt;b&gt;</p>|");
        row("texts joined", "p{a}{b}", "<p>ab</p>|");
        row("bare text", "{Click }+a{here}", "Click <a href=\"|\">here</a>");
        row("text among elements", "p>{Hi }+em{there}", "<p>Hi <em>there</em></p>|");
        row("text before block", "div{t}>p", "<div>\n\tt\n\t<p>|</p>\n</div>");
        row("list item", "ul>.x", "<ul>\n\t<li class=\"x\">|</li>\n</ul>");
        row("table row and cell", "table>.row>.cell",
            "<table>\n\t<tr class=\"row\">\n\t\t<td class=\"cell\">|</td>\n\t</tr>\n</table>");
        row("body row", "tbody>[id=r]", "<tbody>\n\t<tr id=\"r\">|</tr>\n</tbody>");
        row("option", "select>.o*2",
            "<select>\n\t<option class=\"o\">|</option>\n\t<option class=\"o\"></option>\n</select>");
        row("span in phrasing", "em>.x", "<em><span class=\"x\">|</span></em>");
        row("span in a paragraph", "p>.x", "<p><span class=\"x\">|</span></p>");
        row("from the document", ".x*2", "<li class=\"x\">|</li>\n<li class=\"x\"></li>", "UL");
        row("cell from the document", ".c", "<td class=\"c\">|</td>", "tr");
        row("inline siblings", "p>a+b", "<p><a href=\"|\"></a><b></b></p>");
        row("inline and block", "div>span+p", "<div>\n\t<span>|</span>\n\t<p></p>\n</div>");
        row("inline repeated", "span*3", "<span>|</span><span></span><span></span>");
        row("void inline", "input*2", "<input type=\"text\"><input type=\"text\">|");
        row("skeleton", "!",
            "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n\t<meta charset=\"UTF-8\">\n"
            "\t<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            "\t<title>|</title>\n</head>\n<body>\n\t\n</body>\n</html>");
        row("skeleton's body", "!>p{x}",
            "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n\t<meta charset=\"UTF-8\">\n"
            "\t<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            "\t<title>|</title>\n</head>\n<body>\n\t<p>x</p>\n</body>\n</html>");
        // Abbreviations that do not read: nothing is made, and the message says why and where.
        row("class without name", "ul>li.", "error: Expected a name after '.' at character 7.");
        row("id without name", "div#", "error: Expected a name after '#' at character 5.");
        row("empty", "", "error: Expected an element at character 1.");
        row("nothing after >", "ul>", "error: Expected an element after '>' at character 4.");
        row("nothing after +", "a+", "error: Expected an element after '+' at character 3.");
        row("nothing after ^", "a^", "error: Expected an element after '^' at character 3.");
        row("operator twice", "a>>b", "error: Expected an element after '>' at character 3.");
        row("stray character", "div%", "error: Unexpected '%' at character 4.");
        row("stray after repeat", "li*3x", "error: Unexpected 'x' at character 5.");
        row("zero copies", "li*0", "error: Expected a count from 1 to 1000 after '*' at character 4.");
        row("too many copies", "li*1001", "error: Expected a count from 1 to 1000 after '*' at character 4.");
        row("very many copies", "li*99999999999",
            "error: Expected a count from 1 to 1000 after '*' at character 4.");
        row("no count", "li*", "error: Expected a count from 1 to 1000 after '*' at character 4.");
        row("group open", "(a+b", "error: Unclosed '(' at character 1.");
        row("group closed twice", "(a))", "error: Unexpected ')' at character 4.");
        row("attributes open", "a[href", "error: Unclosed '[' at character 2.");
        row("value open", "a[title=\"x]", "error: Unclosed '\"' at character 9.");
        row("text open", "p{text", "error: Unclosed '{' at character 2.");
        row("attribute without name", "a[=x]", "error: Expected an attribute name at character 3.");
        row("glued attributes", "a[x=\"1\"y]", "error: Unexpected 'y' at character 8.");
        row("group with children", "(a)>b", "error: A group cannot have children at character 4.");
        row("text with children", "{t}>b", "error: Text cannot hold elements at character 4.");
        row("void with children", "p>br>span",
            "error: The void element 'br' cannot hold content at character 3.");
        row("void with text", "img{x}", "error: The void element 'img' cannot hold content at character 1.");
        row("start too large", "li{$@1234567890}",
            "error: Expected at most 9 digits after '@' at character 6.");
        row("start too large in a name", "h$@1234567890",
            "error: Expected at most 9 digits after '@' at character 4.");
    }
    void markup() {
        QCOMPARE(expanded(cell("abbreviation"), AbbreviationMode::Markup, cell("parent")), cell("expected"));
    }

    // Style declarations from the shipped table: one a line in a sheet, on one line in an attribute.
    void style_data() {
        columns();
        row("pixels", "m10", "margin: 10px;|");
        row("zero", "p0", "padding: 0;|");
        row("zero with a dot", "p0.0", "padding: 0;|");
        row("percent", "w100p", "width: 100%;|");
        row("percent sign", "h50%", "height: 50%;|");
        row("keyword", "dib", "display: inline-block;|");
        row("any case", "DIB", "display: inline-block;|");
        row("two values", "m10-20", "margin: 10px 20px;|");
        row("negative", "m-5", "margin: -5px;|");
        row("zero and negative", "m0--5", "margin: 0 -5px;|");
        row("rem", "fz1.5r", "font-size: 1.5rem;|");
        row("em", "fz2e", "font-size: 2em;|");
        row("unit written out", "h2vh", "height: 2vh;|");
        row("no unit", "lh1.5", "line-height: 1.5;|");
        row("seconds", "trs.3", "transition: all .3s;|");
        row("value to come", "m", "margin: |;");
        row("one digit colour", "c#f", "color: #ffffff;|");
        row("two digit colour", "c#3c", "color: #3c3c3c;|");
        row("colour", "bgc#F00", "background-color: #f00;|");
        row("important", "m0!", "margin: 0 !important;|");
        row("several", "m0+p10+dn", "margin: 0;\npadding: 10px;\ndisplay: none;|");
        row("first empty place", "m0+w+h", "margin: 0;\nwidth: |;\nheight: ;");
        // Style abbreviations that do not read.
        row("unknown", "xyz10", "error: Unknown style abbreviation 'xyz' at character 1.");
        row("unknown second", "m0+xyz", "error: Unknown style abbreviation 'xyz' at character 4.");
        row("nothing after +", "m10+", "error: Expected a style abbreviation at character 5.");
        row("number first", "10px", "error: Expected a style abbreviation at character 1.");
        row("unknown unit", "m10q", "error: Unknown unit 'q' at character 4.");
        row("number missing", "m10-", "error: Expected a number at character 5.");
        row("keyword with number", "dib5", "error: 'dib' takes no value at character 4.");
        row("bad colour", "c#ggg", "error: Expected 1, 2, 3, 4, 6 or 8 hex digits after '#' at character 3.");
        row("two dots", "m1.2.3", "error: Expected a number at character 2.");
    }
    void style() {
        QCOMPARE(expanded(cell("abbreviation"), AbbreviationMode::StyleSheet), cell("expected"));
        // In an attribute the declarations share one line.
        QCOMPARE(expanded(cell("abbreviation"), AbbreviationMode::StyleAttribute),
                 cell("expected").replace('\n', ' '));
    }

    // Every line after the first starts with the line's own indentation and the indent per level.
    void indentation() {
        AbbreviationContext context;
        context.indent = QStringLiteral("  ");
        context.lineIndent = QStringLiteral("    ");
        QCOMPARE(ExpandAbbreviation(u"ul>li>p", context).text,
                 QStringLiteral("<ul>\r\n      <li>\r\n        <p></p>\r\n      </li>\r\n    </ul>"));
        context.mode = AbbreviationMode::StyleSheet;
        const StyleAbbreviations styles = StyleAbbreviations::parse(QStringLiteral("m = margin: $px;"));
        context.styles = &styles;
        QCOMPARE(ExpandAbbreviation(u"m1+m2", context).text,
                 QStringLiteral("margin: 1px;\r\n    margin: 2px;"));
    }

    // Placeholder words: as many as asked for, in sentences, and other words in each copy.
    void lorem() {
        const QStringList words = expanded("lorem5").chopped(1).split(' ');
        QCOMPARE(words.size(), 5);
        QVERIFY(words.first().at(0).isUpper() && words.last().endsWith('.'));
        QCOMPARE(expanded("lorem").chopped(1).split(' ').size(), 30);
        const QStringList paragraphs = expanded("p*2>lorem8").remove('|').split('\n');
        QCOMPARE(paragraphs.size(), 2);
        QVERIFY(paragraphs[0] != paragraphs[1]);
        for (const QString& paragraph : paragraphs) {
            QVERIFY(paragraph.startsWith("<p>") && paragraph.endsWith(".</p>"));
            QCOMPARE(paragraph.count(' '), 7);
            QVERIFY(QRegularExpression("^<p>[A-Z][a-z]+( [A-Za-z]+\\.?)+</p>$").match(paragraph).hasMatch());
        }
    }

    // What would pass 1 MB, or make more than a million parts, is refused before it is built.
    void tooLarge() {
        for (const char* abbreviation : {"(div*1000)*1000", "ul>li*1000>a*1000", "lorem2000000",
                                         "lorem99999999999", "(({}*1000)*1000)*1000"})
            QCOMPARE(expanded(abbreviation), QStringLiteral("too large"));
        const QString wide = QStringLiteral("p{%1}*1000").arg(QString(1100, 'x'));
        QCOMPARE(expanded(wide), QStringLiteral("too large"));
        QVERIFY(expanded("(p*100)*100").size() > 70000); // a large one that fits
    }

    void nestingLimit() {
        const QString deep = QStringLiteral("a>").repeated(99) + u'b';
        QVERIFY(expanded(deep).contains("<b></b>"));
        QCOMPARE(expanded(QStringLiteral("a>").repeated(100) + u'b'),
                 QStringLiteral("error: Nesting deeper than 100 levels at character 200."));
        QCOMPARE(expanded(QString(100, '(') + u'a' + QString(100, ')')),
                 QStringLiteral("error: Nesting deeper than 100 levels at character 100."));
    }

    // Where the abbreviation before the cursor "|" starts; "" when there is none.
    void start_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("style");
        const auto add = [](const char* name, const char* line, const char* expected, bool style = false) {
            QTest::newRow(name) << QString::fromUtf8(line) << QString::fromUtf8(expected) << style;
        };
        add("after indentation", "\t  ul>li|", "ul>li");
        add("after a tag", "text <p>div>span|", "div>span");
        add("after a tag with > in a value", "<a title=\"x>y\">ul>li|", "ul>li");
        add("blanks and > in braces", "x p{a b > c}|", "p{a b > c}");
        add("blanks in brackets", "go a[title=\"x y\"]|", "a[title=\"x y\"]");
        add("blank before the cursor", "foo |", "");
        add("inside unclosed text", "p{open|", "open");
        add("cursor inside the line", "ul>li| rest", "ul>li");
        add("after an end tag", "</div>p|", "p");
        add("style after a declaration", "  margin:0;m10|", "m10", true);
        add("style in an attribute", "<p style=\"m10+p0|", "m10+p0", true);
    }
    void start() {
        QFETCH(QString, line);
        QFETCH(bool, style);
        const int cursor = int(line.indexOf('|'));
        line.remove(cursor, 1);
        const int start =
            AbbreviationStart(line, cursor, style ? AbbreviationMode::StyleSheet : AbbreviationMode::Markup);
        QCOMPARE(line.mid(start, cursor - start), cell("expected"));
    }

    void styleAttribute_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("expected");
        QTest::newRow("style") << "<p style=\"m10" << true;
        QTest::newRow("spaced and upper case") << "<p STYLE = 'a:b; m" << true;
        QTest::newRow("quotes inside") << "<p title=\"x\" style=\"c:'a b'; m" << true;
        QTest::newRow("other attribute") << "<p title=\"m" << false;
        QTest::newRow("name ending in style") << "<p data-style=\"m" << false;
    }
    void styleAttribute() { QTEST(InStyleAttribute(cell("before")), "expected"); }

    // The edit points after and before "|": "»" marks the next, "«" the previous (none: not marked).
    void editPoints_data() {
        table({"marked"},
              {"value and element; <a href=\"«\">|</a><b>»</b>",
               "element after value; <a href=\"«\">|<b>»</b>", "blank line; <p>«</p>\r\n|x\r\n  »\r\n</div>",
               "empty line, CR LF one place; x|\r\n»\r\ny", "last line; «\r\n|x\r\n\t»",
               "not: quotes or tags alone; a \"\" <br><br>|<p>x</p>",
               "not: after an end tag or a comment; <p><b>«</b></p>|<!-- --></p><br/></p>"});
    }
    void editPoints() {
        QString text;
        int places[] = {-1, -1, -1}; // the cursor, the next, the previous
        for (const QChar c : cell("marked")) {
            const qsizetype mark = QStringView(u"|»«").indexOf(c);
            if (mark < 0)
                text += c;
            else
                places[mark] = int(text.size());
        }
        QCOMPARE(EditPoint(text, places[0], true), places[1]);
        QCOMPARE(EditPoint(text, places[0], false), places[2]);
    }

    // The table's format: comments and bad lines skipped, a name given again replaces the first.
    void styleTable() {
        const StyleAbbreviations table = StyleAbbreviations::parse(QStringLiteral(
            "# m = comment\r\nm = margin: $px;\r\nbad line\r\nx1 = no: digits;\r\n = no name;\r\n"
            "  M = margin: $em;  \r\nempty =\r\n"));
        QCOMPARE(table.declaration(u"m"), QStringLiteral("margin: $em;"));
        QVERIFY(table.declaration(u"x1").isEmpty() && table.declaration(u"empty").isEmpty());
        QVERIFY(!shippedStyles().isEmpty());
        AbbreviationContext context;
        context.mode = AbbreviationMode::StyleSheet;
        const StyleAbbreviations none;
        context.styles = &none;
        QCOMPARE(ExpandAbbreviation(u"m1", context).error,
                 QStringLiteral("No style abbreviations: abbreviations.txt is missing or empty."));
    }

    // Expand Abbreviation (Ctrl+E) and the edit points (Ctrl+Alt+Right, Ctrl+Alt+Left) by keys in a
    // document window of the main window.

    // The abbreviation before the cursor, read as the place in the document asks. One that cannot be
    // expanded leaves the document as it was, and the status bar shows the "message" saying why.
    void expandsByKeys_data() {
        for (const char* column : {"name", "before", "after", "message"})
            QTest::addColumn<QString>(column);
        const auto row = [](const char* tag, const char* name, const char* before, const char* after,
                            const char* message = "") {
            QTest::newRow(tag) << QString(name) << QString(before) << QString(after) << QString(message);
        };
        row("list", "page.htm", "ul>li*2|", "<ul>\r\n\t<li>|</li>\r\n\t<li></li>\r\n</ul>");
        row("line's indentation", "page.htm", "<div>\r\n\t\tul>li|\r\n</div>",
            "<div>\r\n\t\t<ul>\r\n\t\t\t<li>|</li>\r\n\t\t</ul>\r\n</div>");
        row("items of the open list", "page.htm", "<ul>\r\n\t.x*2|\r\n</ul>",
            "<ul>\r\n\t<li class=\"x\">|</li>\r\n\t<li class=\"x\"></li>\r\n</ul>");
        row("after a tag, text after", "page.htm", "<p>b{x}| more</p>", "<p><b>x</b>| more</p>");
        row("style element", "page.htm", "<style>\r\n  p { m10+p0| }\r\n</style>",
            "<style>\r\n  p { margin: 10px;\r\n  padding: 0;| }\r\n</style>");
        row("style attribute", "page.htm", "<p style=\"m0+dib|\">x</p>",
            "<p style=\"margin: 0; display: inline-block;|\">x</p>");
        row("style sheet", "site.css", "a {\r\n\tw100p|\r\n}", "a {\r\n\twidth: 100%;|\r\n}");
        row("value to come", "site.css", "m|", "margin: |;");
        row("no name", "page.htm", "<p>ul>li.|</p>", "", "Expected a name after '.' at character 7.");
        row("none", "page.htm", "text |", "", "No abbreviation before the cursor.");
        row("too large", "page.htm", "(div*1000)*1000|", "",
            "The expansion would be larger than 1 MB. Nothing was inserted.");
        row("in a value", "page.htm", "<p title=\"a ul>li|\">x</p>", "",
            "Abbreviations are expanded between tags, not inside one.");
        row("unknown style", "site.css", "a { xyz1|", "", "Unknown style abbreviation 'xyz' at character 1.");
    }
    void expandsByKeys() {
        const QString before = cell("before"), message = cell("message");
        AppFixture app;
        RichTextControl* text = open(app, cell("name"), before);
        QVERIFY(text);
        sendKey(text, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(render(*text), message.isEmpty() ? cell("after") : before);
        QCOMPARE(app.record(0).Modified, message.isEmpty());
        if (!message.isEmpty()) {
            QCOMPARE(app.main->statusBar()->currentMessage(), message);
            QVERIFY(!app.document(0)->mnuUndo->isEnabled());
        }
    }

    // Typed and expanded: one step to undo, coloured as the document is.
    void oneUndoStepColoured() {
        AppFixture app;
        RichTextControl* text = open(app, "page.htm", "|");
        QVERIFY(text);
        typeText(text, "p>b");
        sendKey(text, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(render(*text), "<p><b>|</b></p>");
        const Settings& settings = app.main->settings();
        QCOMPARE(colors(*text), QList<ColorValue>(14, settings.TagColor));
        typeText(text, "x");
        QCOMPARE(text->colorAt(6), settings.TexColor);
        QStringList undone;
        for (int i = 0; i < 3; ++i) {
            sendKey(text, Qt::Key_Z, Qt::ControlModifier);
            undone << render(*text);
        }
        QCOMPARE(undone, QStringList({"<p><b>|</b></p>", "[p>b]", "|"}));
        sendKey(text, Qt::Key_R, Qt::ControlModifier);
        sendKey(text, Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(unmarked(render(*text)), "<p><b></b></p>");
    }

    // The edit points after an expansion, forward to the last and back.
    void editPointsByKeys() {
        AppFixture app;
        RichTextControl* text = open(app, "page.htm", "a+img|");
        QVERIFY(text);
        sendKey(text, Qt::Key_E, Qt::ControlModifier);
        QStringList seen{render(*text)};
        for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Left}) {
            sendKey(text, key, Qt::ControlModifier | Qt::AltModifier);
            seen << render(*text);
        }
        QCOMPARE(
            seen,
            QStringList(
                {"<a href=\"|\"></a><img src=\"\" alt=\"\">", "<a href=\"\">|</a><img src=\"\" alt=\"\">",
                 "<a href=\"\"></a><img src=\"|\" alt=\"\">", "<a href=\"\"></a><img src=\"\" alt=\"|\">",
                 "<a href=\"\"></a><img src=\"\" alt=\"|\">", "<a href=\"\"></a><img src=\"|\" alt=\"\">"}));
        // The context menu's item does the same.
        text->select(text->textLength(), 0);
        typeText(text, " br");
        auto* item = app.main->popupMenu()->findChild<QAction*>("mnuExpandAbbr");
        QVERIFY(item);
        item->trigger();
        QCOMPARE(render(*text), "<a href=\"\"></a><img src=\"\" alt=\"\"> <br>|");
    }
};

QTEST_MAIN(AbbreviationTest)
#include "tst_abbreviation.moc"
