#pragma once

#include "editor/DocumentTable.h"
#include "editor/frmNotepad.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QSettings>
#include <memory>

// What the fixtures of the main window and of the fake shell share: a private program folder and
// settings store, scripted dialogs, and a host (`Host`) that goes without asking anything.
template <class Host> struct HostFixture {
    TestEnvironment env;
    ScriptedDialogs& dialogs = ScriptedDialogs::install();
    std::unique_ptr<Host> main;

    HostFixture() { QSettings(QStringLiteral("Quillora"), QStringLiteral("Quillora")).clear(); }
    ~HostFixture() {
        if (main) // nothing may ask on the way out
            for (auto& record : main->documents().DocumentSlots)
                record.Modified = false;
        main.reset();
        flush();
    }

    frmNotepad* document(int slot) const { return main->documents().Documents.at(slot).data(); }
    const DocumentSlot& record(int slot) const { return main->documents().DocumentSlots.at(slot); }
    // Lets closed windows be deleted.
    static void flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};
