// Compiled into each program that links the browser layer itself (tests, benchmarks): its module
// entry is then found among the static plugins, and nothing is loaded from disk.
#include <QtPlugin>

Q_IMPORT_PLUGIN(QuilloraBrowserPlugin)
