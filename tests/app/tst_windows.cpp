#include "app/RecentFiles.h"
#include "browser/frmView.h"
#include "editor/mdlFile.h"
#include "platform/MdiWindows.h"
#include "platform/Version.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"

#include <QtTest>
#include <QtWidgets>

// The frame and its windows as a user meets them: leaving the program, where windows appear, the
// menus that list windows and files, and the folders the file dialogs start in.
class WindowsTest : public QObject {
    Q_OBJECT

    static frmNotepad* current(const AppFixture& app) { return app.main->documents().current(); }
    // Every window inside the frame, and so no scroll bar.
    static bool allInside(const AppFixture& app) {
        const QMdiArea* area = app.main->mdiArea();
        for (QMdiSubWindow* window : area->subWindowList())
            if (!QRect(QPoint(0, 0), area->contentsRect().size()).contains(window->geometry()))
                return false;
        return !area->horizontalScrollBar()->isVisible() && !area->verticalScrollBar()->isVisible();
    }

private slots:
    // Ctrl+Q with three changed documents asks about each in the Window menu's order before any
    // closes: a Cancel stops the asking and leaves all as they were, nothing saved even after a Yes;
    // answered, Yes saves, No does not, and the program ends.
    void exitAsksFirst() {
        AppFixture app;
        QStringList paths, expected;
        for (int i = 0; i < 4; ++i)
            paths << app.env.writeFile(QString("doc%1.htm").arg(i), "old");
        app.start(paths.mid(0, 3));
        // The last window opened takes the first slot: the Window menu's order is not the slots'.
        app.document(0)->close();
        app.flush();
        QVERIFY(OpenDocument(*app.main, paths.at(3)));
        const QList<frmNotepad*> inOrder{app.document(1), app.document(2), app.document(0)};
        for (int i = 0; i < 3; ++i) {
            inOrder[i]->txtRich->setSelStart(0);
            typeText(inOrder[i]->txtRich, "new ");
            expected << "Save changes to [" + paths[i + 1] + "*] ?";
        }
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()));
        using Answer = Dialogs::Answer;
        const auto quit = [&](const QList<Answer>& answers) {
            app.dialogs.messages.clear();
            app.dialogs.answers.append(answers);
            sendKey(current(app)->txtRich, Qt::Key_Q, Qt::ControlModifier);
            app.flush();
            QStringList asked;
            for (const auto& message : std::as_const(app.dialogs.messages))
                asked << message.text;
            return asked;
        };
        const auto files = [&] {
            return QStringList{TestEnvironment::readFile(paths[1]), TestEnvironment::readFile(paths[2]),
                               TestEnvironment::readFile(paths[3])};
        };
        QCOMPARE(quit({Answer::Yes, Answer::Cancel}), expected.mid(0, 2));
        QCOMPARE(files(), QStringList(3, "old"));
        QVERIFY(app.main->isVisible() && app.main->documents().DocumentCount == 3);
        QVERIFY(app.record(0).Modified && app.record(1).Modified && app.record(2).Modified);
        QCOMPARE(quit({Answer::Yes, Answer::No, Answer::Yes}), expected);
        QCOMPARE(files(), (QStringList{"new old", "old", "new old"}));
        QVERIFY(!app.main->isVisible() && app.main->documents().DocumentCount == 0);
    }

    // No scroll bar ever: the first window fits the maximised frame the window manager shows (whose
    // size is known only once shown); new windows open inside, each a title bar lower and to the
    // right of the last, or at the top left; a frame made smaller keeps them all inside.
    void windowsStayInsideTheFrame_data() {
        QTest::addColumn<QSize>("frame");
        QTest::newRow("large") << QSize(1024, 740);
        QTest::newRow("small") << QSize(640, 420);
    }
    void windowsStayInsideTheFrame() {
        QFETCH(QSize, frame);
        AppFixture app;
        app.start();
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()));
        QTest::qWait(300); // the window manager's answers to maximising
        QVERIFY(allInside(app));
        app.main->showNormal();
        app.main->resize(frame - QSize(0, 40));
        QVERIFY(allInside(app));
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()));
        QPoint previous = app.document(0)->pos();
        int step = 0;
        for (int i = 0; i < 10; ++i) {
            sendKey(current(app)->txtRich, Qt::Key_N, Qt::ControlModifier);
            frmNotepad* added = current(app);
            QCOMPARE(app.main->documents().DocumentCount, i + 2);
            QVERIFY2(allInside(app), qPrintable(QString("window %1").arg(i + 2)));
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
        QVERIFY(allInside(app));
    }

    // A path listed already is never listed again, also when it comes from the command line before
    // any menu shows the list, and every kind of window lists the recent files. The Window menu
    // shortens a long caption in the middle to 60 characters, keeping the path's start and the name.
    void menusListFilesAndWindows() {
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
        const QString path =
            app.env.writeFile("folder-with-a-long-name-that-goes-on/and-on-and-on/page & more.htm", "x");
        QMenu* menu = OpenDocument(*app.main, path)->findChild<QMenu*>(QStringLiteral("mnuWindow"));
        emit menu->aboutToShow();
        const QString shown = menu->actions().last()->text();
        QVERIFY2(shown.startsWith("&4 " + path.left(20)) && shown.endsWith("page && more.htm") &&
                     shown.contains(QChar(0x2026)),
                 qPrintable(shown));
        QCOMPARE(QString(shown).mid(3).replace("&&", "&").size(), kWindowListNameLength);
        frmView* browser = app.main->OpenBrowser(QString());
        for (RecentMenu* menu :
             {&templateWindow->recentMenu(), &browser->recentMenu(), &app.main->recentMenu()})
            QCOMPARE((QStringList{menu->item(0)->isVisible() ? "shown" : "hidden", menu->caption(1),
                                  menu->caption(2), menu->item(3)->isVisible() ? "shown" : "hidden"}),
                     (QStringList{"shown", page, other, "hidden"}));
        QCOMPARE(ElideMiddle("short", 60), "short");
        // A character made of two halves is never cut in two.
        QCOMPARE(ElideMiddle("aaaa\U0001F600" + QString(20, 'b') + "\U0001F600cccc", 11), "aaaa\u2026cccc");
    }

    // The open and save dialogs start in the Documents folder (or home) while "DefaultDir" is still
    // the program folder, where one careless click would save over the template; a folder the user
    // chose is kept.
    void dialogsStartAwayFromTheProgramFolder_data() {
        // DefaultDir stored; whether a Documents folder exists; where the dialogs start
        table({"defaultDir", "documentsFolder", "expected"},
              {"first run; ; no; @home", "first run, Documents; ; yes; @documents",
               "the program folder, stored; @prog; yes; @documents",
               "a folder chosen; @chosen; yes; @chosen"});
    }
    void dialogsStartAwayFromTheProgramFolder() {
        QFETCH(QString, defaultDir);
        QFETCH(QString, documentsFolder);
        QFETCH(QString, expected);
        AppFixture app;
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (documentsFolder == "yes") // in the test's own home folder
            QVERIFY(documents.startsWith(QDir::homePath()) && QDir().mkpath(documents));
        QVERIFY(QDir().mkpath(app.env.root() + "/sites"));
        const QMap<QString, QString> places{{"@prog", app.env.programFolder()},
                                            {"@chosen", app.env.root() + "/sites"},
                                            {"@home", QDir::homePath()},
                                            {"@documents", documents}};
        if (!defaultDir.isEmpty()) {
            QDir().mkpath(app.env.programFolder());
            QSettings("Quillora", "Quillora").setValue("Settings/DefaultDir", places[defaultDir]);
        }
        app.start();
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()));
        sendKey(current(app)->txtRich, Qt::Key_O, Qt::ControlModifier);
        current(app)->action(CommandId::SaveAs)->trigger();
        QCOMPARE(app.dialogs.openRequests.size(), 1);
        QCOMPARE((QStringList{QDir::cleanPath(app.dialogs.openRequests[0].folder),
                              QDir::cleanPath(app.dialogs.saveRequests[0].folder)}),
                 QStringList(2, places[expected]));
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
        QCOMPARE(box.windowTitle(), title);
        QCOMPARE(box.textFormat(), Qt::PlainText);
    }
};

QTEST_MAIN(WindowsTest)
#include "tst_windows.moc"
