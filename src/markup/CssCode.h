#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One style rule: the command it applies to (a selector such as a tag name) and its properties
// text, the items "name:valueunit;" joined by one blank. A rule whose two texts are empty is a
// deleted one and is never written.
struct CssRule {
    QString command;
    QString properties;

    bool isEmpty() const { return command.isEmpty() && properties.isEmpty(); }
    bool operator==(const CssRule& other) const {
        return command == other.command && properties == other.properties;
    }
};

// The words the style builder offers in its four boxes.
struct CssVocabulary {
    QStringList commands, properties, values, units;
};

// Reads "css.txt": the first line is a heading; then commands up to the line
// "<-- Properties: -->", property names up to "<-- Values: -->", values up to "<-- Units: -->" and
// units up to "<-- End -->", after which nothing is read. A missing marker leaves the later
// sections empty. Lines beginning with "<--" and blank lines are not offered; entries are trimmed.
CssVocabulary ParseCssVocabulary(const QString& text);
// Reads one property's own value list: one value per line, without "<--" lines and blank lines.
QStringList ParseValueList(const QString& text);
// Whether a property name may name its value file: letters, digits and "-" only, so a name can
// never reach outside the value folder.
bool IsPropertyFileName(const QString& name);
// The values of `property` from the folder's "<property>.txt" (tried as typed, then in lower
// case); none when the name cannot be a file name or no file offers any value.
QStringList ReadPropertyValues(const QString& folder, const QString& property);
// The vocabulary of the "css.txt" at `path`; empty sections when it cannot be read.
CssVocabulary ReadCssVocabulary(const QString& path);

// Cuts a properties text into its items. Each item starts at its first non-blank character and
// runs up to and including the next ";" that is neither inside quotes nor inside parentheses, so
// `content:"a;b";` and `url(a;b)` stay whole. A last item without ";" is kept and gains one.
// Items that are only ";" are dropped.
QStringList SplitProperties(const QString& properties);
// The items joined by one blank: the properties text of a rule.
QString JoinProperties(const QStringList& items);
// An item's name (the text before its first ":", trimmed) and value (the text behind that ":"
// without the closing ";", trimmed). An item without ":" is all name and no value.
QString PropertyName(const QString& item);
QString PropertyValue(const QString& item);

// The rules of a style sheet text: each "{" ends a command (the text since the last "}"), whose
// properties run to the next "}", or to the end of the text when no "}" follows. Runs of line
// breaks and tabs become one blank; commands are trimmed and properties cut into items and joined
// again. Text after the last rule is not a rule and is not read; `rulesEnd`, when given, receives
// where it begins (the text's length when the last rule runs to the end).
QList<CssRule> ReadCssRules(const QString& text, qsizetype* rulesEnd = nullptr);

// A selection read for the style builder: the text before "<STYLE" and after "</STYLE>" (or,
// without a "</STYLE>", after the last rule) stays as it is (`before`, `after`); the rules come
// from the block between them.
struct StyleSelection {
    QString before, after;
    QList<CssRule> rules;
};
StyleSelection ReadStyleSelection(const QString& selected);

enum class CssLayout { OneRow, OnePerRow };

// The style text of the rules, in table order, empty rules skipped. Unless `external`, it is
// wrapped in <STYLE TYPE="text/css"> and </STYLE>. One row: command, indent, "{", properties,
// "}". One per row: command, indent, "{"; each item on its own indented line; indent, "}"; and a
// blank line between two rules. Every line ends with CR LF.
QString BuildCss(const QList<CssRule>& rules, CssLayout layout, bool external, const QString& indent);

// A picture reference as a style value: url(reference), with blanks, quotes and parentheses
// percent-encoded so they cannot end the url early.
QString CssUrl(const QString& reference);
