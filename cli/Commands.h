#pragma once

#include <QStringList>

class QCommandLineParser;

namespace lumora {
struct Model;
}

namespace lumora::cli {

/// Each subcommand takes its own arguments (argument 0 is "lumora-cli <name>") and
/// returns the process exit status: 0 success, 1 failure, 2 bad input lines or usage.
int runPatterns(const QStringList &arguments);
int runSample(const QStringList &arguments);
int runInspect(const QStringList &arguments);
int runResave(const QStringList &arguments);
int runExport(const QStringList &arguments);
int runTemplate(const QStringList &arguments);
int runExportMap(const QStringList &arguments);
int runImport(const QStringList &arguments);
int runGenerate(const QStringList &arguments);

/// Parses a command's arguments; exits with --help. False (after a message) when the number
/// of file arguments is wrong.
bool parse(QCommandLineParser &parser, const QStringList &arguments, int files);
/// Reads a document; false after a message naming the file when it cannot be read.
bool load(const QString &fileName, Model &model);

/// Prints "lumora-cli: <message>" on stderr.
void fail(const QString &message);

} // namespace lumora::cli
