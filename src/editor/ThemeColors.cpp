#include "editor/ThemeColors.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTextCharFormat>
#include <vector>

namespace {
constexpr ColorValue rgb(int red, int green, int blue) {
    return red + 256 * green + 65536 * blue;
}

int bitOf(ColorSlot slot) {
    return 1 << static_cast<int>(slot);
}

// A slot is at its default while it holds the light default and the user did not choose that
// colour as such.
bool atDefault(const Settings& settings, ColorSlot slot) {
    return SettingColor(settings, slot) == LightDefaultColors()[slot] &&
           !(settings.ChosenColors & bitOf(slot));
}
} // namespace

ColorValue& DocumentColors::operator[](ColorSlot slot) {
    switch (slot) {
    case ColorSlot::Tag:
        return roles.tag;
    case ColorSlot::Value:
        return roles.value;
    case ColorSlot::Text:
        return roles.text;
    case ColorSlot::Comment:
        return roles.comment;
    case ColorSlot::Background:
        break;
    }
    return background;
}

ColorValue DocumentColors::operator[](ColorSlot slot) const {
    return const_cast<DocumentColors&>(*this)[slot];
}

bool DocumentColors::operator==(const DocumentColors& other) const {
    for (const ColorSlot slot : kColorSlots)
        if ((*this)[slot] != other[slot])
            return false;
    return true;
}

DocumentColors LightDefaultColors() {
    const Settings defaults;
    return {{defaults.TagColor, defaults.ValColor, defaults.TexColor, defaults.ComColor}, defaults.BGColor};
}

DocumentColors DarkDefaultColors() {
    // Against #1E1E1E: tags 6.6:1, values 8.6:1, text 11.2:1, comments 7.7:1.
    return {{rgb(255, 123, 114), rgb(121, 192, 255), rgb(212, 212, 212), rgb(127, 191, 127)},
            rgb(30, 30, 30)};
}

bool IsDarkPalette(const QPalette& palette) {
    return palette.color(QPalette::Window).lightnessF() < 0.5;
}

bool DarkPaletteInUse() {
    return IsDarkPalette(QGuiApplication::palette());
}

ColorValue& SettingColor(Settings& settings, ColorSlot slot) {
    switch (slot) {
    case ColorSlot::Tag:
        return settings.TagColor;
    case ColorSlot::Value:
        return settings.ValColor;
    case ColorSlot::Text:
        return settings.TexColor;
    case ColorSlot::Comment:
        return settings.ComColor;
    case ColorSlot::Background:
        break;
    }
    return settings.BGColor;
}

ColorValue SettingColor(const Settings& settings, ColorSlot slot) {
    return SettingColor(const_cast<Settings&>(settings), slot);
}

DocumentColors ShownColors(const Settings& settings, bool dark) {
    DocumentColors shown{{settings.TagColor, settings.ValColor, settings.TexColor, settings.ComColor},
                         settings.BGColor};
    const DocumentColors darkSet = DarkDefaultColors();
    if (dark && atDefault(settings, ColorSlot::Background))
        shown.background = darkSet.background;
    // Default role colours stay readable on any background, the user's own included.
    const DocumentColors defaults =
        colorFromValue(shown.background).lightnessF() < 0.5 ? darkSet : LightDefaultColors();
    for (const ColorSlot slot : kColorSlots)
        if (slot != ColorSlot::Background && atDefault(settings, slot))
            shown[slot] = defaults[slot];
    return shown;
}

void ChooseColor(Settings& settings, ColorSlot slot, ColorValue color, bool dark) {
    const ColorValue lightDefault = LightDefaultColors()[slot];
    SettingColor(settings, slot) = lightDefault;
    settings.ChosenColors &= ~bitOf(slot);
    if (color == ShownColors(settings, dark)[slot])
        return; // what the default shows: kept as the default, so it follows the palette
    SettingColor(settings, slot) = color;
    if (color == lightDefault)
        settings.ChosenColors |= bitOf(slot);
}

void RecolorRoles(RichTextControl& control, const ColorRoles& from, const ColorRoles& to,
                  const DocumentStateHooks& hooks) {
    const std::pair<ColorValue, ColorValue> changes[] = {
        {from.tag, to.tag}, {from.value, to.value}, {from.text, to.text}, {from.comment, to.comment}};
    const auto recolored = [&changes](ColorValue color) {
        // The first role wins where two roles share a colour, as in the colorizer.
        for (const auto& [before, after] : changes)
            if (color == before)
                return after;
        return color;
    };
    const bool wasModified = hooks.isModified && hooks.isModified();
    // The whole text is read once and given back as spans: its lines then keep their colours as
    // runs, the fast way for a large page.
    std::vector<ColorSpan> spans;
    bool changed = false;
    for (int offset = 0, length = control.textLength(); offset < length; ++offset) {
        const ColorValue before = control.colorAt(offset), after = recolored(before);
        changed = changed || after != before;
        if (!spans.empty() && spans.back().color == after)
            ++spans.back().length;
        else
            spans.push_back({offset, 1, after});
    }
    if (changed)
        control.setColors(spans);
    const QTextCharFormat typing = control.currentCharFormat();
    if (!control.textCursor().hasSelection() && typing.hasProperty(QTextFormat::ForegroundBrush)) {
        const ColorValue before = valueFromColor(typing.foreground().color());
        if (recolored(before) != before)
            control.setSelColor(recolored(before));
    }
    if (!wasModified && hooks.restoreCleanState)
        hooks.restoreCleanState();
}
