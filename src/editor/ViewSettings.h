#pragma once

#include "editor/Settings.h"

#include <QFont>

// The font documents are shown in: the stored font at the stored size plus the zoom. A stored font
// that is not installed gives way to the system's fixed-width font at the stored size, or at 10
// points when the stored size is under 8 (too small to read in a font picked for its width).
QFont DocumentFont(const Settings& settings);
