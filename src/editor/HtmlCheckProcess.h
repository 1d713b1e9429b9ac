#pragma once

// Check HTML in a process of its own: libtidy parses recursively, and a page nested deeply enough
// overflows its stack. In the checker program (quillora-check) such a crash, or a check that never
// ends, costs only the check; the editor and its documents go on.

#include "editor/HtmlCheck.h"

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <optional>
#include <vector>

// What the checker program writes for the problems it found: a line each, line, column, severity
// and text separated by tabs (the text's own tabs, line breaks and backslashes escaped).
QByteArray EncodeProblems(const std::vector<HtmlProblem>& problems);
// The problems back, or nothing for output that is not such lines.
std::optional<std::vector<HtmlProblem>> DecodeProblems(const QByteArray& bytes);

// The checker program: beside this program, or where an install puts it (libexec). "" when there
// is none.
QString CheckerProgram();

// One check run by the checker program. finished() comes once: with the problems, or with a
// sentence saying why there are none. Cancelling or destroying it kills the process at once;
// nothing waits for a check.
class HtmlCheckJob : public QObject {
    Q_OBJECT
public:
    explicit HtmlCheckJob(QObject* parent = nullptr);
    ~HtmlCheckJob() override;

    void start(const QString& text, const HtmlCheckOptions& options);
    void cancel();
    bool running() const { return m_process.state() != QProcess::NotRunning; }
    // Blocks until the process has ended (tests and benchmarks; the editor never waits).
    void waitForDone(int timeoutMs = 60000);

    static QString stoppedMessage();

signals:
    // `failure` is empty when the check ran to its end.
    void finished(const std::vector<HtmlProblem>& problems, const QString& failure);

private:
    void processFinished(int exitCode, QProcess::ExitStatus status);

    QProcess m_process;
    bool m_cancelled = false;
};
