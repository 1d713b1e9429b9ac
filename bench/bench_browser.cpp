// Measures the browser windows, offscreen: the time from "Open in Browser" to the page's load
// finished (the file as saved, and unsaved text from memory), and how long a live preview takes to
// show a save and a pause in typing; beside it, the time `chromium --headless --dump-dom` takes for
// the same file in the same run.
// Usage: bench_browser [large page]   (default: the Node.js API page of the nodejs-doc package)

#include "BenchFigures.h"
#include "app/frmQuillora.h"
#include "browser/frmView.h"
#include "editor/frmNotepad.h"
#include "editor/mdlFile.h"
#include "platform/RichTextControl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

namespace {
constexpr int kRuns = 3;

// Waits for the window's next finished page; false after a minute.
bool waitLoaded(frmView* view) {
    QEventLoop loop;
    bool ok = false;
    QObject::connect(view, &frmView::pageLoaded, &loop, [&](const QUrl&, bool loaded) {
        ok = loaded;
        loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    return ok;
}

// "Open in Browser" on the document until its page has loaded; the window is closed afterwards.
double openInBrowser(frmQuillora& main, frmNotepad* document) {
    QElapsedTimer timer;
    timer.start();
    document->action(CommandId::OpenInBrowser)->trigger();
    frmView* view = qobject_cast<frmView*>(main.mdiArea()->activeSubWindow());
    const bool ok = view && waitLoaded(view);
    const double ms = milliseconds(timer);
    if (view)
        view->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return ok ? ms : -1;
}

// The time chromium takes to load the file and print its document, or nothing without chromium.
std::optional<double> chromiumDumpDom(const QString& path) {
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty())
        return std::nullopt;
    QStringList arguments{"--headless", "--disable-gpu", "--dump-dom", QUrl::fromLocalFile(path).toString()};
    if (geteuid() == 0)
        arguments.prepend(QStringLiteral("--no-sandbox"));
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(chromium, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return std::nullopt;
    return milliseconds(timer);
}

struct Figures {
    std::vector<double> saved, unsaved, chromium;
};

void printRow(const char* label, const std::vector<double>& values) {
    std::printf("  %-46s first %7.0f ms, median %7.0f ms, worst %7.0f ms\n", label,
                values.empty() ? 0 : values[0], median(values), worst(values));
}

Figures measurePage(frmQuillora& main, const QString& path) {
    Figures figures;
    frmNotepad* document = OpenDocument(main, path);
    if (!document)
        return figures;
    for (int run = 0; run < kRuns; ++run) {
        figures.saved.push_back(openInBrowser(main, document));
        if (const std::optional<double> chromium = chromiumDumpDom(path))
            figures.chromium.push_back(*chromium);
    }
    // Unsaved changes: the text is served from memory.
    document->txtRich->setSelStart(0);
    document->txtRich->setSelText(QStringLiteral(" "));
    for (int run = 0; run < kRuns; ++run)
        figures.unsaved.push_back(openInBrowser(main, document));
    main.documents().DocumentSlots[document->slot()].Modified = false;
    document->close();
    return figures;
}

// A live preview of a small page: from Ctrl+S to the page shown again, and from the last keystroke
// to the page showing the typed text.
void measureLivePreview(frmQuillora& main, const QString& path) {
    frmNotepad* document = OpenDocument(main, path);
    document->action(CommandId::OpenInBrowser)->trigger();
    auto* view = qobject_cast<frmView*>(main.mdiArea()->activeSubWindow());
    if (!view || !waitLoaded(view))
        return;
    std::vector<double> saves, typing;
    for (int run = 0; run < kRuns * 3; ++run) {
        document->txtRich->setSelStart(document->txtRich->textLength());
        document->txtRich->setSelText(QStringLiteral("<p>typed %1</p>").arg(run));
        QElapsedTimer timer;
        timer.start();
        if (waitLoaded(view))
            typing.push_back(milliseconds(timer));
        timer.restart();
        SaveCommand(main, document->slot());
        if (waitLoaded(view))
            saves.push_back(milliseconds(timer));
    }
    std::printf("live preview of %s:\n", qPrintable(QFileInfo(path).fileName()));
    printRow("save to page shown again", saves);
    printRow("last keystroke to page showing it", typing);
    std::printf("  (typing waits %d ms for the pause; target: under 500 ms from the last keystroke: %s)\n",
                frmView::kFollowDelayMs, median(typing) < 500 ? "met" : "MISSED");
    view->close();
    main.documents().DocumentSlots[document->slot()].Modified = false;
    document->close();
}
} // namespace

int main(int argc, char* argv[]) {
    prepareBrowserEngine();
    const BenchHome home;
    QApplication app(argc, argv);

    const QString large =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/usr/share/doc/nodejs/api/all.html");
    const QString small = home.path() + "/small.htm";
    QFile file(small);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write("<!DOCTYPE html>\n<html><head><title>Small</title></head>\n<body><h1>Small page</h1>\n"
                   "<p>A paragraph with <a href=\"other.htm\">a link</a>.</p>\n</body></html>\n") < 0)
        return 1;
    file.close();

    frmQuillora main(home.path() + "/program");
    main.startUp({}, false);
    main.mutableSettings().UseColors = false;
    main.resize(1280, 800);
    main.show();

    const bool haveChromium = !QStandardPaths::findExecutable(QStringLiteral("chromium")).isEmpty();
    for (const QString& path : {small, large}) {
        if (!QFile::exists(path)) {
            std::printf("%s: missing (install nodejs-doc, or give a page)\n", qPrintable(path));
            continue;
        }
        std::printf("%s (%.1f MB), %d runs:\n", qPrintable(path), QFile(path).size() / 1e6, kRuns);
        const Figures figures = measurePage(main, path);
        printRow("Open in Browser to load finished (saved file)", figures.saved);
        printRow("... with unsaved changes (from memory)", figures.unsaved);
        if (haveChromium)
            printRow("chromium --headless --dump-dom (whole run)", figures.chromium);
        else
            std::printf("  chromium --headless --dump-dom: chromium is not installed\n");
    }
    measureLivePreview(main, small);
    std::printf("peak memory of this process: %.0f MB\n", peakMemoryKiB() / 1024.0);
    return 0;
}
