#pragma once

#include "platform/RichTextControl.h"

#include <QString>

// How far the text may be zoomed out and in, in points added to the font size.
constexpr int kMinZoom = -20, kMaxZoom = 40;

// The user's preferences as the program holds them in memory, with their defaults.
// Loaded once at start-up; read by every part of the program.
struct Settings {
    ColorValue TexColor = 0;
    ColorValue TagColor = 200;
    ColorValue ValColor = 13107200;
    ColorValue ComColor = 25600;
    bool UseColors = true;
    QString JavaCompiler;
    QString DefaultNewLN = QStringLiteral("\r\n");
    QString DefaultFormat = QStringLiteral("htm");
    QString DefaultDir;
    bool LastDir = true;
    QString SkinPath;
    QString Indent = QStringLiteral("\t");
    QString Font = QStringLiteral("MS Sans Serif");
    int FontSize = 8;
    ColorValue BGColor = 16777215;
    // One bit per colour (ColorSlot order: tag, value, text, comment, background): its light default
    // was chosen as such where the default showed another colour (the dark one), so it is kept.
    int ChosenColors = 0;
    int DoOnOpen = 0;
    // Check HTML: as HTML5 (rather than as the DOCTYPE says), and with accessibility messages.
    bool CheckHtml5 = false;
    bool CheckAccessibility = false;
    // The view of the text: line numbers beside it, the cursor's line marked, tab stops every
    // TabWidth characters (1-16), and the zoom in points added to FontSize for every document.
    bool LineNumbers = true;
    bool HighlightLine = true;
    int TabWidth = 4;
    int Zoom = 0;
    // Enter keeps the leading blanks and tabs of the line it breaks.
    bool AutoIndent = true;
    // Typing "</" where a tag may start completes the end tag of the innermost element still open.
    bool CloseTags = true;
    // Started with no files, the program reopens the documents open at the last exit.
    bool RestoreSession = true;
    // The find dialog's "Regular expression" and "Whole word".
    bool FindRegex = false;
    bool FindWholeWord = false;
    // Misspelt words underlined as they are typed; the dictionary of pages that name no language
    // ("" for the system's language); comments of pages, and comments and strings of style sheets
    // and scripts, checked too.
    bool SpellCheck = true;
    QString SpellLanguage;
    bool SpellComments = false;
};

// "DoOnOpen" codes: what happens to every file as it is opened.
namespace DoOnOpen {
enum Code { Nothing = 0, LowerTags = 1, RemoveTags = 2, UpperTags = 3, SetDos = 4, SetUnix = 5, SetMac = 6 };
}
