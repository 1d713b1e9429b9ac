#include "app/frmQuillora.h"
#include "app/mdlQuillor.h"
#include "platform/ProgramIcon.h"
#include "platform/SingleInstanceLink.h"

#include <QApplication>
#include <QFile>

int main(int argc, char* argv[]) {
    // The browser engine draws with the same OpenGL contexts as the windows.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillora"));
    QApplication::setOrganizationName(QStringLiteral("Quillora"));
    // The desktop entry quillora.desktop names this program to the desktop (its icon and menu entry).
    QGuiApplication::setDesktopFileName(QStringLiteral("quillora"));
    QApplication::setWindowIcon(ProgramIcon());

    const QStringList paths = AbsolutePaths(QApplication::arguments().mid(1));

    // A second start hands its files to the running editor and ends without a window.
    SingleInstanceLink link;
    if (link.handOver(paths))
        return 0;

    frmQuillora window(ProgramFolder());
    link.listen();
    // Test hook: when QUILLORA_TEST_REPORT names a file, every path this instance is given to
    // open, at start-up or handed over by a second start, is appended to it, one per line.
    const QString testReport = qEnvironmentVariable("QUILLORA_TEST_REPORT");
    if (!testReport.isEmpty()) {
        const auto report = [testReport](const QStringList& opened) {
            QFile file(testReport);
            if (file.open(QIODevice::WriteOnly | QIODevice::Append))
                file.write((opened.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
        };
        if (!paths.isEmpty())
            report(paths);
        QObject::connect(&link, &SingleInstanceLink::pathsReceived, &window, report);
    }
    QObject::connect(&link, &SingleInstanceLink::pathsReceived, &window, &frmQuillora::txtDDE_Change);
    window.startUp(paths);
    return app.exec();
}
