#include "editor/frmNotepad.h"

#include "editor/Commands.h"
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
        m_host.showContextMenu(*this, txtRich->viewport()->mapToGlobal(pos));
    });
    connect(this, &QMdiSubWindow::windowStateChanged, this,
            [this](Qt::WindowStates, Qt::WindowStates) { showCaption(); });

    DocumentTable& table = m_host.documents();
    // The caption and the format items follow the document's record.
    connect(&table, &DocumentTable::stateChanged, this, [this](int changed) {
        if (changed == this->slot())
            updateCaption();
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
    hooks.restoreCleanState = [this] { m_host.documents().setModified(slot(), false); };
    return hooks;
}

void frmNotepad::colorizeWhole() {
    if (m_host.settings().UseColors)
        ColorizeRange(*txtRich, colorRoles(), 0, 0, stateHooks());
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
    FillWindowList(m_menus->menu(MenuId::Window), m_windowListItems, m_host.mdiArea());
}

#include "moc_frmNotepad.cpp"
