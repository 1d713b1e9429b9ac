#pragma once

#include "app/frmQuillora.h"
#include "platform/RichTextControl.h"
#include "support/HostFixture.h"

// A main window on a private program folder and settings store, with scripted dialogs.
struct AppFixture : HostFixture<frmQuillora> {
    frmQuillora& start(const QStringList& paths = {}) {
        main = std::make_unique<frmQuillora>(env.programFolder());
        main->startUp(paths, true);
        return *main;
    }
};
