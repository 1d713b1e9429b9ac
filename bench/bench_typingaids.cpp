// What the typing aids add to a keystroke on a large page: each aid reads the text before the
// cursor (up to its reach) to tell whether a tag may start there, and "</" finds the innermost
// element still open.
//
//   bench_typingaids [PAGE.html]
//
// The page (by default the Node.js API page that Debian's documentation ships) is opened in a
// document window, offscreen. At 300 places spread over the page, "x", "<", "/" and a quote are
// typed as the window system gives them (the quote inside a start tag, just after its name), each
// timed from the key's press to its release, and taken away again untimed. The keys' times hold
// the painting of what the aids insert as well. Then the aids' own reading of the text before the
// place (what a tag may start after, and the innermost open element), the fastest of three: with
// the start of the window read new to them (the first key after the cursor moved far or the text
// before the window changed), and with what they keep of it (every key after that). Printed: the
// median and worst of each. Targets: with the window's start known, the reading adds under 1 ms
// to a keystroke at worst; with it new, under 1 ms in the median.

#include "BenchFigures.h"
#include "BenchPage.h"
#include "app/frmQuillora.h"
#include "editor/frmNotepad.h"
#include "editor/mdlFile.h"
#include "markup/MarkupContext.h"
#include "platform/RichTextControl.h"

#include <QApplication>
#include <QKeyEvent>
#include <cstdio>
#include <tuple>
#include <vector>

namespace {

const char* const kDefaultPage = "/usr/share/doc/nodejs/api/all.html";
constexpr int kPlaces = 300;
constexpr double kTargetMs = 1;

double press(RichTextControl& text, QChar typed) {
    const auto key = Qt::Key(typed.toUpper().unicode());
    const Qt::KeyboardModifiers shift =
        QStringLiteral("<\"").contains(typed) ? Qt::ShiftModifier : Qt::NoModifier;
    QKeyEvent down(QEvent::KeyPress, key, shift, QString(typed));
    QKeyEvent up(QEvent::KeyRelease, key, shift, QString(typed));
    QElapsedTimer timer;
    timer.start();
    QApplication::sendEvent(&text, &down);
    QApplication::sendEvent(&text, &up);
    return milliseconds(timer);
}

// Types `keys` at `place`, the last one timed, and takes what they left away again.
double timeKey(RichTextControl& text, int place, const QString& keys) {
    const QString before = text.textRange(place - 64, 128);
    const int length = text.textLength();
    text.setSelStart(place);
    for (qsizetype i = 0; i + 1 < keys.size(); ++i)
        press(text, keys.at(i));
    const double ms = press(text, keys.back());
    text.select(place, text.textLength() - length);
    text.setSelText(QString());
    if (text.textRange(place - 64, 128) != before)
        std::fprintf(stderr, "the page was not restored after %s at %d\n", qPrintable(keys), place);
    return ms;
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
    RichTextControl& text = *window->txtRich;
    const QString page = text.text();
    const auto read = [&text](int start, int length) { return text.textRange(start, length); };
    std::vector<double> plain, open, close, quote, first, place, element;
    for (int i = 1; i <= kPlaces; ++i) {
        int at = int(qint64(page.size()) * i / (kPlaces + 1));
        at += page.at(at - 1) == u'\r'; // not between CR and LF
        plain.push_back(timeKey(text, at, QStringLiteral("x")));
        open.push_back(timeKey(text, at, QStringLiteral("<")));
        close.push_back(timeKey(text, at, QStringLiteral("</")));
        qsizetype tag = page.indexOf(u'<', at);
        while (tag >= 0 && !page.at(tag + 1).isLetter())
            tag = page.indexOf(u'<', tag + 1);
        qsizetype name = tag + 1;
        while (tag >= 0 && page.at(name).isLetterOrNumber())
            ++name;
        if (tag >= 0)
            quote.push_back(timeKey(text, int(name), QStringLiteral(" \"")));
        // The aids' own reading, the fastest of three (the cost of the place, not of other work):
        // with the window's start new to them, and again with what they keep of it.
        QString kept;
        int keptAt = -1;
        const auto keep = [&](int start) {
            if (start != keptAt)
                kept = RawElementAt(read, start), keptAt = start;
            return kept;
        };
        for (auto [times, wanted, again] :
             {std::tuple{&first, false, false}, {&place, false, true}, {&element, true, true}}) {
            double fastest = 1e9;
            for (int round = 0; round < 3; ++round) {
                keptAt = again ? keptAt : -1;
                QElapsedTimer timer;
                timer.start();
                MarkupContextAt(read, at, wanted, keep);
                fastest = std::min(fastest, milliseconds(timer));
            }
            times->push_back(fastest);
        }
    }
    std::printf("%s: %lld characters, %d places\n", qPrintable(path), qlonglong(page.size()), kPlaces);
    for (const auto& [name, times] : {std::pair{"key \"x\" (no aid)", &plain},
                                      {"key \"<\"", &open},
                                      {"key \"/\" after \"<\"", &close},
                                      {"key quote in a tag", &quote},
                                      {"place, start new", &first},
                                      {"place, start known", &place},
                                      {"open element, start known", &element}})
        std::printf("  %-24s %7.3f ms median, %7.3f ms worst\n", name, median(*times), worst(*times));
    const double known = std::max(worst(place), worst(element));
    const bool met = known < kTargetMs && median(first) < kTargetMs;
    std::printf(
        "the aids' reading adds at worst %.3f ms with the window's start known, %.3f ms in the median "
        "with it new: under %.0f ms %s\n",
        known, median(first), kTargetMs, met ? "met" : "MISSED");
    main.documents().DocumentSlots[window->slot()].Modified = false;
    return 0;
}
