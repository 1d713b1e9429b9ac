#pragma once

#include "editor/Settings.h"

// Reads every key of the "Settings" section with its default, then replaces a compiler path or
// default folder that no longer exists (the folder by the program folder plus a separator).
Settings LoadSettings(const QString& programFolder);
// Writes all sixteen keys, the skin path included, in their fixed order.
void SaveSettings(const Settings& settings);
