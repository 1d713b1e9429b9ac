#include "markup/SpellingWords.h"
#include "support/DataTable.h"

#include <QtTest>

namespace {

SpellingSource sourceNamed(const QString& name) {
    return name.isEmpty() ? SpellingSource::Markup : SpellingSourceOf("file." + name);
}

// The words as "word" or "word@language", joined by "|".
QString shown(QStringView text, const std::vector<SpellingWord>& words) {
    QStringList all;
    for (const SpellingWord& word : words)
        all << text.mid(word.start, word.length).toString() +
                   (word.language.isEmpty() ? QString() : "@" + word.language);
    return all.join('|');
}

// The text read a stretch at a time, as the editor reads a large document: each stretch from
// where the last stopped, in the state it stopped in, seeing `lookahead` characters past its stop.
std::vector<SpellingWord> inStretches(const QString& text, SpellingSource source,
                                      const SpellingOptions& options, int stretch, int lookahead) {
    std::vector<SpellingWord> words;
    SpellingState state;
    for (int start = 0; start < text.size();) {
        const int length = std::min(int(text.size()) - start, stretch + lookahead);
        SpellingRun run = ReadSpellingWords(QStringView(text).mid(start, length), source, options, state,
                                            stretch, start + length >= text.size());
        for (SpellingWord& word : run.words) {
            word.start += start;
            words.push_back(word);
        }
        start += std::max(1, run.end);
        state = run.state;
    }
    return words;
}

} // namespace

// Which words of pages, style sheets, programs and text files a spelling check reads.
class SpellingWordsTest : public QObject {
    Q_OBJECT

private slots:
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
             "comments off; ; ; <!-- a commnt --> Shown; Shown",
             "comments on; ; 1; <!-- a commnt --> Shown; commnt|Shown",
             "server code; ; ; <% Write(\"hallo\") %>Text<? echo 'woord' ?> More; Text|More",
             "server code in a value; ; ; <img alt=\"<?= $name ?> here\"><img alt=Photo>; Photo",
             "addresses and paths; ; ; See http://exmple.com/pagez, www.exmple.org, me@exmple.com, "
             "/usr/shre and ./rn here; See|and|here",
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
            QCOMPARE(shown(text, inStretches(text, source, options, stretch, 80)), whole);
        // A tag longer than what is seen past the stop is read whole when the next stretch starts at it.
        QCOMPARE(shown(text, inStretches(text, source, options, 5, 40)), whole);
    }

    void sourceOfFiles_data() {
        table({"path", "source"},
              {"page; /x/a.HTM; 0", "untitled; ; 0", "php; a.php; 0", "css; a.CSS; 1", "js; a.mjs; 2",
               "json; a.json; 2", "perl; a.cgi; 3", "java; A.java; 4", "text; notes.txt; 5"});
    }
    void sourceOfFiles() { QCOMPARE(int(SpellingSourceOf(cell("path"))), cell("source").toInt()); }
};

QTEST_MAIN(SpellingWordsTest)
#include "tst_spellingwords.moc"
