#pragma once

// Runs the built quillmark-tool as a separate process, the way scripts use it.

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QtTest>

struct ToolRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    bool finished = false;

    // Standard error as text lines (without their line ends).
    QStringList errLines() const
    {
        QStringList lines = QString::fromUtf8(err).split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.constLast().isEmpty())
            lines.removeLast();
        return lines;
    }
};

// The environment the tests run the tool in: the test's own, in UTC so that the local dates of
// result files are fixed too, and without a SOURCE_DATE_EPOCH unless a test sets one.
inline QProcessEnvironment toolEnvironment(const QString &sourceDateEpoch = QString())
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
    env.remove(QStringLiteral("SOURCE_DATE_EPOCH"));
    env.remove(QStringLiteral("QUILLMARK_TOOL_DEBUG"));
    if (!sourceDateEpoch.isNull())
        env.insert(QStringLiteral("SOURCE_DATE_EPOCH"), sourceDateEpoch);
    return env;
}

inline ToolRun runTool(const QStringList &arguments, const QProcessEnvironment &env = toolEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(QUILLMARK_TOOL), arguments);
    ToolRun run;
    run.finished = process.waitForFinished(120000);
    if (run.finished && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}
