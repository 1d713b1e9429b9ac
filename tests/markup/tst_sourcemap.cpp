#include "markup/MarkupNames.h"
#include "markup/SourceMap.h"
#include "support/DataTable.h"

#include <QRegularExpression>
#include <QtTest>

namespace {

// "name; page; its served copy", "@" in the copy standing for the attribute naming the nearest "<"
// before it in the page.
const std::initializer_list<const char*> kPages = {
    "nested; <div><p>a</p></div>; <div@><p@>a</p></div>",
    "void and self-closed; <p>a<br>b<br/><img src=x />; <p@>a<br@>b<br@/><img@ src=x />",
    "> and < in quoted values; <a title=\"x>y\" b='<i>'>t</a><b>; <a@ title=\"x>y\" b='<i>'>t</a><b@>",
    "blanks around =; <a b = \">\" ><i>; <a@ b = \">\" ><i@>",
    "a quote opens a value only after =; <a x\"y><b>z\"><a =\"><i>\">; <a@ x\"y><b@>z\"><a@ =\"><i@>\">",
    "end tag values; </p title=\"<b>\"><i>; </p title=\"<b>\"><i@>",
    "comments; <!-- <p> --><i><!--><b><!---><u><!-- --!><s><!-- --- <q> --->; "
    "<!-- <p> --><i@><!--><b@><!---><u@><!-- --!><s@><!-- --- <q> --->",
    "comment never closed; <i><!-- <p>; <i@><!-- <p>",
    "declarations; <!DOCTYPE html><html><![CDATA[ a > <p> ]]><b></ x <p>; "
    "<!DOCTYPE html><html@><![CDATA[ a > <p> ]]><b@></ x <p>",
    "server code; <?xml version=\"1.0\"?><p><% if (a > b) { %><i><% } %><?php echo \"<b>\" ?>; "
    "<?xml version=\"1.0\"?><p@><% if (a > b) { %><i@><% } %><?php echo \"<b>\" ?>",
    "server code around a value; <a href=\"<%= url %>\">x</a>; <a@ href=\"<%= url %>\">x</a>",
    "server code in a name; <div<?= $x ?>><i>; <div<?= $x ?>><i@>",
    "server code never closed; <p><?php echo 1\r\n<b>; <p@><?php echo 1\r\n<b>",
    "script opened in server code; <% s = \"<script>\" %>a = \"<b>\"</script><i>; "
    "<% s = \"<script>\" %>a = \"<b>\"</script><i@>",
    "script opened in a declaration; <? a > <script>x = \"?><b>\"</script><i>; "
    "<? a > <script>x = \"?><b>\"</script><i@>",
    "script strings; <script>document.write(\"<div>\")</script><p>; "
    "<script@>document.write(\"<div>\")</script><p@>",
    "script written from a script; <script><!--\r\nw(\"<script></script>\")\r\nx = "
    "\"<b>\"\r\n//--></script><i>; "
    "<script@><!--\r\nw(\"<script></script>\")\r\nx = \"<b>\"\r\n//--></script><i@>",
    "script comment ended at once; <script><!-->\"<script>\"</script><i>; "
    "<script@><!-->\"<script>\"</script><i@>",
    "script end needs its name whole; <script>a = \"</scripts><b>\"</SCRIPT ><i>; "
    "<script@>a = \"</scripts><b>\"</SCRIPT ><i@>",
    "script after />; <script/>a=\"<b>\"</script><i>; <script@/>a=\"<b>\"</script><i@>",
    "style; <style>a > b:after { content: \"<p>\" }</style><p>; "
    "<style@>a > b:after { content: \"<p>\" }</style><p@>",
    "textarea and title; <textarea><b></textarea><title><i></title ><u>; "
    "<textarea@><b></textarea><title@><i></title ><u@>",
    "other text contents; <xmp><b></xmp><iframe><b></iframe><noscript><b></noscript><noembed><b></noembed>"
    "<noframes><b></noframes><i>; <xmp@><b></xmp><iframe@><b></iframe><noscript@><b></noscript>"
    "<noembed@><b></noembed><noframes@><b></noframes><i@>",
    "plaintext to the end; <plaintext><b></plaintext><i>; <plaintext@><b></plaintext><i>",
    "upper case; <DIV CLASS=x><SCRIPT>\"<b>\"</Script><P>; <DIV@ CLASS=x><SCRIPT@>\"<b>\"</Script><P@>",
    "CR LF; <td\r\nclass=x>a</td>\r\n<tr\r\n>; <td@\r\nclass=x>a</td>\r\n<tr@\r\n>",
    "names as the engine reads them; <a\"b><my-el.x:y_z>; <a\"b@><my-el.x:y_z@>",
    "a name holding <; <div<p>; <div<p data-quillora-at=\"0\">",
    "no Unicode case folding; <noſcript><b></noscript><script>\"</ſcript><b>\"</script><i>; "
    "<noſcript@><b@></noscript><script@>\"</ſcript><b>\"</script><i@>",
    "tag never closed; <p>a<i; <p@>a<i",
    "value never closed; <p>a<b class=\"x><i>; <p@>a<b class=\"x><i>",
    "less-than in text; a < b <3 <p>; a < b <3 <p@>",
    "no tags; just text & more; just text & more",
    "empty; ; ",
    "UTF-16 offsets; 😀<p>é<b>; 😀<p@>é<b@>",
    "UTF-16 offsets, written; 😀<p>; 😀<p data-quillora-at=\"2\">",
    "attribute there already; <p data-quillora-at=\"9\">; <p@ data-quillora-at=\"9\">",
};

QString attribute(qsizetype at) {
    return QStringLiteral(" %1=\"%2\"").arg(QLatin1String(kSourceOffsetAttribute)).arg(at);
}

// The page a copy was made from, its attributes taken out; `offsets` gets the offset each names,
// `fault` the place of one that is out of order or not right after the name of the tag it names.
QString withoutAttributes(const QString& copy, std::vector<int>& offsets, QString& fault) {
    static const QRegularExpression added(
        QStringLiteral(" %1=\"(\\d+)\"").arg(QLatin1String(kSourceOffsetAttribute)));
    QString page;
    qsizetype copied = 0;
    for (auto matches = added.globalMatch(copy); matches.hasNext();) {
        const QRegularExpressionMatch match = matches.next();
        page += copy.mid(copied, match.capturedStart() - copied);
        copied = match.capturedEnd();
        // Right after the name of the tag whose "<" it names, later than the one before.
        const int at = match.captured(1).toInt();
        const QString name = page.mid(at + 1, page.size() - at - 1);
        const QChar after = copied < copy.size() ? copy.at(copied) : QChar();
        if (at >= page.size() || page.at(at) != u'<' || name.isEmpty() ||
            !MarkupNames::isNameStart(name.front()) || name.contains(QRegularExpression("[\\s/>]")) ||
            !(MarkupNames::isSpace(after) || after == u'/' || after == u'>') ||
            (!offsets.empty() && at <= offsets.back()))
            fault = QStringLiteral("misplaced:%1").arg(copy.mid(match.capturedStart() - 20, 50));
        offsets.push_back(at);
    }
    return page + copy.mid(copied);
}

// "name; text before; text after; offsets before>after": where characters of the earlier text
// are found after the change, -1 where they were changed.
const std::initializer_list<const char*> kChanges = {
    "typed in a text; <p>ab</p><i>; <p>aXb</p><i>; 0>0 3>3 4>5 5>6 9>10",
    "a tag deleted; <a><b><c>; <a><c>; 0>0 3>-1 5>-1 6>3",
    "text replaced between tags; <a>xx<b>yy<c>; <a>zzz<b>yy<c>; 0>0 3>-1 4>-1 5>6 10>11",
    "a tag inserted where its text repeats; <p><p>; <p><p><p>; 0>0 3>3",
    "a tag's name changed; <p>; <q>; 0>-1 1>-1 2>2",
    "an attribute added; <b c>x; <b d c>x; 0>-1 3>5 4>6",
    "all of it deleted; <p>; ; 0>-1 2>-1",
    "outside the text; <p>; <p>; -1>-1 3>-1",
    "typed at the end; <p>; <p>x; 0>0 2>2",
    "typed at the start; <p>; x<p>; 0>1 2>3",
};

// "name; text before; text after; the element whose contents are replaced ("-" for none)": the
// first start tag of the earlier text that begins with the last cell.
const std::initializer_list<const char*> kPatches = {
    "typed in a paragraph; <div><p>ab <b>c</b> d</p><i>x</i></div><u>; "
    "<div><p>aXYb <b>c</b> d</p><i>x</i></div><u>; <p>",
    "typed in bold; <p>a <b>bc</b></p><i>; <p>a <b>bXc</b></p><i>; <b>",
    "deleted; <p>abc<i>d</i></p><b>; <p>a<i>d</i></p><b>; <p>",
    "replaced; <p>abc</p><b>; <p>aXYZc</p><b>; <p>",
    "at the contents' start; <p id=x>ab</p><i>; <p id=x>Xab</p><i>; <p",
    "at the contents' end; <p>ab</p><i>; <p>abX</p><i>; <p>",
    "a table cell; <table><tr><td>a</td><td>b</td></tr></table>; "
    "<table><tr><td>aX</td><td>b</td></tr></table>; <td>",
    "items never closed; <ul><li>a<li>b</ul><p>; <ul><li>aX<li>b</ul><p>; <ul>",
    "an entity typed; <p>a</p><i>; <p>a&amp;</p><i>; <p>",
    "CR LF and UTF-16; <div>\r\n<p>😀a</p>\r\n</div><i>; <div>\r\n<p>😀aé</p>\r\n</div><i>; <p>",
    "a line break after pre; <pre>\r\nab</pre><i>; <pre>\r\naXb</pre><i>; <pre>",
    "nothing changed; <p>a</p>; <p>a</p>; -",
    "in a tag; <p class=a>b</p>; <p class=ab>b</p>; -",
    "a start typed; <p>ab</p>; <p>a<b</p>; -",
    "a > typed; <p>ab</p>; <p>a>b</p>; -",
    "two places; <p>a</p><p>b</p>; <p>aX</p><p>bX</p>; -",
    "text of the body; <body>ab<p>c</p></body>; <body>aXb<p>c</p></body>; -",
    "between table rows; <table><tr><td>a</td></tr> <tr><td>b</td></tr></table>; "
    "<table><tr><td>a</td></tr> X <tr><td>b</td></tr></table>; -",
    "a title; <title>ab</title>; <title>aXb</title>; -",
    "a textarea; <p><textarea>ab</textarea></p>; <p><textarea>aXb</textarea></p>; -",
    "a comment in the contents; <p>a <!-- c - > b</p>; <p>a <!-- c -- > b</p>; -",
    "server code in the contents; <p>a <?php x ?> b</p>; <p>aX <?php x ?> b</p>; -",
    "a style element in the contents; <div>a<style>p{}</style></div>; <div>aX<style>p{}</style></div>; -",
    "outside any element; ab; aXb; -",
};

// The offsets StartTagOffsets gives for `text` within [from, to).
std::vector<int> tagsWithin(QStringView text, int from, int to) {
    std::vector<int> all = StartTagOffsets(text), within;
    std::copy_if(all.begin(), all.end(), std::back_inserter(within),
                 [&](int at) { return at >= from && at < to; });
    return within;
}

// Where the end tag of the element whose start tag is at `at` stands (no element of its name left
// unclosed inside it).
int endTagOf(const QString& text, int at) {
    const QString name = text.mid(at + 1).section(QRegularExpression("[\\s>]"), 0, 0);
    const QRegularExpression tag("<(/?)" + name + "[\\s>]", QRegularExpression::CaseInsensitiveOption);
    int depth = 0;
    for (auto tags = tag.globalMatch(text, at); tags.hasNext();) {
        const QRegularExpressionMatch found = tags.next();
        depth += found.captured(1).isEmpty() ? 1 : -1;
        if (depth == 0)
            return int(found.capturedStart());
    }
    return -1;
}

} // namespace

class SourceMapTest : public QObject {
    Q_OBJECT

private slots:
    void copy_data() { table({"page", "expected"}, kPages); }

    void copy() {
        QString expected, page;
        for (const QChar c : cell("expected")) {
            expected += c == u'@' ? attribute(page.lastIndexOf(u'<')) : QString(c);
            page += c == u'@' ? QString() : QString(c);
        }
        QCOMPARE(WithSourceOffsets(cell("page")), expected);
    }

    // Each page, and all of them one after another from each, given back whole when the attributes
    // go; each attribute after a tag's name, naming its "<", in order, and StartTagOffsets lists them.
    void attributesAddOnly() {
        QStringList pages;
        for (const char* row : kPages)
            pages << QString(row).split("; ").at(1);
        pages.removeIf(
            [](const QString& page) { return page.contains(QLatin1String(kSourceOffsetAttribute)); });
        const QStringList single = pages;
        for (qsizetype first = 0; first < single.size(); ++first)
            pages << (single.mid(first) + single.mid(0, first)).join("");
        for (const QString& page : pages) {
            std::vector<int> offsets;
            QString fault;
            QCOMPARE(withoutAttributes(WithSourceOffsets(page), offsets, fault), page);
            QCOMPARE(fault, QString());
            QCOMPARE(StartTagOffsets(page), offsets);
        }
    }

    void changedStretch_data() { table({"before", "after", "carried"}, kChanges); }

    // Each listed offset is carried to where the table says; every offset of the later text is
    // carried back to the same character, except the changed stretch's, which are new.
    void changedStretch() {
        const QString before = cell("before"), after = cell("after");
        const ChangedStretch change = ChangedStretchOf(before, after);
        for (const QString& pair : cell("carried").split(' ')) {
            const QStringList ends = pair.split('>');
            QCOMPARE(OffsetAfterChange(change, ends[0].toInt()), ends[1].toInt());
        }
        int fresh = 0;
        for (int offset = 0; offset < after.size(); ++offset) {
            const int back = OffsetBeforeChange(change, offset);
            if (back < 0) {
                ++fresh;
                continue;
            }
            QCOMPARE(before.at(back), after.at(offset));
            QCOMPARE(OffsetAfterChange(change, back), offset);
        }
        QCOMPARE(fresh, after.size() - change.commonStart - change.commonEnd);
        QCOMPARE(OffsetBeforeChange(change, int(after.size())), -1);
    }

    void contentsPatch_data() { table({"before", "after", "element"}, kPatches); }

    // A patch replaces the element's contents with what the whole later text's copy holds there, and
    // its offsets, with the other elements' moved, are those the later text's copy has.
    void contentsPatch() {
        const QString before = cell("before"), after = cell("after"), element = cell("element");
        const std::optional<ContentsPatch> patch =
            ContentsPatchOf(before, after, ChangedStretchOf(before, after));
        if (element == "-") {
            QVERIFY(!patch);
            return;
        }
        QVERIFY(patch);
        QCOMPARE(patch->elementAt, before.indexOf(element));
        const int open = int(after.indexOf(u'>', patch->elementAt)) + 1;
        const int closeAfter = endTagOf(after, patch->elementAt);
        const int closeBefore = closeAfter - patch->movedBy;
        QCOMPARE(patch->tagsBefore, tagsWithin(before, open, closeBefore));
        QCOMPARE(patch->tagsAfter, tagsWithin(after, open, closeAfter));
        QVERIFY(patch->movedFrom <= closeBefore);
        // Every start tag outside the contents, moved, is where the later text has it.
        std::vector<int> carried;
        for (const int at : StartTagOffsets(before))
            if (at < open || at >= closeBefore)
                carried.push_back(at >= patch->movedFrom ? at + patch->movedBy : at);
        carried.insert(carried.end(), patch->tagsAfter.begin(), patch->tagsAfter.end());
        std::sort(carried.begin(), carried.end());
        QCOMPARE(carried, StartTagOffsets(after));
        // The contents are served as the whole later text's copy serves them.
        const QString copy = WithSourceOffsets(after);
        const QString servedTag = attribute(patch->elementAt);
        const qsizetype servedOpen = copy.indexOf(u'>', copy.indexOf(servedTag)) + 1;
        const QString served = copy.mid(servedOpen, patch->contents.size() + 2);
        if (element.startsWith("<pre"))
            QCOMPARE("\r\n" + patch->contents, served.left(patch->contents.size() + 2));
        else
            QCOMPARE(patch->contents, served.left(patch->contents.size()));
        QVERIFY(copy.mid(servedOpen + served.size() - 2).startsWith(u"</") || element.startsWith("<pre"));
    }

    // The elements whose contents hold an edit of markup, innermost first, named by their start tags.
    void elementsHoldingChange_data() {
        table(
            {"before", "after", "elements"},
            {
                "a tag typed in bold; <div><p>a <b>bc</b></p></div>; <div><p>a <b>b<p>c</b></p></div>; <b> "
                "<p> <div>",
                "an end tag deleted; <div><p>a <b>bc</b> d</p></div>; <div><p>a <b>bc d</p></div>; <p> <div>",
                "in a tag; <div><p class=a>b</p></div>; <div><p class=ab>b</p></div>; <div>",
                "outside any element; a<p>b</p>; aX<p>b</p>; ",
            });
    }
    void elementsHoldingChange() {
        const QString before = cell("before"), after = cell("after");
        QStringList names;
        for (const int at : ElementsHoldingChange(after, ChangedStretchOf(before, after), 3))
            names << after.mid(at, after.indexOf(u'>', at) + 1 - at);
        QCOMPARE(names.join(' '), cell("elements"));
    }

    void pageStaysAsWritten_data() {
        table({"page", "stays"}, {
                                     "plain; <p title=x>a</p> on time; yes",
                                     "a script; <p>a</p><SCRIPT>x()</script>; no",
                                     "a handler; <body\r\nonload = \"x()\">; no",
                                     "a script address; <a href=\"JavaScript:x()\">; no",
                                 });
    }

    void pageStaysAsWritten() { QCOMPARE(PageStaysAsWritten(cell("page")), cell("stays") == "yes"); }
};

QTEST_MAIN(SourceMapTest)
#include "tst_sourcemap.moc"
