#include "app/CheckPanel.h"
#include "editor/mdlFile.h"
#include "support/AppFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>
#include <QTreeWidget>

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

    // Documents that are not HTML are not checked; a cancelled check leaves no thread running.
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
        panel->cancel();
        QCOMPARE(panel->lblSummary->text(), QString("Cancelled."));
        panel->waitForDone();
        QTRY_COMPARE(QThreadPool::globalInstance()->activeThreadCount(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(panel->lstProblems->topLevelItemCount(), 0);
    }
};

QTEST_MAIN(CheckPanelTest)
#include "tst_checkpanel.moc"
