#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

// Abbreviations expanded into markup or style declarations at the cursor ("Expand Abbreviation").
//
// Markup: `ul>li.item$*3>a[href=#]{Link $}` becomes a list of three numbered items. An element is
// a name (or none: the element the parent implies) followed by `#id`, `.class`, `[attributes]`,
// `{text}` and `*N` (repeat, 1 to 1,000). `>` opens the last element, `+` adds a sibling, `^` climbs
// one level for each `^`, `( )` group a part that `*N` repeats whole. `$` numbers names, classes,
// attributes and text with the index of the nearest repeat (`$$$` padded to three digits, `$@-`
// counting down, `$@3` counting from 3, `\$` a dollar sign in text and values). `!` is an HTML
// document skeleton whose children go into its body; `lorem` and `loremN` are placeholder words.
//
// Style: in a style sheet, a style element or a style attribute each abbreviation of `m10+p0` is
// looked up in the table of "abbreviations.txt" (see StyleAbbreviations).

// Expansions longer than this many characters are refused, and so are abbreviations that would
// make more than this many elements and texts.
constexpr int kMaxExpansionLength = 1 << 20;

// The abbreviations of style sheets: "m = margin: $px;" lines (the format is described at the top
// of the shipped "abbreviations.txt").
class StyleAbbreviations {
public:
    // Lines "name = declaration"; "#" lines, blank lines and lines without a name of letters or a
    // "=" are skipped. A name given again replaces the earlier line.
    static StyleAbbreviations parse(const QString& text);
    bool isEmpty() const { return m_lines.isEmpty(); }
    // The declaration of `name` (any case); empty when there is none.
    QString declaration(QStringView name) const;

private:
    QHash<QString, QString> m_lines; // by lower-case name
};

// The table of the file at `path` (the program's own: never read through a link), read again only
// when the file has changed; empty when it is missing or unreadable. User-interface thread only.
const StyleAbbreviations& LoadedStyleAbbreviations(const QString& path);

enum class AbbreviationMode {
    Markup,
    StyleSheet,     // a style sheet or the contents of a style element: declarations one a line
    StyleAttribute, // the value of a style attribute: declarations on one line
};

struct AbbreviationContext {
    AbbreviationMode mode = AbbreviationMode::Markup;
    // One level of indentation, and the indentation of the line the abbreviation stands on, which
    // every line after the first starts with.
    QString indent = QStringLiteral("\t");
    QString lineIndent;
    // The element the abbreviation is written in, for the elements it implies at its top ("" none).
    QString parent;
    const StyleAbbreviations* styles = nullptr;
};

struct Expansion {
    QString text;   // line breaks CR LF
    int cursor = 0; // where the cursor goes in `text`: the first empty place, else the end
    // Why nothing was made ("" when it was), and the 1-based character of the abbreviation it
    // concerns (0 when none, as for one too large).
    QString error;
    int errorPosition = 0;
    bool tooLarge = false;
    bool ok() const { return error.isEmpty(); }
};

Expansion ExpandAbbreviation(QStringView abbreviation, const AbbreviationContext& context);

// Where the abbreviation that ends at `cursor` of `line` starts. Markup: after the nearest blank,
// the line's start, or a ">" that closes a tag, passing over blanks and ">" inside the
// abbreviation's own braces and brackets; an unmatched "{" or "[" also ends it. Style: the run of
// letters, digits and ".-#!+%" before the cursor.
int AbbreviationStart(QStringView line, int cursor, AbbreviationMode mode);

// Whether `before` (the text of a tag up to a place inside a quoted attribute value) is in the
// value of a style attribute.
bool InStyleAttribute(QStringView before);

// The nearest empty place after (`forward`) or before `from` in `text`: between the quotes of an
// empty attribute value `=""`, between the tags of an empty element `></`, or at the end of a line
// that is empty or only blanks. -1 when there is none.
int EditPoint(QStringView text, int from, bool forward);
