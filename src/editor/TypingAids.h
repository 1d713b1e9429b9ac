#pragma once

#include "editor/Colorizer.h"

#include <QChar>
#include <QString>
#include <optional>

class RichTextControl;
class UndoHistory;

// What the typing aids need to know of a document besides its text.
struct TypingAidOptions {
    bool markup = true;    // its file holds markup, not a style sheet, a script or plain text
    bool closeTags = true; // "</" completes the end tag of the innermost element still open
};

// The typing aids of a coloured document, for the character `typed` at the cursor of `text`
// (`replaced`: the selection the keystroke took out, already gone from the text). Only where a
// tag may start in markup (not in a tag, a value, a comment, or the contents of script, style,
// textarea or title): "<" brings its ">", "</" the rest of the end tag of the innermost element
// still open, and "-" after "<!" makes a comment. Inside a start tag a quote comes in pairs around
// what was selected. What an aid adds is remembered until the cursor leaves it, so that a tag or
// comment typed whole by hand comes out as typed: its ">", closing quote or "-->" typed where the
// aid put it is stepped over, a character that starts no tag after "<" takes the ">" away, and an
// end tag typed by hand after a completion replaces it. Each change is recorded in `history` and
// painted in its colour. Whether an aid took the character.
bool ApplyTypingAid(RichTextControl& text, UndoHistory& history, const ColorRoles& roles, QChar typed,
                    const QString& replaced, const TypingAidOptions& options);

// Alt (and Alt+Shift) with the keys of Ö, Å, Ä and "<" types their entities ("&ouml;", "&Ouml;",
// ... "&lt;", "&gt;"): the entity of the key `keyCode` with the modifier bits `shift`, if any.
std::optional<QString> KeyEntity(int keyCode, int shift);
