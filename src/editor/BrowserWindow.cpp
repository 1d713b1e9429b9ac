#include "editor/BrowserWindow.h"

#include "moc_BrowserWindow.cpp"
