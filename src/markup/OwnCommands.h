#pragma once
#include <QString>
#include <array>

// The user's own commands: slots 1 to 20, each a name (the menu item's caption) and a command
// string. A free slot has the name "Own" + its number and an empty command.
struct OwnCommand {
    QString name;
    QString command;
};
struct OwnCommandTable {
    std::array<OwnCommand, 21> slot; // index 0 is never used; not "slots", which Qt defines as a macro
    OwnCommandTable();               // every slot free: "Own1".."Own20", empty commands
    static QString defaultName(int slot) { return QStringLiteral("Own%1").arg(slot); }
    // Whether the slot's menu item is shown: it was read from the file or saved.
    std::array<bool, 21> visible{};
};

// Reads "owncom.txt" (pairs of lines: name, then command string; CR LF, LF or CR breaks; UTF-8,
// with Latin-1 for a file that is not valid UTF-8) into slots 1, 2, 3... in file order, at most 20
// pairs. A slot is shown when its pair had a command; a pair with an empty command line, like a
// name line at the very end without a command line, sets the name but leaves the slot hidden with
// an empty command. An empty name line keeps the slot's default name, so its menu item has a
// caption. A missing or unreadable file gives a table of free slots.
OwnCommandTable LoadOwnCommands(const QString& path);
// Writes every slot whose command is not empty, in slot order, as two lines each ended by CR LF,
// atomically (a failed write leaves the old file). A slot keeping its default name is written
// too: its command was given by the user and would otherwise be lost. A line break inside a name
// or command would split its pair, so a command's breaks are written as "%%" (which the command
// reads as the same CR LF) and a name's as spaces. Returns false when writing failed.
bool WriteOwnCommands(const QString& path, const OwnCommandTable& table);

// The text an own command puts in place of `selected` (the selection, line breaks CR LF):
// - command grammar: optionally "#START:" + beginning text + "#", then optionally "#END:" + end
//   text + "#", then the code text; "%%" stands for CR LF everywhere (also in beginning/end texts),
//   "@@" in the code text for the selected text (first occurrence only). A marker without its
//   closing "#" is not recognised and stays in the code text. Empty command -> empty result.
// - no "@@" in the code text: the result is the code text.
// - "@@" and no beginning or end marker: before + selected + after.
// - otherwise: before, then for each line of the selection (pieces ended by CR LF; a last piece
//   without a break counts as a line, and an empty selection is one empty line) beginning + line
//   + end + CR LF, then after. When the selection did not end with CR LF, the final CR LF added
//   after its last line is dropped, so a selection without a final break gives a result without
//   one.
// The selected text is inserted as it is: "%%" or "@@" inside it are not replaced.
QString BuildOwnCommandText(const QString& command, const QString& selected);

// Splits a command string into its beginning text (or nothing), end text (or nothing) and code
// text, as the dialog shows them: "%%" is kept as typed.
struct OwnCommandParts {
    bool hasBeginning = false;
    QString beginning;
    bool hasEnd = false;
    QString end;
    QString code;
};
OwnCommandParts SplitOwnCommand(const QString& command);
// The command string the dialog saves; the reverse of SplitOwnCommand. A "#" would close the
// beginning or end marker early, so it is left out of those texts; a text not ticked is not saved.
QString JoinOwnCommand(const OwnCommandParts& parts);
