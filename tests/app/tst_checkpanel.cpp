#include "app/CheckPanel.h"
#include "editor/mdlFile.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <sys/resource.h>

// "Check HTML" from a document window: the panel lists the problems; a row goes to its place.
class CheckPanelTest : public QObject {
    Q_OBJECT

    static CheckPanel* checked(AppFixture& app, frmNotepad* document) {
        document->findChild<QAction*>("mnuCheckHTML")->trigger();
        CheckPanel* panel = app.main->checkPanel();
        if (panel)
            panel->waitForDone();
        QCoreApplication::processEvents(); // the result arrives through the event loop
        return panel;
    }

private slots:
    // Each row goes to its line and character, counted with CR LF breaks and across a long line.
    void rowsGoToTheirPlaces() {
        AppFixture app;
        app.start();
        frmNotepad* document = app.document(0);
        const QString longLine = QString(6000, 'x');
        document->txtRich->setText("<html><head><title>t</title></head><body>\r\n" + longLine +
                                   "<p foo=\"1\">a</p>\r\n</div></body></html>\r\n");
        CheckPanel* panel = checked(app, document);
        QVERIFY(panel && !panel->running());
        QVERIFY(panel->lstProblems->topLevelItemCount() >= 2);
        QVERIFY(!panel->lblSummary->text().isEmpty());
        for (int row = 0; row < panel->lstProblems->topLevelItemCount(); ++row) {
            QTreeWidgetItem* item = panel->lstProblems->topLevelItem(row);
            const int line = item->text(0).toInt();
            const int column = item->text(1).toInt();
            emit panel->lstProblems->itemActivated(item, 0);
            const int offset = document->txtRich->selStart();
            QCOMPARE(document->txtRich->lineFromChar(offset), line - 1);
            QCOMPARE(offset - document->txtRich->lineIndex(line - 1), column - 1);
        }
        // The filter shows one severity at a time.
        panel->cmbSeverity->setCurrentIndex(1);
        for (int row = 0; row < panel->lstProblems->topLevelItemCount(); ++row)
            QCOMPARE(panel->lstProblems->topLevelItem(row)->text(2), QString("error"));
        // Closing the document clears its results.
        app.main->documents().DocumentSlots[document->slot()].Modified = false;
        document->close();
        AppFixture::flush();
        QCOMPARE(panel->lstProblems->topLevelItemCount(), 0);
    }

    // Rows come in line order and a click on a header sorts by its column; the first change to the
    // text greys them and says so; saving checks again.
    void staleSortedRechecked_data() {
        table({"change"}, {"typed; x", "deleted; {Delete}", "line break; {Return}"});
    }
    void staleSortedRechecked() {
        QFETCH(QString, change);
        AppFixture app;
        const QString path =
            app.env.writeFile("p.htm", "<p>one\r\n<q>two\r\n<b>three\r\n</i>four\r\n<x>five\r\n");
        app.start({path});
        frmNotepad* document = app.document(0);
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()));
        CheckPanel* panel = checked(app, document);
        QTreeWidget* list = panel->lstProblems;
        const auto column = [list](int c) {
            QStringList texts;
            for (int row = 0; row < list->topLevelItemCount(); ++row)
                texts << list->topLevelItem(row)->text(c);
            return texts;
        };
        const auto lines = [&] {
            QList<int> numbers;
            for (const QString& text : column(0))
                numbers << text.toInt();
            return numbers;
        };
        QList<int> shown = lines();
        QVERIFY2(shown.size() >= 4 && shown.first() == 1 && shown.last() >= 3 &&
                     std::is_sorted(shown.begin(), shown.end()),
                 qPrintable(column(0).join(',')));
        const auto clickHeader = [list](int c) {
            QHeaderView* header = list->header();
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(c) + 4, header->height() / 2));
        };
        const int lastLine = shown.last();
        clickHeader(0); // again: from the last line up
        shown = lines();
        QVERIFY(shown.first() == lastLine && std::is_sorted(shown.rbegin(), shown.rend()));
        clickHeader(2);
        QStringList severities = column(2);
        QVERIFY2(severities.contains("error") && severities.contains("warning"),
                 qPrintable(severities.join(",")));
        QVERIFY(std::is_sorted(severities.begin(), severities.end()));

        const QColor grey = panel->palette().color(QPalette::Disabled, QPalette::Text);
        const auto greyed = [&] {
            return list->topLevelItemCount() > 0 && list->topLevelItem(0)->foreground(3).color() == grey;
        };
        QVERIFY(!greyed());
        document->txtRich->setFocus();
        typeKeys(document->txtRich, change);
        QCOMPARE(panel->lblSummary->text(), "The text has changed since this check.");
        QVERIFY(greyed());
        panel->cmbSeverity->setCurrentIndex(2); // the rows a filter shows are greyed too
        QVERIFY(greyed());
        panel->cmbSeverity->setCurrentIndex(0);
        typeKeys(document->txtRich, "{Ctrl+S}");
        QVERIFY(!app.record(0).Modified);
        panel->waitForDone();
        QCoreApplication::processEvents();
        QVERIFY2(!greyed() && panel->lblSummary->text().contains(" warning"),
                 qPrintable(panel->lblSummary->text()));
        QVERIFY(!panel->running());
    }

    // Documents that are not HTML are not checked; Cancel stops the check's process at once.
    void notHtmlAndCancel() {
        AppFixture app;
        const QString css = app.env.writeFile("s.css", "p { color: red }\n");
        app.start();
        frmNotepad* style = OpenDocument(*app.main, css);
        style->findChild<QAction*>("mnuCheckHTML")->trigger();
        QCOMPARE(app.dialogs.messages.last().text, QString("Check HTML works on HTML documents."));
        QVERIFY(!app.main->checkPanel()->isVisible());
        frmNotepad* page = app.document(0);
        page->txtRich->setText(QString("<p>x").repeated(200000));
        page->findChild<QAction*>("mnuCheckHTML")->trigger();
        CheckPanel* panel = app.main->checkPanel();
        QVERIFY(panel->running());
        panel->cancel();
        QCOMPARE(panel->lblSummary->text(), QString("Cancelled."));
        QVERIFY(!panel->running());
        QCoreApplication::processEvents();
        QCOMPARE(panel->lstProblems->topLevelItemCount(), 0);
        QCOMPARE(panel->lblSummary->text(), QString("Cancelled."));
    }

    // A page nested deeper than the checker can follow crashes the checker's process, not the
    // editor: the panel says so, the document stays, and the next check runs as usual. (The
    // checker is started with a small stack, so it crashes at once on 20,000 levels; with the
    // usual 8 MB it takes some 100,000 and several seconds.)
    void aCrashCostsOnlyTheCheck() {
        AppFixture app;
        app.start();
        frmNotepad* page = app.document(0);
        const int depth = 20000;
        page->txtRich->setText(QString("<div>").repeated(depth) + "x" + QString("</div>").repeated(depth));
        rlimit stack{};
        getrlimit(RLIMIT_STACK, &stack);
        const rlimit small{rlim_t(1) << 20, stack.rlim_max};
        QVERIFY(setrlimit(RLIMIT_STACK, &small) == 0);
        CheckPanel* panel = checked(app, page);
        setrlimit(RLIMIT_STACK, &stack);
        QVERIFY(!panel->running());
        QCOMPARE(panel->lblSummary->text(),
                 "The check stopped: the page is nested too deeply or too large for the checker.");
        QCOMPARE(page->txtRich->textLength(), 11 * depth + 1);
        page->txtRich->setText("<html><head><title>t</title></head><body><p>x</p></body></html>");
        checked(app, page);
        QVERIFY(panel->lblSummary->text().startsWith("0 errors, "));
    }
};

QTEST_MAIN(CheckPanelTest)
#include "tst_checkpanel.moc"
