#include "app/Session.h"

#include "editor/BrowserWindow.h"
#include "editor/DocumentHost.h"
#include "editor/frmNotepad.h"
#include "editor/mdlFile.h"
#include "markup/TagMatch.h"
#include "platform/Log.h"
#include "platform/RichTextControl.h"
#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMdiArea>
#include <QSplitter>
#include <algorithm>
#include <cmath>

namespace {
const QString kSection = QStringLiteral("Session");
const QString kKey = QStringLiteral("Documents");
// Changes are gathered for this long before the list is written.
constexpr int kRecordDelayMs = 500;

// The same files in the same order with the same current one and the same previews; the cursors
// may differ.
bool sameDocuments(const QList<SessionDocument>& a, const QList<SessionDocument>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.path == y.path && x.active == y.active && x.preview == y.preview &&
               x.previewShare == y.previewShare;
    });
}

// The text's share of the two panes' widths, to a thousandth (finer than a pixel of any screen, and
// short in the store); 0 while the splitter has no width.
double textShare(const QSplitter& splitter) {
    const QList<int> sizes = splitter.sizes();
    if (sizes.size() < 2 || sizes[0] <= 0 || sizes[1] <= 0)
        return 0;
    const double share = std::round(1000.0 * sizes[0] / (sizes[0] + sizes[1])) / 1000;
    return share > 0 && share < 1 ? share : 0;
}

// Puts a reopened window's divider at its share of the width once the window is laid out. When the
// session is opened the main window is not shown yet: the splitter has no final width, and it shares
// a later width out by the panes' sizes at the time, bounded by their minimum widths, which moves the
// divider. So the share is applied again after the start-up's layout (a queued call, or once the
// splitter is shown if it is not by then). A move by the user, or the preview closing, ends it.
class DividerHold : public QObject {
public:
    DividerHold(QSplitter& splitter, double share)
        : QObject(&splitter), m_splitter(splitter), m_share(share) {
        connect(&splitter, &QSplitter::splitterMoved, this, &QObject::deleteLater);
        splitter.installEventFilter(this);
        QTimer::singleShot(0, this, [this] { settle(); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_splitter && event->type() == QEvent::Show && m_waiting) {
            m_waiting = false;
            QTimer::singleShot(0, this, [this] { settle(); });
        }
        return false;
    }

private:
    void settle() {
        if (m_splitter.count() < 2) { // the preview was closed meanwhile
            deleteLater();
            return;
        }
        if (!m_splitter.isVisible()) {
            m_waiting = true;
            return;
        }
        const QList<int> sizes = m_splitter.sizes();
        const int total = sizes[0] + sizes[1];
        const int text = int(std::lround(total * m_share));
        m_splitter.setSizes({text, total - text});
        deleteLater();
    }

    QSplitter& m_splitter;
    const double m_share;
    bool m_waiting = false;
};
} // namespace

QString EncodeSession(const QList<SessionDocument>& documents) {
    QJsonArray array;
    for (const SessionDocument& document : documents) {
        QJsonObject entry{{QStringLiteral("path"), document.path},
                          {QStringLiteral("selStart"), document.selStart}};
        if (document.active)
            entry.insert(QStringLiteral("active"), true);
        if (document.preview) {
            entry.insert(QStringLiteral("preview"), true);
            if (document.previewShare > 0 && document.previewShare < 1)
                entry.insert(QStringLiteral("previewShare"), document.previewShare);
        }
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
        SessionDocument document{path, std::max(0, entry.value(QStringLiteral("selStart")).toInt()),
                                 entry.value(QStringLiteral("active")).toBool()};
        document.preview = entry.value(QStringLiteral("preview")).toBool();
        // Anything but a number strictly inside (0, 1) leaves the preview at half the width.
        const double share = entry.value(QStringLiteral("previewShare")).toDouble();
        if (document.preview && share > 0 && share < 1)
            document.previewShare = share;
        documents.append(document);
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
        return QCoreApplication::translate("Session", "%1 is no longer there: it was not reopened.")
            .arg(last);
    return QCoreApplication::translate("Session", "%1 and %2 are no longer there: they were not reopened.")
        .arg(names.join(QCoreApplication::translate("Session", ", ")), last);
}

SessionKeeper::SessionKeeper(DocumentHost& host, QObject* parent) : QObject(parent), m_host(host) {
    setObjectName(QStringLiteral("session"));
    m_timer.setSingleShot(true);
    m_timer.setInterval(kRecordDelayMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { record(false); });
    const DocumentTable& table = m_host.documents();
    connect(&table, &DocumentTable::countChanged, this, [this] {
        scheduleRecord();
        // A new window is in the window area once the command that made it is done.
        QTimer::singleShot(0, this, [this] { watchWindows(); });
    });
    connect(&table, &DocumentTable::stateChanged, this, &SessionKeeper::scheduleRecord); // a new path
    connect(&table, &DocumentTable::currentChanged, this, &SessionKeeper::scheduleRecord);
}

void SessionKeeper::scheduleRecord() {
    if (!m_timer.isActive())
        m_timer.start();
}

void SessionKeeper::watchWindows() {
    for (QMdiSubWindow* window : m_host.mdiArea()->subWindowList()) {
        if (const auto* document = qobject_cast<frmNotepad*>(window)) {
            // Both are kept once however often a window is looked at. The divider is dragged pixel by
            // pixel; the timer gathers the moves into one write.
            connect(document->splPreview, &QSplitter::splitterMoved, this, &SessionKeeper::scheduleRecord,
                    Qt::UniqueConnection);
            document->splPreview->installEventFilter(this);
        }
    }
}

bool SessionKeeper::eventFilter(QObject* watched, QEvent* event) {
    // A preview pane put beside the text or taken away.
    if ((event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildRemoved) &&
        qobject_cast<QSplitter*>(watched))
        scheduleRecord();
    return QObject::eventFilter(watched, event);
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
        if (path.isEmpty())
            continue;
        SessionDocument entry{path, document->txtRich->selStart(), document == currentDocument};
        entry.preview = document->previewPane() != nullptr;
        if (entry.preview)
            entry.previewShare = textShare(*document->splPreview);
        documents.append(entry);
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
        // A style sheet's preview shows a page that used it: none has while the browser is not loaded.
        const BrowserModule* loaded = m_host.loadedBrowserModule();
        BrowserModule* module = nullptr;
        if (document.preview && (SourceKindOf(document.path) == SourceKind::Markup ||
                                 (loaded && loaded->usedByAPage(document.path))))
            module = m_host.browserModule();
        if (module) {
            module->showPreviewBeside(m_host, *window, true, document.previewShare);
            if (window->previewPane() && document.previewShare > 0)
                new DividerHold(*window->splPreview, document.previewShare);
        }
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
