// The main window's picture buttons: the toolbox and the toolbar, their commands and the skin.

#include "app/SkinButton.h"
#include "app/frmQuillora.h"
#include "editor/BrowserWindow.h"
#include "editor/frmNotepad.h"
#include "editor/mdlFile.h"
#include "html/TagCommands.h"
#include "platform/RichTextControl.h"
#include "platform/TextFile.h"
#include "wizards/Pictures.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QPainter>
#include <QShortcut>
#include <QToolButton>
#include <functional>

namespace {
// When a button's command may run.
enum class Guard {
    None,     // always
    Active,   // a document window is the active child
    Document, // ... and it is not minimised
};

struct ButtonCommand {
    const char* name;
    Guard guard;
    // The text document gets the focus back afterwards.
    bool refocus;
    std::function<void(frmQuillora&, frmNotepad*)> run;
};

// The built-in faces for the window's palette and pixel ratio, kept from an earlier start when
// they can be.
QPixmap builtInFaces(const QWidget& window) {
    return BuiltInSkin(SystemSkinPalette(), window.devicePixelRatioF(), SkinCacheFolder());
}

std::function<void(frmQuillora&, frmNotepad*)> wrap(const char* start, const char* end,
                                                    bool replace = false) {
    return [start = QString::fromLatin1(start), end = QString::fromLatin1(end),
            replace](frmQuillora&, frmNotepad* document) {
        WrapSelection(document->editable(), start, end, replace);
    };
}

// A button that runs a menu command of the table, on the active document when there is one.
std::function<void(frmQuillora&, frmNotepad*)> command(CommandId id) {
    return [id](frmQuillora& main, frmNotepad* document) {
        main.commands()[id].run(CommandTarget{main, document});
    };
}

std::function<void(frmQuillora&, frmNotepad*)> wizard(TagDialog which) {
    return [which](frmQuillora& main, frmNotepad*) { main.showTagDialog(which); };
}

// The toolbar's Save: to the document's path, or through the save dialog when it was never saved.
void saveCurrent(frmQuillora& main, frmNotepad* document) {
    const int slot = document->slot();
    QString path = main.documents().DocumentSlots[slot].PathCaption;
    if (path.isEmpty())
        path = ShowFileDialog(main, FileDialogAction::Save, true);
    if (!path.isEmpty())
        SaveDocument(main, slot, path);
}

const std::vector<ButtonCommand>& buttonCommands() {
    static const std::vector<ButtonCommand> commands = {
        {"picB", Guard::Document, true, wrap("<B>", "</B>")},
        {"picBR", Guard::Document, true, wrap("", "<BR>", true)},
        {"picS", Guard::Document, true, wrap("<STRIKE>", "</STRIKE>")},
        {"picI", Guard::Document, true, wrap("<I>", "</I>")},
        {"picP", Guard::Document, true, wrap("<P>", "</P>")},
        {"picU", Guard::Document, true, wrap("<U>", "</U>")},
        {"picPRE", Guard::Document, true, wrap("<PRE>", "</PRE>")},
        {"picPicture", Guard::Document, true,
         [](frmQuillora& main, frmNotepad*) { InsertPicturesFromToolbox(main); }},
        {"picLink", Guard::Document, true, wizard(TagDialog::Link)},
        {"picTable", Guard::Document, true, wizard(TagDialog::Tables)},
        {"picCenter", Guard::Document, true, wrap("<CENTER>", "</CENTER>")},
        {"picLists", Guard::Document, true, wizard(TagDialog::Lists)},
        {"picHR", Guard::Document, true, wrap("", "<HR>", true)},
        {"picFrames", Guard::Document, false, wizard(TagDialog::Frames)},
        {"picBody", Guard::Document, false, wizard(TagDialog::Body)},
        {"picForms", Guard::Document, false, wizard(TagDialog::Forms)},
        {"picFont", Guard::Document, false, wizard(TagDialog::Font)},
        {"picIsmap", Guard::Document, false, wizard(TagDialog::ImageMap)},
        // No script builder: the click only gives the document its focus back.
        {"picJava", Guard::Document, true, [](frmQuillora&, frmNotepad*) {}},
        {"picCSS", Guard::Document, false, wizard(TagDialog::Css)},
        {"picNew", Guard::None, false, command(CommandId::New)},
        {"picOpen", Guard::None, false, command(CommandId::Open)},
        {"picSave", Guard::Active, false, saveCurrent},
        {"picCut", Guard::Document, false,
         [](frmQuillora& main, frmNotepad* document) {
             document->txtRich->setFocus();
             command(CommandId::Cut)(main, document);
         }},
        // The text copies its own selection, so nothing selected leaves the clipboard as it was.
        {"picCopy", Guard::Document, false,
         [](frmQuillora&, frmNotepad* document) { document->txtRich->copy(); }},
        {"picPaste", Guard::Document, false, command(CommandId::Paste)},
        {"picFind", Guard::Active, false, command(CommandId::Find)},
        {"picPrint", Guard::Active, false, command(CommandId::Print)},
    };
    return commands;
}
} // namespace

void frmQuillora::buildToolbars() {
    m_skin.picButtons = builtInFaces(*this);
    picToolbar = new SkinStrip(QStringLiteral("Toolbar"), this);
    picToolbar->setObjectName(QStringLiteral("picToolbar"));
    addToolBar(picToolbar);
    picToolbox = new SkinStrip(QStringLiteral("Toolbox"), this);
    picToolbox->setObjectName(QStringLiteral("picToolbox"));
    addToolBar(picToolbox);
    for (const ButtonFace& face : ButtonFaces()) {
        if (face.group == ButtonGroup::Browser)
            continue;
        auto* button = new SkinButton(face, m_skin);
        const bool file = face.group == ButtonGroup::File;
        (file ? picToolbar : picToolbox)->addButton(button);
        m_buttons << button;
        if (file && button->objectName() != QLatin1String("picNew") &&
            button->objectName() != QLatin1String("picOpen"))
            m_toolbarDocumentButtons << button;
        if (face.group == ButtonGroup::None)
            button->hide(); // it has no face and no command
        else
            connectButton(button);
    }
    addPreviewBesideButton();
    for (SkinStrip* strip : {picToolbar, picToolbox}) {
        connect(strip, &SkinStrip::clicked, this, [this] { FocusCurrentDocument(*this); });
        connect(strip, &SkinStrip::escaped, this, &frmQuillora::focusWindowInFront);
    }
    // The buttons from the keyboard: Ctrl+F6 goes to the toolbar, again to the toolbox, then to
    // the strip of the browser window in front, and after the last back to the window in front.
    auto* strips = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F6), this);
    strips->setObjectName(QStringLiteral("keyStrips"));
    connect(strips, &QShortcut::activated, this, &frmQuillora::focusNextStrip);
    LoadSkin(QString());
}

void frmQuillora::focusNextStrip() {
    QList<ButtonStripKeys*> strips{&picToolbar->keys(), &picToolbox->keys()};
    if (auto* view = qobject_cast<BrowserWindow*>(m_mdi->activeSubWindow()))
        if (auto* keys = view->findChild<ButtonStripKeys*>())
            strips << keys;
    qsizetype at = -1;
    for (qsizetype i = 0; i < strips.size(); ++i)
        if (strips[i]->hasFocus())
            at = i;
    for (qsizetype i = at + 1; i < strips.size(); ++i)
        if (strips[i]->focusFirst())
            return;
    focusWindowInFront();
}

void frmQuillora::focusWindowInFront() {
    QMdiSubWindow* front = m_mdi->activeSubWindow();
    if (auto* document = qobject_cast<frmNotepad*>(front))
        document->txtRich->setFocus();
    else if (front)
        front->setFocus();
    else
        m_mdi->setFocus();
}

namespace {
// The text and a page beside it, drawn for the toolbar (the skins have no face for it).
QIcon previewBesideIcon(const QPalette& palette) {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette.color(QPalette::ButtonText), 2));
    painter.setBrush(palette.color(QPalette::Base));
    painter.drawRect(QRectF(3, 5, 26, 22));
    painter.drawLine(QPointF(16, 5), QPointF(16, 27));
    for (const int y : {10, 15, 20})
        painter.drawLine(QPointF(6, y), QPointF(13, y));
    painter.setBrush(palette.color(QPalette::Highlight));
    painter.setPen(Qt::NoPen);
    painter.drawRect(QRectF(19, 9, 7, 6));
    return QIcon(picture);
}
} // namespace

void frmQuillora::addPreviewBesideButton() {
    auto* button = new QToolButton(picToolbar);
    button->setObjectName(QStringLiteral("picPreviewBeside"));
    const Command& command = m_commands[CommandId::PreviewBeside];
    const QString caption = DisplayCaption(command.caption);
    button->setToolTip(
        QStringLiteral("%1 (%2)").arg(caption, command.shortcut.toString(QKeySequence::NativeText)));
    button->setAccessibleName(caption);
    button->setIcon(previewBesideIcon(palette()));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    picToolbar->addButton(button);
    m_toolbarDocumentButtons << button;
    connect(button, &QToolButton::clicked, this, [this] {
        frmNotepad* document = m_documents.DocumentActive ? m_documents.current() : nullptr;
        if (document && !document->isMinimized())
            m_commands[CommandId::PreviewBeside].run(CommandTarget{*this, document});
        FocusCurrentDocument(*this);
    });
}

void frmQuillora::connectButton(SkinButton* button) {
    connect(button, &SkinButton::released, this, [this] { FocusCurrentDocument(*this); });
    for (const ButtonCommand& command : buttonCommands()) {
        if (button->objectName() != QLatin1String(command.name))
            continue;
        connect(button, &SkinButton::clicked, this, [this, button, &command] {
            frmNotepad* document = m_documents.DocumentActive ? m_documents.current() : nullptr;
            const bool allowed = command.guard == Guard::None ||
                                 (document && (command.guard == Guard::Active || !document->isMinimized()));
            if (allowed)
                command.run(*this, document);
            button->draw(ButtonState::Normal);
            if (command.refocus || !allowed)
                FocusCurrentDocument(*this);
        });
    }
}

void frmQuillora::redrawForPalette() {
    if (!picToolbox || !picToolbar)
        return;
    if (m_skin.builtIn)
        m_skin.picButtons = builtInFaces(*this);
    if (m_skin.systemBackground) {
        m_skin.background = QApplication::palette().color(QPalette::Button);
        picToolbox->setBackground(m_skin.background);
        picToolbar->setBackground(m_skin.background);
    }
    if (auto* button = picToolbar->findChild<QToolButton*>(QStringLiteral("picPreviewBeside")))
        button->setIcon(previewBesideIcon(QApplication::palette()));
    RedrawAllButtons();
    emit m_skin.changed();
}

void frmQuillora::RedrawAllButtons() {
    for (SkinButton* button : std::as_const(m_buttons))
        button->draw(ButtonState::Normal);
}

bool frmQuillora::LoadSkin(const QString& path) {
    const QFileInfo info(path);
    QColor background = QApplication::palette().color(QPalette::Button);
    bool loaded = false, systemBackground = true;
    QFile file;
    QString reason;
    if (!path.isEmpty() && OpenRegularFile(path, kMaxDataFileBytes, file, reason)) {
        // Only the first two lines count; a skin file is a few dozen bytes.
        const SkinFile skin = ParseSkinFile(file.read(64 * 1024));
        loaded = true;
        if (!skin.pictureName.isEmpty()) {
            const std::optional<QPixmap> picture = LoadSkinPicture(info.dir().filePath(skin.pictureName));
            if (picture) {
                m_skin.picButtons = *picture;
                m_skin.builtIn = false;
            }
            loaded = picture.has_value();
        }
        if (skin.color)
            background = *skin.color;
        systemBackground = !skin.color;
    } else if (!path.isEmpty()) {
        // A skin that is gone leaves the faces the program starts with.
        m_skin.picButtons = builtInFaces(*this);
        m_skin.builtIn = true;
    }
    m_skin.systemBackground = systemBackground;
    m_skin.background = background;
    picToolbox->setBackground(background);
    picToolbar->setBackground(background);
    RedrawAllButtons();
    emit m_skin.changed();
    return loaded;
}
