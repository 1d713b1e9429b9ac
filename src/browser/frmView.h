#pragma once

#include "editor/BrowserWindow.h"
#include "editor/Commands.h"
#include "editor/EditableDocument.h"
#include "editor/RecentMenu.h"

#include <QList>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <memory>

class BrowserControl;
class DocumentHost;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QStatusBar;
struct BrowserTable;

// Where the controls of a browser window go when its inner area is `inner` pixels, reckoned in
// twips (15 to the pixel): the strip takes the width; the address box and the Go To button are
// hidden when less than 1500 twips are left for the box; the browser takes the rest, each size
// only when it is above 0 (-1: left as it is).
struct ViewLayout {
    bool addressShown = false;
    int urlWidth = 0;
    int goToLeft = 0;
    int browserWidth = -1;
    int browserHeight = -1;
};
ViewLayout LayoutView(QSize inner, int urlLeft, int goToWidth, int menuHeight, int statusHeight);

// A browser window: the strip of buttons and the address box, the embedded browser, and a status
// bar whose first panel tells whether the window is offline and whose second shows the engine's
// status. It keeps its slot of the browser table until it closes.
class frmView : public BrowserWindow {
    Q_OBJECT
public:
    frmView(DocumentHost& host, BrowserTable& table, int slot);
    ~frmView() override;

    int slot() const override;
    void setSlot(int slot) override;
    void navigate(const QString& address) override;
    void addToAddressList(const QString& address) override;
    void addButton(QWidget* button) override;
    void setStripColor(const QColor& color) override;
    void buttonAction(const QString& name) override;
    void focusPage() override;
    QList<QMenu*> menus() const override;
    RecentMenu& recentMenu() override { return m_recent; }
    bool runCommand(CommandId id) override;
    // A pause in typing shows the document's text as it stands, saving shows the saved file, each
    // time scrolled to where the page was. Following ends when the window goes to another page.
    void followDocument(EditableDocument* document, const QString& path, bool showNow) override;
    bool following() const { return m_followed; }
    // How long typing must pause before the page follows the text.
    static constexpr int kFollowDelayMs = 300;
    // How long View Source waits for a page.
    static constexpr int kSourceTimeoutMs = 30000;

    QWidget* picMenu = nullptr;
    QComboBox* cmbURL = nullptr;
    BrowserControl* WebBrowser = nullptr;
    QStatusBar* StatusBar = nullptr;
    QLabel *pnlOffline = nullptr, *pnlStatus = nullptr;
    QLabel* pnlMessages = nullptr; // how many of the page's messages were not shown

    // Checked while the window is offline.
    QAction* mnuOffline = nullptr;
    // The window's item of a command.
    QAction* action(CommandId id) const;

public slots:
    // Enter in the address box, or a click on the Go To button.
    void goToTypedAddress();
    void mnuOffline_Click();
    void mnuOpenFile_Click();
    void mnuUpdate_Click();
    // Stores the page's source in temp/source/ (a folder of downloaded sources only, so a source
    // previewed there reads nothing else of the user's) and opens it as a document.
    void mnuViewSRC_Click();

signals:
    // The window finished loading a page.
    void pageLoaded(const QUrl& url, bool ok);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The page's title as the caption shows it: the help page's in the user's language.
    QString shownTitle(const QString& title) const;
    void buildControls();
    void buildMenus();
    void layoutControls();
    void WebBrowser_DocumentComplete(const QUrl& url, bool ok);
    void showFollowed();
    void stopFollowing();
    // The followed document closed: its file is shown from disk, or the window closes when it
    // showed a never-saved document.
    void followedClosed();
    // Reloads the page when `document` is saved (when it shows that document's file).
    void linkSaves(EditableDocument* document);
    void documentSaved();

    DocumentHost& m_host;
    BrowserTable& m_table;
    QWidget* m_area = nullptr;
    QWidget* m_goTo = nullptr;
    RecentMenu m_recent;
    std::unique_ptr<WindowMenus> m_menus;
    QList<QAction*> m_windowListItems;
    QPointer<EditableDocument> m_followed;
    QString m_followPath;
    int m_previewId = 0;
    QTimer m_followTimer;
    QMetaObject::Connection m_typing, m_closing;
    bool m_followsCopy = false; // the followed document has never been saved
    QPointer<EditableDocument> m_savesOf;
    QMetaObject::Connection m_saves;
};
