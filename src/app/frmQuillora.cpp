#include "app/frmQuillora.h"

#include "app/CheckPanel.h"
#include "app/DocumentArea.h"
#include "app/ProgramCommands.h"
#include "app/frmSettings.h"
#include "editor/CommandTable.h"
#include "editor/Spelling.h"
#include "editor/frmFind.h"
#include "wizards/frmBody.h"
#include "wizards/frmCSS.h"
#include "wizards/frmFont.h"
#include "wizards/frmForms.h"
#include "wizards/frmFrames.h"
#include "wizards/frmIsMap.h"
#include "wizards/frmLink.h"
#include "wizards/frmList.h"
#include "wizards/frmSymbols.h"
#include "wizards/frmTable.h"

#include "app/RecentFiles.h"
#include "app/Recovery.h"
#include "app/Session.h"
#include "app/SettingsIO.h"
#include "app/SkinButton.h"
#include "app/StatusFields.h"
#include "app/mdlQuillor.h"
#include "editor/frmNotepad.h"
#include "editor/mdlFile.h"
#include "markup/CompletionLists.h"
#include "platform/Dialogs.h"
#include "platform/MdiWindows.h"
#include "platform/Paths.h"
#include "platform/ProgramIcon.h"
#include "platform/RichTextControl.h"
#include "platform/UiHelpers.h"
#include "platform/Version.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <functional>

frmQuillora::frmQuillora(QString programFolder, QWidget* parent)
    : QMainWindow(parent), m_commands(BuildCommandTable()), m_programFolder(std::move(programFolder)) {
    setObjectName(QStringLiteral("frmQuillora"));
    setWindowTitle(MessageBoxTitle());
    setWindowIcon(ProgramIcon()); // dialogs owned by the main window show it too
    setAcceptDrops(true);
    // Dialogs taller or wider than a small screen scroll, with their closing buttons in view.
    fitDialogsWhenShown(*this);
    m_mdi = new DocumentArea(this);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &frmQuillora::subWindowActivated);
    BindProgramCommands(m_commands, *this);
    buildMenus();
    buildPopupMenu();
    buildToolbars();
    connect(&m_documents, &DocumentTable::countChanged, this, &frmQuillora::documentCountChanged);
    documentCountChanged();
    setStatusBar(new StatusFields(*this, this));
    m_recovery = new RecoveryJournal(*this, this);
    m_session = new SessionKeeper(*this, this);
}

frmQuillora::~frmQuillora() {
    // The find dialog writes its histories as it goes; it goes while the program folder is known.
    delete m_find;
    delete m_symbols;
    for (const QPointer<QDialog>& wizard : m_tagDialogs)
        delete wizard;
    delete m_check;
    // The document windows go first, while the tables they report to still exist.
    disconnect(m_mdi, nullptr, this, nullptr);
    delete m_mdi;
}

void frmQuillora::buildMenus() {
    m_menus = std::make_unique<WindowMenus>(m_commands, MenuScope::Main, this,
                                            [this] { return CommandTarget{*this}; });
    m_recent.build(m_menus->menu(MenuId::File), [this](const QString& path) {
        OpenDocument(*this, path);
        refreshRecentMenus();
    });
    showMenusOf(nullptr);
}

QAction* frmQuillora::action(CommandId id) const {
    return (*m_menus)[id];
}

CheckPanel* frmQuillora::checkPanel() const {
    return m_check;
}

void frmQuillora::checkHtml(frmNotepad& document) {
    if (!m_check) {
        m_check = new CheckPanel(*this);
        addDockWidget(Qt::BottomDockWidgetArea, m_check);
        m_check->hide(); // shown when a check runs
    }
    m_check->check(document);
}

namespace {
QDialog* makeTagDialog(TagDialog which, DocumentHost& host, QWidget* parent) {
    switch (which) {
    case TagDialog::Tables:
        return new frmTable(host, parent);
    case TagDialog::Forms:
        return new frmForms(host, parent);
    case TagDialog::Body:
        return new frmBody(host, parent);
    case TagDialog::Link:
        return new frmLink(host, parent);
    case TagDialog::Lists:
        return new frmList(host, parent);
    case TagDialog::Font:
        return new frmFont(host, parent);
    case TagDialog::Frames:
        return new frmFrames(host, parent);
    case TagDialog::ImageMap:
        return new frmIsMap(host, parent);
    case TagDialog::Css:
        return new frmCSS(host, parent);
    }
    return nullptr;
}
} // namespace

void frmQuillora::showTagDialog(TagDialog which, bool modal) {
    if (modal || which >= TagDialog::Frames) {
        QPointer<QDialog> wizard = makeTagDialog(which, *this, this);
        if (auto* link = qobject_cast<frmLink*>(wizard.data()))
            link->keepTargetDocument();
        wizard->exec();
        delete wizard;
        return;
    }
    QPointer<QDialog>& wizard = m_tagDialogs.at(static_cast<size_t>(which));
    if (!wizard)
        wizard = makeTagDialog(which, *this, this);
    wizard->show();
    wizard->raise();
    wizard->activateWindow();
}

void frmQuillora::showSymbols() {
    if (!m_symbols)
        m_symbols = new frmSymbols(*this, this);
    m_symbols->show();
    m_symbols->raise();
    m_symbols->activateWindow();
}

frmFind& frmQuillora::findDialog() {
    if (!m_find)
        m_find = new frmFind(*this, this);
    return *m_find;
}

void frmQuillora::documentCountChanged() {
    const bool any = m_documents.DocumentCount > 0;
    picToolbox->setVisible(any);
    for (QWidget* button : std::as_const(m_toolbarDocumentButtons))
        button->setVisible(any);
}

void frmQuillora::startUp(const QStringList& paths, bool show) {
    setWindowTitle(MessageBoxTitle());
    SeedDataFiles(m_programFolder);
    EnsureDataFiles(m_programFolder);
    m_settings = LoadSettings(m_programFolder);
    m_dialogFolder = DialogStartFolder(m_settings.DefaultDir, m_programFolder);
    if (IsFolder(m_dialogFolder))
        QDir::setCurrent(m_dialogFolder);
    m_ownCommands = LoadOwnCommands(m_programFolder + QStringLiteral("/owncom.txt"));
    showOwnCommands();
    // A list from an older version gets the element names added since (the seeding above made it
    // the shipped one if it was missing).
    UpgradeCommandList(m_programFolder + QStringLiteral("/commands.txt"),
                       QStringLiteral(":/data/commands.txt"));
    CommandWords = ReadCommandWords(m_programFolder);
    LoadSkin(m_settings.SkinPath);
    m_browsers = BrowserTable{};
    m_documents.clear();
    if (paths.isEmpty())
        m_session->openLastSession();
    else
        OpenPathList(paths);
    refreshRecentMenus();
    if (show) {
        // Without a window manager "maximised" means nothing, so the size is set as well.
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            setGeometry(screen->availableGeometry());
        showMaximized();
        ArrangeWindows(m_mdi, WindowArrangement::Cascade);
    }
    m_recovery->offerRecovery();
    m_recovery->start();
    m_started = true;
    if (!m_handedOver.isEmpty())
        txtDDE_Change(std::exchange(m_handedOver, {}));
}

void frmQuillora::OpenPathList(const QStringList& paths) {
    // Each path exactly as given: blanks are part of a name ("b.htm " is not "b.htm").
    for (const QString& path : paths) {
        if (path.isEmpty())
            continue;
        OpenDocument(*this, path);
        addToRecent(path);
    }
}

void frmQuillora::txtDDE_Change(const QStringList& paths) {
    // A list that arrives while start-up still opens its own files waits until it has.
    if (!m_started) {
        m_handedOver += paths;
        return;
    }
    OpenPathList(paths);
    if (isMinimized())
        showMaximized();
    raise();
    activateWindow();
}

void frmQuillora::openFiles(const QStringList& paths) {
    // In the order given: a folder opens in a browser window, a file as from the command line.
    for (const QString& path : paths) {
        if (IsFolder(path))
            OpenBrowser(path + QLatin1Char('/'));
        else
            OpenPathList({path});
    }
}

void frmQuillora::addToRecent(const QString& path) {
    if (!IsInRecent(path))
        PushRecent(path);
    refreshRecentMenus();
}

void frmQuillora::refreshRecentMenus() {
    const QStringList stored = StoredRecentFiles();
    for (int i = 0; i < stored.size(); ++i) {
        m_recent.show(i + 1, stored.at(i));
        for (int slot = 0; slot < m_documents.slotCount(); ++slot) {
            if (!m_documents.DocumentSlots[slot].Free && m_documents.Documents[slot])
                m_documents.Documents[slot]->recentMenu().show(i + 1, stored.at(i));
        }
        for (const QPointer<BrowserWindow>& view : m_browsers.Browsers)
            if (view)
                view->recentMenu().show(i + 1, stored.at(i));
    }
}

void frmQuillora::showStatusMessage(const QString& text) {
    statusBar()->showMessage(text, 5000);
}

void frmQuillora::exitProgram() {
    close();
}

void frmQuillora::closeEvent(QCloseEvent* event) {
    // Every modified document is asked about first, in the Window menu's order, and nothing closes
    // until all have been answered: a Cancel at any point leaves every window as it was.
    QList<QPointer<frmNotepad>> open;
    QList<QPointer<frmNotepad>> toSave;
    for (QMdiSubWindow* window : m_mdi->subWindowList(QMdiArea::CreationOrder)) {
        auto* document = qobject_cast<frmNotepad*>(window);
        if (!document || m_documents.DocumentSlots[document->slot()].Free)
            continue;
        open << document;
        if (!m_documents.DocumentSlots[document->slot()].Modified)
            continue;
        const Dialogs::Answer answer = document->askToSave();
        if (answer == Dialogs::Answer::Cancel) {
            event->ignore();
            return;
        }
        if (answer == Dialogs::Answer::Yes)
            toSave << document;
    }
    // A cancelled save dialog or a failed write keeps the program running, with nothing closed.
    for (const QPointer<frmNotepad>& document : std::as_const(toSave)) {
        if (document && !SaveCommand(*this, document->slot())) {
            event->ignore();
            return;
        }
    }
    m_session->recordAtExit(); // with the paths of documents just saved, before the windows go
    for (const QPointer<frmNotepad>& document : std::as_const(open))
        if (document)
            document->closeAnswered();
    if (m_documents.DocumentCount != 0) {
        event->ignore();
        return;
    }
    for (int slot = 0; slot < m_browsers.slotCount(); ++slot) {
        if (m_browsers.Browsers[slot])
            m_browsers.Browsers[slot]->close();
        m_browsers.BrowserSlotFree[slot] = true;
    }
    event->accept();
}

QString frmQuillora::AboutText() {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("Quillora") + crlf +
           tr("Version: %1.%2").arg(QUILLORA_VERSION_MAJOR).arg(QUILLORA_VERSION_REVISION) + crlf +
           tr("Build: %1.%2.%3")
               .arg(QUILLORA_VERSION_MAJOR)
               .arg(QUILLORA_VERSION_MINOR)
               .arg(QUILLORA_VERSION_REVISION) +
           crlf + crlf + tr("You'll find all my programs at: ") + crlf +
           QStringLiteral("https://quillora.example.org/") + crlf +
           QStringLiteral("https://quillora.example.org/downloads/") + crlf + crlf +
           tr("Made by the Quillora team.") + crlf + tr("Thanks to everyone who reported bugs and ideas.");
}

void frmQuillora::showAbout() {
    Dialogs::instance().message(this, tr("About %1").arg(MessageBoxTitle()), AboutText(),
                                Dialogs::Buttons::Ok, Dialogs::Icon::Information);
}

void frmQuillora::subWindowActivated(QMdiSubWindow* window) {
    // The area reports no active window while a dialog or another application has the focus;
    // the menus then stay those of the window that is still current.
    if (!window) {
        QMdiSubWindow* current = m_mdi->currentSubWindow();
        auto* document = qobject_cast<frmNotepad*>(current);
        if (document && document->isVisible() && !m_documents.DocumentSlots[document->slot()].Free)
            window = document;
        else if (qobject_cast<BrowserWindow*>(current) && current->isVisible())
            window = current;
    }
    if (auto* document = qobject_cast<frmNotepad*>(window)) {
        m_documents.setCurrent(document->slot());
        m_documents.DocumentActive = !document->isMinimized();
    } else if (qobject_cast<BrowserWindow*>(window)) {
        // The toolbox does nothing while a browser is in front; the current document stays.
        m_documents.DocumentActive = false;
    }
    showMenusOf(window);
}

void frmQuillora::showMenusOf(QMdiSubWindow* window) {
    QMenuBar* bar = menuBar();
    bar->clear();
    if (auto* document = qobject_cast<frmNotepad*>(window)) {
        for (QMenu* menu : document->menus())
            bar->addMenu(menu);
        return;
    }
    if (auto* view = qobject_cast<BrowserWindow*>(window)) {
        for (QMenu* menu : view->menus())
            bar->addMenu(menu);
        return;
    }
    for (QMenu* menu : m_menus->menuBar())
        bar->addMenu(menu);
}

void frmQuillora::dragEnterEvent(QDragEnterEvent* event) {
    if (!localFilesOf(event->mimeData()).isEmpty() && (event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

bool frmQuillora::event(QEvent* event) {
    // The desktop switched between a light and a dark palette: it applies at once.
    if (event->type() == QEvent::ApplicationPaletteChange)
        followPalette();
    // A modal dialog closed and no window of the program has the keyboard: the frame takes it back
    // rather than rely on the window manager, which at times gives it to no window.
    if (event->type() == QEvent::WindowUnblocked)
        QTimer::singleShot(0, this, [this] {
            if (!QApplication::activeWindow() && isVisible() && !isMinimized())
                activateWindow();
        });
    return QMainWindow::event(event);
}

void frmQuillora::dropEvent(QDropEvent* event) {
    const QStringList files = localFilesOf(event->mimeData());
    if (files.isEmpty() || !(event->possibleActions() & Qt::CopyAction))
        return;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    openFiles(files);
}

void frmQuillora::showSettings(bool modal) {
    // One dialog at a time: two would each write every key and undo the other's changes.
    if (m_settingsDialog) {
        m_settingsDialog->raise();
        m_settingsDialog->activateWindow();
        if (!modal)
            return;
        // A modal request waits for the open dialog, which becomes modal for the wait.
        if (!m_settingsDialog->isModal()) {
            m_settingsDialog->hide();
            m_settingsDialog->setWindowModality(Qt::ApplicationModal);
            m_settingsDialog->show();
        }
        QEventLoop wait;
        connect(m_settingsDialog, &QDialog::finished, &wait, &QEventLoop::quit);
        connect(m_settingsDialog, &QObject::destroyed, &wait, &QEventLoop::quit);
        wait.exec();
        return;
    }
    m_settingsDialog = new frmSettings(*this, this);
    if (modal) {
        m_settingsDialog->exec(); // deletes it on closing
        return;
    }
    m_settingsDialog->show();
    m_settingsDialog->raise();
    m_settingsDialog->activateWindow();
}

void frmQuillora::followPalette() {
    redrawForPalette();
    for (int slot = 0; slot < m_documents.slotCount(); ++slot)
        if (frmNotepad* document = m_documents.Documents[slot];
            document && !m_documents.DocumentSlots[slot].Free)
            document->applyPaletteColors();
}

void frmQuillora::changeSettings(const std::function<void(Settings&)>& change) {
    change(m_settings);
    SaveSettings(m_settings);
    for (int slot = 0; slot < m_documents.slotCount(); ++slot)
        if (frmNotepad* document = m_documents.Documents[slot];
            document && !m_documents.DocumentSlots[slot].Free)
            document->applyViewSettings();
}

#include "moc_frmQuillora.cpp"
