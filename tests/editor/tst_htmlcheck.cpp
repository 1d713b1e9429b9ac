#include "editor/HtmlCheck.h"
#include "editor/HtmlCheckProcess.h"

#include <QRandomGenerator>
#include <QTest>
#include <QtConcurrent>

namespace {

const QString kHead = QStringLiteral("<!DOCTYPE html>\n<title>t</title>\n");

// "L:C:E|W|A:words" for the problems whose text holds `words`.
QStringList placed(const std::vector<HtmlProblem>& problems, const QString& words) {
    QStringList rows;
    for (const HtmlProblem& problem : problems)
        if (problem.text.contains(words))
            rows << QStringLiteral("%1:%2:%3")
                        .arg(problem.line)
                        .arg(problem.column)
                        .arg(problem.severity == HtmlSeverity::Error     ? 'E'
                             : problem.severity == HtmlSeverity::Warning ? 'W'
                                                                         : 'A');
    return rows;
}

int count(const std::vector<HtmlProblem>& problems, HtmlSeverity severity) {
    return static_cast<int>(std::count_if(problems.begin(), problems.end(),
                                          [&](const HtmlProblem& p) { return p.severity == severity; }));
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
    void places_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accessibility");
        QTest::addColumn<QString>("words");
        QTest::addColumn<QStringList>("expected");
        const QString tab = "\t", e = QString::fromUtf8("é"), emoji = QString::fromUtf8("😀");
        QTest::newRow("unclosed b") << kHead + "<p><b>x</p>" << false << "missing </b>"
                                    << QStringList{"3:4:W"};
        QTest::newRow("unknown attribute")
            << kHead + "<p foo=\"1\">x</p>" << false << "attribute \"foo\"" << QStringList{"3:1:W"};
        QTest::newRow("stray end tag")
            << kHead + "<p>x</p>\n  </div>" << false << "</div>" << QStringList{"4:3:W"};
        QTest::newRow("img without alt")
            << kHead + "<p><img src=\"a.png\"></p>" << true << "missing 'alt'" << QStringList{"3:4:A"};
        QTest::newRow("CR LF") << QString(kHead).replace("\n", "\r\n") + "<p>\r\n\r\n <zz>" << false
                               << "<zz> is not" << QStringList{"5:2:E"};
        QTest::newRow("lone CR") << QString(kHead).replace("\n", "\r") + "<p>\r\r <zz>\r<zz>" << false
                                 << "<zz> is not" << QStringList{"5:2:E", "6:1:E"};
        QTest::newRow("tab and non-ASCII")
            << kHead + "<p>" + tab + e + tab + "<zz>" << false << "<zz> is not" << QStringList{"3:7:E"};
        QTest::newRow("emoji counts two")
            << kHead + "<p>" + emoji + emoji + " <zz>" << false << "<zz> is not" << QStringList{"3:9:E"};
        QTest::newRow("control characters unseen")
            << kHead + "<p>" + QChar(1) + tab + QChar(0x1f) + "<zz>" + QChar(0) + "<zz>" << false
            << "<zz> is not" << QStringList{"3:7:E", "3:12:E"};
        QTest::newRow("leading byte order mark")
            << QString(QChar(0xFEFF)) + "<title>t</title>" + QChar(0xFEFF) + "<zz>" << false << "<zz> is not"
            << QStringList{"1:19:E"};
        QTest::newRow("long line") << kHead + "<p>" + QString(6000, 'x') + tab + "<zz>" << false
                                   << "<zz> is not" << QStringList{"3:6005:E"};
        QTest::newRow("one per error, beyond six")
            << kHead + "<p><z1><z2><z3><z4><z5><z6><z7><z8>" << false << "is not recognized"
            << QStringList{"3:4:E", "3:8:E", "3:12:E", "3:16:E", "3:20:E", "3:24:E", "3:28:E", "3:32:E"};
    }
    void places() {
        QFETCH(QString, text);
        QFETCH(bool, accessibility);
        QFETCH(QString, words);
        QFETCH(QStringList, expected);
        const std::vector<HtmlProblem> problems = CheckHtml(text, {false, accessibility});
        QCOMPARE(placed(problems, words), expected);
        checkPlaces(text, problems);
    }

    void options_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("html5");
        QTest::addColumn<bool>("accessibility");
        QTest::addColumn<QString>("words");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("access");
        const QString html4 =
            "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n<title>t</title>\n"
            "<p><center>c</center>";
        QTest::newRow("HTML 4 as its doctype says")
            << html4 << false << false << "removed from HTML5" << QStringList{} << 0;
        QTest::newRow("HTML 4 checked as HTML5")
            << html4 << true << false << "removed from HTML5" << QStringList{"3:4:W"} << 0;
        const QString img = kHead + "<p><img src=\"a.png\"></p>";
        QTest::newRow("accessibility off: plain warning")
            << img << false << false << "alt" << QStringList{"3:4:W"} << 0;
        QTest::newRow("accessibility on: access rows")
            << img << false << true << "alt" << QStringList{"3:4:A"} << 3;
    }
    void options() {
        QFETCH(QString, text);
        QFETCH(bool, html5);
        QFETCH(bool, accessibility);
        QFETCH(QString, words);
        QFETCH(QStringList, expected);
        QFETCH(int, access);
        const std::vector<HtmlProblem> problems = CheckHtml(text, {html5, accessibility});
        QCOMPARE(placed(problems, words), expected);
        QCOMPARE(count(problems, HtmlSeverity::Access), access);
    }

    void summary() {
        const auto of = [](const char* severities) {
            std::vector<HtmlProblem> problems;
            for (const char c : QByteArray(severities))
                problems.push_back({1, 1,
                                    c == 'E'   ? HtmlSeverity::Error
                                    : c == 'W' ? HtmlSeverity::Warning
                                               : HtmlSeverity::Access,
                                    "x"});
            return ProblemSummary(problems);
        };
        QCOMPARE(of(""), QString("No problems found."));
        QCOMPARE(of("EW"), QString("1 error, 1 warning"));
        QCOMPARE(of("EEEWWWWWWWWWWWW"), QString("3 errors, 12 warnings"));
        QCOMPARE(of("AWEA"), QString("1 error, 1 warning, 2 access"));
    }

    void htmlDocument_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("checked");
        for (const char* path : {"/w/style.css", "a.JS", "notes.Txt", "run.pl", "Main.java", "C:\\x\\A.CSS"})
            QTest::newRow(path) << path << false;
        for (const char* path : {"index.html", "page.HTM", "x.php", "y.asp", "", "Untitled 3", "a.json",
                                 "b.jsp", "css", "mail.plx", "dir.js/page.html"})
            QTest::newRow(path) << path << true;
    }
    void htmlDocument() {
        QFETCH(QString, path);
        QFETCH(bool, checked);
        QCOMPARE(IsHtmlDocument(path), checked);
    }

    // Random texts from markup fragments: no crash, and every place inside the text.
    void fuzz() {
        QStringList fragments =
            QStringLiteral("<p>|</p>|<b>|</div>|<img src=x>|<a href=\"|'|\"| alt=|<!-- | -->|"
                           "&amp;|&#x1F600;|&bogus|\r\n|\n|\r|\t|<|>|<table><tr><td>|"
                           "<!DOCTYPE html>|<script>|</script>|<?php echo 1; ?>|<%= x %>|text |"
                           "<title>|<zz q=1/>")
                .split('|');
        fragments << QString::fromUtf8("é€") << QString::fromUtf8("😀") << QString(QChar(0xD800));
        QRandomGenerator random(20240611);
        for (int round = 0; round < 300; ++round) {
            QString text;
            const int parts = random.bounded(1, 40);
            for (int i = 0; i < parts; ++i)
                text += fragments[random.bounded(fragments.size())];
            const HtmlCheckOptions options{random.bounded(2) == 1, random.bounded(2) == 1};
            checkPlaces(text, CheckHtml(text, options));
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(text.toUtf8().toPercentEncoding()));
        }
    }

    // Two checks at once in worker threads give what they give one after the other.
    void twoThreads() {
        QString a = kHead, b = kHead;
        for (int i = 0; i < 300; ++i) {
            a += QStringLiteral("<p><b>%1\t<zz>\r\n").arg(i);
            b += QStringLiteral("<div foo=%1><img src=x></span>\n").arg(i);
        }
        const auto rows = [](const std::vector<HtmlProblem>& problems) {
            QStringList out;
            for (const HtmlProblem& p : problems)
                out << QStringLiteral("%1:%2:%3:%4")
                           .arg(p.line)
                           .arg(p.column)
                           .arg(int(p.severity))
                           .arg(p.text);
            return out;
        };
        const QStringList soloA = rows(CheckHtml(a, {false, false})),
                          soloB = rows(CheckHtml(b, {true, true}));
        QVERIFY(soloA.size() > 600 && soloB.size() > 600);
        QFuture<std::vector<HtmlProblem>> fa =
            QtConcurrent::run(CheckHtml, a, HtmlCheckOptions{false, false});
        QFuture<std::vector<HtmlProblem>> fb = QtConcurrent::run(CheckHtml, b, HtmlCheckOptions{true, true});
        QCOMPARE(rows(fa.result()), soloA);
        QCOMPARE(rows(fb.result()), soloB);
    }

    // What the checker's process writes reads back the same, awkward messages too; output cut off
    // or of another shape is refused.
    void checkerOutput() {
        const std::vector<HtmlProblem> problems{
            {1, 2, HtmlSeverity::Error, "<x> is not recognized!"},
            {30, 1, HtmlSeverity::Warning, "a\ttab, a\nbreak, a \\ and \u00E9"},
            {4, 5, HtmlSeverity::Access, ""}};
        const QByteArray output = EncodeProblems(problems);
        const std::optional<std::vector<HtmlProblem>> read = DecodeProblems(output);
        QVERIFY(read && read->size() == problems.size());
        for (size_t i = 0; i < problems.size(); ++i)
            QVERIFY(read->at(i).line == problems[i].line && read->at(i).column == problems[i].column &&
                    read->at(i).severity == problems[i].severity && read->at(i).text == problems[i].text);
        QVERIFY(DecodeProblems(QByteArray())->empty());
        QVERIFY(!DecodeProblems(output.chopped(1)));
        QVERIFY(!DecodeProblems("1\t2\t9\tx\n"));
        QVERIFY(!DecodeProblems("Segmentation fault\n"));
    }
};

QTEST_GUILESS_MAIN(TestHtmlCheck)
#include "tst_htmlcheck.moc"
