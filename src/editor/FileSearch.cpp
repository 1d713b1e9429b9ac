#include "editor/FileSearch.h"

#include "markup/LineEndings.h"
#include "platform/Charsets.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStringDecoder>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <utility>

namespace {

using FileId = std::pair<quint64, quint64>; // device, inode

FileId idOf(const struct stat& status) {
    return {quint64(status.st_dev), quint64(status.st_ino)};
}

// What a file that is not a regular file is, for the sentence that says why it was not read.
QString kindOf(mode_t mode) {
    if (S_ISFIFO(mode))
        return QCoreApplication::translate("FileSearch", "a named pipe");
    if (S_ISSOCK(mode))
        return QCoreApplication::translate("FileSearch", "a socket");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QCoreApplication::translate("FileSearch", "a device");
    return QCoreApplication::translate("FileSearch", "not a regular file");
}

QString inFolder(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

class FolderWalk {
public:
    FolderWalk(const FileNameFilter& filter, bool hiddenFolders, const std::atomic<bool>* cancel,
               const std::function<void(qsizetype)>& listed, FolderListing& out)
        : m_filter(filter), m_hiddenFolders(hiddenFolders), m_cancel(cancel), m_listed(listed), m_out(out) {}

    void folder(const QString& path, const struct stat& status) {
        if (m_cancel && m_cancel->load(std::memory_order_relaxed))
            return;
        m_seenFolders.insert(idOf(status));
        m_ancestors.push_back(idOf(status));
        struct Entry {
            QString name;
            struct stat status;
        };
        std::vector<Entry> files, folders;
        if (DIR* dir = ::opendir(QFile::encodeName(path).constData())) {
            const int descriptor = ::dirfd(dir);
            while (const dirent* entry = ::readdir(dir)) {
                const char* native = entry->d_name;
                if (std::strcmp(native, ".") == 0 || std::strcmp(native, "..") == 0)
                    continue;
                const QString name = QFile::decodeName(native);
                const QString full = inFolder(path, name);
                // The entry itself first: stat() on a link that loops fails, and the reason differs.
                struct stat own {};
                if (::fstatat(descriptor, native, &own, AT_SYMLINK_NOFOLLOW) != 0)
                    continue; // gone meanwhile
                struct stat reached = own;
                if (S_ISLNK(own.st_mode) && ::fstatat(descriptor, native, &reached, 0) != 0) {
                    if (errno == ELOOP)
                        skip(full,
                             QCoreApplication::translate(
                                 "FileSearch", "%1 is a symbolic link that leads back to itself (a loop).")
                                 .arg(full));
                    else if (m_filter.matches(name))
                        skip(full, QCoreApplication::translate(
                                       "FileSearch", "%1 is a symbolic link to %2, which does not exist.")
                                       .arg(full, QFile::symLinkTarget(full)));
                    continue;
                }
                if (S_ISDIR(reached.st_mode)) {
                    if (m_hiddenFolders || !name.startsWith(QLatin1Char('.')))
                        folders.push_back({name, reached});
                } else if (m_filter.matches(name)) {
                    files.push_back({name, reached});
                }
            }
            ::closedir(dir);
        } else {
            skip(path, QCoreApplication::translate("FileSearch", "The folder %1 cannot be read: %2")
                           .arg(path, qt_error_string(errno)));
        }
        const auto byName = [](const Entry& a, const Entry& b) {
            const int order = QString::compare(a.name, b.name, Qt::CaseInsensitive);
            return order != 0 ? order < 0 : a.name < b.name;
        };
        std::sort(files.begin(), files.end(), byName);
        std::sort(folders.begin(), folders.end(), byName);
        for (const Entry& file : files) {
            const QString full = inFolder(path, file.name);
            if (!S_ISREG(file.status.st_mode)) {
                // Never opened: a named pipe would block the reader, a device might never end.
                skip(full, QCoreApplication::translate("FileSearch", "%1 is %2, not a text file.")
                               .arg(full, kindOf(file.status.st_mode)));
                continue;
            }
            // The same file by another name (a link, a hard link) is searched, and changed, once.
            if (!m_seenFiles.insert(idOf(file.status)).second)
                continue;
            m_out.files.push_back({full, quint64(file.status.st_dev), quint64(file.status.st_ino)});
            if (m_listed && m_out.files.size() % 256 == 0)
                m_listed(qsizetype(m_out.files.size()));
        }
        for (const Entry& sub : folders) {
            const QString full = inFolder(path, sub.name);
            const FileId id = idOf(sub.status);
            if (std::find(m_ancestors.begin(), m_ancestors.end(), id) != m_ancestors.end()) {
                skip(full, QCoreApplication::translate(
                               "FileSearch", "%1 is a symbolic link to a folder that contains it (a loop).")
                               .arg(full));
                continue;
            }
            // A folder reached again by a link beside it: its files are listed already.
            if (m_seenFolders.count(id))
                continue;
            folder(full, sub.status);
        }
        m_ancestors.pop_back();
    }

    // A folder above the one listed.
    void addAncestor(const struct stat& status) { m_ancestors.push_back(idOf(status)); }

private:
    void skip(const QString& path, const QString& reason) { m_out.skipped.push_back({path, reason}); }

    const FileNameFilter& m_filter;
    const bool m_hiddenFolders;
    const std::atomic<bool>* m_cancel;
    const std::function<void(qsizetype)>& m_listed;
    FolderListing& m_out;
    std::set<FileId> m_seenFolders;
    std::set<FileId> m_seenFiles;
    std::vector<FileId> m_ancestors;
};

} // namespace

FileNameFilter::FileNameFilter(const QString& patterns) {
    QStringList names;
    for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        if (trimmed.isEmpty())
            continue;
        names << QRegularExpression::wildcardToRegularExpression(trimmed);
    }
    m_all = names.isEmpty();
    if (!m_all) {
        m_names.setPattern(names.join(QLatin1Char('|')));
        m_names.setPatternOptions(QRegularExpression::CaseInsensitiveOption);
        m_names.optimize();
    }
}

bool FileNameFilter::matches(const QString& name) const {
    return m_all || m_names.match(name).hasMatch();
}

FolderListing ListFolderFiles(const QString& folder, const FileNameFilter& filter, bool hiddenFolders,
                              const std::atomic<bool>* cancel, const std::function<void(qsizetype)>& listed) {
    FolderListing listing;
    struct stat status {};
    if (::stat(QFile::encodeName(folder).constData(), &status) != 0) {
        listing.failure = QCoreApplication::translate("FileSearch", "The folder %1 cannot be read: %2")
                              .arg(folder, qt_error_string(errno));
        return listing;
    }
    if (!S_ISDIR(status.st_mode)) {
        listing.failure = QCoreApplication::translate("FileSearch", "%1 is not a folder.").arg(folder);
        return listing;
    }
    QString root = folder;
    while (root.size() > 1 && root.endsWith(QLatin1Char('/')))
        root.chop(1);
    FolderWalk walk(filter, hiddenFolders, cancel, listed, listing);
    // A link back to a folder above the searched one is a loop too: it would search the folder
    // again from further up.
    for (QString above = QFileInfo(root).absolutePath();; above = QFileInfo(above).absolutePath()) {
        struct stat parent {};
        if (::stat(QFile::encodeName(above).constData(), &parent) == 0)
            walk.addAncestor(parent);
        if (above == QFileInfo(above).absolutePath())
            break; // the root of the file system
    }
    walk.folder(root, status);
    if (listed)
        listed(qsizetype(listing.files.size()));
    return listing;
}

namespace {
// A reason from the system names no file; a refusal is a sentence that does.
QString namingFile(const QString& path, const QString& reason) {
    return reason.startsWith(path) ? reason : path + QStringLiteral(": ") + reason;
}
} // namespace

FilesPattern::FilesPattern(const QString& find, const SearchOptions& options)
    : SearchPattern(find, options),
      m_lfText(!options.regex && !find.contains(u'\r') && !find.contains(u'\n')) {}

bool ReadTextForSearch(const QString& path, QString& text, QByteArray& bytes, QString& reason) {
    if (!ReadRegularFile(path, kMaxTextFileBytes, bytes, reason)) {
        reason = namingFile(path, reason);
        return false;
    }
    // Decoded as a file is decoded for opening.
    TextEncoding encoding = TextEncoding::Utf8;
    return DecodeTextFile(path, bytes, text, encoding, reason);
}

bool SearchFile(const QString& path, const FilesPattern& pattern, qsizetype limit, FileResult& result,
                QString& reason) {
    QString text;
    QByteArray bytes;
    if (!ReadTextForSearch(path, text, bytes, reason))
        return false;
    result.path = path;
    result.fromWindow = false;
    const bool asRead = pattern.searchesLfText() && !text.contains(u'\r');
    result.matches = FindLineMatches(asRead ? text : NormalizeToCrLf(text), pattern, limit, &result.count);
    // What Replace All checks before it writes the file: the bytes it was searched in.
    result.stamp = FileStamp{};
    if (result.count > 0) {
        result.stamp.exists = true;
        result.stamp.size = bytes.size();
        result.stamp.hash = ContentHash(bytes);
    }
    return true;
}

ReplaceOutcome ReplaceInFile(const QString& path, const FileStamp& searched, const SearchPattern& pattern,
                             const QString& replacement, const QString& backupFolder) {
    ReplaceOutcome outcome;
    outcome.path = path;
    LoadedText loaded;
    QString reason;
    if (!readTextFile(path, loaded, reason)) {
        outcome.failure = namingFile(path, reason);
        return outcome;
    }
    if (!searched.exists || loaded.stamp.size != searched.size || loaded.stamp.hash != searched.hash) {
        outcome.failure = QCoreApplication::translate(
                              "FileSearch", "%1 changed after it was searched; it was left as it is.")
                              .arg(path);
        return outcome;
    }
    // New line breaks (a "\n" in the replacement) take the file's own form; a file without any
    // takes the one it would be saved with after opening.
    const SaveFormat breaks = DetectLineBreaks(loaded.text).value_or(SaveFormat::Dos);
    const QString text = ReplaceKeepingBreaks(loaded.text, pattern, replacement, breaks, &outcome.count);
    if (text == loaded.text)
        return outcome; // every match replaced by itself: nothing to write
    if (!writeTextFile(path, text, loaded.encoding, reason, nullptr, Links::Follow, backupFolder)) {
        outcome.failure =
            QCoreApplication::translate("FileSearch", "%1 could not be written: %2").arg(path, reason);
        return outcome;
    }
    outcome.changed = true;
    return outcome;
}

namespace {
// How long the thread works before it hands over what it has, and at most how many results.
constexpr qint64 kBatchMs = 30;
constexpr qsizetype kBatchRows = 1500;
// Threads that read and search files at once: more only wait for the disk.
constexpr int kMostThreads = 4;
constexpr int kThreadNice = 5;

// The threads of a search give way to the interface's thread: it takes their results and answers
// the user in between, and a search that uses every core would keep it waiting.
void yieldToInterface() {
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), kThreadNice);
}
} // namespace

struct FileSearchJob::Run {
    FileSearchJob* job;
    int id;
    std::shared_ptr<std::atomic<bool>> cancel;
    std::shared_ptr<std::atomic<int>> inFlight;

    bool cancelled() const { return cancel->load(std::memory_order_relaxed); }

    // Hands `deliver` to the interface's thread, once that has taken all but one of the earlier
    // batches: results never pile up in its event queue.
    template <class Deliver> void post(Deliver deliver) {
        while (inFlight->load() >= 2 && !cancelled())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ++*inFlight;
        QMetaObject::invokeMethod(
            job,
            [job = job, id = id, inFlight = inFlight, deliver = std::move(deliver)]() mutable {
                --*inFlight;
                if (id == job->m_run)
                    deliver();
            },
            Qt::QueuedConnection);
    }
};

FileSearchJob::FileSearchJob(QObject* parent) : QObject(parent) {}

FileSearchJob::~FileSearchJob() {
    cancel();
    join();
}

void FileSearchJob::cancel() {
    if (m_cancel)
        m_cancel->store(true);
    ++m_run; // whatever that run still sends is dropped
    m_running = false;
}

void FileSearchJob::stop() {
    if (m_cancel)
        m_cancel->store(true);
}

void FileSearchJob::join() {
    if (m_thread.joinable())
        m_thread.join();
}

void FileSearchJob::waitForDone() {
    // The thread may wait for a batch to be taken: batches are taken while it is waited for.
    while (m_running) {
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        if (m_running)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    join();
}

void FileSearchJob::start(std::function<void(Run&)> work) {
    cancel();
    join();
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    m_inFlight = std::make_shared<std::atomic<int>>(0);
    m_running = true;
    m_thread = std::thread([run = Run{this, m_run, m_cancel, m_inFlight}, work = std::move(work)]() mutable {
        yieldToInterface();
        work(run);
        run.post([job = run.job] {
            job->m_running = false;
            emit job->finished();
        });
    });
}

void FileSearchJob::search(FileSearchRequest request) {
    start([this, request = std::move(request)](Run& run) {
        const FilesPattern pattern(request.find, request.options);
        if (!pattern.isValid() || request.find.isEmpty())
            return;
        std::map<FileId, const OpenDocumentText*> open;
        for (const OpenDocumentText& document : request.openDocuments) {
            struct stat status {};
            if (::stat(QFile::encodeName(document.path).constData(), &status) == 0)
                open.emplace(idOf(status), &document);
        }
        QElapsedTimer sincePost;
        sincePost.start();
        const FolderListing list =
            ListFolderFiles(request.folder, FileNameFilter(request.filter), request.hiddenFolders,
                            run.cancel.get(), [&](qsizetype files) {
                                if (sincePost.elapsed() < kBatchMs)
                                    return;
                                run.post([this, files] { emit listing(files); });
                                sincePost.restart();
                            });
        std::vector<SkippedFile> skips = list.skipped;
        if (!list.failure.isEmpty())
            skips.push_back({request.folder, list.failure});
        const qsizetype total = qsizetype(list.files.size());
        // Each file's outcome, filled by whichever thread searched it, handed over in file order.
        struct Searched {
            FileResult result;
            QString reason; // why it was skipped
            std::atomic<bool> ready{false};
        };
        std::unique_ptr<Searched[]> searched(new Searched[std::size_t(total)]);
        std::atomic<qsizetype> next{0};
        // Searches the files not yet taken by another thread, one at a time, calling `then` after each.
        const auto searchFiles = [&](const std::function<void()>& then) {
            yieldToInterface();
            // A pattern of its own: one compiled expression is not matched from several threads.
            const FilesPattern own(request.find, request.options);
            for (qsizetype i = next++; i < total && !run.cancelled(); i = next++) {
                const ListedFile& file = list.files[std::size_t(i)];
                Searched& slot = searched[std::size_t(i)];
                if (const auto window = open.find({file.device, file.inode}); window != open.end()) {
                    slot.result.path = file.path;
                    slot.result.fromWindow = true;
                    slot.result.matches =
                        FindLineMatches(window->second->text, own, request.listLimit, &slot.result.count);
                } else if (!SearchFile(file.path, own, request.listLimit, slot.result, slot.reason)) {
                    slot.result = {};
                }
                slot.ready.store(true, std::memory_order_release);
                if (then)
                    then();
            }
        };
        // The files are read and searched on as many cores as the machine has (up to a few), this
        // thread among them: the interface's own thread has little to do meanwhile.
        std::vector<std::thread> helpers;
        const int cores = std::max(1, QThread::idealThreadCount());
        for (int helper = 1; helper < std::min(cores, kMostThreads); ++helper)
            helpers.emplace_back(searchFiles, std::function<void()>());
        const auto joined = qScopeGuard([&] {
            for (std::thread& helper : helpers)
                helper.join();
        });

        std::vector<FileResult> batch;
        qsizetype rows = 0, placed = 0, done = 0, unread = 0;
        const auto handOver = [&](bool always) {
            if (!always && sincePost.elapsed() < kBatchMs && rows < kBatchRows)
                return;
            run.post([this, done, total, searched = done - unread, batch = std::move(batch),
                      skips = std::move(skips)] {
                if (!skips.empty())
                    emit skipped(skips);
                if (!batch.empty())
                    emit found(batch);
                emit progress(done, total, searched);
            });
            batch = {};
            skips = {};
            rows = 0;
            sincePost.restart();
        };
        // Takes the files searched in order, as far as they are; the rows listed stop at the limit
        // in file order, whichever thread was first.
        const auto collect = [&] {
            const qsizetype before = done;
            for (; done < total && searched[std::size_t(done)].ready.load(std::memory_order_acquire);
                 ++done) {
                Searched& slot = searched[std::size_t(done)];
                if (!slot.reason.isEmpty()) {
                    skips.push_back({list.files[std::size_t(done)].path, std::move(slot.reason)});
                    ++unread;
                }
                if (slot.result.count == 0)
                    continue;
                FileResult& result = slot.result;
                const auto room = std::size_t(std::max<qsizetype>(0, request.listLimit - placed));
                if (result.matches.size() > room)
                    result.matches.resize(room);
                placed += qsizetype(result.matches.size());
                rows += qsizetype(result.matches.size()) + 1;
                batch.push_back(std::move(result));
            }
            handOver(false);
            return done > before;
        };
        handOver(true);
        searchFiles([&] { collect(); });
        // The files the other threads still search.
        while (done < total && !run.cancelled()) {
            if (!collect())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        handOver(true);
    });
}

void FileSearchJob::replace(FileReplaceRequest request) {
    start([this, request = std::move(request)](Run& run) {
        const SearchPattern pattern(request.find, request.options);
        if (!pattern.isValid() || request.find.isEmpty())
            return;
        std::vector<ReplaceOutcome> batch;
        qsizetype done = 0;
        const qsizetype total = qsizetype(request.files.size());
        QElapsedTimer sincePost;
        sincePost.start();
        const auto handOver = [&](bool always) {
            if (!always && sincePost.elapsed() < kBatchMs)
                return;
            run.post([this, done, total, batch = std::move(batch)] {
                if (!batch.empty())
                    emit replaced(batch);
                emit progress(done, total, done);
            });
            batch = {};
            sincePost.restart();
        };
        for (const auto& [path, stamp] : request.files) {
            // Stopped between two files: each file is either written whole or not at all.
            if (run.cancelled())
                return;
            batch.push_back(ReplaceInFile(path, stamp, pattern, request.replacement, request.backupFolder));
            ++done;
            handOver(false);
        }
        handOver(true);
    });
}

#include "moc_FileSearch.cpp"
