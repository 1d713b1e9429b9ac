// Measures how long the editor takes to open a large HTML file into a document window
// (read, detect line breaks, normalise, set the text, colour it), offscreen.
// Usage: bench_open [file]   (without a file, a 10 MB page is generated)

#include "BenchFigures.h"
#include "app/frmQuillora.h"
#include "editor/frmNotepad.h"
#include "editor/mdlFile.h"
#include "platform/RichTextControl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>

namespace {
QByteArray generatedPage(qsizetype bytes) {
    QByteArray page = "<!DOCTYPE HTML>\n<HTML>\n<HEAD><TITLE>Bench</TITLE></HEAD>\n<BODY>\n";
    int row = 0;
    while (page.size() < bytes) {
        page += "<TR><TD CLASS=\"cell\" ALIGN=\"left\">Row " + QByteArray::number(row) +
                "</TD><TD><A HREF=\"page" + QByteArray::number(row) +
                ".htm\">link</A> &amp; text</TD></TR>\n";
        if (row % 50 == 0)
            page += "<!-- section " + QByteArray::number(row) + " -->\n<?php echo $x; ?>\n";
        ++row;
    }
    return page + "</BODY>\n</HTML>\n";
}

double openOnce(frmQuillora& main, const QString& path, bool useColors, int doOnOpen = 0) {
    main.mutableSettings().UseColors = useColors;
    main.mutableSettings().DoOnOpen = doOnOpen;
    QElapsedTimer timer;
    timer.start();
    frmNotepad* window = OpenDocument(main, path);
    const double ms = timer.nsecsElapsed() / 1e6;
    if (window) {
        main.documents().DocumentSlots[window->slot()].Modified = false;
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return ms;
}
} // namespace

int main(int argc, char* argv[]) {
    const BenchHome home;
    QApplication app(argc, argv);

    QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (path.isEmpty()) {
        path = home.path() + "/bench10mb.htm";
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(generatedPage(10 * 1024 * 1024)) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    const qint64 size = QFile(path).size();

    frmQuillora main(home.path() + "/program");
    main.startUp({}, false);
    main.resize(1280, 800);
    main.show();

    std::printf("file: %s\nsize: %.1f MB\n", qPrintable(path), size / 1048576.0);
    std::printf("open without colours: %.0f ms\n", openOnce(main, path, false));
    const double coloured = openOnce(main, path, true);
    std::printf("open with colours:    %.0f ms\n", coloured);
    // Tags made lower case as the file opens ("DoOnOpen" 1), against the same open without it.
    const double lowered = openOnce(main, path, true, 1);
    std::printf(
        "open with colours, tags lower-cased: %.0f ms (%.2f x the open without; target under 1.2 x: %s)\n",
        lowered, lowered / coloured, lowered < 1.2 * coloured ? "met" : "MISSED");
    std::printf("peak memory: %.0f MB (%.1f x file size)\n", peakMemoryKiB() / 1024.0,
                peakMemoryKiB() * 1024.0 / std::max<qint64>(1, size));
    return 0;
}
