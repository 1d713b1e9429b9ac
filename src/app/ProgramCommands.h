#pragma once

#include "editor/Commands.h"

// Binds what the table's browser, preview and picture commands do.
void BindProgramCommands(CommandTable& table);
