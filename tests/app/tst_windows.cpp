#include "app/CheckPanel.h"
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

// Counts the events of one type each watched object receives.
class EventCounter : public QObject {
public:
    EventCounter(QEvent::Type type, QHash<QObject*, int>& counts) : m_type(type), m_counts(counts) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == m_type)
            ++m_counts[watched];
        return false;
    }

private:
    QEvent::Type m_type;
    QHash<QObject*, int>& m_counts;
};

// The frame and its windows: leaving, placement, window and file menus, file dialogs' folders.
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
    // Ctrl+Q asks about each changed document in Window menu order first; Cancel keeps all, unsaved.
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

    // No scroll bar ever: windows open inside the frame, each a title bar lower, or at the top left.
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

    // After a document's modal dialog closes (Esc or OK) its text has the keyboard; OK inserts.
    void focusReturnsToTheText_data() {
        // the menu item (a document's, else the text's pop-up menu's) or keys; closing keys; changes
        table({"open", "close", "changes"},
              {"Go To, Esc; {Ctrl+G}; {Escape}; no", "Go To, Enter; {Ctrl+G}; {Return}; no",
               "Go To from the menu; mnuGoTo; {Escape}; no", "Frames, Esc; mnuTFrames; {Escape}; no",
               "Frames, Ctrl+Enter; mnuTFrames; {Ctrl+Return}; no", "Image Map, Esc; mnuTIsMap; {Escape}; no",
               "CSS, Esc; mnuTCSS; {Escape}; no", "CSS, Ctrl+Enter; mnuTCSS; {Ctrl+Return}; yes",
               "Link, Esc; mnuLink; {Escape}; no", "Link, Enter then Esc; mnuLink; {Return} {Escape}; yes",
               "Select Color, Esc; mnuSelectColor; {Escape}; no",
               "Select Color, Enter; mnuSelectColor; {Return} {Return} {Return} {Return}; yes",
               "Format, Esc; mnuFormat; {Escape}; no", "Format, Enter; mnuFormat; {Space} {Return}; yes",
               "Add own command, Esc; mnuAddOwn; {Escape}; no"});
    }
    void focusReturnsToTheText() {
        QFETCH(QString, open);
        QFETCH(QString, close);
        QFETCH(QString, changes);
        AppFixture app;
        app.start();
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()));
        frmNotepad* document = current(app);
        document->txtRich->setText("<P>some words</P>");
        document->txtRich->select(0, 4); // Format works on a selection
        const QString before = document->txtRich->text();
        QPointer<QWidget> dialog;
        int waited = 0; // ticks since the keys were sent
        QTimer driver;
        connect(&driver, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!waited && modal && modal->isActiveWindow() && modal->windowHandle()->isExposed()) {
                dialog = modal;
                waited = 1;
                for (const QString& keys : close.split(' ')) // each where the focus is then
                    typeKeys(QApplication::focusWidget(), keys);
            } else if (waited && modal == dialog && ++waited == 100) { // the keys left it open
                dialog->close();
            }
        });
        driver.start(20);
        if (open.startsWith('{'))
            typeKeys(document->txtRich, open);
        else if (QAction* item = document->findChild<QAction*>(open))
            item->trigger();
        else
            app.main->popupMenu()->findChild<QAction*>(open)->trigger();
        driver.stop();
        QVERIFY(waited > 0 && waited < 100 && !QApplication::activeModalWidget());
        if (QGuiApplication::platformName() == "xcb")
            QTRY_COMPARE(QApplication::focusWidget(), document->txtRich);
        QCOMPARE(app.main->focusWidget(), document->txtRich);
        QCOMPARE(document->txtRich->text() != before, changes == "yes");
        const QString after = document->txtRich->text();
        typeText(app.main->focusWidget(), "Z");
        QCOMPARE(document->txtRich->text().count('Z'), after.count('Z') + 1);
    }

    // Keys, Ctrl+S and Ctrl+Z reach only the window made active by menu, Ctrl+Tab or a click.
    void keysReachTheActiveWindow() {
        AppFixture app;
        const QStringList paths{app.env.writeFile("a.htm", "aaa"), app.env.writeFile("b.htm", "bbb")};
        app.start();
        frmNotepad* a = OpenDocument(*app.main, paths[0]);
        frmNotepad* b = OpenDocument(*app.main, paths[1]);
        auto* browser = static_cast<frmView*>(app.main->OpenBrowser(QString()));
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()));
        const auto inBrowser = [&] { return browser->isAncestorOf(QApplication::focusWidget()); };
        QTRY_VERIFY(inBrowser());
        const auto keysInto = [&](frmNotepad* target, const QString& keys) {
            frmNotepad* other = target == a ? b : a;
            const QStringList before{target->txtRich->text(), other->txtRich->text()};
            if (!QTest::qWaitFor([&] { return QApplication::focusWidget() == target->txtRich; }))
                return false;
            typeKeys(QApplication::focusWidget(), keys);
            return current(app) == target && target->txtRich->text() != before[0] &&
                   other->txtRich->text() == before[1];
        };
        typeKeys(QApplication::focusWidget(), "x{Ctrl+S}"); // into the browser window's address
        QCOMPARE(QStringList({a->txtRich->text(), b->txtRich->text()}), QStringList({"aaa", "bbb"}));
        QMenu* windows = browser->findChild<QMenu*>(QStringLiteral("mnuWindow"));
        emit windows->aboutToShow();
        for (QAction* item : windows->actions())
            if (item->text().endsWith("/b.htm"))
                item->trigger();
        QVERIFY(keysInto(b, "1{Ctrl+S}"));
        QCOMPARE(QStringList({TestEnvironment::readFile(paths[0]), TestEnvironment::readFile(paths[1])}),
                 QStringList({"aaa", b->txtRich->text()}));
        QTest::mouseClick(a->txtRich->viewport(), Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY(keysInto(a, "2"));
        QVERIFY(keysInto(a, "{Ctrl+Z}"));
        QCOMPARE(a->txtRich->text(), "aaa");
        QTest::mouseClick(browser->cmbURL, Qt::LeftButton, {}, QPoint(5, 5));
        QTRY_VERIFY(inBrowser());
        sendKey(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QTest::sendKeyEvent(QTest::Release, QApplication::focusWidget(), Qt::Key_Control, QString(), {});
        QVERIFY(keysInto(a, "3"));
    }

    // Recent files listed once, in every window; long Window menu captions shortened in the middle.
    void menusListFilesAndWindows() {
        AppFixture app;
        const QString page = app.env.writeFile("page.htm", "x"), other = app.env.writeFile("other.htm", "y");
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
        auto* browser = static_cast<frmView*>(app.main->OpenBrowser(QString()));
        for (RecentMenu* menu :
             {&templateWindow->recentMenu(), &browser->recentMenu(), &app.main->recentMenu()})
            QCOMPARE((QStringList{menu->item(0)->isVisible() ? "shown" : "hidden", menu->caption(1),
                                  menu->caption(2), menu->item(3)->isVisible() ? "shown" : "hidden"}),
                     (QStringList{"shown", page, other, "hidden"}));
        QCOMPARE(ElideMiddle("short", 60), "short");
        // A character made of two halves is never cut in two.
        QCOMPARE(ElideMiddle("aaaa\U0001F600" + QString(20, 'b') + "\U0001F600cccc", 11), "aaaa\u2026cccc");
    }

    // File dialogs start in Documents (or home) rather than the program folder; a chosen one is kept.
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

    // A message box is wide enough for its whole title in the window manager's bolder, larger font.
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

    // With two windows open each editing key acts once on the current one, from "one" with the cursor
    // at its start ("{End}a{Home}b" makes two steps); the context menu starts with the Edit items.
    void editKeysActOnce_data() {
        table({"keys", "text"},
              {"Ctrl+Z; {End}a{Home}b{Ctrl+Z}; onea", "Ctrl+R; {End}a{Home}b{Ctrl+Z}{Ctrl+Z}{Ctrl+R}; onea",
               "Ctrl+Y; {End}a{Home}b{Ctrl+Z}{Ctrl+Z}{Ctrl+Y}; onea",
               "Ctrl+Shift+Z; {End}a{Home}b{Ctrl+Z}{Ctrl+Z}{Ctrl+Shift+Z}; onea",
               "Ctrl+X, Ctrl+V; {Shift+Right}{Ctrl+X}{End}{Ctrl+V}{Ctrl+V}; neoo",
               "Ctrl+A; {End}{Ctrl+A}x; x"});
    }
    void editKeysActOnce() {
        AppFixture app;
        const QString path = app.env.writeFile("one.htm", "one");
        app.start({path, path});
        QVERIFY(shownActive(app.main.get()));
        typeKeys(current(app)->txtRich, cell("keys"));
        QCOMPARE(current(app)->txtRich->text() + "|" + app.document(0)->txtRich->text(),
                 cell("text") + "|one");
        QStringList popup;
        for (const QAction* item : app.main->popupMenu()->actions().mid(0, 6))
            popup << item->objectName() + " " + QKeySequence::listToString(item->shortcuts());
        QCOMPARE(popup.join('|'),
                 "mnuCut Ctrl+X|mnuCopy Ctrl+C|mnuPaste Ctrl+V|mnuSelectAll Ctrl+A|mnuSepEdit |mnuViewIt ");
        // Ctrl+C in the list of problems copies its row, not the document's selection.
        app.main->checkHtml(*current(app));
        QTreeWidget* list = app.main->checkPanel()->lstProblems;
        list->setCurrentItem(new QTreeWidgetItem(list, {"7"}));
        list->setFocus();
        sendKey(list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), "7");
    }

    // Typing into a changed document, and the caret's blinking, repaint the text and its line numbers,
    // not the document window's frame and caption around them.
    void typingRepaintsTheTextOnly() {
        AppFixture app;
        const QString path = app.env.writeFile("one.htm", "<p>one</p>\n<p>two</p>\n");
        app.start({path});
        QVERIFY(shownActive(app.main.get()));
        frmNotepad* document = current(app);
        QWidget* gutter = document->txtRich->findChild<QWidget*>(QStringLiteral("gutLineNumbers"));
        QVERIFY(gutter && gutter->isVisible());
        typeText(document->txtRich, "x"); // the caption gains its mark of a change
        QTest::qWait(50);
        QHash<QObject*, int> paints;
        EventCounter counter(QEvent::Paint, paints);
        for (QObject* watched :
             std::initializer_list<QObject*>{document, document->txtRich->viewport(), gutter})
            watched->installEventFilter(&counter);
        typeText(document->txtRich, "yz");
        QTRY_VERIFY(paints.value(document->txtRich->viewport()) > 0 && paints.value(gutter) > 0);
        QTest::qWait(1200); // two blinks of the caret at least
        QCOMPARE(paints.value(document), 0);
        QCOMPARE(document->txtRich->text(), "xyz<p>one</p>\r\n<p>two</p>\r\n");
    }
};

QTEST_MAIN(WindowsTest)
#include "tst_windows.moc"
