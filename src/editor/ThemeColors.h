#pragma once

#include "editor/Colorizer.h"
#include "editor/Settings.h"

class QPalette;

// The five colours of the settings that documents are shown in.
enum class ColorSlot { Tag, Value, Text, Comment, Background };
constexpr ColorSlot kColorSlots[] = {ColorSlot::Tag, ColorSlot::Value, ColorSlot::Text, ColorSlot::Comment,
                                     ColorSlot::Background};

// The colours of a document view: the four roles of the colorizer and the background.
struct DocumentColors {
    ColorRoles roles;
    ColorValue background = 16777215;

    ColorValue& operator[](ColorSlot slot);
    ColorValue operator[](ColorSlot slot) const;
    bool operator==(const DocumentColors& other) const;
    bool operator!=(const DocumentColors& other) const { return !(*this == other); }
};

// The defaults for a light background (those of the settings) and the set for a dark background,
// in which each role colour has a contrast of at least 4.5:1 with the background.
DocumentColors LightDefaultColors();
DocumentColors DarkDefaultColors();

// A palette is dark when the lightness of its window colour is under one half.
bool IsDarkPalette(const QPalette& palette);
// Whether the application's palette is dark now.
bool DarkPaletteInUse();

// The colours documents are shown in. A colour the user chose is shown as it is; one still at its
// default (the light default, not chosen as such) gives way: the background to the dark one under a
// dark palette, and a role colour to the defaults that suit the background shown (the dark set on a
// dark background, the light defaults on a light one). Under a light palette with the default
// background, that is the settings as they stand.
DocumentColors ShownColors(const Settings& settings, bool dark);

// The setting that holds a slot's colour.
ColorValue& SettingColor(Settings& settings, ColorSlot slot);
ColorValue SettingColor(const Settings& settings, ColorSlot slot);

// Stores a colour the user chose for `slot` while the palette is dark or not. The colour the slot
// shows at its default stands for the default, which then follows the palette; the light default
// chosen where another colour would show for the default is kept as a choice of its own.
void ChooseColor(Settings& settings, ColorSlot slot, ColorValue color, bool dark);

// Every character in one of the `from` role colours takes the matching colour of `to`, and so does
// the typing colour; other colours (painted by hand) stay. The text, the selection and the
// unsaved-changes state stay as they were.
void RecolorRoles(RichTextControl& control, const ColorRoles& from, const ColorRoles& to,
                  const DocumentStateHooks& hooks = {});
