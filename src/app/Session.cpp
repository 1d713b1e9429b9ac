#include "app/Session.h"

#include "editor/DocumentHost.h"
#include "editor/frmNotepad.h"
#include "editor/mdlFile.h"
#include "platform/Log.h"
#include "platform/RichTextControl.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMdiArea>
#include <algorithm>

namespace {
const QString kSection = QStringLiteral("Session");
const QString kKey = QStringLiteral("Documents");
// Changes are gathered for this long before the list is written.
constexpr int kRecordDelayMs = 500;

// The same files in the same order with the same current one; the cursors may differ.
bool sameDocuments(const QList<SessionDocument>& a, const QList<SessionDocument>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const auto& x, const auto& y) { return x.path == y.path && x.active == y.active; });
}
} // namespace

QString EncodeSession(const QList<SessionDocument>& documents) {
    QJsonArray array;
    for (const SessionDocument& document : documents) {
        QJsonObject entry{{QStringLiteral("path"), document.path},
                          {QStringLiteral("selStart"), document.selStart}};
        if (document.active)
            entry.insert(QStringLiteral("active"), true);
        array.append(entry);
    }
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

QList<SessionDocument> DecodeSession(const QString& stored) {
    QList<SessionDocument> documents;
    if (stored.isEmpty())
        return documents;
    const QJsonDocument json = QJsonDocument::fromJson(stored.toUtf8());
    if (!json.isArray()) {
        qCWarning(lcQuillora) << "the last session could not be read:" << stored.left(200);
        return documents;
    }
    for (const QJsonValue& value : json.array()) {
        const QJsonObject entry = value.toObject();
        const QString path = entry.value(QStringLiteral("path")).toString();
        if (path.isEmpty() || !QFileInfo(path).isAbsolute())
            continue;
        documents.append({path, std::max(0, entry.value(QStringLiteral("selStart")).toInt()),
                          entry.value(QStringLiteral("active")).toBool()});
    }
    return documents;
}

QList<SessionDocument> StoredSession() {
    return DecodeSession(SettingsStore::read(kSection, kKey));
}

QString GoneNotice(const QStringList& paths) {
    Q_ASSERT(!paths.isEmpty());
    QStringList names;
    for (const QString& path : paths) {
        const QString name = QFileInfo(path).fileName();
        // Two files of one name in different folders are told apart by their folders.
        const bool shared = std::count_if(paths.begin(), paths.end(), [&name](const QString& other) {
                                return QFileInfo(other).fileName() == name;
                            }) > 1;
        names << (shared ? QDir::toNativeSeparators(path) : name);
    }
    const QString last = names.takeLast();
    if (names.isEmpty())
        return last + QStringLiteral(" is no longer there: it was not reopened.");
    return names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last +
           QStringLiteral(" are no longer there: they were not reopened.");
}

SessionKeeper::SessionKeeper(DocumentHost& host, QObject* parent) : QObject(parent), m_host(host) {
    setObjectName(QStringLiteral("session"));
    m_timer.setSingleShot(true);
    m_timer.setInterval(kRecordDelayMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { record(false); });
    const auto changed = [this] {
        if (!m_timer.isActive())
            m_timer.start();
    };
    const DocumentTable& table = m_host.documents();
    connect(&table, &DocumentTable::countChanged, this, changed);
    connect(&table, &DocumentTable::stateChanged, this, changed); // saved under a new path
    connect(&table, &DocumentTable::currentChanged, this, changed);
}

QList<SessionDocument> SessionKeeper::current() const {
    QList<SessionDocument> documents;
    const DocumentTable& table = m_host.documents();
    const frmNotepad* currentDocument = table.current();
    for (QMdiSubWindow* window : m_host.mdiArea()->subWindowList(QMdiArea::CreationOrder)) {
        const auto* document = qobject_cast<frmNotepad*>(window);
        if (!document || table.DocumentSlots[document->slot()].Free)
            continue;
        const QString& path = table.DocumentSlots[document->slot()].PathCaption;
        if (!path.isEmpty())
            documents.append({path, document->txtRich->selStart(), document == currentDocument});
    }
    return documents;
}

void SessionKeeper::record(bool always) {
    if (m_ended || !m_host.settings().RestoreSession)
        return;
    const QList<SessionDocument> documents = current();
    if (!always && sameDocuments(documents, m_written))
        return;
    SettingsStore::write(kSection, kKey, EncodeSession(documents));
    m_written = documents;
}

void SessionKeeper::recordAtExit() {
    record(true);
    m_ended = true;
    m_timer.stop();
}

void SessionKeeper::openLastSession() {
    const QList<SessionDocument> documents =
        m_host.settings().RestoreSession ? StoredSession() : QList<SessionDocument>();
    frmNotepad *first = nullptr, *active = nullptr;
    QStringList gone;
    for (const SessionDocument& document : documents) {
        if (!QFileInfo(document.path).isFile()) {
            gone << document.path;
            continue;
        }
        frmNotepad* window = OpenDocument(m_host, document.path);
        if (!window)
            continue; // the reason was reported as at any Open
        RichTextControl* text = window->txtRich;
        text->select(std::min(document.selStart, text->textLength()), 0);
        // Once the window has its size, the cursor's line is scrolled into view.
        QTimer::singleShot(0, text, [text] { text->ensureCursorVisible(); });
        if (!first)
            first = window;
        if (document.active)
            active = window;
    }
    m_written = documents;
    if (!first)
        first = NewDocument(m_host);
    if (active)
        m_host.mdiArea()->setActiveSubWindow(active);
    if (!gone.isEmpty()) {
        const QString& path = m_host.documents().DocumentSlots[first->slot()].PathCaption;
        QStringList notices = path.isEmpty() ? QStringList() : FileNotices(path, first->encoding());
        first->setNotices(notices << GoneNotice(gone));
    }
}
