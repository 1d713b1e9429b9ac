#include "editor/JavaCompile.h"

#include "editor/DocumentHost.h"
#include "editor/frmNotepad.h"
#include "editor/mdlFile.h"
#include "platform/Dialogs.h"
#include "platform/Version.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>

void CompileDocument(DocumentHost& host, frmNotepad& document) {
    Dialogs& dialogs = Dialogs::instance();
    if (host.documents().DocumentSlots[document.slot()].PathCaption.isEmpty()) {
        dialogs.message(
            host.dialogParent(), MessageBoxTitle(),
            QCoreApplication::translate("JavaCompile", "The file must be saved before you can compile it!"),
            Dialogs::Buttons::Ok, Dialogs::Icon::Information);
    } else {
        if (host.settings().JavaCompiler.isEmpty()) {
            const Dialogs::Answer answer = dialogs.message(
                host.dialogParent(), MessageBoxTitle(),
                QCoreApplication::translate(
                    "JavaCompile",
                    "There is no Java Compiler selected.\r\nWould you like to select one now?"),
                Dialogs::Buttons::YesNo, Dialogs::Icon::Question);
            if (answer == Dialogs::Answer::Yes) {
                // The window may be closed while the dialog is open; then nothing is compiled.
                const QPointer<frmNotepad> alive(&document);
                host.showSettings(true);
                if (!alive)
                    return;
            }
        }
        const QString compiler = host.settings().JavaCompiler;
        if (!compiler.isEmpty()) {
            // The document's absolute path goes to the compiler as one argument, whatever the
            // caption shows (a minimised window shows the bare name, which could read as an
            // option), and the compiler runs in the file's folder.
            const QFileInfo file(host.documents().DocumentSlots[document.slot()].PathCaption);
            if (!QProcess::startDetached(compiler, {file.absoluteFilePath()}, file.absolutePath()))
                dialogs.message(
                    host.dialogParent(), MessageBoxTitle(),
                    QCoreApplication::translate("JavaCompile", "The Java compiler could not be started: ") +
                        compiler,
                    Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        }
    }
    FocusCurrentDocument(host);
}
