#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QQueue>

// A dialog service for tests: every request is recorded and answered from queues filled by
// the test. An empty queue answers Cancel (or an empty path), so a forgotten answer cannot block.
class ScriptedDialogs : public Dialogs {
public:
    struct Message {
        QString title;
        QString text;
        Buttons buttons;
        Icon icon;
    };

    QQueue<Answer> answers;
    QQueue<QString> openPaths;
    QQueue<QString> savePaths;
    QQueue<std::optional<QColor>> colors;
    // When set, print() accepts and sends the output to this PDF file.
    QString printToPdf;
    bool printSelection = false;

    QList<Message> messages;
    QList<FileRequest> openRequests;
    QList<FileRequest> saveRequests;
    QList<PrintRequest> printRequests;

    Answer message(QWidget* parent, const QString& title, const QString& text, Buttons buttons,
                   Icon icon) override;
    QString openFile(QWidget* parent, const FileRequest& request) override;
    QString saveFile(QWidget* parent, const FileRequest& request) override;
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override;
    bool print(QWidget* parent, const PrintRequest& request) override;

    // Installs a fresh scripted service and returns it (owned by the dialog seam).
    static ScriptedDialogs& install();
};
