#pragma once

#include "editor/HtmlCheckProcess.h"

#include <QDockWidget>
#include <QPointer>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class frmNotepad;
class frmQuillora;

// "Check HTML": the problems libtidy finds in a document, listed in a panel at the bottom of the
// main window. The check runs in a process of its own (HtmlCheckJob), so the editor stays
// responsive and a page that crashes the checker costs only the check; the results belong to the
// document they came from and go when it closes. A change to the text greys them, as their lines
// may no longer be where they were; saving the document checks it again.
class CheckPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit CheckPanel(frmQuillora& main);
    ~CheckPanel() override;

    // Checks the document's text as it stands (the file is not read, nothing is written).
    void check(frmNotepad& document);
    void cancel();
    bool running() const { return m_job.running(); }
    // Waits until a running check has ended (tests; the editor itself never waits for one).
    void waitForDone();
    frmNotepad* document() const { return m_document; }

    QTreeWidget* lstProblems = nullptr;
    QLabel* lblSummary = nullptr;
    QComboBox* cmbSeverity = nullptr;
    QCheckBox *chkHtml5 = nullptr, *chkAccessibility = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void finished(const std::vector<HtmlProblem>& problems, const QString& failure);
    void showProblems();
    void clear();
    void problemActivated(QTreeWidgetItem* item);
    void setBusy(bool busy);
    // The first change to the text after a check: the rows are greyed and the summary says so.
    void textChanged();
    void showStale();
    void documentSaved();

    frmQuillora& m_main;
    HtmlCheckJob m_job;
    QPointer<frmNotepad> m_document;
    std::vector<HtmlProblem> m_problems;
    bool m_busyCursor = false;
    bool m_stale = false;      // the text changed since the check began
    bool m_hasResults = false; // a check finished and its results are listed
    QMetaObject::Connection m_changes;
};
