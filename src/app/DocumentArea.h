#pragma once

#include "editor/frmNotepad.h"
#include "platform/MdiWindows.h"
#include "platform/RichTextControl.h"

#include <QKeyEvent>
#include <QMdiArea>

// The frame's area for document windows. The area switches windows with Ctrl+Tab, watching the
// keys of the whole application; in a document's text Ctrl+Tab types a tab instead, so there the
// keys are left to the text.
class DocumentArea : public QMdiArea {
public:
    using QMdiArea::QMdiArea;

protected:
    // A frame that became smaller (the window manager took its decorations off a maximised frame
    // at start-up, say) keeps every window inside it.
    void resizeEvent(QResizeEvent* event) override {
        QMdiArea::resizeEvent(event);
        FitWindowsInto(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && qobject_cast<RichTextControl*>(watched))
                return false;
        }
        return QMdiArea::eventFilter(watched, event);
    }
};
