#include "Commands.h"

#include "document/DocumentReader.h"
#include "document/DocumentWriter.h"
#include "exports/ExportSettings.h"
#include "exports/Exporter.h"
#include "colors/PatternSources.h"
#include "maps/MapText.h"
#include "output/FrameColors.h"
#include "patterns/framework/PatternRegistry.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <cstdio>

namespace lumora::cli {

namespace {

QByteArray jsonPoints(const QList<QPointF> &points)
{
    QByteArray out = "[";
    for (qsizetype i = 0; i < points.size(); ++i)
        out += (i ? ", [" : "[") + shortestNumber(points[i].x()) + ", " + shortestNumber(points[i].y()) + "]";
    return out + "]";
}

} // namespace

bool load(const QString &fileName, Model &model)
{
    const ReadResult result = readDocumentFile(fileName, model);
    if (!result.ok)
        fail(result.error.contains(fileName) ? result.error : QString("%1: %2").arg(fileName, result.error));
    for (const QString &warning : result.warnings)
        std::fprintf(stderr, "lumora-cli: warning: %s: %s\n", qPrintable(fileName), qPrintable(warning));
    return result.ok;
}

namespace {

/// The power estimate of the pattern over the export's frames, as a JSON object.
constexpr int powerFrames = 3000;

QByteArray jsonPower(const QString &name, const QByteArray &pixels, qsizetype leds);

QByteArray jsonPower(const LayoutSnapshot &layout, const ColorPattern &pattern)
{
    const PixelSource sources = patternSources(layout);
    const QList<QPointF> points = layout.points();
    QByteArray pixels;
    renderPatternAnimation(pixels, points, pattern, powerFrames, 0, nullptr, &sources);
    return jsonPower(QString::fromStdString(pattern.name()), pixels, points.size());
}

/// The same for a user pattern; none after a message when the pattern stops on an error.
std::optional<QByteArray> jsonPower(const LayoutSnapshot &layout, const UserPattern &pattern)
{
    QByteArray pixels;
    QString error;
    const auto sink = [&](const char *data, qsizetype size) {
        pixels.append(data, size);
        return true;
    };
    if (!renderUserPatternAnimation(sink, layout.leds, pattern, powerFrames, nullptr, &error)) {
        fail(error);
        return std::nullopt;
    }
    return jsonPower(pattern.name(), pixels, layout.leds.size());
}

QByteArray jsonPower(const QString &name, const QByteArray &pixels, qsizetype leds)
{
    constexpr int frames = powerFrames;
    const PowerModel model;
    const PowerEstimate estimate = estimatePower(pixels, leds, model);
    return "{\"pattern\": " + jsonString(name)
        + ", \"frames\": " + QByteArray::number(frames) + ", \"leds\": " + QByteArray::number(leds)
        + ", \"milliampsPerChannel\": " + shortestNumber(model.milliampsPerChannel)
        + ", \"idleMilliampsPerLed\": " + shortestNumber(model.idleMilliampsPerLed)
        + ", \"peakMilliamps\": " + shortestNumber(estimate.peakMilliamps)
        + ", \"peakFrame\": " + QByteArray::number(estimate.peakFrame)
        + ", \"meanMilliamps\": " + shortestNumber(estimate.meanMilliamps)
        + ", \"supplyVolts\": 5, \"supplyAmps\": " + shortestNumber(estimate.supplyAmps())
        + ", \"supplyWatts\": " + shortestNumber(estimate.supplyWatts()) + "}";
}

int reportExport(const ExportReport &report)
{
    for (const QString &file : report.written)
        std::printf("%s\n", qPrintable(file));
    for (const QString &warning : report.warnings)
        std::fprintf(stderr, "lumora-cli: warning: %s\n", qPrintable(warning));
    for (const QString &failure : report.failures)
        fail(failure);
    if (!report.failures.isEmpty())
        fail(report.mixSummary());
    return report.ok() ? 0 : 1;
}

} // namespace

int runInspect(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("Prints the document as the reader understood it, as JSON.");
    parser.addPositionalArgument("DOC", "The document to read.");
    QCommandLineOption power("power",
                             "Add \"power\": the current PATTERN draws over the export's 3000 frames with the "
                             "default power model (20 mA per channel at full, 1 mA per LED idle), peak and "
                             "mean, and the 5 V supply the peak needs.",
                             "PATTERN");
    QCommandLineOption powerFile("pattern-file",
                                 "Add \"power\" as --power does, for the pattern written in FILE.js.", "FILE.js");
    parser.addOption(power);
    parser.addOption(powerFile);
    if (!parse(parser, arguments, 1))
        return 2;
    const ColorPattern *powerPattern = nullptr;
    std::optional<UserPattern> userPattern;
    if (parser.isSet(power) && parser.isSet(powerFile)) {
        fail("give --power or --pattern-file, not both");
        return 2;
    }
    if (parser.isSet(powerFile)) {
        int status = 1;
        if (!(userPattern = loadPatternFile(parser.value(powerFile), &status)))
            return status;
    }
    if (parser.isSet(power)) {
        int status = 2;
        if (parser.value(power).isEmpty() || !(powerPattern = findPattern(parser.value(power), &status))) {
            if (parser.value(power).isEmpty())
                fail("--power needs a pattern name");
            return status;
        }
    }
    Model model;
    if (!load(parser.positionalArguments()[0], model))
        return 1;

    QByteArray json = "{\"points\": " + jsonPoints(model.points) + ", \"grid\": " + jsonPoints(model.grid)
        + ", \"filenames\": [";
    for (qsizetype i = 0; i < model.filenames.size(); ++i)
        json += (i ? ", " : "") + jsonString(QString::fromLatin1(model.filenames[i].toEncoded(QUrl::FullyEncoded)));
    json += "], \"tracks\": [";
    const auto &tracks = model.animationEditor->tracks();
    for (qsizetype t = 0; t < tracks.size(); ++t) {
        json += t ? ", {\"frames\": [" : "{\"frames\": [";
        const auto &frames = tracks[t]->frames;
        for (qsizetype f = 0; f < frames.size(); ++f) {
            json += f ? ", {\"selection\": [" : "{\"selection\": [";
            for (qsizetype i = 0; i < frames[f]->selection.size(); ++i)
                json += QByteArray(i ? ", " : "") + (frames[f]->selection[i] ? "true" : "false");
            json += "], \"url\": ";
            json += frames[f]->url.isEmpty() ? QByteArray("null") : jsonString(QString::fromLatin1(frames[f]->url.toEncoded(QUrl::FullyEncoded)));
            json += "}";
        }
        json += "]}";
    }
    json += "]";
    if (powerPattern)
        json += ", \"power\": " + jsonPower(LayoutSnapshot::fromModel(model), *powerPattern);
    if (userPattern) {
        const std::optional<QByteArray> power = jsonPower(LayoutSnapshot::fromModel(model), *userPattern);
        if (!power)
            return 1;
        json += ", \"power\": " + *power;
    }
    json += "}\n";
    std::fwrite(json.constData(), 1, json.size(), stdout);
    return 0;
}

int runResave(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("Reads IN, sets up its layout as the editor does, and writes it to OUT.");
    parser.addPositionalArgument("IN", "The document to read.");
    parser.addPositionalArgument("OUT", "Where to write it.");
    if (!parse(parser, arguments, 2))
        return 2;
    Model model;
    if (!load(parser.positionalArguments()[0], model))
        return 1;
    QString error;
    if (!writeDocumentFile(LayoutSnapshot::fromModel(model), parser.positionalArguments()[1], &error)) {
        fail(error);
        return 1;
    }
    return 0;
}

int runExport(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Writes the pattern PPM and the picture export (or, with --animation, the animation export of\n"
        "track 0) into the document's folder, and prints the files written.");
    parser.addPositionalArgument("DOC", "The document to export.");
    QCommandLineOption animation("animation", "Export the animation frames instead of the pictures.");
    QCommandLineOption patternOption("pattern",
        "The pattern to render (default: the editor's current pattern, else the first by name).", "NAME");
    QCommandLineOption patternFile("pattern-file", "Render the pattern written in FILE.js instead; its PPM is named "
                                                   "after the file.", "FILE.js");
    QCommandLineOption noPattern("no-pattern", "Leave out the pattern PPM.");
    QCommandLineOption frames("frames", "Rows of the pattern PPM (default 3000).", "N", "3000");
    QCommandLineOption headerStyle("header-style",
        "modern (default: include guards, const uint8_t, NUM_LEDS and IMAGE_COUNT; compiles with "
        "today's AVR, ESP and ARM toolchains) or classic (the prog_uchar text older sketches include).",
        "STYLE", "modern");
    QCommandLineOption fast("fast", "Render the pattern PPM on the vector path: quicker for the heavy patterns, "
                                    "but a few bytes may differ from the exact file.");
    QCommandLineOption outputDir("output-dir",
        "Write the files into DIR (made when missing) instead of the document's folder, so that "
        "several layouts in one folder keep their own headers.", "DIR");
    parser.addOptions({animation, patternOption, patternFile, noPattern, frames, headerStyle, fast, outputDir});
    if (!parse(parser, arguments, 1))
        return 2;
    bool framesOk = false;
    const int frameCount = parser.value(frames).toInt(&framesOk);
    if (!framesOk || frameCount < 1 || frameCount > 1000000) {
        fail(QString("--frames wants a count from 1 to 1000000, not '%1'").arg(parser.value(frames)));
        return 2;
    }
    const QString style = parser.value(headerStyle);
    if (style != "classic" && style != "modern") {
        fail(QString("--header-style is classic or modern, not '%1'").arg(style));
        return 2;
    }

    if (bothPatternOptions(parser))
        return 2;
    int status = 0;
    const ColorPattern *pattern = nullptr;
    std::optional<UserPattern> userPattern;
    QString patternSource;
    if (parser.isSet(patternFile)) {
        userPattern = loadPatternFile(parser.value(patternFile), &status);
    } else {
        QString patternName = parser.value(patternOption);
        if (!parser.isSet(patternOption) && !parser.isSet(noPattern)) {
            // Without --pattern, the export renders what the editor's export would: its current pattern.
            QSettings editor("Lumora", "lumora");
            patternName = editor.value(currentPatternKey).toString();
            patternSource = "the editor's current pattern";
            if (patternName.isEmpty() || !builtIns().named(patternName.toStdString())) {
                patternName.clear();
                patternSource = "the first by name; choose one with --pattern";
            }
        }
        pattern = findPattern(patternName, &status);
    }
    if (!pattern && !userPattern)
        return status;
    if (pattern && !patternSource.isEmpty())
        std::fprintf(stderr, "lumora-cli: pattern %s (%s)\n", pattern->name().c_str(), qPrintable(patternSource));

    const QString fileName = parser.positionalArguments()[0];
    std::optional<LayoutSnapshot> layout = loadLayout(fileName);
    if (!layout)
        return 1;
    Exporter exporter(std::move(*layout), fileName);
    exporter.setHeaderStyle(style == "modern" ? HeaderStyle::Modern : HeaderStyle::Classic);
    exporter.setPatternFrames(frameCount);
    exporter.setFast(parser.isSet(fast));
    if (parser.isSet(outputDir)) {
        const QString folder = parser.value(outputDir);
        if (folder.isEmpty() || !QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
            fail(QString("cannot write into the folder '%1'").arg(folder));
            return 1;
        }
        exporter.setOutputFolder(folder);
    }
    if (parser.isSet(noPattern))
        return reportExport(parser.isSet(animation) ? exporter.exportAnimation() : exporter.exportImages());
    if (userPattern)
        return reportExport(exporter.exportAll(*userPattern, parser.isSet(animation)));
    return reportExport(exporter.exportAll(*pattern, parser.isSet(animation)));
}

int runTemplate(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("Writes <document name>.png beside DOC: a magenta disc per LED.");
    parser.addPositionalArgument("DOC", "The document.");
    if (!parse(parser, arguments, 1))
        return 2;
    const QString fileName = parser.positionalArguments()[0];
    Model model;
    if (!load(fileName, model))
        return 1;
    Exporter exporter(LayoutSnapshot::fromModel(model), fileName);
    return reportExport(exporter.exportTemplate());
}

} // namespace lumora::cli
