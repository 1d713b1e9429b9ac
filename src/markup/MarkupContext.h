#pragma once

#include <QString>
#include <QStringView>
#include <functional>

// What a place in a page lies in, as a character typed there would join it.
enum class MarkupPlace {
    Text,    // between tags, where a tag may start
    Tag,     // inside a tag (from its "<"), outside its quoted values
    Value,   // inside a quoted value of a tag
    Comment, // inside a comment, a "<!...>" declaration, a "<?...?>" or a "<%...%>" block
    Content, // inside the contents of script, style, textarea or title, where no tag starts
};

struct MarkupContext {
    MarkupPlace place = MarkupPlace::Text;
    bool startTag = false; // in a tag or a value: of a start tag rather than an end tag
    // The innermost element still open, its name as its start tag spells it; empty when none is
    // open or the text read cannot tell.
    QString openElement;
};

// The context at the end of `before`, the text up to a place. `fromStart`: it is the document's
// text from its start; otherwise its last characters, which may begin inside a tag or a script.
// `openRaw`: it begins inside the contents of that element (script, style, textarea, title).
// Elements close as browsers close them: an end tag closes the innermost element of its name and
// all opened after it, and a start tag of li, dt, dd, tr, td, th, option, a heading or a block
// closes what it cannot be inside of (an open li, an open p, ...). Void elements and tags closed
// with "/>" hold nothing. An end tag whose start tag is not in a window that does not reach the
// document's start closes everything opened before it in the window, as its start tag came first.
MarkupContext MarkupContextAtEnd(QStringView before, bool fromStart, QStringView openRaw = {});

// Reads [start, start + length) of a document.
using ContextReader = std::function<QString(int start, int length)>;

// The context of a place is read from a window of the text before it that starts at a multiple of
// kContextStep, kContextWindow to kContextWindow + kContextStep characters before it, so that
// nearby places share the window's start. Whether the contents of a script or style are open at
// that start is read from the kRawReach characters before it. Where the innermost open element is
// wanted and the window does not show it, wider windows are read, up to kContextReach characters
// before the place.
constexpr int kContextWindow = 16384, kContextStep = 8192, kRawReach = 65536, kContextReach = 120000;
int ContextWindowStart(int offset);
// The element (script, style, textarea or title) whose contents hold `offset`, as its start tag
// spells it; empty when there is none in reach.
QString RawElementAt(const ContextReader& read, int offset);
// The context at `offset` of a document read through `read`; `rawAt` tells what RawElementAt
// tells of the window's start (a caller may keep its answers while the text before does not
// change). `openElement`: the innermost open element is wanted.
MarkupContext MarkupContextAt(const ContextReader& read, int offset, bool openElement,
                              const std::function<QString(int)>& rawAt);

// Whether a file with the extension `extension` (no dot) holds markup, where tags may start: all but
// style sheets, scripts, program sources and plain text (css, js, mjs, cjs, json, pl, pm, cgi,
// java, txt), compared without regard to case.
bool HoldsMarkup(const QString& extension);
