#pragma once

#include "support/AppFixture.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTimer>
#include <functional>

// Every dialog of the program by the menu item that opens it, in the main window's menus or the
// documents' context menu. Format wants a selection in the document.
struct DialogItem {
    const char* dialog;
    const char* item;
};
inline const DialogItem kDialogItems[] = {
    {"frmTable", "mnuTTables"},   {"frmForms", "mnuTForms"},      {"frmBody", "mnuTBody"},
    {"frmLink", "mnuTLink"},      {"frmList", "mnuTLists"},       {"frmFont", "mnuTFont"},
    {"frmFrames", "mnuTFrames"},  {"frmIsMap", "mnuTIsMap"},      {"frmCSS", "mnuTCSS"},
    {"frmSymbols", "mnuSymbols"}, {"frmFind", "mnuFind"},         {"frmFindInFiles", "mnuFindInFiles"},
    {"frmGoTo", "mnuGoTo"},       {"frmFormat", "mnuFormat"},     {"frmColor", "mnuSelectColor"},
    {"frmAddOwn", "mnuAddOwn"},   {"frmSettings", "mnuSettings"},
};

// Opens a dialog with its menu item and runs `check` on it while it is on the screen (a modal one
// from inside its own event loop), then closes it. The name of the dialog that came up, if any.
inline QString WithDialog(AppFixture& app, const QString& item, const std::function<void(QDialog&)>& check) {
    QAction* action = app.main->findChild<QAction*>(item);
    if (!action)
        action = app.main->popupMenu()->findChild<QAction*>(item);
    if (!action)
        return QString();
    QString seen;
    const auto look = [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QDialog*>(window);
            if (dialog && dialog->isVisible() && seen.isEmpty()) {
                seen = dialog->objectName();
                check(*dialog);
                dialog->close();
            }
        }
    };
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, look);
    poll.start(10);
    action->trigger();
    look();
    return seen;
}
