#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <vector>

// The words of a text that a spelling check reads, and only those. In a page: the text between
// tags (title and textarea contents included), the values of alt, title, placeholder, label and
// summary, and the content of <meta name="description">; comments only when asked for. Never tags,
// attribute names or other values, character references, scripts, styles, server code ("<?...?>",
// "<%...%>"), declarations or CDATA. In a style sheet or a program: its comments and strings, and
// only when asked for. In a text file: all of it. Wherever it stands, a web address, an e-mail
// address or a path gives no word, nor does a word with digits, a word in capitals, a single
// letter, or a word tied to a name by ".", "_", "\" or a character reference ("index.html",
// "caf&eacute;"). An apostrophe between letters belongs to the word ("don't", "it’s").

// What kind of text it is, by its file.
enum class SpellingSource { Markup, StyleSheet, Script, Perl, Java, PlainText };
// By the path's extension: a style sheet (.css), a script (.js, .mjs, .cjs, .json), Perl (.pl,
// .pm, .cgi), Java (.java), plain text (.txt); anything else, and no path, markup.
SpellingSource SpellingSourceOf(const QString& path);

struct SpellingOptions {
    // The comments of pages, and the comments and strings of style sheets and programs.
    bool codeText = false;
};
// Whether a text of this kind has any words to check with these options.
bool HasSpellingWords(SpellingSource source, const SpellingOptions& options);

// An element open around a place that names its language (lang or xml:lang).
struct LanguageFrame {
    QString element;  // its name, lower case
    QString language; // as the attribute has it, blanks left out
    int depth = 1;    // it and the elements of its name opened inside it, still open
    bool operator==(const LanguageFrame& other) const {
        return depth == other.depth && element == other.element && language == other.language;
    }
};

// Where the reader stands at a place it stopped: enough to go on reading from there alone.
struct SpellingState {
    enum class Place : quint8 {
        Text,         // between tags (and the whole of a text file)
        Comment,      // "<!-- ... -->"
        Raw,          // the contents of script, style and the like: no words
        RawText,      // the contents of title and textarea: words, no tags
        Server,       // "<?...?>" or "<%...%>"
        Cdata,        // "<![CDATA[ ... ]]>"
        Code,         // a style sheet or program outside its comments and strings
        LineComment,  // to the end of the line
        BlockComment, // "/* ... */"
        String,
    };
    Place place = Place::Text;
    QChar quote;     // String: its closing quote; Server: '?' or '%'
    QString element; // Raw, RawText: the element whose end tag ends them, lower case
    // The elements open that name a language, innermost last (at most 32 are followed).
    QList<LanguageFrame> languages;

    bool operator==(const SpellingState& other) const {
        return place == other.place && quote == other.quote && element == other.element &&
               languages == other.languages;
    }
    bool operator!=(const SpellingState& other) const { return !(*this == other); }
};

struct SpellingWord {
    int start = 0;
    int length = 0;
    // Of the innermost element that names one: its place in the run's `languages`; -1 where none
    // does (or names ""). A page's words are hundreds of thousands, its languages a few.
    int language = -1;
};

struct SpellingRun {
    std::vector<SpellingWord> words; // ascending
    std::vector<QString> languages;  // those named where it read, each once
    int end = 0;                     // where reading stopped
    SpellingState state;             // what it stopped in

    // The word's language, "" where none is named.
    const QString& languageOf(const SpellingWord& word) const;
};

// Reads the words of `text`, standing in `from` at its start, up to the first place at or after
// `stop` where reading may stop and go on again later: just after a blank, outside any tag. The
// words are those before that place, and the run tells the place and the state there; reading
// from there with that state gives what reading on would have given. Without such a place it reads
// to the end of the text. `whole`: the text runs to the end of the document, so a tag it ends in
// is cut off there; otherwise reading stops before such a tag (at the text's start, it is passed
// over unread, so that reading always gets on).
SpellingRun ReadSpellingWords(QStringView text, SpellingSource source, const SpellingOptions& options,
                              const SpellingState& from, int stop, bool whole);
// The words of a whole document.
SpellingRun SpellingWords(QStringView text, SpellingSource source, const SpellingOptions& options = {});
