#include "wizards/WizardHelpers.h"

#include "wizards/Pictures.h"
#include "wizards/frmColor.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QDialog>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

#include <algorithm>

namespace {

// Lives as a child of its box and watches it for double clicks.
class ColorOnDoubleClick : public QObject {
public:
    ColorOnDoubleClick(QLineEdit& box, DocumentHost& host) : QObject(&box), m_box(box), m_host(host) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &m_box || event->type() != QEvent::MouseButtonDblClick)
            return false;
        frmColor::runForField(m_box, m_host);
        return true;
    }

private:
    QLineEdit& m_box;
    DocumentHost& m_host;
};

// Lives as a child of the box and puts its completion list to its right whenever the completer
// shows or moves the list (it puts it below the box).
class ListBesideBox : public QObject {
public:
    ListBesideBox(QComboBox& box, QWidget& list) : QObject(&box), m_box(box), m_list(list) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_list && (event->type() == QEvent::Show || event->type() == QEvent::Move))
            place();
        return false;
    }

private:
    void place() {
        QPoint at = m_box.mapToGlobal(QPoint(m_box.width(), 0));
        if (const QScreen* screen = m_box.screen()) {
            // Where the screen has no room on the right, the list goes to the box's left.
            const QRect room = screen->availableGeometry();
            if (at.x() + m_list.width() > room.right())
                at.setX(m_box.mapToGlobal(QPoint(0, 0)).x() - m_list.width());
            at.setY(std::min(at.y(), room.bottom() - m_list.height()));
        }
        if (m_list.pos() != at)
            m_list.move(at);
    }

    QComboBox& m_box;
    QWidget& m_list;
};

} // namespace

void OkByItsButtonOnly(QDialog& dialog, QPushButton* ok) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        button->setDefault(false);
        button->setAutoDefault(false);
    }
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)})
        QObject::connect(new QShortcut(keys, &dialog), &QShortcut::activated, ok, [ok] {
            if (ok->isEnabled())
                ok->click();
        });
}

void CompletionsBesideBox(QComboBox& box) {
    if (QCompleter* completer = box.completer()) {
        QWidget* list = completer->popup();
        list->installEventFilter(new ListBesideBox(box, *list));
    }
}

void openColorOnDoubleClick(QLineEdit& box, DocumentHost& host, const QString& tip) {
    box.setToolTip(tip);
    box.installEventFilter(new ColorOnDoubleClick(box, host));
}

void setRelativePath(QLineEdit& box, DocumentHost& host, const QString& chosen) {
    if (!chosen.isEmpty())
        box.setText(MakeRelativePath(host, chosen));
}
