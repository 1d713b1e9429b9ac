#include "editor/FileWatch.h"

#include "editor/DocumentHost.h"
#include "editor/frmNotepad.h"
#include "editor/mdlFile.h"
#include "platform/Dialogs.h"
#include "platform/Version.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QPointer>

namespace {
// One watcher for all documents: each instance costs the system a handle, and their number is
// limited.
QFileSystemWatcher& sharedWatcher() {
    static QPointer<QFileSystemWatcher> watcher;
    if (!watcher)
        watcher = new QFileSystemWatcher(QCoreApplication::instance());
    return *watcher;
}

QList<FileWatch*>& allWatches() {
    static QList<FileWatch*> watches;
    return watches;
}

// A question about a file is open: the others wait for it.
bool g_asking = false;

Dialogs::Answer ask(frmNotepad& window, const QString& text, bool defaultNo) {
    g_asking = true;
    const Dialogs::Answer answer =
        Dialogs::instance().message(window.host().dialogParent(), MessageBoxTitle(), text,
                                    defaultNo ? Dialogs::Buttons::YesNoDefaultNo : Dialogs::Buttons::YesNo,
                                    defaultNo ? Dialogs::Icon::Warning : Dialogs::Icon::Question);
    g_asking = false;
    return answer;
}

QString folderOf(const QString& path) {
    return QFileInfo(path).absolutePath();
}
} // namespace

FileWatch& FileWatch::of(frmNotepad& window) {
    if (auto* watch = window.findChild<FileWatch*>(QString(), Qt::FindDirectChildrenOnly))
        return *watch;
    return *new FileWatch(window);
}

FileWatch::FileWatch(frmNotepad& window) : QObject(&window), m_window(window) {
    allWatches().append(this);
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(kQuietMs);
    connect(&m_quiet, &QTimer::timeout, this, &FileWatch::check);
    QFileSystemWatcher& watcher = sharedWatcher();
    connect(&watcher, &QFileSystemWatcher::fileChanged, this, [this](const QString& path) {
        if (path == m_path)
            m_quiet.start();
    });
    connect(&watcher, &QFileSystemWatcher::directoryChanged, this, [this](const QString& folder) {
        if (!m_path.isEmpty() && folder == folderOf(m_path))
            m_quiet.start();
    });
}

FileWatch::~FileWatch() {
    release();
    allWatches().removeOne(this);
}

void FileWatch::track(const QString& path, const FileStamp& stamp) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (absolute != m_path) {
        release();
        m_path = absolute;
    }
    m_known = stamp;
    m_declined = FileStamp();
    m_missing = false;
    arm();
}

void FileWatch::arm() {
    QFileSystemWatcher& watcher = sharedWatcher();
    const QString folder = folderOf(m_path);
    if (!watcher.directories().contains(folder) && QFileInfo(folder).isDir())
        watcher.addPath(folder);
    if (!watcher.files().contains(m_path) && QFileInfo(m_path).isFile())
        watcher.addPath(m_path);
}

void FileWatch::release() {
    if (m_path.isEmpty() || !QCoreApplication::instance())
        return;
    bool fileInUse = false;
    bool folderInUse = false;
    for (const FileWatch* other : std::as_const(allWatches())) {
        if (other == this || other->m_path.isEmpty())
            continue;
        fileInUse = fileInUse || other->m_path == m_path;
        folderInUse = folderInUse || folderOf(other->m_path) == folderOf(m_path);
    }
    QFileSystemWatcher& watcher = sharedWatcher();
    if (!fileInUse && watcher.files().contains(m_path))
        watcher.removePath(m_path);
    if (!folderInUse && watcher.directories().contains(folderOf(m_path)))
        watcher.removePath(folderOf(m_path));
}

void FileWatch::check() {
    if (m_path.isEmpty())
        return;
    if (g_asking || QApplication::activeModalWidget()) {
        m_quiet.start();
        return;
    }
    arm();
    DocumentTable& table = m_window.host().documents();
    const int slot = m_window.slot();
    if (slot < 0 || slot >= table.slotCount() || table.DocumentSlots[slot].Free ||
        table.Documents[slot] != &m_window)
        return; // the window is closing
    const FileStamp now = StampOf(m_path);
    if (!now.exists) {
        if (!m_missing)
            m_window.markModified();
        m_missing = true;
        return;
    }
    m_missing = false;
    if (StillAsStamped(m_path, m_known) ||
        (m_declined.exists && now.size == m_declined.size && now.modified == m_declined.modified))
        return;
    const bool modified = table.DocumentSlots[slot].Modified;
    QString question =
        QCoreApplication::translate("FileWatch", "%1 has been changed by another program. Reload it?")
            .arg(m_path);
    if (modified)
        question +=
            QCoreApplication::translate("FileWatch", "\r\n\r\nThe changes you have not saved will be lost.");
    const QPointer<FileWatch> alive(this);
    const Dialogs::Answer answer = ask(m_window, question, modified);
    if (!alive)
        return;
    if (answer == Dialogs::Answer::Yes && ReloadDocument(m_window.host(), m_window))
        return;
    // The document no longer holds what its file does: the mark says so, and closing asks.
    m_declined = now;
    m_window.markModified();
}

bool FileWatch::replacedByLink(const QString& path) const {
    return !m_path.isEmpty() && QFileInfo(path).absoluteFilePath() == m_path && !m_known.link &&
           QFileInfo(m_path).isSymLink();
}

bool FileWatch::replacedByOtherFile(const QString& path) const {
    if (m_path.isEmpty() || QFileInfo(path).absoluteFilePath() != m_path || !m_known.exists || !m_known.inode)
        return false;
    const FileStamp now = StampOf(m_path);
    return now.exists && (now.device != m_known.device || now.inode != m_known.inode);
}

bool FileWatch::wasLink(const QString& path) const {
    return !m_path.isEmpty() && QFileInfo(path).absoluteFilePath() == m_path && m_known.link;
}

bool FileWatch::confirmOverwrite(const QString& path) {
    if (m_path.isEmpty() || QFileInfo(path).absoluteFilePath() != m_path || !QFileInfo(m_path).isFile() ||
        StillAsStamped(m_path, m_known))
        return true;
    return ask(m_window,
               QCoreApplication::translate("FileWatch", "%1 has been changed by another program since it was "
                                                        "opened or saved. Overwrite it?")
                   .arg(m_path),
               true) == Dialogs::Answer::Yes;
}

#include "moc_FileWatch.cpp"
