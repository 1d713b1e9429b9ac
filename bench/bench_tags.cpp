// What LowerTags, UpperTags and RemoveTags cost on a large page.
//
//   bench_tags [PAGE.html]
//
// The page (by default the Node.js API page that Debian's documentation ships) is read as UTF-8
// and its line breaks made CR LF, as opening a file does. Each command is run 3 times on it;
// printed are the median and worst time, against the target of 150 ms each. Then the same commands
// run on texts of the page's length built to defeat a scan that searches again from every "<":
// tags whose quoted ">" lets the quote rule run on to an open quote at the very end, comment and
// server openers that never close. Those show that the time stays linear in the text's length.
// Figures only: the exit status is non-zero only when the page cannot be read or a result is
// plainly wrong (a case change that changed the length, a removal that grew the text).

#include "BenchFigures.h"
#include "markup/LineEndings.h"
#include "markup/TagCase.h"

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <cstdio>
#include <vector>

namespace {

const char* const kDefaultPage = "/usr/share/doc/nodejs/api/all.html";
constexpr int kRounds = 3;
constexpr double kTargetMs = 150;

struct Command {
    const char* name;
    QString (*run)(const QString&);
};

const Command kCommands[] = {{"LowerTags", LowerTags}, {"UpperTags", UpperTags}, {"RemoveTags", RemoveTags}};

// Times each command on `text`; false when a result is plainly wrong.
bool timeCommands(const QString& text, bool* allMet) {
    for (const Command& command : kCommands) {
        std::vector<double> times;
        qsizetype length = 0;
        for (int round = 0; round < kRounds; ++round) {
            QElapsedTimer timer;
            timer.start();
            const QString result = command.run(text);
            times.push_back(milliseconds(timer));
            length = result.size();
        }
        const bool removes = command.run == RemoveTags;
        if (removes ? length > text.size() : length != text.size()) {
            std::fprintf(stderr, "%s gave %lld characters for %lld\n", command.name,
                         static_cast<long long>(length), static_cast<long long>(text.size()));
            return false;
        }
        const bool met = median(times) < kTargetMs;
        *allMet = *allMet && met;
        std::printf(
            "    %-10s %8.1f ms median of %d (worst %.1f ms), result %lld characters: under %.0f ms %s\n",
            command.name, median(times), kRounds, worst(times), static_cast<long long>(length), kTargetMs,
            met ? "met" : "MISSED");
    }
    return true;
}

// `piece` repeated up to `length` characters, then `tail`.
QString repeated(const QString& piece, qsizetype length, const QString& tail) {
    QString text;
    text.reserve(length + tail.size());
    while (text.size() + piece.size() <= length)
        text += piece;
    return text + tail;
}

} // namespace

int main(int argc, char** argv) {
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString::fromLatin1(kDefaultPage);
    qint64 size = 0;
    const std::optional<QString> page = readPage(path, &size);
    if (!page)
        return 1;
    const QString text = *page;
    std::printf("%s\n  file size %lld bytes (%.2f MiB), %lld characters as CR LF text\n", qPrintable(path),
                static_cast<long long>(size), static_cast<double>(size) / (1024.0 * 1024.0),
                static_cast<long long>(text.size()));

    bool allMet = true;
    std::printf("  the page\n");
    if (!timeCommands(text, &allMet))
        return 1;

    const struct {
        const char* what;
        QString piece;
        QString tail;
    } shapes[] = {
        {"tags <\"A>\" with the quotes running on to one left open at the end", QStringLiteral("<\"A>\""),
         QStringLiteral("\"")},
        {"comment openers without \"->\"", QStringLiteral("<!-x>y"), QString()},
        {"server openers without \"%>\" / \"?>\"", QStringLiteral("<%x>y<?z>w"), QString()},
    };
    for (const auto& shape : shapes) {
        const QString built = repeated(shape.piece, text.size(), shape.tail);
        std::printf("  %s, %lld characters\n", shape.what, static_cast<long long>(built.size()));
        if (!timeCommands(built, &allMet))
            return 1;
    }
    std::printf("  peak memory %.1f MiB; all under %.0f ms: %s\n",
                static_cast<double>(peakMemoryKiB()) / 1024.0, kTargetMs, allMet ? "met" : "MISSED");
    std::fflush(stdout);
    return 0;
}
