#include "app/StatusFields.h"

#include "editor/DocumentHost.h"
#include "editor/frmNotepad.h"
#include "editor/mdlFile.h"
#include "platform/RichTextControl.h"

#include <QActionGroup>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <array>

namespace {
// The encodings a document can be saved with, in the menu's order. Latin-1 is read, and kept,
// but not offered: Windows-1252 holds all its printable characters.
constexpr std::array kOfferedEncodings{TextEncoding::Utf8,        TextEncoding::Utf8WithBom,
                                       TextEncoding::Windows1252, TextEncoding::Iso8859_15,
                                       TextEncoding::Utf16LE,     TextEncoding::Utf16BE};

QLabel* addField(QStatusBar& bar, const char* name, const QString& accessibleName) {
    auto* label = new QLabel(&bar);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setAccessibleName(accessibleName);
    bar.addPermanentWidget(label);
    return label;
}

StatusButton* addButton(QStatusBar& bar, const char* name, const QString& tip, const char* menuName) {
    auto* button = new StatusButton(&bar);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    auto* menu = new QMenu(button);
    menu->setObjectName(QLatin1String(menuName));
    button->setMenu(menu);
    bar.addPermanentWidget(button);
    return button;
}
} // namespace

QString LineFormatLabel(SaveFormat format) {
    switch (format) {
    case SaveFormat::Dos:
        return QStringLiteral("DOS");
    case SaveFormat::Unix:
        return QStringLiteral("UNIX");
    case SaveFormat::Mac:
        return QStringLiteral("MAC");
    }
    return QString();
}

QString EncodingLabel(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf8WithBom:
        return QStringLiteral("UTF-8 BOM");
    case TextEncoding::Latin1:
        return QStringLiteral("ISO-8859-1");
    case TextEncoding::Windows1252:
        return QStringLiteral("Windows-1252");
    case TextEncoding::Iso8859_15:
        return QStringLiteral("ISO-8859-15");
    case TextEncoding::Utf16LE:
        return QStringLiteral("UTF-16 LE");
    case TextEncoding::Utf16BE:
        return QStringLiteral("UTF-16 BE");
    }
    return QString();
}

StatusButton::StatusButton(QWidget* parent) : QToolButton(parent) {
    setAutoRaise(true);
    setFocusPolicy(Qt::TabFocus);
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
}

void StatusButton::keyPressEvent(QKeyEvent* event) {
    // Space presses the button (and so opens the menu) already; Enter does as well here.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        showMenu();
        return;
    }
    QToolButton::keyPressEvent(event);
}

StatusFields::StatusFields(DocumentHost& host, QWidget* parent) : QStatusBar(parent), m_host(host) {
    setObjectName(QStringLiteral("staMain"));
    lblPosition = addField(*this, "lblPosition", tr("Line and column"));
    lblSelection = addField(*this, "lblSelection", tr("Selected characters"));
    cmdLineFormat = addButton(*this, "cmdLineFormat", tr("Line format"), "mnuStatusFormat");
    cmdEncoding = addButton(*this, "cmdEncoding", tr("Save with Encoding"), "mnuSaveWithEncoding");
    cmdEncoding->menu()->setTitle(tr("Save with Encoding"));
    lblReadOnly = addField(*this, "lblReadOnly", tr("Read-only"));
    lblReadOnly->setText(tr("Read-only"));
    connect(cmdLineFormat->menu(), &QMenu::aboutToShow, this, &StatusFields::fillFormatMenu);
    connect(cmdEncoding->menu(), &QMenu::aboutToShow, this, &StatusFields::fillEncodingMenu);

    const DocumentTable& table = m_host.documents();
    const auto everything = [this] { schedule(Everything); };
    connect(&table, &DocumentTable::stateChanged, this, everything);
    connect(&table, &DocumentTable::formatChanged, this, everything);
    connect(&table, &DocumentTable::currentChanged, this, everything);
    connect(&table, &DocumentTable::countChanged, this, everything);
    connect(m_host.mdiArea(), &QMdiArea::subWindowActivated, this, everything);
    // Coming back from another program: the file may have been made read-only meanwhile.
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            schedule(Everything);
    });
    refresh();
}

frmNotepad* StatusFields::documentInFront() const {
    const DocumentTable& table = m_host.documents();
    if (table.DocumentCount == 0)
        return nullptr;
    // A browser window in front shows no document; the current document is the one the menus
    // and the toolbox act on.
    const QMdiSubWindow* window = m_host.mdiArea()->currentSubWindow();
    if (window && !qobject_cast<const frmNotepad*>(window))
        return nullptr;
    return table.current();
}

void StatusFields::schedule(Pending what) {
    if (m_pending == Nothing)
        QMetaObject::invokeMethod(this, &StatusFields::refresh, Qt::QueuedConnection);
    m_pending |= what;
}

void StatusFields::refresh() {
    const int pending = std::exchange(m_pending, Nothing);
    frmNotepad* document = documentInFront();
    const bool switched = document != m_followed;
    follow(document);
    for (QWidget* field : {static_cast<QWidget*>(lblPosition), static_cast<QWidget*>(cmdLineFormat),
                           static_cast<QWidget*>(cmdEncoding)})
        field->setVisible(document != nullptr);
    if (!document) {
        lblSelection->hide();
        lblReadOnly->hide();
        return;
    }
    showPosition(*document);
    if (switched || pending != Position)
        showFile(*document);
}

void StatusFields::follow(frmNotepad* document) {
    if (document == m_followed)
        return;
    disconnect(m_cursorMoved);
    disconnect(m_selectionChanged);
    m_followed = document;
    if (!document)
        return;
    const auto position = [this] { schedule(Position); };
    m_cursorMoved = connect(document->txtRich, &QPlainTextEdit::cursorPositionChanged, this, position);
    m_selectionChanged = connect(document->txtRich, &QPlainTextEdit::selectionChanged, this, position);
}

void StatusFields::showPosition(frmNotepad& document) {
    const RichTextControl& text = *document.txtRich;
    // The cursor is the selection's moving end. Offsets are those of the text model, where a
    // long line shown in pieces is still one line and a tab one column.
    const int at = text.toOffset(text.textCursor().position());
    const int line = text.lineFromChar(at);
    lblPosition->setText(tr("Ln %1, Col %2").arg(line + 1).arg(at - text.lineIndex(line) + 1));
    // The count is of characters as the user sees them: a line break, two characters (CR LF) in
    // the model's offsets, counts one. Each break selected is one line further down.
    const int start = text.selStart();
    const int length = text.selLength();
    const int breaks = text.lineFromChar(start + length) - text.lineFromChar(start);
    Q_ASSERT(length >= 2 * breaks);
    lblSelection->setText(tr("Sel %1").arg(length - breaks));
    lblSelection->setVisible(length > 0);
}

void StatusFields::showFile(frmNotepad& document) {
    cmdLineFormat->setText(LineFormatLabel(document.saveFormat()));
    cmdEncoding->setText(EncodingLabel(document.encoding()));
    // Read-only as the notice above the text says it (IsWritableFile), asked again each time: the
    // file may have been made read-only since it was opened. A file that is gone is not
    // read-only: saving writes it again.
    const QString& path = m_host.documents().DocumentSlots[document.slot()].PathCaption;
    lblReadOnly->setVisible(!path.isEmpty() && QFileInfo::exists(path) && !IsWritableFile(path));
}

void StatusFields::fillFormatMenu() {
    QMenu& menu = *cmdLineFormat->menu();
    menu.clear();
    frmNotepad* document = documentInFront();
    if (!document)
        return;
    // The Tools menu's own items run: the same command, checked and enabled as they are there.
    for (const CommandId id : {CommandId::DosFormat, CommandId::UnixFormat, CommandId::MacFormat}) {
        QAction* tool = document->action(id);
        QAction* item = menu.addAction(tool->text());
        item->setObjectName(tool->objectName());
        item->setCheckable(true);
        item->setChecked(tool->isChecked());
        item->setEnabled(tool->isEnabled());
        connect(item, &QAction::triggered, tool, [this, tool] {
            tool->trigger();
            FocusCurrentDocument(m_host);
        });
    }
}

void StatusFields::fillEncodingMenu() {
    QMenu& menu = *cmdEncoding->menu();
    menu.clear();
    const QPointer<frmNotepad> document = documentInFront();
    if (!document)
        return;
    menu.addSection(menu.title());
    auto* group = new QActionGroup(&menu);
    for (const TextEncoding encoding : kOfferedEncodings) {
        QAction* item = menu.addAction(EncodingLabel(encoding));
        item->setCheckable(true);
        item->setChecked(encoding == document->encoding());
        group->addAction(item);
        // The document is saved in this encoding from now on. Nothing is written yet: the mark of
        // unsaved changes says so, and the next save asks, as for any character typed that the
        // encoding lacks, what to do with characters it cannot hold.
        connect(item, &QAction::triggered, this, [this, document, encoding] {
            if (!document || document->encoding() == encoding)
                return;
            document->setEncoding(encoding);
            document->markModified();
            FocusCurrentDocument(m_host);
        });
    }
}

#include "moc_StatusFields.cpp"
