// What Preview Beside costs, offscreen, in the main window: a key typed to the preview showing it
// (pageShown), on pages of 20 KB to 4 MB made here and on a large real page (pages that follow saves
// only get refresh() after the pause typing waits, and the large one a save too). A key in a
// paragraph's text has its contents replaced in the page; a key in a tag has the element around it
// read again. Also a cursor move to the outline around it; the served copy's making and size; and
// a browser window following typing.
// Usage: bench_preview [large page [largest page made, bytes]]   (the second leaves out the made
// pages above it, and the large page; default large page: the Node.js API page of the nodejs-doc
// package, whose style sheet has the engine lay out only the sections in view: cheaper per byte
// than most)

#include "BenchFigures.h"
#include "app/frmQuillora.h"
#include "browser/BrowserControl.h"
#include "browser/PreviewBeside.h"
#include "browser/frmView.h"
#include "editor/frmNotepad.h"
#include "editor/mdlFile.h"
#include "markup/SourceMap.h"
#include "platform/RichTextControl.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiArea>
#include <QTimer>
#include <QWebEnginePage>
#include <functional>
#include <memory>
#include <type_traits>
#include <unistd.h>

namespace {
constexpr int kRuns = 10, kCopies = 5;
constexpr int kTimeoutMs = 60000;

// A signal's argument as a load's outcome: a bool says whether it succeeded; others say nothing.
template <typename T> bool succeeded(const T& value) {
    if constexpr (std::is_same_v<T, bool>)
        return value;
    else
        return true;
}

// Runs the event loop until `signal` of `sender` comes, or for `timeoutMs`. True when it came and,
// for a load's signal, the load succeeded (its bool argument).
template <typename Sender, typename... Args>
bool waitFor(Sender* sender, void (Sender::*signal)(Args...), int timeoutMs = kTimeoutMs) {
    QEventLoop loop;
    bool came = false, ok = true;
    QObject::connect(sender, signal, &loop, [&](Args... args) {
        came = true;
        ok = (succeeded(args) && ...);
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return came && ok;
}

void settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A key as the window system gives it: "x", pressed and released.
void typeKey(QWidget* target) {
    QKeyEvent down(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(target, &up);
}

// A page of about `bytes` as people write them: headings, paragraphs with inline markup, lists
// and tables, CR LF line breaks.
QByteArray makePage(qint64 bytes) {
    const QString paragraph = QStringLiteral(
        "<p>A paragraph of section %1 says what it says with <b>bold words</b>, <em>a stressed phrase</em> "
        "and <a href=\"#s%1\">a link back</a>; then it goes on, as paragraphs do, to fill a line or "
        "two.</p>\r\n");
    const QString item = QStringLiteral("  <li>Item %1 with <code>code()</code></li>\r\n");
    const QString row = QStringLiteral("  <tr><td>name%1</td><td>%2</td><td>a note on row %1</td></tr>\r\n");
    QString page = "<!DOCTYPE html>\r\n<html><head><meta charset=\"utf-8\"><title>Bench page</title>\r\n"
                   "<style>table { border-collapse: collapse } td, th { border: 1px solid #888 }</style>"
                   "</head>\r\n<body>\r\n";
    for (int section = 1; page.size() < bytes; ++section) {
        page += QStringLiteral("<h2 id=\"s%1\">Section %1</h2>\r\n").arg(section);
        page += paragraph.arg(section).repeated(3) + "<ul>\r\n";
        for (int i = 1; i <= 4; ++i)
            page += item.arg(i);
        page += "</ul>\r\n<table>\r\n  <tr><th>Name</th><th>Value</th><th>Note</th></tr>\r\n";
        for (int i = 1; i <= 5; ++i)
            page += row.arg(i).arg(i * section);
        page += "</table>\r\n";
    }
    return (page + "</body></html>\r\n").toUtf8();
}

// Each run's time, and where a page's load went: from the start to the engine's load started (the
// pause and the copy), then, from the page's own navigation timing, the response read, the
// document parsed, the load event over, and the rest until the window heard of it.
struct Parts {
    std::vector<double> total, started, response, parsed, loaded, rest;
};

// Runs `step` (an action and the wait for its outcome, false when it did not come) kRuns times,
// each timed; `page` (when given) has its load taken apart. `after` lets what a run left settle.
Parts timed(QWebEnginePage* page, const std::function<bool()>& step, const std::function<void()>& after) {
    Parts parts;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        double started = -1;
        QMetaObject::Connection watch;
        if (page)
            watch =
                QObject::connect(page, &QWebEnginePage::loadStarted, [&] { started = milliseconds(timer); });
        timer.start();
        const bool done = step();
        const double total = milliseconds(timer);
        QObject::disconnect(watch);
        // Shared with the script's answer, which may come after the wait gives up.
        const auto marks = std::make_shared<std::optional<QVariantList>>();
        if (page && done)
            page->runJavaScript("(function(){var n=performance.getEntriesByType('navigation')[0];"
                                "return n?[n.responseEnd,n.domInteractive,n.loadEventEnd]:[];})()",
                                [marks](const QVariant& value) { *marks = value.toList(); });
        while (page && done && !*marks && timer.elapsed() < kTimeoutMs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        const QVariantList mark = marks->value_or(QVariantList());
        if (done)
            parts.total.push_back(total);
        if (mark.size() == 3 && started >= 0) {
            parts.started.push_back(started);
            parts.response.push_back(mark[0].toDouble());
            parts.parsed.push_back(mark[1].toDouble() - mark[0].toDouble());
            parts.loaded.push_back(mark[2].toDouble() - mark[1].toDouble());
            parts.rest.push_back(total - started - mark[2].toDouble());
        }
        after();
        settle(100);
    }
    return parts;
}

void print(const QString& label, const Parts& parts) {
    const std::vector<double>& values = parts.total;
    std::printf("  %-62s median %7.1f ms, min %7.1f, max %7.1f (n=%zu)\n", qPrintable(label), median(values),
                values.empty() ? 0 : *std::min_element(values.begin(), values.end()), worst(values),
                values.size());
    if (!parts.started.empty())
        std::printf(
            "    medians: to load started %.0f, response read %.0f, parsed %.0f, to load event end %.0f, "
            "to signal %.0f ms\n",
            median(parts.started), median(parts.response), median(parts.parsed), median(parts.loaded),
            median(parts.rest));
}

QString sizeName(qint64 bytes) {
    return bytes >= 1000000 ? QStringLiteral("%1 MB").arg(bytes / 1e6, 0, 'f', 1)
                            : QStringLiteral("%1 KB").arg(bytes / 1000);
}
} // namespace

int main(int argc, char* argv[]) {
    prepareBrowserEngine();
    const BenchHome home;
    QApplication app(argc, argv);

    // The large page is saved in the run, so it and its style sheets are copied first.
    const QString source =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/usr/share/doc/nodejs/api/all.html");
    const QString large = home.path() + "/large/" + QFileInfo(source).fileName();
    QDir().mkpath(home.path() + "/large/assets");
    const QDir assets(QFileInfo(source).dir().filePath(QStringLiteral("assets")));
    for (const QString& name : assets.entryList(QDir::Files))
        QFile::copy(assets.filePath(name), home.path() + "/large/assets/" + name);
    if (!QFile::copy(source, large)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(source));
        return 1;
    }
    QStringList pages;
    const qint64 largestMade = argc > 2 ? QByteArray(argv[2]).toLongLong() : 0;
    for (const qint64 bytes : {20000, 200000, 500000, 1000000, 2000000, 4000000}) {
        if (largestMade > 0 && bytes > largestMade)
            break;
        QFile file(home.path() + QStringLiteral("/page%1.htm").arg(bytes));
        if (!file.open(QIODevice::WriteOnly) || file.write(makePage(bytes)) < 0)
            return 1;
        pages << file.fileName();
    }
    if (largestMade <= 0)
        pages << large;

    frmQuillora main(home.path() + "/program");
    main.startUp({}, false);
    main.resize(1280, 800);
    main.show();
    std::printf("Preview Beside: pause %d ms, follows typing up to %d characters, copy off the interface "
                "thread above %d\n",
                PreviewBeside::kFollowDelayMs, PreviewBeside::kFollowTypingLimit,
                PreviewBeside::kBackgroundLimit);

    std::printf("key typed into a paragraph to page shown (pageShown), %d keys each:\n", kRuns);
    for (const QString& path : pages) {
        frmNotepad* window = OpenDocument(main, path);
        if (!window)
            return 1;
        window->showMaximized();
        window->action(CommandId::PreviewBeside)->trigger();
        PreviewBeside* preview = PreviewBesideOf(*window);
        if (!preview || !waitFor(preview, &PreviewBeside::pageShown))
            return 1;
        RichTextControl& text = *window->txtRich;
        const QString name =
            QStringLiteral("%1 (%2 chars)").arg(sizeName(QFileInfo(path).size())).arg(text.textLength());
        const auto shown = [preview] { return waitFor(preview, &PreviewBeside::pageShown); };
        // The load's own outline, placed after the page is shown.
        const auto outlined = [preview] { waitFor(preview, &PreviewBeside::outlineShown, 5000); };
        const int paragraph = text.text().indexOf(QLatin1String("<p>"), text.textLength() / 2);
        text.select(paragraph >= 0 ? paragraph + 10 : text.textLength() / 2, 0);
        outlined(); // scrolled into view, as when typing there
        settle(200);
        // A page that follows saves only gets refresh() after the pause that typing waits for.
        const bool follows = preview->followsTyping();
        print(name + (follows ? ", typing followed" : ", refresh() after the pause"),
              timed(
                  preview->webPreview->page(),
                  [&] {
                      typeKey(&text);
                      if (!follows)
                          QTimer::singleShot(PreviewBeside::kFollowDelayMs, preview, &PreviewBeside::refresh);
                      return shown();
                  },
                  outlined));
        if (follows) {
            // A key in a tag (a link's address) changes the markup: the page is read again apart.
            const int address = text.text().indexOf(QLatin1String("href=\"#s"), std::max(paragraph, 0));
            if (address >= 0) {
                text.select(address + 8, 0);
                outlined();
                settle(200);
                const auto keyShown = [&] {
                    typeKey(&text);
                    return shown();
                };
                print(name + ", a key in a tag (element read again)",
                      timed(preview->webPreview->page(), keyShown, outlined));
                text.select(paragraph >= 0 ? paragraph + 10 : text.textLength() / 2, 0);
                outlined();
                settle(200);
            }
            // Steady typing, a key every 100 ms for 3 s: how many pages the preview shows meanwhile,
            // and how long after the last key its page is shown.
            int pagesShown = 0;
            QElapsedTimer clock;
            clock.start();
            double lastShown = 0;
            const QMetaObject::Connection counting =
                QObject::connect(preview, &PreviewBeside::pageShown, [&](bool ok) {
                    pagesShown += ok;
                    lastShown = milliseconds(clock);
                });
            double lastKey = 0;
            for (int key = 0; key < 30; ++key) {
                typeKey(&text);
                lastKey = milliseconds(clock);
                settle(100);
            }
            const int duringTyping = pagesShown;
            // The last page is the one after which no other comes for a second.
            for (int seen = -1; seen != pagesShown && milliseconds(clock) < lastKey + kTimeoutMs;) {
                seen = pagesShown;
                settle(1000);
            }
            std::printf("  %-62s %d pages shown in 3 s, the last key's page %.0f ms after it\n",
                        qPrintable(name + ", a key every 100 ms"), duringTyping, lastShown - lastKey);
            QObject::disconnect(counting);
            settle(300);
        }
        // With the page as the text stands: a page following saves only maps an older text after an edit.
        if (path == large || path == pages[1]) {
            int move = 0, boxes = 0;
            const Parts moves = timed(
                nullptr,
                [&] {
                    text.select(int(text.textLength() * (move++ + 0.5) / kRuns), 0);
                    return waitFor(preview, &PreviewBeside::outlineShown);
                },
                [&] { boxes += preview->outlineRect().has_value(); });
            print(name + QStringLiteral(", cursor move to outline (%1 outlined)").arg(boxes), moves);
        }
        if (path == large)
            print(name + ", save (SaveCommand) to shown",
                  timed(
                      nullptr, [&] { return SaveCommand(main, window->slot()) && shown(); },
                      [&] {
                          outlined();
                          typeKey(&text); // a change for the next save
                      }));
        if (path == pages[1]) {
            // A browser window following the same document as it is typed, for comparison.
            window->action(CommandId::PreviewBeside)->trigger();
            window->action(CommandId::OpenInBrowser)->trigger();
            auto* view = qobject_cast<frmView*>(main.mdiArea()->activeSubWindow());
            if (view && waitFor(view, &frmView::pageLoaded)) {
                settle(300);
                print(name + QStringLiteral(", browser window following (pause %1 ms)")
                                 .arg(frmView::kFollowDelayMs),
                      timed(
                          view->WebBrowser->page(),
                          [&] {
                              typeKey(&text);
                              return waitFor(view, &frmView::pageLoaded);
                          },
                          [] {}));
                view->close();
            }
        }
        main.documents().DocumentSlots[window->slot()].Modified = false;
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::printf(
        "WithSourceOffsets on the text as the editor holds it (CR LF), %d runs; the copy served in UTF-8:\n",
        kCopies);
    for (const QString& path : {pages[0], pages[1], large}) {
        qint64 bytes = 0;
        const std::optional<QString> text = readPage(path, &bytes);
        if (!text)
            return 1;
        Parts copies;
        QString copy;
        for (int run = 0; run < kCopies; ++run) {
            QElapsedTimer timer;
            timer.start();
            copy = WithSourceOffsets(*text);
            copies.total.push_back(milliseconds(timer));
        }
        const qint64 served = copy.toUtf8().size();
        print(QStringLiteral("%1: copy %2 bytes (text %3 bytes)")
                  .arg(sizeName(bytes))
                  .arg(served)
                  .arg(text->toUtf8().size()),
              copies);
    }
    std::printf("peak memory of this process: %.0f MB\n", peakMemoryKiB() / 1024.0);
    return 0;
}
