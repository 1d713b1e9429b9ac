// What Check Links costs on a real site, and whether the interface stays responsive meanwhile.
//
//   bench_checklinks [FOLDER]
//
// The folder (by default the Node.js API documentation Debian ships: some hundred pages, one of
// them of several MB, with thousands of fragment links) is checked as the editor checks it, on the
// check's own thread (LinkCheckJob), twice in a row: the first run reads the files as the system's
// cache has them, the second finds them cached. The main thread runs its event loop with a 5 ms
// timer meanwhile. Printed per run: the time until the results arrive and the longest gap between
// two timer ticks (the interface never blocks longer than 50 ms); then the pages, the problems by
// kind and the peak memory.
// Figures only: the exit status is non-zero only when the folder cannot be checked.

#include "BenchFigures.h"
#include "editor/LinkCheck.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>

namespace {

const char* const kDefaultFolder = "/usr/share/doc/nodejs/api";
constexpr int kTickMs = 5;
constexpr double kLongestGapTargetMs = 50;

struct Run {
    double ms = 0;
    double longestGapMs = 0;
    LinkReport report;
};

Run checkOnce(const QString& folder) {
    Run run;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(kTickMs);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        run.longestGapMs = std::max(run.longestGapMs, milliseconds(sinceTick));
        sinceTick.restart();
    });
    QEventLoop loop;
    LinkCheckJob job;
    QObject::connect(&job, &LinkCheckJob::finished, &loop, [&](const LinkReport& report) {
        run.report = report;
        loop.quit();
    });
    QElapsedTimer timer;
    timer.start();
    sinceTick.start();
    ticker.start();
    job.start(folder);
    loop.exec();
    run.ms = milliseconds(timer);
    run.longestGapMs = std::max(run.longestGapMs, milliseconds(sinceTick));
    return run;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString folder = arguments.size() > 1 ? arguments.at(1) : QString::fromLatin1(kDefaultFolder);
    std::printf("%s\n", qPrintable(folder));

    Run last;
    for (const char* name : {"first run", "second run"}) {
        last = checkOnce(folder);
        if (!last.report.failure.isEmpty()) {
            std::printf("  the check failed: %s\n", qPrintable(last.report.failure));
            return 1;
        }
        std::printf("  %-10s check %8.1f ms, longest gap between ticks %6.1f ms (target %.0f ms: %s)\n", name,
                    last.ms, last.longestGapMs, kLongestGapTargetMs,
                    last.longestGapMs <= kLongestGapTargetMs ? "met" : "MISSED");
    }
    const std::array<int, kLinkProblemKinds> counts = CountLinkProblems(last.report.problems);
    std::printf("  pages checked             %8d\n", last.report.pages);
    const char* const names[] = {"missing files",      "wrong letter case",    "bad fragments",
                                 "outside the folder", "remote (not checked)", "files not read"};
    for (int kind = 0; kind < kLinkProblemKinds; ++kind)
        std::printf("  %-25s %8d\n", names[kind], counts[size_t(kind)]);
    std::printf("  summary: %s\n", qPrintable(LinkSummary(last.report)));
    std::printf("  peak memory               %8ld KiB\n", peakMemoryKiB());
    return 0;
}
