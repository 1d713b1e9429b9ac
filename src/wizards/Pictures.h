#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

#include "markup/PictureTags.h"

class DocumentHost;
class EditableDocument;
class QWidget;

// The same, seen from the current document of `host` (its path from its slot's saved path, never
// from the window title, which is the bare file name while minimised).
QString MakeRelativePath(DocumentHost& host, const QString& path);
// The same, seen from `document` (the full path when it is null, as for a closed document): for
// dialogs that insert into the document that was current when they opened.
QString MakeRelativePath(const EditableDocument* document, const QString& path);
// The folder chooser with the prompt "Please select a folder:", starting in the dialog folder;
// "" on cancel.
QString BrowseForFolder(DocumentHost& host);
// The picture dialog: one file, or several. "" / none on cancel. With "LastDir" on, the dialog
// folder becomes the chosen file's folder (with several, their folder).
QString ShowPictureDialog(DocumentHost& host);
QStringList ShowPicturesDialog(DocumentHost& host);
// The size of a picture file, read with QImageReader without decoding it; nothing when unreadable.
std::optional<QSize> PictureSize(const QString& path);
// Tools "Picture...": one picture, its tag inserted with InsertAtCursor (one undo step, coloured).
void InsertPictureFromMenu(DocumentHost& host, EditableDocument& document);
// The toolbox's "Add Picture": several pictures, one sized tag each (followed by CR LF when more
// than one was chosen), each inserted with InsertAtCursor into the current document, in the
// dialog's order. Nothing happens (and no dialog shows) without a current, not minimised document.
void InsertPicturesFromToolbox(DocumentHost& host);
