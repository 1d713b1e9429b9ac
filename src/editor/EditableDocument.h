#pragma once

#include "editor/Colorizer.h"
#include "markup/LineEndings.h"
#include "platform/TextFile.h"

#include <QObject>
#include <QString>

class QWidget;
class RichTextControl;
class frmNotepad;

// A document as the wizards, the tag commands and the browser's preview see it: its text and
// selection, insertion as one undo step, its colours, how and where it is saved, and the keyboard
// focus. The window that shows it (menus, keys, closing) is not theirs to reach. It goes with its window, so
// a QPointer to it tells a dialog that the document was closed.
class EditableDocument : public QObject {
    Q_OBJECT
public:
    explicit EditableDocument(frmNotepad& window);

    RichTextControl& text() const;
    // Generated markup in place of the selection: one undo step, coloured.
    void InsertAtCursor(const QString& markup);
    // `text` in place of the selection as one undo step, not recoloured; where it went.
    int ReplaceSelection(const QString& text);
    ColorRoles colorRoles() const;
    bool usesColors() const;
    // The hooks that keep colouring from marking the document changed.
    DocumentStateHooks stateHooks();
    // The path the document was last saved as; "" when it never was.
    QString savedPath() const;
    bool isModified() const;
    // Its slot in the document table, for the file commands.
    int slot() const;
    // The window's caption: the path, "Untitled [slot]" or the bare name while minimised.
    QString caption() const;
    SaveFormat saveFormat() const;
    TextEncoding encoding() const;
    bool isMinimized() const;
    // Gives the keyboard focus back to the text.
    void focus();
    // The window messages about the document are shown over.
    QWidget* dialogParent() const;

signals:
    // The text changed; the document was written to its file.
    void changed();
    void saved();

private:
    frmNotepad& m_window;
};
