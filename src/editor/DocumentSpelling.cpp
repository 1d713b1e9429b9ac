#include "editor/DocumentSpelling.h"

#include "editor/Colorizer.h"
#include "editor/Spelling.h"
#include "editor/UndoHistory.h"
#include "editor/frmNotepad.h"
#include "platform/RichTextControl.h"

#include <QElapsedTimer>
#include <QTextDocument>
#include <algorithm>

namespace {

// A piece read at a time: some 4 lines of prose, read and checked in some 25 microseconds (an
// edit has the piece it falls in checked again at once).
constexpr int kPiece = 256;
// What is read beyond a piece, so that a tag or word across its end is read whole: a little at
// first, much more when that was not enough (a long tag, a line of code without blanks).
constexpr int kLookaheads[] = {256, 4096, 65536};
// What the background reads of the text at once, to cut into pieces: reading the text out of the
// control costs more per call than per character.
constexpr int kBulk = 65536;
// A text with more than this unchecked, unchanged since it came into an empty document (a file
// read), is read in one piece: several times quicker than in pieces of kBulk, for one long first
// slice and a second copy of the text while it is read.
constexpr int kReadWholeFrom = 4 * kBulk;
// Before a place on screen far into an unchecked text: how much is read to guess the state there.
constexpr int kWarmUp = 16384;
// The background's share of the interface thread: a slice at a time, and a rest after an edit.
constexpr qint64 kSliceNs = 5'000'000;
constexpr int kPiecesPerClockReading = 8; // some 0.2 ms of checking
constexpr int kTypingRestMs = 300;
constexpr int kTypedAtOnce = 256; // characters
// Characters each side of an edit whose marks go with it (the control may put the breaks between
// the pieces of a long line in after the edit reports its place).
constexpr int kEditMargin = 8;
// Most pieces the lines on screen take at once.
constexpr int kMostShownPieces = 400;

} // namespace

DocumentSpelling::DocumentSpelling(RichTextControl& control, SpellingService& service, QObject* parent)
    : QObject(parent), m_control(control), m_service(service) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &DocumentSpelling::background);
    // Reading a dictionary takes tens of milliseconds: a paint does not wait for it (a new
    // window's first paint would show that much later), so the lines shown are checked just after.
    m_shownLater.setSingleShot(true);
    connect(&m_shownLater, &QTimer::timeout, this, [this] {
        const auto [from, to] = m_control.shownOffsets();
        checkStretch(from, to);
        if (m_active && m_underline)
            m_control.viewport()->update();
    });
    connect(&control, &RichTextControl::changedAt, this, &DocumentSpelling::textChanged);
    connect(&service, &SpellingService::wordAccepted, this, &DocumentSpelling::wordAccepted);
    connect(&service, &SpellingService::dictionariesChanged, this, [this] {
        const bool was = m_active;
        updateActive(); // starting, it checks afresh; so it does when it goes on
        if (was && m_active)
            restart();
    });
}

DocumentSpelling::~DocumentSpelling() {
    m_control.setUnderlineSource({});
}

void DocumentSpelling::configure(bool underline, SpellingSource source, const SpellingOptions& options) {
    const bool otherText = source != m_source || options.codeText != m_options.codeText;
    m_underline = underline;
    m_source = source;
    m_options = options;
    const bool was = m_active;
    updateActive();
    if (m_active && was && otherText)
        restart();
}

void DocumentSpelling::setListed(bool listed) {
    m_listed = listed;
    updateActive();
}

void DocumentSpelling::updateActive() {
    const bool active =
        (m_underline || m_listed) && HasSpellingWords(m_source, m_options) && m_service.hasDictionaries();
    const bool started = active && !m_active;
    m_active = active;
    if (started) {
        restart();
    } else if (!active) {
        m_timer.stop();
        m_segments.clear();
        m_marks.clear();
        m_edited = false;
    }
    if (m_active && m_underline)
        m_control.setUnderlineSource([this](int from, int to) { return shownMarks(from, to); });
    else
        m_control.setUnderlineSource({});
}

void DocumentSpelling::forgetText() {
    m_text.clear();
    m_textStart = 0;
}

void DocumentSpelling::restart() {
    forgetText();
    m_segments.clear();
    m_segments.insert(0, Segment{});
    m_marks.clear();
    m_length = m_control.textLength();
    m_firstUnchecked = 0;
    m_edited = false;
    m_finished = false;
    m_cameWhole = true;
    m_timer.start(0);
    m_control.viewport()->update();
    emit changed();
}

void DocumentSpelling::textChanged(int position, int removed, int added) {
    forgetText();
    if (!m_active)
        return;
    // The stretch of positions changed so far, in the document as it is now.
    if (!m_edited) {
        m_editFrom = position;
        m_editTo = position + added;
    } else {
        if (m_editTo >= position + removed)
            m_editTo += added - removed;
        else if (m_editTo > position)
            m_editTo = position + added;
        m_editTo = std::max(m_editTo, position + added);
        m_editFrom = std::min(m_editFrom, position);
    }
    m_edited = true;
    m_finished = false;
    // Typing rests the background; a new text (a file read, Replace All) is checked at once. A text
    // put into an empty document (a file read) is read in one piece; any other change has the text
    // read in pieces: a whole read at each rest would stall the typing, and after Replace All the
    // old text's copies are still about, so a whole one would add to that peak.
    m_cameWhole = removed == 0 && position == 0 && added == m_control.document()->characterCount() - 1;
    m_timer.start(removed + added > kTypedAtOnce ? 0 : kTypingRestMs);
}

void DocumentSpelling::settle() {
    if (!m_edited)
        return;
    m_edited = false;
    const int length = m_control.textLength();
    const int grown = length - m_length;
    m_length = length;
    const int lastPosition = m_control.document()->characterCount() - 1;
    const int from = std::max(0, m_control.toOffset(std::clamp(m_editFrom, 0, lastPosition)) - kEditMargin);
    const int to = std::min(length, m_control.toOffset(std::clamp(m_editTo, 0, lastPosition)) + kEditMargin);
    const int wasTo = std::max(from, to - grown); // the end of the changed stretch in the old text

    // The marks in the changed stretch go; those after it move with the text.
    const size_t first = m_marks.partitionPoint(
        0, m_marks.size(), [from](int start, const Misspelling& m) { return start + m.length <= from; });
    const size_t past = m_marks.partitionPoint(
        first, m_marks.size(), [wasTo](int start, const Misspelling&) { return start < wasTo; });
    m_marks.erase(first, past);
    m_marks.moveFrom(first, grown);

    // The segment the edit begins in is unchecked and reaches over those that began in the stretch.
    const size_t touched = segmentAt(from);
    m_segments.fields(touched).checked = false;
    size_t kept = touched + 1;
    while (kept < m_segments.size() && m_segments.start(kept) <= wasTo)
        ++kept;
    m_segments.erase(touched + 1, kept);
    m_segments.moveFrom(touched + 1, grown);
    while (m_segments.size() > 1 && m_segments.start(m_segments.size() - 1) >= length)
        m_segments.erase(m_segments.size() - 1, m_segments.size());
    m_firstUnchecked = std::min(m_firstUnchecked, touched);
}

size_t DocumentSpelling::segmentAt(int offset) const {
    // The last segment starting at or before the offset; the first starts at 0.
    const size_t after = m_segments.partitionPoint(
        0, m_segments.size(), [offset](int start, const Segment&) { return start <= offset; });
    return after == 0 ? 0 : after - 1;
}

size_t DocumentSpelling::firstUnchecked() {
    while (m_firstUnchecked < m_segments.size() && m_segments.fields(m_firstUnchecked).checked)
        ++m_firstUnchecked;
    return m_firstUnchecked;
}

bool DocumentSpelling::checkPiece(size_t index, bool mayLoad) {
    const int start = m_segments.start(index);
    const int next = index + 1 < m_segments.size() ? m_segments.start(index + 1) : m_length;
    const int stop = std::min(next, start + kPiece) - start;
    QStringView window;
    SpellingRun run;
    for (const int lookahead : kLookaheads) {
        const int length = std::min(m_length - start, stop + lookahead);
        const bool whole = start + length >= m_length;
        window = textAt(start, length);
        run = ReadSpellingWords(window, m_source, m_options, m_segments.fields(index).state, stop, whole);
        // Stopped where it was asked to, or could not have: the piece is read.
        if (whole || (run.end >= stop && run.end < length))
            break;
    }
    const int end = start + std::max(1, run.end);

    std::vector<Misspelling> found;
    int language = -2; // the last word's, whose dictionary is at hand
    SpellDictionary* dictionary = nullptr;
    for (const SpellingWord& word : run.words) {
        if (word.language != language) {
            const QString& named = run.languageOf(word);
            if (!mayLoad && !m_service.answersAtOnce(named))
                return false;
            dictionary = m_service.dictionaryFor(named);
            language = word.language;
        }
        if (dictionary && !m_service.isCorrect(window.mid(word.start, word.length), *dictionary))
            found.push_back({start + word.start, word.length, dictionary});
    }
    const size_t first =
        m_marks.partitionPoint(0, m_marks.size(), [start](int at, const Misspelling&) { return at < start; });
    const size_t past =
        m_marks.partitionPoint(first, m_marks.size(), [end](int at, const Misspelling&) { return at < end; });
    if (past - first == found.size()) { // as many as before: the marks after stay where they are
        for (size_t i = 0; i < found.size(); ++i) {
            m_marks.fields(first + i) = found[i];
            m_marks.setStart(first + i, found[i].start);
        }
    } else {
        m_marks.erase(first, past);
        m_marks.insert(first, found.begin(), found.end());
    }

    // What was read is checked; the segments that began inside it are part of it now.
    m_segments.fields(index).checked = true;
    size_t beyond = index + 1;
    while (beyond < m_segments.size() && m_segments.start(beyond) < end)
        ++beyond;
    m_segments.erase(index + 1, beyond);
    const size_t at = index + 1;
    if (end >= m_length)
        return true;
    if (at < m_segments.size() && m_segments.start(at) == end) {
        // The next segment stands: checked again only when the reader arrives in another state.
        Segment& next = m_segments.fields(at);
        if (next.state != run.state) {
            next.state = std::move(run.state);
            next.checked = false;
        }
    } else {
        m_segments.insert(at, Segment{end, std::move(run.state), false});
    }
    return true;
}

void DocumentSpelling::takeText(QString text) {
    settle();
    if (!m_active || !m_cameWhole || m_finished || text.size() != m_length)
        return;
    Q_ASSERT(text.size() == m_control.textLength());
    m_text = std::move(text);
    m_textStart = 0;
}

QStringView DocumentSpelling::textAt(int start, int length) {
    const int cached = start - m_textStart;
    if (cached < 0 || cached + length > m_text.size()) {
        if (m_bulk && m_cameWhole && m_length - start > kReadWholeFrom) {
            m_text = m_control.textAtOnce();
            m_textStart = 0;
            Q_ASSERT(m_text.size() == m_length);
        } else {
            m_text = m_control.textRange(
                start, std::min(m_length - start, m_bulk ? std::max(length, kBulk) : length));
            m_textStart = start;
        }
    }
    return QStringView(m_text).mid(start - m_textStart, length);
}

bool DocumentSpelling::startNear(size_t index, int at) {
    const int from = at - kWarmUp;
    const int next = index + 1 < m_segments.size() ? m_segments.start(index + 1) : m_length;
    const QString window = m_control.textRange(from, std::min(m_length - from, kWarmUp + kLookaheads[1]));
    const SpellingRun run = ReadSpellingWords(window, m_source, m_options, {}, kWarmUp - kPiece, false);
    const int start = from + run.end;
    if (start <= m_segments.start(index) || start >= next || start >= m_length)
        return false;
    m_segments.insert(index + 1, Segment{start, run.state, false});
    return true;
}

void DocumentSpelling::checkStretch(int from, int to) {
    checkStretch(from, to, true);
}

bool DocumentSpelling::checkStretch(int from, int to, bool mayLoad) {
    settle();
    if (!m_active)
        return true;
    int pieces = 0;
    bool whole = true;
    for (size_t i = segmentAt(from);
         i < m_segments.size() && m_segments.start(i) < to && pieces < kMostShownPieces;) {
        if (m_segments.fields(i).checked) {
            ++i;
        } else if (m_segments.start(i) < from - 2 * kWarmUp) {
            // Far into a text not checked yet (just opened, the end shown): the lines on screen
            // are read from a guessed state, which the background puts right when it gets there.
            i += startNear(i, from) ? 1 : 0;
            if (m_segments.start(i) < from - 2 * kWarmUp) // no place to start: the background's
                ++i;
        } else if (checkPiece(i, mayLoad)) {
            ++pieces;
        } else {
            whole = false;
            break;
        }
    }
    if (pieces > 0)
        emit changed();
    return whole;
}

std::vector<std::pair<int, int>> DocumentSpelling::shownMarks(int from, int to) {
    if (!checkStretch(from, to, false))
        m_shownLater.start(0);
    std::vector<std::pair<int, int>> shown;
    const size_t first = m_marks.partitionPoint(
        0, m_marks.size(), [from](int start, const Misspelling& m) { return start + m.length <= from; });
    for (size_t mark = first; mark < m_marks.size() && m_marks.start(mark) < to; ++mark)
        shown.emplace_back(m_marks.start(mark), m_marks.fields(mark).length);
    return shown;
}

void DocumentSpelling::background() {
    settle();
    if (!m_active)
        return;
    QElapsedTimer clock;
    clock.start();
    const auto [shownFrom, shownTo] = m_control.shownOffsets();
    m_bulk = true;
    bool shownChanged = false, any = false;
    int pieces = 0;
    // The clock is read every few pieces: on some systems each reading is a call into the kernel.
    for (size_t i = firstUnchecked();
         i < m_segments.size() && (pieces % kPiecesPerClockReading != 0 || clock.nsecsElapsed() < kSliceNs);
         i = firstUnchecked()) {
        const int start = m_segments.start(i);
        checkPiece(i);
        any = true;
        ++pieces;
        shownChanged = shownChanged || (start < shownTo &&
                                        (i + 1 >= m_segments.size() || m_segments.start(i + 1) > shownFrom));
    }
    m_bulk = false;
    if (shownChanged && m_underline)
        m_control.viewport()->update();
    if (any)
        emit changed();
    if (firstUnchecked() < m_segments.size()) {
        m_timer.start(0);
    } else if (!m_finished) {
        m_finished = true;
        forgetText();
        emit finished();
    }
}

void DocumentSpelling::checkAll() {
    settle();
    if (!m_active)
        return;
    m_bulk = true;
    for (size_t i = firstUnchecked(); i < m_segments.size(); i = firstUnchecked())
        checkPiece(i);
    m_bulk = false;
    forgetText();
    m_timer.stop();
    emit changed();
    if (!m_finished) {
        m_finished = true;
        emit finished();
    }
}

bool DocumentSpelling::done() {
    settle();
    return m_active && firstUnchecked() >= m_segments.size();
}

double DocumentSpelling::progress() {
    settle();
    if (!m_active || m_length == 0)
        return m_active ? 1 : 0;
    qint64 checked = 0;
    for (size_t i = 0; i < m_segments.size(); ++i)
        if (m_segments.fields(i).checked)
            checked += (i + 1 < m_segments.size() ? m_segments.start(i + 1) : m_length) - m_segments.start(i);
    return double(checked) / m_length;
}

const std::vector<DocumentSpelling::Misspelling>& DocumentSpelling::misspellings() {
    settle();
    return m_marks.flat();
}

std::optional<DocumentSpelling::Misspelling> DocumentSpelling::misspellingAt(int offset) {
    checkStretch(std::max(0, offset - 1), offset + 1);
    const size_t after = m_marks.partitionPoint(
        0, m_marks.size(), [offset](int start, const Misspelling&) { return start <= offset; });
    if (after == 0)
        return std::nullopt;
    const Misspelling mark = m_marks.item(after - 1);
    return offset <= mark.start + mark.length ? std::optional(mark) : std::nullopt;
}

void DocumentSpelling::wordAccepted(const QString& word) {
    settle();
    const auto accepted = [this, &word](const Misspelling& mark) {
        if (mark.length != word.size())
            return false;
        const QString text = m_control.textRange(mark.start, mark.length);
        return text.compare(word, Qt::CaseInsensitive) == 0 && m_service.isCorrect(text, *mark.dictionary);
    };
    std::vector<Misspelling>& marks = m_marks.flat();
    const auto gone = std::remove_if(marks.begin(), marks.end(), accepted);
    if (gone == marks.end())
        return;
    marks.erase(gone, marks.end());
    m_control.viewport()->update();
    emit changed();
}

void ReplaceStretches(frmNotepad& document, const std::vector<std::pair<int, int>>& stretches,
                      const QString& replacement) {
    if (stretches.empty())
        return;
    RichTextControl& text = *document.txtRich;
    const int start = stretches.front().first;
    const int end = stretches.back().first + stretches.back().second;
    const QString old = text.textRange(start, end - start);
    QString replaced;
    std::vector<ReplacedPiece> pieces;
    int done = 0; // of `old`, copied or replaced
    for (const auto& [offset, length] : stretches) {
        replaced += QStringView(old).mid(done, offset - start - done);
        pieces.push_back({offset - start, length, int(replacement.size())});
        replaced += replacement;
        done = offset - start + length;
    }
    document.undoHistory().replaceStretch(start, old, replaced, std::move(pieces));
    if (document.usesColors())
        RecolorChange(text, document.colorRoles(), start, int(replaced.size()), document.stateHooks());
}

#include "moc_DocumentSpelling.cpp"
