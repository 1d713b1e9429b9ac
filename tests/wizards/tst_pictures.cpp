#include "editor/EditableDocument.h"
#include "editor/mdlFile.h"
#include "support/DataTable.h"
#include "support/ShellFixture.h"
#include "wizards/Pictures.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// A JPEG stored 4 x 2 whose orientation mark turns it a quarter, as cameras write them.
QByteArray turnedJpeg() {
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    image.save(&buffer, "JPG");
    return bytes.insert(
        2, QByteArray("\xFF\xE1\0\x22"
                      "Exif\0\0MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0",
                      36));
}

// A main window with "site/page.htm" open and pictures below "site/pics".
struct Site : ShellFixture {
    frmNotepad* page = nullptr;
    Site() {
        start();
        env.writeFile("site/pics/broken.png", "not a picture");
        env.writeFile("site/pics/turned.jpg", turnedJpeg());
        QImage image(3, 4, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QVERIFY(image.save(env.root() + "/site/pics/b.png") && image.save(env.root() + "/site/pics/ö😀.png"));
        page = OpenDocument(*main, env.writeFile("site/page.htm", "ab"));
    }
    QString at(const QString& name) const { return env.root() + "/site/" + name; }
};

} // namespace

class PicturesTest : public QObject {
    Q_OBJECT

private slots:
    // Below the document's folder a path is relative, elsewhere absolute; URL characters are encoded.
    void relativePath_data() {
        table({"path", "document", "expected"},
              {"below; /w/site/img/x/logo.gif; /w/site/a.htm; img/x/logo.gif",
               "sibling sharing the name's start; /w/sites/l.gif; /w/site/a.htm; /w/sites/l.gif",
               "climbing out is not below; /w/site/../o/l.gif; /w/site/a.htm; /w/o/l.gif",
               "nothing lies above the root; /../l.gif; /a.htm; l.gif",
               "never saved; /w/site/logo.gif; ; /w/site/logo.gif",
               "line breaks encoded, space kept; /w/site/1%#1?\"a\\b\n c.gif; /w/site/a.htm; "
               "1%25%231%3F%22a%5Cb%0A c.gif",
               "non-ASCII kept; /w/sïte/å ö/😀.gif; /w/sïte/a.htm; å ö/😀.gif",
               "empty path; ; /w/site/a.htm; "});
    }
    void relativePath() {
        QFETCH(QString, path);
        QFETCH(QString, document);
        QTEST(MakeRelativePath(path, document), "expected");
    }

    // Pictures from the menu (no size) or the toolbox (sized, one a line), one undo step each; LastDir.
    void insert_data() {
        table({"how", "files", "text"},
              {"menu, cancelled; menu LastDir; ; ab", // over "a|b", or "lines": "a[\r\né\r\n]b"
               "toolbox, one unreadable: no size, no line break; toolbox; broken.png; "
               "a<IMG SRC=\"pics/broken.png\" BORDER=\"0\" ALT=\"\">b",
               "toolbox, several in order, LastDir, a turned photograph as shown; toolbox LastDir; b.png "
               "turned.jpg; "
               "a<IMG SRC=\"pics/b.png\" WIDTH=\"3\" HEIGHT=\"4\" BORDER=\"0\" ALT=\"\">\r\n"
               "<IMG SRC=\"pics/turned.jpg\" WIDTH=\"2\" HEIGHT=\"4\" BORDER=\"0\" ALT=\"\">\r\nb",
               "toolbox, non-ASCII name, over a selection of lines; toolbox lines; ö😀.png broken.png; "
               "a<IMG SRC=\"pics/ö😀.png\" WIDTH=\"3\" HEIGHT=\"4\" BORDER=\"0\" ALT=\"\">\r\n"
               "<IMG SRC=\"pics/broken.png\" BORDER=\"0\" ALT=\"\">\r\nb",
               "menu, LastDir, over a selection of lines; menu LastDir lines; ö😀.png; "
               "a<IMG SRC=\"pics/ö😀.png\" BORDER=\"0\" ALT=\"\">b"});
    }
    void insert() {
        QFETCH(QString, how);
        QFETCH(QString, files);
        const bool menu = how.startsWith("menu"), lastDir = how.contains("LastDir");
        Site site;
        site.main->mutableSettings().LastDir = lastDir;
        site.main->setDialogFolder("/start");
        const QString initial = how.contains("lines") ? "a\r\né\r\nb" : "ab";
        site.page->txtRich->setText(initial);
        site.page->ClearAllUndo();
        site.page->txtRich->select(1, int(initial.size()) - 2);
        QStringList paths;
        for (const QString& file : files.split(' ', Qt::SkipEmptyParts))
            paths << site.at("pics/" + file);
        if (menu) {
            site.dialogs.openPaths.append(paths);
            InsertPictureFromMenu(*site.main, site.page->editable());
        } else {
            site.dialogs.openPathLists.enqueue(paths);
            InsertPicturesFromToolbox(*site.main);
        }
        QTEST(site.page->txtRich->text(), "text");
        for (qsizetype undone = 0; undone < paths.size(); ++undone) {
            QVERIFY(site.page->txtRich->text() != initial);
            site.page->mnuUndo->trigger();
        }
        QCOMPARE(site.page->txtRich->text(), initial);
        const auto& requests = menu ? site.dialogs.openRequests : site.dialogs.openListRequests;
        QCOMPARE(QString::number(requests.size()) + '|' + requests.value(0).folder + '|' +
                     QString::number(requests.value(0).filterIndex) + '|' + requests.value(0).filter,
                 "1|/start|1|" + QString(kPictureFilter));
        QCOMPARE(site.main->dialogFolder(),
                 lastDir && !paths.isEmpty() ? site.at("pics") : QString("/start"));
    }

    // No dialog without a current document, nor while it is minimised. The folder chooser; Qt's filters.
    void toolboxNeedsAnOpenDocument() {
        Site site;
        site.page->showMinimized();
        site.main->documents().CurrentDocument = site.page->slot();
        InsertPicturesFromToolbox(*site.main);
        QCOMPARE(MakeRelativePath(*site.main, site.at("pics/a.gif")), "pics/a.gif"); // minimised: folder kept
        // Seen from a given document (a modal wizard's), whichever is current.
        site.main->documents().CurrentDocument = 0;
        QCOMPARE(MakeRelativePath(&site.page->editable(), site.at("pics/a.gif")), QString("pics/a.gif"));
        QCOMPARE(MakeRelativePath(nullptr, site.at("pics/a.gif")), site.at("pics/a.gif"));
        site.main->documents().CurrentDocument = site.page->slot();
        site.page->close();
        InsertPicturesFromToolbox(*site.main);
        QCOMPARE(site.dialogs.openListRequests.size(), 0);
        QCOMPARE(MakeRelativePath(*site.main, site.at("pics/a.gif")), site.at("pics/a.gif"));
        site.dialogs.folders.enqueue("/chosen");
        QCOMPARE(BrowseForFolder(*site.main), QString("/chosen"));
        QCOMPARE(site.dialogs.folderRequests[0].prompt + '|' + site.dialogs.folderRequests[0].folder,
                 "Please select a folder:|" + site.main->dialogFolder());
        const QStringList filters = qtNameFilters(kPictureFilter);
        QCOMPARE(filters.first() + '|' + filters.last(), "GIF, JPEG, PNG (*.gif *.jpg *.png)|All files (*)");
    }
};

QTEST_MAIN(PicturesTest)
#include "tst_pictures.moc"
