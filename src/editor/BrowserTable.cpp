#include "editor/BrowserTable.h"

int BrowserTable::FreeBrowserSlot() {
    for (int slot = 0; slot < slotCount(); ++slot) {
        if (BrowserSlotFree[slot]) {
            BrowserSlotFree[slot] = false;
            return slot;
        }
    }
    Browsers.emplace_back(nullptr);
    BrowserSlotFree.push_back(false);
    return slotCount() - 1;
}
