#include "editor/UndoHistory.h"

#include "platform/RichTextControl.h"

#include <algorithm>
#include <utility>

void UndoHistory::setState(bool canUndo, bool canRedo) {
    if (canUndo == m_canUndo && canRedo == m_canRedo)
        return;
    m_canUndo = canUndo;
    m_canRedo = canRedo;
    if (onStateChanged)
        onStateChanged(canUndo, canRedo);
}

void UndoHistory::addStep(const QString& oldText, const QString& newText, int position, int selectionStart,
                          int selectionLength) {
    if (oldText.isEmpty() && newText.isEmpty())
        return;
    if (m_undoPosition > 0) {
        // The undone steps are dropped: the new step takes the place of the last one undone, and
        // the steps before it move up behind it.
        const auto dropped = static_cast<std::ptrdiff_t>(m_undoPosition) - 1;
        if (dropped > 0) {
            std::move(m_steps.begin() + dropped, m_steps.end(), m_steps.begin());
            std::fill(m_steps.end() - dropped, m_steps.end(), UndoStep{});
        }
        m_undoPosition = 0;
    } else {
        // Room at the front; the oldest step is lost.
        std::move_backward(m_steps.begin(), m_steps.end() - 1, m_steps.end());
    }
    m_steps.front() = UndoStep{newText, oldText, position, selectionStart, selectionLength};
    setState(true, false);
}

void UndoHistory::recordPending() {
    if (typedRunOpen()) {
        const QString typed = std::exchange(m_pendingTyped, QString());
        const QString replaced = std::exchange(m_pendingReplaced, QString());
        addStep(replaced, typed, m_typedAt, m_typedAt, static_cast<int>(replaced.size()));
    }
    if (!m_pendingDeleted.isEmpty()) {
        const QString deleted = std::exchange(m_pendingDeleted, QString());
        // Backspace began at the run's end, Delete at its start: the cursor goes back there.
        const int cursor = m_deletingBackward ? m_deletedAt + static_cast<int>(deleted.size()) : m_deletedAt;
        addStep(deleted, QString(), m_deletedAt, cursor, 0);
    }
    m_deletingBackward = false;
    m_deletingForward = false;
}

void UndoHistory::AddUndo(const QString& oldText, const QString& newText, int position) {
    recordPending();
    addStep(oldText, newText, position, position, static_cast<int>(oldText.size()));
}

void UndoHistory::AddUndo(const QString& oldText, const QString& newText, int position, int selectionStart,
                          int selectionLength) {
    recordPending();
    addStep(oldText, newText, position, selectionStart, selectionLength);
}

void UndoHistory::ClearAllUndo() {
    m_steps.fill(UndoStep{});
    m_undoPosition = 0;
    m_pendingTyped.clear();
    m_pendingReplaced.clear();
    m_pendingDeleted.clear();
    m_deletingBackward = false;
    m_deletingForward = false;
    setState(false, false);
}

bool UndoHistory::replaceIfUnchanged(int position, const QString& expected, const QString& replacement) {
    const int length = static_cast<int>(expected.size());
    if (position < 0 || position + length > m_control.textLength() ||
        m_control.textRange(position, length) != expected)
        return false;
    m_control.select(position, length);
    m_control.setSelText(replacement);
    return true;
}

bool UndoHistory::Undo() {
    recordPending();
    if (m_undoPosition >= kSteps || m_steps[static_cast<std::size_t>(m_undoPosition)].isEmpty()) {
        setState(false, m_canRedo);
        return false;
    }
    const UndoStep step = m_steps[static_cast<std::size_t>(m_undoPosition)];
    // Text changed by other means since (a replace in several documents, say) is left alone: undoing
    // over it would overwrite what nobody meant to change.
    if (!replaceIfUnchanged(step.Position, step.InsertedText, step.RemovedText)) {
        ClearAllUndo();
        return false;
    }
    ++m_undoPosition;
    setState(m_undoPosition < kSteps && !m_steps[static_cast<std::size_t>(m_undoPosition)].isEmpty(), true);
    if (onRestored)
        onRestored(step.Position, static_cast<int>(step.RemovedText.size()));
    // The selection comes back as it was before the step.
    m_control.select(step.SelectionStart, step.SelectionLength);
    return true;
}

bool UndoHistory::Redo() {
    // What is pending is a change after the undone ones: recording it drops them.
    recordPending();
    if (m_undoPosition <= 0) {
        setState(m_canUndo, false);
        return false;
    }
    const UndoStep step = m_steps[static_cast<std::size_t>(m_undoPosition - 1)];
    if (!replaceIfUnchanged(step.Position, step.RemovedText, step.InsertedText)) {
        ClearAllUndo();
        return false;
    }
    --m_undoPosition;
    setState(true, m_undoPosition > 0);
    if (onRestored)
        onRestored(step.Position, static_cast<int>(step.InsertedText.size()));
    // The cursor ends after the text put back, as it did after the change itself.
    m_control.select(step.Position + static_cast<int>(step.InsertedText.size()), 0);
    return true;
}

void UndoHistory::typedAt(int offset, const QString& text) {
    if (text.isEmpty())
        return;
    if (!m_pendingDeleted.isEmpty() || (typedRunOpen() && offset != m_typedAt + m_pendingTyped.size()))
        recordPending();
    if (!typedRunOpen())
        m_typedAt = offset;
    m_pendingTyped += text;
    // The undone steps go when this run is recorded, which happens before any Redo.
    setState(true, false);
}

void UndoHistory::typedOver(int offset, const QString& replaced) {
    recordPending();
    if (replaced.isEmpty())
        return;
    m_typedAt = offset;
    m_pendingReplaced = replaced;
    setState(true, false);
}

void UndoHistory::aidInserted(int offset, const QString& text) {
    if (m_pendingTyped.isEmpty() && !m_pendingReplaced.isEmpty() && offset == m_typedAt) {
        m_pendingTyped = text;
        recordPending();
    } else {
        AddUndo(QString(), text, offset);
    }
}

void UndoHistory::deletedAt(int offset, const QString& removed, bool backward) {
    if (removed.isEmpty())
        return;
    const bool continues = !m_pendingDeleted.isEmpty() &&
                           (backward ? m_deletingBackward && offset + removed.size() == m_deletedAt
                                     : m_deletingForward && offset == m_deletedAt);
    if (!continues)
        recordPending();
    if (backward)
        m_pendingDeleted.prepend(removed);
    else
        m_pendingDeleted.append(removed);
    m_deletedAt = offset;
    m_deletingBackward = backward;
    m_deletingForward = !backward;
    setState(true, false);
}

void UndoHistory::observed(int offset, const QString& removed, const QString& inserted, int cursorBefore,
                           bool hadSelection) {
    if (removed.isEmpty() && inserted.isEmpty())
        return;
    if (hadSelection && !removed.isEmpty()) {
        // A selection deleted is one step; one typed over begins a typed run that takes it out.
        // Either way one Undo gives the selection back whole.
        if (inserted.isEmpty()) {
            AddUndo(removed, QString(), offset);
        } else {
            typedOver(offset, removed);
            typedAt(offset, inserted);
        }
    } else if (inserted.isEmpty()) {
        deletedAt(offset, removed, cursorBefore > offset);
    } else if (removed.isEmpty()) {
        typedAt(offset, inserted);
    } else {
        AddUndo(removed, inserted, offset);
    }
}
