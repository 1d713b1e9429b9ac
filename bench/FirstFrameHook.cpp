// A library bench_startup loads into a Qt program it starts (LD_PRELOAD) to tell when the program
// first puts a frame on screen: it stands in for Qt's QBackingStore::flush, calls the real one, and
// after the first writes "first frame flushed" on the error output. A Qt widget program flushes
// its backing store once it has painted a window; this tells the moment for a program that says
// nothing of it itself (FeatherPad), and for the floor and the editor alike, so the three compare.
// It works with Qt 6 and Qt 5 programs, and links no Qt library itself.

#include <cstdio>
#include <dlfcn.h>

namespace {
constexpr const char* kFlush = "_ZN13QBackingStore5flushERK7QRegionP7QWindowRK6QPoint";
using Flush = void (*)(void*, const void*, void*, const void*);

Flush realFlush() {
    void* found = dlvsym(RTLD_NEXT, kFlush, "Qt_6");
    if (!found)
        found = dlvsym(RTLD_NEXT, kFlush, "Qt_5");
    return reinterpret_cast<Flush>(found);
}
} // namespace

// void QBackingStore::flush(const QRegion&, QWindow*, const QPoint&), by its mangled name.
extern "C" __attribute__((visibility("default"))) void
_ZN13QBackingStore5flushERK7QRegionP7QWindowRK6QPoint(void* store, const void* region, void* window,
                                                      const void* offset) {
    static const Flush flush = realFlush();
    if (flush)
        flush(store, region, window, offset);
    static bool told = false;
    if (!told) {
        told = true;
        std::fputs("first frame flushed\n", stderr);
        std::fflush(stderr);
    }
}
