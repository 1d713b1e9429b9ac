#pragma once

#include "platform/RichTextControl.h"

#include <QString>
#include <functional>
#include <vector>

// The four colours a document is shown in. Colours are compared as exact integers, so two
// roles set to the same value cannot be told apart; the rules then take the first match.
struct ColorRoles {
    ColorValue tag = 200;        // "<" through ">" of a tag
    ColorValue value = 13107200; // a double-quoted value inside a tag, quotes included
    ColorValue text = 0;         // everything else, and the typing colour after colouring
    ColorValue comment = 25600;  // "<!-" ... "->", "<%" ... "%>" and "<?" ... "?>"
};

// Lets the colorizer read and restore the document's unsaved-changes state, so that colouring
// never leaves an unchanged document marked as modified.
struct DocumentStateHooks {
    std::function<bool()> isModified;        // may be empty: treated as false
    std::function<void()> restoreCleanState; // may be empty; undoes a "modified" marking
};

// The colours of one scanned stretch, computed without touching any control.
// `scanned` is the document text from offset `base`, normally `length` + 1 characters long
// (the character after the stretch lets a tag that ends right there be recognised).
// Returns ascending, non-overlapping spans in document offsets: [base, base + length) is
// covered completely (text colour where nothing else applies); the extra character appears
// only when a tag, value or comment reaches it. Returns nothing when the scanned text lacks
// "<" or ">", because such a stretch is left untouched.
std::vector<ColorSpan> ComputeColorSpans(const QString& scanned, int base, int length,
                                         const ColorRoles& roles);

// Full colouring of a stretch. `start` is 1-based (0 means 1), `length` 0 means the whole text.
// Leaves the cursor collapsed where the selection started and the typing colour at text colour.
void ColorizeRange(RichTextControl& control, const ColorRoles& roles, int start, int length,
                   const DocumentStateHooks& hooks = {});

// ColorizeRange over the whole text, which the caller has in hand as the control holds it (CR LF
// breaks): reading it back out of the control costs as much as the colouring. The text is let go
// before the colours are painted, when memory peaks.
void ColorizeWholeText(RichTextControl& control, const ColorRoles& roles, QString text,
                       const DocumentStateHooks& hooks = {});

// Local recolouring of the stretch [start, start + length) that was just inserted or replaced,
// judged from the colours around it; falls back to ColorizeRange over the stretch.
// `start` is 0-based; does nothing when `length` < 1. Leaves the cursor at start + length.
void RecolorChange(RichTextControl& control, const ColorRoles& roles, int start, int length,
                   const DocumentStateHooks& hooks = {});

// Paints [start, start + length) in text colour. `start` is 0-based (negative counts as 0),
// `length` 0 means the whole text length. Leaves the cursor where the selection started.
void ClearColors(RichTextControl& control, const ColorRoles& roles, int start, int length,
                 const DocumentStateHooks& hooks = {});

// The colour a character typed at `cursorOffset` should get, from the colours on either side
// (a side without a character counts as text colour).
ColorValue TypingColor(const RichTextControl& control, const ColorRoles& roles, int cursorOffset);

// The "Colorize Document" command: a selection of three or more characters is recoloured on
// its own, otherwise the whole text is coloured.
void ColorizeDocument(RichTextControl& control, const ColorRoles& roles,
                      const DocumentStateHooks& hooks = {});
