#include "editor/DocumentTable.h"

#include "editor/frmNotepad.h"

DocumentTable::DocumentTable() : Documents(1), DocumentSlots(1) {}
DocumentTable::~DocumentTable() = default;
DocumentTable& DocumentTable::operator=(DocumentTable&&) noexcept = default;

frmNotepad* DocumentTable::current() const {
    if (CurrentDocument < 0 || CurrentDocument >= slotCount() || DocumentSlots[CurrentDocument].Free)
        return nullptr;
    return Documents[CurrentDocument].data();
}

int DocumentTable::FindDocumentByCaption(const QString& caption) const {
    for (int slot = 0; slot < slotCount(); ++slot) {
        if (!DocumentSlots[slot].Free && Documents[slot] && Documents[slot]->windowTitle() == caption)
            return slot;
    }
    return -1;
}
