#include "editor/frmNotepad.h"

#include "browser/Preview.h"
#include "editor/DocumentHost.h"
#include "editor/SearchState.h"
#include "editor/TagCompletion.h"
#include "editor/TypingAids.h"
#include "editor/frmFind.h"
#include "editor/frmGoTo.h"
#include "editor/mdlFile.h"
#include "platform/Dialogs.h"
#include "platform/KeyCodes.h"
#include "platform/MdiWindows.h"
#include "platform/Paths.h"
#include "platform/ProgramIcon.h"
#include "platform/RichTextControl.h"
#include "platform/UiHelpers.h"
#include "platform/Version.h"
#include "wizards/Pictures.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// Items whose dialogs or windows are not part of the editor yet: present and disabled.
QAction* addPlannedItem(QMenu* menu, const QString& caption, const char* name,
                        const QKeySequence& shortcut = {}) {
    return addMenuItem(menu, caption, name, shortcut, false);
}

} // namespace

frmNotepad::frmNotepad(DocumentHost& host, int slot) : m_host(host) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmNotepad"));
    // The text, with a bar for notices above it.
    auto* page = new QWidget(this);
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    barNotice = new QFrame(page);
    barNotice->setObjectName(QStringLiteral("barNotice"));
    barNotice->setFrameShape(QFrame::StyledPanel);
    barNotice->setAutoFillBackground(true);
    barNotice->setBackgroundRole(QPalette::ToolTipBase);
    barNotice->setForegroundRole(QPalette::ToolTipText);
    auto* row = new QHBoxLayout(barNotice);
    row->setContentsMargins(6, 2, 2, 2);
    lblNotice = new QLabel(barNotice);
    lblNotice->setObjectName(QStringLiteral("lblNotice"));
    lblNotice->setTextFormat(Qt::PlainText);
    lblNotice->setWordWrap(true);
    lblNotice->setForegroundRole(QPalette::ToolTipText);
    cmdCloseNotice = new QToolButton(barNotice);
    cmdCloseNotice->setObjectName(QStringLiteral("cmdCloseNotice"));
    cmdCloseNotice->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    cmdCloseNotice->setToolTip(QStringLiteral("Close"));
    cmdCloseNotice->setAutoRaise(true);
    // A notice is read, not worked in: the keys stay with the text.
    cmdCloseNotice->setFocusPolicy(Qt::NoFocus);
    row->addWidget(lblNotice, 1);
    row->addWidget(cmdCloseNotice, 0, Qt::AlignTop);
    barNotice->hide();
    connect(cmdCloseNotice, &QToolButton::clicked, this, [this] {
        m_closedNotices += m_notices;
        barNotice->hide();
    });
    txtRich = new RichTextControl(page);
    txtRich->setObjectName(QStringLiteral("txtRich"));
    column->addWidget(barNotice);
    column->addWidget(txtRich, 1);
    page->setFocusProxy(txtRich);
    setWidget(page);
    setWindowTitle(QStringLiteral("Untitled [0]"));
    setWindowIcon(ProgramIcon());
    setSlot(slot);
    buildMenus();
    FreeCtrlW(*this); // "Open in Browser"
    m_history = std::make_unique<UndoHistory>(*txtRich);
    m_history->onStateChanged = [this](bool canUndo, bool canRedo) {
        mnuUndo->setEnabled(canUndo);
        mnuRedo->setEnabled(canRedo);
    };
    m_history->onRestored = [this](int start, int length) {
        if (m_host.settings().UseColors && length > 0)
            RecolorChange(*txtRich, colorRoles(), start, length, stateHooks());
    };

    const Settings& settings = m_host.settings();
    txtRich->setSelColor(settings.TexColor);
    QFont font(settings.Font);
    font.setPointSize(settings.FontSize);
    txtRich->setFont(font);
    txtRich->setBackgroundColor(settings.BGColor);
    txtRich->setContextMenuPolicy(Qt::CustomContextMenu);

    connect(txtRich, &RichTextControl::change, this, &frmNotepad::txtRich_Change);
    connect(txtRich, &RichTextControl::keyDown, this, &frmNotepad::txtRich_KeyDown);
    connect(txtRich, &RichTextControl::keyPress, this, &frmNotepad::txtRich_KeyPress);
    connect(txtRich, &RichTextControl::edited, this, &frmNotepad::txtRich_Edited);
    // Leaving a typed run with the mouse ends it, so it is recorded where it was typed.
    connect(txtRich, &RichTextControl::mouseUp, this, [this] { m_history->recordPending(); });
    connect(txtRich, &RichTextControl::filesDropped, this,
            [this](const QStringList& paths) { m_host.openFiles(paths); });
    connect(txtRich, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        m_history->recordPending();
        prepareViewItem();
        if (QMenu* popup = m_host.popupMenu())
            popup->exec(txtRich->viewport()->mapToGlobal(pos));
    });
    connect(this, &QMdiSubWindow::windowStateChanged, this,
            [this](Qt::WindowStates, Qt::WindowStates) { showCaption(); });

    ++m_host.documents().DocumentCount;
    m_host.documentCountChanged();
}

frmNotepad::~frmNotepad() {
    disconnect(this, &QMdiSubWindow::windowStateChanged, this, nullptr);
}

void frmNotepad::setNotices(const QStringList& notices) {
    m_notices.clear();
    for (const QString& notice : notices)
        if (!m_closedNotices.contains(notice))
            m_notices << notice;
    lblNotice->setText(m_notices.join(QLatin1Char('\n')));
    barNotice->setVisible(!m_notices.isEmpty());
}

int frmNotepad::slot() const {
    return property("tag").toString().toInt();
}

void frmNotepad::setSlot(int slot) {
    Q_ASSERT(m_host.documents().holds(slot));
    setProperty("tag", QString::number(slot));
    txtRich->setTag(QString::number(slot));
}

void frmNotepad::buildMenus() {
    mnuFile = new QMenu(QStringLiteral("File"), this);
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuNew = addMenuItem(mnuFile, QStringLiteral("New"), "mnuNew", QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuOpen = addMenuItem(mnuFile, QStringLiteral("Open..."), "mnuOpen", QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuSave = addMenuItem(mnuFile, QStringLiteral("Save"), "mnuSave", QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuSaveAs = addMenuItem(mnuFile, QStringLiteral("Save As..."), "mnuSaveAs");
    mnuClose = addMenuItem(mnuFile, QStringLiteral("Close"), "mnuClose");
    mnuOpenInBrowser = addMenuItem(mnuFile, QStringLiteral("Open in Browser"), "mnuOpenInBrowser",
                                   QKeySequence(Qt::CTRL | Qt::Key_W));
    mnuNewBrowser = addMenuItem(mnuFile, QStringLiteral("New Browser"), "mnuNewBrowser",
                                QKeySequence(Qt::CTRL | Qt::Key_B));
    mnuPrint = addMenuItem(mnuFile, QStringLiteral("Print"), "mnuPrint");
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuSep1"));
    mnuExit = addMenuItem(mnuFile, QStringLiteral("Exit"), "mnuExit", QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_recent.build(mnuFile, [this](const QString& path) {
        OpenDocument(m_host, path);
        m_host.refreshRecentMenus();
    });

    mnuEdit = new QMenu(QStringLiteral("Edit"), this);
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuUndo = addMenuItem(mnuEdit, QStringLiteral("Undo"), "mnuUndo", {}, false);
    mnuRedo = addMenuItem(mnuEdit, QStringLiteral("Redo"), "mnuRedo", {}, false);
    mnuCut = addMenuItem(mnuEdit, QStringLiteral("Cut"), "mnuCut");
    mnuCopy = addMenuItem(mnuEdit, QStringLiteral("Copy"), "mnuCopy");
    mnuPaste = addMenuItem(mnuEdit, QStringLiteral("Paste"), "mnuPaste");
    mnuDelete = addMenuItem(mnuEdit, QStringLiteral("Delete"), "mnuDelete");
    mnuEdit->addSeparator()->setObjectName(QStringLiteral("mnuSep3"));
    mnuFind = addMenuItem(mnuEdit, QStringLiteral("Find..."), "mnuFind", QKeySequence(Qt::CTRL | Qt::Key_F));
    mnuFindNext = addMenuItem(mnuEdit, QStringLiteral("Find Next"), "mnuFindNext", QKeySequence(Qt::Key_F3));
    mnuEdit->addSeparator()->setObjectName(QStringLiteral("mnuSep4"));
    mnuSelectAll = addMenuItem(mnuEdit, QStringLiteral("Select All"), "mnuSelectAll",
                               QKeySequence(Qt::CTRL | Qt::Key_A));
    mnuTimeDate =
        addMenuItem(mnuEdit, QStringLiteral("Time && Date"), "mnuTimeDate", QKeySequence(Qt::Key_F4));

    mnuTools = new QMenu(QStringLiteral("Tools"), this);
    mnuTools->setObjectName(QStringLiteral("mnuTools"));
    connect(addMenuItem(mnuTools, QStringLiteral("Body-Builder..."), "mnuTBody"), &QAction::triggered, this,
            [this] { m_host.showTagDialog(TagDialog::Body); });
    connect(addMenuItem(mnuTools, QStringLiteral("CSS..."), "mnuTCSS"), &QAction::triggered, this,
            [this] { m_host.showTagDialog(TagDialog::Css, true); });
    connect(addMenuItem(mnuTools, QStringLiteral("Font..."), "mnuTFont"), &QAction::triggered, this,
            [this] { m_host.showTagDialog(TagDialog::Font); });
    connect(addMenuItem(mnuTools, QStringLiteral("Forms..."), "mnuTForms"), &QAction::triggered, this,
            [this] { m_host.showTagDialog(TagDialog::Forms); });
    connect(addMenuItem(mnuTools, QStringLiteral("Frames..."), "mnuTFrames"), &QAction::triggered, this,
            [this] { m_host.showTagDialog(TagDialog::Frames, true); });
    addPlannedItem(mnuTools, QStringLiteral("Gradient..."), "mnuTGradient")->setVisible(false);
    connect(addMenuItem(mnuTools, QStringLiteral("Image Map..."), "mnuTIsMap"), &QAction::triggered, this,
            [this] { m_host.showTagDialog(TagDialog::ImageMap, true); });
    mnuTJava = mnuTools->addMenu(QStringLiteral("Java"));
    mnuTJava->setObjectName(QStringLiteral("mnuTJava"));
    mnuTCompile =
        addMenuItem(mnuTJava, QStringLiteral("Compile"), "mnuTCompile", QKeySequence(Qt::CTRL | Qt::Key_D));
    addPlannedItem(mnuTools, QStringLiteral("JavaScripts..."), "mnuTJavaScripts")->setVisible(false);
    connect(addMenuItem(mnuTools, QStringLiteral("Link..."), "mnuTLink"), &QAction::triggered, this,
            [this] { m_host.showTagDialog(TagDialog::Link); });
    connect(addMenuItem(mnuTools, QStringLiteral("Lists..."), "mnuTLists"), &QAction::triggered, this,
            [this] { m_host.showTagDialog(TagDialog::Lists); });
    connect(addMenuItem(mnuTools, QStringLiteral("Picture..."), "mnuTPicture"), &QAction::triggered, this,
            [this] { InsertPictureFromMenu(*this); });
    connect(addMenuItem(mnuTools, QStringLiteral("Symbols..."), "mnuSymbols"), &QAction::triggered, this,
            [this] { m_host.showSymbols(); });
    connect(addMenuItem(mnuTools, QStringLiteral("Tables..."), "mnuTTables"), &QAction::triggered, this,
            [this] { m_host.showTagDialog(TagDialog::Tables); });
    connect(addMenuItem(mnuTools, QStringLiteral("Check HTML"), "mnuCheckHTML",
                        QKeySequence(Qt::SHIFT | Qt::Key_F2)),
            &QAction::triggered, this, [this] { m_host.checkHtml(*this); });
    mnuTools->addSeparator()->setObjectName(QStringLiteral("mnuSep5"));
    mnuTDOSformat =
        addMenuItem(mnuTools, QStringLiteral("DOS format"), "mnuTDOSformat", QKeySequence(Qt::Key_F11));
    mnuTUNIXformat =
        addMenuItem(mnuTools, QStringLiteral("UNIX format"), "mnuTUNIXformat", QKeySequence(Qt::Key_F12));
    mnuTMACformat = addMenuItem(mnuTools, QStringLiteral("MAC format"), "mnuTMACformat");
    for (QAction* format : {mnuTDOSformat, mnuTUNIXformat, mnuTMACformat})
        format->setCheckable(true);
    setSaveFormat(SaveFormat::Dos);

    mnuOptions = new QMenu(QStringLiteral("Options"), this);
    mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    mnuSettings =
        addMenuItem(mnuOptions, QStringLiteral("Settings..."), "mnuSettings", QKeySequence(Qt::Key_F9));
    mnuColorize =
        addMenuItem(mnuOptions, QStringLiteral("Colorize Document"), "mnuColorize", QKeySequence(Qt::Key_F2));
    mnuRemoveColors = addMenuItem(mnuOptions, QStringLiteral("Remove Colors"), "mnuRemoveColors");
    mnuTemplate = addMenuItem(mnuOptions, QStringLiteral("Edit default template"), "mnuTemplate");

    mnuWindow = new QMenu(QStringLiteral("Window"), this);
    mnuWindow->setObjectName(QStringLiteral("mnuWindow"));
    mnuCascade = addMenuItem(mnuWindow, QStringLiteral("Cascade"), "mnuCascade", QKeySequence(Qt::Key_F5));
    mnuTileH =
        addMenuItem(mnuWindow, QStringLiteral("Tile Horizontal"), "mnuTileH", QKeySequence(Qt::Key_F6));
    mnuTileV = addMenuItem(mnuWindow, QStringLiteral("Tile Vertical"), "mnuTileV", QKeySequence(Qt::Key_F7));
    mnuArrangeI =
        addMenuItem(mnuWindow, QStringLiteral("Arrange Icons"), "mnuArrangeI", QKeySequence(Qt::Key_F8));
    connect(mnuWindow, &QMenu::aboutToShow, this, &frmNotepad::fillWindowList);

    mnuInfo = new QMenu(QStringLiteral("?"), this);
    mnuInfo->setObjectName(QStringLiteral("mnuInfo"));
    mnuHelp = addMenuItem(mnuInfo, QStringLiteral("Help"), "mnuHelp", QKeySequence(Qt::Key_F1));
    mnuUpdate = addMenuItem(mnuInfo, QStringLiteral("Check for update..."), "mnuUpdate");
    mnuInfo->addSeparator()->setObjectName(QStringLiteral("mnuSepHelp"));
    mnuAboutQL = addMenuItem(mnuInfo, QStringLiteral("About Quillora"), "mnuAboutQL");

    connect(mnuNew, &QAction::triggered, this, [this] { NewDocument(m_host); });
    connect(mnuOpen, &QAction::triggered, this, [this] { ShowOpenDialog(m_host); });
    connect(mnuSave, &QAction::triggered, this, &frmNotepad::mnuSave_Click);
    connect(mnuSaveAs, &QAction::triggered, this, &frmNotepad::mnuSaveAs_Click);
    connect(mnuClose, &QAction::triggered, this, &frmNotepad::mnuClose_Click);
    connect(mnuPrint, &QAction::triggered, this, &frmNotepad::mnuPrint_Click);
    connect(mnuExit, &QAction::triggered, this, [this] { m_host.exitProgram(); });
    connect(mnuUndo, &QAction::triggered, this, &frmNotepad::mnuUndo_Click);
    connect(mnuRedo, &QAction::triggered, this, &frmNotepad::mnuRedo_Click);
    connect(mnuFind, &QAction::triggered, this, [this] { m_host.findDialog().showForCurrentDocument(); });
    connect(mnuFindNext, &QAction::triggered, this, &frmNotepad::mnuFindNext_Click);
    connect(mnuCut, &QAction::triggered, this, &frmNotepad::mnuCut_Click);
    connect(mnuCopy, &QAction::triggered, this, &frmNotepad::mnuCopy_Click);
    connect(mnuPaste, &QAction::triggered, this, &frmNotepad::mnuPaste_Click);
    connect(mnuDelete, &QAction::triggered, this, &frmNotepad::mnuDelete_Click);
    connect(mnuSelectAll, &QAction::triggered, this, &frmNotepad::mnuSelectAll_Click);
    connect(mnuTimeDate, &QAction::triggered, this, &frmNotepad::mnuTimeDate_Click);
    connect(mnuTCompile, &QAction::triggered, this, &frmNotepad::mnuTCompile_Click);
    connect(mnuColorize, &QAction::triggered, this, &frmNotepad::mnuColorize_Click);
    connect(mnuRemoveColors, &QAction::triggered, this, &frmNotepad::mnuRemoveColors_Click);
    connect(mnuTDOSformat, &QAction::triggered, this, &frmNotepad::mnuTDOSformat_Click);
    connect(mnuTUNIXformat, &QAction::triggered, this, &frmNotepad::mnuTUNIXformat_Click);
    connect(mnuTMACformat, &QAction::triggered, this, &frmNotepad::mnuTMACformat_Click);
    connect(mnuTemplate, &QAction::triggered, this, [this] { EditDefaultTemplate(m_host); });
    connect(mnuSettings, &QAction::triggered, this, [this] { m_host.showSettings(false); });
    connect(mnuCascade, &QAction::triggered, this, &frmNotepad::mnuCascade_Click);
    connect(mnuTileH, &QAction::triggered, this, &frmNotepad::mnuTileH_Click);
    connect(mnuTileV, &QAction::triggered, this, &frmNotepad::mnuTileV_Click);
    connect(mnuArrangeI, &QAction::triggered, this, &frmNotepad::mnuArrangeI_Click);
    connect(mnuAboutQL, &QAction::triggered, this, [this] { m_host.showAbout(); });
    connect(mnuNewBrowser, &QAction::triggered, this, [this] { m_host.OpenBrowser(QString()); });
    connect(mnuOpenInBrowser, &QAction::triggered, this, [this] { OpenInBrowser(m_host, *this); });
    connect(mnuHelp, &QAction::triggered, this,
            [this] { m_host.OpenBrowser(m_host.programFolder() + QStringLiteral("/help/index.htm")); });
    connect(mnuUpdate, &QAction::triggered, this,
            [this] { m_host.OpenBrowser(UpdatePageAddress(m_host.programFolder())); });
}

QList<QMenu*> frmNotepad::menus() const {
    return {mnuFile, mnuEdit, mnuTools, mnuOptions, mnuWindow, mnuInfo};
}

SaveFormat frmNotepad::saveFormat() const {
    if (mnuTUNIXformat->isChecked())
        return SaveFormat::Unix;
    if (mnuTMACformat->isChecked())
        return SaveFormat::Mac;
    return SaveFormat::Dos;
}

void frmNotepad::setSaveFormat(SaveFormat format) {
    const std::pair<QAction*, SaveFormat> items[] = {{mnuTDOSformat, SaveFormat::Dos},
                                                     {mnuTUNIXformat, SaveFormat::Unix},
                                                     {mnuTMACformat, SaveFormat::Mac}};
    for (const auto& [action, itemFormat] : items) {
        action->setChecked(itemFormat == format);
        action->setEnabled(itemFormat != format);
    }
}

void frmNotepad::markModified() {
    m_host.documents().DocumentSlots[slot()].Modified = true;
    updateCaption();
}

void frmNotepad::txtRich_Change() {
    // Every window marks its own slot. (Finding the slot by caption would leave a second window
    // on the same file unmarked, and its changes would be closed away without a question.)
    const int mySlot = slot();
    DocumentTable& table = m_host.documents();
    if (mySlot < 0 || mySlot >= table.slotCount() || table.DocumentSlots[mySlot].Free ||
        table.Documents[mySlot] != this)
        return;
    markModified();
}

void frmNotepad::showCaption() {
    if (isMinimized()) {
        if (m_host.documents().CurrentDocument == slot())
            m_host.documents().DocumentActive = false;
    } else if (isActiveWindow() || m_host.mdiArea()->activeSubWindow() == this) {
        m_host.documents().DocumentActive = true;
    }
    updateCaption();
}

void frmNotepad::updateCaption() {
    const DocumentSlot& record = m_host.documents().DocumentSlots[slot()];
    QString caption = record.PathCaption.isEmpty() ? QStringLiteral("Untitled [%1]").arg(slot())
                      : isMinimized()              ? FileNameOf(record.PathCaption)
                                                   : record.PathCaption;
    if (record.Modified)
        caption += QLatin1Char('*');
    setWindowTitle(caption);
}

bool frmNotepad::usesColors() const {
    return m_host.settings().UseColors;
}

ColorRoles frmNotepad::colorRoles() const {
    const Settings& settings = m_host.settings();
    return ColorRoles{settings.TagColor, settings.ValColor, settings.TexColor, settings.ComColor};
}

DocumentStateHooks frmNotepad::stateHooks() {
    DocumentStateHooks hooks;
    hooks.isModified = [this] { return m_host.documents().DocumentSlots[slot()].Modified; };
    hooks.restoreCleanState = [this] {
        m_host.documents().DocumentSlots[slot()].Modified = false;
        updateCaption();
    };
    return hooks;
}

void frmNotepad::colorizeWhole() {
    if (m_host.settings().UseColors)
        ColorizeRange(*txtRich, colorRoles(), 0, 0, stateHooks());
}

void frmNotepad::paintSelection(ColorValue color) {
    DocumentSlot& record = m_host.documents().DocumentSlots[slot()];
    const bool wasModified = record.Modified;
    txtRich->setSelColor(color);
    record.Modified = wasModified;
    updateCaption();
}

void frmNotepad::AddUndo(const QString& oldText, const QString& newText, int position) {
    m_history->AddUndo(oldText, newText, position);
}

void frmNotepad::ClearAllUndo() {
    m_history->ClearAllUndo();
}

void frmNotepad::mnuUndo_Click() {
    m_history->Undo();
    txtRich->setFocus();
}

void frmNotepad::mnuRedo_Click() {
    m_history->Redo();
    txtRich->setFocus();
}

void frmNotepad::txtRich_Edited(const TextEdit& edit) {
    if (!edit.known) {
        // A change that cannot be told exactly cannot be undone exactly either: the history goes
        // rather than undo text nobody meant to change.
        m_history->ClearAllUndo();
    } else if (edit.typed) {
        m_history->observed(edit.offset, edit.removed, edit.inserted, edit.cursorBefore, edit.hadSelection);
    } else {
        m_history->AddUndo(edit.removed, edit.inserted, edit.offset);
    }
}

int frmNotepad::ReplaceSelection(const QString& text) {
    // The document holds every line break as CR LF. Text with other breaks would be recorded as
    // given but stand in the document otherwise, and Undo would find text it never recorded.
    const QString inserted = TextForDocument(text);
    const int start = txtRich->selStart();
    m_history->AddUndo(txtRich->selText(), inserted, start);
    txtRich->setSelText(inserted);
    return start;
}

void frmNotepad::colorInserted(int start, int length) {
    // An empty change recolours nothing (a length of 0 would mean the rest of the text).
    if (length <= 0)
        return;
    if (m_host.settings().UseColors)
        RecolorChange(*txtRich, colorRoles(), start, length, stateHooks());
    else
        ClearColors(*txtRich, colorRoles(), start, length, stateHooks());
}

void frmNotepad::txtRich_KeyDown(int& keyCode, int shift) {
    // Moving the cursor ends the typed and deleted runs.
    if (KeyCode::movesCursor(keyCode))
        m_history->recordPending();
    const Settings& settings = m_host.settings();
    const bool ctrl = shift == ModifierBit::Ctrl;
    const auto insertTyped = [this](const QString& text) {
        // A selection the key replaces goes with the typed run, so one Undo gives it back.
        if (txtRich->selLength() > 0) {
            m_history->typedOver(txtRich->selStart(), txtRich->selText());
            txtRich->setSelText(QString());
        }
        m_history->typedAt(txtRich->selStart(), text);
        txtRich->setSelText(text);
    };
    // Alt (and Alt+Shift) with the keys of Ö, Å, Ä and "<" types their entities.
    static const QStringList entities{QStringLiteral("&ouml;"), QStringLiteral("&aring;"),
                                      QStringLiteral("&auml;"), QStringLiteral("&lt;")};
    static const QStringList shiftedEntities{QStringLiteral("&Ouml;"), QStringLiteral("&Aring;"),
                                             QStringLiteral("&Auml;"), QStringLiteral("&gt;")};
    const int entity =
        QList<int>{KeyCode::Grave, KeyCode::BracketRight, KeyCode::Apostrophe, KeyCode::LessGreater}.indexOf(
            keyCode);
    const int alt = ModifierBit::Alt;
    switch (keyCode) {
    case KeyCode::Insert: // overwrite mode is never switched on
        break;
    case KeyCode::Tab:
        ReplaceSelection(ctrl ? QStringLiteral("\t") : settings.Indent);
        break;
    case KeyCode::Return:
        if (shift == (ModifierBit::Ctrl | ModifierBit::Alt))
            colorInserted(ReplaceSelection(QStringLiteral("<P>")), 3);
        else if (ctrl)
            colorInserted(ReplaceSelection(QStringLiteral("<BR>")), 4);
        else
            insertTyped(QStringLiteral("\r\n"));
        break;
    default:
        if (entity >= 0 && (shift == alt || shift == (alt | ModifierBit::Shift))) {
            insertTyped((shift == alt ? entities : shiftedEntities).at(entity));
            break;
        }
        if (!ctrl)
            return;
        switch (keyCode) {
        case KeyCode::Space:
            completeTagName();
            break;
        case KeyCode::letter('G'):
            goTo();
            break;
        case KeyCode::letter('R'):
            if (mnuRedo->isEnabled())
                mnuRedo_Click();
            break;
        case KeyCode::letter('V'):
            pasteFromKeyboard();
            break;
        case KeyCode::letter('X'):
            if (txtRich->selLength() > 0) {
                // With nothing selected the clipboard keeps what it holds.
                QApplication::clipboard()->setText(txtRich->selText());
                ReplaceSelection(QString());
            }
            break;
        case KeyCode::letter('Z'):
            if (mnuUndo->isEnabled())
                mnuUndo_Click();
            break;
        default:
            return;
        }
    }
    keyCode = 0;
}

void frmNotepad::goTo() {
    // The cursor leaves the typed run: it is recorded where it was typed.
    m_history->recordPending();
    frmGoTo dialog(*txtRich, m_host.dialogParent());
    dialog.exec();
    txtRich->setFocus();
}

void frmNotepad::mnuFindNext_Click() {
    SearchState& state = m_host.searchState();
    frmFind& dialog = m_host.findDialog();
    m_history->recordPending();
    // The whole text is searched here, whatever stretch the dialog searched last.
    state.baseOffset = 0;
    state.searchedLength = -1;
    const QString selected = txtRich->selText();
    if (!state.restart && !state.findText.isEmpty() &&
        selected.compare(state.findText, Qt::CaseInsensitive) == 0) {
        FindInText(*txtRich, state); // nothing found: the next search starts anew, quietly
        return;
    }
    if (selected.isEmpty() && dialog.cmbFind->currentText().isEmpty()) {
        dialog.showForCurrentDocument();
        return;
    }
    const QString findText = selected.isEmpty() ? dialog.cmbFind->currentText() : selected;
    dialog.cmbFind->setCurrentText(findText);
    state.findText = findText;
    state.restart = true;
    state.startPosition = txtRich->selStart() + 1;
    state.lastPosition = state.startPosition;
    if (!FindInText(*txtRich, state).isEmpty()) {
        state.startPosition = 0; // once more from the start of the text
        FindInText(*txtRich, state);
    }
}

void frmNotepad::completeTagName() {
    const std::optional<CompletionEdit> completion = CompleteTagName(*txtRich, m_host.commandWords());
    if (!completion)
        return;
    txtRich->select(completion->start, completion->length);
    ReplaceSelection(completion->text);
    txtRich->select(completion->selectStart, completion->selectLength);
}

void frmNotepad::pasteFromKeyboard() {
    const QString text = QApplication::clipboard()->text();
    if (text.isEmpty())
        return;
    const int start = ReplaceSelection(text);
    colorInserted(start, txtRich->selStart() - start);
}

void frmNotepad::txtRich_KeyPress(int& charCode) {
    // The control reports printable characters only: keys that type nothing never get here.
    Q_ASSERT(charCode >= 32);
    if (!m_host.settings().UseColors)
        return;
    QString replaced;
    if (txtRich->selLength() > 0) {
        // The keystroke's typed run takes the selection out, so one Undo gives it back.
        replaced = txtRich->selText();
        m_history->typedOver(txtRich->selStart(), replaced);
        txtRich->setSelText(QString());
    }
    // A typed character takes the colour of where it lands: inside a tag, a value or a comment.
    txtRich->setSelColor(TypingColor(*txtRich, colorRoles(), txtRich->selStart()));
    if (ApplyTypingAid(*txtRich, *m_history, colorRoles(), QChar(charCode), replaced))
        charCode = 0;
}

void frmNotepad::prepareViewItem() {
    QMenu* popup = m_host.popupMenu();
    QAction* viewIt = popup ? popup->findChild<QAction*>(QStringLiteral("mnuViewIt")) : nullptr;
    if (!viewIt)
        return;
    const QString selected = txtRich->selText();
    const bool link =
        selected.contains(QLatin1String("SRC=\"")) || selected.contains(QLatin1String("HREF=\""));
    viewIt->setText(link ? QStringLiteral("View Selected Link") : QStringLiteral("View Dockument"));
    // A never-saved document is viewed from a copy, so the item is always there to use.
    viewIt->setEnabled(true);
}

void frmNotepad::mnuColorize_Click() {
    ColorizeDocument(*txtRich, colorRoles(), stateHooks());
}

void frmNotepad::mnuRemoveColors_Click() {
    ClearColors(*txtRich, colorRoles(), 0, 0, stateHooks());
}

void frmNotepad::InsertAtCursor(const QString& markup) {
    const int start = ReplaceSelection(markup);
    const int inserted = txtRich->selStart() - start;
    if (m_host.settings().UseColors && inserted > 0)
        ColorizeRange(*txtRich, colorRoles(), start + 1, inserted, stateHooks());
}

Dialogs::Answer frmNotepad::askToSave() {
    return Dialogs::instance().message(m_host.dialogParent(), MessageBoxTitle(),
                                       QStringLiteral("Save changes to [") + windowTitle() +
                                           QStringLiteral("] ?"),
                                       Dialogs::Buttons::YesNoCancel, Dialogs::Icon::Question);
}

void frmNotepad::closeAnswered() {
    m_answered = true;
    close();
    m_answered = false; // a window that stayed (it cannot here) would ask next time
}

void frmNotepad::closeEvent(QCloseEvent* event) {
    DocumentTable& table = m_host.documents();
    const int mySlot = slot();
    if (table.DocumentSlots[mySlot].Modified && !m_answered) {
        const Dialogs::Answer answer = askToSave();
        // A cancelled save dialog or a failed write keeps the window, so the text is not lost.
        if (answer == Dialogs::Answer::Cancel ||
            (answer == Dialogs::Answer::Yes && !SaveCommand(m_host, mySlot))) {
            event->ignore();
            return;
        }
    }
    --table.DocumentCount;
    table.DocumentSlots[mySlot] = DocumentSlot{false, true, QString()};
    event->accept();
    m_host.documentCountChanged();
}

void frmNotepad::mnuSave_Click() {
    SaveCommand(m_host, slot());
}

void frmNotepad::mnuSaveAs_Click() {
    SaveAsCommand(m_host, slot());
}

void frmNotepad::mnuClose_Click() {
    close();
}

void frmNotepad::mnuCut_Click() {
    const QString selected = txtRich->selText();
    if (!selected.isEmpty())
        QApplication::clipboard()->setText(selected);
    ReplaceSelection(QString());
}

void frmNotepad::mnuCopy_Click() {
    QApplication::clipboard()->setText(txtRich->selText());
}

void frmNotepad::mnuPaste_Click() {
    ReplaceSelection(QApplication::clipboard()->text());
}

void frmNotepad::mnuDelete_Click() {
    ReplaceSelection(QString());
}

void frmNotepad::mnuSelectAll_Click() {
    txtRich->select(0, txtRich->textLength());
}

void frmNotepad::mnuTimeDate_Click() {
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    ReplaceSelection(locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                     locale.toString(now.time(), QLocale::ShortFormat));
}

void frmNotepad::mnuPrint_Click() {
    QPrinter printer(QPrinter::HighResolution);
    const bool hasSelection = txtRich->selLength() > 0;
    if (!Dialogs::instance().print(m_host.dialogParent(), {&printer, hasSelection}))
        return;
    txtRich->printTo(&printer, hasSelection && printer.printRange() == QPrinter::Selection);
}

void frmNotepad::mnuTCompile_Click() {
    Dialogs& dialogs = Dialogs::instance();
    if (m_host.documents().DocumentSlots[slot()].PathCaption.isEmpty()) {
        dialogs.message(m_host.dialogParent(), MessageBoxTitle(),
                        QStringLiteral("The file must be saved before you can compile it!"),
                        Dialogs::Buttons::Ok, Dialogs::Icon::Information);
    } else {
        if (m_host.settings().JavaCompiler.isEmpty()) {
            const Dialogs::Answer answer = dialogs.message(
                m_host.dialogParent(), MessageBoxTitle(),
                QStringLiteral("There is no Java Compiler selected.\r\nWould you like to select one now?"),
                Dialogs::Buttons::YesNo, Dialogs::Icon::Question);
            if (answer == Dialogs::Answer::Yes) {
                // The window may be closed while the dialog is open; then nothing is compiled.
                const QPointer<frmNotepad> self(this);
                m_host.showSettings(true);
                if (!self)
                    return;
            }
        }
        const QString compiler = m_host.settings().JavaCompiler;
        if (!compiler.isEmpty()) {
            // The document's absolute path goes to the compiler as one argument, whatever the
            // caption shows (a minimised window shows the bare name, which could read as an
            // option), and the compiler runs in the file's folder.
            const QFileInfo file(m_host.documents().DocumentSlots[slot()].PathCaption);
            if (!QProcess::startDetached(compiler, {file.absoluteFilePath()}, file.absolutePath()))
                dialogs.message(m_host.dialogParent(), MessageBoxTitle(),
                                QStringLiteral("The Java compiler could not be started: ") + compiler,
                                Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        }
    }
    FocusCurrentDocument(m_host);
}

void frmNotepad::chooseFormat(SaveFormat format) {
    setSaveFormat(format);
    markModified();
}

void frmNotepad::mnuTDOSformat_Click() {
    chooseFormat(SaveFormat::Dos);
}

void frmNotepad::mnuTUNIXformat_Click() {
    chooseFormat(SaveFormat::Unix);
}

void frmNotepad::mnuTMACformat_Click() {
    chooseFormat(SaveFormat::Mac);
}

void frmNotepad::afterArrange() {
    if (qobject_cast<frmNotepad*>(m_host.mdiArea()->activeSubWindow()))
        m_host.documents().DocumentActive = true;
}

void frmNotepad::mnuCascade_Click() {
    ArrangeWindows(m_host.mdiArea(), WindowArrangement::Cascade);
    afterArrange();
}

void frmNotepad::mnuTileH_Click() {
    ArrangeWindows(m_host.mdiArea(), WindowArrangement::TileHorizontal);
    afterArrange();
}

void frmNotepad::mnuTileV_Click() {
    ArrangeWindows(m_host.mdiArea(), WindowArrangement::TileVertical);
    afterArrange();
}

void frmNotepad::mnuArrangeI_Click() {
    ArrangeWindows(m_host.mdiArea(), WindowArrangement::ArrangeIcons);
}

void frmNotepad::fillWindowList() {
    FillWindowList(mnuWindow, m_windowListItems, m_host.mdiArea());
}
