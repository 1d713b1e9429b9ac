// What a large page costs in memory while it is open in a document window, and what Replace All
// over it costs at its peak, in time and memory.
//
//   bench_memory [--stop-after=open|replace] [PAGE.html]
//
// The page (by default the Node.js API page that Debian's documentation ships) is opened in a
// document window of the main window, offscreen, and the event loop is left to settle (colouring,
// the spelling check in the background, the recovery journal). Printed, as megabytes and as
// multiples of the file's size:
// - the resident memory (VmRSS) and the heap in use (mallinfo2) of the idle program, and after the
//   page is open: the totals and the increase the page brought;
// - Replace All of "<" by "&lt;" (match case off) over the whole document, as the Find dialog does
//   it (its question answered yes): its time from the click to the first paint after it, and the
//   peak resident memory (VmHWM, reset through /proc/self/clear_refs just before) as a total and
//   as the growth over the memory before it; then the memory once the event loop settled again
//   and the recovery journal took its copy of the changed text, and that step's peak;
// - whether Undo of it gives the page back exactly and Redo the replaced text;
// - the targets, each on what the program holds over the idle program (which alone holds several
//   times the file): at most 12 x the file with the page open, at Replace All's peak, and once
//   Replace All and its journal are done.
// Each run is a process of its own, so that one run's freed memory does not flatter the next; two
// runs are made. Figures only: the exit status is non-zero only when the page cannot be opened or
// a text came out wrong.

#include "BenchFigures.h"
#include "BenchPage.h"
#include "app/Recovery.h"
#include "app/frmQuillora.h"
#include "editor/frmFind.h"
#include "editor/frmNotepad.h"
#include "editor/mdlFile.h"
#include "platform/Dialogs.h"
#include "platform/MemoryUse.h"
#include "platform/RichTextControl.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHash>
#include <QProcess>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>

namespace {

const char* const kDefaultPage = "/usr/share/doc/nodejs/api/all.html";
// For a heap profiler: the run ends there at once, so that what is still allocated is what the
// program held at that point ("open": the page open and settled; "replace": Replace All done and
// settled, the journal written).
const char* const kStopArgument = "--stop-after=";
constexpr double kTargetTimes = 12;

double peakMiB() {
    return static_cast<double>(statusKiB("VmHWM:")) / 1024.0;
}

double heapMiB() {
    const struct mallinfo2 info = mallinfo2();
    return mib(static_cast<double>(info.uordblks + info.hblkhd));
}

// Lowers the peak RSS to the current RSS (Linux 4.0 and later).
bool resetPeak() {
    FILE* clearRefs = std::fopen("/proc/self/clear_refs", "w");
    if (!clearRefs)
        return false;
    const bool written = std::fputs("5", clearRefs) >= 0;
    return std::fclose(clearRefs) == 0 && written;
}

// Runs the event loop for `ms` milliseconds, so that timers (colouring, spelling, the caption)
// fire as they would for a user.
void settle(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

// Answers every question yes, as a user who confirms Replace All does.
class AnswerYes : public Dialogs {
public:
    Answer message(QWidget*, const QString&, const QString&, Buttons buttons, Icon) override {
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
    }
    int choose(QWidget*, const QString&, const QString&, const QStringList&, Icon, int defaultChoice,
               int) override {
        return defaultChoice;
    }
    QString openFile(QWidget*, const FileRequest&) override { return {}; }
    QString saveFile(QWidget*, const FileRequest&) override { return {}; }
    QStringList openFiles(QWidget*, const FileRequest&) override { return {}; }
    QString chooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
    std::optional<QColor> chooseColor(QWidget*, const QColor&) override { return std::nullopt; }
    bool print(QWidget*, const PrintRequest&) override { return false; }
};

// A hash of the control's text read in pieces: a whole copy of a large text would stay in the heap
// and swell the figures measured after it.
size_t textHash(const RichTextControl& text) {
    constexpr int kPiece = 64 * 1024;
    size_t hash = 0;
    for (int at = 0; at < text.textLength(); at += kPiece)
        hash = qHash(text.textRange(at, kPiece), hash);
    return hash;
}

bool holdsNoLessThan(const RichTextControl& text) {
    constexpr int kPiece = 64 * 1024;
    for (int at = 0; at < text.textLength(); at += kPiece)
        if (text.textRange(at, kPiece).contains(QLatin1Char('<')))
            return false;
    return true;
}

// One run: opens the page, replaces, undoes and redoes. Returns the exit status.
int measureOnce(const QString& path, const QString& stopAfter) {
    GiveLargeBlocksBack(); // as the program's main() does first
    const BenchHome home;
    Dialogs::install(std::make_unique<AnswerYes>());
    int argc = 1;
    char name[] = "bench_memory";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    const qint64 size = QFile(path).size();
    if (size <= 0) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
    }
    const double sizeMiB = mib(static_cast<double>(size));

    frmQuillora main(home.path() + "/program");
    main.startUp({}, false);
    main.resize(1280, 800);
    main.show();
    settle(1000);
    const double idleRss = rssMiB();
    const double idleHeap = heapMiB();

    QElapsedTimer timer;
    timer.start();
    frmNotepad* window = OpenDocument(main, path);
    if (!window) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        return 1;
    }
    QCoreApplication::processEvents();
    const double openMs = milliseconds(timer);
    settle(4000);
    const double openRss = rssMiB();
    const double openHeap = heapMiB();
    const double openPeak = peakMiB();
    if (stopAfter == QLatin1String("open")) {
        std::printf("page open: RSS %.1f MiB, heap %.1f MiB; stopped here\n", openRss, openHeap);
        std::fflush(stdout);
        std::_Exit(0);
    }

    RichTextControl& text = *window->txtRich;
    const size_t originalHash = textHash(text);
    const int originalLength = text.textLength();
    text.setSelStart(0);

    frmFind& find = main.findDialog();
    find.cmbFind->setCurrentText(QStringLiteral("<"));
    find.cmbReplace->setCurrentText(QStringLiteral("&lt;"));
    find.chkCase->setChecked(false);
    find.chkSelectedText->setChecked(false);
    find.chkReplaceAll->setChecked(true);
    settle(200);
    const double beforeRss = rssMiB();
    const bool reset = resetPeak();
    timer.restart();
    find.cmdFind->click();
    QCoreApplication::processEvents();
    const double replaceMs = milliseconds(timer);
    const double replacePeak = peakMiB();
    const int replacedLength = text.textLength();
    const size_t replacedHash = textHash(text);
    bool right = holdsNoLessThan(text) && replacedLength > originalLength;

    settle(1000);
    const double settledRss = rssMiB();
    const double settledHeap = heapMiB();
    resetPeak();
    if (auto* recovery = main.findChild<RecoveryJournal*>(QStringLiteral("recovery"))) {
        recovery->journalNow();
        recovery->waitForWrites();
    }
    QCoreApplication::processEvents();
    const double journalPeak = peakMiB();
    const double journalRss = rssMiB();
    if (stopAfter == QLatin1String("replace")) {
        std::printf("replaced and journalled: RSS %.1f MiB, heap %.1f MiB; stopped here\n", journalRss,
                    heapMiB());
        std::fflush(stdout);
        std::_Exit(0);
    }

    right = window->undoHistory().Undo() && textHash(text) == originalHash && right;
    right = window->undoHistory().Redo() && textHash(text) == replacedHash && right;

    // Beside each total, what it adds to the idle program (the figure the targets are on, as the
    // idle program alone holds several times the file), both as multiples of the file's size.
    const auto line = [&](const char* what, double rss) {
        std::printf("  %-40s RSS %7.1f MiB (%5.1f x file), over idle %6.1f MiB (%5.1f x file)\n", what, rss,
                    rss / sizeMiB, rss - idleRss, (rss - idleRss) / sizeMiB);
    };
    std::printf("%s: %lld bytes (%.2f MiB), %d characters as CR LF text\n", qPrintable(path),
                static_cast<long long>(size), sizeMiB, originalLength);
    std::printf("  %-40s RSS %7.1f MiB (%5.1f x file); heap in use %.1f MiB\n", "idle program", idleRss,
                idleRss / sizeMiB, idleHeap);
    line("page open, settled", openRss);
    std::printf("  %-40s heap in use %.1f MiB (%.1f x file), over idle %.1f MiB (%.1f x file)\n", "",
                openHeap, openHeap / sizeMiB, openHeap - idleHeap, (openHeap - idleHeap) / sizeMiB);
    std::printf("  %-40s %7.0f ms\n", "open", openMs);
    line("peak while opening", openPeak);
    std::printf("  %-40s %7.0f ms (click to first paint)\n", "replace all \"<\" by \"&lt;\"", replaceMs);
    line("peak of replace all", replacePeak);
    std::printf("  %-40s     %7.1f MiB (%5.1f x file)\n", "  its growth over the open page",
                replacePeak - beforeRss, (replacePeak - beforeRss) / sizeMiB);
    line("after it, settled", settledRss);
    std::printf("  %-40s heap in use %.1f MiB (%.1f x file)\n", "", settledHeap, settledHeap / sizeMiB);
    line("peak while the journal is written", journalPeak);
    line("after the journal, settled", journalRss);
    std::printf("  %-40s %s\n", "undo and redo give the texts back", right ? "yes" : "NO");
    const auto verdict = [&](double rss) {
        return (rss - idleRss) / sizeMiB <= kTargetTimes ? "met" : "MISSED";
    };
    std::printf("  targets, over idle, at most %.0f x file: page open %s, replace all's peak %s, "
                "after replace all and journal %s\n",
                kTargetTimes, verdict(openRss), verdict(replacePeak), verdict(journalRss));
    if (!reset)
        std::printf("  (the peak RSS could not be reset: the peaks include the opening)\n");
    std::fflush(stdout);
    window->undoHistory().ClearAllUndo();
    main.documents().DocumentSlots[window->slot()].Modified = false;
    return right ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    bool once = false;
    QStringList arguments = benchArguments(argc, argv, once);
    QString stopAfter;
    for (qsizetype i = arguments.size() - 1; i >= 0; --i)
        if (arguments[i].startsWith(QLatin1String(kStopArgument)))
            stopAfter = arguments.takeAt(i).mid(qsizetype(std::strlen(kStopArgument)));
    if (arguments.size() > 1) {
        std::fprintf(stderr, "usage: bench_memory [PAGE.html]\n");
        return 2;
    }
    const QString path = arguments.isEmpty() ? QString::fromLatin1(kDefaultPage) : arguments.front();
    if (once || !stopAfter.isEmpty())
        return measureOnce(path, stopAfter);
    // Each run in a fresh process of its own.
    QCoreApplication app(argc, argv);
    int status = 0;
    for (int run = 1; run <= 2; ++run) {
        std::printf("run %d\n", run);
        std::fflush(stdout);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kOnceArgument), path});
        if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit ||
            child.exitCode() != 0) {
            std::printf("  run %d failed\n", run);
            status = 1;
        }
    }
    return status;
}
