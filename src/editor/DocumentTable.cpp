#include "editor/DocumentTable.h"

#include "editor/frmNotepad.h"

DocumentTable::DocumentTable() : Documents(1), DocumentSlots(1) {}
DocumentTable::~DocumentTable() = default;

frmNotepad* DocumentTable::current() const {
    if (CurrentDocument < 0 || CurrentDocument >= slotCount() || DocumentSlots[CurrentDocument].Free)
        return nullptr;
    return Documents[CurrentDocument].data();
}

EditableDocument* DocumentTable::currentEditable() const {
    frmNotepad* window = current();
    return window ? &window->editable() : nullptr;
}

EditableDocument* DocumentTable::editable(int slot) const {
    Q_ASSERT(holds(slot));
    frmNotepad* window = Documents[slot];
    return window ? &window->editable() : nullptr;
}

int DocumentTable::FindDocumentByCaption(const QString& caption) const {
    for (int slot = 0; slot < slotCount(); ++slot) {
        if (!DocumentSlots[slot].Free && Documents[slot] && Documents[slot]->windowTitle() == caption)
            return slot;
    }
    return -1;
}

void DocumentTable::setModified(int slot, bool modified) {
    Q_ASSERT(holds(slot));
    DocumentSlots[slot].Modified = modified;
    emit stateChanged(slot);
}

void DocumentTable::setSaved(int slot, const QString& path) {
    Q_ASSERT(holds(slot));
    DocumentSlots[slot].PathCaption = path;
    DocumentSlots[slot].Modified = false;
    emit stateChanged(slot);
}

void DocumentTable::setFormat(int slot, SaveFormat format) {
    Q_ASSERT(holds(slot));
    DocumentSlots[slot].Format = format;
    emit formatChanged(slot);
}

void DocumentTable::setEncoding(int slot, TextEncoding encoding) {
    Q_ASSERT(holds(slot));
    DocumentSlots[slot].Encoding = encoding;
}

void DocumentTable::setCurrent(int slot) {
    Q_ASSERT(holds(slot));
    if (CurrentDocument == slot)
        return;
    CurrentDocument = slot;
    emit currentChanged(slot);
}

void DocumentTable::documentOpened() {
    ++DocumentCount;
    emit countChanged(DocumentCount);
}

void DocumentTable::documentClosed(int slot) {
    Q_ASSERT(holds(slot) && DocumentCount > 0);
    --DocumentCount;
    DocumentSlots[slot] = DocumentSlot{false, true, QString()};
    emit countChanged(DocumentCount);
}

void DocumentTable::clear() {
    Documents.assign(1, nullptr);
    DocumentSlots.assign(1, DocumentSlot{});
    CurrentDocument = 0;
    DocumentCount = 0;
    DocumentActive = false;
    emit countChanged(0);
}

#include "moc_DocumentTable.cpp"
