#include "support/ScriptedDialogs.h"

#include <QPrinter>

Dialogs::Answer ScriptedDialogs::message(QWidget*, const QString& title, const QString& text, Buttons buttons,
                                         Icon icon) {
    messages.append({title, text, buttons, icon});
    if (!answers.isEmpty())
        return answers.dequeue();
    return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

QString ScriptedDialogs::openFile(QWidget*, const FileRequest& request) {
    openRequests.append(request);
    return openPaths.isEmpty() ? QString() : openPaths.dequeue();
}

QString ScriptedDialogs::saveFile(QWidget*, const FileRequest& request) {
    saveRequests.append(request);
    return savePaths.isEmpty() ? QString() : savePaths.dequeue();
}

std::optional<QColor> ScriptedDialogs::chooseColor(QWidget*, const QColor&) {
    return colors.isEmpty() ? std::nullopt : colors.dequeue();
}

bool ScriptedDialogs::print(QWidget*, const PrintRequest& request) {
    printRequests.append(request);
    if (printToPdf.isEmpty())
        return false;
    request.printer->setOutputFormat(QPrinter::PdfFormat);
    request.printer->setOutputFileName(printToPdf);
    request.printer->setPrintRange(printSelection ? QPrinter::Selection : QPrinter::AllPages);
    return true;
}

ScriptedDialogs& ScriptedDialogs::install() {
    auto scripted = std::make_unique<ScriptedDialogs>();
    ScriptedDialogs& ref = *scripted;
    Dialogs::install(std::move(scripted));
    return ref;
}
