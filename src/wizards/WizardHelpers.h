#pragma once

#include <QString>

class DocumentHost;
class QComboBox;
class QDialog;
class QLineEdit;
class QPushButton;

// A double click into the colour box opens the colour picker for it (the click does nothing
// else); `tip` tells the user so.
void openColorOnDoubleClick(QLineEdit& box, DocumentHost& host, const QString& tip);
// Puts the reference to the file `chosen` into the box, relative to the current document where it
// can be; nothing when `chosen` is empty (its dialog was cancelled).
void setRelativePath(QLineEdit& box, DocumentHost& host, const QString& chosen);

// For builders of several steps: Enter in a box never finishes the dialog (no button takes Enter
// by default); `ok` is pressed by a click, its key, or Ctrl+Enter.
void OkByItsButtonOnly(QDialog& dialog, QPushButton* ok);
// Keeps the list of an editable box's completer beside the box, to its right, so that it never
// covers the boxes below (a click meant for one of them would pick an entry of the list instead).
void CompletionsBesideBox(QComboBox& box);
