// What Find Next and Replace All cost on a large page.
//
//   bench_find [PAGE.html]
//
// The page (by default the Node.js API page that Debian's documentation ships) is loaded the way
// opening a file does (line breaks made CR LF, text set, whole text coloured) into a
// RichTextControl shown offscreen. Printed:
// - Find Next of a word the page does not hold, downward from the start, with and without match
//   case: reading the control's text and FindMatch together, median and worst of 5;
// - Replace All of "<" by "&lt;" (match case off) as the editor does it: the text read, the
//   replaced text built, the whole text replaced in the control, the new text recoloured, and the
//   event loop run once so that the window shows the result; each part and the total;
// - the process's peak memory as a multiple of the file size, with what it was before the page was
//   loaded, after opening, and what Replace All added to it;
// - as a floor for the replacement, `sed 's/</\&lt;/g'` over the same file in the same run.
// Figures only: the exit status is non-zero only when the page cannot be read or the replacement
// gave a wrong text.

#include "BenchFigures.h"
#include "BenchPage.h"
#include "editor/Colorizer.h"
#include "editor/Search.h"
#include "markup/LineEndings.h"
#include "platform/RichTextControl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <cstdio>
#include <vector>

namespace {

const char* const kDefaultPage = "/usr/share/doc/nodejs/api/all.html";
constexpr int kFindRounds = 5;
constexpr double kFindTargetMs = 50;
constexpr double kReplaceTargetMs = 1000;
constexpr double kPeakTargetTimesSize = 10;

const char* verdict(bool met) {
    return met ? "met" : "MISSED";
}

// Find Next as the document window runs it: the control's text read, then searched.
std::vector<double> findNextMs(const RichTextControl& control, const QString& word, bool matchCase) {
    std::vector<double> times;
    for (int round = 0; round < kFindRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        const QString text = control.text();
        const qsizetype at = FindMatch(text, word, 0, true, matchCase);
        times.push_back(milliseconds(timer));
        if (at != -1)
            std::printf("  (the word searched for is on the page at %lld)\n", static_cast<long long>(at));
    }
    return times;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const QString path = arguments.size() > 1 ? arguments.at(1) : QString::fromLatin1(kDefaultPage);

    const ColorRoles roles;
    RichTextControl control;
    control.resize(1000, 700);
    control.show();
    QApplication::processEvents();

    const long beforeKiB = peakMemoryKiB();
    QElapsedTimer timer;
    timer.start();
    qint64 size = 0;
    if (!loadColored(control, roles, path, &size))
        return 1;
    const double openMs = milliseconds(timer);
    const long openedKiB = peakMemoryKiB();
    const double sizeMiB = static_cast<double>(size) / (1024.0 * 1024.0);
    std::printf("%s\n", qPrintable(path));
    std::printf("  file size                 %10lld bytes (%.2f MiB), %d characters as CR LF text\n",
                static_cast<long long>(size), sizeMiB, control.textLength());
    std::printf("  open and colour           %10.1f ms\n", openMs);

    // A word the page does not hold, so that the whole text is searched.
    const QString absent = QStringLiteral("quilloraAbsentWord");
    const std::vector<double> findOff = findNextMs(control, absent, false);
    const std::vector<double> findOn = findNextMs(control, absent, true);
    std::printf("  find next, case off       %10.1f ms median of %d (worst %.1f ms)\n", median(findOff),
                kFindRounds, worst(findOff));
    std::printf("  find next, match case     %10.1f ms median of %d (worst %.1f ms)\n", median(findOn),
                kFindRounds, worst(findOn));
    {
        QElapsedTimer reading;
        reading.start();
        const QString text = control.text();
        std::printf("    of which reading the text %8.1f ms\n", milliseconds(reading));
    }

    // Replace All as the document window does it: one replacement of the whole text, recoloured.
    const QString find = QStringLiteral("<");
    const QString replacement = QStringLiteral("&lt;");
    int count = 0;
    double readMs = 0;
    double replaceMs = 0;
    double setMs = 0;
    double recolorMs = 0;
    double paintMs = 0;
    qsizetype expectedLength = 0;
    {
        timer.restart();
        const QString text = control.text();
        readMs = milliseconds(timer);
        timer.restart();
        const QString result = ReplaceAllText(text, find, replacement, false, &count);
        replaceMs = milliseconds(timer);
        expectedLength = text.size() + qsizetype(count) * (replacement.size() - find.size());
        if (result.size() != expectedLength || result.contains(find)) {
            std::fprintf(stderr, "the replaced text is wrong\n");
            return 1;
        }
        timer.restart();
        control.select(0, control.textLength());
        control.setSelText(result);
        setMs = milliseconds(timer);
    }
    timer.restart();
    RecolorChange(control, roles, 0, control.textLength());
    recolorMs = milliseconds(timer);
    timer.restart();
    QApplication::processEvents();
    paintMs = milliseconds(timer);
    const double totalMs = readMs + replaceMs + setMs + recolorMs + paintMs;
    if (control.textLength() != expectedLength) {
        std::fprintf(stderr, "the control holds %d characters, not %lld\n", control.textLength(),
                     static_cast<long long>(expectedLength));
        return 1;
    }
    std::printf("  replace all \"<\" by \"&lt;\"  %10d replacements, case off\n", count);
    std::printf("    read the text           %10.1f ms\n", readMs);
    std::printf("    build the replaced text %10.1f ms\n", replaceMs);
    std::printf("    set it in the control   %10.1f ms\n", setMs);
    std::printf("    recolour the new text   %10.1f ms\n", recolorMs);
    std::printf("    event loop, first paint %10.1f ms\n", paintMs);
    std::printf("    total                   %10.1f ms\n", totalMs);

    const double peakMiB = static_cast<double>(peakMemoryKiB()) / 1024.0;
    const auto mib = [](long kib) { return static_cast<double>(kib) / 1024.0; };
    std::printf("  peak memory               %10.1f MiB (%.1f x file size)\n", peakMiB, peakMiB / sizeMiB);
    std::printf(
        "    before loading          %10.1f MiB; after opening %.1f MiB (%.1f x file size); replace all "
        "added %.1f MiB (%.1f x file size)\n",
        mib(beforeKiB), mib(openedKiB), mib(openedKiB) / sizeMiB, peakMiB - mib(openedKiB),
        (peakMiB - mib(openedKiB)) / sizeMiB);

    const double floorMs = sedMs({QStringLiteral("s/</\\&lt;/g")}, path);
    if (floorMs >= 0)
        std::printf("  floor: sed 's/</\\&lt;/g'  %10.1f ms (replace all / sed = %.1f)\n", floorMs,
                    totalMs / floorMs);
    else
        std::printf("  floor: sed is not installed or failed; no floor measured\n");

    std::printf("  targets: replace all < 1 s %s, peak < 10 x size %s, find next < 50 ms %s (case off) %s "
                "(match case)\n",
                verdict(totalMs < kReplaceTargetMs), verdict(peakMiB < kPeakTargetTimesSize * sizeMiB),
                verdict(median(findOff) < kFindTargetMs), verdict(median(findOn) < kFindTargetMs));
    std::fflush(stdout);
    return 0;
}
