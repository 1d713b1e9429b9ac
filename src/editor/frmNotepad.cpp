#include "editor/frmNotepad.h"

#include "editor/Commands.h"
#include "editor/DocumentHost.h"
#include "editor/DocumentMatch.h"
#include "editor/DocumentSpelling.h"
#include "editor/EditableDocument.h"
#include "editor/JavaCompile.h"
#include "editor/NoticeBar.h"
#include "editor/SearchState.h"
#include "editor/Spelling.h"
#include "editor/TagCompletion.h"
#include "editor/TypingAids.h"
#include "editor/ViewSettings.h"
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
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QToolButton>
#include <QVBoxLayout>

frmNotepad::frmNotepad(DocumentHost& host, int slot) : m_host(host) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmNotepad"));
    // The text, with a bar for notices above it.
    auto* page = new QWidget(this);
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    barNotice = new NoticeBar(page);
    txtRich = new RichTextControl(page);
    txtRich->setObjectName(QStringLiteral("txtRich"));
    txtRich->setAccessibleName(tr("Document text"));
    column->addWidget(barNotice);
    column->addWidget(txtRich, 1);
    page->setFocusProxy(txtRich);
    // The text, and beside it a preview of the page while one is shown.
    splPreview = new QSplitter(Qt::Horizontal, this);
    splPreview->setObjectName(QStringLiteral("splPreview"));
    splPreview->setChildrenCollapsible(false);
    splPreview->addWidget(page);
    splPreview->setFocusProxy(page);
    setWidget(splPreview);
    setWindowTitle(tr("Untitled [0]"));
    setWindowIcon(ProgramIcon());
    setSlot(slot);
    m_editable = new EditableDocument(*this);
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

    if (SpellingService* service = m_host.spelling())
        m_spelling = std::make_unique<DocumentSpelling>(*txtRich, *service);
    txtRich->setSelColor(colorRoles().text);
    applyViewSettings();
    txtRich->setContextMenuPolicy(Qt::CustomContextMenu);

    connect(txtRich, &RichTextControl::change, this, &frmNotepad::txtRich_Change);
    connect(txtRich, &RichTextControl::keyDown, this, &frmNotepad::txtRich_KeyDown);
    connect(txtRich, &RichTextControl::keyPress, this, &frmNotepad::txtRich_KeyPress);
    connect(txtRich, &RichTextControl::edited, this, &frmNotepad::txtRich_Edited);
    // The tag or bracket at the cursor and its partner marked (connects cursorPositionChanged).
    WatchMatchingTags(*this);
    // Leaving a typed run with the mouse ends it, so it is recorded where it was typed.
    connect(txtRich, &RichTextControl::mouseUp, this, [this] { m_history->recordPending(); });
    connect(txtRich, &RichTextControl::filesDropped, this,
            [this](const QStringList& paths) { m_host.openFiles(paths); });
    connect(txtRich, &RichTextControl::zoomRequested, this, [this](int steps) {
        m_host.changeSettings(
            [steps](Settings& s) { s.Zoom = std::clamp(s.Zoom + steps, kMinZoom, kMaxZoom); });
    });
    connect(txtRich, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        m_history->recordPending();
        m_host.showContextMenu(*this, txtRich->viewport()->mapToGlobal(pos));
    });
    connect(this, &QMdiSubWindow::windowStateChanged, this,
            [this](Qt::WindowStates, Qt::WindowStates) { showCaption(); });

    DocumentTable& table = m_host.documents();
    // The caption and the format items follow the document's record.
    connect(&table, &DocumentTable::stateChanged, this, [this](int changed) {
        if (changed != this->slot())
            return;
        updateCaption();
        configureSpelling(); // saved as a file of another kind
    });
    connect(&table, &DocumentTable::formatChanged, this, [this](int changed) {
        if (changed == this->slot())
            showSaveFormat();
    });
    table.documentOpened();
}

frmNotepad::~frmNotepad() {
    disconnect(this, &QMdiSubWindow::windowStateChanged, this, nullptr);
}

void frmNotepad::setPreviewPane(QWidget* pane) {
    if (QWidget* shown = previewPane(); shown && shown != pane)
        delete shown;
    if (!pane) {
        action(CommandId::PreviewBeside)->setChecked(false);
        return;
    }
    splPreview->addWidget(pane);
    splPreview->handle(1)->setAccessibleName(tr("Divider between text and preview"));
    // Half and half, the text on the left.
    const int width = splPreview->width();
    splPreview->setSizes({width / 2, width - width / 2});
    action(CommandId::PreviewBeside)->setChecked(true);
}

QWidget* frmNotepad::previewPane() const {
    return splPreview->count() > 1 ? splPreview->widget(1) : nullptr;
}

void frmNotepad::applyViewSettings() {
    const Settings& settings = m_host.settings();
    // The control's own font, background and view: no character formats, so the text is not edited.
    const bool wasModified = m_host.documents().DocumentSlots.at(slot()).Modified;
    showColors(shownColors());
    txtRich->setFont(DocumentFont(settings));
    txtRich->setTabWidth(settings.TabWidth);
    txtRich->setLineNumbersVisible(settings.LineNumbers);
    txtRich->setCurrentLineHighlighted(settings.HighlightLine);
    if (QAction* item = action(CommandId::LineNumbers))
        item->setChecked(settings.LineNumbers);
    if (QAction* item = action(CommandId::Spelling))
        item->setChecked(settings.SpellCheck);
    configureSpelling();
    if (!wasModified)
        stateHooks().restoreCleanState();
}

void frmNotepad::configureSpelling() {
    if (!m_spelling)
        return;
    const Settings& settings = m_host.settings();
    m_host.spelling()->setPreferredLanguage(settings.SpellLanguage);
    m_spelling->configure(settings.SpellCheck,
                          SpellingSourceOf(m_host.documents().DocumentSlots.at(slot()).PathCaption),
                          SpellingOptions{settings.SpellComments});
}

void frmNotepad::setNotices(const QStringList& notices) {
    barNotice->setNotices(notices);
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
    m_menus = std::make_unique<WindowMenus>(m_host.commands(), MenuScope::Document, this, [this] {
        return CommandTarget{m_host, this};
    });
    mnuUndo = action(CommandId::Undo);
    mnuRedo = action(CommandId::Redo);
    mnuTDOSformat = action(CommandId::DosFormat);
    mnuTUNIXformat = action(CommandId::UnixFormat);
    mnuTMACformat = action(CommandId::MacFormat);
    showSaveFormat();
    m_recent.build(m_menus->menu(MenuId::File), [this](const QString& path) {
        OpenDocument(m_host, path);
        m_host.refreshRecentMenus();
    });
    connect(m_menus->menu(MenuId::Window), &QMenu::aboutToShow, this, &frmNotepad::fillWindowList);
}

QAction* frmNotepad::action(CommandId id) const {
    return (*m_menus)[id];
}

QList<QMenu*> frmNotepad::menus() const {
    return m_menus->menuBar();
}

SaveFormat frmNotepad::saveFormat() const {
    return m_host.documents().DocumentSlots[slot()].Format;
}

void frmNotepad::setSaveFormat(SaveFormat format) {
    m_host.documents().setFormat(slot(), format);
}

TextEncoding frmNotepad::encoding() const {
    return m_host.documents().DocumentSlots[slot()].Encoding;
}

void frmNotepad::setEncoding(TextEncoding encoding) {
    m_host.documents().setEncoding(slot(), encoding);
}

void frmNotepad::showSaveFormat() {
    const SaveFormat format = saveFormat();
    const std::pair<QAction*, SaveFormat> items[] = {{mnuTDOSformat, SaveFormat::Dos},
                                                     {mnuTUNIXformat, SaveFormat::Unix},
                                                     {mnuTMACformat, SaveFormat::Mac}};
    for (const auto& [action, itemFormat] : items) {
        action->setChecked(itemFormat == format);
        action->setEnabled(itemFormat != format);
    }
}

void frmNotepad::markModified() {
    m_host.documents().setModified(slot(), true);
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
    QString caption = record.PathCaption.isEmpty() ? tr("Untitled [%1]").arg(slot())
                      : isMinimized()              ? FileNameOf(record.PathCaption)
                                                   : record.PathCaption;
    if (record.Modified)
        caption += QLatin1Char('*');
    setWindowTitle(caption);
}

bool frmNotepad::usesColors() const {
    return m_host.settings().UseColors;
}

DocumentColors frmNotepad::shownColors() const {
    return ShownColors(m_host.settings(), DarkPaletteInUse());
}

ColorRoles frmNotepad::colorRoles() const {
    return shownColors().roles;
}

void frmNotepad::applyPaletteColors() {
    const DocumentColors now = shownColors();
    if (now == m_shown)
        return;
    RecolorRoles(*txtRich, m_shown.roles, now.roles, stateHooks());
    showColors(now);
}

void frmNotepad::showColors(const DocumentColors& colors) {
    m_shown = colors;
    txtRich->setBackgroundColor(colors.background);
    // The cursor and the line numbers are drawn in the palette's text colour: the document's own
    // keeps them readable on its background whatever the application's palette.
    QPalette palette = txtRich->palette();
    palette.setColor(QPalette::Text, colorFromValue(colors.roles.text));
    txtRich->setPalette(palette);
}

DocumentStateHooks frmNotepad::stateHooks() {
    DocumentStateHooks hooks;
    hooks.isModified = [this] { return m_host.documents().DocumentSlots[slot()].Modified; };
    hooks.restoreCleanState = [this] { m_host.documents().setModified(slot(), false); };
    return hooks;
}

void frmNotepad::colorizeWhole() {
    if (m_host.settings().UseColors)
        ColorizeRange(*txtRich, colorRoles(), 0, 0, stateHooks());
}

void frmNotepad::colorizeWhole(QString text) {
    if (m_host.settings().UseColors)
        ColorizeWholeText(*txtRich, colorRoles(), std::move(text), stateHooks());
}

void frmNotepad::paintSelection(ColorValue color) {
    DocumentTable& table = m_host.documents();
    const bool wasModified = table.DocumentSlots[slot()].Modified;
    txtRich->setSelColor(color);
    table.setModified(slot(), wasModified);
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
    } else if (edit.composing && edit.inserted.isEmpty()) {
        // What the input method commits joins this run, so one Undo gives the selection back.
        m_history->typedOver(edit.offset, edit.removed);
    } else if (edit.typed) {
        m_history->observed(edit.offset, edit.removed, edit.inserted, edit.cursorBefore, edit.hadSelection);
    } else {
        // Pasted or dropped: coloured as a paste from the keyboard is.
        m_history->AddUndo(edit.removed, edit.inserted, edit.offset);
        colorInserted(edit.offset, static_cast<int>(edit.inserted.size()));
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

void frmNotepad::goTo() {
    // The cursor leaves the typed run: it is recorded where it was typed.
    m_history->recordPending();
    frmGoTo dialog(*txtRich, m_host.dialogParent());
    dialog.exec();
    txtRich->setFocus();
}

void frmNotepad::mnuFindNext_Click() {
    m_history->recordPending();
    m_host.findDialog().findNextIn(*txtRich);
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
                                       tr("Save changes to [%1] ?").arg(windowTitle()),
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
    event->accept();
    table.documentClosed(mySlot);
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
    // As Ctrl+V: the pasted text coloured, and an empty clipboard leaves the selection alone.
    pasteFromKeyboard();
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
    CompileDocument(m_host, *this);
}

void frmNotepad::chooseFormat(SaveFormat format) {
    setSaveFormat(format);
    markModified();
}

void frmNotepad::fillWindowList() {
    FillWindowList(m_menus->menu(MenuId::Window), m_windowListItems, m_host.mdiArea());
}

#include "moc_frmNotepad.cpp"
