#include "editor/mdlFile.h"
#include "support/AppFixture.h"
#include "wizards/Pictures.h"

#include <QAction>
#include <QBuffer>
#include <QImage>
#include <QTest>

namespace {

// A GIF whose screen is w x h, holding one black pixel (Qt reads GIF but cannot write it).
QByteArray gif(int w, int h) {
    QByteArray bytes("GIF89a\0\0\0\0\x80\0\0\xff\xff\xff\0\0\0,\0\0\0\0\1\0\1\0\0\2\2D\1\0;", 35);
    bytes[6] = char(w);
    bytes[8] = char(h);
    return bytes;
}

// A JPEG stored 4 x 2 whose orientation mark turns it a quarter, as cameras write them.
QByteArray turnedJpeg() {
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes.insert(
        2, QByteArray("\xFF\xE1\0\x22"
                      "Exif\0\0MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0",
                      36));
}

// A main window with "site/page.htm" open and pictures below "site/pics", the cursor in "a|b".
struct Site : AppFixture {
    frmNotepad* page = nullptr;
    Site() {
        start();
        env.writeFile("site/pics/a.gif", gif(7, 5));
        env.writeFile("site/pics/broken.png", "not a picture");
        env.writeFile("site/pics/turned.jpg", turnedJpeg());
        for (const auto& [name, w, h] :
             {std::tuple("b.png", 3, 4), std::tuple("c.jpg", 5, 2), std::tuple("d.bmp", 6, 1)}) {
            QImage image(w, h, QImage::Format_RGB32);
            image.fill(Qt::blue);
            QVERIFY(image.save(env.root() + "/site/pics/" + name));
        }
        page = OpenDocument(*main, env.writeFile("site/page.htm", "ab"));
        page->txtRich->select(1, 0);
    }
    QString at(const QString& name) const { return env.root() + "/site/" + name; }
};

} // namespace

class PicturesTest : public QObject {
    Q_OBJECT

private slots:
    void relativePath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const char* path, const char* document, const char* expected) {
            QTest::newRow(name) << QString(path) << QString(document) << QString(expected);
        };
        row("same folder", "/w/site/logo.gif", "/w/site/a.htm", "logo.gif");
        row("below", "/w/site/img/logo.gif", "/w/site/a.htm", "img/logo.gif");
        row("two below", "/w/site/img/x/logo.gif", "/w/site/a.htm", "img/x/logo.gif");
        row("sibling folder sharing the name's start", "/w/sites/logo.gif", "/w/site/a.htm",
            "/w/sites/logo.gif");
        row("above", "/w/logo.gif", "/w/site/a.htm", "/w/logo.gif");
        row("climbing out is not below", "/w/site/../other/l.gif", "/w/site/a.htm", "/w/other/l.gif");
        row("document in the root", "/img/logo.gif", "/a.htm", "img/logo.gif");
        row("never saved", "/w/site/logo.gif", "", "/w/site/logo.gif");
        row("case differs", "/w/Site/logo.gif", "/w/site/a.htm", "/w/Site/logo.gif");
        row("characters of a URL encoded", "/w/site/100%#1?\"a\\b\".gif", "/w/site/a.htm",
            "100%25%231%3F%22a%5Cb%22.gif");
        row("line break in a name encoded", "/w/x\ny.gif", "", "/w/x%0Ay.gif");
        row("space kept", "/w/site/my logo.gif", "/w/site/a.htm", "my logo.gif");
        row("empty path", "", "/w/site/a.htm", "");
    }
    void relativePath() {
        QFETCH(QString, path);
        QFETCH(QString, document);
        QFETCH(QString, expected);
        QCOMPARE(MakeRelativePath(path, document), expected);
    }

    // Tools "Picture..." (one picture, no size) and the toolbox (sized tags, each followed by a
    // CR LF when there are several), into "a|b"; one undo step a picture.
    void insert_data() {
        QTest::addColumn<bool>("menu");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("tags");
        const auto row = [](const char* name, bool menu, const char* files, const QStringList& tags) {
            QTest::newRow(name) << menu << QString(files).split(' ', Qt::SkipEmptyParts) << tags;
        };
        row("menu, cancelled", true, "", {});
        row("menu", true, "a.gif", {"<IMG SRC=\"pics/a.gif\" BORDER=\"0\" ALT=\"\">"});
        row("toolbox, cancelled", false, "", {});
        row("toolbox, one: no line break", false, "a.gif",
            {"<IMG SRC=\"pics/a.gif\" WIDTH=\"7\" HEIGHT=\"5\" BORDER=\"0\" ALT=\"\">"});
        row("toolbox, several in order", false, "b.png c.jpg d.bmp",
            {"<IMG SRC=\"pics/b.png\" WIDTH=\"3\" HEIGHT=\"4\" BORDER=\"0\" ALT=\"\">\r\n",
             "<IMG SRC=\"pics/c.jpg\" WIDTH=\"5\" HEIGHT=\"2\" BORDER=\"0\" ALT=\"\">\r\n",
             "<IMG SRC=\"pics/d.bmp\" WIDTH=\"6\" HEIGHT=\"1\" BORDER=\"0\" ALT=\"\">\r\n"});
        row("toolbox, unreadable: no size", false, "broken.png",
            {"<IMG SRC=\"pics/broken.png\" BORDER=\"0\" ALT=\"\">"});
        row("toolbox, turned photograph: the size shown", false, "turned.jpg",
            {"<IMG SRC=\"pics/turned.jpg\" WIDTH=\"2\" HEIGHT=\"4\" BORDER=\"0\" ALT=\"\">"});
    }
    void insert() {
        QFETCH(bool, menu);
        QFETCH(QStringList, files);
        QFETCH(QStringList, tags);
        Site site;
        QStringList paths;
        for (const QString& file : files)
            paths << site.at("pics/" + file);
        if (menu) {
            site.dialogs.openPaths.append(paths);
            InsertPictureFromMenu(*site.page);
        } else {
            site.dialogs.openPathLists.enqueue(paths);
            InsertPicturesFromToolbox(*site.main);
        }
        QCOMPARE(site.page->txtRich->text(), "a" + tags.join(QString()) + "b");
        for (qsizetype undone = 1; undone <= tags.size(); ++undone) {
            site.page->mnuUndo->trigger();
            QCOMPARE(site.page->txtRich->text(),
                     "a" + tags.mid(0, tags.size() - undone).join(QString()) + "b");
        }
    }

    // No dialog without a current document, nor while it is minimised.
    void toolboxNeedsAnOpenDocument() {
        Site site;
        site.page->showMinimized();
        site.main->documents().CurrentDocument = site.page->slot();
        QVERIFY(site.page->isMinimized());
        InsertPicturesFromToolbox(*site.main);
        // The bare file name in the title of a minimised window does not lose the document's folder.
        QCOMPARE(MakeRelativePath(*site.main, site.at("pics/a.gif")), QString("pics/a.gif"));
        for (int slot = 0; slot < site.main->documents().slotCount(); ++slot)
            if (frmNotepad* document = site.document(slot))
                document->close();
        InsertPicturesFromToolbox(*site.main);
        QCOMPARE(site.dialogs.openListRequests.size(), 0);
        QCOMPARE(MakeRelativePath(*site.main, site.at("pics/a.gif")), site.at("pics/a.gif"));
    }

    // Both picture dialogs start in the dialog folder with the picture filter, its first entry
    // chosen; "LastDir" makes the chosen pictures' folder the next start. The folder chooser
    // starts there too.
    void dialogFolder_data() {
        QTest::addColumn<bool>("lastDir");
        QTest::addColumn<bool>("several");
        QTest::newRow("one, LastDir") << true << false;
        QTest::newRow("several, LastDir") << true << true;
        QTest::newRow("one, folder kept") << false << false;
        QTest::newRow("several, folder kept") << false << true;
    }
    void dialogFolder() {
        QFETCH(bool, lastDir);
        QFETCH(bool, several);
        Site site;
        site.main->mutableSettings().LastDir = lastDir;
        site.main->setDialogFolder("/start");
        site.dialogs.openPaths.enqueue(site.at("pics/a.gif"));
        site.dialogs.openPathLists.enqueue({site.at("pics/a.gif"), site.at("pics/b.png")});
        if (several)
            QCOMPARE(ShowPicturesDialog(*site.main).size(), 2);
        else
            QCOMPARE(ShowPictureDialog(*site.main), site.at("pics/a.gif"));
        const auto& requests = several ? site.dialogs.openListRequests : site.dialogs.openRequests;
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first().folder, QString("/start"));
        QCOMPARE(requests.first().filter, QString(kPictureFilter));
        QCOMPARE(requests.first().filterIndex, 1);
        QCOMPARE(site.main->dialogFolder(), lastDir ? site.at("pics") : QString("/start"));
        // Qt's filters: the patterns in its spelling, and every file (with or without a dot) shown.
        const QStringList filters = qtNameFilters(kPictureFilter);
        QCOMPARE(filters.first(), QString("GIF, JPEG, PNG (*.gif *.jpg *.png)"));
        QCOMPARE(filters.last(), QString("All files (*)"));
        site.dialogs.folders.enqueue("/chosen");
        QCOMPARE(BrowseForFolder(*site.main), QString("/chosen"));
        QCOMPARE(site.dialogs.folderRequests.first().prompt, QString("Please select a folder:"));
        QCOMPARE(site.dialogs.folderRequests.first().folder, site.main->dialogFolder());
    }
};

QTEST_MAIN(PicturesTest)
#include "tst_pictures.moc"
