#pragma once

#include "editor/BrowserWindow.h"

#include <QPointer>
#include <vector>

// The program-wide table of browser windows by slot. Slots are reused from the lowest free one
// and the table never shrinks.
struct BrowserTable {
    std::vector<QPointer<BrowserWindow>> Browsers = std::vector<QPointer<BrowserWindow>>(1);
    std::vector<bool> BrowserSlotFree{true};

    // The lowest free slot, now taken; a new last slot when none is free.
    int FreeBrowserSlot();
    int slotCount() const { return static_cast<int>(Browsers.size()); }
};
