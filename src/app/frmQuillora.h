#pragma once

#include "app/BrowserLoader.h"
#include "app/Skin.h"
#include "editor/BrowserTable.h"
#include "editor/Commands.h"
#include "editor/DocumentHost.h"
#include "editor/RecentMenu.h"
#include "editor/SearchState.h"
#include "markup/OwnCommands.h"

#include <QColor>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <vector>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class frmNotepad;
class frmSymbols;
class frmSettings;
class CheckPanel;
class FilesPanel;
class LinksPanel;
class SpellingPanel;
class SpellingService;
class RecoveryJournal;
class SessionKeeper;
class SkinButton;
class SkinStrip;

// The wizards that build one kind of tag from boxes and insert it into a document.
// Frames, ImageMap and Css are always modal.
enum class TagDialog { Tables, Forms, Body, Link, Lists, Font, Frames, ImageMap, Css };

// The main window: the multiple-document frame that owns every document window, the
// program-wide tables, the settings in memory, the shared context menu and the recent files.
class frmQuillora : public QMainWindow, public DocumentHost {
    Q_OBJECT
public:
    explicit frmQuillora(QString programFolder, QWidget* parent = nullptr);
    ~frmQuillora() override;

    // Start-up after the single-instance check: data files, settings, word list, then the
    // documents of the command line (or one new document), and the window is shown.
    void startUp(const QStringList& paths, bool show = true);
    // Opens each path in order and adds it to the recent files.
    void OpenPathList(const QStringList& paths);
    // Receives a second start's path list.
    void txtDDE_Change(const QStringList& paths);

    // DocumentHost
    DocumentTable& documents() override { return m_documents; }
    const Settings& settings() const override { return m_settings; }
    QString programFolder() const override { return m_programFolder; }
    QMdiArea* mdiArea() const override { return m_mdi; }
    QWidget* dialogParent() override { return this; }
    QString dialogFolder() const override { return m_dialogFolder; }
    void setDialogFolder(const QString& folder) override { m_dialogFolder = folder; }
    void addToRecent(const QString& path) override;
    void refreshRecentMenus() override;
    void openFiles(const QStringList& paths) override;
    void exitProgram() override;
    // The About box.
    void showAbout();
    void showContextMenu(frmNotepad& document, const QPoint& at) override;
    const CommandTable& commands() const override { return m_commands; }
    // The shared context menu of document windows.
    QMenu* popupMenu() const { return mnuPopup; }
    SearchState& searchState() override { return m_search; }
    frmFind& findDialog() override;
    // The symbol table, shown over the frame (one, made when first asked for).
    void showSymbols();
    // A wizard over the frame: modeless, one of each kind (an open one is raised), acting on the
    // document current at each press; or modal, inserting into the document current when it opened.
    void showTagDialog(TagDialog which, bool modal = false);
    void showSettings(bool modal) override;
    void changeSettings(const std::function<void(Settings&)>& change) override;
    // Loads the button skin of the skin file `path` and repaints every button; false (the faces
    // unchanged) when it cannot be loaded.
    bool LoadSkin(const QString& path);
    // Draws every button of the toolbox and the toolbar in its normal state.
    void RedrawAllButtons();
    // The application's palette changed: the built-in faces are drawn anew in its colours, a strip
    // background that is the button colour takes the new one, and every button is redrawn.
    void redrawForPalette();
    // The skin in use: its picture, and the background colour of every button strip.
    const ButtonSkin& buttonSkin() const { return m_skin; }
    QColor skinBackground() const { return m_skin.background; }
    // The picture buttons of the toolbox and the toolbar, in strip order.
    const QList<SkinButton*>& skinButtons() const { return m_buttons; }
    // "Check HTML" on a document: its problems listed in the panel.
    void checkHtml(frmNotepad& document);
    // "Find in Files...": the dialog, its folder starting at `from`'s (when given); results in the
    // files panel.
    void findInFiles(frmNotepad* from);
    // "Check Links...": asks for a folder (starting at `from`'s) and lists its broken local links.
    void checkLinks(frmNotepad* from);
    FilesPanel* filesPanel() const;
    LinksPanel* linksPanel() const;
    // The panel of "Check HTML", made at the first check.
    CheckPanel* checkPanel() const;
    // The spelling check the document windows share (made when first asked for).
    SpellingService* spelling() override;
    // "Spelling List": the misspelt words of `document` in the spelling panel.
    void showSpellingList(frmNotepad& document);
    SpellingPanel* spellingPanel() const;
    BrowserWindow* OpenBrowser(const QString& address) override;
    BrowserModule* browserModule() override;
    BrowserModule* loadedBrowserModule() const override { return m_browserLoader.loaded(); }
    void showStatusMessage(const QString& text) override;
    BrowserTable& browsers() { return m_browsers; }

    Settings& mutableSettings() { return m_settings; }
    const QStringList& commandWords() const override { return CommandWords; }
    QStringList& mutableCommandWords() { return CommandWords; }
    RecentMenu& recentMenu() { return m_recent; }
    // The About box's text, lines separated by CR LF.
    static QString AboutText();

    // The main window's item of a command.
    QAction* action(CommandId id) const;
    QMenu* mnuPopup = nullptr;
    SkinStrip *picToolbox = nullptr, *picToolbar = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildMenus();
    void buildPopupMenu();
    // Puts the items for a misspelt word at `at` (global) of `document` first in the context menu;
    // takes those of the last time out.
    void addSpellingItems(frmNotepad& document, const QPoint& at);
    void buildToolbars();
    // What a click on one of the picture buttons does.
    void addPreviewBesideButton();
    void connectButton(SkinButton* button);
    // Ctrl+F6: the keyboard to the next strip of picture buttons, after the last to the window in front.
    void focusNextStrip();
    // The keyboard back to the document or browser window in front.
    void focusWindowInFront();
    // The own commands' items show the table: names as captions, free slots hidden.
    void showOwnCommands();
    void mnuOwn_Click(int index);
    void mnuAddOwn_Click();
    void subWindowActivated(QMdiSubWindow* window);
    // The Color submenu of the context menu: "Tag", "Comment", "Text", "Value" and "Other...".
    void mnuColRole_Click(const QString& role);
    void mnuColOther_Click();
    void showMenusOf(QMdiSubWindow* window);
    // The toolbars follow the number of open documents.
    void documentCountChanged();
    // The application's palette changed: button faces and document windows take its colours.
    void followPalette();
    // The browser window's picture buttons, drawn from the skin and redrawn when it changes.
    void addBrowserButtons(BrowserWindow* view);

    CommandTable m_commands;
    std::unique_ptr<WindowMenus> m_menus;
    // The context menu's "View" item, and the own commands' items by index (1 to 20).
    QAction* m_viewItem = nullptr;
    QAction* m_previewBesideItem = nullptr;
    std::array<QAction*, 21> m_ownItems{};
    QAction* m_ownSeparator = nullptr;
    QString m_programFolder;
    QString m_dialogFolder;
    Settings m_settings;
    DocumentTable m_documents;
    // Browser windows by slot, and the module that makes them.
    BrowserTable m_browsers;
    BrowserLoader m_browserLoader;
    QStringList CommandWords{QString()};
    QMdiArea* m_mdi = nullptr;
    RecentMenu m_recent;
    ButtonSkin m_skin;
    QList<SkinButton*> m_buttons;
    QList<QWidget*> m_toolbarDocumentButtons;
    QColor m_lastOtherColor = Qt::black;
    SearchState m_search;
    OwnCommandTable m_ownCommands;
    QPointer<frmFind> m_find;
    QPointer<frmSymbols> m_symbols;
    QPointer<frmSettings> m_settingsDialog;
    // The modeless wizards, by TagDialog.
    std::array<QPointer<QDialog>, 6> m_tagDialogs;
    QPointer<CheckPanel> m_check;
    QPointer<FilesPanel> m_files;
    QPointer<LinksPanel> m_links;
    std::unique_ptr<SpellingService> m_spelling;
    QPointer<SpellingPanel> m_spellingPanel;
    // The context menu's items for the misspelt word it opened on (suggestions, Add, Ignore).
    QList<QAction*> m_spellingItems;
    // The journals of unsaved documents, kept for recovery after a crash.
    RecoveryJournal* m_recovery = nullptr;
    // The saved documents open, kept for the next start without files.
    SessionKeeper* m_session = nullptr;
    // Start-up is done; until then, files handed over by later starts wait in m_handedOver.
    bool m_started = false;
    QStringList m_handedOver;
};
