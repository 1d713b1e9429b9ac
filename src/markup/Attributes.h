#pragma once

#include <QString>

// Reads the value of one attribute from a tag's attribute text and cuts the attribute out of it.
// `name` includes its "=" ("WIDTH="); a name ending in a double quote ("BORDERCOLOR=\"") finds
// only a quoted value. Positions count from 1: the name is searched from `start` (0 means 1) and
// must begin before `limit`, and the value must not run past it (0 means the text's length).
//
// A name is found only where an attribute begins (at the start of the search or after a blank or
// a closing quote) and outside quoted values, letter case ignored: "DATA-WIDTH=" is not "WIDTH=".
// A quoted value ("..." or '...') runs to its closing quote, or without one to the first ">" or
// the end; an unquoted value ends at the first blank, ">" or the end. Cutting removes the name, the
// quotes and the value; an unquoted value takes the blank in front of its name along (the blank
// behind it stays, so the next attribute keeps its separator). An empty or missing value gives ""
// and leaves the text unchanged.
QString ReadAttribute(int start, int limit, QString& text, const QString& name);

// ` NAME="value"` with the value as it stands, or "" for an empty value (the attribute is left out).
QString QuotedAttribute(const char* name, const QString& value);
