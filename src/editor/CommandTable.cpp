#include "editor/CommandTable.h"

#include "editor/DocumentHost.h"
#include "editor/Spelling.h"
#include "editor/frmFind.h"
#include "editor/frmNotepad.h"
#include "editor/mdlFile.h"
#include "platform/Dialogs.h"
#include "platform/MdiWindows.h"

#include "platform/Version.h"
#include <QMdiArea>
#include <algorithm>

namespace {

using Run = std::function<void(const CommandTarget&)>;
using Id = CommandId;

// A command of the document window, run on the document whose menu was used.
Run onDocument(void (frmNotepad::*slot)()) {
    return [slot](const CommandTarget& target) {
        Q_ASSERT(target.document);
        (target.document->*slot)();
    };
}

// The Window menu. After a document window's command a document is the active window again,
// unless the windows were only lined up as icons.
Run arrange(WindowArrangement arrangement) {
    return [arrangement](const CommandTarget& target) {
        QMdiArea* area = target.host.mdiArea();
        ArrangeWindows(area, arrangement);
        if (target.document && arrangement != WindowArrangement::ArrangeIcons &&
            qobject_cast<frmNotepad*>(area->activeSubWindow()))
            target.host.documents().DocumentActive = true;
    };
}

// The save format items: the document is written in that format from now on, a change to save.
Run format(SaveFormat saveFormat) {
    return [saveFormat](const CommandTarget& target) {
        Q_ASSERT(target.document);
        target.document->chooseFormat(saveFormat);
    };
}

// Zooms the text of every document window by `step` points; 0 goes back to the font's own size.
Run zoom(int step) {
    return [step](const CommandTarget& target) {
        target.host.changeSettings([step](Settings& settings) {
            settings.Zoom = step == 0 ? 0 : std::clamp(settings.Zoom + step, kMinZoom, kMaxZoom);
        });
    };
}

QKeySequence keys(QKeyCombination combination) {
    return QKeySequence(combination);
}

} // namespace

CommandTable BuildCommandTable() {
    // The commands of the browser window, the wizards, the symbol table, Check HTML, About, "Open in
    // Browser" and "Picture..." act through the layers above the document window: the program binds
    // them (BindProgramCommands).
    CommandTable table;
    const auto set = [&table](Id id, Command command) { table.commands[size_t(id)] = std::move(command); };
    const auto separator = [&](Id id, const char* name) { set(id, {name, QString(), {}, {}}); };

    set(Id::New, {"mnuNew", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "New")), keys(Qt::CTRL | Qt::Key_N),
                  [](const CommandTarget& target) { NewDocument(target.host); }});
    set(Id::Open,
        {"mnuOpen", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Open...")), keys(Qt::CTRL | Qt::Key_O),
         [](const CommandTarget& target) { ShowOpenDialog(target.host); }});
    set(Id::Save, {"mnuSave", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Save")),
                   keys(Qt::CTRL | Qt::Key_S), onDocument(&frmNotepad::mnuSave_Click)});
    set(Id::SaveAs, {"mnuSaveAs",
                     QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Save As...")),
                     {},
                     onDocument(&frmNotepad::mnuSaveAs_Click)});
    set(Id::Close, {"mnuClose",
                    QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Close")),
                    {},
                    onDocument(&frmNotepad::mnuClose_Click)});
    set(Id::OpenInBrowser, {"mnuOpenInBrowser",
                            QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Open in Browser")),
                            keys(Qt::CTRL | Qt::Key_W),
                            {}});
    // Searching a folder and checking a site's links are the program's panels: it binds them.
    set(Id::FindInFiles, {"mnuFindInFiles",
                          QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Find in Files...")),
                          keys(Qt::CTRL | Qt::SHIFT | Qt::Key_F),
                          {}});
    set(Id::CheckLinks,
        {"mnuCheckLinks", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Check Links...")), {}, {}});
    // The preview beside the text comes from the browser layer: the program binds it.
    set(Id::PreviewBeside, {"mnuPreviewBeside",
                            QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Preview Beside")),
                            keys(Qt::CTRL | Qt::SHIFT | Qt::Key_W),
                            {},
                            true});
    set(Id::NewBrowser, {"mnuNewBrowser", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "New Browser")),
                         keys(Qt::CTRL | Qt::Key_B),
                         [](const CommandTarget& target) { target.host.OpenBrowser(QString()); }});
    set(Id::Print, {"mnuPrint",
                    QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Print")),
                    {},
                    onDocument(&frmNotepad::mnuPrint_Click)});
    set(Id::Exit,
        {"mnuExit", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Exit")), keys(Qt::CTRL | Qt::Key_Q),
         [](const CommandTarget& target) { target.host.exitProgram(); }});

    // The text control takes the keys it knows itself (Ctrl+Z, Ctrl+X, Ctrl+C, Ctrl+V, Ctrl+A, and Redo
    // as the desktop spells it) before any item, and its key handler acts on them once; the items'
    // shortcuts act on the others, and only in the document window (keysInWindow).
    set(Id::Undo, {"mnuUndo", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Undo")),
                   keys(Qt::CTRL | Qt::Key_Z), onDocument(&frmNotepad::mnuUndo_Click)});
    set(Id::Redo, {"mnuRedo", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Redo")),
                   keys(Qt::CTRL | Qt::Key_R), onDocument(&frmNotepad::mnuRedo_Click)});
    table.commands[size_t(Id::Redo)].alternatives = {keys(Qt::CTRL | Qt::Key_Y),
                                                     keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)};
    table.commands[size_t(Id::Undo)].startsDisabled = true;
    table.commands[size_t(Id::Redo)].startsDisabled = true;
    set(Id::Cut, {"mnuCut", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Cut")), keys(Qt::CTRL | Qt::Key_X),
                  onDocument(&frmNotepad::mnuCut_Click)});
    set(Id::Copy, {"mnuCopy", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Copy")),
                   keys(Qt::CTRL | Qt::Key_C), onDocument(&frmNotepad::mnuCopy_Click)});
    set(Id::Paste, {"mnuPaste", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Paste")),
                    keys(Qt::CTRL | Qt::Key_V), onDocument(&frmNotepad::mnuPaste_Click)});
    set(Id::Delete, {"mnuDelete",
                     QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Delete")),
                     {},
                     onDocument(&frmNotepad::mnuDelete_Click)});
    set(Id::Find,
        {"mnuFind", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Find...")), keys(Qt::CTRL | Qt::Key_F),
         [](const CommandTarget& target) { target.host.findDialog().showForCurrentDocument(); }});
    set(Id::FindNext, {"mnuFindNext", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Find Next")),
                       keys(Qt::Key_F3), onDocument(&frmNotepad::mnuFindNext_Click)});
    set(Id::SelectAll, {"mnuSelectAll", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Select All")),
                        keys(Qt::CTRL | Qt::Key_A), onDocument(&frmNotepad::mnuSelectAll_Click)});
    for (const Id id : {Id::Undo, Id::Redo, Id::Cut, Id::Copy, Id::Paste, Id::SelectAll})
        table.commands[size_t(id)].keysInWindow = true;
    set(Id::SelectElement,
        {"mnuSelectElement", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Select Element")),
         keys(Qt::CTRL | Qt::SHIFT | Qt::Key_A), onDocument(&frmNotepad::mnuSelectElement_Click)});
    set(Id::MatchTag, {"mnuMatchTag", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Go to Matching Tag")),
                       keys(Qt::CTRL | Qt::SHIFT | Qt::Key_M), onDocument(&frmNotepad::mnuMatchTag_Click)});
    set(Id::TimeDate, {"mnuTimeDate", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Time && Date")),
                       keys(Qt::Key_F4), onDocument(&frmNotepad::mnuTimeDate_Click)});

    set(Id::Body, {"mnuTBody", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Body-Builder...")), {}, {}});
    set(Id::Css, {"mnuTCSS", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "CSS...")), {}, {}});
    set(Id::Font, {"mnuTFont", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Font...")), {}, {}});
    set(Id::Forms, {"mnuTForms", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Forms...")), {}, {}});
    set(Id::Frames, {"mnuTFrames", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Frames...")), {}, {}});
    set(Id::Gradient, {"mnuTGradient", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Gradient...")), {}, {}});
    table.commands[size_t(Id::Gradient)].planned = true;
    set(Id::ImageMap, {"mnuTIsMap", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Image Map...")), {}, {}});
    set(Id::Compile, {"mnuTCompile", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Compile")),
                      keys(Qt::CTRL | Qt::Key_D), onDocument(&frmNotepad::mnuTCompile_Click)});
    set(Id::JavaScripts,
        {"mnuTJavaScripts", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "JavaScripts...")), {}, {}});
    table.commands[size_t(Id::JavaScripts)].planned = true;
    set(Id::Link, {"mnuTLink", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Link...")), {}, {}});
    set(Id::Lists, {"mnuTLists", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Lists...")), {}, {}});
    set(Id::Picture, {"mnuTPicture", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Picture...")), {}, {}});
    set(Id::Symbols, {"mnuSymbols", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Symbols...")), {}, {}});
    set(Id::Tables, {"mnuTTables", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Tables...")), {}, {}});
    set(Id::CheckHtml, {"mnuCheckHTML",
                        QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Check HTML")),
                        keys(Qt::SHIFT | Qt::Key_F2),
                        {}});
    // Underlines misspelt words as they are typed, in every document; without a dictionary it says
    // where dictionaries come from, and checks nothing.
    set(Id::Spelling,
        {"mnuSpelling", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Check Spelling")),
         keys(Qt::SHIFT | Qt::Key_F7),
         [](const CommandTarget& target) {
             DocumentHost& host = target.host;
             if (SpellingService* spelling = host.spelling())
                 spelling->refresh(); // a dictionary installed since
             host.changeSettings([](Settings& settings) { settings.SpellCheck = !settings.SpellCheck; });
             if (host.settings().SpellCheck && host.spelling() && !host.spelling()->hasDictionaries())
                 Dialogs::instance().message(host.dialogParent(), MessageBoxTitle(),
                                             MissingDictionaryMessage(), Dialogs::Buttons::Ok,
                                             Dialogs::Icon::Information);
         },
         true});
    // The list of a document's misspelt words is a panel of the program: it binds it.
    set(Id::SpellingList,
        {"mnuSpellingList", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Spelling List")), {}, {}});
    set(Id::DosFormat, {"mnuTDOSformat", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "DOS format")),
                        keys(Qt::Key_F11), format(SaveFormat::Dos), true});
    set(Id::UnixFormat, {"mnuTUNIXformat", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "UNIX format")),
                         keys(Qt::Key_F12), format(SaveFormat::Unix), true});
    set(Id::MacFormat, {"mnuTMACformat",
                        QStringLiteral(QT_TRANSLATE_NOOP("Commands", "MAC format")),
                        {},
                        format(SaveFormat::Mac),
                        true});
    set(Id::ExpandAbbr,
        {"mnuExpandAbbr", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Expand Abbreviation")),
         keys(Qt::CTRL | Qt::Key_E), onDocument(&frmNotepad::mnuExpandAbbr_Click)});
    set(Id::NextEditPoint,
        {"mnuNextEditPoint", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Next Edit Point")),
         keys(Qt::CTRL | Qt::ALT | Qt::Key_Right), onDocument(&frmNotepad::mnuNextEditPoint_Click)});
    set(Id::PreviousEditPoint,
        {"mnuPreviousEditPoint", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Previous Edit Point")),
         keys(Qt::CTRL | Qt::ALT | Qt::Key_Left), onDocument(&frmNotepad::mnuPreviousEditPoint_Click)});

    // Modal over the main and browser windows; from a document window it stays open beside the text.
    set(Id::Settings,
        {"mnuSettings", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Settings...")), keys(Qt::Key_F9),
         [](const CommandTarget& target) { target.host.showSettings(!target.document); }});
    set(Id::LineNumbers, {"mnuLineNumbers",
                          QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Line Numbers")),
                          {},
                          [](const CommandTarget& target) {
                              target.host.changeSettings(
                                  [](Settings& settings) { settings.LineNumbers = !settings.LineNumbers; });
                          },
                          true});
    set(Id::ZoomIn, {"mnuZoomIn", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Zoom In")),
                     keys(Qt::CTRL | Qt::Key_Plus), zoom(+1)});
    table.commands[size_t(Id::ZoomIn)].alternatives = {keys(Qt::CTRL | Qt::Key_Equal)};
    set(Id::ZoomOut, {"mnuZoomOut", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Zoom Out")),
                      keys(Qt::CTRL | Qt::Key_Minus), zoom(-1)});
    set(Id::ZoomReset, {"mnuZoomReset", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Reset Zoom")),
                        keys(Qt::CTRL | Qt::Key_0), zoom(0)});
    set(Id::Colorize, {"mnuColorize", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Colorize Document")),
                       keys(Qt::Key_F2), onDocument(&frmNotepad::mnuColorize_Click)});
    set(Id::RemoveColors, {"mnuRemoveColors",
                           QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Remove Colors")),
                           {},
                           onDocument(&frmNotepad::mnuRemoveColors_Click)});
    set(Id::Template, {"mnuTemplate",
                       QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Edit default template")),
                       {},
                       [](const CommandTarget& target) { EditDefaultTemplate(target.host); }});

    set(Id::Cascade, {"mnuCascade", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Cascade")),
                      keys(Qt::Key_F5), arrange(WindowArrangement::Cascade)});
    set(Id::TileHorizontal, {"mnuTileH", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Tile Horizontal")),
                             keys(Qt::Key_F6), arrange(WindowArrangement::TileHorizontal)});
    set(Id::TileVertical, {"mnuTileV", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Tile Vertical")),
                           keys(Qt::Key_F7), arrange(WindowArrangement::TileVertical)});
    set(Id::ArrangeIcons, {"mnuArrangeI", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Arrange Icons")),
                           keys(Qt::Key_F8), arrange(WindowArrangement::ArrangeIcons)});

    set(Id::Help,
        {"mnuHelp", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Help")), keys(Qt::Key_F1),
         [](const CommandTarget& target) {
             target.host.OpenBrowser(target.host.programFolder() + QStringLiteral("/help/index.htm"));
         }});
    set(Id::Update, {"mnuUpdate",
                     QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Check for update...")),
                     {},
                     [](const CommandTarget& target) {
                         target.host.OpenBrowser(UpdatePageAddress(target.host.programFolder()));
                     }});
    set(Id::About, {"mnuAboutQL", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "About Quillora")), {}, {}});

    set(Id::Forward, {"mnuForward", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Forward")), {}, {}});
    set(Id::Back, {"mnuBack",
                   QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Back")),
                   keys(Qt::ALT | Qt::Key_Backspace),
                   {}});
    set(Id::Stop, {"mnuStop", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Stop")), {}, {}});
    set(Id::Reload, {"mnuReload",
                     QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Reload")),
                     keys(Qt::CTRL | Qt::Key_R),
                     {}});
    set(Id::OpenFile, {"mnuOpenFile",
                       QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Open File...")),
                       keys(Qt::CTRL | Qt::Key_W),
                       {}});
    set(Id::ViewSource, {"mnuViewSRC", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "View Source")), {}, {}});
    set(Id::Offline, {"mnuOffline", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Offline")), {}, {}, true});

    separator(Id::Separator1, "mnuSep1");
    separator(Id::Separator3, "mnuSep3");
    separator(Id::Separator4, "mnuSep4");
    separator(Id::Separator5, "mnuSep5");
    separator(Id::SeparatorHelp, "mnuSepHelp");

    const auto menu = [&table](MenuId id, const char* name, QString caption, QString mainCaption = {}) {
        table.menus[size_t(id)] = {name, std::move(caption), std::move(mainCaption)};
    };
    menu(MenuId::File, "mnuFile", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "File")),
         QStringLiteral(QT_TRANSLATE_NOOP("Commands", "&File")));
    menu(MenuId::Edit, "mnuEdit", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Edit")));
    menu(MenuId::Tools, "mnuTools", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Tools")));
    menu(MenuId::Java, "mnuTJava", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Java")));
    menu(MenuId::Options, "mnuOptions", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Options")));
    menu(MenuId::Window, "mnuWindow", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Window")));
    menu(MenuId::Info, "mnuInfo", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "?")));
    menu(MenuId::Browser, "mnuBrowser", QStringLiteral(QT_TRANSLATE_NOOP("Commands", "Browser")));

    const MenuLayout info{MenuId::Info, {Id::Help, Id::Update, Id::SeparatorHelp, Id::About}};
    const MenuLayout window{MenuId::Window,
                            {Id::Cascade, Id::TileHorizontal, Id::TileVertical, Id::ArrangeIcons}};
    table.layouts[size_t(MenuScope::Main)] = {
        {MenuId::File,
         {Id::New, Id::Open, Id::NewBrowser, Id::FindInFiles, Id::CheckLinks, Id::Separator1, Id::Exit}},
        {MenuId::Options, {Id::Settings, Id::Template}},
        info};
    table.layouts[size_t(MenuScope::Document)] = {
        {MenuId::File,
         {Id::New, Id::Open, Id::Save, Id::SaveAs, Id::Close, Id::OpenInBrowser, Id::NewBrowser, Id::Print,
          Id::Separator1, Id::Exit}},
        {MenuId::Edit,
         {Id::Undo, Id::Redo, Id::Cut, Id::Copy, Id::Paste, Id::Delete, Id::Separator3, Id::Find,
          Id::FindNext, Id::FindInFiles, Id::Separator4, Id::SelectAll, Id::SelectElement, Id::MatchTag,
          Id::TimeDate}},
        {MenuId::Tools, {Id::Body,          Id::Css,
                         Id::Font,          Id::Forms,
                         Id::Frames,        Id::Gradient,
                         Id::ImageMap,      MenuId::Java,
                         Id::JavaScripts,   Id::Link,
                         Id::Lists,         Id::Picture,
                         Id::Symbols,       Id::Tables,
                         Id::CheckHtml,     Id::Spelling,
                         Id::SpellingList,  Id::PreviewBeside,
                         Id::CheckLinks,    Id::ExpandAbbr,
                         Id::NextEditPoint, Id::PreviousEditPoint,
                         Id::Separator5,    Id::DosFormat,
                         Id::UnixFormat,    Id::MacFormat}},
        {MenuId::Java, {Id::Compile}},
        {MenuId::Options,
         {Id::Settings, Id::LineNumbers, Id::ZoomIn, Id::ZoomOut, Id::ZoomReset, Id::Colorize,
          Id::RemoveColors, Id::Template}},
        window,
        info};
    table.layouts[size_t(MenuScope::Browser)] = {
        {MenuId::File, {Id::New, Id::Open, Id::NewBrowser, Id::Close, Id::Separator1, Id::Exit}},
        {MenuId::Browser,
         {Id::Forward, Id::Back, Id::Stop, Id::Reload, Id::Separator3, Id::OpenFile, Id::ViewSource,
          Id::Separator4, Id::Offline}},
        {MenuId::Options, {Id::Settings}},
        window,
        info};
    table.deriveNeeds();
    return table;
}
