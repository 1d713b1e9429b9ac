#include "editor/LinkCheck.h"

#include "markup/MarkupNames.h"
#include "platform/TextFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <set>
#include <sys/stat.h>
#include <tuple>

namespace {

const QStringView kPageExtensions[] = {u"htm", u"html", u"xhtml", u"php", u"asp"};
// What a server gives for a folder: its index page, by the names of the pages checked.
const QString kIndexPages[] = {QStringLiteral("index.html"), QStringLiteral("index.htm"),
                               QStringLiteral("index.xhtml"), QStringLiteral("index.php"),
                               QStringLiteral("index.asp")};

// A reference split as a URL: its kind, its path (still percent-encoded) and fragment.
struct SplitUrl {
    enum Kind { Local, Remote, Ignored } kind = Local;
    QString path;
    QString fragment;
};

SplitUrl splitUrl(QString value) {
    // As a URL parser reads it: tabs and line breaks dropped, "\" a "/".
    value.remove(u'\t').remove(u'\n').remove(u'\r').replace(u'\\', u'/');
    SplitUrl url;
    if (value.startsWith(u"//")) {
        url.kind = SplitUrl::Remote;
        return url;
    }
    qsizetype colon = 0;
    const auto schemeChar = [&](QChar c) {
        return MarkupNames::isNameStart(c) || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
    };
    if (!value.isEmpty() && MarkupNames::isNameStart(value[0])) {
        colon = 1;
        while (colon < value.size() && schemeChar(value[colon]))
            ++colon;
    }
    if (colon > 0 && colon < value.size() && value[colon] == u':') {
        const QString scheme = value.left(colon).toLower();
        url.kind = scheme == u"http" || scheme == u"https" || scheme == u"ftp" ? SplitUrl::Remote
                                                                               : SplitUrl::Ignored;
        return url;
    }
    const qsizetype hash = value.indexOf(u'#');
    if (hash >= 0) {
        url.fragment = value.mid(hash + 1);
        value.truncate(hash);
    }
    if (const qsizetype query = value.indexOf(u'?'); query >= 0)
        value.truncate(query);
    url.path = value;
    return url;
}

QString percentDecoded(const QString& text) {
    if (!text.contains(u'%'))
        return text;
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text.toUtf8()));
}

// A place below the checked folder: its names from there, and whether it was written as a folder.
struct SitePath {
    QStringList segments;
    bool folder = false;
};

// Resolves `path` against the document at `from`; nothing when it climbs above the checked folder.
// Each segment is decoded on its own, so an encoded "/" stays part of a name (which no file has),
// while an encoded ".." climbs as browsers let it.
std::optional<SitePath> resolve(const SitePath& from, const QString& path) {
    if (path.isEmpty())
        return from;
    SitePath to;
    if (!path.startsWith(u'/')) {
        to.segments = from.segments;
        if (!from.folder && !to.segments.isEmpty())
            to.segments.removeLast();
    }
    const QStringList parts = path.split(u'/');
    for (qsizetype i = path.startsWith(u'/') ? 1 : 0; i < parts.size(); ++i) {
        const QString name = percentDecoded(parts[i]);
        const bool last = i + 1 == parts.size();
        if (name == u"..") {
            if (to.segments.isEmpty())
                return std::nullopt;
            to.segments.removeLast();
        } else if (!name.isEmpty() && name != u".") {
            to.segments << name;
        }
        to.folder = last && (name.isEmpty() || name == u"." || name == u"..");
    }
    return to;
}

QString verdictText(LinkProblemKind kind) {
    switch (kind) {
    case LinkProblemKind::Missing:
        return QCoreApplication::translate("LinkCheck", "File not found");
    case LinkProblemKind::OutsideFolder:
        return QCoreApplication::translate("LinkCheck", "Leads out of the checked folder");
    case LinkProblemKind::Remote:
        return QCoreApplication::translate("LinkCheck", "Remote: not checked");
    default:
        return {};
    }
}

struct FileId {
    dev_t device;
    ino_t inode;
    bool operator==(const FileId& other) const { return device == other.device && inode == other.inode; }
    bool operator<(const FileId& other) const {
        return std::pair(device, inode) < std::pair(other.device, other.inode);
    }
};

std::optional<FileId> folderId(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISDIR(status.st_mode))
        return std::nullopt;
    return FileId{status.st_dev, status.st_ino};
}

QString childPath(const QString& folder, const QString& name) {
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

// `path` from `root` on ("sub/a.html"); as it is when it is not below it.
QString relativeTo(const QString& root, const QString& path) {
    const QString prefix = childPath(root, QString());
    return path.startsWith(prefix) ? path.mid(prefix.size()) : path;
}

LinkProblem notRead(const QString& root, const QString& path, const QString& reason) {
    LinkProblem problem;
    problem.page = path;
    problem.file = relativeTo(root, path);
    problem.start = problem.end = TextPlace{0, 0};
    problem.kind = LinkProblemKind::NotRead;
    problem.text = reason;
    return problem;
}

// The pages below `root`, in name order folder by folder. Folders reached again through links
// are not read again; a link back to a folder the walk is in is a loop, told in `problems`.
QStringList findPages(const QString& root, std::vector<LinkProblem>& problems,
                      const std::atomic<bool>* cancel) {
    struct Pending {
        QString path;
        std::vector<FileId> ancestors; // the folders the walk is in, this one last
    };
    QStringList pages;
    std::set<FileId> seen;
    std::vector<Pending> stack;
    if (const std::optional<FileId> id = folderId(root)) {
        stack.push_back({root, {*id}});
        seen.insert(*id);
    }
    while (!stack.empty() && !(cancel && *cancel)) {
        const Pending folder = std::move(stack.back());
        stack.pop_back();
        const QDir dir(folder.path);
        if (!dir.isReadable()) {
            problems.push_back(notRead(
                root, folder.path, QCoreApplication::translate("LinkCheck", "The folder cannot be read.")));
            continue;
        }
        const QFileInfoList entries = dir.entryInfoList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        std::vector<Pending> below;
        for (const QFileInfo& entry : entries) {
            const QString path = childPath(folder.path, entry.fileName());
            if (entry.isDir()) {
                const std::optional<FileId> id = folderId(path);
                if (!id)
                    continue;
                if (std::find(folder.ancestors.begin(), folder.ancestors.end(), *id) !=
                    folder.ancestors.end()) {
                    problems.push_back(
                        notRead(root, path,
                                QCoreApplication::translate(
                                    "LinkCheck", "A link loop: leads back to a folder above it.")));
                } else if (seen.insert(*id).second) {
                    std::vector<FileId> ancestors = folder.ancestors;
                    ancestors.push_back(*id);
                    below.push_back({path, std::move(ancestors)});
                }
            } else if (IsLinkCheckedPage(entry.fileName())) {
                pages << path; // anything but a regular file is refused when it is read
            }
        }
        // Taken from the back: the first in name order comes first.
        stack.insert(stack.end(), std::make_move_iterator(below.rbegin()),
                     std::make_move_iterator(below.rend()));
    }
    return pages;
}

} // namespace

bool IsLinkCheckedPage(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0)
        return false;
    const QStringView extension = QStringView(name).sliced(dot + 1);
    for (const QStringView one : kPageExtensions)
        if (MarkupNames::sameName(extension, one))
            return true;
    return false;
}

struct SiteFolder::Listing {
    QSet<QString> names;
    QHash<QString, QString> byFolded; // a name in case-folded form -> the name
    // The name in the folder: `name` itself, else one differing in letter case only, else "".
    QString find(const QString& name, bool& caseDiffers) const {
        if (names.contains(name))
            return name;
        const QString other = byFolded.value(name.toCaseFolded());
        caseDiffers = caseDiffers || !other.isEmpty();
        return other;
    }
};

struct SiteFolder::Anchors {
    QSet<QString> names;
    bool known = false; // read, and without server code that may write more
};

struct SiteFolder::Located {
    QString path; // the file a server gives, "" for none
    std::optional<LinkVerdict> verdict;
};

SiteFolder::SiteFolder(const QString& root) : m_root(QDir::cleanPath(QFileInfo(root).absoluteFilePath())) {}

SiteFolder::~SiteFolder() = default;

const SiteFolder::Listing& SiteFolder::listing(const QString& folder) {
    std::shared_ptr<Listing>& kept = m_listings[folder];
    if (!kept) {
        kept = std::make_shared<Listing>();
        for (const QString& name :
             QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
            kept->names.insert(name);
            kept->byFolded.insert(name.toCaseFolded(), name);
        }
    }
    return *kept;
}

const SiteFolder::Anchors& SiteFolder::anchors(const QString& page) {
    std::shared_ptr<Anchors>& kept = m_anchors[page];
    if (!kept) {
        kept = std::make_shared<Anchors>();
        LoadedText loaded;
        QString reason;
        if (readTextFile(page, loaded, reason)) {
            PageLinks links = ScanPageLinks(loaded.text);
            kept->names = std::move(links.anchors);
            kept->known = !links.serverCode;
        }
    }
    return *kept;
}

void SiteFolder::rememberAnchors(const QString& page, const PageLinks& links) {
    std::shared_ptr<Anchors>& kept = m_anchors[page];
    if (!kept)
        kept = std::make_shared<Anchors>(Anchors{links.anchors, !links.serverCode});
}

const SiteFolder::Located& SiteFolder::locate(const QStringList& segments, bool folder) {
    std::shared_ptr<Located>& kept =
        m_located[segments.join(u'/') + (folder ? QStringLiteral("/") : QString())];
    if (kept)
        return *kept;
    kept = std::make_shared<Located>();
    Located& found = *kept;
    bool caseDiffers = false;
    QString path = m_root;
    for (const QString& segment : segments) {
        const QString name = listing(path).find(segment, caseDiffers);
        if (name.isEmpty()) {
            found.verdict = LinkVerdict{LinkProblemKind::Missing, verdictText(LinkProblemKind::Missing)};
            return found;
        }
        path = childPath(path, name);
    }
    const QFileInfo target(path);
    if (!target.exists()) { // a link that leads nowhere
        found.verdict = LinkVerdict{LinkProblemKind::Missing, verdictText(LinkProblemKind::Missing)};
        return found;
    }
    if (target.isDir()) {
        // Index pages are found by their exact names: a server looks for no other.
        const Listing& inside = listing(path);
        const QString* index = std::find_if(std::begin(kIndexPages), std::end(kIndexPages),
                                            [&](const QString& name) { return inside.names.contains(name); });
        if (index == std::end(kIndexPages)) {
            found.verdict = LinkVerdict{LinkProblemKind::Missing,
                                        QCoreApplication::translate("LinkCheck", "Folder has no index page")};
            return found;
        }
        path = childPath(path, *index);
    }
    found.path = path;
    if (caseDiffers)
        found.verdict =
            LinkVerdict{LinkProblemKind::WrongCase,
                        QCoreApplication::translate("LinkCheck", "Letter case differs: the file is /%1")
                            .arg(relativeTo(m_root, path))};
    return found;
}

std::optional<LinkVerdict> SiteFolder::check(const QString& page, const QString& value, const QString& base) {
    const SplitUrl url = splitUrl(value);
    if (url.kind == SplitUrl::Ignored)
        return std::nullopt;
    if (url.kind == SplitUrl::Remote)
        return LinkVerdict{LinkProblemKind::Remote, verdictText(LinkProblemKind::Remote)};
    SitePath document{relativeTo(m_root, page).split(u'/'), false};
    if (!base.isEmpty()) {
        // References resolve against the base: a remote one makes them all remote, a local one is
        // resolved as any reference is (it need not exist itself).
        const SplitUrl baseUrl = splitUrl(base);
        if (baseUrl.kind == SplitUrl::Remote)
            return LinkVerdict{LinkProblemKind::Remote, verdictText(LinkProblemKind::Remote)};
        if (baseUrl.kind == SplitUrl::Local) {
            const std::optional<SitePath> resolved = resolve(document, baseUrl.path);
            if (!resolved)
                return LinkVerdict{LinkProblemKind::OutsideFolder,
                                   verdictText(LinkProblemKind::OutsideFolder)};
            document = *resolved;
        }
    }
    const std::optional<SitePath> target = resolve(document, url.path);
    if (!target)
        return LinkVerdict{LinkProblemKind::OutsideFolder, verdictText(LinkProblemKind::OutsideFolder)};
    const Located& found = locate(target->segments, target->folder);
    if (found.verdict)
        return found.verdict;
    // "#" alone and "#top" are the page's top, which every page has.
    if (url.fragment.isEmpty() || MarkupNames::sameName(url.fragment, u"top") ||
        !IsLinkCheckedPage(found.path))
        return std::nullopt;
    const Anchors& names = anchors(found.path);
    if (!names.known || names.names.contains(url.fragment) ||
        names.names.contains(percentDecoded(url.fragment)))
        return std::nullopt;
    const QString where = found.path == page ? QCoreApplication::translate("LinkCheck", "this page")
                                             : u'/' + relativeTo(m_root, found.path);
    return LinkVerdict{LinkProblemKind::BadFragment,
                       QCoreApplication::translate("LinkCheck", "No id or name \"%1\" in %2")
                           .arg(percentDecoded(url.fragment), where)};
}

std::vector<LinkProblem> CheckPageLinks(SiteFolder& site, const QString& page, const PageLinks& links) {
    site.rememberAnchors(page, links);
    const QString base = links.base ? links.base->value : QString();
    std::vector<LinkProblem> problems;
    for (const PageReference& reference : links.references) {
        std::optional<LinkVerdict> verdict = site.check(page, reference.value, base);
        if (!verdict)
            continue;
        problems.push_back({page, relativeTo(site.root(), page), reference.start, reference.end,
                            reference.written, verdict->kind, std::move(verdict->text)});
    }
    return problems;
}

LinkReport CheckFolderLinks(const QString& folder, const std::atomic<bool>* cancel,
                            const LinkProgress& progress) {
    SiteFolder site(folder);
    LinkReport report;
    report.folder = site.root();
    const QFileInfo root(site.root());
    if (!root.isDir()) {
        report.failure = QCoreApplication::translate("LinkCheck", "%1 is no folder.").arg(site.root());
        return report;
    }
    if (!QDir(site.root()).isReadable()) {
        report.failure =
            QCoreApplication::translate("LinkCheck", "The folder %1 cannot be read.").arg(site.root());
        return report;
    }
    if (progress)
        progress(0, 0);
    const QStringList pages = findPages(site.root(), report.problems, cancel);
    for (int i = 0; i < pages.size(); ++i) {
        if (cancel && *cancel)
            break;
        if (progress)
            progress(i, int(pages.size()));
        LoadedText loaded;
        QString reason;
        if (!readTextFile(pages[i], loaded, reason)) {
            report.problems.push_back(notRead(site.root(), pages[i], reason));
            continue;
        }
        ++report.pages;
        std::vector<LinkProblem> found = CheckPageLinks(site, pages[i], ScanPageLinks(loaded.text));
        report.problems.insert(report.problems.end(), std::make_move_iterator(found.begin()),
                               std::make_move_iterator(found.end()));
    }
    report.cancelled = cancel && *cancel;
    if (progress && !report.cancelled)
        progress(int(pages.size()), int(pages.size()));
    std::stable_sort(
        report.problems.begin(), report.problems.end(), [](const LinkProblem& a, const LinkProblem& b) {
            if (a.file != b.file)
                return a.file < b.file;
            return std::pair(a.start.line, a.start.column) < std::pair(b.start.line, b.start.column);
        });
    return report;
}

std::array<int, kLinkProblemKinds> CountLinkProblems(const std::vector<LinkProblem>& problems) {
    std::array<int, kLinkProblemKinds> counts{};
    for (const LinkProblem& problem : problems)
        ++counts[size_t(problem.kind)];
    return counts;
}

QString LinkSummary(const LinkReport& report) {
    if (!report.failure.isEmpty())
        return report.failure;
    const std::array<int, kLinkProblemKinds> counts = CountLinkProblems(report.problems);
    const auto count = [&](LinkProblemKind kind, const char* one, const char* many) {
        const int n = counts[size_t(kind)];
        // English takes `one` or `many` as the code chooses; a catalogue gives each the forms its
        // language has for the count.
        return QCoreApplication::translate("LinkCheck", n == 1 ? one : many, nullptr, n);
    };
    QStringList broken;
    for (const auto& [kind, one, many] :
         {std::tuple{LinkProblemKind::Missing, QT_TRANSLATE_N_NOOP("LinkCheck", "%n missing file"),
                     QT_TRANSLATE_N_NOOP("LinkCheck", "%n missing files")},
          std::tuple{LinkProblemKind::WrongCase, QT_TRANSLATE_N_NOOP("LinkCheck", "%n wrong letter case"),
                     QT_TRANSLATE_N_NOOP("LinkCheck", "%n wrong letter case")},
          std::tuple{LinkProblemKind::BadFragment, QT_TRANSLATE_N_NOOP("LinkCheck", "%n bad fragment"),
                     QT_TRANSLATE_N_NOOP("LinkCheck", "%n bad fragments")},
          std::tuple{LinkProblemKind::OutsideFolder,
                     QT_TRANSLATE_N_NOOP("LinkCheck", "%n outside the folder"),
                     QT_TRANSLATE_N_NOOP("LinkCheck", "%n outside the folder")}})
        if (counts[size_t(kind)] > 0)
            broken << count(kind, one, many);
    QString summary = broken.isEmpty() ? QCoreApplication::translate("LinkCheck", "No broken links")
                                       : broken.join(QCoreApplication::translate("LinkCheck", ", "));
    if (const int remote = counts[size_t(LinkProblemKind::Remote)]; remote > 0)
        summary += QCoreApplication::translate("LinkCheck", "; %n remote not checked", nullptr, remote);
    summary += report.pages == 1
                   ? QCoreApplication::translate("LinkCheck", "; %n page checked", nullptr, report.pages)
                   : QCoreApplication::translate("LinkCheck", "; %n pages checked", nullptr, report.pages);
    if (const int unread = counts[size_t(LinkProblemKind::NotRead)]; unread > 0)
        summary += unread == 1
                       ? QCoreApplication::translate("LinkCheck", ", %n file not read", nullptr, unread)
                       : QCoreApplication::translate("LinkCheck", ", %n files not read", nullptr, unread);
    if (report.cancelled)
        summary += QCoreApplication::translate("LinkCheck", " (cancelled)");
    return summary;
}

LinkCheckJob::LinkCheckJob(QObject* parent) : QObject(parent) {
    m_pool.setMaxThreadCount(1);
}

LinkCheckJob::~LinkCheckJob() {
    // Nothing outlives the job: a check running is told to stop, and is gone before the job is.
    cancel();
    m_pool.waitForDone();
}

void LinkCheckJob::start(const QString& folder) {
    cancel();
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    m_running = true;
    const int generation = ++m_generation;
    m_pool.start([this, folder, generation, cancel = m_cancel] {
        QElapsedTimer sinceProgress;
        sinceProgress.start();
        const auto progress = [&](int done, int total) {
            // Some ten reports a second at most: each is an event for the interface thread.
            if (done != 0 && done != total && sinceProgress.elapsed() < 100)
                return;
            sinceProgress.restart();
            QMetaObject::invokeMethod(
                this,
                [this, generation, done, total] {
                    if (generation == m_generation)
                        emit this->progress(done, total);
                },
                Qt::QueuedConnection);
        };
        LinkReport report = CheckFolderLinks(folder, cancel.get(), progress);
        if (*cancel)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, generation, report = std::move(report)] {
                if (generation != m_generation)
                    return;
                m_running = false;
                emit finished(report);
            },
            Qt::QueuedConnection);
    });
}

void LinkCheckJob::cancel() {
    if (m_cancel)
        *m_cancel = true;
    ++m_generation; // what it still sends is not wanted
    m_running = false;
}

void LinkCheckJob::waitForDone() {
    m_pool.waitForDone();
    QCoreApplication::sendPostedEvents(this);
}

#include "moc_LinkCheck.cpp"
