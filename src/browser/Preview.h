#pragma once

#include <QString>

class DocumentHost;
class frmNotepad;

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
// Writes the document's text to the preview copy in temp/, leaving its caption, path and unsaved
// state as they are. The copy's path, or "" when it could not be written (reported).
QString WritePreviewCopy(DocumentHost& host, frmNotepad& document);

// "View" of the context menu: the link in the selection, or the document (asking first whether to
// save changes to a saved one).
void ViewDocument(DocumentHost& host, frmNotepad& document);
// "Open in Browser": the document as it stands, unsaved changes included, in a new browser window
// that follows the text as it is typed and saved.
void OpenInBrowser(DocumentHost& host, frmNotepad& document);
