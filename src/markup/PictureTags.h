#pragma once

#include <QSize>
#include <QString>
#include <optional>

// The reference markup uses for the file `path` (a full path), seen from the document saved as
// `documentPath` ("" for a document never saved): relative to the document's folder when the file
// is in or below it ("logo.gif", "images/logo.gif"), the full path otherwise (another folder,
// above it, a sibling folder, never saved). Separators are "/"; the characters that change a
// URL's meaning here (", #, ?, %, \) are percent-encoded. "" for an empty path.
QString MakeRelativePath(const QString& path, const QString& documentPath);
// The picture filter of the file dialog, exactly as the editor writes it.
extern const char* const kPictureFilter;
// The tags: the menu's has no size; the toolbox's has WIDTH and HEIGHT when the picture's size is
// known (left out when the picture cannot be read: no invented numbers).
QString PictureTag(const QString& reference);
QString SizedPictureTag(const QString& reference, std::optional<QSize> size);
