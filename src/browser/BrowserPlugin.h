#pragma once

#include "editor/BrowserWindow.h"

#include <QObject>

// The browser module's entry: the program finds it by its interface when it loads the module.
class QuilloraBrowserPlugin : public QObject, public BrowserModule {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QUILLORA_BROWSER_MODULE_IID)
    Q_INTERFACES(BrowserModule)
public:
    void start(DocumentHost& host, QObject* owner) override;
    BrowserWindow* newBrowserWindow(DocumentHost& host, BrowserTable& table, int slot) override;
    void viewDocument(DocumentHost& host, EditableDocument& document) override;
    void openInBrowser(DocumentHost& host, EditableDocument& document) override;
    void togglePreviewBeside(DocumentHost& host, frmNotepad& window) override;
    void showPreviewBeside(DocumentHost& host, frmNotepad& window, bool shown, double textShare) override;
    bool usedByAPage(const QString& path) const override;
};
