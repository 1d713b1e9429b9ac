#pragma once

#include "editor/ShiftedList.h"
#include "markup/SpellingWords.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>
#include <vector>

class RichTextControl;
class SpellDictionary;
class SpellingService;
class frmNotepad;

// The spelling of one document as it is typed. The lines on screen are checked whenever they are
// painted, before their marks are drawn; the rest of the text is checked in pieces on a timer,
// a few milliseconds at a time, resting while the user types. Marks are wavy underlines the text
// control draws over the text: the document's characters, colours, modified state and undo
// history never change for them.
//
// The text is kept as stretches (segments) that each begin at a place where reading may stop
// (after a blank, outside any tag) with the reader's state there. An edit makes the stretch it
// falls in unchecked, and moves the marks and stretches after it; checking a stretch again ends
// where the next one starts, and when the reader arrives there in another state (a comment opened
// or closed, say) that one is checked again too, and so on.
class DocumentSpelling : public QObject {
    Q_OBJECT
public:
    struct Misspelling {
        int start = 0;
        int length = 0;
        SpellDictionary* dictionary = nullptr; // the one that did not know it
    };

    DocumentSpelling(RichTextControl& control, SpellingService& service, QObject* parent = nullptr);
    ~DocumentSpelling() override;

    // What kind of text the document is, what of it counts, and whether misspelt words are
    // underlined as it is typed. Unchanged settings change nothing.
    void configure(bool underline, SpellingSource source, const SpellingOptions& options);
    // Kept checked while its list of misspellings is shown, underlined or not.
    void setListed(bool listed);
    // Whether anything is checked: asked for, a kind of text with words, and a dictionary there.
    bool checking() const { return m_active; }
    bool underlined() const { return m_active && m_underline; }

    // The misspelt word at `offset` (or just before it), its stretch checked first.
    std::optional<Misspelling> misspellingAt(int offset);
    // The misspellings found so far, in order.
    const std::vector<Misspelling>& misspellings();
    // Whether the whole text has been checked (since the last edit).
    bool done();
    // The share of the text checked, from 0 to 1.
    double progress();
    // Checks all that is unchecked now, rather than a piece at a time.
    void checkAll();
    // Checks the text in [from, to) now, as the lines on screen are.
    void checkStretch(int from, int to);
    // The whole text of a document just read from a file, as the control gives it (CR LF breaks),
    // kept for the check rather than read back out of the control. Any other text, or one that
    // came after an edit, is not taken.
    void takeText(QString text);

signals:
    // The misspellings changed: found, gone, or moved by an edit.
    void changed();
    // The whole text has been checked.
    void finished();

private:
    struct Segment {
        int start = 0;
        SpellingState state;
        bool checked = false;
    };

    void updateActive();
    void restart();
    void textChanged(int position, int removed, int added);
    // Brings marks and segments up to the edits made since they were last put right.
    void settle();
    // Reads on from segment i's start: a piece of about kPiece characters, or to the next segment.
    // Without `mayLoad`, a word whose dictionary is not read yet leaves the piece unchecked and
    // gives false.
    bool checkPiece(size_t index, bool mayLoad = true);
    // checkStretch's work; false when it left a piece for a dictionary not read yet.
    bool checkStretch(int from, int to, bool mayLoad);
    // A segment that starts at a place guessed by reading the text before `at` from a plain start,
    // inside the unchecked segment i far before it; false when there is no place to start one.
    bool startNear(size_t index, int at);
    // [start, start + length) of the text; the background reads ahead in bulk and cuts pieces out.
    QStringView textAt(int start, int length);
    void forgetText();
    size_t segmentAt(int offset) const;
    size_t firstUnchecked();
    void background();
    void wordAccepted(const QString& word);
    std::vector<std::pair<int, int>> shownMarks(int from, int to);

    RichTextControl& m_control;
    SpellingService& m_service;
    bool m_underline = false, m_listed = false, m_active = false;
    SpellingSource m_source = SpellingSource::Markup;
    SpellingOptions m_options;
    // Edits move the segments and marks after them: both lists keep that move pending for their
    // tails, so a key typed costs the segments and marks near it, not all of them.
    ShiftedList<Segment> m_segments;
    ShiftedList<Misspelling> m_marks;
    int m_length = 0;            // of the text when marks and segments were put right
    size_t m_firstUnchecked = 0; // no segment before it is unchecked
    // Edits not settled yet: the stretch of document positions they changed.
    bool m_edited = false;
    int m_editFrom = 0, m_editTo = 0;
    bool m_finished = false;
    QTimer m_timer;
    // Checks the lines on screen once a paint has left them for a dictionary to be read.
    QTimer m_shownLater;
    // The text read last, from m_textStart; read ahead while m_bulk; gone with any edit.
    QString m_text;
    int m_textStart = 0;
    bool m_bulk = false;
    bool m_cameWhole = false; // no change since the text came into an empty document: read in one piece
};

// Puts `replacement` in place of each stretch (offset, length) of the document, ascending and
// apart, as one undo step, the new text coloured as typed text is.
void ReplaceStretches(frmNotepad& document, const std::vector<std::pair<int, int>>& stretches,
                      const QString& replacement);
