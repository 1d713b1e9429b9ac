#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

// The word lists Ctrl+Space completes from: the attributes of "attributes.txt", and the command
// list "commands.txt" brought up to the shipped one.

// The attributes of "attributes.txt". Each line holds an element's name and then its attributes,
// separated by blanks, in the order they are offered; the line of "*" holds the global attributes;
// lines starting with "#" are comments. A name that comes again adds to its line.
class AttributeTable {
public:
    static AttributeTable parse(const QString& text);
    bool isEmpty() const { return m_elements.isEmpty() && m_global.isEmpty(); }
    // The attributes offered in a start tag of `element` (any case): its own, then the global
    // ones, each once. An element without a line gets the global ones alone.
    QStringList offeredIn(const QString& element) const;

private:
    QHash<QString, QStringList> m_elements; // by lower-case name
    QStringList m_global;
};

// The table of the file at `path` (the program's own: never read through a link), read again only
// when the file has changed. A missing file gives an empty table; one that cannot be read too,
// logged once. Called on the user-interface thread only.
const AttributeTable& LoadedAttributeTable(const QString& path);

// Where the cursor stands in the markup around it, for attribute completion.
struct AttributePlace {
    // In an unfinished or closed start tag, past its name (in a name, a value, between attributes).
    bool inStartTag = false;
    // Where an attribute name is typed: right after a blank, or after a blank and the start of a
    // name that ends at the cursor. Not after "=", in a value, or a name glued to a quote or "/".
    bool atName = false;
    QString element;
    int start = 0; // where the typed part of the name begins
    QString typed;
    QStringList present; // the tag's other attribute names, lower case
};
// The place of `cursor` (an index of `text`). The tag is the one that opens at the last "<" before
// the cursor, followed by a letter; quoted values may hold ">" and "<". A "<!--" with no "-->" after
// it puts the cursor in a comment, in no tag.
AttributePlace AttributePlaceAt(QStringView text, int cursor);

// Brings the user's command list at `path` up to the shipped one at `shippedPath`: each shipped
// word it lacks (compared trimmed, case ignored) is appended as a line of its own, in the file's
// own line breaks and encoding, written in one step. Nothing is removed or moved. A word is offered
// once: the settings store keeps the shipped words offered, so one the user deletes afterwards is
// not brought back, and a later shipped list brings only its new words. A list with no words is
// left empty. A file that cannot be read or written is left alone, logged, and tried again at the
// next start.
void UpgradeCommandList(const QString& path, const QString& shippedPath);
