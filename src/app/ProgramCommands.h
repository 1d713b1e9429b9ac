#pragma once

#include "editor/Commands.h"

class frmQuillora;

// Binds what the table's commands of the layers above the document window do: the browser's, the
// preview and pictures, and the main window's own (wizards, symbols, Check HTML, About).
void BindProgramCommands(CommandTable& table, frmQuillora& main);
