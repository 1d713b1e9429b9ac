#pragma once

#include "editor/Colorizer.h"

#include <QChar>
#include <QString>

class RichTextControl;
class UndoHistory;

// The typing aids of a coloured document, for the character `typed` at the cursor of `text`
// (`replaced`: the selection the keystroke took out, already gone from the text): "<" brings its
// ">" (outside comments and values), ">" steps over the one the aid added, a quote in a tag comes
// in pairs around what was selected, and "-" after "<!" opens a comment. Each is recorded in
// `history` and painted in its colour. Whether an aid took the character.
bool ApplyTypingAid(RichTextControl& text, UndoHistory& history, const ColorRoles& roles, QChar typed,
                    const QString& replaced);
