// What the HTML check costs on a large page, and whether the interface stays responsive meanwhile.
//
//   bench_check [PAGE.html]
//
// The page (by default the Node.js API page that Debian's documentation ships) is read as opening
// a file does (line breaks made CR LF) and checked as the editor checks it, in the checker's own
// process (HtmlCheckJob), default options, while the main thread runs its event loop with a 5 ms
// timer. Printed: the check's total time, the number of problems and their summary, the longest
// gap between two timer ticks against the target (the interface never blocks longer than 50 ms),
// the peak memory, and as a floor `tidy -q -e PAGE` timed in the same run when tidy is installed,
// with the number of problem lines it printed. Then the check of 80,000 unknown tags on one line
// of 240,000 characters, and of the same tags a line each: placing the messages' columns must not
// make a long line slow.
// Figures only: the exit status is non-zero only when the page cannot be read.

#include "BenchFigures.h"
#include "check/TidyCheck.h"
#include "editor/HtmlCheckProcess.h"
#include "markup/LineEndings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>

namespace {

const char* const kDefaultPage = "/usr/share/doc/nodejs/api/all.html";
constexpr int kTickMs = 5;
constexpr double kLongestGapTargetMs = 50;

const char* verdict(bool met) {
    return met ? "met" : "MISSED";
}

struct TidyRun {
    double ms = -1;
    int lines = 0; // "line N column M - ..." lines printed
};

// Wall-clock time of the tidy program reporting on the same page; ms -1 without tidy.
TidyRun tidyRun(const QString& path) {
    TidyRun run;
    const QString program = QStandardPaths::findExecutable(QStringLiteral("tidy"));
    if (program.isEmpty())
        return run;
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, {QStringLiteral("-q"), QStringLiteral("-e"), path});
    if (!process.waitForStarted() || !process.waitForFinished(-1))
        return run;
    run.ms = milliseconds(timer);
    for (const QByteArray& line : process.readAllStandardError().split('\n'))
        if (line.startsWith("line "))
            ++run.lines;
    return run;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString path = arguments.size() > 1 ? arguments.at(1) : QString::fromLatin1(kDefaultPage);

    qint64 size = 0;
    const std::optional<QString> page = readPage(path, &size);
    if (!page)
        return 1;
    const QString text = *page;
    std::printf("%s\n", qPrintable(path));
    std::printf("  file size                 %10lld bytes (%.2f MiB), %lld characters as CR LF text\n",
                static_cast<long long>(size), static_cast<double>(size) / (1024.0 * 1024.0),
                static_cast<long long>(text.size()));

    // The main thread's event loop keeps ticking while the worker checks; the longest gap between
    // two ticks is how long the interface would have been unresponsive.
    QElapsedTimer sinceTick;
    double longestGapMs = 0;
    int ticks = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(kTickMs);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGapMs = std::max(longestGapMs, milliseconds(sinceTick));
        sinceTick.restart();
        ++ticks;
    });

    QEventLoop loop;
    HtmlCheckJob job;
    std::vector<HtmlProblem> problems;
    QString failure;
    QObject::connect(&job, &HtmlCheckJob::finished, &loop,
                     [&](const std::vector<HtmlProblem>& found, const QString& why) {
                         problems = found;
                         failure = why;
                         loop.quit();
                     });
    QElapsedTimer timer;
    timer.start();
    sinceTick.start();
    ticker.start();
    job.start(text, HtmlCheckOptions{});
    loop.exec();
    const double checkMs = milliseconds(timer);
    ticker.stop();
    longestGapMs = std::max(longestGapMs, milliseconds(sinceTick));
    if (!failure.isEmpty())
        std::printf("  the check failed: %s\n", qPrintable(failure));

    std::printf("  check in its own process  %10.1f ms\n", checkMs);
    std::printf("  problems                  %10zu (%s)\n", problems.size(),
                qPrintable(ProblemSummary(problems)));
    std::printf("  longest gap between ticks %10.1f ms over %d ticks of %d ms\n", longestGapMs, ticks,
                kTickMs);
    std::printf("  target: the interface never blocks longer than %.0f ms: %s\n", kLongestGapTargetMs,
                verdict(longestGapMs <= kLongestGapTargetMs));
    std::printf("  peak memory               %10ld KiB (%.1f times the file size)\n", peakMemoryKiB(),
                static_cast<double>(peakMemoryKiB()) * 1024.0 /
                    static_cast<double>(std::max<qint64>(size, 1)));

    // Places on one long line: a page of 80,000 unknown tags on one line of 240,000 characters,
    // and the same tags a line each. Placing a message's column walks its line once at most.
    const QString tags = QString(QStringLiteral("<x>")).repeated(80000);
    for (const bool oneLine : {true, false}) {
        const QString longPage =
            oneLine ? tags : QString(tags).replace(QStringLiteral("><"), QStringLiteral(">\r\n<"));
        QElapsedTimer placed;
        placed.start();
        const std::vector<HtmlProblem> found = CheckHtml(longPage, HtmlCheckOptions{});
        std::printf("  %-25s %10.1f ms, %zu problems\n",
                    oneLine ? "80,000 tags on one line" : "the same, a line each", milliseconds(placed),
                    found.size());
    }

    const TidyRun floor = tidyRun(path);
    if (floor.ms >= 0)
        std::printf("  floor: tidy -q -e         %10.1f ms, %d problem lines (check / tidy = %.2f)\n",
                    floor.ms, floor.lines, checkMs / floor.ms);
    else
        std::printf("  floor: tidy is not installed or failed; no floor measured\n");
    return 0;
}
