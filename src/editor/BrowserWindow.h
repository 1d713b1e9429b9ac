#pragma once

// What the program sees of the browser: its windows and previews, made by a module of their own
// that is loaded when the first of them is asked for. Until then the browser engine, the largest
// part of the program, is neither loaded nor mapped.

#include "editor/Commands.h"

#include <QList>
#include <QMdiSubWindow>
#include <QtPlugin>

class DocumentHost;
class EditableDocument;
class QColor;
class QMenu;
class RecentMenu;
class frmNotepad;
struct BrowserTable;

// A browser window as the main window handles it: its slot, the page it goes to, the picture
// buttons of its strip, and its menus.
class BrowserWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    using QMdiSubWindow::QMdiSubWindow;

    virtual int slot() const = 0;
    virtual void setSlot(int slot) = 0;
    // Goes to an address as typed (a URL or a path), and keeps it in the address box's list.
    virtual void navigate(const QString& address) = 0;
    virtual void addToAddressList(const QString& address) = 0;
    // Puts one of the strip's picture buttons (named picBack, picForward, picStop, picReload or
    // picGoTo) in its place, and colours the strip.
    virtual void addButton(QWidget* button) = 0;
    virtual void setStripColor(const QColor& color) = 0;
    // What a click on the picture button `name` does.
    virtual void buttonAction(const QString& name) = 0;
    // Gives the keyboard to the page.
    virtual void focusPage() = 0;
    // The menus this window puts in the main window's menu bar while it is active.
    virtual QList<QMenu*> menus() const = 0;
    virtual RecentMenu& recentMenu() = 0;
    // Runs a command of the browser window's own (Back, Forward, Stop, Reload, Update, Open File,
    // View Source, Offline); false for any other.
    virtual bool runCommand(CommandId id) = 0;
    // Shows `document` and follows it as it is typed and saved (from memory, under `path`, so
    // relative links resolve beside it).
    virtual void followDocument(EditableDocument* document, const QString& path, bool showNow) = 0;
};

// The browser module's commands and windows.
class BrowserModule {
public:
    virtual ~BrowserModule() = default;

    // Called once, when the module is loaded: pages previewed as they are typed take the style
    // sheets and scripts open in `host`'s document windows from their text, while `owner` lives.
    virtual void start(DocumentHost& host, QObject* owner) = 0;
    // A browser window in `slot` of `table`.
    virtual BrowserWindow* newBrowserWindow(DocumentHost& host, BrowserTable& table, int slot) = 0;
    // "View" of the context menu: the link in the selection, or the document.
    virtual void viewDocument(DocumentHost& host, EditableDocument& document) = 0;
    // "Open in Browser": the document as it stands, followed as it is typed and saved.
    virtual void openInBrowser(DocumentHost& host, EditableDocument& document) = 0;
    // Preview Beside of the document window: shows the preview beside the text, or closes it.
    virtual void togglePreviewBeside(DocumentHost& host, frmNotepad& window) = 0;
    // Shows or closes it as a session says (the divider at `textShare` of the width, 0 for half).
    virtual void showPreviewBeside(DocumentHost& host, frmNotepad& window, bool shown, double textShare) = 0;
    // Whether a page previewed as it is typed used the file at `path` (a style sheet, a script).
    virtual bool usedByAPage(const QString& path) const = 0;
};

#define QUILLORA_BROWSER_MODULE_IID "org.example.quillora.BrowserModule/1"
Q_DECLARE_INTERFACE(BrowserModule, QUILLORA_BROWSER_MODULE_IID)
