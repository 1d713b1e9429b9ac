#pragma once

#include "markup/PageNames.h"

#include <QString>

class DocumentHost;
class EditableDocument;

// Writes the document's text to the preview copy in temp/, leaving its caption, path and unsaved
// state as they are. The copy's path, or "" when it could not be written (reported).
QString WritePreviewCopy(DocumentHost& host, EditableDocument& document);

// "View" of the context menu: the link in the selection, or the document (asking first whether to
// save changes to a saved one).
void ViewDocument(DocumentHost& host, EditableDocument& document);
// "Open in Browser": the document as it stands, unsaved changes included, in a new browser window
// that follows the text as it is typed and saved.
void OpenInBrowser(DocumentHost& host, EditableDocument& document);
