#pragma once

// Figures the benchmark programs share: elapsed times, their median and worst, peak memory.

#include "markup/LineEndings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

inline double milliseconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

inline double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline double worst(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

// A private home for a benchmark that starts the editor: offscreen, with its own data folder, runtime
// folder and settings store, removed at the end. Made before the application object.
struct BenchHome {
    QTemporaryDir home;
    BenchHome() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path() + "/config");
    }
    QString path() const { return home.path(); }
};

// Before the application is made for a benchmark that runs the browser engine: its sandbox cannot
// run as root, so only then is it switched off (as ./run does), and the engine shares the contexts
// (linked into the benchmark, the engine would set that itself; set here it is set in time either way).
inline void prepareBrowserEngine() {
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

// The process's peak resident memory so far.
inline long peakMemoryKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

inline double mib(double bytes) {
    return bytes / (1024.0 * 1024.0);
}

// A "VmHWM:" (peak) or "VmRSS:" (current) figure of /proc/self/status (or of another process's
// status file), in KiB. The peak is read there rather than from getrusage, which in a child process
// reports at least what its parent held when it forked.
inline long statusKiB(const char* field, const char* statusFile = "/proc/self/status") {
    long kib = 0;
    if (FILE* status = std::fopen(statusFile, "r")) {
        char line[256];
        const std::size_t length = std::strlen(field);
        while (std::fgets(line, sizeof line, status))
            if (std::strncmp(line, field, length) == 0)
                kib = std::strtol(line + length, nullptr, 10);
        std::fclose(status);
    }
    return kib;
}

// This process's resident memory (VmRSS) now, in MiB.
inline double rssMiB() {
    return static_cast<double>(statusKiB("VmRSS:")) / 1024.0;
}

// Benchmarks that run each measurement in a child process of their own start themselves again with
// this argument: that process measures once and reports.
const char* const kOnceArgument = "--once";

// The program's arguments after its name; `once` says whether kOnceArgument was among them (it is
// taken out).
inline QStringList benchArguments(int argc, char** argv, bool& once) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    once = arguments.removeAll(QString::fromLatin1(kOnceArgument)) > 0;
    return arguments;
}

// A page read as opening a file reads it: UTF-8, every line break made CR LF. Nothing (and a line
// on the error output) when it cannot be read; `size` receives the file's size in bytes.
inline std::optional<QString> readPage(const QString& path, qint64* size = nullptr) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (size)
        *size = bytes.size();
    return NormalizeToCrLf(QString::fromUtf8(bytes));
}
