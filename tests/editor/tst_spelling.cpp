#include "editor/DocumentSpelling.h"
#include "editor/Spelling.h"
#include "platform/RichTextControl.h"
#include "support/DataTable.h"
#include "support/Dictionaries.h"
#include "support/TestEnvironment.h"

#include <QtTest>

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

} // namespace

// The spelling of a document with the dictionaries Debian installs (en_US), and a small test
// dictionary written in ISO-8859-1.
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
            spelling.checkAll();

            RichTextControl fresh;
            fresh.setText(text.text());
            DocumentSpelling again(fresh, service);
            again.configure(true, SpellingSource::Markup, {});
            again.checkAll();
            QCOMPARE(places(text, spelling), places(fresh, again));
            QVERIFY(!places(fresh, again).isEmpty());
        }
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
            correct << QString::number(service.isCorrect(word, english));
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
        QVERIFY(SpellingService(env.programFolder()).isCorrect("blorf", english));

        service.ignoreWord("blorfs"); // for every document until the program ends
        QCOMPARE(places(text, spelling), "");
        QVERIFY(SpellingService(env.programFolder()).isCorrect("blorfs", english));

        TestEnvironment blocked;
        QDir().mkpath(blocked.programFolder() + "/words.txt"); // a folder where the file would go
        SpellingService refused(blocked.programFolder());
        QVERIFY(!refused.addWord("snarkle", reason) && !reason.isEmpty());
        QVERIFY(!refused.isCorrect("snarkle", english));
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
};

QTEST_MAIN(SpellingTest)
#include "tst_spelling.moc"
