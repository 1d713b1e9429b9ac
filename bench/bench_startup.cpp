// What starting the editor costs, measured from outside on real processes, against a floor: a bare
// Qt window with a menu bar and a text box, which this program shows itself when run with --bare.
//
//   bench_startup [--quillora=PROGRAM] [PAGE.html]
//
// Every run is a process of its own, offscreen (or on the platform QT_QPA_PLATFORM names: under
// `QT_QPA_PLATFORM=xcb xvfb-run -a bench_startup` each shows its window on an X server), with a fresh home,
// configuration, data, cache and runtime folder, so that no settings, session or running editor (a second
// start hands its files to the first) carry over from one run to the next; each is ended (terminated, then
// killed) once measured. Printed, as minimum, median and maximum:
// - the floor, 10 runs: the time from the spawn to its window's first exposure, and the resident
//   memory (VmRSS) 2 s after it;
// - the editor (by default the quillora beside this folder) started with no file, 10 runs: the same
//   two figures, and their ratios to the floor with the targets (start-up within 1.2 x the floor,
//   memory at most 1.6 x);
// - the editor started with the page (by default the Node.js API page that Debian's documentation
//   ships), 7 runs as each takes seconds: the time to the first window, the CPU time (user and
//   system) it spent until it went idle (no more than 10 ms of CPU in 0.7 s, at most 60 s after
//   the spawn), and VmRSS then, also as a multiple of the file's size (target at most 12 x);
// - the editor started with no file in folders it was started and ended in once before (a later
//   start: its data files are there), 10 runs: the same two figures and ratios. The floor and
//   the two starts with no file run in turns, a run of each after the other (and so do the three
//   series with the page below): a virtual machine's speed changes from minute to minute, and
//   series run one after another would each meet another part of it;
// - the first frame, 10 runs of each in turns: the floor, the editor (a later start) and FeatherPad
//   (a Qt editor on the same kind of text widget, when installed) started with no file, each with
//   bench_firstframe.so loaded into it, which tells when the program first flushes a painted
//   window to the screen. FeatherPad says nothing of its window itself; this measures all three
//   the same way. Printed: the times, and the editor's and FeatherPad's as multiples of the floor's
//   (for information: the target is judged on the figures above);
// - FeatherPad when installed: its CPU time and
//   VmRSS once idle with the same page, 7 runs, and the editor's CPU as a multiple of its (target
//   at most 1 x); then the editor with the page and its spelling check off (FeatherPad checks
//   none), 7 runs: its CPU and VmRSS, and that CPU as a multiple of FeatherPad's.
// The editor tells when its window is first exposed on its start-up log (QT_LOGGING_RULES
// "quillora.startup.info=true"), the floor likewise; the times are this program's clock from just
// before the spawn to the moment that line is read. FeatherPad says nothing of the kind, so only its
// CPU and memory are taken. Figures only: the exit status is non-zero only when a program cannot be
// started or never shows its window.

#include "BenchFigures.h"
#include "platform/FirstExposure.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QThread>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The window system the programs run on: offscreen unless this program was given another.
QString platform() {
    return qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("offscreen"));
}

const char* const kDefaultPage = "/usr/share/doc/nodejs/api/all.html";
const char* const kFeatherPad = "/usr/bin/featherpad";
const char* const kBareArgument = "--bare";
const char* const kQuilloraArgument = "--quillora=";
const char* const kShownLine = "first window shown";
const char* const kFrameLine = "first frame flushed";
const char* const kFrameHook = "bench_firstframe.so";
constexpr int kShortRuns = 10;
constexpr int kPageRuns = 7;
constexpr int kShowTimeoutMs = 60000;
constexpr int kSettleMs = 2000;
constexpr int kQuietMs = 700;
// The CPU a quiet program may still spend in the quiet stretch: one clock tick, for a timer
// (the caret's blinking, say) that fires in it.
constexpr double kQuietCpuMs = 10;
constexpr int kIdleCapMs = 60000;
constexpr int kSampleMs = 50;
constexpr double kStartTarget = 1.2;
constexpr double kMemoryTarget = 1.6;
constexpr double kFileTarget = 12;

// The floor: a main window with one menu of one item and a text box, filling the screen as the
// editor's main window does (the size of what is drawn counts in the memory).
int showBareWindow(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()
        ->addMenu(QStringLiteral("&File"))
        ->addAction(QStringLiteral("E&xit"), &app, &QCoreApplication::quit);
    window.setCentralWidget(new QTextEdit(&window));
    // The floor says so as the editor does on its start-up log.
    const FirstExposureNotice notice(window, [] {
        std::fprintf(stderr, "%s\n", kShownLine);
        std::fflush(stderr);
    });
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    return app.exec();
}

// What a run's private folders hold before it starts: nothing (a first start), or what the editor
// leaves in them once started and ended (a later start: its data files written), and settings.
struct Preparation {
    bool startedBefore = false;
    QByteArray settings; // the editor's settings file (INI), written when not empty
};

// One measured process: started in a private set of folders, its error output read (and, apart
// from its last part, dropped) so that it never blocks on a full pipe, ended when this is.
class Child {
public:
    Child(const QString& program, const QStringList& arguments, bool startupLog,
          const Preparation& preparation = {}, const QString& preload = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const QString root = m_root.path();
        for (const char* name :
             {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
            const QString folder = root + QLatin1Char('/') + QString::fromLatin1(name).toLower();
            // The runtime folder must be the user's alone, or the editor does not listen there.
            ::mkdir(QFile::encodeName(folder).constData(), 0700);
            environment.insert(QString::fromLatin1(name), folder);
        }
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform());
        environment.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
        // No session bus either: through it one run could find the last (FeatherPad opens its files
        // in a running instance that way).
        environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        environment.remove(QStringLiteral("QT_LOGGING_RULES"));
        if (startupLog)
            environment.insert(QStringLiteral("QT_LOGGING_RULES"),
                               QStringLiteral("quillora.startup.info=true"));
        m_process.setWorkingDirectory(root);
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setReadChannel(QProcess::StandardError);
        if (preparation.startedBefore)
            startAndEndOnce(program, environment);
        if (!preload.isEmpty())
            environment.insert(QStringLiteral("LD_PRELOAD"), preload);
        m_process.setProcessEnvironment(environment);
        if (!preparation.settings.isEmpty()) {
            const QString folder = root + QStringLiteral("/xdg_config_home/Quillora");
            QDir().mkpath(folder);
            QFile file(folder + QStringLiteral("/Quillora.conf"));
            if (!file.open(QIODevice::WriteOnly) ||
                file.write(preparation.settings) != preparation.settings.size())
                std::fprintf(stderr, "cannot write the settings in %s\n", qPrintable(folder));
        }
        m_clock.start();
        m_process.start(program, arguments);
        m_started = m_root.isValid() && m_process.waitForStarted(kShowTimeoutMs);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    ~Child() { end(); }

    bool started() const { return m_started; }
    bool running() const { return m_process.state() == QProcess::Running; }
    qint64 pid() const { return m_process.processId(); }
    double elapsedMs() const { return milliseconds(m_clock); }
    QByteArray errorOutput() const { return m_errors; }

    // Milliseconds from the spawn until a line with `text` was read from its error output, or
    // nothing when it ended or `timeoutMs` (from the spawn) passed first.
    std::optional<double> waitForLine(const char* text, int timeoutMs) {
        while (m_clock.elapsed() < timeoutMs) {
            if (!running() && m_process.bytesAvailable() == 0)
                return std::nullopt;
            m_process.waitForReadyRead(kSampleMs);
            const qsizetype searchFrom =
                std::max<qsizetype>(0, m_errors.size() - qsizetype(std::strlen(text)));
            m_errors += m_process.readAllStandardError();
            if (m_errors.indexOf(text, searchFrom) >= 0)
                return elapsedMs();
        }
        return std::nullopt;
    }

    // Lets `ms` milliseconds pass, reading the error output meanwhile.
    void pass(int ms) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            if (!running()) {
                QThread::msleep(std::min<qint64>(kSampleMs, ms - timer.elapsed()));
                continue;
            }
            m_process.waitForReadyRead(int(std::min<qint64>(kSampleMs, ms - timer.elapsed())));
            m_errors += m_process.readAllStandardError();
            constexpr qsizetype kKeep = 16 * 1024;
            if (m_errors.size() > 2 * kKeep)
                m_errors = m_errors.right(kKeep);
        }
    }

private:
    // Terminated, then killed if it lingers.
    void end() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }

    // The program started in these folders until its window shows, then ended; what it left in the
    // runtime folder (its socket) goes, as it would at a new login.
    void startAndEndOnce(const QString& program, QProcessEnvironment environment) {
        environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("quillora.startup.info=true"));
        m_process.setProcessEnvironment(environment);
        m_clock.start();
        m_process.start(program, {});
        if (m_process.waitForStarted(kShowTimeoutMs))
            waitForLine(kShownLine, kShowTimeoutMs);
        end();
        m_errors.clear();
        QDir runtime(m_root.path() + QStringLiteral("/xdg_runtime_dir"));
        for (const QString& name : runtime.entryList(QDir::Files | QDir::System | QDir::Hidden))
            runtime.remove(name);
    }

    QTemporaryDir m_root;
    QProcess m_process;
    QElapsedTimer m_clock;
    QByteArray m_errors;
    bool m_started = false;
};

// The user and system CPU time of a process so far, from /proc/<pid>/stat; nothing once it is gone.
std::optional<double> cpuMs(qint64 pid) {
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray stat = file.readAll();
    // The name in parentheses may hold blanks: the fields are counted after its closing one, from
    // the state (the third field); utime and stime are the 14th and 15th.
    const qsizetype nameEnd = stat.lastIndexOf(')');
    if (nameEnd < 0)
        return std::nullopt;
    const QList<QByteArray> fields = stat.mid(nameEnd + 2).split(' ');
    if (fields.size() < 13)
        return std::nullopt;
    const double ticks = double(fields[11].toULongLong() + fields[12].toULongLong());
    return ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

double rssMiB(qint64 pid) {
    const QByteArray status = QStringLiteral("/proc/%1/status").arg(pid).toLocal8Bit();
    return double(statusKiB("VmRSS:", status.constData())) / 1024.0;
}

// What one run gave; a figure not taken stays negative.
struct Run {
    double shownMs = -1;
    double cpuMs = -1;
    double rssMiB = -1;
    bool quiet = true; // went idle before the cap
};

// Samples the CPU time until it advanced no more than kQuietCpuMs over kQuietMs, or until
// kIdleCapMs after the spawn; the CPU time is the one at the start of the quiet stretch.
void waitUntilIdle(Child& child, Run& run) {
    struct Sample {
        double atMs;
        double cpuMs;
    };
    std::vector<Sample> samples;
    while (child.running()) {
        const std::optional<double> cpu = cpuMs(child.pid());
        if (!cpu)
            break;
        const double now = child.elapsedMs();
        samples.push_back({now, *cpu});
        // The latest sample at least kQuietMs old starts the stretch looked at.
        auto start = samples.end();
        for (auto sample = samples.begin(); sample != samples.end(); ++sample)
            if (now - sample->atMs >= kQuietMs)
                start = sample;
        if (start != samples.end())
            start = samples.erase(samples.begin(), start);
        if (start != samples.end() && *cpu - start->cpuMs <= kQuietCpuMs) {
            run.cpuMs = start->cpuMs;
            run.rssMiB = rssMiB(child.pid());
            return;
        }
        if (now >= kIdleCapMs) {
            run.cpuMs = *cpu;
            run.rssMiB = rssMiB(child.pid());
            run.quiet = false;
            return;
        }
        child.pass(kSampleMs);
    }
}

enum class Measure { ShownOnly, ShownThenSettled, ShownThenIdle, IdleOnly };

void reportFailure(const char* what, int number, const Child& child) {
    std::printf("  run %d: %s\n", number, what);
    const QByteArray errors = child.errorOutput().right(2000).trimmed();
    if (!errors.isEmpty())
        std::printf("    its error output ends:\n%s\n", errors.constData());
}

// One run of `program`; nothing when it could not be started or never showed its window.
std::optional<Run> runOnce(const QString& program, const QStringList& arguments, Measure measure,
                           bool startupLog, int number, const Preparation& preparation,
                           const QString& preload, const char* shownLine) {
    Child child(program, arguments, startupLog, preparation, preload);
    if (!child.started()) {
        reportFailure("cannot be started", number, child);
        return std::nullopt;
    }
    Run run;
    if (measure != Measure::IdleOnly) {
        const std::optional<double> shown = child.waitForLine(shownLine, kShowTimeoutMs);
        if (!shown) {
            reportFailure(child.running() ? "never showed its window" : "ended before showing its window",
                          number, child);
            return std::nullopt;
        }
        run.shownMs = *shown;
    }
    if (measure == Measure::ShownOnly)
        return run;
    if (measure == Measure::ShownThenSettled) {
        child.pass(kSettleMs);
        if (child.running())
            run.rssMiB = rssMiB(child.pid());
    } else {
        waitUntilIdle(child, run);
    }
    if (!child.running())
        reportFailure("ended before it was measured", number, child);
    return run;
}

struct Figures {
    std::vector<double> shownMs, cpuMs, rssMiB;
    int unsettled = 0; // runs that did not go idle before the cap
    bool failed = false;
};

void addRun(Figures& figures, const std::optional<Run>& run) {
    if (!run) {
        figures.failed = true;
        return;
    }
    if (run->shownMs >= 0)
        figures.shownMs.push_back(run->shownMs);
    if (run->cpuMs >= 0)
        figures.cpuMs.push_back(run->cpuMs);
    if (run->rssMiB >= 0)
        figures.rssMiB.push_back(run->rssMiB);
    figures.unsettled += run->quiet ? 0 : 1;
}

// A series of runs that is compared with others.
struct Series {
    QString program;
    QStringList arguments;
    Measure measure;
    bool startupLog;
    Preparation preparation;
    Figures figures;
    QString preload;                    // a library loaded into it first
    const char* shownLine = kShownLine; // the line that tells its window is shown
};

// Runs every series `runs` times, in turns, one run of each after the other, so that the ratio of
// two series says more of the programs than of the moments the machine had when each ran.
void runInTurns(std::vector<Series*> series, int runs) {
    for (int number = 1; number <= runs; ++number) {
        for (Series* one : series)
            addRun(one->figures, runOnce(one->program, one->arguments, one->measure, one->startupLog, number,
                                         one->preparation, one->preload, one->shownLine));
    }
}

// "min / median / max" of a figure, with `perFile` (when positive) the median as a multiple of it.
void printFigure(const char* what, const std::vector<double>& values, const char* unit, double perFile = 0) {
    if (values.empty()) {
        std::printf("  %-28s none taken\n", what);
        return;
    }
    const double least = *std::min_element(values.begin(), values.end());
    std::printf("  %-28s min %8.1f  median %8.1f  max %8.1f %s", what, least, median(values), worst(values),
                unit);
    if (perFile > 0)
        std::printf("  (median %.1f x file)", median(values) / perFile);
    std::printf("\n");
}

// The ratio of two medians against its target: "1.23 x (target at most 1.2 x: MISSED)".
void printRatio(const char* what, const std::vector<double>& ours, const std::vector<double>& theirs,
                double target) {
    if (ours.empty() || theirs.empty() || median(theirs) <= 0) {
        std::printf("  %-28s n/a\n", what);
        return;
    }
    const double ratio = median(ours) / median(theirs);
    std::printf("  %-28s %.2f x (target at most %.1f x: %s)\n", what, ratio, target,
                ratio <= target ? "met" : "MISSED");
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], kBareArgument) == 0)
        return showBareWindow(argc, argv);
    QCoreApplication app(argc, argv);
    QString quillora =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../quillora"));
    QStringList arguments = QCoreApplication::arguments().mid(1);
    for (qsizetype i = arguments.size() - 1; i >= 0; --i)
        if (arguments[i].startsWith(QLatin1String(kQuilloraArgument)))
            quillora = arguments.takeAt(i).mid(qsizetype(std::strlen(kQuilloraArgument)));
    if (arguments.size() > 1) {
        std::fprintf(stderr, "usage: bench_startup [--quillora=PROGRAM] [PAGE.html]\n");
        return 2;
    }
    const QString page =
        QFileInfo(arguments.isEmpty() ? QString::fromLatin1(kDefaultPage) : arguments.front())
            .absoluteFilePath();
    const qint64 pageBytes = QFileInfo(page).size();
    if (pageBytes <= 0) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(page));
        return 2;
    }
    const double pageMiB = mib(double(pageBytes));
    bool failed = false;

    std::printf("start-up, platform %s, every run a new process with fresh home and runtime folders\n",
                qPrintable(platform()));
    std::printf("the floor and the editor with no file, %d runs of each in turns\n", kShortRuns);
    std::fflush(stdout);
    Series floor{QCoreApplication::applicationFilePath(),
                 {QString::fromLatin1(kBareArgument)},
                 Measure::ShownThenSettled,
                 false,
                 {},
                 {},
                 {},
                 kShownLine};
    Series idle{quillora, {}, Measure::ShownThenSettled, true, {}, {}, {}, kShownLine};
    Series later{quillora, {}, Measure::ShownThenSettled, true, {true, {}}, {}, {}, kShownLine};
    runInTurns({&floor, &idle, &later}, kShortRuns);

    std::printf("floor: a bare Qt window (menu bar, text box)\n");
    failed = failed || floor.figures.failed;
    printFigure("spawn to window shown", floor.figures.shownMs, "ms");
    printFigure("RSS 2 s after it", floor.figures.rssMiB, "MiB");
    const auto printStart = [&](const char* which, const Figures& figures) {
        std::printf("%s, no file, %s\n", qPrintable(quillora), which);
        failed = failed || figures.failed;
        printFigure("spawn to window shown", figures.shownMs, "ms");
        printFigure("RSS 2 s after it", figures.rssMiB, "MiB");
        printRatio("start-up / floor", figures.shownMs, floor.figures.shownMs, kStartTarget);
        printRatio("memory / floor", figures.rssMiB, floor.figures.rssMiB, kMemoryTarget);
    };
    printStart("a first start (its data files written)", idle.figures);
    printStart("a later start (started and ended once before in the same folders)", later.figures);

    // The three by their first frame, FeatherPad's when it is installed.
    const bool feathered = QFileInfo(QString::fromLatin1(kFeatherPad)).isExecutable();
    const QString hook =
        QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(kFrameHook);
    if (!QFileInfo(hook).isFile()) {
        std::printf("%s not found: the first frames are not measured\n", qPrintable(hook));
    } else {
        std::printf("the first frame (%s loaded into each), %d runs of each in turns\n", kFrameHook,
                    kShortRuns);
        std::fflush(stdout);
        Series floorFrame{floor.program, floor.arguments, Measure::ShownOnly, false, {}, {},
                          hook,          kFrameLine};
        Series laterFrame{quillora, {}, Measure::ShownOnly, false, {true, {}}, {}, hook, kFrameLine};
        Series featherFrame{
            QString::fromLatin1(kFeatherPad), {}, Measure::ShownOnly, false, {}, {}, hook, kFrameLine};
        runInTurns(feathered ? std::vector<Series*>{&floorFrame, &laterFrame, &featherFrame}
                             : std::vector<Series*>{&floorFrame, &laterFrame},
                   kShortRuns);
        failed = failed || floorFrame.figures.failed || laterFrame.figures.failed;
        const auto printFrame = [&](const char* which, const Figures& figures) {
            std::printf("%s\n", which);
            printFigure("spawn to first frame", figures.shownMs, "ms");
            if (!figures.shownMs.empty() && !floorFrame.figures.shownMs.empty())
                std::printf("  %-28s %.2f x\n", "as a multiple of the floor's",
                            median(figures.shownMs) / median(floorFrame.figures.shownMs));
        };
        printFrame("floor", floorFrame.figures);
        printFrame("the editor, a later start", laterFrame.figures);
        if (feathered)
            printFrame("FeatherPad, no file", featherFrame.figures);
    }

    // The page's three series run in turns (see runInTurns), FeatherPad's when it is installed.
    std::printf("the page %s (%.2f MiB), %d runs of each program in turns (not %d: each takes seconds)\n",
                qPrintable(page), pageMiB, kPageRuns, kShortRuns);
    std::fflush(stdout);
    Series open{quillora, {page}, Measure::ShownThenIdle, true, {}, {}, {}, kShownLine};
    Series feather{
        QString::fromLatin1(kFeatherPad), {page}, Measure::IdleOnly, false, {}, {}, {}, kShownLine};
    Series unchecked{quillora,
                     {page},
                     Measure::ShownThenIdle,
                     true,
                     {false, QByteArrayLiteral("[Settings]\nSpellCheck=false\n")},
                     {},
                     {},
                     kShownLine};
    runInTurns(feathered ? std::vector<Series*>{&open, &feather, &unchecked} : std::vector<Series*>{&open},
               kPageRuns);

    std::printf("%s with the page\n", qPrintable(quillora));
    failed = failed || open.figures.failed;
    printFigure("spawn to window shown", open.figures.shownMs, "ms");
    printFigure("CPU until idle", open.figures.cpuMs, "ms");
    printFigure("RSS when idle", open.figures.rssMiB, "MiB", pageMiB);
    if (!open.figures.rssMiB.empty()) {
        const double times = median(open.figures.rssMiB) / pageMiB;
        std::printf("  %-28s %.1f x file (target at most %.0f x: %s)\n", "memory / file", times, kFileTarget,
                    times <= kFileTarget ? "met" : "MISSED");
    }
    if (open.figures.unsettled > 0)
        std::printf("  (%d runs not idle %d s after the spawn: measured then)\n", open.figures.unsettled,
                    kIdleCapMs / 1000);

    if (!feathered) {
        std::printf("featherpad not installed: skipped\n");
    } else {
        std::printf("%s with the page (it tells nothing of its window: CPU and memory only)\n", kFeatherPad);
        failed = failed || feather.figures.failed;
        printFigure("CPU until idle", feather.figures.cpuMs, "ms");
        printFigure("RSS when idle", feather.figures.rssMiB, "MiB", pageMiB);
        if (feather.figures.unsettled > 0)
            std::printf("  (%d runs not idle %d s after the spawn: measured then)\n",
                        feather.figures.unsettled, kIdleCapMs / 1000);
        printRatio("quillora's CPU / its", open.figures.cpuMs, feather.figures.cpuMs, 1.0);
        // FeatherPad checks no spelling; the editor checks the whole page's in the background.
        std::printf("%s with the page, the spelling check off\n", qPrintable(quillora));
        failed = failed || unchecked.figures.failed;
        printFigure("CPU until idle", unchecked.figures.cpuMs, "ms");
        printFigure("RSS when idle", unchecked.figures.rssMiB, "MiB", pageMiB);
        printRatio("its CPU / FeatherPad's", unchecked.figures.cpuMs, feather.figures.cpuMs, 1.0);
    }
    return failed ? 1 : 0;
}
