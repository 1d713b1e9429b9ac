#pragma once

#include "editor/Commands.h"

// The program's commands: each declared once, and the menus of the main, document and browser
// windows laid out from them.
CommandTable BuildCommandTable();
