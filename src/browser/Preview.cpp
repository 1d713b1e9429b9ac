#include "browser/Preview.h"

#include "editor/BrowserWindow.h"
#include "editor/DocumentHost.h"
#include "editor/EditableDocument.h"
#include "editor/mdlFile.h"
#include "markup/LineEndings.h"
#include "platform/Charsets.h"
#include "platform/Dialogs.h"
#include "platform/RichTextControl.h"
#include "platform/TextFile.h"
#include "platform/Version.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {
// The document that wrote the preview copy last, kept on the main window; on a document, that it
// removes the copy when it goes.
const char* const kPreviewWriter = "previewCopyWriter";
} // namespace

QString WritePreviewCopy(DocumentHost& host, EditableDocument& document) {
    const QString folder = host.programFolder() + QStringLiteral("/temp");
    const QString path = folder + QLatin1Char('/') + PreviewFileName(host.settings().DefaultFormat);
    QDir().mkpath(folder);
    const TextEncoding encoding = document.encoding();
    // The copy is read by the engine in the document's encoding: what that encoding lacks is
    // written as character references, which the page shows as the characters themselves.
    const QString text =
        WithCharacterReferences(ConvertForSave(document.text().text(), document.saveFormat()), encoding);
    QString reason;
    if (!writeTextFile(path, text, encoding, reason)) {
        Dialogs::instance().message(
            host.dialogParent(), MessageBoxTitle(),
            QCoreApplication::translate("Preview", "The file could not be saved: %1").arg(path) +
                QStringLiteral("\r\n\r\n") + reason,
            Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return QString();
    }
    // Unsaved text is the user's alone, and it goes with its document: the copy is removed when
    // the document that wrote it last closes (the program's end closes them all).
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QObject* keeper = host.dialogParent();
    keeper->setProperty(kPreviewWriter, QVariant::fromValue<QObject*>(&document));
    if (!document.property(kPreviewWriter).toBool()) {
        document.setProperty(kPreviewWriter, true);
        QObject::connect(&document, &QObject::destroyed, keeper, [keeper, path](QObject* gone) {
            if (keeper->property(kPreviewWriter).value<QObject*>() != gone)
                return;
            QFile::remove(path);
            keeper->setProperty(kPreviewWriter, QVariant());
        });
    }
    return path;
}

namespace {
// A never-saved document is shown from its copy in temp/, which then follows the text.
void previewUntitled(DocumentHost& host, EditableDocument& document) {
    const QString copy = WritePreviewCopy(host, document);
    if (copy.isEmpty())
        return;
    if (BrowserWindow* view = host.OpenBrowser(copy))
        view->followDocument(&document, copy, false);
}
} // namespace

void ViewDocument(DocumentHost& host, EditableDocument& document) {
    const PreviewTarget target = SelectionTarget(document.text().selText(), document.caption());
    if (target.kind == PreviewTarget::Nothing)
        return;
    if (target.kind == PreviewTarget::Address) {
        host.OpenBrowser(target.address);
        return;
    }
    // The path as the caption shows it while the window is not minimised.
    const QString path = document.savedPath();
    if (path.isEmpty()) {
        previewUntitled(host, document);
        return;
    }
    if (document.isModified()) {
        const Dialogs::Answer answer = Dialogs::instance().message(
            host.dialogParent(), MessageBoxTitle(),
            QCoreApplication::translate(
                "Preview", "The document has been changed. Would you like to save it before viewing it?"),
            Dialogs::Buttons::YesNo, Dialogs::Icon::Question);
        if (answer == Dialogs::Answer::Yes)
            SaveCommand(host, document.slot());
    }
    host.OpenBrowser(path);
}

void OpenInBrowser(DocumentHost& host, EditableDocument& document) {
    const QString path = document.savedPath();
    if (path.isEmpty()) {
        previewUntitled(host, document);
        return;
    }
    // Unsaved changes are shown at once, from memory.
    const bool modified = document.isModified();
    BrowserWindow* view = host.OpenBrowser(modified ? QString() : path);
    if (!view)
        return;
    if (modified)
        view->addToAddressList(path);
    view->followDocument(&document, path, modified);
}
