#pragma once

#include <QLoggingCategory>

// The program's own warnings, for failures the user is not told of (a history that could not be
// kept, a value that cannot be) and faults of the program itself. "quillora.debug=true" in
// QT_LOGGING_RULES shows the rest.
Q_DECLARE_LOGGING_CATEGORY(lcQuillora)
// Milestones of the start, for timing it from outside (bench_startup): silent unless
// "quillora.startup.info=true" is in QT_LOGGING_RULES.
Q_DECLARE_LOGGING_CATEGORY(lcStartup)
