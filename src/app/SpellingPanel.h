#pragma once

#include <QDockWidget>
#include <QPointer>
#include <QTimer>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class SpellDictionary;
class frmNotepad;
class frmQuillora;

// "Spelling List": every misspelt word of one document, with how often and where it stands, in a
// panel at the bottom of the main window. The list follows the document: it is kept checked while
// listed (underlined as typed or not), and the rows are made again a moment after it changes. Enter
// on a row selects the word's next place after the cursor; Replace puts the chosen suggestion (or
// what is typed in its box) in place of all of them, as one undo step.
class SpellingPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit SpellingPanel(frmQuillora& main);
    ~SpellingPanel() override;

    // Lists the misspelt words of `document`.
    void list(frmNotepad& document);
    frmNotepad* document() const { return m_document; }
    // Checks the rest of the document now and lists all (tests; the editor never waits).
    void listAll();

    QTreeWidget* lstSpelling = nullptr;
    QComboBox* cmbSuggestions = nullptr;
    QPushButton* cmdReplace = nullptr;
    QLabel* lblSpelling = nullptr;

protected:
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Entry {
        QString word;
        std::vector<std::pair<int, int>> places;
        SpellDictionary* dictionary = nullptr;
    };

    void release();
    void refresh();
    void wordChosen();
    void nextPlace(QTreeWidgetItem* item);
    void replace();
    // The places of `word` the check marks now.
    std::vector<std::pair<int, int>> placesOf(const QString& word) const;
    const Entry* currentEntry() const;

    frmQuillora& m_main;
    QPointer<frmNotepad> m_document;
    std::vector<Entry> m_entries;
    QTimer m_refresh;
};
