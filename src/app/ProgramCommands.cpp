#include "app/ProgramCommands.h"

#include "app/frmQuillora.h"
#include "editor/BrowserWindow.h"
#include "editor/EditableDocument.h"
#include "editor/frmNotepad.h"
#include "wizards/Pictures.h"

namespace {

using Run = std::function<void(const CommandTarget&)>;

// A command of the browser window's own, run by the window whose menu ran it.
Run onBrowser(CommandId id) {
    return [id](const CommandTarget& target) {
        Q_ASSERT(target.browser);
        const bool known = target.browser->runCommand(id);
        Q_ASSERT(known);
        Q_UNUSED(known);
    };
}

// A command the browser module carries out, loading it first; nothing when it cannot be loaded
// (the user was told why).
Run withModule(std::function<void(BrowserModule&, const CommandTarget&)> run) {
    return [run = std::move(run)](const CommandTarget& target) {
        if (BrowserModule* module = target.host.browserModule())
            run(*module, target);
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
    bind(CommandId::OpenInBrowser, withModule([](BrowserModule& module, const CommandTarget& target) {
             module.openInBrowser(target.host, target.document->editable());
         }));
    bind(CommandId::PreviewBeside, withModule([](BrowserModule& module, const CommandTarget& target) {
             module.togglePreviewBeside(target.host, *target.document);
         }));
    bind(CommandId::Picture, [](const CommandTarget& target) {
        InsertPictureFromMenu(target.host, target.document->editable());
    });
    bind(CommandId::Close, orInBrowser(table[CommandId::Close].run,
                                       [](const CommandTarget& target) { target.browser->close(); }));
    // A browser window goes to the page itself; elsewhere a new browser window shows it.
    bind(CommandId::Update, orInBrowser(table[CommandId::Update].run, onBrowser(CommandId::Update)));
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
    bind(CommandId::Forward, onBrowser(CommandId::Forward));
    bind(CommandId::Back, onBrowser(CommandId::Back));
    bind(CommandId::Stop, onBrowser(CommandId::Stop));
    bind(CommandId::Reload, onBrowser(CommandId::Reload));
    bind(CommandId::OpenFile, onBrowser(CommandId::OpenFile));
    bind(CommandId::ViewSource, onBrowser(CommandId::ViewSource));
    bind(CommandId::Offline, onBrowser(CommandId::Offline));
}
