#pragma once

#include "editor/LinkCheck.h"

#include <QDockWidget>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class frmQuillora;

// "Check Links": the broken local references of the pages below a folder, listed in a panel at
// the bottom of the main window. The check runs on a thread of its own (LinkCheckJob), so the
// editor stays responsive; a new check replaces the results of the last. A row goes to its place:
// the page is opened (or its window brought up) with the reference selected.
class LinksPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit LinksPanel(frmQuillora& main);
    ~LinksPanel() override;

    void check(const QString& folder);
    void cancel();
    bool running() const { return m_job.running(); }
    // Waits until a running check has ended and its result is listed (tests; the editor never waits).
    void waitForDone();
    const LinkReport& report() const { return m_report; }

    QTreeWidget* lstLinks = nullptr;
    QComboBox* cmbLinksFilter = nullptr;
    QLabel* lblLinksSummary = nullptr;
    QProgressBar* prgLinks = nullptr;
    QPushButton* cmdCancelLinks = nullptr;

protected:
    // Esc stops a check running, else gives the keyboard back to the document.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void progressed(int done, int total);
    void finished(const LinkReport& report);
    void showProblems();
    void problemActivated(QTreeWidgetItem* item);
    void setBusy(bool busy);

    frmQuillora& m_main;
    LinkCheckJob m_job;
    LinkReport m_report;
    bool m_busyCursor = false;
};
