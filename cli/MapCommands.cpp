#include "Commands.h"

#include "document/DocumentReader.h"
#include "document/DocumentWriter.h"
#include "maps/LedMapImport.h"
#include "maps/MapExport.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>

namespace lumora::cli {

namespace {

void warn(const QString &message)
{
    std::fprintf(stderr, "lumora-cli: %s\n", qPrintable(message));
}

/// The format named by the option; none after a message when it names none.
bool formatOption(const QCommandLineParser &parser, const QCommandLineOption &option,
                  std::optional<LedMapFormat> &format)
{
    if (!parser.isSet(option))
        return true;
    format = formatNamed(parser.value(option));
    if (!format)
        fail(QString("unknown map format '%1'; the formats are %2").arg(parser.value(option), formatNames()));
    return format.has_value();
}

} // namespace

int runExportMap(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Writes the document's LEDs, in LED order, as an LED map for another tool. Formats that\n"
        "address cells use the grid's half steps when the grid is complete, else a square\n"
        "lattice following the LEDs' own spacing that gives every LED its own cell. Exits 1 when\n"
        "the format cannot hold every LED (the file is still written, with what it can hold), and\n"
        "without writing when the cells would exceed --max-cells (or, for fastled, 32 KiB) or\n"
        "wled-gaps cannot give the LED order.\n\n"
        "Formats: " + formatNames());
    parser.addPositionalArgument("DOC", "The document.");
    QCommandLineOption formatArgument("format", "The map format.", "F");
    QCommandLineOption output(QStringList{"o", "output"}, "The file to write.", "FILE");
    QCommandLineOption maxCellsArgument(
        "max-cells", QString("The most cells a map may have (default %1, WLED's limit).").arg(CellLattice::defaultMaxCells),
        "N");
    parser.addOptions({formatArgument, output, maxCellsArgument});
    if (!parse(parser, arguments, 1))
        return 2;
    qint64 maxCells = CellLattice::defaultMaxCells;
    if (parser.isSet(maxCellsArgument)) {
        bool ok = false;
        maxCells = parser.value(maxCellsArgument).toLongLong(&ok);
        if (!ok || maxCells < 1) {
            fail(QString("--max-cells takes a whole number from 1, not '%1'").arg(parser.value(maxCellsArgument)));
            return 2;
        }
    }
    std::optional<LedMapFormat> format;
    if (!formatOption(parser, formatArgument, format))
        return 2;
    if (!format || !parser.isSet(output)) {
        fail("export-map needs --format F and -o FILE; see --help");
        return 2;
    }
    const QString fileName = parser.positionalArguments()[0];
    Model model;
    if (!load(fileName, model))
        return 1;
    MapExport map;
    QString error;
    const bool saved = saveLedMap(*format, LayoutSnapshot::fromModel(model), QFileInfo(fileName).completeBaseName(),
                                  parser.value(output), &map, &error, maxCells);
    for (const QString &note : map.notes)
        warn("note: " + note);
    for (const QString &lost : map.lost)
        warn("lost: " + lost);
    if (!saved) {
        fail(error);
        return 1;
    }
    std::printf("%s\n", qPrintable(parser.value(output)));
    if (!map.lossless()) {
        fail(QString("the %1 map cannot hold every LED").arg(formatName(*format)));
        return 1;
    }
    return 0;
}

int runImport(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Makes a document from an LED map: CSV (index,x,y in layout units with y up; index,u,v\n"
        "from camera mappers; index,x,y,z), Pixelblaze JSON, WLED ledmap.json or an xLights\n"
        ".xmodel. The LEDs are fitted, centred, into the layout space; maps made of cells also\n"
        "get a grid of one step per cell. LED k of the document is LED k of the map: numbers\n"
        "the map skips become LEDs on the wiring between their neighbours, reported for the user\n"
        "to check (--no-fill closes the gaps instead). Bad input writes nothing.");
    parser.addPositionalArgument("FILE", "The map to read.");
    QCommandLineOption formatArgument("format", "The map's format (default: recognised from its content): "
                                                + formatNames(true) + ".", "F");
    QCommandLineOption output(QStringList{"o", "output"}, "The document to write.", "DOC");
    QCommandLineOption flipY("flip-y", "The map's y axis points down (or, for y-down formats, up).");
    QCommandLineOption force("force", "Replace DOC if it exists.");
    QCommandLineOption noFill("no-fill", "Close the gaps of skipped LED numbers instead of filling them in.");
    parser.addOptions({formatArgument, output, flipY, force, noFill});
    if (!parse(parser, arguments, 1))
        return 2;
    std::optional<LedMapFormat> format;
    if (!formatOption(parser, formatArgument, format))
        return 2;
    if (!parser.isSet(output)) {
        fail("import needs -o DOC; see --help");
        return 2;
    }
    const QString target = parser.value(output);
    if (QFileInfo::exists(target) && !parser.isSet(force)) {
        fail(QString("%1 exists; pass --force to replace it").arg(target));
        return 1;
    }
    LedMapImport imported = importLedMapFile(parser.positionalArguments()[0], format, parser.isSet(flipY));
    if (!imported.ok()) {
        fail(imported.error);
        return 2;
    }
    if (parser.isSet(noFill))
        imported.closeGaps();
    for (const QString &warning : imported.warnings)
        warn("warning: " + warning);
    if (!imported.gapNote.isEmpty())
        warn("warning: " + imported.gapNote);
    const qsizetype shownRuns = 20;
    for (const QString &run : imported.filledRuns.mid(0, shownRuns))
        warn("filled: " + run);
    if (imported.filledRuns.size() > shownRuns)
        warn(QString("filled: and %1 more runs").arg(imported.filledRuns.size() - shownRuns));
    LayoutSnapshot layout;
    layout.leds = imported.leds;
    layout.grid = imported.grid;
    QString error;
    if (!writeDocumentFile(layout, target, &error)) {
        fail(error);
        return 1;
    }
    std::printf("%s: %lld LEDs from a %s map\n", qPrintable(target), static_cast<long long>(imported.leds.size()),
                qPrintable(formatName(*imported.format)));
    return 0;
}

} // namespace lumora::cli
