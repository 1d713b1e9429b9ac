#pragma once

#include "editor/DocumentTable.h"
#include "editor/Settings.h"

#include <QStringList>
#include <functional>

class QMdiArea;
class frmFind;
class frmNotepad;
class BrowserModule;
class BrowserWindow;
struct SearchState;
class QPoint;
struct CommandTable;
class QWidget;
class SpellingService;

// What document windows, file operations, wizards and the browser need of the program that owns
// them: the document registry, the settings, and a small shell (the frame, the dialogs' parent and
// folder, and the few windows it opens for them). The main window's own commands (wizards, the
// symbol table, Check HTML, About) are not asked for here: the program binds them to its menus.
class DocumentHost {
public:
    virtual ~DocumentHost() = default;

    // The registry: every document window by slot, and the current one.
    virtual DocumentTable& documents() = 0;

    // The settings in memory, the program folder, and the tag names that Ctrl+Space completes to
    // ("commands.txt").
    virtual const Settings& settings() const = 0;
    virtual QString programFolder() const = 0;
    virtual const QStringList& commandWords() const = 0;

    // The shell: the frame the windows live in and the parent of their dialogs.
    virtual QMdiArea* mdiArea() const = 0;
    virtual QWidget* dialogParent() = 0;
    // The folder the file dialogs start in.
    virtual QString dialogFolder() const = 0;
    virtual void setDialogFolder(const QString& folder) = 0;
    virtual void addToRecent(const QString& path) = 0;
    virtual void refreshRecentMenus() = 0;
    virtual void openFiles(const QStringList& paths) = 0;
    virtual void exitProgram() = 0;
    // The context menu of document windows, shown at `at` (global) for `document`.
    virtual void showContextMenu(frmNotepad& document, const QPoint& at) = 0;
    // The menu commands of all windows.
    virtual const CommandTable& commands() const = 0;
    // What Find Next goes on from, and the find dialog (made, hidden, when first asked for).
    virtual SearchState& searchState() = 0;
    virtual frmFind& findDialog() = 0;
    // "Settings...": modal over the frame, or modeless (from a document window); one at a time.
    virtual void showSettings(bool modal) = 0;
    // Changes the settings in memory with `change`, stores them, and shows every document window
    // with the new view (font, zoom, line numbers, tab stops).
    virtual void changeSettings(const std::function<void(Settings&)>& change) = 0;
    // A new browser window in the lowest free slot, showing `address` unless it is blank. The
    // address is taken as it is: a "*" at its end belongs to it.
    // Null when the browser module cannot be loaded (the user was told what is missing).
    virtual BrowserWindow* OpenBrowser(const QString& address) = 0;
    // The browser module, loaded when first asked for; null when it cannot be (the user was told
    // what is missing). `loadedBrowserModule` never loads it: null until something else has.
    virtual BrowserModule* browserModule() { return nullptr; }
    virtual BrowserModule* loadedBrowserModule() const { return nullptr; }
    // A short message in the status bar for a few seconds ("" clears it): why a command did nothing.
    virtual void showStatusMessage(const QString& /*text*/) {}
    // The spelling check the document windows share; null where the program has none.
    virtual SpellingService* spelling() { return nullptr; }
};
