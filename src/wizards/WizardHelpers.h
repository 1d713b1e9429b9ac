#pragma once

#include <QString>

class DocumentHost;
class QLineEdit;

// A double click into the colour box opens the colour picker for it (the click does nothing
// else); `tip` tells the user so.
void openColorOnDoubleClick(QLineEdit& box, DocumentHost& host, const QString& tip);
// Puts the reference to the file `chosen` into the box, relative to the current document where it
// can be; nothing when `chosen` is empty (its dialog was cancelled).
void setRelativePath(QLineEdit& box, DocumentHost& host, const QString& chosen);
