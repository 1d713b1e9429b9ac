#pragma once

#include "editor/Search.h"

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class RichTextControl;
class StretchChange;

// One recorded change: the text it put in, the text it took out, and the offset where; and the
// selection before it, which Undo gives back. A change of a whole stretch at once (Replace All)
// keeps its texts in `Stretch` instead, in a compact form.
struct UndoStep {
    QString InsertedText;
    QString RemovedText;
    int Position = 0;
    int SelectionStart = 0;
    int SelectionLength = 0;
    std::shared_ptr<StretchChange> Stretch;

    bool isEmpty() const { return InsertedText.isEmpty() && RemovedText.isEmpty() && !Stretch; }
};

// A document's last ten changes, for Undo and Redo. Commands record a step before they change
// the text; typing and deleting are collected into pending runs that become one step each when
// the user does something else. The history reaches the text only through the control's
// selection, so it works the same for every caller.
//
// Record 0 is the most recent step; UndoPosition counts the steps undone. A typed run and a
// deleted run each remember where they are in the text, so they are recorded at their own place
// whatever the cursor did since, and a step is undone only where its text still stands.
class UndoHistory {
public:
    static constexpr int kSteps = 10;

    explicit UndoHistory(RichTextControl& control) : m_control(control) {}

    // Told whenever Undo or Redo becomes possible or impossible (the window's menu items follow).
    std::function<void(bool canUndo, bool canRedo)> onStateChanged;
    // Told after Undo or Redo put text back, with the offsets of that text (to colour it).
    std::function<void(int start, int length)> onRestored;

    // Records a command's change of `oldText` at `position` into `newText`, after whatever is
    // pending, so steps come back in the order they were made. The old text was the selection:
    // Undo selects it again.
    void AddUndo(const QString& oldText, const QString& newText, int position);
    // The same for a change that reaches beyond the selection (the lines it touches indented):
    // Undo selects [selectionStart, selectionStart + selectionLength) again.
    void AddUndo(const QString& oldText, const QString& newText, int position, int selectionStart,
                 int selectionLength);
    // Replaces the stretch at `position` that holds `oldText` by `newText`, recorded as one step
    // that Undo takes back whole (the text, and the selection as it was) and Redo applies again;
    // the cursor ends after the new text. `pieces` (ascending, positions within the stretch) tell
    // where the two differ, when known: the step keeps them, or the one whole text that is not in
    // the document, whichever takes less memory. Texts handed over (moved) are let go as soon as
    // they are no longer needed: the old one before the document takes the new one.
    void replaceStretch(int position, QString oldText, QString newText, std::vector<ReplacedPiece> pieces);
    // The same for a Replace All plan, in whichever form it was made.
    void replaceStretch(ReplaceAllPlan plan);
    void ClearAllUndo();
    // Each returns whether the text changed.
    bool Undo();
    bool Redo();
    bool canUndo() const { return m_canUndo; }
    bool canRedo() const { return m_canRedo; }

    // Text typed (or inserted as if typed: line breaks, entities) at `offset`; it joins the
    // pending typed run when it continues it, else the run is recorded and a new one begins.
    void typedAt(int offset, const QString& text);
    // A keystroke replaced the selection `replaced` at `offset`: a typed run begins that takes it
    // out, so one Undo takes the typing back and selects the old text again.
    void typedOver(int offset, const QString& replaced);
    // A typing aid's insertion at `offset` (the brackets or quotes it adds): it completes a run
    // that this keystroke began over a selection, or is a step of its own.
    void aidInserted(int offset, const QString& text);
    // Text removed at `offset` by a key: backward when the cursor was at its end (Backspace),
    // forward when at its start (Delete). Runs in one direction are collected.
    void deletedAt(int offset, const QString& removed, bool backward);
    // A change the control made by itself (a key binding, an input method, a paste or a drop):
    // removal and insertion at `offset`, the cursor having been at `cursorBefore`.
    void observed(int offset, const QString& removed, const QString& inserted, int cursorBefore,
                  bool hadSelection);
    // Turns the pending runs into steps (the cursor leaves them, or another command begins).
    void recordPending();

    const UndoStep& step(int index) const { return m_steps[static_cast<std::size_t>(index)]; }
    int UndoPosition() const { return m_undoPosition; }
    const QString& PendingTyped() const { return m_pendingTyped; }
    const QString& PendingDeleted() const { return m_pendingDeleted; }
    // Bytes the recorded steps keep of their texts.
    qsizetype heldBytes() const;

private:
    void addStep(UndoStep step);
    void addStep(const QString& oldText, const QString& newText, int position, int selectionStart,
                 int selectionLength);
    bool typedRunOpen() const { return !m_pendingTyped.isEmpty() || !m_pendingReplaced.isEmpty(); }
    // Replaces `expected` at `position` with `replacement`, if the text there is still `expected`.
    bool replaceIfUnchanged(int position, const QString& expected, const QString& replacement);
    // Puts back the text before `step` (undo) or after it, where the other one still stands.
    bool swapStep(const UndoStep& step, bool undo);
    void setState(bool canUndo, bool canRedo);

    RichTextControl& m_control;
    std::array<UndoStep, kSteps> m_steps;
    int m_undoPosition = 0;
    QString m_pendingTyped;
    QString m_pendingReplaced; // the selection the typed run took out
    int m_typedAt = 0;
    QString m_pendingDeleted;
    int m_deletedAt = 0;
    bool m_deletingBackward = false;
    bool m_deletingForward = false;
    bool m_canUndo = false;
    bool m_canRedo = false;
};
