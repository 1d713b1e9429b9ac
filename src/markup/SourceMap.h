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
