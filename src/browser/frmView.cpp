#include "browser/frmView.h"

#include "browser/BrowserControl.h"
#include "browser/PreviewPages.h"
#include "browser/ViewSource.h"
#include "editor/BrowserTable.h"
#include "editor/Commands.h"
#include "editor/DocumentHost.h"
#include "editor/mdlFile.h"
#include "platform/MdiWindows.h"
#include "platform/ProgramIcon.h"
#include "platform/RichTextControl.h"
#include "platform/UiHelpers.h"
#include "platform/Version.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>

namespace {
constexpr int kTwipsPerPixel = 15;
constexpr int kButtonSize = 24;
// The four buttons left of the address box, in order.
const char* const kLeftButtons[] = {"picBack", "picForward", "picStop", "picReload"};
constexpr int kUrlLeft = 4 * kButtonSize + 4;

// What the address box shows for the page at `url`: local pages by their path.
QString addressText(const QUrl& url) {
    const QString path = PreviewPages::localPath(url);
    return path.isEmpty() ? url.toString() : path;
}
} // namespace

ViewLayout LayoutView(QSize inner, int urlLeft, int goToWidth, int menuHeight, int statusHeight) {
    ViewLayout layout;
    const int width = inner.width() * kTwipsPerPixel;
    const int room = width - (urlLeft + goToWidth) * kTwipsPerPixel - 60;
    layout.addressShown = room >= 1500;
    if (layout.addressShown) {
        layout.goToLeft = (width - goToWidth * kTwipsPerPixel - 30) / kTwipsPerPixel;
        layout.urlWidth = room / kTwipsPerPixel;
    }
    if (inner.width() > 0)
        layout.browserWidth = inner.width();
    if (inner.height() - menuHeight - statusHeight > 0)
        layout.browserHeight = inner.height() - menuHeight - statusHeight;
    return layout;
}

frmView::frmView(DocumentHost& host, BrowserTable& table, int slot) : m_host(host), m_table(table) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmView"));
    setWindowTitle(QStringLiteral("QL Viewer"));
    setWindowIcon(ProgramIcon());
    setSlot(slot);
    buildControls();
    buildMenus();
    FreeCtrlW(*this); // "Open File..."
    m_followTimer.setSingleShot(true);
    m_followTimer.setInterval(kFollowDelayMs);
    connect(&m_followTimer, &QTimer::timeout, this, &frmView::showFollowed);
}

frmView::~frmView() {
    if (m_previewId)
        PreviewPages::instance().remove(m_previewId);
}

int frmView::slot() const {
    return property("tag").toString().toInt();
}

QString frmView::shownTitle(const QString& title) const {
    // The help page ships in English; its title is the one part of it shown in the user's language.
    static const char* const kHelpTitle = QT_TR_NOOP("Quillora Help");
    const QString help = QDir::cleanPath(m_host.programFolder() + QStringLiteral("/help/index.htm"));
    if (title == QLatin1String(kHelpTitle) &&
        QDir::cleanPath(PreviewPages::localPath(WebBrowser->LocationURL())) == help)
        return tr(kHelpTitle);
    return title;
}

void frmView::setSlot(int slot) {
    setProperty("tag", QString::number(slot));
}

void frmView::buildControls() {
    m_area = new QWidget(this);
    setWidget(m_area);
    m_area->installEventFilter(this);
    picMenu = named(new QWidget(m_area), "picMenu");
    picMenu->setAutoFillBackground(true);
    cmbURL = named(new QComboBox(picMenu), "cmbURL");
    cmbURL->setAccessibleName(tr("Address"));
    cmbURL->setEditable(true);
    cmbURL->setInsertPolicy(QComboBox::NoInsert);
    cmbURL->setCompleter(nullptr);
    cmbURL->installEventFilter(this);
    cmbURL->lineEdit()->installEventFilter(this);
    cmbURL->lineEdit()->setAcceptDrops(true);
    WebBrowser = named(new BrowserControl(m_area), "WebBrowser");
    StatusBar = named(new QStatusBar(m_area), "StatusBar");
    StatusBar->setSizeGripEnabled(false);
    // Every window starts offline, and its first panel says so.
    pnlOffline = named(new QLabel(tr("Offline"), StatusBar), "pnlOffline");
    pnlStatus = named(new QLabel(tr("Status"), StatusBar), "pnlStatus");
    pnlMessages = named(new QLabel(StatusBar), "pnlMessages");
    StatusBar->addWidget(pnlOffline);
    StatusBar->addWidget(pnlStatus, 1);
    StatusBar->addPermanentWidget(pnlMessages);
    pnlMessages->hide();
    connect(WebBrowser, &BrowserControl::MessagesSuppressed, this, [this](int count) {
        pnlMessages->setText(tr("Page messages not shown: %1").arg(count));
        pnlMessages->show();
    });

    connect(WebBrowser, &BrowserControl::StatusTextChange, pnlStatus, &QLabel::setText);
    connect(WebBrowser, &BrowserControl::TitleChange, this, [this](const QString& title) {
        setWindowTitle(QStringLiteral("QL Viewer - ") + shownTitle(title));
    });
    connect(WebBrowser, &BrowserControl::DocumentComplete, this, &frmView::WebBrowser_DocumentComplete);
}

void frmView::buildMenus() {
    m_menus = std::make_unique<WindowMenus>(m_host.commands(), MenuScope::Browser, this, [this] {
        return CommandTarget{m_host, nullptr, this};
    });
    mnuOffline = action(CommandId::Offline);
    mnuOffline->setChecked(true);
    m_recent.build(m_menus->menu(MenuId::File), [this](const QString& path) {
        OpenDocument(m_host, path);
        m_host.refreshRecentMenus();
    });
    QMenu* window = m_menus->menu(MenuId::Window);
    connect(window, &QMenu::aboutToShow, this,
            [this, window] { FillWindowList(window, m_windowListItems, m_host.mdiArea()); });
}

QAction* frmView::action(CommandId id) const {
    return (*m_menus)[id];
}

QList<QMenu*> frmView::menus() const {
    return m_menus->menuBar();
}

void frmView::addButton(QWidget* button) {
    button->setParent(picMenu);
    const QString name = button->objectName();
    for (int i = 0; i < 4; ++i)
        if (name == QLatin1String(kLeftButtons[i]))
            button->move(i * kButtonSize, 2);
    if (name == QLatin1String("picGoTo"))
        m_goTo = button;
    button->show();
    layoutControls();
}

void frmView::setStripColor(const QColor& color) {
    QPalette palette = picMenu->palette();
    palette.setColor(QPalette::Window, color);
    picMenu->setPalette(palette);
}

void frmView::buttonAction(const QString& name) {
    // The four buttons left of the address box do what their menu items do.
    static const CommandId kLeftCommands[] = {CommandId::Back, CommandId::Forward, CommandId::Stop,
                                              CommandId::Reload};
    for (int i = 0; i < 4; ++i)
        if (name == QLatin1String(kLeftButtons[i]))
            runCommand(kLeftCommands[i]);
    if (name == QLatin1String("picGoTo"))
        goToTypedAddress();
}

void frmView::navigate(const QString& address) {
    WebBrowser->Navigate(address);
}

void frmView::addToAddressList(const QString& address) {
    cmbURL->addItem(address);
}

void frmView::focusPage() {
    WebBrowser->setFocus();
}

bool frmView::runCommand(CommandId id) {
    switch (id) {
    case CommandId::Back:
        WebBrowser->GoBack();
        break;
    case CommandId::Forward:
        WebBrowser->GoForward();
        break;
    case CommandId::Stop:
        WebBrowser->Stop();
        break;
    case CommandId::Reload:
        WebBrowser->Refresh();
        break;
    case CommandId::Update:
        mnuUpdate_Click();
        break;
    case CommandId::OpenFile:
        mnuOpenFile_Click();
        break;
    case CommandId::ViewSource:
        mnuViewSRC_Click();
        break;
    case CommandId::Offline:
        mnuOffline_Click();
        break;
    default:
        return false;
    }
    return true;
}

void frmView::goToTypedAddress() {
    const QString typed = cmbURL->currentText();
    WebBrowser->Navigate(typed);
    for (int i = 0; i < cmbURL->count(); ++i)
        if (cmbURL->itemText(i).toUpper() == typed.toUpper())
            return;
    cmbURL->insertItem(0, typed);
    cmbURL->setEditText(typed);
}

void frmView::mnuOffline_Click() {
    const bool offline = mnuOffline->isChecked();
    WebBrowser->setOffline(offline);
    pnlOffline->setText(offline ? tr("Offline") : tr("Online"));
}

void frmView::mnuOpenFile_Click() {
    const QString path = ShowFileDialog(m_host, FileDialogAction::Open, true);
    if (!path.isEmpty())
        WebBrowser->load(QUrl::fromLocalFile(path));
}

void frmView::mnuUpdate_Click() {
    WebBrowser->Navigate(UpdatePageAddress(m_host.programFolder()));
}

void frmView::mnuViewSRC_Click() {
    const QString folder = m_host.programFolder() + QStringLiteral("/temp/source");
    QDir().mkpath(folder);
    const QString target = folder + QLatin1Char('/') + SourceFileName(WebBrowser->LocationURL());
    auto* download =
        new SourceDownload(WebBrowser->LocationURL(), target, WebBrowser->offline(), kSourceTimeoutMs, this);
    // Failures open nothing and say nothing.
    connect(download, &SourceDownload::finished, this, [this, download, target](bool ok) {
        download->deleteLater();
        if (ok)
            OpenDocument(m_host, target);
    });
}

void frmView::WebBrowser_DocumentComplete(const QUrl& url, bool ok) {
    cmbURL->setEditText(addressText(url));
    const QString path = PreviewPages::localPath(url);
    if (m_followed && path != m_followPath)
        stopFollowing();
    if (!m_followed) {
        // A page that is the file of an open document is shown afresh when the document is saved.
        EditableDocument* shown = nullptr;
        const DocumentTable& table = m_host.documents();
        for (int slot = 0; slot < table.slotCount() && !shown && !path.isEmpty(); ++slot) {
            const QString saved = table.DocumentSlots[slot].PathCaption;
            if (!table.DocumentSlots[slot].Free && saved == path)
                shown = table.editable(slot);
        }
        linkSaves(shown);
    }
    emit pageLoaded(url, ok);
}

void frmView::followDocument(EditableDocument* document, const QString& path, bool showNow) {
    if (!m_previewId)
        m_previewId = PreviewPages::instance().add(
            {[this] { return m_followed ? m_followPath : QString(); },
             [this] { return m_followed ? m_followed->text().text().toUtf8() : QByteArray(); }});
    stopFollowing();
    m_followed = document;
    m_followPath = path;
    m_followsCopy = document->savedPath().isEmpty();
    m_typing = connect(document, &EditableDocument::changed, &m_followTimer, qOverload<>(&QTimer::start));
    m_closing = connect(document, &QObject::destroyed, this, &frmView::followedClosed);
    // Pages reloaded as the text is typed would repeat their messages after every pause.
    WebBrowser->setMessagesShown(false);
    linkSaves(document);
    if (showNow)
        WebBrowser->load(PreviewPages::urlFor(m_previewId, path));
}

void frmView::stopFollowing() {
    disconnect(m_typing);
    disconnect(m_closing);
    WebBrowser->setMessagesShown(true);
    m_followed = nullptr;
    m_followTimer.stop();
}

void frmView::followedClosed() {
    // The text shown may have been discarded with its document: the page shows what is on disk,
    // and a never-saved document's page, which exists nowhere now, goes with it.
    stopFollowing();
    if (m_followsCopy)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    else
        WebBrowser->showKeepingScroll(QUrl::fromLocalFile(m_followPath));
}

void frmView::showFollowed() {
    if (m_followed)
        WebBrowser->showKeepingScroll(PreviewPages::urlFor(m_previewId, m_followPath));
}

void frmView::linkSaves(EditableDocument* document) {
    if (document == m_savesOf)
        return;
    disconnect(m_saves);
    m_savesOf = document;
    if (document)
        m_saves = connect(document, &EditableDocument::saved, this, &frmView::documentSaved);
}

void frmView::documentSaved() {
    if (!m_followed) {
        WebBrowser->showKeepingScroll(WebBrowser->LocationURL());
        return;
    }
    // The saved file is what the text now is; a first save gives the page its new place.
    m_followTimer.stop();
    m_followPath = m_followed->savedPath();
    m_followsCopy = false;
    WebBrowser->showKeepingScroll(QUrl::fromLocalFile(m_followPath));
}

void frmView::layoutControls() {
    if (isMinimized())
        return;
    const int stripHeight = std::max(kButtonSize + 4, cmbURL->sizeHint().height() + 4);
    const int statusHeight = StatusBar->sizeHint().height();
    const QSize inner = m_area->size();
    const int goToWidth = m_goTo ? m_goTo->width() : kButtonSize;
    const ViewLayout layout = LayoutView(inner, kUrlLeft, goToWidth, stripHeight, statusHeight);
    picMenu->setGeometry(0, 0, inner.width(), stripHeight);
    cmbURL->setVisible(layout.addressShown);
    if (m_goTo)
        m_goTo->setVisible(layout.addressShown);
    if (layout.addressShown) {
        const int urlHeight = cmbURL->sizeHint().height();
        cmbURL->setGeometry(kUrlLeft, (stripHeight - urlHeight) / 2, layout.urlWidth, urlHeight);
        if (m_goTo)
            m_goTo->move(layout.goToLeft, 2);
    }
    WebBrowser->setGeometry(0, stripHeight,
                            layout.browserWidth > 0 ? layout.browserWidth : WebBrowser->width(),
                            layout.browserHeight > 0 ? layout.browserHeight : WebBrowser->height());
    StatusBar->setGeometry(0, inner.height() - statusHeight, inner.width(), statusHeight);
}

void frmView::resizeEvent(QResizeEvent* event) {
    QMdiSubWindow::resizeEvent(event);
    // Only the window in front tells the toolbox that no document is active: a browser resized in
    // the background (by Tile, say) leaves the active document as it is.
    if (!isMinimized() && mdiArea() && mdiArea()->activeSubWindow() == this)
        m_host.documents().DocumentActive = false;
}

bool frmView::eventFilter(QObject* watched, QEvent* event) {
    if (!cmbURL || !StatusBar) // still being built
        return false;
    if (watched == m_area && event->type() == QEvent::Resize) {
        layoutControls();
        return false;
    }
    if ((watched == cmbURL || watched == cmbURL->lineEdit()) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            goToTypedAddress();
            return true; // the Enter key itself goes no further
        }
        return false;
    }
    if (watched != cmbURL->lineEdit())
        return false;
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDropEvent*>(event);
        if (!localFilesOf(drag->mimeData()).isEmpty() && (drag->possibleActions() & Qt::CopyAction)) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
            return true;
        }
    } else if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList files = localFilesOf(drop->mimeData());
        if (files.isEmpty() || !(drop->possibleActions() & Qt::CopyAction))
            return false;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        const QString first = files.first().trimmed();
        if (!first.isEmpty())
            navigate(first);
        return true;
    }
    return false;
}

void frmView::closeEvent(QCloseEvent* event) {
    // Sources still on their way are given up: nothing opens for a window that is gone.
    qDeleteAll(findChildren<SourceDownload*>());
    const int mySlot = slot();
    if (mySlot >= 0 && mySlot < m_table.slotCount())
        m_table.BrowserSlotFree[mySlot] = true;
    event->accept();
}

#include "moc_frmView.cpp"
