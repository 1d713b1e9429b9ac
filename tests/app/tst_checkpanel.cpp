#include "app/CheckPanel.h"
#include "editor/mdlFile.h"
#include "support/AppFixture.h"
#include "support/Keys.h"

#include <QtTest>
#include <QtWidgets>

#include <sys/resource.h>

// "Check HTML" from a document window: the panel lists the problems; a row goes to its place.
class CheckPanelTest : public QObject {
    Q_OBJECT

    static CheckPanel* settle(CheckPanel* panel) {
        panel->waitForDone();
        QCoreApplication::processEvents(); // the result arrives through the event loop
        return panel;
    }

private slots:
    // One document's checks in turn: a style sheet is not checked; Cancel and a crash of the checker
    // (too deeply nested with a small stack) end a check, not the editor; rows go to their places,
    // sort and filter; any change greys them, saving checks again, closing clears them.
    void checkedFromStartToEnd() {
        AppFixture app;
        const QByteArray html = "<p>one\r\n<q>two\r\n<b>three\r\n</i>four\r\n<x>five\r\n" +
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
        check->trigger();
        settle(panel);
        QTreeWidget* list = panel->lstProblems;
        const auto column = [list](int c) {
            QStringList texts;
            for (int row = 0; row < list->topLevelItemCount(); ++row)
                texts << list->topLevelItem(row)->text(c);
            return texts;
        };
        const QStringList lines = column(0);
        const auto byNumber = [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); };
        QVERIFY2(lines.first() == "1" && lines.last() == "6" &&
                     std::is_sorted(lines.begin(), lines.end(), byNumber),
                 qPrintable(lines.join(',')));
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            emit list->itemActivated(list->topLevelItem(row), 0);
            const int offset = text->selStart(), line = text->lineFromChar(offset);
            QCOMPARE(QString("%1 %2").arg(line + 1).arg(offset - text->lineIndex(line) + 1),
                     lines[row] + " " + column(1)[row]);
        }
        const auto clickHeader = [list](int c) {
            QHeaderView* header = list->header();
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(c) + 4, header->height() / 2));
        };
        clickHeader(0); // again: from the last line up
        QCOMPARE(column(0), QStringList(lines.rbegin(), lines.rend()));
        clickHeader(2);
        const QStringList severities = column(2);
        QVERIFY2(severities.contains("error") && severities.contains("warning") &&
                     std::is_sorted(severities.begin(), severities.end()),
                 qPrintable(severities.join(",")));
        panel->cmbSeverity->setCurrentIndex(1);
        QCOMPARE(column(2), QStringList(severities.count("error"), "error"));

        const QColor grey = panel->palette().color(QPalette::Disabled, QPalette::Text);
        const auto greyed = [&] {
            return list->topLevelItemCount() > 0 && list->topLevelItem(0)->foreground(3).color() == grey;
        };
        for (const QString change : {"x", "{Delete}", "{Return}"}) {
            panel->cmbSeverity->setCurrentIndex(0);
            QVERIFY(!greyed());
            text->setFocus();
            typeKeys(text, change);
            QCOMPARE(panel->lblSummary->text(), "The text has changed since this check.");
            QVERIFY(greyed());
            panel->cmbSeverity->setCurrentIndex(2); // the rows a filter shows are greyed too
            QVERIFY(greyed());
            typeKeys(text, "{Ctrl+S}");
            QVERIFY(!app.record(0).Modified);
            settle(panel);
            QVERIFY2(!greyed() && !panel->running() && panel->lblSummary->text().contains(" warning"),
                     qPrintable(panel->lblSummary->text()));
        }
        document->close();
        AppFixture::flush();
        QCOMPARE(list->topLevelItemCount(), 0);
    }
};

QTEST_MAIN(CheckPanelTest)
#include "tst_checkpanel.moc"
