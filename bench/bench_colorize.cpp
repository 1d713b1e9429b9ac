// Opening and colouring speed of large pages, and the cost of typing into them.
//
//   bench_colorize [PAGE.html | --minified] ...
//
// Each page is loaded the way opening a file does (line breaks made CR LF, text set, whole text
// coloured) into a RichTextControl, offscreen. Printed per page: file size, time to set the
// text against a bare QPlainTextEdit::setPlainText of the same text (LF breaks) in the same run,
// time to colour against the scan on its own, peak memory, and the median and worst time of 200
// single-character insertions (typing colour, insertion, recolouring) in the middle of the document.
// "--minified" is a 2 MB single-line page made up here. With several pages, each one runs in a
// process of its own so that its peak memory is its own. Without arguments the Node.js API
// page that Debian's documentation ships is used, followed by the minified page.
// Where kate-syntax-highlighter is installed it is timed on the same file for comparison.
// "--worst-case" (run after the pages when there are no arguments) prints the rows of many
// unclosed tags.

#include "BenchFigures.h"
#include "editor/Colorizer.h"
#include "markup/LineEndings.h"
#include "platform/RichTextControl.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <sys/resource.h>
#include <vector>

namespace {

const char* const kDefaultPage = "/usr/share/doc/nodejs/api/all.html";
const char* const kMinifiedArgument = "--minified";
constexpr int kInsertions = 200;
constexpr qint64 kMinifiedSize = 2 * 1024 * 1024;

// A page as a minifier leaves it: tags, quoted and unquoted attributes, comments, a server
// block and script comparisons, all on one line.
QByteArray minifiedPage() {
    QByteArray page = "<!DOCTYPE html><html><head><title>Shop</title>"
                      "<style>.c{color:red}</style></head><body>";
    for (int item = 0; page.size() < kMinifiedSize; ++item) {
        const QByteArray n = QByteArray::number(item);
        page += "<div class=\"item c" + n + "\" id=i" + n + "><a href=\"/p/" + n + ".html\" title='Item " +
                n + "'>Item " + n + "</a><!-- price --><span>" + n + " &amp; more -> details</span>" +
                "<?php echo $p" + n + "; ?><script>if(a<b&&c>d){x=\"" + n + "\"}</script></div>";
    }
    page += "</body></html>";
    return page;
}

struct Figures {
    double baselineSetTextMs = 0;
    double setTextMs = 0;
    double colorMs = 0;
    double scanMs = 0;
    std::size_t spanCount = 0;
    long baselineKiB = 0;
    long peakKiB = 0;
    std::vector<double> insertionMs;
    std::vector<double> recolorMs;
    std::vector<double> typingColorMs;
};

// What Qt's own plain-text editor takes to show the same text, line breaks as LF: the baseline
// that setting the text is compared with.
double plainEditorSetTextMs(const QString& text) {
    QPlainTextEdit editor;
    editor.setLineWrapMode(QPlainTextEdit::NoWrap);
    editor.resize(1000, 700);
    editor.show();
    QApplication::processEvents();
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QElapsedTimer timer;
    timer.start();
    editor.setPlainText(lines);
    return milliseconds(timer);
}

// Loads, colours and types into one page, as the document window does.
Figures measure(QByteArray bytes) {
    const ColorRoles roles;
    RichTextControl control;
    control.resize(1000, 700);
    control.show();
    QApplication::processEvents();

    Figures figures;
    figures.baselineKiB = peakMemoryKiB();
    QElapsedTimer timer;
    {
        // Opening a file holds its bytes and text only until they are in the control.
        const QString text = NormalizeToCrLf(QString::fromUtf8(bytes));
        bytes = QByteArray();
        timer.start();
        control.setText(text);
        figures.setTextMs = milliseconds(timer);
    }

    timer.restart();
    ColorizeRange(control, roles, 0, control.textLength());
    figures.colorMs = milliseconds(timer);
    QApplication::processEvents();

    // Typing in the middle, one character after the other, each one with its typing colour and
    // its recolouring.
    const QString typed = QStringLiteral("<b class=\"note\">Word</b> <!-- c --> x ");
    int cursor = control.textLength() / 2;
    if (control.charAt(cursor) == QChar(10))
        ++cursor;
    for (int i = 0; i < kInsertions; ++i) {
        const QString character = typed.mid(i % typed.size(), 1);
        timer.restart();
        control.setSelStart(cursor);
        QElapsedTimer typing;
        typing.start();
        const ColorValue typingColor = TypingColor(control, roles, cursor);
        figures.typingColorMs.push_back(milliseconds(typing));
        control.setSelColor(typingColor);
        control.setSelText(character);
        QElapsedTimer recolor;
        recolor.start();
        RecolorChange(control, roles, cursor, 1);
        figures.recolorMs.push_back(milliseconds(recolor));
        figures.insertionMs.push_back(milliseconds(timer));
        ++cursor;
    }
    figures.peakKiB = peakMemoryKiB();

    // The scan on its own, without the control: how much of the colouring is painting.
    const QString text = control.text();
    timer.restart();
    figures.spanCount = ComputeColorSpans(text, 0, int(text.size()), roles).size();
    figures.scanMs = milliseconds(timer);
    return figures;
}

// Wall-clock time of the comparison highlighter on the same file; -1 when it is not installed,
// kComparisonTimedOut when it takes longer than kComparisonLimitMs.
constexpr int kComparisonLimitMs = 120000;
constexpr double kComparisonTimedOut = -2;

double comparisonHighlighterMs(const QString& path) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("kate-syntax-highlighter"));
    if (program.isEmpty())
        return -1;
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, {QStringLiteral("-s"), QStringLiteral("HTML"), QStringLiteral("-f"),
                            QStringLiteral("ansi256Colors"), path});
    if (!process.waitForStarted())
        return -1;
    if (!process.waitForFinished(kComparisonLimitMs)) {
        process.kill();
        process.waitForFinished();
        return kComparisonTimedOut;
    }
    return milliseconds(timer);
}

int runOne(const QString& input) {
    QByteArray bytes;
    QString name = input;
    QString pathForComparison;
    QTemporaryFile generated(QDir::tempPath() + QStringLiteral("/bench_colorize_XXXXXX.html"));
    if (input == QLatin1String(kMinifiedArgument)) {
        bytes = minifiedPage();
        name = QStringLiteral("generated minified page (one line)");
        if (generated.open() && generated.write(bytes) == bytes.size() && generated.flush())
            pathForComparison = generated.fileName();
    } else {
        QFile file(input);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(input));
            return 1;
        }
        bytes = file.readAll();
        pathForComparison = input;
    }

    const qint64 size = bytes.size();
    // The baseline runs after the page's own figures, on a copy kept outside the process's heap
    // until then, so that it adds nothing to the peak memory measured.
    QTemporaryFile copy;
    if (!copy.open() || copy.write(bytes) != size || !copy.flush()) {
        std::fprintf(stderr, "cannot write a temporary copy of the page\n");
        return 1;
    }
    Figures figures = measure(std::move(bytes));
    copy.seek(0);
    figures.baselineSetTextMs = plainEditorSetTextMs(NormalizeToCrLf(QString::fromUtf8(copy.readAll())));
    const double sizeMiB = static_cast<double>(size) / (1024.0 * 1024.0);
    const double peakMiB = static_cast<double>(figures.peakKiB) / 1024.0;
    std::printf("%s\n", qPrintable(name));
    std::printf("  file size                 %10lld bytes (%.2f MiB)\n", static_cast<long long>(size),
                sizeMiB);
    std::printf("  set text                  %10.1f ms (%.2f x the baseline)\n", figures.setTextMs,
                figures.setTextMs / figures.baselineSetTextMs);
    std::printf("  baseline: QPlainTextEdit  %10.1f ms (setPlainText of the same text, LF breaks)\n",
                figures.baselineSetTextMs);
    std::printf("  colour whole text         %10.1f ms (%.2f x the scan on its own, %.1f ms, %zu spans)\n",
                figures.colorMs, figures.colorMs / figures.scanMs, figures.scanMs, figures.spanCount);
    std::printf("  open and colour, total    %10.1f ms\n", figures.setTextMs + figures.colorMs);
    const double baselineMiB = static_cast<double>(figures.baselineKiB) / 1024.0;
    std::printf("  peak memory               %10.1f MiB (%.1f x file size; %.1f MiB before loading, "
                "%.1f x file size above that)\n",
                peakMiB, peakMiB / sizeMiB, baselineMiB, (peakMiB - baselineMiB) / sizeMiB);
    std::printf("  %d insertions, median     %10.3f ms (typing colour %.3f ms, recolouring %.3f ms)\n",
                kInsertions, median(figures.insertionMs), median(figures.typingColorMs),
                median(figures.recolorMs));
    const auto worstAt = std::max_element(figures.insertionMs.begin(), figures.insertionMs.end());
    std::printf("  %d insertions, worst      %10.3f ms (typing colour %.3f ms, recolouring %.3f ms; "
                "insertion %d; second worst %.3f ms)\n",
                kInsertions, worst(figures.insertionMs), worst(figures.typingColorMs),
                worst(figures.recolorMs), int(worstAt - figures.insertionMs.begin()) + 1, [&] {
                    std::vector<double> rest = figures.insertionMs;
                    std::sort(rest.begin(), rest.end());
                    return rest.size() > 1 ? rest[rest.size() - 2] : 0.0;
                }());
    const auto verdict = [](bool met) { return met ? "met" : "MISSED"; };
    std::printf(
        "  targets: open+colour < 800 ms %s, median < 1 ms %s, worst < 16 ms %s, peak < 15 x size %s\n",
        verdict(figures.setTextMs + figures.colorMs < 800), verdict(median(figures.insertionMs) < 1),
        verdict(worst(figures.insertionMs) < 16), verdict(peakMiB < 15 * sizeMiB));
    if (!pathForComparison.isEmpty()) {
        const double comparisonMs = comparisonHighlighterMs(pathForComparison);
        if (comparisonMs >= 0) {
            const double oursMs = figures.setTextMs + figures.colorMs;
            std::printf("  kate-syntax-highlighter   %10.1f ms (ours / theirs = %.2f)\n", comparisonMs,
                        oursMs / comparisonMs);
        } else if (comparisonMs == kComparisonTimedOut) {
            std::printf("  kate-syntax-highlighter   stopped after %d s without finishing\n",
                        kComparisonLimitMs / 1000);
        }
    }
    std::fflush(stdout);
    return 0;
}

} // namespace

// The worst case of unclosed tags: many "<" before one distant ">". Each "<" opens a tag that
// reaches that ">", so a scan that reads each tag whole reads the text once for every "<". Printed:
// the time to colour the text in a control (as opening does) for 20,000 to 160,000 "<", and each
// against the first, which a linear scan keeps within 10 (8 times the text).
//
// Twice: first with the allocator as it comes, then with it keeping the memory it is given back.
// The copies of a text above 128 KiB come from fresh pages every time, and a fresh page costs a
// page fault (several microseconds in a virtual machine), while the small texts reuse pages the
// process has already touched: the first column holds that cost, the second the colouring alone.
std::vector<double> worstCaseTimes() {
    // Once at the largest size first, unmeasured, so that every size finds the heap grown.
    {
        RichTextControl control;
        control.setText(QString(QStringLiteral("<")).repeated(160000) + QStringLiteral(">"));
        ColorizeRange(control, ColorRoles{}, 0, 0);
    }
    std::vector<double> rows;
    for (const int count : {20000, 40000, 80000, 160000}) {
        const QString text = QString(QStringLiteral("<")).repeated(count) + QStringLiteral(">");
        // The median of nine, each in a control of its own: the times are a few milliseconds.
        std::vector<double> times;
        for (int run = 0; run < 9; ++run) {
            RichTextControl control;
            control.setText(text);
            QElapsedTimer timer;
            timer.start();
            ColorizeRange(control, ColorRoles{}, 0, 0);
            times.push_back(milliseconds(timer));
        }
        rows.push_back(median(times));
    }
    return rows;
}

void worstCaseRows() {
    const std::vector<double> fresh = worstCaseTimes();
    // Freed memory stays with the process, and no block is mapped on its own.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    const std::vector<double> kept = worstCaseTimes();
    std::printf("unclosed tags: \"<\" repeated, one \">\" at the end, coloured whole in a control\n");
    std::printf("%15s%-27s%s\n", "", "fresh memory", "memory kept");
    const int counts[] = {20000, 40000, 80000, 160000};
    for (std::size_t row = 0; row < kept.size(); ++row)
        std::printf("  %7d \"<\"  %6.1f ms (%4.1f x 20,000)  %6.1f ms (%4.1f x 20,000)\n", counts[row],
                    fresh[row], fresh[row] / fresh[0], kept[row], kept[row] / kept[0]);
    const bool met = kept.back() <= 10 * kept.front() && fresh.back() < 50;
    std::printf("  target: 160,000 at most 10 x 20,000 (memory kept), and under 50 ms: %s\n",
                met ? "met" : "MISSED");
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QStringList inputs = QApplication::arguments().mid(1);
    if (inputs == QStringList{QStringLiteral("--worst-case")}) {
        worstCaseRows();
        return 0;
    }
    if (inputs.isEmpty())
        inputs = {QString::fromLatin1(kDefaultPage), QString::fromLatin1(kMinifiedArgument)};
    if (inputs.size() == 1)
        return runOne(inputs.front());

    int failures = 0;
    if (QApplication::arguments().size() == 1)
        inputs << QStringLiteral("--worst-case");
    for (const QString& input : inputs) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QApplication::applicationFilePath(), {input});
        if (!child.waitForFinished(-1) || child.exitCode() != 0)
            ++failures;
    }
    return failures == 0 ? 0 : 1;
}
