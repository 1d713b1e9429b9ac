#pragma once

#include "markup/LineEndings.h"
#include "platform/TextFile.h"

#include <QPointer>
#include <QStatusBar>
#include <QToolButton>

class DocumentHost;
class QLabel;
class frmNotepad;

// The status fields' names of a line format ("DOS", "UNIX", "MAC") and of an encoding ("UTF-8",
// "UTF-8 BOM", "ISO-8859-1", "Windows-1252", "ISO-8859-15", "UTF-16 LE", "UTF-16 BE").
QString LineFormatLabel(SaveFormat format);
QString EncodingLabel(TextEncoding encoding);

// A flat button of the status bar whose menu opens with a click, Space or Enter. It takes the
// focus from the keyboard only, so a click leaves the keys with the text.
class StatusButton : public QToolButton {
public:
    explicit StatusButton(QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// The main window's status bar ("staMain"), describing the document in front: the cursor's line
// and column, the selection's length, the line format and the encoding it is saved in, and
// whether its file is read-only. The format and encoding fields open menus that change them. With
// no document in front (none open, or a browser window in front) the fields are hidden.
class StatusFields : public QStatusBar {
    Q_OBJECT
public:
    StatusFields(DocumentHost& host, QWidget* parent);

    QLabel* lblPosition = nullptr;
    QLabel* lblSelection = nullptr;
    StatusButton* cmdLineFormat = nullptr;
    StatusButton* cmdEncoding = nullptr;
    QLabel* lblReadOnly = nullptr;

    // The document the fields describe; nullptr when none is in front.
    frmNotepad* documentInFront() const;

private:
    enum Pending { Nothing = 0, Position = 1, Everything = 3 };
    // The fields are brought up to date once the events of the moment are done: an edit moves
    // the cursor many times (a Replace All, once per match), and the text control's offsets
    // are whole again only after it.
    void schedule(Pending what);
    void refresh();
    void showPosition(frmNotepad& document);
    void showFile(frmNotepad& document);
    // The cursor of `document` is followed from now on, and no other's.
    void follow(frmNotepad* document);
    void fillFormatMenu();
    void fillEncodingMenu();

    DocumentHost& m_host;
    QPointer<frmNotepad> m_followed;
    QMetaObject::Connection m_cursorMoved;
    QMetaObject::Connection m_selectionChanged;
    int m_pending = Nothing;
};
