#include "platform/ProgramIcon.h"

QIcon ProgramIcon() {
    // Read once for the whole program: the application, the main window and every document window
    // show it, and reading its seven pictures costs more than the rest of a document window's
    // making. Kept to the end (never destroyed), as pictures outlive no application.
    static const QIcon* const icon = [] {
        auto* made = new QIcon;
        for (const int size : {16, 24, 32, 48, 64, 128, 256})
            made->addFile(QStringLiteral(":/icons/quillora-%1.png").arg(size), QSize(size, size));
        return made;
    }();
    return *icon;
}
