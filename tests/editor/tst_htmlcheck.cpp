#include "app/CheckPanel.h"
#include "check/TidyCheck.h"
#include "editor/HtmlCheckProcess.h"
#include "editor/mdlFile.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"

#include <QtTest>
#include <QtWidgets>
#include <sys/resource.h>

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

// Check HTML: the problems the checker finds and where, and its panel in the program.
class TestHtmlCheck : public QObject {
    Q_OBJECT

    static CheckPanel* settle(CheckPanel* panel) {
        panel->waitForDone();
        QCoreApplication::processEvents(); // the result arrives through the event loop
        return panel;
    }
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
        const QString text = cell("text"), options = cell("options");
        const auto problems = CheckHtml(text, {options.contains("html5"), options.contains("access")});
        const qsizetype access = placed(problems, QString()).count('A'); // every problem's letter
        QTEST(placed(problems, cell("words")) +
                  (access ? QStringLiteral(", %1 access").arg(access) : QString()),
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

    // "Check HTML" from a document window: the panel lists the problems; a row goes to its place.

    // A style sheet is not checked; Cancel and a checker crash (deep nesting, small stack) end a check, not
    // the editor; rows go to their places, sort, filter; a change greys them, save rechecks, close clears.
    void checkedFromStartToEnd() {
        AppFixture app;
        const QByteArray html =
            "<p>one\r\n<q>two\r\n<b>three\r\n</i>four <y>\r\n<x>five <img src=\"a.png\">\r\n" +
            QByteArray(6000, 'x') + "<p foo=\"1\">a</p>\r\n";
        const QString css = app.env.writeFile("s.css", "p { color: red }\n");
        app.start({app.env.writeFile("p.htm", html)});
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()));
        OpenDocument(*app.main, css)->findChild<QAction*>("mnuCheckHTML")->trigger();
        QCOMPARE(app.dialogs.messages.last().text, QString("Check HTML works on HTML documents."));
        CheckPanel* panel = app.main->checkPanel();
        QVERIFY(!panel->isVisible());
        frmNotepad* document = app.document(0);
        RichTextControl* text = document->txtRich;
        QAction* check = document->findChild<QAction*>("mnuCheckHTML");
        text->setText(QString("<p>x").repeated(200000));
        check->trigger();
        QVERIFY(panel->running());
        panel->cancel();
        QVERIFY(!panel->running());
        QCoreApplication::processEvents();
        QCOMPARE(panel->lstProblems->topLevelItemCount(), 0);
        QCOMPARE(panel->lblSummary->text(), QString("Cancelled."));
        const int depth = 20000;
        text->setText(QString("<div>").repeated(depth) + "x" + QString("</div>").repeated(depth));
        rlimit stack{};
        getrlimit(RLIMIT_STACK, &stack);
        const rlimit small{rlim_t(1) << 20, stack.rlim_max};
        QVERIFY(setrlimit(RLIMIT_STACK, &small) == 0);
        check->trigger();
        settle(panel);
        setrlimit(RLIMIT_STACK, &stack);
        QVERIFY(!panel->running());
        QCOMPARE(panel->lblSummary->text(),
                 "The check stopped: the page is nested too deeply or too large for the checker.");
        QCOMPARE(text->textLength(), 11 * depth + 1);

        text->setText(html);
        panel->chkAccessibility->click();
        check->trigger();
        settle(panel);
        QCOMPARE(panel->lblSummary->text(), "2 errors, 9 warnings, 3 access");
        QTreeWidget* list = panel->lstProblems;
        const auto column = [list](int c) { // -1: whole rows, "line:column severity text"
            QStringList texts;
            for (int row = 0; row < list->topLevelItemCount(); ++row) {
                const QTreeWidgetItem* item = list->topLevelItem(row);
                const QString place = item->text(0) + ":" + item->text(1);
                texts << (c >= 0 ? item->text(c) : place + " " + item->text(2) + " " + item->text(3));
            }
            return texts;
        };
        // Every severity, in line order (and as reported within a line), each filter showing its own.
        const QStringList all{
            "1:1 warning missing <!DOCTYPE> declaration",
            "1:1 warning inserting implicit <body>",
            "1:1 warning inserting missing 'title' element",
            "2:1 warning missing </q> before <p>",
            "3:1 warning replacing unexpected i with </i>",
            "4:10 error <y> is not recognized!",
            "4:10 warning discarding unexpected <y>",
            "5:1 error <x> is not recognized!",
            "5:1 warning discarding unexpected <x>",
            "5:9 access [2.1.1.1]: ensure information not conveyed through color alone (image).",
            "5:26 access [1.1.1.1]: <img> missing 'alt' text.",
            "5:26 access [1.1.2.1]: <img> missing 'longdesc' and d-link.",
            "6:6001 warning <p> proprietary attribute \"foo\"",
            "6:6012 warning inserting implicit <q>"};
        QCOMPARE(column(-1), all);
        for (const char* severity : {"error", "warning", "access"}) {
            panel->cmbSeverity->setCurrentIndex(panel->cmbSeverity->currentIndex() + 1);
            QCOMPARE(column(-1), all.filter(QString(" %1 ").arg(severity)));
        }
        panel->cmbSeverity->setCurrentIndex(0);
        for (int row = 0; row < all.size(); ++row) {
            emit list->itemActivated(list->topLevelItem(row), 0);
            const int offset = text->selStart(), line = text->lineFromChar(offset);
            QCOMPARE(QString("%1:%2").arg(line + 1).arg(offset - text->lineIndex(line) + 1),
                     all[row].section(' ', 0, 0));
        }
        const auto clickHeader = [header = list->header()](int c) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(c) + 4, header->height() / 2));
        };
        const QStringList lines = column(0);
        clickHeader(0); // again: from the last line up
        QCOMPARE(column(0), QStringList(lines.rbegin(), lines.rend()));
        clickHeader(2);
        QStringList severities = column(2);
        std::sort(severities.begin(), severities.end());
        QCOMPARE(column(2), severities);
        QCOMPARE(severities.first() + severities.last(), "accesswarning");

        const QColor grey = panel->palette().color(QPalette::Disabled, QPalette::Text);
        const auto greyed = [&] { // how many rows are greyed, of how many
            int count = 0;
            for (int row = 0; row < list->topLevelItemCount(); ++row)
                count += list->topLevelItem(row)->foreground(3).color() == grey;
            return QString("%1 of %2").arg(count).arg(list->topLevelItemCount());
        };
        for (const QString change : {"x", "{Delete}", "{Return}"}) {
            panel->cmbSeverity->setCurrentIndex(0);
            QCOMPARE(greyed(), "0 of 14");
            text->setFocus();
            typeKeys(text, change);
            QCOMPARE(panel->lblSummary->text(), "The text has changed since this check.");
            QCOMPARE(greyed(), "14 of 14");
            panel->cmbSeverity->setCurrentIndex(2); // the rows a filter shows are greyed too
            QCOMPARE(greyed(), "9 of 9");
            typeKeys(text, "{Ctrl+S}");
            QVERIFY(!app.record(0).Modified);
            settle(panel);
            QCOMPARE(greyed(), "0 of 9"); // checked again, the filter kept
            QVERIFY(!panel->running() && panel->lblSummary->text().contains("9 warnings"));
        }
        document->close();
        AppFixture::flush();
        QCOMPARE(list->topLevelItemCount(), 0);
    }
};

QTEST_MAIN(TestHtmlCheck)
#include "tst_htmlcheck.moc"
