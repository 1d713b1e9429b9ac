// What keeping a large document's crash-recovery journal costs the interface.
//
//   bench_recovery [PAGE.html]
//
// The page (by default the Node.js API page that Debian's documentation ships; a generated 8 MiB
// page when it is missing) is opened as a document, coloured, in a main window offscreen. Each
// round types one character and takes a journal: the time the interface thread is held (the copy
// of the text and handing it to the worker; target: at most 50 ms) and the time until the journal
// is on disk (UTF-8 conversion, checksum, atomic write, on the worker). Two runs of five rounds,
// each on a fresh window. The last journal of each run is read back and compared with the text.
// Figures only: the exit status is non-zero only when the page cannot be opened or a journal
// does not read back as the document's text.

#include "BenchFigures.h"
#include "app/Recovery.h"
#include "app/frmQuillora.h"
#include "editor/frmNotepad.h"
#include "editor/mdlFile.h"
#include "platform/RichTextControl.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

namespace {
constexpr int kRounds = 5;
constexpr double kBlockedTargetMs = 50;

QByteArray generatedPage(qsizetype bytes) {
    QByteArray page = "<!DOCTYPE HTML>\n<HTML>\n<BODY>\n";
    for (int row = 0; page.size() < bytes; ++row)
        page += "<P CLASS=\"row\">Row " + QByteArray::number(row) + " <A HREF=\"#r" +
                QByteArray::number(row) + "\">link</A> &amp; text</P>\n";
    return page + "</BODY>\n</HTML>\n";
}

bool run(int number, const QString& page, const QString& home) {
    frmQuillora main(home + QStringLiteral("/program%1").arg(number));
    main.startUp({}, false);
    frmNotepad* window = OpenDocument(main, page);
    auto* journal = main.findChild<RecoveryJournal*>();
    if (!window || !journal)
        return false;
    std::vector<double> blocked, total;
    for (int round = 0; round < kRounds; ++round) {
        window->txtRich->setSelStart(round);
        window->txtRich->setSelText(QStringLiteral("x"));
        QElapsedTimer timer;
        timer.start();
        journal->journalNow();
        blocked.push_back(milliseconds(timer));
        journal->waitForWrites();
        total.push_back(milliseconds(timer));
    }
    const QStringList files = QDir(journal->folder()).entryList({QStringLiteral("*.journal")});
    QFile file(journal->folder() + QLatin1Char('/') + files.value(0));
    JournalEntry entry;
    const bool same = files.size() == 1 && file.open(QIODevice::ReadOnly) &&
                      DecodeJournal(file.readAll(), entry) && entry.text == window->txtRich->text() &&
                      entry.path == page;
    std::printf(
        "run %d: interface held per journal: median %.1f ms, worst %.1f ms (target at most %.0f ms: %s)\n"
        "       journal written in: median %.1f ms, worst %.1f ms; journal %.1f MB, %s\n",
        number, median(blocked), worst(blocked), kBlockedTargetMs,
        worst(blocked) <= kBlockedTargetMs ? "met" : "MISSED", median(total), worst(total), file.size() / 1e6,
        same ? "reads back as the text" : "DOES NOT READ BACK");
    main.documents().DocumentSlots[window->slot()].Modified = false;
    return same;
}
} // namespace

int main(int argc, char* argv[]) {
    const BenchHome home;
    QApplication app(argc, argv);

    QString page =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/usr/share/doc/nodejs/api/all.html");
    if (!QFile::exists(page)) {
        std::printf("%s is missing: a generated page is used\n", qPrintable(page));
        page = home.path() + "/generated.html";
        QFile file(page);
        if (!file.open(QIODevice::WriteOnly) || file.write(generatedPage(8 * 1024 * 1024)) < 0)
            return 1;
    }
    std::printf("page: %s (%.1f MB), %d journals a run\n", qPrintable(page), QFile(page).size() / 1e6,
                kRounds);
    bool ok = true;
    for (int number = 1; number <= 2; ++number)
        ok &= run(number, page, home.path());
    return ok ? 0 : 1;
}
