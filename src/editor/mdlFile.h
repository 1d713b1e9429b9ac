#pragma once

#include "platform/TextFile.h"

#include <QString>
#include <QStringList>

class DocumentHost;
class frmNotepad;

// Gives the keyboard focus back to the current document, when one is open.
void FocusCurrentDocument(DocumentHost& host);

// Takes the lowest free document slot (or a new last one) with a fresh document window in it.
int AllocateDocumentSlot(DocumentHost& host);

// A new document from the template "default.htm", the cursor where its "@@" marker was.
frmNotepad* NewDocument(DocumentHost& host);
// Reads a file into a new document window; reports a failure and returns nullptr.
frmNotepad* OpenDocument(DocumentHost& host, const QString& path);
// Reads the window's file again into it, as an unmodified document with no undo steps; reports a
// failure and returns false.
bool ReloadDocument(DocumentHost& host, frmNotepad& window);
// Writes the slot's document to `path` in its save format; false when the write failed
// (the failure has been reported and the document keeps its unsaved state), or when the file was
// changed by another program since it was opened or saved and the user chose not to overwrite it.
bool SaveDocument(DocumentHost& host, int slot, const QString& path);

// The notices a document window shows for its file: not valid UTF-8 (read with a single-byte
// table), read-only.
QStringList FileNotices(const QString& path, TextEncoding encoding);

// Save: to the document's path, or through the save dialog when it was never saved.
// True when the document was written; false when the dialog was cancelled or the write failed.
bool SaveCommand(DocumentHost& host, int slot);
bool SaveAsCommand(DocumentHost& host, int slot);
// Open...: the open dialog, then the file (added to the recent files).
void ShowOpenDialog(DocumentHost& host);
// The default template as an ordinary document.
void EditDefaultTemplate(DocumentHost& host);

enum class FileDialogAction { Open = 1, Save = 2 };
// Shows the shared file dialog for documents (or pictures) and returns the chosen path or "".
QString ShowFileDialog(DocumentHost& host, FileDialogAction action, bool forDocument);
// The dialogs' filters in the editor's "description|patterns|..." form.
QString DocumentSaveFilter(const QString& defaultFormat);
QString DocumentOpenFilter();

// The template's marker for the cursor position.
inline const QString kTemplateMarker = QStringLiteral("@@");
