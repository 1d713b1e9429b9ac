// The main window's browser windows: the module that makes them, opening one in a free slot, and
// its picture buttons.

#include "app/SkinButton.h"
#include "app/frmQuillora.h"
#include "editor/frmNotepad.h"
#include "platform/Dialogs.h"
#include "platform/MdiWindows.h"
#include "platform/Version.h"

#include <QCoreApplication>
#include <QMdiArea>

#include <algorithm>

BrowserModule* frmQuillora::browserModule() {
    if (BrowserModule* module = m_browserLoader.loaded())
        return module;
    BrowserModule* module = m_browserLoader.load();
    if (!module) {
        Dialogs::instance().message(
            this, MessageBoxTitle(),
            tr("Pages cannot be shown: the browser module could not be loaded.\n\n%1\n\n"
               "Reinstalling Quillora (and the Qt WebEngine library it names, if one is missing) "
               "brings it back.")
                .arg(m_browserLoader.error()),
            Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
        return nullptr;
    }
    // Pages previewed as they are typed take style sheets and scripts open here from their windows.
    module->start(*this, this);
    return module;
}

BrowserWindow* frmQuillora::OpenBrowser(const QString& address) {
    BrowserModule* module = browserModule();
    if (!module)
        return nullptr;
    const int slot = m_browsers.FreeBrowserSlot();
    BrowserWindow* view = m_browsers.Browsers[slot];
    if (!view) {
        view = module->newBrowserWindow(*this, m_browsers, slot);
        m_browsers.Browsers[slot] = view;
        addBrowserButtons(view);
    }
    view->setSlot(slot);
    const QString trimmed = address.trimmed();
    if (!trimmed.isEmpty()) {
        view->navigate(trimmed);
        view->addToAddressList(trimmed);
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

void frmQuillora::addBrowserButtons(BrowserWindow* view) {
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
        [view] { view->focusPage(); }, view);
    for (SkinButton* button : buttons)
        keys->watch(button);
    view->setStripColor(m_skin.background);
    connect(&m_skin, &ButtonSkin::changed, view, [this, view, buttons] {
        view->setStripColor(m_skin.background);
        for (SkinButton* button : buttons)
            button->draw(ButtonState::Normal);
    });
}
