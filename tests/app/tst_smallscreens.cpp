#include "app/SkinButton.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/EveryDialog.h"

#include <QtTest>
#include <QtWidgets>

namespace {
// The screens tried: a small laptop's, and one of twice the density whose room is 700 x 450
// pixels; "desktop" takes the display as it is (a small virtual X server under a window manager,
// say, whose title bars are real).
struct ScreenSetup {
    const char* name;
    int width, height, dpi;
    QSize room;
};
const ScreenSetup kScreens[] = {
    {"small", 1366, 768, 96, {1366, 768}}, {"dense", 1400, 900, 192, {700, 450}}, {"desktop", 0, 0, 0, {}}};

QRect onWindow(const QWidget* widget) {
    return QRect(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
}
} // namespace

// Dialogs and the strips of picture buttons on small screens and on screens of high density.
class SmallScreensTest : public QObject {
    Q_OBJECT
    const ScreenSetup& m_screen;

public:
    explicit SmallScreensTest(const ScreenSetup& screen) : m_screen(screen) {}

private slots:
    void initTestCase() {
        if (m_screen.room.isValid())
            QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry().size(), m_screen.room);
    }

    // Each dialog is within the screen's room with its closing buttons in view, outside any
    // scrolling, and nothing squeezed below its smallest size: what does not fit scrolls.
    void dialogsFitTheScreen_data() {
        QTest::addColumn<QString>("item");
        for (const DialogItem& dialog : kDialogItems)
            QTest::newRow(dialog.dialog) << dialog.item;
    }
    void dialogsFitTheScreen() {
        AppFixture app;
        app.start();
        app.document(0)->txtRich->setText("<P>some words</P>");
        app.document(0)->txtRich->select(3, 4); // Format works on a selection
        const QRect room = app.main->screen()->availableGeometry();
        QStringList faults;
        const QString shown = WithDialog(app, cell("item"), [&](QDialog& dialog) {
            QTRY_VERIFY(dialog.windowHandle() && dialog.windowHandle()->isExposed());
            if (!room.contains(dialog.frameGeometry()))
                faults << "beyond the screen";
            const auto* scroll = dialog.findChild<QScrollArea*>("scrContents");
            for (const char* name : {"cmdOK", "cmdCancel", "cmdClose"})
                if (const auto* button = dialog.findChild<QPushButton*>(name);
                    button && button->isVisible() &&
                    (!dialog.rect().contains(onWindow(button)) || (scroll && scroll->isAncestorOf(button))))
                    faults << QString(name) + " out of view";
            const QWidget* body = scroll ? scroll->widget() : &dialog;
            if (body->width() < body->minimumSizeHint().width() ||
                body->height() < body->minimumSizeHint().height())
                faults << "squeezed";
        });
        QCOMPARE(shown, QString(QTest::currentDataTag()));
        QCOMPARE(faults.join(", "), QString());
    }

    // Maximised or narrow, every picture button is inside the window and its strip, none over
    // another; the toolbox takes more rows only when one row does not fit.
    void stripsShowEveryButton_data() {
        QTest::addColumn<int>("width");
        QTest::newRow("maximised") << 0;
        QTest::newRow("half the screen") << QGuiApplication::primaryScreen()->availableGeometry().width() / 2;
    }
    void stripsShowEveryButton() {
        QFETCH(int, width);
        AppFixture app;
        frmQuillora& main = app.start();
        if (width > 0) {
            main.showNormal();
            QTRY_VERIFY(!main.isMaximized()); // a window manager restores the window first
            main.resize(width, main.screen()->availableGeometry().height() / 2);
            QTRY_COMPARE(main.width(), std::max(width, main.minimumSizeHint().width()));
        } else {
            main.showMaximized();
            QTRY_COMPARE(main.frameGeometry().width(), main.screen()->availableGeometry().width());
        }
        QTest::qWait(50); // the strips take the rows they need
        QList<QWidget*> buttons(main.skinButtons().begin(), main.skinButtons().end());
        buttons << main.findChild<QToolButton*>("picPreviewBeside");
        QList<QRect> taken;
        QSet<int> toolboxRows;
        for (const QWidget* button : std::as_const(buttons)) {
            if (!button->isVisibleTo(&main))
                continue;
            const QRect at = onWindow(button);
            QVERIFY2(main.rect().contains(at) &&
                         button->parentWidget()->rect().contains(button->geometry()) &&
                         std::none_of(taken.begin(), taken.end(),
                                      [&](const QRect& other) { return other.intersects(at); }),
                     qPrintable(button->objectName()));
            taken << at;
            if (main.picToolbox->isAncestorOf(button))
                toolboxRows << at.y();
        }
        QCOMPARE(taken.size(), buttons.size() - 1); // all but picGradient, which has no face
        const int oneRow = main.picToolbar->sizeHint().width() + main.picToolbox->sizeHint().width();
        QCOMPARE(toolboxRows.size() == 1, main.width() >= oneRow);
    }
};

// The platform reads its screen as the application starts: run alone, the program runs itself once
// per screen, each run with the screen chosen by QUILLORA_TEST_SCREEN.
int main(int argc, char** argv) {
    const QByteArray chosen = qgetenv("QUILLORA_TEST_SCREEN");
    if (chosen.isEmpty()) {
        QCoreApplication app(argc, argv);
        int failed = 0;
        for (const ScreenSetup& screen : kScreens) {
            if (!screen.room.isValid())
                continue;
            QProcess run;
            run.setProcessChannelMode(QProcess::ForwardedChannels);
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("QUILLORA_TEST_SCREEN", screen.name);
            run.setProcessEnvironment(environment);
            run.start(QCoreApplication::applicationFilePath(), app.arguments().mid(1));
            failed +=
                !run.waitForFinished(-1) || run.exitStatus() != QProcess::NormalExit || run.exitCode() != 0;
        }
        return failed;
    }
    const auto screen = std::find_if(std::begin(kScreens), std::end(kScreens),
                                     [&](const ScreenSetup& setup) { return chosen == setup.name; });
    if (screen == std::end(kScreens))
        qFatal("no screen named %s", chosen.constData());
    QTemporaryDir folder;
    QFile config(folder.filePath("screen.json"));
    if (screen->room.isValid()) {
        if (!config.open(QIODevice::WriteOnly))
            qFatal("cannot write the screen's configuration");
        config.write(QString(R"({"screens": [{"name": "%1", "x": 0, "y": 0, "width": %2, "height": %3,
                                  "logicalDpi": %4, "dpr": 1}]})")
                         .arg(screen->name)
                         .arg(screen->width)
                         .arg(screen->height)
                         .arg(screen->dpi)
                         .toUtf8());
        config.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
    }
    QApplication app(argc, argv);
    SmallScreensTest test(*screen);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_smallscreens.moc"
