#pragma once
#include <QString>
// Every tag of `text` in lower or upper case; text, comments, server blocks and double-quoted
// attribute values keep theirs. Case changes keep the text's length.
QString LowerTags(const QString& text);
QString UpperTags(const QString& text);
// `text` without its tags (comments stay; server blocks go whole).
QString RemoveTags(const QString& text);
