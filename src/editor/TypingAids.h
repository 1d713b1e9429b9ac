#pragma once

#include "editor/Colorizer.h"

#include <QChar>
#include <QString>
#include <optional>

class RichTextControl;
class UndoHistory;

// The typing aids of a coloured document, for the character `typed` at the cursor of `text`
// (`replaced`: the selection the keystroke took out, already gone from the text): "<" brings its
// ">" (outside comments and values), ">" steps over the one the aid added, a quote in a tag comes
// in pairs around what was selected, and "-" after "<!" opens a comment. Each is recorded in
// `history` and painted in its colour. Whether an aid took the character.
bool ApplyTypingAid(RichTextControl& text, UndoHistory& history, const ColorRoles& roles, QChar typed,
                    const QString& replaced);

// Alt (and Alt+Shift) with the keys of Ö, Å, Ä and "<" types their entities ("&ouml;", "&Ouml;",
// ... "&lt;", "&gt;"): the entity of the key `keyCode` with the modifier bits `shift`, if any.
std::optional<QString> KeyEntity(int keyCode, int shift);
