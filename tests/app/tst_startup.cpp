#include "app/RecentFiles.h"
#include "app/SettingsIO.h"
#include "app/mdlQuillor.h"
#include "editor/mdlFile.h"
#include "platform/SettingsStore.h"
#include "support/AppFixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTest>
#include <QUrl>

// Start-up, the data files, the settings store and the recent files.
class StartupTest : public QObject {
    Q_OBJECT

    static QStringList menuBarTitles(QMainWindow& window) {
        QStringList titles;
        for (QAction* action : window.menuBar()->actions())
            titles << action->text();
        return titles;
    }

private slots:
    void emptyProgramFolderIsFilled() {
        AppFixture app;
        app.start();
        const QString folder = app.env.programFolder();
        for (const QString& name : DataFileNames())
            QVERIFY2(QFileInfo::exists(folder + name), qPrintable(name));
        QVERIFY(QFileInfo(folder + "/temp").isDir());
        QVERIFY(QFileInfo(folder + "/skins").isDir());
        // The shipped files are real; the others start empty.
        QVERIFY(TestEnvironment::readFile(folder + "/default.htm").contains("@@"));
        QVERIFY(TestEnvironment::readFile(folder + "/commands.txt").contains("TABLE"));
        QVERIFY(!TestEnvironment::readFile(folder + "/formats.txt").isEmpty());
        QCOMPARE(QFileInfo(folder + "/css.txt").size(), 0);
        QCOMPARE(QFileInfo(folder + "/skins/default.skn").size(), 0);
        QVERIFY(QFileInfo(folder + "/default.htm").isWritable());
        // The word list came from the shipped command list.
        QVERIFY(app.main->commandWords().size() > 50);
        QCOMPARE(app.main->commandWords().at(0), QString());
    }

    void ensureDataFilesCreatesEmptyAndKeepsExisting() {
        TestEnvironment env;
        const QString folder = env.root() + "/prog";
        QDir().mkpath(folder);
        env.writeFile("prog/formats.txt", "mine");
        EnsureDataFiles(folder);
        for (const QString& name : DataFileNames()) {
            const QFileInfo info(folder + name);
            QVERIFY2(info.exists(), qPrintable(name));
            if (name == "/formats.txt")
                QCOMPARE(TestEnvironment::readFile(info.filePath()), QByteArray("mine"));
            else if (!name.endsWith('/'))
                QCOMPARE(info.size(), 0);
        }
        SeedDataFiles(folder); // existing, even empty, files are not replaced
        QCOMPARE(QFileInfo(folder + "/default.htm").size(), 0);
        QCOMPARE(TestEnvironment::readFile(folder + "/formats.txt"), QByteArray("mine"));
    }

    void commandWords() {
        TestEnvironment env;
        env.writeFile("p/commands.txt", "A\r\n\r\n  B  \r\n   \r\nC\nD");
        QCOMPARE(ReadCommandWords(env.root() + "/p"), (QStringList{"", "A", "  B  ", "C", "D"}));
        QCOMPARE(ReadCommandWords(env.root() + "/none"), QStringList{QString()});
    }

    void startWithoutFilesMakesOneUntitled() {
        AppFixture app;
        app.start();
        QCOMPARE(app.main->windowTitle(), QStringLiteral("Quillora (3.60)"));
        QCOMPARE(app.main->documents().DocumentCount, 1);
        QCOMPARE(app.document(0)->windowTitle(), QStringLiteral("Untitled [0]"));
        QVERIFY(app.main->isVisible());
        // The active document's menus are in the menu bar.
        QCOMPARE(menuBarTitles(*app.main), (QStringList{"File", "Edit", "Tools", "Options", "Window", "?"}));
        app.document(0)->close();
        app.flush();
        QCOMPARE(menuBarTitles(*app.main), (QStringList{"&File", "Options", "?"}));
    }

    void startWithFilesOpensThemInOrder() {
        AppFixture app;
        const QString a = app.env.writeFile("with blank/a.htm", "a");
        const QString b = app.env.writeFile("b.htm", "b");
        const QString missing = app.env.root() + "/missing.htm";
        app.start({a, missing, b});
        QCOMPARE(app.main->documents().DocumentCount, 2);
        QCOMPARE(app.document(0)->windowTitle(), a);
        QCOMPARE(app.document(1)->windowTitle(), b);
        QCOMPARE(app.dialogs.messages.size(), 1);
        QVERIFY(app.dialogs.messages[0].text.startsWith("An error occurred when opening file: " + missing));
        // Each path was added to the recent files, the failed one too.
        QCOMPARE(StoredRecentFiles(), (QStringList{b, missing, a}));
    }

    void handOverOpensFiles() {
        AppFixture app;
        app.start();
        const QString a = app.env.writeFile("x.htm", "x");
        app.main->txtDDE_Change({a, QString(" ")});
        QCOMPARE(app.main->documents().DocumentCount, 2);
        QCOMPARE(app.document(1)->windowTitle(), a);
    }

    void droppedFilesOpenInOrder_data() {
        QTest::addColumn<bool>("onDocument");
        QTest::newRow("on the frame") << false;
        QTest::newRow("on a document") << true;
    }
    void droppedFilesOpenInOrder() {
        QFETCH(bool, onDocument);
        AppFixture app;
        app.start();
        const QString a = app.env.writeFile("drop/a.htm", "a");
        const QString b = app.env.writeFile("drop/b.htm", "b");
        QMimeData data;
        data.setUrls(
            {QUrl::fromLocalFile(a), QUrl::fromLocalFile(app.env.root() + "/drop"), QUrl::fromLocalFile(b)});
        QWidget* target = onDocument ? static_cast<QWidget*>(app.document(0)->txtRich->viewport())
                                     : static_cast<QWidget*>(app.main.get());
        // As the platform delivers it: the drag enters (and is accepted), then it is dropped.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        // The folder is left to the browser window; the files open in the order dropped.
        QCOMPARE(app.main->documents().DocumentCount, 3);
        QCOMPARE(app.document(1)->windowTitle(), a);
        QCOMPARE(app.document(2)->windowTitle(), b);
        QCOMPARE(StoredRecentFiles(), (QStringList{b, a}));
        // The dropped names never land in the text.
        QVERIFY(!app.document(0)->txtRich->text().contains("a.htm"));
    }

    void menusArePresent_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("enabled");
        for (const char* name :
             {"mnuNew", "mnuOpen", "mnuExit", "mnuTemplate", "mnuAboutQL", "mnuColTag", "mnuColOther"})
            QTest::newRow(name) << name << true;
        for (const char* name : {"mnuNewBrowser", "mnuSettings", "mnuHelp", "mnuUpdate", "mnuViewIt",
                                 "mnuComment", "mnuGoTo", "mnuFormat", "mnuSortAZ", "mnuH6", "mnuU",
                                 "mnuAcronym", "mnuJComment", "mnuOwn20", "mnuAddOwn"})
            QTest::newRow(name) << name << false;
    }
    void menusArePresent() {
        QFETCH(QString, name);
        QFETCH(bool, enabled);
        AppFixture app;
        app.start();
        QAction* action = app.main->findChild<QAction*>(name);
        QVERIFY2(action, qPrintable(name));
        QCOMPARE(action->isEnabled(), enabled);
    }

    void shortcuts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("keys");
        QTest::newRow("save") << "mnuSave"
                              << "Ctrl+S";
        QTest::newRow("compile") << "mnuTCompile"
                                 << "Ctrl+D";
        QTest::newRow("time") << "mnuTimeDate"
                              << "F4";
        QTest::newRow("unix") << "mnuTUNIXformat"
                              << "F12";
        QTest::newRow("tile") << "mnuTileV"
                              << "F7";
        QTest::newRow("colorize") << "mnuColorize"
                                  << "F2";
    }
    void shortcuts() {
        QFETCH(QString, name);
        QFETCH(QString, keys);
        AppFixture app;
        app.start();
        QAction* action = app.document(0)->findChild<QAction*>(name);
        QVERIFY(action);
        QCOMPARE(action->shortcut().toString(), keys);
    }

    void aboutBox() {
        AppFixture app;
        app.start();
        app.main->mnuAboutQL->trigger();
        QCOMPARE(app.dialogs.messages.size(), 1);
        QCOMPARE(app.dialogs.messages[0].title, QStringLiteral("About Quillora (3.60)"));
        const QStringList lines = app.dialogs.messages[0].text.split("\r\n");
        QCOMPARE(lines.at(1), QStringLiteral("Version: 3.60"));
        QCOMPARE(lines.at(2), QStringLiteral("Build: 3.0.60"));
        QCOMPARE(lines.at(3), QString());
        QCOMPARE(lines.at(4), QStringLiteral("You'll find all my programs at: "));
    }

    void settingsDefaults() {
        TestEnvironment env;
        QSettings(QStringLiteral("Quillora"), QStringLiteral("Quillora")).clear();
        const QString folder = env.root() + "/prog";
        QDir().mkpath(folder);
        const Settings s = LoadSettings(folder);
        QCOMPARE(s.TexColor, 0);
        QCOMPARE(s.TagColor, 200);
        QCOMPARE(s.ValColor, 13107200);
        QCOMPARE(s.ComColor, 25600);
        QCOMPARE(s.BGColor, 16777215);
        QVERIFY(s.UseColors);
        QCOMPARE(s.Font, QStringLiteral("MS Sans Serif"));
        QCOMPARE(s.FontSize, 8);
        QCOMPARE(s.Indent, QStringLiteral("\t"));
        QCOMPARE(s.DefaultFormat, QStringLiteral("htm"));
        QCOMPARE(s.DefaultNewLN, QStringLiteral("\r\n"));
        QCOMPARE(s.DefaultDir, folder);
        QVERIFY(s.LastDir);
        QCOMPARE(s.DoOnOpen, 0);
        QCOMPARE(s.JavaCompiler, QString());
    }

    void settingsChecks_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        QTest::newRow("UseColors 0") << "UseColors"
                                     << "0"
                                     << "UseColors"
                                     << "0";
        QTest::newRow("UseColors 1") << "UseColors"
                                     << "1"
                                     << "UseColors"
                                     << "1";
        QTest::newRow("UseColors True") << "UseColors"
                                        << "True"
                                        << "UseColors"
                                        << "1";
        QTest::newRow("UseColors junk keeps default") << "UseColors"
                                                      << "perhaps"
                                                      << "UseColors"
                                                      << "1";
        QTest::newRow("colour") << "TagColor"
                                << "255"
                                << "TagColor"
                                << "255";
        QTest::newRow("colour junk") << "TagColor"
                                     << "red"
                                     << "TagColor"
                                     << "200";
        QTest::newRow("colour out of range") << "ValColor"
                                             << "16777216"
                                             << "ValColor"
                                             << "13107200";
        QTest::newRow("DoOnOpen") << "DoOnOpen"
                                  << "5"
                                  << "DoOnOpen"
                                  << "5";
        QTest::newRow("DoOnOpen unknown code") << "DoOnOpen"
                                               << "9"
                                               << "DoOnOpen"
                                               << "0";
        QTest::newRow("deleted compiler") << "JavaCompiler"
                                          << "/no/such/javac"
                                          << "JavaCompiler"
                                          << "";
        QTest::newRow("deleted folder") << "DefaultDir"
                                        << "/no/such/folder"
                                        << "DefaultDir"
                                        << "@prog/";
        QTest::newRow("existing folder") << "DefaultDir"
                                         << "@root"
                                         << "DefaultDir"
                                         << "@root";
    }
    void settingsChecks() {
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        TestEnvironment env;
        QSettings(QStringLiteral("Quillora"), QStringLiteral("Quillora")).clear();
        const QString folder = env.root() + "/prog";
        const auto expand = [&](QString text) {
            return text.replace("@prog", folder).replace("@root", env.root());
        };
        SettingsStore::write("Settings", key, expand(stored));
        const Settings s = LoadSettings(folder);
        const QMap<QString, QString> values{
            {"UseColors", s.UseColors ? "1" : "0"},    {"TagColor", QString::number(s.TagColor)},
            {"ValColor", QString::number(s.ValColor)}, {"DoOnOpen", QString::number(s.DoOnOpen)},
            {"JavaCompiler", s.JavaCompiler},          {"DefaultDir", s.DefaultDir}};
        QCOMPARE(values.value(field), expand(expected));
    }

    void settingsRoundTrip() {
        TestEnvironment env;
        QSettings(QStringLiteral("Quillora"), QStringLiteral("Quillora")).clear();
        Settings s;
        s.TexColor = 1;
        s.UseColors = false;
        s.DefaultNewLN = "\n";
        s.Indent = "  ";
        s.FontSize = 12;
        s.DoOnOpen = 6;
        s.SkinPath = "/skins/x.skn";
        s.DefaultDir = env.root();
        SaveSettings(s);
        QCOMPARE(SettingsStore::keys("Settings").size(), 16);
        QCOMPARE(SettingsStore::read("Settings", "UseColors"), QStringLiteral("0"));
        const Settings back = LoadSettings(env.root());
        QCOMPARE(back.TexColor, 1);
        QVERIFY(!back.UseColors);
        QCOMPARE(back.DefaultNewLN, QStringLiteral("\n"));
        QCOMPARE(back.Indent, QStringLiteral("  "));
        QCOMPARE(back.FontSize, 12);
        QCOMPARE(back.DoOnOpen, 6);
        QCOMPARE(back.SkinPath, QString()); // the skin path is written, not read back at start-up
    }

    void recentFiles() {
        AppFixture app;
        app.start();
        QCOMPARE(app.main->recentMenu().item(0)->isVisible(), false); // fresh: nothing shown
        QCOMPARE(app.document(0)->recentMenu().item(0)->isVisible(), false);
        QStringList paths;
        for (int i = 1; i <= 5; ++i)
            paths << app.env.writeFile(QStringLiteral("f%1.htm").arg(i), "x");
        for (const QString& path : paths)
            app.main->addToRecent(path);
        const QStringList expected{paths[4], paths[3], paths[2], paths[1]};
        QCOMPARE(StoredRecentFiles(), expected);
        for (int i = 1; i <= 4; ++i) {
            QCOMPARE(app.main->recentMenu().caption(i), expected[i - 1]);
            QCOMPARE(app.document(0)->recentMenu().caption(i), expected[i - 1]);
        }
        // Already listed, even in other letter case: the order stays.
        app.main->addToRecent(paths[2].toUpper());
        QCOMPARE(StoredRecentFiles(), expected);
        // Reopening from the menu opens a document and keeps the order.
        app.main->recentMenu().item(3)->trigger();
        QCOMPARE(app.main->documents().DocumentCount, 2);
        QCOMPARE(app.document(1)->windowTitle(), expected[2]);
        QCOMPARE(StoredRecentFiles(), expected);
        // A window opened later shows the same list.
        frmNotepad* later = NewDocument(*app.main);
        QCOMPARE(later->recentMenu().caption(1), expected[0]);
        QVERIFY(later->recentMenu().item(4)->isVisible());
    }

    void recentMenuShowsAmpersands() {
        AppFixture app;
        app.start();
        app.main->addToRecent("/a&b.htm");
        QCOMPARE(app.main->recentMenu().item(1)->text(), QStringLiteral("/a&&b.htm"));
        QCOMPARE(app.main->recentMenu().caption(1), QStringLiteral("/a&b.htm"));
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
