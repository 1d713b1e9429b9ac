// What a line costs in memory beyond its text: files of many short lines opened in a document
// window, offscreen, with colours and without. Printed for each file: its lines, the resident memory the open
// added (after the file's own bytes and text are gone), and that per line, against the target of
// under 150 bytes a line.
// Usage: bench_lines [lines]   (default 1,000,000)

#include "BenchFigures.h"
#include "app/frmQuillora.h"
#include "editor/frmNotepad.h"
#include "editor/mdlFile.h"
#include "platform/RichTextControl.h"

#include <QApplication>
#include <QFile>
#include <cstdio>
#include <malloc.h>

namespace {
// The resident memory now, in bytes (from /proc/self/statm).
qint64 residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * 4096 : 0;
}
} // namespace

int main(int argc, char* argv[]) {
    const BenchHome home;
    QApplication app(argc, argv);
    const int lines = argc > 1 ? QByteArray(argv[1]).toInt() : 1000000;

    frmQuillora main(home.path() + "/program");
    main.startUp({}, false);
    main.resize(1280, 800);
    main.show();

    struct Kind {
        const char* name;
        QByteArray line;
        bool colors;
    };
    for (const Kind& kind : {Kind{"empty lines, LF", "\n", true}, Kind{"empty lines, CR LF", "\r\n", true},
                             Kind{"10 characters, a tag", "<p>abcdef\n", true},
                             Kind{"the same without colours", "<p>abcdef\n", false}}) {
        main.mutableSettings().UseColors = kind.colors;
        const QString path = home.path() + "/lines.txt";
        {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(kind.line.repeated(lines)) < 0)
                return 1;
        }
        malloc_trim(0);
        const qint64 before = residentBytes();
        frmNotepad* window = OpenDocument(main, path);
        if (!window) {
            std::printf("%-24s refused: %s\n", kind.name, "see the message");
            continue;
        }
        QCoreApplication::processEvents();
        malloc_trim(0);
        const qint64 added = residentBytes() - before;
        // The text itself: two bytes a character as the document keeps it.
        const qint64 text = 2LL * (kind.line.size() - (kind.line.endsWith("\r\n") ? 2 : 1)) * lines;
        std::printf(
            "%-24s %9d lines, %7.1f MB added, %6.0f bytes a line beyond the text (target under 150: %s)\n",
            kind.name, lines, added / 1048576.0, double(added - text) / lines,
            double(added - text) / lines < 150 ? "met" : "MISSED");
        main.documents().DocumentSlots[window->slot()].Modified = false;
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return 0;
}
