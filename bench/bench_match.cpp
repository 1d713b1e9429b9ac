// What finding the tag at the cursor and its partner costs on a large page: the look the document
// window makes after every move of the cursor, against the target of under 2 ms at worst.
//
//   bench_match [PAGE.html]
//
// The page (by default the Node.js API page that Debian's documentation ships) is opened in a
// document window, offscreen. The look is timed at three sets of cursor places: 2,000 spread evenly
// over the page, the same moved just inside the next tag, and inside the first and last 40 tags
// (html, head, body: partners megabytes away, past the search's reach). Each set is timed reading
// the window's text control, as the document window does, and reading the page held as one string.
// Printed are the median and the worst time of each (a place's time the fastest of 3), and Select
// Element's at the spread places (timed once each). Last, at 200 of the places, whether the answer
// is the one a look at the whole page gives.
// The exit status is non-zero only when the page cannot be opened.

#include "BenchFigures.h"
#include "BenchPage.h"
#include "app/frmQuillora.h"
#include "editor/frmNotepad.h"
#include "editor/mdlFile.h"
#include "markup/TagMatch.h"
#include "platform/RichTextControl.h"

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const char* const kDefaultPage = "/usr/share/doc/nodejs/api/all.html";
constexpr int kPlaces = 2000;
constexpr int kEdgeTags = 40;
// Each place is timed this many times and its fastest time kept: the cost of the place, not of
// another program taking the processor meanwhile.
constexpr int kRounds = 3;
// Places whose answers are compared with those of a look at the whole page.
constexpr int kCompared = 100;
constexpr double kTargetMs = 2;

struct Figures {
    std::vector<double> times;
    int tags = 0, partners = 0;
};

Figures timeLooks(const TextReader& read, int total, const std::vector<int>& places) {
    Figures figures;
    for (const int place : places) {
        double fastest = 0;
        MatchResult match;
        for (int round = 0; round < kRounds; ++round) {
            QElapsedTimer timer;
            timer.start();
            match = MatchAround(read, total, place, SourceKind::Markup);
            fastest = round == 0 ? milliseconds(timer) : std::min(fastest, milliseconds(timer));
        }
        figures.times.push_back(fastest);
        figures.tags += match.kind == MatchResult::Tag;
        figures.partners += match.partner.valid();
    }
    return figures;
}

bool print(const char* what, const Figures& figures) {
    const bool met = worst(figures.times) < kTargetMs;
    std::printf(
        "  %-34s %7.3f ms median, %7.3f ms worst of %zu (%d in a tag, %d partners): under %.0f ms %s\n", what,
        median(figures.times), worst(figures.times), figures.times.size(), figures.tags, figures.partners,
        kTargetMs, met ? "met" : "MISSED");
    return met;
}

} // namespace

int main(int argc, char* argv[]) {
    const BenchHome home;
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const QString path = arguments.size() > 1 ? arguments.at(1) : QString::fromLatin1(kDefaultPage);

    frmQuillora main(home.path() + "/program");
    frmNotepad* window = openInWindow(main, path);
    if (!window)
        return 1;
    const RichTextControl& control = *window->txtRich;
    const QString page = control.text();
    const int total = control.textLength();

    std::vector<int> spread, inTags, edges;
    for (int i = 0; i < kPlaces; ++i) {
        const int place = int(qint64(total) * i / kPlaces);
        spread.push_back(place);
        const qsizetype tag = page.indexOf(u'<', place);
        if (tag >= 0)
            inTags.push_back(int(tag) + 1);
    }
    for (qsizetype at = page.indexOf(u'<'); at >= 0 && int(edges.size()) < kEdgeTags;
         at = page.indexOf(u'<', at + 1))
        edges.push_back(int(at) + 1);
    for (qsizetype at = page.lastIndexOf(u'<'); at >= 0 && int(edges.size()) < 2 * kEdgeTags;
         at = page.lastIndexOf(u'<', at - 1))
        edges.push_back(int(at) + 1);

    const TextReader fromControl = [&control](int start, int length) {
        return control.textRange(start, length);
    };
    const TextReader fromString = [&page](int start, int length) { return page.mid(start, length); };
    std::printf("%s: %d characters as CR LF text, search reach %d characters each way\n", qPrintable(path),
                total, kMatchReach);
    bool allMet = true;
    for (const auto& [name, read] :
         {std::pair{"document window", fromControl}, {"page as one string", fromString}}) {
        std::printf(" reading the %s\n", name);
        allMet = print("spread places", timeLooks(read, total, spread)) && allMet;
        allMet = print("just inside a tag", timeLooks(read, total, inTags)) && allMet;
        allMet = print("first and last tags", timeLooks(read, total, edges)) && allMet;
    }
    std::vector<double> selects;
    for (const int place : spread) {
        QElapsedTimer timer;
        timer.start();
        EnclosingElement(fromControl, total, place, 0);
        selects.push_back(milliseconds(timer));
    }
    std::printf(" Select Element at the spread places: %.3f ms median, %.3f ms worst\n", median(selects),
                worst(selects));
    // The windows against one look at the whole page: every answer the same, but for partners
    // beyond the reach.
    int same = 0, beyond = 0, compared = 0;
    for (size_t i = 0; i < spread.size(); i += kPlaces / kCompared)
        for (const int place : {spread[i], inTags[std::min(i, inTags.size() - 1)]}) {
            const MatchResult windowed = MatchAround(fromString, total, place, SourceKind::Markup);
            const MatchResult whole = MatchAt({page, 0, total}, place, SourceKind::Markup);
            ++compared;
            if (windowed.kind == whole.kind && windowed.own == whole.own && windowed.partner == whole.partner)
                ++same;
            else if (whole.partner.valid() && std::abs(whole.partner.start - place) > kMatchReach)
                ++beyond;
        }
    std::printf(
        " the same answer as a look at the whole page: %d of %d places, %d with partners beyond the reach\n",
        same, compared, beyond);
    std::printf("all looks under %.0f ms: %s\n", kTargetMs, allMet ? "met" : "MISSED");
    main.documents().DocumentSlots[window->slot()].Modified = false;
    return 0;
}
