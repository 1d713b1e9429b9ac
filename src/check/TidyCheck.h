#pragma once

// The checker program's side of Check HTML: libtidy, linked into that program alone, so the
// editor maps none of it.

#include "editor/HtmlCheck.h"

#include <QStringList>

// The markup problems libtidy finds in `text` (line breaks CR LF, LF or CR), in the order reported.
// Diagnostic only: nothing is written, no output document is made. Safe to call from a worker
// thread (each call has its own TidyDoc). Every place lies inside the text: lines 1..line count,
// columns 1..line length + 1.
std::vector<HtmlProblem> CheckHtml(const QString& text, const HtmlCheckOptions& options);

// The checker program's own work: options from its arguments, the text on standard input, the
// problems on standard output. Returns the exit status.
int RunCheckerProgram(const QStringList& arguments);
