#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <array>
#include <functional>
#include <vector>

class DocumentHost;
class QAction;
class QMenu;
class QWidget;
class frmNotepad;
class BrowserWindow;

// The menu commands of the main, document and browser windows. Each command is declared once in
// the program's command table (its object name, caption, shortcut and what it does); each window
// builds its menus from the table, in the order its layout gives.
enum class CommandId {
    // File
    New,
    Open,
    Save,
    SaveAs,
    Close,
    OpenInBrowser,
    NewBrowser,
    Print,
    Exit,
    // Edit
    Undo,
    Redo,
    Cut,
    Copy,
    Paste,
    Delete,
    Find,
    FindNext,
    FindInFiles,
    SelectAll,
    SelectElement,
    MatchTag,
    TimeDate,
    // Tools
    Body,
    Css,
    Font,
    Forms,
    Frames,
    Gradient,
    ImageMap,
    Compile,
    JavaScripts,
    Link,
    Lists,
    Picture,
    Symbols,
    Tables,
    CheckHtml,
    Spelling,
    SpellingList,
    PreviewBeside,
    CheckLinks,
    DosFormat,
    UnixFormat,
    MacFormat,
    ExpandAbbr,
    NextEditPoint,
    PreviousEditPoint,
    // Options
    Settings,
    LineNumbers,
    ZoomIn,
    ZoomOut,
    ZoomReset,
    Colorize,
    RemoveColors,
    Template,
    // Window
    Cascade,
    TileHorizontal,
    TileVertical,
    ArrangeIcons,
    // ?
    Help,
    Update,
    About,
    // Browser
    Forward,
    Back,
    Stop,
    Reload,
    OpenFile,
    ViewSource,
    Offline,
    // The separators, named as the menus name them.
    Separator1,
    Separator3,
    Separator4,
    Separator5,
    SeparatorHelp,
    Count
};
enum class MenuId { File, Edit, Tools, Java, Options, Window, Info, Browser, Count };
// The windows whose menus a table lays out.
enum class MenuScope { Main, Document, Browser, Count };

// What a command acts on: the program, and the document or browser window whose menu ran it (null
// for the other kind, both null in the main window's menus).
struct CommandTarget {
    DocumentHost& host;
    frmNotepad* document = nullptr;
    BrowserWindow* browser = nullptr;
};

struct Command {
    const char* name = nullptr; // the item's object name, by which tests and users' scripts find it
    QString caption;            // "" for a separator; English, as the user's language translates it
    QKeySequence shortcut;
    std::function<void(const CommandTarget&)> run;
    bool checkable = false;
    // Items of wizards not built: present, disabled and hidden.
    bool planned = false;
    // Enabled once the window has something to do it with (Undo, Redo).
    bool startsDisabled = false;
    // What the command needs to run: a command of document windows alone runs only on a document,
    // one of browser windows alone only in a browser window (the table works it out from the
    // windows that show the command).
    enum class Needs { Nothing, Document, Browser };
    Needs needs = Needs::Nothing;
    // Further keys that run the command, as people bring them from other programs.
    QList<QKeySequence> alternatives = {};
    // Keys that lists and text boxes take for themselves (Ctrl+C in a list copies its row): they run
    // the item only while the keyboard is in the window whose menus hold it.
    bool keysInWindow = false;
};

struct MenuDeclaration {
    const char* name = nullptr;
    QString caption;
    QString mainCaption; // the main window's own caption, when it differs
};

// An entry of a menu's layout: a command's item, or a submenu.
struct MenuEntry {
    MenuEntry(CommandId id) : command(id) {}
    MenuEntry(MenuId id) : submenu(id) {}
    CommandId command = CommandId::Count;
    MenuId submenu = MenuId::Count;
};

// One menu of a window and its entries in order. A menu that is an entry of another is a submenu;
// the others go on the menu bar.
struct MenuLayout {
    MenuId menu;
    std::vector<MenuEntry> entries;
};

struct CommandTable {
    std::array<Command, size_t(CommandId::Count)> commands;
    std::array<MenuDeclaration, size_t(MenuId::Count)> menus;
    std::array<std::vector<MenuLayout>, size_t(MenuScope::Count)> layouts;

    // Sets each command's `needs` from the windows whose layouts show it.
    void deriveNeeds();

    const Command& operator[](CommandId id) const { return commands[size_t(id)]; }
};

// The menus of one window, built from the table.
class WindowMenus {
public:
    // Builds the menus of `scope` as children of `owner`; a command runs on the target `target`
    // gives when it is chosen.
    WindowMenus(const CommandTable& table, MenuScope scope, QWidget* owner,
                std::function<CommandTarget()> target);

    // The menus that go on the menu bar, in order.
    const QList<QMenu*>& menuBar() const { return m_menuBar; }
    QMenu* menu(MenuId id) const { return m_menus[size_t(id)]; }
    // The item of a command; null when the window's menus do not hold it.
    QAction* operator[](CommandId id) const { return m_actions[size_t(id)]; }

private:
    QList<QMenu*> m_menuBar;
    std::array<QMenu*, size_t(MenuId::Count)> m_menus{};
    std::array<QAction*, size_t(CommandId::Count)> m_actions{};
};

// A caption of the table (a command's or a menu's) as the user reads it: in the user's language,
// under the translation context "Commands" the table marks its captions with.
QString DisplayCaption(const QString& caption);

// Adds the table's item `id` to `menu`, running on `target()` when chosen.
QAction* AddCommandItem(QMenu* menu, const CommandTable& table, CommandId id,
                        const std::function<CommandTarget()>& target);
