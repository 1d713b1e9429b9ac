#include "app/RecentFiles.h"
#include "app/SettingsIO.h"
#include "app/SkinButton.h"
#include "app/mdlQuillor.h"
#include "browser/frmView.h"
#include "editor/frmFind.h"
#include "editor/mdlFile.h"
#include "platform/SettingsStore.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"

#include <QApplication>
#include <QDialog>
#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QTest>
#include <QToolBar>
#include <QUrl>
#include <sys/stat.h>
#include <tuple>

// A settings key, the value stored for it, and the value saved after loading.
using Setting = std::tuple<QString, QString, QString>;

// Start-up, the data files, the settings store and the recent files.
class StartupTest : public QObject {
    Q_OBJECT

private slots:
    // Data files seeded, missing ones created empty, existing ones untouched; one untitled document
    // with its menus and the toolbox; when the last one closes, the frame's own menus and no toolbox.
    void startWithoutFiles() {
        AppFixture app;
        const QString folder = app.env.programFolder();
        app.env.writeFile("data/Quillora/formats.txt", "mine");
        app.start();
        for (const QString& name : DataFileNames())
            QVERIFY2(QFileInfo::exists(folder + name), qPrintable(name));
        QCOMPARE(TestEnvironment::readFile(folder + "/formats.txt"), "mine");
        QVERIFY(TestEnvironment::readFile(folder + "/default.htm").contains("@@"));
        QVERIFY(QFileInfo(folder + "/default.htm").isWritable());
        QCOMPARE(QFileInfo(folder + "/finds.txt").size(), 0);
        QVERIFY(TestEnvironment::readFile(folder + "/css/color.txt").startsWith("Select Color..."));
        // The word list: an empty first entry, then the lines of the shipped command list.
        QCOMPARE(app.main->commandWords().mid(0, 3), (QStringList{"", "A", "ABBR"}));
        app.env.writeFile("p/commands.txt", "A\r\n\r\n  B  \r\n   \r\nC\nD");
        QCOMPARE(ReadCommandWords(app.env.root() + "/p"), (QStringList{"", "A", "  B  ", "C", "D"}));
        QCOMPARE(ReadCommandWords(app.env.root() + "/none"), QStringList{QString()});
        QCOMPARE(app.main->windowTitle(), "Quillora (3.60)");
        QCOMPARE(app.document(0)->windowTitle(), "Untitled [0]");
        // Name, enabled, shortcut. Items whose dialogs come later are present and disabled, and so are
        // the hidden items of free own commands.
        for (const QString item : {"mnuNew 1 Ctrl+N",  "mnuSave 1 Ctrl+S",     "mnuTCompile 1 Ctrl+D",
                                   "mnuTimeDate 1 F4", "mnuTUNIXformat 1 F12", "mnuTileV 1 F7",
                                   "mnuColorize 1 F2", "mnuColOther 1",        "mnuNewBrowser 1 Ctrl+B",
                                   "mnuSettings 1 F9", "mnuGoTo 1 Ctrl+G",     "mnuH6 1",
                                   "mnuOwn20 0",       "mnuAddOwn 1",          "mnuLink 1",
                                   "mnuTTables 1",     "mnuTLists 1",          "mnuTFrames 1",
                                   "mnuTCSS 1",        "mnuTIsMap 1",          "mnuSelectColor 1",
                                   "mnuTPicture 1",    "mnuSymbols 1"}) {
            const QAction* action = app.main->findChild<QAction*>(item.section(' ', 0, 0));
            QVERIFY2(action, qPrintable(item));
            const QString found = action->objectName() + " " + QString::number(action->isEnabled());
            QCOMPARE((found + " " + action->shortcut().toString()).trimmed(), item);
        }
        QWidget* save = app.main->findChild<SkinButton*>("picSave");
        QWidget* open = app.main->findChild<SkinButton*>("picOpen");
        QVERIFY(save && open && app.main->picToolbox->isVisible() && save->isVisible());
        app.document(0)->findChild<QAction*>("mnuSymbols")->trigger();
        QVERIFY(app.main->findChild<QDialog*>("frmSymbols") &&
                app.main->findChild<QDialog*>("frmSymbols")->isVisible());
        // The modeless wizards: one of each, an open one raised.
        for (const char* item : {"mnuTTables", "mnuTForms", "mnuTBody", "mnuTLink", "mnuTLists", "mnuTFont",
                                 "mnuTTables", "mnuTFont"})
            app.document(0)->findChild<QAction*>(item)->trigger();
        for (const char* wizard : {"frmTable", "frmForms", "frmBody", "frmLink", "frmList", "frmFont"})
            QCOMPARE(app.main->findChildren<QDialog*>(wizard).size(), 1);
        QList<QAction*> bar = app.main->menuBar()->actions();
        QVERIFY(bar.size() == 6 &&
                bar[0]->menu() == app.document(0)->findChild<QMenu*>(QStringLiteral("mnuFile")));
        app.document(0)->close();
        app.flush();
        bar = app.main->menuBar()->actions();
        QVERIFY(bar.size() == 3 && bar[0]->menu() == app.main->findChild<QMenu*>(QStringLiteral("mnuFile")));
        QVERIFY(!app.main->picToolbox->isVisible() && !save->isVisible() && open->isVisible());
        NewDocument(*app.main);
        QVERIFY(app.main->picToolbox->isVisible() && save->isVisible());
        app.main->action(CommandId::About)->trigger();
        QVERIFY(app.dialogs.messages.last().text.contains("\r\nVersion: 3.60\r\nBuild: 3.0.60\r\n"));
    }

    // The help is the program's own: a missing or older copy becomes the shipped one at start-up; a
    // link in its place is left as it is and not written through. The user's files stay as they are.
    void helpFollowsTheProgram_data() {
        table({"before"}, {"missing; ", "older; <p>old help", "the same; shipped", "a link; link"});
    }
    void helpFollowsTheProgram() {
        QFETCH(QString, before);
        AppFixture app;
        const QString folder = app.env.programFolder();
        const QString help = folder + "/help/index.htm";
        QFile shipped(":/data/help/index.htm");
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        const QByteArray current = shipped.readAll();
        const QString elsewhere = app.env.writeFile("elsewhere.htm", "mine");
        app.env.writeFile("data/Quillora/formats.txt", "mine");
        if (before == "link") {
            QVERIFY(QDir().mkpath(folder + "/help") && QFile::link(elsewhere, help));
        } else if (!before.isEmpty()) {
            app.env.writeFile("data/Quillora/help/index.htm",
                              before == "shipped" ? current : before.toUtf8());
        }
        SeedDataFiles(folder);
        QCOMPARE(TestEnvironment::readFile(folder + "/formats.txt"), "mine");
        QCOMPARE(TestEnvironment::readFile(elsewhere), "mine");
        QCOMPARE(QFileInfo(help).isSymLink(), before == "link");
        if (before != "link")
            QCOMPARE(TestEnvironment::readFile(help), current);
    }

    // The program's own files that are there but cannot be read, or cannot be made, are told in the
    // program's log (the user is not asked about them); missing ones, as good as empty, are not.
    void ownFilesThatFailAreLogged_data() {
        table({"file", "how", "logged"},
              {"template is a pipe; default.htm; pipe; not read: .*default.htm",
               "command list is a link; commands.txt; link; not read: .*commands.txt.*a link",
               "history folder in a file's place; finds.txt; folder; not read: .*finds.txt",
               "template missing: made again; default.htm; missing; "});
    }
    void ownFilesThatFailAreLogged() {
        QFETCH(QString, file);
        QFETCH(QString, how);
        QFETCH(QString, logged);
        AppFixture app;
        const QString path = app.env.programFolder() + "/" + file;
        SeedDataFiles(app.env.programFolder());
        QFile::remove(path);
        QVERIFY(!QFileInfo::exists(path));
        if (how == "pipe")
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        else if (how == "link")
            QVERIFY(QFile::link(app.env.writeFile("elsewhere.txt", "A"), path));
        else if (how == "folder")
            QVERIFY(QDir().mkdir(path));
        if (!logged.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(logged));
        QTest::failOnWarning(QRegularExpression("not read:"));
        app.start();
        if (file == "finds.txt")
            app.main->findDialog(); // the histories are read when the dialog is made
    }

    // Files from the command line, a second start or a drop open in order and go to the recent
    // files; a file that cannot be opened is reported; blanks are passed over, and folders open in
    // browser windows instead.
    void filesOpenInOrder_data() {
        QTest::addColumn<QString>("route");
        for (const char* route : {"command line", "hand-over", "drop on the frame", "drop on a document"})
            QTest::newRow(route) << route;
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
            QWidget* target = route == "drop on the frame" ? static_cast<QWidget*>(app.main.get())
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
        QCOMPARE(app.document(first)->windowTitle(), a);
        QCOMPARE(app.document(first + 1)->windowTitle(), b);
        if (route != "command line")
            return;
        // Recent files: newest first, four, in every File menu, "&" as is; a listed path (any case) stays.
        app.main->addToRecent("/x&y.htm");
        app.main->addToRecent(a.toUpper());
        app.main->addToRecent("/new.htm");
        QCOMPARE(StoredRecentFiles(), (QStringList{"/new.htm", "/x&y.htm", b, binary}));
        QCOMPARE(app.document(0)->recentMenu().caption(2), "/x&y.htm");
        QCOMPARE(app.main->recentMenu().item(2)->text(), "/x&&y.htm");
        app.main->recentMenu().item(3)->trigger();
        QCOMPARE(app.document(2)->windowTitle(), b);
        // Case is ignored letter by letter: "ß" is not "SS".
        app.main->addToRecent("/straße.htm");
        app.main->addToRecent("/STRASSE.htm");
        QCOMPARE(StoredRecentFiles().mid(0, 2), (QStringList{"/STRASSE.htm", "/straße.htm"}));
    }

    // One value stored, loaded and saved again: bad values keep the default, a compiler or folder
    // that no longer exists is replaced.
    void settings_data() {
        QTest::addColumn<Setting>("row");
        QTest::newRow("defaults, every key")
            << Setting{"", "",
                       "BGColor=16777215|CheckAccessibility=0|CheckHtml5=0|ComColor=25600|DefaultDir=@prog|"
                       "DefaultFormat=htm|DefaultNewLN=\r\n|"
                       "DoOnOpen=0|Font=MS Sans Serif|FontSize=8|Indent=\t|JavaCompiler=|LastDir=1|SkinPath=|"
                       "TagColor=200|TexColor=0|UseColors=1|ValColor=13107200"};
        QTest::newRow("UseColors 0") << Setting{"UseColors", "0", "0"};
        QTest::newRow("UseColors FALSE") << Setting{"UseColors", "FALSE", "0"};
        QTest::newRow("UseColors True") << Setting{"UseColors", "True", "1"};
        QTest::newRow("UseColors junk keeps default") << Setting{"UseColors", "perhaps", "1"};
        QTest::newRow("colour junk") << Setting{"TagColor", "red", "200"};
        QTest::newRow("colour out of range") << Setting{"ValColor", "16777216", "13107200"};
        QTest::newRow("DoOnOpen unknown code") << Setting{"DoOnOpen", "9", "0"};
        QTest::newRow("existing compiler")
            << Setting{"JavaCompiler", "@prog/commands.txt", "@prog/commands.txt"};
        QTest::newRow("deleted compiler") << Setting{"JavaCompiler", "/no/such/javac", ""};
        QTest::newRow("deleted folder") << Setting{"DefaultDir", "/no/such/folder", "@prog/"};
        QTest::newRow("skin path read back, even of a missing file")
            << Setting{"SkinPath", "/skins/x.skn", "/skins/x.skn"};
    }
    void settings() {
        QFETCH(Setting, row);
        const auto& [key, stored, expected] = row;
        AppFixture app; // clears the store
        const QString folder = app.env.programFolder();
        SeedDataFiles(folder);
        const auto expand = [&](QString text) { return text.replace("@prog", folder); };
        if (!key.isEmpty())
            SettingsStore::write("Settings", key, expand(stored));
        SaveSettings(LoadSettings(folder));
        QStringList values;
        for (const QString& name : SettingsStore::keys("Settings"))
            values << name + "=" + SettingsStore::read("Settings", name);
        QCOMPARE(key.isEmpty() ? values.join('|') : SettingsStore::read("Settings", key), expand(expected));
    }

    // The rendered icon in every size, on the main window, a dialog, and document and browser windows.
    // A window inside the main window needs its own: otherwise its title bar shows the toolkit's logo.
    void programIcon() {
        for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
            const QImage image(QStringLiteral(":/icons/quillora-%1.png").arg(size));
            QCOMPARE(image.size(), QSize(size, size));
            QCOMPARE(image.pixelColor(size / 2, size / 2).alpha(), 255); // drawn, not blank
        }
        const QImage drawn = QImage(":/icons/quillora-32.png").convertToFormat(QImage::Format_ARGB32);
        const auto shows = [&](const QWidget* w) {
            return w->windowIcon().pixmap(32).toImage().convertToFormat(QImage::Format_ARGB32) == drawn;
        };
        QVERIFY(QApplication::windowIcon().isNull()); // nothing to fall back on here
        AppFixture app;
        app.start();
        QVERIFY(shows(app.main.get()) && shows(&app.main->findDialog()));
        for (const QWidget* window :
             {static_cast<QWidget*>(app.document(0)), static_cast<QWidget*>(app.main->OpenBrowser(""))})
            QVERIFY2(window->testAttribute(Qt::WA_SetWindowIcon) && shows(window),
                     qPrintable(window->objectName()));
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
