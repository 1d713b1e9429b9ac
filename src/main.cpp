#include "app/frmQuillora.h"
#include "app/mdlQuillor.h"
#include "platform/SingleInstanceLink.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillora"));
    QApplication::setOrganizationName(QStringLiteral("Quillora"));

    const QStringList paths = AbsolutePaths(QApplication::arguments().mid(1));

    // A second start hands its files to the running editor and ends without a window.
    SingleInstanceLink link;
    if (link.handOver(paths))
        return 0;

    frmQuillora window(ProgramFolder());
    link.listen();
    QObject::connect(&link, &SingleInstanceLink::pathsReceived, &window, &frmQuillora::txtDDE_Change);
    window.startUp(paths);
    return app.exec();
}
