#pragma once

#include <QString>

// "Quillora (3.60)": the title of every message box and the main window's caption.
inline QString MessageBoxTitle() {
    return QStringLiteral("Quillora (%1.%2)").arg(QUILLORA_VERSION_MAJOR).arg(QUILLORA_VERSION_REVISION);
}

// The page "Check for update..." shows.
inline QString UpdatePageAddress() {
    return QStringLiteral("https://quillora.example.org/update.htm");
}
