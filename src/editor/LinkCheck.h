#pragma once

// Check Links: the local references of a site's pages checked against the files of its folder,
// as a case-sensitive web server would serve them from that folder.

#include "markup/LinkScan.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

enum class LinkProblemKind {
    Missing,       // no such file, or a folder without an index page
    WrongCase,     // the file exists only with other letter case
    BadFragment,   // the "#name" names no id or name in the target page
    OutsideFolder, // the reference climbs above the checked folder
    Remote,        // http, https, ftp or "//": not checked
    NotRead,       // a page that could not be read (binary, too large, no regular file)
};
constexpr int kLinkProblemKinds = 6;

struct LinkVerdict {
    LinkProblemKind kind = LinkProblemKind::Missing;
    QString text; // the sentence the list shows
};

struct LinkProblem {
    QString page; // the page's full path
    QString file; // the same from the checked folder ("sub/a.html")
    TextPlace start, end;
    QString reference; // as the page writes it; "" for a page not read
    LinkProblemKind kind = LinkProblemKind::Missing;
    QString text;
};

struct LinkReport {
    QString folder;
    std::vector<LinkProblem> problems; // by file, then place
    int pages = 0;                     // pages read and checked
    bool cancelled = false;
    QString failure; // why the folder could not be checked at all
};

// Whether a file of this name is a page the check reads: .htm, .html, .xhtml, .php or .asp, in
// any letter case.
bool IsLinkCheckedPage(const QString& name);

// The checked folder as references reach it. Folder listings (for the letter case) and the anchors
// of target pages are read once each and kept, so a site's many references to the same places cost
// a lookup each. Paths are absolute; a page's references are resolved from its folder, "/x" from
// the checked folder.
class SiteFolder {
public:
    explicit SiteFolder(const QString& root);
    ~SiteFolder();
    const QString& root() const { return m_root; }

    // What is wrong with the reference `value` (as PageReference::value) written in `page`, a file
    // below the root; nothing when it is sound or no local reference (mailto:, tel:, javascript:,
    // data:, other schemes). `base` is the href of the page's base element, if it has one.
    std::optional<LinkVerdict> check(const QString& page, const QString& value, const QString& base = {});
    // The anchors of a page already read, so that fragments naming it do not read it again.
    void rememberAnchors(const QString& page, const PageLinks& links);

private:
    struct Listing;
    struct Anchors;
    struct Located;
    const Listing& listing(const QString& folder);
    const Anchors& anchors(const QString& page);
    const Located& locate(const QStringList& segments, bool folder);

    QString m_root;
    QHash<QString, std::shared_ptr<Listing>> m_listings;
    QHash<QString, std::shared_ptr<Anchors>> m_anchors;
    QHash<QString, std::shared_ptr<Located>> m_located;
};

// The problems of one page read and scanned.
std::vector<LinkProblem> CheckPageLinks(SiteFolder& site, const QString& page, const PageLinks& links);

// Reports how far the check is: pages done of all found (0 of 0 while the folders are listed).
using LinkProgress = std::function<void(int done, int total)>;
// Reads every page below `folder` (links to folders followed, each folder once, a loop of links
// reported) as Open reads files, and checks its references. `cancel` is looked at between pages.
LinkReport CheckFolderLinks(const QString& folder, const std::atomic<bool>* cancel = nullptr,
                            const LinkProgress& progress = {});

std::array<int, kLinkProblemKinds> CountLinkProblems(const std::vector<LinkProblem>& problems);
// "2 missing files, 1 wrong letter case; 3 remote not checked; 9 pages checked, 1 file not read".
QString LinkSummary(const LinkReport& report);

// One check of a folder on a thread of its own. Starting another drops the one running; its
// result never comes. finished() comes once per check that ran to its end, progress() now and then
// before it.
class LinkCheckJob : public QObject {
    Q_OBJECT
public:
    explicit LinkCheckJob(QObject* parent = nullptr);
    ~LinkCheckJob() override;

    void start(const QString& folder);
    void cancel();
    bool running() const { return m_running; }
    // Blocks until the checks started have ended and delivers the last result (tests, benchmarks).
    void waitForDone();

signals:
    void progress(int done, int total);
    void finished(const LinkReport& report);

private:
    QThreadPool m_pool;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    int m_generation = 0;
    bool m_running = false;
};
