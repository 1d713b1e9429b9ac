#include "app/Recovery.h"

#include "editor/DocumentHost.h"
#include "editor/FileWatch.h"
#include "editor/frmNotepad.h"
#include "editor/mdlFile.h"
#include "platform/Charsets.h"
#include "platform/Dialogs.h"
#include "platform/RichTextControl.h"
#include "platform/TextFile.h"
#include "platform/Version.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <algorithm>

namespace {
// A journal holds a document's text as UTF-8 (up to three bytes a character) and a short header.
constexpr qint64 kMaxJournalBytes = 3 * kMaxTextFileBytes + 64 * 1024;
constexpr QFileDevice::Permissions kOwnerFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// Opens a journal's text as a modified document: the path is kept for saving, the file itself
// is neither read nor written.
void openRecovered(DocumentHost& host, const JournalEntry& entry) {
    // The file open already and unchanged (reopened with the last session, say) takes the text in
    // its own window, the cursor kept, rather than open twice.
    const DocumentTable& table = host.documents();
    frmNotepad* window = nullptr;
    for (int slot = 0; slot < table.slotCount() && !window && !entry.path.isEmpty(); ++slot)
        if (table.Documents[slot] && !table.DocumentSlots[slot].Free && !table.DocumentSlots[slot].Modified &&
            table.DocumentSlots[slot].PathCaption == entry.path)
            window = table.Documents[slot];
    const int cursor = window ? window->txtRich->selStart() : 0;
    if (!window)
        window = NewDocument(host);
    window->txtRich->setText(entry.text);
    window->txtRich->select(std::min(cursor, window->txtRich->textLength()), 0);
    window->setSaveFormat(entry.format);
    window->setEncoding(entry.encoding);
    window->ClearAllUndo();
    window->colorizeWhole();
    if (!entry.path.isEmpty()) {
        host.documents().DocumentSlots[window->slot()].PathCaption = entry.path;
        // Watched from here on like an opened file, so another program's later change is noticed
        // and saving over it asks first.
        FileWatch::of(*window).track(entry.path, StampOf(entry.path));
    }
    window->markModified();
}
} // namespace

qint64 ProcessStartTime(qint64 pid) {
    QByteArray line;
    QString reason;
    if (pid <= 0 || !ReadRegularFile(QStringLiteral("/proc/%1/stat").arg(pid), 64 * 1024, line, reason))
        return -1;
    // "pid (name) state ...": the name may hold blanks and parentheses, so fields count from the
    // last ")"; there the state is the first, the start time the twentieth.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 20 || fields[0] == "Z" || fields[0] == "X")
        return -1; // a process that has ended but not been reaped yet
    bool ok = false;
    const qint64 started = fields[19].toLongLong(&ok);
    return ok ? started : -1;
}

JournalOwner CurrentProcess() {
    const qint64 pid = QCoreApplication::applicationPid();
    return {pid, ProcessStartTime(pid)};
}

bool IsRunning(const JournalOwner& owner) {
    return ProcessStartTime(owner.pid) == owner.started;
}

bool WriteJournal(const QString& file, const JournalEntry& entry, QString& reason) {
    const QString folder = QFileInfo(file).absolutePath();
    // A link put in the folder's place would lead the journals, unsaved text, elsewhere.
    if (QFileInfo(folder).isSymLink()) {
        reason = QCoreApplication::translate("Recovery", "The folder is a link, which is not followed: %1")
                     .arg(folder);
        return false;
    }
    if (!QDir().mkpath(folder) || !QFile::setPermissions(folder, kOwnerFile | QFileDevice::ExeOwner)) {
        reason = QCoreApplication::translate("Recovery", "The folder could not be made: %1").arg(folder);
        return false;
    }
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || !out.setPermissions(kOwnerFile) || !WriteJournalTo(out, entry) ||
        !out.commit()) {
        reason = out.errorString();
        return false;
    }
    return true;
}

RecoveryJournal::RecoveryJournal(DocumentHost& host, QObject* parent)
    : QObject(parent), m_host(host), m_folder(host.programFolder() + QStringLiteral("/recovery")),
      m_owner(CurrentProcess()) {
    setObjectName(QStringLiteral("recovery"));
    m_worker.setMaxThreadCount(1); // one thread: writes and removals happen in the order asked
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryJournal::journalNow);
}

RecoveryJournal::~RecoveryJournal() {
    m_worker.waitForDone();
    for (auto it = m_tracked.cbegin(); it != m_tracked.cend(); ++it)
        if (it->written)
            QFile::remove(m_folder + QLatin1Char('/') + JournalFileName(m_owner, it->number));
}

void RecoveryJournal::start() {
    m_timer.start();
}

void RecoveryJournal::waitForWrites() {
    m_worker.waitForDone();
}

RecoveryJournal::Tracked& RecoveryJournal::track(frmNotepad* window) {
    auto found = m_tracked.find(window);
    if (found != m_tracked.end())
        return *found;
    connect(window->txtRich, &RichTextControl::change, this, [this, window] {
        auto changed = m_tracked.find(window);
        if (changed != m_tracked.end())
            changed->dirty = true;
    });
    connect(window, &frmNotepad::saved, this, [this, window] { removeJournal(window); });
    connect(window, &QObject::destroyed, this, [this](QObject* gone) {
        removeJournal(gone);
        m_tracked.remove(gone);
    });
    Tracked& tracked = m_tracked[window];
    tracked.number = ++m_lastNumber;
    return tracked;
}

void RecoveryJournal::removeJournal(QObject* window) {
    auto found = m_tracked.find(window);
    if (found == m_tracked.end() || !found->written)
        return;
    found->written = false;
    const QString file = m_folder + QLatin1Char('/') + JournalFileName(m_owner, found->number);
    m_worker.start([file] { QFile::remove(file); });
}

void RecoveryJournal::journalNow() {
    const DocumentTable& table = m_host.documents();
    for (int slot = 0; slot < table.slotCount(); ++slot) {
        frmNotepad* window = table.Documents[slot];
        if (!window || table.DocumentSlots[slot].Free)
            continue;
        Tracked& tracked = track(window);
        if (!table.DocumentSlots[slot].Modified) {
            removeJournal(window);
            continue;
        }
        if (tracked.written && !tracked.dirty && tracked.format == window->saveFormat() &&
            tracked.encoding == window->encoding())
            continue;
        // The text is copied here; converting, hashing and writing it is the worker's.
        JournalEntry entry{m_owner, table.DocumentSlots[slot].PathCaption, window->saveFormat(),
                           window->encoding(), window->txtRich->text()};
        tracked.dirty = false;
        tracked.written = true;
        tracked.format = entry.format;
        tracked.encoding = entry.encoding;
        const QString file = m_folder + QLatin1Char('/') + JournalFileName(m_owner, tracked.number);
        QObject* key = window;
        m_worker.start([this, key, file, entry = std::move(entry)] {
            QString reason;
            if (!WriteJournal(file, entry, reason))
                QMetaObject::invokeMethod(
                    this,
                    [this, key, reason] {
                        auto failed = m_tracked.find(key);
                        if (failed != m_tracked.end())
                            failed->dirty = true; // tried again at the next interval
                        reportFailure(reason);
                    },
                    Qt::QueuedConnection);
        });
    }
}

void RecoveryJournal::reportFailure(const QString& reason) {
    // Said once: the documents themselves are unharmed, and a message every interval would
    // keep interrupting the typing it is meant to protect.
    if (m_failureReported)
        return;
    m_failureReported = true;
    Dialogs::instance().message(
        m_host.dialogParent(), MessageBoxTitle(),
        tr("Unsaved changes cannot be kept for recovery after a crash:\r\n%1").arg(reason),
        Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
}

void RecoveryJournal::offerRecovery() {
    QStringList unreadable, files, names;
    QList<JournalEntry> entries;
    if (QFileInfo(m_folder).isSymLink()) // whatever it leads to was not written by this program
        return;
    const QDir dir(m_folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.journal")}, QDir::Files, QDir::Name)) {
        JournalOwner owner;
        const bool named = JournalFileOwner(name, owner);
        if (named && IsRunning(owner))
            continue; // another editor's (or this one's): never touched
        const QString file = dir.filePath(name);
        QByteArray bytes;
        QString reason;
        JournalEntry entry;
        if (!named || !ReadRegularFile(file, kMaxJournalBytes, bytes, reason, Links::Refuse) ||
            !DecodeJournal(bytes, entry)) {
            unreadable << name;
            continue;
        }
        files << file;
        names << (entry.path.isEmpty() ? tr("Untitled") : entry.path);
        entries << std::move(entry);
    }
    if (!entries.isEmpty()) {
        // English says "document" or "documents" as the code chooses; a catalogue gives each the
        // forms its language has for the count.
        const int count = int(entries.size());
        const QString question =
            count == 1 ? tr("Quillora did not end normally. Recover %n unsaved document?", nullptr, count)
                       : tr("Quillora did not end normally. Recover %n unsaved documents?", nullptr, count);
        const auto answer = Dialogs::instance().message(m_host.dialogParent(), MessageBoxTitle(),
                                                        question + QStringLiteral("\r\n\r\n") +
                                                            names.join(QStringLiteral("\r\n")),
                                                        Dialogs::Buttons::YesNo, Dialogs::Icon::Question);
        if (answer == Dialogs::Answer::Yes) {
            for (const JournalEntry& entry : entries)
                openRecovered(m_host, entry);
            journalNow(); // the recovered texts in this process's journals before the old ones go
        }
        for (const QString& file : files)
            m_worker.start([file] { QFile::remove(file); });
    }
    if (!unreadable.isEmpty())
        Dialogs::instance().message(
            m_host.dialogParent(), MessageBoxTitle(),
            tr("These recovery files could not be read and were kept in %1:").arg(m_folder) +
                QStringLiteral("\r\n\r\n") + unreadable.join(QStringLiteral("\r\n")),
            Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
}

#include "moc_Recovery.cpp"
