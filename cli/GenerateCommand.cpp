// `lumora-cli generate`: a matrix, strip or ring laid out by the editor's own generators and
// written as a document with a complete grid.
#include "Commands.h"

#include "document/DocumentModel.h"
#include "document/DocumentWriter.h"
#include "document/GridFit.h"
#include "document/LedGenerators.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <cmath>
#include <cstdio>
#include <optional>

namespace lumora::cli {

namespace {

std::optional<double> number(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> count(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 1 || value > maxGeneratedLeds)
        return std::nullopt;
    return value;
}

std::optional<QPointF> point(const QString &text)
{
    const QStringList parts = text.split(',');
    if (parts.size() != 2)
        return std::nullopt;
    const auto x = number(parts[0]), y = number(parts[1]);
    if (!x || !y)
        return std::nullopt;
    return QPointF(*x, *y);
}

std::optional<MatrixLayout::Corner> corner(const QString &text)
{
    if (text == "top-left")
        return MatrixLayout::TopLeft;
    if (text == "top-right")
        return MatrixLayout::TopRight;
    if (text == "bottom-left")
        return MatrixLayout::BottomLeft;
    if (text == "bottom-right")
        return MatrixLayout::BottomRight;
    return std::nullopt;
}

/// LED positions and the grid for them; an empty list after a message on bad input.
struct Generated {
    QList<QPointF> leds;
    GridHandles grid;
    const char *name = "";
};

struct Options {
    QCommandLineOption spacing{"spacing", "matrix: layout units between neighbours (default: as large as fits, up to 40).", "S"};
    QCommandLineOption serpentine{"serpentine", "matrix: turn back at the end of each row (or column)."};
    QCommandLineOption columns{"columns", "matrix: wire along columns instead of rows."};
    QCommandLineOption start{"start", "matrix: LED 0's corner: top-left (default), top-right, bottom-left or bottom-right.", "CORNER", "top-left"};
    QCommandLineOption startAngle{"start-angle", "ring: degrees from +x, counterclockwise (default 0).", "DEG", "0"};
    QCommandLineOption sweep{"sweep", "ring: degrees covered; 360 (default) closes the ring.", "DEG", "360"};
    QCommandLineOption clockwise{"clockwise", "ring: run clockwise."};
    QCommandLineOption output{QStringList{"o", "output"}, "The document to write.", "DOC"};
    QCommandLineOption force{"force", "Replace DOC if it exists."};
};

bool usage(const QString &message)
{
    fail(message + "; see --help");
    return false;
}

bool generateMatrix(const QCommandLineParser &parser, const Options &options, const QStringList &args, Generated &out)
{
    if (args.size() != 3)
        return usage("generate matrix needs W H");
    const auto width = count(args[1]), height = count(args[2]);
    if (!width || !height || qint64(*width) * *height > maxGeneratedLeds)
        return usage(QString("W and H must be whole numbers from 1 with W × H at most %1").arg(maxGeneratedLeds));
    MatrixLayout layout;
    layout.width = *width;
    layout.height = *height;
    layout.serpentine = parser.isSet(options.serpentine);
    layout.columns = parser.isSet(options.columns);
    const auto start = corner(parser.value(options.start));
    if (!start)
        return usage(QString("unknown corner '%1'").arg(parser.value(options.start)));
    layout.start = *start;
    double spacing = fittingMatrixSpacing(layout.width, layout.height);
    if (parser.isSet(options.spacing)) {
        const auto given = number(parser.value(options.spacing));
        if (!given || *given <= 0)
            return usage("--spacing must be a positive number");
        spacing = *given;
    }
    const QPointF center(512, 384);
    out.leds = matrixPositions(layout, center, spacing);
    out.grid = {center, center + QPointF(spacing, 0), center + QPointF(0, spacing)};
    out.name = "add matrix";
    return true;
}

bool generateStrip(const Options &, const QStringList &args, Generated &out)
{
    if (args.size() != 4)
        return usage("generate strip needs N X1,Y1 X2,Y2");
    const auto n = count(args[1]);
    const auto from = point(args[2]), to = point(args[3]);
    if (!n)
        return usage(QString("N must be a whole number from 1 to %1").arg(maxGeneratedLeds));
    if (!from || !to)
        return usage("the end points are written X,Y");
    out.leds = stripPositions(*from, *to, *n);
    out.grid = fitGrid(out.leds);
    out.name = "add strip";
    return true;
}

bool generateRing(const QCommandLineParser &parser, const Options &options, const QStringList &args, Generated &out)
{
    if (args.size() != 4)
        return usage("generate ring needs N CX,CY R");
    RingLayout layout;
    const auto n = count(args[1]);
    const auto center = point(args[2]);
    const auto radius = number(args[3]);
    const auto startAngle = number(parser.value(options.startAngle));
    const auto sweep = number(parser.value(options.sweep));
    if (!n)
        return usage(QString("N must be a whole number from 1 to %1").arg(maxGeneratedLeds));
    if (!center)
        return usage("the centre is written CX,CY");
    if (!radius || *radius <= 0)
        return usage("R must be a positive number");
    if (!startAngle || !sweep || *sweep <= 0)
        return usage("--start-angle must be a number and --sweep a positive one");
    layout.count = *n;
    layout.center = *center;
    layout.radius = *radius;
    layout.startAngle = *startAngle;
    layout.sweep = *sweep;
    layout.clockwise = parser.isSet(options.clockwise);
    out.leds = ringPositions(layout);
    out.grid = fitGrid(out.leds);
    out.name = "add ring";
    return true;
}

} // namespace

int runGenerate(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Makes a document of generated LEDs, positions in layout units (1024 × 768, y up):\n"
        "  generate matrix W H [--spacing S] [--serpentine] [--columns] [--start CORNER] -o DOC\n"
        "  generate strip N X1,Y1 X2,Y2 -o DOC\n"
        "  generate ring N CX,CY R [--start-angle DEG] [--sweep DEG] [--clockwise] -o DOC\n"
        "A matrix is centred in the layout with one grid step per spacing; LED 0 sits in the\n"
        "start corner. Strips and rings get a grid fitted to them. For arguments that begin\n"
        "with a minus sign, give the options first, then --, then the arguments.");
    parser.addPositionalArgument("KIND", "matrix, strip or ring.");
    parser.addPositionalArgument("ARGS", "The kind's arguments.", "ARGS...");
    const Options options;
    parser.addOptions({options.spacing, options.serpentine, options.columns, options.start, options.startAngle,
                       options.sweep, options.clockwise, options.output, options.force});
    if (!parseOptions(parser, arguments))
        return 2;
    const QStringList args = parser.positionalArguments();
    if (args.isEmpty()) {
        fail("generate needs a kind: matrix, strip or ring; see --help");
        return 2;
    }
    const QString kind = args[0];
    // An option of another kind is a slip worth pointing out, not something to ignore.
    const QStringList matrixOnly{"spacing", "serpentine", "columns", "start"};
    const QStringList ringOnly{"start-angle", "sweep", "clockwise"};
    for (const QString &name : parser.optionNames()) {
        if ((matrixOnly.contains(name) && kind != "matrix") || (ringOnly.contains(name) && kind != "ring")) {
            fail(QString("--%1 does not apply to %2; see --help").arg(name, kind));
            return 2;
        }
    }
    Generated generated;
    bool ok = false;
    if (kind == "matrix")
        ok = generateMatrix(parser, options, args, generated);
    else if (kind == "strip")
        ok = generateStrip(options, args, generated);
    else if (kind == "ring")
        ok = generateRing(parser, options, args, generated);
    else
        ok = usage(QString("unknown kind '%1' (matrix, strip or ring)").arg(kind));
    if (!ok)
        return 2;
    if (!parser.isSet(options.output)) {
        fail("generate needs -o DOC; see --help");
        return 2;
    }
    const QString target = parser.value(options.output);
    if (QFileInfo::exists(target) && !parser.isSet(options.force)) {
        fail(QString("%1 exists; pass --force to replace it").arg(target));
        return 1;
    }
    // The same model operation as the editor's Add LEDs, then the grid as three handles.
    DocumentModel model;
    model.addLeds(generated.leds, generated.name);
    model.addOrigin(generated.grid.origin);
    model.addX(generated.grid.xDirection);
    model.addY(generated.grid.yDirection);
    QString error;
    if (!writeDocumentFile(model.snapshot(), target, &error)) {
        fail(error);
        return 1;
    }
    std::printf("%s: %lld LEDs\n", qPrintable(target), static_cast<long long>(model.ledCount()));
    return 0;
}

} // namespace lumora::cli
