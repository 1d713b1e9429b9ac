#include "html/TagCase.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

enum class Want { Lower, Upper, Remove };

// The rules read literally: each search starts afresh from the current place, nothing is reused.
// Slow on purpose; it is the yardstick for the real scan.
QChar oracleCase(QChar c, bool upper) {
    const char32_t mapped =
        upper ? QChar::toUpper(char32_t(c.unicode())) : QChar::toLower(char32_t(c.unicode()));
    const bool oneUnit =
        !c.isSurrogate() && !QChar::requiresSurrogates(mapped) && !QChar::isSurrogate(mapped);
    const bool leavesLatin1 = c.unicode() <= 0xFF && mapped > 0xFF;
    return oneUnit && !leavesLatin1 ? QChar(char16_t(mapped)) : c;
}

QString oracle(const QString& text, Want want) {
    if (!text.contains(u'<') || !text.contains(u'>'))
        return text;
    QString out;
    qsizetype at = 0;
    if (text.left(10).toUpper() == u"<!DOCTYPE ") {
        at = text.indexOf(u'>') + 1;
        if (want != Want::Remove)
            out = text.left(at);
        else if (text.mid(at, 2) == u"\r\n")
            at += 2;
    }
    for (qsizetype open; (open = text.indexOf(u'<', at)) >= 0;) {
        out += text.mid(at, open - at);
        // A comment's "->" and a server block's closer are searched for after the whole opener.
        QString closer;
        qsizetype after = open + 2;
        if (text.mid(open, 3) == u"<!-")
            closer = "->", after = open + 3;
        else if (text.mid(open, 2) == u"<%")
            closer = "%>";
        else if (text.mid(open, 2) == u"<?")
            closer = "?>";
        const qsizetype blockEnd = closer.isEmpty() ? -1 : text.indexOf(closer, after);
        if (blockEnd >= 0) {
            if (closer == "->" || want != Want::Remove)
                out += text.mid(open, blockEnd + 2 - open);
            at = blockEnd + 2;
            continue;
        }
        qsizetype close = -1;
        bool quoted = false;
        for (qsizetype p = open + 1; p < text.size() && close < 0; ++p) {
            if (text[p] == u'"')
                quoted = !quoted;
            else if (text[p] == u'<' && quoted)
                break;
            else if (text[p] == u'>' && !quoted)
                close = p;
        }
        if (close < 0)
            close = text.indexOf(u'>', open + 1);
        if (close < 0)
            return out + text.mid(open);
        QString tag = text.mid(open, close + 1 - open);
        QList<qsizetype> quotes;
        for (qsizetype p = 0; p < tag.size(); ++p)
            if (tag[p] == u'"')
                quotes << p;
        for (qsizetype p = 0, pair = 0; p < tag.size(); ++p) {
            while (pair + 1 < quotes.size() && quotes[pair + 1] < p)
                pair += 2;
            if (!(pair + 1 < quotes.size() && quotes[pair] <= p && p <= quotes[pair + 1]))
                tag[p] = oracleCase(tag[p], want == Want::Upper);
        }
        if (want != Want::Remove)
            out += tag;
        at = close + 1;
    }
    return out + text.mid(at);
}

bool isSubsequence(const QString& part, const QString& whole) {
    qsizetype at = 0;
    for (const QChar c : part)
        if ((at = whole.indexOf(c, at) + 1) == 0)
            return false;
    return true;
}

} // namespace

class TestTagCase : public QObject {
    Q_OBJECT

private slots:
    void examples_data() {
        for (const char* column : {"text", "lower", "upper", "removed"})
            QTest::addColumn<QString>(column);
        const auto row = [](const char* name, const char* text, const char* lower, const char* upper,
                            const char* removed) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(lower)
                                << QString::fromUtf8(upper) << QString::fromUtf8(removed);
        };
        // clang-format off
        row("quoted values keep their case", R"(<A HREF="Page.HTM">Text)", R"(<a href="Page.HTM">Text)", R"(<A HREF="Page.HTM">Text)", "Text");
        row("tags among words", "w<b>o</B>rd", "w<b>o</b>rd", "w<B>o</B>rd", "word");
        row("comments stay", "<!-- <b>x</b> -->", "<!-- <b>x</b> -->", "<!-- <b>x</b> -->", "<!-- <b>x</b> -->");
        row("doctype kept by case, dropped with its CR LF", "<!DOCTYPE html>\r\n<B>x</B>", "<!DOCTYPE html>\r\n<b>x</b>", "<!DOCTYPE html>\r\n<B>x</B>", "x");
        row("doctype in any case, no CR LF after it", "<!doctype Html><b>X</b>", "<!doctype Html><b>X</b>", "<!doctype Html><B>X</B>", "X");
        row("doctype followed by LF alone keeps the LF", "<!DOCTYPE a>\n<b>", "<!DOCTYPE a>\n<b>", "<!DOCTYPE a>\n<B>", "\n");
        row("doctype not at the start is a tag", " <!DOCTYPE A>", " <!doctype a>", " <!DOCTYPE A>", " ");
        row("less-than starts a tag to the next >", "a < b > c", "a < b > c", "a < B > c", "a  c");
        row("a tag runs over a < outside quotes", "<a <B>x", "<a <b>x", "<A <B>x", "x");
        row("server blocks stay or go whole", "a<?php $Var ?>b<% X %>c", "a<?php $Var ?>b<% X %>c", "a<?php $Var ?>b<% X %>c", "abc");
        row("<%> does not close itself", "<%>B%>c", "<%>B%>c", "<%>B%>c", "c");
        row("server openers without closer are tags", "<%Ab>x<?Cd>", "<%ab>x<?cd>", "<%AB>x<?CD>", "x");
        row("-> in text, then a comment", "A -> B <!-- C --> <I>", "A -> B <!-- C --> <i>", "A -> B <!-- C --> <I>", "A -> B <!-- C --> ");
        row("empty comment", "<!-->X<B>", "<!-->X<b>", "<!-->X<B>", "<!-->X");
        row("<!-> does not close itself", "<!->x->Y<b>", "<!->x->Y<b>", "<!->x->Y<B>", "<!->x->Y");
        row("<!-> without a later -> is a tag", "<!->x<b>", "<!->x<b>", "<!->x<B>", "x");
        row("unclosed comment is a tag", "<!-- A <B>c", "<!-- a <b>c", "<!-- A <B>c", "c");
        row("> inside a quoted value", R"(<a title="x>Y">Z)", R"(<a title="x>Y">Z)", R"(<A TITLE="x>Y">Z)", "Z");
        row("open quote at the next <: first >", R"(<a title="X>Y<b>Z)", R"(<a title="x>Y<b>Z)", R"(<A TITLE="X>Y<B>Z)", "YZ");
        row("values closed before an open quote keep case", R"(<a href="P.Htm" t="X>Y<b>)", R"(<a href="P.Htm" t="x>Y<b>)", R"(<A HREF="P.Htm" T="X>Y<B>)", "Y");
        row("text ends inside quotes: first >", R"(<a t="X>Y)", R"(<a t="x>Y)", R"(<A T="X>Y)", "Y");
        row("no > outside quotes: first >", R"(<a "B>" c)", R"(<a "b>" c)", R"(<A "B>" c)", R"(" c)");
        row("tags sharing one scan", R"(<"a>"<"B>""<I>)", R"(<"a>"<"b>""<i>)", R"(<"A>"<"B>""<I>)", R"(""")");
        row("the character after a closing quote", R"(<a b="x"C>)", R"(<a b="x"c>)", R"(<A B="x"C>)", "");
        row("Latin-1 stays Latin-1", "<ßÿéµŸ>ßÿ", "<ßÿéµÿ>ßÿ", "<ßÿÉµŸ>ßÿ", "ßÿ");
        row("surrogates stay, other letters change", "<b😀Σ>", "<b😀σ>", "<B😀Σ>", "");
        row("no <", "A > B", "A > B", "A > B", "A > B");
        row("no >", "A < B", "A < B", "A < B", "A < B");
        row("empty", "", "", "", "");
        row("< without a later > leaves the rest", "<B>x<I y", "<b>x<I y", "<B>x<I y", "x<I y");
        // clang-format on
    }
    void examples() {
        QFETCH(QString, text);
        QTEST(LowerTags(text), "lower");
        QTEST(UpperTags(text), "upper");
        QTEST(RemoveTags(text), "removed");
        QTEST(oracle(text, Want::Lower), "lower");
        QTEST(oracle(text, Want::Upper), "upper");
        QTEST(oracle(text, Want::Remove), "removed");
    }

    void fuzz_data() {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 7u, 2024u, 65537u})
            QTest::newRow(qPrintable(QString::number(seed))) << seed;
    }
    void fuzz() {
        QFETCH(quint32, seed);
        static const QStringList pieces{
            "<",  ">",  "\"",         "\"",   "<b>", "</B>", "<A HREF=", "\"Page.HTM\"",
            "=",  " ",  "<!--",       "-->",  "->",  "<!-",  "<%",       "%>",
            "<?", "?>", "<!DOCTYPE ", "\r\n", "\n",  "aZ",   "Qx",       "ß",
            "ÿ",  "é",  "É",          "µ",    "Ÿ",   "Σ",    "😀",        QString(QChar(0xD83D)),
            "İ",  "ı",  "<\"a>\"",    "<I>"};
        QRandomGenerator random(seed);
        for (int round = 0; round < 300; ++round) {
            QString text = random.bounded(4) == 0 ? QStringLiteral("<!doctype ") : QString();
            for (int count = random.bounded(60); count > 0; --count)
                text += pieces[random.bounded(int(pieces.size()))];
            const QString lower = LowerTags(text);
            const QString upper = UpperTags(text);
            const QString removed = RemoveTags(text);
            QCOMPARE(lower, oracle(text, Want::Lower));
            QCOMPARE(upper, oracle(text, Want::Upper));
            QCOMPARE(removed, oracle(text, Want::Remove));
            for (const QString& changed : {lower, upper}) {
                QCOMPARE(changed.size(), text.size());
                for (qsizetype at = 0; at < text.size(); ++at) {
                    const QChar was = text[at], is = changed[at];
                    QVERIFY2(was == is || was.toLower() == is.toLower() || was.toUpper() == is.toUpper(),
                             qPrintable(text));
                }
                QCOMPARE(RemoveTags(changed), removed);
            }
            QCOMPARE(LowerTags(lower), lower);
            QCOMPARE(UpperTags(upper), upper);
            QVERIFY(isSubsequence(removed, text));
            if (!text.contains(u'<') || !text.contains(u'>'))
                QVERIFY(lower == text && upper == text && removed == text);
        }
    }
};

QTEST_APPLESS_MAIN(TestTagCase)
#include "tst_tagcase.moc"
