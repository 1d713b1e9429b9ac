#include "app/RecentFiles.h"
#include "app/SkinButton.h"
#include "app/mdlQuillor.h"
#include "browser/frmView.h"
#include "editor/frmFind.h"
#include "editor/mdlFile.h"
#include "platform/ProgramIcon.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"

#include <QtTest>
#include <QtWidgets>
#include <sys/stat.h>

// Start-up, the data files, the settings store and the recent files.
class StartupTest : public QObject {
    Q_OBJECT

private slots:
    // Seeded data files, one untitled document with its menus and toolbox, the frame's own once it closes.
    void startWithoutFiles() {
        QTest::failOnWarning(QRegularExpression("not read:"));
        AppFixture app;
        const QString folder = app.env.programFolder();
        const auto read = [&](const char* name) { return TestEnvironment::readFile(folder + name); };
        app.env.writeFile("data/Quillora/formats.txt", "mine");
        app.start().findDialog();
        for (const QString& name : DataFileNames())
            QVERIFY2(QFileInfo::exists(folder + name), qPrintable(name));
        QCOMPARE(read("/formats.txt") + "|" + read("/finds.txt"), "mine|");
        QVERIFY(read("/default.htm").contains("@@") && QFileInfo(folder + "/default.htm").isWritable());
        QVERIFY(read("/css/color.txt").startsWith("Select Color..."));
        // The word list: an empty first entry, then the lines of the command list, blank ones dropped.
        QCOMPARE(app.main->commandWords().mid(0, 3), (QStringList{"", "A", "ABBR"}));
        app.env.writeFile("p/commands.txt", "A\r\n\r\n  B  \r\n   \r\nC\nD");
        QCOMPARE(ReadCommandWords(app.env.root() + "/p"), (QStringList{"", "A", "  B  ", "C", "D"}));
        QCOMPARE(ReadCommandWords(app.env.root() + "/none"), QStringList{QString()});
        app.env.writeFile("p/commands.txt", "\xEF\xBB\xBFNAV\r\nB");
        QCOMPARE(ReadCommandWords(app.env.root() + "/p"), (QStringList{"", "NAV", "B"}));
        QCOMPARE(app.main->windowTitle() + "|" + app.document(0)->windowTitle(),
                 "Quillora (3.60)|Untitled [0]");
        // Name, enabled, shortcut; the hidden item of a free own command is disabled.
        const QStringList items =
            QString("mnuNew 1 Ctrl+N|mnuSave 1 Ctrl+S|mnuTCompile 1 Ctrl+D|mnuTimeDate 1 F4|"
                    "mnuUndo 0 Ctrl+Z|mnuRedo 0 Ctrl+R|"
                    "mnuTUNIXformat 1 F12|mnuTileV 1 F7|mnuColorize 1 F2|mnuColOther 1|mnuH6 1|"
                    "mnuNewBrowser 1 Ctrl+B|mnuSettings 1 F9|mnuGoTo 1 Ctrl+G|mnuOwn20 0|mnuTPicture 1")
                .split('|');
        QStringList found;
        for (const QString& item : items) {
            const QAction* a = app.main->findChild<QAction*>(item.section(' ', 0, 0));
            QVERIFY2(a, qPrintable(item));
            found << (a->objectName() + " " + QString::number(a->isEnabled()) + " " +
                      a->shortcut().toString())
                         .trimmed();
        }
        QCOMPARE(found, items);
        QWidget* save = app.main->findChild<SkinButton*>("picSave");
        QWidget* open = app.main->findChild<SkinButton*>("picOpen");
        QVERIFY(save && open && app.main->picToolbox->isVisible() && save->isVisible());
        // Symbols, and the modeless wizards: one of each, an open one raised.
        for (const char* item : {"mnuSymbols", "mnuTTables", "mnuTForms", "mnuTBody", "mnuTLink", "mnuTLists",
                                 "mnuTFont", "mnuTTables", "mnuTFont"})
            app.document(0)->findChild<QAction*>(item)->trigger();
        QVERIFY(app.main->findChild<QDialog*>("frmSymbols") &&
                app.main->findChild<QDialog*>("frmSymbols")->isVisible());
        for (const char* wizard : {"frmTable", "frmForms", "frmBody", "frmLink", "frmList", "frmFont"})
            QCOMPARE(app.main->findChildren<QDialog*>(wizard).size(), 1);
        QList<QAction*> bar = app.main->menuBar()->actions();
        QVERIFY(bar.size() == 6 && bar[0]->menu() == app.document(0)->findChild<QMenu*>("mnuFile"));
        app.document(0)->close();
        app.flush();
        bar = app.main->menuBar()->actions();
        QVERIFY(bar.size() == 3 && bar[0]->menu() == app.main->findChild<QMenu*>("mnuFile"));
        QVERIFY(!app.main->picToolbox->isVisible() && !save->isVisible() && open->isVisible());
        NewDocument(*app.main);
        QVERIFY(app.main->picToolbox->isVisible() && save->isVisible());
        app.main->action(CommandId::About)->trigger();
        QVERIFY(app.dialogs.messages.last().text.contains("\r\nVersion: 3.60\r\nBuild: 3.0.60\r\n"));
    }

    // A missing or older help becomes the shipped one; a link in its place is not written through.
    void helpFollowsTheProgram() {
        AppFixture app;
        const QString folder = app.env.programFolder(), help = folder + "/help/index.htm";
        const QByteArray current = TestEnvironment::readFile(":/data/help/index.htm");
        const QString elsewhere = app.env.writeFile("elsewhere.htm", "mine");
        app.env.writeFile("data/Quillora/formats.txt", "mine");
        for (const QByteArray& before :
             {QByteArray(), QByteArray("<p>old help"), current, QByteArray("link")}) {
            QFile::remove(help);
            if (before == "link")
                QVERIFY(QFile::link(elsewhere, help));
            else if (!before.isNull())
                app.env.writeFile("data/Quillora/help/index.htm", before);
            SeedDataFiles(folder);
            QCOMPARE(QFileInfo(help).isSymLink(), before == "link");
            QCOMPARE(TestEnvironment::readFile(help), before == "link" ? "mine" : current);
        }
        QCOMPARE(TestEnvironment::readFile(folder + "/formats.txt"), "mine");
    }

    // Own files there but unreadable are logged, not asked about (missing ones: startWithoutFiles).
    void ownFilesThatFailAreLogged() {
        AppFixture app;
        const QString folder = app.env.programFolder();
        SeedDataFiles(folder);
        for (const char* name : {"/default.htm", "/commands.txt", "/finds.txt"})
            QFile::remove(folder + name); // finds.txt is not shipped
        QVERIFY(::mkfifo(QFile::encodeName(folder + "/default.htm").constData(), 0600) == 0);
        QVERIFY(QFile::link(app.env.writeFile("elsewhere.txt", "A"), folder + "/commands.txt"));
        QVERIFY(QDir().mkdir(folder + "/finds.txt")); // a folder in a file's place
        for (const char* logged :
             {"not read: .*default.htm", "not read: .*commands.txt.*a link", "not read: .*finds.txt"})
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(logged));
        QTest::failOnWarning(QRegularExpression("not read:"));
        app.start();
        app.main->findDialog(); // the histories are read when the dialog is made
    }

    // Files from each way in open in order into the recent files; folders open in browser windows.
    void filesOpenInOrder_data() {
        table({"route"}, {"command line; command line", "hand-over; hand-over",
                          "drop on the frame; drop on the frame", "drop on a document; drop on a document"});
    }
    void filesOpenInOrder() {
        QFETCH(QString, route);
        AppFixture app;
        const QString a = app.env.writeFile("with blank/a.htm", "a");
        const QString b = app.env.writeFile("b.htm", "b");
        const QString binary = app.env.writeFile("binary.htm", QByteArray("<p>\0</p>", 8)); // refused
        if (route == "command line") {
            app.start({a, binary, b});
            QCOMPARE(app.dialogs.messages.size(), 1);
            QCOMPARE(app.dialogs.messages[0].text,
                     binary + " contains NUL bytes: it is binary data, not text.");
            QCOMPARE(StoredRecentFiles(), (QStringList{b, binary, a}));
        } else if (route == "hand-over") {
            // A path is opened as given: blanks are part of a name, an empty entry is passed over.
            const QString blank = app.env.writeFile("b.htm ", "blank");
            app.start();
            app.main->txtDDE_Change({a, "", b, blank});
            QCOMPARE(StoredRecentFiles(), (QStringList{blank, b, a}));
            QCOMPARE(app.main->documents().current()->txtRich->text(), "blank");
            QVERIFY(app.dialogs.messages.isEmpty());
        } else {
            app.start();
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(app.env.root() + "/with blank"),
                          QUrl::fromLocalFile(b)});
            QWidget* target = route.endsWith("frame") ? static_cast<QWidget*>(app.main.get())
                                                      : app.document(0)->txtRich->viewport();
            // As the platform delivers it: the drag enters (and is accepted), then it is dropped.
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &drop);
            QCOMPARE(StoredRecentFiles(), (QStringList{b, a}));
            QVERIFY(!app.document(0)->txtRich->text().contains("a.htm")); // the names never land in the text
        }
        const int first = route == "command line" ? 0 : 1; // after the new document of a start without files
        QCOMPARE(app.document(first)->windowTitle() + "|" + app.document(first + 1)->windowTitle(),
                 a + "|" + b);
        if (route != "command line")
            return;
        // Recent files: newest first, four, in every File menu, "&" as is; a listed path (any case) stays.
        for (const QString& path : {QString("/x&y.htm"), a.toUpper(), QString("/new.htm")})
            app.main->addToRecent(path);
        QCOMPARE(StoredRecentFiles(), (QStringList{"/new.htm", "/x&y.htm", b, binary}));
        QCOMPARE(app.document(0)->recentMenu().caption(2) + "|" + app.main->recentMenu().item(2)->text(),
                 "/x&y.htm|/x&&y.htm");
        app.main->recentMenu().item(3)->trigger();
        QCOMPARE(app.document(2)->windowTitle(), b);
        // Case is ignored letter by letter: "ß" is not "SS".
        app.main->addToRecent("/straße.htm");
        app.main->addToRecent("/STRASSE.htm");
        QCOMPARE(StoredRecentFiles().mid(0, 2), (QStringList{"/STRASSE.htm", "/straße.htm"}));
    }

    // The icon in every size, on every kind of window (else a sub-window shows the toolkit's logo).
    void programIcon() {
        for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
            const QImage image(QStringLiteral(":/icons/quillora-%1.png").arg(size));
            QVERIFY2(image.size() == QSize(size, size) && image.pixelColor(size / 2, size / 2).alpha() == 255,
                     qPrintable(QString::number(size))); // drawn, not blank
        }
        const QImage drawn = QImage(":/icons/quillora-32.png").convertToFormat(QImage::Format_ARGB32);
        const auto shows = [&](const QWidget* w) {
            return w->windowIcon().pixmap(32).toImage().convertToFormat(QImage::Format_ARGB32) == drawn;
        };
        // Sizes between the pictures' are the next larger one scaled down; none is scaled up.
        const QIcon icon = ProgramIcon();
        for (const auto& [asked, given] : {std::pair{16, 16}, {20, 20}, {40, 40}, {256, 256}, {300, 256}})
            QVERIFY2(icon.pixmap(asked).size() == QSize(given, given) &&
                         icon.actualSize(QSize(asked, asked)) == QSize(given, given),
                     qPrintable(QString::number(asked)));
        const QImage disabled =
            icon.pixmap(32, QIcon::Disabled).toImage().convertToFormat(QImage::Format_ARGB32);
        QVERIFY(disabled.size() == QSize(32, 32) && disabled != drawn);
        QVERIFY(QApplication::windowIcon().isNull()); // nothing to fall back on here
        AppFixture app;
        app.start();
        QVERIFY(shows(app.main.get()) && shows(&app.main->findDialog()));
        for (const QWidget* window : QList<QWidget*>{app.document(0), app.main->OpenBrowser("")})
            QVERIFY2(window->testAttribute(Qt::WA_SetWindowIcon) && shows(window),
                     qPrintable(window->objectName()));
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
