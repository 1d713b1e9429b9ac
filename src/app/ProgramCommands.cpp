#include "app/ProgramCommands.h"

#include "browser/BrowserControl.h"
#include "browser/Preview.h"
#include "browser/frmView.h"
#include "editor/EditableDocument.h"
#include "editor/frmNotepad.h"
#include "wizards/Pictures.h"

namespace {

using Run = std::function<void(const CommandTarget&)>;

Run onBrowser(void (frmView::*slot)()) {
    return [slot](const CommandTarget& target) {
        Q_ASSERT(target.browser);
        (target.browser->*slot)();
    };
}

Run onEngine(void (BrowserControl::*call)()) {
    return [call](const CommandTarget& target) {
        Q_ASSERT(target.browser);
        (target.browser->WebBrowser->*call)();
    };
}

// The command as the document and main windows run it, and in a browser window `inBrowser`.
Run orInBrowser(Run elsewhere, Run inBrowser) {
    return [elsewhere = std::move(elsewhere), inBrowser = std::move(inBrowser)](const CommandTarget& target) {
        (target.browser ? inBrowser : elsewhere)(target);
    };
}

} // namespace

void BindProgramCommands(CommandTable& table) {
    const auto bind = [&table](CommandId id, Run run) { table.commands[size_t(id)].run = std::move(run); };
    bind(CommandId::OpenInBrowser,
         [](const CommandTarget& target) { OpenInBrowser(target.host, target.document->editable()); });
    bind(CommandId::Picture, [](const CommandTarget& target) {
        InsertPictureFromMenu(target.host, target.document->editable());
    });
    bind(CommandId::Close, orInBrowser(table[CommandId::Close].run,
                                       [](const CommandTarget& target) { target.browser->close(); }));
    // A browser window goes to the page itself; elsewhere a new browser window shows it.
    bind(CommandId::Update, orInBrowser(table[CommandId::Update].run, onBrowser(&frmView::mnuUpdate_Click)));
    bind(CommandId::Forward, onEngine(&BrowserControl::GoForward));
    bind(CommandId::Back, onEngine(&BrowserControl::GoBack));
    bind(CommandId::Stop, onEngine(&BrowserControl::Stop));
    bind(CommandId::Reload, onEngine(&BrowserControl::Refresh));
    bind(CommandId::OpenFile, onBrowser(&frmView::mnuOpenFile_Click));
    bind(CommandId::ViewSource, onBrowser(&frmView::mnuViewSRC_Click));
    bind(CommandId::Offline, onBrowser(&frmView::mnuOffline_Click));
}
