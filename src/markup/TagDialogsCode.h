#pragma once

#include <QString>
#include <optional>

// The attributes of a BODY tag as the body dialog shows them. Empty fields are left out of the tag.
struct BodyFields {
    QString background, bgcolor, text, link, alink, vlink;
    QString other; // every attribute not named above, as written
};

// Reads a BODY tag from a document's selection (blanks around it ignored, letter case of the tag
// name ignored). Each named attribute is cut out of the tag; what remains of the attribute text,
// up to the tag's closing ">" (one inside a quoted value does not count) and with line breaks as
// blanks, becomes `other`. A selection that is no BODY tag gives empty fields.
BodyFields ReadBodyTag(const QString& selection);
// Where the BODY tag that ReadBodyTag reads lies in the selection: its first character (after
// the blanks before it) and its length through its ">" (or to the end without one). Nothing when
// the selection holds no BODY tag. The text around it is the user's, and stays.
struct BodyTagPlace {
    qsizetype start = 0;
    qsizetype length = 0;
};
std::optional<BodyTagPlace> BodyTagSpan(const QString& selection);
// "<BODY BACKGROUND=.. BGCOLOR=.. TEXT=.. LINK=.. ALINK=.. VLINK=.. other>" and CR LF: the named
// attributes in this order, each only when it has a value; `other` trimmed behind them.
QString BuildBodyTag(const BodyFields& fields);

struct LinkFields {
    QString protocol, url, name, target, picture;
    bool usePicture = false; // the picture stands for the link instead of the name
    bool lineBreak = false;  // "<BR>" and CR LF behind the link
};

// A selection as link: a known protocol at its start (letter case ignored) goes into `protocol`
// and the rest into `url`; a "www." address is taken as http. Without a known start the protocol
// is empty. The name is the whole selection.
LinkFields ReadLinkSelection(const QString& selection);
// <A HREF="protocol+url" TARGET="..">name</A>, or the picture in place of the name, then "<BR>".
QString BuildLinkTag(const LinkFields& fields);

// An OL (numbered) or UL list of `rows` items "<LI> Row<i> </LI>", each indented by `indent`,
// every line ending in CR LF.
QString BuildListCode(bool numbered, int rows, const QString& indent);

// The start tag "<FONT SIZE=.. FACE=.. COLOR=..>", each attribute only when it has a value.
QString BuildFontTag(const QString& size, const QString& face, const QString& colour);
