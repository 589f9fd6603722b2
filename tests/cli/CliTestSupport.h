#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

/// Runs lumora-cli with the given arguments and standard input; waits for it to end.
struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

/// `environment` adds variables ("NAME=value") to the test's own.
inline CliRun runCli(const QStringList &arguments, const QByteArray &input = {}, const QStringList &environment = {})
{
    QProcess process;
    if (!environment.isEmpty())
        process.setEnvironment(QProcess::systemEnvironment() + environment);
    process.start(LUMORA_CLI, arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}
