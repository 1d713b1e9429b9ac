#include "app/LinksPanel.h"
#include "editor/LinkCheck.h"
#include "markup/LinkScan.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/Watchdog.h"

#include <QtTest>
#include <QtWidgets>
#include <sys/stat.h>

// Check Links: the references a page makes, their verdicts against a site's folder, and a whole
// folder checked with the files a real site holds (both line breaks, windows-1252, a pipe, a loop).
class LinkCheckTest : public QObject {
    Q_OBJECT

    static QStringList rows(const QTreeWidget* list) {
        QStringList texts;
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = list->topLevelItem(row);
            texts << QString("%1 %2:%3 %4 | %5")
                         .arg(item->text(0), item->text(1), item->text(2), item->text(3), item->text(4));
        }
        return texts;
    }

    QTemporaryDir m_site;

    QString write(const QString& name, const QByteArray& bytes) const {
        const QString path = m_site.path() + "/" + name;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path : QString();
    }

private slots:
    void initTestCase() {
        const QByteArray index = "<!DOCTYPE html>\n"
                                 "<a href=\"about.html#team\">team</a> <a href=\"about.html#nobody\">x</a>\n"
                                 "<img src=\"Images/Logo.png\"> <img src=\"images/missing.png\">\n"
                                 "<a href=\"#top\">t</a><a href=\"#\">u</a><a href=\"#local\">v</a><a "
                                 "href=\"#nowhere\">w</a>\n"
                                 "<p id=\"local\" style=\"background: url('images/bg.png')\">\n"
                                 "<img srcset=\"images/logo.png 1x, images/big.png 2x\">\n"
                                 "<a href=\"https://example.com/\">r</a><script "
                                 "src=\"//cdn.example.com/x.js\"></script>\n"
                                 "<a href=\"mailto:a@b.c\">m</a><a href=\"tel:1\">t</a><a "
                                 "href=\"javascript:void(0)\">j</a><img src=\"data:image/png;base64,AAAA\">\n"
                                 "<a href=\"../outside.html\">o</a><a href=\"/sub/\">r</a><a "
                                 "href=\"sub/page.htm?x=1&amp;y=2\">q</a>\n"
                                 "<a href=\"caf%C3%A9.html#%C3%A9\">c</a><a href=\"nodir/\">n</a><a "
                                 "href=\"empty/\">e</a>\n"
                                 "<!-- <a href=\"commented.html\"> --><style>\n"
                                 "body { background: url(images/none.png) }\n"
                                 "</style>\n";
        QVERIFY(!write("index.html", index).isEmpty());
        write("about.html", "<h1 id=\"team\">Team</h1>\r\n<a name=\"old\"></a>\r\n"
                            "<a href=\"index.html#local\">back</a>\r\n<a href=\"INDEX.html\">case</a>\r\n");
        write("sub/page.htm", "<a href=\"../about.html#old\">ok</a>\r\n<a href=\"../../up.html\">out</a>\r\n"
                              "<img src=\"/images/logo.png\"><img src=\"../Images/logo.png\">\r\n");
        write("sub/index.html", "<p>sub</p>");
        write("café.html", "<meta charset=\"windows-1252\"><p id=\"\xe9\">\xe9t\xe9</p>\n"
                           "<a href=\"caf\xe9.html\">self</a> <a href=\"r\xe9sum\xe9.html\">cv</a>\n");
        write("UPPER.HTM", "<a href=\"upper.htm\">me</a>");
        write("dyn.php", "<?php echo '<a href=\"gone.html\">' ?>\n<a href=\"<?= $x ?>\">");
        write("binary.html", QByteArray("<p>\0</p>", 8));
        write("images/logo.png", "png");
        write("images/bg.png", "png");
        write("empty/readme.txt", "no index");
        QCOMPARE(::mkfifo(QFile::encodeName(m_site.path() + "/pipe.html").constData(), 0600), 0);
        QVERIFY(QFile::link(m_site.path(), m_site.path() + "/loop"));
        QVERIFY(QFile::link(m_site.path() + "/images/nowhere.png", m_site.path() + "/images/dangling.png"));
    }

    // The references of a page: "line:column-line:column written[ ->value]" each in source order
    // (the base element's href first, marked), and its anchors ("+server" when it holds server code).
    void scan_data() {
        table(
            {"text", "references", "anchors"},
            {"unquoted; <a href=a.html><b>; 1:9-1:15 a.html; ",
             "every kind of attribute; <IMG SRC='b' data-src=\"no\"><form action=c><body background=d><video "
             "poster=e><object data=f><use xlink:href=g>; 1:11-1:12 b | 1:41-1:42 c | 1:60-1:61 d | "
             "1:76-1:77 "
             "e | 1:91-1:92 f | 1:109-1:110 g; ",
             "comments, raw text and server code hold none; <!-- <a href=x> --><script>w('<a "
             "href=y>')</script><textarea><a href=z></textarea><?php echo '<a href=\"w\">' ?><a href=\"<?= "
             "$u "
             "?>\">\n<a href=v>; 2:9-2:10 v; +server",
             "noscript is read; <noscript><img src=n></noscript>; 1:20-1:21 n; ",
             "title holds no tags; <title><a href=t></title><a href=u>; 1:34-1:35 u; ",
             "plaintext ends the tags; <plaintext><a href=p>; ; ",
             "server code between attributes; <a <?php if ($x) { ?>class=\"y\"<?php } ?> href=\"s\">; "
             "1:48-1:49 "
             "s; +server",
             "the first of repeated attributes; <a href=1 HREF=2>; 1:9-1:10 1; ",
             "character references and blanks; <a href=\"  a&amp;b&#x2e;html \">; 1:12-1:29 "
             "a&amp;b&#x2e;html->a&b.html; ",
             "srcset candidates; <img srcset=\"a.png,, b.png 2x, c,d.png 100w, e.png (x, y) 1x,f.png\">; "
             "1:14-1:19 a.png | 1:22-1:27 b.png | 1:32-1:39 c,d.png | 1:46-1:51 e.png | 1:62-1:67 f.png; ",
             "CSS url(); <p style=\"a:url(&quot;q.png&quot;);b:URL( r.png )\">\n<style>/* url(no) */ "
             "x{content:\"url(no)\";b:url('s.png')}</style>; 1:17-1:34 &quot;q.png&quot;->q.png | "
             "1:43-1:48 "
             "r.png | 2:49-2:54 s.png; ",
             "CR LF, lone CR and LF; <p>\r\n<a\r\nhref=a>\r<img src=b>\n<img src=c>; 3:6-3:7 a | 4:10-4:11 b "
             "| 5:10-5:11 c; ",
             "a tag the text ends in; <a href=a><a href=\"b; 1:9-1:10 a; ",
             "base; <base href=\"sub/\"><a href=x>; base 1:13-1:17 sub/ | 1:27-1:28 x; ",
             "empty values; <a href=\"\"><a href=\" \"><img src=#>; 1:33-1:34 #; ",
             "anchors; <p id=a><a NAME=b><div name=c><a id=\"d&amp;e\" name=g><x id='f'>; ; a,b,d&e,f,g",
             "an XML declaration is no server code; <?xml version=\"1.0\"?><p id=x>; ; x"});
    }
    void scan() {
        const PageLinks links = ScanPageLinks(cell("text"));
        QStringList references;
        const auto described = [](const PageReference& r) {
            return QString("%1:%2-%3:%4 %5")
                       .arg(r.start.line)
                       .arg(r.start.column)
                       .arg(r.end.line)
                       .arg(r.end.column)
                       .arg(r.written) +
                   (r.value != r.written ? "->" + r.value : QString());
        };
        if (links.base)
            references << "base " + described(*links.base);
        for (const PageReference& reference : links.references)
            references << described(reference);
        QCOMPARE(references.join(" | "), cell("references"));
        QStringList anchors(links.anchors.begin(), links.anchors.end());
        anchors.sort();
        QCOMPARE(anchors.join(",") + (links.serverCode ? "+server" : ""), cell("anchors"));
    }

    // One reference written in a page of the site, with the page's base element's href: its verdict.
    void verdicts_data() {
        table({"page", "reference", "base", "verdict"},
              {"sound; index.html; about.html#team; ; ",
               "query and fragment; index.html; about.html?x=1#team; ; ",
               "missing; index.html; nope.html; ; Missing: File not found",
               "wrong case of a folder; sub/page.htm; ../IMAGES/logo.png; ; WrongCase: Letter case differs: "
               "the "
               "file is /images/logo.png",
               "ids differ in case; index.html; about.html#TEAM; ; BadFragment: No id or name \"TEAM\" in "
               "/about.html",
               "#TOP; about.html; #TOP; ; ",
               "a fragment of a picture; index.html; images/logo.png#x; ; ",
               "a page with server code; index.html; dyn.php#any; ; ",
               "an encoded slash names no file; index.html; images%2Flogo.png; ; Missing: File not found",
               "encoded dots climb; sub/page.htm; %2E%2e/about.html; ; ",
               "encoded dots climb out; index.html; %2e%2e/x.html; ; OutsideFolder: Leads out of the checked "
               "folder",
               "backslashes; sub/page.htm; ..\\images\\logo.png; ; ",
               "folder without a slash; index.html; sub; ; ",
               "folder without index; index.html; empty; ; Missing: Folder has no index page",
               "the checked folder; sub/page.htm; /; ; ",
               "a page as a folder; index.html; about.html/x; ; Missing: File not found",
               "a link to nothing; index.html; images/dangling.png; ; Missing: File not found",
               "through a link; index.html; loop/about.html#team; ; ",
               "a pipe is not read; index.html; pipe.html#x; ; ",
               "upper-case scheme; index.html; HTTPS://x/; ; Remote: Remote: not checked",
               "ftp; index.html; ftp://x/f; ; Remote: Remote: not checked",
               "other schemes; index.html; skype:someone; ; ",
               "a local base; index.html; page.htm; sub/; ",
               "a fragment alone goes to the base; index.html; #local; sub/; BadFragment: No id or name "
               "\"local\" in /sub/index.html",
               "a remote base; index.html; about.html; http://example.com/; Remote: Remote: not checked"});
    }
    void verdicts() {
        SiteFolder site(m_site.path());
        const std::optional<LinkVerdict> verdict =
            site.check(m_site.path() + "/" + cell("page"), cell("reference"), cell("base"));
        static const char* const kinds[] = {"Missing",       "WrongCase", "BadFragment",
                                            "OutsideFolder", "Remote",    "NotRead"};
        QCOMPARE(verdict ? QString("%1: %2").arg(kinds[int(verdict->kind)], verdict->text) : QString(),
                 cell("verdict"));
    }

    // The whole site: every problem row in order, the summary; the pipe does not block.
    void wholeFolder() {
        Watchdog watchdog("checking a folder with a named pipe");
        int reports = 0, lastDone = -1, lastTotal = -1;
        const LinkReport report = CheckFolderLinks(m_site.path(), nullptr, [&](int done, int total) {
            ++reports;
            lastDone = done;
            lastTotal = total;
        });
        QStringList rows;
        for (const LinkProblem& p : report.problems)
            rows << QString("%1 %2:%3 %4 | %5")
                        .arg(p.file)
                        .arg(p.start.line)
                        .arg(p.start.column)
                        .arg(p.reference, QString(p.text).replace(m_site.path(), "ROOT"));
        const QStringList expected{
            "UPPER.HTM 1:10 upper.htm | Letter case differs: the file is /UPPER.HTM",
            "about.html 4:10 INDEX.html | Letter case differs: the file is /index.html",
            "binary.html 0:0  | ROOT/binary.html contains NUL bytes: it is binary data, not text.",
            "café.html 2:39 résumé.html | File not found",
            "index.html 2:45 about.html#nobody | No id or name \"nobody\" in /about.html",
            "index.html 3:11 Images/Logo.png | Letter case differs: the file is /images/logo.png",
            "index.html 3:39 images/missing.png | File not found",
            "index.html 4:69 #nowhere | No id or name \"nowhere\" in this page",
            "index.html 6:34 images/big.png | File not found",
            "index.html 7:10 https://example.com/ | Remote: not checked",
            "index.html 7:50 //cdn.example.com/x.js | Remote: not checked",
            "index.html 9:10 ../outside.html | Leads out of the checked folder",
            "index.html 10:47 nodir/ | File not found",
            "index.html 10:69 empty/ | Folder has no index page",
            "index.html 12:24 images/none.png | File not found",
            "loop 0:0  | A link loop: leads back to a folder above it.",
            "pipe.html 0:0  | ROOT/pipe.html is not a regular file and cannot be opened as text.",
            "sub/page.htm 2:10 ../../up.html | Leads out of the checked folder",
            "sub/page.htm 3:39 ../Images/logo.png | Letter case differs: the file is /images/logo.png"};
        QCOMPARE(rows, expected);
        QCOMPARE(LinkSummary(report), "6 missing files, 4 wrong letter case, 2 bad fragments, 2 outside the "
                                      "folder; 2 remote not checked; 7 pages checked, 3 files not read");
        QVERIFY(reports >= 2);
        QCOMPARE(QString("%1 of %2").arg(lastDone).arg(lastTotal), "9 of 9");

        // Cancelled before it starts: nothing read, said so.
        const std::atomic<bool> cancelled{true};
        const LinkReport none = CheckFolderLinks(m_site.path(), &cancelled);
        QVERIFY(none.cancelled && none.pages == 0);
        QCOMPARE(CheckFolderLinks(m_site.path() + "/index.html").failure,
                 m_site.path() + "/index.html is no folder.");
    }

    // On its thread: a check started over another replaces it (one result, the last folder's), and
    // a cancelled one never reports.
    void job() {
        LinkCheckJob job;
        QStringList finished;
        int lastTotal = -1;
        connect(&job, &LinkCheckJob::finished, this, [&](const LinkReport& report) {
            finished << QString("%1 %2").arg(report.folder).arg(report.pages);
        });
        connect(&job, &LinkCheckJob::progress, this, [&](int, int total) { lastTotal = total; });
        job.start(m_site.path() + "/sub");
        job.start(m_site.path() + "/");
        QVERIFY(job.running());
        job.waitForDone();
        QVERIFY(!job.running());
        QCOMPARE(finished, QStringList{m_site.path() + " 7"});
        QCOMPARE(lastTotal, 9);
        job.start(m_site.path() + "/sub");
        job.cancel();
        QVERIFY(!job.running());
        job.waitForDone();
        QCOMPARE(finished.size(), 1);
    }

    // "Check Links..." as a user meets it: the folder asked for, the panel's rows, its filter, and a
    // row taken with the keyboard to its place in the page.

    void checkedAndVisitedFromTheKeyboard() {
        AppFixture app;
        const QString index =
            app.env.writeFile("site/index.html", "<p>\r\n<a href=\"gone.html\">x</a>\r\n"
                                                 "<a href=\"http://example.com/\">y</a>\r\n");
        app.env.writeFile("site/sub/page.htm", "<p>\n\n  <img alt=\"\" src=\"../Index.html\">\n");
        const QString site = QFileInfo(index).absolutePath();
        QCOMPARE(::mkfifo(QFile::encodeName(site + "/pipe.html").constData(), 0600), 0);
        app.start({index});
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()));
        frmNotepad* page = app.document(0);

        // From the document window: the dialog starts in the document's folder.
        app.dialogs.folders.enqueue(site);
        page->findChild<QAction*>("mnuCheckLinks")->trigger();
        QCOMPARE(app.dialogs.folderRequests.last().folder, site);
        LinksPanel* panel = app.main->linksPanel();
        QVERIFY(panel && panel->isVisible());
        QCOMPARE(panel->objectName(), "dockLinks");
        panel->waitForDone();
        QVERIFY(!panel->running() && !panel->cmdCancelLinks->isEnabled());
        QTreeWidget* list = panel->lstLinks;
        QVERIFY(list->hasFocus()); // the keyboard is on the results
        QCOMPARE(rows(list), QStringList({"index.html 2:10 gone.html | File not found",
                                          "sub/page.htm 3:20 ../Index.html | Letter case differs: the file "
                                          "is /index.html"}));
        QCOMPARE(
            panel->lblLinksSummary->text(),
            "1 missing file, 1 wrong letter case; 1 remote not checked; 2 pages checked, 1 file not read");
        panel->cmbLinksFilter->setCurrentText("Remote (not checked)");
        QCOMPARE(rows(list), QStringList{"index.html 3:10 http://example.com/ | Remote: not checked"});
        // A page not read is listed under its own filter; Enter on it says why it cannot be opened.
        panel->cmbLinksFilter->setCurrentText("Pages not read");
        const QString refusal = site + "/pipe.html is not a regular file and cannot be opened as text.";
        QCOMPARE(rows(list), QStringList{"pipe.html :  | " + refusal});
        sendKey(list, Qt::Key_Return);
        QCOMPARE(app.dialogs.messages.last().text, refusal);
        QCOMPARE(app.main->documents().DocumentCount, 1);
        panel->cmbLinksFilter->setCurrentText("Wrong letter case");
        QCOMPARE(rows(list).size(), 1);
        panel->cmbLinksFilter->setCurrentIndex(0);

        // The row the keyboard was on under a filter stays current. Enter: its page opens with the
        // reference selected (its LF breaks read as CR LF); Up and Enter: the page open already
        // comes up, no second window of it.
        list->setFocus();
        QCOMPARE(list->currentItem(), list->topLevelItem(1));
        sendKey(list, Qt::Key_Return);
        frmNotepad* other = app.main->documents().current();
        QVERIFY(other && other != page);
        QCOMPARE(app.record(other->slot()).PathCaption, site + "/sub/page.htm");
        QCOMPARE(other->txtRich->selText(), "../Index.html");
        QVERIFY(other->txtRich->hasFocus());
        list->setFocus();
        sendKey(list, Qt::Key_Up);
        sendKey(list, Qt::Key_Return);
        QCOMPARE(app.main->documents().current(), page);
        QCOMPARE(app.main->documents().DocumentCount, 2);
        QCOMPARE(page->txtRich->selText(), "gone.html");

        // From the main window's menu, cancelled: the results stay.
        const int asked = app.dialogs.folderRequests.size();
        app.main->action(CommandId::CheckLinks)->trigger();
        QCOMPARE(app.dialogs.folderRequests.size(), asked + 1);
        QCOMPARE(app.dialogs.folderRequests.last().folder, app.main->dialogFolder());
        QCOMPARE(list->topLevelItemCount(), 2);

        // Esc stops a check that runs: its results never come. Another run replaces the rows.
        app.dialogs.folders.enqueue(site);
        page->findChild<QAction*>("mnuCheckLinks")->trigger();
        QCOMPARE(list->topLevelItemCount(), 0);
        sendKey(list, Qt::Key_Escape);
        QCOMPARE(panel->lblLinksSummary->text(), "Cancelled.");
        panel->waitForDone();
        QCoreApplication::processEvents();
        QCOMPARE(panel->lblLinksSummary->text(), "Cancelled.");
        QCOMPARE(list->topLevelItemCount(), 0);
        QVERIFY(QFile::rename(site + "/sub/page.htm", site + "/sub/page.txt"));
        app.dialogs.folders.enqueue(site + "/");
        page->findChild<QAction*>("mnuCheckLinks")->trigger();
        panel->waitForDone();
        QCOMPARE(rows(list), QStringList{"index.html 2:10 gone.html | File not found"});
        // Esc with nothing running gives the keyboard back to the document.
        sendKey(list, Qt::Key_Escape);
        QVERIFY(app.main->documents().current()->txtRich->hasFocus());
    }
};

QTEST_MAIN(LinkCheckTest)
#include "tst_linkcheck.moc"
