#pragma once

#include "editor/Colorizer.h"
#include "editor/Commands.h"
#include "editor/RecentMenu.h"
#include "editor/ThemeColors.h"
#include "editor/UndoHistory.h"
#include "markup/LineEndings.h"
#include "platform/Dialogs.h"
#include "platform/TextFile.h"

#include <QList>
#include <QMdiSubWindow>
#include <memory>

class DocumentHost;
class DocumentSpelling;
class QAction;
class EditableDocument;
class NoticeBar;
class QLabel;
class QMenu;
class QSplitter;
class QToolButton;
class RichTextControl;
struct TextEdit;

// A document window: one text control holding one document, its menus, its slot in the
// program-wide table, the unsaved-changes mark and the question on closing.
class frmNotepad : public QMdiSubWindow {
    Q_OBJECT
public:
    frmNotepad(DocumentHost& host, int slot);
    // Stops the caption from following the window's state: the window base class reports a last
    // state change while it is destroyed, when this document and possibly the host are gone.
    ~frmNotepad() override;

    RichTextControl* txtRich = nullptr;
    // The text (with the notice bar) and, while it is shown, the preview beside it.
    QSplitter* splPreview = nullptr;
    // Puts `pane` beside the text, half and half, or with null removes the one shown (it is
    // deleted). The Preview Beside item is checked while a pane is shown.
    void setPreviewPane(QWidget* pane);
    QWidget* previewPane() const;
    // Notices about the document's file, above the text: not valid UTF-8, read-only.
    NoticeBar* barNotice = nullptr;

    int slot() const;
    // Writes the slot number into the window's and the control's tag.
    void setSlot(int slot);

    // How the document is written, kept in its slot's record.
    SaveFormat saveFormat() const;
    void setSaveFormat(SaveFormat format);
    // A format chosen from the Tools menu: set, and the document marked changed.
    void chooseFormat(SaveFormat format);
    TextEncoding encoding() const;
    void setEncoding(TextEncoding encoding);

    // The menus this window puts in the main window's menu bar while it is active.
    QList<QMenu*> menus() const;
    RecentMenu& recentMenu() { return m_recent; }
    // Shows these notices in the bar above the text, one a line, or hides the bar when there are
    // none. A notice the user closed stays closed. The bar never takes the focus from the text.
    void setNotices(const QStringList& notices);
    // "Save changes to [caption] ?" with Yes, No and Cancel.
    Dialogs::Answer askToSave();
    // Closes the window without the question: its answer was given already (at Exit).
    void closeAnswered();
    // Marks the document changed: Modified, "*" on the caption and on a saved path.
    void markModified();
    // The window's state changed: the caption follows (see updateCaption), and whether a document
    // is the active window.
    void showCaption();
    // The caption from the document's state: "Untitled [slot]" or the path (the file name alone
    // while the window is minimised), with "*" while it has unsaved changes.
    void updateCaption();

    DocumentHost& host() const { return m_host; }
    // The document as the wizards and the tag commands edit it.
    EditableDocument& editable() const { return *m_editable; }
    // Shows the text as the settings say: font with zoom, tab stops, line numbers, current line.
    // Changes no character of the document and leaves its unsaved-changes mark as it was.
    void applyViewSettings();
    // Whether the documents are shown in colours ("UseColors").
    bool usesColors() const;
    // The spelling of the text as it is typed; null where the program checks no spelling.
    DocumentSpelling* spelling() const { return m_spelling.get(); }

    // The colours of the settings as the palette in use shows them (see ShownColors), and the hooks
    // that keep colouring from marking the document.
    DocumentColors shownColors() const;
    ColorRoles colorRoles() const;
    // After a switch of the application's palette: the background, and the text in the role colours
    // shown before, take the colours shown now. Characters painted in other colours keep them, and
    // the unsaved-changes mark stays as it was.
    void applyPaletteColors();
    DocumentStateHooks stateHooks();
    // Colours the whole text when colours are in use.
    void colorizeWhole();
    // The same, given the whole text as the control holds it (CR LF breaks), which it lets go.
    void colorizeWhole(QString text);
    // Paints the selection in one colour without marking the document changed.
    void paintSelection(ColorValue color);

    // Puts generated markup into the document in place of the selection, coloured.
    void InsertAtCursor(const QString& markup);
    // Replaces the selection with `text` as one recorded step, not recoloured; returns where it went.
    int ReplaceSelection(const QString& text);

    // The last ten changes. Every command records its step before it changes the text.
    void AddUndo(const QString& oldText, const QString& newText, int position);
    void ClearAllUndo();
    UndoHistory& undoHistory() { return *m_history; }
    // The Go To dialog over the main window, for this document.
    void goTo();

    // The items whose state is this document's: Undo and Redo enabled as its history allows, the
    // save format checked.
    QAction *mnuUndo = nullptr, *mnuRedo = nullptr;
    QAction *mnuTDOSformat = nullptr, *mnuTUNIXformat = nullptr, *mnuTMACformat = nullptr;
    // The window's item of a command.
    QAction* action(CommandId id) const;

public slots:
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void mnuClose_Click();
    void mnuUndo_Click();
    void mnuRedo_Click();
    void mnuFindNext_Click();
    void mnuCut_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();
    void mnuDelete_Click();
    void mnuSelectAll_Click();
    void mnuTimeDate_Click();
    void mnuPrint_Click();
    void mnuTCompile_Click();
    void mnuColorize_Click();
    void mnuRemoveColors_Click();
    // Moves the cursor to the partner of the tag (or bracket) it is in.
    void mnuMatchTag_Click();
    // Selects the element around the selection, one level wider on each repeat.
    void mnuSelectElement_Click();
    // Expands the abbreviation that ends at the cursor; the cursor goes to its first empty place.
    void mnuExpandAbbr_Click();
    // Moves the cursor to the next or previous empty place (value, element or line).
    void mnuNextEditPoint_Click();
    void mnuPreviousEditPoint_Click();

signals:
    // The document was written to its file.
    void saved();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void txtRich_Change();
    void txtRich_KeyDown(int& keyCode, int shift);
    void txtRich_KeyPress(int& charCode);
    void txtRich_Edited(const TextEdit& edit);
    // Colours [start, start + length) after an insertion: recoloured with colours on, cleared without.
    void colorInserted(int start, int length);
    void completeTagName();
    void pasteFromKeyboard();
    void fillWindowList();
    // Checks and disables the format's menu item, unchecks and enables the two others.
    void showSaveFormat();
    // The control's background and text colour (which the cursor is drawn in) from `colors`, which
    // new text is given from now on.
    void showColors(const DocumentColors& colors);
    // What the spelling check reads of the document: its kind by its path, and the settings.
    void configureSpelling();

    DocumentHost& m_host;
    RecentMenu m_recent;
    bool m_answered = false; // closing without asking again
    QList<QAction*> m_windowListItems;
    std::unique_ptr<UndoHistory> m_history;
    std::unique_ptr<WindowMenus> m_menus;
    EditableDocument* m_editable = nullptr;
    DocumentColors m_shown; // the colours new text is given
    // Goes before the window's widgets, the text control among them, whose drawing it hooks into.
    std::unique_ptr<DocumentSpelling> m_spelling;
};
