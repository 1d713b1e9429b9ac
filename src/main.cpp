#include "app/frmQuillora.h"
#include "app/mdlQuillor.h"
#include "platform/FirstExposure.h"
#include "platform/Log.h"
#include "platform/MemoryUse.h"
#include "platform/ProgramIcon.h"
#include "platform/SingleInstanceLink.h"
#include "platform/Translations.h"

#include <QApplication>
#include <QTranslator>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {
const char kUsage[] = QT_TRANSLATE_NOOP(
    "main", "Usage: quillora [FILE]...\n"
            "Edit HTML pages, style sheets, scripts and other text files. Each FILE opens in a document\n"
            "window of its own. When Quillora is already running, the files open in that window instead.\n"
            "\n"
            "  --help     show this help and exit\n"
            "  --version  show the version and exit\n");

// The usage in the user's language; no window or display is needed for it.
QByteArray usage() {
    QTranslator translator;
    const QString translated =
        LoadCatalogue(translator, UserLanguage()) ? translator.translate("main", kUsage) : QString();
    return translated.isEmpty() ? QByteArray(kUsage) : translated.toLocal8Bit();
}

// Answers --help and --version on standard output before any window or display is touched; returns
// the exit status, or -1 when neither is given. Every other argument, whatever it starts with, is a
// file to open. An answer that cannot be written (to a full disk, say) ends with status 1.
int answerInfoOption(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0)
            std::fputs(usage().constData(), stdout);
        else if (std::strcmp(argv[i], "--version") == 0)
            std::printf("Quillora %d.%d.%d\n", QUILLORA_VERSION_MAJOR, QUILLORA_VERSION_MINOR,
                        QUILLORA_VERSION_REVISION);
        else
            continue;
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (const int status = answerInfoOption(argc, argv); status >= 0)
        return status;
    GiveLargeBlocksBack();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillora"));
    QApplication::setOrganizationName(QStringLiteral("Quillora"));
    // The desktop entry quillora.desktop names this program to the desktop (its icon and menu entry).
    QGuiApplication::setDesktopFileName(QStringLiteral("quillora"));
    QApplication::setWindowIcon(ProgramIcon());
    // Every text is translated as its widget is made: the catalogues come before any window.
    InstallUserTranslations(app);

    const QStringList paths = AbsolutePaths(QApplication::arguments().mid(1));

    // The first start listens before anything else, so of two starts at once only one runs; a
    // later start hands its files to the running editor and ends without a window. A running
    // editor that does not take them leaves this start to run on its own.
    SingleInstanceLink link;
    if (!link.listen() && link.handOver(paths))
        return 0;

    frmQuillora window(ProgramFolder());
    std::optional<FirstExposureNotice> exposureNotice;
    if (lcStartup().isInfoEnabled())
        exposureNotice.emplace(window, [] { qCInfo(lcStartup, "first window shown"); });
    QObject::connect(&link, &SingleInstanceLink::pathsReceived, &window, &frmQuillora::txtDDE_Change);
    window.startUp(paths);
    return app.exec();
}
