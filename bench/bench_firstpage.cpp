// What the first page costs now that the browser engine is a module loaded on first use.
//
//   bench_firstpage [PAGE.html]
//
// This program is linked as Quillora is (the lower layers exported, the browser layer not linked),
// so it loads the module file beside the program in the build, as the program does. Each run is a
// process of its own, offscreen, with a private home: the main window is started idle, then a
// browser window is asked for the page (by default a small page written for the run), twice.
// Printed for each of 5 runs and as medians:
// - the module's load: from the first request to the module ready (its file and the engine's
//   libraries mapped, its services started), with the resident memory before and after;
// - the first browser window: from the request to the page's title shown, the engine started on the
//   way; and a second window with the same page, the engine running;
// - the first window's extra time: the load and the first window over the second window.
// Figures only: the exit status is non-zero only when the module cannot be loaded or a page never
// shows.

#include "BenchFigures.h"
#include "app/frmQuillora.h"
#include "editor/BrowserWindow.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kRuns = 5;
constexpr int kShowTimeoutMs = 60000;
const char* const kPage = "<title>First</title><body style='background:#00c000'><h1>A page</h1><p>Text.</p>";

// Milliseconds from now until the window's title says the page is shown; negative when it never does.
double showPage(frmQuillora& main, const QString& page, const QString& title) {
    QElapsedTimer clock;
    clock.start();
    BrowserWindow* view = main.OpenBrowser(page);
    if (!view)
        return -1;
    while (view->windowTitle() != title) {
        if (clock.elapsed() > kShowTimeoutMs)
            return -1;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return milliseconds(clock);
}

// One run: prints "load <ms> first <ms> second <ms> before <MiB> after <MiB>".
int measureOnce(int argc, char** argv, const QString& givenPage) {
    BenchHome home;
    prepareBrowserEngine();
    // The module is taken from beside the program in the build, as the program takes it.
    qputenv("QUILLORA_MODULE_DIR",
            QDir::cleanPath(QFileInfo(QString::fromLocal8Bit(argv[0])).absolutePath() + QStringLiteral("/.."))
                .toLocal8Bit());
    QApplication app(argc, argv);
    QString page = givenPage;
    QString title = QStringLiteral("QL Viewer - First");
    if (page.isEmpty()) {
        page = home.path() + QStringLiteral("/first.htm");
        QFile file(page);
        if (!file.open(QIODevice::WriteOnly) || file.write(kPage) < 0)
            return 1;
    }
    frmQuillora main(home.path() + QStringLiteral("/program"));
    main.startUp({}, true);
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const double before = rssMiB();
    QElapsedTimer clock;
    clock.start();
    if (!main.browserModule())
        return 1;
    const double load = milliseconds(clock);
    const double after = rssMiB();
    const double first = showPage(main, page, title);
    const double second = showPage(main, page, title);
    if (first < 0 || second < 0)
        return 1;
    std::printf("load %.1f first %.1f second %.1f before %.1f after %.1f\n", load, first, second, before,
                after);
    return 0;
}

void printFigure(const char* what, const std::vector<double>& values, const char* unit) {
    std::printf("  %-50s median %8.1f  max %8.1f %s\n", what, median(values), worst(values), unit);
}

} // namespace

int main(int argc, char** argv) {
    bool once = false;
    const QStringList arguments = benchArguments(argc, argv, once);
    if (arguments.size() > 1) {
        std::fprintf(stderr, "usage: bench_firstpage [PAGE.html]\n");
        return 2;
    }
    const QString page = arguments.isEmpty() ? QString() : QFileInfo(arguments.front()).absoluteFilePath();
    if (once)
        return measureOnce(argc, argv, page);
    QCoreApplication app(argc, argv);
    std::vector<double> loads, firsts, seconds, extras, grown;
    int status = 0;
    std::printf("the first page with the browser module loaded on first use, offscreen, %d runs\n", kRuns);
    for (int run = 1; run <= kRuns; ++run) {
        QProcess child;
        child.setProcessChannelMode(QProcess::SeparateChannels);
        QStringList childArguments{QString::fromLatin1(kOnceArgument)};
        if (!page.isEmpty())
            childArguments << page;
        child.start(QCoreApplication::applicationFilePath(), childArguments);
        double load = 0, first = 0, second = 0, before = 0, after = 0;
        if (!child.waitForFinished(-1) || child.exitCode() != 0 ||
            std::sscanf(child.readAllStandardOutput().constData(),
                        "load %lf first %lf second %lf before %lf after %lf", &load, &first, &second, &before,
                        &after) != 5) {
            std::printf("  run %d failed\n", run);
            status = 1;
            continue;
        }
        std::printf(
            "  run %d: module loaded in %.1f ms (%.1f -> %.1f MiB), first window %.1f ms, second %.1f ms\n",
            run, load, before, after, first, second);
        loads.push_back(load);
        firsts.push_back(first);
        seconds.push_back(second);
        extras.push_back(load + first - second);
        grown.push_back(after - before);
    }
    if (!loads.empty()) {
        printFigure("module load", loads, "ms");
        printFigure("memory the module's load adds", grown, "MiB");
        printFigure("first browser window, page shown", firsts, "ms");
        printFigure("second browser window, page shown", seconds, "ms");
        printFigure("first window's extra time (load + first - second)", extras, "ms");
    }
    return status;
}
