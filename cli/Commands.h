#pragma once

#include "colors/UserPattern.h"

#include <QStringList>

#include <optional>

class QCommandLineParser;

namespace lumora {
class ColorPattern;
class PatternRegistry;
struct Model;
struct LayoutSnapshot;
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
int runPlay(const QStringList &arguments);
int runGenerate(const QStringList &arguments);
int runCheckPattern(const QStringList &arguments);
int runImportEpe(const QStringList &arguments);
int runExportEpe(const QStringList &arguments);
int runVersions(const QStringList &arguments);
int runExportCode(const QStringList &arguments);

/// Parses a command's arguments: --help prints the command's help and exits 0; false after a
/// message for an unknown option or a missing value (bad usage, exit status 2).
bool parseOptions(QCommandLineParser &parser, const QStringList &arguments);
/// parseOptions, and false (after a message) when the number of file arguments is wrong.
bool parse(QCommandLineParser &parser, const QStringList &arguments, int files);
/// Reads a document; false after a message naming the file when it cannot be read.
bool load(const QString &fileName, Model &model);
/// The document's layout as its window sets it up, with track 0 current; none after a
/// message when the document cannot be read.
std::optional<LayoutSnapshot> loadLayout(const QString &fileName);
/// The built-in patterns, sorted by name: made when a command first asks, kept for the
/// rest of its run.
const PatternRegistry &builtIns();
/// The pattern of that name, or the first by name when the name is empty; none after a
/// message, with the exit status in `status`.
const ColorPattern *findPattern(const QString &name, int *status);

/// The user pattern in a .js file; none after its errors ("FILE:LINE:COL: message", one a
/// line on stderr), with the exit status in `status`.
std::optional<UserPattern> loadPatternFile(const QString &fileName, int *status);
/// Whether both --pattern and --pattern-file were given (after a message).
bool bothPatternOptions(const QCommandLineParser &parser);

/// The text broken at spaces into lines of at most `width` characters, for --help texts.
QString wrapped(const QString &text, int width = 95);

/// sample --pattern-file: lines "T X Y INDEX" from standard input, "R G B" for each.
int samplePatternFile(const UserPattern &pattern);

/// Prints "lumora-cli: <message>" on stderr.
void fail(const QString &message);

} // namespace lumora::cli
