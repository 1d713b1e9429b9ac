#pragma once

#include <QString>
#include <QStringView>
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
QString WithSourceOffsets(QStringView text);

// The offsets written into a copy made by WithSourceOffsets, in increasing order: the start tags
// the preview can name, for finding the element at or before a place in the source.
std::vector<int> StartTagOffsets(QStringView text);

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
