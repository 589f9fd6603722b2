#pragma once

#include <QStringList>

namespace lumora::cli {

/// Each subcommand takes its own arguments (argument 0 is "lumora-cli <name>") and
/// returns the process exit status: 0 success, 1 failure, 2 bad input lines or usage.
int runPatterns(const QStringList &arguments);
int runSample(const QStringList &arguments);
int runInspect(const QStringList &arguments);
int runResave(const QStringList &arguments);
int runExport(const QStringList &arguments);
int runTemplate(const QStringList &arguments);

/// Prints "lumora-cli: <message>" on stderr.
void fail(const QString &message);

} // namespace lumora::cli
