#pragma once

// A page put before a benchmark as the editor holds it: in a text control, or in a document window
// of the main window on screen.

#include "BenchFigures.h"
#include "app/frmQuillora.h"
#include "editor/Colorizer.h"
#include "editor/mdlFile.h"
#include "platform/RichTextControl.h"

#include <QApplication>
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
