#include "app/SpellingPanel.h"
#include "app/frmSettings.h"
#include "editor/DocumentSpelling.h"
#include "editor/ShiftedList.h"
#include "editor/Spelling.h"
#include "editor/SpellingAnswers.h"
#include "editor/mdlFile.h"
#include "markup/SpellingWords.h"
#include "platform/RichTextControl.h"
#include "platform/SettingsStore.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Dictionaries.h"
#include "support/Keys.h"
#include "support/Rendered.h"
#include "support/TestEnvironment.h"

#include <QtTest>
#include <QtWidgets>
#include <map>

namespace {

const QString kTestDictionaries = QStringLiteral(QUILLORA_TESTS_FOLDER "/editor/dictionaries");

// The misspellings as "line:column word", lines and columns from 1.
QString places(RichTextControl& text, DocumentSpelling& spelling) {
    QStringList all;
    for (const DocumentSpelling::Misspelling& mark : spelling.misspellings()) {
        const int line = text.lineFromChar(mark.start);
        all << QString("%1:%2 %3")
                   .arg(line + 1)
                   .arg(mark.start - text.lineIndex(line) + 1)
                   .arg(text.textRange(mark.start, mark.length));
    }
    return all.join('|');
}

// A page of some 20,000 characters, in stretches the checker reads one at a time.
QString longPage() {
    QString page = "<html>\r\n<body>\r\n";
    for (int i = 0; i < 120; ++i)
        page += QString("<p title=\"Paragrap %1\">Some wrds and more text, line %1.</p>\r\n"
                        "<script>var notchecked = 'wordz';</script> <!-- hidden commnt --> plain\r\n")
                    .arg(i);
    return page + "</body>\r\n</html>\r\n";
}

// The text checked to its end gives the misspellings the same text gives checked afresh.
void compareWithFresh(RichTextControl& text, DocumentSpelling& spelling, SpellingService& service) {
    spelling.checkAll();
    RichTextControl fresh;
    fresh.setText(text.text());
    DocumentSpelling again(fresh, service);
    again.configure(true, SpellingSource::Markup, {});
    again.checkAll();
    QCOMPARE(places(text, spelling), places(fresh, again));
    QVERIFY(!places(fresh, again).isEmpty());
}

SpellingSource sourceNamed(const QString& name) {
    return name.isEmpty() ? SpellingSource::Markup : SpellingSourceOf("file." + name);
}

// The words of a run as "word" or "word@language", from `offset` on in `text`.
QStringList shownWords(QStringView text, const SpellingRun& run, int offset = 0) {
    QStringList all;
    for (const SpellingWord& word : run.words) {
        const QString& language = run.languageOf(word);
        all << text.mid(offset + word.start, word.length).toString() +
                   (language.isEmpty() ? QString() : "@" + language);
    }
    return all;
}
// Those words joined by "|".
QString shown(QStringView text, const SpellingRun& run) {
    return shownWords(text, run).join('|');
}

// The text read a stretch at a time, as the editor reads a large document: each stretch from
// where the last stopped, in the state it stopped in, seeing `lookahead` characters past its stop.
QString inStretches(const QString& text, SpellingSource source, const SpellingOptions& options, int stretch,
                    int lookahead) {
    QStringList words;
    SpellingState state;
    for (int start = 0; start < text.size();) {
        const int length = std::min(int(text.size()) - start, stretch + lookahead);
        const SpellingRun run = ReadSpellingWords(QStringView(text).mid(start, length), source, options,
                                                  state, stretch, start + length >= text.size());
        words << shownWords(text, run, start);
        start += std::max(1, run.end);
        state = run.state;
    }
    return words.join('|');
}

frmNotepad* startWith(AppFixture& app, const QByteArray& page, const QString& name = "page.htm") {
    app.start({app.env.writeFile(name, page)});
    frmNotepad* document = app.main->documents().current();
    QApplication::processEvents();
    return document;
}

// The viewport's pixels in the underline colour below the characters [start, start + length).
int underlinePixels(RichTextControl& text, int start, int length) {
    text.viewport()->repaint();
    const QImage shot = text.viewport()->grab().toImage();
    QTextCursor from(text.document()), to(text.document());
    from.setPosition(text.toDocumentPosition(start));
    to.setPosition(text.toDocumentPosition(start + length));
    const QRect left = text.cursorRect(from), right = text.cursorRect(to);
    const qreal scale = shot.devicePixelRatio();
    const int baseline = left.top() + QFontMetrics(text.font()).ascent();
    int red = 0;
    for (int y = baseline; y <= left.bottom() + 2; ++y)
        for (int x = left.left(); x < right.left(); ++x) {
            const QColor pixel = shot.pixelColor(QPoint(int(x * scale), int(y * scale)));
            red += pixel.red() > 120 && pixel.green() < 90 && pixel.blue() < 90;
        }
    return red;
}

// The context menu opened by a right click on the character at `offset`: its items' names, and the
// one named `choose` chosen (none when empty).
QStringList rightClick(AppFixture& app, RichTextControl& text, int offset, const QString& choose = {}) {
    QTextCursor cursor(text.document());
    cursor.setPosition(text.toDocumentPosition(offset));
    const QPoint point = text.cursorRect(cursor).center() + QPoint(2, 0);
    QStringList names;
    QMenu* menu = app.main->popupMenu();
    QTimer::singleShot(0, menu, [&] {
        for (QAction* item : menu->actions())
            names << item->objectName() +
                         (item->objectName().startsWith("mnuSuggestion") ? "=" + item->text() : "");
        if (QAction* chosen = menu->findChild<QAction*>(choose); chosen && !choose.isEmpty())
            chosen->trigger();
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, point, text.viewport()->mapToGlobal(point));
    QApplication::sendEvent(text.viewport(), &event);
    return names;
}

} // namespace

// The words a spelling check reads, and the spelling of a document with the dictionaries Debian
// installs (en_US) and a small test dictionary written in ISO-8859-1.
class SpellingTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { SetDictionaryFolders({}); }

    void misspellingsWithTheirPlaces_data() {
        table({"path", "text", "found"},
              {"page with CR LF; a.htm; <p>Thiss is\r\na tst</p>\r\n<img alt=\"Speling\">\r\nfine wrds; "
               "1:4 Thiss|2:3 tst|3:11 Speling|4:6 wrds",
               "untitled page, code left out; ; <script>wrng()</script><style>p{colr:red}</style>Gud "
               "<a href=\"lnk.htm\">link</a>; 1:50 Gud",
               "language with its own dictionary; b.htm; <p lang=xx>café cafe <span lang=en>cafe "
               "crème</span></p>; 1:17 cafe|1:41 crème",
               "language without one: the default; c.htm; <p lang=fr-CA>the wrld</p>; 1:19 wrld",
               "text file; notes.txt; Plain txt <b>tag</b> it’s fne; 1:7 txt|1:27 fne",
               "style sheet, comments not asked for; a.css; /* a commnt */ p { }; "});
    }
    void misspellingsWithTheirPlaces() {
        REQUIRE_ENGLISH();
        SetDictionaryFolders({kTestDictionaries, "/usr/share/hunspell"});
        TestEnvironment env;
        SpellingService service(env.programFolder());
        service.setPreferredLanguage("en_US");
        RichTextControl text;
        text.setText(cell("text"));
        DocumentSpelling spelling(text, service);
        spelling.configure(true, SpellingSourceOf(cell("path")), {});
        spelling.checkAll();
        QCOMPARE(spelling.done(), spelling.checking());
        QCOMPARE(places(text, spelling), cell("found"));
    }

    // After edits anywhere (comments opened and closed, lines added, words mended or broken) the marks
    // are those of the text checked afresh; so they are after the lines on screen were read first
    // from a guessed state in the middle of a text not checked yet.
    void editsKeepMarksRight_data() {
        table(
            {"find", "insert", "removed"},
            {"comment opened; line 60.; <!--; 0", "comment closed; hidden commnt; -->; 0",
             "word mended; wrds and more text, line 5.; words; 4", "word broken; text, line 7.; tetx; 4",
             "lines at the top; <body>; \r\nTwo nwe\r\nlines\r\n; 0",
             "lines joined; plain\r\n<p title=\"Paragrap 9\">; ; 24", "script opened; line 100.; <script>; 0",
             "style never closed; line 30.; <style>; 0", "text area never closed; line 90.; <textarea>; 0",
             "attribute value opened; Paragrap 30; \"; 0", "all replaced; <html>; <p>Short pge</p>; 100000"});
    }
    void editsKeepMarksRight() {
        REQUIRE_ENGLISH();
        TestEnvironment env;
        SpellingService service(env.programFolder());
        service.setPreferredLanguage("en_US");
        for (const bool shownFirst : {false, true}) {
            RichTextControl text;
            text.setText(longPage());
            DocumentSpelling spelling(text, service);
            spelling.configure(true, SpellingSource::Markup, {});
            if (shownFirst) // far into the text, inside a script: the guess is wrong there
                spelling.checkStretch(int(text.text().indexOf("notchecked", 15000)), 16000);
            else
                spelling.checkAll();
            const int at = int(text.text().indexOf(cell("find")));
            QVERIFY(at >= 0);
            text.select(at, std::min(cell("removed").toInt(), text.textLength() - at));
            text.setSelText(cell("insert"));
            spelling.checkStretch(at - 10, at + 10);
            compareWithFresh(text, spelling, service);
            if (QTest::currentTestFailed())
                return;
        }
    }

    // Many edits at places near and far from each other, the lines around each checked as they
    // are shown after a key, leave the marks of the text checked afresh.
    void editsInTurnKeepMarksRight_data() {
        QTest::addColumn<uint>("seed");
        for (uint seed = 1; seed <= 12; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }
    void editsInTurnKeepMarksRight() {
        REQUIRE_ENGLISH();
        QFETCH(uint, seed);
        QRandomGenerator random(seed);
        TestEnvironment env;
        SpellingService service(env.programFolder());
        service.setPreferredLanguage("en_US");
        RichTextControl text;
        text.setText(longPage());
        DocumentSpelling spelling(text, service);
        spelling.configure(true, SpellingSource::Markup, {});
        spelling.checkAll();
        const QStringList inserted{"x", "wrods ", "\r\n", "<!--", "-->", "<b>", "Some text ", ""};
        int at = random.bounded(text.textLength());
        for (int step = 0; step < 60; ++step) {
            // Mostly a few characters on, as typing goes; now and then somewhere else.
            at = random.bounded(4) == 0 ? random.bounded(text.textLength())
                                        : std::clamp(at + random.bounded(-20, 40), 0, text.textLength());
            const int removed =
                random.bounded(3) == 0 ? std::min(random.bounded(12), text.textLength() - at) : 0;
            text.select(at, removed);
            text.setSelText(inserted.at(random.bounded(int(inserted.size()))));
            if (random.bounded(2) == 0)
                spelling.checkStretch(std::max(0, at - 300), at + 300);
        }
        compareWithFresh(text, spelling, service);
    }

    // A large text just read is read for its check in one piece. Its misspellings are those found
    // reading it a stretch at a time, as the lines on screen are; lines long enough to be shown in
    // pieces are among them, each with a word across a piece's end.
    void largeTextReadInOnePiece() {
        REQUIRE_ENGLISH();
        TestEnvironment env;
        SpellingService service(env.programFolder());
        service.setPreferredLanguage("en_US");
        QString page;
        for (int i = 0; i < 16; ++i)
            page += longPage() + QStringLiteral("<p>") +
                    QStringLiteral("Mor wrds across ").repeated(150 + i) + QStringLiteral("pices</p>\r\n");
        QVERIFY(page.size() > 300'000);
        RichTextControl whole, shown;
        for (RichTextControl* text : {&whole, &shown}) {
            text->setLongLineLimit(1000);
            text->setText(page);
        }
        DocumentSpelling inOnePiece(whole, service), inStretches(shown, service);
        for (DocumentSpelling* spelling : {&inOnePiece, &inStretches})
            spelling->configure(true, SpellingSource::Markup, {});
        inOnePiece.checkAll();
        for (int at = 0; at < shown.textLength() && !inStretches.done(); at += 10'000)
            inStretches.checkStretch(at, at + 10'000);
        QVERIFY(inStretches.done());
        QCOMPARE(places(whole, inOnePiece), places(shown, inStretches));
        QVERIFY(places(whole, inOnePiece).contains(QStringLiteral(" pices")));
    }

    // A file just read is checked from the text it was read as, not from the text read back out of
    // the window: the marks are those of the same text checked afresh, whatever its line breaks,
    // and on a long line shown in pieces.
    void openedFileCheckedAsItsText_data() {
        table({"breaks", "long line"}, {"CR LF; CR LF; 0", "LF; LF; 0", "lone CR; lone CR; 0",
                                        "LF and CR LF; LF and CR LF; 0", "long line in pieces; CR LF; 1"});
    }
    void openedFileCheckedAsItsText() {
        REQUIRE_ENGLISH();
        AppFixture app;
        QString page = longPage();
        if (cell("long line") == "1")
            page += "<p>" + QString("Mor wrds on one line ").repeated(200) + "</p>\r\n";
        const QString breaks = cell("breaks");
        if (breaks == "LF")
            page.replace("\r\n", "\n");
        else if (breaks == "lone CR")
            page.replace("\r\n", "\r");
        else if (breaks == "LF and CR LF")
            page.replace("</p>\r\n", "</p>\n");
        frmNotepad* document = startWith(app, page.toUtf8());
        RichTextControl& text = *document->txtRich;
        QVERIFY(document->spelling()->checking());
        compareWithFresh(text, *document->spelling(), *app.main->spelling());
    }

    // The list of marks and segments against a plain list moved item by item.
    void shiftedListAsPlainList_data() {
        QTest::addColumn<uint>("seed");
        for (uint seed = 1; seed <= 20; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }
    void shiftedListAsPlainList() {
        struct Item {
            int start = 0;
            int tag = 0;
        };
        QFETCH(uint, seed);
        QRandomGenerator random(seed);
        ShiftedList<Item> list;
        std::vector<Item> plain;
        int tags = 0;
        for (int step = 0; step < 400; ++step) {
            const size_t i = random.bounded(int(plain.size()) + 1);
            switch (random.bounded(6)) {
            case 0: { // an edit: the items from i on move
                const int delta = random.bounded(-5, 6);
                list.moveFrom(i, delta);
                for (size_t k = i; k < plain.size(); ++k)
                    plain[k].start += delta;
                break;
            }
            case 1: { // items taken out
                const size_t to = std::min(plain.size(), i + random.bounded(4));
                list.erase(i, to);
                plain.erase(plain.begin() + qsizetype(i), plain.begin() + qsizetype(to));
                break;
            }
            case 2: { // one put in
                const Item item{random.bounded(1000), ++tags};
                list.insert(i, item);
                plain.insert(plain.begin() + qsizetype(i), item);
                break;
            }
            case 3: { // several put in
                const std::vector<Item> items{{random.bounded(1000), ++tags}, {random.bounded(1000), ++tags}};
                list.insert(i, items.begin(), items.end());
                plain.insert(plain.begin() + qsizetype(i), items.begin(), items.end());
                break;
            }
            case 4: // a start set
                if (i < plain.size()) {
                    plain[i].start = random.bounded(1000);
                    list.setStart(i, plain[i].start);
                }
                break;
            case 5: // every move written in
                if (random.bounded(4) == 0)
                    QCOMPARE(int(list.flat().size()), int(plain.size()));
                break;
            }
            QCOMPARE(list.size(), plain.size());
            for (size_t k = 0; k < plain.size(); ++k) {
                QCOMPARE(list.start(k), plain[k].start);
                QCOMPARE(list.item(k).tag, plain[k].tag);
            }
        }
    }

    // The answers kept against a plain map: words of one to a few letters from a small alphabet,
    // so that many share a hash slot's neighbourhood, a length or a beginning; the table grows
    // through several sizes and is cleared once on the way.
    void answersAsPlainMap_data() {
        QTest::addColumn<uint>("seed");
        for (uint seed = 1; seed <= 8; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }
    void answersAsPlainMap() {
        QFETCH(uint, seed);
        QRandomGenerator random(seed);
        SpellingAnswers answers;
        std::map<QString, bool> plain;
        for (int step = 0; step < 6000; ++step) {
            QString word;
            for (int n = random.bounded(8); n > 0; --n)
                word += QChar(u"ab\u00e9\u4e2d"[random.bounded(4)]);
            if (step == 3000) {
                QVERIFY(plain.size() > 1024); // the table has grown twice
                answers.clear();
                plain.clear();
            }
            const auto known = plain.find(word);
            const std::optional<bool> found = answers.find(word);
            QCOMPARE(found.has_value(), known != plain.end());
            if (found) {
                QCOMPARE(*found, known->second);
                continue;
            }
            const bool correct = random.bounded(2) == 1;
            answers.insert(word, correct);
            plain[word] = correct;
            QCOMPARE(answers.size(), plain.size());
        }
        for (const auto& [word, correct] : plain)
            QCOMPARE(answers.find(word), std::optional<bool>(correct));
    }

    void suggestions_data() {
        table({"word", "offered"}, {"receive; recieve; receive", "capital; Thiss; This", "world; wrld; world",
                                    "spelling; speling; spelling"});
    }
    void suggestions() {
        REQUIRE_ENGLISH();
        TestEnvironment env;
        SpellingService service(env.programFolder());
        SpellDictionary* english = service.dictionaryFor("en");
        QVERIFY(english && english->name() == "en_US");
        const QStringList offered = service.suggestions(cell("word"), *english);
        QVERIFY2(offered.contains(cell("offered")) && offered.size() <= 8, qPrintable(offered.join(' ')));
    }

    // words.txt in the program folder: read at start, written whole and atomically on each addition,
    // its words correct in every document; a word that cannot be stored stays unknown.
    void ownWords() {
        REQUIRE_ENGLISH();
        TestEnvironment env;
        const QString words = env.writeFile("data/Quillora/words.txt", "Quillora\r\nzorgle\n");
        SpellingService service(env.programFolder());
        SpellDictionary& english = *service.dictionaryFor(QString());
        QStringList correct;
        for (const char* word : {"Quillora", "zorgle", "Zorgle", "quillora", "blorf"})
            correct << QString::number(service.isCorrect(QString::fromUtf8(word), english));
        QCOMPARE(correct.join(""), "11100");

        RichTextControl text;
        text.setText("A blorf here, Blorf there, blorfs.");
        DocumentSpelling spelling(text, service);
        spelling.configure(true, SpellingSource::PlainText, {});
        spelling.checkAll();
        QCOMPARE(places(text, spelling), "1:3 blorf|1:15 Blorf|1:28 blorfs");
        QString reason;
        QVERIFY(service.addWord("blorf", reason));
        QCOMPARE(TestEnvironment::readFile(words), "Quillora\r\nzorgle\r\nblorf\r\n");
        QCOMPARE(places(text, spelling), "1:28 blorfs");
        QVERIFY(SpellingService(env.programFolder()).isCorrect(u"blorf", english));

        service.ignoreWord("blorfs"); // for every document until the program ends
        QCOMPARE(places(text, spelling), "");
        QVERIFY(SpellingService(env.programFolder()).isCorrect(u"blorfs", english));

        TestEnvironment blocked;
        QDir().mkpath(blocked.programFolder() + "/words.txt"); // a folder where the file would go
        SpellingService refused(blocked.programFolder());
        QVERIFY(!refused.addWord("snarkle", reason) && !reason.isEmpty());
        QVERIFY(!refused.isCorrect(u"snarkle", english));
    }

    // A dictionary in ISO-8859-1: words go to it in its encoding and suggestions come back from it.
    void latin1Dictionary() {
        const QByteArray bytes = TestEnvironment::readFile(kTestDictionaries + "/xx_QL.dic");
        QVERIFY(bytes.contains("caf\xe9") && !QString::fromUtf8(bytes).toUtf8().contains("caf\xe9"));
        QString reason;
        std::unique_ptr<SpellDictionary> dictionary = SpellDictionary::load(
            {"xx_QL", kTestDictionaries + "/xx_QL.aff", kTestDictionaries + "/xx_QL.dic"}, &reason);
        QVERIFY2(dictionary, qPrintable(reason));
        QCOMPARE(dictionary->encoding(), "ISO8859-1");
        QStringList correct;
        for (const char* word :
             {"café", "naïve", "crème", "brûlée", "déjà", "cafe", "cafè", "café€", "caféé"})
            correct << QString::number(dictionary->isCorrect(QString::fromUtf8(word)));
        QCOMPARE(correct.join(""), "111110000");
        QVERIFY(dictionary->suggestions("cafe", 8).contains("café"));
        QVERIFY(dictionary->suggestions("creme", 8).contains("crème"));
        QCOMPARE(dictionary->suggestions("€€€", 8), QStringList());
        QVERIFY(!SpellDictionary::load({"none", "/no/such.aff", "/no/such.dic"}, &reason) &&
                reason.contains("/no/such"));
    }

    void dictionaryForLanguage_data() {
        table({"tag", "chosen"},
              {"language; en; en_US", "region; en-GB; en_GB", "case and underscore; EN_gb; en_GB",
               "region not installed; de-AT; de_DE", "main region; de; de_DE", "pt; pt; pt_PT",
               "pt-br; pt-br; pt_BR", "any of the language; xx; xx_QL", "none; fr; ", "empty;  ; "});
    }
    void dictionaryForLanguage() {
        const QStringList names{"de_BE", "de_DE", "en_GB", "en_US", "pt_BR", "pt_PT", "xx_QL"};
        QCOMPARE(DictionaryForLanguage(cell("tag"), names), cell("chosen"));
    }

    // Without any dictionary nothing is checked, and what to install is said.
    void withoutDictionaries() {
        TestEnvironment env;
        SetDictionaryFolders({env.root()});
        SpellingService service(env.programFolder());
        QVERIFY(!service.hasDictionaries() && !service.dictionaryFor("en"));
        RichTextControl text;
        text.setText("Thiss is wrng");
        DocumentSpelling spelling(text, service);
        spelling.configure(true, SpellingSource::PlainText, {});
        spelling.checkAll();
        QVERIFY(!spelling.checking() && spelling.misspellings().empty());
        QVERIFY(MissingDictionaryMessage().contains("hunspell-en-us") &&
                MissingDictionaryMessage().contains("hunspell-*"));
        // One installed later is found when looked for again.
        QFile::copy(kTestDictionaries + "/xx_QL.aff", env.root() + "/xx_QL.aff");
        QFile::copy(kTestDictionaries + "/xx_QL.dic", env.root() + "/xx_QL.dic");
        QSignalSpy changed(&service, &SpellingService::dictionariesChanged);
        service.refresh();
        QVERIFY(changed.size() == 1 && spelling.checking());
        spelling.checkAll();
        QCOMPARE(places(text, spelling), "1:1 Thiss|1:7 is|1:10 wrng");
    }

    // Which words of pages, style sheets, programs and text files a spelling check reads.

    void wordsChecked_data() {
        table(
            {"source", "comments", "text", "words"},
            {"between tags; ; ; <p>Hello <b>wor</b>ld</p>; Hello|wor|ld",
             "names and other values never; ; ; <div class=\"intro\" id=main data-x='Wordy'>Text</div>; Text",
             "prose attributes; ; ; <img alt=\"A cat\" src=\"cat.png\" title='Sleepy cat'>; cat|Sleepy|cat",
             "placeholder, label, summary; ; ; <input placeholder=\"Your name\"><option label=\"Choose\">"
             "<table summary=\"Prices\">; Your|name|Choose|Prices",
             "meta description either order; ; ; <meta name=\"description\" content=\"Fresh bread\">"
             "<meta content=\"Daily rolls\" NAME=Description><meta name=keywords content=\"not these\">; "
             "Fresh|bread|Daily|rolls",
             "references tie words; ; ; caf&eacute;, tea&nbsp;time &lt;b&gt;, &#233;t&#xE9;, good; good",
             "scripts and styles never; ; ; <script>var wrng = "
             "'txt';</script><STYLE>p{colr:red}</STYLE>Done; Done",
             "script words never, comments on; ; 1; <script>// a commnt\n'strng'</script>Done; Done",
             "names in any case; ; ; <Script>wrng</sCRIPT><ÜBER>über</ÜBER><STYLE>p{colr:red}</Style>"
             "<META name=description content=\"Daily bred\">Done <XMP>skip</xmp>; über|Daily|bred|Done",
             "comments off; ; ; <!-- a commnt --> Shown; Shown",
             "comments on; ; 1; <!-- a commnt --> Shown; commnt|Shown",
             "server code; ; ; <% Write(\"hallo\") %>Text<? echo 'woord' ?> More; Text|More",
             "server code in a value; ; ; <img alt=\"<?= $name ?> here\"><img alt=Photo>"
             "<img title=\"a <b <?= \"x\" ?> rest\">; Photo",
             "addresses and paths; ; ; See http://exmple.com/pagez, www.exmple.org, me@exmple.com, "
             "/usr/shre and ./rn here; See|and|here",
             "more addresses and paths; ; ; Mailto:me (WWW.exmple.org) C:\\\\dirr ../upp ~/homme \"/abs\" "
             "Note: fine:// ok; Note|ok",
             "digits, capitals, names; ; ; The mp3 HTML file index.html e.g. read_file works I; "
             "The|file|works",
             "apostrophes; ; ; Don't 'quote' it’s James' rock'n'roll; Don't|quote|it’s|James|rock'n'roll",
             "title and textarea are text; ; ; <title>My pagee</title><textarea>Typed <b>textt</textarea>; "
             "My|pagee|Typed|textt",
             "declarations, CDATA; ; ; <!DOCTYPE html><![CDATA[ raw dataa ]]>Fine; Fine",
             "less-than in text; ; ; a < b and 3<4 okay; and|okay",
             "tag the text ends in; ; ; Words <img alt=\"never closed; Words",
             "unspaced scripts; ; ; 漢字 かな and ok; and|ok",
             "style sheet, option off; css; ; p { color: red } /* a commnt */ a::after { content: \"sme\" "
             "}; ",
             "style sheet; css; 1; p { color: red } /* a commnt */ a::after { content: \"sme text\" }; "
             "commnt|sme|text",
             "script; js; 1; // line commnt\nvar s = 'It\\'s here';/* blok */ x = `tmpl\nok`;"
             "// url http://x.org\n; line|commnt|here|blok|tmpl|ok|url",
             "script strings end at the line; js; 1; x = \"opn\ny = wordz; opn",
             "perl; pl; 1; # a commnt\nmy $x = \"Hello wrld\";print $#list;# tail\n; commnt|Hello|wrld|tail",
             "java; java; 1; // note\nString s = \"text\";char c = 'x';/** doc */; note|text|doc",
             "text file: all of it; txt; ; Plain <b>text</b> file, <!-- too -->; Plain|text|file|too"});
    }
    void wordsChecked() {
        const SpellingOptions options{!cell("comments").isEmpty()};
        const QString text = cell("text");
        QCOMPARE(shown(text, SpellingWords(text, sourceNamed(cell("source")), options)), cell("words"));
    }

    // Words take the language of the innermost element that names one; an element whose end tag may
    // be left out is closed by the next of its name.
    void languages() {
        const QString page =
            "<html lang=\"de\"><p>Haus <span lang=en-GB>house <b>big</b></span> Baum</p>"
            "<p lang=fr>maison<p>Tür <div xml:lang=it><div>casa</div> bella</div> Ende</html> last";
        QCOMPARE(shown(page, SpellingWords(page, SpellingSource::Markup)),
                 "Haus@de|house@en-GB|big@en-GB|Baum@de|maison@fr|Tür@de|casa@it|bella@it|Ende@de|last");
        const QString alt = "<p lang=de><img alt=\"Bild\" lang=\"nl\"> Text</p>";
        QCOMPARE(shown(alt, SpellingWords(alt, SpellingSource::Markup)), "Bild@nl|Text@de");
    }

    // Read a stretch at a time from the places reading stopped, a text gives the same words as read
    // whole: comments, scripts, tags, strings and languages across the stretches' ends included.
    void stretchesGiveTheWholeTextsWords_data() {
        table(
            {"source", "comments", "text"},
            {"page; ; 1; <html lang=de>\r\n<head><title>Mein Titel</title><script>\r\nvar x = \"<b> nein\";"
             "\r\n</script></head>\r\n<!-- ein\r\nKommentar --> <p title=\"lange Werte mit Worten\" "
             "class=x>Text und\r\nnoch <% code %> mehr <span lang=en>words here</span> Ende</p><style>\r\n"
             "p { }</style> <textarea>Feld mit Text</textarea> <?php echo 1 ?> Schluss",
             "page without comments; ; ; <p>eins <!-- zwei drei --> vier <b>fünf</b> sechs</p> sieben acht",
             "script; js; 1; /* block comment\r\nover lines */ var s = 'one two';// and a line\r\n"
             "t = `template\r\nstring here`;done();",
             "perl; pl; 1; # comment words\nmy $s = \"string with\nlines\";print $#x;# more words\n",
             "text; txt; ; Plain words in a text file\r\nwith lines and lines of prose, http://x.y/z too."});
    }
    void stretchesGiveTheWholeTextsWords() {
        const SpellingOptions options{!cell("comments").isEmpty()};
        const SpellingSource source = sourceNamed(cell("source"));
        const QString text = cell("text");
        const QString whole = shown(text, SpellingWords(text, source, options));
        QVERIFY(!whole.isEmpty());
        for (int stretch : {1, 3, 7, 16, 40})
            QCOMPARE(inStretches(text, source, options, stretch, 80), whole);
        // A tag longer than what is seen past the stop is read whole when the next stretch starts at it.
        QCOMPARE(inStretches(text, source, options, 5, 40), whole);
    }

    void sourceOfFiles_data() {
        table({"path", "source"},
              {"page; /x/a.HTM; 0", "untitled; ; 0", "php; a.php; 0", "css; a.CSS; 1", "js; a.mjs; 2",
               "json; a.json; 2", "perl; a.cgi; 3", "java; A.java; 4", "text; notes.txt; 5"});
    }
    void sourceOfFiles() { QCOMPARE(int(SpellingSourceOf(cell("path"))), cell("source").toInt()); }

    // The spelling check in the program's windows: underlines, the context menu, the list, the
    // settings, the command and its key.

    // Underlining misspelt words and taking the underlines away leave the text, its colours, the
    // unsaved-changes mark and the undo history as they were.
    void underlinesLeaveTheDocumentAlone() {
        REQUIRE_ENGLISH();
        AppFixture app;
        const QByteArray page = "<html>\r\n<body>\r\n<p class=\"x\">Thiss is a tst of the underline.</p>\r\n"
                                "</body>\r\n</html>\r\n";
        frmNotepad* document = startWith(app, page);
        RichTextControl& text = *document->txtRich;
        const QList<ColorValue> colours = colors(text);
        QVERIFY(document->spelling()->underlined() && document->action(CommandId::Spelling)->isChecked());
        const int misspelt = int(text.text().indexOf("Thiss")),
                  correct = int(text.text().indexOf("underline"));
        // Underlined just after the window's first paint, which reads no dictionary.
        QTRY_VERIFY(underlinePixels(text, misspelt, 5) > 3);
        QCOMPARE(underlinePixels(text, correct, 9), 0);
        const auto unchanged = [&] {
            return text.text().toUtf8() == page && colors(text) == colours &&
                   !app.record(document->slot()).Modified && !document->mnuUndo->isEnabled() &&
                   !document->windowTitle().endsWith('*');
        };
        QVERIFY(unchanged());

        document->action(CommandId::Spelling)->trigger(); // off, in every window
        QVERIFY(!app.main->settings().SpellCheck && !document->action(CommandId::Spelling)->isChecked());
        QCOMPARE(underlinePixels(text, misspelt, 5), 0);
        QCOMPARE(SettingsStore::read("Settings", "SpellCheck"), "0");
        QVERIFY(unchanged());
        // Typing a misspelt word with the check on: underlined as soon as it is shown.
        document->action(CommandId::Spelling)->trigger();
        text.setFocus();
        text.setSelStart(int(text.text().indexOf("</p>")));
        typeText(&text, " wrods");
        QVERIFY(underlinePixels(text, int(text.text().indexOf("wrods")), 5) > 3);
    }

    // A paint never waits for a dictionary to be read: the lines shown are checked just after it,
    // and underlined then, in the page's language and in another one the page names.
    void paintReadsNoDictionary() {
        REQUIRE_ENGLISH();
        TestEnvironment env;
        SetDictionaryFolders(DictionaryFolders() << kTestDictionaries);
        SpellingService service(env.programFolder());
        service.setPreferredLanguage("en_US");
        RichTextControl text;
        text.resize(500, 200);
        text.setText("<p>Thiss is a tst.</p>\r\n<p lang=\"xx\">café naïvement</p>\r\n");
        text.show();
        QVERIFY(QTest::qWaitForWindowExposed(&text));
        DocumentSpelling spelling(text, service);
        spelling.configure(true, SpellingSource::Markup, {});
        const int english = int(text.text().indexOf("Thiss"));
        QCOMPARE(underlinePixels(text, english, 5), 0);
        QVERIFY(!service.answersAtOnce("") && !service.answersAtOnce("xx"));
        QTRY_VERIFY(underlinePixels(text, english, 5) > 3);
        QCOMPARE(places(text, spelling), "1:4 Thiss|1:15 tst|2:19 naïvement");
    }

    // A right click on a misspelt word offers the dictionary's suggestions first, then Add to
    // Dictionary and Ignore All; a suggestion chosen replaces the word as one undo step.
    void contextMenu() {
        REQUIRE_ENGLISH();
        AppFixture app;
        frmNotepad* document = startWith(app, "<p>Thsi is wrng.</p>");
        RichTextControl& text = *document->txtRich;
        QStringList names = rightClick(app, text, 13, "mnuSuggestion1");
        const int suggestions = int(names.indexOf("mnuAddWord"));
        QVERIFY2(suggestions >= 1 && suggestions <= 8 &&
                     names.mid(0, suggestions).join(' ').contains("=wrong"),
                 qPrintable(names.join(' ')));
        QCOMPARE(names.mid(suggestions, 4),
                 (QStringList{"mnuAddWord", "mnuIgnoreAll", "mnuSepSpelling", "mnuCut"}));
        const QString first = names.first().section('=', 1);
        QCOMPARE(text.text(), "<p>Thsi is " + first + ".</p>");
        document->action(CommandId::Undo)->trigger();
        QCOMPARE(text.text(), "<p>Thsi is wrng.</p>");

        // Add to Dictionary: words.txt, and the word correct from now on.
        rightClick(app, text, 4, "mnuAddWord");
        QCOMPARE(TestEnvironment::readFile(app.env.programFolder() + "/words.txt"), "Thsi\r\n");
        QVERIFY(!document->spelling()->misspellingAt(4));
        QCOMPARE(rightClick(app, text, 4).value(0), "mnuCut");
        // Ignore All: in every document, until the program ends.
        frmNotepad* other = OpenDocument(*app.main, app.env.writeFile("other.htm", "wrng again"));
        QVERIFY(other->spelling()->misspellingAt(1));
        rightClick(app, text, 13, "mnuIgnoreAll");
        QVERIFY(!other->spelling()->misspellingAt(1) && !document->spelling()->misspellingAt(13));
        QVERIFY(!QFile::exists(app.env.programFolder() + "/words.txt") ||
                !TestEnvironment::readFile(app.env.programFolder() + "/words.txt").contains("wrng"));
    }

    // Spelling List: each misspelt word with its count and places; Enter goes from place to place;
    // Replace changes them all as one undo step.
    void spellingList() {
        REQUIRE_ENGLISH();
        AppFixture app;
        const QString page = "teh cat, teh dog\r\n<p title=\"teh\">teh end</p> mispelt";
        frmNotepad* document = startWith(app, page.toUtf8());
        RichTextControl& text = *document->txtRich;
        document->action(CommandId::SpellingList)->trigger();
        SpellingPanel* panel = app.main->spellingPanel();
        QVERIFY(panel && panel->objectName() == "dockSpelling" && panel->isVisible());
        panel->listAll();
        QStringList rows;
        for (int i = 0; i < panel->lstSpelling->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = panel->lstSpelling->topLevelItem(i);
            rows << row->text(0) + " " + row->text(1) + " " + row->text(2);
        }
        QCOMPARE(rows.join('|'), "teh 4 1:1, 1:10, 2:11, 2:16|mispelt 1 2:28");
        panel->lstSpelling->setCurrentItem(panel->lstSpelling->topLevelItem(0));
        panel->lstSpelling->setFocus();
        QStringList visited;
        for (int i = 0; i < 5; ++i) {
            sendKey(panel->lstSpelling, Qt::Key_Return);
            visited << QString::number(text.selStart()) + "+" + QString::number(text.selLength());
        }
        QCOMPARE(visited.join(' '), "0+3 9+3 28+3 33+3 0+3");
        QVERIFY(panel->cmbSuggestions->findText("the") >= 0);
        panel->cmbSuggestions->setCurrentText("the");
        panel->cmdReplace->click();
        QCOMPARE(text.text(), QString(page).replace("teh", "the"));
        document->action(CommandId::Undo)->trigger();
        QCOMPARE(text.text(), page);
        panel->listAll();
        QCOMPARE(panel->lstSpelling->topLevelItem(0)->text(1), "4");
        app.dialogs.answers << Dialogs::Answer::No; // not saved
        document->close();
        AppFixture::flush();
        QCOMPARE(panel->lstSpelling->topLevelItemCount(), 0);
    }

    // The settings: the check on or off, a dictionary for pages that name no language, comments.
    void settings() {
        REQUIRE_ENGLISH();
        AppFixture app;
        frmNotepad* document = startWith(app, "<p>Fine text</p><!-- a commnt -->");
        app.main->showSettings(false);
        frmSettings* dialog = app.main->findChild<frmSettings*>();
        QCOMPARE(dialog->cmbSpellLanguage->itemText(0), "System language");
        QVERIFY(dialog->cmbSpellLanguage->findData("en_US") > 0);
        QVERIFY(dialog->chkSpellCheck->isChecked() && !dialog->chkSpellComments->isChecked());
        dialog->cmbSpellLanguage->setCurrentIndex(dialog->cmbSpellLanguage->findData("en_US"));
        dialog->chkSpellComments->setChecked(true);
        dialog->cmdOK->click();
        QCOMPARE(SettingsStore::read("Settings", "SpellLanguage") +
                     SettingsStore::read("Settings", "SpellComments"),
                 "en_US1");
        document->spelling()->checkAll();
        QCOMPARE(document->spelling()->misspellings().size(), size_t(1)); // the comment's word
        app.main->showSettings(false);
        dialog = app.main->findChild<frmSettings*>();
        QCOMPARE(dialog->cmbSpellLanguage->currentData().toString(), "en_US");
        dialog->chkSpellCheck->setChecked(false);
        dialog->cmdOK->click();
        QVERIFY(!document->spelling()->underlined() && !document->action(CommandId::Spelling)->isChecked());
        // Shift+F7 turns it on again.
        QVERIFY(shownActive(app.main.get()));
        sendKey(document->txtRich, Qt::Key_F7, Qt::ShiftModifier);
        QVERIFY(app.main->settings().SpellCheck && document->spelling()->underlined());
    }

    // Without any dictionary the command says which packages bring them, and nothing is checked.
    void commandWithoutDictionaries() {
        AppFixture app;
        SetDictionaryFolders({app.env.root() + "/none"});
        frmNotepad* document = startWith(app, "<p>Thiss is wrng</p>");
        QVERIFY(!document->spelling()->checking());
        document->action(CommandId::Spelling)->trigger(); // off: nothing to say
        QVERIFY(app.dialogs.messages.isEmpty());
        document->action(CommandId::Spelling)->trigger();
        QCOMPARE(app.dialogs.messages.size(), 1);
        QVERIFY(app.dialogs.messages[0].text.contains("hunspell-en-us"));
        QVERIFY(!document->spelling()->checking() &&
                rightClick(app, *document->txtRich, 5).value(0) == "mnuCut");
        document->action(CommandId::SpellingList)->trigger();
        QVERIFY(app.main->spellingPanel()->lblSpelling->text().contains("hunspell-"));
    }
};

QTEST_MAIN(SpellingTest)
#include "tst_spelling.moc"
