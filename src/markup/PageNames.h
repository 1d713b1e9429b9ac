#pragma once

#include <QString>
#include <QUrl>

// The names and addresses the preview and View Source make from what the user selected or opened.

// What the context menu's "View" shows for the selected text of a document whose caption is
// `title`: the document itself, an address, or nothing.
struct PreviewTarget {
    enum Kind { Document, Address, Nothing };
    Kind kind = Document;
    QString address;
};
// The first HREF=" or SRC=" (any case) names the address, up to the next double quote or the end
// of the selection; a bare file name is taken from the document's folder; anything else with a
// path in it previews the document.
PreviewTarget SelectionTarget(const QString& selected, const QString& title);

// The name of the preview copy of a never-saved document: "tmpView." and the default extension,
// "htm" when that extension is empty or could lead out of the folder.
QString PreviewFileName(const QString& defaultFormat);
// The name a page's source is stored under in temp/: the last segment of the address's path,
// without query or fragment, percent-decoded; "temp.html" when that is empty, "." or "..", or
// holds "/" or NUL, so the file always lands inside the folder.
QString SourceFileName(const QUrl& url);
