#include "html/TagCommands.h"

#include "editor/Colorizer.h"
#include "editor/DocumentHost.h"
#include "editor/EditableDocument.h"
#include "markup/OwnCommands.h"
#include "platform/Dialogs.h"
#include "platform/RichTextControl.h"
#include "platform/Version.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool usesColors(const EditableDocument& document) {
    return document.usesColors();
}

// Colours a stretch just inserted, or paints it in text colour when colours are off. It starts from
// text colour, then is judged against its neighbours and scanned when it holds markup: a stretch
// without tags takes the colour of its place, never the one the replaced text had (uncommented
// text is no comment).
void colorStretch(EditableDocument& document, int start, int length) {
    // Only the changed stretch: an empty one recolours nothing (0 would mean the rest of the text).
    if (length <= 0)
        return;
    ClearColors(document.text(), document.colorRoles(), start, length, document.stateHooks());
    if (usesColors(document))
        RecolorChange(document.text(), document.colorRoles(), start, length, document.stateHooks());
}

} // namespace

void WrapSelection(EditableDocument& document, const QString& startText, const QString& endText,
                   bool replace) {
    RichTextControl& control = document.text();
    const QString selected = control.selText();
    const QString text = replace ? startText + endText : startText + selected + endText;
    const int at = document.ReplaceSelection(text);
    const int length = control.selStart() - at;
    if (usesColors(document)) {
        const ColorRoles roles = document.colorRoles();
        // The inserted text took the colour of its place; inside a comment it stays a comment. At
        // the start of the text there is no character before: that counts as text colour.
        const ColorValue last = length > 0 ? control.colorAt(at + length - 1) : roles.text;
        const ColorValue before = at > 0 ? control.colorAt(at - 1) : roles.text;
        if (last == roles.comment && before == roles.comment)
            control.paint(at, length, roles.comment);
        else
            colorStretch(document, at, length);
    }
    control.setSelStart(at + length);
    if (!startText.isEmpty() && !endText.isEmpty() && !replace)
        control.select(at + static_cast<int>(startText.size()), static_cast<int>(selected.size()));
}

void CommentSelection(EditableDocument& document) {
    const QString selected = document.text().selText();
    if (selected.toLower().startsWith(QLatin1String("show it:")))
        Dialogs::instance().message(document.dialogParent(),
                                    MessageBoxTitle() +
                                        QCoreApplication::translate("TagCommands", " - Secret!"),
                                    selected.mid(8), Dialogs::Buttons::Ok, Dialogs::Icon::Information);
    WrapSelection(document, QStringLiteral("<!--"), QStringLiteral("-->"), false);
}

void UnCommentSelection(EditableDocument& document) {
    const std::optional<QString> inner = UnCommentText(document.text().selText());
    if (!inner)
        return;
    const int at = document.ReplaceSelection(*inner);
    const int end = document.text().selStart();
    colorStretch(document, at, end - at);
    document.text().setSelStart(end);
}

void QuoteSelection(EditableDocument& document) {
    RichTextControl& control = document.text();
    const ColorRoles roles = document.colorRoles();
    const int at = control.selStart();
    const int length = control.selLength();
    // Inside a tag both the colour before the selection and that of its first character are the
    // tag colour.
    const bool inTag = usesColors(document) && control.selColor() == roles.tag &&
                       (at < control.textLength() ? control.colorAt(at) : roles.text) == roles.tag;
    const QString quote(QLatin1Char('"'));
    WrapSelection(document, quote, quote, false);
    if (inTag) {
        control.paint(at, length + 2, roles.value);
        control.setSelStart(at + length + 2);
    }
}

void ChangeSelectionCase(EditableDocument& document, bool upper) {
    const QString selected = document.text().selText();
    const QString changed = upper ? selected.toUpper() : selected.toLower();
    const int at = document.ReplaceSelection(changed);
    const int end = document.text().selStart();
    // The case of a tag changes nothing of its colour; recolouring keeps the tags coloured.
    if (usesColors(document))
        colorStretch(document, at, end - at);
    document.text().setSelStart(end);
}

void SortSelection(EditableDocument& document, bool ascending) {
    const QString selected = document.text().selText();
    if (selected.isEmpty())
        return;
    const QString sorted = SortLines(selected, ascending);
    const int at = document.ReplaceSelection(sorted);
    const int end = document.text().selStart();
    if (usesColors(document))
        colorStretch(document, at, end - at);
    document.text().setSelStart(end);
}

void RunOwnCommand(EditableDocument& document, const QString& command) {
    if (command.isEmpty())
        return;
    const QString text = BuildOwnCommandText(command, document.text().selText());
    const int at = document.ReplaceSelection(text);
    const int end = document.text().selStart();
    if (usesColors(document))
        colorStretch(document, at, end - at);
    document.text().setSelStart(end);
}
