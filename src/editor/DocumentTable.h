#pragma once

#include "markup/LineEndings.h"
#include "platform/TextFile.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <vector>

class EditableDocument;
class frmNotepad;

// The record of one document slot.
struct DocumentSlot {
    bool Modified = false;
    bool Free = true;
    // The file's path exactly ("" when never saved). Unsaved changes are Modified's alone: the "*"
    // that says so is only ever part of the window's title, never of a path.
    QString PathCaption;
    // How the document is written: its line breaks and its characters' encoding.
    SaveFormat Format = SaveFormat::Dos;
    TextEncoding Encoding = TextEncoding::Utf8;
};

// The program-wide table of document windows by slot number. Slots are reused from the lowest
// free one and the table never shrinks. A document's state is changed here only, and the windows
// and the frame follow the signals.
class DocumentTable : public QObject {
    Q_OBJECT
public:
    // One free slot 0 to start with.
    DocumentTable();
    ~DocumentTable() override;

    std::vector<QPointer<frmNotepad>> Documents;
    // Read freely; the state of a slot in use changes through the functions below.
    std::vector<DocumentSlot> DocumentSlots;
    int CurrentDocument = 0;
    int DocumentCount = 0;
    bool DocumentActive = false;

    // The document window acted on by menus, toolbox and dialogs, if it is open.
    frmNotepad* current() const;
    // The same document as the wizards and the tag commands edit it.
    EditableDocument* currentEditable() const;
    // The document in `slot` as they edit it; null when the slot holds no window.
    EditableDocument* editable(int slot) const;
    // The lowest slot in use whose window caption is exactly `caption`; -1 when none.
    int FindDocumentByCaption(const QString& caption) const;
    int slotCount() const { return static_cast<int>(DocumentSlots.size()); }
    // Whether `slot` is a slot of the table (free or not).
    bool holds(int slot) const { return slot >= 0 && slot < slotCount(); }

    // The document in `slot` has unsaved changes, or has none.
    void setModified(int slot, bool modified);
    // The document in `slot` now stands as the file `path` holds it ("" for a new document).
    void setSaved(int slot, const QString& path);
    void setFormat(int slot, SaveFormat format);
    void setEncoding(int slot, TextEncoding encoding);
    void setCurrent(int slot);
    // A document window took its slot, or gave it back (the slot is free again).
    void documentOpened();
    void documentClosed(int slot);
    // Back to one free slot and no documents, as at start.
    void clear();

signals:
    // The unsaved-changes mark or the path of `slot` changed: its caption follows.
    void stateChanged(int slot);
    void formatChanged(int slot);
    void currentChanged(int slot);
    void countChanged(int count);
};
