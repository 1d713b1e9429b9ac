// What the undo history costs on a large page: typing with its bookkeeping, recording a command's
// step, undoing and redoing a large paste, and the memory ten large steps hold.
//
//   bench_undo [PAGE.html]
//
// The page (by default the Node.js API page that Debian's documentation ships) is loaded the way
// opening a file does (line breaks made CR LF, text set, whole text coloured) into a
// RichTextControl shown offscreen, with an UndoHistory on it. Printed:
// - 200 single characters typed in the middle as the document window types them (typing colour,
//   the history told, insertion, recolouring; the typed run recorded every 10 characters), each
//   timed: median and worst;
// - AddUndo of a small change right after a keystroke (so it also records the typed run);
// - a paste of 1 MiB of generated markup recorded with AddUndo, then Undo and Redo of it, with
//   the text checked after each: in the typing colour first, then coloured (removing coloured
//   lines costs more); the recolouring the window does after Redo is timed apart;
// - memory: ten 1 MiB pastes, each recorded with AddUndo, against the same pastes without the
//   history, each run in a child process of its own. The peak RSS (getrusage) is reset to the
//   current RSS once the page is loaded, so its growth is that of the pastes alone, document and
//   history together. The history's share is the difference of the two runs in heap in use
//   (mallinfo2): the difference in RSS is blurred by freed memory the allocator keeps and reuses,
//   and can come out smaller than the pasted texts the history holds (2 bytes a character).
// Figures only: the exit status is non-zero only when the page cannot be read or Undo or Redo
// did not give back the text they should have.

#include "BenchFigures.h"
#include "editor/Colorizer.h"
#include "editor/UndoHistory.h"
#include "markup/LineEndings.h"
#include "platform/RichTextControl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

const char* const kDefaultPage = "/usr/share/doc/nodejs/api/all.html";
const char* const kMemoryArgument = "--memory-child";
constexpr int kKeystrokes = 200;
constexpr int kRecordEvery = 10;
constexpr int kAddUndoRepeats = 200;
constexpr int kUndoRounds = 5;
constexpr int kPastes = 10;
constexpr int kPasteCharacters = 1024 * 1024;
constexpr double kKeystrokeMedianTargetMs = 1;
constexpr double kHistoryMemoryTargetMiB = 30;

long currentRssKiB() {
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Lowers the peak RSS that getrusage reports to the current RSS (Linux 4.0 and later).
bool resetPeakRss() {
    FILE* clearRefs = std::fopen("/proc/self/clear_refs", "w");
    if (!clearRefs)
        return false;
    const bool written = std::fputs("5", clearRefs) >= 0;
    return std::fclose(clearRefs) == 0 && written;
}

// Bytes the program has allocated and not freed (mallinfo2): unlike the RSS, neither freed memory
// the allocator keeps nor allocated memory never touched counts.
long heapInUseKiB() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
}

double mib(double kib) {
    return kib / 1024.0;
}

// kPasteCharacters of table markup in whole CR LF lines (padded with spaces at the end), numbered
// from `seed` so that every paste is a text of its own.
QString pasteText(int seed) {
    QString text;
    text.reserve(kPasteCharacters);
    for (int row = 0;; ++row) {
        const QString n = QString::number(seed) + QLatin1Char('-') + QString::number(row);
        const QString line = QStringLiteral("<TR><TD CLASS=\"cell\">Row ") + n +
                             QStringLiteral("</TD><TD><A HREF=\"page") + n +
                             QStringLiteral(".htm\">link</A> &amp; text</TD></TR>\r\n");
        if (text.size() + line.size() > kPasteCharacters)
            break;
        text += line;
    }
    text += QString(kPasteCharacters - text.size(), QLatin1Char(' '));
    return text;
}

bool readPage(const QString& path, QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return false;
    }
    bytes = file.readAll();
    return true;
}

// The page in a control shown offscreen, as opening a file puts it there.
void load(RichTextControl& control, const ColorRoles& roles, QByteArray bytes) {
    control.resize(1000, 700);
    control.show();
    QApplication::processEvents();
    {
        const QString text = NormalizeToCrLf(QString::fromUtf8(bytes));
        bytes = QByteArray();
        control.setText(text);
    }
    ColorizeRange(control, roles, 0, 0);
    QApplication::processEvents();
}

// An offset in the middle of the text that does not split a CR LF.
int middleOf(const RichTextControl& control) {
    int offset = control.textLength() / 2;
    if (control.charAt(offset) == QChar(10))
        ++offset;
    return offset;
}

// The memory child: loads the page, then pastes ten texts of kPasteCharacters in the middle, each
// recorded with AddUndo unless `withHistory` is false. Prints one line of figures in KiB: the RSS
// before the pastes, the peak RSS after them, the RSS after them, the heap in use before and after
// them, and whether the peak was reset.
int memoryChild(const QString& path, bool withHistory) {
    QByteArray bytes;
    if (!readPage(path, bytes))
        return 1;
    const ColorRoles roles;
    RichTextControl control;
    UndoHistory history(control);
    load(control, roles, std::move(bytes));
    control.setSelStart(middleOf(control));

    const bool peakReset = resetPeakRss();
    const long before = currentRssKiB();
    const long heapBefore = heapInUseKiB();
    for (int paste = 0; paste < kPastes; ++paste) {
        // The window's paste: the clipboard's text made CR LF, recorded, put in place of the
        // selection. The caller's copy goes afterwards, so what stays is the document's text and
        // the history's.
        const QString text = NormalizeToCrLf(pasteText(paste));
        if (withHistory)
            history.AddUndo(control.selText(), text, control.selStart());
        control.setSelText(text);
        QApplication::processEvents();
    }
    const long peakAfter = peakMemoryKiB();
    const long after = currentRssKiB();
    const long heapAfter = heapInUseKiB();
    std::printf("%ld %ld %ld %ld %ld %d\n", before, peakAfter, after, heapBefore, heapAfter,
                peakReset ? 1 : 0);
    return 0;
}

struct MemoryRun {
    bool ok = false;
    long before = 0, peakAfter = 0, after = 0, heapBefore = 0, heapAfter = 0;
    bool peakReset = false;
    double peakGrowthMiB() const { return mib(static_cast<double>(peakAfter - before)); }
    double growthMiB() const { return mib(static_cast<double>(after - before)); }
    double heapGrowthMiB() const { return mib(static_cast<double>(heapAfter - heapBefore)); }
};

MemoryRun runMemoryChild(const QString& path, bool withHistory) {
    QProcess child;
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.setReadChannel(QProcess::StandardOutput);
    child.start(QApplication::applicationFilePath(),
                {QString::fromLatin1(kMemoryArgument),
                 withHistory ? QStringLiteral("with") : QStringLiteral("without"), path});
    MemoryRun run;
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        std::fprintf(stderr, "memory run failed: %s\n", child.readAllStandardError().constData());
        return run;
    }
    int reset = 0;
    run.ok = std::sscanf(child.readAllStandardOutput().constData(), "%ld %ld %ld %ld %ld %d", &run.before,
                         &run.peakAfter, &run.after, &run.heapBefore, &run.heapAfter, &reset) == 6;
    run.peakReset = reset != 0;
    return run;
}

int runBenchmark(const QString& path) {
    if (!QFile(path).open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
    }
    // The memory runs go first, while this process is small: a child's peak RSS can include what
    // it was forked from.
    const MemoryRun withHistory = runMemoryChild(path, true);
    const MemoryRun withoutHistory = runMemoryChild(path, false);

    QByteArray bytes;
    if (!readPage(path, bytes))
        return 1;
    const qint64 size = bytes.size();
    const ColorRoles roles;
    RichTextControl control;
    UndoHistory history(control);
    QElapsedTimer timer;
    timer.start();
    load(control, roles, std::move(bytes));
    const double loadMs = milliseconds(timer);
    bool textsRight = true;

    // Typing in the middle as the window types: the typing colour of the place, the history told
    // before the character goes in, the recolouring after; every tenth character ends the run.
    const QString typed = QStringLiteral("<b class=\"note\">Word</b> <!-- c --> x ");
    int cursor = middleOf(control);
    std::vector<double> keystrokeMs;
    for (int i = 0; i < kKeystrokes; ++i) {
        const QString character = typed.mid(i % typed.size(), 1);
        timer.restart();
        control.setSelStart(cursor);
        control.setSelColor(TypingColor(control, roles, cursor));
        history.typedAt(cursor, character);
        control.setSelText(character);
        RecolorChange(control, roles, cursor, 1);
        if ((i + 1) % kRecordEvery == 0)
            history.recordPending();
        keystrokeMs.push_back(milliseconds(timer));
        ++cursor;
    }
    const int worstKeystroke =
        static_cast<int>(std::max_element(keystrokeMs.begin(), keystrokeMs.end()) - keystrokeMs.begin()) + 1;

    // The same typing as key events, as a person types: the control inserts each character itself
    // and reports what it changed, which the history collects.
    QObject::connect(&control, &RichTextControl::edited, [&history](const TextEdit& edit) {
        history.observed(edit.offset, edit.removed, edit.inserted, edit.cursorBefore, edit.hadSelection);
    });
    std::vector<double> keyEventMs;
    for (int i = 0; i < kKeystrokes; ++i) {
        const QString character = typed.mid(i % typed.size(), 1);
        timer.restart();
        control.setSelStart(cursor);
        control.setSelColor(TypingColor(control, roles, cursor));
        QKeyEvent press(QEvent::KeyPress, character.at(0).unicode(), Qt::NoModifier, character);
        QApplication::sendEvent(&control, &press);
        RecolorChange(control, roles, cursor, 1);
        keyEventMs.push_back(milliseconds(timer));
        ++cursor;
    }
    // One run of all the characters, each reported where it was typed.
    textsRight = textsRight && history.PendingTyped().size() == kKeystrokes;
    history.recordPending();

    // A command's step right after a keystroke: AddUndo also records the typed run before it.
    const QString small = QStringLiteral("<BR>");
    std::vector<double> addUndoMs;
    for (int i = 0; i < kAddUndoRepeats; ++i) {
        control.setSelStart(cursor);
        history.typedAt(cursor, QStringLiteral("x"));
        control.setSelText(QStringLiteral("x"));
        ++cursor;
        timer.restart();
        history.AddUndo(QString(), small, cursor);
        addUndoMs.push_back(milliseconds(timer));
        control.setSelText(small);
        cursor += static_cast<int>(small.size());
    }

    // A paste of 1 MiB, recorded as the window records it, then undone and redone: first as the
    // Edit menu's Paste leaves it (in the typing colour), then coloured, as Ctrl+V leaves it and as
    // the window recolours it after every Redo.
    const QString pasted = NormalizeToCrLf(pasteText(0));
    const int pastedLength = static_cast<int>(pasted.size());
    const int at = middleOf(control);
    const int lengthBefore = control.textLength();
    const QString around = control.textRange(at - 100, 200);
    control.setSelStart(at);
    timer.restart();
    history.AddUndo(control.selText(), pasted, at);
    control.setSelText(pasted);
    const double pasteMs = milliseconds(timer);
    QApplication::processEvents();
    struct UndoFigures {
        std::vector<double> undoMs, redoMs, recolorMs;
    };
    const auto undoRedoRounds = [&](bool recolor) {
        UndoFigures figures;
        for (int round = 0; round < kUndoRounds; ++round) {
            timer.restart();
            const bool undone = history.Undo();
            figures.undoMs.push_back(milliseconds(timer));
            textsRight = textsRight && undone && control.textLength() == lengthBefore &&
                         control.textRange(at - 100, 200) == around;
            QApplication::processEvents();
            timer.restart();
            const bool redone = history.Redo();
            figures.redoMs.push_back(milliseconds(timer));
            if (recolor) {
                timer.restart();
                RecolorChange(control, roles, at, pastedLength);
                figures.recolorMs.push_back(milliseconds(timer));
            }
            textsRight = textsRight && redone && control.textLength() == lengthBefore + pastedLength &&
                         control.textRange(at, pastedLength) == pasted;
            QApplication::processEvents();
        }
        return figures;
    };
    const UndoFigures plain = undoRedoRounds(false);
    RecolorChange(control, roles, at, pastedLength);
    QApplication::processEvents();
    const UndoFigures colored = undoRedoRounds(true);

    const auto verdict = [](bool met) { return met ? "met" : "MISSED"; };
    const double keystrokeMedian = median(keystrokeMs);
    std::printf("%s\n", qPrintable(path));
    std::printf("  file size                             %10lld bytes (%.2f MiB)\n",
                static_cast<long long>(size), static_cast<double>(size) / (1024.0 * 1024.0));
    std::printf("  open and colour                       %10.1f ms\n", loadMs);
    std::printf("  keystroke with bookkeeping, median    %10.3f ms (%d characters, run recorded every %d)\n",
                keystrokeMedian, kKeystrokes, kRecordEvery);
    std::printf("  keystroke with bookkeeping, worst     %10.3f ms (keystroke %d)\n", worst(keystrokeMs),
                worstKeystroke);
    std::printf(
        "  key event, observed, median           %10.3f ms (worst %.3f ms; %d key events, the control's\n"
        "                                                    own insertion reported to the history)\n",
        median(keyEventMs), worst(keyEventMs), kKeystrokes);
    std::printf("  AddUndo after a keystroke, median     %10.4f ms (worst %.4f ms, %d times)\n",
                median(addUndoMs), worst(addUndoMs), kAddUndoRepeats);
    std::printf(
        "  paste of 1 MiB, recorded              %10.1f ms (AddUndo and setSelText, %lld characters)\n",
        pasteMs, static_cast<long long>(pasted.size()));
    std::printf("  undo of the 1 MiB paste, median       %10.1f ms (worst %.1f ms, %d rounds; in the typing "
                "colour, as the menu's Paste leaves it)\n",
                median(plain.undoMs), worst(plain.undoMs), kUndoRounds);
    std::printf("  redo of it, median                    %10.1f ms (worst %.1f ms)\n", median(plain.redoMs),
                worst(plain.redoMs));
    std::printf(
        "  undo of it coloured, median           %10.1f ms (worst %.1f ms; coloured, as Ctrl+V and the "
        "window's Redo leave it)\n",
        median(colored.undoMs), worst(colored.undoMs));
    std::printf(
        "  redo of it, median                    %10.1f ms (worst %.1f ms; recolouring it after, as the "
        "window does: median %.1f ms)\n",
        median(colored.redoMs), worst(colored.redoMs), median(colored.recolorMs));
    std::printf("  undo and redo gave back the text      %10s\n", textsRight ? "yes" : "NO");

    const char* memoryVerdict = "not measured";
    if (withHistory.ok && withoutHistory.ok) {
        const double heldMiB = static_cast<double>(kPastes) * kPasteCharacters * 2 / (1024.0 * 1024.0);
        const double shareMiB = withHistory.heapGrowthMiB() - withoutHistory.heapGrowthMiB();
        memoryVerdict = verdict(shareMiB < kHistoryMemoryTargetMiB);
        std::printf("  memory, %d pastes of 1 MiB after loading (document and history together):\n", kPastes);
        std::printf(
            "    peak RSS growth, with history       %10.1f MiB (RSS %.1f MiB before; current RSS +%.1f "
            "MiB, heap in use +%.1f MiB)\n",
            withHistory.peakGrowthMiB(), mib(static_cast<double>(withHistory.before)),
            withHistory.growthMiB(), withHistory.heapGrowthMiB());
        std::printf(
            "    peak RSS growth, without history    %10.1f MiB (AddUndo skipped; current RSS +%.1f MiB, "
            "heap in use +%.1f MiB)\n",
            withoutHistory.peakGrowthMiB(), withoutHistory.growthMiB(), withoutHistory.heapGrowthMiB());
        std::printf(
            "    the history's share, heap in use    %10.1f MiB (the pasted texts it holds: %.1f MiB as "
            "UTF-16; by peak RSS: %.1f MiB)\n",
            shareMiB, heldMiB, withHistory.peakGrowthMiB() - withoutHistory.peakGrowthMiB());
        if (!withHistory.peakReset || !withoutHistory.peakReset)
            std::printf(
                "    (the peak could not be reset after loading: growth below the loading peak is not "
                "seen)\n");
    } else {
        std::printf("  memory: a memory run failed, no figures\n");
    }
    std::printf("  targets: keystroke median < %.0f ms %s, history's share of memory < %.0f MiB %s\n",
                kKeystrokeMedianTargetMs, verdict(keystrokeMedian < kKeystrokeMedianTargetMs),
                kHistoryMemoryTargetMiB, memoryVerdict);
    std::fflush(stdout);
    return textsRight ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.size() == 3 && arguments.front() == QLatin1String(kMemoryArgument))
        return memoryChild(arguments.at(2), arguments.at(1) == QLatin1String("with"));
    if (arguments.size() > 1) {
        std::fprintf(stderr, "usage: bench_undo [PAGE.html]\n");
        return 2;
    }
    return runBenchmark(arguments.isEmpty() ? QString::fromLatin1(kDefaultPage) : arguments.front());
}
