// The main window's browser windows: opening one in a free slot, and its picture buttons.

#include "app/SkinButton.h"
#include "app/frmQuillora.h"
#include "browser/frmView.h"
#include "editor/frmNotepad.h"
#include "platform/MdiWindows.h"

#include <QComboBox>
#include <QMdiArea>

frmView* frmQuillora::OpenBrowser(const QString& address) {
    const int slot = m_browsers.FreeBrowserSlot();
    frmView* view = m_browsers.Browsers[slot];
    if (!view) {
        view = new frmView(*this, m_browsers, slot);
        m_browsers.Browsers[slot] = view;
        addBrowserButtons(view);
    }
    view->setSlot(slot);
    const QString trimmed = address.trimmed();
    if (!trimmed.isEmpty()) {
        view->navigate(trimmed);
        view->cmbURL->addItem(trimmed);
    }
    refreshRecentMenus();
    if (!view->mdiArea())
        m_mdi->addSubWindow(view);
    if (!view->isVisible())
        PlaceNewWindow(m_mdi, view);
    view->show();
    m_mdi->setActiveSubWindow(view);
    return view;
}

void frmQuillora::addBrowserButtons(frmView* view) {
    QList<SkinButton*> buttons;
    for (const ButtonFace& face : ButtonFaces()) {
        if (face.group != ButtonGroup::Browser)
            continue;
        auto* button = new SkinButton(face, m_skin);
        view->addButton(button);
        button->draw(ButtonState::Normal);
        buttons << button;
        // Letting go of any mouse button inside is a click.
        connect(button, &SkinButton::released, view, [view, name = button->objectName()](bool inside) {
            if (inside)
                view->buttonAction(name);
        });
    }
    view->setStripColor(m_skin.background);
    connect(&m_skin, &ButtonSkin::changed, view, [this, view, buttons] {
        view->setStripColor(m_skin.background);
        for (SkinButton* button : buttons)
            button->draw(ButtonState::Normal);
    });
}
