#pragma once

#include <QIcon>

// The program's own icon, in every size rendered at build time from data/icons/quillora.svg.
// Set on the application, the main window and each document and browser window: a frame window
// inside the main window keeps the toolkit's logo unless it has an icon of its own.
QIcon ProgramIcon();
