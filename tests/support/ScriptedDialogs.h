#pragma once

#include "platform/Dialogs.h"

#include <QPrinter>
#include <QQueue>

// A dialog service for tests: every request is recorded and answered from queues filled by
// the test. An empty queue answers Cancel (or an empty path), so a forgotten answer cannot block.
class ScriptedDialogs : public Dialogs {
public:
    struct Message {
        QString title, text;
        Buttons buttons;
        Icon icon;
        QStringList choices; // the answers of a question with answers of its own
    };

    QQueue<Answer> answers;
    // Answers to questions with answers of their own, by caption; none left answers as Esc does.
    QQueue<QString> choices;
    QQueue<QString> openPaths, savePaths;
    QQueue<QStringList> openPathLists;
    QQueue<QString> folders;
    QQueue<std::optional<QColor>> colors;
    // When set, print() accepts (keeping the range offered) and sends the output to this PDF file.
    QString printToPdf;

    QList<Message> messages;
    QList<FileRequest> openRequests, saveRequests, openListRequests;
    struct FolderRequest {
        QString prompt, folder;
    };
    QList<FolderRequest> folderRequests;
    QList<PrintRequest> printRequests;

    Answer message(QWidget*, const QString& title, const QString& text, Buttons buttons, Icon icon) override {
        messages.append({title, text, buttons, icon, {}});
        return !answers.isEmpty() ? answers.dequeue() : buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
    int choose(QWidget*, const QString& title, const QString& text, const QStringList& offered, Icon icon,
               int, int cancelChoice) override {
        messages.append({title, text, Buttons::Ok, icon, offered});
        const int chosen = choices.isEmpty() ? cancelChoice : int(offered.indexOf(choices.dequeue()));
        return chosen >= 0 ? chosen : cancelChoice;
    }
    QString openFile(QWidget*, const FileRequest& request) override {
        openRequests.append(request);
        return openPaths.isEmpty() ? QString() : openPaths.dequeue();
    }
    QString saveFile(QWidget*, const FileRequest& request) override {
        saveRequests.append(request);
        return savePaths.isEmpty() ? QString() : savePaths.dequeue();
    }
    QStringList openFiles(QWidget*, const FileRequest& request) override {
        openListRequests.append(request);
        return openPathLists.isEmpty() ? QStringList() : openPathLists.dequeue();
    }
    QString chooseFolder(QWidget*, const QString& prompt, const QString& folder) override {
        folderRequests.append({prompt, folder});
        return folders.isEmpty() ? QString() : folders.dequeue();
    }
    std::optional<QColor> chooseColor(QWidget*, const QColor&) override {
        return colors.isEmpty() ? std::nullopt : colors.dequeue();
    }
    bool print(QWidget*, const PrintRequest& request) override {
        printRequests.append(request);
        if (printToPdf.isEmpty())
            return false;
        request.printer->setOutputFormat(QPrinter::PdfFormat);
        request.printer->setOutputFileName(printToPdf);
        request.printer->setPrintRange(request.hasSelection ? QPrinter::Selection : QPrinter::AllPages);
        return true;
    }

    // Installs a fresh scripted service and returns it (owned by the dialog seam).
    static ScriptedDialogs& install() {
        auto* scripted = new ScriptedDialogs;
        Dialogs::install(std::unique_ptr<Dialogs>(scripted));
        return *scripted;
    }
};
