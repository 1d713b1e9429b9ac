#pragma once

#include "editor/Commands.h"

// The program's commands: each declared once, and the menus of the main, document and browser
// windows laid out from them. The commands that need the browser or the wizards run nothing until
// the program binds them.
CommandTable BuildCommandTable();
