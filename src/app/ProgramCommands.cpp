#include "app/ProgramCommands.h"

#include "app/frmQuillora.h"
#include "browser/BrowserControl.h"
#include "browser/Preview.h"
#include "browser/PreviewBeside.h"
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

void BindProgramCommands(CommandTable& table, frmQuillora& main) {
    const auto bind = [&table](CommandId id, Run run) { table.commands[size_t(id)].run = std::move(run); };
    bind(CommandId::OpenInBrowser,
         [](const CommandTarget& target) { OpenInBrowser(target.host, target.document->editable()); });
    bind(CommandId::PreviewBeside,
         [](const CommandTarget& target) { TogglePreviewBeside(target.host, *target.document); });
    bind(CommandId::Picture, [](const CommandTarget& target) {
        InsertPictureFromMenu(target.host, target.document->editable());
    });
    bind(CommandId::Close, orInBrowser(table[CommandId::Close].run,
                                       [](const CommandTarget& target) { target.browser->close(); }));
    // A browser window goes to the page itself; elsewhere a new browser window shows it.
    bind(CommandId::Update, orInBrowser(table[CommandId::Update].run, onBrowser(&frmView::mnuUpdate_Click)));
    const auto wizard = [&main](TagDialog which, bool modal = false) {
        return [&main, which, modal](const CommandTarget&) { main.showTagDialog(which, modal); };
    };
    bind(CommandId::Body, wizard(TagDialog::Body));
    bind(CommandId::Css, wizard(TagDialog::Css, true));
    bind(CommandId::Font, wizard(TagDialog::Font));
    bind(CommandId::Forms, wizard(TagDialog::Forms));
    bind(CommandId::Frames, wizard(TagDialog::Frames, true));
    bind(CommandId::ImageMap, wizard(TagDialog::ImageMap, true));
    bind(CommandId::Link, wizard(TagDialog::Link));
    bind(CommandId::Lists, wizard(TagDialog::Lists));
    bind(CommandId::Tables, wizard(TagDialog::Tables));
    bind(CommandId::Symbols, [&main](const CommandTarget&) { main.showSymbols(); });
    bind(CommandId::FindInFiles, [&main](const CommandTarget& target) { main.findInFiles(target.document); });
    bind(CommandId::CheckLinks, [&main](const CommandTarget& target) { main.checkLinks(target.document); });
    bind(CommandId::CheckHtml, [&main](const CommandTarget& target) { main.checkHtml(*target.document); });
    bind(CommandId::SpellingList,
         [&main](const CommandTarget& target) { main.showSpellingList(*target.document); });
    bind(CommandId::About, [&main](const CommandTarget&) { main.showAbout(); });
    bind(CommandId::Forward, onEngine(&BrowserControl::GoForward));
    bind(CommandId::Back, onEngine(&BrowserControl::GoBack));
    bind(CommandId::Stop, onEngine(&BrowserControl::Stop));
    bind(CommandId::Reload, onEngine(&BrowserControl::Refresh));
    bind(CommandId::OpenFile, onBrowser(&frmView::mnuOpenFile_Click));
    bind(CommandId::ViewSource, onBrowser(&frmView::mnuViewSRC_Click));
    bind(CommandId::Offline, onBrowser(&frmView::mnuOffline_Click));
}
