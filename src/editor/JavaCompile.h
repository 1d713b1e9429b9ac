#pragma once

class DocumentHost;
class frmNotepad;

// Tools, Java, "Compile": the saved file of `document` given to the Java compiler of the settings
// (asking for one when none is chosen), started in the file's folder; a document never saved is
// refused with a message.
void CompileDocument(DocumentHost& host, frmNotepad& document);
