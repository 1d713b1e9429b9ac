#pragma once

#include <QDialog>
#include <QPointer>
#include <vector>

class DocumentHost;
struct SearchOptions;
class RichTextControl;
class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;
class QRadioButton;
class frmNotepad;

// "Find & Replace": one instance, owned by the main window, shown without blocking the documents.
// It searches the current document or the documents chosen in its list, replaces the match
// selected, or replaces everything; its two combo boxes remember the texts used, in "finds.txt"
// and "replaces.txt" in the program folder.
class frmFind : public QDialog {
    Q_OBJECT
public:
    explicit frmFind(DocumentHost& host, QWidget* parent);
    ~frmFind() override;

    // "Find...": a new search, the open documents listed (those picked before still picked; with
    // none picked, searching the picked documents is turned off), the current document's
    // selection taken as the find text (or as the stretch to search when it is long); then shown.
    void showForCurrentDocument();
    // "Find Next" in `text`: the selection, or the find box's text when nothing is selected, searched
    // from just after the selection's start to the end and then once more from the start; with
    // neither, the dialog is shown.
    void findNextIn(RichTextControl& text);
    // Appends a text to a combo's list unless an entry equals it exactly.
    static void addToHistory(QComboBox* combo, const QString& text);

    QComboBox *cmbFind = nullptr, *cmbReplace = nullptr;
    QCheckBox *chkCase = nullptr, *chkSelectedText = nullptr, *chkDocuments = nullptr,
              *chkReplaceAll = nullptr;
    // Kept in the settings from one run to the next.
    QCheckBox *chkRegex = nullptr, *chkWholeWord = nullptr;
    QRadioButton *optDown = nullptr, *optUp = nullptr;
    QRadioButton *optBeginning = nullptr, *optCurrent = nullptr, *optEnd = nullptr;
    QListWidget* lstDocuments = nullptr;
    QPushButton *cmdFind = nullptr, *cmdReplace = nullptr, *cmdClose = nullptr;

public slots:
    void cmdFind_Click();
    void cmdReplace_Click();
    // Hides the dialog; the histories are written.
    void cmdClose_Click();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void reject() override;
    // Minimising the main window takes the dialog with it; restoring brings it back.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void updateButtons();
    void restart();
    // Match case, regular expression and whole word as the boxes are ticked.
    SearchOptions boxOptions() const;
    // Starts a new search from the dialog's choices in `document`; false when it cannot start.
    bool beginSearch(frmNotepad* document);
    // Sets the search to run through a further document from its start (its end, upward); false
    // when searching in selected text and that document has none.
    bool startInDocument(frmNotepad* document);
    // The documents to search, in list order, those closed meanwhile left out.
    std::vector<QPointer<frmNotepad>> documentsToSearch() const;
    // Counts the matches in `documents`, asks whether to replace them, and replaces them: each
    // document's change is one undo step.
    void replaceAll(const std::vector<QPointer<frmNotepad>>& documents);
    void writeHistories() const;
    void inform(const QString& text);

    DocumentHost& m_host;
    // The windows listed in lstDocuments, row by row.
    std::vector<QPointer<frmNotepad>> m_listed;
    // Where the last match was found: the search goes on there.
    QPointer<frmNotepad> m_matchDocument;
    bool m_hiddenWithMain = false;
};
