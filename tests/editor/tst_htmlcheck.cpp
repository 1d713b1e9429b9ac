#include "check/TidyCheck.h"
#include "editor/HtmlCheckProcess.h"

#include <QtTest>

namespace {

const QString kHead = QStringLiteral("<!DOCTYPE html>\n<title>t</title>\n");

// "L:C:E|W|A" for the problems whose text holds `words`.
QString placed(const std::vector<HtmlProblem>& problems, const QString& words) {
    QStringList rows;
    for (const HtmlProblem& problem : problems)
        if (problem.text.contains(words))
            rows << QStringLiteral("%1:%2:").arg(problem.line).arg(problem.column) +
                        QStringLiteral("EWA").at(int(problem.severity));
    return rows.join(' ');
}

// Every detail of every problem, one row each.
QStringList described(const std::vector<HtmlProblem>& problems) {
    QStringList rows;
    for (const HtmlProblem& p : problems)
        rows << QStringLiteral("%1:%2:%3:").arg(p.line).arg(p.column).arg(int(p.severity)) + p.text;
    return rows;
}

// Every place inside the text: lines 1..line count, columns 1..line length + 1.
void checkPlaces(const QString& text, const std::vector<HtmlProblem>& problems) {
    const QStringList lines = QString(text).replace("\r\n", "\n").replace('\r', '\n').split('\n');
    for (const HtmlProblem& p : problems) {
        QVERIFY2(p.line >= 1 && p.line <= lines.size(), qPrintable(QString::number(p.line)));
        QVERIFY2(p.column >= 1 && p.column <= lines[p.line - 1].size() + 1, qPrintable(p.text));
        QVERIFY(!p.text.isEmpty() && !p.text.endsWith('\n'));
    }
}

} // namespace

class TestHtmlCheck : public QObject {
    Q_OBJECT
private slots:
    // The places "line:column:E|W|A" of the problems whose text holds `words`, then the number of
    // accessibility problems if any; `options` may name html5 and access.
    void places_data() {
        for (const char* column : {"text", "words", "expected", "options"})
            QTest::addColumn<QString>(column);
        const auto row = [](const char* name, const QString& text, const char* words, const char* expected,
                            const char* options = "") {
            QTest::newRow(name) << text << QString(words) << QString(expected) << QString(options);
        };
        const QString crlf = QString(kHead).replace("\n", "\r\n"), cr = QString(kHead).replace("\n", "\r");
        const QString img = kHead + "<p><img src=\"a.png\"></p>",
                      html4 = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 "
                              "Transitional//EN\">\n<title>t</title>\n<p><center>c</center>";
        row("unclosed b", kHead + "<p><b>x</p>", "missing </b>", "3:4:W");
        row("unknown attribute", kHead + "<p foo=\"1\">x</p>", "attribute \"foo\"", "3:1:W");
        row("stray end tag", kHead + "<p>x</p>\n  </div>", "</div>", "4:3:W");
        row("CR LF", crlf + "<p>\r\n\r\n <zz>", "<zz> is not", "5:2:E");
        row("lone CR", cr + "<p>\r\r <zz>\r<zz>", "<zz> is not", "5:2:E 6:1:E");
        row("tab and non-ASCII", kHead + "<p>\té\t<zz>", "<zz> is not", "3:7:E");
        row("emoji counts two", kHead + "<p>😀😀 <zz>", "<zz> is not", "3:9:E");
        row("control characters unseen",
            kHead + "<p>" + QChar(1) + "\t" + QChar(0x1f) + "<zz>" + QChar(0) + "<zz>", "<zz> is not",
            "3:7:E 3:12:E");
        row("leading byte order mark", QString(QChar(0xFEFF)) + "<title>t</title>" + QChar(0xFEFF) + "<zz>",
            "<zz> is not", "1:19:E");
        row("long line", kHead + "<p>" + QString(6000, 'x') + "\t<zz>", "<zz> is not", "3:6005:E");
        row("one per error, beyond six", kHead + "<p><z1><z2><z3><z4><z5><z6><z7><z8>", "is not recognized",
            "3:4:E 3:8:E 3:12:E 3:16:E 3:20:E 3:24:E 3:28:E 3:32:E");
        row("HTML 4 as its doctype says", html4, "removed from HTML5", "");
        row("HTML 4 checked as HTML5", html4, "removed from HTML5", "3:4:W", "html5");
        row("img without alt, accessibility off: plain warning", img, "alt", "3:4:W");
        row("img without alt, accessibility on", img, "alt", "3:4:A, 3 access", "access");
    }
    void places() {
        QFETCH(QString, text);
        QFETCH(QString, words);
        QFETCH(QString, options);
        const auto problems = CheckHtml(text, {options.contains("html5"), options.contains("access")});
        const qsizetype access = placed(problems, QString()).count('A'); // every problem's letter
        QTEST(placed(problems, words) + (access ? QStringLiteral(", %1 access").arg(access) : QString()),
              "expected");
        checkPlaces(text, problems);
    }

    void summary() {
        QStringList summaries;
        for (const char* severities : {"", "EW", "EEEWWWWWWWWWWWW", "AWEA"}) {
            std::vector<HtmlProblem> problems;
            for (const char c : QByteArray(severities))
                problems.push_back({1, 1, HtmlSeverity(QByteArray("EWA").indexOf(c)), "x"});
            summaries << ProblemSummary(problems);
        }
        QCOMPARE(summaries, QStringList({"No problems found.", "1 error, 1 warning", "3 errors, 12 warnings",
                                         "1 error, 1 warning, 2 access"}));
    }

    // Only the endings .css, .js, .txt, .pl and .java, in any case, mark a document not checked.
    void htmlDocument() {
        QStringList unchecked;
        for (const char* path : {"/w/style.css", "a.JS", "notes.Txt", "run.pl", "Main.java", "C:\\x\\A.CSS",
                                 "index.html", "page.HTM", "x.php", "", "Untitled 3", "a.json", "b.jsp",
                                 "css", "mail.plx", "dir.js/page.html"})
            if (!IsHtmlDocument(path))
                unchecked << path;
        QCOMPARE(unchecked,
                 QStringList({"/w/style.css", "a.JS", "notes.Txt", "run.pl", "Main.java", "C:\\x\\A.CSS"}));
    }

    // Random texts from markup fragments: no crash, and every place inside the text.
    void fuzz() {
        const QStringList fragments =
            QStringLiteral("<p>|</p>|<b>|</div>|<img src=x>|<a href=\"|'|\"| alt=|<!-- | -->|"
                           "&amp;|&#x1F600;|&bogus|\r\n|\n|\r|\t|<|>|<table><tr><td>|"
                           "<!DOCTYPE html>|<script>|</script>|<?php echo 1; ?>|<%= x %>|text |"
                           "<title>|<zz q=1/>|é€|😀")
                .split('|')
            << QString(QChar(0xD800));
        QRandomGenerator random(20240611);
        for (int round = 0; round < 300; ++round) {
            QString text;
            for (int parts = random.bounded(1, 40); parts > 0; --parts)
                text += fragments[random.bounded(fragments.size())];
            const HtmlCheckOptions options{random.bounded(2) == 1, random.bounded(2) == 1};
            checkPlaces(text, CheckHtml(text, options));
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(text.toUtf8().toPercentEncoding()));
        }
    }

    // The checker's output reads back the same, awkward messages too; cut or foreign output is refused.
    void checkerOutput() {
        const std::vector<HtmlProblem> problems{
            {1, 2, HtmlSeverity::Error, "<x> is not recognized!"},
            {30, 1, HtmlSeverity::Warning, "a\ttab, a\nbreak, a \\ and \u00E9"},
            {4, 5, HtmlSeverity::Access, ""}};
        const QByteArray output = EncodeProblems(problems);
        QCOMPARE(described(DecodeProblems(output).value_or(std::vector<HtmlProblem>())), described(problems));
        QVERIFY(DecodeProblems(QByteArray())->empty());
        for (const QByteArray& refused :
             {output.chopped(1), QByteArray("1\t2\t9\tx\n"), QByteArray("Segmentation fault\n")})
            QVERIFY2(!DecodeProblems(refused), refused);
    }
};

QTEST_GUILESS_MAIN(TestHtmlCheck)
#include "tst_htmlcheck.moc"
