#include "app/CheckPanel.h"
#include "editor/mdlFile.h"
#include "support/AppFixture.h"

#include <QComboBox>
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
