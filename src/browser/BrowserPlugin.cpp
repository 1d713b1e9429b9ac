#include "browser/BrowserPlugin.h"

#include "browser/Preview.h"
#include "browser/PreviewBeside.h"
#include "browser/PreviewPages.h"
#include "browser/frmView.h"

void QuilloraBrowserPlugin::start(DocumentHost& host, QObject* owner) {
    ServeOpenDocuments(host, owner);
}

BrowserWindow* QuilloraBrowserPlugin::newBrowserWindow(DocumentHost& host, BrowserTable& table, int slot) {
    return new frmView(host, table, slot);
}

void QuilloraBrowserPlugin::viewDocument(DocumentHost& host, EditableDocument& document) {
    ViewDocument(host, document);
}

void QuilloraBrowserPlugin::openInBrowser(DocumentHost& host, EditableDocument& document) {
    OpenInBrowser(host, document);
}

void QuilloraBrowserPlugin::togglePreviewBeside(DocumentHost& host, frmNotepad& window) {
    TogglePreviewBeside(host, window);
}

void QuilloraBrowserPlugin::showPreviewBeside(DocumentHost& host, frmNotepad& window, bool shown,
                                              double textShare) {
    ShowPreviewBeside(host, window, shown, textShare);
}

bool QuilloraBrowserPlugin::usedByAPage(const QString& path) const {
    return !PreviewPages::instance().pageUsing(path).isEmpty();
}

#include "moc_BrowserPlugin.cpp"
