#include "editor/EditableDocument.h"

#include "editor/DocumentHost.h"
#include "editor/frmNotepad.h"
#include "platform/RichTextControl.h"

EditableDocument::EditableDocument(frmNotepad& window) : QObject(&window), m_window(window) {
    connect(window.txtRich, &RichTextControl::change, this, &EditableDocument::changed);
    connect(&window, &frmNotepad::saved, this, &EditableDocument::saved);
}

RichTextControl& EditableDocument::text() const {
    return *m_window.txtRich;
}

void EditableDocument::InsertAtCursor(const QString& markup) {
    m_window.InsertAtCursor(markup);
}

int EditableDocument::ReplaceSelection(const QString& text) {
    return m_window.ReplaceSelection(text);
}

ColorRoles EditableDocument::colorRoles() const {
    return m_window.colorRoles();
}

bool EditableDocument::usesColors() const {
    return m_window.usesColors();
}

DocumentStateHooks EditableDocument::stateHooks() {
    return m_window.stateHooks();
}

QString EditableDocument::savedPath() const {
    const DocumentTable& table = m_window.host().documents();
    const int slot = m_window.slot();
    if (!table.holds(slot) || table.DocumentSlots[slot].Free)
        return {};
    return table.DocumentSlots[slot].PathCaption;
}

bool EditableDocument::isModified() const {
    const DocumentTable& table = m_window.host().documents();
    const int slot = m_window.slot();
    return table.holds(slot) && table.DocumentSlots[slot].Modified;
}

int EditableDocument::slot() const {
    return m_window.slot();
}

QString EditableDocument::caption() const {
    return m_window.windowTitle();
}

SaveFormat EditableDocument::saveFormat() const {
    return m_window.saveFormat();
}

TextEncoding EditableDocument::encoding() const {
    return m_window.encoding();
}

bool EditableDocument::isMinimized() const {
    return m_window.isMinimized();
}

void EditableDocument::focus() {
    m_window.txtRich->setFocus();
}

QWidget* EditableDocument::dialogParent() const {
    return m_window.host().dialogParent();
}

#include "moc_EditableDocument.cpp"
