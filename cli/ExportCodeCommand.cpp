#include "Commands.h"

#include "codegen/BoardBudget.h"
#include "codegen/BuiltinSketch.h"
#include "codegen/ScriptTranslator.h"
#include "codegen/SketchWriter.h"
#include "document/LayoutSnapshot.h"
#include "output/OutputSketchSettings.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace lumora::cli {

namespace {

using SketchFiles = QList<QPair<QString, QByteArray>>;

/// export-code's command line: its options, declared once for --help and for reading.
struct ExportCodeCommandLine {
    ExportCodeCommandLine();

    QCommandLineParser parser;
    QCommandLineOption pattern{"pattern", "A built-in pattern.", "NAME"};
    QCommandLineOption patternFile{"pattern-file", "A pattern in the Pixelblaze language.", "FILE.js"};
    QCommandLineOption target{"target", "avr, esp32, rp2040, arm or host (a main() writing frames).", "TARGET",
                              "avr"};
    QCommandLineOption output{QStringList{"o", "output"}, "The sketch folder to write.", "DIR"};
    QCommandLineOption noBudget{"no-budget", "Write the sketch without measuring it."};
};

ExportCodeCommandLine::ExportCodeCommandLine()
{
    parser.setApplicationDescription(
        "Writes an Arduino sketch folder that computes a pattern on the microcontroller itself:\n"
        "the LED coordinates as PROGMEM tables, the pattern as C++, the runtime it uses and a .ino\n"
        "for FastLED (or a plain byte buffer and a show() you fill in). Prints the flash, RAM and\n"
        "frames per second the sketch needs on the target's boards, measured in simulators where\n"
        "they are installed, else estimated.");
    parser.addPositionalArgument("DOC", "The layout.");
    parser.addOptions({pattern, patternFile, target, output, noBudget});
}

/// The built-in pattern (none for --pattern-file); false with the exit status after a message.
bool chooseBuiltIn(const ExportCodeCommandLine &line, const ColorPattern *&builtIn, int &status)
{
    if (line.parser.isSet(line.patternFile))
        return true;
    return (builtIn = findPattern(line.parser.value(line.pattern), &status)) != nullptr;
}

/// The pattern as C++: a built-in one, or the user's file translated; none after messages.
std::optional<SketchPattern> makeSketch(const ColorPattern *builtIn, const QString &patternFile,
                                        const LayoutSnapshot &layout)
{
    if (builtIn) {
        // The grid points the pattern export colours, in the same LED order.
        QString error;
        std::optional<SketchPattern> sketch = BuiltinSketch::make(*builtIn, layout.points(), &error);
        if (!sketch)
            fail(error);
        return sketch;
    }
    QFile source(patternFile);
    if (!source.open(QIODevice::ReadOnly)) {
        fail(QString("%1: %2").arg(source.fileName(), source.errorString()));
        return std::nullopt;
    }
    QStringList errors;
    std::optional<SketchPattern> sketch = ScriptTranslator::translate(source.readAll(), source.fileName(),
                                                                      layout.leds, errors);
    if (!sketch)
        for (const QString &e : errors)
            std::fprintf(stderr, "%s\n", qPrintable(e));
    return sketch;
}

/// Prints each board's budget line; false after a message when the sketch could not be
/// measured. `fits` ends false when a board cannot hold the sketch.
bool printBudgets(const SketchFiles &files, const QString &name, SketchTarget board, bool &fits)
{
    QString error;
    const std::optional<QList<BoardBudget>> budgets = measureBudgets(files, name, board, &error);
    if (!budgets) {
        fail(error);
        return false;
    }
    for (const BoardBudget &b : *budgets) {
        std::printf("%s\n", qPrintable(b.line()));
        fits = fits && b.fits();
    }
    return true;
}

/// Measures (unless told not to) and writes the sketch folder; the exit status.
int writeSketch(const SketchPattern &sketch, const QString &folder, const QString &documentPath, SketchTarget board,
                bool measure)
{
    const QString name = QFileInfo(QDir::cleanPath(folder)).fileName();
    const SketchFiles files = SketchWriter::files(
        sketch, sketchSettings(OutputSettings::load(QFileInfo(documentPath).absoluteFilePath())), board, name);
    bool fits = true;
    if (measure && board != SketchTarget::Host && !printBudgets(files, name, board, fits))
        return 1;
    QString error;
    if (!SketchWriter::write(folder, files, &error)) {
        fail(error);
        return 1;
    }
    std::printf("%s\n", qPrintable(QDir(folder).filePath(name + ".ino")));
    if (!fits)
        std::fprintf(stderr, "lumora-cli: warning: a board above cannot hold this sketch\n");
    return 0;
}

} // namespace

int runExportCode(const QStringList &arguments)
{
    ExportCodeCommandLine line;
    const QCommandLineParser &parser = line.parser;
    if (!parse(line.parser, arguments, 1))
        return 2;
    if (bothPatternOptions(parser))
        return 2;
    const std::optional<SketchTarget> board = sketchTargetFromName(parser.value(line.target));
    if (!board) {
        fail(QString("--target wants avr, esp32, rp2040, arm or host, not '%1'").arg(parser.value(line.target)));
        return 2;
    }
    const QString folder = parser.value(line.output);
    if (folder.isEmpty()) {
        fail("export-code needs -o DIR");
        return 2;
    }
    const ColorPattern *builtIn = nullptr;
    int status = 0;
    if (!chooseBuiltIn(line, builtIn, status))
        return status;
    const QString documentPath = parser.positionalArguments()[0];
    const std::optional<LayoutSnapshot> layout = loadLayout(documentPath);
    if (!layout)
        return 1;
    if (layout->leds.isEmpty()) {
        fail(QString("%1 has no LEDs").arg(documentPath));
        return 1;
    }
    const std::optional<SketchPattern> sketch = makeSketch(builtIn, parser.value(line.patternFile), *layout);
    if (!sketch)
        return 1;
    return writeSketch(*sketch, folder, documentPath, *board, !parser.isSet(line.noBudget));
}

} // namespace lumora::cli
