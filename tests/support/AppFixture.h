#pragma once

#include "app/frmQuillora.h"
#include "editor/frmNotepad.h"
#include "platform/RichTextControl.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <memory>

// A main window on a private program folder and settings store, with scripted dialogs.
struct AppFixture {
    TestEnvironment env;
    ScriptedDialogs& dialogs = ScriptedDialogs::install();
    std::unique_ptr<frmQuillora> main;

    AppFixture() { QSettings(QStringLiteral("Quillora"), QStringLiteral("Quillora")).clear(); }
    ~AppFixture() {
        if (main) // nothing may ask on the way out
            for (auto& record : main->documents().DocumentSlots)
                record.Modified = false;
        main.reset();
        flush();
    }

    frmQuillora& start(const QStringList& paths = {}) {
        main = std::make_unique<frmQuillora>(env.programFolder());
        main->startUp(paths, true);
        return *main;
    }
    frmNotepad* document(int slot) const { return main->documents().Documents.at(slot).data(); }
    const DocumentSlot& record(int slot) const { return main->documents().DocumentSlots.at(slot); }
    // Lets closed windows be deleted.
    static void flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};
