// The context menu of document windows: commands on the selection of the current document, its
// colours, and the own commands.

#include "app/frmQuillora.h"
#include "editor/BrowserWindow.h"
#include "editor/EditableDocument.h"
#include "editor/frmNotepad.h"
#include "html/TagCommands.h"
#include "html/frmAddOwn.h"
#include "html/frmFormat.h"
#include "platform/Dialogs.h"
#include "platform/RichTextControl.h"
#include "platform/UiHelpers.h"
#include "wizards/frmColor.h"

#include <QAction>
#include <QMenu>
#include <functional>

void frmQuillora::buildPopupMenu() {
    // The context menu of document windows: its commands act on the current document.
    mnuPopup = new QMenu(QStringLiteral("Popup"), this);
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    const auto onDocument = [this](QMenu* menu, const QString& caption, const char* name,
                                   std::function<void(EditableDocument&)> command,
                                   const QKeySequence& keys = {}) {
        QAction* item = addMenuItem(menu, caption, name, keys);
        connect(item, &QAction::triggered, this, [this, command = std::move(command)] {
            if (EditableDocument* document = m_documents.currentEditable())
                command(*document);
        });
        return item;
    };
    // The tag items wrap the selection in their tag and its closing tag.
    const auto tagItem = [&onDocument](QMenu* menu, const QString& tag, const char* name) {
        const QString closing = QStringLiteral("</") + tag.mid(1);
        onDocument(menu, tag, name, [tag, closing](EditableDocument& document) {
            WrapSelection(document, tag, closing, false);
        });
    };
    const auto popupTarget = [this] { return CommandTarget{*this, m_documents.current()}; };

    for (const CommandId id : {CommandId::Cut, CommandId::Copy, CommandId::Paste, CommandId::SelectAll})
        AddCommandItem(mnuPopup, m_commands, id, popupTarget);
    mnuPopup->addSeparator()->setObjectName(QStringLiteral("mnuSepEdit"));
    m_viewItem = onDocument(mnuPopup, tr("View"), "mnuViewIt", [this](EditableDocument& document) {
        if (BrowserModule* module = browserModule())
            module->viewDocument(*this, document);
    });
    m_previewBesideItem = AddCommandItem(mnuPopup, m_commands, CommandId::PreviewBeside, popupTarget);
    AddCommandItem(mnuPopup, m_commands, CommandId::ExpandAbbr, popupTarget);
    AddCommandItem(mnuPopup, m_commands, CommandId::Separator4, popupTarget);
    onDocument(mnuPopup, tr("Comment"), "mnuComment", CommentSelection);
    onDocument(mnuPopup, tr("UnComment"), "mnuUnComment", UnCommentSelection);
    onDocument(mnuPopup, tr("Quote"), "mnuQuote", QuoteSelection);
    onDocument(mnuPopup, tr("Upper Case"), "mnuUCase",
               [](EditableDocument& document) { ChangeSelectionCase(document, true); });
    onDocument(mnuPopup, tr("Lower Case"), "mnuLCase",
               [](EditableDocument& document) { ChangeSelectionCase(document, false); });
    tagItem(mnuPopup, QStringLiteral("<CENTER>"), "mnuCenter");
    onDocument(mnuPopup, QStringLiteral("<BR>"), "mnuBr", [](EditableDocument& document) {
        WrapSelection(document, QString(), QStringLiteral("<BR>"), true);
    });
    tagItem(mnuPopup, QStringLiteral("<P>"), "mnuP");
    onDocument(mnuPopup, tr("Link..."), "mnuLink",
               [this](EditableDocument&) { showTagDialog(TagDialog::Link, true); });
    onDocument(mnuPopup, tr("Select Color..."), "mnuSelectColor",
               [this](EditableDocument& document) { frmColor::runForDocument(*this, document); });
    onDocument(
        mnuPopup, tr("Go To..."), "mnuGoTo", [this](EditableDocument&) { m_documents.current()->goTo(); },
        QKeySequence(Qt::CTRL | Qt::Key_G));
    onDocument(mnuPopup, tr("Format..."), "mnuFormat",
               [this](EditableDocument& document) { frmFormat::run(*this, document); });

    QMenu* color = addSubmenu(mnuPopup, tr("Color"), "mnuColor");
    const std::pair<const char*, const char*> colors[] = {{QT_TR_NOOP("Tag"), "mnuColTag"},
                                                          {QT_TR_NOOP("Comment"), "mnuColComment"},
                                                          {QT_TR_NOOP("Text"), "mnuColText"},
                                                          {QT_TR_NOOP("Value"), "mnuColValue"}};
    for (const auto& [caption, name] : colors) {
        const QString role = QString::fromLatin1(caption); // English: the role, whatever the caption
        connect(addMenuItem(color, tr(caption), name), &QAction::triggered, this,
                [this, role] { mnuColRole_Click(role); });
    }
    connect(addMenuItem(color, tr("Other..."), "mnuColOther"), &QAction::triggered, this,
            &frmQuillora::mnuColOther_Click);

    QMenu* sort = addSubmenu(mnuPopup, tr("Sort"), "mnuSort");
    onDocument(sort, QStringLiteral("0..9, A..Z"), "mnuSortAZ",
               [](EditableDocument& document) { SortSelection(document, true); });
    onDocument(sort, QStringLiteral("Z..A, 9..0"), "mnuSortZA",
               [](EditableDocument& document) { SortSelection(document, false); });

    QMenu* size = addSubmenu(mnuPopup, tr("Text Size"), "mnuTextSize");
    for (int level = 1; level <= 6; ++level) {
        const QByteArray name = "mnuH" + QByteArray::number(level);
        tagItem(size, QStringLiteral("<H%1>").arg(level), name.constData());
    }

    QMenu* other = addSubmenu(mnuPopup, tr("Other"), "mnuOther");
    const std::pair<const char*, const char*> tags[] = {{"ACRONYM", "mnuAcronym"},
                                                        {"APPLET", "mnuApplet"},
                                                        {"B", "mnuB"},
                                                        {"BIG", "mnuBig"},
                                                        {"BLOCKQUOTE", "mnuBlockquote"},
                                                        {"CITE", "mnuCite"},
                                                        {"CODE", "mnuCode"},
                                                        {"DIV", "mnuDiv"},
                                                        {"EM", "mnuEm"},
                                                        {"EMBED", "mnuEmbed"},
                                                        {"I", "mnuI"},
                                                        {"IFRAME", "mnuIframe"},
                                                        {"LAYER", "mnuLayer"},
                                                        {"MARQUEE", "mnuMarquee"},
                                                        {"NOFRAMES", "mnuNoFrames"},
                                                        {"NOSCRIPT", "mnuNoScript"},
                                                        {"PLAINTEXT", "mnuPlaintext"},
                                                        {"PRE", "mnuPre"},
                                                        {"SCRIPT", "mnuScript"},
                                                        {"SPAN", "mnuSpan"},
                                                        {"STRIKE", "mnuStrike"},
                                                        {"STRONG", "mnuStrong"},
                                                        {"STYLE", "mnuStyle"},
                                                        {"SUB", "mnuSub"},
                                                        {"SUP", "mnuSup"},
                                                        {"U", "mnuU"}};
    for (const auto& [tag, name] : tags)
        tagItem(other, QStringLiteral("<%1>").arg(QString::fromLatin1(tag)), name);

    QMenu* script = addSubmenu(mnuPopup, tr("JavaScript"), "mnuJavaScript");
    struct Wrap {
        const char* caption;
        const char* name;
        QString start, end;
    };
    const Wrap wraps[] = {{"<SCRIPT LANGUAGE...", "mnuJScriptLang",
                           QStringLiteral("<SCRIPT LANGUAGE=\"JavaScript\" TYPE=\"Text/JavaScript\">"),
                           QStringLiteral("</SCRIPT>")},
                          {QT_TR_NOOP("Brackets"), "mnuJBrackets", QStringLiteral("{"), QStringLiteral("}")},
                          {QT_TR_NOOP("Comment"), "mnuJComment", QStringLiteral("/*"), QStringLiteral("*/")}};
    for (const Wrap& wrap : wraps)
        onDocument(script, tr(wrap.caption), wrap.name,
                   [start = wrap.start, end = wrap.end](EditableDocument& document) {
                       WrapSelection(document, start, end, false);
                   });

    QMenu* own = addSubmenu(mnuPopup, tr("Own Commands"), "mnuOwnCommands");
    for (int index = 1; index <= 20; ++index) {
        const QByteArray name = "mnuOwn" + QByteArray::number(index);
        m_ownItems[index] = addMenuItem(own, QStringLiteral("Own%1").arg(index), name.constData());
        connect(m_ownItems[index], &QAction::triggered, this, [this, index] { mnuOwn_Click(index); });
    }
    m_ownSeparator = AddCommandItem(own, m_commands, CommandId::Separator3, popupTarget);
    m_ownSeparator->setVisible(false);
    connect(addMenuItem(own, tr("Add/Edit Own Command"), "mnuAddOwn"), &QAction::triggered, this,
            &frmQuillora::mnuAddOwn_Click);
}

void frmQuillora::showContextMenu(frmNotepad& document, const QPoint& at) {
    const QString selected = document.txtRich->selText();
    const bool link =
        selected.contains(QLatin1String("SRC=\"")) || selected.contains(QLatin1String("HREF=\""));
    m_viewItem->setText(link ? tr("View Selected Link") : tr("View Dockument"));
    m_previewBesideItem->setChecked(document.previewPane() != nullptr);
    addSpellingItems(document, at);
    mnuPopup->exec(at);
}

void frmQuillora::mnuColRole_Click(const QString& role) {
    frmNotepad* document = m_documents.current();
    if (!document)
        return;
    const ColorRoles roles = document->colorRoles();
    const ColorValue color = role == QLatin1String("Tag")       ? roles.tag
                             : role == QLatin1String("Comment") ? roles.comment
                             : role == QLatin1String("Value")   ? roles.value
                                                                : roles.text;
    document->paintSelection(color);
}

void frmQuillora::mnuColOther_Click() {
    frmNotepad* document = m_documents.current();
    if (!document)
        return;
    // Cancelling paints nothing; any chosen colour, black included, is painted.
    const std::optional<QColor> chosen = Dialogs::instance().chooseColor(this, m_lastOtherColor);
    if (!chosen)
        return;
    m_lastOtherColor = *chosen;
    document->paintSelection(valueFromColor(*chosen));
}

void frmQuillora::showOwnCommands() {
    for (int index = 1; index <= 20; ++index) {
        QAction* item = m_ownItems[index];
        // A name shows as it stands: "&" is no mnemonic here.
        item->setText(QString(m_ownCommands.slot[index].name).replace(QLatin1Char('&'), QLatin1String("&&")));
        item->setVisible(m_ownCommands.visible[index]);
    }
    m_ownSeparator->setVisible(!m_ownCommands.slot[1].command.isEmpty());
}

void frmQuillora::mnuOwn_Click(int index) {
    const OwnCommand& own = m_ownCommands.slot[index];
    frmNotepad* document = m_documents.current();
    // A command keeping its slot's default name ("Own3") runs like any other: the name is only a caption.
    if (!document || own.command.isEmpty())
        return;
    RunOwnCommand(document->editable(), own.command);
}

void frmQuillora::mnuAddOwn_Click() {
    frmAddOwn dialog(m_ownCommands, m_programFolder + QStringLiteral("/owncom.txt"), this);
    connect(&dialog, &frmAddOwn::saved, this, &frmQuillora::showOwnCommands);
    dialog.exec();
}
