#include "browser/PreviewPages.h"

#include "platform/TextFile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRandomGenerator>
#include <QUrlQuery>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace {
// The path with its links resolved where it exists; a path that does not exist is only cleaned
// (nothing is served from it).
QString resolved(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty()
               ? QDir::cleanPath(QDir::isAbsolutePath(path) ? path : QDir(path).absolutePath())
               : canonical;
}

QStringList partsOf(const QString& path) {
    return path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

const char* const kTicket = "quillora-ticket";
} // namespace

bool InFolderTree(const QString& path, const QString& folder) {
    const QStringList file = partsOf(resolved(path));
    const QStringList tree = partsOf(resolved(folder));
    return file.size() >= tree.size() && file.mid(0, tree.size()) == tree;
}

bool HiddenBeyond(const QString& path, const QString& folder) {
    const QStringList file = partsOf(resolved(path));
    const QStringList tree = partsOf(resolved(folder));
    qsizetype shared = 0;
    while (shared < file.size() && shared < tree.size() && file[shared] == tree[shared])
        ++shared;
    for (qsizetype i = shared; i < file.size(); ++i)
        if (file[i].startsWith(QLatin1Char('.')))
            return true;
    return false;
}

bool IsStyleSheetFile(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("css"), Qt::CaseInsensitive) == 0;
}

bool IsFontFile(const QString& path) {
    static const QStringList fonts{"woff", "woff2", "ttf", "otf", "eot"};
    return fonts.contains(QFileInfo(path).suffix().toLower());
}

const char* const PreviewPages::kScheme = "quillora-preview";

PreviewPages& PreviewPages::instance() {
    static PreviewPages* pages = new PreviewPages; // lives as long as the engine may ask
    return *pages;
}

void PreviewPages::registerScheme() {
    QWebEngineUrlScheme scheme(kScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // Local: pages from the network can neither show nor link to a preview. Local access lets a
    // page load the files this handler sends its tags to (and nothing else: the request policy
    // refuses every other file address).
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

int PreviewPages::add(Source source) {
    m_sources[m_next] = std::move(source);
    return m_next++;
}

void PreviewPages::remove(int id) {
    m_sources.erase(id);
}

int PreviewPages::folderPages(const QString& folder) {
    const QString clean = QDir::cleanPath(folder);
    if (const auto known = m_folderIds.constFind(clean); known != m_folderIds.cend())
        return *known;
    m_folders[m_next] = clean;
    m_folderIds.insert(clean, m_next);
    return m_next++;
}

QUrl PreviewPages::urlFor(int id, const QString& path) {
    QUrl url;
    url.setScheme(QString::fromLatin1(kScheme));
    url.setHost(QStringLiteral("p%1").arg(id));
    url.setPath(path, QUrl::DecodedMode); // "%", "#" and "?" are a file name's own
    return url;
}

QUrl PreviewPages::pageFor(const QUrl& fileUrl) {
    if (!fileUrl.isLocalFile())
        return QUrl();
    const QString path = QDir::cleanPath(fileUrl.toLocalFile());
    QUrl page = urlFor(folderPages(QFileInfo(path).absolutePath()), path);
    page.setQuery(fileUrl.query(QUrl::FullyEncoded), QUrl::StrictMode);
    page.setFragment(fileUrl.fragment(QUrl::FullyEncoded), QUrl::StrictMode);
    return page;
}

QString PreviewPages::localPath(const QUrl& url) {
    if (url.isLocalFile())
        return url.toLocalFile();
    return url.scheme() == QLatin1String(kScheme) ? url.path(QUrl::FullyDecoded) : QString();
}

namespace {
int idOf(const QUrl& url) {
    bool number = false;
    const int id = url.host().mid(1).toInt(&number);
    return url.scheme() == QLatin1String(PreviewPages::kScheme) && url.host().startsWith(QLatin1Char('p')) &&
                   number
               ? id
               : 0;
}
} // namespace

QString PreviewPages::sourcePath(int id) const {
    const auto source = m_sources.find(id);
    return source == m_sources.end() ? QString() : source->second.path();
}

QString PreviewPages::treeOf(const QUrl& url) const {
    const int id = idOf(url);
    if (const auto folder = m_folders.find(id); folder != m_folders.end())
        return folder->second;
    const QString followed = sourcePath(id);
    return followed.isEmpty() ? QString() : QFileInfo(followed).absolutePath();
}

QUrl PreviewPages::fileWithTicket(const QString& path) {
    const QString ticket = QString::number(QRandomGenerator::system()->generate64(), 36) +
                           QString::number(QRandomGenerator::system()->generate64(), 36);
    // Tickets the engine never came back with (a load stopped, a cached picture) are forgotten
    // in bulk, long after any load could still use them.
    constexpr qsizetype kMaxTickets = 4096;
    if (m_tickets.size() >= kMaxTickets)
        m_tickets.clear();
    m_tickets.insert(ticket, path);
    QUrl file = QUrl::fromLocalFile(path);
    QUrlQuery query;
    query.addQueryItem(QString::fromLatin1(kTicket), ticket);
    file.setQuery(query);
    return file;
}

bool PreviewPages::takeFileTicket(const QUrl& fileUrl) {
    const QString ticket = QUrlQuery(fileUrl).queryItemValue(QString::fromLatin1(kTicket));
    const auto issued = m_tickets.constFind(ticket);
    if (ticket.isEmpty() || issued == m_tickets.cend())
        return false;
    const bool same = *issued == fileUrl.toLocalFile();
    m_tickets.erase(issued);
    return same;
}

namespace {
QByteArray contentTypeOf(const QString& path) {
    return QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension).name().toLatin1();
}
} // namespace

QByteArray PreviewPages::followedContentType(const QString& path) {
    // Files of the editor's other kinds are shown as HTML, as a browser shows a page a server sends.
    static const QStringList asThemselves{"text/css",        "text/plain",    "text/xml",
                                          "application/xml", "image/svg+xml", "application/xhtml+xml"};
    const QByteArray mime = contentTypeOf(path);
    return asThemselves.contains(QString::fromLatin1(mime)) ? mime : QByteArray("text/html");
}

PreviewPages::Reply PreviewPages::answer(const QUrl& url, bool corsMode) {
    Reply reply;
    const QString tree = treeOf(url);
    if (tree.isEmpty())
        return reply;
    const QString path = url.path(QUrl::FullyDecoded);
    const int id = idOf(url);
    const auto source = m_sources.find(id);
    const bool followed = source != m_sources.end();
    if (followed && source->second.path() == path) {
        m_resources.remove(id); // a new page: it asks for what it uses again
        // Unsaved text comes as UTF-8, which the header says, whatever the page declares.
        reply.kind = Reply::Bytes;
        reply.contentType = followedContentType(path) + ";charset=utf-8";
        reply.bytes = source->second.bytes();
        return reply;
    }
    if (HiddenBeyond(path, tree))
        return reply;
    const bool inTree = InFolderTree(path, tree);
    if (!inTree) {
        // A tag's resource from outside the tree: style sheets and fonts in the page's origin, so
        // that a site's shared style sheet and its fonts work; anything else as a file of another
        // origin, which the page can show or run but never read. Asked for as readable (a picture
        // marked crossorigin), only a font is given.
        const bool ownOrigin = corsMode ? IsFontFile(path) : IsStyleSheetFile(path) || IsFontFile(path);
        if (!ownOrigin) {
            if (!corsMode && QFileInfo(path).isFile()) {
                reply.kind = Reply::File;
                reply.file = fileWithTicket(resolved(path));
            }
            return reply;
        }
    }
    reply.contentType = contentTypeOf(path);
    if (followed) {
        const QString clean = QDir::cleanPath(path);
        m_resources[id].insert(clean);
        m_pageUsing.insert(clean, QDir::cleanPath(source->second.path()));
        if (const std::optional<QString> open = m_openText ? m_openText(clean) : std::nullopt) {
            reply.kind = Reply::Bytes;
            reply.bytes = open->toUtf8();
            reply.contentType += ";charset=utf-8";
            return reply;
        }
    }
    QString reason;
    if (!ReadRegularFile(path, kMaxTextFileBytes, reply.bytes, reason))
        return reply;
    reply.kind = Reply::Bytes;
    return reply;
}

std::optional<PreviewPages::Page> PreviewPages::contents(const QUrl& url) {
    // The page itself is always in its tree: anything that is not given as bytes is no page.
    Reply reply = answer(url, false);
    if (reply.kind != Reply::Bytes)
        return std::nullopt;
    return Page{url.path(QUrl::FullyDecoded), std::move(reply.bytes)};
}

void PreviewPages::requestStarted(QWebEngineUrlRequestJob* job) {
    if (job->requestMethod() != "GET") {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    // The engine names the asking origin only when the answer must be readable to be used.
    const bool corsMode = job->requestHeaders().contains("Origin");
    const Reply reply = answer(job->requestUrl(), corsMode);
    switch (reply.kind) {
    case Reply::Refused:
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    case Reply::File:
        job->redirect(reply.file);
        return;
    case Reply::Bytes:
        break;
    }
    auto* buffer = new QBuffer;
    buffer->setData(reply.bytes);
    connect(job, &QObject::destroyed, buffer, &QObject::deleteLater);
    job->reply(reply.contentType, buffer);
}
