#include "editor/UndoHistory.h"

#include "platform/Log.h"
#include "platform/RichTextControl.h"

#include <QHash>
#include <algorithm>
#include <utility>

namespace {

// The texts of a step's pieces, one after another. When every piece has the same text (a plain
// replacement, say, or the find text with match case) it is kept once.
class PieceTexts {
public:
    void add(QStringView text) {
        if (m_count == 0) {
            m_chars = text.toString();
        } else if (!m_uniform || text != QStringView(m_chars)) {
            if (m_uniform) {
                m_uniform = false;
                m_chars = m_chars.repeated(m_count);
            }
            m_chars += text;
        }
        ++m_count;
    }
    void squeeze() { m_chars.squeeze(); }
    qsizetype bytes() const { return m_chars.capacity() * qsizetype(sizeof(QChar)); }

    // Reads the texts back in order, each with the length it was added with.
    class Reader {
    public:
        explicit Reader(const PieceTexts& texts) : m_texts(texts) {}
        QStringView next(int length) {
            if (m_texts.m_uniform)
                return m_texts.m_chars;
            const QStringView text = QStringView(m_texts.m_chars).mid(m_offset, length);
            m_offset += length;
            return text;
        }

    private:
        const PieceTexts& m_texts;
        qsizetype m_offset = 0;
    };

private:
    QString m_chars;
    qsizetype m_count = 0;
    bool m_uniform = true;
};

// Pieces that can be applied to `oldText` to give `newText`: ascending, apart, inside the texts.
bool piecesFit(const std::vector<ReplacedPiece>& pieces, qsizetype oldLength, qsizetype newLength) {
    qsizetype end = 0;
    qsizetype shift = 0;
    for (const ReplacedPiece& piece : pieces) {
        if (piece.at < end || piece.removed < 0 || piece.inserted < 0 ||
            piece.at + qsizetype(piece.removed) > oldLength)
            return false;
        end = piece.at + qsizetype(piece.removed);
        shift += piece.inserted - piece.removed;
    }
    return oldLength + shift == newLength;
}

} // namespace

// A change of a whole stretch at once. It keeps either the pieces where the texts before and
// after differ (their positions and both their texts), or, when those would take more memory,
// the one whole text that is not in the document: the text before while the change is done, the
// text after while it is undone. Both texts' lengths and hashes tell that the document still
// holds what the change left before it is undone or redone.
class StretchChange {
public:
    StretchChange(const QString& oldText, const QString& newText, std::vector<ReplacedPiece> pieces)
        : m_oldLength(int(oldText.size())), m_newLength(int(newText.size())), m_oldHash(StretchHash(oldText)),
          m_newHash(StretchHash(newText)) {
        if (!pieces.empty() && piecesFit(pieces, oldText.size(), newText.size())) {
            qsizetype shift = 0;
            for (const ReplacedPiece& piece : pieces) {
                m_removed.add(QStringView(oldText).mid(piece.at, piece.removed));
                m_inserted.add(QStringView(newText).mid(piece.at + shift, piece.inserted));
                shift += piece.inserted - piece.removed;
            }
            m_removed.squeeze();
            m_inserted.squeeze();
            const qsizetype pieceBytes =
                qsizetype(pieces.size() * sizeof(ReplacedPiece)) + m_removed.bytes() + m_inserted.bytes();
            if (pieceBytes < oldText.capacity() * qsizetype(sizeof(QChar))) {
                m_pieces = std::move(pieces);
                // A list sized beforehand is kept as it is: a shrunk copy would be made while the
                // old and the new text are both held.
                if (m_pieces.capacity() > m_pieces.size() + m_pieces.size() / 4)
                    m_pieces.shrink_to_fit();
                return;
            }
            m_removed = {};
            m_inserted = {};
        } else if (!pieces.empty()) {
            qCWarning(lcQuillora) << "Replaced pieces do not fit the texts; the step keeps the whole text";
        }
        m_other = oldText;
    }

    // A change whose text before was never read whole: its length and StretchHash, and the one
    // text every piece took out. The pieces are kept whatever they take (the plan that read the
    // text in pieces made sure they take less than the text).
    StretchChange(int oldLength, size_t oldHash, const QString& removedText, const QString& newText,
                  std::vector<ReplacedPiece> pieces)
        : m_oldLength(oldLength), m_newLength(int(newText.size())), m_oldHash(oldHash),
          m_newHash(StretchHash(newText)) {
        qsizetype shift = 0;
        for (const ReplacedPiece& piece : pieces) {
            m_removed.add(removedText);
            m_inserted.add(QStringView(newText).mid(piece.at + shift, piece.inserted));
            shift += piece.inserted - piece.removed;
        }
        m_removed.squeeze();
        m_inserted.squeeze();
        m_pieces = std::move(pieces);
    }

    int length(bool after) const { return after ? m_newLength : m_oldLength; }
    qsizetype bytes() const {
        return qsizetype(m_pieces.capacity() * sizeof(ReplacedPiece)) + m_removed.bytes() +
               m_inserted.bytes() + m_other.capacity() * qsizetype(sizeof(QChar));
    }

    // Undo puts the text before back, redo the text after; false, changing nothing, when the
    // document does not hold the other one at `position`.
    bool apply(RichTextControl& control, int position, bool undo) {
        const int standing = length(undo);
        if (position < 0 || standing > control.textLength() - position)
            return false;
        // The whole text is read the quicker way.
        const bool whole = position == 0 && standing == control.textLength();
        QString current = whole ? control.text() : control.textRange(position, standing);
        if (current.size() != standing || StretchHash(current) != (undo ? m_newHash : m_oldHash))
            return false;
        QString replacement;
        if (m_pieces.empty()) {
            replacement = std::exchange(m_other, std::move(current));
        } else {
            replacement = rebuild(current, undo);
            current = QString(); // gone before the document takes the replacement
        }
        control.select(position, standing);
        control.setSelText(replacement);
        return true;
    }

private:
    QString rebuild(QStringView current, bool undo) const {
        QString text;
        text.reserve(length(!undo));
        PieceTexts::Reader removed(m_removed);
        PieceTexts::Reader inserted(m_inserted);
        qsizetype from = 0;
        qsizetype shift = 0; // where the pieces lie in the text after, against the text before
        for (const ReplacedPiece& piece : m_pieces) {
            const QStringView was = removed.next(piece.removed);
            const QStringView now = inserted.next(piece.inserted);
            const qsizetype at = undo ? piece.at + shift : piece.at;
            text.append(current.mid(from, at - from));
            text.append(undo ? was : now);
            from = at + (undo ? piece.inserted : piece.removed);
            shift += piece.inserted - piece.removed;
        }
        text.append(current.mid(from));
        return text;
    }

    int m_oldLength;
    int m_newLength;
    size_t m_oldHash;
    size_t m_newHash;
    std::vector<ReplacedPiece> m_pieces;
    PieceTexts m_removed;
    PieceTexts m_inserted;
    QString m_other;
};

namespace {

int lengthOf(const UndoStep& step, bool after) {
    if (step.Stretch)
        return step.Stretch->length(after);
    return int((after ? step.InsertedText : step.RemovedText).size());
}

} // namespace

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
    addStep(UndoStep{newText, oldText, position, selectionStart, selectionLength, nullptr});
}

void UndoHistory::addStep(UndoStep step) {
    if (step.isEmpty())
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
    m_steps.front() = std::move(step);
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

void UndoHistory::replaceStretch(int position, QString oldText, QString newText,
                                 std::vector<ReplacedPiece> pieces) {
    recordPending();
    Q_ASSERT(position >= 0 && position + oldText.size() <= m_control.textLength());
    if (oldText.isEmpty() && newText.isEmpty())
        return;
    UndoStep step;
    step.Position = position;
    step.SelectionStart = m_control.selStart();
    step.SelectionLength = m_control.selLength();
    step.Stretch = std::make_shared<StretchChange>(oldText, newText, std::move(pieces));
    addStep(std::move(step));
    const int oldLength = int(oldText.size());
    oldText = QString(); // the step keeps what it needs of it; the document holds it still
    m_control.select(position, oldLength);
    m_control.setSelText(newText);
}

void UndoHistory::replaceStretch(ReplaceAllPlan plan) {
    if (!plan.readInPieces) {
        replaceStretch(plan.start, std::move(plan.searched), std::move(plan.replaced),
                       std::move(plan.pieces));
        return;
    }
    recordPending();
    Q_ASSERT(plan.start >= 0 && plan.start + plan.searchedLength <= m_control.textLength());
    if (!piecesFit(plan.pieces, plan.searchedLength, plan.replaced.size())) {
        qCWarning(lcQuillora) << "Replaced pieces do not fit the texts; nothing is replaced";
        return;
    }
    UndoStep step;
    step.Position = plan.start;
    step.SelectionStart = m_control.selStart();
    step.SelectionLength = m_control.selLength();
    step.Stretch = std::make_shared<StretchChange>(plan.searchedLength, plan.searchedHash, plan.removedText,
                                                   plan.replaced, std::move(plan.pieces));
    addStep(std::move(step));
    m_control.select(plan.start, plan.searchedLength);
    m_control.setSelText(plan.replaced);
}

qsizetype UndoHistory::heldBytes() const {
    qsizetype bytes = 0;
    for (const UndoStep& step : m_steps)
        bytes += (step.InsertedText.size() + step.RemovedText.size()) * qsizetype(sizeof(QChar)) +
                 (step.Stretch ? step.Stretch->bytes() : 0);
    return bytes;
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

bool UndoHistory::swapStep(const UndoStep& step, bool undo) {
    if (step.Stretch)
        return step.Stretch->apply(m_control, step.Position, undo);
    return undo ? replaceIfUnchanged(step.Position, step.InsertedText, step.RemovedText)
                : replaceIfUnchanged(step.Position, step.RemovedText, step.InsertedText);
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
    if (!swapStep(step, true)) {
        ClearAllUndo();
        return false;
    }
    ++m_undoPosition;
    setState(m_undoPosition < kSteps && !m_steps[static_cast<std::size_t>(m_undoPosition)].isEmpty(), true);
    if (onRestored)
        onRestored(step.Position, lengthOf(step, false));
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
    if (!swapStep(step, false)) {
        ClearAllUndo();
        return false;
    }
    --m_undoPosition;
    setState(true, m_undoPosition > 0);
    if (onRestored)
        onRestored(step.Position, lengthOf(step, true));
    // The cursor ends after the text put back, as it did after the change itself.
    m_control.select(step.Position + lengthOf(step, true), 0);
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
