#pragma once

// The HTML check: the markup problems libtidy reports for a document's text, placed the way the
// editor counts lines and columns.

#include <QString>
#include <vector>

enum class HtmlSeverity { Error, Warning, Access };

struct HtmlProblem {
    int line = 0;   // 1-based line of the text
    int column = 0; // 1-based character of that line, counted as the editor counts (a tab is one)
    HtmlSeverity severity = HtmlSeverity::Warning;
    QString text;
};

struct HtmlCheckOptions {
    bool html5 = false;         // check as HTML5; otherwise as the document's DOCTYPE says
    bool accessibility = false; // include accessibility messages
};

// "3 errors, 12 warnings" (and ", 2 access" when there are any); "No problems found." for none.
QString ProblemSummary(const std::vector<HtmlProblem>& problems);

// Whether a document is checked: false for paths ending in .css, .js, .txt, .pl or .java (any case),
// true otherwise (HTML, PHP, ASP, untitled documents...).
bool IsHtmlDocument(const QString& path);
