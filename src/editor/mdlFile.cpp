#include "editor/mdlFile.h"

#include "editor/DocumentHost.h"
#include "editor/DocumentSpelling.h"
#include "editor/FileWatch.h"
#include "editor/frmNotepad.h"
#include "markup/LineEndings.h"
#include "markup/TagCase.h"
#include "platform/Charsets.h"
#include "platform/Dialogs.h"
#include "platform/MdiWindows.h"
#include "platform/RichTextControl.h"
#include "platform/TextFile.h"
#include "platform/Version.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>

namespace {
// The hourglass while whole files are read or written.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

void showCritical(DocumentHost& host, const QString& text) {
    Dialogs::instance().message(host.dialogParent(), MessageBoxTitle(), text, Dialogs::Buttons::Ok,
                                Dialogs::Icon::Critical);
}

frmNotepad* showInFrame(DocumentHost& host, frmNotepad* window) {
    if (!window->mdiArea())
        host.mdiArea()->addSubWindow(window);
    PlaceNewWindow(host.mdiArea(), window);
    window->show();
    host.mdiArea()->setActiveSubWindow(window);
    // The new window is the current document even while the frame itself is not active.
    host.documents().setCurrent(window->slot());
    host.documents().DocumentActive = !window->isMinimized();
    return window;
}
} // namespace

void FocusCurrentDocument(DocumentHost& host) {
    if (host.documents().DocumentCount > 0)
        if (frmNotepad* current = host.documents().current())
            current->txtRich->setFocus();
}

int AllocateDocumentSlot(DocumentHost& host) {
    DocumentTable& table = host.documents();
    int slot = 0;
    while (slot < table.slotCount() && !table.DocumentSlots[slot].Free)
        ++slot;
    if (slot == table.slotCount()) {
        table.Documents.emplace_back(nullptr);
        table.DocumentSlots.emplace_back();
    }
    Q_ASSERT(table.holds(slot));
    table.DocumentSlots[slot] = DocumentSlot{false, false, QString()};
    auto* window = new frmNotepad(host, slot);
    table.Documents[slot] = window;
    // Every new window's File menu lists the recent files, however the window came to be.
    host.refreshRecentMenus();
    return slot;
}

frmNotepad* NewDocument(DocumentHost& host) {
    const int slot = AllocateDocumentSlot(host);
    frmNotepad* window = host.documents().Documents[slot];
    window->setSlot(slot);

    LoadedText loaded;
    QString reason;
    // A template that cannot be read gives an empty document, as a missing one does.
    if (!readTextFile(host.programFolder() + QStringLiteral("/default.htm"), loaded, reason, Links::Refuse))
        loaded = LoadedText{};
    window->txtRich->setText(loaded.text);
    const int marker = window->txtRich->text().indexOf(kTemplateMarker);
    if (marker >= 0) {
        window->txtRich->select(marker, kTemplateMarker.size());
        window->txtRich->setSelText(QString());
    }

    const QString& newLine = host.settings().DefaultNewLN;
    if (newLine == QStringLiteral("\n"))
        window->setSaveFormat(SaveFormat::Unix);
    else if (newLine == QStringLiteral("\r"))
        window->setSaveFormat(SaveFormat::Mac);

    window->colorizeWhole();
    host.documents().setSaved(slot, QString());
    return showInFrame(host, window);
}

namespace {
// Puts a file's text into its window as an unmodified document: line breaks shown as CR LF and
// their format kept for saving, the tag conversion "DoOnOpen" asks for, the colours.
void showFileText(DocumentHost& host, frmNotepad* window, const QString& path, LoadedText& loaded) {
    window->setEncoding(loaded.encoding);
    QString text = std::move(loaded.text);
    if (const std::optional<SaveFormat> found = DetectLineBreaks(text)) {
        text = NormalizeToCrLf(std::move(text));
        window->setSaveFormat(*found);
    }

    // The tag conversions work on the text before it reaches the window, so the document opens
    // without unsaved changes.
    switch (host.settings().DoOnOpen) {
    case DoOnOpen::LowerTags:
        text = ::LowerTags(text);
        break;
    case DoOnOpen::RemoveTags:
        text = ::RemoveTags(text);
        break;
    case DoOnOpen::UpperTags:
        text = ::UpperTags(text);
        break;
    case DoOnOpen::SetDos:
        window->setSaveFormat(SaveFormat::Dos);
        break;
    case DoOnOpen::SetUnix:
        window->setSaveFormat(SaveFormat::Unix);
        break;
    case DoOnOpen::SetMac:
        window->setSaveFormat(SaveFormat::Mac);
        break;
    default:
        break;
    }

    window->txtRich->setSelColor(window->colorRoles().text);
    window->txtRich->setText(text);
    // Saved first: the file's kind says whether its spelling is checked.
    host.documents().setSaved(window->slot(), path);
    // Colouring and the spelling check both read the text as read, which is the document's with
    // CR LF breaks. Colouring lets its copy go before it paints, when memory peaks; the spelling
    // check keeps it until it has read it all. Colouring is skipped when the tags were removed:
    // there is nothing left to colour.
    DocumentSpelling* spelling = window->spelling();
    const bool checked = spelling && spelling->checking();
    if (host.settings().UseColors && host.settings().DoOnOpen != DoOnOpen::RemoveTags)
        window->colorizeWhole(checked ? text : std::move(text));
    if (checked)
        spelling->takeText(std::move(text));
    FileWatch::of(*window).track(path, loaded.stamp);
    window->setNotices(FileNotices(path, loaded.encoding));
}

void reportOpenFailure(DocumentHost& host, const QString& path, const QString& reason) {
    // A refusal is a whole sentence that names the file already; the system's reasons are not.
    showCritical(
        host,
        reason.startsWith(path)
            ? reason
            : QCoreApplication::translate("mdlFile", "An error occurred when opening file: %1").arg(path) +
                  QStringLiteral("\r\n\r\n") + reason);
}

// Replaces [start, start + length) of the document with `text` as one step, coloured, and keeps
// the cursor where it was in the text around.
void replaceInDocument(frmNotepad& window, int start, int length, const QString& text) {
    RichTextControl& control = *window.txtRich;
    const int cursor = control.selStart();
    control.select(start, length);
    window.ReplaceSelection(text);
    const int inserted = control.selStart() - start;
    if (window.usesColors())
        RecolorChange(control, window.colorRoles(), start, inserted, window.stateHooks());
    control.setSelStart(cursor <= start ? cursor : std::max(start + inserted, cursor + inserted - length));
}

// Files in which a character reference stands for the character itself.
bool takesCharacterReferences(const QString& path) {
    static const QStringList suffixes{
        QStringLiteral("htm"),   QStringLiteral("html"),  QStringLiteral("shtml"), QStringLiteral("shtm"),
        QStringLiteral("dhtml"), QStringLiteral("xhtml"), QStringLiteral("xht"),   QStringLiteral("xml"),
        QStringLiteral("php"),   QStringLiteral("php3"),  QStringLiteral("php4"),  QStringLiteral("php5"),
        QStringLiteral("phtml"), QStringLiteral("asp"),   QStringLiteral("aspx")};
    return suffixes.contains(QFileInfo(path).suffix().toLower());
}

// The encoding to save the document in. A file read with a single-byte table that now holds a
// character the table lacks is never written another way without a word: the user chooses UTF-8
// (the file's own declaration of its character set changed to match), character references, or
// not to save. Nothing when the save is cancelled.
std::optional<TextEncoding> encodingForSave(DocumentHost& host, frmNotepad& window, const QString& path) {
    const TextEncoding encoding = window.encoding();
    const QString text = window.txtRich->text();
    const std::optional<qsizetype> first = FirstUnencodable(text, encoding);
    if (!first)
        return encoding;
    const QString toUtf8 = QCoreApplication::translate("mdlFile", "Save as UTF-8");
    const QString toReferences = QCoreApplication::translate("mdlFile", "Use Character References");
    QStringList choices{toUtf8};
    if (takesCharacterReferences(path))
        choices << toReferences;
    choices << QCoreApplication::translate("mdlFile", "Cancel");
    const int at = static_cast<int>(*first);
    const QString question =
        QCoreApplication::translate(
            "mdlFile", "%1 cannot be saved as %2: it contains characters that encoding does not have "
                       "(first: %3 at line %4).")
            .arg(path, EncodingName(encoding), CodePointLabel(CodePointAt(text, at)))
            .arg(window.txtRich->lineFromChar(at) + 1);
    // Enter keeps the file's encoding where references can; nothing else of the file changes then.
    const int cancel = static_cast<int>(choices.size()) - 1;
    const QString& chosen =
        choices.at(Dialogs::instance().choose(host.dialogParent(), MessageBoxTitle(), question, choices,
                                              Dialogs::Icon::Warning, cancel - 1, cancel));
    if (chosen == toUtf8) {
        if (const std::optional<CharsetName> declared = CharsetDeclaration(text))
            replaceInDocument(window, static_cast<int>(declared->start), static_cast<int>(declared->length),
                              QStringLiteral("UTF-8"));
        return TextEncoding::Utf8;
    }
    if (chosen == toReferences) {
        // One step from the first such character to the last.
        const QString tail = text.mid(at);
        const QString referenced = WithCharacterReferences(tail, encoding);
        qsizetype same = 0;
        while (same < tail.size() &&
               tail.at(tail.size() - 1 - same) == referenced.at(referenced.size() - 1 - same))
            ++same;
        replaceInDocument(window, at, static_cast<int>(tail.size() - same),
                          referenced.left(referenced.size() - same));
        return encoding;
    }
    return std::nullopt;
}
} // namespace

QStringList FileNotices(const QString& path, TextEncoding encoding) {
    const QString name = QFileInfo(path).fileName();
    QStringList notices;
    if (IsSingleByte(encoding))
        notices << QCoreApplication::translate(
                       "mdlFile",
                       "%1 is not valid UTF-8: it was read as %2. Unchanged bytes are saved as they were.")
                       .arg(name, EncodingName(encoding));
    if (!IsWritableFile(path))
        notices << QCoreApplication::translate("mdlFile", "%1 is read-only: saving it needs Save As...")
                       .arg(name);
    return notices;
}

frmNotepad* OpenDocument(DocumentHost& host, const QString& path) {
    if (path.isEmpty())
        return nullptr;
    LoadedText loaded;
    QString reason;
    {
        BusyCursor busy;
        if (!readTextFile(path, loaded, reason)) {
            reportOpenFailure(host, path, reason);
            FocusCurrentDocument(host);
            return nullptr;
        }
    }
    BusyCursor busy;
    const int slot = AllocateDocumentSlot(host);
    frmNotepad* window = host.documents().Documents[slot];
    window->setSlot(slot);
    window->setWindowTitle(path);
    showInFrame(host, window);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    showFileText(host, window, path, loaded);
    return window;
}

bool ReloadDocument(DocumentHost& host, frmNotepad& window) {
    const QString path = host.documents().DocumentSlots[window.slot()].PathCaption;
    LoadedText loaded;
    QString reason;
    BusyCursor busy;
    if (!readTextFile(path, loaded, reason)) {
        reportOpenFailure(host, path, reason);
        return false;
    }
    const int cursor = window.txtRich->selStart();
    showFileText(host, &window, path, loaded);
    window.ClearAllUndo();
    window.txtRich->setSelStart(cursor);
    return true;
}

bool SaveDocument(DocumentHost& host, int slot, const QString& path) {
    Q_ASSERT(host.documents().holds(slot));
    frmNotepad* window = host.documents().Documents[slot];
    if (!window)
        return false;
    FileWatch& watch = FileWatch::of(*window);
    if (watch.replacedByLink(path)) {
        showCritical(host,
                     QCoreApplication::translate(
                         "mdlFile", "%1 was replaced by a link to %2 since it was opened; nothing was saved. "
                                    "Use Save As to choose where to save.")
                         .arg(path, QFileInfo(path).symLinkTarget()));
        return false;
    }
    if (!watch.confirmOverwrite(path))
        return false;
    // The document's own file is written where it is: a link is followed only where there was one
    // when it was opened, so a link put there meanwhile (even after the question above) is
    // replaced, not followed. A path of another file (Save As) is written as the user chose it.
    const bool ownFile = QFileInfo(path).absoluteFilePath() == watch.path();
    // Another file put in the opened one's place (the question above was answered Yes) is never
    // written into: it may be another name of one of the user's files, a hard link. A new file
    // takes the name instead, and the other file keeps its bytes.
    const bool otherFile = watch.replacedByOtherFile(path);
    const Links links = !ownFile || watch.wasLink(path) ? Links::Follow : Links::Refuse;

    const std::optional<TextEncoding> chosenEncoding = encodingForSave(host, *window, path);
    if (!chosenEncoding)
        return false;
    const TextEncoding encoding = *chosenEncoding;

    BusyCursor busy;
    const QString text = window->txtRich->text();
    const SaveFormat format = window->saveFormat();
    window->setSaveFormat(format);
    const QString converted = ConvertForSave(text, format);
    QString reason;
    FileStamp written;
    // A file written in place is copied beside the recovery journals first.
    if (!writeTextFile(path, converted, encoding, reason, &written, links,
                       otherFile ? QString() : host.programFolder() + QStringLiteral("/recovery"))) {
        showCritical(host,
                     QCoreApplication::translate("mdlFile", "The file could not be saved: %1").arg(path) +
                         QStringLiteral("\r\n\r\n") + reason);
        return false;
    }
    watch.track(path, written);
    window->setEncoding(encoding);
    window->setNotices(FileNotices(path, encoding));
    if (converted != text) {
        // The file was written in another line-break format: the text is painted afresh in the
        // current colours, and the cursor stays where it was.
        const int cursor = window->txtRich->selStart();
        ClearColors(*window->txtRich, window->colorRoles(), 0, 0, window->stateHooks());
        window->colorizeWhole();
        window->txtRich->setSelStart(cursor);
    }
    host.documents().setSaved(slot, path);
    emit window->saved();
    window->txtRich->setFocus();
    return true;
}

bool SaveCommand(DocumentHost& host, int slot) {
    Q_ASSERT(host.documents().holds(slot));
    const QString path = host.documents().DocumentSlots[slot].PathCaption;
    if (path.isEmpty())
        return SaveAsCommand(host, slot);
    if (!SaveDocument(host, slot, path))
        return false;
    host.addToRecent(path);
    return true;
}

bool SaveAsCommand(DocumentHost& host, int slot) {
    const QString path = ShowFileDialog(host, FileDialogAction::Save, true);
    if (path.isEmpty() || !SaveDocument(host, slot, path))
        return false;
    host.addToRecent(path);
    return true;
}

void ShowOpenDialog(DocumentHost& host) {
    const QString path = ShowFileDialog(host, FileDialogAction::Open, true);
    if (path.isEmpty())
        return;
    OpenDocument(host, path);
    host.addToRecent(path);
}

void EditDefaultTemplate(DocumentHost& host) {
    OpenDocument(host, host.programFolder() + QStringLiteral("/default.htm"));
}

QString DocumentSaveFilter(const QString& defaultFormat) {
    // The descriptions are translated where the file dialog shows them (qtNameFilters).
    return QStringLiteral("Default (*.") + defaultFormat + QStringLiteral(")|*.") + defaultFormat +
           QStringLiteral(
               "|ASP (*.asp)|*.asp|CGI (*.cgi)|*.cgi|Dynamic HTML (*.dhtml)|*.dhtml|"
               "Hypertext (*.htm)|*.htm|Hypertext (*.html)|*.html|Java (*.java)|*.java|"
               "JavaScript (*.js)|*.js|PHP (*.php3)|*.php3|PHP (*.phtml)|*.phtml|Perl (*.pl)|*.pl|"
               "Stylesheet (*.css)|*.css|SHTML (*.shtml)|*.shtml|Text (*.txt)|*.txt|XML (*.xml)|*.xml|"
               "All Files (*.*)|*.*");
}

QString DocumentOpenFilter() {
    return QStringLiteral(
        "All "
        "Formats|*.asp;*.cgi;*.dhtml;*.htm;*.html;*.java;*.js;*.php3;*.phtml;*.pl;*.css;*.shtml;*.txt;*.xml|"
        "ASP (*.asp)|*.asp|CGI (*.cgi)|*.cgi|Dynamic HTML (*.dhtml)|*.dhtml|Hypertext "
        "(*.htm;*.html)|*.htm;*.html|"
        "Java (*.java)|*.java|JavaScript (*.js)|*.js|PHP (*.php3,*.phtml)|*.php3;*.phtml|Perl (*.pl)|*.pl|"
        "Stylesheet (*.css)|*.css|SHTML (*.shtml)|*.shtml|Text (*.txt)|*.txt|XML (*.xml)|*.xml|"
        "All Files (*.*)|*.*");
}

QString ShowFileDialog(DocumentHost& host, FileDialogAction action, bool forDocument) {
    Dialogs::FileRequest request;
    request.folder = host.dialogFolder();
    request.filterIndex = 1;
    QString path;
    if (action == FileDialogAction::Save) {
        request.filter = forDocument ? DocumentSaveFilter(host.settings().DefaultFormat) : QString();
        request.defaultSuffix = host.settings().DefaultFormat;
        path = Dialogs::instance().saveFile(host.dialogParent(), request);
    } else {
        request.filter = forDocument ? DocumentOpenFilter() : QString();
        path = Dialogs::instance().openFile(host.dialogParent(), request);
    }
    if (!path.isEmpty() && host.settings().LastDir)
        host.setDialogFolder(QFileInfo(path).absolutePath());
    return path;
}
