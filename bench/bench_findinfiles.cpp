// What Find in Files costs over a folder of real pages, beside grep, and whether the interface
// stays responsive while it runs.
//
//   bench_findinfiles [FOLDER [WORD]]
//
// The folder (by default the Node.js API documentation Debian ships: HTML, Markdown, JSON and
// compressed files, 23 MB) is searched for the word (by default "buffer") over every file ("*"),
// five times each way, as the editor runs it:
//   - the search alone (FileSearchJob: listing, reading as opening reads, matching, placing);
//   - the same search through the real main window's panel, listing the results as they come, while
//     the main thread's event loop runs a 5 ms timer: the longest gap between two ticks is how long
//     the interface was unresponsive (target: 50 ms), and the processor time its thread used;
// beside `grep -rn WORD FOLDER` (and -rni for the search without match case) timed in the same run,
// with the number of matching lines each finds. Printed: median and worst of each, and the ratio
// to grep against the target (within 3 x grep).
// Figures only: the exit status is non-zero only when the folder cannot be searched.

#include "BenchFigures.h"
#include "app/FilesPanel.h"
#include "app/frmQuillora.h"
#include "editor/FileSearch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <set>

namespace {

const char* const kDefaultFolder = "/usr/share/doc/nodejs/api";
const char* const kDefaultWord = "buffer";
constexpr int kRuns = 5;
constexpr int kTickMs = 5;
constexpr double kLongestGapTargetMs = 50;
constexpr double kGrepRatioTarget = 3;

struct Timed {
    std::vector<double> ms;
    qsizetype matches = 0;
    qsizetype lines = 0; // distinct lines with a match
    qsizetype files = 0;
    qsizetype skipped = 0;
};

// The processor time the calling thread has used.
double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

qsizetype matchingLines(const std::vector<FileResult>& results) {
    qsizetype lines = 0;
    for (const FileResult& result : results) {
        std::set<int> seen;
        for (const LineMatch& match : result.matches)
            seen.insert(match.line);
        lines += qsizetype(seen.size());
    }
    return lines;
}

// The search alone, in its thread, the main thread only taking the batches.
Timed searchAlone(const QString& folder, const QString& word, bool matchCase) {
    Timed timed;
    for (int run = 0; run < kRuns; ++run) {
        FileSearchJob job;
        std::vector<FileResult> results;
        qsizetype skipped = 0;
        QObject::connect(&job, &FileSearchJob::found, [&](const std::vector<FileResult>& batch) {
            results.insert(results.end(), batch.begin(), batch.end());
        });
        QObject::connect(&job, &FileSearchJob::skipped,
                         [&](const std::vector<SkippedFile>& files) { skipped += qsizetype(files.size()); });
        FileSearchRequest request;
        request.folder = folder;
        request.filter = QStringLiteral("*");
        request.find = word;
        request.options.matchCase = matchCase;
        QElapsedTimer timer;
        timer.start();
        job.search(request);
        job.waitForDone();
        timed.ms.push_back(milliseconds(timer));
        timed.matches = 0;
        for (const FileResult& result : results)
            timed.matches += result.count;
        timed.lines = matchingLines(results);
        timed.files = qsizetype(results.size());
        timed.skipped = skipped;
    }
    return timed;
}

// The search through the main window's panel, the event loop ticking meanwhile.
Timed searchInPanel(frmQuillora& main, const QString& folder, const QString& word, bool matchCase,
                    std::vector<double>& longestGaps, std::vector<double>& busy) {
    Timed timed;
    main.findInFiles(nullptr);
    FilesPanel* panel = main.filesPanel();
    panel->dialog()->hide();
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer sinceTick;
        double longestGap = 0;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        ticker.setInterval(kTickMs);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longestGap = std::max(longestGap, milliseconds(sinceTick));
            sinceTick.restart();
        });
        FilesQuery query;
        query.folder = folder;
        query.filter = QStringLiteral("*");
        query.find = word;
        query.options.matchCase = matchCase;
        QEventLoop loop;
        QTimer poll;
        poll.setInterval(1);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!panel->busy()) // searched, and every row listed
                loop.quit();
        });
        QElapsedTimer timer;
        timer.start();
        const double busyBefore = threadCpuMs();
        sinceTick.start();
        ticker.start();
        panel->findAll(query);
        poll.start();
        loop.exec();
        timed.ms.push_back(milliseconds(timer));
        busy.push_back(threadCpuMs() - busyBefore);
        ticker.stop();
        longestGap = std::max(longestGap, milliseconds(sinceTick));
        longestGaps.push_back(longestGap);
        timed.matches = 0;
        for (const FileResult& result : panel->results())
            timed.matches += result.count;
        timed.lines = matchingLines(panel->results());
        timed.files = qsizetype(panel->results().size());
        timed.skipped = qsizetype(panel->skippedFiles().size());
    }
    return timed;
}

// grep over the same folder, wall-clock time of the whole process; lines -1 without grep.
Timed grepRun(const QString& folder, const QString& word, bool matchCase) {
    Timed timed;
    timed.lines = -1;
    const QString program = QStandardPaths::findExecutable(QStringLiteral("grep"));
    if (program.isEmpty())
        return timed;
    for (int run = 0; run < kRuns; ++run) {
        QProcess process;
        QElapsedTimer timer;
        timer.start();
        process.start(program, {matchCase ? QStringLiteral("-rn") : QStringLiteral("-rni"), word, folder});
        if (!process.waitForStarted() || !process.waitForFinished(-1))
            return timed;
        const QByteArray output = process.readAllStandardOutput();
        timed.ms.push_back(milliseconds(timer));
        timed.lines = 0;
        std::set<QByteArray> files;
        for (const QByteArray& line : output.split('\n')) {
            if (line.isEmpty() || line.startsWith("Binary file"))
                continue;
            ++timed.lines;
            files.insert(line.left(line.indexOf(':')));
        }
        timed.files = qsizetype(files.size());
    }
    return timed;
}

void print(const char* what, const Timed& timed) {
    std::printf("  %-34s median %8.1f ms  worst %8.1f ms  %7lld matches on %7lld lines in %4lld files", what,
                median(timed.ms), worst(timed.ms), static_cast<long long>(timed.matches),
                static_cast<long long>(timed.lines), static_cast<long long>(timed.files));
    if (timed.skipped > 0)
        std::printf(", %lld skipped", static_cast<long long>(timed.skipped));
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    const BenchHome home;
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString folder = arguments.size() > 1 ? arguments.at(1) : QString::fromLatin1(kDefaultFolder);
    const QString word = arguments.size() > 2 ? arguments.at(2) : QString::fromLatin1(kDefaultWord);
    if (!QFileInfo(folder).isDir()) {
        std::fprintf(stderr, "no folder %s\n", qPrintable(folder));
        return 1;
    }
    frmQuillora main(home.path() + "/program");
    main.startUp({}, false);
    main.resize(1280, 800);
    main.show();
    QApplication::processEvents();

    std::printf("Find in Files for \"%s\" in %s, every file, %d runs each\n", qPrintable(word),
                qPrintable(folder), kRuns);
    for (const bool matchCase : {true, false}) {
        std::printf("%s\n", matchCase ? "match case (grep -rn):" : "any case (grep -rni):");
        const Timed grep = grepRun(folder, word, matchCase);
        const Timed alone = searchAlone(folder, word, matchCase);
        std::vector<double> gaps, busy;
        const Timed panel = searchInPanel(main, folder, word, matchCase, gaps, busy);
        if (grep.lines >= 0)
            print("grep", grep);
        else
            std::printf("  grep                               not installed\n");
        print("search alone (thread)", alone);
        print("search listed in the panel", panel);
        std::printf(
            "  longest the interface waited       median %8.1f ms  worst %8.1f ms  (target %.0f ms: %s)\n",
            median(gaps), worst(gaps), kLongestGapTargetMs,
            worst(gaps) <= kLongestGapTargetMs ? "met" : "MISSED");
        std::printf("  interface thread busy meanwhile    median %8.1f ms  worst %8.1f ms\n", median(busy),
                    worst(busy));
        if (grep.lines >= 0 && median(grep.ms) > 0) {
            const double ratio = median(panel.ms) / median(grep.ms);
            std::printf("  panel / grep                       %8.2f x  (target %.0f x: %s)\n", ratio,
                        kGrepRatioTarget, ratio <= kGrepRatioTarget ? "met" : "MISSED");
        }
    }
    std::printf("  peak memory                        %8ld KiB\n", peakMemoryKiB());
    return 0;
}
