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

int runExportCode(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Writes an Arduino sketch folder that computes a pattern on the microcontroller itself:\n"
        "the LED coordinates as PROGMEM tables, the pattern as C++, the runtime it uses and a .ino\n"
        "for FastLED (or a plain byte buffer and a show() you fill in). Prints the flash, RAM and\n"
        "frames per second the sketch needs on the target's boards, measured in simulators where\n"
        "they are installed, else estimated.");
    parser.addPositionalArgument("DOC", "The layout.");
    QCommandLineOption pattern("pattern", "A built-in pattern.", "NAME");
    QCommandLineOption patternFile("pattern-file", "A pattern in the Pixelblaze language.", "FILE.js");
    QCommandLineOption target("target", "avr, esp32, rp2040, arm or host (a main() writing frames).", "TARGET", "avr");
    QCommandLineOption output({"o", "output"}, "The sketch folder to write.", "DIR");
    QCommandLineOption noBudget("no-budget", "Write the sketch without measuring it.");
    parser.addOptions({pattern, patternFile, target, output, noBudget});
    if (!parse(parser, arguments, 1))
        return 2;
    if (bothPatternOptions(parser))
        return 2;
    const std::optional<SketchTarget> board = sketchTargetFromName(parser.value(target));
    if (!board) {
        fail(QString("--target wants avr, esp32, rp2040, arm or host, not '%1'").arg(parser.value(target)));
        return 2;
    }
    const QString folder = parser.value(output);
    if (folder.isEmpty()) {
        fail("export-code needs -o DIR");
        return 2;
    }
    const ColorPattern *builtIn = nullptr;
    if (!parser.isSet(patternFile)) {
        int status = 0;
        if (!(builtIn = findPattern(parser.value(pattern), &status)))
            return status;
    }
    const QString documentPath = parser.positionalArguments()[0];
    const std::optional<LayoutSnapshot> layout = loadLayout(documentPath);
    if (!layout)
        return 1;
    if (layout->leds.isEmpty()) {
        fail(QString("%1 has no LEDs").arg(documentPath));
        return 1;
    }
    std::optional<SketchPattern> sketch;
    if (builtIn) {
        // The grid points the pattern export colours, in the same LED order.
        QString error;
        if (!(sketch = BuiltinSketch::make(*builtIn, layout->points(), &error))) {
            fail(error);
            return 1;
        }
    } else {
        QFile source(parser.value(patternFile));
        if (!source.open(QIODevice::ReadOnly)) {
            fail(QString("%1: %2").arg(source.fileName(), source.errorString()));
            return 1;
        }
        QStringList errors;
        sketch = ScriptTranslator::translate(source.readAll(), source.fileName(), layout->leds, errors);
        if (!sketch) {
            for (const QString &e : errors)
                std::fprintf(stderr, "%s\n", qPrintable(e));
            return 1;
        }
    }
    const QString name = QFileInfo(QDir::cleanPath(folder)).fileName();
    const auto files = SketchWriter::files(*sketch, sketchSettings(OutputSettings::load(QFileInfo(documentPath).absoluteFilePath())), *board, name);

    bool fits = true;
    if (!parser.isSet(noBudget) && *board != SketchTarget::Host) {
        QString error;
        const std::optional<QList<BoardBudget>> budgets = measureBudgets(files, name, *board, &error);
        if (!budgets) {
            fail(error);
            return 1;
        }
        for (const BoardBudget &b : *budgets) {
            std::printf("%s\n", qPrintable(b.line()));
            fits = fits && b.fits();
        }
    }
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

} // namespace lumora::cli
