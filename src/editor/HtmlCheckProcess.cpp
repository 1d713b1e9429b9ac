#include "editor/HtmlCheckProcess.h"

#include "platform/Log.h"
#include "platform/TextFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const char kProgramName[] = "quillora-check";

QByteArray escaped(const QString& text) {
    QByteArray out;
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString unescaped(const QByteArray& field) {
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field.at(i) != '\\' || i + 1 == field.size()) {
            out += field.at(i);
            continue;
        }
        const char next = field.at(++i);
        out += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return QString::fromUtf8(out);
}
} // namespace

QByteArray EncodeProblems(const std::vector<HtmlProblem>& problems) {
    QByteArray out;
    for (const HtmlProblem& problem : problems)
        out += QByteArray::number(problem.line) + '\t' + QByteArray::number(problem.column) + '\t' +
               QByteArray::number(static_cast<int>(problem.severity)) + '\t' + escaped(problem.text) + '\n';
    return out;
}

std::optional<std::vector<HtmlProblem>> DecodeProblems(const QByteArray& bytes) {
    std::vector<HtmlProblem> problems;
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        return std::nullopt; // cut off
    for (const QByteArray& line : bytes.split('\n')) {
        if (line.isEmpty())
            continue;
        const QList<QByteArray> fields = line.split('\t');
        bool lineOk = false, columnOk = false, severityOk = false;
        HtmlProblem problem;
        if (fields.size() != 4)
            return std::nullopt;
        problem.line = fields[0].toInt(&lineOk);
        problem.column = fields[1].toInt(&columnOk);
        const int severity = fields[2].toInt(&severityOk);
        if (!lineOk || !columnOk || !severityOk || severity < 0 ||
            severity > static_cast<int>(HtmlSeverity::Access))
            return std::nullopt;
        problem.severity = static_cast<HtmlSeverity>(severity);
        problem.text = unescaped(fields[3]);
        problems.push_back(std::move(problem));
    }
    return problems;
}

QString CheckerProgram() {
    const QString here = QCoreApplication::applicationDirPath();
    // Beside the program (a build), an install's libexec, or the folder above (the tests' build).
    for (const QString& candidate :
         {here + QLatin1Char('/') + QLatin1String(kProgramName),
          here + QStringLiteral("/../libexec/quillora/") + QLatin1String(kProgramName),
          here + QStringLiteral("/../") + QLatin1String(kProgramName)}) {
        const QFileInfo program(candidate);
        if (program.isFile() && program.isExecutable())
            return QDir::cleanPath(program.absoluteFilePath());
    }
    return QString();
}

HtmlCheckJob::HtmlCheckJob(QObject* parent) : QObject(parent) {
    connect(&m_process, &QProcess::finished, this, &HtmlCheckJob::processFinished);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            emit finished({},
                          QCoreApplication::translate(
                              "HtmlCheck", "Check HTML cannot run: its checker program, %1, is not installed "
                                           "with Quillora.")
                              .arg(QLatin1String(kProgramName)));
    });
}

HtmlCheckJob::~HtmlCheckJob() {
    cancel();
}

QString HtmlCheckJob::stoppedMessage() {
    return QCoreApplication::translate(
        "HtmlCheck", "The check stopped: the page is nested too deeply or too large for the checker.");
}

void HtmlCheckJob::start(const QString& text, const HtmlCheckOptions& options) {
    cancel();
    m_cancelled = false;
    QStringList arguments;
    if (options.html5)
        arguments << QStringLiteral("--html5");
    if (options.accessibility)
        arguments << QStringLiteral("--accessibility");
    const QString program = CheckerProgram();
    // An empty name fails to start, which reports that the checker is missing.
    m_process.start(program.isEmpty() ? QLatin1String(kProgramName) : program, arguments);
    m_process.write(text.toUtf8());
    m_process.closeWriteChannel();
}

void HtmlCheckJob::cancel() {
    if (!running())
        return;
    m_cancelled = true;
    m_process.kill();
    m_process.waitForFinished(1000); // a killed process is gone at once; its zombie is collected
}

void HtmlCheckJob::waitForDone(int timeoutMs) {
    if (running())
        m_process.waitForFinished(timeoutMs);
}

void HtmlCheckJob::processFinished(int exitCode, QProcess::ExitStatus status) {
    if (m_cancelled)
        return;
    const QByteArray output = m_process.readAllStandardOutput();
    std::optional<std::vector<HtmlProblem>> problems;
    if (status == QProcess::NormalExit && exitCode == 0)
        problems = DecodeProblems(output);
    if (!problems) {
        qCWarning(lcQuillora) << "the HTML checker ended with" << status << exitCode;
        emit finished({}, stoppedMessage());
        return;
    }
    emit finished(*problems, QString());
}

#include "moc_HtmlCheckProcess.cpp"
