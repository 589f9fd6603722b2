// lumora-cli import-epe and export-epe: patterns in the Pixelblaze device's own file format.
#include "Commands.h"

#include "colors/EpeFile.h"
#include "document/LayoutSnapshot.h"
#include "common/SaveFile.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace lumora::cli {

int runImportEpe(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("Writes the pattern source of a Pixelblaze .epe file as a .js file.");
    parser.addPositionalArgument("FILE.epe", "The exported pattern.");
    QCommandLineOption output({"o", "output"}, "The .js file to write (default: the pattern's name in the current folder).",
                              "FILE.js");
    parser.addOption(output);
    if (!parse(parser, arguments, 1))
        return 2;
    const QString fileName = parser.positionalArguments()[0];
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QString("cannot read %1: %2").arg(fileName, file.errorString()));
        return 1;
    }
    QString error;
    const std::optional<EpePattern> pattern = readEpe(file.readAll(), &error);
    if (!pattern) {
        fail(QString("%1: %2").arg(fileName, error));
        return 1;
    }
    QString target = parser.value(output);
    if (target.isEmpty()) {
        QString name = pattern->name;
        name.replace('/', '_');
        target = (name.isEmpty() || name.startsWith('.') ? QFileInfo(fileName).completeBaseName() : name) + ".js";
    }
    if (!saveFile(target, pattern->source, &error)) {
        fail(error);
        return 1;
    }
    std::printf("%s\n", qPrintable(target));
    return 0;
}

int runExportEpe(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Writes a pattern as a Pixelblaze .epe file, with a preview of it on DOC's LEDs (one column\n"
        "per LED, one row per frame, frame i after i calls of beforeRender(200)).");
    parser.addPositionalArgument("FILE.js", "The pattern.");
    parser.addPositionalArgument("DOC", "The layout the preview shows.");
    QCommandLineOption output({"o", "output"}, "The .epe file to write.", "FILE.epe");
    QCommandLineOption frames("frames", "Rows of the preview (default 150).", "N", "150");
    parser.addOptions({output, frames});
    if (!parse(parser, arguments, 2))
        return 2;
    bool ok = false;
    const int rows = parser.value(frames).toInt(&ok);
    if (!ok || rows < 1 || rows > 10000) {
        fail(QString("--frames wants a count from 1 to 10000, not '%1'").arg(parser.value(frames)));
        return 2;
    }
    if (parser.value(output).isEmpty()) {
        fail("export-epe needs -o FILE.epe");
        return 2;
    }
    int status = 0;
    const std::optional<UserPattern> pattern = loadPatternFile(parser.positionalArguments()[0], &status);
    if (!pattern)
        return status;
    const std::optional<LayoutSnapshot> layout = loadLayout(parser.positionalArguments()[1]);
    if (!layout)
        return 1;
    QString error;
    const std::optional<QImage> preview = userPatternPreview(*pattern, layout->leds, rows, &error);
    if (!preview) {
        fail(error);
        return 1;
    }
    QFile source(pattern->fileName());
    source.open(QIODevice::ReadOnly);
    const QByteArray bytes = writeEpe({pattern->name(), {}, source.readAll()}, *preview);
    if (!saveFile(parser.value(output), bytes, &error)) {
        fail(error);
        return 1;
    }
    std::printf("%s\n", qPrintable(parser.value(output)));
    return 0;
}

} // namespace lumora::cli
