// What Replace All costs on a large page as the find dialog does it in one document, recorded as one
// undo step, and what Undo and Redo of it cost.
//
//   bench_replace [PAGE.html]
//
// The page (by default the Node.js API page that Debian's documentation ships) is loaded the way
// opening a file does (line breaks made CR LF, text set, whole text coloured) into a
// RichTextControl shown offscreen, with an UndoHistory on it that recolours what Undo and Redo put
// back, as the document window does. Printed:
// - Replace All of "<" by "&lt;" (match case off): working it out (the text read, the replaced
//   text built), the step recorded with the text set in the control, the new text recoloured and
//   the event loop run once; each part and the total;
// - Undo of it and Redo of it: the text put back, its recolouring, the event loop; each checked
//   against the text (and the selection) it should give back;
// - Replace All of the pattern `<(\w+)` by `<\1` (regular expression, match case off) on the page as
//   it was: the matches counted and replaced, which gives the same text back, so that nothing is
//   set or recorded; measured last, so that it leaves the figures above as they are;
// - peak memory during each, against the file size: the peak RSS is reset (Linux clear_refs) before
//   each, so its growth is that of the operation alone; and the bytes the history keeps;
// - the same memory figures with the step keeping the whole text instead of the replaced pieces,
//   in a child process of its own, to compare the two forms a step can take;
// - as a floor, sed over the same file in the same run: `sed 's/</\&lt;/g'` and
//   `sed -E 's/<([[:alnum:]_]+)/<\1/g'`.
// Figures only: the exit status is non-zero only when the page cannot be read or a text came out
// wrong.

#include "BenchFigures.h"
#include "BenchPage.h"
#include "editor/Colorizer.h"
#include "editor/Search.h"
#include "editor/SearchState.h"
#include "editor/UndoHistory.h"
#include "platform/RichTextControl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>

namespace {

const char* const kDefaultPage = "/usr/share/doc/nodejs/api/all.html";
const char* const kWholeTextArgument = "--whole-text";
constexpr double kReplaceTargetMs = 1500;
constexpr double kUndoTargetMs = 300;

const char* verdict(bool met) {
    return met ? "met" : "MISSED";
}

// Lowers the peak RSS that getrusage reports to the current RSS (Linux 4.0 and later).
bool resetPeakRss() {
    FILE* clearRefs = std::fopen("/proc/self/clear_refs", "w");
    if (!clearRefs)
        return false;
    const bool written = std::fputs("5", clearRefs) >= 0;
    return std::fclose(clearRefs) == 0 && written;
}

double heapInUseMiB() {
    const struct mallinfo2 info = mallinfo2();
    return mib(static_cast<double>(info.uordblks + info.hblkhd));
}

// The peak RSS an operation reaches above the RSS before it.
class PeakWatch {
public:
    PeakWatch() : m_reset(resetPeakRss()), m_beforeKiB(statusKiB("VmRSS:")) {}
    double growthMiB() const { return static_cast<double>(statusKiB("VmHWM:") - m_beforeKiB) / 1024.0; }
    bool reset() const { return m_reset; }

private:
    bool m_reset;
    long m_beforeKiB;
};

struct Figures {
    double regexMs = 0, regexPeakMiB = 0;
    double planMs = 0, recordMs = 0, recolorMs = 0, paintMs = 0;
    double undoMs = 0, undoRecolorMs = 0, undoPaintMs = 0;
    double redoMs = 0, redoRecolorMs = 0, redoPaintMs = 0;
    double replacePeakMiB = 0, undoPeakMiB = 0, redoPeakMiB = 0;
    double heldMiB = 0, heapAfterMiB = 0;
    bool peakReset = true;
    double replaceTotal() const { return planMs + recordMs + recolorMs + paintMs; }
    double undoTotal() const { return undoMs + undoPaintMs; }
    double redoTotal() const { return redoMs + redoPaintMs; }
};

// Opens the page, replaces "<" by "&lt;" as one step and undoes and redoes it, printing the figures.
// With `wholeText` the step is given no pieces, so it keeps the whole text. Returns the exit status.
int measure(const QString& path, bool wholeText, Figures& figures) {
    const ColorRoles roles;
    RichTextControl control;
    control.resize(1000, 700);
    control.show();
    QApplication::processEvents();
    UndoHistory history(control);
    double* recolorTarget = nullptr;
    history.onRestored = [&](int start, int length) {
        QElapsedTimer timer;
        timer.start();
        RecolorChange(control, roles, start, length);
        if (recolorTarget)
            *recolorTarget = milliseconds(timer);
    };

    qint64 size = 0;
    QElapsedTimer timer;
    timer.start();
    if (!loadColored(control, roles, path, &size))
        return 1;
    const double openMs = milliseconds(timer);
    const double sizeMiB = mib(static_cast<double>(size));
    // Hashes stand for the texts, so that no copy of them swells the memory measured.
    const size_t originalHash = qHash(control.text());
    const int originalLength = control.textLength();
    control.select(1000, 20);

    SearchState state;
    state.findText = QStringLiteral("<");
    state.matchCase = false;
    const QString replacement = QStringLiteral("&lt;");
    int count = 0;
    int replacedLength = 0;
    {
        const PeakWatch peak;
        figures.peakReset = peak.reset();
        timer.restart();
        ReplaceAllPlan plan = PlanReplaceAll(control, false, state, replacement);
        figures.planMs = milliseconds(timer);
        count = plan.count;
        replacedLength = static_cast<int>(plan.replaced.size());
        timer.restart();
        if (wholeText) {
            // No pieces: the step keeps the whole text before, read whole here if the plan did not.
            const QString searched = plan.readInPieces ? control.text() : plan.searched;
            history.replaceStretch(plan.start, searched, plan.replaced, {});
        } else {
            history.replaceStretch(std::move(plan));
        }
        plan = {};
        figures.recordMs = milliseconds(timer);
        timer.restart();
        RecolorChange(control, roles, 0, replacedLength);
        figures.recolorMs = milliseconds(timer);
        timer.restart();
        QApplication::processEvents();
        figures.paintMs = milliseconds(timer);
        figures.replacePeakMiB = peak.growthMiB();
    }
    figures.heldMiB = mib(static_cast<double>(history.heldBytes()));
    figures.heapAfterMiB = heapInUseMiB();
    const size_t replacedHash = qHash(control.text());
    bool right = control.textLength() == replacedLength &&
                 replacedLength == originalLength + 3 * static_cast<qsizetype>(count) &&
                 !control.text().contains(QLatin1Char('<'));

    {
        const PeakWatch peak;
        recolorTarget = &figures.undoRecolorMs;
        timer.restart();
        right = history.Undo() && right;
        figures.undoMs = milliseconds(timer);
        timer.restart();
        QApplication::processEvents();
        figures.undoPaintMs = milliseconds(timer);
        figures.undoPeakMiB = peak.growthMiB();
    }
    right = right && qHash(control.text()) == originalHash && control.selStart() == 1000 &&
            control.selLength() == 20;
    {
        const PeakWatch peak;
        recolorTarget = &figures.redoRecolorMs;
        timer.restart();
        right = history.Redo() && right;
        figures.redoMs = milliseconds(timer);
        timer.restart();
        QApplication::processEvents();
        figures.redoPaintMs = milliseconds(timer);
        figures.redoPeakMiB = peak.growthMiB();
    }
    right = right && qHash(control.text()) == replacedHash && control.selStart() == replacedLength;

    // The pattern last, on the page as it was (undone once more), so that it leaves the figures
    // above as they are; only this form's run measures it.
    int regexCount = 0;
    if (!wholeText) {
        right = history.Undo() && qHash(control.text()) == originalHash && right;
        state.findText = QStringLiteral("<(\\w+)");
        state.regex = true;
        const PeakWatch peak;
        timer.restart();
        const ReplaceAllPlan plan = PlanReplaceAll(control, false, state, QStringLiteral("<\\1"));
        figures.regexMs = milliseconds(timer);
        figures.regexPeakMiB = peak.growthMiB();
        regexCount = plan.count;
        right = right && !plan.changes;
    }

    std::printf("%s, the step keeping %s\n", qPrintable(path),
                wholeText ? "the whole text (forced)" : "what the editor chooses");
    std::printf("  file size                 %10lld bytes (%.2f MiB), %d characters as CR LF text\n",
                static_cast<long long>(size), sizeMiB, originalLength);
    std::printf("  open and colour           %10.1f ms\n", openMs);
    std::printf("  replace all \"<\" by \"&lt;\"  %10d replacements, case off\n", count);
    std::printf("    read, replaced text     %10.1f ms\n", figures.planMs);
    std::printf("    step recorded, text set %10.1f ms\n", figures.recordMs);
    std::printf("    recolour the new text   %10.1f ms\n", figures.recolorMs);
    std::printf("    event loop, first paint %10.1f ms\n", figures.paintMs);
    std::printf("    total                   %10.1f ms\n", figures.replaceTotal());
    std::printf("  undo of it                %10.1f ms (of which recolouring %.1f ms; event loop %.1f ms)\n",
                figures.undoTotal(), figures.undoRecolorMs, figures.undoPaintMs);
    std::printf("  redo of it                %10.1f ms (of which recolouring %.1f ms; event loop %.1f ms)\n",
                figures.redoTotal(), figures.redoRecolorMs, figures.redoPaintMs);
    std::printf("  texts and selection right %10s\n", right ? "yes" : "NO");
    std::printf("  peak RSS growth, replace  %10.1f MiB (%.1f x file size)\n", figures.replacePeakMiB,
                figures.replacePeakMiB / sizeMiB);
    std::printf("  peak RSS growth, undo     %10.1f MiB (%.1f x file size)\n", figures.undoPeakMiB,
                figures.undoPeakMiB / sizeMiB);
    std::printf("  peak RSS growth, redo     %10.1f MiB (%.1f x file size)\n", figures.redoPeakMiB,
                figures.redoPeakMiB / sizeMiB);
    std::printf("  the history keeps         %10.1f MiB (%.2f x file size); heap in use %.1f MiB\n",
                figures.heldMiB, figures.heldMiB / sizeMiB, figures.heapAfterMiB);
    if (!wholeText) {
        std::printf("  replace all <(\\w+) by <\\1  %8d replacements, regular expression, case off\n",
                    regexCount);
        std::printf(
            "    total                   %10.1f ms (the text comes out the same: nothing set, no step)\n",
            figures.regexMs);
        std::printf("    peak RSS growth         %10.1f MiB (%.1f x file size)\n", figures.regexPeakMiB,
                    figures.regexPeakMiB / sizeMiB);
    }
    if (!figures.peakReset)
        std::printf("  (the peak RSS could not be reset: the growths above include the loading)\n");
    std::fflush(stdout);
    return right ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList arguments = QApplication::arguments().mid(1);
    const bool wholeText = arguments.removeAll(QString::fromLatin1(kWholeTextArgument)) > 0;
    if (arguments.size() > 1) {
        std::fprintf(stderr, "usage: bench_replace [PAGE.html]\n");
        return 2;
    }
    const QString path = arguments.isEmpty() ? QString::fromLatin1(kDefaultPage) : arguments.front();
    Figures figures;
    if (wholeText)
        return measure(path, true, figures);
    const int status = measure(path, false, figures);

    // The other form, in a process of its own so that this one's freed memory does not hide its peaks.
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QApplication::applicationFilePath(), {QString::fromLatin1(kWholeTextArgument), path});
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        std::printf("  the run with the whole text kept failed\n");

    const double sedPlainMs = sedMs({QStringLiteral("s/</\\&lt;/g")}, path);
    const double sedRegexMs =
        sedMs({QStringLiteral("-E"), QStringLiteral("s/<([[:alnum:]_]+)/<\\1/g")}, path);
    std::printf("floors, sed over the same file\n");
    std::printf("  sed 's/</\\&lt;/g'                      %10.1f ms (replace all / sed = %.1f)\n",
                sedPlainMs, sedPlainMs > 0 ? figures.replaceTotal() / sedPlainMs : 0.0);
    std::printf("  sed -E 's/<([[:alnum:]_]+)/<\\1/g'       %10.1f ms (regex replace all / sed = %.1f)\n",
                sedRegexMs, sedRegexMs > 0 ? figures.regexMs / sedRegexMs : 0.0);
    std::printf("targets: regex replace all < %.1f s %s, replace all < %.1f s %s, its undo < %.0f ms %s\n",
                kReplaceTargetMs / 1000, verdict(figures.regexMs < kReplaceTargetMs), kReplaceTargetMs / 1000,
                verdict(figures.replaceTotal() < kReplaceTargetMs), kUndoTargetMs,
                verdict(figures.undoTotal() < kUndoTargetMs));
    std::fflush(stdout);
    return status;
}
