#pragma once

#include "editor/HtmlCheck.h"

#include <QDockWidget>
#include <QFutureWatcher>
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
// main window. The check runs in a worker thread, so the editor stays responsive; the results
// belong to the document they came from and go when it closes.
class CheckPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit CheckPanel(frmQuillora& main);
    ~CheckPanel() override;

    // Checks the document's text as it stands (the file is not read, nothing is written).
    void check(frmNotepad& document);
    void cancel();
    bool running() const { return m_watcher.isRunning(); }
    // Waits until a running check has ended (the thread is gone).
    void waitForDone();
    frmNotepad* document() const { return m_document; }

    QTreeWidget* lstProblems = nullptr;
    QLabel* lblSummary = nullptr;
    QComboBox* cmbSeverity = nullptr;
    QCheckBox *chkHtml5 = nullptr, *chkAccessibility = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void finished();
    void showProblems();
    void clear();
    void problemActivated(QTreeWidgetItem* item);
    void setBusy(bool busy);

    frmQuillora& m_main;
    QFutureWatcher<std::vector<HtmlProblem>> m_watcher;
    QPointer<frmNotepad> m_document;
    std::vector<HtmlProblem> m_problems;
    bool m_cancelled = false;
    bool m_busyCursor = false;
};
