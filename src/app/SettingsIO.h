#pragma once

#include "editor/Settings.h"

// Reads every key of the "Settings" section with its default, then replaces a compiler path or
// default folder that no longer exists (the folder by the program folder plus a separator).
Settings LoadSettings(const QString& programFolder);
// Writes every key, the skin path included, in a fixed order.
void SaveSettings(const Settings& settings);

// The folder the file dialogs start in (and the current folder) for the "DefaultDir" setting. The
// program folder, where "DefaultDir" points until the user chooses another, holds the template and
// the data files: the dialogs start in the user's Documents folder (or home folder) instead, so no
// page is saved over "default.htm" by a careless click.
QString DialogStartFolder(const QString& defaultDir, const QString& programFolder);
