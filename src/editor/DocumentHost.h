#pragma once

#include "editor/DocumentTable.h"
#include "editor/Settings.h"

#include <QStringList>

class QMdiArea;
class frmFind;
class frmNotepad;
class frmView;
struct SearchState;
class QPoint;
struct CommandTable;
class QWidget;

// The wizards that build one kind of tag from boxes and insert it into a document.
// Frames, ImageMap and Css are always modal.
enum class TagDialog { Tables, Forms, Body, Link, Lists, Font, Frames, ImageMap, Css };

// What document windows and file operations need from the main window that owns them:
// the program-wide tables and settings, the frame they live in, and the shell's commands.
class DocumentHost {
public:
    virtual ~DocumentHost() = default;

    virtual DocumentTable& documents() = 0;
    virtual const Settings& settings() const = 0;
    virtual QString programFolder() const = 0;
    virtual QMdiArea* mdiArea() const = 0;
    virtual QWidget* dialogParent() = 0;
    // The folder the file dialogs start in.
    virtual QString dialogFolder() const = 0;
    virtual void setDialogFolder(const QString& folder) = 0;

    virtual void addToRecent(const QString& path) = 0;
    virtual void refreshRecentMenus() = 0;
    virtual void openFiles(const QStringList& paths) = 0;
    virtual void exitProgram() = 0;
    virtual void showAbout() = 0;
    // The context menu of document windows, shown at `at` (global) for `document`.
    virtual void showContextMenu(frmNotepad& document, const QPoint& at) = 0;
    // The menu commands of all windows.
    virtual const CommandTable& commands() const = 0;
    // What Find Next goes on from, and the find dialog (made, hidden, when first asked for).
    virtual SearchState& searchState() = 0;
    virtual frmFind& findDialog() = 0;
    // The symbol table, shown over the frame (one, made when first asked for).
    virtual void showSymbols() = 0;
    // A wizard over the frame: modeless, one of each kind (an open one is raised), acting on the
    // document current at each press; or modal, inserting into the document current when it opened.
    virtual void showTagDialog(TagDialog which, bool modal = false) = 0;
    // "Settings...": modal over the frame, or modeless (from a document window); one at a time.
    virtual void showSettings(bool modal) = 0;
    // "Check HTML" on a document: its problems listed in the main window's panel.
    virtual void checkHtml(frmNotepad& document) = 0;
    // The tag names that Ctrl+Space completes to ("commands.txt").
    virtual const QStringList& commandWords() const = 0;
    // A new browser window in the lowest free slot, showing `address` unless it is blank. The
    // address is taken as it is: a "*" at its end belongs to it.
    virtual frmView* OpenBrowser(const QString& address) = 0;
};
