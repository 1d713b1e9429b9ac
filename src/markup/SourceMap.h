#pragma once

#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

// The served copy of a page: what the preview beside the source loads instead of the document's
// text, so that it can tell, for each element it shows, where the element's start tag stands in
// the source. The copy goes to the preview engine only, never to the document or a file.

// The attribute each start tag of a served copy carries: the offset of the tag's "<" in the text.
inline constexpr char kSourceOffsetAttribute[] = "data-quillora-at";

// The page with ` data-quillora-at="N"` inserted right after the name of each start tag (N the
// 0-based offset of its "<" in `text`, in UTF-16 code units, as the editor counts). Only tags the
// preview engine reads as start tags get one, and the copy reads as the page does: nothing goes
// into comments, declarations, the contents of script, style and the other elements whose contents
// are text, nor into server code ("<?...?>", "<%...%>"), and a tag the text ends inside gets none.
// A tag that carries the attribute already keeps its own after ours, which the engine ignores.
// `base` is added to each offset: `text` is then the part of a page that starts there.
QString WithSourceOffsets(QStringView text, int base = 0);

// The offsets written into a copy made by WithSourceOffsets, in increasing order: the start tags
// the preview can name, for finding the element at or before a place in the source.
std::vector<int> StartTagOffsets(QStringView text, int base = 0);

// Where a text changed between two versions: the stretch between the longest common start and the
// longest common end (which never overlap), the common start ending before any tag it would end
// inside. Offsets outside it name the same characters in both
// versions; a start tag the preview was served before an edit is found in the text after it, and
// the other way round.
struct ChangedStretch {
    int commonStart = 0;
    int commonEnd = 0;
    int lengthBefore = 0;
    int lengthAfter = 0;
};
ChangedStretch ChangedStretchOf(QStringView before, QStringView after);
// Where the character at `offset` of the earlier version is in the later one, or -1 where it was
// changed (or `offset` is outside the text).
int OffsetAfterChange(const ChangedStretch& change, int offset);
// Where the character at `offset` of the later version was in the earlier one, or -1 where it is new.
int OffsetBeforeChange(const ChangedStretch& change, int offset);

// Whether a page shown in the preview stays as its markup made it: no script (no script element,
// no event handler attribute, no "javascript:" address) may change what it shows. Only such a page
// may have an edit shown by changing the page in place, since a page's scripts would show the edited
// element otherwise than they did when the page was loaded.
bool PageStaysAsWritten(QStringView text);

// An edit the preview can show without loading the page again: the contents of the innermost
// element around it are replaced with the new ones, as served, and the offsets the page's elements
// carry after it move with the text.
struct ContentsPatch {
    int elementAt = -1;          // the element's start tag, before the edit and after
    std::vector<int> tagsBefore; // the start tags the contents held before the edit, in order
    std::vector<int> tagsAfter;  // and after it, in the later version's offsets
    QString contents;            // the new contents as served (with their start tags' offsets)
    int movedFrom = 0;           // offsets of the earlier version from here on ...
    int movedBy = 0;             // ... are this much larger in the later one
};
// The patch that shows `after` where the page shows `before` (its change from `change`), or none
// where replacing one element's contents would not make the page the engine makes of `after`: an
// edit that touches a tag, one outside an element whose contents are read as a fragment in the same
// way ("html", "head", "body", table rows and sections, "select", text elements such as "title"
// and "textarea"), or contents holding comments, declarations, server code or text elements.
// The page checks `tagsBefore` and `tagsAfter` against its own elements; a page built otherwise
// than the tags read (misnested tags, implied ends) differs, and is loaded again.
std::optional<ContentsPatch> ContentsPatchOf(QStringView before, QStringView after,
                                             const ChangedStretch& change);

// The start tags of the elements of the later version, innermost first and at most `levels` of them,
// whose contents hold the change: where the change touches markup, the page is read again and the
// first of them whose replacing leaves the rest of the page as it was is replaced.
std::vector<int> ElementsHoldingChange(QStringView after, const ChangedStretch& change, int levels);
