// quillora-check: Check HTML's own process. It reads a page on standard input and writes the
// problems libtidy finds in it on standard output; options --html5 and --accessibility.
#include "check/TidyCheck.h"

#include <QStringList>

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return RunCheckerProgram(arguments);
}
