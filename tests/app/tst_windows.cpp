#include "app/RecentFiles.h"
#include "browser/frmView.h"
#include "editor/mdlFile.h"
#include "platform/MdiWindows.h"
#include "platform/Version.h"
#include "support/AppFixture.h"
#include "support/Keys.h"

#include <QMdiArea>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>

// The frame and its windows as a user meets them: leaving the program, where windows appear, the
// menus that list windows and files, and the folders the file dialogs start in.
class WindowsTest : public QObject {
    Q_OBJECT

    static QRect area(const AppFixture& app) {
        return QRect(QPoint(0, 0), app.main->mdiArea()->contentsRect().size());
    }
    static frmNotepad* current(const AppFixture& app) { return app.main->documents().current(); }

private slots:
    // Ctrl+Q with three changed documents: every one is asked about in the Window menu's order
    // before any closes, and a Cancel leaves them all as they were, nothing saved.
    void exitAsksFirst_data() {
        QTest::addColumn<QString>("answers"); // Y, N, C for each question asked
        QTest::addColumn<int>("asked");
        QTest::addColumn<bool>("ends");
        QTest::addColumn<QString>("saved"); // the files written, by number
        QTest::newRow("cancel on the second") << "NC" << 2 << false << "";
        QTest::newRow("yes, then cancel: nothing saved") << "YNC" << 3 << false << "";
        QTest::newRow("no to all") << "NNN" << 3 << true << "";
        QTest::newRow("yes to the first and third") << "YNY" << 3 << true << "13";
    }
    void exitAsksFirst() {
        QFETCH(QString, answers);
        AppFixture app;
        QStringList paths;
        for (int i = 0; i < 4; ++i)
            paths << app.env.writeFile(QString("doc%1.htm").arg(i), "old");
        app.start(paths.mid(0, 3));
        // The last window opened takes the first slot: the Window menu's order is not the slots'.
        app.document(0)->close();
        app.flush();
        QVERIFY(OpenDocument(*app.main, paths.at(3)));
        const QList<frmNotepad*> inOrder{app.document(1), app.document(2), app.document(0)};
        for (frmNotepad* document : inOrder) {
            document->txtRich->setSelStart(0);
            typeText(document->txtRich, "new ");
        }
        for (const QChar answer : answers)
            app.dialogs.answers << (answer == 'Y'   ? Dialogs::Answer::Yes
                                    : answer == 'N' ? Dialogs::Answer::No
                                                    : Dialogs::Answer::Cancel);
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()));
        sendKey(current(app)->txtRich, Qt::Key_Q, Qt::ControlModifier);
        app.flush();
        QStringList asked;
        for (const auto& message : std::as_const(app.dialogs.messages))
            asked << message.text;
        QStringList expected;
        for (int i = 0; i < answers.size(); ++i)
            expected << "Save changes to [" + paths.at(i + 1) + "*] ?";
        QTEST(int(asked.size()), "asked");
        QCOMPARE(asked, expected);
        QFETCH(bool, ends);
        QCOMPARE(app.main->documents().DocumentCount, ends ? 0 : 3);
        QCOMPARE(app.main->isVisible(), !ends);
        QFETCH(QString, saved);
        for (int i = 1; i <= 3; ++i) {
            const bool written = saved.contains(QString::number(i));
            QCOMPARE(TestEnvironment::readFile(paths.at(i)), written ? "new old" : "old");
            if (!ends)
                QVERIFY(app.main->documents().DocumentSlots[inOrder.at(i - 1)->slot()].Modified);
        }
    }

    // At start-up the first window fits the frame as the window manager shows it, close button and
    // all: no scroll bar. (Under a real window manager, the maximised frame is smaller than the
    // screen by the decorations, and learns so only after it is shown.)
    void startUpFitsTheFrame() {
        AppFixture app;
        app.start();
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()));
        QTest::qWait(300); // the window manager's answers to maximising
        QVERIFY(area(app).contains(app.document(0)->geometry()));
        QVERIFY(!app.main->mdiArea()->horizontalScrollBar()->isVisible());
        QVERIFY(!app.main->mdiArea()->verticalScrollBar()->isVisible());
    }

    // New windows open inside the frame, each a title bar lower and to the right of the last, and
    // start at the top left again before they would leave it; a frame made smaller keeps them all
    // inside, with no scroll bar. Twice: a large frame and a small one.
    void windowsStayInsideTheFrame_data() {
        QTest::addColumn<QSize>("frame");
        QTest::newRow("large") << QSize(1024, 740);
        QTest::newRow("small") << QSize(640, 420);
    }
    void windowsStayInsideTheFrame() {
        QFETCH(QSize, frame);
        AppFixture app;
        app.start();
        // The window manager takes its decorations off a maximised frame after it is shown.
        app.main->showNormal();
        app.main->resize(frame - QSize(0, 40));
        QVERIFY(area(app).contains(app.document(0)->geometry()));
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()));
        QPoint previous = app.document(0)->pos();
        int step = 0;
        for (int i = 0; i < 10; ++i) {
            sendKey(current(app)->txtRich, Qt::Key_N, Qt::ControlModifier);
            frmNotepad* added = current(app);
            QCOMPARE(app.main->documents().DocumentCount, i + 2);
            QVERIFY2(area(app).contains(added->geometry()), qPrintable(QString("window %1").arg(i + 2)));
            const QPoint moved = added->pos() - previous;
            if (added->pos() != QPoint(0, 0)) { // else it wrapped to the top left
                step = step ? step : moved.x();
                QVERIFY(step >= 16);
                QCOMPARE(moved, QPoint(step, step));
            }
            previous = added->pos();
        }
        QVERIFY(step > 0);
        app.main->resize(frame / 2);
        for (QMdiSubWindow* window : app.main->mdiArea()->subWindowList())
            QVERIFY(area(app).contains(window->geometry()));
        QVERIFY(!app.main->mdiArea()->horizontalScrollBar()->isVisible());
        QVERIFY(!app.main->mdiArea()->verticalScrollBar()->isVisible());
    }

    // The Window menu lists each window by its caption, a long one shortened in the middle to 60
    // characters, so the start of the path and the file's name stay readable.
    void windowMenuShortensLongNames() {
        AppFixture app;
        const QString folder = "folder-with-a-long-name-that-goes-on/and-on-and-on/";
        const QString path = app.env.writeFile(folder + "page & more.htm", "x");
        app.start({path});
        frmNotepad* window = app.document(0);
        emit window->findChild<QMenu*>(QStringLiteral("mnuWindow"))->aboutToShow();
        const QList<QAction*> items = window->findChild<QMenu*>(QStringLiteral("mnuWindow"))->actions();
        const QString shown = items.last()->text();
        QVERIFY2(shown.startsWith("&1 " + path.left(20)), qPrintable(shown));
        QVERIFY2(shown.endsWith("page && more.htm"), qPrintable(shown));
        QVERIFY(shown.contains(QChar(0x2026)));
        QCOMPARE(QString(shown).mid(3).replace("&&", "&").size(), kWindowListNameLength);
        QCOMPARE(ElideMiddle("short", 60), "short");
        // A character made of two halves is never cut in two.
        QCOMPARE(ElideMiddle("aaaa\U0001F600" + QString(20, 'b') + "\U0001F600cccc", 11), "aaaa\u2026cccc");
    }

    // A path listed already is never listed again, also when it comes from the command line before
    // any menu shows the list; and every kind of window lists the files however it was opened.
    void recentFilesOnceInEveryMenu() {
        AppFixture app;
        const QString page = app.env.writeFile("page.htm", "x");
        const QString other = app.env.writeFile("other.htm", "y");
        PushRecent(page);
        PushRecent(other);
        PushRecent(page); // a list stored twice before is mended by the next entry
        QCOMPARE(StoredRecentFiles(), (QStringList{page, other}));
        app.start({page, other});
        QCOMPARE(StoredRecentFiles(), (QStringList{page, other}));
        app.main->action(CommandId::Template)->trigger();
        frmNotepad* templateWindow = current(app);
        QVERIFY(templateWindow->windowTitle().endsWith("/default.htm"));
        frmView* browser = app.main->OpenBrowser(QString());
        for (RecentMenu* menu :
             {&templateWindow->recentMenu(), &browser->recentMenu(), &app.main->recentMenu()}) {
            QVERIFY(menu->item(0)->isVisible());
            QCOMPARE(menu->caption(1), page);
            QCOMPARE(menu->caption(2), other);
            QVERIFY(!menu->item(3)->isVisible());
        }
    }

    // The open and save dialogs start in the Documents folder (or home) while "DefaultDir" is still
    // the program folder, where one careless click would save over the template; a folder the user
    // chose is kept.
    void dialogsStartAwayFromTheProgramFolder_data() {
        QTest::addColumn<QString>("defaultDir"); // "@prog" the program folder, "@chosen" another
        QTest::addColumn<bool>("documentsFolder");
        QTest::addColumn<QString>("expected"); // "@home", "@documents" or "@chosen"
        QTest::newRow("first run") << "" << false << "@home";
        QTest::newRow("first run, Documents") << "" << true << "@documents";
        QTest::newRow("the program folder, stored") << "@prog" << true << "@documents";
        QTest::newRow("a folder chosen") << "@chosen" << true << "@chosen";
    }
    void dialogsStartAwayFromTheProgramFolder() {
        QFETCH(QString, defaultDir);
        QFETCH(bool, documentsFolder);
        AppFixture app;
        const QString home = QDir::homePath();
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QVERIFY(documents.startsWith(home));
        if (documentsFolder)
            QVERIFY(QDir().mkpath(documents));
        const QString chosen = app.env.root() + "/sites";
        QDir().mkpath(chosen);
        const auto place = [&](QString text) {
            return text.replace("@prog", app.env.programFolder())
                .replace("@chosen", chosen)
                .replace("@home", home)
                .replace("@documents", documents);
        };
        if (!defaultDir.isEmpty()) {
            QDir().mkpath(app.env.programFolder());
            QSettings("Quillora", "Quillora").setValue("Settings/DefaultDir", place(defaultDir));
        }
        app.start();
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()));
        sendKey(current(app)->txtRich, Qt::Key_O, Qt::ControlModifier);
        current(app)->action(CommandId::SaveAs)->trigger();
        QFETCH(QString, expected);
        QCOMPARE(app.dialogs.openRequests.size(), 1);
        QCOMPARE(QDir::cleanPath(app.dialogs.openRequests[0].folder), place(expected));
        QCOMPARE(QDir::cleanPath(app.dialogs.saveRequests[0].folder), place(expected));
    }

    // A message box is wide enough for the window manager to show its whole title, also when its
    // text is short: the title bar's font is larger and bold, and its buttons take room too.
    void messageBoxesShowTheirTitle() {
        const QString title = MessageBoxTitle();
        QMessageBox box;
        PrepareMessageBox(box, title, "Replace All Done!", Dialogs::Icon::Information);
        box.setStandardButtons(QMessageBox::Ok);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QFont titleFont = box.font();
        titleFont.setBold(true);
        titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
        // Three title-bar buttons of at least 24 pixels each beside the title.
        QVERIFY2(box.width() >= QFontMetrics(titleFont).horizontalAdvance(title) + 3 * 24,
                 qPrintable(QString::number(box.width())));
        QCOMPARE(box.windowTitle(), "Quillora (3.60)");
        QCOMPARE(box.textFormat(), Qt::PlainText);
        box.close();
    }
};

QTEST_MAIN(WindowsTest)
#include "tst_windows.moc"
