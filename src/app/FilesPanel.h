#pragma once

#include "editor/FileSearch.h"
#include "editor/frmFindInFiles.h"

#include <QDockWidget>
#include <QPointer>
#include <deque>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class frmNotepad;
class frmQuillora;

// "Find in Files": its dialog, and its results in a panel at the bottom of the main window. The
// search runs in a thread of its own (FileSearchJob) and the matches are listed as they come,
// grouped by file, one row each with its line, column and the line's text (the match in bold).
// Enter or a double click on a row opens the file, or goes to its window, with the match selected.
// Each run replaces the results of the last.
//
// Replace All searches the same way, asks with the count of each file, then changes the documents
// open in windows (one undo step each, left unsaved) and writes the closed files in the thread,
// and tells which files changed and which could not be, and why.
class FilesPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit FilesPanel(frmQuillora& main);
    ~FilesPanel() override;

    // The dialog (made when first asked for), shown for `from`.
    void showDialog(frmNotepad* from);
    frmFindInFiles* dialog() const { return m_dialog; }

    void findAll(const FilesQuery& query);
    void replaceAll(const FilesQuery& query);
    // Stops a search (its results so far stay listed); writing stops after the file it is at.
    void cancel();
    bool running() const { return m_phase != Phase::Idle; }
    // Running, or adding the rows of the last results to the list.
    bool busy() const { return running() || m_rowsScheduled; }
    // Waits until the run, and the writing of a Replace All, have ended and every row is listed
    // (tests and benchmarks).
    void waitForDone();

    // The results of the last run, file by file.
    const std::vector<FileResult>& results() const { return m_results; }
    const std::vector<SkippedFile>& skippedFiles() const { return m_skipped; }

    QTreeWidget* lstFileResults = nullptr;
    QLabel* lblFilesSummary = nullptr;
    QProgressBar* prgFiles = nullptr;
    QPushButton* cmdCancelFiles = nullptr;

    // Roles of a row: the file's index in results(), the match's index in its file (-1 on the
    // file's own row, -2 on the rows of skipped files), and where the match lies in the row's text.
    static constexpr int kFileRole = Qt::UserRole;
    static constexpr int kMatchRole = Qt::UserRole + 1;
    static constexpr int kMarkStartRole = Qt::UserRole + 2;
    static constexpr int kMarkLengthRole = Qt::UserRole + 3;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Phase { Idle, Searching, Writing };

    void start(const FilesQuery& query, bool replacing);
    void listing(qsizetype files);
    void progress(qsizetype done, qsizetype total, qsizetype searched);
    void found(const std::vector<FileResult>& results);
    // Adds the rows of the matches not listed yet, a slice at a time.
    void listRows();
    void skipped(const std::vector<SkippedFile>& files);
    void searchFinished();
    void confirmReplace();
    void writeFinished();
    void report();
    void setPhase(Phase phase);
    void showSummary(const QString& prefix = QString());
    void resultActivated(QTreeWidgetItem* item);
    // The file's path from the searched folder.
    QString shown(const QString& path) const;

    frmQuillora& m_main;
    QPointer<frmFindInFiles> m_dialog;
    FileSearchJob m_job;
    Phase m_phase = Phase::Idle;
    bool m_replacing = false; // the search of a Replace All
    FilesQuery m_query;
    std::vector<FileResult> m_results;
    std::vector<SkippedFile> m_skipped;
    qsizetype m_matches = 0;
    qsizetype m_searched = 0; // files searched, not skipped
    // Replace All: what became of each file, and how many were left to the thread to write.
    std::vector<ReplaceOutcome> m_outcomes;
    qsizetype m_toWrite = 0;
    qsizetype m_fromThread = 0;
    QTreeWidgetItem* m_skippedRow = nullptr;
    // Each file's row, and the files whose match rows are still to be added (from which match on).
    std::vector<QTreeWidgetItem*> m_groups;
    std::deque<std::pair<int, int>> m_unlisted;
    bool m_rowsScheduled = false;
    int m_run = 0; // the run the list shows
    bool m_busyCursor = false;
};
