#include "app/frmQuillora.h"
#include "editor/BrowserWindow.h"
#include "editor/frmNotepad.h"
#include "platform/RichTextControl.h"
#include "support/AppFixture.h"
#include "support/Keys.h"
#include "support/MappedLibraries.h"

#include <QtTest>
#include <QtWidgets>

// The browser engine as a module of its own: nothing of it is mapped until a page is to be shown,
// the program edits without it, and it loads and shows pages on first use. This program is linked
// as Quillora is (the lower layers exported, the browser layer left out), so it loads the same
// module file the program does.
class BrowserModuleTest : public QObject {
    Q_OBJECT

    // Ctrl+Shift+W in the text of the document in front: its preview beside the text.
    static void togglePreview(AppFixture& app, frmNotepad* window) {
        app.main->mdiArea()->setActiveSubWindow(window);
        sendKey(window->txtRich, Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier);
    }

    // The share of the widget's pixels in the page's green.
    static double greenShare(QWidget* widget) {
        const QImage image = widget->grab().toImage();
        qsizetype green = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                green += QColor(image.pixel(x, y)) == QColor(0, 0xc0, 0);
        return double(green) / std::max(qsizetype(1), qsizetype(image.width()) * image.height());
    }

private slots:
    // The real program, started with a page and left idle, maps no engine and no checker.
    void idleProgramMapsNoEngine() {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QString page = home.filePath("page.htm");
        QFile file(page);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("<p>text</p>") > 0);
        file.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name :
             {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
            environment.insert(name, home.path());
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(qEnvironmentVariable("QUILLORA_BINARY"), {page});
        QVERIFY(program.waitForStarted());
        const QString pid = QString::number(program.processId());
        // Left long enough to show its window and open the page.
        QTest::qWait(3000);
        QCOMPARE(program.state(), QProcess::Running);
        const QSet<QString> mapped = MappedLibraries(pid);
        program.kill();
        program.waitForFinished();
        QVERIFY(QStringList(mapped.values()).join(" ").contains("libQt6Widgets.so"));
        QCOMPARE(HeavyLibraries(mapped), QStringList());
    }

    // Without a module it can load the program opens, edits and saves; each browser command says
    // what is missing or unreadable, naming the file, and nothing of the engine is mapped.
    void editsWithoutTheModule_data() {
        QTest::addColumn<QByteArray>("module");
        QTest::newRow("absent") << QByteArray();
        QTest::newRow("damaged") << QByteArray("\x7f"
                                               "ELF not really");
    }
    void editsWithoutTheModule() {
        QFETCH(QByteArray, module);
        QTemporaryDir folder;
        if (!module.isEmpty()) {
            QFile damaged(folder.filePath("quillora-browser.so"));
            QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write(module) == module.size());
        }
        qputenv("QUILLORA_MODULE_DIR", folder.path().toUtf8());
        AppFixture app;
        app.start();
        QVERIFY(shownActive(app.main.get()));
        frmNotepad* window = app.document(0);
        typeText(window->txtRich, "<p>kept</p>");
        togglePreview(app, window);
        QCOMPARE(app.dialogs.messages.size(), 1);
        const QString said = app.dialogs.messages.last().text;
        QVERIFY2(said.contains(folder.path() + (module.isEmpty() ? "" : "/quillora-browser.so")) &&
                     said.contains("quillora-browser.so"),
                 qPrintable(said));
        QVERIFY(!window->previewPane());
        QVERIFY(!app.main->OpenBrowser(QString()));
        QCOMPARE(app.dialogs.messages.size(), 2);
        QCOMPARE(app.main->browsers().Browsers[0], nullptr);
        QVERIFY(app.main->browsers().BrowserSlotFree[0]);
        typeText(window->txtRich, "!");
        QVERIFY(window->txtRich->text().contains("<p>kept</p>!\r\n"));
        const QString saved = app.env.root() + "/kept.htm";
        app.dialogs.savePaths.enqueue(saved);
        sendKey(window->txtRich, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(TestEnvironment::readFile(saved).contains("<p>kept</p>!\r\n"));
        QCOMPARE(HeavyLibraries(MappedLibraries()), QStringList());
        qunsetenv("QUILLORA_MODULE_DIR");
    }

    // The module loads when the first page is asked for: a browser window shows a page, and the
    // preview beside a document shows its text.
    void loadsOnFirstUse() {
        qputenv("QUILLORA_MODULE_DIR", QUILLORA_BUILD_FOLDER);
        AppFixture app;
        app.start();
        QVERIFY(shownActive(app.main.get()));
        QVERIFY(!app.main->loadedBrowserModule());
        QCOMPARE(HeavyLibraries(MappedLibraries()), QStringList());
        const QString page =
            app.env.writeFile("shown.htm", "<title>Shown</title><body style='background:#00c000'>a page");
        BrowserWindow* view = app.main->OpenBrowser(page);
        QVERIFY(view);
        QVERIFY(app.main->loadedBrowserModule());
        QTRY_COMPARE_WITH_TIMEOUT(view->windowTitle(), "QL Viewer - Shown", 30000);
        // Drawn, not only loaded: the page's area is its background's colour.
        QWidget* pageArea = view->findChild<QWidget*>("WebBrowser");
        QVERIFY(pageArea);
        QTRY_VERIFY_WITH_TIMEOUT(greenShare(pageArea) > 0.9, 15000);
        QVERIFY(HeavyLibraries(MappedLibraries()).join(" ").contains("libQt6WebEngineCore.so"));
        // The same module serves the next request: the preview beside a document.
        frmNotepad* window = app.document(0);
        typeText(window->txtRich, "<title>Typed</title>");
        togglePreview(app, window);
        QVERIFY(window->previewPane() && window->previewPane()->isVisible());
        QVERIFY(app.dialogs.messages.isEmpty());
        qunsetenv("QUILLORA_MODULE_DIR");
    }
};

QTEST_MAIN(BrowserModuleTest)
#include "tst_browsermodule.moc"
