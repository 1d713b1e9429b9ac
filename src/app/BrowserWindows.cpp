// The main window's browser windows: opening one in a free slot, and its picture buttons.

#include "app/SkinButton.h"
#include "app/frmQuillora.h"
#include "browser/BrowserControl.h"
#include "browser/frmView.h"
#include "editor/frmNotepad.h"
#include "platform/MdiWindows.h"

#include <QComboBox>
#include <QMdiArea>

#include <algorithm>

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
    // The strip's keys, reached with Ctrl+F6 while the window is in front; Esc goes back to the page.
    auto* keys = new ButtonStripKeys(
        [buttons] {
            QList<QWidget*> inOrder(buttons.begin(), buttons.end());
            std::sort(inOrder.begin(), inOrder.end(),
                      [](const QWidget* a, const QWidget* b) { return a->x() < b->x(); });
            return inOrder;
        },
        [view] { view->WebBrowser->setFocus(); }, view);
    for (SkinButton* button : buttons)
        keys->watch(button);
    view->setStripColor(m_skin.background);
    connect(&m_skin, &ButtonSkin::changed, view, [this, view, buttons] {
        view->setStripColor(m_skin.background);
        for (SkinButton* button : buttons)
            button->draw(ButtonState::Normal);
    });
}
