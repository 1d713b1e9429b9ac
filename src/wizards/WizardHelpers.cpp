#include "wizards/WizardHelpers.h"

#include "wizards/Pictures.h"
#include "wizards/frmColor.h"

#include <QEvent>
#include <QLineEdit>

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

} // namespace

void openColorOnDoubleClick(QLineEdit& box, DocumentHost& host, const QString& tip) {
    box.setToolTip(tip);
    box.installEventFilter(new ColorOnDoubleClick(box, host));
}

void setRelativePath(QLineEdit& box, DocumentHost& host, const QString& chosen) {
    if (!chosen.isEmpty())
        box.setText(MakeRelativePath(host, chosen));
}
