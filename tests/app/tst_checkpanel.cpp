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

QTEST_MAIN(CheckPanelTest)
#include "tst_checkpanel.moc"
