#pragma once

#include <QString>
#include <QStringView>
#include <functional>

// Matching tags and brackets: the tag at the cursor and its partner, the element around a selection.
// The procedures read a window of the document, not the whole of it, so that they can run on every
// move of the cursor in a page of megabytes; they say when the window's edge kept them from a
// certain answer, and the reader versions then look again in a wider window, up to a bound.

// A stretch of the document: its first character's offset and its length; start -1 for none.
struct TextSpan {
    int start = -1;
    int length = 0;
    bool valid() const { return start >= 0; }
    int end() const { return start + length; }
    bool operator==(const TextSpan& other) const { return start == other.start && length == other.length; }
};

// The characters [start, start + text.size()) of a document `total` characters long. Offsets given
// to and returned by the procedures are the document's.
struct TextWindow {
    QStringView text;
    int start = 0;
    int total = 0;
    int end() const { return start + int(text.size()); }
    bool atDocumentStart() const { return start <= 0; }
    bool atDocumentEnd() const { return end() >= total; }
};

// Markup, whose script and style contents are code; or a style sheet or a script as a whole.
enum class SourceKind { Markup, StyleSheet, Script };
// By the file's extension: .css a style sheet; .js, .mjs, .cjs, .json a script; anything else markup.
SourceKind SourceKindOf(const QString& path);

struct MatchResult {
    enum Kind { None, Tag, Bracket };
    Kind kind = None;
    TextSpan own;     // the tag (from "<" through ">") or the bracket at the cursor
    TextSpan partner; // invalid when it has none (a void or self-closing tag, one never closed)
    // The window's edge was met before the answer was certain: a wider window may give another.
    bool clipped = false;
};

// The tag the cursor is in (from before its "<" to after its ">"; where two tags touch, the one
// after the cursor) and its partner. Void elements and tags closed with "/>" have none; an end tag
// pairs with the nearest start tag of its name still open, closing those opened after that one
// unclosed (as "<p>" and "<li>" are left open), and an end tag with none open has none. Comments,
// "<!...>", "<?...?>", "<%...%>" and the contents of script, style, textarea and title hold no
// tags; a quoted attribute value may hold ">" and "<". Outside any tag, in code (script or style
// contents in markup, or a style sheet or script as a whole), the bracket after the cursor, else
// the one before it, and its partner, strings and comments skipped.
MatchResult MatchAt(const TextWindow& window, int cursor, SourceKind kind);

struct ElementResult {
    TextSpan element;
    bool clipped = false;
};
// The innermost element (start tag through end tag, or a void or self-closed tag alone) that holds
// the selection [start, start + length) and is larger than it: called again with the element found,
// it gives the parent.
ElementResult EnclosingElement(const TextWindow& window, int start, int length);

// Reads [start, start + length) of the document.
using TextReader = std::function<QString(int start, int length)>;
// How far each way the reader versions read at most.
constexpr int kMatchReach = 120000;
// MatchAt and EnclosingElement on a document `total` characters long read through `read`, in a
// window around the cursor or selection widened while the answer meets its edges.
MatchResult MatchAround(const TextReader& read, int total, int cursor, SourceKind kind);
TextSpan EnclosingElement(const TextReader& read, int total, int start, int length);
