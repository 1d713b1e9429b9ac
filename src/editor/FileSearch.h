#pragma once

// Searching the files of a folder, and replacing in them: the plain procedures (listing the files,
// searching one file, replacing in one closed file) and the job that runs them in a thread of its
// own, handing its results to the interface in batches.

#include "markup/FileMatches.h"
#include "markup/SearchPattern.h"
#include "platform/TextFile.h"

#include <QObject>
#include <QRegularExpression>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

// The names a folder search takes: wildcard patterns ("*.htm", "page?.*") separated by ";",
// compared without regard to case (a site's "INDEX.HTM" is one of its pages). No patterns take every
// file.
class FileNameFilter {
public:
    explicit FileNameFilter(const QString& patterns);
    bool matches(const QString& name) const;

private:
    QRegularExpression m_names;
    bool m_all = false;
};

// A file the search passed over, and why, in a sentence that names it.
struct SkippedFile {
    QString path;
    QString reason;
};

// A file to search: its path as reached, and the file itself (the same file reached by two names,
// links or hard links, is listed once).
struct ListedFile {
    QString path;
    quint64 device = 0;
    quint64 inode = 0;
};

struct FolderListing {
    std::vector<ListedFile> files;
    // What cannot be searched: files that are no regular files (named pipes, sockets, devices),
    // links that lead back into their own folders or to themselves, links to nothing, folders that
    // cannot be read.
    std::vector<SkippedFile> skipped;
    // Why there is no listing at all ("" when there is one).
    QString failure;
};

// The files below `folder` whose names `filter` takes, every folder's files by name and then its
// folders. Folders whose names begin with "." are left out unless `hiddenFolders`. Links are
// followed, to files and to folders, but each file and folder is listed once, and a link back to
// a folder above it is skipped as a loop. Nothing is opened but folders: a named pipe never blocks
// the listing. `cancel`, when set, stops it early; `listed` is told the number listed so far now
// and then.
FolderListing ListFolderFiles(const QString& folder, const FileNameFilter& filter, bool hiddenFolders,
                              const std::atomic<bool>* cancel = nullptr,
                              const std::function<void(qsizetype)>& listed = {});

// The matches in one file.
struct FileResult {
    QString path;
    qsizetype count = 0;            // every match
    std::vector<LineMatch> matches; // the first of them, as many as the search lists
    // The bytes searched, to tell whether the file changed before it is written (a file searched in
    // its window, or without matches, has none).
    FileStamp stamp;
    bool fromWindow = false; // the text of its document window was searched, not the file
};

// A find text and its options as files are searched.
class FilesPattern : public SearchPattern {
public:
    FilesPattern(const QString& find, const SearchOptions& options);
    // Whether a text whose line breaks are all LF is searched as it is: a plain find text without
    // line breaks finds the same there as in the CR LF form, at the same lines and columns, and
    // the copy is spared. Patterns always see the text as a document holds it.
    bool searchesLfText() const { return m_lfText; }

private:
    bool m_lfText;
};

// The text of the file at `path` as opening it reads it (see readTextFile: its encoding, reserved
// characters hidden), and its bytes; without what only a document needs (the estimate of its
// memory, the file's stamp). Only a regular text file within the size limit is read; anything
// else (binary data, a file too large, a named pipe) is refused with `reason`, a sentence naming
// the file.
bool ReadTextForSearch(const QString& path, QString& text, QByteArray& bytes, QString& reason);

// Searches the file at `path` as opening it reads it (its encoding, its line breaks made CR LF):
// only a regular text file within the size limit is read; anything else (binary data, a file too
// large) is refused with `reason`, a sentence naming the file. At most `limit` matches are placed.
bool SearchFile(const QString& path, const FilesPattern& pattern, qsizetype limit, FileResult& result,
                QString& reason);

struct ReplaceOutcome {
    QString path;
    int count = 0;
    bool changed = false;
    bool inWindow = false; // changed in its document window, not written
    QString failure;       // a sentence naming the file, when it was not changed
};

// Replace All in a closed file: read as opening it reads it, the matches replaced, and written
// back atomically in its own encoding and with its own line breaks (only the matches change), its
// permissions kept. When its bytes are no longer those `searched` recorded, it is left alone: the
// user confirmed the replacements found then. Text its encoding cannot hold fails with the reason.
// A file with several names is written in place after a copy in `backupFolder` (see writeTextFile).
ReplaceOutcome ReplaceInFile(const QString& path, const FileStamp& searched, const SearchPattern& pattern,
                             const QString& replacement, const QString& backupFolder);

// Results placed in a run, at most: the count of every file is complete beyond it.
constexpr qsizetype kMaxListedMatches = 50000;

// A document open in a window: its text is searched in place of its file.
struct OpenDocumentText {
    QString path;
    QString text;
};

struct FileSearchRequest {
    QString folder;
    QString filter;
    bool hiddenFolders = false;
    QString find;
    SearchOptions options;
    std::vector<OpenDocumentText> openDocuments;
    qsizetype listLimit = kMaxListedMatches;
};

struct FileReplaceRequest {
    std::vector<std::pair<QString, FileStamp>> files; // each with its state when searched
    QString find;
    SearchOptions options;
    QString replacement;
    QString backupFolder;
};

// Runs a search, or the writing of Replace All, in a thread of its own. Results come through the
// event loop in batches, each a few dozen milliseconds of work, and the next batch waits for the
// interface to take the last one: the interface never has a backlog to work through. finished()
// ends each run that was not cancelled. Cancelling stops the thread at the next file; nothing of
// that run is delivered after it. Stopping ends it at the next file too, but what it did is still
// delivered, and finished() comes. Destroying the job cancels it and waits for its thread.
class FileSearchJob : public QObject {
    Q_OBJECT
public:
    explicit FileSearchJob(QObject* parent = nullptr);
    ~FileSearchJob() override;

    void search(FileSearchRequest request);
    void replace(FileReplaceRequest request);
    void cancel();
    void stop();
    bool running() const { return m_running; }
    // Waits until the thread has ended and delivers what it left (tests and benchmarks).
    void waitForDone();

signals:
    // While the folder is listed: the files found so far.
    void listing(qsizetype files);
    // `done` of `total` files: of those, `searched` could be searched (the others were skipped).
    void progress(qsizetype done, qsizetype total, qsizetype searched);
    void found(const std::vector<FileResult>& results);
    void skipped(const std::vector<SkippedFile>& files);
    void replaced(const std::vector<ReplaceOutcome>& outcomes);
    void finished();

private:
    struct Run;
    void start(std::function<void(Run&)> work);
    void join();

    std::thread m_thread;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    // Batches handed over and not yet taken.
    std::shared_ptr<std::atomic<int>> m_inFlight;
    int m_run = 0;
    bool m_running = false;
};
