#pragma once

// A page put before a benchmark as the editor holds it (in a text control, or in a document window
// of the main window on screen), and the time sed takes over it.

#include "BenchFigures.h"
#include "app/frmQuillora.h"
#include "editor/Colorizer.h"
#include "editor/mdlFile.h"
#include "platform/RichTextControl.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <cstdio>

// The page read into `control` and coloured, as opening a file does; false when it cannot be read.
// `size` receives the file's size in bytes.
inline bool loadColored(RichTextControl& control, const ColorRoles& roles, const QString& path,
                        qint64* size) {
    {
        // The read text goes as soon as the control holds it, as when a file is opened.
        const std::optional<QString> page = readPage(path, size);
        if (!page)
            return false;
        control.setText(*page);
    }
    ColorizeRange(control, roles, 0, control.textLength());
    QApplication::processEvents();
    return true;
}

// The main window shown with the page open in a document window; null (and a line on the error
// output) when it cannot be opened.
inline frmNotepad* openInWindow(frmQuillora& main, const QString& path) {
    main.startUp({}, false);
    main.resize(1280, 800);
    main.show();
    frmNotepad* window = OpenDocument(main, path);
    if (!window) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        return nullptr;
    }
    QCoreApplication::processEvents();
    return window;
}

// Wall-clock time of sed with `arguments` over the page, output thrown away; -1 without sed.
inline double sedMs(const QStringList& arguments, const QString& path) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("sed"));
    if (program.isEmpty())
        return -1;
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments + QStringList{path});
    if (!process.waitForStarted() || !process.waitForFinished(-1) || process.exitCode() != 0)
        return -1;
    return milliseconds(timer);
}
