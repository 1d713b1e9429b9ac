#pragma once

#include <QSet>
#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

// The references a page makes to other files and places, read from its source as a browser reads
// it, for checking a site's links.

// A place in a text: line and column from 1, a column per UTF-16 code unit as the editor counts
// them; CR LF, a lone CR and a lone LF each end a line.
struct TextPlace {
    int line = 1;
    int column = 1;
    bool operator==(const TextPlace& other) const { return line == other.line && column == other.column; }
};

struct PageReference {
    QString written;      // as the source has it, blanks around it left out
    QString value;        // what it says: character references decoded, blanks left out
    TextPlace start, end; // of `written`: its first character and the one after it
};

struct PageLinks {
    // In source order: the href, src, action, background, poster, data and xlink:href values of
    // start tags, each candidate of a srcset, and each CSS url() of style attributes and style
    // elements. Comments, script contents, server code ("<?...?>", "<%...%>") and values that
    // hold server code give none, nor does the base element's href (see `base`).
    std::vector<PageReference> references;
    // The places a fragment ("#name") can name: each id, and each name of an a element.
    QSet<QString> anchors;
    // The page holds server code, which may write more anchors than the source shows.
    bool serverCode = false;
    // The href of the first base element that has one: what relative references resolve against.
    std::optional<PageReference> base;
};

PageLinks ScanPageLinks(QStringView text);

// `text` with the character references the attribute values of links use decoded: &amp; &lt; &gt;
// &quot; &apos; &nbsp; and numeric ones ("&#38;", "&#x26;"). Any other "&" stays as it is.
QString DecodeCharacterReferences(QStringView text);
