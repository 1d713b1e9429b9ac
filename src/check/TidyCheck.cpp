#include "check/TidyCheck.h"

#include "editor/HtmlCheckProcess.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <mutex>
#include <tidy/tidy.h>
#include <tidy/tidybuffio.h>
#include <unistd.h>
#include <unordered_map>

namespace {

// A message as tidy reports it: its line, and its column in characters (code points) of that
// line with a tab counting one (the tab size is set to 1).
struct RawMessage {
    int line;
    int column;
    HtmlSeverity severity;
    QString text;
};

Bool TIDY_CALL collectMessage(TidyMessage message) {
    auto* raw = static_cast<std::vector<RawMessage>*>(tidyGetAppData(tidyGetMessageDoc(message)));
    HtmlSeverity severity;
    switch (tidyGetMessageLevel(message)) {
    case TidyError:
    case TidyBadDocument:
    case TidyFatal:
        severity = HtmlSeverity::Error;
        break;
    case TidyWarning:
        severity = HtmlSeverity::Warning;
        break;
    case TidyAccess:
        severity = HtmlSeverity::Access;
        break;
    default: // information, configuration and the summary dialogue are not problems of the text
        return no;
    }
    const int line = tidyGetMessageLine(message);
    if (raw && line > 0) { // a message without a place is about the whole run, not the text
        QString text = QString::fromUtf8(tidyGetMessage(message)).trimmed();
        raw->push_back({line, tidyGetMessageColumn(message), severity, text});
    }
    return no; // nothing printed
}

// The text as UTF-8 with every line break (CR LF, LF, lone CR) made one LF. Tidy miscounts lines
// and columns after a lone CR; with LF alone its lines are the editor's lines.
QByteArray tidyInput(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    QByteArray input;
    input.reserve(utf8.size());
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8.at(i);
        if (c == '\r') {
            input.append('\n');
            if (i + 1 < utf8.size() && utf8.at(i + 1) == '\n')
                ++i;
        } else {
            input.append(c);
        }
    }
    return input;
}

// Where each line of `text` starts and how long it is, without its line break.
struct Line {
    qsizetype start;
    qsizetype length;
};

std::vector<Line> splitLines(const QString& text) {
    std::vector<Line> lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.push_back({start, i - start});
        if (c == u'\r' && i + 1 < size && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    lines.push_back({start, size - start});
    return lines;
}

// Characters tidy drops before counting columns: C0 controls other than the tab, and a byte order
// mark at the very start of the text.
bool unseenByTidy(const QString& text, qsizetype at) {
    const char16_t c = text.at(at).unicode();
    return (c < 0x20 && c != u'\t') || (at == 0 && c == 0xFEFF);
}

// The editor's columns (UTF-16 units, 1-based) of tidy's columns (code points, 1-based, without
// the characters tidy drops) on `line`: element k is tidy's column k + 1, and the last element the
// column one past the line's end, where every later column of tidy's lands. Made in one pass, so a
// long line with many messages is walked once, not once a message.
std::vector<int> editorColumns(const QString& text, const Line& line) {
    std::vector<int> columns;
    const qsizetype end = line.start + line.length;
    for (qsizetype at = line.start; at < end; ++at) {
        if (unseenByTidy(text, at))
            continue;
        columns.push_back(static_cast<int>(at - line.start) + 1);
        if (text.at(at).isHighSurrogate() && at + 1 < end && text.at(at + 1).isLowSurrogate())
            ++at;
    }
    columns.push_back(static_cast<int>(line.length) + 1);
    return columns;
}

// Creating a TidyDoc sets the library's message language, which is shared by every document.
std::mutex& createMutex() {
    static std::mutex mutex;
    return mutex;
}

} // namespace

std::vector<HtmlProblem> CheckHtml(const QString& text, const HtmlCheckOptions& options) {
    std::vector<RawMessage> raw;
    TidyDoc doc;
    {
        std::lock_guard<std::mutex> lock(createMutex());
        doc = tidyCreate();
    }
    TidyBuffer errors;
    tidyBufInit(&errors);
    tidySetErrorBuffer(doc, &errors); // anything not taken by the callback goes here, never to stderr
    tidySetAppData(doc, &raw);
    tidySetMessageCallback(doc, collectMessage);
    tidyOptSetBool(doc, TidyQuiet, yes);
    tidyOptSetBool(doc, TidyShowWarnings, yes);
    tidyOptSetBool(doc, TidyShowInfo, no);
    tidyOptSetBool(doc, TidyShowMarkup, no);
    tidyOptSetInt(doc, TidyShowErrors, 1 << 30); // every error, not the first six
    tidyOptSetInt(doc, TidyTabSize, 1);          // a tab is one column, as in the editor
    tidyOptSetInt(doc, TidyAccessibilityCheckLevel, options.accessibility ? 1 : 0);
    if (options.html5)
        tidyOptSetValue(doc, TidyDoctype, "html5");
    tidySetInCharEncoding(doc, "utf8");
    tidySetOutCharEncoding(doc, "utf8");

    QByteArray input = tidyInput(text);
    TidyBuffer buffer;
    tidyBufInit(&buffer);
    tidyBufAttach(&buffer, reinterpret_cast<byte*>(input.data()), static_cast<uint>(input.size()));
    // The same stages as `tidy -e`: parse, clean up (which reports proprietary attributes and
    // the like), diagnose. The cleaned tree is thrown away.
    int status = tidyParseBuffer(doc, &buffer);
    if (status >= 0)
        status = tidyCleanAndRepair(doc);
    if (status >= 0)
        tidyRunDiagnostics(doc);
    tidyBufDetach(&buffer);
    tidyRelease(doc);
    tidyBufFree(&errors);

    std::vector<HtmlProblem> problems;
    if (raw.empty())
        return problems;
    const std::vector<Line> lines = splitLines(text);
    const int lineCount = static_cast<int>(lines.size());
    // The columns of the lines that have messages, each line mapped once.
    std::unordered_map<int, std::vector<int>> columnsOfLine;
    problems.reserve(raw.size());
    for (RawMessage& message : raw) {
        HtmlProblem problem;
        problem.line = std::clamp(message.line, 1, lineCount);
        const Line& line = lines[static_cast<size_t>(problem.line - 1)];
        if (message.line > lineCount) {
            problem.column = static_cast<int>(line.length) + 1;
        } else {
            auto found = columnsOfLine.find(problem.line);
            if (found == columnsOfLine.end())
                found = columnsOfLine.emplace(problem.line, editorColumns(text, line)).first;
            const std::vector<int>& columns = found->second;
            const size_t index = static_cast<size_t>(std::max(message.column, 1) - 1);
            problem.column = columns[std::min(index, columns.size() - 1)];
        }
        problem.severity = message.severity;
        problem.text = std::move(message.text);
        problems.push_back(std::move(problem));
    }
    return problems;
}

int RunCheckerProgram(const QStringList& arguments) {
    QByteArray input;
    char chunk[1 << 16];
    for (ssize_t count; (count = ::read(STDIN_FILENO, chunk, sizeof chunk)) != 0;) {
        if (count < 0)
            return 2;
        input.append(chunk, count);
    }
    const HtmlCheckOptions options{arguments.contains(QStringLiteral("--html5")),
                                   arguments.contains(QStringLiteral("--accessibility"))};
    const QByteArray output = EncodeProblems(CheckHtml(QString::fromUtf8(input), options));
    return std::fwrite(output.constData(), 1, static_cast<size_t>(output.size()), stdout) ==
                       static_cast<size_t>(output.size()) &&
                   std::fflush(stdout) == 0
               ? 0
               : 2;
}
