#include "browser/BrowserControl.h"
#include "browser/PreviewBeside.h"
#include "browser/PreviewPages.h"
#include "browser/frmView.h"
#include "editor/mdlFile.h"
#include "markup/SourceMap.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"

#include <QWebEngineScript>
#include <QWebEngineView>
#include <QtTest>
#include <QtWidgets>

namespace {
// What a script gives in the page's own world (the page's scripts see it as the preview does not).
QVariant evaluate(QWebEnginePage* page, const QString& script) {
    QVariant result;
    bool done = false;
    page->runJavaScript(script, QWebEngineScript::MainWorld, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        qWarning("no answer from the page to %s", qPrintable(script.left(80)));
    return result;
}

// The element's box in the page (CSS pixels, scrolled), as the outline should cover it.
QRectF boxOf(QWebEnginePage* page, const QString& selector) {
    const QVariantList box =
        evaluate(page,
                 QStringLiteral("(function(){var r=document.querySelector('%1').getBoundingClientRect();"
                                "return [r.left+scrollX, r.top+scrollY, r.width, r.height];})()")
                     .arg(selector))
            .toList();
    return box.size() == 4
               ? QRectF(box[0].toDouble(), box[1].toDouble(), box[2].toDouble(), box[3].toDouble())
               : QRectF();
}

// Ctrl+click at the middle of the element `selector`, scrolled into view.
void ctrlClick(PreviewBeside* preview, const QString& selector) {
    QWebEnginePage* page = preview->webPreview->page();
    evaluate(page, QStringLiteral("document.querySelector('%1').scrollIntoView()").arg(selector));
    const QVariantList center =
        evaluate(page,
                 QStringLiteral("(function(){var r=document.querySelector('%1').getBoundingClientRect();"
                                "return [r.left + r.width / 2, r.top + r.height / 2];})()")
                     .arg(selector))
            .toList();
    QWidget* surface = preview->webPreview->view()->focusProxy();
    if (center.size() != 2 || !surface)
        return;
    QTest::mouseClick(surface, Qt::LeftButton, Qt::ControlModifier,
                      QPoint(int(center[0].toDouble()), int(center[1].toDouble())));
}

bool shown(PreviewBeside* preview) {
    QSignalSpy pages(preview, &PreviewBeside::pageShown);
    return pages.wait(15000) && pages.last().at(0).toBool();
}

// Shows Preview Beside of the document in slot `slot` and waits for its first page.
PreviewBeside* showBeside(AppFixture& app, int slot) {
    frmNotepad* window = app.document(slot);
    window->action(CommandId::PreviewBeside)->trigger();
    PreviewBeside* preview = PreviewBesideOf(*window);
    if (preview && !shown(preview))
        return nullptr;
    return preview;
}

QString bodyText(PreviewBeside* preview) {
    return evaluate(preview->webPreview->page(), "document.body ? document.body.innerText : ''").toString();
}

// A page whose elements stand apart, with the ids the tests point at.
const char* const kPage =
    "<html><head><title>T</title></head>\r\n<body style=\"margin:8px\">\r\n"
    "<div id=outer style=\"padding:20px\"><p id=para>Some <b id=bold>bold words</b> "
    "and more</p></div> \r\n"
    "<p>Text with <span id=inline>an inline span</span> in it.</p>\r\n"
    "<table border=1><tr><td id=first>one</td><td id=cell>the cell</td></tr></table>\r\n"
    "</body></html>\r\n";

// The page's markup as its elements hold it now, the preview's outline left out.
QString pageMarkup(QWebEnginePage* page) {
    return evaluate(page, "(function(){var c=document.documentElement.cloneNode(true);"
                          "var o=c.querySelector('quillora-outline');if(o)o.remove();return c.outerHTML;})()")
        .toString();
}

// The markup the engine makes of the copy of `text` served afresh.
QString freshMarkup(const QString& text) {
    QWebEnginePage page;
    QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);
    page.setHtml(WithSourceOffsets(text));
    if (!loaded.wait(10000))
        return QString();
    return pageMarkup(&page);
}

// Structures the engine builds otherwise than the tags read, and ones it builds as they read.
const char* const kEditedPage = "<!DOCTYPE html><html><head><title>T</title></head>\r\n<body>\r\n"
                                "<div id=outer><p id=para>Some <b>bold words</b> and more</p></div>\r\n"
                                "<ul><li>one<li>two</ul>\r\n<pre>\r\nfirst line\r\n</pre>\r\n"
                                "<table><tr><td>cell one</td><td>cell two</td></tr></table>\r\n"
                                "<b>x<p>y</b>z</p>\r\n<p>with <!-- a comment --> inside</p>\r\nbody text\r\n"
                                "<p id=last style=\"font-size:30px\">last</p>\r\n</body></html>\r\n";
} // namespace

class PreviewBesideTest : public QObject {
    Q_OBJECT
private slots:
    // The command splits the window half and half and closes the preview again; Ctrl+Shift+W too.
    void splitsAndCloses() {
        AppFixture app;
        const QString path = app.env.writeFile("site/a.htm", kPage);
        app.start({path});
        frmNotepad* window = app.document(0);
        window->resize(1000, 600);
        QVERIFY(showBeside(app, 0));
        QCOMPARE(window->splPreview->count(), 2);
        QVERIFY(window->findChild<BrowserControl*>("webPreview"));
        QVERIFY(window->action(CommandId::PreviewBeside)->isChecked());
        const QList<int> sizes = window->splPreview->sizes();
        QVERIFY2(qAbs(sizes[0] - sizes[1]) <= window->splPreview->handleWidth() + 2,
                 qPrintable(QStringLiteral("%1 %2").arg(sizes[0]).arg(sizes[1])));
        QVERIFY(shownActive(app.main.get()));
        window->txtRich->setFocus();
        sendKey(window->txtRich, Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_VERIFY(!window->previewPane());
        QCOMPARE(window->splPreview->count(), 1);
        QVERIFY(!window->action(CommandId::PreviewBeside)->isChecked());
        sendKey(window->txtRich, Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_VERIFY(PreviewBesideOf(*window));
        // The toolbar's button and the context menu's item do the same.
        auto* button = app.main->findChild<QToolButton*>("picPreviewBeside");
        QVERIFY(button && button->isVisible());
        button->click();
        QVERIFY(!window->previewPane());
        button->click();
        QVERIFY(window->previewPane());
        QVERIFY(app.main->popupMenu()->findChild<QAction*>("mnuPreviewBeside"));
        // The text was never touched by any of it.
        QVERIFY(!app.record(0).Modified);
    }

    // Typed text shows in the preview; the document, the file and View Source never see the offsets.
    void followsTypingAndKeepsTheCopyToItself() {
        AppFixture app;
        const QString path = app.env.writeFile("site/a.htm", kPage);
        app.start({path});
        frmNotepad* window = app.document(0);
        PreviewBeside* preview = showBeside(app, 0);
        QVERIFY(preview);
        QVERIFY(preview->followsTyping());
        // The page itself carries them: the copy served to the preview is the mapped one.
        QCOMPARE(evaluate(preview->webPreview->page(),
                          "document.getElementById('cell').getAttribute('data-quillora-at')")
                     .toString(),
                 QString::number(QString(kPage).indexOf("<td id=cell")));
        window->txtRich->select(QString(kPage).indexOf("the cell"), 0);
        window->txtRich->setFocus();
        typeText(window->txtRich, "typed ");
        QTRY_VERIFY_WITH_TIMEOUT(bodyText(preview).contains("typed the cell"), 5000);
        QVERIFY(!window->txtRich->text().contains("data-quillora"));
        QVERIFY(SaveCommand(*app.main, 0));
        QVERIFY(!TestEnvironment::readFile(path).contains("data-quillora"));
        // A browser window's View Source of the same document, followed as typed, has none either.
        window->action(CommandId::OpenInBrowser)->trigger();
        auto* view = static_cast<frmView*>(app.main->browsers().Browsers[0].data());
        QTRY_VERIFY_WITH_TIMEOUT(view->WebBrowser->page()->title() == "T", 15000);
        view->mnuViewSRC_Click();
        QTRY_COMPARE_WITH_TIMEOUT(app.main->documents().DocumentCount, 2, 15000);
        const QString source = app.main->documents().currentEditable()->text().text();
        QVERIFY(source.contains("typed the cell"));
        QVERIFY(!source.contains("data-quillora"));
    }

    // A never-saved document is previewed from its text; a large page follows saves only, and says so.
    void untitledAndLargePages() {
        AppFixture app;
        QString large = "<p>" + QString(PreviewBeside::kFollowTypingLimit, 'x') + "</p><p id=end>end</p>";
        for (int at = 1000; at < large.size() - 40; at += 1000)
            large[at] = ' ';
        const QString path = app.env.writeFile("site/large.htm", large.toUtf8());
        app.start({path});
        app.main->documents().Documents[0]->txtRich->setFocus();
        app.document(0)->action(CommandId::New)->trigger();
        frmNotepad* untitled = app.document(1);
        QVERIFY(untitled);
        untitled->txtRich->setText("<p>never saved</p>");
        PreviewBeside* preview = showBeside(app, 1);
        QVERIFY(preview);
        QCOMPARE(bodyText(preview), "never saved");

        frmNotepad* window = app.document(0);
        PreviewBeside* ofLarge = showBeside(app, 0);
        QVERIFY(ofLarge);
        QVERIFY(!ofLarge->followsTyping());
        QVERIFY(ofLarge->lblPreviewStatus->isVisible());
        QVERIFY(ofLarge->lblPreviewStatus->text().contains("saved"));
        QSignalSpy pages(ofLarge, &PreviewBeside::pageShown);
        window->txtRich->select(large.indexOf(">end<") + 1, 0);
        window->txtRich->setFocus();
        typeText(window->txtRich, "the ");
        QVERIFY(!pages.wait(PreviewBeside::kFollowDelayMs + 500));
        QVERIFY(SaveCommand(*app.main, 0));
        QVERIFY(pages.wait(15000));
        QCOMPARE(
            evaluate(ofLarge->webPreview->page(), "document.getElementById('end').textContent").toString(),
            "the end");
    }

    // Text shown as itself is not mapped: the preview shows the text, never an offset.
    void textShownAsItself() {
        AppFixture app;
        app.start({app.env.writeFile("site/notes.txt", "<p>a tag in plain text</p>")});
        PreviewBeside* preview = showBeside(app, 0);
        QVERIFY(preview);
        QCOMPARE(bodyText(preview), "<p>a tag in plain text</p>");
    }

    // The outline covers the element around the cursor: nested, inline, a table cell.
    void outlinesTheElementAtTheCursor_data() {
        table({"place", "shift", "selector"},
              {"nested, in the bold words; bold words; 2; #bold", "inline span; inline span; 2; #inline",
               "table cell; the cell; 2; #cell", "at a start tag, its element; <p id=para>; 0; #para",
               "in the body between blocks; </div>; 7; body"});
    }
    void outlinesTheElementAtTheCursor() {
        QFETCH(QString, place);
        const int shift = cell("shift").toInt();
        QFETCH(QString, selector);
        AppFixture app;
        app.start({app.env.writeFile("site/a.htm", kPage)});
        frmNotepad* window = app.document(0);
        PreviewBeside* preview = showBeside(app, 0);
        QVERIFY(preview);
        QSignalSpy outlines(preview, &PreviewBeside::outlineShown);
        window->txtRich->select(QString(kPage).indexOf(place) + shift, 0);
        QVERIFY(outlines.wait(5000));
        QVERIFY(preview->outlineRect());
        const QRectF expected = boxOf(preview->webPreview->page(), selector);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(*preview->outlineRect(), expected);
        // The outline is over the page, not in it: the element's box stays where it was.
        const QRectF drawn = boxOf(preview->webPreview->page(), "quillora-outline");
        QCOMPARE(drawn, expected);
    }

    // Ctrl+click on an element puts the cursor at its start tag, in CR LF text and beyond long lines.
    void ctrlClickGoesToTheStartTag_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tag");
        QTest::newRow("CR LF text") << QString(kPage) << QString("<td id=cell");
        QString line(300000, 'x');
        for (int at = 1000; at < line.size(); at += 1000)
            line[at] = ' ';
        QTest::newRow("a long line before it")
            << "<p>" + line + "</p>\r\n<p id=target style=\"font-size:40px\">here</p>"
            << QString("<p id=target");
    }
    void ctrlClickGoesToTheStartTag() {
        QFETCH(QString, text);
        QFETCH(QString, tag);
        AppFixture app;
        app.start({app.env.writeFile("site/a.htm", text.toUtf8())});
        frmNotepad* window = app.document(0);
        window->resize(1000, 700);
        PreviewBeside* preview = showBeside(app, 0);
        QVERIFY(preview);
        QSignalSpy jumps(preview, &PreviewBeside::cursorJumped);
        ctrlClick(preview, '#' + tag.section('=', 1));
        QVERIFY(jumps.wait(5000));
        QCOMPARE(window->txtRich->selStart(), text.indexOf(tag));
        QCOMPARE(window->txtRich->selLength(), 0);
        // The place is shown in the text.
        QVERIFY(window->txtRich->cursorRect().intersects(window->txtRich->viewport()->rect()));
    }

    // Typing is shown by changing the page in place (the element's contents replaced, or the element
    // read again) on a page without scripts, else by loading it again: either way the page ends as
    // the engine makes it of the text, offsets and all, and Ctrl+click still finds the start tags.
    void editsShownInPlace_data() {
        table({"after", "keys", "inPlace"}, {
                                                "a paragraph; Some ; typed ; yes",
                                                "bold words; bold ; X; yes",
                                                "backspace; bold wo; {Backspace}{Backspace}; yes",
                                                "an item never closed; <li>on; X; yes",
                                                "a pre's first line; first ; X; yes",
                                                "a table cell; cell o; X; yes",
                                                "entities; and more; &amp;&lt;x; yes",
                                                "misnested tags; <b>x; X; yes",
                                                "beside a comment; with ; X; yes",
                                                "the body's own text; body ; X; yes",
                                                "in a tag; id=par; X; yes",
                                                "a tag typed; and more; <i; yes",
                                                "a paragraph in a paragraph; Some ; <p>; yes",
                                                "a paragraph in bold; bold ; <p>; yes",
                                                "an end tag deleted; bold words</b>; "
                                                "{Backspace}{Backspace}{Backspace}{Backspace}; yes",
                                                "an item added; <li>one; <li>new; yes",
                                                "the title; <title>; New ; yes",
                                                "a page with a script; Some ; X; no",
                                            });
    }
    void editsShownInPlace() {
        AppFixture app;
        QString page = kEditedPage;
        if (QString(QTest::currentDataTag()).contains("script"))
            page.replace("</body>", "<script>document.title = 'S';</script></body>");
        app.start({app.env.writeFile("site/edited.htm", page.toUtf8())});
        frmNotepad* window = app.document(0);
        window->resize(1000, 700);
        PreviewBeside* preview = showBeside(app, 0);
        QVERIFY(preview);
        const QString after = cell("after");
        window->txtRich->select(int(page.indexOf(after) + after.size()), 0);
        window->txtRich->setFocus();
        QSignalSpy loads(preview->webPreview->page(), &QWebEnginePage::loadStarted);
        typeKeys(window->txtRich, cell("keys"));
        const QString text = window->txtRich->text();
        QVERIFY(text != page);
        const QString fresh = freshMarkup(text);
        QVERIFY(fresh.contains("data-quillora-at"));
        QTRY_COMPARE_WITH_TIMEOUT(pageMarkup(preview->webPreview->page()), fresh, 10000);
        QCOMPARE(loads.isEmpty(), cell("inPlace") == "yes");
        QSignalSpy jumps(preview, &PreviewBeside::cursorJumped);
        ctrlClick(preview, "#last");
        QVERIFY(jumps.wait(5000));
        QCOMPARE(window->txtRich->selStart(), text.indexOf("<p id=last"));
    }

    // A page that follows saves only shows an older copy while the text is edited: the outline and
    // Ctrl+click carry the page's offsets through the edits since, and a deleted element names nothing.
    void offsetsCarriedThroughEdits() {
        AppFixture app;
        QString filler(PreviewBeside::kFollowTypingLimit, 'x');
        for (int at = 1000; at < filler.size(); at += 1000)
            filler[at] = ' ';
        const QString page = "<p id=a>alpha</p><p id=b style=\"font-size:30px\">beta</p>\r\n<p>" + filler +
                             "</p>\r\n<p id=c style=\"font-size:30px\">gamma</p>";
        app.start({app.env.writeFile("site/large.htm", page.toUtf8())});
        frmNotepad* window = app.document(0);
        window->resize(1000, 700);
        PreviewBeside* preview = showBeside(app, 0);
        QVERIFY(preview);
        QVERIFY(!preview->followsTyping());
        // The first element deleted with the keyboard: every later one moves 17 characters back.
        const QString first = "<p id=a>alpha</p>";
        window->txtRich->select(0, int(first.size()));
        window->txtRich->setFocus();
        sendKey(window->txtRich, Qt::Key_Delete);
        QVERIFY(window->txtRich->text().startsWith("<p id=b"));
        QSignalSpy outlines(preview, &PreviewBeside::outlineShown);
        window->txtRich->select(QStringLiteral("<p id=b style=\"font-size:30px\">be").size(), 0);
        QVERIFY(outlines.wait(5000));
        QVERIFY(preview->outlineRect());
        QCOMPARE(*preview->outlineRect(), boxOf(preview->webPreview->page(), "#b"));

        QSignalSpy jumps(preview, &PreviewBeside::cursorJumped);
        ctrlClick(preview, "#c");
        QVERIFY(jumps.wait(5000));
        QCOMPARE(window->txtRich->selStart(), page.indexOf("<p id=c") - first.size());
        // The deleted element is still in the page, but names no place in the text.
        ctrlClick(preview, "#a");
        QVERIFY(!jumps.wait(1000));
        QCOMPARE(window->txtRich->selStart(), page.indexOf("<p id=c") - first.size());
        QVERIFY(app.record(0).Modified);
    }

    // Typing steadily, a key every 60 ms, on a page that takes the engine longer than that to read:
    // each page is let finish, so the preview keeps showing the text as it grows.
    void keepsUpWithSteadyTyping() {
        AppFixture app;
        QString page;
        for (int row = 0; page.size() < 200000; ++row)
            page += QStringLiteral("<div class=r><span>%1</span> <b>cell</b> <i>row</i></div>\r\n").arg(row);
        page += "<p id=typed>:</p>";
        app.start({app.env.writeFile("site/steady.htm", page.toUtf8())});
        frmNotepad* window = app.document(0);
        PreviewBeside* preview = showBeside(app, 0);
        QVERIFY(preview);
        QVERIFY(preview->followsTyping());
        window->txtRich->select(page.indexOf(":</p>") + 1, 0);
        window->txtRich->setFocus();
        QSignalSpy pages(preview, &PreviewBeside::pageShown);
        const QString typed = "abcdefghijklmnopqrstuvwxy";
        for (const QChar c : typed) {
            typeText(window->txtRich, QString(c));
            QTest::qWait(60);
        }
        const auto shownWhileTyping = [&pages] {
            return std::count_if(pages.cbegin(), pages.cend(),
                                 [](const QList<QVariant>& shown) { return shown.at(0).toBool(); });
        };
        QVERIFY2(shownWhileTyping() >= 2, qPrintable(QString::number(shownWhileTyping())));
        QTRY_COMPARE_WITH_TIMEOUT(
            evaluate(preview->webPreview->page(), "document.getElementById('typed').textContent").toString(),
            ":" + typed, 10000);
    }

    // A page that rewrites the offsets it was served with moves the cursor nowhere but to a start tag.
    void hostilePageMovesNothing_data() {
        table({"forged"}, {"far beyond the text; 999999999", "negative; -5", "inside a tag, no start; 2",
                           "no number; abc", "an end tag; 42"});
    }
    void hostilePageMovesNothing() {
        QFETCH(QString, forged);
        AppFixture app;
        const QString page =
            "<p id=target style=\"font-size:40px\">target</p><script>alert('hello');"
            "for (const e of document.querySelectorAll('*')) e.setAttribute('data-quillora-at', '" +
            forged + "');</script>";
        app.start({app.env.writeFile("site/a.htm", page.toUtf8())});
        frmNotepad* window = app.document(0);
        PreviewBeside* preview = showBeside(app, 0);
        QVERIFY(preview);
        window->txtRich->select(20, 0);
        QWidget* surface = preview->webPreview->view()->focusProxy();
        QSignalSpy jumps(preview, &PreviewBeside::cursorJumped);
        QTest::mouseClick(surface, Qt::LeftButton, Qt::ControlModifier, QPoint(20, 20));
        QVERIFY(!jumps.wait(1000));
        QCOMPARE(window->txtRich->selStart(), 20);
        // Its alert opened nothing and held nothing up.
        QVERIFY(app.dialogs.messages.isEmpty());
        QVERIFY(preview->webPreview->suppressedMessages() >= 1);
    }

    // A style sheet open in another window is served from its text: typing there restyles the page;
    // the style sheet's own Preview Beside shows that page once it has been previewed.
    void styleSheetOpenElsewhere() {
        AppFixture app;
        const QString css = app.env.writeFile("site/css/site.css", "body { background: rgb(0, 0, 255) }");
        const QString page = app.env.writeFile(
            "site/index.html", "<link rel=stylesheet href=css/site.css><body><p id=p>styled</p></body>");
        app.start({css, page});
        // Nothing has used the style sheet yet: there is no page to show for it.
        app.document(0)->action(CommandId::PreviewBeside)->trigger();
        QVERIFY(!app.document(0)->previewPane());
        QVERIFY(!app.document(0)->action(CommandId::PreviewBeside)->isChecked());
        QVERIFY(app.dialogs.messages.last().text.contains("site.css"));

        PreviewBeside* preview = showBeside(app, 1);
        QVERIFY(preview);
        const auto background = [](PreviewBeside* shownIn) {
            return evaluate(shownIn->webPreview->page(), "getComputedStyle(document.body).backgroundColor")
                .toString();
        };
        QCOMPARE(background(preview), "rgb(0, 0, 255)");
        app.document(0)->txtRich->setText("body { background: rgb(0, 128, 0) }");
        QTRY_COMPARE_WITH_TIMEOUT(background(preview), "rgb(0, 128, 0)", 5000);
        QVERIFY(TestEnvironment::readFile(css).contains("0, 0, 255"));

        PreviewBeside* ofSheet = showBeside(app, 0);
        QVERIFY(ofSheet);
        QVERIFY(!ofSheet->mapsText());
        QCOMPARE(ofSheet->pagePath(), page);
        QCOMPARE(background(ofSheet), "rgb(0, 128, 0)");
        app.document(0)->txtRich->setText("body { background: rgb(255, 255, 0) }");
        QTRY_COMPARE_WITH_TIMEOUT(background(ofSheet), "rgb(255, 255, 0)", 5000);
        QTRY_COMPARE_WITH_TIMEOUT(background(preview), "rgb(255, 255, 0)", 5000);
    }
};

QTEST_MAIN(PreviewBesideTest)
#include "tst_previewbeside.moc"
