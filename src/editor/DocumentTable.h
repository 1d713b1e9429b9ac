#pragma once

#include <QPointer>
#include <QString>
#include <vector>

class frmNotepad;

// The record of one document slot.
struct DocumentSlot {
    bool Modified = false;
    bool Free = true;
    // The file's path exactly ("" when never saved). Unsaved changes are Modified's alone: the "*"
    // that says so is only ever part of the window's title, never of a path.
    QString PathCaption;
};

// The program-wide table of document windows by slot number. Slots are reused from the lowest
// free one and the table never shrinks.
struct DocumentTable {
    // One free slot 0 to start with.
    DocumentTable();
    ~DocumentTable();
    DocumentTable(const DocumentTable&) = delete;
    DocumentTable& operator=(const DocumentTable&) = delete;
    DocumentTable& operator=(DocumentTable&&) noexcept;

    std::vector<QPointer<frmNotepad>> Documents;
    std::vector<DocumentSlot> DocumentSlots;
    int CurrentDocument = 0;
    int DocumentCount = 0;
    bool DocumentActive = false;

    // The document window acted on by menus, toolbox and dialogs, if it is open.
    frmNotepad* current() const;
    // The lowest slot in use whose window caption is exactly `caption`; -1 when none.
    int FindDocumentByCaption(const QString& caption) const;
    int slotCount() const { return static_cast<int>(DocumentSlots.size()); }
    // Whether `slot` is a slot of the table (free or not).
    bool holds(int slot) const { return slot >= 0 && slot < slotCount(); }
};
