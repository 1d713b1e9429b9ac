#include "editor/HtmlCheck.h"

#include <QCoreApplication>

QString ProblemSummary(const std::vector<HtmlProblem>& problems) {
    if (problems.empty())
        return QCoreApplication::translate("HtmlCheck", "No problems found.");
    int errors = 0, warnings = 0, access = 0;
    for (const HtmlProblem& problem : problems) {
        switch (problem.severity) {
        case HtmlSeverity::Error:
            ++errors;
            break;
        case HtmlSeverity::Warning:
            ++warnings;
            break;
        case HtmlSeverity::Access:
            ++access;
            break;
        }
    }
    // English says "error" or "errors" as the code chooses; a catalogue gives each the forms its
    // language has for the count.
    QString summary =
        (errors == 1 ? QCoreApplication::translate("HtmlCheck", "%n error", nullptr, errors)
                     : QCoreApplication::translate("HtmlCheck", "%n errors", nullptr, errors)) +
        QCoreApplication::translate("HtmlCheck", ", ") +
        (warnings == 1 ? QCoreApplication::translate("HtmlCheck", "%n warning", nullptr, warnings)
                       : QCoreApplication::translate("HtmlCheck", "%n warnings", nullptr, warnings));
    if (access > 0)
        summary += QCoreApplication::translate("HtmlCheck", ", %n access", nullptr, access);
    return summary;
}

bool IsHtmlDocument(const QString& path) {
    static const char* const kNotChecked[] = {".css", ".js", ".txt", ".pl", ".java"};
    for (const char* suffix : kNotChecked)
        if (path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return false;
    return true;
}
